#include "programs/ProgramDebuggerScreen.h"

#include "app/ImageButton.h"
#include "app/ScreenRegistry.h"
#include "app/ScreenRouter.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "drawing/VImageDraw.h"
#include "eval/Parser.h"
#include "eval/ProgramQueue.h"
#include "input/KeyCommands.h"
#include "input/KeyTables.h"
#include "pretty/FontMap.h"
#include "programs/ProgramEditView.h"
#include "programs/ProgramModel.h"
#include "programs/VarsView.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

#include <cmath>
#include <tuple>

namespace orvenda {

namespace {

constexpr int kLabelHeight = 24;
constexpr int kTabletInsetX = 13;
constexpr int kTabletInsetY = 12;
constexpr int kTabletTop = 22;

} // namespace

ProgramDebuggerScreen::ProgramDebuggerScreen(Calculator& calc, ProgramModel& model, QWidget* parent)
    : ScreenController(calc, parent), model_(model), name_(new QLabel(this)), edit_(new ProgramEditView(calc, model, this)),
      vars_(new VarsView(calc, model)), varsScroller_(new QScrollArea(this)),
      step_(new ImageButton(this)), run_(new ImageButton(this)), quit_(new ImageButton(this)), repeat_(new QTimer(this)),
      session_(new QObject(this))
{
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(false);
    edit_->setDebug(true);
    varsScroller_->setWidget(vars_);
    varsScroller_->setFrameShape(QFrame::NoFrame);
    varsScroller_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    varsScroller_->setStyleSheet(QStringLiteral("background: rgb(230, 240, 250);"));
    name_->setFont(FontMap::shared().font("Helvetica-Bold", calc.device == 1 ? 18 : 14));
    name_->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    const double scale = calc.device == 1 ? 1.5 : 1;
    // The images carry their titles; the names are for assistive tools.
    const std::tuple<ImageButton*, const char*, const char*> images[] = {
        {step_, "fkeyStep", "Step"}, {run_, "fkeyRun", "Run"}, {quit_, "fkeyQuit", "Quit"}};
    for (const auto& [button, image, name] : images) {
        button->setBackgroundImage(VImageDraw::vImageDraw().getImage(image, scale));
        button->setAccessibleName(QString::fromLatin1(name));
        button->setFocusPolicy(Qt::NoFocus);
    }
    connect(step_, &QPushButton::pressed, this, [this] { stepPressed(); });
    connect(step_, &QPushButton::released, this, [this] { stepReleased(); });
    connect(run_, &QPushButton::clicked, this, [this] { run(); });
    connect(quit_, &QPushButton::clicked, this, [this] { done(); });
    connect(repeat_, &QTimer::timeout, this, [this] { autoKey(); });
    // s and S stay the step keys while the debugger waits hidden for a prompt's answer.
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
    // A run the debugger started stops wherever it stopped (over the graph, the table, the
    // output), with the debugger hidden: it is heard all the same.
    NotificationCenter& bus = calc.notificationCenter();
    observeOnOwnerThread(bus, session_, VQDidProgramStep, [this](const Notification&) { runStopped(false); });
    observeOnOwnerThread(bus, session_, VQProgramEnded, [this](const Notification&) { runStopped(true); });
    observeOnOwnerThread(bus, session_, VQKeyPress, [this](const Notification& n) {
        // QUIT (and Escape, which the keyboard makes QUIT) and the Home key leave the
        // debugger, also from the output a Run shows with the debugger hidden.
        const std::uint32_t op = n.userInfo.value("shiftedOp", 0u);
        if (model_.debug() && (op == KeyTables::kQuit || op == KeyTables::kHomeScreen)
            && (isVisible() || this->calc().currentScreen() == screens::ProgramEditor))
            done();
    });
}

ProgramDebuggerScreen::~ProgramDebuggerScreen() { calc().notificationCenter().removeObserver(session_); }

bool ProgramDebuggerScreen::eventFilter(QObject* watched, QEvent* event)
{
    // Keys reach widgets: the event itself is read only then. Work the program thread posts
    // goes to no widget, and is read only by its receiver, under the queue's lock.
    if (model_.debug() && watched->isWidgetType() && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        const QString text = key->text();
        const bool plain = (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0;
        const bool waiting = isHidden() && calc().question().asks();
        // A step that showed the graph or the table leaves it in front: s still steps.
        auto* target = static_cast<QWidget*>(watched);
        // An alert over the window (a step's error) takes its keys: nothing steps behind it.
        const bool elsewhere = model_.stepping() && target != this && !isAncestorOf(target) && target->window() == window();
        if (plain && (text == QLatin1String("s") || text == QLatin1String("S")) && (waiting || elsewhere)) {
            stepKey();
            return true;
        }
    }
    return ScreenController::eventFilter(watched, event);
}

void ProgramDebuggerScreen::subscribe()
{
    const auto redraw = [this](const Notification&) {
        edit_->update();
        vars_->update();
    };
    observe(VQBlinkCursor, redraw);
    observe(VQEntryTextChanged, redraw);
    observe(VQMakeCursorVisible, [this](const Notification&) { edit_->makeCursorVisible(); });
}

void ProgramDebuggerScreen::focus(bool gained)
{
    ScreenController::focus(gained);
    for (ImageButton* button : {step_, run_, quit_})
        button->setVisible(gained);
    if (gained) {
        setFocus();
        updateDisplay();
    } else {
        repeat_->stop();
        model_.saveProgram();
    }
}

void ProgramDebuggerScreen::updateDisplay()
{
    edit_->setDebug(true);
    name_->setText(QStringLiteral("Debug:%1").arg(QString::fromStdString(model_.programName())));
    // As wide as the panel, long lines wrapped: it scrolls up and down only, its bar beside
    // the lines when they are more than it shows.
    int w = varsScroller_->width();
    const auto tall = [&] { return static_cast<int>((vars_->shownLines(w).size() + 1) * vars_->leading()); };
    if (tall() > varsScroller_->height())
        w -= varsScroller_->verticalScrollBar()->sizeHint().width();
    vars_->resize(std::max(0, w), std::max(tall(), varsScroller_->height()));
    edit_->makeCursorVisible();
    edit_->update();
    vars_->update();
    update();
}

bool ProgramDebuggerScreen::stepRunning() const
{
    Parser& parser = calc().parser();
    return parser.programQueue().programQueueCount() > 0 && !calc().question().asks();
}

void ProgramDebuggerScreen::stepKey()
{
    // Typed at once after an answer, the steps come after it, as they would at any pace.
    if (!inTurn_) {
        step();
        return;
    }
    inTurn_([self = QPointer<ProgramDebuggerScreen>(this)] {
        if (self && self->model_.debug())
            self->step();
    });
}

bool ProgramDebuggerScreen::step()
{
    if (stepRunning()) {
        ++stepsOwed_;
        return true;
    }
    return stepNow();
}

void ProgramDebuggerScreen::takeOwedStep()
{
    if (stepsOwed_ == 0 || !model_.debug())
        return;
    // The step's report comes before its run has quite ended on the queue: looked at
    // again behind what the main thread has to do.
    if (stepRunning()) {
        calc().parser().programQueue().post([self = QPointer<ProgramDebuggerScreen>(this)] {
            if (self)
                self->takeOwedStep();
        });
        return;
    }
    --stepsOwed_;
    stepNow();
}

bool ProgramDebuggerScreen::stepNow()
{
    Calculator& c = calc();
    // An Input or Prompt waiting for its answer takes it as ENTER.
    if (c.question().asks()) {
        model_.setRunOnceAnswered(false);
        c.processKeyOp(static_cast<int>(KeyTables::kEnter));
        updateDisplay();
        return true;
    }
    // A Menu( waiting for its pick takes it as ENTER too: its highlighted row is picked,
    // never stepped past with its rows left on the output.
    if (c.question().picks()) {
        c.parser().menuKey(static_cast<int>(KeyTables::kEnter));
        updateDisplay();
        return false;
    }
    const bool stepped = model_.singleStep();
    updateDisplay();
    return stepped;
}

void ProgramDebuggerScreen::stepPressed()
{
    repeat_->stop();
    if (step()) {
        repeat_->setInterval(kFirstRepeatMs);
        repeat_->start();
    }
}

void ProgramDebuggerScreen::stepReleased() { repeat_->stop(); }

void ProgramDebuggerScreen::autoKey()
{
    // A held Step steps as the steps come back, and owes none.
    if (stepRunning())
        return;
    if (!stepNow()) {
        repeat_->stop();
        return;
    }
    if (repeat_->interval() != kRepeatMs) {
        repeat_->setInterval(kRepeatMs);
        repeat_->start();
    }
}

void ProgramDebuggerScreen::run()
{
    repeat_->stop();
    stepsOwed_ = 0;
    // A stepped question takes what was typed for it first; once it and the questions
    // after it are answered, the run goes on.
    Calculator& c = calc();
    if (model_.stepping() && c.question().asks()) {
        model_.setRunOnceAnswered(true);
        c.processKeyOp(static_cast<int>(KeyTables::kEnter));
        return;
    }
    // So does a stepped Menu( its highlighted row; the run goes on from the row's label.
    if (c.question().picks()) {
        const bool stepped = model_.stepping();
        c.parser().menuKey(static_cast<int>(KeyTables::kEnter));
        if (!stepped || c.question().picks())
            return;
    }
    if (model_.run()) {
        edit_->update();
        calc().suspendDebugger();
    }
}

void ProgramDebuggerScreen::done()
{
    repeat_->stop();
    stepsOwed_ = 0;
    // The run in progress (waiting for an answer, a menu pick or a key, at a breakpoint,
    // between steps, inside a called program) ends as a break, as the debugger's own: no
    // question or frame waits unseen for the keys typed after.
    if (!model_.runStartedIn().empty()) {
        leaving_ = true;
        calc().parser().programQueue().breakStopped(model_.programName(), model_.prgmEditCursor());
        leaving_ = false;
    }
    hide();
    model_.setDebug(false);
    calc().showDebugger(false);
}

void ProgramDebuggerScreen::runStopped(bool ended)
{
    if (!model_.debug() || leaving_)
        return;
    if (ended)
        stepsOwed_ = 0;
    // Whatever the run showed, the debugger comes back over the output at the next line to
    // run. A Run's question, menu or pause keeps the keyboard in front until it is
    // answered; so does a Step's question or menu where the debugger would lie over the
    // keyboard (beside it, the debugger stays in sight and Step answers).
    Calculator& c = calc();
    if (ScreenRouter::debuggerStandsAside(c, size(), c.device == 1))
        c.suspendDebugger();
    else
        c.showDebugger(true);
    updateDisplay();
    if (!ended)
        takeOwedStep();
}

void ProgramDebuggerScreen::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text();
    // s and S are the debugger's only key commands; Escape leaves as Quit does.
    if (text == QLatin1String("s") || text == QLatin1String("S"))
        stepKey();
    else if (event->key() == Qt::Key_Escape)
        done();
    else if (!offerToStep(*event))
        ScreenController::keyPressEvent(event);
}

bool ProgramDebuggerScreen::offerToStep(const QKeyEvent& event)
{
    // Other keys go to the calculator keyboard's dispatch, where a getKey the next step runs
    // reads them. A lower-case letter would open the catalogue over the debugger, a space
    // does nothing there, and a character no key command types has no op: each is a key on
    // no key to that getKey.
    const QString text = event.text();
    const bool onNoKey = text.size() == 1 && (text.front().isLower() || text.front() == QLatin1Char(' '));
    if (!onNoKey && computerKeys_ && computerKeys_(event))
        return true;
    if (!KeyCommands::typesCharacter(event) || calc().question().asks())
        return false;
    calc().lastKey = KeyTables::kNoKeyCode;
    return true;
}

void ProgramDebuggerScreen::resizeEvent(QResizeEvent*)
{
    // The display above stays the program output's: the same frames the router lays out.
    const bool tablet = calc().device == 1;
    QSizeF area = size();
    if (tablet && parentWidget())
        area = QSizeF(parentWidget()->width() - 2 * kTabletInsetX, parentWidget()->height() - 2 * kTabletInsetY);
    const ScreenRouter::Frames frames = ScreenRouter::layoutFrames(area, tablet);
    const int displayHeight = std::clamp(static_cast<int>(frames.display.height()) - (tablet ? kTabletTop : 0), 0, height());
    // A phone on its side has it on the right half, beside the display and keyboard the root
    // keeps on the left.
    part_ = ScreenRouter::debuggerBeside(size(), tablet) ? QRect(width() / 2, 0, width() - width() / 2, height())
                                                         : QRect(0, displayHeight, width(), height() - displayHeight);
    setMask(QRegion(part_));
    const int w = part_.width();
    const int left = part_.left();
    const int top = part_.top();
    const int buttonHeight = tablet ? 51 : 34;
    const int buttonWidth = std::min(tablet ? 93 : 62, std::max(0, (w - 16) / 3));
    name_->setGeometry(left + 8, top, std::max(0, w - 16), kLabelHeight);
    const int bottom = part_.bottom() + 1 - buttonHeight - 6;
    const int body = std::max(0, bottom - top - kLabelHeight - 4);
    // The program takes three fifths, the variables the rest, but at least their first
    // lines whole where the body is short (as long as the program keeps two fifths); the
    // panel is 4 points less than its share.
    constexpr int kLeastVarLines = 6;
    const int leastVars = static_cast<int>(std::ceil(vars_->linesHeight(kLeastVarLines))) + 4;
    const int varsHeight = std::max(body - body * 3 / 5, std::min(leastVars, body - body * 2 / 5));
    const int programHeight = body - varsHeight;
    edit_->setGeometry(left + 4, top + kLabelHeight, std::max(0, w - 8), programHeight);
    varsScroller_->setGeometry(left + 4, top + kLabelHeight + programHeight + 4, std::max(0, w - 8),
                               std::max(0, body - programHeight - 4));
    const int gap = std::max(0, (w - 3 * buttonWidth) / 4);
    step_->setGeometry(left + gap, bottom + 3, buttonWidth, buttonHeight);
    run_->setGeometry(left + 2 * gap + buttonWidth, bottom + 3, buttonWidth, buttonHeight);
    quit_->setGeometry(left + 3 * gap + 2 * buttonWidth, bottom + 3, buttonWidth, buttonHeight);
    updateDisplay();
}

void ProgramDebuggerScreen::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(part_, QColor(37, 81, 193));
    painter.fillRect(edit_->geometry(), QColor(196, 227, 253));
}

QWidget* ProgramDebuggerScreen::leaveControl() const { return quit_; }

} // namespace orvenda
