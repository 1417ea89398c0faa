#pragma once

#include "app/ScreenController.h"
#include "core/VQColor.h"
#include "input/VQColorPicker.h"

#include <QString>

#include <array>
#include <string>
#include <vector>

class QLabel;
class QPushButton;

namespace orvenda {

class AppShell;
class ColumnPicker;
class ScreenRouter;

// The set-up sheet of one stat plot, over the stat plot list: a bar naming the type with
// Done, a four-column picker (type, mark, X list, and by type the Y list, the frequency
// list with "1" for none, or the data axis) over the general colour picker. Nothing is
// written before Done, which stores the choices, turns the plot on and closes the sheet.
// Main thread.
class StatPlotSetup : public ScreenController, private VQColorPicker::Delegate {
public:
    enum Column { TypeColumn = 0, MarkColumn = 1, XListColumn = 2, FourthColumn = 3 };
    static constexpr int kNavHeight = 44;

    StatPlotSetup(Calculator& calc, AppShell& shell, ScreenRouter& router, QWidget* parent = nullptr);

    // The overlay's show: the plot number.
    void shown(const ScreenRequest& request) override { setStatEqNum(request.number); }

    // Loads plot n (at most 5) into the sheet.
    void setStatEqNum(int n);
    int statEqNum() const { return statEqNum_; }
    // Writes the sheet into the plot, turns it on and closes the sheet.
    void done();
    // A row of a column chosen, as by the user.
    void pick(int column, int row);
    void changeColor(const VQColor& color) override;
    const VQColor& color() const { return color_; }

    ColumnPicker& picker() const { return *picker_; }
    VQColorPicker& colorPicker() const { return *colorPicker_; }
    QPushButton& doneButton() const { return *done_; }
    QWidget* leaveControl() const override;
    QString title() const;
    QString fourthCaption() const;
    // The text each column shows at its selected row (the type and mark by name).
    std::vector<std::string> selection() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void reloadColumns();
    void updateLabels();
    std::vector<std::string> fourthNames() const;

    AppShell& shell_;
    ScreenRouter& router_;
    QWidget* navBar_;
    QLabel* title_;
    std::array<QLabel*, 4> captions_{};
    QPushButton* done_;
    ColumnPicker* picker_;
    QWidget* colorView_;
    VQColorPicker* colorPicker_;
    VQColor color_ = VQColor::colorR(1, 0, 0, 1);
    std::vector<std::string> listNames_;
    int graphType_ = 0;
    int statEqNum_ = 0;
};

} // namespace orvenda
