// The program editor's keys: tokens, names, DEL, CLEAR, ENTER and the typing helpers.

#include "programs/ProgramModel.h"

#include "app/EntryModel.h"
#include "core/Calculator.h"
#include "core/NotificationNames.h"
#include "eval/ProgramTokens.h"
#include "language/ErrorNumbers.h"
#include "language/Utf8.h"

#include <algorithm>

namespace orvenda {

namespace {

using namespace ProgramTokens;

constexpr std::uint32_t kTheta = 0x5B;
constexpr std::uint32_t kFirstList = 0x5D00;
constexpr std::uint32_t kLastList = 0x5D05;

} // namespace

// A program and a line that pastes into it hold as much.
static_assert(static_cast<std::size_t>(VQProgram::kMaxOps) == EntryManager::kMaxOps);

void ProgramModel::refuseTooLong() { calc_.showError({{"errorNum", int{ErrProgramSize}}}); }

bool ProgramModel::fits(std::size_t finalLength)
{
    if (finalLength <= static_cast<std::size_t>(VQProgram::kMaxOps))
        return true;
    refuseTooLong();
    return false;
}

void ProgramModel::put(std::uint32_t op, bool inserting)
{
    if (inserting)
        program_.insertOpcode(op, cursor_);
    else if (cursor_ < length())
        program_.setOpcode(op, cursor_);
    else
        program_.appendOpcode(op);
    ++cursor_;
}

void ProgramModel::replaceRecall(const Ops& recalled)
{
    program_.deleteOpcodeAt(--cursor_);
    program_.insertOpcodes(recalled, cursor_);
    cursor_ += static_cast<int>(recalled.size());
}

void ProgramModel::addOpcode(std::uint32_t op, bool insert)
{
    if (!isEditable())
        return;
    if (length() >= VQProgram::kMaxOps) {
        refuseTooLong();
        return;
    }
    const bool recall = processingRCL();
    Ops recalled;
    if (recall) {
        auto lock = calc_.lockState();
        recalled = calc_.valueOpsForVar(op).value_or(Ops());
    }
    // A recalled value replaces the RCL: the program's final length decides.
    if (recall && !fits(static_cast<std::size_t>(length() - 1) + recalled.size()))
        return;
    saveUndo();
    dirty_ = true;
    if (recall) {
        replaceRecall(recalled);
    } else {
        // RCL waits at the cursor for its variable: it never overwrites a token.
        insert = insert || token(op) == kRCL;
        // A line break before the last opcode is never overwritten.
        put(op, insert || (cursor_ < length() - 1 && token(opAt(cursor_)) == kNewLine));
    }
    edited();
}

void ProgramModel::prettyAddOp(std::uint32_t op) { addOpcode(op, calc_.insert != 0); }

void ProgramModel::addVariable(std::string_view name, bool insert)
{
    if (name.empty() || !isEditable())
        return;
    const bool recall = processingRCL();
    std::uint32_t known = 0;
    for (std::uint32_t list = kFirstList; list <= kLastList && known == 0; ++list)
        if (nameOf(list) == name)
            known = list;
    Ops added;
    if (recall) {
        const auto state = calc_.locked();
        if (const auto it = state->lists.find(std::string(name)); it != state->lists.end())
            added = calc_.valueOpsForList(it->second);
    } else if (known != 0) {
        added.push_back(known);
    } else {
        // The list-name prefix, then the name: letters, and digits and θ after the first.
        added.push_back(kListName);
        for (std::size_t i = 0; i < name.size();) {
            const char32_t c = Utf8::next(name, i);
            const bool letter = c >= U'A' && c <= U'Z';
            const bool later = added.size() > 1 && ((c >= U'0' && c <= U'9') || c == U'θ');
            if (letter || later)
                added.push_back(c == U'θ' ? kTheta : static_cast<std::uint32_t>(c));
        }
    }
    if (!fits(static_cast<std::size_t>(length() - (recall ? 1 : 0)) + added.size()))
        return;
    saveUndo();
    dirty_ = true;
    if (recall)
        replaceRecall(added);
    // Each token its own undo step, as typed.
    for (std::size_t k = 0; !recall && k < added.size(); ++k)
        addOpcode(added[k], k == 0 ? insert : true);
    edited();
}

void ProgramModel::addProgramName(std::string_view name, bool insert)
{
    if (!isEditable() || name == programName_)
        return;
    const bool recall = processingRCL();
    Ops added;
    if (recall) {
        added = files_->opsForProgramNamed(std::string(name)).value_or(Ops());
    } else {
        added.push_back(kProgram);
        const Ops letters = ProgramFiles::nameOps(name);
        added.insert(added.end(), letters.begin(), letters.end());
    }
    // Overwriting keeps the length up to the end of the program.
    const int overwritten = recall ? 1 : (insert ? 0 : std::max(0, std::min(static_cast<int>(added.size()), length() - cursor_)));
    if (!fits(static_cast<std::size_t>(length() - overwritten) + added.size()))
        return;
    saveUndo();
    dirty_ = true;
    const bool inserting = insert || (cursor_ < length() - 1 && token(opAt(cursor_)) == kNewLine);
    if (recall)
        replaceRecall(added);
    for (std::size_t k = 0; !recall && k < added.size(); ++k)
        put(added[k], inserting);
    edited();
}

void ProgramModel::deleteOpcode()
{
    if (processingRCL())
        --cursor_;
    if (!isEditable())
        return;
    if (selection_.length <= 0) {
        if (length() == 0 || cursor_ >= length())
            return;
        selection_ = {cursor_, 1};
    }
    saveUndo();
    delOps();
    edited();
}

void ProgramModel::clear()
{
    if (!isEditable())
        return;
    if (selection_.length <= 0) {
        const int c = cursor_;
        if (length() == 0)
            return;
        const bool onLineEnd = c >= length() || token(opAt(c)) == kNewLine;
        if (onLineEnd && (c == 0 || token(opAt(c - 1)) == kNewLine))
            return;
        int start = std::min(c, length());
        while (start > 0 && token(opAt(start - 1)) != kNewLine)
            --start;
        int end = c;
        while (end < length() && token(opAt(end)) != kNewLine)
            ++end;
        selection_ = {start, end - start};
    }
    saveUndo();
    delOps();
    edited();
}

void ProgramModel::enter()
{
    if (debug())
        debugEnter();
    else
        addOpcode(kNewLine, calc_.insert != 0);
}

bool ProgramModel::isQuoting() const
{
    int quotes = 0;
    for (int k = std::min(cursor_, length()) - 1; k >= 0; --k) {
        const std::uint32_t t = token(opAt(k));
        if (t == kColon || t == kNewLine)
            break;
        quotes += t == kQuote;
    }
    return quotes % 2 == 1;
}

std::uint32_t ProgramModel::transformOp(std::uint32_t op)
{
    if (cursor_ == 0 || isQuoting())
        return op;
    int start = cursor_;
    while (start > 0 && EntryModel::getLowerCase(opAt(start - 1)) != 0)
        --start;
    if (start == cursor_)
        return op;
    std::u32string typed;
    for (int k = start; k < cursor_; ++k)
        typed += EntryModel::getLowerCase(opAt(k));
    const char32_t lower = EntryModel::getLowerCase(op);
    if (lower != 0)
        typed += lower;
    const char32_t terminal = lower != 0 ? 0 : EntryModel::getTerminal(op);
    bool usedTerminal = false;
    const std::uint32_t found = calc_.lookupCatalogName(Utf8::encode(typed), terminal, usedTerminal);
    if (found == 0xFFFFFFFF || found < 1 || !isEditable())
        return op;
    saveUndo();
    dirty_ = true;
    program_.deleteRange(start, cursor_ - start);
    cursor_ = start;
    relayout();
    if (usedTerminal || terminal == 0)
        return found;
    addOpcode(found, true);
    return op;
}

} // namespace orvenda
