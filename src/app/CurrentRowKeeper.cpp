#include "app/CurrentRowKeeper.h"

#include <QAbstractItemView>
#include <QEvent>

namespace orvenda {

CurrentRowKeeper::CurrentRowKeeper(QAbstractItemView& view) : QObject(&view), view_(view)
{
    view.viewport()->installEventFilter(this);
}

void CurrentRowKeeper::keep(QAbstractItemView& view) { new CurrentRowKeeper(view); }

bool CurrentRowKeeper::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view_.viewport() && event->type() == QEvent::Resize && view_.currentIndex().isValid())
        view_.scrollTo(view_.currentIndex());
    return QObject::eventFilter(watched, event);
}

} // namespace orvenda
