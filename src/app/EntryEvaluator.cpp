#include "app/EntryEvaluator.h"

#include "app/CursorBlink.h"
#include "app/EntryModel.h"
#include "app/HistoryModel.h"
#include "core/Calculator.h"
#include "core/NumberFormatter.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "core/Operand.h"
#include "core/services/GDBManager.h"
#include "core/services/ProgramManager.h"
#include "core/services/ProgramOutputManager.h"
#include "core/services/ViewControlDelegate.h"
#include "eval/MainQueue.h"
#include "eval/Parser.h"
#include "eval/ProgramQueue.h"
#include "language/ErrorNumbers.h"
#include "language/ErrorTable.h"
#include "language/TokenLineAnalysis.h"
#include "language/Utf8.h"
#include "pretty/InsertMode.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace orvenda {

namespace {

using Ops = EntryEvaluator::Ops;

constexpr std::uint32_t kProgram = 0x5F;
constexpr std::uint32_t kStatementEnd = 0x3E;
constexpr std::uint32_t kNewLine = 0x3F;
constexpr std::uint32_t kProgramNameEnd = 0x5C34;
constexpr std::uint32_t kFirstList = 0x5D00;
constexpr int kBuiltInLists = 6;
constexpr std::uint32_t kMathPrintMode = 0xEF36;
constexpr std::uint32_t kClassicMode = 0xEF37;

constexpr int kListEditor = 4;
constexpr int kTableScreen = 5;
constexpr int kGraphScreen = 8;
constexpr int kSolverScreen = 10;
constexpr int kProgramOutput = 11;
constexpr int kProgramNameLength = 8;

// Matrix template parts (the template ID goes in the high half).
constexpr std::uint32_t kOpenBracket = 0x06;
constexpr std::uint32_t kCloseBracket = 0x07;
constexpr std::uint32_t kComma = 0x2B;
constexpr std::uint32_t kZero = 0x30;

// The screens whose results go into the history: home, program editor, graph, program
// output.
bool recordsHistory(int screen) { return screen == 0 || screen == 2 || screen == 8 || screen == kProgramOutput; }

// Results that carry a value Ans can take.
bool carriesValue(int kind) { return (kind >= KindReal && kind <= KindMatrix) || kind == KindString; }

std::string programName(const Operand::Name& name)
{
    std::u32string chars;
    for (std::size_t i = 0; i < static_cast<std::size_t>(kProgramNameLength) && name[i] != 0; ++i)
        chars.push_back(name[i]);
    return Utf8::encode(chars);
}

bool caseInsensitiveLess(const std::string& a, const std::string& b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) < std::tolower(y);
    });
}

} // namespace

EntryEvaluator::EntryEvaluator(Calculator& calc, CursorBlink& blink)
    : calc_(calc), blink_(blink), editors_(calc)
{
    ProgramQueue& queue = calc_.parser().programQueue();
    queue.setStartedHandler([this](bool program, const std::string& name) { runStarted(program, name); });
    queue.setDrainedHandler([this] { runsEnded(); });
}

EntryEvaluator::~EntryEvaluator()
{
    *alive_ = false;
    ProgramQueue& queue = calc_.parser().programQueue();
    queue.setStartedHandler(nullptr);
    queue.setDrainedHandler(nullptr);
}

void EntryEvaluator::post(std::string_view name) { calc_.notificationCenter().post(name, &calc_); }

bool EntryEvaluator::fieldInFront() const
{
    const int screen = calc_.currentScreen();
    return Calculator::takesEntryLine(screen) || (screen == kGraphScreen && calc_.homeLineAside());
}

bool EntryEvaluator::ownsEntryLine() const
{
    if (!fieldInFront())
        return true;
    // Only what ENTER queued there answers it. A field's line never calls a program: a run
    // that did (or a program's own run) is not the field's, whatever screen it stood on.
    const bool program = programRun_ || (answering_ && getProgramNameFromOps(*answering_));
    return !program && enteredOn_ == calc_.currentScreen();
}

// ---- Enter ----

void EntryEvaluator::enter()
{
    EntryModel* entry = editors_.entry();
    if (!entry)
        return;
    Parser& parser = calc_.parser();
    calc_.cursorVisible = false;
    entry->cursorEnd();
    const int screen = calc_.currentScreen();
    const WaitingQuestion waiting = calc_.question();
    // A line typed while a program asks is a value: the question's answer, or a field's.
    if (refuses(*entry, Calculator::fieldScreen(screen) || waiting.asks()))
        return;
    // The home screen's line answers no question out of sight: the question comes in
    // front with the line on it, to be entered there.
    if (screen == 0 && waiting.outOfSight()) {
        calc_.showProgramOutput();
        return;
    }
    if (screen == kTableScreen || screen == kSolverScreen)
        post(VQDoEnter);
    if (screen == kListEditor) {
        if (entry->filter() == EntryModel::ListName) {
            auto name = entry->getListName();
            if (!name) {
                calc_.showError({{"errorNum", int{ErrArgument}}});
                return;
            }
            Operand record;
            record.kind = KindString;
            record.sigFig = record.sigDec = 0;
            record.string = VQString(*name);
            // The name answers the line typed here.
            const std::optional<int> running = std::exchange(enteredOn_, screen);
            present(std::move(record));
            enteredOn_ = running;
        } else if (!entry->entryOps().empty()) {
            calc_.replay = false;
            run(entry->entryOps(), screen);
        } else {
            post(VQClearList);
        }
        return;
    }
    calc_.replay = false;
    InsertMode::end(calc_.insert);
    if (entry->entryOps().empty()) {
        // Only a home line runs its last entry again: a field's empty line has nothing to
        // enter.
        const auto& previous = entry->prevOps();
        if (calc_.programRunning || waiting.asks() || Calculator::fieldScreen(screen) || !previous || previous->empty())
            return;
        const Ops again = *previous;
        if ((again.front() & 0xFFFF) == kProgram) {
            parser.cleanUp();
            calc_.lastPrgmName = getProgramNameFromOps(again).value_or("");
        }
        calledProgram_ = calc_.lastPrgmName;
        parser.startProgramThread(again);
        calc_.replay = true;
        answering_ = again;
        waitForAnswer(screen);
        return;
    }
    const Ops& ops = entry->entryOps();
    // An answer typed for a program waiting at Input or Prompt keeps the program's name
    // for the history item of the run.
    if (screen == 0 && !calc_.programRunning) {
        if ((ops.front() & 0xFFFF) == kProgram) {
            parser.cleanUp();
            calc_.lastPrgmName = getProgramNameFromOps(ops).value_or("");
        } else {
            calc_.lastPrgmName.clear();
        }
        calledProgram_ = calc_.lastPrgmName;
    }
    run(ops, screen);
}

void EntryEvaluator::run(const Ops& ops, int screen)
{
    Parser& parser = calc_.parser();
    // A line queued while a program asks is that program's answer, and one queued while it
    // pauses lets it go on: only its own screen's line is either.
    const WaitingQuestion waiting = calc_.question();
    const bool pausedElsewhere = calc_.pauseRunning && !waiting.pausedInSight();
    if (calc_.screenBeingLeft() != screen && !waiting.outOfSight() && !pausedElsewhere) {
        answering_ = ops;
        parser.startProgramThread(ops);
        waitForAnswer(screen);
        return;
    }
    // The screen being left takes its answer now, while it is still in front: a run's
    // answer would come when another screen is. So does a field while a program asks
    // elsewhere.
    Ops line = ops;
    Operand record = parser.eval(line, false);
    if (const int error = parser.error(); error != 0) {
        record.error = error;
        record.location = parser.errorToken();
    }
    // A run still answering for an earlier ENTER keeps its own screen and line.
    const std::optional<int> running = std::exchange(enteredOn_, screen);
    std::optional<Ops> runningLine = std::exchange(answering_, ops);
    present(std::move(record));
    enteredOn_ = running;
    answering_ = std::move(runningLine);
}

bool EntryEvaluator::finalizeEntry()
{
    fieldValue_.reset();
    EntryModel* entry = editors_.entry();
    if (!entry)
        return false;
    Parser& parser = calc_.parser();
    calc_.cursorVisible = false;
    if (refuses(*entry, true))
        return true;
    InsertMode::end(calc_.insert);
    const bool namePrompt = calc_.currentScreen() == kListEditor && entry->filter() == EntryModel::ListName;
    if (entry->entryOps().empty()) {
        if (calc_.currentScreen() == kListEditor && !namePrompt)
            post(VQClearList);
        return false;
    }
    Operand record;
    if (namePrompt) {
        if (auto name = entry->getListName()) {
            record.kind = KindString;
            record.string = VQString(*name);
        } else {
            record.kind = KindDone;
            parser.setError(ErrArgument);
            parser.setErrorToken(entry->entryCursor());
        }
    } else {
        Ops ops = entry->entryOps();
        record = parser.eval(ops, false);
    }
    if (const int error = parser.error(); error != 0) {
        entry->setErrorLocation(parser.errorToken());
        calc_.showError({{"errorNum", error}});
        parser.setError(0);
        return true;
    }
    editors_.clear();
    if (parser.programQueue().programQueueCount() == 0)
        calc_.ans.setANS(record, calc_.locked()->numFormat);
    fieldValue_ = std::move(record);
    entry->setFilter(EntryModel::AnyOp);
    return true;
}

bool EntryEvaluator::refuses(EntryModel& entry, bool field)
{
    int at = entry.hasBasicOps();
    // A field takes a value. A program called from it would run where the field's
    // screen waits for that value, or on this thread, where nothing could answer its
    // question or break its loop: it is refused as the commands only a program holds.
    if (at < 0 && field)
        at = TokenLineAnalysis::programCallAt(entry.entryOps());
    if (at < 0)
        return false;
    entry.setErrorLocation(at);
    calc_.showError({{"errorNum", int{ErrInvalid}}});
    return true;
}

void EntryEvaluator::entry()
{
    if (EntryModel* entry = editors_.entry())
        entry->getPreviousEntry();
    InsertMode::end(calc_.insert);
    blink_.resetBlink();
}

bool EntryEvaluator::entryPending() const
{
    const EntryModel* entry = editors_.entry();
    return entry && !entry->entryOps().empty();
}

// ---- Results ----

int EntryEvaluator::resolvedForm(const Operand& record, bool complex) const
{
    if (record.displayMod != 0)
        return record.displayMod;
    // Fraction format 4 is mixed numbers (Un/d); any other value n/d.
    const int fraction = calc_.locked()->fractionFormat == 4 ? 2 : 1;
    switch (calc_.locked()->answerFormat) {
    case 0: return record.hasDecimalPoint ? 3 : fraction;
    case 1: return 3;
    case 2: return fraction;
    case 3: return complex ? 9 : 0;
    default: return 0;
    }
}

EntryEvaluator::ResultText EntryEvaluator::resultText(Operand& r) const
{
    // A program may change the modes meanwhile.
    auto state = calc_.lockState();
    switch (r.kind) {
    case KindReal:
        if (r.displayMod == 9 || (r.displayMod == 0 && calc_.state().answerFormat == 3))
            r.displayMod = 9;
        else
            r.displayMod = resolvedForm(r, false);
        return valueText(r);
    case KindComplex:
        r.displayMod = r.displayMod == 0 && calc_.realCplxMode() == 2 ? 6 : resolvedForm(r, true);
        return valueText(r);
    case KindRealList:
    case KindComplexList:
    case KindMatrix:
        r.displayMod = resolvedForm(r, true);
        return valueText(r);
    case KindString:
        return {r.string ? calc_.stringFromOps(*r.string) : std::string(), 1};
    case KindDone:
        return {"Done", 0};
    case KindError:
        return {calc_.formatError(0), 0};
    case KindNoShow:
        return {"Done", 2};
    case KindQuestion:
        return {"Break", 0};
    case KindDispTable:
        return {"", 0};
    default:
        if (r.kind >= KindOneVarStats && r.kind <= KindStatTestLast)
            return {calc_.formatOperand(r), 1};
        return {"<not implemented>", 0};
    }
}

EntryEvaluator::ResultText EntryEvaluator::valueText(const Operand& r) const
{
    const auto text = [&r](const NumberFormatter& format) -> std::string {
        switch (r.kind) {
        case KindReal:
            return r.displayMod == 9 ? format.formatSigFig(r.re(), r.sigFig) : format.formatReal(r.re(), r.displayMod);
        case KindComplex:
            return format.formatComplex(r.re(), r.im(), r.displayMod);
        case KindMatrix:
            return r.matrix ? format.formatMatrix(r.matrix.get(), r.displayMod) : std::string();
        default:
            return r.list ? format.formatList(r.list.get(), r.displayMod) : std::string();
        }
    };
    NumberFormatter format = calc_.numberFormatter();
    ResultText out{text(format), 0, {}};
    if (format.settings.thousandSeperator != u' ') {
        format.settings.thousandSeperator = u' ';
        out.plain = text(format);
    }
    return out;
}

void EntryEvaluator::showResult(const Operand& received)
{
    present(received);
    // A record a running program hands over (a graph, a widget) is not its end: the keys
    // stay the program's.
    if (!calc_.reportingDone)
        return;
    // The run's last record: later records are another run's.
    enteredOn_.reset();
    // The keys held for the run act once its report has done all it does (the debugger
    // back in front after its Run), unless another run has taken them by then.
    MainQueue* main = calc_.parser().programQueue().mainQueue();
    if (!main) {
        answered();
        return;
    }
    main->post([this, alive = alive_, wait = waits_] {
        if (*alive && awaiting_ && waits_ == wait)
            answered();
    });
}

void EntryEvaluator::waitForAnswer(int screen)
{
    // Each screen stores what ENTER answers where the keys typed next would go: those
    // keys wait for the answer. An answer typed for a program's Input lets the program
    // go on, which owns the keys from then on, as the run the ENTER queued.
    enteredOn_ = screen;
    awaiting_ = true;
}

void EntryEvaluator::runStarted(bool program, const std::string& name)
{
    // Decided here, as the run is queued, not when the worker reaches a program: a key
    // typed right after is the program's to read.
    if (!enteredOn_)
        enteredOn_ = calc_.currentScreen();
    // A program's run started by no ENTER (a button, the debugger) answers no line; one
    // that goes on with a waiting program keeps the name it started with.
    if (program && !awaiting_) {
        answering_.reset();
        if (!name.empty())
            ownName_ = name;
    } else if (!program && !awaiting_) {
        ownName_.clear();
    }
    programRun_ = program || (awaiting_ && programRun_);
    ownWaits_ = false;
    awaiting_ = true;
    ++waits_;
}

void EntryEvaluator::runsEnded()
{
    // Steps, a pause over the graph and stopped runs hand back no last record of their own.
    if (!awaiting_)
        return;
    enteredOn_.reset();
    answered();
}

void EntryEvaluator::answered()
{
    // A program's own run that waits (a pause over the graph, a question, the debugger's
    // run between steps) still ends as one when it is broken.
    ownWaits_ = programRun_
        && (calc_.parser().programQueue().frameCount() > 0
            || (calc_.prgmManager && !calc_.prgmManager->runStartedIn().empty()));
    awaiting_ = false;
    programRun_ = false;
    answering_.reset();
    if (answeredHandler_)
        answeredHandler_();
}

void EntryEvaluator::present(Operand record)
{
    failed_ = record.error != 0;
    if (record.error != 0) {
        showError(record);
        return;
    }
    if (handOver(record))
        return;
    ViewControlDelegate* view = calc_.viewDelegate.get();
    if (record.kind == KindNoShow && (record.opcode == kMathPrintMode || record.opcode == kClassicMode)) {
        // The history's sizes follow the display mode.
        if (HistoryModel* history = editors_.history())
            history->recomputeDepth();
        if (view)
            view->VCUpdateDisplay();
    }
    const ResultText shown = resultText(record);
    // A field in front keeps what it shows: only the answer of the line entered there is
    // its value; a run's records and its end leave it, and the line, as they are.
    const bool ownLine = ownsEntryLine();
    // A program's own run (a graph control's label, the debugger's) leaves its item
    // whatever screen it stood on: a step may leave the table in the debugger's display.
    if (programRun_ || recordsHistory(enteredOn_.value_or(calc_.currentScreen())))
        place(record, shown, ownLine);
    if (carriesValue(record.kind)) {
        Operand ans = record;
        ans.error = 0;
        calc_.ans.setANS(ans, calc_.locked()->numFormat);
    }
    if (!record.flag && calc_.programRunning) {
        calc_.programRunning = false;
        post(VQHideProgramOutput);
    }
    // A run's records (the table it shows, its end) answer the line of the screen it was
    // entered on, not the screen in front.
    if (ownLine) {
        post(VQEnter);
        if (EntryModel* entry = editors_.entry())
            entry->setFilter(EntryModel::AnyOp);
    }
    if (record.kind == KindDispTable && view)
        view->VCShowTable();
}

void EntryEvaluator::place(Operand& record, const ResultText& shown, bool ownLine)
{
    EntryModel* entry = editors_.entry();
    HistoryModel* history = editors_.history();
    if (!entry || !history)
        return;
    ProgramOutputManager* output = calc_.prgmOutputMgr.get();
    // A label's run that never wrote leaves an earlier run's output, not its own.
    if (programRun_ && output && calc_.parser().programQueue().takeFreshOutput())
        output->clearHome();
    // A program's own run starts on a clear output: what is on it is what the run wrote
    // (the debugger's steps write without marking a program as shown).
    const bool wrote = calc_.programRunning || (programRun_ && !record.flag && output && !output->done().empty());
    if (!wrote) {
        // A record handed over while the program goes on (DispTable) is not the run's end:
        // the run's own item comes with that.
        if (record.flag)
            return;
        // The line as it was entered: what happened to the line since is not the input. A
        // program's own run (the debugger's Run) entered no line: its call stands for it.
        Ops input = programRun_ ? ownRunCall(calc_.parser().currentProgramName())
                    : answering_ ? std::move(*answering_)
                    : calc_.replay ? entry->prevOps().value_or(Ops())
                    : ownLine      ? entry->entryOps()
                                   : Ops();
        answering_.reset();
        history->addEntry(input, shown.text, shown.type, record, shown.plain);
    } else {
        // DispTable shows the table, and writes no line.
        if (output && record.kind != KindDispTable)
            output->displayResult(shown.text, shown.type);
        if (!record.flag) {
            // The program's own answer is on its output screen; the history keeps the call.
            // The program the line called, whatever program was picked since (one opened in
            // the editor while it waited).
            const std::string& called = calledProgram_.empty() ? calc_.lastPrgmName : calledProgram_;
            const Ops call = programRun_ ? ownRunCall(called) : programCall(called);
            history->addEntry(call, output ? output->done() : std::string(), HistoryEntry::kProgramScreen, record);
            if (ownLine)
                entry->forceOps(calc_.replay ? Ops() : call);
        }
    }
    if (calc_.replay || record.kind == KindError || !ownLine)
        return;
    if (record.flag)
        entry->clear();
    else
        entry->startNewEntry();
}

bool EntryEvaluator::handOver(const Operand& record)
{
    ViewControlDelegate* view = calc_.viewDelegate.get();
    ProgramOutputManager* output = calc_.prgmOutputMgr.get();
    EntryModel* entry = editors_.entry();
    switch (record.kind) {
    case KindInputRequest:
        // The question shows where it is answered, whatever screen the program showed last
        // (the graph, the table).
        showOutput();
        if (output)
            output->inputPrompt(record);
        if (entry)
            entry->clear();
        return true;
    case KindGraphShown:
        if (view)
            view->VCShowGraph(true);
        return true;
    case KindMenu:
        showOutput();
        if (output)
            output->showMenu(record);
        // The line that called the program is spent, as at a question: kept, it would come
        // back on the home line of a launch after the app was ended meanwhile.
        if (entry)
            entry->clear();
        return true;
    case KindClrHome:
        if (calc_.currentScreen() == kProgramOutput) {
            if (output)
                output->clearHome();
            if (entry)
                entry->clear();
        } else if (!fieldInFront()) {
            // A field in front is the user's, not the program's home screen.
            editors_.clear();
        }
        return true;
    case KindPause:
        if (entry && calc_.currentScreen() == kProgramOutput)
            entry->clear();
        calc_.pauseRunning = true;
        if (view)
            view->VCPauseProgram();
        blink_.resetBlink();
        return true;
    case KindZoom:
        if (view)
            view->VCShowGraph(true);
        calc_.notificationCenter().post(VQZoomPlot, &calc_, {{"zoom", record.opcode}});
        return true;
    case KindClrDraw:
        calc_.clearDrawing();
        return true;
    case KindClrControls: {
        auto state = calc_.lockState();
        calc_.ioControls.clear();
        state.unlock();
        post(VQShowControls);
        return true;
    }
    case KindDispControls:
        post(VQShowControls);
        return true;
    case KindWidgetAdded:
        return true;
    case KindGDBRecall:
        if (calc_.testMode == 0) {
            // A database that went or cannot be read is reported, and the graph keeps its
            // set-up.
            if (const int error = GDBManager::recallGDB(record.var.name); error != 0)
                calc_.showError({{"errorNum", error}});
            else if (view)
                view->VCGraphChanged();
        }
        return true;
    default:
        return false;
    }
}

void EntryEvaluator::showError(const Operand& record)
{
    Parser& parser = calc_.parser();
    EntryModel* entry = editors_.entry();
    // A program the line entered calls ends as one whether or not the stop came before it
    // started: the history keeps the line as entered.
    const std::optional<std::string> called = answering_ ? getProgramNameFromOps(*answering_) : std::nullopt;
    // So does a program's own run (a graph control's label, the debugger's Run): its item
    // names the program. One that showed nothing has only the break to show.
    const bool own = programRun_ || std::exchange(ownWaits_, false);
    const bool ownRun = own && !calc_.programRunning;
    // The run's end is its own: a field in front keeps its line, its place and its filter.
    const bool ownLine = ownsEntryLine();
    const bool runsEnd = (calc_.programRunning || called || own) && !calc_.question().asks();
    if (runsEnd) {
        calc_.programRunning = false;
        post(VQHideProgramOutput);
        std::string text;
        if (ProgramOutputManager* output = calc_.prgmOutputMgr.get()) {
            // The debugger's run started on a clear output: what is there its steps wrote.
            if (ownRun && !(calc_.prgmManager && !calc_.prgmManager->runStartedIn().empty()))
                output->clearHome();
            output->doBreakError(record.error);
            text = output->done();
        }
        // An answer's run is the run of the program the home line called, whichever of the
        // programs it called asked. The item is built apart from the entry line, which is
        // the run's (its call, an answer half typed: not entered) or a field's.
        const std::string& program = calledProgram_.empty() ? parser.currentProgramName() : calledProgram_;
        const Ops call = called || !own ? programCall(called ? *called : program) : ownRunCall(program);
        if (HistoryModel* history = entry ? editors_.history() : nullptr) {
            Operand shown = record;
            history->addEntry(call, text, HistoryEntry::kProgramScreen, shown);
        }
        if (ownLine) {
            if (entry)
                entry->clear();
            post(VQEnter);
            if (entry)
                entry->setFilter(EntryModel::AnyOp);
        }
    }
    if (entry && (ownLine || !runsEnd))
        entry->setErrorLocation(record.location);
    // An answer that failed is the answer's error: the program still waits for a good one.
    calc_.showError({{"errorNum", record.error},
                     {"programName", calc_.question().asks() ? std::string() : programName(record.name)},
                     {"tokenLocation", record.location}});
    parser.setError(0);
}

// ---- Helpers ----

void EntryEvaluator::showOutput()
{
    // The debugger shows the output in its own place.
    if (calc_.currentScreen() != kProgramOutput)
        calc_.showProgramOutput();
}

EntryEvaluator::Ops EntryEvaluator::programCall(const std::string& name) const
{
    Ops call{kProgram};
    for (std::size_t i = 0; i < name.size();)
        call.push_back(calc_.opCodeForChar(Utf8::next(name, i)));
    return call;
}

EntryEvaluator::Ops EntryEvaluator::ownRunCall(const std::string& otherwise) const
{
    // The debugger's steps and Runs are one run, whatever program they stand in.
    if (calc_.prgmManager)
        if (std::string started = calc_.prgmManager->runStartedIn(); !started.empty())
            return programCall(started);
    return programCall(ownName_.empty() ? otherwise : ownName_);
}

std::optional<std::string> EntryEvaluator::getProgramNameFromOps(const Ops& ops) const
{
    if (ops.size() < 2 || (ops[0] & 0xFFFF) != kProgram)
        return std::nullopt;
    std::string name;
    for (std::size_t i = 1; i < ops.size(); ++i) {
        const std::uint32_t t = ops[i] & 0xFFFF;
        if (t == kStatementEnd || t == kNewLine || t == kProgramNameEnd)
            break;
        const bool digit = t >= 0x30 && t <= 0x39;
        if (!Parser::isAlpha(static_cast<int>(t)) && (i == 1 || !digit))
            return std::nullopt;
        name += calc_.nameForOpcode(t);
    }
    return name;
}

void EntryEvaluator::addMatrixRows(int rows, int cols)
{
    EntryModel* entry = editors_.entry();
    // A matrix needs a row and a column; an empty template could not be filled in.
    if (!entry || !calc_.locked()->mathPrint || calc_.currentScreen() != 0 || rows <= 0 || cols <= 0)
        return;
    const std::uint32_t id = HistoryModel::nextTemplateID(entry->entryOps()) << 16;
    Ops ops{id | kOpenBracket};
    for (int r = 0; r < rows; ++r) {
        ops.push_back(id | kOpenBracket);
        for (int c = 0; c < cols; ++c) {
            if (c > 0)
                ops.push_back(id | kComma);
            ops.push_back(kZero);
        }
        ops.push_back(id | kCloseBracket);
    }
    ops.push_back(id | kCloseBracket);
    const int cursor = entry->entryCursor();
    entry->addOps(ops, true, true);
    entry->cursorSetIndex(cursor + 2);
    InsertMode::end(calc_.insert);
}

std::string EntryEvaluator::errString(int number) { return ErrorTable::errString(number); }

bool EntryEvaluator::isStatWizOp(std::uint32_t op)
{
    const std::uint32_t t = op & 0xFFFF;
    return (t >= 0xF2 && t <= 0xF9) || t == 0xFF || t == 0xBB32 || t == 0xBB33 || t == 0x2E || t == 0x2F;
}

std::uint32_t EntryEvaluator::listOpcodeFromName(std::string_view name) const
{
    if (Utf8::codePointCount(name) != 2 || !name.starts_with('L'))
        return 0;
    for (std::uint32_t i = 0; i < kBuiltInLists; ++i)
        if (calc_.nameForOpcode(kFirstList + i) == name)
            return kFirstList + i;
    return 0;
}

std::vector<std::string> EntryEvaluator::listNames() const
{
    auto state = calc_.lockState();
    std::vector<std::string> builtIn;
    std::vector<std::string> user;
    std::vector<std::string> reserved;
    for (std::uint32_t i = 0; i < kBuiltInLists; ++i)
        reserved.push_back(calc_.nameForOpcode(kFirstList + i));
    for (const std::string& name : reserved)
        if (calc_.state().lists.contains(name))
            builtIn.push_back(name);
    for (const auto& [name, list] : calc_.state().lists)
        if (std::find(reserved.begin(), reserved.end(), name) == reserved.end())
            user.push_back(name);
    std::sort(user.begin(), user.end(), caseInsensitiveLess);
    builtIn.insert(builtIn.end(), user.begin(), user.end());
    return builtIn;
}

void EntryEvaluator::deleteList(const std::string& name)
{
    auto state = calc_.lockState();
    calc_.eraseList(name);
    auto shown = std::find(calc_.state().statEditList.begin(), calc_.state().statEditList.end(), name);
    if (shown != calc_.state().statEditList.end())
        calc_.state().statEditList.erase(shown);
}

} // namespace orvenda
