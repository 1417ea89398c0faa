#include "programs/ProgramEditorScreen.h"

#include "app/ImageButton.h"
#include "app/LcdView.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "drawing/VImageDraw.h"
#include "eval/Parser.h"
#include "pretty/FontMap.h"
#include "programs/ProgramEditMagnifier.h"
#include "programs/ProgramEditView.h"
#include "programs/ProgramModel.h"
#include "programs/ProgramOutputView.h"

#include <QLabel>

namespace orvenda {

namespace {

constexpr int kBarHeight = 30;

} // namespace

ProgramEditorScreen::ProgramEditorScreen(Calculator& calc, ProgramModel& model, const ProgramOutputModel& output,
    QWidget* parent)
    : ScreenController(calc, parent), model_(model), background_(new LcdView(calc, this)), name_(new QLabel(this)),
      debug_(new ImageButton(QStringLiteral("Debug"), this)), quit_(new ImageButton(QStringLiteral("Quit"), this)),
      edit_(new ProgramEditView(calc, model, this)), output_(new ProgramOutputView(calc, output, this)),
      magnifier_(new ProgramEditMagnifier(calc, model, this))
{
    const double scale = calc.device == 1 ? 1.5 : 1;
    name_->setFont(FontMap::shared().font("Helvetica-Bold", calc.device == 1 ? 18 : 14));
    name_->setStyleSheet(QStringLiteral("color: black; background: transparent;"));
    for (ImageButton* button : {debug_, quit_}) {
        button->setBackgroundImage(VImageDraw::vImageDraw().getImage("fkeyShort2", scale));
        button->setTitleFont("Helvetica-Bold", calc.device == 1 ? 16 : 13, 0.6);
        button->setFocusPolicy(Qt::NoFocus);
    }
    connect(debug_, &QPushButton::clicked, this, [this] { editDebug(); });
    connect(quit_, &QPushButton::clicked, this, [this] {
        if (onQuit)
            onQuit();
    });
    edit_->changed = [this] { this->calc().notificationCenter().post(VQRedrawKeyboard, this); };
    output_->hide();
    magnifier_->hide();
    edit_->magnify = [this](QPointF at) {
        magnifier_->setGeometry(edit_->geometry());
        magnifier_->show();
        magnifier_->raise();
        magnifier_->magnifyAt(at);
    };
    edit_->hideMagnify = [this] { magnifier_->hide(); };
}

void ProgramEditorScreen::subscribe()
{
    const auto redraw = [this](const Notification&) {
        if (model_.debug()) {
            output_->update();
        } else {
            edit_->update();
            if (magnifier_->isVisible())
                magnifier_->update();
        }
    };
    observe(VQBlinkCursor, redraw);
    observe(VQEntryTextChanged, redraw);
    observe(VQUpdatePgmOutput, redraw);
    observe(VQMakeCursorVisible, [this](const Notification&) { edit_->makeCursorVisible(); });
    observe(VQDidProgramStep, [this](const Notification&) { programStopped(); });
    observe(VQProgramEnded, [this](const Notification&) { programStopped(); });
}

// The debugger decides whether it comes back (it hears the stop wherever the run left the
// screens).
void ProgramEditorScreen::programStopped() { updateDisplay(); }

void ProgramEditorScreen::focus(bool gained)
{
    ScreenController::focus(gained);
    if (gained) {
        updateDisplay();
    } else {
        magnifier_->hide();
        model_.saveProgram();
    }
}

void ProgramEditorScreen::editDebug()
{
    const bool on = !model_.debug();
    model_.setDebug(on);
    if (on) {
        model_.setLine(0, 0);
        calc().showDebugger(true);
    }
    updateDisplay();
}

nlohmann::json ProgramEditorScreen::typedPlace() const { return model_.debug() ? answerPlace() : nlohmann::json(); }

void ProgramEditorScreen::updateDisplay()
{
    const bool debugging = model_.debug();
    const QString name = QString::fromStdString(model_.programName());
    name_->setText((debugging ? QStringLiteral("Debug:%1") : QStringLiteral("Program:%1")).arg(name));
    debug_->setVisible(!debugging);
    edit_->setDebug(false);
    edit_->setVisible(!debugging);
    if (debugging)
        magnifier_->hide();
    output_->setVisible(debugging);
    edit_->makeCursorVisible();
    output_->update();
}

void ProgramEditorScreen::resizeEvent(QResizeEvent*)
{
    const int w = width();
    const int h = height();
    background_->setGeometry(rect());
    const int buttonWidth = calc().device == 1 ? 90 : 62;
    const int buttonHeight = kBarHeight - 4;
    quit_->setGeometry(w - buttonWidth - 4, 2, buttonWidth, buttonHeight);
    debug_->setGeometry(w - 2 * buttonWidth - 8, 2, buttonWidth, buttonHeight);
    name_->setGeometry(8, 0, std::max(0, w - 2 * buttonWidth - 20), kBarHeight);
    const QRect body(4, kBarHeight, std::max(0, w - 8), std::max(0, h - kBarHeight - 4));
    edit_->setGeometry(body);
    output_->setGeometry(body);
    magnifier_->setGeometry(body);
}

} // namespace orvenda
