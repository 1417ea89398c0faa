#pragma once

#include <QRectF>
#include <QString>
#include <QWidget>

#include <vector>

namespace orvenda {

class ElementDatabase;

// The details of one element: 28 labelled values in groups (numbers, temperatures,
// chemistry, radii, hardnesses, moduli, densities, conductivities, heats, electrons),
// every second row on a light band, unknown values as "Unknown", and below them the
// element's Lewis dot structure when it has valence dots. Drawn 780 points tall for the
// scroller it sits in. Main thread.
class ElementView : public QWidget {
public:
    static constexpr int kFields = 28;
    static constexpr int kHeight = 780;
    // Where the values begin, right of the labels.
    static constexpr double kValueX = 182;

    explicit ElementView(QWidget* parent = nullptr);

    // 0 shows nothing.
    void setElement(int element);
    int element() const { return element_; }

    // Field i's label ("Atomic #", "Melting Point", ...) and its text for an element: the
    // value, a space and the unit ("1687 K", "14 "), or "Unknown".
    static QString fieldLabel(int i);
    static QString fieldText(int element, int i);
    // The top of field i's row.
    static double fieldTop(int i);
    // The top of the Lewis dot row.
    static double lewisTop();

    // The 4 × 4 dots of a Lewis structure of n dots (1 to 8; none otherwise) around a symbol
    // drawn at `at` measuring `symbol`: pairs and singles above, below, right and left.
    static std::vector<QRectF> lewisDots(int n, QPointF at, QSizeF symbol);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const ElementDatabase& db_;
    int element_ = 0;
};

} // namespace orvenda
