#include "docs/FunctionHelpPDFView.h"

#include "docs/FunctionHelpPDF.h"
#include "drawing/AssetColors.h"

#include <QBuffer>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPdfDocument>
#include <QPixmap>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace orvenda {

FunctionHelpPDFView::FunctionHelpPDFView(Calculator& calc, QWidget* parent)
    : HelpView(parent), calc_(calc), scroll_(new QScrollArea(this)), page_(new QLabel)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll_);
    scroll_->setFrameShape(QFrame::NoFrame);
    // Keys go to the screen that shows the view; it scrolls the page.
    scroll_->setFocusPolicy(Qt::NoFocus);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setWidget(page_);
    page_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    page_->installEventFilter(this);
    scroll_->viewport()->installEventFilter(this);
    // The page's own background shows where it does not reach.
    QPalette colours = scroll_->palette();
    colours.setColor(QPalette::Window, AssetColors::named("docBackgroundColor"));
    scroll_->setPalette(colours);
    scroll_->viewport()->setAutoFillBackground(true);
    page_->setAutoFillBackground(false);
}

FunctionHelpPDFView::~FunctionHelpPDFView() = default;

FunctionHelpPDF& FunctionHelpPDFView::renderer()
{
    if (!renderer_)
        renderer_ = std::make_unique<FunctionHelpPDF>(calc_);
    return *renderer_;
}

bool FunctionHelpPDFView::functionDefined() const { return renderer_ && renderer_->functionDefined(); }

void FunctionHelpPDFView::showFunctionName(const QString& name)
{
    functionName_ = name;
    build();
    scroll_->verticalScrollBar()->setValue(0);
}

void FunctionHelpPDFView::reload()
{
    functionName_ = renderer().functionName();
    build();
}

void FunctionHelpPDFView::build()
{
    if (functionName_.isEmpty())
        return;
    const int w = std::max(1, scroll_->viewport()->width());
    const int h = std::max(1, scroll_->viewport()->height());
    builtWidth_ = w;
    pdfData_ = renderer().pdfName(functionName_, QSizeF(w, h), false, true);
    QBuffer buffer(&pdfData_);
    buffer.open(QIODevice::ReadOnly);
    QPdfDocument document;
    document.load(&buffer);
    if (document.pageCount() < 1) {
        picture_ = QImage();
        page_->clear();
        return;
    }
    const QSizeF points = document.pagePointSize(0);
    const qreal ratio = devicePixelRatioF();
    const QSize pixels(int(std::ceil(points.width() * ratio)), int(std::ceil(points.height() * ratio)));
    picture_ = document.render(0, pixels);
    picture_.setDevicePixelRatio(ratio);
    page_->setPixmap(QPixmap::fromImage(picture_));
    page_->resize(int(std::ceil(points.width())), int(std::ceil(points.height())));
}

QByteArray FunctionHelpPDFView::pdfPageSize(QSizeF size, bool darkMode)
{
    if (functionName_.isEmpty())
        return {};
    QByteArray pdf = renderer().pdfName(functionName_, size, true, darkMode);
    // Slicing moved the page's links onto paper: the view's page is made again.
    build();
    return pdf;
}

bool FunctionHelpPDFView::clickAt(QPointF pagePoint)
{
    if (!renderer_)
        return false;
    for (const FunctionHelpPDF::Link& link : renderer_->links()) {
        if (link.rect.contains(pagePoint)) {
            if (clickedUrl)
                clickedUrl(QUrl(link.url));
            else
                followLink(QUrl(link.url));
            return true;
        }
    }
    return false;
}

bool FunctionHelpPDFView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == scroll_->viewport() && event->type() == QEvent::Resize) {
        // The page follows the width it is shown in.
        if (scroll_->viewport()->width() != builtWidth_)
            build();
    } else if (watched == page_ && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && clickAt(mouse->position()))
            return true;
    }
    return HelpView::eventFilter(watched, event);
}

} // namespace orvenda
