#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

namespace orvenda {

// A picker of several side-by-side columns, each a wheel of rows (a text or an image)
// with its selected row in the band across the middle and its neighbours above and below.
// A click on a row selects it, the mouse wheel steps the column under it; every change of
// selection by the user goes to the handler, a change by the program does not. The stat
// plot set-up and the statistics tests' list pickers share it. Main thread.
class ColumnPicker : public QWidget {
public:
    struct Row {
        QString text;
        QImage image;
    };

    static constexpr int kRowHeight = 42;

    explicit ColumnPicker(QWidget* parent = nullptr);

    // Replaces a column's rows (the selection cut to the new rows); columns are added up to
    // `col`, each `width` wide.
    void setColumn(int col, std::vector<Row> rows, int width);
    int columnCount() const { return static_cast<int>(columns_.size()); }
    int rowCount(int col) const;
    // -1 for a column without rows.
    int selectedRow(int col) const;
    void selectRow(int col, int row);
    const Row* row(int col, int row) const;
    // The column under x (its left edge is where the columns, centred, begin); -1 for none.
    int columnAt(double x) const;
    // The centre of a row of a column as drawn now, in the picker's coordinates.
    QPointF rowCenter(int col, int row) const;
    // The picker's background and its rows' text.
    void setColors(const QColor& background, const QColor& text)
    {
        background_ = background;
        textColor_ = text;
        update();
    }
    void setOnSelect(std::function<void(int col, int row)> handler) { onSelect_ = std::move(handler); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    struct Column {
        std::vector<Row> rows;
        int width = 0;
        int selected = 0;
    };
    double left() const;
    void pick(int col, int row);

    std::vector<Column> columns_;
    QColor background_ = Qt::transparent;
    QColor textColor_ = Qt::white;
    std::function<void(int, int)> onSelect_;
};

} // namespace orvenda
