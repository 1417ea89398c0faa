#pragma once

#include <QWidget>

namespace orvenda {

class Calculator;
class ProgramOutputModel;

// The character grid of the program output screen: the model's 10 lines in the bold
// Courier face, the blinking cursor (with the 2nd, alpha and insert marks) while the user
// may type, the highlighted item of a shown menu and the "P" of a paused program. It keeps
// no text of its own and reads one snapshot of the model per paint.
class ProgramOutputView : public QWidget {
public:
    ProgramOutputView(Calculator& calc, const ProgramOutputModel& model, QWidget* parent = nullptr);

    double fontSize() const { return fontSize_; }
    double leading() const { return leading_; }
    // One character cell's width.
    double cellWidth() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool showsCursor() const;

    Calculator& calc_;
    const ProgramOutputModel& model_;
    double fontSize_ = 16;
    double leading_ = 15;
    // The distance between characters: wider than the font's own where the grid is
    // short and wide, so its lines still reach across (its letters drawn as wide).
    double pitch_ = 0;
};

} // namespace orvenda
