#include "input/AddProgramForm.h"

#include "app/WindowFit.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace orvenda {

AddProgramForm::AddProgramForm(QWidget* parent)
    : QDialog(parent), name_(new QLineEdit(this)), description_(new QLineEdit(this)), tags_(new QLineEdit(this)),
      notes_(new QPlainTextEdit(this))
{
    setWindowTitle(QStringLiteral("New Program"));
    // A change that would leave anything else is refused whole, as typed or pasted.
    name_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[A-Za-z0-9]{0,8}")), name_));
    auto* layout = new QFormLayout(this);
    // In a narrow window a field goes under its label.
    layout->setRowWrapPolicy(QFormLayout::WrapLongRows);
    layout->addRow(QStringLiteral("Name"), name_);
    layout->addRow(QStringLiteral("Description"), description_);
    layout->addRow(QStringLiteral("Tags"), tags_);
    layout->addRow(QStringLiteral("Notes"), notes_);
    auto* buttons = new QDialogButtonBox(this);
    save_ = buttons->addButton(QDialogButtonBox::Save);
    cancel_ = buttons->addButton(QDialogButtonBox::Cancel);
    layout->addRow(buttons);
    connect(save_, &QPushButton::clicked, this, [this] { save(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { cancel(); });
    for (QLineEdit* field : {name_, description_, tags_})
        field->installEventFilter(this);
    WindowFit::keep(*this);
}

void AddProgramForm::showSave()
{
    for (QLineEdit* field : {name_, description_, tags_})
        field->clear();
    notes_->clear();
    open();
    name_->setFocus();
}

void AddProgramForm::save()
{
    for (QWidget* field : std::initializer_list<QWidget*>{name_, description_, tags_, notes_})
        field->clearFocus();
    accept();
    if (addFileNamed)
        addFileNamed(name_->text().toStdString(), description_->text().toStdString(), notes_->toPlainText().toStdString(),
            tags_->text().toStdString());
}

void AddProgramForm::cancel()
{
    for (QWidget* field : std::initializer_list<QWidget*>{name_, description_, tags_, notes_})
        field->clearFocus();
    reject();
    if (cancelAddProgram)
        cancelAddProgram();
}

bool AddProgramForm::eventFilter(QObject* watched, QEvent* event)
{
    // Return moves to the next field instead of reaching the dialog's default button.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            QWidget* next = watched == name_ ? static_cast<QWidget*>(description_)
                : watched == description_    ? static_cast<QWidget*>(tags_)
                                             : static_cast<QWidget*>(notes_);
            next->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace orvenda
