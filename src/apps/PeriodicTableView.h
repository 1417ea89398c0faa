#pragma once

#include "app/MouseDrag.h"
#include "platform/SteadyClock.h"

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <vector>

class QPainter;

namespace orvenda {

class ElementDatabase;

// The periodic table as a grid of element cells coloured and labelled by one property (the
// display mode), under fixed bands of group and period numbers. Drags pan it (and coast on
// after a throw), pinches and Ctrl+wheel zoom it, a double tap zooms all the way in or back
// out, and a tap on a cell reports the element. Wider than tall the table lies as printed;
// taller than wide it is turned, group 18 at the top and the periods left to right.
//
// The view is transformed by a uniform scale s (1 ≤ s ≤ maxScale()) and a translation that
// keeps the scaled table over the whole view (w − w·s ≤ tx ≤ 0, the same for ty), so at
// s = 1 it never moves. The gestures are driven from mouse, wheel and pinch events and
// directly by pan/pinch/tap/doubleTap (which is how the tests drive them); coasting steps
// on a timer, or by coast(). Main thread.
class PeriodicTableView : public QWidget {
public:
    enum class Gesture { Began, Changed, Ended, Cancelled };
    // The display modes, in the order of the screen's property titles.
    enum Mode {
        Series = 0, State = 1, MeltingPoint = 2, BoilingPoint = 3, Electronegativity = 4, ElectronAffinity = 5,
        Valence = 6, Ionization = 7, CalculatedRadius = 8, VanDerWaalsRadius = 11, BrinellHardness = 12,
        VickersHardness = 14, SpecificHeat = 22, FusionHeat = 24, Discovered = 25, ModeCount = 26,
    };
    static constexpr int kRows = 9, kColumns = 18;
    static constexpr double kHeaderWidth = 16, kHeaderHeight = 14, kGap = 4;

    explicit PeriodicTableView(QWidget* parent = nullptr);
    ~PeriodicTableView() override;

    // The element at a place of the grid (row: period 1..7, then the lanthanides and the
    // actinides; column: group 1..18, from 0), 0 for an empty place or one outside it.
    static int elementAt(int row, int column);
    // The table is turned when the view is not wider than tall.
    bool portrait() const { return width() <= height(); }

    int displayMode() const { return mode_; }
    void setDisplayMode(int mode);
    double temperature() const { return temperature_; }
    void setTemperature(double kelvin);
    int ionizationLevel() const { return ionizationLevel_; }
    void setIonizationLevel(int level);
    int year() const { return year_; }
    void setYear(int year);

    // ---- Colours and texts ----
    // The colour of a cell and the colour of its symbol, name and value in the mode.
    QColor cellColor(int element) const;
    QColor textColor(int element) const;
    // The value line of a cell: the mode's value through formatFloat, "?" when unknown
    // ("" in the ionization mode, for none or 0); the state word in the State mode.
    QString valueText(int element) const;
    // The value line as a cell of the current size shows it: a number wider than the cell
    // keeps fewer decimals, rounded, so that its digits stay the size of the other values.
    QString shownValue(int element) const;
    // The smallest and largest known value of the mode's column (both 0 when none is
    // known), the largest capped as the scales are (Vickers hardness and specific heat 5000,
    // fusion heat 20).
    double rangeMin() const { return min_; }
    double rangeMax() const { return max_; }
    // The colour of a numeric mode (4 to 24) at v on the range min..max: each channel
    // truncated from low + (high − low)·f with f = (v − min) / (max − min), and f = 0 on a
    // range of zero width.
    static QColor scaleColor(int mode, double v, double min, double max);
    static QColor seriesColor(int series);
    // "%.10f" without trailing zeros and point: 12.0107, 100, 0.5; with fewer decimals
    // the value is rounded to them first.
    static QString formatFloat(double value, int decimals = 10);

    // ---- Geometry ----
    // Recomputes the unscaled cell size and maxScale from the view's size; a scale above
    // the new maximum comes down to it.
    void adjustCellSize();
    QSizeF cellSize() const { return cellSize_; }
    double maxScale() const { return maxScale_; }
    double scale() const { return s_; }
    QPointF translation() const { return {tx_, ty_}; }
    // The painted rectangle of a place of the grid under the current transform.
    QRectF cellRect(int row, int column) const;
    // The place of the grid under a view point; false outside every place.
    bool placeAt(QPointF at, int& row, int& column) const;

    // ---- Gestures ----
    // translation: since the pan began; velocity in points per second.
    void pan(Gesture state, QPointF translation, QPointF velocity);
    // One step of coasting (every 1/24 s while coasting).
    void coast();
    bool coasting() const { return timer_.isActive(); }
    // touches: the fingers down (a pinch with one finger does nothing).
    void pinch(Gesture state, QPointF finger0, QPointF finger1, QPointF centre, int touches = 2);
    void doubleTap();
    // Reports the element under the point to didSelectElement (nothing off the cells).
    void tap(QPointF at);

    // The tapped element and its cell's rectangle in the view.
    std::function<void(int element, QRectF cell)> didSelectElement;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool event(QEvent* event) override;

private:
    // The mode's value of each element and the range, taken again on a change of mode or
    // ionization level (not in every paint).
    void takeValues();
    double value(int element) const { return values_[static_cast<std::size_t>(element - 1)]; }
    // The number the value line shows; NaN for a word, "?" or nothing.
    double shownNumber(int element) const;
    void clampTranslation();
    void stopCoasting() { timer_.stop(); }
    // The line height of the symbol in a cell painted h tall.
    double symbolLine(double h) const;
    void drawCell(QPainter& painter, int element, const QRectF& cell, const QFont& symbolFont) const;
    void drawBlockLabels(QPainter& painter) const;
    void drawHeaders(QPainter& painter) const;

    const ElementDatabase& db_;
    // What every paint writes, made once.
    QFont numberFont_, textFont_, boldFont_;
    struct Texts {
        QString symbol, name, series, orbitals;
        QStringList shells;
    };
    std::vector<Texts> texts_;
    int mode_ = Series;
    double temperature_ = 0;
    int ionizationLevel_ = 0;
    int year_ = 0;
    std::vector<double> values_;
    double min_ = 0, max_ = 0;

    QSizeF cellSize_;
    double maxScale_ = 1;
    double s_ = 1, tx_ = 0, ty_ = 0;
    QPointF basePoint_;
    QPointF zoomCentreGraph_;
    double baseScale_ = 0;
    double startScale_ = 1;
    QPointF coastT_;
    QPointF velocity_;
    QTimer timer_;

    // Mouse input turned into gestures.
    MouseDrag drag_;
    bool doubleClicked_ = false;
};

} // namespace orvenda
