#pragma once

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QPushButton;

namespace orvenda {

class Calculator;
class ColumnPicker;

// The wheels with which the statistics test screen's lists, frequency lists or χ²-Test
// matrices are chosen, laid over the screen: one wheel per list (the calculator's list
// names) and per frequency list ("1" for none, then the names), or two wheels of the
// matrices [A]..[J]. Every turn of a wheel is reported at once; Done reports the final
// choice and closes. A name that is no longer defined shows the wheel's first row.
// Main thread.
class StatTestListPicker : public QWidget {
public:
    struct Choice {
        std::string list1, freq1, list2, freq2;
        int matrix1 = 0, matrix2 = 1;
    };

    StatTestListPicker(Calculator& calc, QWidget* parent = nullptr);

    // The wheels of the procedure, with the current names (or matrices) selected.
    void setUp(std::uint32_t op, const std::vector<std::string>& names, const std::string& list1, const std::string& freq1,
               const std::string& list2, const std::string& freq2, int matrix1, int matrix2);
    // The choice the wheels show (names empty where the procedure has none).
    Choice choice() const;
    // The panel's bottom edge: the top of the form it is shown from.
    void setAnchor(int bottom)
    {
        anchorBottom_ = bottom;
        layoutPanel();
    }
    void finish();

    std::function<void(const Choice&, bool finished)> onChange;

    ColumnPicker& picker() const { return *picker_; }
    QPushButton& doneButton() const { return *done_; }
    int numLists() const { return numLists_; }
    bool showFreq() const { return showFreq_; }
    // The wheels' titles, left to right.
    std::vector<std::string> titles() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutPanel();

    Calculator& calc_;
    QWidget* panel_;
    QPushButton* done_;
    ColumnPicker* picker_;
    std::vector<QLabel*> labels_;
    std::vector<std::string> names_;
    std::uint32_t op_ = 0;
    int numLists_ = 1;
    bool showFreq_ = true;
    int anchorBottom_ = 0;
};

} // namespace orvenda
