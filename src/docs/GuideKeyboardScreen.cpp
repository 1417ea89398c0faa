#include "docs/GuideKeyboardScreen.h"

#include "docs/FunctionHelpScreen.h"
#include "docs/GuideKeyboardView.h"

#include <QKeyEvent>

#include <algorithm>

namespace orvenda {

GuideKeyboardScreen::GuideKeyboardScreen(Calculator& calc, bool tablet, QWidget* parent)
    : ScreenController(calc, parent), tablet_(tablet), keyboard_(new GuideKeyboardView(calc, tablet, this))
{
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::black);
    setPalette(colours);
    keyboard_->showOp = [this](std::uint32_t code, QRectF frame) { showOp(code, frame); };
}

void GuideKeyboardScreen::showOp(std::uint32_t code, QRectF keyFrame)
{
    if (!help_) {
        help_ = new FunctionHelpScreen(calc(), this);
        help_->setBarShown(helpBar_);
        help_->closed = [this] { hideHelp(); };
        if (prepareHelp)
            prepareHelp(*help_);
    }
    lastKey_ = keyFrame.translated(keyboard_->pos());
    help_->showOp(code);
    help_->setGeometry(helpRect(lastKey_));
    help_->show();
    help_->raise();
    help_->focus(true);
    // On a phone the page covers the whole guide: its keys go out of sight and reach.
    keyboard_->setVisible(tablet_);
    if (helpChanged)
        helpChanged();
}

QRect GuideKeyboardScreen::helpRect(QRectF key) const
{
    if (!tablet_)
        return rect();
    // A panel 400 wide and up to 800 high beside the key, inside the screen.
    const int w = std::min(400, width()), h = std::min(800, height());
    int x = key.right() + 8 + w <= width() ? int(key.right()) + 8 : int(key.left()) - 8 - w;
    x = std::clamp(x, 0, std::max(0, width() - w));
    const int y = std::clamp(int(key.center().y()) - h / 2, 0, std::max(0, height() - h));
    return QRect(x, y, w, h);
}

bool GuideKeyboardScreen::helpShown() const { return help_ && !help_->isHidden(); }

void GuideKeyboardScreen::hideHelp()
{
    if (!help_)
        return;
    help_->hide();
    help_->focus(false);
    keyboard_->show();
    setFocus();
    if (helpChanged)
        helpChanged();
}

void GuideKeyboardScreen::resizeEvent(QResizeEvent*)
{
    keyboard_->setGeometry(rect());
    if (help_)
        help_->setGeometry(helpRect(lastKey_));
}

void GuideKeyboardScreen::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Escape) {
        ScreenController::keyPressEvent(event);
        return;
    }
    if (helpShown())
        hideHelp();
    else if (closed)
        closed();
}

} // namespace orvenda
