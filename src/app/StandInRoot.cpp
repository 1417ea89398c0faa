#include "app/StandInRoot.h"

#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "eval/Parser.h"
#include "language/ErrorNumbers.h"
#include "language/ErrorTable.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

namespace orvenda {

StandInRoot::StandInRoot(Calculator& calc, QSize size)
    : calc_(calc), window_(std::make_unique<QWidget>())
{
    window_->setWindowTitle(QStringLiteral("Orvenda"));
    window_->resize(size);
    auto* label = new QLabel(QStringLiteral("Orvenda: the calculator works, but its screens are still to come."));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(window_.get());
    layout->addWidget(label);
}

StandInRoot::~StandInRoot() = default;

void StandInRoot::VCUpdateDisplay() { window_->update(); }

void StandInRoot::VCShowError(const nlohmann::json& error)
{
    const int number = error.value("errorNum", 0);
    const std::string program = error.contains("programName") && error["programName"].is_string()
        ? error["programName"].get<std::string>()
        : std::string();
    Parser& parser = calc_.parser();
    if (number == ErrPause) {
        alert({QStringLiteral("Program:%1").arg(QString::fromStdString(program)), QStringLiteral("Paused"),
               {{QStringLiteral("Continue"), [&parser] { parser.resumeProgramThread(); }},
                {QStringLiteral("Stop"), [&parser] { parser.stopProgramThread(); }}}});
        return;
    }
    Alert shown{QStringLiteral("Calc Error"), QString::fromStdString(ErrorTable::errString(number)), {{"OK", {}}}};
    if (!program.empty() && program != "none") {
        shown.title = QStringLiteral("Program Error");
        shown.buttons.emplace_back(QStringLiteral("Show program"), [this, error] {
            calc_.notificationCenter().post(VQViewPrgmError, this, error);
        });
    }
    if (number == ErrBreak || number == ErrFileImportSuccess) {
        shown.title = number == ErrBreak ? QStringLiteral("User break") : QStringLiteral("Import Succeeded");
        shown.message.clear();
    }
    alert(std::move(shown));
}

void StandInRoot::alert(Alert alert)
{
    waiting_.push_back(std::move(alert));
    if (!open_)
        showNext();
}

void StandInRoot::showNext()
{
    if (waiting_.empty())
        return;
    Alert next = std::move(waiting_.front());
    waiting_.pop_front();
    auto* box = new QMessageBox(QMessageBox::NoIcon, next.title, next.message, QMessageBox::NoButton, window_.get());
    box->setWindowModality(Qt::ApplicationModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    for (std::size_t i = 0; i < next.buttons.size(); ++i) {
        auto& [caption, action] = next.buttons[i];
        QPushButton* button = box->addButton(caption, QMessageBox::AcceptRole);
        if (i == 0) {
            box->setDefaultButton(button);
            box->setEscapeButton(button);
        }
        if (action)
            QObject::connect(button, &QPushButton::clicked, box, action);
    }
    QObject::connect(box, &QMessageBox::finished, box, [this] {
        open_.clear();
        showNext();
    });
    open_ = box;
    box->show();
}

} // namespace orvenda
