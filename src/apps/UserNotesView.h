#pragma once

#include "input/ProgramNotesPage.h"

#include <QRect>

#include <memory>
#include <string>

class QLineEdit;
class QPlainTextEdit;
class QTextBrowser;

namespace orvenda {

class Calculator;
class ProgramFiles;
class ProgramModel;
class NotesDocument;
class OverlaySlide;
class UserNotesInfoView;

// A program's notes page: the notes rendered as HTML (screen blocks as calculator-screen
// boxes, in the light or dark look), or, in edit mode, the notes as text under a panel with
// the file's dates, the tags and the description. A note holding "<html" is shown as the
// page it is. Notes are foreign input: the page loads nothing they name and shows them
// bounded (NotesDocument). What the page shows is saved on every change of mode, every
// layout and when it is left, so the file always holds it.
//
// Saving goes through the calculator's program manager when it has this program open
// (the editor's copy and the file stay one), otherwise through a manager of the page's own
// that reads the file afresh. Main thread.
class UserNotesView : public ProgramNotesPage {
public:
    UserNotesView(Calculator& calc, std::shared_ptr<const ProgramFiles> files, QWidget* parent = nullptr);
    ~UserNotesView() override;

    void setProgramName(const std::string& name) override;
    void allowEditing(bool editing, bool animate) override { showView(editing ? 0 : 1, animate); }
    void done() override;
    const std::string& programName() const override { return programName_; }
    bool editing() const override { return editable_; }
    QString notesText() const override;
    const QString& shownHtml() const override { return html_; }

    // 0 edit, 1 the rendered notes; saves first.
    void showView(int view, bool animate);
    // Shows the text as finished HTML or through the editor, in the current mode.
    void updateDisplay();
    void saveNotes();

    QPlainTextEdit& textView() const { return *text_; }
    QTextBrowser& webView() const { return *web_; }
    const NotesDocument& notesDocument() const { return *page_; }
    QLineEdit& tagField() const { return *tags_; }
    QLineEdit& descField() const { return *desc_; }
    const UserNotesInfoView& infoView() const { return *info_; }
    QWidget& infoPanel() const { return *panel_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // The manager that saves this program: the editor's when it has it open.
    ProgramModel& manager();
    bool dark() const;
    void load(const QString& html);
    void layoutViews(bool animate);
    // The panel, text and preview laid out that far from the preview to the editing.
    void layAt(double editing);

    Calculator& calc_;
    std::unique_ptr<ProgramModel> own_;
    std::string programName_;
    bool editable_ = false;
    QString html_;
    QWidget* panel_;
    UserNotesInfoView* info_;
    QLineEdit* tags_;
    QLineEdit* desc_;
    QPlainTextEdit* text_;
    QTextBrowser* web_;
    NotesDocument* page_;
    // The slide between the preview and the editing.
    OverlaySlide* modes_;
};

} // namespace orvenda
