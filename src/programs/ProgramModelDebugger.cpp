// The program debugger's driver and the open program's metadata.

#include "programs/ProgramModel.h"

#include "core/Calculator.h"
#include "core/services/EntryManager.h"
#include "core/Operand.h"
#include "core/services/ProgramOutputManager.h"
#include "core/NotificationNames.h"
#include "eval/Parser.h"
#include "eval/ProgramTokens.h"
#include "eval/ProgramQueue.h"
#include "eval/StatementInterpreter.h"

#include <algorithm>
#include <set>
#include <utility>

namespace orvenda {

namespace {

using namespace ProgramTokens;

constexpr std::uint32_t kOpenParen = 0x10;

bool inRange(std::uint32_t t, std::uint32_t first, std::uint32_t last) { return t >= first && t <= last; }

// The variables a program may use, as the debugger's variable pane lists them: the
// built-in lists L₁ to L₆ among them; named lists come apart, after the variables.
bool isVariable(std::uint32_t t)
{
    return inRange(t, 0x41, 0x5B) || inRange(t, 0x5C00, 0x5C09) || inRange(t, 0x5D00, 0x5D05)
        || inRange(t, 0x5E10, 0x5E19) || inRange(t, 0x5E20, 0x5E2B) || inRange(t, 0x5E40, 0x5E45)
        || inRange(t, 0x5E80, 0x5E82) || inRange(t, 0x6201, 0x6245) || inRange(t, 0x6300, 0x633C)
        || inRange(t, 0xAA00, 0xAA09);
}

bool isNameCharacter(std::uint32_t t) { return inRange(t, 0x41, 0x5B) || inRange(t, 0x30, 0x39); }

} // namespace

void ProgramModel::setDebug(bool on)
{
    if (on == debug())
        return;
    // A run started elsewhere that waits for its user (a question, a menu, a pause) ends
    // first, with its item: the debugger's runs are its own, and no question of another
    // run is answered under it.
    if (on && calc_.question().waits()) {
        // Its end shows where it ended; the debugger stays on the program it was opened on.
        const std::string opened = programName_;
        calc_.parser().stopProgramThread();
        if (programName_ != opened)
            loadProgram(opened);
    }
    debug_.store(on);
    if (on) {
        // A key pressed before the debugger opened is no step's to read.
        calc_.lastKey.exchange(0);
        cursor_ = opNearLine(layout_.lineForIndex(cursor_), 0);
        return;
    }
    stepping_ = false;
    runStartedIn_.clear();
    calc_.programRunning = false;
    calc_.menuRunning = false;
}

void ProgramModel::setBreak(bool on, int line)
{
    if (!layout_.validLine(line) || !isEditable())
        return;
    const int s = layout_.firstOpOnLine(layout_.statementLine(line));
    const bool marked = s < length() && token(opAt(s)) == kBreakpoint;
    if (on == marked)
        return;
    if (on) {
        if (!fits(static_cast<std::size_t>(length()) + 1))
            return;
        program_.insertOpcode(kBreakpoint, s);
        if (cursor_ > s)
            ++cursor_;
    } else {
        program_.deleteOpcodeAt(s);
        if (cursor_ > s)
            --cursor_;
    }
    relayout();
    dirty_ = true;
}

void ProgramModel::toggleBreakForLine(int line)
{
    if (!layout_.validLine(line))
        return;
    const int first = layout_.statementLine(line);
    setBreak(!breakForLine(first), first);
}

bool ProgramModel::breakForLine(int line) const
{
    if (!layout_.validLine(line))
        return false;
    const int s = layout_.firstOpOnLine(line);
    return s < length() && token(opAt(s)) == kBreakpoint;
}

void ProgramModel::clearBreaks()
{
    if (!isEditable())
        return;
    bool removed = false;
    for (int k = length() - 1; k >= 0; --k) {
        if (token(opAt(k)) != kBreakpoint)
            continue;
        program_.deleteOpcodeAt(k);
        if (cursor_ > k)
            --cursor_;
        removed = true;
    }
    if (!removed)
        return;
    relayout();
    dirty_ = true;
}

int ProgramModel::statementStart(int index) const
{
    for (int k = std::min(index, length() - 1); k >= 0; --k) {
        const std::uint32_t t = token(opAt(k));
        if (t == kColon || t == kNewLine || t == kBreakpoint)
            return k + 1;
    }
    return 0;
}

bool ProgramModel::start(bool step)
{
    saveProgram();
    stepping_ = step;
    runOnceAnswered_ = false;
    Ops ops = program_.array();
    Parser& parser = calc_.parser();
    // At a called program's end a step goes back to its caller; at the program's own end,
    // with its run still going (its last line a question just answered), the step ends it.
    const bool returns = step && (parser.programQueue().frameCount() > 0 || !runStartedIn_.empty());
    if (cursor_ >= length() && !returns)
        return false;
    if (cursor_ < length())
        cursor_ = statementStart(cursor_);
    // A run begins on a clear output, its steps and Runs one run until it ends.
    if (runStartedIn_.empty()) {
        runStartedIn_ = programName_;
        if (calc_.prgmOutputMgr)
            calc_.prgmOutputMgr->clearHome();
    }
    pendingInput_ = calc_.question().asks();
    if (!step) {
        parser.runProgramThread(std::move(ops), programName_, false, cursor_);
        return true;
    }
    const std::uint32_t first = cursor_ < length() ? token(opAt(cursor_)) : 0;
    parser.stepProgramThread(std::move(ops), programName_, cursor_);
    return first != kInput && first != kPrompt;
}

bool ProgramModel::run() { return start(false); }

bool ProgramModel::singleStep() { return start(true); }

void ProgramModel::showStepPC(int index, const std::string& inProgram)
{
    if (inProgram != programName_)
        loadProgram(inProgram);
    setPrgmEditCursor(index);
    // The run stopped here (a breakpoint, a step's end): an answer typed for its Input is
    // spent, and nothing runs until the next Step or Run takes the keys again.
    if (calc_.entryManager && !calc_.entryManager->text().empty())
        calc_.entryManager->clear();
    const bool wasRunning = calc_.programRunning.exchange(false);
    Parser& parser = calc_.parser();
    if (const int error = parser.error(); error != 0) {
        if (wasRunning)
            post(VQHideProgramOutput);
        // As a run's error: the alert names the program and offers the way to the fault.
        calc_.showError({{"errorNum", error}, {"programName", inProgram}, {"tokenLocation", parser.errorToken()}});
        parser.setError(0);
    }
    post(VQDidProgramStep);
}

void ProgramModel::setPrgmCursor(int index, const std::string& inProgram)
{
    // The run ended: the debugger shows the program it started in, its marker after the
    // line it ended on.
    const std::string started = std::exchange(runStartedIn_, {});
    const std::string shown = started.empty() ? inProgram : started;
    if (shown != programName_)
        loadProgram(shown);
    setPrgmEditCursor(started.empty() || started == inProgram ? index : length());
}

void ProgramModel::debugEnter()
{
    auto* entry = dynamic_cast<LineEditor*>(calc_.entryManager.get());
    Ops ops = entry ? entry->currentOps().value_or(Ops()) : Ops();
    if (ops.empty())
        return;
    Parser& parser = calc_.parser();
    if (!stepping_) {
        // The line stays until the run answers (result handling clears it): cleared now,
        // it would also wipe the answer from the question it answers on the output.
        parser.startProgramThread(std::move(ops));
        return;
    }
    const VQStack prompts = parser.promptStack();
    const Operand* wanted = prompts.peek();
    // An answer for a list or a string gets its opening mark, as a run's answer does.
    if (wanted)
        StatementInterpreter::markAnswer(ops, *wanted, calc_);
    const Operand value = parser.eval(ops, false);
    if (const int error = parser.error(); error != 0) {
        // The prompt still waits, on a cleared line: what was typed is not half of the next
        // answer.
        calc_.showError({{"errorNum", error}});
        parser.setError(0);
        entry->clear();
        return;
    }
    if (wanted) {
        ProgramQueue& queue = parser.programQueue();
        if (const auto target = queue.popPrompt()) {
            auto lock = calc_.lockState();
            parser.store(value, *target);
        }
        // An answer its variable cannot take ends the run as that program's error, as it
        // does under Run and from the home line.
        if (const int error = parser.error(); error != 0) {
            parser.setError(0);
            runOnceAnswered_ = false;
            queue.failWaiting(error);
            return;
        }
        if (calc_.prgmOutputMgr)
            calc_.prgmOutputMgr->newLine();
        const VQStack left = parser.promptStack();
        if (const Operand* next = left.peek()) {
            if (calc_.prgmOutputMgr) {
                Operand request = *next;
                request.string = VQString{static_cast<std::uint32_t>(next->var.token), kEqual, kQuestionMark};
                calc_.prgmOutputMgr->inputPrompt(request);
            }
        } else {
            parser.popProgramStack();
            // Answered: the debugger comes back at the next statement, or the run ends when
            // the question was its last; after Run, the run goes on.
            entry->clear();
            const bool runOn = std::exchange(runOnceAnswered_, false);
            if (cursor_ >= length() && parser.programQueue().frameCount() == 0)
                start(true);
            else if (!runOn)
                calc_.showDebugger(true);
            else if (start(false))
                calc_.suspendDebugger();
            return;
        }
    }
    entry->clear();
}

ProgramModel::Ops ProgramModel::programVars() const
{
    std::set<std::uint32_t> found;
    bool skipping = false;
    for (const std::uint32_t op : program_.array()) {
        const std::uint32_t t = token(op);
        if (t == kQuote) {
            skipping = !skipping;
            continue;
        }
        if (t == kProgram) {
            skipping = true;
            continue;
        }
        if (t == kStore || t == kNewLine) {
            skipping = false;
            continue;
        }
        if (!skipping && isVariable(t))
            found.insert(t);
    }
    return Ops(found.begin(), found.end());
}

std::vector<std::string> ProgramModel::programLists() const
{
    std::set<std::string> found;
    const Ops& ops = program_.array();
    bool inString = false;
    for (std::size_t k = 0; k < ops.size(); ++k) {
        const std::uint32_t t = token(ops[k]);
        if (t == kQuote) {
            inString = !inString;
            continue;
        }
        if (t == kNewLine) {
            inString = false;
            continue;
        }
        const bool stored = t == kStore;
        if (stored)
            inString = false;
        else if (t != kListName || inString)
            continue;
        std::string name;
        std::size_t end = k + 1;
        for (; end < ops.size() && isNameCharacter(token(ops[end])); ++end)
            name += nameOf(ops[end]);
        const bool call = end < ops.size() && token(ops[end]) == kOpenParen;
        // After a store a single letter is a variable unless a bracket follows (an element).
        if (stored ? (name.size() >= 2 || (!name.empty() && call)) : !name.empty())
            found.insert(name);
    }
    return std::vector<std::string>(found.begin(), found.end());
}

// ---- Metadata ----

std::string ProgramModel::programTagString() const
{
    std::string joined;
    for (const std::string& tag : tags_)
        joined += (joined.empty() ? "" : ",") + tag;
    return joined;
}

void ProgramModel::saveTags(std::string_view text)
{
    if (!isEditable())
        return;
    tags_ = tagArrayFromString(text);
    dirty_ = true;
}

void ProgramModel::saveProgramNotes(const std::string& text)
{
    if (!isEditable())
        return;
    notes_ = text;
    dirty_ = true;
}

void ProgramModel::saveProgramDescription(const std::string& text)
{
    if (!isEditable())
        return;
    description_ = text;
    dirty_ = true;
}

void ProgramModel::saveProgramFlags(std::uint32_t flags)
{
    if (!isEditable())
        return;
    flags_ = flags;
    dirty_ = true;
}

} // namespace orvenda
