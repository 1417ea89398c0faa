#include "app/AlertQueue.h"

#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>

namespace orvenda {

namespace {

// Room the box leaves around itself in the window, for the desktop's title bar and frame.
constexpr int kWindowMargin = 24;

// A message taller than the window (many kept sessions, say) scrolls in the box, which then
// fits the window and the screen with its title and buttons in sight.
void fitInWindow(QMessageBox& box, const QWidget& window)
{
    int room = window.height();
    if (const QScreen* screen = box.screen())
        room = std::min(room, screen->availableGeometry().height());
    room -= 2 * kWindowMargin;
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (box.height() <= room || !label || !grid || room <= 0)
        return;
    int row = 0, column = 0, rows = 0, columns = 0;
    grid->getItemPosition(grid->indexOf(label), &row, &column, &rows, &columns);
    const int width = label->width();
    auto* scroll = new QScrollArea(&box);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    // Keys stay with the buttons: Return presses the default one.
    scroll->setFocusPolicy(Qt::NoFocus);
    grid->removeWidget(label);
    scroll->setWidget(label);
    grid->addWidget(scroll, row, column, rows, columns);
    const int bar = scroll->verticalScrollBar()->sizeHint().width();
    scroll->setFixedSize(width + bar, std::max(0, label->height() - (box.height() - room)));
    box.setFixedSize(box.width() + bar, room);
    grid->activate();
}

} // namespace

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
    });
    open_ = box;
    box->show();
    fitInWindow(*box, window_);
}

} // namespace orvenda
