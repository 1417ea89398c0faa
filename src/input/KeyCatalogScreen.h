#pragma once

#include "app/ScreenController.h"

#include <functional>
#include <string>

class QInputDialog;
class QPushButton;

namespace orvenda {

class SectionTable;
class SegmentedControl;

// The key-set catalogue over the display and the keyboard: the sets that come with the
// system ("Char Sets") and the user's ("User Char Sets"). Picking a set shows its key row;
// with Edit on, picking a user set also opens the key-set editor. "+" adds a user set by
// name; Done (and QUIT, Escape) empties the entry line and closes, hiding the key row.
// Main thread.
class KeyCatalogScreen : public ScreenController {
public:
    KeyCatalogScreen(Calculator& calc, QWidget* parent = nullptr);

    void updateDisplay() override;
    QWidget* leaveControl() const override;
    // Section 0 or 1, row in it.
    void pick(int section, int row);
    void setEditing(bool on);
    bool editing() const { return editing_; }
    // The add form, and what it hands back.
    void add();
    void addKeySet(const std::string& name);
    void done();
    QInputDialog* addForm() const { return addForm_; }

    // What the catalogue hands the router.
    std::function<void(const std::string& title, bool edit)> didPickSet;
    std::function<void()> keyCatalogDone;
    std::function<void()> keyClick;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* bar_;
    QPushButton* done_;
    SegmentedControl* mode_;
    QPushButton* add_;
    SectionTable* table_;
    QInputDialog* addForm_ = nullptr;
    bool editing_ = false;
};

} // namespace orvenda
