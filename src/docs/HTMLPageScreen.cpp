#include "docs/HTMLPageScreen.h"

#include "app/HelpView.h"
#include "programs/NotesHtml.h"

#include <QKeyEvent>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include <cstddef>

namespace orvenda {

extern const char kIntroductionHtmlResource[];
extern const std::size_t kIntroductionHtmlResource_SIZE;

HTMLPageScreen::HTMLPageScreen(Calculator& calc, bool tablet, QWidget* parent)
    : ScreenController(calc, parent), tablet_(tablet), browser_(new QTextBrowser(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    browser_->setFrameShape(QFrame::NoFrame);
    browser_->setOpenLinks(false);
    setFocusProxy(browser_);
    connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) { follow(url); });
}

QString HTMLPageScreen::pageText(const QString& name)
{
    if (name == QLatin1String("Introduction"))
        return QString::fromUtf8(kIntroductionHtmlResource, static_cast<qsizetype>(kIntroductionHtmlResource_SIZE));
    return {};
}

QString HTMLPageScreen::adjustScale(QString html, bool tablet, bool dark)
{
    if (!html.contains(QLatin1String("initial-scale")))
        html.prepend(tablet ? QStringLiteral("<meta name = \"viewport\" content = \"initial-scale = 1.5\">")
                            : QStringLiteral("<meta name = \"viewport\" content = \"initial-scale = 1.0\">"));
    if (dark)
        html.prepend(QStringLiteral("<html><head><style>body{background-color: #000000;font color=#FFFFFF}</style></head>"
                                    "<body><p><font color=#FFFFFF>"));
    else
        html.prepend(QStringLiteral(
            "<html><head><style>body{background-color: #FFFFFF;font-family:Helvetica;font-size:14px} div "
            "{width:300px; margin:auto;padding:4px; background:#C3D6B1;font-family:Courier New;font-size:15px; "
            "border:1px solid black;box-shadow: 5px 5px 2px grey;}</style></head><body><p><font color=#000000>"));
    return html;
}

QString HTMLPageScreen::framedBlocks(QString html)
{
    const std::string_view open = NotesHtml::blockOpen(false);
    const std::string_view close = NotesHtml::blockClose();
    static const QRegularExpression divOpen(QStringLiteral("<div(\\s[^>]*)?>"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression divClose(QStringLiteral("</div\\s*>"), QRegularExpression::CaseInsensitiveOption);
    html.replace(divOpen, QString::fromUtf8(open.data(), static_cast<qsizetype>(open.size())));
    html.replace(divClose, QString::fromUtf8(close.data(), static_cast<qsizetype>(close.size())));
    return html;
}

void HTMLPageScreen::appear(bool dark)
{
    if (pageName_ == title_)
        return;
    html_ = adjustScale(pageText(pageName_), tablet_, dark);
    ++reads_;
    // The browser's own background behind the page's, so no light edge shows in the dark.
    QPalette colours = browser_->palette();
    colours.setColor(QPalette::Base, dark ? Qt::black : Qt::white);
    colours.setColor(QPalette::Text, dark ? Qt::white : Qt::black);
    browser_->setPalette(colours);
    browser_->setHtml(dark ? html_ : framedBlocks(html_));
    title_ = pageName_;
}

void HTMLPageScreen::follow(const QUrl& url)
{
    if (url.scheme() == QLatin1String("help")) {
        if (openFunction)
            openFunction(url.path());
        return;
    }
    HelpView::openOnDesktop(url);
}

void HTMLPageScreen::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && closed) {
        closed();
        return;
    }
    ScreenController::keyPressEvent(event);
}

} // namespace orvenda
