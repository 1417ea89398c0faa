#include "app/CurrentRowKeeper.h"

#include <QAbstractItemView>
#include <QEvent>

namespace orvenda {

CurrentRowKeeper::CurrentRowKeeper(QAbstractItemView& view) : QObject(&view)
{
    view.viewport()->installEventFilter(this);
}

void CurrentRowKeeper::keep(QAbstractItemView& view) { new CurrentRowKeeper(view); }

bool CurrentRowKeeper::eventFilter(QObject* watched, QEvent* event)
{
    // A list being destroyed is a list no more (its viewport goes last): it is left alone.
    auto* view = event->type() == QEvent::Resize ? qobject_cast<QAbstractItemView*>(parent()) : nullptr;
    if (view && watched == view->viewport() && view->currentIndex().isValid())
        view->scrollTo(view->currentIndex());
    return QObject::eventFilter(watched, event);
}

} // namespace orvenda
