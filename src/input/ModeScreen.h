#pragma once

#include "app/AlertQueue.h"
#include "app/ScreenController.h"

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

class QBoxLayout;
class QCheckBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSlider;
class QTimer;
class QVBoxLayout;

namespace orvenda {

class AppShell;
class SegmentedControl;

// The mode screen: a scrolling form of segmented controls, switches and the decimal-places
// slider that change the calculator's display, operation, layout and keyboard settings at
// once (most posting VQModeChanged with a short label for the status line), and the exam
// "Testing Mode" switch with its elapsed-time clock. Main thread.
class ModeScreen : public ScreenController {
public:
    using Clock = std::chrono::system_clock;
    enum Segments {
        NumFormat, Fraction, Answer, NumBase, Grouping, Angle, GraphMode, RealCplx, PdfPage, ScreenLayout,
        KeyboardColors, LcdColors, MathPrint, SegmentCount
    };
    enum Switches { KeyClick, BubbleHelp, StatDiag, StatWiz, TestMode, SwitchCount };

    ModeScreen(Calculator& calc, AppShell& shell, QWidget* parent = nullptr);
    ~ModeScreen() override;

    // The clock test mode counts by (the system's by default).
    std::function<Clock::time_point()> now = [] { return Clock::now(); };
    // Where the decimal-places question goes (the window's alerts).
    std::function<void(AlertQueue::Alert)> ask;
    // The screen closed.
    std::function<void()> settingsDone;

    void updateDisplay() override;
    void focus(bool gained) override;

    SegmentedControl& segments(Segments which) const { return *segments_[which]; }
    // Flips a switch as a tap on it.
    void toggle(Switches which, bool on);
    bool switchOn(Switches which) const;
    // The slider moved to a value (not yet released), and released.
    void moveDigits(double value);
    void releaseDigits();
    void floatDigits();
    int sliderValue() const;
    QString digitsLabel() const;
    QString testTime() const;
    void showTestTime();
    // "%dh:%2dm:%2ds Testing Mode" for a time in seconds (below 0 counts as 0).
    static QString testTimeText(double seconds);
    bool clockRunning() const;
    void done();

    QWidget* leaveControl() const override;

protected:
    // The form's width changed: each row whose control does not fit beside its label puts
    // it under the label, so no row needs a sideways scroll.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fitRows();
    SegmentedControl* addSegments(QVBoxLayout* form, const QString& label, Segments which, const QStringList& titles);
    QCheckBox* addSwitch(QVBoxLayout* form, const QString& label, Switches which);
    void segmentPicked(Segments which, int index);
    void switched(Switches which, bool on);
    void post(const QString& label);
    void setTestMode(bool on);
    void keyColors(int tag, int index);
    // The background of the keyboard colour set, and the titles and segments that read on it.
    void showColors();
    void startClock();
    void stopClock();
    void click();

    AppShell& shell_;
    SegmentedControl* segments_[SegmentCount] = {};
    QCheckBox* switches_[SwitchCount] = {};
    // The labelled rows: a label, then its control (or controls).
    std::vector<QBoxLayout*> rows_;
    QScrollArea* scroll_ = nullptr;
    QSlider* digits_;
    QLabel* digitsLabel_;
    QPushButton* float_;
    // Done, in the bar.
    QPushButton* close_ = nullptr;
    QLabel* testTime_;
    QTimer* testTimer_ = nullptr;
    bool startMathPrint_ = true;
    // numDigits when the slider was taken, restored by Cancel.
    std::optional<int> digitsBeforeDrag_;
    bool setting_ = false;
};

} // namespace orvenda
