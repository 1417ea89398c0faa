#include "core/Calculator.h"

#include "core/DeviceInfo.h"
#include "core/MemoryArchive.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "core/VQGraphPtArray.h"
#include "eval/MainQueue.h"
#include "eval/Parser.h"
#include "core/DrawObject.h"
#include "core/services/EntryManager.h"
#include "core/services/HistoryManager.h"
#include "core/services/ImpactFeedback.h"
#include "core/services/ProgramManager.h"
#include "core/services/Reachability.h"
#include "core/services/TIFileIO.h"
#include "core/services/StatGraphManager.h"
#include "core/services/ViewControlDelegate.h"
#include "core/services/YEqManager.h"
#include "core/ColorTables.h"
#include "core/ValueText.h"
#include "language/Catalogue.h"
#include "language/TokenText.h"
#include "language/UnitNames.h"
#include "language/VariableSlots.h"
#include "language/Vocabulary.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <numbers>

namespace orvenda {

static_assert(Calculator::kUnitClassCount == UnitNames::kClassCount, "one unit-conversion row per unit class");

namespace {

constexpr int kScreenYEq = 1, kScreenProgramEditor = 2;
constexpr int kScreenChemistry = 14;
constexpr int kScreenPeriodicTable = 13, kScreenFormat = 17;
constexpr int kScreenGraph = 8, kScreenSolver = 10, kScreenPolynomial = 20;
// Screens whose fields are typed in the entry line; leaving one enters what is typed.
constexpr std::array kCommittingScreens{3, 4, 5, 6, 7, 10, 12, 14, 15, 16, 20, 21, 22, 23};

constexpr int kStatPlotCount = 6;
// The Y= equation families: functions, parametric pairs, polar, sequences and their
// initial values, implicit.
constexpr std::array<std::pair<int, int>, 5> kEquationTokens{{
    {0x5E10, 0x5E19}, {0x5E20, 0x5E2B}, {0x5E40, 0x5E45}, {0x5E80, 0x5E85}, {0x5EA0, 0x5EA9}}};

constexpr const char* kListNames[] = {"L₁", "L₂", "L₃", "L₄", "L₅", "L₆"};

constexpr const char* kReachabilityHost = "www.wikipedia.org";

std::mutex& localeMutex()
{
    static std::mutex m;
    return m;
}

LocaleFormats& processLocale()
{
    static LocaleFormats locale;
    return locale;
}

std::map<std::string, double> gridAdjustmentTable()
{
    std::map<std::string, double> table;
    for (const char* id : {"iPhone6,1", "iPhone6,2", "iPhone7,1", "iPhone7,2", "iPhone8,1", "iPhone8,2",
             "iPhone8,4", "iPhone9,1", "iPhone9,2", "iPhone9,3", "iPhone9,4", "iPhone10,1", "iPhone10,2",
             "iPhone10,3", "iPhone10,4", "iPhone10,5", "iPhone10,6"})
        table.emplace(id, 0.3);
    for (const char* id : {"i386", "iPhone1,1", "iPhone1,2", "iPhone2,1", "iPhone3,1", "iPhone3,3",
             "iPhone4,1", "iPhone5,1", "iPhone5,2", "iPhone5,3", "iPhone5,4", "iPod1,1", "iPod2,1",
             "iPod3,1", "iPod4,1", "iPod5,1", "iPod7,1", "iPad1,1", "iPad2,1", "iPad2,2", "iPad2,3",
             "iPad2,4", "iPad2,5", "iPad2,6", "iPad2,7", "iPad3,1", "iPad3,2", "iPad3,3", "iPad3,4",
             "iPad3,5", "iPad3,6", "iPad4,1", "iPad4,2", "iPad4,3", "iPad4,4", "iPad4,5", "iPad4,6",
             "iPad4,7", "iPad4,8", "iPad4,9", "iPad5,1", "iPad5,2", "iPad5,3", "iPad5,4", "iPad6,3",
             "iPad6,4", "iPad6,7", "iPad6,8", "iPad6,11", "iPad6,12", "iPad7,3", "iPad7,4"})
        table.emplace(id, 0.25);
    return table;
}

// A message to the root controller; nothing without one.
template <class Message, class... Args>
void toDelegate(const std::shared_ptr<ViewControlDelegate>& delegate, Message message, Args&&... args)
{
    if (delegate)
        ((*delegate).*message)(std::forward<Args>(args)...);
}

std::vector<UserKeySet> factoryKeySets()
{
    UserKeySet compSci("CompSci");
    const std::array<UserKeySet::Ops, 11> compSciKeys{{
        {0xBBF8},
        {0xBBF9},
        {0xBBF6, Calculator::kEnterKey},
        {0xBBF7},
        {0x02},
        {0x5C40},
        {0x5C41},
        {0x5C42},
        {0x5C43},
        {0xBBFA},
        {0xBBFB},
    }};
    for (int k = 0; k < int(compSciKeys.size()); ++k)
        compSci.setOps(compSciKeys[k], k);

    UserKeySet angle("Angle");
    const std::array<UserKeySet::Ops, 6> angleKeys{{{0x0B}, {0xAE}, {0x2A}, {0x0A}, {0x01}, {0xEF38}}};
    for (int k = 0; k < int(angleKeys.size()); ++k)
        angle.setOps(angleKeys[k], k);

    return {std::move(compSci), std::move(angle)};
}

} // namespace

// ---- Creation ----

Calculator& Calculator::calculator()
{
    static Calculator shared;
    return shared;
}

Calculator::Calculator(LocaleFormats locale)
    : Calculator(std::move(locale), NotificationCenter::defaultCenter())
{
}

Calculator::Calculator(LocaleFormats locale, NotificationCenter& notifications)
    : startTime(std::chrono::system_clock::now())
    , locale_(std::move(locale))
    , notifications_(notifications)
{
    gridAdjustment = gridAdjustmentTable();
    fileExtensions = {"lbxDat", "83p", "83c", "83l", "83m", "83n", "83s", "83y", "83g",
        "8Xp", "8Xc", "8Xl", "8Xm", "8Xn", "8Xs", "8Xy", "8Xg", "csv"};
    baseFontSize = device == 0 ? 20 : 30;

    {
        auto s = locked();
        s->varsSigFig.fill(15);
        s->varsSigDec.fill(-15);
        for (const char* name : kListNames)
            s->lists.emplace(name, VQList::list());
        stored_ = storedCost();
    }
    setWindowDefaults();
    setUpStatEditor();
    simulMatrix = VQMatrix::matrixWithRow(2, 3).value_or(VQMatrix());
    drawing.reserve(10);
    ioControls.reserve(10);
    pixelBits.assign(kPixelBytes, 0);
    setGraphPts(std::make_shared<VQGraphPtArray>());

    setLocaleFormats();
    setGraphColors();
    gridLineWidth_ = gridLineWidthForMachine(DeviceInfo::machineIdentifier());

    notifications_.addObserver(this, kNetworkReachabilityChangedNotification, [this](const Notification&) { reachabilityChanged(); });
    startNetworkMonitors();

    uKeys = factoryKeySets();
    parser_ = std::make_unique<Parser>(*this);
}

Calculator::~Calculator()
{
    notifications_.removeObserver(this);
}

void Calculator::startNetworkMonitors()
{
    hostReach = Reachability::reachabilityWithHostName(kReachabilityHost);
    internetReach = Reachability::reachabilityForInternetConnection();
    wifiReach = Reachability::reachabilityForLocalWiFi();
    for (const auto& monitor : {hostReach, internetReach, wifiReach})
        if (monitor)
            monitor->startNotifier();
    updateNetworkStatus();
}

void Calculator::updateNetworkStatus()
{
    auto status = [](const std::shared_ptr<Reachability>& monitor) {
        return monitor ? monitor->currentReachabilityStatus() : int(Reachability::NotReachable);
    };
    remoteHostStatus = status(hostReach);
    internetConnectionStatus = status(internetReach);
    localWiFiConnectionStatus = status(wifiReach);
}

void Calculator::setSystemLocale(LocaleFormats locale)
{
    std::lock_guard lock(localeMutex());
    processLocale() = std::move(locale);
}

LocaleFormats Calculator::systemLocale()
{
    std::lock_guard lock(localeMutex());
    return processLocale();
}

int Calculator::timeFormatForLocale(const LocaleFormats& locale)
{
    return locale.hourFormat.find('a') == std::string::npos ? 1 : 0;
}

int Calculator::dateFormatForLocale(const LocaleFormats& locale)
{
    const std::string& f = locale.longDateFormat;
    const auto month = f.find("MMMM");
    const auto year = f.find('y');
    const auto day = f.find('d');
    if (month == std::string::npos || year == std::string::npos || day == std::string::npos)
        return 0;
    if (month < year && month < day)
        return 0;
    return year < day ? 2 : 1;
}

double Calculator::gridLineWidthForMachine(std::string_view machine)
{
    static const std::map<std::string, double> table = gridAdjustmentTable();
    auto it = table.find(std::string(machine));
    return it == table.end() ? 0.3 : it->second;
}

void Calculator::setLocaleFormats()
{
    auto s = locked();
    s->timeFormat = timeFormatForLocale(locale_);
    s->dateFormat = dateFormatForLocale(locale_);
}

void Calculator::setWindowDefaults()
{
    auto s = locked();
    auto set = [&s](int slot, double value) { s->vars[slot] = {value, 0}; };
    set(kSlotXmin, -1);
    set(kSlotXmax, 1);
    set(kSlotYmin, -1);
    set(kSlotYmax, 1);
    set(kSlotTmax, 1);
    set(kSlotThetaMax, 2 * std::numbers::pi);
    set(kSlotDeltaTbl, 0.1);
    set(kSlotTstep, 0.1);
    set(kSlotThetaStep, std::numbers::pi / 180);
    set(kSlotPY, 12);
    set(kSlotCY, 12);
    set(kSlotPaymentTiming, 1);
    set(kSlotScrWidth, 320);
    set(kSlotScrHeight, 760);
}

void Calculator::setGraphColors()
{
    auto s = locked();
    s->backgroundColor = VQColor::colorR(0, 0, 0, 1);
    s->gridColor = VQColor::colorR(1, 1, 1, 1);
    s->axesColor = VQColor::colorR(1, 1, 1, 1);
}

// ---- Threads ----

void Calculator::stateLockMissing()
{
    std::fputs("The calculator's state was reached without the state lock held by this thread\n", stderr);
    std::abort();
}

void Calculator::onMainThread(std::function<void()> work)
{
    if (parser_ && parser_->programQueue().onWorker())
        parser_->programQueue().post(std::move(work));
    else
        work();
}

// ---- Reset ----

void Calculator::resetDefaults()
{
    auto held = lockState();
    State& s = state();
    alphaShift = false;
    alphaLock = false;
    lowercaseLock = false;
    insert = 0;
    clickMute = false;
    clickPref = true;

    s.numFormat = 0;
    s.numDigits = -1;
    s.maxWidth = 15;
    s.thousandSeperator = u' ';
    setLocaleFormats();
    setAngleFormat(1);
    setRealCplxMode(0);
    bubbleHelp = true;
    s.maxDenominator = 9999;
    s.fixDenominator = false;
    s.reduce = true;
    s.regressionDiagnostic = false;
    statWiz = true;
    s.tableMode = 1;
    s.screenSplit = 0;
    pdfPageSize = 1;

    setGraphMode(0);
    s.graphComputeMode = 0;
    s.graphFitModel = -1;
    s.graphCoordFormat = 0;
    s.graphSequenceFormat = 0;
    s.drawGrid = s.drawAxes = s.drawLabel = s.drawExpr = s.drawCoord = true;
    s.drawDyDx = false;
    s.whiteBackground = false;
    setGraphColors();
    s.textColor = 20;
    lockStatPlot = -1;
    graphBounds = saveBounds = prevBounds = Bounds{};

    clearDrawing();
    setWindowDefaults();
}

void Calculator::resetAll()
{
    auto held = lockState();
    State& s = state();
    ans = VQValue(0.0);
    if (historyManager)
        historyManager->clearAll();
    if (entryManager)
        entryManager->clear();
    if (yEqManager)
        yEqManager->clearAll();
    if (statGraphManager)
        statGraphManager->clearAll();
    keyboardColorSet = 0;
    lcdColorSet = 0;
    for (int n = 0; n < kMatrixCount; ++n)
        clearMatrix(n);
    for (auto& string : s.strings)
        string.clear();
    clearAllLists();
    for (auto& v : s.vars)
        v = 0;
    s.tableList = VQList::list();
    s.solverEq.clear();
    stored_ = storedCost();
    resetDefaults();
}

void Calculator::clearAllLists()
{
    auto held = lockState();
    State& s = state();
    s.lists.clear();
    s.statEditList.clear();
    for (const char* name : kListNames) {
        s.lists.insert_or_assign(name, VQList::list());
        s.statEditList.emplace_back(name);
    }
    stored_ = storedCost();
}

void Calculator::clearMatrix(int n)
{
    if (n < 0 || n >= kMatrixCount)
        return;
    auto held = lockState();
    stored_ -= ArchiveCost::ofMatrix(state().matrices[n].dimRow(), state().matrices[n].dimCol());
    state().matrices[n].clear();
    stored_ += ArchiveCost::ofMatrix(0, 0);
}

void Calculator::setUpStatEditor()
{
    auto held = lockState();
    State& s = state();
    s.statEditList.clear();
    s.statEditList.reserve(6);
    for (const char* name : kListNames)
        s.statEditList.emplace_back(name);
}

namespace {

constexpr int kGraphScreen = 8;

// Offset of a pixel's RGBA bytes; none outside the screen.
std::optional<std::size_t> pixelAt(int col, int row)
{
    if (col < 0 || row < 0 || col >= Calculator::kPixelSize || row >= Calculator::kPixelSize)
        return std::nullopt;
    return (std::size_t(row) * Calculator::kPixelSize + std::size_t(col)) * 4;
}

// Alpha 0 is off, so a black pixel is on only where the caller lets black show.
void writePixel(std::vector<std::uint8_t>& bits, std::size_t at, int r, int g, int b, bool blackShows)
{
    const auto byte = [](int v) { return std::uint8_t(std::clamp(v, 0, 255)); };
    bits[at] = byte(r);
    bits[at + 1] = byte(g);
    bits[at + 2] = byte(b);
    const bool black = bits[at] == 0 && bits[at + 1] == 0 && bits[at + 2] == 0;
    bits[at + 3] = black && !blackShows ? 0 : 255;
}

} // namespace

void Calculator::pixelOnCol(int col, int row, int r, int g, int b)
{
    const auto at = pixelAt(col, row);
    if (!at)
        return;
    // Black is the off state: turning a pixel on in black leaves it off.
    writePixel(pixelBits, *at, r, g, b, false);
    pixelsVisible = true;
}

void Calculator::pixelChangeCol(int col, int row, int r, int g, int b)
{
    const auto at = pixelAt(col, row);
    if (!at)
        return;
    if (pixelTestCol(col, row) != 0)
        std::fill_n(pixelBits.begin() + std::ptrdiff_t(*at), 4, std::uint8_t(0));
    else
        writePixel(pixelBits, *at, r, g, b, true);
    pixelsVisible = true;
}

void Calculator::pixelOffCol(int col, int row)
{
    const auto at = pixelAt(col, row);
    if (!at)
        return;
    std::fill_n(pixelBits.begin() + std::ptrdiff_t(*at), 4, std::uint8_t(0));
    pixelsVisible = true;
}

double Calculator::pixelTestCol(int col, int row) const
{
    const auto at = pixelAt(col, row);
    return at && pixelBits[*at + 3] != 0 ? 1.0 : 0.0;
}

void Calculator::pixelScreenClr()
{
    std::fill(pixelBits.begin(), pixelBits.end(), std::uint8_t(0));
    pixelsVisible = false;
}

void Calculator::graphPointsClear()
{
    if (auto points = graphPts())
        points->clear();
}

void Calculator::saveX(double x, double y)
{
    constexpr int kSlotR = 17, kSlotTheta = 26, kSlotX = 23, kSlotY = 24;
    auto held = lockState();
    setVar(kSlotX, {{x, 0.0}});
    setVar(kSlotY, {{y, 0.0}});
    if (state().graphCoordFormat == 1) {
        setVar(kSlotR, {{x, 0.0}});
        setVar(kSlotTheta, {{y, 0.0}});
    }
}

void Calculator::ptOnAtX(double x, double y, int mark, double r, double g, double b)
{
    if (auto points = graphPts())
        points->ptOnAtX(x, y, mark, r, g, b);
}

void Calculator::ptChangeAtX(double x, double y, int mark, double r, double g, double b)
{
    if (auto points = graphPts())
        points->ptChangeAtX(x, y, mark, r, g, b);
}

void Calculator::ptOffAtX(double x, double y)
{
    if (auto points = graphPts())
        points->ptOffAtX(x, y);
}

void Calculator::showGraphView(bool show)
{
    // A line entered as the user leaves its screen draws, and brings no graph over the
    // screen the user goes to.
    if (show && screenBeingLeft_ >= 0)
        return;
    if (graphShowsDeferred_ > 0) {
        graphShowAsked_ = true;
        graphShowWanted_ = graphShowWanted_ || show;
        return;
    }
    if (!viewDelegate)
        return;
    if (currentScreen() == kGraphScreen)
        viewDelegate->VCGraphChanged();
    else
        viewDelegate->VCShowGraph(show);
}

void Calculator::showDeferredGraph()
{
    if (graphShowsDeferred_ == 0 || --graphShowsDeferred_ > 0 || !graphShowAsked_)
        return;
    graphShowAsked_ = false;
    const bool show = graphShowWanted_;
    graphShowWanted_ = false;
    showGraphView(show);
}

void Calculator::clearDrawing()
{
    if (parser_ && parser_->programQueue().onWorker()) {
        // With the drawing it clears, in order.
        parser_->programQueue().postBatched([this] { clearDrawing(); });
        return;
    }
    auto held = lockState();
    drawing.clear();
    pixelScreenClr();
    graphPointsClear();
    pixelsVisible = false;
    backgroundImage.reset();
    if (yEqManager)
        for (auto [first, last] : kEquationTokens)
            for (int token = first; token <= last; ++token)
                yEqManager->setFunction(token, false);
    if (statGraphManager)
        for (int plot = 0; plot < kStatPlotCount; ++plot)
            statGraphManager->setPlotVisible(plot, false);
    if (viewDelegate)
        viewDelegate->VCGraphChanged();
}

// ---- Screens and keys ----

bool Calculator::fieldScreen(int n)
{
    return std::find(kCommittingScreens.begin(), kCommittingScreens.end(), n) != kCommittingScreens.end();
}

bool Calculator::takesEntryLine(int n) { return fieldScreen(n) || n == kScreenPeriodicTable || n == kScreenFormat; }

void Calculator::setHomeLineAside()
{
    if (homeLineAside_ || !entryManager)
        return;
    homeLineAside_ = entryManager->takeLineQuietly();
    if (lineAnswering && lineAnswering())
        homeLineAside_.emplace();
}

void Calculator::giveHomeLineBack()
{
    if (!homeLineAside_)
        return;
    auto [ops, cursor] = std::move(*homeLineAside_);
    homeLineAside_.reset();
    if (!entryManager)
        return;
    entryManager->takeLineQuietly();
    entryManager->putLineBackQuietly(std::move(ops), cursor);
}

bool Calculator::leavingCommits() const
{
    const int screen = currentScreen_.load();
    const bool field = fieldScreen(screen) || (screen == kScreenProgramEditor && prgmManager && prgmManager->debug());
    return field && entryManager && !entryManager->text().empty();
}

void Calculator::setCurrentScreen(int n)
{
    if (n == currentScreen_)
        return;
    const int leaving = currentScreen_.load();
    prevScreen_ = leaving;
    // The answer being typed to a program's question goes with the question's screen and
    // comes back with it: the screens opened meanwhile type on the same line, and leaving
    // never enters it.
    const WaitingQuestion waiting = question();
    if (!waiting.asks()) {
        typedAnswer_.reset();
    } else if (leaving == waiting.screen() && entryManager) {
        typedAnswer_ = entryManager->lineOps();
        entryManager->clear();
    }
    // The Y= rows that hold values (a sequence's initial values) are taken as they show,
    // whichever way the editor is left.
    if (leaving == kScreenYEq && yEqManager)
        yEqManager->enterShownValues();
    // Only the screen the user leaves commits its line, once: a screen shown while that
    // line is entered replays no key.
    if (screenBeingLeft_ < 0 && leavingCommits()) {
        screenBeingLeft_ = leaving;
        processKeyOp(kEnterKey);
        screenBeingLeft_ = -1;
        // A value that failed (its error is told) is not carried to the next screen's line:
        // it waits for its screen as it was typed, error mark and all (the field keeps its
        // value), and comes back with it whatever was shown meanwhile.
        if (leaving != kScreenChemistry && !entryManager->text().empty()) {
            auto [ops, cursor] = entryManager->takeLineQuietly();
            failedLines_[leaving] = {std::move(ops), cursor, nullptr};
        }
    }
    // The home screen's line waits while another screen types on the entry line (it
    // comes back with a screen that types on it again, once the screen left has taken its
    // own line).
    if (takesEntryLine(n) && !takesEntryLine(leaving))
        setHomeLineAside();
    currentScreen_ = n;
    if (auto held = failedLines_.find(n); held != failedLines_.end()) {
        if (entryManager && entryManager->text().empty())
            entryManager->putLineBackQuietly(std::move(held->second.ops), held->second.cursor);
        failedLines_.erase(held);
    }
}

std::optional<std::vector<std::uint32_t>> Calculator::takeTypedAnswer()
{
    if (currentScreen_ != question().screen())
        return std::nullopt;
    return std::exchange(typedAnswer_, std::nullopt);
}

void Calculator::processKeyOp(int key)
{
    if (keyProcessor)
        keyProcessor(key);
}

int Calculator::getKey()
{
    MainQueue* main = parser_->programQueue().mainQueue();
    // One turn-over at a time is enough: a program polling getKey does not flood the queue.
    if (programRunning && main && !keyReadPending_->exchange(true))
        main->post([pending = keyReadPending_] { pending->store(false); });
    if (const int typed = typedKeys.take())
        return typed;
    return lastKey.exchange(0);
}

// ---- Variable store ----

VariableRecord Calculator::getVar(int slot) const
{
    if (slot < 0 || slot >= kVarCount)
        return {};
    auto held = lockState();
    const State& s = state();
    return {s.vars[slot], static_cast<std::int8_t>(s.varsSigFig[slot]), static_cast<std::int8_t>(s.varsSigDec[slot])};
}

void Calculator::setVar(int slot, const VariableRecord& record)
{
    if (slot < 0 || slot >= kVarCount)
        return;
    auto held = lockState();
    State& s = state();
    s.vars[slot] = record.value;
    s.varsSigFig[slot] = record.sigFig;
    s.varsSigDec[slot] = record.sigDec;
}

Calculator::Bounds Calculator::window() const
{
    const auto state = locked();
    return {state->vars[kSlotXmin].real(), state->vars[kSlotXmax].real(), state->vars[kSlotYmin].real(),
        state->vars[kSlotYmax].real()};
}

// ---- Modes ----

NumberFormatter Calculator::numberFormatter() const
{
    auto held = lockState();
    const State& s = state();
    return NumberFormatter({s.numFormat, s.numDigits, s.numBase, s.maxWidth, s.thousandSeperator, s.maxDenominator,
                            s.fixDenominator, realCplxMode(), angleFormat()});
}

NumberFormatter Calculator::plainFormatter() const
{
    NumberFormatter f = numberFormatter();
    // A grouping mark, a decimal comma or a binary/hexadecimal text would spell another
    // number (or split a comma-separated field): these texts are read back as decimal digits.
    f.settings.thousandSeperator = u' ';
    f.settings.numBase = 0;
    return f;
}

void Calculator::setAngleFormat(int format)
{
    auto held = lockState();
    angleFormat_ = format;
}

int Calculator::realCplxMode() const
{
    const int switched = parser_ ? parser_->ctx().complexSwitch : -1;
    return switched >= 0 ? switched : realCplxMode_.load();
}

void Calculator::setRealCplxMode(int mode)
{
    auto held = lockState();
    realCplxMode_ = mode;
    if (parser_)
        parser_->ctx().complexSwitch = -1;
}

void Calculator::switchToComplexForEvaluation()
{
    if (!parser_)
        return;
    EvalContext& c = parser_->ctx();
    if (c.evalDepth > 0 && realCplxMode() == 0)
        c.complexSwitch = 1;
}

void Calculator::setGraphMode(int mode)
{
    {
        auto held = lockState();
        if (mode == graphMode_)
            return;
        graphMode_ = mode;
    }
    if (graphModeSyncPending_.exchange(true))
        return;
    onMainThread([this] {
        // Cleared before the mode is read: a change after the read posts again.
        graphModeSyncPending_.store(false);
        const int now = graphMode();
        if (yEqManager) {
            auto held = lockState();
            yEqManager->changeMode(now);
        }
        notifications_.post(VQGraphModeChanged, this);
    });
}

// ---- Graph ----

void Calculator::validateWindow()
{
    auto held = lockState();
    State& s = state();
    constexpr double kMinWidth = 1e-6;
    auto axis = [&s](int minSlot, int maxSlot) {
        double min = s.vars[minSlot].real();
        double max = s.vars[maxSlot].real();
        if (!std::isfinite(min) || !std::isfinite(max)) {
            min = -10;
            max = 10;
        }
        if (max < min)
            std::swap(min, max);
        if (std::fabs(max - min) < kMinWidth)
            max = min + kMinWidth;
        s.vars[minSlot] = min;
        s.vars[maxSlot] = max;
    };
    axis(kSlotXmin, kSlotXmax);
    axis(kSlotYmin, kSlotYmax);

    const bool parametric = graphMode_ == 1;
    if (!parametric && graphMode_ != 2)
        return;
    const int minSlot = parametric ? kSlotTmin : kSlotThetaMin;
    const int maxSlot = parametric ? kSlotTmax : kSlotThetaMax;
    const int stepSlot = parametric ? kSlotTstep : kSlotThetaStep;
    constexpr double kTurn = 2 * std::numbers::pi;
    double min = s.vars[minSlot].real();
    double max = s.vars[maxSlot].real();
    double step = s.vars[stepSlot].real();
    if (!std::isfinite(min) || !std::isfinite(max)) {
        min = 0;
        max = kTurn;
        step = 0;
    }
    // The parameter may run downwards: the range is not put in increasing order.
    if (std::fabs(max - min) < kMinWidth) {
        if (max == min)
            max = min + (parametric ? 1 : kTurn);
        else
            max = min < max ? min + kMinWidth : min - kMinWidth;
    }
    if (step == 0 || !std::isfinite(step))
        step = (max - min) / 200;
    if ((max < min && step > 0) || (min < max && step < 0))
        step = -step;
    if (std::fabs((max - min) / step) > 2000)
        step = (max - min) / 2000;
    s.vars[stepSlot] = step;
    s.vars[minSlot] = min;
    s.vars[maxSlot] = max;
}

std::optional<Calculator::TimePoint> Calculator::drawStartTime() const
{
    const auto ticks = drawStartTime_.load();
    if (ticks == 0)
        return std::nullopt;
    return TimePoint(TimePoint::duration(ticks));
}

void Calculator::setDrawStartTime(std::optional<TimePoint> time)
{
    drawStartTime_.store(time ? time->time_since_epoch().count() : 0);
}

// ---- Token naming (the shared vocabulary) ----

std::string Calculator::nameForOpcode(std::uint32_t op) const { return Vocabulary::shared().nameForOpcode(op); }
std::string Calculator::speakNameForOpcode(std::uint32_t op) const { return Vocabulary::shared().speakNameForOpcode(op); }
std::string Calculator::descriptionForOpcode(std::uint32_t op) const { return Vocabulary::shared().descriptionForOpcode(op); }
std::optional<std::string> Calculator::expandedNameForOpcode(std::uint32_t op) const { return Vocabulary::shared().expandedNameForOpcode(op); }
std::uint32_t Calculator::opcodeForName(std::string_view name) const { return Vocabulary::shared().opcodeForName(name); }
std::optional<std::string> Calculator::nameForRegression(int index) const { return Vocabulary::shared().nameForRegression(index); }
std::optional<std::string> Calculator::nameForGCompute(int index) const { return Vocabulary::shared().nameForGCompute(index); }
std::optional<std::string> Calculator::nameForVariable(std::int32_t slot) const { return Vocabulary::shared().nameForVariable(slot); }

const std::unordered_map<std::string_view, std::uint32_t>& Calculator::opcodeDB() const { return Vocabulary::shared().opcodeDB(); }
Calculator::Ops Calculator::opsFromString(std::string_view text) const { return Vocabulary::shared().opsFromString(text); }

// ---- Catalogue ----

const std::unordered_map<std::string, std::uint32_t>& Calculator::catalogDict() const { return Catalogue::shared().dictionary(); }
const std::vector<std::string>& Calculator::catalogKeys() const { return Catalogue::shared().keys(); }
void Calculator::cleanOpName(std::string& name) { Catalogue::cleanOpName(name); }
std::uint32_t Calculator::lookupCatalogName(std::string_view name, char32_t terminal, bool& usedTerminal) const { return Catalogue::shared().lookupCatalogName(name, terminal, usedTerminal); }

// ---- Op arrays as text ----

std::string Calculator::stringFromOps(std::span<const std::uint32_t> ops) const { return TokenText::stringFromOps(ops); }
std::string Calculator::stringFromOps(std::span<const std::uint32_t> ops, std::int32_t& cursorPosition) const { return TokenText::stringFromOps(ops, cursorPosition); }
std::string Calculator::speakFromOps(std::span<const std::uint32_t> ops) const { return TokenText::speakFromOps(ops); }
Calculator::Ops Calculator::stringToOps(std::string_view text) const { return TokenText::stringToOps(text); }

// ---- Token line analysis ----

bool Calculator::hasLeftParen(std::uint32_t op) const { return TokenLineAnalysis::hasLeftParen(op); }
TokenLineAnalysis::Range Calculator::parenContextInOps(std::span<const std::uint32_t> ops, int location) const { return TokenLineAnalysis::parenContextInOps(ops, location); }
void Calculator::getEquationVars(std::set<std::uint32_t>& vars, std::span<const std::uint32_t> ops) const { TokenLineAnalysis(*this).getEquationVars(vars, ops); }
Calculator::Ops Calculator::solverVars() const { return TokenLineAnalysis(*this).solverVars(); }
Calculator::Ops Calculator::valueOpsForList(const VQList& list) const { return TokenLineAnalysis(*this).valueOpsForList(list); }
std::optional<Calculator::Ops> Calculator::valueOpsForVar(std::uint32_t token) const { return TokenLineAnalysis(*this).valueOpsForVar(token); }

// ---- Value and error text (ValueText) ----

std::string Calculator::formatOperand(const Operand& op) const { return ValueText(*this).formatOperand(op); }
const std::string& Calculator::formatError(int number) const { return ValueText::formatError(number); }
std::string Calculator::getAns() const { return ValueText(*this).getAns(); }
std::string Calculator::getVariable(std::uint32_t token) const { return ValueText(*this).getVariable(token); }
std::string Calculator::getStringVariable(std::uint32_t token) const { return ValueText(*this).getStringVariable(token); }
std::string Calculator::getYEqVariable(std::uint32_t token) const { return ValueText(*this).getYEqVariable(token); }
std::optional<std::string> Calculator::nameForList(const VQList* list) const { return ValueText(*this).nameForList(list); }

// ---- Colour tables ----

VColor Calculator::interfaceColorIndex(int n) const { return ColorTables::interfaceColor(keyboardColorSet, n); }
VColor Calculator::interfaceColor(int set, int index) const { return ColorTables::interfaceColor(set, index); }
VQList Calculator::standardColor(int n) const { return ColorTables::standardColor(n); }
VQList Calculator::tiColor(int n) const { return ColorTables::tiColor(n); }
VQColor Calculator::stdVQColor(int i) const { return ColorTables::stdVQColor(i); }

// ---- Memory archive ----

void Calculator::saveMemory(std::vector<Archive>& memory, bool /*factoryDefaults*/, MemoryArchive::LeftOut* leftOut)
{
    if (prgmManager)
        prgmManager->saveProgram();
    auto held = lockState();
    memory.push_back(MemoryArchive::save(*this, leftOut));
}

void Calculator::initMemory(const std::vector<Archive>& memory)
{
    if (memory.empty())
        return;
    auto held = lockState();
    MemoryArchive::restore(*this, memory.front());
}

// ---- Room in a save ----

void Calculator::setArchiveBounds(const MemoryArchive::Bounds& bounds)
{
    checkStateLock();
    archiveBounds_ = bounds;
}

ArchiveCost Calculator::storedCost() const
{
    const State& s = state();
    ArchiveCost cost = ArchiveCost::ofTableList(static_cast<std::size_t>(s.tableList.count()));
    for (const auto& [name, list] : s.lists)
        cost += ArchiveCost::ofList(name, static_cast<std::size_t>(list.count()));
    for (const VQString& string : s.strings)
        cost += ArchiveCost::ofString(string.size());
    for (const VQMatrix& m : s.matrices)
        cost += ArchiveCost::ofMatrix(m.dimRow(), m.dimCol());
    return cost;
}

bool Calculator::takeRoom(const ArchiveCost& adding, const ArchiveCost& freeing)
{
    checkStateLock();
    // A change that takes no more room is never refused, whatever the state holds.
    const bool growing = adding.values > freeing.values || adding.containers > freeing.containers
        || adding.bytes > freeing.bytes;
    const auto fits = [&] { return !growing || (stored_ + rest_ + adding - freeing).within(archiveBounds_); };
    // A change the count did not follow (a list emptied in place) only ever freed room.
    if (!fits())
        stored_ = storedCost();
    if (!fits())
        return false;
    stored_ += adding;
    stored_ -= freeing;
    return true;
}

bool Calculator::couldKeep(const ArchiveCost& value) const
{
    checkStateLock();
    return (rest_ + value).within(archiveBounds_);
}

void Calculator::measureArchive(const ArchiveCost& kept) const
{
    checkStateLock();
    stored_ = storedCost();
    // Counted as stores count them, so that the two add up to the archive as it is now.
    rest_ = kept - stored_;
}

bool Calculator::storeList(const std::string& name, VQList list)
{
    State& s = state();
    const auto old = s.lists.find(name);
    const ArchiveCost freeing = old == s.lists.end() ? ArchiveCost{} : ArchiveCost::ofList(name, static_cast<std::size_t>(old->second.count()));
    if (!takeRoom(ArchiveCost::ofList(name, static_cast<std::size_t>(list.count())), freeing))
        return false;
    s.lists.insert_or_assign(name, std::move(list));
    return true;
}

bool Calculator::storeLists(std::vector<std::pair<std::string, VQList>> lists)
{
    State& s = state();
    ArchiveCost adding, freeing;
    // A name given twice is stored once, its last list kept.
    std::map<std::string, const VQList*> last;
    for (const auto& [name, list] : lists)
        last[name] = &list;
    for (const auto& [name, list] : last) {
        adding += ArchiveCost::ofList(name, static_cast<std::size_t>(list->count()));
        if (const auto old = s.lists.find(name); old != s.lists.end())
            freeing += ArchiveCost::ofList(name, static_cast<std::size_t>(old->second.count()));
    }
    if (!takeRoom(adding, freeing))
        return false;
    for (auto& [name, list] : lists)
        s.lists.insert_or_assign(name, std::move(list));
    return true;
}

bool Calculator::storeTableList(const VQList& list)
{
    State& s = state();
    if (!takeRoom(ArchiveCost::ofTableList(static_cast<std::size_t>(list.count())),
            ArchiveCost::ofTableList(static_cast<std::size_t>(s.tableList.count()))))
        return false;
    s.tableList.setList(list);
    return true;
}

bool Calculator::storeString(std::size_t n, VQString string)
{
    State& s = state();
    if (n >= s.strings.size() || !takeRoom(ArchiveCost::ofString(string.size()), ArchiveCost::ofString(s.strings[n].size())))
        return false;
    s.strings[n] = std::move(string);
    return true;
}

bool Calculator::storeMatrix(std::size_t n, VQMatrix matrix)
{
    State& s = state();
    if (n >= s.matrices.size()
        || !takeRoom(ArchiveCost::ofMatrix(matrix.dimRow(), matrix.dimCol()),
            ArchiveCost::ofMatrix(s.matrices[n].dimRow(), s.matrices[n].dimCol())))
        return false;
    s.matrices[n] = std::move(matrix);
    return true;
}

VQList* Calculator::listToGrow(const std::string& name, int more)
{
    State& s = state();
    const auto found = s.lists.find(name);
    ArchiveCost adding = ArchiveCost::ofListElements(static_cast<std::size_t>(std::max(more, 0)));
    if (found == s.lists.end())
        adding += ArchiveCost::ofList(name, 0);
    if (!takeRoom(adding, {}))
        return nullptr;
    return found == s.lists.end() ? &s.lists[name] : &found->second;
}

bool Calculator::roomToGrowString(std::size_t n, std::size_t more)
{
    const State& s = state();
    return n < s.strings.size()
        && takeRoom(ArchiveCost::ofString(s.strings[n].size() + more), ArchiveCost::ofString(s.strings[n].size()));
}

void Calculator::eraseList(const std::string& name)
{
    State& s = state();
    if (const auto found = s.lists.find(name); found != s.lists.end()) {
        stored_ -= ArchiveCost::ofList(name, static_cast<std::size_t>(found->second.count()));
        s.lists.erase(found);
    }
}

// ---- Services ----

void Calculator::updateDisplay() { toDelegate(viewDelegate, &ViewControlDelegate::VCUpdateDisplay); }
void Calculator::reportProgramRunning(bool running) { toDelegate(viewDelegate, &ViewControlDelegate::VCProgramRunning, running); }
void Calculator::showDebugger(bool show) { toDelegate(viewDelegate, &ViewControlDelegate::VCShowDebugger, show); }
void Calculator::suspendDebugger() { toDelegate(viewDelegate, &ViewControlDelegate::VCSuspendDebugger); }
void Calculator::showError(const nlohmann::json& error) { toDelegate(viewDelegate, &ViewControlDelegate::VCShowError, error); }
void Calculator::showPeriodicTable() { toDelegate(viewDelegate, &ViewControlDelegate::VCShowPeriodicTable); }
void Calculator::showStatTest(int token) { toDelegate(viewDelegate, &ViewControlDelegate::VCShowStatTest, token); }
void Calculator::showGeometry(int token) { toDelegate(viewDelegate, &ViewControlDelegate::VCShowGeometry, token); }
void Calculator::showSolverPlot(const nlohmann::json& window) { toDelegate(viewDelegate, &ViewControlDelegate::VCShowSolverPlot, window); }
void Calculator::showProgramOutput() { toDelegate(viewDelegate, &ViewControlDelegate::VCShowProgramOutput); }

void Calculator::startDrawing()
{
    setDrawStartTime(std::chrono::system_clock::now());
}

double Calculator::drawTime() const
{
    const auto start = drawStartTime();
    if (!start)
        return 0;
    return std::fabs(std::chrono::duration<double>(std::chrono::system_clock::now() - *start).count());
}

bool Calculator::validFileExtension(std::string_view extension) const
{
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::any_of(fileExtensions.begin(), fileExtensions.end(), [&](const std::string& accepted) {
        return accepted.size() == extension.size()
            && std::equal(accepted.begin(), accepted.end(), extension.begin(),
                [&](char a, char b) { return lower(a) == lower(b); });
    });
}

int Calculator::loadProgram(const std::vector<std::uint8_t>& data)
{
    const auto file = TIFileIO::tiFileIOWithData(data);
    if (!file)
        return 1;
    return file->loadVars();
}

std::string Calculator::deviceName() { return DeviceInfo::deviceName(); }
std::string Calculator::machineName() const { return DeviceInfo::machineIdentifier(); }
std::string Calculator::versionString() const { return DeviceInfo::versionString(); }

Calculator::Rect Calculator::pdfPageRectForForm(int form)
{
    switch (form) {
    case 0: return {0, 0, 595, 841};
    case 2: return {0, 0, 612, 1008};
    default: return {0, 0, 612, 792};
    }
}

void Calculator::standardFontSize(double& fontSize, double& leading, const Rect& rect)
{
    // 33 characters of the 16-point display font: a fixed-pitch face whose advance is
    // 1229/2048 of the size.
    constexpr double kTextWidth = 33 * 16 * 1229.0 / 2048.0;
    const double k = std::max(rect.width / kTextWidth, 1.0);
    fontSize = 16 * k;
    leading = 15 * k;
}

void Calculator::adjustScale(double xScale, double yScale, GraphScale& info) const
{
    info.adjust(xScale, yScale, locked()->graphXAxisLabelMode);
}

void Calculator::setFeatureLock(int n)
{
    if (!scaleTracking && n != 0 && n != featureLock && tracking && !trackingVar && lockMagnifier) {
        // Two screen points, in graph units of each axis.
        const double dx = 2 / std::fabs(t.a);
        const double dy = 2 / std::fabs(t.d);
        if (std::fabs(pTrackPoint.x - buzzPoint.x) > dx || std::fabs(pTrackPoint.y - buzzPoint.y) > dy) {
            if (!tapticGenerator)
                tapticGenerator = ImpactFeedback::generatorWithStyle(ImpactFeedback::Style::Heavy);
            if (tapticGenerator)
                tapticGenerator->impactOccurred();
            buzzPoint = {pTrackPoint.x, pTrackPoint.y};
        }
    }
    featureLock = n;
}

} // namespace orvenda
