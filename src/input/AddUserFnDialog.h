#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;

namespace orvenda {

class Calculator;

// The small form that names the entry line to keep it as an item of a user menu: the entry
// line's text, a name field, Save and Cancel. Save (and Return in the name field) works only
// with an entry line to keep; the name may be left blank. Main thread.
class AddUserFnDialog : public QDialog {
public:
    explicit AddUserFnDialog(Calculator& calc, QWidget* parent = nullptr);

    // Each opening: the entry line's ops shown as text (an empty line leaves the text shown
    // before), the name emptied and given the keyboard.
    void showSave(const std::vector<std::uint32_t>& entryOps);
    // Save and Cancel as their buttons do.
    void save();
    void cancel();

    bool saveEnabled() const;
    QString entryText() const;
    QLineEdit& nameField() const { return *descriptionField_; }
    const QPushButton& addButton() const { return *addButton_; }

    // The trimmed name to save the entry line under ("" for none).
    std::function<void(const std::string& name)> addUserFnNamed;
    std::function<void()> cancelAddUserFn;

private:
    void updateSave();

    Calculator& calc_;
    QLabel* textField_;
    QLineEdit* descriptionField_;
    QPushButton* addButton_;
    QPushButton* cancelButton_;
    bool hasOps_ = false;
};

} // namespace orvenda
