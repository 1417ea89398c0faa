#pragma once

#include "app/ScreenEditors.h"
#include "core/Operand.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvenda {

class Calculator;
class CursorBlink;
class EntryModel;

// Closing an input: ENTER hands the entry line (or, on an empty line, the previous entry)
// to the program queue; an editor field is evaluated at once; and every record a
// program-queue run hands back is shown: a history item, Ans, an error report, or a
// request to another screen. Main thread.
//
// Nothing here needs a window: result handling runs the same with the screens absent (a
// test or the case runner installs the models and calls showResult itself).
class EntryEvaluator {
public:
    using Ops = std::vector<std::uint32_t>;

    // What a result shows: its text and the history's result type (0 value, 1 text,
    // 2 history command); for a value shown with its digits grouped, also its text without
    // the grouping, which reads back as the value.
    struct ResultText {
        ResultText(std::string shown, int kind, std::string ungrouped = {})
            : text(std::move(shown)), type(kind), plain(std::move(ungrouped))
        {
        }
        std::string text;
        int type = 0;
        std::string plain;
    };

    EntryEvaluator(Calculator& calc, CursorBlink& blink);
    ~EntryEvaluator();
    EntryEvaluator(const EntryEvaluator&) = delete;
    EntryEvaluator& operator=(const EntryEvaluator&) = delete;

    // ENTER: refuses program-only commands (19 at the first), re-runs the previous entry
    // on an empty line, else queues the entry line.
    void enter();
    // Evaluates the entry line now on this thread; true when there was something to
    // evaluate or an error was reported. The value is the field's own (fieldValue); it
    // becomes Ans only while no run is queued or running, whose Ans it would change.
    bool finalizeEntry();
    // The value the last finalizeEntry gave; none after an error or an empty line.
    const std::optional<Operand>& fieldValue() const { return fieldValue_; }
    // Acts on a record the program queue hands back.
    void showResult(const Operand& record);
    // A run queued by the keys (ENTER, an answer, Pause's ENTER, a menu's pick) has not
    // reported its end: keys typed meanwhile are offered to its program first and belong
    // after the answer (the next entry line, the next field), not to the line being
    // answered. A record a program hands over while it runs is not its end.
    bool awaitingAnswer() const { return awaiting_; }
    // The screen whose ENTER waits for its answer; none when no ENTER waits.
    std::optional<int> awaitedOn() const { return awaiting_ ? enteredOn_ : std::nullopt; }
    // The line ENTER handed to a run still waits for its answer, whatever screen the run
    // brought in front meanwhile: that line is spent. A run no ENTER started (a graph
    // button's label) was handed none.
    bool lineAwaitsAnswer() const { return awaiting_ && answering_.has_value(); }
    // The run awaited is a program's (run by the debugger, a graph button or slider, or
    // going on from where it waited), which owns the keys on whichever screen it shows.
    bool awaitingProgram() const { return awaiting_ && programRun_; }
    // Stops waiting (a record arrived, or none will) and tells whoever holds keys.
    void answered();
    void setAnsweredHandler(std::function<void()> handler) { answeredHandler_ = std::move(handler); }
    // The last record answered an ENTER with an error (a break among them): its line stays
    // for editing.
    bool answerFailed() const { return failed_; }
    // ENTRY: the previous entry back on the line.
    void entry();
    bool entryPending() const;

    // The text of a result, by its kind; the display form it was shown in is written into
    // the record (a value's displayMod 0 becomes the form the modes choose).
    ResultText resultText(Operand& record) const;
    // The text of a number, list or matrix record in its resolved form.
    ResultText valueText(const Operand& record) const;
    // The program a line calls: prgm followed by a letter and letters or digits, up to
    // the first ":" or new line.
    std::optional<std::string> getProgramNameFromOps(const Ops& ops) const;
    // A matrix template of r rows and c columns of 0 at the MathPrint home screen's cursor.
    void addMatrixRows(int rows, int cols);
    // The error text; "Unknown error" outside the table.
    static std::string errString(int number);
    // The commands that have a statistics wizard.
    static bool isStatWizOp(std::uint32_t op);
    // L₁..L₆ by name; 0 for any other name.
    std::uint32_t listOpcodeFromName(std::string_view name) const;
    // The built-in lists that exist, in order, then the user's lists sorted ignoring case.
    std::vector<std::string> listNames() const;
    void deleteList(const std::string& name);

private:
    // Refuses a line holding a command only a program may hold, or, typed in a field, a
    // program call: error 19 at the first.
    bool refuses(EntryModel& entry, bool field);
    void present(Operand record);
    // Runs an entered line on the program queue, or at once as part of leaving its screen
    // or, while a program asks out of sight, as a field's value.
    void run(const Ops& ops, int screen);
    void waitForAnswer(int screen);
    // The program queue took a run.
    void runStarted(bool program, const std::string& name);
    // Every run queued has ended and reported.
    void runsEnded();
    void showError(const Operand& record);
    // A kind that asks another screen for something and adds nothing; false for others.
    bool handOver(const Operand& record);
    // The item of a record, and the entry line begun anew, unless ownLine is false: then the
    // line is a field's, left as it is.
    void place(Operand& record, const ResultText& shown, bool ownLine);
    // The program output in front, where a question or menu is answered.
    void showOutput();
    // prgm followed by the name, as a line calling the program.
    Ops programCall(const std::string& name) const;
    // The call of the program the user started a program's own run in; otherwise's when
    // none was named (a run going on with a program an entry line called).
    Ops ownRunCall(const std::string& otherwise) const;
    // The display form the modes choose for displayMod 0.
    int resolvedForm(const Operand& record, bool complex) const;
    void post(std::string_view name);
    // The entry line holds what is typed in a field of the screen in front (a field
    // screen's, a form's over the graph), not the home screen's line nor a question's.
    bool fieldInFront() const;
    // The record now handled may use the entry line: no field is in front, or the record
    // answers the line entered in that field (never a program's run, nor one entered on
    // another screen).
    bool ownsEntryLine() const;

    Calculator& calc_;
    CursorBlink& blink_;
    ScreenEditors editors_;
    bool awaiting_ = false;
    bool programRun_ = false;
    bool ownWaits_ = false;
    // The program a program's own run started in (a label's, the debugged one).
    std::string ownName_;
    // The program the home screen's line called last (empty for a line calling none).
    std::string calledProgram_;
    bool failed_ = false;
    std::uint64_t waits_ = 0;
    std::optional<Operand> fieldValue_;
    // The screen of the ENTER whose run is answering: its records go where ENTER was
    // pressed, even when the user has moved on before they arrive.
    std::optional<int> enteredOn_;
    // The line that ENTER handed to the run now answering, for its history item.
    std::optional<Ops> answering_;
    std::function<void()> answeredHandler_;
    // Work queued on the main thread checks this, as the evaluator may be gone by then.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace orvenda
