#pragma once

#include <QWidget>

namespace orvenda {

class Calculator;

// The picture behind the graph: the calculator's background image (a QImage that the
// screens put there) drawn into its frame scaled about the frame's middle; when selected
// (for moving and scaling it) it is crossed and outlined in red.
class PhotoPlot : public QWidget {
    Q_OBJECT
public:
    explicit PhotoPlot(Calculator& calc, QWidget* parent = nullptr);

    bool selected = false;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Calculator& calc_;
};

} // namespace orvenda
