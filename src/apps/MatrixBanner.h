#pragma once

#include <QRectF>
#include <QString>
#include <QWidget>

namespace orvenda {

class Calculator;
class KeyRouter;

// The band over the matrix grid: the matrix's name ("ARRAY[A]", "SimulEq", …) and, while
// the matrix may be resized, its two dimension boxes, each followed by its label; the box
// being edited is highlighted and shows what is typed. A tap on a box asks the delegate to
// edit it. Main thread.
class MatrixBanner : public QWidget {
public:
    class Delegate {
    public:
        virtual ~Delegate() = default;
        // 0 the columns box, 1 the rows box.
        virtual void selectField(int field) = 0;
    };

    MatrixBanner(Calculator& calc, KeyRouter& keys, QWidget* parent = nullptr);

    void setDelegate(Delegate* delegate) { delegate_ = delegate; }
    void setStyle(int style) { style_ = style; }
    // 0 the columns box is edited, 1 the rows box, -1 neither.
    int editField() const { return editField_; }
    void setEditField(int field) { editField_ = field; }
    double fontSize() const { return fontSize_; }
    QRectF rowRect() const { return rowRect_; }
    QRectF colRect() const { return colRect_; }

    QString title() const;
    QString rowLabel() const;
    QString colLabel() const;
    // The text a box shows: what is typed while it is edited, else the count.
    QString rowText() const;
    QString colText() const;

    // The measures for a band this wide.
    void layoutForWidth(double width);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QString typed() const;

    Calculator& calc_;
    KeyRouter& keys_;
    Delegate* delegate_ = nullptr;
    int style_ = 0;
    int editField_ = -1;
    double fontSize_ = 16;
    double top_ = 1;
    QRectF rowRect_{100, 1, 50, 14};
    QRectF colRect_{194, 1, 50, 14};
};

} // namespace orvenda
