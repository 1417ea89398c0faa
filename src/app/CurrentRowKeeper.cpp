#include "app/CurrentRowKeeper.h"

#include <QAbstractItemView>
#include <QEvent>

namespace orvenda {

CurrentRowKeeper::CurrentRowKeeper(QAbstractItemView& view) : QObject(&view), view_(view), viewport_(view.viewport())
{
    view.viewport()->installEventFilter(this);
}

void CurrentRowKeeper::keep(QAbstractItemView& view) { new CurrentRowKeeper(view); }

bool CurrentRowKeeper::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && watched == viewport_ && view_.currentIndex().isValid())
        view_.scrollTo(view_.currentIndex());
    return QObject::eventFilter(watched, event);
}

} // namespace orvenda
