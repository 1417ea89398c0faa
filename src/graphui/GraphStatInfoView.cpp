#include "graphui/GraphStatInfoView.h"

#include "app/ImageButton.h"
#include "app/LcdView.h"
#include "app/OverlaySlide.h"
#include "graphui/GraphKeyboardView.h"
#include "graphui/GraphPanelDelegates.h"
#include "graphui/VQTemplateView.h"

#include <QPainter>
#include <QPushButton>

namespace orvenda {

GraphStatInfoView::GraphStatInfoView(Calculator& calc, AppShell& shell, GraphStatInfoViewDelegate& delegate, QWidget* parent)
    : QWidget(parent), delegate_(delegate), lcdView_(new LcdView(calc, this)), form_(new VQTemplateView(calc, shell, this)),
      doneButton_(new ImageButton(this)),
      slide_(new OverlaySlide(*this, [this](double in) {
          dim_ = 0.5 * in;
          place(height() - form_->height() * in);
      }, GraphKeyboardView::kSlideMs))
{
    // A key with a chevron pointing the way the panel goes; it goes by "Done" where a
    // caption is looked for.
    doneButton_->setBackgroundImageNamed("fkeyMoveDown");
    doneButton_->setAccessibleName(QStringLiteral("Done"));
    doneButton_->setFocusPolicy(Qt::NoFocus);
    doneButton_->resize(44, 30);
    QObject::connect(doneButton_, &QPushButton::clicked, this, [this] { done(); });
    slide_->arrived = [this](bool in) {
        if (!in)
            hide();
    };
    hide();
}

QSize GraphStatInfoView::size() const { return form_->size(); }

void GraphStatInfoView::place(double top)
{
    form_->move(0, static_cast<int>(top));
    lcdView_->setGeometry(form_->geometry());
    doneButton_->move(form_->geometry().right() + 1 - doneButton_->width(), form_->y() - doneButton_->height());
    update();
}

void GraphStatInfoView::hideNow()
{
    shown_ = false;
    slide_->jump(false);
    hide();
}

void GraphStatInfoView::show(bool shown)
{
    shown_ = shown;
    if (shown) {
        refreshForm();
        fitForm();
    }
    slide_->jump(!shown);
    form_->setVisible(true);
    QWidget::show();
    slide_->slide(shown);
}

void GraphStatInfoView::fitForm()
{
    // The space its fields need, as much of it as the view holds: the done button on its
    // right edge stays in the window.
    form_->resize(form_->size().boundedTo(QSize(width(), height() - doneButton_->height())));
}

void GraphStatInfoView::resizeEvent(QResizeEvent*)
{
    // Open (or sliding) while the window turns, it stands where its slide has it at the new
    // size.
    if (shown_)
        fitForm();
    slide_->place();
}

void GraphStatInfoView::refreshForm()
{
    form_->setTitle(QString::fromStdString(delegate_.getStatTitle()));
    form_->setFields(delegate_.getStatFields());
}

void GraphStatInfoView::updateDisplay()
{
    refreshForm();
    update();
}

void GraphStatInfoView::done() { delegate_.graphStatInfoDone(); }

void GraphStatInfoView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, static_cast<int>(dim_ * 255)));
}

} // namespace orvenda
