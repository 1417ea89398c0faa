#pragma once

#include "app/ScreenController.h"
#include "core/VQColor.h"
#include "input/VQColorPicker.h"

#include <QImage>

#include <array>
#include <memory>

class QButtonGroup;
class QLabel;

namespace orvenda {

class ScreenRouter;
class YEqModel;

// The sheet over the menu area where one equation's colour and line style (or, for
// functions and implicit relations, its inequality) are chosen: a bar with Done, the
// colour picker and a row of style samples drawn in the colour being chosen (two in
// parametric and polar mode, three in sequence mode, six otherwise). Done stores style and
// colour in one undo step (none when nothing changed) and brings the screen back.
// Main thread.
class YEqColorPicker : public ScreenController, private VQColorPicker::Delegate {
public:
    static constexpr int kMaxSegments = 6;
    static constexpr QSize kSampleSize{48, 38};

    YEqColorPicker(Calculator& calc, ScreenRouter& router, QWidget* parent = nullptr);
    ~YEqColorPicker() override;

    // The overlay's show: the equation token.
    void shown(const ScreenRequest& request) override { setEqNum(request.number); }

    // Loads the equation's colour and style.
    void setEqNum(int token);
    int eqNum() const { return eqNum_; }
    int segmentCount() const;
    int selectedSegment() const;
    // The samples follow the selection.
    void selectSegment(int segment);
    // The colour being chosen: the samples are drawn in it.
    void changeColor(const VQColor& color) override;
    // The colour the controls stand at.
    const VQColor& color() const { return picker_->color(); }
    // Stores style and colour and closes the sheet.
    void done();
    const QImage& sampleImage(int segment) const;
    // The embedded colour picker.
    VQColorPicker& picker() const { return *picker_; }

    // The segment a stored style opens on (past the last segment: the last).
    static int segmentForStyle(int style, int segments);
    // The style a segment stores.
    static int styleForSegment(int segment, bool sequence);
    // A 48 × 38 sample of a segment's style in the colour over the background, with its
    // label in black when selected, else white.
    static QImage sample(int segment, bool sequence, const VQColor& color, bool selected, const QColor& background,
        double scale);

    QWidget* leaveControl() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Done, in the bar.
    QWidget* done_ = nullptr;
    void layoutSheet();

    ScreenRouter& router_;
    std::shared_ptr<YEqModel> model_;
    QWidget* navBar_;
    QLabel* title_;
    QWidget* colorPickerView_;
    VQColorPicker* picker_;
    QWidget* segmentBar_;
    QButtonGroup* segments_;
    std::array<QImage, kMaxSegments> samples_;
    int eqNum_ = 0;
    int count_ = 0;
};

} // namespace orvenda
