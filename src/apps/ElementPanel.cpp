#include "apps/ElementPanel.h"

#include "apps/ElementView.h"
#include "numeric/ElementDatabase.h"
#include "pretty/FontMap.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>

namespace orvenda {

namespace {
constexpr int kBarHeight = 44;
}

ElementPanel::ElementPanel(QWidget* parent)
    : QWidget(parent), bar_(new QWidget(this)), title_(new QLabel(bar_)), done_(new QPushButton(QStringLiteral("Done"), bar_)),
      scroller_(new QScrollArea(this)), view_(new ElementView)
{
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    bar_->setAutoFillBackground(true);
    QPalette bar = bar_->palette();
    bar.setColor(QPalette::Window, QColor(40, 80, 150));
    bar.setColor(QPalette::WindowText, Qt::white);
    bar_->setPalette(bar);
    title_->setAlignment(Qt::AlignCenter);
    title_->setFont(FontMap::shared().font("Helvetica-Bold", 17));
    done_->setFocusPolicy(Qt::NoFocus);
    done_->setFont(FontMap::shared().font("Helvetica-Bold", 16));
    done_->setStyleSheet(QStringLiteral("QPushButton { color: white; background: transparent; border: none; }"));
    connect(done_, &QPushButton::clicked, this, [this] {
        hide();
        if (finished)
            finished();
    });
    scroller_->setFrameShape(QFrame::NoFrame);
    scroller_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // As wide as the scroller, 780 tall.
    view_->setFixedHeight(ElementView::kHeight);
    scroller_->setWidget(view_);
    scroller_->setWidgetResizable(true);
    watch(this);
    hide();
}

void ElementPanel::watch(QObject* object)
{
    object->installEventFilter(this);
    for (QObject* child : object->children())
        if (child->isWidgetType())
            watch(child);
}

QString ElementPanel::title() const { return title_->text(); }

void ElementPanel::showElement(int element)
{
    const ElementDatabase& db = ElementDatabase::elementDatabase();
    element_ = element;
    title_->setText(QString::fromStdString(db.symbol(element) + " " + db.name(element)));
    view_->setElement(element);
    scroller_->verticalScrollBar()->setValue(0);
    presses_ = 0;
    show();
    raise();
}

void ElementPanel::resizeEvent(QResizeEvent*)
{
    bar_->setGeometry(0, 0, width(), kBarHeight);
    title_->setGeometry(90, 0, std::max(0, width() - 180), kBarHeight);
    done_->setGeometry(6, 0, 80, kBarHeight);
    scroller_->setGeometry(0, kBarHeight, width(), std::max(0, height() - kBarHeight));
}

bool ElementPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress)
        ++presses_;
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (presses_ == 0 && doubleTapped) {
            hide();
            doubleTapped();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace orvenda
