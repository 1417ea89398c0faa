#include "input/SectionTable.h"

#include "app/CurrentRowKeeper.h"
#include "input/MenuRowDelegate.h"
#include "input/SideIndex.h"

#include <QMouseEvent>

namespace orvenda {

SectionTable::SectionTable(bool tablet, QWidget* parent) : QTreeWidget(parent), index_(new SideIndex(this))
{
    CurrentRowKeeper::keep(*this);
    index_->picked = [this](int index) {
        if (indexPicked)
            indexPicked(index);
    };
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setIndentation(0);
    setFocusPolicy(Qt::NoFocus);
    setItemDelegate(new MenuRowDelegate(tablet, this));
    viewport()->installEventFilter(this);
}

void SectionTable::addHeader(int section, const QString& title)
{
    auto* header = new QTreeWidgetItem(this, QStringList{title});
    header->setData(0, MenuRowDelegate::SectionRole, section);
    header->setData(0, MenuRowDelegate::RowRole, -1);
    header->setFlags(Qt::ItemIsEnabled);
}

QTreeWidgetItem* SectionTable::addRow(TablePlace place, const QString& title, const QString& detail)
{
    auto* it = new QTreeWidgetItem(this, QStringList{title});
    it->setData(0, MenuRowDelegate::SectionRole, place.section);
    it->setData(0, MenuRowDelegate::RowRole, place.row);
    it->setData(0, MenuRowDelegate::DetailRole, detail);
    return it;
}

QTreeWidgetItem* SectionTable::item(TablePlace p) const
{
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* it = topLevelItem(i);
        const TablePlace at = place(it);
        if (at.section == p.section && at.row == p.row)
            return it;
    }
    return nullptr;
}

TablePlace SectionTable::place(const QTreeWidgetItem* it)
{
    if (!it || it->data(0, MenuRowDelegate::RowRole).toInt() < 0)
        return {};
    return {it->data(0, MenuRowDelegate::SectionRole).toInt(), it->data(0, MenuRowDelegate::RowRole).toInt()};
}

void SectionTable::showRow(TablePlace p, ScrollHint hint)
{
    if (QTreeWidgetItem* it = item(p)) {
        setCurrentItem(it);
        scrollToItem(it, hint);
    }
}

void SectionTable::setIndexTitles(const QStringList& titles)
{
    index_->setTitles(titles);
    const bool shown = !titles.isEmpty();
    setVerticalScrollBarPolicy(shown ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    keepIndexMargin();
    placeIndex();
    index_->setVisible(shown);
    index_->raise();
}

void SectionTable::resizeEvent(QResizeEvent* event)
{
    QTreeWidget::resizeEvent(event);
    placeIndex();
}

void SectionTable::updateGeometries()
{
    QTreeWidget::updateGeometries();
    keepIndexMargin();
}

void SectionTable::keepIndexMargin()
{
    const int right = index_->titles().isEmpty() ? 0 : index_->indexWidth();
    if (viewportMargins().right() != right)
        setViewportMargins(0, 0, right, 0);
}

void SectionTable::placeIndex()
{
    const QRect inside = contentsRect();
    const int width = index_->indexWidth();
    index_->setGeometry(inside.right() + 1 - width, inside.top(), width, inside.height());
}

void SectionTable::showSection(int section)
{
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* it = topLevelItem(i);
        if (it->data(0, MenuRowDelegate::SectionRole).toInt() == section) {
            scrollToItem(it, PositionAtTop);
            return;
        }
    }
}

int SectionTable::topSection() const
{
    const QTreeWidgetItem* it = itemAt(QPoint(1, 1));
    return it ? it->data(0, MenuRowDelegate::SectionRole).toInt() : -1;
}

bool SectionTable::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != viewport() || event->type() != QEvent::MouseButtonRelease)
        return QTreeWidget::eventFilter(watched, event);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton)
        return false;
    const QPoint at = mouse->position().toPoint();
    const QTreeWidgetItem* it = itemAt(at);
    const TablePlace p = place(it);
    if (p.valid() && clicked) {
        const bool hasDetail = !it->data(0, MenuRowDelegate::DetailRole).toString().isEmpty();
        clicked(p, hasDetail && at.x() > viewport()->width() - MenuRowDelegate::kDetailButtonWidth);
    }
    return true;
}

} // namespace orvenda
