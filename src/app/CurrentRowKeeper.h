#pragma once

#include <QObject>

class QAbstractItemView;

namespace orvenda {

// Keeps a list's current row in view whenever the list's size changes (the window resized
// or turned), as the keys that move the row keep it in view. Owned by the list. Main thread.
class CurrentRowKeeper : public QObject {
public:
    static void keep(QAbstractItemView& view);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit CurrentRowKeeper(QAbstractItemView& view);
};

} // namespace orvenda
