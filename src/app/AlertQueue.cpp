#include "app/AlertQueue.h"

#include <QEvent>
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
// fits the window and the screen with its title and buttons in sight, at the window's size
// of the moment.
void fitInWindow(QMessageBox& box, const QWidget& window)
{
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!box.isVisible() || !window.isVisible() || !label || !grid)
        return;
    int room = window.height();
    if (const QScreen* screen = box.screen())
        room = std::min(room, screen->availableGeometry().height());
    room -= 2 * kWindowMargin;
    // The box's own layout, as shown, gives the message its width.
    grid->activate();
    auto* scroll = box.findChild<QScrollArea*>();
    int rest = 0;
    if (scroll) {
        rest = box.height() - scroll->height();
    } else {
        if (box.height() <= room)
            return;
        rest = box.height() - label->height();
        int row = 0, column = 0, rows = 0, columns = 0;
        grid->getItemPosition(grid->indexOf(label), &row, &column, &rows, &columns);
        // The message box sizes itself by its own label again on its own events: that label
        // stays, hidden, and a copy scrolls in its place.
        auto* text = new QLabel(label->text());
        text->setTextFormat(label->textFormat());
        text->setTextInteractionFlags(label->textInteractionFlags());
        text->setWordWrap(true);
        text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        scroll = new QScrollArea(&box);
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        scroll->setWidgetResizable(true);
        // Keys stay with the buttons: Return presses the default one.
        scroll->setFocusPolicy(Qt::NoFocus);
        scroll->setWidget(text);
        // No wider than the window, the scroll bar beside the text.
        const int bar = scroll->verticalScrollBar()->sizeHint().width();
        const int beside = box.width() - label->width();
        scroll->setFixedWidth(std::clamp(label->width() + bar, 2 * bar, std::max(2 * bar, window.width() - beside)));
        label->hide();
        grid->addWidget(scroll, row, column, rows, columns);
        scroll->show();
    }
    const auto* text = static_cast<const QLabel*>(scroll->widget());
    const int whole = text->heightForWidth(scroll->width() - scroll->verticalScrollBar()->sizeHint().width());
    const int height = std::min(whole, std::max(room - rest, 3 * text->fontMetrics().lineSpacing()));
    scroll->setFixedHeight(height);
    grid->activate();
    box.setFixedSize(grid->totalMinimumSize().width(), rest + height);
    grid->activate();
    // Centred over the window again, as it was shown.
    const QPoint centre = window.mapToGlobal(window.rect().center());
    box.move(centre - QPoint(box.width() / 2, box.height() / 2));
}

// Fits the alert again whenever its window is shown or resized.
class FitToWindow : public QObject {
public:
    FitToWindow(QMessageBox& box, QWidget& window)
        : QObject(&box)
        , box_(box)
        , window_(window)
    {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show || event->type() == QEvent::Resize)
            fitInWindow(box_, window_);
        return false;
    }

private:
    QMessageBox& box_;
    QWidget& window_;
};

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
    new FitToWindow(*box, window_);
}

} // namespace orvenda
