#include "app/EntryModel.h"

#include "app/HistoryModel.h"
#include "core/ArchiveValues.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "core/services/ProgramOutputManager.h"
#include "eval/Parser.h"
#include "language/ErrorNumbers.h"
#include "language/Utf8.h"
#include "numeric/VQStatistics.h"
#include "pretty/InsertMode.h"
#include "pretty/PrettyPrint.h"
#include "pretty/TokenClass.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>

namespace orvenda {

namespace {

using TC = TokenClass;
using Ops = EntryModel::Ops;

constexpr std::uint32_t kAns = 0x72;
constexpr std::uint32_t kProgram = 0x5F;
constexpr std::uint32_t kFirstList = 0x5D00;
constexpr std::uint32_t kLastList = 0x5D05;
constexpr std::uint32_t kRegressionEquation = 0x6201;
constexpr std::uint32_t kStatementEnd = 0x3E;
constexpr std::uint32_t kQuotedLine = 0xBBD1;
constexpr std::uint32_t kNameLetter = 0xBBAA;
constexpr std::uint32_t kTheta = 0x5B;
constexpr std::uint32_t kLowerA = 0xBBB0;
constexpr std::uint32_t kLowerK = 0xBBBA;
constexpr std::uint32_t kLowerL = 0xBBBC;
constexpr std::uint32_t kLowerZ = 0xBBCA;
constexpr int kGraphScreen = 8;
constexpr int kListNameLength = 5;

// Operators that need a left operand: typed on an empty line, Ans goes before them.
constexpr std::array<std::uint32_t, 41> kAutoAnsTokens = {
    0x01, 0x02, 0x03, 0x04, 0x0C, 0x0D, 0x0E, 0x0F, 0x2D, 0x3C, 0x3D, 0x40, 0x6A, 0x6B,
    0x6C, 0x6D, 0x6E, 0x6F, 0x70, 0x71, 0x82, 0x83, 0x94, 0x95, 0xF0, 0xF1, 0x5C40, 0x5C41,
    0x5C42, 0x5C63, 0xBB2F, 0xBB30, 0xBB5D, 0xBBDA, 0xBBEF, 0xBBF6, 0xBBF7, 0xEF30, 0xEF31, 0xEF38, 0xEF39,
};

// Commands a program may hold but the home screen may not run, in the order searched.
constexpr std::array<std::uint32_t, 26> kProgramOnlyTokens = {
    0xCE, 0xCF, 0xD0, 0xD3, 0x101A, 0xD1, 0xD2, 0xD4, 0xD8, 0xD6, 0xD7, 0xDA, 0xDB,
    0xE6, 0xD5, 0xD9, 0x5C35, 0xDC, 0xDD, 0xDE, 0xDF, 0xE5, 0xE0, 0xAD, 0xE1, 0x5C34,
};

// Key codes that open a screen; spelled by a key set, they are dropped rather than typed.
constexpr std::array<std::uint32_t, 22> kScreenKeys = {
    1024, 1025, 1029, 1032, 1044, 1045, 1046, 1047, 1050, 1051, 1053,
    1057, 1059, 1060, 1061, 1062, 1066, 1067, 1068, 1069, 1072, 1079,
};

template <std::size_t N>
bool contains(const std::array<std::uint32_t, N>& set, std::uint32_t t)
{
    return std::find(set.begin(), set.end(), t) != set.end();
}

bool isDigit(std::uint32_t t) { return t >= 0x30 && t <= 0x39; }
bool isLetter(std::uint32_t t) { return t >= 0x41 && t <= kTheta; }
bool isBuiltInList(std::uint32_t t) { return t >= kFirstList && t <= kLastList; }
bool inScreens(int screen, std::initializer_list<int> screens)
{
    return std::find(screens.begin(), screens.end(), screen) != screens.end();
}

// The token of a name character: A-Z and 0-9 as themselves, θ; 0 for others.
std::uint32_t nameCharOp(char32_t c)
{
    if ((c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9'))
        return static_cast<std::uint32_t>(c);
    return c == U'θ' ? kTheta : 0;
}

} // namespace

EntryModel::EntryModel(Calculator& calc)
    : calc_(calc)
    , entries_(1)
{
}

void EntryModel::setEntries(std::vector<Ops> entries)
{
    entries_ = std::move(entries);
    if (entries_.empty())
        entries_.emplace_back();
    entryCursor_ = std::min(entryCursor_, opCount());
}

void EntryModel::setScreenWidth(int width) { screenWidth_ = std::max(width, 0); }

std::string EntryModel::nameOf(std::uint32_t op) const { return calc_.nameForOpcode(op); }

// ---- Text and cursor ----

EntryModel::TextCursor EntryModel::coordinates(int p) const
{
    if (screenWidth_ <= 0)
        return {p, 0};
    const int line = p / screenWidth_;
    return {p - line * screenWidth_, line};
}

void EntryModel::rebuildText(bool countLines)
{
    text_.clear();
    int p = 0;
    int w = 0;
    if (countLines)
        numLines_ = 1;
    const Ops& line = entryOps();
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (static_cast<int>(i) == entryCursor_) {
            expandedCursor_ = p;
            textCursor_ = coordinates(p);
        }
        const std::string name = nameOf(line[i]);
        const int length = static_cast<int>(Utf8::codePointCount(name));
        text_ += name;
        p += length;
        w += length;
        // Without a width the text is one line.
        if (countLines && screenWidth_ > 0 && w >= screenWidth_) {
            ++numLines_;
            w = length;
        }
    }
    if (entryCursor_ >= opCount()) {
        expandedCursor_ = p;
        textCursor_ = coordinates(p);
    }
}

void EntryModel::tellProgramOutput(bool updateText, bool redraw)
{
    ProgramOutputManager* output = calc_.prgmOutputMgr.get();
    if (!output)
        return;
    const ProgramOutputManager::CursorPosition cursor{textCursor_.col, textCursor_.line};
    if (updateText)
        output->updateEntryText(text_, cursor);
    else
        output->setEntryCursor(cursor, redraw);
}

void EntryModel::post(std::string_view name) { calc_.notificationCenter().post(name, this); }

void EntryModel::updateText()
{
    if (textDeferred_ > 0)
        return;
    rebuildText(true);
    tellProgramOutput(true, true);
    post(VQEntryTextChanged);
}

void EntryModel::updateTextCursorRedraw(bool redraw)
{
    if (textDeferred_ > 0)
        return;
    rebuildText(false);
    if (calc_.currentScreen() != kGraphScreen)
        tellProgramOutput(false, redraw);
}

std::string EntryModel::opcodeAtCursor() const
{
    return entryCursor_ >= 0 && entryCursor_ < opCount() ? nameOf(entryOps()[static_cast<std::size_t>(entryCursor_)])
                                                          : std::string();
}

std::uint32_t EntryModel::getOpAt(int i) const
{
    return i >= 0 && i < opCount() ? entryOps()[static_cast<std::size_t>(i)] : kNoOp;
}

std::vector<std::string> EntryModel::entryStrings() const
{
    std::vector<std::string> out;
    out.reserve(entries_.size());
    for (const Ops& entry : entries_)
        out.push_back(calc_.stringFromOps(entry));
    return out;
}

// ---- Cursor moves ----

void EntryModel::cursorLeft()
{
    if (processingRCL())
        return;
    const bool empty = text_.empty();
    if (empty)
        post(VQCursorLeft);
    entryCursor_ = std::max(entryCursor_ - 1, 0);
    updateTextCursorRedraw(true);
    if (!empty)
        post(VQCursorLeft);
}

void EntryModel::cursorRight()
{
    if (processingRCL())
        return;
    const bool empty = text_.empty();
    if (empty)
        post(VQCursorRight);
    entryCursor_ = std::min(entryCursor_ + 1, opCount());
    updateTextCursorRedraw(true);
    if (!empty)
        post(VQCursorRight);
}

void EntryModel::cursorUp()
{
    if (processingRCL())
        return;
    // An empty line has nowhere to go: the screen moves on (and may load another line,
    // which this move must not carry on through).
    if (text_.empty()) {
        post(VQCursorUp);
        return;
    }
    const int oldLine = textCursor_.line;
    textCursor_.line = oldLine - 1;
    if (oldLine > 0) {
        findClosestCol();
        return;
    }
    entryCursor_ = 0;
    expandedCursor_ = 0;
    textCursor_.col = 0;
    post(VQCursorUp);
}

void EntryModel::cursorDown()
{
    if (processingRCL())
        return;
    if (text_.empty()) {
        post(VQCursorDown);
        return;
    }
    ++textCursor_.line;
    const int length = static_cast<int>(Utf8::codePointCount(text_));
    const int lastLine = screenWidth_ > 0 ? length / screenWidth_ : 0;
    if (textCursor_.line <= lastLine) {
        findClosestCol();
        return;
    }
    entryCursor_ = opCount();
    expandedCursor_ = length;
    textCursor_ = coordinates(length);
    post(VQCursorDown);
}

void EntryModel::findClosestCol()
{
    const TextCursor target = textCursor_;
    int best = screenWidth_;
    int chosen = 0;
    temp_.clear();
    int p = 0;
    const Ops& line = entryOps();
    for (std::size_t i = 0; i < line.size(); ++i) {
        const TextCursor at = coordinates(p);
        if (at.line == target.line) {
            const int d = std::abs(at.col - target.col);
            if (d < best) {
                entryCursor_ = static_cast<int>(i);
                expandedCursor_ = p;
                best = d;
                chosen = at.col;
            }
            if (best == 0) {
                textCursor_.col = chosen;
                return;
            }
        } else if (at.line > target.line) {
            break;
        }
        const std::string name = nameOf(line[i]);
        temp_ += name;
        p += static_cast<int>(Utf8::codePointCount(name));
    }
    const int length = static_cast<int>(Utf8::codePointCount(text_));
    const TextCursor end = coordinates(length);
    if (end.line == target.line && end.col <= target.col) {
        entryCursor_ = opCount();
        expandedCursor_ = length;
        chosen = end.col;
    }
    textCursor_.col = chosen;
}

void EntryModel::cursorHome()
{
    if (processingRCL())
        return;
    entryCursor_ = 0;
    updateTextCursorRedraw(true);
    if (text_.empty())
        post(VQCursorHome);
}

void EntryModel::cursorEnd()
{
    if (processingRCL())
        return;
    entryCursor_ = opCount();
    updateTextCursorRedraw(true);
    if (text_.empty())
        post(VQCursorEnd);
}

void EntryModel::cursorEndSilent()
{
    if (processingRCL())
        return;
    entryCursor_ = opCount();
    updateTextCursorRedraw(false);
}

void EntryModel::cursorSetIndex(int i)
{
    if (processingRCL() || i < 0)
        return;
    entryCursor_ = std::min(i, opCount());
    updateTextCursorRedraw(true);
    if (!text_.empty() && textDeferred_ == 0)
        post(VQCursorMoved);
}

void EntryModel::setErrorLocation(int i)
{
    if (processingRCL())
        return;
    if (calc_.locked()->mathPrint && inScreens(calc_.currentScreen(), {0, 1, 20})) {
        loadPrinter();
        i = printer().setErrorLoc(i);
    }
    entryCursor_ = std::clamp(i, 0, opCount());
    updateTextCursorRedraw(true);
}

void EntryModel::prettyCursorLeft()
{
    if (processingRCL())
        return;
    loadPrinter();
    entryCursor_ = std::clamp(printer().cursorLeftAt(entryCursor_), 0, opCount());
    printer().updateBoundsCursorPos(entryCursor_, calc_.insert);
    post(VQCursorLeft);
}

void EntryModel::prettyCursorRight()
{
    if (processingRCL())
        return;
    loadPrinter();
    entryCursor_ = std::clamp(printer().cursorRightAt(entryCursor_), 0, opCount());
    post(VQCursorRight);
}

// ---- Undo ----

EntryModel::Snapshot EntryModel::snapshot() const { return {entryOps(), entryCursor_, calc_.insert}; }

void EntryModel::restore(Snapshot s)
{
    calc_.insert = s.insert;
    ops() = std::move(s.ops);
    entryCursor_ = std::clamp(s.cursor, 0, opCount());
    updateText();
}

void EntryModel::saveUndo()
{
    undo_.push_back(snapshot());
    redo_.clear();
    post(VQRedrawKeyboard);
}

void EntryModel::step(std::vector<Snapshot>& from, std::vector<Snapshot>& to)
{
    if (from.empty())
        return;
    to.push_back(snapshot());
    Snapshot s = std::move(from.back());
    from.pop_back();
    restore(std::move(s));
    post(VQRedrawKeyboard);
}

void EntryModel::undo() { step(undo_, redo_); }
void EntryModel::redo() { step(redo_, undo_); }

void EntryModel::clearUndo()
{
    undo_.clear();
    redo_.clear();
    post(VQRedrawKeyboard);
}

// ---- Entries ----

void EntryModel::startNewEntry()
{
    clearUndo();
    if (static_cast<int>(entries_.size()) >= kMaxEntries)
        entries_.erase(entries_.begin());
    entries_.emplace_back();
    const int count = static_cast<int>(entries_.size());
    prevEntry_ = count - 2;
    prevOps_ = count >= 2 ? std::optional<Ops>(entries_[static_cast<std::size_t>(count - 2)]) : std::nullopt;
    text_.clear();
    numLines_ = 1;
    entryCursor_ = expandedCursor_ = 0;
    textCursor_ = {};
}

void EntryModel::clear()
{
    if (entryOps().empty())
        post(VQClearScreen);
    else
        saveUndo();
    ops().clear();
    entryCursor_ = 0;
    textCursor_.line = 0;
    updateText();
}

void EntryModel::clearAll()
{
    entries_.assign(1, Ops());
    prevEntry_ = -1;
    prevOps_.reset();
    entryCursor_ = 0;
    rebuildText(true);
}

void EntryModel::clearEntries()
{
    clearAll();
    ops().push_back(kClearEntries);
    rebuildText(true);
}

void EntryModel::getPreviousEntry()
{
    const int count = static_cast<int>(entries_.size());
    if (prevEntry_ < 0 || prevEntry_ >= count)
        return;
    saveUndo();
    ops() = entries_[static_cast<std::size_t>(prevEntry_)];
    if (calc_.locked()->mathPrint)
        ops() = PrettyPrint::beautifyOps(entryOps());
    else
        cleanTemplateIds();
    entryCursor_ = opCount();
    updateText();
    prevEntry_ = prevEntry_ == 0 ? count - 2 : prevEntry_ - 1;
}

void EntryModel::recallHistory(int i)
{
    if (i < 0 || i >= static_cast<int>(entries_.size()))
        return;
    prevEntry_ = i;
    getPreviousEntry();
    calc_.updateDisplay();
}

void EntryModel::forceOps(const Ops& ops)
{
    this->ops() = ops;
    entryCursor_ = 0;
    updateText();
}

std::pair<EntryModel::Ops, int> EntryModel::takeLineQuietly()
{
    std::pair<Ops, int> line{std::exchange(ops(), {}), std::exchange(entryCursor_, 0)};
    rebuildText(false);
    return line;
}

void EntryModel::putLineBackQuietly(Ops line, int cursor)
{
    ops() = std::move(line);
    entryCursor_ = std::clamp(cursor, 0, opCount());
    rebuildText(false);
}

void EntryModel::restoreLine(const Ops& ops)
{
    forceOps(ops);
    cursorEnd();
}

void EntryModel::setOps(const Ops& ops)
{
    saveUndo();
    forceOps(ops);
}

void EntryModel::editValue(double v)
{
    clearUndo();
    setOps(calc_.parser().numToOps(v));
}

// ---- Editing ----

HistoryModel* EntryModel::history() const { return dynamic_cast<HistoryModel*>(calc_.historyManager.get()); }

PrettyPrint& EntryModel::printer() const
{
    if (!calc_.prettyPrint)
        calc_.prettyPrint = std::make_shared<PrettyPrint>();
    return *calc_.prettyPrint;
}

void EntryModel::loadPrinter()
{
    printer().setMutableOps(ops(), entryCursor_, calc_.insert, calc_.baseFontSize);
}

bool EntryModel::accepts(std::uint32_t op) const
{
    const std::uint32_t t = op & 0xFFFF;
    switch (filter_) {
    case Digits:
        return isDigit(t);
    case Name:
        return t == kNameLetter || isLetter(t) || isDigit(t) || isBuiltInList(t);
    case ListName:
        if (opCount() >= kListNameLength)
            return false;
        if (isDigit(t))
            return entryCursor_ > 0;
        return t == kNameLetter || isLetter(t) || isBuiltInList(t);
    default:
        return true;
    }
}

void EntryModel::place(std::span<const std::uint32_t> added, bool insert)
{
    Ops& line = ops();
    if (insert || entryCursor_ >= static_cast<int>(line.size())) {
        // All at once: the line's tail moves once, however many ops come.
        const int at = std::clamp(entryCursor_, 0, static_cast<int>(line.size()));
        line.insert(line.begin() + at, added.begin(), added.end());
        entryCursor_ = at + static_cast<int>(added.size());
        return;
    }
    for (std::uint32_t op : added) {
        if (entryCursor_ >= static_cast<int>(line.size()))
            line.push_back(op);
        else
            line[static_cast<std::size_t>(entryCursor_)] = op;
        ++entryCursor_;
    }
}

bool EntryModel::fits(std::size_t more)
{
    if (entryOps().size() + more <= kMaxOps)
        return true;
    calc_.showError(tooLongReport());
    return false;
}

void EntryModel::addOp(std::uint32_t op, bool insert, bool enableUndo)
{
    const std::uint32_t t = op & 0xFFFF;
    // A key at the longest line is refused; past it the line would not run.
    const bool recall = processingRCL();
    if (enableUndo && !recall && (insert || entryCursor_ >= opCount()) && !fits(1))
        return;
    if (HistoryModel* h = history())
        h->setSelectedEntry(-1);
    if (!insert && calc_.locked()->mathPrint && inScreens(calc_.currentScreen(), {0, 1, 20})) {
        // Writing over a template's structure would break it: insert instead.
        if (!PrettyEditor::canOverwriteAt(entryOps(), entryCursor_)) {
            InsertMode::atTemplate(calc_.insert);
            insert = true;
        }
    }
    if (!accepts(op))
        return;
    // The value recalled in place of the RCL; a variable without one (a list that does not
    // exist) recalls nothing.
    const Ops recalled = recall ? calc_.valueOpsForVar(t).value_or(Ops()) : Ops();
    if (recalled.size() > 1 && !fits(recalled.size() - 1))
        return;
    if (enableUndo)
        saveUndo();
    if (t == kRCL)
        insert = true;
    if (t != kAns && entryOps().empty() && contains(kAutoAnsTokens, t) && !calc_.question().asks()) {
        ops().push_back(kAns);
        entryCursor_ = opCount();
    }
    if (recall) {
        ops().erase(ops().begin() + --entryCursor_);
        place(recalled, true);
    } else if (t == kRegressionEquation) {
        place(calc_.regressionEquation(), insert);
    } else {
        place(std::span<const std::uint32_t>(&op, 1), insert);
    }
    if (enableUndo)
        updateText();
}

void EntryModel::addEach(const Ops& added, bool insert)
{
    std::size_t k = 0;
    if (!added.empty())
        addOp(added[k++], insert, false);
    // The others are inserted one after another. A run of ops that no filter, RCL, automatic
    // Ans or regression equation changes goes in as one, so a long paste costs its length.
    while (k < added.size()) {
        std::size_t end = k;
        if (filter_ == AnyOp && !processingRCL() && !entryOps().empty())
            while (end < added.size() && (added[end] & 0xFFFF) != kRCL && (added[end] & 0xFFFF) != kRegressionEquation)
                ++end;
        if (end == k) {
            addOp(added[k++], true, false);
            continue;
        }
        place(std::span<const std::uint32_t>(added).subspan(k, end - k), true);
        k = end;
    }
}

void EntryModel::insertOpcode(std::uint32_t op, int at)
{
    entryCursor_ = std::clamp(at, 0, opCount());
    addOp(op, true, false);
    updateText();
}

void EntryModel::addOps(const Ops& added, bool insert, bool enableUndo)
{
    if (!fits(added.size()))
        return;
    if (enableUndo)
        saveUndo();
    addEach(added, insert);
    if (calc_.locked()->mathPrint) {
        const std::uint32_t at = getOpAt(entryCursor_);
        if (at != kNoOp && TC::templateId(at) != 0)
            InsertMode::atTemplate(calc_.insert);
    }
    updateText();
}

void EntryModel::pasteOps(const Ops& pasted)
{
    // What would make the line longer than a line runs is refused before anything is built.
    if (pasted.empty() || !fits(pasted.size()))
        return;
    Ops ops = PrettyPrint::beautifyOps(pasted);
    if (ops.size() >= 2 && (ops[0] & 0xFFFF) == kAns && calc_.insert == 0) {
        const int type = calc_.ans.type();
        const bool listCall = (type == 2 || type == 3) && ops.size() >= 3 && (ops[1] & 0xFFFF) == TC::kOpenParen;
        if (!listCall)
            ops.erase(ops.begin());
    }
    HistoryModel::renumberOpsForMergeWith(ops, entryOps());
    addOpsAsTyped(ops, calc_.insert != 0);
}

void EntryModel::addOpsAsTyped(const Ops& ops, bool insert)
{
    if (!calc_.locked()->mathPrint || PrettyPrint::strayClosers(ops).empty()) {
        addOps(ops, insert, true);
        return;
    }
    if (!fits(ops.size()))
        return;
    // A ")" or "," closing nothing of the ops' own does at the cursor what its key does. The
    // text is rebuilt, and the screens told, once for the whole paste.
    saveUndo();
    ++textDeferred_;
    PrettyPrint::pasteInTurn(
        ops, [this, insert](const Ops& run, bool first) { addEach(run, first ? insert : true); },
        [this](std::uint32_t op) { enterPretty(op); });
    --textDeferred_;
    addOps({}, true, false);
}

void EntryModel::addVariable(std::string_view name, bool insert)
{
    if (processingRCL()) {
        std::optional<Ops> values;
        {
            const auto state = calc_.locked();
            if (auto it = state->lists.find(std::string(name)); it != state->lists.end())
                values = calc_.valueOpsForList(it->second);
        }
        if (values && values->size() > 1 && !fits(values->size() - 1))
            return;
        saveUndo();
        ops().erase(ops().begin() + --entryCursor_);
        if (values)
            place(*values, true);
        updateText();
        return;
    }
    saveUndo();
    Ops added;
    if (Utf8::codePointCount(name) == 2 && name.starts_with('L')) {
        for (std::uint32_t list = kFirstList; list <= kLastList && added.empty(); ++list)
            if (nameOf(list) == name)
                added.push_back(list);
    }
    if (added.empty()) {
        added.push_back(TC::kListName);
        for (std::size_t i = 0; i < name.size();)
            if (const std::uint32_t op = nameCharOp(Utf8::next(name, i)))
                added.push_back(op);
    }
    addEach(added, insert);
    updateText();
}

void EntryModel::addProgramName(std::string_view name, bool insert)
{
    if (filter_ != AnyOp)
        return;
    saveUndo();
    Ops added{kProgram};
    for (std::size_t i = 0; i < name.size();) {
        const char32_t c = Utf8::next(name, i);
        if (c >= U'a' && c <= U'k')
            added.push_back(kLowerA + (c - U'a'));
        else if (c >= U'l' && c <= U'z')
            added.push_back(kLowerL + (c - U'l'));
        else if (const std::uint32_t op = nameCharOp(c))
            added.push_back(op);
    }
    addEach(added, insert);
    updateText();
}

bool EntryModel::beginDelete()
{
    if (processingRCL())
        --entryCursor_;
    if (!text_.empty())
        return true;
    post(VQDel);
    return false;
}

void EntryModel::deleteOpcode()
{
    if (!beginDelete())
        return;
    if (entryCursor_ < opCount()) {
        saveUndo();
        ops().erase(ops().begin() + entryCursor_);
    }
    updateText();
}

void EntryModel::prettyDeleteOpcode()
{
    if (!beginDelete())
        return;
    if (entryCursor_ < opCount()) {
        loadPrinter();
        int mode = calc_.insert;
        const int cursor = printer().deleteAt(entryCursor_, mode);
        // A DEL that takes nothing (at a part's end) leaves no step for UNDO to spend.
        if (printer().inputOps() != ops())
            saveUndo();
        calc_.insert = mode;
        ops() = printer().inputOps();
        entryCursor_ = std::min(entryCursor_, opCount());
        if (cursor != entryCursor_)
            cursorSetIndex(cursor);
    }
    updateText();
}

void EntryModel::prettyAddOp(std::uint32_t op)
{
    saveUndo();
    enterPretty(op);
}

void EntryModel::enterPretty(std::uint32_t op)
{
    int cursor = entryCursor_;
    int adjust = 0;
    int taken = 0;
    const Ops added = PrettyPrint::enterOp(op, cursor, entryOps(), adjust, calc_.insert, taken);
    // Refused before the ops it takes go.
    if (added.size() > static_cast<std::size_t>(taken) && !fits(added.size() - static_cast<std::size_t>(taken)))
        return;
    if (taken > 0) {
        const auto from = ops().begin() + std::clamp(cursor, 0, opCount());
        ops().erase(from, from + std::min(taken, static_cast<int>(ops().end() - from)));
    }
    if (cursor != entryCursor_ || taken > 0)
        cursorSetIndex(cursor);
    addOps(added, calc_.insert != 0, false);
    if (adjust != 0) {
        // From where the added ops start: the line's automatic Ans may have come first.
        const int start = std::max(entryCursor_ - static_cast<int>(added.size()), 0);
        cursorSetIndex(start + (adjust == PrettyPrint::kNoAdjustment ? 0 : adjust));
        // In the template the cursor overwrites its box; INS's own insert mode stays on.
        InsertMode::endTemplate(calc_.insert);
    }
}

void EntryModel::doInsertOp()
{
    if (text_.empty())
        post(VQIns);
}

char32_t EntryModel::getLowerCase(std::uint32_t op)
{
    const std::uint32_t t = op & 0xFFFF;
    if (t >= kLowerA && t <= kLowerK)
        return U'a' + (t - kLowerA);
    if (t >= kLowerL && t <= kLowerZ)
        return U'l' + (t - kLowerL);
    return 0;
}

char32_t EntryModel::getTerminal(std::uint32_t op)
{
    if (const char32_t letter = getLowerCase(op))
        return letter;
    const std::uint32_t t = op & 0xFFFF;
    if ((t >= 0x41 && t <= 0x5A) || isDigit(t))
        return static_cast<char32_t>(t);
    return t == TC::kOpenParen ? U'(' : kNoLetter;
}

std::uint32_t EntryModel::transformOp(std::uint32_t op)
{
    if (entryCursor_ == 0)
        return op;
    const Ops& line = entryOps();
    int start = entryCursor_;
    while (start > 0 && getLowerCase(line[static_cast<std::size_t>(start - 1)]) != 0)
        --start;
    if (start == entryCursor_ && getLowerCase(op) == 0)
        return op;
    std::u32string typed;
    for (int i = start; i < entryCursor_; ++i)
        typed += getLowerCase(line[static_cast<std::size_t>(i)]);
    typed += getTerminal(op);
    bool usedTerminal = false;
    const std::uint32_t token = calc_.lookupCatalogName(Utf8::encode(typed), 0, usedTerminal);
    if (token == 0xFFFFFFFF || token < 1)
        return op;
    // The lookup answers the entry after the typed name when no name continues it; only a
    // name the letters begin counts ("sin" then "+" is no sinh().
    std::string spelled = nameOf(token);
    Calculator::cleanOpName(spelled);
    const std::u32string name = Utf8::decode(spelled);
    auto upper = [](char32_t c) { return c >= U'a' && c <= U'z' ? c - U'a' + U'A' : c; };
    if (name.size() < typed.size()
        || !std::equal(typed.begin(), typed.end(), name.begin(), [&](char32_t a, char32_t b) { return upper(a) == upper(b); }))
        return op;
    ops().erase(ops().begin() + start, ops().begin() + entryCursor_);
    entryCursor_ = start;
    return token;
}

void EntryModel::convertString(std::string_view s, std::uint32_t op)
{
    const std::u32string spelled = Utf8::decode(s);
    if (spelled.empty())
        return;
    const bool drop = op == kProgram || contains(kScreenKeys, op);
    Ops& line = ops();
    auto spells = [&](std::size_t at) {
        if (at + spelled.size() > line.size())
            return false;
        for (std::size_t k = 0; k < spelled.size(); ++k) {
            const std::u32string name = Utf8::decode(nameOf(line[at + k]));
            if (name.size() != 1 || name[0] != spelled[k])
                return false;
        }
        return true;
    };
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (!spells(i))
            continue;
        const auto run = line.begin() + static_cast<std::ptrdiff_t>(i);
        line.erase(run, run + static_cast<std::ptrdiff_t>(spelled.size()));
        if (!drop)
            line.insert(line.begin() + static_cast<std::ptrdiff_t>(i), op);
        else
            --i;
    }
    entryCursor_ = std::min(entryCursor_, opCount());
}

void EntryModel::cleanTemplateIds()
{
    for (std::uint32_t& op : ops())
        // A conversion's and a constant's high half is their units or index, not an id.
        if (TC::templateId(op) != 0)
            op &= 0xFFFF;
}

bool EntryModel::processingRCL() const
{
    return entryCursor_ >= 1 && entryCursor_ <= opCount()
        && (entryOps()[static_cast<std::size_t>(entryCursor_ - 1)] & 0xFFFF) == kRCL;
}

bool EntryModel::shouldNegate() const
{
    if (entryCursor_ == 0)
        return true;
    if (entryCursor_ > opCount())
        return false;
    const int type = PrettyPrint::opType(entryOps()[static_cast<std::size_t>(entryCursor_ - 1)]);
    return type == 1 || type == 3 || type == 4 || type == 5 || type == 6 || type == 10;
}

int EntryModel::opClass(std::uint32_t op)
{
    const std::uint32_t t = op & 0xFFFF;
    if (isDigit(t) || t == 0xAC || t == 0xBB31 || (t >= 0xEF41 && t <= 0xEF4F))
        return 0;
    if (isLetter(t))
        return 1;
    return t == TC::kCloseParen ? 2 : 3;
}

int EntryModel::preCharType() const
{
    if (entryOps().empty())
        return 1;
    if (entryCursor_ == 0)
        return -1;
    return opClass(getOpAt(entryCursor_ - 1));
}

bool EntryModel::isQuoting() const
{
    const Ops& line = entryOps();
    if (line.empty())
        return false;
    if ((line[0] & 0xFFFF) == kQuotedLine)
        return true;
    int quotes = 0;
    for (int i = std::min(entryCursor_, opCount()) - 1; i >= 0; --i) {
        const std::uint32_t t = line[static_cast<std::size_t>(i)] & 0xFFFF;
        if (t == kStatementEnd)
            break;
        quotes += t == TC::kQuote;
    }
    return quotes % 2 == 1;
}

int EntryModel::hasBasicOps() const
{
    const Ops& line = entryOps();
    for (std::uint32_t token : kProgramOnlyTokens) {
        auto it = std::find_if(line.begin(), line.end(), [token](std::uint32_t op) { return (op & 0xFFFF) == token; });
        if (it != line.end())
            return static_cast<int>(it - line.begin());
    }
    return -1;
}

std::optional<Ops> EntryModel::getListName()
{
    const Ops line = entryOps();
    auto fail = [&](int at) -> std::optional<Ops> {
        setErrorLocation(at);
        return std::nullopt;
    };
    auto take = [&](Ops name) -> std::optional<Ops> {
        ops().clear();
        entryCursor_ = 0;
        updateText();
        return name;
    };
    if (line.empty())
        return fail(0);
    if (line.size() == 1 && isBuiltInList(line[0] & 0xFFFF))
        return take(line);
    std::size_t start = (line[0] & 0xFFFF) == TC::kListName ? 1 : 0;
    if (start == line.size() || !isLetter(line[start] & 0xFFFF))
        return fail(0);
    for (std::size_t i = start + 1; i < line.size(); ++i) {
        const std::uint32_t t = line[i] & 0xFFFF;
        if (!(isLetter(t) || isDigit(t)) || i - start >= kListNameLength)
            return fail(static_cast<int>(i));
    }
    return take(Ops(line.begin() + static_cast<std::ptrdiff_t>(start), line.end()));
}

int EntryModel::parenContextStartForLocation(int loc) const
{
    const Ops& line = entryOps();
    std::vector<int> open;
    int answer = 0;
    std::optional<int> fixed;
    for (int i = 0; i < static_cast<int>(line.size()); ++i) {
        const std::uint32_t t = line[static_cast<std::size_t>(i)] & 0xFFFF;
        if (calc_.hasLeftParen(t) || t == TC::kOpenBracket || t == TC::kOpenBrace) {
            open.push_back(i);
        } else if (t == TC::kCloseBracket || t == TC::kCloseBrace || t == TC::kCloseParen) {
            if (open.empty())
                return answer;
            const std::uint32_t opener = line[static_cast<std::size_t>(open.back())] & 0xFFFF;
            const bool matches = t == TC::kCloseBracket ? opener == TC::kOpenBracket
                : t == TC::kCloseBrace                  ? opener == TC::kOpenBrace
                                                    : opener != TC::kOpenBracket && opener != TC::kOpenBrace;
            if (!matches)
                return answer;
            const int closed = open.back();
            open.pop_back();
            if (i == loc && !fixed)
                return closed;
            if (fixed && closed == *fixed)
                return answer;
        }
        if (i == loc && !fixed && !open.empty()) {
            answer = open.back();
            fixed = answer;
        }
    }
    if (loc == static_cast<int>(line.size()) && !fixed && !open.empty())
        return open.back();
    return answer;
}

// ---- Archive ----

namespace {

nlohmann::json snapshotsArchive(const std::vector<EntryModel::Snapshot>& stack)
{
    nlohmann::json out = nlohmann::json::array();
    for (const EntryModel::Snapshot& s : stack) {
        out.push_back(s.ops);
        out.push_back(s.cursor);
        out.push_back(s.insert);
    }
    return out;
}

} // namespace

nlohmann::json EntryModel::encode() const
{
    nlohmann::json entries = nlohmann::json::array();
    for (const Ops& entry : entries_)
        entries.push_back(entry);
    return {
        {"pEntry", prevEntry_},
        {"eCursor", entryCursor_},
        {"sw", screenWidth_},
        {"en", std::move(entries)},
        {"text", text_},
        {"un", snapshotsArchive(undo_)},
        {"rdo", snapshotsArchive(redo_)},
    };
}

void EntryModel::decode(const nlohmann::json& archive)
{
    auto find = [&](const char* key) -> const nlohmann::json* {
        if (!archive.is_object())
            return nullptr;
        auto it = archive.find(key);
        return it == archive.end() ? nullptr : &*it;
    };
    auto integer = [&](const char* key) -> std::optional<int> {
        const nlohmann::json* value = find(key);
        if (!value)
            return std::nullopt;
        const auto x = ArchiveValues::integer(*value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        return x ? std::optional<int>(static_cast<int>(*x)) : std::nullopt;
    };

    entries_.clear();
    if (const nlohmann::json* en = find("en"); en && en->is_array()) {
        // The newest entries when there are too many.
        const std::size_t skip = en->size() > kMaxEntries ? en->size() - kMaxEntries : 0;
        for (std::size_t k = skip; k < en->size(); ++k)
            if (auto entry = ArchiveValues::ops((*en)[k]))
                entries_.push_back(std::move(*entry));
    }
    if (entries_.empty())
        entries_.emplace_back();
    const int count = static_cast<int>(entries_.size());
    prevEntry_ = std::clamp(integer("pEntry").value_or(-1), -1, count - 2);
    entryCursor_ = std::clamp(integer("eCursor").value_or(0), 0, opCount());
    if (auto width = integer("sw"); width && *width >= 0)
        screenWidth_ = *width;
    if (const nlohmann::json* text = find("text"); text && text->is_string())
        text_ = text->get<std::string>();
    undo_.clear();
    redo_.clear();
    prevOps_ = prevEntry_ >= 0 ? std::optional<Ops>(entries_[static_cast<std::size_t>(prevEntry_)]) : std::nullopt;
    temp_.clear();
    filter_ = AnyOp;
    prettyPrint_ = false;
    numLines_ = 1;
    rebuildText(true);
    updateTextCursorRedraw(true);
}

} // namespace orvenda
