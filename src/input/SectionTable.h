#pragma once

#include "input/TablePlace.h"

#include <QTreeWidget>

#include <functional>

namespace orvenda {

// The list of the menus and the catalogue: section headers and rows drawn by the row
// delegate, found by their place; a left click on a row reports whether it hit the row's
// detail mark. Keys go to the screen, not to the list. Main thread.
class SectionTable : public QTreeWidget {
public:
    SectionTable(bool tablet, QWidget* parent);

    void addHeader(int section, const QString& title);
    QTreeWidgetItem* addRow(TablePlace place, const QString& title, const QString& detail);
    QTreeWidgetItem* item(TablePlace place) const;
    // Invalid for headers and nothing.
    static TablePlace place(const QTreeWidgetItem* item);
    // Makes the row current and scrolls to it.
    void showRow(TablePlace place, ScrollHint hint);

    std::function<void(TablePlace place, bool onDetail)> clicked;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace orvenda
