#pragma once

#include "app/ScreenController.h"

#include <QString>

class QLabel;
class QPushButton;
class QSlider;

namespace orvenda {

class ElementPanel;
class PeriodicConfigurePanel;
class PeriodicTableView;

// The periodic table app: a bar with Done, the title of the property shown and
// "Properties" (the property picker), a slider for the temperature (State, Melting Point,
// Boiling Point, in K), the ionization level or the year of discovery, and the table. A tap
// on an element opens its details over the screen. Escape closes the details, then the
// picker, then the screen; Done and QUIT close it. Main thread.
class PeriodicTableScreen : public ScreenController {
public:
    explicit PeriodicTableScreen(Calculator& calc, QWidget* parent = nullptr);

    void shown(const ScreenRequest& request) override;
    void updateDisplay() override;
    QWidget* leaveControl() const override;

    // The title of a display mode ("Melting Point(K)", ...).
    static QString modeTitle(int mode);

    // The picker's choice: the property (0 to 14) and its level or kind.
    void didSelectProperty(int property, int sub);
    // The slider moved to value.
    void setSliderValue(double value);
    void showPicker();
    void pickerDone();
    void didSelectElement(int element);
    // The details, then the picker, then the screen.
    void escape();

    QString title() const;
    bool sliderShown() const;
    bool unitShown() const;
    QString valueText() const;
    QSlider& slider() const { return *slider_; }
    PeriodicTableView& table() const { return *table_; }
    QPushButton& propertiesButton() const { return *action_; }
    // Made on first use: null before.
    PeriodicConfigurePanel* picker() const { return picker_; }
    ElementPanel* detail() const { return detail_; }
    // The element shown in the details, 0 when they are closed.
    int elementShown() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void layout();
    void showSlider(bool shown, bool unit);
    void showValue();

    QWidget* toolBar_;
    QPushButton* done_;
    QLabel* title_;
    QPushButton* action_;
    QWidget* sliderBar_;
    QSlider* slider_;
    QLabel* tempLabel_;
    QLabel* kLabel_;
    PeriodicTableView* table_;
    PeriodicConfigurePanel* picker_ = nullptr;
    ElementPanel* detail_ = nullptr;
};

} // namespace orvenda
