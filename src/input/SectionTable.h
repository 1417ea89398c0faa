#pragma once

#include "input/TablePlace.h"

#include <QTreeWidget>

#include <functional>

namespace orvenda {

// The list of the menus and the catalogue: section headers and rows drawn by the row
// delegate, found by their place; a left click on a row reports whether it hit the row's
// detail mark. Keys go to the screen, not to the list. Main thread.
class SideIndex;

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
    // The side index down the right edge, in the scroll bar's place; none without titles.
    void setIndexTitles(const QStringList& titles);
    const SideIndex& sideIndex() const { return *index_; }
    // Scrolls the section's header (or first row) to the top.
    void showSection(int section);
    // The section at the top of the list; -1 for none.
    int topSection() const;

    std::function<void(TablePlace place, bool onDetail)> clicked;
    // An entry of the side index pressed or run over.
    std::function<void(int index)> indexPicked;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // The tree lays out its header by setting the viewport's margins, all four: the side
    // index's margin is put back after it.
    void updateGeometries() override;

private:
    void placeIndex();
    // The room the rows leave at the right for the side index.
    void keepIndexMargin();

    SideIndex* index_;
};

} // namespace orvenda
