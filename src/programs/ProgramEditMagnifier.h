#pragma once

#include <QPointF>
#include <QWidget>

namespace orvenda {

class Calculator;
class ProgramModel;

// The loupe shown while a long press selects program text: the screen line of the
// selection's moving end, enlarged, with the text before that end ending at the pressed
// point, in a strip above it (below when there is no room above), the selection in yellow
// with its handles. Nothing shows without a selection. It takes no touches. Main thread.
class ProgramEditMagnifier : public QWidget {
public:
    static constexpr double kFontSize = 26;

    ProgramEditMagnifier(Calculator& calc, const ProgramModel& model, QWidget* parent = nullptr);

    // The point to magnify, in this widget's coordinates.
    void magnifyAt(QPointF point);
    QPointF focusPoint() const { return focus_; }
    // Where the strip was drawn at the last paint (empty when nothing was).
    QRectF stripRect() const { return strip_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Calculator& calc_;
    const ProgramModel& model_;
    QPointF focus_;
    QRectF strip_;
};

} // namespace orvenda
