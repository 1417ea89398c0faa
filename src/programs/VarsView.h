#pragma once

#include <QString>
#include <QWidget>

#include <string>
#include <vector>

namespace orvenda {

class Calculator;
class ProgramModel;

// The debugger's variables panel: "ANS " and the answer, then each variable the program
// uses with its value (strings, matrices row by row, equations by their text) and each of
// its lists as "ʟNAME value", in the bold Courier face, one per line (wrapped at the
// panel's width).
class VarsView : public QWidget {
public:
    VarsView(Calculator& calc, const ProgramModel& model, QWidget* parent = nullptr);

    // What the panel shows now, line by line.
    std::vector<std::string> lines() const;
    // The lines as drawn in a panel w wide: one longer than the width goes on in the rows
    // under it, indented, so the panel never scrolls sideways.
    std::vector<QString> shownLines(int w) const;
    double fontSize() const { return fontSize_; }
    double leading() const { return leading_; }
    // The height n lines take whole: n leadings down to the last baseline, and its descent.
    double linesHeight(int n) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Calculator& calc_;
    const ProgramModel& model_;
    double fontSize_;
    double leading_;
};

} // namespace orvenda
