// The rows of the menus as the delegate draws them: a description too long for the room
// before the detail mark ends in an ellipsis, at the phone's and the tablet's sizes.

#include "input/MenuRowDelegate.h"

#include <QImage>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyleOptionViewItem>

#include <gtest/gtest.h>

namespace orvenda {
namespace {

// Whether the ink of a line of text ends in an ellipsis: read from its right end, three
// dots, small, apart and on one level.
bool endsInEllipsis(const QImage& picture, QRect area)
{
    const auto inkRows = [&](int x) {
        std::pair<int, int> rows{area.bottom() + 1, area.top() - 1};
        for (int y = area.top(); y <= area.bottom(); ++y)
            if (qGray(picture.pixel(x, y)) < 200)
                rows = {std::min(rows.first, y), std::max(rows.second, y)};
        return rows;
    };
    int x = area.right();
    while (x >= area.left() && inkRows(x).first > area.bottom())
        --x;
    int top = area.bottom(), bottom = area.top();
    for (int dot = 0; dot < 3; ++dot) {
        int width = 0;
        for (; x >= area.left() && inkRows(x).first <= area.bottom(); --x, ++width) {
            top = std::min(top, inkRows(x).first);
            bottom = std::max(bottom, inkRows(x).second);
        }
        if (width == 0 || width > 3)
            return false;
        int gap = 0;
        for (; x >= area.left() && inkRows(x).first > area.bottom(); --x)
            ++gap;
        if (gap == 0 && dot < 2)
            return false;
    }
    return bottom - top <= 3;
}

TEST(MenuRowDelegate, ALongDescriptionEndsInAnEllipsisBeforeTheMark)
{
    for (const bool tablet : {false, true}) {
        const int width = tablet ? 768 : 390;
        const int height = tablet ? 52 : 44;
        QStandardItemModel model;
        auto* row = new QStandardItem(QStringLiteral("LONG"));
        row->setData(0, MenuRowDelegate::RowRole);
        const QString words = QStringLiteral("Draws the slope field of a differential equation over the window and then "
                                             "traces the solution through a point the user picks on the graph screen");
        row->setData(words, MenuRowDelegate::DetailRole);
        model.appendRow(row);
        MenuRowDelegate delegate(tablet, nullptr);
        QStyleOptionViewItem option;
        option.rect = QRect(0, 0, width, height);
        option.palette.setColor(QPalette::Text, Qt::black);
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(Qt::white);
        {
            QPainter painter(&picture);
            delegate.paint(&painter, option, model.index(0, 0));
        }
        // The description's half, from its left edge to the mark.
        const QRect line(26, height / 2, width - 26 - MenuRowDelegate::kDetailButtonWidth, height / 2);
        EXPECT_TRUE(endsInEllipsis(picture, line)) << width;
        // Nothing of it under or past the mark.
        for (int y = line.top(); y < height; ++y)
            for (int x = line.right() + 1; x < width - 30; ++x)
                EXPECT_GT(qGray(picture.pixel(x, y)), 200) << x << "," << y;
        // A short one is drawn whole, without one.
        model.item(0)->setData(QStringLiteral("Short"), MenuRowDelegate::DetailRole);
        picture.fill(Qt::white);
        {
            QPainter painter(&picture);
            delegate.paint(&painter, option, model.index(0, 0));
        }
        EXPECT_FALSE(endsInEllipsis(picture, line)) << width;
    }
}

} // namespace
} // namespace orvenda
