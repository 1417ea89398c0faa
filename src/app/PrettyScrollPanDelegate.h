#pragma once

class QWidget;

namespace orvenda {

// What the MathPrint entry's scroll view asks of its screen when dragged vertically while
// its content is no taller than the screen: move the split by the distance; the answer is
// the distance applied.
class PrettyScrollPanDelegate {
public:
    virtual ~PrettyScrollPanDelegate() = default;
    virtual double panView(double distance) = 0;
    // The view whose coordinates the drag is measured in.
    virtual QWidget* panReferenceView() = 0;
};

} // namespace orvenda
