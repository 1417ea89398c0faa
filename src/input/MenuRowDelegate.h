#pragma once

#include <QStyledItemDelegate>

namespace orvenda {

// Draws the rows of the menus and the catalogue from their item data: a section header
// (row -1), or the key label at the left, the name over its description (or the name
// alone), colour rows in their colour, struck-through rows in red, and the detail mark of
// a row with a help page at the right edge.
class MenuRowDelegate : public QStyledItemDelegate {
public:
    enum Role { SectionRole = Qt::UserRole, RowRole, KeyRole, DetailRole, FillRole, InkRole, StruckRole };
    static constexpr int kHeaderHeight = 20;
    static constexpr int kDetailButtonWidth = 36;

    MenuRowDelegate(bool tablet, QObject* parent) : QStyledItemDelegate(parent), tablet_(tablet) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // A row's title on its baseline; subscript digits (L₁) are set in the proportional
    // font, close to the letter before them rather than in a fixed-pitch cell of their own.
    static void drawTitle(QPainter& painter, const QRect& area, bool bottom, const QString& title);

    bool tablet_;
};

} // namespace orvenda
