#include "apps/ChemScreen.h"

#include "apps/ChemView.h"

#include "app/AppShell.h"
#include "app/EntryModel.h"
#include "app/EntryView.h"
#include "app/LcdView.h"
#include "app/ScreenRegistry.h"
#include "app/VQTableScrollView.h"
#include "core/Calculator.h"
#include "core/NotificationNames.h"
#include "language/ErrorNumbers.h"
#include "numeric/ElementDatabase.h"
#include "pretty/FontMap.h"

#include <QKeyEvent>
#include <QPushButton>

#include <cmath>

namespace orvenda {

namespace {

constexpr int kDoneWidth = 64;
constexpr int kMinEntryHeight = 32;

} // namespace

ChemScreen::ChemScreen(Calculator& calc, AppShell& shell, QWidget* parent)
    : ScreenController(calc, parent), lcd_(new LcdView(calc, this)), scroller_(new VQTableScrollView(this)),
      table_(new ChemView(calc, shell.keys())), entryView_(new EntryView(calc, shell, this)),
      done_(new QPushButton(QStringLiteral("Done"), this))
{
    scroller_->setContentView(table_);
    entryView_->setPrefixStr("formula:");
    done_->setFont(FontMap::shared().font("Helvetica-Bold", 14));
    done_->setFocusPolicy(Qt::NoFocus);
    connect(done_, &QPushButton::clicked, this, [this] { leave(); });
}

QWidget* ChemScreen::leaveControl() const { return done_; }

EntryModel* ChemScreen::entry() const { return dynamic_cast<EntryModel*>(calc().entryManager.get()); }

int ChemScreen::opIndexForCharacter(const Calculator& calc, const Ops& ops, int index)
{
    std::size_t end = 0;
    for (std::size_t i = 0; i < ops.size(); ++i) {
        end += calc.nameForOpcode(ops[i]).size();
        if (index >= 0 && static_cast<std::size_t>(index) < end)
            return static_cast<int>(i);
    }
    return static_cast<int>(ops.size());
}

void ChemScreen::enter()
{
    EntryModel* e = entry();
    if (!e || e->entryOps().empty())
        return;
    const Ops ops = e->entryOps();
    double total = 0;
    int fault = 0;
    auto shares = ElementDatabase::elementDatabase().analyzeCompound(calc().stringFromOps(ops), total, fault);
    if (!shares) {
        // The table of the last formula read stays.
        e->setErrorLocation(opIndexForCharacter(calc(), ops, fault));
        calc().showError({{"errorNum", ErrChemFormula}});
        return;
    }
    table_->setTableSource(std::move(*shares), total);
    reboundScroller();
    scroller_->setContentOffset(QPointF(0, 0));
}

void ChemScreen::reboundScroller()
{
    // As wide as the scroller, which sizes the view only once it is shown.
    scroller_->setContentSize(QSizeF(scroller_->width(), table_->size().height()));
}

void ChemScreen::subscribe()
{
    const auto redraw = [this](const Notification&) {
        table_->update();
        entryView_->update();
    };
    observe(VQBlinkCursor, [this](const Notification&) { entryView_->update(); });
    observe(VQCursorLeft, redraw);
    observe(VQCursorRight, redraw);
    observe(VQEnter, [this](const Notification&) { enter(); });
    observe(VQEntryTextChanged, [this](const Notification&) {
        // A longer formula may take another line; otherwise only the line is redrawn.
        if (std::max(kMinEntryHeight, static_cast<int>(std::ceil(entryView_->height()))) != entryView_->geometry().height())
            updateDisplay();
        else
            entryView_->update();
    });
    observe(VQCursorMoved, [this](const Notification&) { entryView_->update(); });
}

void ChemScreen::focus(bool gained)
{
    const bool wasListening = listening();
    ScreenController::focus(gained);
    EntryModel* e = entry();
    if (gained && !wasListening) {
        lcd_->update();
        if (e) {
            const Ops formula = saved_.value_or(Ops());
            e->forceOps(formula);
            e->cursorSetIndex(static_cast<int>(formula.size()));
        }
        // The screen's own line is newer than what waits for a launch.
        if (saved_)
            calc().takeFailedLine(screens::Chemistry);
        saved_.reset();
        updateDisplay();
    } else if (!gained && wasListening) {
        // The shared line is emptied for the screen now in front, without a key: CLEAR
        // would act on that screen's own editor (a Y= equation, the home screen's history).
        if (e) {
            saved_ = e->entryOps();
            // A formula that cannot be read also waits with the calculator, as a field's
            // failed value does, so that the saves keep it for a launch after the app ends.
            if (!saved_->empty() && !readable(*saved_))
                calc().holdFailedLine(screens::Chemistry, {*saved_, e->entryCursor(), nlohmann::json::object()});
            if (!saved_->empty())
                e->forceOps({});
        }
    }
}

bool ChemScreen::readable(const Ops& formula) const
{
    double total = 0;
    int fault = 0;
    return ElementDatabase::elementDatabase().analyzeCompound(calc().stringFromOps(formula), total, fault).has_value();
}

void ChemScreen::updateDisplay()
{
    lcd_->setGeometry(rect());
    lcd_->lower();
    const int entryWidth = std::max(0, width() - kDoneWidth - 8);
    entryView_->layoutForWidth(entryWidth);
    // At least a finger's height, for Done beside the line.
    const int entryHeight = std::max(kMinEntryHeight, static_cast<int>(std::ceil(entryView_->height())));
    entryView_->setGeometry(0, height() - entryHeight, entryWidth, entryHeight);
    done_->setGeometry(entryWidth + 4, height() - entryHeight + 2, kDoneWidth, std::max(0, entryHeight - 4));
    scroller_->setGeometry(0, 0, width(), height() - entryHeight);
    if (calc().device == 1)
        table_->adjustSize(width() / 480.0);
    reboundScroller();
    table_->update();
    entryView_->update();
}

void ChemScreen::resizeEvent(QResizeEvent*) { updateDisplay(); }

void ChemScreen::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        leave();
        return;
    }
    ScreenController::keyPressEvent(event);
}

} // namespace orvenda
