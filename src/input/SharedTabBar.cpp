#include "input/SharedTabBar.h"

#include <algorithm>
#include <vector>

namespace orvenda {

SharedTabBar::SharedTabBar(QWidget* parent)
    : QTabBar(parent)
{
}

void SharedTabBar::setRoom(int room)
{
    room_ = std::max(0, room);
    cap_ = cap();
    setElideMode(cap_ > 0 ? Qt::ElideRight : Qt::ElideNone);
    updateGeometry();
    update();
}

int SharedTabBar::cap() const
{
    if (room_ <= 0 || count() == 0)
        return 0;
    std::vector<int> widths;
    int total = 0;
    for (int i = 0; i < count(); ++i) {
        widths.push_back(QTabBar::tabSizeHint(i).width());
        total += widths.back();
    }
    if (total <= room_)
        return 0;
    // The longest tabs come down to one width, the shortest ones first kept whole.
    std::sort(widths.begin(), widths.end());
    int left = room_;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        const int share = left / static_cast<int>(widths.size() - i);
        if (widths[i] > share)
            return std::max(1, share);
        left -= widths[i];
    }
    return 0;
}

QSize SharedTabBar::tabSizeHint(int index) const
{
    QSize size = QTabBar::tabSizeHint(index);
    if (cap_ > 0)
        size.setWidth(std::min(size.width(), cap_));
    return size;
}

void SharedTabBar::tabInserted(int index)
{
    cap_ = cap();
    QTabBar::tabInserted(index);
}

void SharedTabBar::tabRemoved(int index)
{
    cap_ = cap();
    QTabBar::tabRemoved(index);
}

QSize SharedTabBar::minimumTabSizeHint(int index) const { return tabSizeHint(index); }

} // namespace orvenda
