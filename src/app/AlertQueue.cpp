#include "app/AlertQueue.h"

#include "app/WindowFit.h"

#include <QMessageBox>
#include <QPushButton>

namespace orvenda {

void AlertQueue::show(Alert alert)
{
    waiting_.push_back(std::move(alert));
    if (!open_)
        showNext();
}

void AlertQueue::showNext()
{
    if (waiting_.empty())
        return;
    Alert next = std::move(waiting_.front());
    waiting_.pop_front();
    auto* box = new QMessageBox(QMessageBox::NoIcon, next.title, next.message, QMessageBox::NoButton, &window_);
    box->setWindowModality(Qt::ApplicationModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    for (std::size_t i = 0; i < next.buttons.size(); ++i) {
        auto& [caption, action] = next.buttons[i];
        QPushButton* button = box->addButton(caption, QMessageBox::AcceptRole);
        if (i == 0)
            box->setDefaultButton(button);
        if (i == next.escape || (i == 0 && next.escape >= next.buttons.size()))
            box->setEscapeButton(button);
        if (action)
            QObject::connect(button, &QPushButton::clicked, box, action);
    }
    QObject::connect(box, &QMessageBox::finished, box, [this] {
        open_.clear();
        showNext();
        // The keys go back to the window, not to the alert closed (still the active window
        // where no window manager moves it on).
        if (!open_)
            window_.activateWindow();
    });
    open_ = box;
    box->show();
    WindowFit::keep(*box, window_);
}

} // namespace orvenda
