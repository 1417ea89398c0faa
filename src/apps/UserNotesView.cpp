#include "apps/UserNotesView.h"

#include "app/AppDelegate.h"
#include "app/OverlaySlide.h"
#include "apps/UserNotesInfoView.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "programs/NotesDocument.h"
#include "programs/NotesHtml.h"
#include "programs/ProgramFiles.h"
#include "programs/ProgramModel.h"

#include <QCoreApplication>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace orvenda {

namespace {

constexpr int kDatesHeight = 36;
// A run of text this long without a blank is broken anywhere in the editor: breaking it at
// word boundaries costs time that grows with the square of its length.
constexpr int kLongRun = 1000;

bool hasLongRun(const QString& text)
{
    int run = 0;
    for (const QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > kLongRun)
            return true;
    }
    return false;
}

} // namespace

UserNotesView::UserNotesView(Calculator& calc, std::shared_ptr<const ProgramFiles> files, QWidget* parent)
    : ProgramNotesPage(parent), calc_(calc), own_(std::make_unique<ProgramModel>(calc, files)), panel_(new QWidget(this)),
      info_(new UserNotesInfoView(*files, panel_)), tags_(new QLineEdit(panel_)), desc_(new QLineEdit(panel_)),
      text_(new QPlainTextEdit(this)), web_(new QTextBrowser(this)), page_(new NotesDocument(web_))
{
    // Text colours of the page's surroundings: the panel reads like the text under it.
    for (QWidget* w : std::initializer_list<QWidget*>{this, panel_}) {
        w->setBackgroundRole(QPalette::Base);
        w->setForegroundRole(QPalette::Text);
    }
    setAutoFillBackground(true);
    auto* column = new QVBoxLayout(panel_);
    column->setContentsMargins(6, 4, 6, 4);
    info_->setFixedHeight(kDatesHeight);
    column->addWidget(info_);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Tags"), tags_);
    form->addRow(QStringLiteral("Description"), desc_);
    column->addLayout(form);
    panel_->setAutoFillBackground(true);
    text_->setFrameShape(QFrame::NoFrame);
    web_->setFrameShape(QFrame::NoFrame);
    web_->setOpenLinks(false);
    web_->setDocument(page_);
    web_->hide();
    // The page opens on its preview, the panel above it out of reach.
    panel_->hide();
    modes_ = new OverlaySlide(*this, [this](double editing) { layAt(editing); });
    modes_->arrived = [this](bool) { panel_->setVisible(editable_); };
    // The app may end while the page is being edited: what it shows is in the file first.
    if (QCoreApplication::instance())
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] { saveNotes(); });
    // And at every save of the app: a kill after it loses nothing typed before it.
    calc_.notificationCenter().addObserver(this, AppDelegate::kWillSaveState, [this](const Notification&) { saveNotes(); });
}

UserNotesView::~UserNotesView() { calc_.notificationCenter().removeObserver(this); }

QString UserNotesView::notesText() const { return text_->toPlainText(); }

bool UserNotesView::dark() const { return QGuiApplication::palette().color(QPalette::Window).lightnessF() < 0.5; }

ProgramModel& UserNotesView::manager()
{
    if (auto* editor = dynamic_cast<ProgramModel*>(calc_.prgmManager.get()); editor && editor->programName() == programName_)
        return *editor;
    return *own_;
}

void UserNotesView::setProgramName(const std::string& name)
{
    programName_ = name;
    info_->setProgramName(name);
    ProgramModel& programs = manager();
    // The page's own manager reads the file afresh; the editor's holds what it shows.
    if (&programs == own_.get())
        own_->loadProgram(name);
    const QString notes = QString::fromStdString(programs.programNotes());
    text_->setWordWrapMode(hasLongRun(notes) ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
    text_->setPlainText(notes);
    text_->moveCursor(QTextCursor::Start);
    tags_->setText(QString::fromStdString(programs.programTagString()));
    desc_->setText(QString::fromStdString(programs.programDescription()));
    // Read from their start, as the notes from their top.
    tags_->home(false);
    desc_->home(false);
    info_->update();
    updateDisplay();
}

void UserNotesView::load(const QString& html)
{
    html_ = html;
    // The browser's own background behind the page's, so no light edge shows in the dark.
    QPalette colours = web_->palette();
    colours.setColor(QPalette::Base, dark() ? Qt::black : Qt::white);
    web_->setPalette(colours);
    page_->setNotesHtml(html_);
    // A page shown afresh reads from its top, wherever the last one was left.
    web_->moveCursor(QTextCursor::Start);
    web_->verticalScrollBar()->setValue(0);
}

void UserNotesView::updateDisplay()
{
    if (notesText().contains(QLatin1String("<html"))) {
        load(QString::fromStdString(NotesHtml::adjustScale(notesText().toStdString(), calc_.device == 1)));
        web_->show();
        text_->hide();
    } else {
        web_->hide();
        text_->show();
    }
    showView(editable_ ? 0 : 1, false);
}

void UserNotesView::showView(int view, bool animate)
{
    saveNotes();
    if (view == 1) {
        const std::string html = NotesHtml::htmlForNote(notesText().toStdString(), dark());
        load(QString::fromStdString(NotesHtml::adjustScale(html, calc_.device == 1)));
        web_->show();
        text_->hide();
        text_->setReadOnly(true);
        editable_ = false;
        for (QWidget* editor : std::initializer_list<QWidget*>{text_, tags_, desc_})
            editor->clearFocus();
    } else {
        web_->hide();
        text_->show();
        text_->setReadOnly(false);
        editable_ = true;
    }
    layoutViews(animate);
}

void UserNotesView::layoutViews(bool animate)
{
    // The tags and description, slid above the page to preview it, are hidden there: no
    // field above the window takes a click or Tab.
    if (editable_)
        panel_->show();
    if (animate) {
        modes_->slide(editable_);
        return;
    }
    modes_->jump(editable_);
    panel_->setVisible(editable_);
}

void UserNotesView::layAt(double editing)
{
    // From the preview (the panel above the page, the text over all of it) to the editing
    // (the panel at the top, the text under it), at the page's size as it stands.
    const int panelHeight = panel_->sizeHint().height();
    const QRect body = rect();
    const QRect panelIn(0, 0, width(), panelHeight);
    panel_->setGeometry(OverlaySlide::between(panelIn.translated(0, -panelHeight), panelIn, editing));
    const QRect under(0, panelHeight, width(), std::max(0, height() - panelHeight));
    for (QWidget* view : std::initializer_list<QWidget*>{text_, web_})
        view->setGeometry(OverlaySlide::between(body, under, editing));
}

void UserNotesView::resizeEvent(QResizeEvent*)
{
    if (!programName_.empty())
        saveNotes();
    modes_->place();
}

void UserNotesView::saveNotes()
{
    if (programName_.empty())
        return;
    ProgramModel& programs = manager();
    // The page's own manager reads the file again, so nothing it read before (the
    // opcodes, another page's notes) goes back over what was saved since.
    if (&programs == own_.get())
        own_->loadProgram(programName_);
    const std::string notes = notesText().toStdString();
    const std::string tags = tags_->text().toStdString();
    const std::string desc = desc_->text().toStdString();
    // Only what changed marks the program changed: the file is written when it differs.
    if (notes != programs.programNotes())
        programs.saveProgramNotes(notes);
    if (tags != programs.programTagString())
        programs.saveTags(tags);
    if (desc != programs.programDescription())
        programs.saveProgramDescription(desc);
    programs.saveProgram();
}

void UserNotesView::done()
{
    for (QWidget* editor : std::initializer_list<QWidget*>{text_, tags_, desc_})
        editor->clearFocus();
    saveNotes();
}

} // namespace orvenda
