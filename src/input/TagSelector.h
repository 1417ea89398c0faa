#pragma once

#include <QWidget>

#include <string>
#include <vector>

class QListWidget;
class QTabBar;

namespace orvenda {

class OverlaySlide;

// What the tag picker asks of and tells its owner.
class TagSelectorDelegate {
public:
    virtual ~TagSelectorDelegate() = default;
    // The tags offered, "Show All" first.
    virtual std::vector<std::string> tagNames() const = 0;
    // type: 0 all programs, 1 the user's own, 2 the sample programs; "" for "Show All".
    virtual void didSelectTag(const std::string& tag, int type) = 0;
    virtual void tagSelectorDidCancel() = 0;
};

// The program library's tag picker: which programs (all, the user's, the samples) and
// one tag from the delegate's list; a picked row reports the tag and the type, "Cancel"
// reports nothing chosen. A change of source reports the tag chosen with the new type,
// then shows the tags the delegate has for it. Main thread.
class TagSelector : public QWidget {
public:
    explicit TagSelector(TagSelectorDelegate& delegate, QWidget* parent = nullptr);

    // Reloads the tags from the delegate and selects the tag (the first row when absent);
    // the type selector shows type.
    void startWithTag(const std::string& tag, int type);
    // Slides in over the parent's full size (show) or out again.
    void showView(bool show);
    // Stands where its slide has it over the parent as the parent now is (the parent lays
    // it out with this at every change of size, during a slide too).
    void placeView() const;
    // The panel's size when shown beside its button.
    QSize viewSize() const;

    // Picks a row as a tap does; out-of-range rows do nothing.
    void pickRow(int row);
    // Keys over the picker (its owner passes them on while it shows): up and down move
    // through the tags (by -1, 1), left and right through the sources; ENTER picks.
    void moveRow(int by);
    void moveSource(int by);
    void pickCurrent() { pickRow(selectedRow()); }
    void cancel();
    int selectedRow() const;
    int type() const;
    QStringList rowTitles() const;
    void setType(int type);
    // A tap on a source, as the source selector takes it.
    void switchSource(int type);
    // While a change of source is being reported.
    bool switchingSource() const { return switching_; }
    QTabBar& sourceBar() const { return *types_; }

private:
    TagSelectorDelegate& delegate_;
    std::vector<std::string> tags_;
    QTabBar* types_;
    QListWidget* list_;
    OverlaySlide* slide_;
    bool switching_ = false;
};

} // namespace orvenda
