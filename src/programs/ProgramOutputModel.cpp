#include "programs/ProgramOutputModel.h"

#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "core/Operand.h"
#include "core/VQMenu.h"
#include "eval/MenuObject.h"
#include "eval/Parser.h"
#include "language/Utf8.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>

namespace orvenda {

namespace {

std::u32string decode(std::string_view text)
{
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();)
        out.push_back(Utf8::next(text, i));
    return out;
}

std::string encode(std::u32string_view text)
{
    std::string out;
    out.reserve(text.size());
    char bytes[4];
    for (const char32_t c : text)
        out.append(bytes, static_cast<std::size_t>(Utf8::encode(c, bytes)));
    return out;
}

int widthOf(std::u32string_view text)
{
    return static_cast<int>(Utf8::columns(text));
}

std::u32string padded(std::u32string text)
{
    if (const int width = widthOf(text); width < ProgramOutputModel::kColumns)
        text.append(static_cast<std::size_t>(ProgramOutputModel::kColumns - width), U' ');
    return text;
}

std::string trimmed(const std::u32string& text)
{
    const auto first = text.find_first_not_of(U' ');
    if (first == std::u32string::npos)
        return {};
    return encode(std::u32string_view(text).substr(first, text.find_last_not_of(U' ') - first + 1));
}

bool onMainThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

} // namespace

ProgramOutputModel::ProgramOutputModel(Calculator& calc) : calc_(calc)
{
    for (std::u32string& line : lines_)
        line.reserve(kColumns);
}

// A running program, or one stepped in the debugger that stopped at Input or Prompt and
// waits for the answer, with the question in front: the entry line is then the answer's.
// Another screen in front (a field, the graph's forms) types on the line for itself.
bool ProgramOutputModel::asked() const
{
    const WaitingQuestion waiting = calc_.question();
    return (calc_.programRunning || waiting.asks()) && waiting.inSight();
}

void ProgramOutputModel::notify() { calc_.notificationCenter().post(VQUpdatePgmOutput, this); }

// ---- With the lock held ----

void ProgramOutputModel::scrollUpLocked()
{
    std::rotate(lines_.begin(), lines_.begin() + 1, lines_.end());
    lines_.back().clear();
}

// The move past the last line is kept pending (the cursor's line is 10): the screen
// scrolls when something is written there, so ten results stay on ten lines.
void ProgramOutputModel::nextLineLocked()
{
    cursor_.column = 0;
    if (cursor_.row >= kLines - 1) {
        if (cursor_.row >= kLines)
            scrollUpLocked();
        cursor_.row = kLines;
    } else {
        ++cursor_.row;
    }
}

int ProgramOutputModel::rowLocked()
{
    if (cursor_.row >= kLines) {
        scrollUpLocked();
        cursor_.row = kLines - 1;
        entry_.row = std::max(0, entry_.row - 1);
    }
    cursor_.row = std::max(0, cursor_.row);
    return cursor_.row;
}

// The line at the cursor becomes the text, right-aligned to 32 columns unless left is
// set or it is as wide as the line; then the next line.
void ProgramOutputModel::writeLineLocked(std::u32string_view text, bool left)
{
    std::u32string& line = lines_[static_cast<std::size_t>(rowLocked())];
    const int width = widthOf(text);
    line.clear();
    if (!left && width < kColumns)
        line.assign(static_cast<std::size_t>(kColumns - width), U' ');
    line += text;
    nextLineLocked();
}

// The line is padded with blanks, or cut, to the column before the text; the text follows,
// cut so that the line stays within 32 columns.
void ProgramOutputModel::writeAtLocked(std::u32string text, int column, int line)
{
    std::u32string& target = lines_[static_cast<std::size_t>(line - 1)];
    target.resize(static_cast<std::size_t>(column - 1), U' ');
    text.resize(std::min(text.size(), static_cast<std::size_t>(kColumns - column + 1)));
    target += text;
    prompt_.reset();
}

// A program's Output( writes over what is there, one character at a time, and keeps the
// rest of the line; after column 31 it goes on at column 1 of the next line, and what
// falls below the last line is lost.
void ProgramOutputModel::writeOverLocked(std::u32string_view text, int column, int line)
{
    constexpr int kWrapAfter = 31;
    int row = line - 1;
    int col = column;
    for (const char32_t c : text) {
        if (row >= kLines)
            break;
        std::u32string& target = lines_[static_cast<std::size_t>(row)];
        const auto at = static_cast<std::size_t>(col - 1);
        if (target.size() < at)
            target.resize(at, U' ');
        if (target.size() > at)
            target[at] = c;
        else
            target.push_back(c);
        if (++col > kWrapAfter) {
            col = 1;
            ++row;
        }
    }
}

void ProgramOutputModel::setEntryCursorLocked(CursorPosition offset)
{
    CursorPosition at{entry_.column + offset.column, entry_.row + offset.row};
    // Nothing typed on a pending line leaves it pending.
    if (entry_.row >= kLines && offset.column == 0 && offset.row == 0) {
        cursor_ = entry_;
        return;
    }
    if (at.column >= kColumns + 1) {
        const int wraps = (at.column - 1) / kColumns;
        at.column -= wraps * kColumns;
        at.row += wraps;
    }
    // A cursor past the last line scrolls the screen and stays on the last line.
    if (at.row >= kLines) {
        const int over = at.row - (kLines - 1);
        for (int k = 0; k < std::min(over, kLines); ++k)
            scrollUpLocked();
        at.row = kLines - 1;
        entry_.row = std::max(0, entry_.row - over);
    }
    cursor_ = {std::max(0, at.column), std::max(0, at.row)};
}

// ---- The screen ----

void ProgramOutputModel::clear()
{
    std::lock_guard lock(mutex_);
    for (std::u32string& line : lines_)
        line.clear();
    entryLines_ = 0;
}

void ProgramOutputModel::clearHome()
{
    {
        std::lock_guard lock(mutex_);
        for (std::u32string& line : lines_)
            line.clear();
        prompt_.reset();
        cursor_ = entry_ = {};
        entryLines_ = 0;
    }
    notify();
}

void ProgramOutputModel::startProgram(const std::string& name)
{
    {
        std::lock_guard lock(mutex_);
        prompt_.reset();
        programName_ = name;
    }
    calc_.showProgramOutput();
}

void ProgramOutputModel::newLine()
{
    {
        std::lock_guard lock(mutex_);
        nextLineLocked();
        entry_ = cursor_;
        prompt_.reset();
        entryLines_ = 0;
    }
    notify();
}

void ProgramOutputModel::setCursorPosition(CursorPosition position)
{
    {
        std::lock_guard lock(mutex_);
        cursor_ = entry_ = {std::clamp(position.column, 0, kColumns), std::clamp(position.row, 0, kLines - 1)};
    }
    notify();
}

void ProgramOutputModel::inputPrompt(const Operand& request)
{
    const std::u32string text = decode(request.string ? calc_.stringFromOps(*request.string) : std::string());
    {
        std::lock_guard lock(mutex_);
        const std::u32string shown = text.substr(0, kColumns);
        lines_[static_cast<std::size_t>(rowLocked())] = shown;
        const int length = static_cast<int>(shown.size());
        entry_ = {length, cursor_.row};
        cursor_ = {std::min(length + 1, kColumns), cursor_.row};
        prompt_ = text;
        entryLines_ = 1;
    }
    notify();
}

void ProgramOutputModel::setEntryCursor(CursorPosition cursor, bool redraw)
{
    const bool asking = asked();
    {
        std::lock_guard lock(mutex_);
        if (!prompt_ || !asking)
            return;
        setEntryCursorLocked(cursor);
    }
    if (redraw)
        notify();
}

void ProgramOutputModel::updateEntryText(const std::string& text, CursorPosition cursor)
{
    const std::u32string typed = decode(text);
    const bool asking = asked();
    {
        std::lock_guard lock(mutex_);
        // The entry line is the output screen's only while a program asks a question.
        if (!prompt_ || !asking)
            return;
        const std::u32string whole = prompt_.value_or(std::u32string()) + typed;
        const int pieces = static_cast<int>((whole.size() + kColumns - 1) / kColumns);
        // What a longer text took before is cleared below the new one; an empty text
        // scrolls nothing.
        for (int k = pieces; k < entryLines_; ++k)
            if (entry_.row + k >= 0 && entry_.row + k < kLines)
                lines_[static_cast<std::size_t>(entry_.row + k)].clear();
        for (int k = 0; k < pieces; ++k) {
            if (entry_.row + k >= kLines) {
                scrollUpLocked();
                --entry_.row;
            }
            // A text longer than the screen keeps its last lines.
            if (entry_.row + k < 0)
                continue;
            lines_[static_cast<std::size_t>(entry_.row + k)] =
                whole.substr(static_cast<std::size_t>(k) * kColumns, kColumns);
        }
        entryLines_ = pieces;
        setEntryCursorLocked(cursor);
    }
    if (onMainThread())
        notify();
}

void ProgramOutputModel::addEntry(const std::string& entry, const std::string& result)
{
    {
        std::lock_guard lock(mutex_);
        lines_[static_cast<std::size_t>(rowLocked())] = (prompt_.value_or(std::u32string()) + decode(entry)).substr(0, kColumns);
        nextLineLocked();
        writeLineLocked(decode(result), false);
        entry_ = cursor_;
        prompt_.reset();
        entryLines_ = 0;
    }
    notify();
}

void ProgramOutputModel::displayResult(const std::string& text, int type)
{
    const std::u32string shown = decode(text);
    {
        std::lock_guard lock(mutex_);
        if (type == 2) {
            std::u32string& line = lines_[static_cast<std::size_t>(rowLocked())];
            line.resize(static_cast<std::size_t>(std::max(0, kColumns - widthOf(shown))), U' ');
            line += shown;
            nextLineLocked();
        } else {
            writeLineLocked(shown, type == 1);
        }
        entry_ = cursor_;
        prompt_.reset();
        entryLines_ = 0;
    }
    if (type != 2)
        notify();
}

void ProgramOutputModel::doBreakError(int error)
{
    {
        std::lock_guard lock(mutex_);
        if (cursor_.row < kLines && !lines_[static_cast<std::size_t>(cursor_.row)].empty())
            nextLineLocked();
    }
    displayResult(error == 0 ? std::string("Break") : calc_.formatError(error), 0);
}

void ProgramOutputModel::output(const std::string& text, int x, int y)
{
    if (x < 1 || x > kColumns || y < 1 || y > kLines)
        return;
    const std::u32string shown = decode(text);
    {
        std::lock_guard lock(mutex_);
        writeAtLocked(shown, x, y);
    }
    notify();
}

std::string ProgramOutputModel::textOf(const Operand& value, int kind) const
{
    auto state = calc_.lockState();
    const Calculator::State& s = calc_.state();
    const int fraction = s.fractionFormat == 4 ? 2 : 1;
    // A value's own form (▸Frac, ▸Dec) wins; else DECIMAL and FRACTION answers choose, and
    // AUTO keeps the formatter's automatic form: what the program computed, as it computed it.
    const auto form = [&](bool complex) {
        if (value.displayMod != 0)
            return value.displayMod;
        switch (s.answerFormat) {
        case 1: return 3;
        case 2: return fraction;
        case 3: return complex ? 9 : 0;
        default: return 0;
        }
    };
    switch (kind) {
    case KindReal:
        if (value.displayMod == 9 || (value.displayMod == 0 && s.answerFormat == 3))
            return calc_.formatSigFig(value.re(), value.sigFig);
        return calc_.formatReal(value.re(), form(false));
    case KindComplex:
        return calc_.formatComplex(value.re(), value.im(),
            value.displayMod == 0 && calc_.realCplxMode() == 2 ? 6 : form(true));
    case KindRealList:
    case KindComplexList:
        return value.list ? calc_.formatList(value.list.get(), form(true)) : std::string();
    case KindMatrix:
        return value.matrix ? calc_.formatMatrix(value.matrix.get(), form(true)) : std::string();
    case KindString:
        return value.string ? calc_.stringFromOps(*value.string) : std::string();
    case KindDone:
        return "Done";
    case KindPause:
        return {};
    default:
        break;
    }
    state.unlock();
    if (kind >= KindOneVarStats && kind <= KindStatTestLast) {
        Operand shown = value;
        shown.kind = kind;
        return calc_.formatOperand(shown);
    }
    return "<not implemented>";
}

void ProgramOutputModel::displayOp(const Operand& value)
{
    // Output( and Pause carry the value's own kind; a Pause without a value writes nothing.
    const bool carried = value.kind == KindOutput || value.kind == KindPause;
    const int kind = carried ? value.ints[2] : value.kind;
    if (value.kind == KindOutput) {
        if (kind != KindReal && kind != KindComplex && kind != KindRealList && kind != KindComplexList
            && kind != KindMatrix && kind != KindString && kind != KindOneVarStats && kind != KindTwoVarStats)
            return;
        const int column = value.ints[0];
        const int row = value.ints[1];
        if (column < 1 || column > kColumns || row < 1 || row > kLines)
            return;
        std::u32string text = decode(textOf(value, kind));
        // Only the first line of a many-line value fits the place it is written at.
        if (const auto end = text.find(U'\n'); end != std::u32string::npos)
            text.resize(end);
        const int width = widthOf(text);
        int start = value.ints[3] == 1 ? column - width / 2 : value.ints[3] == 2 ? column - width : column;
        if (start <= 0) {
            text.erase(0, std::min(text.size(), static_cast<std::size_t>(1 - start)));
            start = 1;
        }
        {
            std::lock_guard lock(mutex_);
            writeOverLocked(text, start, row);
            entry_ = cursor_;
            prompt_.reset();
        }
        notify();
        return;
    }
    if (kind == KindPause)
        return;
    const std::u32string text = decode(textOf(value, kind));
    {
        std::lock_guard lock(mutex_);
        const bool left = kind == KindString;
        const std::u32string_view all(text);
        std::size_t from = 0;
        for (;;) {
            const std::size_t end = all.find(U'\n', from);
            writeLineLocked(all.substr(from, end == std::u32string_view::npos ? std::u32string_view::npos : end - from), left);
            if (end == std::u32string_view::npos)
                break;
            from = end + 1;
        }
        entry_ = cursor_;
        prompt_.reset();
        entryLines_ = 0;
    }
    notify();
}

// ---- Menus ----

void ProgramOutputModel::showMenu(const Operand& record)
{
    const auto object = std::dynamic_pointer_cast<MenuObject>(record.object);
    if (!object || !object->menu)
        return;
    const VQMenu& menu = *object->menu;
    {
        std::lock_guard lock(mutex_);
        saved_ = lines_;
        savedCursor_ = cursor_;
        savedEntry_ = entry_;
        for (std::u32string& line : lines_)
            line.clear();
        lines_[0] = decode(menu.title).substr(0, kColumns);
        for (std::size_t k = 0; k < menu.prompts.size() && k + 1 < kLines; ++k)
            lines_[k + 1] = decode(std::to_string(k + 1) + ":" + menu.prompts[k]).substr(0, kColumns);
        cursor_ = entry_ = {0, 1};
    }
    calc_.menuRunning = true;
    notify();
}

void ProgramOutputModel::clearMenu()
{
    {
        std::lock_guard lock(mutex_);
        for (std::u32string& line : lines_)
            line.clear();
        if (saved_) {
            lines_ = *saved_;
            cursor_ = savedCursor_;
            entry_ = savedEntry_;
            saved_.reset();
        }
    }
    notify();
}

// ---- Reading ----

ProgramOutputModel::Snapshot ProgramOutputModel::snapshot() const
{
    std::lock_guard lock(mutex_);
    return {lines_, {cursor_.column, std::min(cursor_.row, kLines - 1)}, saved_.has_value()};
}

std::string ProgramOutputModel::line(int n) const
{
    std::lock_guard lock(mutex_);
    return n >= 0 && n < kLines ? encode(lines_[static_cast<std::size_t>(n)]) : std::string();
}

std::vector<std::string> ProgramOutputModel::shownLines() const
{
    std::lock_guard lock(mutex_);
    std::vector<std::string> out;
    int last = kLines - 1;
    while (last >= 0 && trimmed(lines_[static_cast<std::size_t>(last)]).empty())
        --last;
    for (int n = 0; n <= last; ++n)
        out.push_back(trimmed(lines_[static_cast<std::size_t>(n)]));
    return out;
}

ProgramOutputManager::CursorPosition ProgramOutputModel::cursorPosition() const
{
    std::lock_guard lock(mutex_);
    return {cursor_.column, std::min(cursor_.row, kLines - 1)};
}

ProgramOutputManager::CursorPosition ProgramOutputModel::entryPosition() const
{
    std::lock_guard lock(mutex_);
    return entry_;
}

std::optional<std::string> ProgramOutputModel::promptString() const
{
    std::lock_guard lock(mutex_);
    return prompt_ ? std::optional<std::string>(encode(*prompt_)) : std::nullopt;
}

std::string ProgramOutputModel::programName() const
{
    std::lock_guard lock(mutex_);
    return programName_;
}

std::string ProgramOutputModel::done() const
{
    std::lock_guard lock(mutex_);
    int last = kLines - 1;
    while (last >= 0 && lines_[static_cast<std::size_t>(last)].empty())
        --last;
    std::string text;
    for (int n = 0; n <= last; ++n) {
        if (n > 0)
            text += '\n';
        text += encode(padded(lines_[static_cast<std::size_t>(n)]));
    }
    return text;
}

std::string ProgramOutputModel::screenShot() const
{
    std::lock_guard lock(mutex_);
    std::string text = "<screenShot>\n";
    for (const std::u32string& line : lines_)
        text += encode(padded(line)) + "\n";
    return text + "</screenShot>\n";
}

} // namespace orvenda
