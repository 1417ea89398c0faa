#pragma once

#include "core/YEqVarInfo.h"
#include "graph/GraphGeometry.h"

#include <QColor>
#include <QTimer>
#include <QWidget>

#include <vector>

namespace orvenda {

class Calculator;
class GraphVarsViewDelegate;
class ImageButton;
class PlotObject;
class ThumbSlider;

// The strip of variable buttons along the graph's bottom edge for the selected plot: its
// own variable (X, T, θ, η, the index i of a stat plot or bar# of a histogram) and each free
// variable of its equation. A button opens a slider row with − and + bumps and a button
// showing the value (which opens the slider-value form). The own variable moves the
// trace; a free variable changes the plot. Main thread only.
class GraphVarsView : public QWidget {
public:
    static constexpr int kButtonWidth = 42;
    // Room kept beside a variable button's title (the button draws it 6 points narrower).
    static constexpr int kTitleMargin = 10;
    static constexpr int kButtonHeight = 34;
    static constexpr int kSliderRowHeight = 36;
    // The panel's height with its slider open.
    static constexpr int kOpenHeight = kSliderRowHeight + kButtonHeight + 8;

    GraphVarsView(Calculator& calc, GraphVarsViewDelegate& delegate, QWidget* parent = nullptr);
    ~GraphVarsView() override;

    // Rebuilds the strip for a plot (none: empty) traced at a point.
    void showPlot(PlotObject* plot, const PlotPoint& at);
    void setTrackValue(double v);
    double trackValue() const { return trackValue_; }
    void sync();
    // The slider row's height when it is open, else the strip's.
    double panelHeight() const;

    // The button of index i touched: opens its slider or closes the open one.
    void showSlider(int index);
    void hideSliderView();
    // The slider moved to a position 0..100.
    void valueChanged(double position);
    void startTracking();
    void stopTracking();
    // A bump button pressed (n = +1 or -1) and released.
    void bumpValue(int n);
    void stopBumping();
    void adjustVarBy(int n);
    void editValue();

    // Slider position 0..100 of a record's value; 0 when the range is empty.
    static double sliderPosition(const YEqVarInfo& record);
    // The value at a slider position, rounded to the step (halves away from zero) and
    // clamped to the range.
    static double sliderValue(const YEqVarInfo& record, double position);
    // The range and step a plot's own variable moves over: X over the window by one point
    // of a view viewWidth wide, T and θ over their window by their step, η over its terms
    // by half a term, a stat plot's index or a histogram's bar over its data by one. Other
    // variables keep the record's range.
    static void setOwnRange(Calculator& calc, const PlotObject& plot, int viewWidth, YEqVarInfo& record);
    // The thumb's label: a name of three or more characters cut to its first two.
    static QString thumbLabel(const std::string& name);
    // The 22-point thumb: a grey disc with its label, darker at rest than held.
    static QImage thumbImage(const QString& label, bool hilight);

    PlotObject* plot() const { return plot_; }
    int editVar() const { return editVar_; }
    std::size_t buttonCount() const { return records_.size(); }
    const YEqVarInfo& record(std::size_t i) const { return records_.at(i); }
    QString buttonTitle(std::size_t i) const;
    // A variable button, as drawn.
    const ImageButton& button(std::size_t i) const { return *buttons_.at(i); }
    // A variable button's width: 42 points, or more for a title that needs it.
    static int buttonWidth(const std::string& name);
    // The colour a variable button's title is drawn in: green for the open slider's.
    QColor buttonTitleColor(std::size_t i) const;
    ThumbSlider& slider() const { return *slider_; }
    QString valueTitle() const;
    const QTimer& repeatTimer() const { return repeatTimer_; }
    // The repeat timer's tick: the held bump again.
    void bumper();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool ownVariable() const;
    int openIndex() const;
    void updateButtons();
    void setSliderFrom(const YEqVarInfo& record);
    void showValue(double v);
    void layoutRows();

    Calculator& calc_;
    GraphVarsViewDelegate& delegate_;
    PlotObject* plot_ = nullptr;
    // The first record is the own variable's (xVarInfo) unless the plot is implicit; the
    // rest mirror the plot's varInfoArray.
    std::vector<YEqVarInfo> records_;
    std::vector<ImageButton*> buttons_;
    bool hasOwn_ = false;
    int editVar_ = -1;
    double trackValue_ = 0;
    bool sliderOpen_ = false;
    bool settingSlider_ = false;
    int bumpStep_ = 0;
    QWidget* sliderRow_;
    ThumbSlider* slider_;
    ImageButton* minus_;
    ImageButton* plus_;
    ImageButton* value_;
    QTimer repeatTimer_;
};

} // namespace orvenda
