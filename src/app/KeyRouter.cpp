#include "app/KeyRouter.h"

#include "app/CursorBlink.h"
#include "app/EntryEvaluator.h"
#include "app/EntryModel.h"
#include "app/HistoryModel.h"
#include "app/LineEditor.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "core/services/ImpactFeedback.h"
#include "eval/Parser.h"
#include "language/ErrorNumbers.h"
#include "language/Utf8.h"
#include "language/Vocabulary.h"
#include "pretty/InsertMode.h"
#include "pretty/PrettyPrint.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

namespace orvenda {

namespace {

using Ops = std::vector<std::uint32_t>;
using Range = std::pair<std::uint32_t, std::uint32_t>;

constexpr std::uint32_t kHomeOnlyFirst = 0xEF30;
constexpr std::uint32_t kHomeOnlyLast = 0xEF31;

// Tokens a key may type (the one-byte page, the key codes that are typed as tokens, then
// each two-byte page), in increasing order.
constexpr std::array kTypedTokens{
    Range{0x01, 0x25}, Range{0x27, 0x5B}, Range{0x5F, 0x5F}, Range{0x64, 0x7D}, Range{0x7F, 0x87},
    Range{0x89, 0x90}, Range{0x92, 0x97}, Range{0x9A, 0xA9}, Range{0xAB, 0xBA}, Range{0xBC, 0xE6},
    Range{0xE9, 0xEE}, Range{0xF0, 0xFF},
    Range{1024, 1024}, Range{1028, 1029}, Range{1042, 1042}, Range{1044, 1044}, Range{1050, 1052},
    Range{1054, 1054}, Range{1059, 1061}, Range{1071, 1072}, Range{1079, 1080},
    Range{0x5C00, 0x5C09}, Range{0x5C34, 0x5C46}, Range{0x5C50, 0x5C58}, Range{0x5C5F, 0x5C66},
    Range{0x5D00, 0x5D05},
    Range{0x5E10, 0x5E19}, Range{0x5E20, 0x5E2B}, Range{0x5E40, 0x5E45}, Range{0x5E80, 0x5E82}, Range{0x5EA0, 0x5EA9},
    Range{0x6000, 0x6009}, Range{0x6100, 0x6109}, Range{0x6200, 0x623C}, Range{0x6300, 0x633C},
    Range{0x7E00, 0x7E12}, Range{0xAA00, 0xAA09},
    Range{0xBB00, 0xBB52}, Range{0xBB54, 0xBB57}, Range{0xBB59, 0xBB5E}, Range{0xBB64, 0xBB67}, Range{0xBB6E, 0xBB7D},
    Range{0xBB7F, 0xBBA6}, Range{0xBBA8, 0xBBBA}, Range{0xBBBC, 0xBBCF}, Range{0xBBD1, 0xBBFF},
    Range{0xEF00, 0xEF16}, Range{0xEF30, 0xEF3C}, Range{0xEF41, 0xEF4F}, Range{0xEF5A, 0xEF5B}, Range{0xEF64, 0xEF65},
    Range{0xEF67, 0xEF67}, Range{0xEF92, 0xEF98},
};

// The field screens, whose entry line is always the one-line cursor.
bool fieldScreen(int s)
{
    switch (s) {
    case 3: case 4: case 5: case 6: case 7: case 8: case 11: case 12: case 14: case 15: case 16: case 21: case 23:
        return true;
    default:
        return false;
    }
}

// Screens that take a picked variable or program name into the entry line.
bool takesNames(int s) { return s == 0 || (fieldScreen(s) && s != 8) || s == 10 || s == 20 || s == 22; }

constexpr int kYEqScreen = 1;
constexpr int kProgramEditor = 2;
constexpr int kListEditor = 4;
constexpr int kStatWizard = 23;
constexpr int kTableScreen = 5;
constexpr int kTableSetup = 6;
constexpr int kWindowScreen = 7;
constexpr int kGraphScreen = 8;

} // namespace

KeyRouter::KeyRouter(Calculator& calc, EntryEvaluator& evaluator, CursorBlink& blink)
    : calc_(calc), evaluator_(evaluator), blink_(blink), editors_(calc)
{
    evaluator_.setAnsweredHandler([this] { releaseHeld(); });
    // The keys typed after the stop are held behind the break it brings: a stop made by a
    // held key as it acts comes right after that key.
    calc_.parser().programQueue().setStoppedHandler([this] {
        if (releasing_)
            held_.push_front({nullptr, 0, true});
        else if (!held_.empty() || holding())
            held_.push_back({nullptr, 0, true});
    });
}

KeyRouter::~KeyRouter()
{
    evaluator_.setAnsweredHandler(nullptr);
    calc_.parser().programQueue().setStoppedHandler(nullptr);
}

bool KeyRouter::acceptsToken(std::uint32_t op)
{
    const std::uint32_t t = op & 0xFFFF;
    auto range = std::upper_bound(kTypedTokens.begin(), kTypedTokens.end(), t,
                                  [](std::uint32_t v, const Range& r) { return v < r.first; });
    return range != kTypedTokens.begin() && t <= std::prev(range)->second;
}

bool KeyRouter::homeLike(int s) const { return s == 0 || s == 10 || s == 20 || s == 22; }

bool KeyRouter::mathPrint() const
{
    // A program's MathPrint or Classic may be switching it.
    auto state = calc_.lockState();
    return calc_.state().mathPrint;
}

bool KeyRouter::historySelected() const
{
    const HistoryModel* history = editors_.history();
    return history && history->selectedEntry() >= 0;
}

void KeyRouter::post(std::string_view name) { calc_.notificationCenter().post(name, &calc_); }

int KeyRouter::prettyLine(LineEditor& editor, bool up) const
{
    PrettyPrint& printer = *calc_.prettyPrint;
    printer.setMutableOps(editor.currentOps().value_or(Ops()), editor.entryCursor(), calc_.insert, calc_.baseFontSize);
    return up ? printer.cursorUpFrom(editor.entryCursor()) : printer.cursorDownFrom(editor.entryCursor());
}

int KeyRouter::prettyEdge(LineEditor& editor, bool home) const
{
    PrettyPrint& printer = *calc_.prettyPrint;
    printer.setMutableOps(editor.currentOps().value_or(Ops()), editor.entryCursor(), calc_.insert, calc_.baseFontSize);
    return home ? printer.cursorHome() : printer.cursorEnd();
}

// ---- Keys ----

bool KeyRouter::processKeyOp(std::uint32_t op)
{
    const std::uint32_t t = op & 0xFFFF;
    if (shiftKey(t))
        return true;
    spendShift();
    // The shift layers above act at once: the keyboard reads them for the next press. The
    // ENTER that commits a screen being left belongs to that screen: it is never held. A
    // line whose ENTER still waits for its answer (a debugged run's answer, the run then
    // showing the graph) has been entered already.
    const int leaving = calc_.screenBeingLeft();
    if (leaving >= 0 && evaluator_.awaitingAnswer() && evaluator_.awaitedOn() == leaving) {
        // That line is spent: kept, it would wait for its screen as a line typed there and
        // come back, to be entered a second time where the user no longer sees it.
        if (EntryModel* entry = editors_.entry(); entry && !entry->entryOps().empty())
            entry->takeLineQuietly();
        return true;
    }
    if (leaving < 0 && holding())
        hold([this, op] { route(op); });
    else
        route(op);
    return true;
}

bool KeyRouter::holding() const
{
    if (releasing_)
        return false;
    if (!held_.empty())
        return true;
    // A program the run called, or runs, owns the keys on whichever screen it shows.
    return evaluator_.awaitingAnswer()
        && (evaluator_.awaitedOn() == calc_.currentScreen() || calc_.programRunning || evaluator_.awaitingProgram());
}

bool KeyRouter::programTakesKeys() const
{
    // A pause takes its keys where it shows; elsewhere they are the screen's.
    return (calc_.programRunning || calc_.menuRunning) && !calc_.question().asks() && !calc_.pauseRunning;
}

bool KeyRouter::programOwnsKeys() const { return holding() || calc_.question().pausedInSight() || programTakesKeys(); }

void KeyRouter::press(std::function<void()> action, int getKeyCode)
{
    if (!holding()) {
        action();
        return;
    }
    hold(std::move(action), getKeyCode);
}

void KeyRouter::spendShift()
{
    calc_.secondShift = false;
    if (!calc_.alphaLock) {
        calc_.alphaShift = false;
        calc_.lowercaseLock = false;
    }
    blink_.resetBlink();
}

void KeyRouter::route(std::uint32_t op)
{
    // A line out of sight takes no key: it is neither edited nor run. The ENTER that commits
    // a screen being left still acts.
    if (lineCovered_ && calc_.screenBeingLeft() < 0 && lineCovered_())
        return;
    settleTemplateInsert();
    if (!editingKey(op & 0xFFFF) && acceptsToken(op))
        insertToken(op);
}

void KeyRouter::hold(std::function<void()> action, int getKeyCode)
{
    // Should the run end with no record (a stop's race), the queue's word that it ran dry
    // frees the keys.
    held_.push_back({std::move(action), calc_.typedKeys.push(getKeyCode)});
}

void KeyRouter::releaseHeld()
{
    // Keys typed while ENTER waited belong to the next entry line, also when the run ended
    // in an error or a break: the failed line stays in ENTRY's recall, not under the keys.
    // A field screen keeps a failed value typed for mending, with the keys after it.
    if (!held_.empty() && !evaluator_.awaitingAnswer() && evaluator_.answerFailed() && calc_.currentScreen() == 0)
        if (EntryModel* entry = editors_.entry(); entry && !entry->entryOps().empty())
            entry->startNewEntry();
    if (releasing_)
        return;
    // The home screen shows its answer before the keys held for it act: brought forward
    // after them, it would hide a menu they opened. (A field screen redraws as its keys
    // come; brought forward again it would lose its place, as the table its row.)
    if (!held_.empty() && !evaluator_.awaitingAnswer() && calc_.currentScreen() == 0)
        calc_.updateDisplay();
    // A held ENTER waits again; the keys after it stay held for its answer.
    while (!held_.empty() && !evaluator_.awaitingAnswer()) {
        Held key = std::move(held_.front());
        held_.pop_front();
        if (key.stop) {
            afterStop_ = true;
            continue;
        }
        // A key the program read has done all it does.
        if (!calc_.typedKeys.claim(key.offered) || !key.action)
            continue;
        releasing_ = true;
        key.action();
        releasing_ = false;
    }
    if (held_.empty())
        afterStop_ = false;
}

bool KeyRouter::shiftKey(std::uint32_t t)
{
    switch (t) {
    case kAlphaLock:
        calc_.alphaShift = true;
        calc_.alphaLock = true;
        calc_.secondShift = false;
        break;
    case kAlpha:
        calc_.alphaShift = !calc_.alphaShift;
        calc_.alphaLock = false;
        calc_.secondShift = false;
        break;
    case kSecond:
        calc_.secondShift = !calc_.secondShift;
        calc_.alphaShift = false;
        calc_.alphaLock = false;
        calc_.lowercaseLock = false;
        break;
    default:
        return false;
    }
    blink_.resetBlink();
    return true;
}

bool KeyRouter::editingKey(std::uint32_t t)
{
    EntryModel* entry = editors_.entry();
    switch (t) {
    case kDel: deleteKey(); return true;
    case kIns: insertKey(); return true;
    case kClear: clear(); return true;
    case kLeft:
    case kRight: leftRight(t == kLeft); return true;
    case kUp:
    case kDown: upDown(t == kUp); return true;
    case kHome:
    case kEnd: homeEnd(t == kHome); return true;
    case kEntry: evaluator_.entry(); return true;
    case kEnter: enterKey(); return true;
    case kFileTop: fileTop(); return true;
    case kFileBottom: fileBottom(); return true;
    case kSolve:
        if (calc_.currentScreen() == 10 || calc_.currentScreen() == 12)
            post(VQSolve);
        else if (entry)
            entry->addOpcode(t, calc_.insert != 0);
        return true;
    case kBreak:
        if (entry)
            entry->addOpcode(t, false);
        enterKey();
        return true;
    case kUndo: undoKey(); return true;
    case kRedo:
        if (LineEditor* editor = editors_.editorInFront())
            editor->redo();
        return true;
    case kFontUp: fontSize(1); return true;
    case kFontDown: fontSize(-1); return true;
    default:
        return false;
    }
}

KeyRouter::Target KeyRouter::editorTarget(bool entryWhileDebugging) const
{
    const int s = calc_.currentScreen();
    if (fieldScreen(s))
        return {editors_.entry(), false, true};
    if (homeLike(s))
        return {editors_.entry(), mathPrint(), true};
    if (s == kProgramEditor)
        return {entryWhileDebugging ? editors_.programOrEntry() : editors_.program(), false, true};
    if (s == kYEqScreen)
        return {editors_.yEq(), mathPrint(), true};
    return {};
}

void KeyRouter::deleteKey()
{
    if (homeLike(calc_.currentScreen()) && mathPrint() && historySelected()) {
        editors_.history()->deleteEntry();
        return;
    }
    const Target target = editorTarget(true);
    if (!target.editor)
        return;
    if (target.twoDimensional)
        target.editor->prettyDeleteOpcode();
    else
        target.editor->deleteOpcode();
}

void KeyRouter::insertKey()
{
    // INS toggles the user's own insert mode, as on the Classic home: the mode a template's
    // op switched on is not the user's, so INS there turns insert on, and off again it leaves
    // the template's (typing on a template's op inserts whatever the user chose).
    InsertMode::toggle(calc_.insert);
    const int s = calc_.currentScreen();
    if (s == kListEditor || s == kTableScreen) {
        if (EntryModel* entry = editors_.entry())
            entry->doInsertOp();
        return;
    }
    if (!InsertMode::inserts(calc_.insert)) {
        templateInsertAtCursor();
        return;
    }
    if (!mathPrint() || (s != 0 && s != kYEqScreen))
        return;
    // Inserting needs an op at the cursor to insert before; past the end it means nothing.
    LineEditor* editor = editors_.editorFor(s);
    if (!editor)
        return;
    const auto ops = editor->currentOps();
    const int at = editor->entryCursor();
    if (!ops || at < 0 || at >= static_cast<int>(ops->size()) || (*ops)[static_cast<std::size_t>(at)] == 0)
        InsertMode::end(calc_.insert);
}

void KeyRouter::leftRight(bool left)
{
    const Target target = editorTarget(false);
    if (!target.editorScreen || (homeLike(calc_.currentScreen()) && mathPrint() && historySelected())) {
        post(left ? VQCursorLeft : VQCursorRight);
        return;
    }
    if (!target.editor)
        return;
    // A move ends INS's insert mode in either form, as on the Classic home: a line cleared
    // and typed again under it reads the same keys the same way.
    if (target.twoDimensional) {
        left ? target.editor->prettyCursorLeft() : target.editor->prettyCursorRight();
        InsertMode::moved(calc_.insert);
        settleTemplateInsert();
    } else {
        InsertMode::end(calc_.insert);
        left ? target.editor->cursorLeft() : target.editor->cursorRight();
    }
}

void KeyRouter::settleTemplateInsert()
{
    if (calc_.insert != InsertMode::kAtTemplate)
        return;
    const LineEditor* editor = editors_.editorInFront();
    const auto ops = editor ? editor->currentOps() : std::nullopt;
    if (ops)
        InsertMode::settle(calc_.insert, *ops, editor->entryCursor());
    else
        InsertMode::endTemplate(calc_.insert);
}

void KeyRouter::templateInsertAtCursor()
{
    if (!mathPrint())
        return;
    const LineEditor* editor = editors_.editorInFront();
    const auto ops = editor ? editor->currentOps() : std::nullopt;
    if (ops && !PrettyEditor::canOverwriteAt(*ops, editor->entryCursor()))
        InsertMode::atTemplate(calc_.insert);
}

void KeyRouter::upDown(bool up)
{
    InsertMode::end(calc_.insert);
    const int s = calc_.currentScreen();
    const bool m = mathPrint();
    EntryModel* entry = editors_.entry();
    auto plain = [up](LineEditor* editor) {
        if (editor)
            up ? editor->cursorUp() : editor->cursorDown();
    };
    if (fieldScreen(s) || ((s == 10 || s == 22) && !m) || (s == 0 && !m)) {
        plain(entry);
    } else if (s == 10 || s == 20 || s == 22) {
        // The polynomial's field is drawn as a formula: UP and DOWN move within its
        // fraction or power first, then between the lines.
        const int line = s == 20 && m && entry ? prettyLine(*entry, up) : -1;
        if (line >= 0)
            entry->cursorSetIndex(line);
        else
            post(up ? VQCursorUp : VQCursorDown);
    } else if (s == kProgramEditor) {
        plain(editors_.program());
    } else if (s == kYEqScreen) {
        LineEditor* yEq = editors_.yEq();
        const auto ops = yEq ? yEq->currentOps() : std::nullopt;
        // Without an equation there is no line to move within: on to the next equation.
        if (!m || !ops || ops->empty()) {
            plain(yEq);
            return;
        }
        const int line = prettyLine(*yEq, up);
        if (line >= 0)
            yEq->setEntryCursor(line);
        else
            plain(yEq);
    } else if (s == 0 && entry) {
        HistoryModel* history = editors_.history();
        if (historySelected()) {
            up ? history->cursorUp() : history->cursorDown();
            post(up ? VQCursorUp : VQCursorDown);
            return;
        }
        const int line = prettyLine(*entry, up);
        if (line >= 0)
            entry->cursorSetIndex(line);
        else if (up && history)
            history->cursorUp();
    } else if (s != 0) {
        post(up ? VQCursorUp : VQCursorDown);
    }
}

void KeyRouter::homeEnd(bool home)
{
    InsertMode::end(calc_.insert);
    const int s = calc_.currentScreen();
    EntryModel* entry = editors_.entry();
    LineEditor* editor = nullptr;
    if (fieldScreen(s) && s != kListEditor) {
        editor = entry;
    } else if (homeLike(s)) {
        if (mathPrint() && historySelected()) {
            post(home ? VQCursorHome : VQCursorEnd);
            return;
        }
        if (mathPrint() && entry) {
            entry->cursorSetIndex(prettyEdge(*entry, home));
            return;
        }
        editor = entry;
    } else if (s == kProgramEditor) {
        editor = editors_.programOrEntry();
    } else if (s == kYEqScreen) {
        editor = editors_.yEq();
    }
    if (editor)
        home ? editor->cursorHome() : editor->cursorEnd();
}

void KeyRouter::enterKey()
{
    const int s = calc_.currentScreen();
    EntryModel* entry = editors_.entry();
    switch (s) {
    case 0:
        if (!entry)
            return;
        if (mathPrint() && historySelected()) {
            // ENTER on a history item copies it to the entry line; nothing is evaluated.
            HistoryModel* history = editors_.history();
            if (auto selected = history->selectedOps()) {
                Ops ops = PrettyPrint::beautifyOps(*selected);
                HistoryModel::renumberOpsForMergeWith(ops, entry->entryOps());
                entry->addOps(ops, calc_.insert != 0, true);
            }
            return;
        }
        {
            Ops closed = entry->entryOps();
            PrettyPrint::closeParens(closed);
            if (closed != entry->entryOps())
                entry->forceOps(closed);
        }
        evaluator_.enter();
        return;
    case kYEqScreen:
    case kProgramEditor:
        if (LineEditor* editor = editors_.editorFor(s))
            editor->enter();
        return;
    case kGraphScreen:
        if (entry)
            entry->cursorDown();
        return;
    case kTableSetup:
    case kWindowScreen:
    case kStatWizard:
        // A form's field commits at once, as DOWN does: a key typed right after ENTER
        // belongs to the next field, not to the text still waiting for its answer (and a
        // list or an equation named in a field is taken as a name, not evaluated).
        post(VQCursorDown);
        return;
    case 3:
    case 14:
    case 15:
    case 16:
    case 19:
    case 20:
    case 21:
    case 22:
        post(VQEnter);
        return;
    default:
        // A screen without an entry line (the stat plots, the periodic table, FORMAT) has
        // nothing to enter: the home screen's line behind it is not run.
        if (editorTarget(true).editor)
            evaluator_.enter();
        return;
    }
}

void KeyRouter::undoKey()
{
    const Target target = editorTarget(false);
    if (!target.editor)
        return;
    target.editor->undo();
    if (target.twoDimensional)
        InsertMode::end(calc_.insert);
}

void KeyRouter::fileTop()
{
    const int s = calc_.currentScreen();
    if (s == kProgramEditor) {
        if (LineEditor* program = editors_.program())
            program->cursorTop();
    } else if (s == 0) {
        if (HistoryModel* history = editors_.history()) {
            history->setSelectedEntry(0);
            history->cursorUp();
        }
    } else {
        post(VQCursorTop);
    }
}

void KeyRouter::fileBottom()
{
    const int s = calc_.currentScreen();
    if (s == kProgramEditor) {
        if (LineEditor* program = editors_.program())
            program->cursorBottom();
    } else if (s == 0) {
        EntryModel* entry = editors_.entry();
        if (!mathPrint() || !entry)
            return;
        if (HistoryModel* history = editors_.history())
            history->setSelectedEntry(-1);
        // Back on the entry line, which redraws with its cursor.
        entry->cursorSetIndex(entry->entryCursor());
    } else {
        post(VQCursorBottom);
    }
}

void KeyRouter::fontSize(int step)
{
    const bool tablet = calc_.device == 1;
    const double smallest = tablet ? 20 : 10;
    const double largest = tablet ? 72 : 48;
    calc_.baseFontSize = std::clamp(calc_.baseFontSize + step, smallest, largest);
}

void KeyRouter::insertToken(std::uint32_t op)
{
    const std::uint32_t t = op & 0xFFFF;
    if (t >= kHomeOnlyFirst && t <= kHomeOnlyLast) {
        EntryModel* entry = editors_.entry();
        if (calc_.currentScreen() == 0 && entry)
            entry->addOpcode(op, calc_.insert != 0);
        return;
    }
    // The debugger shows its entry line only while an Input or Prompt waits for it: a key
    // typed otherwise (one its getKey did not read) types nothing out of sight.
    if (calc_.currentScreen() == kProgramEditor && editors_.debugging() && !calc_.question().asks())
        return;
    const Target target = editorTarget(true);
    if (!target.editor)
        return;
    if (target.twoDimensional)
        target.editor->prettyAddOp(op);
    else
        target.editor->addOpcode(op, calc_.insert != 0);
}

// ---- Names, clear, quoting ----

void KeyRouter::processRealKeyOp(std::uint32_t op)
{
    if (LineEditor* editor = editors_.editorInFront())
        op = editor->transformOp(op);
    processKeyOp(op);
}

bool KeyRouter::editIsQuoting() const
{
    const LineEditor* editor = editors_.editorInFront();
    return editor && editor->isQuoting();
}

void KeyRouter::backspace(const std::function<void(std::uint32_t op)>& send)
{
    const LineEditor* editor = editors_.editorInFront();
    // Only INS's insert mode keeps the character: the one a template's op switched on
    // marks where typing inserts, not a choice of the user's.
    const bool insert = InsertMode::insOn(calc_.insert);
    const bool stepsOver = !editor || editor->entryCursor() > 0;
    if (!stepsOver && !editor->currentOps().value_or(Ops()).empty())
        return;
    if (stepsOver) {
        send(kLeft);
        // LEFT ends insert mode; an insert-mode Backspace only steps.
        InsertMode::setIns(calc_.insert, insert);
    }
    if (!insert)
        send(kDel);
}

void KeyRouter::processVariable(std::string_view name)
{
    settleTemplateInsert();
    const int s = calc_.currentScreen();
    LineEditor* editor = nullptr;
    if (takesNames(s))
        editor = editors_.entry();
    else if (s == kYEqScreen)
        editor = editors_.yEq();
    else if (s == kProgramEditor)
        editor = editors_.programOrEntry();
    if (!editor)
        return;
    editor->addVariable(name, calc_.insert != 0);
    blink_.resetBlink();
}

void KeyRouter::processProgramName(std::string_view name)
{
    settleTemplateInsert();
    const int s = calc_.currentScreen();
    if (takesNames(s)) {
        if (EntryModel* entry = editors_.entry()) {
            entry->addProgramName(name, calc_.insert != 0);
            blink_.resetBlink();
        }
    } else if (s == kProgramEditor) {
        if (LineEditor* editor = editors_.programOrEntry())
            editor->addProgramName(name, calc_.insert != 0);
    }
}

LineEditor* KeyRouter::pasteTarget() const
{
    if (lineCovered_ && lineCovered_())
        return nullptr;
    if (calc_.currentScreen() == kProgramEditor && editors_.debugging() && !calc_.question().asks())
        return nullptr;
    return editorTarget(true).editor;
}

void KeyRouter::paste(const std::vector<std::uint32_t>& ops)
{
    if (ops.empty() || !pasteTarget())
        return;
    // The commands only the home screen takes.
    if (calc_.currentScreen() != 0)
        for (const std::uint32_t op : ops)
            if ((op & 0xFFFF) >= kHomeOnlyFirst && (op & 0xFFFF) <= kHomeOnlyLast)
                return;
    settleTemplateInsert();
    if (LineEditor* editor = pasteTarget()) {
        editor->pasteOps(ops);
        blink_.resetBlink();
    }
}

void KeyRouter::refuseLongPaste()
{
    // The program editor says it of its program, as its own keys do.
    if (const LineEditor* editor = pasteTarget())
        calc_.showError(editor == editors_.program() ? nlohmann::json{{"errorNum", int{ErrProgramSize}}}
                                                     : EntryManager::tooLongReport());
}

void KeyRouter::clear()
{
    editors_.clear();
    // The cleared line starts afresh: no template's insert mode is left over for the
    // Backspace of the next line (a cleared line's undo still restores the mode). INS's
    // own stays on, as on the Classic home.
    InsertMode::endTemplate(calc_.insert);
}

// ---- Click and cursor ----

void KeyRouter::doKeyClick()
{
    if (calc_.clickMute || !calc_.clickPref)
        return;
    if (clickSound_)
        clickSound_();
    if (!keyClicker_)
        keyClicker_ = ImpactFeedback::generatorWithStyle(ImpactFeedback::Style::Light);
    if (keyClicker_)
        keyClicker_->impactOccurred();
}

int KeyRouter::cursorChar() const
{
    if (!calc_.cursorVisible)
        return 0;
    if (calc_.secondShift)
        return kCursorSecond;
    if (!calc_.alphaLock && !calc_.alphaShift)
        return kCursorCell;
    return calc_.lowercaseLock ? kCursorLowercase : kCursorAlpha;
}

std::vector<std::uint8_t> KeyRouter::currentEntryWithCursor() const
{
    std::vector<std::uint8_t> bytes;
    const EntryModel* entry = editors_.entry();
    if (!entry)
        return bytes;
    const Vocabulary& vocabulary = Vocabulary::shared();
    const std::string text = entry->text();
    for (std::size_t i = 0; i < text.size();)
        bytes.push_back(vocabulary.translatedChar(Utf8::next(text, i)));
    if (!calc_.cursorVisible)
        return bytes;
    const auto glyph = static_cast<std::uint8_t>(cursorChar() + (calc_.insert != 0 ? kInsertGlyphs : 0));
    const auto at = static_cast<std::size_t>(std::max(entry->expandedCursor(), 0));
    if (at >= bytes.size())
        bytes.push_back(glyph);
    else
        bytes[at] = glyph;
    return bytes;
}

} // namespace orvenda
