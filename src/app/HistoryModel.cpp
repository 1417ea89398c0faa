#include "app/HistoryModel.h"

#include "core/ArchiveValues.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "core/Operand.h"
#include "pretty/TemplateIds.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvenda {

HistoryModel::HistoryModel(Calculator& calc)
    : calc_(calc)
{
}

void HistoryModel::addEntry(const Ops& ops, const std::string& text, int type, Operand& record, std::string plain)
{
    if (record.kind == KindWidgetAdded)
        return;
    ++added_;
    if (count() == kMaxItems) {
        // The oldest item's object is reused for the new one.
        std::rotate(history_.begin(), history_.begin() + 1, history_.end());
        history_.back().reset();
    } else {
        history_.emplace_back(calc_);
    }
    HistoryEntry& item = history_.back();
    item.entry = ops;
    item.result = text == "INF" ? "Overflow" : text;
    if (plain != item.result)
        item.plainResult = std::move(plain);
    item.operandType = record.kind;
    item.angleFormat = calc_.angleFormat();
    if (text == "INF" || text == "NAN") {
        item.resultType = HistoryEntry::kUndefined;
        record.kind = KindError;
    } else {
        item.resultType = type;
    }
    // A program's screen is text, whatever value the program ended with.
    item.resultIsNum = record.kind >= KindReal && record.kind <= KindMatrix && item.resultType != HistoryEntry::kProgramScreen;
    item.computeLines();
    sumTotals();
}

void HistoryModel::recomputeDepth()
{
    for (HistoryEntry& item : history_)
        item.computeLines();
    sumTotals();
}

bool HistoryModel::hasUnmeasuredItem() const
{
    return std::any_of(history_.begin(), history_.end(),
                       [](const HistoryEntry& item) { return item.inputHeight() <= 0 && item.answerHeight() <= 0; });
}

void HistoryModel::sumTotals()
{
    numLines_ = 0;
    prettySize_ = {};
    for (const HistoryEntry& item : history_) {
        numLines_ += item.numLines;
        prettySize_.height += item.inputHeight() + item.answerHeight();
        prettySize_.width = std::max({prettySize_.width, item.prettySize.width, item.pAnswerSize.width});
    }
}

int HistoryModel::numLinesInLastEntry() const { return history_.empty() ? 0 : history_.back().numLines; }

std::optional<HistoryModel::Ops> HistoryModel::lastEntry() const
{
    return history_.empty() ? std::nullopt : std::optional<Ops>(history_.back().entry);
}

std::string HistoryModel::lastResult() const { return history_.empty() ? std::string() : history_.back().result; }

HistoryModel::Size HistoryModel::prettySizeOfLastEntry() const
{
    if (history_.empty())
        return {};
    const HistoryEntry& item = history_.back();
    return {std::max(item.prettySize.width, item.pAnswerSize.width), item.inputHeight() + item.answerHeight()};
}

void HistoryModel::clearAll()
{
    history_.clear();
    numLines_ = 0;
    prettySize_ = {};
    selectedEntry_ = -1;
}

void HistoryModel::cursorUp()
{
    if (history_.empty())
        return;
    if (!hasSelection()) {
        selectedEntry_ = count() - 1;
        selectedKind_ = kAnswer;
    } else if (selectedKind_ == kAnswer) {
        selectedKind_ = kInput;
    } else if (selectedEntry_ > 0) {
        --selectedEntry_;
        selectedKind_ = kAnswer;
    }
    posted();
}

void HistoryModel::cursorDown()
{
    if (history_.empty())
        return;
    if (!hasSelection()) {
        selectedEntry_ = -1;
        selectedKind_ = kAnswer;
    } else if (selectedKind_ == kInput) {
        selectedKind_ = kAnswer;
    } else if (selectedEntry_ + 1 < count()) {
        ++selectedEntry_;
        selectedKind_ = kInput;
    } else {
        selectedEntry_ = -1;
        selectedKind_ = kAnswer;
    }
    posted();
}

std::optional<HistoryModel::Ops> HistoryModel::selectedOps() const
{
    if (!hasSelection())
        return std::nullopt;
    const HistoryEntry& item = history_[static_cast<std::size_t>(selectedEntry_)];
    return selectedKind_ == kInput ? std::optional<Ops>(item.entry) : item.resultOps();
}

void HistoryModel::deleteEntry()
{
    if (hasSelection()) {
        history_.erase(history_.begin() + selectedEntry_);
        sumTotals();
        if (history_.empty())
            selectedEntry_ = -1;
        else
            selectedEntry_ = std::min(selectedEntry_, count() - 1);
    }
    posted();
}

void HistoryModel::setSelectedEntry(int index) { selectedEntry_ = index >= 0 && index < count() ? index : -1; }

std::uint32_t HistoryModel::nextTemplateID(const Ops& ops) { return TemplateIds::next(ops); }

void HistoryModel::renumberOpsForMergeWith(Ops& ops, const Ops& target)
{
    if (std::none_of(target.begin(), target.end(), [](std::uint32_t op) { return (op >> 16) != 0; }))
        return;
    TemplateIds taken(target);
    // The new ID by old ID (0: kept), looked up at once however many templates come.
    std::vector<std::uint32_t> renamed(TemplateIds::kNone, 0);
    auto newId = [&](std::uint32_t id) { return id < TemplateIds::kNone ? renamed[id] : 0; };
    for (std::uint32_t op : ops) {
        const std::uint32_t id = op >> 16;
        if (!taken.used(id) || newId(id) != 0)
            continue;
        const std::uint32_t fresh = taken.take();
        if (fresh == TemplateIds::kNone)
            break;
        renamed[id] = fresh;
    }
    for (std::uint32_t& op : ops)
        if (const std::uint32_t fresh = newId(op >> 16))
            op = (fresh << 16) | (op & 0xFFFF);
}

void HistoryModel::posted()
{
    calc_.notificationCenter().post(VQHistorySelectionChanged, this);
}

nlohmann::json HistoryModel::encode() const
{
    nlohmann::json items = nlohmann::json::array();
    for (const HistoryEntry& item : history_)
        items.push_back(item.encode());
    return {
        {"nl", numLines_},
        {"hi", std::move(items)},
        {"pw", prettySize_.width},
        {"ph", prettySize_.height},
        {"se", selectedEntry_},
        {"sk", selectedKind_},
    };
}

void HistoryModel::decode(const nlohmann::json& archive)
{
    history_.clear();
    selectedEntry_ = -1;
    selectedKind_ = kAnswer;
    if (!archive.is_object()) {
        sumTotals();
        return;
    }
    if (auto it = archive.find("hi"); it != archive.end() && it->is_array()) {
        // The newest items when there are too many.
        const std::size_t skip = it->size() > kMaxItems ? it->size() - kMaxItems : 0;
        for (std::size_t k = skip; k < it->size(); ++k)
            if ((*it)[k].is_object())
                history_.push_back(HistoryEntry::decode(calc_, (*it)[k]));
    }
    if (auto it = archive.find("se"); it != archive.end())
        if (auto x = ArchiveValues::integer(*it, -1, count() - 1))
            selectedEntry_ = static_cast<int>(*x);
    if (auto it = archive.find("sk"); it != archive.end())
        if (auto x = ArchiveValues::integer(*it, kInput, kAnswer))
            selectedKind_ = static_cast<int>(*x);
    sumTotals();
    // Items archived without their MathPrint sizes are measured again.
    if (numLines_ >= 1 && prettySize_.height == 0)
        recomputeDepth();
}

} // namespace orvenda
