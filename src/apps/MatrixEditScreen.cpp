#include "apps/MatrixEditScreen.h"

#include "app/LcdView.h"
#include "apps/MatrixEditView.h"
#include "apps/MatrixView.h"
#include "core/Calculator.h"

#include <QKeyEvent>

namespace orvenda {

MatrixEditScreen::MatrixEditScreen(Calculator& calc, AppShell& shell, QWidget* parent)
    : ScreenController(calc, parent), lcd_(new LcdView(calc, this)), editor_(new MatrixEditView(calc, shell, this))
{
    editor_->displayType(MatrixView::Matrix);
}

void MatrixEditScreen::subscribe()
{
    for (auto& [name, action] : editor_->keyActions())
        observe(name, [action](const Notification&) { action(); });
}

void MatrixEditScreen::shown(const ScreenRequest& request)
{
    editor_->editMatrix(request.number);
    editor_->syncViews();
}

void MatrixEditScreen::focus(bool gained)
{
    ScreenController::focus(gained);
    if (gained) {
        lcd_->update();
        editor_->updateDisplay();
    }
}

void MatrixEditScreen::updateDisplay()
{
    lcd_->update();
    editor_->updateDisplay();
}

void MatrixEditScreen::resizeEvent(QResizeEvent*)
{
    lcd_->setGeometry(rect());
    editor_->setGeometry(rect());
    lcd_->lower();
}

void MatrixEditScreen::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        leave();
        return;
    }
    ScreenController::keyPressEvent(event);
}

} // namespace orvenda
