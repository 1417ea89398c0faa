#pragma once

#include <QWidget>

#include <string>
#include <vector>

namespace orvenda {

class Calculator;
class ProgramModel;

// The debugger's variables panel: "ANS " and the answer, then each variable the program
// uses with its value (strings, matrices row by row, equations by their text) and each of
// its lists as "ʟNAME value", in the bold Courier face, one per line.
class VarsView : public QWidget {
public:
    VarsView(Calculator& calc, const ProgramModel& model, QWidget* parent = nullptr);

    // What the panel shows now, line by line.
    std::vector<std::string> lines() const;
    double fontSize() const { return fontSize_; }
    double leading() const { return leading_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Calculator& calc_;
    const ProgramModel& model_;
    double fontSize_;
    double leading_;
};

} // namespace orvenda
