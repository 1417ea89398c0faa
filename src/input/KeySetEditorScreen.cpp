#include "input/KeySetEditorScreen.h"

#include "app/AppDelegate.h"

#include "app/AppShell.h"
#include "app/EntryModel.h"
#include "app/ScreenRegistry.h"
#include "app/UserKeysView.h"
#include "core/Calculator.h"
#include "core/KeySets.h"
#include "core/NotificationNames.h"
#include "input/KeySetView.h"

#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

namespace orvenda {

namespace {

EntryModel* entryOf(Calculator& calc) { return dynamic_cast<EntryModel*>(calc.entryManager.get()); }

} // namespace

KeySetEditorScreen::KeySetEditorScreen(Calculator& calc, AppShell& shell, QWidget* parent)
    : ScreenController(calc, parent), shell_(shell), view_(new KeySetView(calc, this)),
      done_(new QPushButton(QStringLiteral("Done"), this))
{
    setAutoFillBackground(true);
    done_->setFocusPolicy(Qt::NoFocus);
    connect(done_, &QPushButton::clicked, this, [this] { done(); });
    for (int tag = 0; tag < static_cast<int>(userButtons_.size()); ++tag) {
        auto* button = new QToolButton(this);
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRaise(true);
        button->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0; background: rgba(128, 128, 128, 128); }"));
        connect(button, &QToolButton::clicked, this, [this, tag] { selectKey(tag); });
        userButtons_[static_cast<std::size_t>(tag)] = button;
    }
}

KeySetEditorScreen::~KeySetEditorScreen() = default;

void KeySetEditorScreen::subscribe()
{
    observe(VQBlinkCursor, [this](const Notification&) { redraw(); });
    observe(VQCursorUp, [this](const Notification&) { cursorUp(); });
    observe(VQCursorDown, [this](const Notification&) { cursorDown(); });
    observe(VQCursorLeft, [this](const Notification&) { shell_.blink().resetBlink(); redraw(); });
    observe(VQCursorRight, [this](const Notification&) { shell_.blink().resetBlink(); redraw(); });
    observe(VQDoEnter, [this](const Notification&) { getEntry(); });
    observe(VQEntryTextChanged, [this](const Notification&) { redraw(); });
    observe(VQClearScreen, [this](const Notification&) { redraw(); });
    observe(VQEnter, [this](const Notification&) { enter(); });
    // A save records the user's own setting, not the one the editor lends the lines.
    observe(AppDelegate::kWillSaveState, [this](const Notification&) {
        if (mathPrintOff_)
            calc().locked()->mathPrint = mathPrintSave_;
    });
    observe(AppDelegate::kDidSaveState, [this](const Notification&) {
        if (mathPrintOff_)
            calc().locked()->mathPrint = false;
    });
}

void KeySetEditorScreen::focus(bool gained)
{
    const bool was = listening();
    if (gained && !was) {
        ScreenController::focus(true);
        // Back from a menu, the catalogue or MODE over the editor: the line goes on where its
        // cursor stood, with what was picked. Another set picked meanwhile, or the line
        // emptied (the key-set catalogue's Done), has the line read again.
        const EntryModel* line = entryOf(calc());
        const bool sameSet = covered_ && calc().userKeySetName == coveredSet_;
        const bool resumed = sameSet && line && (!line->entryOps().empty() || coveredEmpty_);
        covered_ = false;
        if (!resumed)
            if (EntryModel* entry = entryOf(calc()))
                entry->clearUndo();
        {
            auto state = calc().locked();
            mathPrintSave_ = state->mathPrint;
            // The key lines are edited as classic one-line entries.
            state->mathPrint = false;
        }
        mathPrintOff_ = true;
        if (resumed) {
            shell_.blink().resetBlink();
            updateDisplay();
        } else {
            changeEntry();
            // MODE's Entry switch empties the line it leaves: read again from the set, it
            // keeps its cursor, so the next key goes where it went before.
            if (EntryModel* entry = entryOf(calc()); entry && sameSet) {
                entry->setEntryCursor(std::min(coveredCursor_, static_cast<int>(entry->entryOps().size())));
                redraw();
            }
        }
        return;
    }
    if (!gained && calc().currentScreen() == screens::KeySetEditor && (was || covered_)) {
        // An overlay comes over the editor, which stays the current screen: the line and its
        // cursor wait in the entry line, and the line is kept in the set meanwhile. MODE
        // shows the user's own setting.
        if (was) {
            storeLine();
            covered_ = true;
            coveredSet_ = calc().userKeySetName;
            coveredEmpty_ = !entryOf(calc()) || entryOf(calc())->entryOps().empty();
            coveredCursor_ = entryOf(calc()) ? entryOf(calc())->entryCursor() : 0;
            restoreMathPrint();
        }
        ScreenController::focus(false);
        return;
    }
    if (!gained && (was || covered_)) {
        covered_ = false;
        EntryModel* entry = entryOf(calc());
        // An emptied line keeps its value when the editor is left.
        if (entry && !entry->entryOps().empty())
            getEntry();
        if (entry) {
            entry->clear();
            entry->clearUndo();
        }
        if (restoreMathPrint() && mathPrintRestored)
            QTimer::singleShot(0, this, [this] {
                if (mathPrintRestored)
                    mathPrintRestored();
            });
    }
    ScreenController::focus(gained);
}

void KeySetEditorScreen::changeEntry()
{
    const int slot = currentKey_ + (currentLine_ >= 2 ? 5 : 0);
    const auto ops = currentLine_ % 2 == 0 ? KeySets::userKeyTitle(calc(), slot) : KeySets::userKeyOps(calc(), slot);
    if (EntryModel* entry = entryOf(calc()))
        entry->setOps(ops.value_or(Calculator::Ops{}));
    shell_.blink().resetBlink();
    redraw();
}

void KeySetEditorScreen::restoreTypedPlace(const nlohmann::json& place)
{
    currentKey_ = placeNumber(place, "key", 0, static_cast<int>(userButtons_.size()) - 1).value_or(0);
    currentLine_ = placeNumber(place, "line", 0, KeySetView::kLines - 1).value_or(0);
    changeEntry();
    updateDisplay();
}

void KeySetEditorScreen::storeLine()
{
    EntryModel* entry = entryOf(calc());
    if (!entry)
        return;
    const int slot = currentKey_ + (currentLine_ >= 2 ? 5 : 0);
    const Calculator::Ops ops = entry->entryOps();
    currentLine_ % 2 == 0 ? KeySets::setUserKeyTitle(calc(), slot, ops) : KeySets::setUserKeyOps(calc(), slot, ops);
}

void KeySetEditorScreen::getEntry()
{
    EntryModel* entry = entryOf(calc());
    if (!entry)
        return;
    storeLine();
    entry->clearUndo();
    updateDisplay();
}

void KeySetEditorScreen::selectKey(int key)
{
    if (key < 0 || key >= static_cast<int>(userButtons_.size()))
        return;
    getEntry();
    currentKey_ = key;
    currentLine_ = 0;
    changeEntry();
    updateDisplay();
}

void KeySetEditorScreen::cursorUp()
{
    getEntry();
    currentLine_ = std::max(0, currentLine_ - 1);
    changeEntry();
}

void KeySetEditorScreen::cursorDown()
{
    getEntry();
    currentLine_ = std::min(KeySetView::kLines - 1, currentLine_ + 1);
    changeEntry();
}

void KeySetEditorScreen::enter()
{
    // The ENTER that commits a line as the editor is left is no key of the definition: the
    // line is stored as it stands.
    if (calc().screenBeingLeft() != screens::KeySetEditor)
        if (EntryModel* entry = entryOf(calc()))
            entry->addOp(static_cast<std::uint32_t>(Calculator::kEnterKey), false, true);
    getEntry();
}

bool KeySetEditorScreen::restoreMathPrint()
{
    if (!mathPrintOff_)
        return false;
    mathPrintOff_ = false;
    auto state = calc().locked();
    const bool changed = state->mathPrint != mathPrintSave_;
    state->mathPrint = mathPrintSave_;
    return changed;
}

void KeySetEditorScreen::done()
{
    getEntry();
    if (EntryModel* entry = entryOf(calc())) {
        entry->clear();
        entry->clearUndo();
    }
    // Before going home: the home screen of the setting comes forward.
    restoreMathPrint();
    if (keySetDone)
        keySetDone();
}

void KeySetEditorScreen::redraw()
{
    view_->setKey(currentKey_, currentLine_);
}

void KeySetEditorScreen::updateDisplay()
{
    const double scale = devicePixelRatioF();
    for (int tag = 0; tag < static_cast<int>(userButtons_.size()); ++tag) {
        QToolButton* button = userButtons_[static_cast<std::size_t>(tag)];
        const QImage image = UserKeysView::userKeyImage(calc(), tag, button->size(), scale,
            tag == currentKey_ ? UserKeysView::Fill::Opaque : UserKeysView::Fill::None, Qt::white);
        button->setIconSize(button->size());
        button->setIcon(QIcon(QPixmap::fromImage(image)));
    }
    redraw();
}

void KeySetEditorScreen::resizeEvent(QResizeEvent*)
{
    const int doneHeight = 30;
    const int page = view_->pageHeight();
    // A display too short for Done above the four lines (a phone on its side) has Done on
    // the banner under them, and a lower row of keys.
    const bool compact = height() < doneHeight + page + kButtonRowHeight;
    const int rowHeight = compact ? std::clamp(height() - page, kLeastButtonRowHeight, kButtonRowHeight) : kButtonRowHeight;
    const int top = compact ? 0 : doneHeight;
    view_->setGeometry(0, top, width(), std::max(0, height() - top - rowHeight));
    if (compact) {
        const int banner = top + view_->height() - KeySetView::kBannerHeight;
        done_->setGeometry(width() - 80, banner + 1, 76, KeySetView::kBannerHeight - 2);
    } else {
        done_->setGeometry(width() - 80, 2, 76, doneHeight - 4);
    }
    done_->raise();
    const double step = width() / 5.0;
    for (int tag = 0; tag < static_cast<int>(userButtons_.size()); ++tag)
        userButtons_[static_cast<std::size_t>(tag)]->setGeometry(
            QRect(1 + static_cast<int>(tag * step), height() - rowHeight, static_cast<int>(step - 2), rowHeight));
    updateDisplay();
}

} // namespace orvenda
