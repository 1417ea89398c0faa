#pragma once

#include "app/DrawnView.h"

#include <QImage>
#include <QString>

#include <array>
#include <map>
#include <utility>

namespace orvenda {

class Calculator;
class KeyRouter;

// The list of the six stat plots, a row each: the on/off switch, an icon of the plot's
// type in its colour and two lines naming its data ("Xlist:" and "Ylist:", "Freq:" or
// the data axis). A tap left of kSwitchEdge switches the plot; anywhere else in the row it
// asks the delegate to set the plot up. Reads the stat plot model on every draw (under
// the state lock). Main thread.
class StatEqView : public DrawnView {
public:
    class Delegate {
    public:
        virtual ~Delegate() = default;
        virtual void selectStyle(int plot) = 0;
    };

    static constexpr double kSwitchEdge = 40;
    static constexpr const char* kTypeImages[] = {"scatterPlot", "xyPlot", "barPlot", "modBoxPlot", "boxPlot", "normProbPlot"};

    StatEqView(Calculator& calc, KeyRouter& keys, QWidget* parent = nullptr);

    void setDelegate(Delegate* delegate) { delegate_ = delegate; }
    void adjustSize(double scale);
    QSizeF size() const;
    QRectF rectForRow(int row) const;
    double rowHeight() const { return rowHeight_; }
    // The two lines of a plot's row.
    std::pair<QString, QString> rowLines(int plot) const;

    int cursorRow = 0;

    void paintContent(QPainter& painter, const QRectF& rect) override;
    void tap(QPointF point) override;

private:
    const QImage& typeIcon(int type, const QColor& color);

    Calculator& calc_;
    KeyRouter& keys_;
    Delegate* delegate_ = nullptr;
    double fontSize_ = 16;
    double leading_ = 18;
    double rowHeight_ = 44;
    QImage onImage_;
    QImage offImage_;
    // Icons by type and colour, drawn once.
    std::map<std::pair<int, QRgb>, QImage> icons_;
};

} // namespace orvenda
