#include "graphui/TableSetScreen.h"

#include "app/LcdView.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "pretty/FontMap.h"

#include "input/SegmentedControl.h"

#include <QHBoxLayout>

namespace orvenda {

namespace {

constexpr int kTblStart = 54, kDeltaTbl = 61;

} // namespace

TableSetScreen::TableSetScreen(Calculator& calc, AppShell& shell, QWidget* parent)
    : ScreenController(calc, parent), lcd_(new LcdView(calc, this)), form_(new VQTemplateView(calc, shell, this)),
      bar_(new QWidget(this)), segments_(new SegmentedControl({QStringLiteral("Auto"), QStringLiteral("Ask")}, bar_))
{
    form_->setDelegate(this);
    form_->setTitle(QStringLiteral("TABLE SETUP"));
    auto* row = new QHBoxLayout(bar_);
    row->setContentsMargins(8, 4, 8, 4);
    segments_->setFont(FontMap::shared().font("Helvetica-Bold", 16));
    segments_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    row->addWidget(segments_);
    segments_->changed = [this](int segment) { autoAsk(segment); };
    updateDisplay();
}

void TableSetScreen::resizeEvent(QResizeEvent*)
{
    lcd_->setGeometry(rect());
    form_->setGeometry(0, 0, width(), height() - kBarHeight);
    bar_->setGeometry(0, height() - kBarHeight, width(), kBarHeight);
}

int TableSetScreen::selectedSegment() const { return segments_->selected(); }

void TableSetScreen::autoAsk(int segment) { calc().locked()->tableMode = segment == 0 ? 1 : 0; }

void TableSetScreen::updateFields()
{
    form_->setFields({VQTemplateField::fieldValue(calc().locked()->vars[kTblStart].real(), 0, 0, 0, 0, "TblStart=", kTblStart),
                      VQTemplateField::fieldValue(calc().locked()->vars[kDeltaTbl].real(), 0, 1, 0, 1, "ΔTbl=", kDeltaTbl)});
}

void TableSetScreen::updateDisplay()
{
    segments_->setSelected(calc().locked()->tableMode == 1 ? 0 : 1);
    updateFields();
    form_->update();
}

void TableSetScreen::focus(bool gained)
{
    ScreenController::focus(gained);
    if (gained)
        updateFields();
    form_->focus(gained);
}

void TableSetScreen::fieldDidChange(VQTemplateField& field)
{
    calc().locked()->vars[static_cast<std::size_t>(field.tag)] = {field.value, 0};
    calc().notificationCenter().post(VQSyncWindowVars, this);
}

} // namespace orvenda
