#include "apps/FinanceScreen.h"

#include "app/AppShell.h"
#include "app/LcdView.h"
#include "core/Calculator.h"
#include "core/NotificationNames.h"
#include "input/SegmentedControl.h"
#include "language/ErrorNumbers.h"
#include "language/VariableSlots.h"
#include "pretty/FontMap.h"

#include <QKeyEvent>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

struct Row {
    const char* label;
    int slot;
};
constexpr Row kRows[] = {{" N  =", kSlotTvmN}, {" I% =", kSlotTvmIPercent}, {" PV =", kSlotTvmPV}, {" PMT=", kSlotTvmPMT},
                         {" FV =", kSlotTvmFV}, {" P/Y=", kSlotPY}, {" C/Y=", kSlotCY}};
// Segment 0 is "End", which the begin/end slot holds as 1 (as Pmt_End stores it).
constexpr int kEndSegment = 0, kBeginSegment = 1;
constexpr int kButtonHeight = 36;

} // namespace

FinanceScreen::FinanceScreen(Calculator& calc, AppShell& shell, QWidget* parent)
    : ScreenController(calc, parent), lcd_(new LcdView(calc, this)), shell_(shell), form_(new VQTemplateView(calc, shell, this)),
      timing_(new SegmentedControl({QStringLiteral("End"), QStringLiteral("Begin")}, this)),
      done_(new QPushButton(QStringLiteral("Done"), this)), solve_(new QPushButton(QStringLiteral("Solve"), this))
{
    form_->setDelegate(this);
    form_->setTitle(QStringLiteral("TVM SOLVER"));
    timing_->changed = [this](int segment) { begEnd(segment); };
    for (QPushButton* button : {done_, solve_}) {
        button->setFocusPolicy(Qt::NoFocus);
    }
    connect(done_, &QPushButton::clicked, this, [this] { leave(); });
    // Solve acts as a key: after the answer of an ENTER typed before it, which fills a field.
    connect(solve_, &QPushButton::clicked, this, [this] { shell_.keys().press([this] { solve(); }, 0); });
    updateFields();
    updateDisplay();
}

QWidget* FinanceScreen::leaveControl() const { return done_; }

int FinanceScreen::errorNumberFor(int tvmError)
{
    if (tvmError == TVM::None)
        return 0;
    return tvmError >= 1 && tvmError <= 12 ? TVM::kErrorBase + tvmError : ErrUndefined;
}

void FinanceScreen::updateFields()
{
    std::vector<VQTemplateField> fields;
    {
        // The seven values of one moment.
        const auto state = calc().locked();
        int order = 0;
        for (const Row& r : kRows) {
            const double value = state->vars[static_cast<std::size_t>(r.slot)].real();
            VQTemplateField field = VQTemplateField::fieldValue(value, VQTemplateField::Number, order, 0, order, r.label, r.slot);
            // The mark stays while the slot holds what was found (a program may store there).
            field.solved = r.slot == solvedSlot_ && value == solvedValue_;
            fields.push_back(std::move(field));
            ++order;
        }
    }
    form_->setFields(std::move(fields));
}

void FinanceScreen::updateDisplay()
{
    const double timing = calc().getVar(kSlotPaymentTiming).value.real();
    timing_->setSelected(std::trunc(timing) != 0 ? kEndSegment : kBeginSegment);
    updateFields();
    form_->update();
}

void FinanceScreen::focus(bool gained)
{
    ScreenController::focus(gained);
    if (gained)
        updateDisplay();
    form_->focus(gained);
}

void FinanceScreen::subscribe()
{
    observe(VQSolve, [this](const Notification&) { solve(); });
}

void FinanceScreen::begEnd(int segment)
{
    calc().setVar(kSlotPaymentTiming, {{segment == kEndSegment ? 1.0 : 0.0, 0.0}});
}

void FinanceScreen::fieldDidChange(VQTemplateField& field)
{
    calc().setVar(field.tag, {{field.value, 0.0}});
    solvedSlot_ = 0;
    for (VQTemplateField& f : form_->fields())
        f.solved = false;
    form_->update();
}

void FinanceScreen::solve()
{
    // A value being typed counts; one that does not evaluate stops here with its error.
    if (!form_->getEntry()) {
        form_->update();
        return;
    }
    const int current = form_->currentField();
    if (current < 0)
        return;
    const int slot = form_->fields()[static_cast<std::size_t>(current)].tag;
    TVMRecord r;
    {
        // Every quantity from one moment, whatever a running program stores meanwhile.
        const auto state = calc().locked();
        const auto value = [&state](int s) { return state->vars[static_cast<std::size_t>(s)].real(); };
        r.n = value(kSlotTvmN);
        r.iPercent = value(kSlotTvmIPercent);
        r.pv = value(kSlotTvmPV);
        r.pmt = value(kSlotTvmPMT);
        r.fv = value(kSlotTvmFV);
        r.py = value(kSlotPY);
        r.cy = value(kSlotCY);
        r.paymentAtBegin = std::trunc(value(kSlotPaymentTiming)) == 0.0;
    }
    double found = 0;
    switch (slot) {
    case kSlotTvmN: found = tvm_.computeN(r); break;
    case kSlotTvmIPercent: found = tvm_.computeI(r); break;
    case kSlotTvmPV: found = tvm_.computePV(r); break;
    case kSlotTvmPMT: found = tvm_.computePMT(r); break;
    case kSlotTvmFV: found = tvm_.computeFV(r); break;
    default:
        // P/Y and C/Y are given, never solved for.
        updateDisplay();
        return;
    }
    if (tvm_.error() != TVM::None) {
        // The quantity keeps its value: a failure writes nothing.
        solvedSlot_ = 0;
        updateDisplay();
        reportTVMError();
        return;
    }
    calc().setVar(slot, {{found, 0.0}});
    solvedSlot_ = slot;
    solvedValue_ = found;
    updateDisplay();
}

void FinanceScreen::reportTVMError()
{
    if (const int n = errorNumberFor(tvm_.error()))
        calc().showError({{"errorNum", n}});
}

void FinanceScreen::resizeEvent(QResizeEvent*)
{
    // A tablet's text is larger by its 22 points to the phone's 15, as far as the seven
    // rows fit the display.
    constexpr double kFormHeight = VQTemplateView::kTitleHeight + 7 * VQTemplateView::kRowHeight;
    const double k = calc().device == 1 ? std::clamp((height() - 4) / kFormHeight, 1.0, kTabletTextScale) : 1;
    lcd_->setGeometry(rect());
    lcd_->lower();
    form_->setScale(k);
    // The rows scroll to the field being typed when the display is too short for them.
    form_->setGeometry(rect());
    for (QPushButton* button : {done_, solve_})
        button->setFont(FontMap::shared().font("Helvetica-Bold", 14 * k));
    done_->setGeometry(4, 2, static_cast<int>(64 * k), static_cast<int>(form_->titleHeight() - 4));
    const int w = width();
    timing_->setGeometry(static_cast<int>(w * 0.6), static_cast<int>(1.5 * form_->rowHeight()),
                         static_cast<int>(w * 0.38), static_cast<int>(form_->rowHeight()));
    const int button = static_cast<int>(kButtonHeight * k);
    solve_->setGeometry(w - static_cast<int>(84 * k), height() - button - 4, static_cast<int>(80 * k), button);
    // The rows scroll past End/Begin and Solve: their numbers end left of both.
    form_->setTextRoom(std::min(timing_->x(), solve_->x()) - 4);
}

QRect FinanceScreen::cursorRect() const { return form_->fieldRect(form_->currentField()).toAlignedRect(); }

void FinanceScreen::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        leave();
        return;
    }
    ScreenController::keyPressEvent(event);
}

} // namespace orvenda
