#pragma once

#include "app/ScreenController.h"

#include <cstdint>
#include <functional>

class QLabel;
class QListWidget;
class QPushButton;

namespace orvenda {

class SegmentedControl;

// The conversion picker over the menu area: a unit conversion (class, from-unit, to-unit
// in three columns) or a physical constant (one column), with the result of converting the
// number on the entry line (1 when there is none) and the full names. Select hands the
// choice's op to `picked` (the caller inserts it into the entry); Done, QUIT and Escape
// close without one. Each class keeps its own last from- and to-unit in the calculator.
// Keys: Left and Right move between the columns, Up and Down through a column, Return
// selects. Main thread.
class ConversionScreen : public ScreenController {
public:
    enum Mode { Conversions = 0, Constants = 1 };

    ConversionScreen(Calculator& calc, QWidget* parent = nullptr);

    void updateDisplay() override;
    QWidget* leaveControl() const override;

    void setMode(int mode);
    int mode() const { return mode_; }
    // Picks a class (restoring its own pair), a from- or a to-unit, or a constant.
    void pickClass(int unitClass);
    void pickUnits(int from, int to);
    void pickConstant(int index);
    void swap();
    // Hands the choice on, as Select does.
    void select();

    int unitClass() const { return class_; }
    int from() const { return from_; }
    int to() const { return to_; }
    int constant() const { return constant_; }
    // The op Select hands on: 0xBB5D with the packed conversion, or 0xBB5E with the index.
    std::uint32_t op() const;
    // The two labels: "1 km▸mi = .6213711922" and " kiloMeter▸mile" (or a constant's
    // description and nothing).
    QString resultText() const;
    QString fullText() const;
    // The column with the keyboard's focus (0 class, 1 from, 2 to; 0 for the constants).
    int column() const { return column_; }
    // Column k's list (0 the class or the constants, 1 the from-units, 2 the to-units).
    QListWidget* list(int k) const { return columns_[k]; }

    std::function<void(std::uint32_t op)> picked;
    std::function<void()> keyClick;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fillUnits();
    void showChoice();
    void convert();
    void moveRow(int by);

    QWidget* bar_;
    QPushButton* done_;
    SegmentedControl* display_;
    QPushButton* swap_;
    QPushButton* select_;
    QLabel* selection_;
    QLabel* fullSelection_;
    QListWidget* columns_[3];
    int mode_ = Conversions;
    int class_ = 0, from_ = 0, to_ = 0, constant_ = 0;
    int column_ = 0;
    double convertValue_ = 1;
    // While the lists are refilled their selection signals are not the user's.
    bool filling_ = false;
    // The font's size on a phone, and the tablet's factor last applied to it.
    double baseFontSize_ = 0;
    double appliedScale_ = 1;
};

} // namespace orvenda
