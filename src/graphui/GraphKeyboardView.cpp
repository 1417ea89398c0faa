#include "graphui/GraphKeyboardView.h"

#include "app/LcdView.h"
#include "app/OverlaySlide.h"
#include "core/Calculator.h"
#include "graphui/GraphPanelDelegates.h"
#include "graphui/GraphSheetLayout.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPainter>
#include <QPushButton>

namespace orvenda {

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
    // Every row of the form (a slider's Step=, a parametric read-out) at its full size.
    const int rows = VQTemplateView::kTitleHeight + form_->rowCount() * VQTemplateView::kRowHeight;
    const GraphSheetLayout layout(size(), calc_.device == 1, rows);
    const int top = height() - static_cast<int>(layout.height * shownFraction);
    sheet_->setGeometry(0, top, width(), layout.height);
    lcdView_->setGeometry(0, 0, width(), layout.height);
    form_->setScale(layout.formScale);
    form_->setGeometry(layout.form);
    keypad_->setGeometry(layout.keypad);
    doneButton_->setGeometry(layout.done);
    segment_->setGeometry(layout.choice.translated(0, top));
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
