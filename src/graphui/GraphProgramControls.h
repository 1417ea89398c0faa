#pragma once

#include <QPointer>
#include <QRectF>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QImage;
class QLabel;

namespace orvenda {

class Calculator;
class DrawInputField;
class DrawObject;
class DrawSlider;
class GraphView;

// The widgets a program placed on the graph (buttons, selectors, sliders and input
// fields, from the calculator's ioControls records) as live controls over the graph view.
// Working one runs the label its record names on the program queue; a slider drag also
// sets its variable and asks for an animation step while the graph draws in draft
// quality. Every control's tag is its index in both lists. Main thread only.
class GraphProgramControls {
public:
    static constexpr double kControlHeight = 34;

    GraphProgramControls(Calculator& calc, GraphView& view, QWidget* host);
    ~GraphProgramControls();
    GraphProgramControls(const GraphProgramControls&) = delete;
    GraphProgramControls& operator=(const GraphProgramControls&) = delete;

    // Rebuilds every control from the calculator's records (on VQShowControls).
    void updateIOControllers();
    // Removes every control; leaving the graph also empties the calculator's records.
    void removeControllers(bool clearRecords = false);
    // After a change of size: controls anchored to the right or bottom edge follow.
    void adjustLayout();
    // A rectangle placed in the graph view: negative x from the right edge, negative y from
    // the bottom, a width of 0 or less from the full width.
    QRectF adjustFrame(const QRectF& r) const;

    void ioButtonUp(int tag);
    // An input field's value taken: its variable holds it and its label runs, as a
    // button's does.
    void ioInputField(int tag, double value);
    // The input field of a tag, or none.
    const DrawInputField* inputField(int tag) const;
    // A click on an input field: the graph asks for its value.
    std::function<void(int tag)> editField;
    void ioSelector(int tag, int segment);
    void ioSlider(int tag, double value);
    void ioSliderEndSlide(int tag, double value);

    static QImage buttonImage(const QSizeF& size, double scale = 1);
    static QImage sliderImage(const QSizeF& size, const QString& title, double scale = 1);

    const std::vector<std::shared_ptr<DrawObject>>& ioObj() const { return ioObj_; }
    std::vector<QWidget*> ioControls() const { return {ioControls_.begin(), ioControls_.end()}; }
    // The name drawn beside the input field of a tag, or none.
    QLabel* fieldLabel(int tag) const;
    // Where the controls and the names beside them stand in the host.
    std::vector<QRect> controlRects() const;

private:
    DrawSlider* sliderRecord(int tag) const;
    // Puts a field's name left of its box, or right of it where the left has no room.
    static void placeFieldLabel(QLabel& label, const QRect& box);

    Calculator& calc_;
    GraphView& view_;
    QWidget* host_;
    std::vector<std::shared_ptr<DrawObject>> ioObj_;
    // Guarded: the host may delete its children first.
    std::vector<QPointer<QWidget>> ioControls_;
    // At the controls' indices; null for controls other than named input fields.
    std::vector<QPointer<QLabel>> fieldLabels_;
};

} // namespace orvenda
