#include "graphui/WindowScreen.h"

#include "app/LcdView.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "core/services/StatGraphManager.h"

#include <cmath>

namespace orvenda {

namespace {

struct Row {
    const char* label;
    int slot;
};
using Rows = std::vector<Row>;

Rows rowsFor(int graphMode)
{
    const Rows window{{"Xmin=", 38}, {"Xmax=", 39}, {"Ymin=", 40}, {"Ymax=", 41}};
    auto with = [&window](Rows first) {
        first.insert(first.end(), window.begin(), window.end());
        return first;
    };
    switch (graphMode) {
    case 0:
    case 4: return {{"Xmin=", 38}, {"Xmax=", 39}, {"Xscl=", 30}, {"Ymin=", 40}, {"Ymax=", 41}, {"Yscl=", 31}};
    case 1: return with({{"Tmin=", 42}, {"Tmax=", 43}, {"Tstep=", 62}});
    case 2: return with({{"θmin=", 44}, {"θmax=", 45}, {"θstep=", 63}});
    case 3: return with({{"ηMin=", 59}, {"ηMax=", 57}, {"PlotStart=", 55}});
    default: return {};
    }
}

} // namespace

WindowScreen::WindowScreen(Calculator& calc, AppShell& shell, QWidget* parent)
    : ScreenController(calc, parent), lcd_(new LcdView(calc, this)), form_(new VQTemplateView(calc, shell, this))
{
    form_->setDelegate(this);
    form_->setTitle(QStringLiteral("WINDOW"));
    updateFields();
}

std::vector<VQTemplateField> WindowScreen::fieldsFor(const Calculator& calc, int graphMode)
{
    std::vector<VQTemplateField> fields;
    int row = 0;
    // The window as one value: a program storing Xmin and Xmax between two reads never
    // shows half of its change.
    const auto state = calc.locked();
    for (const Row& r : rowsFor(graphMode)) {
        fields.push_back(VQTemplateField::fieldValue(state->vars[static_cast<std::size_t>(r.slot)].real(), 0, row, 0, row, r.label, r.slot));
        ++row;
    }
    return fields;
}

void WindowScreen::resizeEvent(QResizeEvent*)
{
    lcd_->setGeometry(rect());
    form_->setGeometry(rect());
}

void WindowScreen::updateFields() { form_->setFields(fieldsFor(calc(), calc().graphMode())); }

void WindowScreen::updateDisplay()
{
    updateFields();
    form_->update();
}

void WindowScreen::focus(bool gained)
{
    ScreenController::focus(gained);
    if (gained)
        updateFields();
    form_->focus(gained);
}

void WindowScreen::fieldDidChange(VQTemplateField& field)
{
    // The histogram's bars follow the new window.
    if (calc().statGraphManager)
        calc().statGraphManager->windowChanged();
    calc().locked()->vars[static_cast<std::size_t>(field.tag)] = {field.value, 0};
    calc().notificationCenter().post(VQSyncWindowVars, this);
}

} // namespace orvenda
