#include "input/AddUserFnDialog.h"

#include "app/WindowFit.h"
#include "core/Calculator.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace orvenda {

AddUserFnDialog::AddUserFnDialog(Calculator& calc, QWidget* parent)
    : QDialog(parent), calc_(calc), textField_(new QLabel(this)), descriptionField_(new QLineEdit(this)),
      addButton_(new QPushButton(QStringLiteral("Save"), this)),
      cancelButton_(new QPushButton(QStringLiteral("Cancel"), this))
{
    setWindowTitle(QStringLiteral("Add to User Menu"));
    auto* form = new QFormLayout(this);
    form->setRowWrapPolicy(QFormLayout::WrapLongRows);
    textField_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    textField_->setWordWrap(true);
    form->addRow(QStringLiteral("Entry"), textField_);
    descriptionField_->setPlaceholderText(QStringLiteral("Name"));
    form->addRow(QStringLiteral("Name"), descriptionField_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancelButton_);
    buttons->addWidget(addButton_);
    form->addRow(buttons);
    // Return belongs to the name field, which saves only when saving is allowed.
    addButton_->setAutoDefault(false);
    cancelButton_->setAutoDefault(false);
    connect(addButton_, &QPushButton::clicked, this, [this] { save(); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { cancel(); });
    connect(descriptionField_, &QLineEdit::returnPressed, this, [this] { save(); });
    updateSave();
    WindowFit::keep(*this);
}

void AddUserFnDialog::showSave(const std::vector<std::uint32_t>& entryOps)
{
    hasOps_ = !entryOps.empty();
    // With nothing to keep the text of before stays; Save is off then.
    if (hasOps_)
        textField_->setText(QString::fromStdString(calc_.stringFromOps(entryOps)));
    descriptionField_->clear();
    updateSave();
    open();
    descriptionField_->setFocus();
}

bool AddUserFnDialog::saveEnabled() const { return addButton_->isEnabled(); }

QString AddUserFnDialog::entryText() const { return textField_->text(); }

void AddUserFnDialog::updateSave()
{
    // A name is optional: the menu then shows the entry itself.
    addButton_->setEnabled(hasOps_);
}

void AddUserFnDialog::save()
{
    if (!saveEnabled())
        return;
    const std::string name = descriptionField_->text().trimmed().toStdString();
    accept();
    if (addUserFnNamed)
        addUserFnNamed(name);
}

void AddUserFnDialog::cancel()
{
    reject();
    if (cancelAddUserFn)
        cancelAddUserFn();
}

} // namespace orvenda
