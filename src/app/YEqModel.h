#pragma once

#include "core/LeafMutex.h"

#include "app/LineEditor.h"
#include "core/VQColor.h"
#include "core/YEqIntegrate.h"
#include "core/StateMutex.h"
#include "core/YEqVarInfo.h"
#include "core/services/YEqManager.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace orvenda {

class Calculator;
class PrettyPrint;

// Every equation that can be graphed, in 45 slots: Y1..Y9, Y0 (0-9), the equation solver's
// function (10), six parametric pairs (11-22), r1..r6 (23-28), u, v, w (29-31) and their
// initial values (32-34), and ten implicit relations (35-44). Each slot has its tokens, a
// cached compiled form, a colour, a flag word (bit 0 selected, bits 1-6 the line style)
// and the free variables offered as sliders; Y1..Y0 also have an integral shading. The
// Y= editor edits the current slot at the cursor, with undo.
//
// Thread-safe (see YEqManager): one lock guards the model, always taken after the
// calculator's state lock (a program's worker holds that one already when it reads an
// equation), so the slider values and initial values it keeps in the calculator's
// variables are read and written under both, in the one order every thread takes them in.
// Nothing else outside the model is called while it is held: compiling and evaluating
// happen outside it, and notifications and error reports are delivered after both are
// released. Editing, cursor moves and undo are
// main-thread operations; notifications of undo snapshots are posted only on the thread
// that created the model (the main thread).
//
// On the Y= screen the keys edit the current equation through the LineEditor side; the
// MathPrint forms use the model's own pretty printer (which needs a QGuiApplication).
class YEqModel : public YEqManager, public LineEditor {
public:
    using Ops = YEqManager::Ops;

    static constexpr int kSlotCount = 45;
    static constexpr int kIntegralCount = 10;
    static constexpr int kMaxUndo = 50;
    static constexpr int kDefaultFlags = 2;
    static constexpr int kSelected = 1;
    static constexpr int kStyleMask = 0x7E;
    // What getOpAt answers outside the equation.
    static constexpr std::uint32_t kNoOp = 0xEFA0;

    // The state an undo step goes back to.
    struct Snapshot {
        Ops ops;
        int cursor = 0;
        int function = 0;
        VQColor color;
        int flags = kDefaultFlags;
        // The slider lists of every slot, when the snapshot has them.
        std::optional<std::vector<std::optional<std::vector<YEqVarInfo>>>> vars;
    };

    explicit YEqModel(Calculator& calc);
    ~YEqModel() override;
    YEqModel(const YEqModel&) = delete;
    // The calculator's Y= manager when it is this model; null otherwise.
    static YEqModel* of(const Calculator& calc);
    YEqModel& operator=(const YEqModel&) = delete;

    // ---- Slots ----

    // -1 for a token that names no slot.
    static int indexForEquation(int token);
    // -1 for an index outside 0..44.
    static int equationForIndex(int index);
    // 0 function, 1 parametric, 2 polar, 3 sequence, 4 implicit; 0 for other tokens.
    static int functionType(int token);
    // The first and last slot the editor shows in a graph mode (0..4; others: functions).
    static int firstIndexForMode(int graphMode);
    static int lastIndexForMode(int graphMode);

    // ---- Reading ----

    // The tokens of an equation (for u0, v0, w0 the initial-value tokens); nothing outside
    // the slots.
    std::optional<Ops> equationOps(int token) const;
    std::optional<Ops> equationOpsWithIndex(int index) const;
    // The slot's own tokens (initial values have none of their own).
    std::optional<Ops> getYEqFuncOps(int token) const;
    std::optional<Ops> plotForFunction(int token) const override;
    Ops currentYEqOps() const;
    // The token of the equation being edited.
    int selectedEqNum() const;
    std::string eqString(int token) const override;
    // The equation is the one being edited.
    bool isSelected(int token) const;
    // The cursor when the equation is being edited, else -1.
    int cursorPositionForFunction(int token) const;
    // Selected for plotting; a parametric pair only when both members are.
    bool shouldPlotFunction(int token) const override;
    // 2, 4, 8, 10, 16, 18 or 32 (anything else reads as 2); 0 outside the slots.
    int styleForFunction(int token) const;
    std::optional<VQColor> colorForFunction(int token) const;
    // Only Y1..Y0 have one.
    std::optional<YEqIntegrate> integrationLimitsForFunction(int token) const;
    // The graph screen's calculate menu and the plots set the shading through this.
    void setIntegrationLimits(int token, const YEqIntegrate& limits);
    int numSeqInitializersFor(int token) const override;
    int seqFlagsFor(int token) override;

    // The first equation of the graph mode that is selected and does not compile: its
    // error is shown (with the equation and the error's place, so that the alert leads
    // back to it) and true returned; false when all compile. Main thread.
    bool reportFaultySelected();

    int entryCursor() const override;
    void setEntryCursor(int cursor) override;
    int currentFunction() const;
    void setCurrentFunction(int index);
    // The variable the solver's function is plotted against.
    int solverVar() const override { return solverVar_.load(); }
    void setSolverVar(int varNum) { solverVar_.store(varNum); }

    // ---- Selection, style and colour ----

    // Selected only when it has tokens; u0..w0 act on their sequence, a parametric member
    // on its pair.
    void setFunctionIndex(int index, bool plotVisible);
    void setFunction(int token, bool plotVisible) override;
    void hideAllFunctions();
    // Stores the flag word, with an undo step when it changes.
    void changeFlagAt(int index, int flags);
    // The line style (bits 1-6); an implicit relation in implicit mode also gets the
    // matching relation in its text.
    void setStyle(int style, int forFunction);
    void setColor(const VQColor& color, int forFunction) override;
    // Style bits (bit 0 also selects; it is never cleared here) and colour, in one undo
    // step; nothing when neither changes.
    void setStyle(int style, const VQColor& color, int forFunction) override;
    // In implicit mode: the current equation's style follows its last relation.
    void updateStyle();
    // Cursor to the first equation of the graph mode.
    void changeMode(int graphMode) override;

    // ---- Whole equations ----

    int setYEqFunc(int token, const Ops& ops) override;
    // The style record of a TI variable file: flags as style, colour bytes 0..255.
    void setYEqFunc(int token, int flags, int red, int green, int blue);
    void setYEqFunc(int token, int varNum, double value, double step, double max, double min) override;
    void deleteEquation(int token) override;
    void clearAll() override;

    // ---- Sequence initial values ----

    std::optional<Ops> seqInitOps(int token) const;
    // 1 or 2 values stored into the sequence's variables and shown as tokens; any other
    // count empties them.
    void setSeqInitOpsForEq(int token, int numValues, double n1, double n2);
    int initSeq(int token, const VQList* list) override;
    // Takes the values of the initial value being edited from the tokens typed on its row;
    // false when they fail: the error is told and the cursor stands on it.
    bool getSeqInitValue();
    // Takes the values of every initial value whose row holds tokens typed and not yet
    // taken; false when one fails (told when tell is set; its row keeps what was typed).
    bool enterTypedInitialValues(bool tell);
    void enterShownValues() override { enterTypedInitialValues(true); }

    // ---- Undo ----

    void saveUndo();
    void undo() override;
    void redo() override;
    bool canUndo() const;
    bool canRedo() const;
    void clearUndo();
    Snapshot getState() const;
    void setState(const Snapshot& state);

    // Re-derives the inequality style and tells the editor to redraw.
    void updateScreen();

    // ---- Editing the current equation ----

    void addOpcode(std::uint32_t op, bool insert, bool enableUndo);
    // A typed key: with an undo step.
    void addOpcode(std::uint32_t op, bool insert) override { addOpcode(op, insert, true); }
    // A typed key in MathPrint: templates bring their parts, in one undo step.
    void prettyAddOp(std::uint32_t op) override;
    void addOps(const Ops& ops, bool insert, bool enableUndo);
    void pasteOps(const Ops& ops) override;
    // A list name picked from a menu.
    void addVariable(std::string_view name, bool insert) override;
    // Program names are not typed into equations.
    void addProgramName(std::string_view, bool) override {}
    void deleteOpcode() override;
    // Delete in MathPrint: templates go whole or are unwrapped.
    void prettyDeleteOpcode() override;
    void clear() override;
    void enter() override;
    std::uint32_t getOpAt(int index) const;
    std::optional<Ops> currentOps() const override { return currentYEqOps(); }
    // The cursor stands inside a string; this one also brings the cursor back into the
    // equation.
    bool isQuoting();
    bool isQuoting() const override;
    std::uint32_t transformOp(std::uint32_t op) override { return op; }
    std::uint32_t closestOp() const { return 0; }

    // ---- Cursor ----

    void cursorLeft() override;
    void cursorRight() override;
    // MathPrint moves, over template parts.
    void prettyCursorLeft() override;
    void prettyCursorRight() override;
    void cursorHome() override;
    void cursorEnd() override;
    void cursorUp() override;
    void cursorDown() override;
    // A touch on an equation: leaves the current one only when it compiles.
    void setCursorOnFunction(int token, int position);
    // "Y1=..." with the cursor as a character index (-99 when not being edited).
    std::string equationString(int token, int& cursorPosition);

    // ---- Compilation ----

    std::shared_ptr<VQStack> rpnForFunction(int token) override;
    // A relation L rel R compiled as L-(R), never from the cache; null for more than one
    // relation. isEquality: the relation is "=".
    std::shared_ptr<VQStack> rpnForImplicitFunction(int token, bool& isEquality);
    // Compiles without caching; on an error shows it, puts the cursor on the error token
    // and answers false.
    bool validateFunction(int token);
    // A sequence with its own previous term u(η-1) read as X, for the web plot.
    std::optional<Ops> webTraceForFunction(int token);
    std::shared_ptr<VQStack> webTraceRPNForFunction(int token);

    // ---- Slider variables ----

    std::optional<std::vector<YEqVarInfo>> varInforForFunction(int token);
    // The tokens of the variables A..Z, θ, η a compiled form refers to, other than base.
    static void addVarsForFn(const VQStack& fn, int baseToken, std::set<int>& into);

    nlohmann::json encode() const override;
    void decode(const nlohmann::json& archive) override;

private:
    struct Slot {
        Ops ops;
        std::shared_ptr<VQStack> rpn;
        VQColor color;
        int flags = kDefaultFlags;
        std::optional<std::vector<YEqVarInfo>> vars;
        // Counts changes of ops, so a form compiled outside the lock is cached only when
        // the tokens did not change meanwhile.
        unsigned generation = 0;
    };
    // A notification or error report, delivered once the lock is released.
    struct Outgoing {
        std::string_view notification;
        int error = 0;
        // What the alert says in place of the error's text; none for its own.
        std::string message;
    };
    // What a key's op does in two-dimensional form (PrettyPrint::enterOp), without an undo
    // step of its own; takes the lock itself.
    void enterPretty(std::uint32_t op);
    class Guard;
    // The calculator's state lock, then the model's own.
    class Lock {
    public:
        explicit Lock(const YEqModel& model) : state_(model.stateMutex_), model_(model.mutex_) {}
        void unlock()
        {
            model_.unlock();
            state_.unlock();
        }

    private:
        std::unique_lock<StateMutex> state_;
        std::unique_lock<LeafMutex> model_;
    };

    // Everything below expects the lock to be held.
    void resetSlot(int index);
    void clearAllLocked();
    // The tokens the editor shows for a slot (u0..w0: the initial values); null outside.
    Ops* editableOps(int index);
    const Ops* readableOps(int index) const;
    void buildSeqInitOps() const;
    void invalidate(int index, bool withVars);
    void setFunctionIndexLocked(int index, bool plotVisible);
    void setStyleColorLocked(int style, const VQColor& color, int index);
    void setSeqInitOpsLocked(int seq, int numValues, double n1, double n2);
    // The initial value's row shows tokens typed that its values do not give.
    bool typedInitialValueLocked(int seq) const;
    bool enterInitialValue(int seq, bool tell);
    void saveUndoLocked();
    // Goes back to the last state of `from`, keeping the present one on `to`.
    void step(std::deque<Snapshot>& from, std::deque<Snapshot>& to);
    Snapshot stateLocked() const;
    void setStateLocked(const Snapshot& state);
    void updateStyleLocked();
    void updateScreenLocked();
    // The op is the current equation's own name, which it may not hold.
    bool refusesLocked(std::uint32_t op) const;
    void addOpcodeLocked(std::uint32_t op, bool insert);
    void cursorStepLocked(int delta);
    // The model's pretty printer loaded with the current equation at the cursor.
    PrettyPrint& loadPrinterLocked();
    void deletedLocked();
    // Up (-1) or down (1) a row of the editor, once the current equation compiles.
    void moveRow(int step);
    std::vector<YEqVarInfo> buildVarInfo(int index, int partner) const;
    void post(std::string_view notification);
    void report(int error);
    // Whether the current equation takes `more` ops (as a line does); if not, error 93.
    bool fitsLocked(std::size_t more);
    template <class T>
    T locked(const T& field) const
    {
        const Lock lock(*this);
        return field;
    }
    // What read takes from the token's slot; nothing outside the slots.
    template <class Read>
    auto fromSlot(int token, Read read) const -> std::optional<decltype(read(std::declval<const Slot&>()))>
    {
        const int index = indexForEquation(token);
        if (index < 0)
            return std::nullopt;
        const Lock lock(*this);
        return read(slots_[static_cast<std::size_t>(index)]);
    }

    // Compiling and evaluating, outside the lock.
    struct Compiled {
        std::shared_ptr<VQStack> rpn;
        int error = 0;
        int errorToken = 0;
        int seqFlags = 0;
    };
    Compiled compile(int index, Ops ops);

    static nlohmann::json encodeSnapshot(const Snapshot& state);
    static std::optional<Snapshot> decodeSnapshot(const nlohmann::json& archive);

    Calculator& calc_;
    StateMutex& stateMutex_;
    const std::thread::id mainThread_;
    mutable LeafMutex mutex_;
    std::array<Slot, kSlotCount> slots_;
    std::array<YEqIntegrate, kIntegralCount> integrals_;
    int entryCursor_ = 0;
    int currentFunction_ = 0;
    // X until the solver sets it.
    std::atomic<int> solverVar_{23};
    std::deque<Snapshot> undo_;
    std::deque<Snapshot> redo_;
    // Built from the variables on first use.
    mutable std::optional<std::array<Ops, 3>> seqInitOps_;
    std::array<int, 3> seqInitializer_{};
    // An initial value's row was edited since its values were last taken.
    std::array<bool, 3> seqInitTyped_{};
    std::array<int, 3> seqFlags_{};
    std::vector<Outgoing> outbox_;
    // While above 0 a paste is going in: the screen is told once, at its end.
    int screenDeferred_ = 0;
    // Made on first use, on the main thread.
    std::unique_ptr<PrettyPrint> printer_;
};

} // namespace orvenda
