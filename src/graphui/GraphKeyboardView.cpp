#include "graphui/GraphKeyboardView.h"

#include "app/LcdView.h"
#include "app/OverlaySlide.h"
#include "core/Calculator.h"
#include "graphui/GraphPanelDelegates.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

namespace orvenda {
namespace {

constexpr int kFormHeight = 128;
constexpr int kBarHeight = 34;
// On a tablet the sheet reaches 30 points higher; the keypad takes the room.
constexpr int kTabletExtra = 30;
// A tablet's keypad beside the form.
constexpr int kTabletKeypadWidth = 400;

} // namespace

GraphKeyboardView::GraphKeyboardView(Calculator& calc, AppShell& shell, GraphKeyboardDelegate& delegate, QWidget* parent)
    : QWidget(parent), calc_(calc), delegate_(delegate), sheet_(new QWidget(this)), lcdView_(new LcdView(calc, sheet_)),
      form_(new VQTemplateView(calc, shell, sheet_)), keypad_(new SmallCalcView(calc, sheet_)),
      segment_(new QComboBox(this)), doneButton_(new QPushButton(QStringLiteral("Done"), sheet_)),
      slide_(new OverlaySlide(*this, [this](double in) { layoutSheet(in); }, kSlideMs))
{
    keypad_->delegate = this;
    sheet_->setAutoFillBackground(true);
    for (const char* name : {"value", "zero", "min", "max", "∫f(x)dx"})
        segment_->addItem(QString::fromUtf8(name));
    // The keypad keeps the computer's keys: a pick or a click on Done does not take them.
    segment_->setFocusPolicy(Qt::NoFocus);
    doneButton_->setFocusPolicy(Qt::NoFocus);
    QObject::connect(segment_, &QComboBox::activated, this, [this](int index) { valueIntegral(index); });
    QObject::connect(doneButton_, &QPushButton::clicked, this, [this] { gkDone(); });
    form_->setDelegate(this);
    refreshForm();
    slide_->arrived = [this](bool in) {
        if (!in)
            hide();
    };
    hide();
}

QRect GraphKeyboardView::sheetFrame() const { return sheet_->geometry(); }

void GraphKeyboardView::layoutSheet(double shownFraction)
{
    shown_ = shownFraction;
    dim_ = 0.5 * shownFraction;
    const int w = width();
    // Wider than tall, a keypad as wide as the sheet would be taller than the window: it
    // keeps a phone's size (a tablet's larger one) beside the form.
    const bool beside = w > height();
    const int keypadWidth = !beside ? w : calc_.device == 1 ? kTabletKeypadWidth : static_cast<int>(SmallCalcView::kNarrowWidth);
    const int keypadHeight = keypadWidth * 180 / 320 + 6 + (calc_.device == 1 ? kTabletExtra : 0);
    // Every row of the form (a slider's Step=, a parametric read-out).
    const int formHeight = std::max(kFormHeight, form_->size().height());
    const int h = beside ? kBarHeight + std::max(formHeight, keypadHeight) : kBarHeight + formHeight + keypadHeight;
    const int top = height() - static_cast<int>(h * shownFraction);
    sheet_->setGeometry(0, top, w, h);
    doneButton_->setGeometry(w - 70, 2, 66, kBarHeight - 4);
    if (beside) {
        form_->setGeometry(0, kBarHeight, w - keypadWidth, h - kBarHeight);
        lcdView_->setGeometry(0, 0, w, h);
        keypad_->setGeometry(w - keypadWidth, kBarHeight, keypadWidth, keypadHeight);
    } else {
        form_->setGeometry(0, kBarHeight, w, formHeight);
        lcdView_->setGeometry(0, 0, w, kBarHeight + formHeight);
        keypad_->setGeometry(0, kBarHeight + formHeight, w, keypadHeight);
    }
    segment_->setGeometry(4, top + 2, 120, kBarHeight - 4);
    // Its list, open, opens again where the control now stands.
    if (segment_->view()->isVisible()) {
        segment_->hidePopup();
        segment_->showPopup();
    }
    update();
}

void GraphKeyboardView::resizeEvent(QResizeEvent*) { slide_->place(); }

void GraphKeyboardView::show(bool shown)
{
    if (shown)
        refreshForm();
    slide_->jump(!shown);
    QWidget::show();
    slide_->slide(shown);
}

void GraphKeyboardView::hideNow()
{
    slide_->jump(false);
    hide();
}

bool GraphKeyboardView::isOpen() const { return slide_->in() && !isHidden(); }

void GraphKeyboardView::focus(bool on)
{
    if (on) {
        refreshForm();
        segment_->setVisible(delegate_.showIntegral());
        keypad_->setFocus();
    } else {
        keypad_->clearFocus();
    }
    form_->focus(on);
}

void GraphKeyboardView::updateDisplay()
{
    updateFields();
    keypad_->update();
    update();
}

void GraphKeyboardView::updateFields()
{
    form_->setFields(delegate_.getFields());
    layoutSheet(shown_);
}

void GraphKeyboardView::gkDone()
{
    form_->getEntry();
    delegate_.graphKeyboardDone();
}

void GraphKeyboardView::valueIntegral(int mode)
{
    delegate_.valueIntegralChange(mode);
    refreshForm();
    // The new form is typed from its first field on.
    form_->toFirstField();
    keypad_->setFocus();
}

void GraphKeyboardView::keyTouched() { form_->update(); }

void GraphKeyboardView::fieldDidChange(VQTemplateField& field) { delegate_.fieldDidChange(field); }

void GraphKeyboardView::refreshForm()
{
    form_->setTitle(QString::fromStdString(delegate_.title()));
    updateFields();
}

void GraphKeyboardView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, static_cast<int>(dim_ * 255)));
}

} // namespace orvenda
