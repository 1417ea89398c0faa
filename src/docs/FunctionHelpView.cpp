#include "docs/FunctionHelpView.h"

#include "docs/FunctionHelpPDF.h"
#include "drawing/GraphicsContext.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace orvenda {

FunctionHelpView::FunctionHelpView(Calculator& calc, QWidget* parent)
    : QWidget(parent), renderer_(std::make_unique<FunctionHelpPDF>(calc))
{
    renderer_->setOnScreen(true);
    imageCache_.reserve(1);
}

FunctionHelpView::~FunctionHelpView() = default;

QString FunctionHelpView::functionName() const { return renderer_->functionName(); }

void FunctionHelpView::changeFunction(const QString& name)
{
    renderer_->changeFunction(name);
    forget();
}

void FunctionHelpView::loadPage(const QString& name, const QByteArray& xml)
{
    renderer_->loadPage(name, xml);
    forget();
}

void FunctionHelpView::forget()
{
    imageCache_.clear();
    stripHeight_ = 0;
    for (QPushButton* button : liveButtons_)
        button->deleteLater();
    liveButtons_.clear();
    update();
}

void FunctionHelpView::resizeEvent(QResizeEvent*)
{
    // The strips are of the old width.
    imageCache_.clear();
    stripHeight_ = 0;
}

QImage FunctionHelpView::drawStrip(int index)
{
    const qreal ratio = devicePixelRatioF() > 0 ? devicePixelRatioF() : 1;
    const double y = double(index) * stripHeight_;
    QImage strip(QSize(width(), stripHeight_) * ratio, QImage::Format_ARGB32_Premultiplied);
    strip.setDevicePixelRatio(ratio);
    strip.fill(Qt::transparent);
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(0, -y);
    GraphicsContext context(painter);
    renderer_->setBounds(QRectF(0, 0, width(), FunctionHelpPDF::kTallHeight));
    drawPage(context, QRectF(0, y, width(), stripHeight_));
    ++stripsDrawn_;
    return strip;
}

void FunctionHelpView::drawPage(GraphicsContext& context, const QRectF& area) { renderer_->drawRect(context, area); }

QByteArray FunctionHelpView::pdfPageSize(const QRectF& pageRect)
{
    if (renderer_->pageData().isEmpty())
        return {};
    const QByteArray pdf = renderer_->slicePages(pageRect, 1.0, false, [this](GraphicsContext& context, const QRectF& slice) {
        context.painter().setRenderHint(QPainter::Antialiasing);
        drawPage(context, slice);
    });
    // The slices moved the page's buttons and links: the screen's strips are drawn again.
    forget();
    return pdf;
}

void FunctionHelpView::paintEvent(QPaintEvent* event)
{
    if (renderer_->pageData().isEmpty() || width() <= 0)
        return;
    if (stripHeight_ <= 0)
        stripHeight_ = std::max(1, event->rect().height());
    QPainter painter(this);
    const QRect area = event->rect();
    for (int i = 0; double(i) * stripHeight_ < area.bottom() + 1; ++i) {
        if (double(i + 1) * stripHeight_ <= area.top())
            continue;
        // Strips are made in order from the top, so strip i is the cache's i-th.
        while (static_cast<int>(imageCache_.size()) <= i)
            imageCache_.push_back(drawStrip(static_cast<int>(imageCache_.size())));
        painter.drawImage(QPointF(0, double(i) * stripHeight_), imageCache_[static_cast<std::size_t>(i)]);
    }
    placeButtons();
    if (contentSize)
        contentSize(QSizeF(width(), renderer_->drawPoint().y() + 5));
}

void FunctionHelpView::placeButtons()
{
    if (!liveButtons_.empty() || renderer_->buttonPlaces().empty())
        return;
    for (const FunctionHelpPDF::ButtonPlace& place : renderer_->buttonPlaces()) {
        auto* button = new QPushButton(place.title, this);
        button->setGeometry(place.frame.toAlignedRect());
        std::function<void()>* action = place.action == 0 ? &mailTechSupport
            : place.action == 1                            ? &reportBug
            : place.action == 2                            ? &leaveReview
                                                           : nullptr;
        if (action)
            connect(button, &QPushButton::clicked, this, [action] {
                if (*action)
                    (*action)();
            });
        button->show();
        liveButtons_.push_back(button);
    }
}

} // namespace orvenda
