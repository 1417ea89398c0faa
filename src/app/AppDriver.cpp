#include "app/AppDriver.h"

#include "app/AppLauncher.h"
#include "app/AppShell.h"
#include "app/EntryModel.h"
#include "app/HistoryModel.h"
#include "app/RootController.h"
#include "core/Calculator.h"
#include "core/Operand.h"
#include "core/services/ProgramManager.h"
#include "core/services/ProgramOutputManager.h"
#include "core/services/ViewControlDelegate.h"
#include "graphui/YEqModel.h"
#include "language/EntryText.h"
#include "pretty/FontMap.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <charconv>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <optional>

namespace orvenda {

namespace {

using Ops = std::vector<std::uint32_t>;

constexpr auto kIdleLimit = std::chrono::seconds(30);
constexpr std::uint32_t kQuitKey = 1042;
constexpr std::uint32_t kHomeScreenKey = 4117;
constexpr std::uint32_t kYEqKey = 1024;

// A key of the calculator keyboard: its label, its op in the plain, 2nd and alpha layers,
// and the classic getKey code a program reads for it.
struct Key {
    std::string_view label;
    std::array<std::uint32_t, 3> ops;
    int getKey;
};

// The keyboard from the top left, row by row.
constexpr std::array<Key, 50> kKeys{{
    {"Y=", {1024, 1045, 1066}, 11},        {"GRAPH", {1028, 1025, 1067}, 12},   {"HOME", {4117, 1047, 1068}, 13},
    {"TABLE", {1049, 1046, 1069}, 14},     {"UNDO", {4126, 4127, 1055}, 15},    {"2ND", {1039, 1039, 1039}, 21},
    {"MODE", {1029, 1042, 1079}, 22},      {"DEL", {1030, 1031, 1080}, 23},     {"LEFT", {1033, 1037, 1033}, 24},
    {"UP", {1035, 1077, 0x5C49}, 25},      {"ALPHA", {1040, 1041, 1040}, 31},   {"X,T,θ,N", {1043, 0xE7, 0xEF38}, 32},
    {"STAT", {1044, 1058, 0xBBF9}, 33},    {"DOWN", {1036, 1078, 0x5C4A}, 34},  {"RIGHT", {1034, 1038, 1034}, 26},
    {"MATH", {1050, 1059, 1050}, 41},      {"APPS", {1051, 1060, 1051}, 42},    {"PRGM", {1052, 1061, 1052}, 43},
    {"VARS", {1053, 1062, 1053}, 44},      {"CLEAR", {1032, 0x85, 1032}, 45},   {"X⁻¹", {0x0C, 1054, 0x0C}, 51},
    {"SIN", {0xC2, 0xC3, 0xC2}, 52},       {"COS", {0xC4, 0xC5, 0xC4}, 53},     {"TAN", {0xC6, 0xC7, 0xC6}, 54},
    {"^", {0xF0, 0xAC, 0xF0}, 55},         {"X²", {0x0D, 0xBC, 0x0D}, 61},      {",", {0x2B, 0x3B, 0x2B}, 62},
    {"(", {0x10, 0x08, 0x10}, 63},         {")", {0x11, 0x09, 0x11}, 64},       {"÷", {0x83, 0xBB31, 0x83}, 65},
    {"LOG", {0xC0, 0xC1, 0xC0}, 71},       {"7", {0x37, 0x5E80, 0x37}, 72},     {"8", {0x38, 0x5E81, 0x38}, 73},
    {"9", {0x39, 0x5E82, 0x39}, 74},       {"×", {0x82, 0x06, 0x82}, 75},       {"LN", {0xBE, 0xBF, 0xBE}, 81},
    {"4", {0x34, 0x5D03, 0x34}, 82},       {"5", {0x35, 0x5D04, 0x35}, 83},     {"6", {0x36, 0x5D05, 0x36}, 84},
    {"−", {0x71, 0x07, 0x71}, 85},         {"STO→", {0x04, 1071, 0x04}, 91},    {"1", {0x31, 0x5D00, 0x31}, 92},
    {"2", {0x32, 0x5D01, 0x32}, 93},       {"3", {0x33, 0x5D02, 0x33}, 94},     {"+", {0x70, 1072, 0x70}, 95},
    {"ON", {4123, 4118, 4123}, 0},         {"0", {0x30, 1056, 0x30}, 102},      {".", {0x3A, 0x2C, 0x3A}, 103},
    {"(−)", {0xB0, 0x72, 0xB0}, 104},      {"ENTER", {1065, 1063, 1065}, 105},
}};

// Plain spellings of labels with signs a script may not have at hand.
constexpr std::array<std::pair<std::string_view, std::string_view>, 9> kAliases{{
    {"/", "÷"}, {"*", "×"}, {"-", "−"}, {"(-)", "(−)"}, {"STO", "STO→"}, {"STO->", "STO→"}, {"X^-1", "X⁻¹"},
    {"X^2", "X²"}, {"XTTN", "X,T,θ,N"},
}};

std::string upper(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

const Key* findKey(std::string_view name)
{
    std::string wanted = upper(name);
    for (const auto& [alias, label] : kAliases)
        if (wanted == alias)
            wanted = std::string(label);
    for (const Key& key : kKeys)
        if (upper(key.label) == wanted)
            return &key;
    return nullptr;
}

std::string_view trim(std::string_view s)
{
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

std::optional<int> number(std::string_view s, int base = 10)
{
    int value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value, base);
    if (error != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

// Runs the event loop for a while.
void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

QMessageBox* openAlert() { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); }

QString caption(const QAbstractButton* button) { return button->text().remove(QLatin1Char('&')); }

// Programs kept in memory, until the app stores programs itself.
class ScriptPrograms : public ProgramManager {
public:
    void saveProgram() override {}
    void updatePrograms() override {}
    bool debug() const override { return false; }
    void setPrgmEditCursor(int) override {}
    void setPrgmCursor(int, const std::string&) override {}
    void showStepPC(int, const std::string&) override {}
    std::string programName() const override { return {}; }
    std::optional<Ops> opsFor(const std::string& name) const override
    {
        std::lock_guard lock(mutex_);
        const auto found = programs_.find(name);
        return found == programs_.end() ? std::nullopt : std::optional<Ops>(found->second);
    }
    void store(const std::string& name, Ops ops)
    {
        std::lock_guard lock(mutex_);
        programs_[name] = std::move(ops);
    }

private:
    mutable std::mutex mutex_;
    std::map<std::string, Ops> programs_;
};

// The program output screen as the lines it was asked to show, until the app has one.
class ScriptOutput : public ProgramOutputManager {
public:
    explicit ScriptOutput(Calculator& calc) : calc_(calc) {}

    void newLine() override {}
    void clearHome() override { lines_.clear(); }
    void displayOp(const Operand& value) override
    {
        Operand shown = value;
        if (value.kind == KindOutput || value.kind == KindPause)
            shown.kind = value.ints[2];
        lines_.push_back(calc_.formatOperand(shown));
    }
    void output(const std::string& text, int, int) override { lines_.push_back(text); }
    void startProgram(const std::string&) override { lines_.clear(); }
    void clearMenu() override {}
    void setCursorPosition(CursorPosition) override {}
    std::string screenShot() const override { return "<screenShot>\n" + done() + "\n</screenShot>"; }
    void displayResult(const std::string& text, int) override { lines_.push_back(text); }
    void doBreakError(int error) override { lines_.push_back(error == 0 ? "Break" : calc_.formatError(error)); }
    std::string done() const override
    {
        std::string text;
        for (const std::string& line : lines_)
            text += (text.empty() ? "" : "\n") + line;
        return text;
    }

    const std::vector<std::string>& lines() const { return lines_; }

private:
    Calculator& calc_;
    std::vector<std::string> lines_;
};

// The app's view delegate with the last reported error number noted on the way.
class ErrorRecorder : public ViewControlDelegate {
public:
    explicit ErrorRecorder(std::shared_ptr<ViewControlDelegate> view) : view_(std::move(view)) {}

    int lastError() const { return lastError_; }

    void VCShowError(const nlohmann::json& error) override
    {
        lastError_ = error.value("errorNum", 0);
        if (view_)
            view_->VCShowError(error);
    }
    void VCUpdateDisplay() override { forward(&ViewControlDelegate::VCUpdateDisplay); }
    void VCShowGraph(bool show) override { forward(&ViewControlDelegate::VCShowGraph, show); }
    void VCGraphChanged() override { forward(&ViewControlDelegate::VCGraphChanged); }
    void VCProgramRunning(bool running) override { forward(&ViewControlDelegate::VCProgramRunning, running); }
    void VCPauseProgram() override { forward(&ViewControlDelegate::VCPauseProgram); }
    void VCShowProgramOutput() override { forward(&ViewControlDelegate::VCShowProgramOutput); }
    void VCShowDebugger(bool show) override { forward(&ViewControlDelegate::VCShowDebugger, show); }
    void VCSuspendDebugger() override { forward(&ViewControlDelegate::VCSuspendDebugger); }
    void VCShowPeriodicTable() override { forward(&ViewControlDelegate::VCShowPeriodicTable); }
    void VCShowStatTest(int token) override { forward(&ViewControlDelegate::VCShowStatTest, token); }
    void VCShowGeometry(int token) override { forward(&ViewControlDelegate::VCShowGeometry, token); }
    void VCShowSolverPlot(const nlohmann::json& window) override
    {
        forward(&ViewControlDelegate::VCShowSolverPlot, window);
    }
    void VCShowTable() override { forward(&ViewControlDelegate::VCShowTable); }

private:
    template <class... Params, class... Args>
    void forward(void (ViewControlDelegate::*message)(Params...), Args&&... args)
    {
        if (view_)
            (view_.get()->*message)(std::forward<Args>(args)...);
    }

    std::shared_ptr<ViewControlDelegate> view_;
    std::atomic<int> lastError_{0};
};

} // namespace

// ---- The command line ----

int AppDriver::main(int argc, char** argv)
{
    const char* usage = "usage: orvenda-drive SCRIPT [--data DIR] [--size WxH] [--device phone|tablet] [--first-run]\n";
    AppLauncher::Options options;
    options.firstRunGreeting = false;
    std::string scriptPath;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--drive")
            continue;
        if (arg == "--first-run") {
            options.firstRunGreeting = true;
        } else if (arg == "--device" && i + 1 < argc) {
            const std::string_view device = argv[++i];
            if (device != "phone" && device != "tablet") {
                std::cerr << "orvenda-drive: --device takes phone or tablet, not «" << device << "»\n" << usage;
                return 2;
            }
            options.tablet = device == "tablet";
        } else if (arg == "--data" && i + 1 < argc) {
            options.dataFolder = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == "--size" && i + 1 < argc) {
            const std::string_view size = argv[++i];
            const auto x = size.find('x');
            const auto w = x == std::string_view::npos ? std::nullopt : number(size.substr(0, x));
            const auto h = x == std::string_view::npos ? std::nullopt : number(size.substr(x + 1));
            if (!w || !h || *w <= 0 || *h <= 0) {
                std::cerr << "orvenda-drive: --size takes WIDTHxHEIGHT, not «" << size << "»\n" << usage;
                return 2;
            }
            options.size = {*w, *h};
        } else if (scriptPath.empty() && !arg.starts_with("--")) {
            scriptPath = arg;
        } else {
            std::cerr << "orvenda-drive: unknown argument «" << arg << "»\n" << usage;
            return 2;
        }
    }
    if (scriptPath.empty()) {
        std::cerr << usage;
        return 2;
    }
    std::ifstream script(scriptPath);
    if (!script) {
        std::cerr << "orvenda-drive: cannot read the script " << scriptPath << "\n";
        return 2;
    }

    // The real app, without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    QApplication::setApplicationName("Orvenda");
    const QStringList missing = FontMap::shared().missingFiles();
    if (!missing.isEmpty())
        std::cerr << "orvenda-drive: font files missing: " << missing.join(", ").toStdString() << "\n";
    std::optional<QTemporaryDir> fresh;
    if (options.dataFolder.isEmpty()) {
        fresh.emplace();
        options.dataFolder = fresh->path();
    }
    int result = 0;
    {
        AppLauncher app(qt, options);
        AppDriver driver(app, std::cout, std::cerr);
        QTimer::singleShot(0, &qt, [&] {
            result = driver.run(script);
            // As a user quits: an open alert does not hold the app.
            QCoreApplication::exit(result);
        });
        QApplication::exec();
    }
    return result;
}

// ---- The script ----

AppDriver::AppDriver(AppLauncher& app, std::ostream& out, std::ostream& err)
    : app_(app), out_(out), err_(err), entryText_(std::make_unique<EntryText>())
{
    Calculator& calc = app_.calculator();
    previousView_ = calc.viewDelegate;
    recorder_ = std::make_shared<ErrorRecorder>(previousView_);
    calc.viewDelegate = recorder_;
    if (!calc.prgmManager) {
        programs_ = std::make_shared<ScriptPrograms>();
        calc.prgmManager = programs_;
    }
    if (!calc.prgmOutputMgr) {
        output_ = std::make_shared<ScriptOutput>(calc);
        calc.prgmOutputMgr = output_;
    }
}

AppDriver::~AppDriver()
{
    Calculator& calc = app_.calculator();
    calc.viewDelegate = previousView_;
    if (programs_ && calc.prgmManager == programs_)
        calc.prgmManager = nullptr;
    if (output_ && calc.prgmOutputMgr == output_)
        calc.prgmOutputMgr = nullptr;
}

bool AppDriver::fail(const std::string& message)
{
    err_ << "orvenda-drive: line " << line_ << ": " << message << "\n";
    return false;
}

int AppDriver::run(std::istream& script)
{
    std::string text;
    std::optional<std::string> program;
    std::string programText;
    while (std::getline(script, text)) {
        ++line_;
        const std::string_view line = trim(text);
        if (program) {
            if (line == "end") {
                std::string bad;
                const auto ops = entryText_->toOps(programText, bad);
                if (!ops || !programs_) {
                    fail(ops ? "the app keeps its own programs" : "program " + *program + ": no token for «" + bad + "»");
                    return 1;
                }
                static_cast<ScriptPrograms&>(*programs_).store(*program, *ops);
                program.reset();
            } else {
                programText += (programText.empty() ? "" : "\n") + std::string(line);
            }
            continue;
        }
        if (line.empty() || line.starts_with('#'))
            continue;
        const auto blank = line.find(' ');
        const std::string_view command = line.substr(0, blank);
        const std::string_view argument = blank == std::string_view::npos ? "" : trim(line.substr(blank + 1));
        if (command == "program") {
            if (argument.empty()) {
                fail("program needs a name");
                return 1;
            }
            program = std::string(argument);
            programText.clear();
            continue;
        }
        if (!execute(command, argument))
            return 1;
    }
    if (program) {
        fail("program " + *program + " has no end");
        return 1;
    }
    return 0;
}

bool AppDriver::execute(std::string_view command, std::string_view argument)
{
    if (command == "key")
        return key(argument);
    if (command == "type")
        return type(argument);
    if (command == "tap")
        return tap(argument);
    if (command == "wait")
        return wait(argument);
    if (command == "shot")
        return shot(argument);
    if (command == "press")
        return press(argument);
    if (command == "dump" && argument.empty()) {
        dump();
        return true;
    }
    return fail("unknown line «" + std::string(command) + (argument.empty() ? "" : " ") + std::string(argument)
                + "» (key, type, tap, wait, shot, press, dump, program)");
}

bool AppDriver::key(std::string_view name)
{
    Calculator& calc = app_.calculator();
    std::uint32_t op = 0;
    if (name.starts_with("0x") || name.starts_with("0X")) {
        const auto code = number(name.substr(2), 16);
        if (!code || *code < 0)
            return fail("no key code «" + std::string(name) + "»");
        op = static_cast<std::uint32_t>(*code);
    } else {
        const Key* key = findKey(name);
        if (!key)
            return fail("no key «" + std::string(name) + "» on the calculator keyboard");
        // The keyboard picks the layer from the shift state and notes the key for getKey.
        const int layer = calc.secondShift ? 1 : (calc.alphaShift || calc.alphaLock) ? 2 : 0;
        const bool lowercase = layer == 2 && calc.lowercaseLock && (key->ops[0] == 1029 || key->ops[0] == 1030);
        op = lowercase ? key->ops[0] : key->ops[static_cast<std::size_t>(layer)];
        calc.lastKey = key->getKey;
        if (op == 1043) {
            const int mode = calc.graphMode();
            op = mode == 1 ? 0x54 : mode == 2 ? 0x5B : mode == 3 ? 0xBBAA : 0x58;
        }
    }
    if (QMessageBox* alert = openAlert()) {
        const int qtKey = op == 1065 ? Qt::Key_Return : op == 1032 ? Qt::Key_Escape : 0;
        if (qtKey != 0) {
            QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier);
            QApplication::sendEvent(alert, &press);
            spin(0);
        }
        return true;
    }
    // Screen keys belong to the router; until the keyboard exists, the home keys are the
    // ones a script needs (to leave the graph a drawing brought forward).
    if (op == kHomeScreenKey || op == kQuitKey) {
        app_.root().router().showHome();
        return true;
    }
    if (op == kYEqKey) {
        app_.root().router().showScreen(screens::YEq);
        return true;
    }
    calc.processKeyOp(static_cast<int>(op));
    return true;
}

bool AppDriver::type(std::string_view text)
{
    std::string bad;
    const auto ops = entryText_->toOps(text, bad);
    if (!ops)
        return fail("no token for «" + bad + "»");
    if (openAlert())
        return true;
    for (std::uint32_t op : *ops)
        app_.calculator().processKeyOp(static_cast<int>(op));
    return true;
}

bool AppDriver::tap(std::string_view where)
{
    const auto blank = where.find(' ');
    const auto x = blank == std::string_view::npos ? std::nullopt : number(where.substr(0, blank));
    const auto y = blank == std::string_view::npos ? std::nullopt : number(trim(where.substr(blank + 1)));
    if (!x || !y)
        return fail("tap needs X Y");
    if (openAlert())
        return true;
    QWidget& window = app_.root();
    const QPoint point(*x, *y);
    QWidget* target = window.childAt(point);
    if (!target)
        target = &window;
    const QPointF local = target->mapFrom(&window, point);
    const QPointF global = window.mapToGlobal(point);
    QMouseEvent down(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &down);
    QMouseEvent up(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &up);
    return true;
}

bool AppDriver::wait(std::string_view what)
{
    if (what == "idle") {
        if (!app_.shell().settle(kIdleLimit))
            return fail("the program queue did not finish within " + std::to_string(kIdleLimit.count()) + " s");
        spin(0);
        return true;
    }
    const auto ms = number(what);
    if (!ms || *ms < 0)
        return fail("wait takes milliseconds or idle");
    spin(*ms);
    return true;
}

bool AppDriver::shot(std::string_view file)
{
    if (file.empty())
        return fail("shot needs a file name");
    if (!app_.root().grab().save(QString::fromUtf8(file.data(), static_cast<qsizetype>(file.size())), "PNG"))
        return fail("cannot write " + std::string(file));
    return true;
}

bool AppDriver::press(std::string_view caption)
{
    QMessageBox* alert = openAlert();
    if (!alert)
        return fail("press " + std::string(caption) + ": no alert is open");
    const QString wanted = QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
    for (QAbstractButton* button : alert->buttons()) {
        if (::orvenda::caption(button) == wanted) {
            button->click();
            spin(0);
            return true;
        }
    }
    return fail("the open alert has no button «" + std::string(caption) + "»");
}

void AppDriver::dump()
{
    Calculator& calc = app_.calculator();
    nlohmann::json state;
    state["screen"] = calc.currentScreen();
    const auto* entry = dynamic_cast<const EntryModel*>(calc.entryManager.get());
    state["entry"] = entry ? entry->text() : std::string();
    state["cursor"] = entry ? entry->entryCursor() : 0;
    nlohmann::json history = nlohmann::json::array();
    if (const auto* model = dynamic_cast<const HistoryModel*>(calc.historyManager.get()))
        for (const HistoryEntry& item : model->history())
            history.push_back({{"input", calc.stringFromOps(item.entry)}, {"answer", item.result}});
    state["history"] = std::move(history);
    state["ans"] = calc.getAns();
    state["error"] = static_cast<const ErrorRecorder&>(*recorder_).lastError();
    nlohmann::json alerts = nlohmann::json::array();
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        const auto* box = qobject_cast<const QMessageBox*>(widget);
        if (!box || !box->isVisible())
            continue;
        nlohmann::json buttons = nlohmann::json::array();
        for (const QAbstractButton* button : box->buttons())
            buttons.push_back(caption(button).toStdString());
        alerts.push_back({{"title", box->windowTitle().toStdString()}, {"message", box->text().toStdString()},
                          {"buttons", std::move(buttons)}});
    }
    state["alerts"] = std::move(alerts);
    state["output"] = output_ ? static_cast<const ScriptOutput&>(*output_).lines() : std::vector<std::string>();
    if (const auto* equations = dynamic_cast<const YEqModel*>(calc.yEqManager.get());
        equations && calc.currentScreen() == screens::YEq) {
        nlohmann::json rows = nlohmann::json::array();
        const int mode = calc.graphMode();
        for (int i = YEqModel::firstIndexForMode(mode); i <= YEqModel::lastIndexForMode(mode); ++i) {
            const int token = YEqModel::equationForIndex(i);
            const VQColor color = equations->colorForFunction(token).value_or(VQColor());
            rows.push_back({{"name", calc.nameForOpcode(static_cast<std::uint32_t>(token))},
                {"text", equations->eqString(token)}, {"on", equations->shouldPlotFunction(token)},
                {"style", equations->styleForFunction(token)}, {"color", {color.r(), color.g(), color.b()}}});
        }
        state["yEq"] = {{"rows", std::move(rows)},
            {"current", calc.nameForOpcode(static_cast<std::uint32_t>(equations->selectedEqNum()))},
            {"cursor", equations->entryCursor()}};
    }
    out_ << state.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << std::endl;
}

} // namespace orvenda
