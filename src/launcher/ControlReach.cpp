#include "launcher/ControlReach.h"

#include "app/ScreenController.h"
#include "graphui/VQTemplateView.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollArea>
#include <QWidget>

#include <algorithm>

namespace orvenda {
namespace {

// A widget that takes the keys (by Tab: the window lets no click give them but to a text
// field) is one a user works.
bool isControl(const QWidget& w)
{
    return qobject_cast<const QAbstractButton*>(&w) || qobject_cast<const QAbstractSlider*>(&w)
        || qobject_cast<const QComboBox*>(&w) || qobject_cast<const QLineEdit*>(&w)
        || qobject_cast<const QAbstractItemView*>(&w) || (w.focusPolicy() & (Qt::ClickFocus | Qt::TabFocus)) != 0;
}

QRect inWindow(QWidget& window, const QWidget& w) { return QRect(w.mapTo(&window, QPoint(0, 0)), w.size()); }

nlohmann::json describe(const QWidget& w, const QRect& r, const char* why)
{
    QString name = QString::fromLatin1(w.metaObject()->className());
    QString text;
    if (const auto* button = qobject_cast<const QAbstractButton*>(&w))
        text = button->text();
    if (text.isEmpty())
        text = w.accessibleName();
    if (!text.isEmpty())
        name += QStringLiteral(" \"") + text + QStringLiteral("\"");
    return {{"widget", name.toStdString()}, {"why", why}, {"rect", {r.x(), r.y(), r.width(), r.height()}}};
}

// The widget, or one around it inside the screen, lies over the whole screen: a sheet or
// menu that covers it on purpose, and what lies under it is out of reach until it closes.
bool coversScreen(QWidget& window, const QWidget& screen, const QWidget* hit)
{
    const QRect all = inWindow(window, screen);
    for (const QWidget* w = hit; w && w != &screen; w = w->parentWidget())
        if (inWindow(window, *w).contains(all))
            return true;
    return false;
}

// The class of what lies over a part of the widget where a click should reach it (its
// centre, and a little inside its corners and the middles of its edges), "nothing" where
// no widget is; nullptr when the widget is clear there (a sheet or menu over the whole
// screen aside).
const char* coveredAt(QWidget& window, const QWidget& screen, const QWidget& w)
{
    const QRect r = inWindow(window, w);
    const int dx = std::min(3, r.width() / 4), dy = std::min(3, r.height() / 4);
    const QRect inner = r.adjusted(dx, dy, -dx, -dy);
    const QPoint c = inner.center();
    for (const QPoint& p : {c, inner.topLeft(), inner.topRight(), inner.bottomLeft(), inner.bottomRight(), QPoint(c.x(), inner.top()),
                            QPoint(c.x(), inner.bottom()), QPoint(inner.left(), c.y()), QPoint(inner.right(), c.y())}) {
        const QWidget* hit = window.childAt(p);
        if (hit != &w && !w.isAncestorOf(hit) && !coversScreen(window, screen, hit))
            return hit ? hit->metaObject()->className() : "nothing";
    }
    return nullptr;
}

// Checks w, then what it holds inside room (the part of the window its ancestors show).
void visit(QWidget& window, const QWidget& screen, QWidget& w, const QRect& room, nlohmann::json& found)
{
    const QRect r = inWindow(window, w);
    if (r.isEmpty()) {
        if (!qobject_cast<const QAbstractScrollArea*>(&w))
            found.push_back(describe(w, r, "empty"));
        return;
    }
    if (!room.contains(r)) {
        found.push_back(describe(w, r, "outside"));
        return;
    }
    const auto* area = qobject_cast<const QAbstractScrollArea*>(&w);
    // A form that scrolls holds its rows within its width: none is reached sideways.
    if (const auto* form = qobject_cast<const QScrollArea*>(&w); form && form->widget() && form->widget()->isVisible()
        && form->widget()->width() > form->viewport()->width())
        found.push_back(describe(w, r, "sideways"));
    if (&w != &screen && isControl(w) && !w.testAttribute(Qt::WA_TransparentForMouseEvents)) {
        // A list is worked through its viewport: what the scroll area lays beside it (an
        // index) must not lie over it.
        const QWidget& worked = area && area->viewport()->isVisible() ? *area->viewport() : w;
        if (const char* by = coveredAt(window, screen, worked)) {
            found.push_back(describe(w, r, "covered"));
            found.back()["by"] = by;
        }
    }
    for (QObject* child : w.children()) {
        auto* c = qobject_cast<QWidget*>(child);
        if (!c || c->isWindow() || !c->isVisible())
            continue;
        // Content scrolled in a viewport may run past it: the viewport is what shows.
        if (area && c == area->viewport()) {
            if (const QRect viewport = inWindow(window, *c); !viewport.isEmpty() && !r.contains(viewport))
                found.push_back(describe(*c, viewport, "outside"));
            continue;
        }
        visit(window, screen, *c, r, found);
    }
}

// No control lies over the point of the window.
bool clearAt(QWidget& window, const QPoint& point)
{
    const QWidget* hit = window.childAt(point);
    return !hit || !isControl(*hit);
}

} // namespace

nlohmann::json typingPlace(QWidget& window, QWidget& screen)
{
    QRect r;
    const QWidget* owner = &screen;
    if (const auto* controller = dynamic_cast<const ScreenController*>(&screen))
        r = controller->cursorRect();
    if (r.isEmpty())
        for (const QWidget* widget : screen.findChildren<QWidget*>())
            // (The form is no QObject type of its own: found by its class.)
            if (const auto* form = dynamic_cast<const VQTemplateView*>(widget); form && form->isVisible() && form->currentField() >= 0) {
                r = form->fieldRect(form->currentField()).toAlignedRect();
                owner = form;
                break;
            }
    if (r.isEmpty() || !screen.isVisible())
        return nullptr;
    r.translate(owner->mapTo(&window, QPoint(0, 0)));
    // What the widget drawing it shows of itself, inside the window.
    QRect room = window.rect();
    for (const QWidget* w = owner; w && w != &window; w = w->parentWidget())
        room = room.intersected(inWindow(window, *w));
    const QRect inner = r.adjusted(2, 2, -2, -2);
    // Whole: from the label to the last character typed, no control over either end.
    bool clear = room.contains(r);
    for (const QPoint& p : {inner.topLeft(), inner.bottomLeft(), inner.center(), inner.topRight(), inner.bottomRight()})
        clear = clear && clearAt(window, p);
    return {{"rect", {r.x(), r.y(), r.width(), r.height()}}, {"clear", clear}};
}

nlohmann::json rowsOutOfView(QWidget& screen)
{
    nlohmann::json found = nlohmann::json::array();
    for (const QAbstractItemView* list : screen.findChildren<QAbstractItemView*>()) {
        if (!list->isVisible() || !list->currentIndex().isValid())
            continue;
        const QRect row = list->visualRect(list->currentIndex());
        const QRect view = list->viewport()->rect();
        if (!row.isEmpty() && !view.isEmpty() && (row.top() < view.top() || row.bottom() > view.bottom()))
            found.push_back({{"widget", list->metaObject()->className()}, {"row", {row.x(), row.y(), row.width(), row.height()}}});
    }
    return found;
}

nlohmann::json unreachableWidgets(QWidget& window, QWidget& screen)
{
    nlohmann::json found = nlohmann::json::array();
    if (!screen.isVisible())
        return found;
    QRect room = window.rect();
    for (const QWidget* w = screen.parentWidget(); w && w != &window; w = w->parentWidget())
        room = room.intersected(inWindow(window, *w));
    visit(window, screen, screen, room, found);
    return found;
}

} // namespace orvenda
