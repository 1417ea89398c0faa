#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace orvenda {

// The form of a new program: its name, description, tags and notes, Save and Cancel. The
// name field refuses, as it is typed or pasted, what would make it longer than 8 characters
// or hold anything but ASCII letters and digits. Return moves on, name to description to
// tags to notes (where it starts a new line); only Save saves. Main thread.
class AddProgramForm : public QDialog {
public:
    explicit AddProgramForm(QWidget* parent = nullptr);

    // Each opening: the four fields emptied and the keyboard in the name field.
    void showSave();
    // Save and Cancel as their buttons do: the fields give up the keyboard.
    void save();
    void cancel();

    QLineEdit& nameField() const { return *name_; }
    QLineEdit& descriptionField() const { return *description_; }
    QLineEdit& tagsField() const { return *tags_; }
    QPlainTextEdit& notesField() const { return *notes_; }
    QPushButton& saveButton() const { return *save_; }

    // Name, description, notes and the tag text.
    std::function<void(const std::string& name, const std::string& desc, const std::string& notes,
        const std::string& tags)>
        addFileNamed;
    std::function<void()> cancelAddProgram;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* name_;
    QLineEdit* description_;
    QLineEdit* tags_;
    QPlainTextEdit* notes_;
    QPushButton* save_;
    QPushButton* cancel_;
};

} // namespace orvenda
