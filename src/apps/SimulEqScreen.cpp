#include "apps/SimulEqScreen.h"

#include "app/AppShell.h"
#include "app/EntryEvaluator.h"
#include "app/EntryModel.h"
#include "app/LcdView.h"
#include "apps/MatrixEditView.h"
#include "apps/MatrixView.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "core/VQValue.h"
#include "input/SegmentedControl.h"
#include "language/ErrorNumbers.h"
#include "pretty/FontMap.h"

#include <QKeyEvent>
#include <QPushButton>

#include <algorithm>

namespace orvenda {

namespace {

constexpr int kMenuHeight = 36;

QStringList titlesOf(int state, bool solved)
{
    switch (state) {
    case 1: return {"SYSM", "", solved ? "STO SOLN" : "", "RREF", "SOLVE"};
    case 2: return {"SYSM", "", "STO RREF", "RREF", "SOLVE"};
    default: return {"SYSM", "CLR", "LOAD", "", "SOLVE"};
    }
}

constexpr int kStyles[] = {MatrixView::Coefficients, MatrixView::Solution, MatrixView::RRef};

} // namespace

SimulEqScreen::SimulEqScreen(Calculator& calc, AppShell& shell, QWidget* parent)
    : ScreenController(calc, parent), shell_(shell), model_(calc), lcd_(new LcdView(calc, this)),
      editor_(new MatrixEditView(calc, shell, this)), menu_(new SegmentedControl(titlesOf(0, false), this)),
      done_(new QPushButton(QStringLiteral("Done"), this))
{
    done_->setFont(FontMap::shared().font("Helvetica-Bold", 14));
    done_->setFocusPolicy(Qt::NoFocus);
    connect(done_, &QPushButton::clicked, this, [this] { leave(); });
    menu_->setFocusPolicy(Qt::NoFocus);
    menu_->changed = [this](int segment) { menuChange(segment); };
    // A new calculator's system is two equations in two unknowns; a system loaded or kept
    // from the last launch stays whatever its size.
    if (calc.simulMatrix.dimRow() == 0 || calc.simulMatrix.dimCol() == 0) {
        if (auto fresh = VQMatrix::matrixWithRow(2, 3))
            calc.simulMatrix = *fresh;
    }
    changeState(0);
}

int SimulEqScreen::state() const { return calc().simulEqState; }

void SimulEqScreen::changeState(int state)
{
    calc().simulEqState = std::clamp(state, 0, 2);
    const QStringList titles = titlesOf(calc().simulEqState, model_.hasSolution());
    for (int i = 0; i < menu_->count(); ++i)
        menu_->setTitle(i, titles[i]);
    editor_->displayType(kStyles[calc().simulEqState]);
    static constexpr int kHighlighted[] = {0, 4, 3};
    menu_->setSelected(kHighlighted[calc().simulEqState]);
}

void SimulEqScreen::pickMatrix(int what)
{
    pending_ = what;
    calc().notificationCenter().post(VQGetMatrix, this);
}

void SimulEqScreen::menuChange(int segment)
{
    const int s = state();
    if (menu_->title(segment).isEmpty()) {
        // A disabled segment.
        changeState(s);
        return;
    }
    editor_->getEntry();
    switch (segment) {
    case 0: changeState(0); break;
    case 1:
        model_.clear();
        changeState(0);
        break;
    case 2:
        if (s == 0) {
            if (calc().entryManager)
                calc().entryManager->clear();
            menu_->setSelected(0);
            pickMatrix(1);
        } else {
            menu_->setSelected(s == 1 ? 4 : 3);
            pickMatrix(s == 1 ? 2 : 3);
        }
        break;
    case 3: changeState(2); break;
    case 4:
        // A reduction that fails leaves the screen as it was.
        if (model_.solve())
            changeState(1);
        else
            changeState(s);
        break;
    default: break;
    }
}

void SimulEqScreen::finishPick()
{
    const int what = pending_;
    pending_ = 0;
    auto* entry = dynamic_cast<EntryModel*>(calc().entryManager.get());
    if (what == 0 || !entry || entry->entryOps().empty())
        return;
    const std::string name = calc().stringFromOps(entry->entryOps());
    if (what == 1) {
        shell_.evaluator().finalizeEntry();
        if (!entry->entryOps().empty()) {
            entry->clear(); // its error was shown
            return;
        }
        if (shell_.evaluator().fieldValue()) {
            const auto matrix = calc().ans.type() == VQValue::TypeMatrix ? calc().ans.matrix() : nullptr;
            if (matrix)
                calc().simulMatrix = *matrix;
            else
                calc().showError({{"errorNum", int{ErrArgument}}});
        }
        changeState(0);
        return;
    }
    // A name outside [A]…[J] stores nothing, without a word.
    if (what == 2)
        model_.storeSolution(name);
    else
        model_.storeRRef(name);
    entry->clear();
}

void SimulEqScreen::shown(const ScreenRequest&) { pending_ = 0; }

QRect SimulEqScreen::cursorRect() const { return editor_->cellRect(*this); }

QWidget* SimulEqScreen::leaveControl() const { return done_; }

nlohmann::json SimulEqScreen::typedPlace() const
{
    nlohmann::json place = editor_->place();
    place["state"] = state();
    return place;
}

void SimulEqScreen::restoreTypedPlace(const nlohmann::json& place)
{
    // A new screen shows the system: the reduced form, which no save keeps, is reduced again.
    if (placeNumber(place, "state", 2, 2) && model_.solve())
        changeState(2);
    editor_->restorePlace(place);
}

void SimulEqScreen::focus(bool gained)
{
    ScreenController::focus(gained);
    if (!gained)
        return;
    finishPick();
    lcd_->update();
    // Back from under a menu the line keeps what was typed: the menu's pick goes onto it.
    editor_->showField();
    editor_->updateDisplay();
}

void SimulEqScreen::subscribe()
{
    for (const auto& entry : editor_->keyActions())
        observe(entry.first, [action = entry.second](const Notification&) { action(); });
}

void SimulEqScreen::updateDisplay()
{
    lcd_->update();
    editor_->updateDisplay();
}

void SimulEqScreen::resizeEvent(QResizeEvent*)
{
    lcd_->setGeometry(rect());
    editor_->setGeometry(0, 0, width(), height() - kMenuHeight - 4);
    done_->setGeometry(4, height() - kMenuHeight - 2, 64, kMenuHeight);
    menu_->setGeometry(72, height() - kMenuHeight - 2, width() - 76, kMenuHeight);
    lcd_->lower();
}

void SimulEqScreen::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        leave();
        return;
    }
    ScreenController::keyPressEvent(event);
}

} // namespace orvenda
