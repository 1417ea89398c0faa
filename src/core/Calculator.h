#pragma once


#include "core/AnsValue.h"
#include "core/ArchiveCost.h"
#include "core/GraphScale.h"
#include "core/NumberFormatter.h"
#include "core/StateMutex.h"
#include "core/TypedKeys.h"
#include "core/UserKeySet.h"
#include "core/VColor.h"
#include "core/VQColor.h"
#include "core/VQList.h"
#include "core/VQValue.h"
#include "core/VQMatrix.h"
#include "core/VQString.h"
#include "core/WaitingQuestion.h"
#include "language/TokenLineAnalysis.h"

#include <array>
#include <atomic>
#include <chrono>
#include <complex>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvenda {

class EntryManager;
class HistoryManager;
class ViewControlDelegate;
class YEqManager;
class StatGraphManager;
class ProgramManager;
class ProgramOutputManager;
class PrettyPrint;
class StatTests;
class SolverManager;
class VQStatistics;
class VQGraphPtArray;
class DrawObject;
struct Operand;
class NotificationCenter;
class Reachability;
class EquationEvaluator;
class Parser;
class ImpactFeedback;

// One variable slot as handed in and out of the store: the value, then the significance
// pair as signed bytes.
struct VariableRecord {
    std::complex<double> value;
    std::int8_t sigFig = 15;
    std::int8_t sigDec = -15;
};

// The locale patterns the time and date formats are derived from: the hour pattern of the
// "j" skeleton and the long date pattern of the "yMMMMd" skeleton (CLDR notation).
struct LocaleFormats {
    std::string hourFormat = "h a";
    std::string longDateFormat = "MMMM d, y";
};

// The one model object: every mode, the keyboard state, the variable store, lists,
// matrices and strings, the graph window and trace state, and the managers of the other
// areas. The process has one, reached through calculator(); tests build their own.
//
// Threads: the program queue's worker evaluates while the main thread evaluates editor
// fields, samples graphs and shows values. What a run may read or write (State: the modes,
// the graph format, the variables, lists, matrices and strings) is private and guarded by
// one state lock: the worker holds it for each statement it evaluates, every evaluation
// takes it, and so do the locking members below (the variable store, resets, mode setters,
// value text). Code that holds it reaches the state through state(), which checks that it
// does in Debug builds; other code through locked(), which takes it. Ans guards itself
// with the same lock; the Y= model has its own, the stat plot model is called under this one. The plain public fields (keyboard, trace, drawing, the screens' own settings)
// and the interface models (history, entry line, editors, views) belong to the main
// thread: work on them from an evaluation goes through onMainThread().
class Calculator {
    // First, so everything guarded by it can refer to it.
    mutable StateMutex stateMutex_;

public:
    using Ops = std::vector<std::uint32_t>;
    using TimePoint = std::chrono::system_clock::time_point;

    static constexpr int kVarCount = 218;
    static constexpr int kMatrixCount = 10;
    static constexpr int kStringCount = 10;
    static constexpr int kPixelSize = 284;
    static constexpr std::size_t kPixelBytes = std::size_t(kPixelSize) * kPixelSize * 4;
    static constexpr int kEnterKey = 1065;

    struct Bounds {
        double xMin = -10, xMax = 10, yMin = -10, yMax = 10;
        bool operator==(const Bounds&) const = default;
    };
    struct Point {
        double x = 0, y = 0;
    };
    struct TracePoint {
        double x = 0, y = 0, t = 0;
    };
    struct Rect {
        double x = 0, y = 0, width = 0, height = 0;
    };
    struct AffineTransform {
        double a = 0, b = 0, c = 0, d = 0, tx = 0, ty = 0;
    };

    // The settings a program run and the screens share: the modes that evaluation and
    // number text follow, and the graph format. Small enough to copy whole (settings()),
    // so a screen draws from one consistent copy.
    struct Settings {
        int numFormat = 0;
        int fractionFormat = 4;
        int answerFormat = 0;
        int numDigits = -1;
        int numBase = 0;
        int maxWidth = 15;
        char16_t thousandSeperator = u' ';
        int timeFormat = 0;
        int dateFormat = 0;
        bool mathPrint = true;
        int maxDenominator = 9999;
        bool fixDenominator = false;
        bool reduce = true;
        bool regressionDiagnostic = false;
        int tableMode = 0;
        int screenSplit = 0;

        // ---- Graph format ----
        int graphDisplayMode = 0;
        int graphComputeMode = 0;
        int graphXAxisLabelMode = 0;
        int graphFitModel = -1;
        int graphCoordFormat = 0;
        int graphSequenceFormat = 0;
        bool drawGrid = true;
        bool drawAxes = true;
        bool drawLabel = true;
        bool drawExpr = true;
        bool drawCoord = true;
        bool drawDyDx = false;
        bool whiteBackground = false;
        VQColor backgroundColor;
        VQColor gridColor;
        VQColor axesColor;
        int textColor = 20;
    };

    // What a program run and the screens share, guarded by the state lock: the settings and
    // the stored values. Reached through state() while the lock is held, or through
    // locked(), which takes it.
    struct State : Settings {
        // ---- Values and stores ----
        std::array<std::complex<double>, kVarCount> vars{};
        std::array<std::int32_t, kVarCount> varsSigFig{};
        std::array<std::int32_t, kVarCount> varsSigDec{};
        VQList tableList;
        std::map<std::string, VQList> lists;
        std::vector<std::string> statEditList;
        // [A]..[J].
        std::array<VQMatrix, kMatrixCount> matrices;
        // Str1..Str9, Str0.
        std::array<VQString, kStringCount> strings;
        Ops solverEq;
        Ops regExp;
        // The last regression's fit, which RegEQ and the regression text read.
        std::shared_ptr<VQStatistics> statistics;
    };

    // The state with the lock held for as long as the guard lives (the holder may take it
    // again): calc.locked()->vars[k], or one guard around several reads that belong
    // together.
    template <class S>
    class Guard {
    public:
        Guard(StateMutex& mutex, S& state) : lock_(mutex), state_(&state) {}
        S* operator->() const { return state_; }
        S& operator*() const { return *state_; }

    private:
        std::unique_lock<StateMutex> lock_;
        S* state_;
    };

    // ---- Creation ----

    static Calculator& calculator();
    // Posts and observes on the given bus (the process's by default).
    explicit Calculator(LocaleFormats locale = systemLocale());
    Calculator(LocaleFormats locale, NotificationCenter& notifications);
    ~Calculator();
    Calculator(const Calculator&) = delete;
    Calculator& operator=(const Calculator&) = delete;

    // The language engine: parser, evaluator and program queue.
    Parser& parser() { return *parser_; }
    const Parser& parser() const { return *parser_; }

    // The locale instances created from now on take their time and date formats from.
    static void setSystemLocale(LocaleFormats locale);
    static LocaleFormats systemLocale();
    const LocaleFormats& locale() const { return locale_; }
    void setLocale(LocaleFormats locale) { locale_ = std::move(locale); }
    // 1 for a 24-hour clock (no AM/PM marker in the hour pattern), else 0.
    static int timeFormatForLocale(const LocaleFormats& locale);
    // 0 month first, 1 day first, 2 year first.
    static int dateFormatForLocale(const LocaleFormats& locale);

    static double gridLineWidthForMachine(std::string_view machine);

    NotificationCenter& notificationCenter() const { return notifications_; }

    // ---- Threads ----

    // The state lock; the holder may take it again.
    StateMutex& stateMutex() const { return stateMutex_; }
    std::unique_lock<StateMutex> lockState() const { return std::unique_lock<StateMutex>(stateMutex_); }
    // The guarded state, for a thread that holds the lock (checked in Debug and sanitizer
    // builds: a read or write without it stops the process, naming the cause).
    State& state()
    {
        checkStateLock();
        return state_;
    }
    const State& state() const
    {
        checkStateLock();
        return state_;
    }
    // Takes the lock and gives the state.
    Guard<State> locked() { return {stateMutex_, state_}; }
    Guard<const State> locked() const { return {stateMutex_, state_}; }
    // A copy of the settings, taken under the lock.
    Settings settings() const { return static_cast<const Settings&>(*locked()); }
    // Work on the interface models: done at once, except on the program queue's worker,
    // which posts it to the main queue (in order with its other hand-overs).
    void onMainThread(std::function<void()> work);

    // ---- Reset (each takes the state lock) ----

    void resetDefaults();
    void resetAll();
    void clearAllLists();
    void clearMatrix(int n);
    void setUpStatEditor();
    // The drawing belongs to the graph screen: from the worker it is cleared on the main
    // thread.
    void clearDrawing();

    // ---- Screens and keys ----

    int currentScreen() const { return currentScreen_.load(); }
    int prevScreen() const { return prevScreen_; }
    // Leaving an editor screen with text in the entry line first enters it, while that
    // screen is still current; what it could not take goes with it, so nothing typed
    // there reaches the next screen's line (chemistry keeps its formula itself).
    void setCurrentScreen(int n);
    // What was typed for the program's waiting question before another screen came in
    // front, once the program output is current again (taken once).
    std::optional<std::vector<std::uint32_t>> takeTypedAnswer();
    // A field's line whose value failed as its screen was left: its ops, its cursor (on the
    // error) and the screen's place of the field (ScreenController::typedPlace; null when
    // the screen has one field).
    struct FailedLine {
        std::vector<std::uint32_t> ops;
        int cursor = 0;
        nlohmann::json place;
    };
    // The field screens' lines that failed, each waiting for its screen to come back; a
    // launch gives back what the last one's save kept.
    const std::map<int, FailedLine>& failedLines() const { return failedLines_; }
    void holdFailedLine(int screen, FailedLine line) { failedLines_[screen] = std::move(line); }
    // Where the field of a screen's failed line is, as the screen told it before it was left.
    void placeFailedLine(int screen, nlohmann::json place)
    {
        if (auto held = failedLines_.find(screen); held != failedLines_.end())
            held->second.place = std::move(place);
    }
    // Takes the line waiting for a screen, for its opener to give back once the screen is made.
    std::optional<FailedLine> takeFailedLine(int screen)
    {
        auto held = failedLines_.find(screen);
        if (held == failedLines_.end())
            return std::nullopt;
        FailedLine line = std::move(held->second);
        failedLines_.erase(held);
        return line;
    }
    // The home screen's line while the entry line is another's: a screen whose fields type
    // on it (or that empties it as it comes) is in front, or a form over the graph types on
    // it. Set aside as typed, cursor and all, when that begins (the home screen left for such
    // a screen, the form opened) and given back when it ends (by the screens: one that types
    // on the home line is in front again, the form closes); a save meanwhile keeps it as
    // the home line.
    const std::optional<std::pair<std::vector<std::uint32_t>, int>>& homeLineAside() const { return homeLineAside_; }
    // Takes the entry line aside, once: a line already aside stays. A line whose ENTER still
    // waits for its answer is spent (the answer's item takes it): it goes, and nothing waits.
    void setHomeLineAside();
    // Whether the entry line's ENTER still waits for its answer; wired in with key handling.
    std::function<bool()> lineAnswering;
    // What another left on the entry line goes; the home line comes back on it.
    void giveHomeLineBack();
    // A screen whose fields type on the entry line, or that empties it as it comes (the
    // periodic table, FORMAT): the home screen's line is not its.
    static bool takesEntryLine(int n);
    // What a program waits for from the user, and where it is answered.
    WaitingQuestion question() const { return WaitingQuestion(*this); }
    // Leaving the current screen would enter the text on its entry line.
    bool leavingCommits() const;
    // A screen whose entry line fills a field (a window value, a cell, a form's value).
    static bool fieldScreen(int n);
    // The screen whose line is being entered as it is left, -1 at any other time: that
    // ENTER is handled at once, as part of the switch.
    int screenBeingLeft() const { return screenBeingLeft_; }
    // Key handling lives with the home screen; it is wired in through keyProcessor.
    void processKeyOp(int key);
    std::function<void(int key)> keyProcessor;
    // A program's key read (any thread): the first key typed since its run began that it
    // has not read, else the last key, cleared in the same step, so a key pressed
    // meanwhile is read next time instead of being lost. While a called program runs it
    // also lets the main thread turn over.
    int getKey();

    // ---- Variable store ----

    // Slots outside 0..217 read as an empty record and ignore writes. Both take the state
    // lock.
    VariableRecord getVar(int slot) const;
    void setVar(int slot, const VariableRecord& record);
    // Xmin, Xmax, Ymin and Ymax, read together under the lock.
    Bounds window() const;

    // ---- Number text, by the current mode settings ----

    // The modes as they are now (read under the state lock).
    NumberFormatter numberFormatter() const;
    std::string formatReal(double x) const { return numberFormatter().formatReal(x); }
    std::string formatReal(double x, int format) const { return numberFormatter().formatReal(x, format); }
    std::string formatReal(double x, int digits, int format) const { return numberFormatter().formatReal(x, digits, format); }
    std::string formatTable(double x) const { return numberFormatter().formatTable(x); }
    std::string formatSigFig(double x, int sigFig) const { return numberFormatter().formatSigFig(x, sigFig); }
    std::string formatFraction(double x) const { return numberFormatter().formatFraction(x); }
    std::string formatABC(double x) const { return numberFormatter().formatABC(x); }
    std::string format84ABC(double x) const { return numberFormatter().format84ABC(x); }
    std::string formatDMS(double x) const { return numberFormatter().formatDMS(x); }
    std::string formatBinary(double x) const { return NumberFormatter::formatBinary(x); }
    std::string formatHex(double x) const { return NumberFormatter::formatHex(x); }
    double roundSigFigures(double x, int figures) const { return NumberFormatter::roundSigFigures(x, figures); }
    double roundPrecision(double x, int places) const { return NumberFormatter::roundPrecision(x, places); }
    double convertToFraction2(double x, long long& numerator, long long& denominator) const { return numberFormatter().convertToFraction2(x, numerator, denominator); }
    void makeFraction(const double* terms, int depth, double& numerator, double& denominator) const { NumberFormatter::makeFraction(terms, depth, numerator, denominator); }
    int sigFigFor(double x, int& sigDec) const { return numberFormatter().sigFigFor(x, sigDec); }
    std::string formatComplex(double re, double im, bool polar) const { return numberFormatter().formatComplex(re, im, polar); }
    std::string formatComplex(double re, double im, int format) const { return numberFormatter().formatComplex(re, im, format); }
    std::string formatCPLXFraction(double re, double im) const { return numberFormatter().formatCPLXFraction(re, im); }
    std::string formatCPLXABC(double re, double im) const { return numberFormatter().formatCPLXABC(re, im); }
    std::string formatList(const VQList* list, int format) const { return numberFormatter().formatList(list, format); }
    std::string formatList(const VQList* list) const { return numberFormatter().formatList(list); }
    std::string formatListFract(const VQList* list) const { return numberFormatter().formatListFract(list); }
    std::string formatListABC(const VQList* list) const { return numberFormatter().formatListABC(list); }
    std::string formatComplexList(const VQList* list, bool polar) const { return numberFormatter().formatComplexList(list, polar); }
    std::string formatListCPLXFraction(const VQList* list) const { return numberFormatter().formatListCPLXFraction(list); }
    std::string formatListCPLXABC(const VQList* list) const { return numberFormatter().formatListCPLXABC(list); }
    std::string formatMatrix(const VQMatrix* matrix, int format) const { return numberFormatter().formatMatrix(matrix, format); }
    std::string formatMatrix(const VQMatrix* matrix) const { return numberFormatter().formatMatrix(matrix); }
    int strDisplayWidth(std::string_view text) const { return NumberFormatter::strDisplayWidth(text); }
    std::string padReal(double x, int width) const { return numberFormatter().padReal(x, width); }
    std::string& pad(std::string& text, int width) const { return NumberFormatter::pad(text, width); }
    // The number tokens spelling x as the display shows it, read back as decimal digits
    // whatever the grouping mark or number base.
    Ops realToOpcodes(double x) const { return plainFormatter().realToOpcodes(x); }
    // The mode's formatter with no grouping mark and in decimal: number texts that read
    // back as their numbers (tokens, shared text).
    NumberFormatter plainFormatter() const;
    std::uint32_t opCodeForChar(char32_t c) const { return NumberFormatter::opCodeForChar(c); }

    // ---- Token naming (the shared vocabulary) ----

    std::string nameForOpcode(std::uint32_t op) const;
    std::string speakNameForOpcode(std::uint32_t op) const;
    std::string descriptionForOpcode(std::uint32_t op) const;
    std::optional<std::string> expandedNameForOpcode(std::uint32_t op) const;
    std::uint32_t opcodeForName(std::string_view name) const;
    std::optional<std::string> nameForRegression(int index) const;
    std::optional<std::string> nameForGCompute(int index) const;
    std::optional<std::string> nameForVariable(std::int32_t slot) const;

    // Symbolic name ("F_STO") → token.
    const std::unordered_map<std::string_view, std::uint32_t>& opcodeDB() const;
    // The tokens of comma-separated symbolic names; pieces that name no token are skipped.
    Ops opsFromString(std::string_view text) const;

    // ---- Catalogue (Catalogue) ----

    const std::unordered_map<std::string, std::uint32_t>& catalogDict() const;
    // The catalogue's names in the order it shows them.
    const std::vector<std::string>& catalogKeys() const;
    static void cleanOpName(std::string& name);
    // The token typed letters decide, or 0xFFFFFFFF; terminal 0 for none.
    std::uint32_t lookupCatalogName(std::string_view name, char32_t terminal, bool& usedTerminal) const;

    // ---- Op arrays as text ----

    std::string stringFromOps(std::span<const std::uint32_t> ops) const;
    // cursorPosition: a token index in, the code-point index of that token's name out.
    std::string stringFromOps(std::span<const std::uint32_t> ops, std::int32_t& cursorPosition) const;
    // Each token's spoken name followed by a blank.
    std::string speakFromOps(std::span<const std::uint32_t> ops) const;
    Ops stringToOps(std::string_view text) const;

    // ---- Token line analysis (TokenLineAnalysis) ----

    bool hasLeftParen(std::uint32_t op) const;
    TokenLineAnalysis::Range parenContextInOps(std::span<const std::uint32_t> ops, int location) const;
    void getEquationVars(std::set<std::uint32_t>& vars, std::span<const std::uint32_t> ops) const;
    Ops solverVars() const;
    Ops valueOpsForList(const VQList& list) const;
    std::optional<Ops> valueOpsForVar(std::uint32_t token) const;

    // ---- Value and error text (ValueText; each takes the state lock) ----

    std::string formatOperand(const Operand& op) const;
    const std::string& formatError(int number) const;
    std::string getAns() const;
    std::string getVariable(std::uint32_t token) const;
    std::string getStringVariable(std::uint32_t token) const;
    std::string getYEqVariable(std::uint32_t token) const;
    std::optional<std::string> nameForList(const VQList* list) const;

    // ---- Colour tables ----

    // Colour n of the interface set chosen by keyboardColorSet.
    VColor interfaceColorIndex(int n) const;
    VColor interfaceColor(int set, int index) const;
    VQList standardColor(int n) const;
    VQList tiColor(int n) const;
    VQColor stdVQColor(int i) const;

    // ---- Memory archive (MemoryArchive) ----

    using Archive = std::vector<std::uint8_t>;
    // Writes the program open in the editor to its file, then appends the archive of the
    // whole state. The flag only tells whether the factory archive is being made; the bytes
    // are the same either way. What the save had to leave out goes to leftOut.
    void saveMemory(std::vector<Archive>& memory, bool factoryDefaults, MemoryArchive::LeftOut* leftOut = nullptr);
    // Restores the state from the archive in element 0. Set the managers first: their
    // members go to them. An empty array or bytes that are no archive leave the state as
    // it is.
    void initMemory(const std::vector<Archive>& memory);
    // Archive members of managers that are not set ("entry", "history", "yEq", "statMgr"),
    // kept as read so that saving writes them back unchanged.
    nlohmann::json detachedArchive = nlohmann::json::object();

    // ---- Room in a save (each with the state lock held) ----

    // What a save holds (the archive's bounds, which tests narrow): the lists, strings and
    // matrices stored are kept within it, beside what else the state holds.
    const MemoryArchive::Bounds& archiveBounds() const { return archiveBounds_; }
    void setArchiveBounds(const MemoryArchive::Bounds& bounds);
    // Every store of a whole list, string or matrix goes through these: false, storing
    // nothing, when the state would then hold more than a save keeps (the Memory error).
    // Lists go by name, strings by number (Str1 0 .. Str9 8, Str0 9), matrices too ([A] 0
    // .. [J] 9). storeLists stores all of them or none.
    bool storeList(const std::string& name, VQList list);
    bool storeLists(std::vector<std::pair<std::string, VQList>> lists);
    bool storeTableList(const VQList& list);
    bool storeString(std::size_t n, VQString string);
    bool storeMatrix(std::size_t n, VQMatrix matrix);
    // The list of that name, made empty when there is none, with room for `more` elements
    // after its end; null, making nothing, when those would pass what a save keeps.
    VQList* listToGrow(const std::string& name, int more);
    // Room for Str n to take `more` tokens after its end.
    bool roomToGrowString(std::size_t n, std::size_t more);
    // Removes a list (none of that name is no error).
    void eraseList(const std::string& name);
    // Whether a save could keep a value that costs this at all, with nothing else stored.
    bool couldKeep(const ArchiveCost& value) const;
    // The archive's count, as a save or a restore made it, of all a save keeps at the least
    // (all but what it may leave out): the room the settings, the variables, the Y=
    // equations and the home line leave the stored values.
    void measureArchive(const ArchiveCost& kept) const;

    // ---- Services ----

    // Forwards to the view delegate; each does nothing without one.
    void updateDisplay();
    // VCProgramRunning: a program started or stopped.
    void reportProgramRunning(bool running);
    void showDebugger(bool show);
    void suspendDebugger();
    void showError(const nlohmann::json& error);
    void showPeriodicTable();
    void showStatTest(int token);
    void showGeometry(int token);
    void showSolverPlot(const nlohmann::json& window);
    void showProgramOutput();

    void startDrawing();
    // Seconds since startDrawing; 0 when no drawing started.
    double drawTime() const;

    // A whole, case-insensitive match of one of fileExtensions.
    bool validFileExtension(std::string_view extension) const;
    // Imports a TI variable file: 1 when the data is none (signature, size or checksum),
    // else the import's own number, unchanged: 0 when every entry was stored, 76 to 79 (or
    // another error) for the first entry that was not.
    int loadProgram(const std::vector<std::uint8_t>& data);

    static std::string deviceName();
    std::string machineName() const;
    std::string versionString() const;

    // The page at the origin: 0 A4, 2 US Legal, anything else US Letter.
    static Rect pdfPageRectForForm(int form);
    Rect pdfPageRect() const { return pdfPageRectForForm(pdfPageSize); }
    // Font size and leading that fit 33 columns of the display font into the width, never
    // below 16 points.
    static void standardFontSize(double& fontSize, double& leading, const Rect& rect);
    // Tick steps and label precision of both graph axes for their scales (points per unit).
    void adjustScale(double xScale, double yScale, GraphScale& info) const;

    // ---- Modes whose setters do more than store (the setters take the state lock) ----

    int angleFormat() const { return angleFormat_; }
    void setAngleFormat(int format);
    // The mode arithmetic follows on the calling thread: the setting, or a+bi while an
    // evaluation in progress there has switched to it for its own use.
    int realCplxMode() const;
    // The setting; an evaluation in progress on the calling thread follows it at once.
    void setRealCplxMode(int mode);
    // Inside an evaluation: a+bi for the rest of it when the mode is Real (the imaginary
    // unit, a complex Ans). The setting stays; nothing happens outside an evaluation.
    void switchToComplexForEvaluation();
    int graphMode() const { return graphMode_; }
    // The Y= editor and the observers hear of a change on the main thread: at most one
    // such word waits there, telling of the mode as it is when it runs, so a program
    // switching modes in a loop never floods the main thread.
    void setGraphMode(int mode);
    // Puts the window variables in order before a graph is drawn: X and Y ranges
    // increasing and at least 1e-6 wide, and in parametric or polar mode a parameter range
    // with a step towards its end of at most 2000 steps. Non-finite X or Y bounds become
    // -10..10, a non-finite parameter range 0..2π. Raises no error.
    void validateWindow();

    // ---- Services (wired by the app; each may be null) ----

    std::shared_ptr<ViewControlDelegate> viewDelegate;
    std::shared_ptr<EntryManager> entryManager;
    std::shared_ptr<PrettyPrint> prettyPrint;
    std::shared_ptr<YEqManager> yEqManager;
    std::shared_ptr<StatGraphManager> statGraphManager;
    std::shared_ptr<HistoryManager> historyManager;
    std::shared_ptr<ProgramManager> prgmManager;
    std::shared_ptr<ProgramOutputManager> prgmOutputMgr;
    std::shared_ptr<StatTests> statTests;
    std::shared_ptr<SolverManager> solverManager;
    std::shared_ptr<EquationEvaluator> equationEvaluator;

    // ---- Device and run ----

    int device = 0;
    bool macCatalyst = false;
    bool tallPhone = false;
    const TimePoint startTime;
    bool firstTime = true;
    bool newVersion = false;
    std::int64_t sessions = 0;
    bool honorDarkMode = true;
    bool canPrint = false;
    bool canPDF = false;
    std::vector<std::string> fileExtensions;
    std::map<std::string, double> gridAdjustment;
    double gridLineWidth() const { return gridLineWidth_; }
    std::atomic<int> remoteHostStatus{0};
    std::atomic<int> internetConnectionStatus{0};
    std::atomic<int> localWiFiConnectionStatus{0};
    // Null when the platform registered no way to make monitors.
    std::shared_ptr<Reachability> hostReach;
    std::shared_ptr<Reachability> internetReach;
    std::shared_ptr<Reachability> wifiReach;
    // Makes the three monitors (a public host, the internet, the local link) with the
    // registered factory and starts them; again after a factory is registered.
    void startNetworkMonitors();
    // Reads the three monitors' statuses; run on every reachability change.
    void updateNetworkStatus();
    void reachabilityChanged() { updateNetworkStatus(); }

    // ---- Keyboard and entry (main thread) ----

    bool alphaShift = false;
    bool alphaLock = false;
    bool lowercaseLock = false;
    bool secondShift = false;
    int insert = 0;
    // Written by the keyboard, read and cleared by getKey.
    std::atomic<int> lastKey{0};
    // Keys typed while a run owns the keyboard, which getKey reads first.
    TypedKeys typedKeys;
    bool clickMute = false;
    bool clickPref = true;
    bool cursorVisible = false;
    bool userKeys = false;
    std::vector<UserKeySet> uKeys;
    std::string userKeySetName;
    // The program editor's clipboard (copy and cut fill it, paste reads it).
    Ops prgmPasteBuffer;

    // ---- The screens' own settings (main thread) ----

    double baseFontSize = 20;
    bool bubbleHelp = true;
    bool statWiz = true;
    double entrySplit = 0;
    int keyboardColorSet = 0;
    int lcdColorSet = 0;
    int pdfPageSize = 1;
    int testMode = 0;
    std::optional<TimePoint> testStart;

    // ---- Graph screen: trace, window history, pixels and drawing (main thread) ----

    int lockStatPlot = -1;
    bool lockMagnifier = false;
    int lockFunction = 0;
    int featureLock = 0;
    // Stores the lock; a new lock met while tracing with the magnifier lock buzzes once the
    // trace point has moved 2 points from where it last buzzed.
    void setFeatureLock(int n);
    // The feature-lock buzz, made on first use.
    std::shared_ptr<ImpactFeedback> tapticGenerator;
    bool scaleTracking = false;
    Bounds graphBounds;
    Bounds saveBounds;
    Bounds prevBounds;
    int saveXAxisMode = 0;
    int prevXAxisMode = 0;
    AffineTransform t;
    AffineTransform it;
    bool tracking = false;
    bool trackingVar = false;
    bool reportingDone = false;
    Point trackPoint;
    Point dTrackPoint;
    TracePoint pTrackPoint;
    double pTrackSlope = 0;
    double trackValue = 0;
    Point buzzPoint;
    // 284 by 284 RGBA.
    std::vector<std::uint8_t> pixelBits;
    bool pixelsVisible = false;
    // One pixel (column and row 0..283; others are ignored) set with colour bytes 0..255,
    // toggled or cleared; each shows the pixel layer. Main thread.
    void pixelOnCol(int col, int row, int r, int g, int b);
    void pixelChangeCol(int col, int row, int r, int g, int b);
    void pixelOffCol(int col, int row);
    // 1 when the pixel is set, else 0 (also outside the screen).
    double pixelTestCol(int col, int row) const;
    // Turns every pixel off and hides the pixel layer.
    void pixelScreenClr();
    // Empties the graph points.
    void graphPointsClear();
    // Keeps a traced or chosen point: x in X and y in Y, and in R and θ too in the polar
    // coordinate format.
    void saveX(double x, double y);
    // Point marks at graph coordinates (colour components 0..1), kept in graphPts.
    void ptOnAtX(double x, double y, int mark, double r, double g, double b);
    void ptChangeAtX(double x, double y, int mark, double r, double g, double b);
    void ptOffAtX(double x, double y);
    // Brings the graph screen up, or only has it redrawn when it is already in front.
    // Between deferGraphShows() and showDeferredGraph() (main thread) the requests are
    // only noted, and the second makes one of them all.
    void showGraphView(bool show);
    void deferGraphShows() { ++graphShowsDeferred_; }
    void showDeferredGraph();
    // The picture behind the graph: a QImage that the screens put there (the engine only
    // holds and drops it).
    std::shared_ptr<void> backgroundImage;
    Rect backgroundFrame;
    double backgroundScale = 0;
    std::vector<std::shared_ptr<DrawObject>> drawing;
    std::vector<std::shared_ptr<DrawObject>> ioControls;
    std::shared_ptr<VQGraphPtArray> graphPts() const { return graphPts_.load(); }
    void setGraphPts(std::shared_ptr<VQGraphPtArray> points) { graphPts_.store(std::move(points)); }
    std::optional<TimePoint> drawStartTime() const;
    void setDrawStartTime(std::optional<TimePoint> time);
    int distFunction = 0;
    double distLowerBound = 0;
    double distUpperBound = 0;
    double distArea = 0;
    double distParam1 = 0;
    double distParam2 = 0;

    // ---- Ans, the editors' state and the run flags ----

    // The last answer, read and written whole under the state lock (AnsValue).
    AnsValue ans{stateMutex_};
    // The last fit's equation (RegEQ); empty without a fit. Takes the lock.
    Ops regressionEquation() const;
    // Copies a fit's results into the statistics variables (values only; the slots keep
    // their significance pairs) and its residuals into the list "RESID". Under the lock.
    // False when the residuals would pass what a save keeps (the Memory error); the
    // variables are set all the same.
    bool syncStatVars(const VQStatistics& stats);
    // Spells a fit's equation in the display's form, its coefficients keeping their values.
    void spellFitEquation(VQStatistics& stats) const;
    int editMatrix = 0;
    int polyState = 0;
    int simulEqState = 0;
    VQMatrix simulMatrix;
    std::optional<VQMatrix> simulSolution;
    std::optional<VQMatrix> simulRRefMatrix;
    std::vector<Ops> userOps1, userOps2, userOps3, userOps4;
    std::vector<std::string> userNames1, userNames2, userNames3, userNames4;
    // The from-unit and to-unit last chosen in each unit class, one row per class.
    static constexpr int kUnitClassCount = 12;
    std::array<std::array<unsigned, 2>, kUnitClassCount> toFrom{};
    unsigned m_convClass = 0, m_convFrom = 0, m_convTo = 0;
    unsigned m_lastClass = 0, m_lastFrom = 0, m_lastTo = 0;
    std::string lastPrgmName;
    // A called program shows its output: set when a program call starts it, cleared by
    // result handling (and clean-up). Runs of plain entry lines leave it alone.
    std::atomic<bool> programRunning{false};
    std::atomic<bool> menuRunning{false};
    std::atomic<bool> pauseRunning{false};
    bool replay = false;

private:
    void checkStateLock() const
    {
#ifndef NDEBUG
        if (!stateMutex_.heldByThisThread())
            stateLockMissing();
#endif
    }
    [[noreturn]] static void stateLockMissing();
    void setWindowDefaults();
    void setLocaleFormats();
    void setGraphColors();

    LocaleFormats locale_;
    NotificationCenter& notifications_;
    double gridLineWidth_ = 0.3;
    // Read by the program queue at the end of a run.
    std::atomic<int> currentScreen_{0};
    int prevScreen_ = 0;
    int screenBeingLeft_ = -1;
    // What was typed for a program's question while another screen is in front.
    std::optional<std::vector<std::uint32_t>> typedAnswer_;
    // Each field screen's line whose value failed as the screen was left, with its cursor on
    // the error: it waits and goes back to its screen when that comes back. screen → {ops,
    // cursor}.
    std::map<int, FailedLine> failedLines_;
    std::optional<std::pair<std::vector<std::uint32_t>, int>> homeLineAside_;
    State state_;
    // Guarded by the state lock: the bounds, what the stored values take of them as they
    // change (the archive's counts, kept as stores go; counted again whenever a store seems
    // not to fit), and what the rest of the state took at the last save or restore.
    MemoryArchive::Bounds archiveBounds_;
    mutable ArchiveCost stored_;
    mutable ArchiveCost rest_;
    ArchiveCost storedCost() const;
    // Counts a change of the stored values when the state stays within the bounds.
    bool takeRoom(const ArchiveCost& adding, const ArchiveCost& freeing);
    // Read everywhere, on any thread, without the lock; written under it by their setters.
    std::atomic<int> angleFormat_{0};
    std::atomic<int> realCplxMode_{0};
    std::atomic<int> graphMode_{0};
    std::atomic<bool> graphModeSyncPending_{false};
    // Main thread: showGraphView's requests held back, and whether one asked to show.
    int graphShowsDeferred_ = 0;
    bool graphShowAsked_ = false;
    bool graphShowWanted_ = false;
    std::atomic<std::shared_ptr<VQGraphPtArray>> graphPts_;
    // Ticks of the system clock; 0 when no drawing has started.
    std::atomic<TimePoint::rep> drawStartTime_{0};
    // A key read's turn-over of the main thread is queued and has not run yet.
    std::shared_ptr<std::atomic<bool>> keyReadPending_ = std::make_shared<std::atomic<bool>>(false);
    std::unique_ptr<Parser> parser_;
};

} // namespace orvenda
