#pragma once

#include <QString>
#include <QWidget>

#include <string>

namespace orvenda {

// The page of a program's notes, tags and description that the program library pushes
// from a row's accessory (made by the composition root, which knows the program files).
// Main thread.
class ProgramNotesPage : public QWidget {
public:
    using QWidget::QWidget;

    // Loads the program's notes, tags and description into the page.
    virtual void setProgramName(const std::string& name) = 0;
    // Edit (true) or the rendered notes (false); what is on the page is saved first.
    virtual void allowEditing(bool editing, bool animate) = 0;
    // The page is left: its editors give up the keys and what it shows is saved.
    virtual void done() = 0;
    virtual const std::string& programName() const = 0;
    virtual bool editing() const = 0;
    // The notes as typed, and the HTML the rendered view shows.
    virtual QString notesText() const = 0;
    virtual const QString& shownHtml() const = 0;
};

} // namespace orvenda
