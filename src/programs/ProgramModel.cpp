#include "programs/ProgramModel.h"

#include "core/Calculator.h"
#include "core/services/EntryManager.h"
#include "eval/Parser.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "eval/ProgramTokens.h"
#include "language/ErrorNumbers.h"
#include "language/Utf8.h"

#include <algorithm>
#include <cstdlib>

namespace orvenda {

using namespace ProgramTokens;

ProgramModel::ProgramModel(Calculator& calc, std::shared_ptr<const ProgramFiles> files)
    : calc_(calc), files_(std::move(files))
{
}

ProgramModel::~ProgramModel() = default;

// ---- The stored programs ----

ProgramModel::Added ProgramModel::addFileNamed(const std::string& name, const std::string& desc,
    const std::string& notes, const std::string& tags)
{
    return files_->createProgram(name, desc, notes, tags);
}

bool ProgramModel::deleteProgramNamed(const std::string& name) { return files_->deleteProgram(name); }

ProgramModel::LibraryEntry ProgramModel::libraryEntry(const std::string& name) const
{
    auto dict = files_->dictFor(name);
    if (!dict) {
        // A file larger than any program's, placed by hand: told once, and listed without
        // its description.
        if (!refusedTold_.contains(name) && files_->refused(name)) {
            refusedTold_.insert(name);
            tellRefused(name);
        }
        return {};
    }
    return {std::move(dict->tags), dict->desc.value_or(""), dict->flags.value_or(0)};
}

void ProgramModel::tellRefused(const std::string& name) const
{
    if (tell)
        tell("The program file \"" + files_->folder().toStdString() + "/" + name
            + "\" was not read: no program the calculator writes is that large.");
}

bool ProgramModel::storeProgram(const std::string& name, std::span<const std::uint32_t> ops)
{
    saveProgram();
    return reloadIfOpen(name, files_->storeOps(name, ops));
}

bool ProgramModel::importProgram(const std::string& name, const ProgramFiles::Dict& dict)
{
    // Lines typed into the open program since it was opened would be replaced: they are
    // kept as a program of their own first, and the user is told where.
    std::string kept;
    if (name == programName_ && program_.array() != opened_ && dict.prgm != std::optional<Ops>(program_.array())
        && !tooLarge_) {
        kept = freeNameLike(name);
        ProgramFiles::Dict typed{program_.array(), tags_, description_, notes_, flags_};
        if (kept.empty() || !files_->write(kept, typed)) {
            if (tell)
                tell("The program \"" + name + "\" has lines typed that could not be kept: it was not replaced.");
            return false;
        }
    }
    saveProgram();
    const bool written = reloadIfOpen(name, files_->write(name, dict));
    if (!kept.empty() && tell)
        tell("The lines typed in \"" + name + "\" were kept as the program \"" + kept + "\": the import replaced \""
            + name + "\".");
    return written;
}

std::string ProgramModel::freeNameLike(const std::string& name) const
{
    // The name's first characters and a number, within the 8 a name may have.
    std::vector<std::string> characters;
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t start = i;
        Utf8::next(name, i);
        characters.emplace_back(name.substr(start, i - start));
    }
    for (int number = 1; number < 1000; ++number) {
        const std::string digits = std::to_string(number);
        std::string candidate;
        for (std::size_t c = 0; c < characters.size() && c + digits.size() < ProgramFiles::kMaxNameLength; ++c)
            candidate += characters[c];
        candidate += digits;
        if (ProgramFiles::isProgramName(candidate) && !files_->exists(candidate))
            return candidate;
    }
    return {};
}

bool ProgramModel::reloadIfOpen(const std::string& name, bool written)
{
    if (written && name == programName_)
        loadProgram(name);
    return written;
}

// ---- The open program ----

bool ProgramModel::loadProgram(const std::string& name)
{
    if (!name.empty() && dirty_)
        saveProgram();
    tags_.clear();
    notes_.clear();
    description_.clear();
    flags_ = 0;
    created_.reset();
    program_.clear();
    dirty_ = false;
    tooLarge_ = false;
    bool refused = false;
    if (auto dict = files_->dictFor(name)) {
        tags_ = dict->tags.value_or(std::vector<std::string>{});
        notes_ = dict->notes.value_or("");
        description_ = dict->desc.value_or("");
        flags_ = dict->flags.value_or(0);
        created_ = dict->created ? dict->created : files_->createdFor(name);
        // More than a program may hold: opened empty and read-only, the file untouched.
        tooLarge_ = dict->prgm && dict->prgm->size() > ProgramFiles::kMaxOps;
        if (dict->prgm && !tooLarge_)
            program_ = VQProgram::programWithOps(*dict->prgm);
    } else if (auto old = files_->opsForProgramNamed(name); old && old->size() > ProgramFiles::kMaxOps) {
        tooLarge_ = true;
    } else if (old) {
        // A file of an older version: opened as its program and written in today's form,
        // so the first save cannot replace it with an empty one.
        program_ = VQProgram::programWithOps(*old);
        dirty_ = true;
    } else if (files_->refused(name)) {
        // Never parsed: opened empty and read-only like a program too long, the file untouched.
        tooLarge_ = refused = true;
    }
    programName_ = name;
    opened_ = program_.array();
    relayout();
    cursor_ = 0;
    textCursorCol_ = 1;
    selection_ = {};
    undoClear();
    if (dirty_)
        saveProgram();
    // Told by the editor's manager only: the pages that read a program on their own stay quiet.
    if (tooLarge_ && calc_.prgmManager.get() == static_cast<ProgramManager*>(this)) {
        if (refused)
            tellRefused(name);
        else
            refuseTooLong();
    }
    return true;
}

void ProgramModel::saveProgram()
{
    if (programName_.empty() || !dirty_ || !ProgramFiles::isProgramName(programName_))
        return;
    ProgramFiles::Dict dict;
    dict.prgm = program_.array();
    dict.tags = tags_;
    dict.desc = description_;
    dict.notes = notes_;
    dict.flags = flags_;
    dict.created = created_;
    bool diskFull = false;
    if (files_->write(programName_, dict, &diskFull)) {
        dirty_ = false;
        saveFailureTold_ = false;
        return;
    }
    if (!saveFailureTold_ && tell)
        tell("The program \"" + programName_ + (diskFull ? "\" could not be saved: the disk is full." : "\" could not be saved."));
    saveFailureTold_ = true;
}

bool ProgramModel::isEditable() const
{
    return Utf8::codePointCount(programName_) <= static_cast<std::size_t>(ProgramFiles::kMaxNameLength) && flags_ == 0
        && !tooLarge_;
}

// ---- Layout ----

std::string ProgramModel::nameOf(std::uint32_t op) const { return calc_.nameForOpcode(op); }

int ProgramModel::nameLength(std::uint32_t op) const
{
    const auto found = nameLengths_.find(op);
    if (found != nameLengths_.end())
        return found->second;
    const int length = static_cast<int>(Utf8::codePointCount(nameOf(op)));
    nameLengths_.emplace(op, length);
    return length;
}

void ProgramModel::updateLines(int width)
{
    layout_.update(program_.array(), width, [this](std::uint32_t op) { return nameLength(op); });
}

int ProgramModel::numOpsForLine(int n) const
{
    return layout_.validLine(n) ? layout_.lineEnd(n, length()) - layout_.firstOpOnLine(n) : 0;
}

int ProgramModel::firstOpOnLine(int n) const { return layout_.validLine(n) ? layout_.firstOpOnLine(n) : length(); }

int ProgramModel::lineForIndex(int index) const
{
    if (debug() && index == length())
        return numLines();
    return layout_.lineForIndex(index);
}

int ProgramModel::columnForIndex(int index) const
{
    const int line = layout_.lineForIndex(index);
    int column = layout_.indentForLine(line);
    for (int k = layout_.firstOpOnLine(line); k < index && k < length(); ++k)
        column += nameLength(opAt(k));
    return column;
}

std::optional<std::string> ProgramModel::screenLine(int n) const
{
    if (debug() && n == numLines())
        return std::string();
    auto text = pdfLine(n);
    if (!text)
        return std::nullopt;
    return std::string(static_cast<std::size_t>(indentForLine(n)), ' ') + (layout_.isContinuation(n) ? " " : ":") + *text;
}

std::optional<ProgramModel::Ops> ProgramModel::opsForLine(int n) const
{
    if (!layout_.validLine(n))
        return std::nullopt;
    const int first = layout_.firstOpOnLine(n);
    return first >= length() ? Ops() : program_.cpyRange(first, numOpsForLine(n));
}

std::optional<std::string> ProgramModel::pdfLine(int n) const
{
    if (!layout_.validLine(n))
        return std::nullopt;
    std::string text;
    for (int k = layout_.firstOpOnLine(n), end = layout_.lineEnd(n, length()); k < end; ++k)
        if (token(opAt(k)) != kNewLine)
            text += nameOf(opAt(k));
    return text;
}

std::optional<ProgramModel::StatementLine> ProgramModel::statementForLine(int n) const
{
    // The debugger's line after the last holds the cursor at the end of the program.
    if (debug() && n == numLines() && cursor_ == length())
        return StatementLine{{}, n, 0, {}};
    if (!layout_.validLine(n))
        return std::nullopt;
    StatementLine statement;
    statement.line = layout_.statementLine(n);
    int last = statement.line + 1;
    while (last < numLines() && layout_.isContinuation(last))
        ++last;
    const int first = layout_.firstOpOnLine(statement.line);
    const int end = last < numLines() ? layout_.firstOpOnLine(last) : length();
    statement.ops.assign(program_.array().begin() + first, program_.array().begin() + end);
    if (cursor_ >= first && cursor_ < end)
        statement.position = cursor_ - first;
    else if (end == length() && cursor_ == length() && !debug())
        statement.position = static_cast<int>(statement.ops.size());
    if (statement.position >= 0 && !debug()) {
        const auto parens = calc_.parenContextInOps(statement.ops, statement.position);
        statement.parens = {static_cast<int>(parens.location), static_cast<int>(parens.length)};
    }
    return statement;
}

// ---- Cursor ----

void ProgramModel::post(std::string_view notification) { calc_.notificationCenter().post(notification, this); }

void ProgramModel::edited()
{
    relayout();
    post(VQMakeCursorVisible);
}

bool ProgramModel::processingRCL() const { return cursor_ >= 1 && token(opAt(cursor_ - 1)) == kRCL; }

int ProgramModel::opNearLine(int line, int column) const
{
    if (line >= numLines())
        return length();
    line = std::max(line, 0);
    if (debug())
        line = layout_.statementLine(line);
    int s = layout_.firstOpOnLine(line);
    if (token(opAt(s)) == kBreakpoint && s < length())
        ++s;
    const int e = layout_.lineEnd(line, length());
    const bool lastLine = line == numLines() - 1;
    if (s >= e)
        return indentForLine(line) > column || !lastLine ? s : length();
    int x = indentForLine(line);
    int best = -1;
    int bestDistance = 0;
    for (int k = s; k < e; ++k) {
        // While debugging only the starts of statements can be chosen.
        const bool candidate = !debug() || k == s || token(opAt(k - 1)) == 0x3E;
        if (candidate && (best < 0 || std::abs(x - column) < bestDistance)) {
            best = k;
            bestDistance = std::abs(x - column);
        }
        if (token(opAt(k)) != kBreakpoint)
            x += nameLength(opAt(k));
    }
    if (best < 0)
        best = s;
    return x > column || !lastLine ? best : length();
}

void ProgramModel::setLine(int line, int column)
{
    if (processingRCL())
        return;
    cursor_ = opNearLine(line, column);
    post(VQMakeCursorVisible);
}

void ProgramModel::showTokenNumber(int index)
{
    setPrgmEditCursor(index);
    post(VQMakeCursorVisible);
}

void ProgramModel::setPrgmEditCursor(int index) { cursor_ = std::clamp(index, 0, length()); }

void ProgramModel::opNum(int index, int& line, int& column) const
{
    line = lineForIndex(index);
    column = columnForIndex(index);
}

bool ProgramModel::beginCursorKey(void (LineEditor::*entryKey)())
{
    selection_.length = 0;
    if (processingRCL())
        return false;
    if (entryKey && debug() && calc_.question().asks()) {
        if (auto* entry = dynamic_cast<LineEditor*>(calc_.entryManager.get()))
            (entry->*entryKey)();
        return false;
    }
    return true;
}

void ProgramModel::cursorUp()
{
    if (!beginCursorKey(&LineEditor::cursorUp))
        return;
    const int line = textLine();
    cursor_ = line >= 1 ? opNearLine(line - 1, textCursorCol_) : 0;
    post(VQMakeCursorVisible);
}

void ProgramModel::cursorDown()
{
    if (!beginCursorKey(&LineEditor::cursorDown))
        return;
    const int line = textLine();
    cursor_ = line < numLines() ? opNearLine(line + 1, textCursorCol_) : length();
    post(VQMakeCursorVisible);
}

void ProgramModel::cursorLeft()
{
    if (!beginCursorKey(&LineEditor::cursorLeft))
        return;
    int at = cursor_ - 1;
    while (at > 0 && token(opAt(at)) == kBreakpoint)
        --at;
    if (at >= 0 && token(opAt(at)) != kBreakpoint)
        cursor_ = at;
    textCursorCol_ = columnForIndex(cursor_);
    post(VQMakeCursorVisible);
}

void ProgramModel::cursorRight()
{
    if (!beginCursorKey(&LineEditor::cursorRight))
        return;
    int at = std::min(cursor_ + 1, length());
    while (at < length() && token(opAt(at)) == kBreakpoint)
        ++at;
    cursor_ = at;
    textCursorCol_ = columnForIndex(cursor_);
    post(VQMakeCursorVisible);
}

void ProgramModel::cursorHome()
{
    if (!beginCursorKey(nullptr))
        return;
    const auto lineStart = [this](int line) {
        const int s = layout_.firstOpOnLine(line);
        return token(opAt(s)) == kBreakpoint && s < length() ? s + 1 : s;
    };
    const int line = layout_.lineForIndex(cursor_);
    const int start = lineStart(line);
    cursor_ = cursor_ == start && line > 0 ? lineStart(line - 1) : start;
    textCursorCol_ = columnForIndex(cursor_);
    post(VQMakeCursorVisible);
}

void ProgramModel::cursorEnd()
{
    if (!beginCursorKey(nullptr))
        return;
    int line = layout_.lineForIndex(cursor_);
    if (token(opAt(cursor_)) == kNewLine && cursor_ < length())
        ++line;
    cursor_ = line + 1 < numLines() ? layout_.firstOpOnLine(line + 1) - 1 : length();
    textCursorCol_ = columnForIndex(cursor_);
    post(VQMakeCursorVisible);
}

void ProgramModel::cursorTop()
{
    if (!beginCursorKey(nullptr))
        return;
    cursor_ = 0;
    textCursorCol_ = 0;
    post(VQMakeCursorVisible);
}

void ProgramModel::cursorBottom()
{
    if (!beginCursorKey(nullptr))
        return;
    cursor_ = length();
    textCursorCol_ = columnForIndex(cursor_);
    post(VQMakeCursorVisible);
}

// ---- Selection and clipboard ----

int ProgramModel::beginSelectLine(int line, int column)
{
    const int p = opNearLine(line, column);
    if (selection_.length > 0) {
        trackingDirection_ = p > selection_.location + selection_.length / 2 ? 2 : 1;
    } else {
        selection_.location = p;
        selectionAnchor_ = p;
        trackingDirection_ = 0;
    }
    return trackingDirection_;
}

void ProgramModel::extendSelectLine(int line, int column, int direction)
{
    const int p = opNearLine(line, column);
    const int end = selection_.location + selection_.length;
    if (direction == 1) {
        if (p < end)
            selection_ = {p, end - p};
    } else if (direction == 2) {
        if (p > selection_.location)
            selection_.length = p - selection_.location + 1;
    } else if (p > selectionAnchor_) {
        selection_ = {selectionAnchor_, p - selectionAnchor_ + 1};
    } else if (p < selectionAnchor_) {
        selection_ = {p, selectionAnchor_ - p};
    }
    selection_.length = std::max(0, std::min(selection_.length, length() - selection_.location));
}

void ProgramModel::selectAll()
{
    selection_ = {0, length()};
    cursor_ = length();
}

void ProgramModel::selectStartLine(int& line, int& column) const { opNum(selection_.location, line, column); }

void ProgramModel::selectEndLine(int& line, int& column) const
{
    opNum(selection_.location + selection_.length, line, column);
}

ProgramModel::Ops ProgramModel::getSelectAt(int& index, int& lineStart) const
{
    const bool startMoves = trackingDirection_ == 1 || selection_.location < selectionAnchor_;
    index = startMoves ? selection_.location : std::max(selection_.location, selection_.location + selection_.length - 1);
    const int line = layout_.lineForIndex(index);
    lineStart = layout_.firstOpOnLine(line);
    return opsForLine(line).value_or(Ops());
}

void ProgramModel::copyOps()
{
    if (selection_.length <= 0)
        return;
    if (auto copied = program_.cpyRange(selection_.location, selection_.length))
        calc_.prgmPasteBuffer = std::move(*copied);
}

void ProgramModel::delOps()
{
    if (!isEditable() || selection_.length <= 0 || selection_.location < 0 || selection_.location >= length())
        return;
    const int count = std::min(selection_.length, length() - selection_.location);
    program_.deleteRange(selection_.location, count);
    dirty_ = true;
    if (cursor_ > selection_.location)
        cursor_ = std::max({selection_.location, cursor_ - count, 0});
    selection_.length = 0;
}

void ProgramModel::deleteOps()
{
    if (!isEditable() || selection_.length <= 0 || selection_.location >= length())
        return;
    saveUndo();
    delOps();
    edited();
}

void ProgramModel::cutOps()
{
    if (!isEditable() || selection_.length <= 0 || selection_.location >= length())
        return;
    saveUndo();
    copyOps();
    delOps();
    edited();
}

void ProgramModel::pasteOps() { pasteOps(calc_.prgmPasteBuffer); }

void ProgramModel::pasteOps(const Ops& buffer)
{
    if (buffer.empty() || !isEditable())
        return;
    const int replaced = selection_.length > 0 ? std::min(selection_.length, length() - selection_.location) : 0;
    if (!fits(static_cast<std::size_t>(length() - replaced) + buffer.size()))
        return;
    saveUndo();
    const int at = selection_.length > 0 ? selection_.location : cursor_;
    delOps();
    program_.insertOpcodes(buffer, at);
    cursor_ = at + static_cast<int>(buffer.size());
    relayout();
    dirty_ = true;
    post(VQMakeCursorVisible);
}

// ---- Undo ----

ProgramModel::Snapshot ProgramModel::getState() const { return {program_, cursor_, textCursorCol_, selection_}; }

void ProgramModel::setState(const Snapshot& state)
{
    program_ = state.program;
    relayout();
    cursor_ = std::clamp(state.editCursor, 0, length());
    textCursorCol_ = state.textCursorCol;
    selection_ = state.selection;
    // What undo brings back differs from the file.
    dirty_ = true;
}

void ProgramModel::saveUndo()
{
    while (undo_.size() >= kMaxUndo)
        undo_.pop_front();
    undo_.push_back(getState());
    redo_.clear();
    post(VQRedrawKeyboard);
}

void ProgramModel::undo() { stepBack(undo_, redo_); }

void ProgramModel::redo() { stepBack(redo_, undo_); }

void ProgramModel::stepBack(std::deque<Snapshot>& from, std::deque<Snapshot>& to)
{
    if (from.empty() || !isEditable())
        return;
    to.push_back(getState());
    setState(from.back());
    from.pop_back();
    post(VQRedrawKeyboard);
}

void ProgramModel::undoClear()
{
    undo_.clear();
    redo_.clear();
}

} // namespace orvenda
