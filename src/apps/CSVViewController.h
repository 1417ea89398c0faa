#pragma once

#include "app/ScreenController.h"

#include <QString>

#include <cstddef>
#include <string_view>
#include <vector>

class QLabel;
class QPushButton;

namespace orvenda {

class CSVView;
class VQTableScrollView;

// The CSV preview over the display and the keyboard: comma-separated text as a grid of
// its rows (CSVView in a scroll view) under a bar with Done. Each row whose first field
// does not name it (a number, an empty field, or a field shorter than 6 characters or not
// beginning with a capital letter) is shown after a name of its own, "L1", "L2", ...; rows
// of empty fields are left out. Brought forward by itself it shows the calculator's lists
// as their CSV text. Any text shows what can be read of it: at most kMaxTextBytes of it,
// kMaxColumns fields a row and kMaxCells cells, each cut at kMaxCellCharacters. Escape
// leaves as Done does. Main thread.
class CSVViewController : public ScreenController {
public:
    static constexpr std::size_t kMaxTextBytes = 1024 * 1024;
    static constexpr std::size_t kMaxColumns = 16384;
    static constexpr std::size_t kMaxCells = 100000;
    static constexpr int kMaxCellCharacters = 256;

    CSVViewController(Calculator& calc, QWidget* parent = nullptr);

    // The rows the grid shows for the text, named as above.
    static std::vector<std::vector<QString>> previewRows(std::string_view text);
    // Shows the text's rows.
    void loadCSVString(std::string_view text);
    // Closes the preview.
    void csvDone() { leave(); }

    void updateDisplay() override;
    void shown(const ScreenRequest& request) override;
    QWidget* leaveControl() const override;
    CSVView& grid() const { return *grid_; }
    VQTableScrollView& scroller() const { return *scroller_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* bar_;
    QPushButton* done_;
    QLabel* title_;
    VQTableScrollView* scroller_;
    CSVView* grid_;
    bool dragging_ = false;
};

} // namespace orvenda
