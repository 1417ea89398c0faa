#include "stats/StatEqScreen.h"

#include "app/AppShell.h"
#include "app/LcdView.h"
#include "app/ScreenRegistry.h"
#include "app/ScreenRouter.h"
#include "app/VQTableScrollView.h"
#include "core/Calculator.h"
#include "stats/StatPlotModel.h"

namespace orvenda {

namespace {

constexpr double kSnapWidth = 100;

} // namespace

StatEqScreen::StatEqScreen(Calculator& calc, AppShell& shell, ScreenRouter& router, QWidget* parent)
    : ScreenController(calc, parent), router_(router), lcd_(new LcdView(calc, this)), scroller_(new VQTableScrollView(this)),
      list_(new StatEqView(calc, shell.keys()))
{
    scroller_->setContentView(list_);
    scroller_->setColWidth(kSnapWidth);
    list_->setDelegate(this);
}

void StatEqScreen::resizeEvent(QResizeEvent*)
{
    if (calc().device == 1)
        list_->adjustSize(width() / 480.0);
    updateDisplay();
}

QRect StatEqScreen::cursorRect() const { return scroller_->shownRect(list_->rectForRow(list_->cursorRow), *this); }

void StatEqScreen::focus(bool gained)
{
    ScreenController::focus(gained);
    if (gained)
        lcd_->update();
}

void StatEqScreen::updateDisplay()
{
    lcd_->setGeometry(rect());
    scroller_->setGeometry(rect());
    scroller_->setContentSize(QSizeF(scroller_->visibleSize().width(), list_->size().height()));
    list_->update();
}

void StatEqScreen::syncViews()
{
    scroller_->scrollRectToVisible(list_->rectForRow(list_->cursorRow));
    list_->update();
}

void StatEqScreen::selectRow(int row)
{
    if (row < 0 || row >= StatPlotModel::kPlotCount)
        return;
    list_->cursorRow = row;
    {
        const auto state = calc().locked();
        if (StatPlotModel* model = StatPlotModel::of(calc()))
            model->setPlotVisible(row, !model->plotVisible(row));
    }
    syncViews();
}

void StatEqScreen::selectStyle(int plot) { router_.showOverlay(screens::StatPlotColor, plot); }

} // namespace orvenda
