#include "app/WindowFit.h"

#include <QDialog>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>

namespace orvenda {

namespace {

// Room a dialog leaves around itself in the window, for the desktop's title bar and frame.
constexpr int kWindowMargin = 24;
// The least room a dialog is given, in a window smaller than any the app takes.
constexpr int kLeastRoom = 160;

// Plain text that may break within a path or file name (after "/", "\\", ".", "-" and
// "_", where the next character is no blank) as well as at blanks: a long name in a
// narrow window wraps instead of running past the box's edge.
QString breakable(const QString& text, Qt::TextFormat format)
{
    if (format == Qt::RichText || (format == Qt::AutoText && Qt::mightBeRichText(text)))
        return text;
    static const QString marks = QStringLiteral("/\\.-_");
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        out += text[i];
        if (marks.contains(text[i]) && i + 1 < text.size() && !text[i + 1].isSpace())
            out += QChar(0x200B);
    }
    return out;
}

// The room for a dialog over the window, on its screen.
QSize roomIn(const QWidget& dialog, const QWidget& window)
{
    QSize room = window.size();
    if (const QScreen* screen = dialog.screen())
        room = room.boundedTo(screen->availableGeometry().size());
    return (room - QSize(2 * kWindowMargin, 2 * kWindowMargin)).expandedTo(QSize(kLeastRoom, kLeastRoom));
}

void centreOver(QWidget& dialog, const QWidget& window)
{
    const QPoint centre = window.mapToGlobal(window.rect().center());
    dialog.move(centre - QPoint(dialog.width() / 2, dialog.height() / 2));
}

} // namespace

WindowFit::WindowFit(QDialog& dialog, QWidget& window) : QObject(&dialog), dialog_(dialog), window_(window)
{
    window.installEventFilter(this);
    dialog.installEventFilter(this);
}

void WindowFit::keep(QDialog& dialog)
{
    if (QWidget* parent = dialog.parentWidget())
        keep(dialog, *parent->window());
}

void WindowFit::keep(QDialog& dialog, QWidget& window) { (new WindowFit(dialog, window))->fit(); }

bool WindowFit::eventFilter(QObject* watched, QEvent* event)
{
    const bool windowChanged = watched == &window_ && (event->type() == QEvent::Show || event->type() == QEvent::Resize);
    if (windowChanged || (watched == &dialog_ && event->type() == QEvent::Show))
        fit();
    return false;
}

void WindowFit::fit()
{
    if (!dialog_.isVisible() || !window_.isVisible())
        return;
    if (auto* box = qobject_cast<QMessageBox*>(&dialog_)) {
        fitAlert(*box, window_);
    } else {
        if (!wanted_.isValid())
            wanted_ = dialog_.size();
        const QSize room = roomIn(dialog_, window_);
        dialog_.setMaximumSize(room);
        if (QLayout* layout = dialog_.layout())
            layout->activate();
        dialog_.resize(wanted_.boundedTo(room).expandedTo(dialog_.minimumSizeHint().boundedTo(room)));
    }
    centreOver(dialog_, window_);
}

// The box's own layout, as shown, gives the message its width; a message that would make
// the box too wide or too tall (many kept sessions, say) scrolls in a copy of its label,
// as wide as the window lets it be, its paths broken where they must.
void WindowFit::fitAlert(QMessageBox& box, const QWidget& window)
{
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!label || !grid)
        return;
    const QSize room = roomIn(box, window);
    grid->activate();
    auto* scroll = box.findChild<QScrollArea*>();
    if (!scroll) {
        if (box.height() <= room.height() && box.width() <= room.width())
            return;
        int row = 0, column = 0, rows = 0, columns = 0;
        grid->getItemPosition(grid->indexOf(label), &row, &column, &rows, &columns);
        // The message box sizes itself by its own label again on its own events: that label
        // stays, hidden, and a copy scrolls in its place.
        auto* text = new QLabel(breakable(label->text(), label->textFormat()));
        text->setTextFormat(label->textFormat());
        text->setTextInteractionFlags(label->textInteractionFlags());
        text->setWordWrap(true);
        text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        scroll = new QScrollArea(&box);
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        scroll->setWidgetResizable(true);
        // Keys stay with the buttons: Return presses the default one.
        scroll->setFocusPolicy(Qt::NoFocus);
        scroll->setWidget(text);
        // The message's width as the box laid it out, and what the box holds beside and
        // above and below it.
        scroll->setProperty("natural", label->width());
        scroll->setProperty("beside", box.width() - label->width());
        scroll->setProperty("rest", box.height() - label->height());
        label->hide();
        grid->addWidget(scroll, row, column, rows, columns);
        scroll->show();
    }
    // No wider than the window lets it be, the scroll bar beside the text.
    const int bar = scroll->verticalScrollBar()->sizeHint().width();
    const int natural = scroll->property("natural").toInt(), beside = scroll->property("beside").toInt();
    scroll->setFixedWidth(std::clamp(natural + bar, 2 * bar, std::max(2 * bar, room.width() - beside)));
    const auto* text = static_cast<const QLabel*>(scroll->widget());
    const int whole = text->heightForWidth(scroll->width() - bar);
    const int rest = scroll->property("rest").toInt();
    const int height = std::min(whole, std::max(room.height() - rest, 3 * text->fontMetrics().lineSpacing()));
    scroll->setVerticalScrollBarPolicy(height < whole ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
    scroll->setFixedHeight(height);
    grid->activate();
    box.setFixedSize(grid->totalMinimumSize().width(), rest + height);
    grid->activate();
}

} // namespace orvenda
