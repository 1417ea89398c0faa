#pragma once

#include "app/HistoryEntry.h"
#include "core/services/HistoryManager.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvenda {

class Calculator;
struct Operand;

// The history of calculations above the entry line, oldest first, at most 100 items, with
// its total size in classic text lines and in MathPrint points, and the MathPrint selection
// (an item's input or answer picked with the arrow keys). Main thread only.
//
// The totals always equal the sums over the items, and the selection is either none (-1)
// or an item of the list.
class HistoryModel : public HistoryManager {
public:
    using Ops = std::vector<std::uint32_t>;
    using Size = HistoryEntry::Size;

    static constexpr int kMaxItems = 100;
    // What is selected of the selected item.
    static constexpr int kInput = 0;
    static constexpr int kAnswer = 1;

    explicit HistoryModel(Calculator& calc);
    HistoryModel(const HistoryModel&) = delete;
    HistoryModel& operator=(const HistoryModel&) = delete;

    // Appends a result; the oldest item goes past 100. "INF" reads "Overflow"; "INF" and
    // "NAN" are undefined results (the record's kind becomes 44). A record of kind 54 adds
    // nothing. `plain`, where it differs from the text, is what the answer reads back as
    // (the text without its digits' grouping).
    void addEntry(const Ops& ops, const std::string& text, int type, Operand& record, std::string plain = {});
    // Measures every item again and rebuilds the totals.
    void recomputeDepth();
    // An item was entered while the two-dimensional form was off: it has no size in it.
    bool hasUnmeasuredItem() const;

    int numLinesInLastEntry() const;
    std::optional<Ops> lastEntry() const;
    // "" for an empty history.
    std::string lastResult() const;
    Size prettySizeOfLastEntry() const;
    // How many items were ever added: a screen away while some came counts them by it.
    std::uint64_t added() const { return added_; }

    // Forgets every item and the selection.
    void clearAll() override;
    // Move the selection and post VQHistorySelectionChanged; nothing on an empty history.
    void cursorUp();
    void cursorDown();
    // The selected input, or the selected answer as ops; nothing without a selection.
    std::optional<Ops> selectedOps() const;
    // Removes the selected item; the selection stays on the item that took its place (the
    // new last one when it was the last). Posts VQHistorySelectionChanged.
    void deleteEntry();

    // The smallest template ID >= 1 that ops do not use; 65536 when all are used.
    static std::uint32_t nextTemplateID(const Ops& ops);
    // Gives the templates of ops IDs that target does not use.
    static void renumberOpsForMergeWith(Ops& ops, const Ops& target);

    const std::vector<HistoryEntry>& history() const { return history_; }
    int numLines() const { return numLines_; }
    Size prettySize() const { return prettySize_; }
    int selectedEntry() const { return selectedEntry_; }
    // Values outside the list select nothing.
    void setSelectedEntry(int index);
    int selectedKind() const { return selectedKind_; }
    void setSelectedKind(int kind) { selectedKind_ = kind == kInput ? kInput : kAnswer; }

    nlohmann::json encode() const override;
    // Whatever the archive holds, the model comes out valid: at most 100 items, totals
    // that are the items' sums, a selection inside the list.
    void decode(const nlohmann::json& archive) override;

private:
    bool hasSelection() const { return selectedEntry_ >= 0 && selectedEntry_ < count(); }
    int count() const { return static_cast<int>(history_.size()); }
    // numLines and prettySize as the sums of the items' stored sizes.
    void sumTotals();
    void posted();

    Calculator& calc_;
    std::vector<HistoryEntry> history_;
    std::uint64_t added_ = 0;
    int numLines_ = 0;
    Size prettySize_;
    int selectedEntry_ = -1;
    int selectedKind_ = kAnswer;
};

} // namespace orvenda
