#include "app/OverlayPlacement.h"

#include <QEvent>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace orvenda {

OverlayPlacement::OverlayPlacement(QWidget& overlay, std::function<void()> place) : QObject(&overlay), place_(std::move(place))
{
    if (QWidget* under = overlay.parentWidget())
        under->installEventFilter(this);
}

OverlayPlacement& OverlayPlacement::attach(QWidget& overlay, std::function<void()> place)
{
    if (OverlayPlacement* old = of(overlay)) {
        old->place_ = std::move(place);
        return *old;
    }
    return *new OverlayPlacement(overlay, std::move(place));
}

OverlayPlacement* OverlayPlacement::of(const QWidget& overlay) { return overlay.findChild<OverlayPlacement*>(QString(), Qt::FindDirectChildrenOnly); }

QWidget& OverlayPlacement::overlay() const { return *static_cast<QWidget*>(parent()); }

void OverlayPlacement::place() const
{
    if (place_)
        place_();
}

void OverlayPlacement::placeAll(QWidget& window)
{
    QList<OverlayPlacement*> all = window.findChildren<OverlayPlacement*>();
    const auto depth = [](const QObject* o) {
        int n = 0;
        for (; o; o = o->parent())
            ++n;
        return n;
    };
    std::stable_sort(all.begin(), all.end(), [&](const QObject* a, const QObject* b) { return depth(a) < depth(b); });
    // Each stays in front of what its screen laid out anew.
    for (const OverlayPlacement* placement : all)
        if (placement->overlay().isVisible()) {
            placement->place();
            placement->overlay().raise();
        }
}

bool OverlayPlacement::eventFilter(QObject* watched, QEvent* event)
{
    // The screen under an open overlay shows again, just laid out at the window's size.
    if (event->type() == QEvent::Show && !event->spontaneous() && watched == overlay().parentWidget() && !overlay().isHidden())
        place();
    return QObject::eventFilter(watched, event);
}

} // namespace orvenda
