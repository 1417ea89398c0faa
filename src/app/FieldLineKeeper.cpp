#include "app/FieldLineKeeper.h"

#include "app/AppDelegate.h"
#include "app/EntryModel.h"
#include "app/RootController.h"
#include "app/ScreenController.h"
#include "app/YEqModel.h"
#include "core/ArchiveValues.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace orvenda {

namespace {

EntryModel* entryOf(Calculator& calc) { return dynamic_cast<EntryModel*>(calc.entryManager.get()); }

// Where the archive keeps the line (the "field" member, beside the managers' members kept
// as read).
constexpr const char* kField = "field";

} // namespace

FieldLineKeeper::FieldLineKeeper(Calculator& calc, RootController& root)
    : calc_(calc), root_(root)
{
    NotificationCenter& bus = calc_.notificationCenter();
    bus.addObserver(this, AppDelegate::kWillSaveState, [this](const Notification&) { willSave(); });
    bus.addObserver(this, AppDelegate::kDidSaveState, [this](const Notification&) { didSave(); });
}

FieldLineKeeper::~FieldLineKeeper() { calc_.notificationCenter().removeObserver(this); }

void FieldLineKeeper::willSave()
{
    EntryModel* entry = entryOf(calc_);
    if (held_ || homeLineShown_ || !entry)
        return;
    if (!entry->entryOps().empty()) {
        // The screen in front says whose the line is.
        const int screen = calc_.currentScreen();
        const ScreenController* controller = root_.controllerOf(screen);
        const nlohmann::json place = controller ? controller->typedPlace() : nlohmann::json();
        if (!place.is_object())
            return;
        held_ = entry->takeLineQuietly();
        calc_.detachedArchive[kField] = {{"scrn", screen}, {"place", place}, {"ops", held_->first}, {"at", held_->second}};
    }
    // The home screen's line set aside while another typed on the entry line is still the
    // home line.
    const auto& aside = calc_.homeLineAside();
    if (aside && entry->entryOps().empty() && !aside->first.empty()) {
        entry->putLineBackQuietly(aside->first, aside->second);
        homeLineShown_ = true;
    }
}

void FieldLineKeeper::didSave()
{
    calc_.detachedArchive.erase(kField);
    EntryModel* entry = entryOf(calc_);
    if (std::exchange(homeLineShown_, false) && entry)
        entry->takeLineQuietly();
    if (!held_)
        return;
    if (entry)
        entry->putLineBackQuietly(std::move(held_->first), held_->second);
    held_.reset();
}

void FieldLineKeeper::resume()
{
    // An initial value typed on its Y= row when the state was saved is what the row shows
    // and so what is used; one that fails waits on its row for the editor to be left.
    if (YEqModel* equations = YEqModel::of(calc_))
        equations->enterTypedInitialValues(false);
    auto kept = calc_.detachedArchive.find(kField);
    if (kept == calc_.detachedArchive.end())
        return;
    const nlohmann::json field = std::move(*kept);
    calc_.detachedArchive.erase(kept);
    EntryModel* entry = entryOf(calc_);
    if (!field.is_object() || !entry)
        return;
    const auto at = [&](const char* key) { return field.contains(key) ? &field[key] : nullptr; };
    const int screen = at("scrn") ? static_cast<int>(ArchiveValues::integer(*at("scrn"), 0, 255).value_or(-1)) : -1;
    const auto ops = at("ops") ? ArchiveValues::ops(*at("ops")) : std::nullopt;
    const auto cursor = at("at") ? ArchiveValues::integer(*at("at"), 0, std::numeric_limits<int>::max()) : std::nullopt;
    // Only a field screen finds its field again.
    if (!Calculator::fieldScreen(screen) || !ops || ops->empty() || !at("place") || !at("place")->is_object())
        return;
    const nlohmann::json& place = *at("place");
    // A matrix's number, a figure's or procedure's token.
    const auto number = ScreenController::placeNumber(place, "n", 0, std::numeric_limits<int>::max());
    root_.open(screen, number.value_or(0));
    ScreenController* controller = root_.controllerOf(screen);
    if (controller)
        controller->restoreTypedPlace(place);
    entry->restoreLine(*ops);
    entry->cursorSetIndex(static_cast<int>(cursor.value_or(static_cast<std::int64_t>(ops->size()))));
    // Drawn as typed: the line stands in for the field's value.
    if (controller)
        controller->updateDisplay();
}

} // namespace orvenda
