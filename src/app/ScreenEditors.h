#pragma once

namespace orvenda {

class Calculator;
class EntryModel;
class HistoryModel;
class LineEditor;

// Which editor a screen's keys edit: the Y= manager on the Y= screen (1), the program
// manager in the program editor (2), the entry line on the home screen and on every screen
// that edits one field at a time; none on the stat plot, periodic table, format, matrix
// dimension screens (9, 13, 17, 18, 19). An editor the app has not installed counts as
// none. Main thread.
class ScreenEditors {
public:
    explicit ScreenEditors(Calculator& calc);

    EntryModel* entry() const;
    HistoryModel* history() const;
    LineEditor* yEq() const;
    LineEditor* program() const;
    // The program editor is in debug mode, where the entry line stands in for it.
    bool debugging() const;
    // In the program editor: the entry line while debugging, else the program.
    LineEditor* programOrEntry() const;

    LineEditor* editorFor(int screen) const;
    LineEditor* editorInFront() const;
    // Empties the editor in front; nothing on screens without one.
    void clear() const;

private:
    Calculator& calc_;
};

} // namespace orvenda
