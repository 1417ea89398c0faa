#include "app/HelpView.h"

#include <QDesktopServices>

namespace orvenda {

namespace {

HelpView::Factory& factory()
{
    static HelpView::Factory made;
    return made;
}

std::function<bool(const QUrl&)>& opener()
{
    static std::function<bool(const QUrl&)> open = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    return open;
}

} // namespace

void HelpView::followLink(const QUrl& url)
{
    if (url.scheme() == QLatin1String("help")) {
        showFunctionName(url.path());
        return;
    }
    openOnDesktop(url);
}

bool HelpView::openOnDesktop(const QUrl& url) { return url.isValid() && opener() && opener()(url); }

void HelpView::setDesktopOpener(std::function<bool(const QUrl& url)> open) { opener() = std::move(open); }

HelpView* HelpView::make(Calculator& calc, QWidget* parent)
{
    return factory() ? factory()(calc, parent) : nullptr;
}

void HelpView::setFactory(Factory made) { factory() = std::move(made); }

} // namespace orvenda
