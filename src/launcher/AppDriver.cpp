#include "launcher/AppDriver.h"
#include "launcher/LaunchWait.h"

#include "app/AppDelegate.h"
#include "app/AppShell.h"
#include "app/QtMainQueue.h"
#include "app/ClickFocusGuard.h"
#include "app/EntryModel.h"
#include "app/EntryView.h"
#include "app/HistoryModel.h"
#include "app/OverlayPlacement.h"
#include "app/OverlaySlide.h"
#include "app/ClassicHomeScreen.h"
#include "app/MathPrintScreen.h"
#include "app/PrettyHistoryScrollView.h"
#include "app/PrettyScrollView.h"
#include "app/RootController.h"
#include "app/ScreenRegistry.h"
#include "app/ScreenRouter.h"
#include "app/UserKeysView.h"
#include "app/YEqModel.h"
#include "apps/ElementPanel.h"
#include "apps/ElementView.h"
#include "apps/PeriodicConfigurePanel.h"
#include "apps/PeriodicTableScreen.h"
#include "apps/PeriodicTableView.h"
#include "core/Calculator.h"
#include "core/Operand.h"
#include "core/services/ProgramOutputManager.h"
#include "app/ImageButton.h"
#include "programs/ProgramDebuggerScreen.h"
#include "programs/ProgramEditView.h"
#include "programs/ProgramEditorScreen.h"
#include "programs/ProgramModel.h"
#include "programs/ProgramOutputModel.h"
#include "programs/VarsView.h"
#include "programs/ProgramOutputScreen.h"
#include "programs/ProgramOutputView.h"
#include "core/services/StatGraphManager.h"
#include "core/services/ViewControlDelegate.h"
#include "docs/ContactScreen.h"
#include "docs/FunctionHelpScreen.h"
#include "docs/GuideKeyboardScreen.h"
#include "docs/GuideKeyboardView.h"
#include "docs/HTMLPageScreen.h"
#include "docs/HelpMenuScreen.h"
#include "docs/SupportActions.h"
#include "platform/MailComposer.h"
#include "platform/OpsClipboard.h"
#include "drawing/BackgroundPicture.h"
#include "platform/PhotoLibrary.h"
#include "platform/ShareSheet.h"
#include "eval/Parser.h"
#include "eval/ProgramQueue.h"
#include "graph/GraphText.h"
#include "graph/GraphView.h"
#include "graph/PlotObject.h"
#include "graph/PlotSequence.h"
#include "graphui/GraphKeyboardView.h"
#include "graphui/GraphScreenController.h"
#include "graphui/GraphVarsView.h"
#include "graphui/TableScreen.h"
#include "core/DrawObject.h"
#include "graph/FixedGraphView.h"
#include "input/SegmentedControl.h"
#include "stats/ColumnPicker.h"
#include "stats/PlotBox.h"
#include "stats/PlotDistribution.h"
#include "stats/StatEditScreen.h"
#include "stats/StatPlotModel.h"
#include "stats/StatEqScreen.h"
#include "stats/StatPlotSetup.h"
#include "stats/StatTestCatalogue.h"
#include "stats/StatTestListPicker.h"
#include "stats/StatTestMenu.h"
#include "stats/StatTestScreen.h"
#include "stats/StatWizScreen.h"
#include "apps/ChemScreen.h"
#include "apps/ChemView.h"
#include "apps/FinanceScreen.h"
#include "apps/MarkUpText.h"
#include "apps/MatrixEditScreen.h"
#include "apps/MatrixEditView.h"
#include "apps/MatrixPromptScreen.h"
#include "apps/GeometryMenu.h"
#include "apps/GeometryScreen.h"
#include "apps/SimulEqScreen.h"
#include "apps/PolyScreen.h"
#include "apps/TriangleView.h"
#include "graphui/ThumbSlider.h"
#include "input/HelpPage.h"
#include "apps/SolverScreen.h"
#include "graphui/TableView.h"
#include "graphui/WindowScreen.h"
#include "input/CatalogScreen.h"
#include "input/KeyButton.h"
#include "input/KeySetEditorScreen.h"
#include "input/KeySetView.h"
#include "input/KeyTables.h"
#include "input/KeyboardView.h"
#include "input/AboutPage.h"
#include "apps/ConversionScreen.h"
#include "apps/CSVView.h"
#include "apps/CSVViewController.h"
#include "apps/FourFunctionPanel.h"
#include "input/ColorPickerScreen.h"
#include "input/MenuScreen.h"
#include "input/TagSelector.h"
#include "input/ProgramNotesPage.h"
#include "language/EntryText.h"
#include "launcher/AnimationSteps.h"
#include "launcher/AppLauncher.h"
#include "launcher/ControlReach.h"
#include "launcher/SingleInstance.h"
#include "numeric/VQStatistics.h"
#include "platform/KeptForProcess.h"
#include "pretty/FontMap.h"
#include "programs/ProgramModel.h"

#include <QAbstractAnimation>
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QEventLoop>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTabBar>
#include <QTimer>
#include <QWidget>

#include <cxxabi.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <charconv>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <typeinfo>

namespace orvenda {

namespace {

using Ops = std::vector<std::uint32_t>;

constexpr auto kIdleLimit = std::chrono::seconds(30);
// How many animations in turn `wait idle` lets come to an end.
constexpr int kAnimationRounds = 100;
// A step of animation time while a script steps it.
constexpr int kStepMs = 10;
// The height of the title bar drawn over an alert in a picture.
constexpr int kTitleBarHeight = 24;

// Keys the graph screen takes from the driver, and the graph screen's number.
constexpr std::uint32_t kTraceKey = 1027, kGraphKey = KeyTables::kGraph, kClearKey = KeyTables::kClear,
                        kLeftKey = KeyTables::kLeft, kRightKey = KeyTables::kRight;
constexpr int kGraphScreen = 8;
// The variable slots of the parameters of curves: T, θ and η.
constexpr int kSlotT = 19, kSlotTheta = 26, kSlotEta = 27;
// The tolerance of a trace step in points, as the graph screen moves it by a key.
constexpr double kTraceStepTolerance = GraphView::kTraceStepPoints;

// Stat plots the trace walks from data point to data point (or bar to bar).
bool tracedByIndex(int type)
{
    return type == PlotObject::PlotScatter || type == PlotObject::PlotXYLine || type == PlotObject::PlotNormProb
        || type == PlotObject::PlotHistogram;
}

// Curves the trace walks by their parameter T, θ or η rather than by x.
bool tracedByParameter(const PlotObject& plot)
{
    return plot.varNum == kSlotT || plot.varNum == kSlotTheta || plot.varNum == kSlotEta;
}

bool isStatPlot(int type)
{
    return tracedByIndex(type) || type == PlotObject::PlotBox || type == PlotObject::PlotModBox;
}

// TRACE on a plot no equation selects: a stat plot at its first data point (bar), a box
// plot at its value nearest the window's middle, a distribution's curve at the middle.
void traceAlone(Calculator& calc, GraphView& view, PlotObject& plot)
{
    for (const auto& other : view.plotObjects())
        if (other)
            other->setSelected(other.get() == &plot);
    const bool stat = isStatPlot(plot.plotType);
    calc.lockFunction = stat ? -1 : plot.eqNum;
    calc.lockStatPlot = stat ? plot.eqNum : -1;
    calc.trackValue = 0;
    const Calculator::Bounds window = view.graphBounds();
    const double middle = (window.xMin + window.xMax) / 2;
    if (tracedByIndex(plot.plotType)) {
        view.trace(0, kTraceStepTolerance);
    } else if (!stat) {
        view.trace(middle, kTraceStepTolerance);
    } else {
        PlotPoint at{middle, 0, 0};
        plot.hitPoint(at, view.t(), 0);
        calc.setFeatureLock(PlotObject::FeatureNone);
        calc.pTrackPoint = at;
        calc.lockMagnifier = true;
    }
    view.redrawAll();
    if (view.delegate)
        view.delegate->selectPlot(&plot, calc.pTrackPoint);
}

// The calculator keyboard's keys by the labels scripts use, from the top left, row by row.
constexpr std::array<std::string_view, 50> kKeys{
    "Y=",  "GRAPH", "HOME", "TABLE", "UNDO", "2ND", "MODE", "DEL", "LEFT", "UP",
    "ALPHA", "X,T,θ,N", "STAT", "DOWN", "RIGHT", "MATH", "APPS", "PRGM", "VARS", "CLEAR",
    "X⁻¹", "SIN", "COS", "TAN", "^", "X²", ",", "(", ")", "÷",
    "LOG", "7", "8", "9", "×", "LN", "4", "5", "6", "−",
    "STO→", "1", "2", "3", "+", "ON", "0", ".", "(−)", "ENTER",
};

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

// The key number of a label; -1 for none.
int findKey(std::string_view name)
{
    std::string wanted = upper(name);
    for (const auto& [alias, label] : kAliases)
        if (wanted == alias)
            wanted = std::string(label);
    for (std::size_t key = 0; key < kKeys.size(); ++key)
        if (upper(kKeys[key]) == wanted)
            return static_cast<int>(key);
    return -1;
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

// An image-only button goes by its accessible name.
QString caption(const QAbstractButton* button)
{
    QString text = button->text();
    return (text.isEmpty() ? button->accessibleName() : text).remove(QLatin1Char('&'));
}

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
    const char* usage =
        "usage: orvenda-drive SCRIPT [--data DIR] [--size WxH] [--device phone|tablet] [--first-run] [--online|--offline]\n"
        "       [--settle MS] [--wait-limit MS] [--stop-waiting button|escape|close] [--save-values N]\n";
    AppLauncher::Options options;
    options.firstRunGreeting = false;
    // A driven app asks no desktop service for the network: a script reads the same wherever
    // it runs, and the desktop's monitor (a bus connection and its thread) is not started
    // for launches that never go online.
    options.online = false;
    std::string scriptPath;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--drive")
            continue;
        if (arg == "--first-run") {
            options.firstRunGreeting = true;
        } else if (arg == "--online" || arg == "--offline") {
            options.online = arg == "--online";
        } else if (arg == "--device" && i + 1 < argc) {
            const std::string_view device = argv[++i];
            if (device != "phone" && device != "tablet") {
                std::cerr << "orvenda-drive: --device takes phone or tablet, not «" << device << "»\n" << usage;
                return 2;
            }
            options.tablet = device == "tablet";
        } else if ((arg == "--settle" || arg == "--wait-limit") && i + 1 < argc) {
            const std::string_view ms = argv[++i];
            const auto time = number(ms);
            if (!time || *time < 0) {
                std::cerr << "orvenda-drive: " << arg << " takes milliseconds, not «" << ms << "»\n" << usage;
                return 2;
            }
            (arg == "--settle" ? options.stateSettle : options.stateWaitLimit) = std::chrono::milliseconds(*time);
        } else if (arg == "--stop-waiting" && i + 1 < argc) {
            const std::string how = argv[++i];
            if (how != "button" && how != "escape" && how != "close") {
                std::cerr << "orvenda-drive: --stop-waiting takes button, escape or close, not «" << how << "»\n" << usage;
                return 2;
            }
            // As the user answers the launch's waiting window, once it has shown.
            options.whileWaiting = [how](QWidget& window) {
                QTimer::singleShot(0, &window, [how, &window] {
                    if (how == "close") {
                        window.close();
                    } else if (how == "escape") {
                        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                        QApplication::sendEvent(&window, &escape);
                    } else {
                        for (QPushButton* button : window.findChildren<QPushButton*>())
                            if (button->text() == QString::fromLatin1(LaunchWait::kStopCaption))
                                button->click();
                    }
                });
            };
        } else if (arg == "--save-values" && i + 1 < argc) {
            const std::string_view values = argv[++i];
            const auto n = number(values);
            if (!n || *n <= 0) {
                std::cerr << "orvenda-drive: --save-values takes a count, not «" << values << "»\n" << usage;
                return 2;
            }
            MemoryArchive::Bounds bounds;
            bounds.values = static_cast<std::size_t>(*n);
            options.archiveBounds = bounds;
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
    keepPoolThreadsForProcess();
    QApplication::setApplicationName("Orvenda");
    const QStringList missing = FontMap::shared().missingFiles();
    if (!missing.isEmpty())
        std::cerr << "orvenda-drive: font files missing: " << missing.join(", ").toStdString() << "\n";
    std::optional<QTemporaryDir> fresh;
    if (options.dataFolder.isEmpty()) {
        fresh.emplace();
        options.dataFolder = fresh->path();
    }
    // The driven app is the folder's one app, as a launched one is.
    SingleInstance instance(options.dataFolder);
    if (instance.claim() == SingleInstance::Role::Second) {
        std::cerr << "orvenda-drive: the data folder " << options.dataFolder.toStdString() << " is in use by a running app\n";
        return 2;
    }
    int result = 0;
    {
        // Shares land in the data folder's "shared", not where a dialog would ask.
        options.shareOutbox = options.dataFolder + QStringLiteral("/shared");
        AppLauncher app(qt, options);
        instance.serve(app);
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
    app_.shell().blink().setStepped(true);
    previousView_ = calc.viewDelegate;
    recorder_ = std::make_shared<ErrorRecorder>(previousView_);
    calc.viewDelegate = recorder_;
    // A driven app opens no browser and no mail client.
    app_.support().openUrl = [this](const QUrl& url) {
        opened_.push_back(url.toString().toStdString());
        return true;
    };
    app_.mail().setFinder([](const QString&) { return QString(); });
    // Nor a file dialog: the photo library answers what a `photo` line chose.
    app_.photoLibrary().setDialogsShown(false);
}

AppDriver::~AppDriver()
{
    Calculator& calc = app_.calculator();
    calc.viewDelegate = previousView_;
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
                if (!ops) {
                    fail("program " + *program + ": no token for «" + bad + "»");
                    return 1;
                }
                // A program file, as the editor would save it.
                if (!app_.programs().storeProgram(*program, *ops)) {
                    fail("program " + *program + ": not stored (a program name is 1 to 8 letters and digits)");
                    return 1;
                }
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
    if (command == "hkey")
        return hardwareKey(argument);
    if (command == "type")
        return type(argument);
    if (command == "tap")
        return tap(argument);
    if (command == "wait")
        return wait(argument);
    if (command == "shot")
        return shot(argument);
    if (command == "press" || command == "press?")
        return press(argument, command == "press?");
    if (command == "blink" && argument.empty()) {
        app_.shell().blink().blinkCursor();
        spin(0);
        return true;
    }
    if (command == "dump" && argument.empty()) {
        dump();
        return true;
    }
    if (command == "step") {
        // From the first step on, animations move only as the script steps them.
        const auto ms = number(argument);
        if (!ms || *ms < 0)
            return fail("step takes milliseconds, not «" + std::string(argument) + "»");
        if (!steps_)
            steps_ = std::make_unique<AnimationSteps>();
        steps_->step(*ms);
        return true;
    }
    if (command == "close" && argument.empty()) {
        app_.root().close();
        return true;
    }
    if (command == "inactive" && argument.empty()) {
        // What the window system's deactivation ends in (another window clicked): a driven
        // app stays the active one.
        app_.delegate().applicationWillResignActive();
        return true;
    }
    if (command == "size") {
        // The window resized as a user drags its edges, down to its least size.
        const auto x = argument.find('x');
        const auto w = x == std::string_view::npos ? std::nullopt : number(argument.substr(0, x));
        const auto h = x == std::string_view::npos ? std::nullopt : number(argument.substr(x + 1));
        if (!w || !h || *w <= 0 || *h <= 0)
            return fail("size takes WIDTHxHEIGHT, not «" + std::string(argument) + "»");
        app_.root().resize(*w, *h);
        spin(0);
        return true;
    }
    if (command == "file" && !argument.empty())
        return file(argument);
    if (command == "clip" && !argument.empty())
        return clip(argument);
    if (command == "open")
        return open(argument);
    if (command == "photo") {
        app_.photoLibrary().setNextChoice(QString::fromStdString(std::string(argument)));
        return true;
    }
    if (command == "screens" && argument.empty()) {
        nlohmann::json all = nlohmann::json::array();
        for (int id : ScreenRegistry::ids())
            all.push_back({{"id", id}, {"title", ScreenRegistry::title(id).toStdString()}, {"field", Calculator::fieldScreen(id)}});
        out_ << nlohmann::json{{"screens", std::move(all)}}.dump() << std::endl;
        return true;
    }
    if (command == "slides" && argument.empty()) {
        out_ << nlohmann::json{{"slides", slidesState(true)}}.dump() << std::endl;
        return true;
    }
    if (command == "hkeys" && argument.empty()) {
        out_ << nlohmann::json{{"hkeys", keyTables()}}.dump() << std::endl;
        return true;
    }
    return fail("unknown line «" + std::string(command) + (argument.empty() ? "" : " ") + std::string(argument)
                + "» (key, hkey, type, tap, wait, step, blink, shot, press, dump, close, file, clip, photo, program, open, "
                  "screens, slides, hkeys)");
}

nlohmann::json AppDriver::keyTables() const
{
    const KeyCommands& commands = app_.keyboard().keyCommands();
    nlohmann::json chords = nlohmann::json::array();
    for (const KeyCommands::Command& command : commands.commands()) {
        Qt::KeyboardModifiers modifiers;
        if (command.chord & KeyCommands::kCtrl)
            modifiers |= Qt::ControlModifier;
        if (command.chord & KeyCommands::kAlt)
            modifiers |= Qt::AltModifier;
        if (command.chord & KeyCommands::kShiftKey)
            modifiers |= Qt::ShiftModifier;
        const int key = KeyCommands::keyForInput(command.input);
        const auto op = commands.op(command);
        chords.push_back({{"chord", key ? QKeySequence(QKeyCombination(modifiers, Qt::Key(key)))
                                              .toString(QKeySequence::PortableText).toStdString()
                                        : std::string()},
                          {"op", op ? nlohmann::json(*op) : nlohmann::json()}});
    }
    nlohmann::json keys = nlohmann::json::array();
    for (int k = 0; k < KeyTables::kKeyCount; ++k)
        keys.push_back({{"ops", {KeyTables::op(KeyTables::kPlainLayer, k), KeyTables::op(KeyTables::kSecondLayer, k),
                                 KeyTables::op(KeyTables::kAlphaLayer, k)}},
                        {"code", KeyTables::getKeyCode(k)}});
    return {{"commands", std::move(chords)}, {"keys", std::move(keys)}};
}

bool AppDriver::key(std::string_view name)
{
    std::optional<std::uint32_t> op;
    int key = -1;
    if (name.starts_with("0x") || name.starts_with("0X")) {
        const auto code = number(name.substr(2), 16);
        if (!code || *code < 0)
            return fail("no key code «" + std::string(name) + "»");
        op = static_cast<std::uint32_t>(*code);
    } else {
        key = findKey(name);
        if (key < 0)
            return fail("no key «" + std::string(name) + "» on the calculator keyboard");
    }
    if (QMessageBox* alert = openAlert()) {
        const std::uint32_t pressed = op ? *op : KeyTables::op(KeyTables::kPlainLayer, key);
        const int qtKey = pressed == KeyTables::kEnter ? Qt::Key_Return : pressed == KeyTables::kClear ? Qt::Key_Escape : 0;
        if (qtKey != 0) {
            QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier);
            QApplication::sendEvent(alert, &press);
            spin(0);
        }
        return true;
    }
    if (graphKey(op ? *op : KeyTables::op(KeyTables::kPlainLayer, key)))
        return true;
    KeyboardView& keyboard = app_.keyboard();
    Calculator& calc = app_.calculator();
    auto* menu = dynamic_cast<MenuScreen*>(app_.root().router().controller(screens::Menu));
    if (menu && menu->isVisible()) {
        // The keys a user cannot reach under the menu reach it as its keypad; 2ND still
        // shifts.
        const int layer = calc.secondShift ? KeyTables::kSecondLayer : KeyTables::kPlainLayer;
        const std::uint32_t pressed = op ? *op : KeyTables::op(layer, key);
        calc.secondShift = pressed == KeyTables::kSecond && !calc.secondShift;
        if (pressed != KeyTables::kSecond)
            menu->processKeyOp(pressed);
        return true;
    }
    if (op) {
        keyboard.doOp(*op);
        return true;
    }
    // A click at the centre of the key as drawn; the alpha keyboard may lie over it. Under
    // a full-size screen (the graph) the keyboard is hidden: the key is pressed directly.
    if (!keyboard.isVisible()) {
        keyboard.keyDown(key);
        keyboard.keyUp(key);
        return true;
    }
    click(keyboard.mapTo(&app_.root(), keyboard.button(key).geometry().center()));
    return true;
}

bool AppDriver::hardwareKey(std::string_view chord)
{
    const QString text = QString::fromUtf8(chord.data(), static_cast<qsizetype>(chord.size()));
    const QKeySequence sequence = QKeySequence::fromString(text, QKeySequence::PortableText);
    if (text.isEmpty() || sequence.isEmpty() || sequence[0].key() == Qt::Key_unknown)
        return fail("no key «" + std::string(chord) + "»");
    const QKeyCombination combination = sequence[0];
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    // What the key types: its character, upper case with Shift; nothing with Ctrl.
    // The key is what follows the last "+" joining the chord; a "+" at the end is the key
    // itself ("+", "Shift++").
    const int last = text.endsWith(QLatin1Char('+')) ? text.size() - 1 : static_cast<int>(text.lastIndexOf(QLatin1Char('+'))) + 1;
    QString typed = combination.key() == Qt::Key_Space ? QStringLiteral(" ") : text.mid(last);
    int key = combination.key();
    // Shift on a sign key gives its shifted sign, as a window system reports it for a US
    // keyboard: Shift+/ is the key "?" (with Shift held), Shift+- is "_".
    static const std::map<QChar, QChar> kShifted{{'/', '?'}, {'-', '_'}, {'=', '+'}, {',', '<'}, {'.', '>'},
        {';', ':'}, {'\'', '"'}, {'[', '{'}, {']', '}'}, {'\\', '|'}, {'`', '~'}};
    if (typed.size() == 1 && (modifiers & Qt::ShiftModifier))
        if (const auto shifted = kShifted.find(typed[0]); shifted != kShifted.end()) {
            typed = shifted->second;
            key = shifted->second.unicode();
        }
    if (typed.size() != 1 || (modifiers & Qt::ControlModifier))
        typed.clear();
    else
        typed = (modifiers & Qt::ShiftModifier) ? typed.toUpper() : typed.toLower();
    // As the window system delivers a key: to the widget with the focus in the active
    // window (an open popup, alert or form first), which passes what it does not take on
    // to the widgets around it.
    QWidget* window = QApplication::activePopupWidget();
    if (!window)
        window = QApplication::activeModalWidget();
    if (!window)
        window = QApplication::activeWindow();
    if (!window)
        window = &app_.root();
    // A form just opened gives its first field the focus once it is shown.
    if (window == QApplication::activeModalWidget() && window != QApplication::activeWindow())
        spin(0);
    QWidget* target = window->focusWidget() ? window->focusWidget() : window;
    // The application offers a sent key as a shortcut override first, as the window system
    // does once: one more here would act twice (a list's Return would pick twice).
    QKeyEvent press(QEvent::KeyPress, key, modifiers, typed);
    QApplication::sendEvent(target, &press);
    // The press may have closed what had the keys: the release goes where the keys are now.
    QWidget* now = QApplication::focusWidget() ? QApplication::focusWidget() : target;
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, typed);
    QApplication::sendEvent(now, &release);
    return true;
}

bool AppDriver::graphKey(std::uint32_t op)
{
    Calculator& calc = app_.calculator();
    auto* screen = dynamic_cast<GraphScreenController*>(app_.root().fullScreen(screens::Graph));
    const bool showing = screen && screen->isVisible() && calc.currentScreen() == kGraphScreen;
    if (op != kTraceKey && !showing)
        return false;
    if (!showing) {
        // TRACE from another screen brings the graph forward first, as GRAPH does.
        app_.keyboard().doOp(kGraphKey);
        screen = dynamic_cast<GraphScreenController*>(app_.root().fullScreen(screens::Graph));
        if (!screen)
            return true;
    }
    GraphView& view = screen->graphView();
    const Calculator::Bounds window = view.graphBounds();
    const double pointWidth = (window.xMax - window.xMin) / std::max(1, view.width());
    switch (op) {
    case kTraceKey: {
        // A plot left selected when the graph was left traces again.
        if (view.selectedPlotObj() && calc.lockMagnifier)
            return true;
        const auto first = std::find_if(view.plotObjects().begin(), view.plotObjects().end(),
                                        [](const auto& plot) { return plot && plot->eqNum >= 0; });
        if (first != view.plotObjects().end()
            && (isStatPlot((*first)->plotType) || (*first)->plotType == PlotObject::PlotDistribution)) {
            traceAlone(calc, view, **first);
        } else if (first != view.plotObjects().end()) {
            // A function at the window's middle; a curve of T, θ or η at its first value.
            const PlotObject& plot = **first;
            YEqVarInfo own;
            GraphVarsView::setOwnRange(calc, plot, view.width(), own);
            view.selectEqNum(plot.eqNum, tracedByParameter(plot) ? own.min : (window.xMin + window.xMax) / 2);
            // A sequence's point is read back from its terms (its x is no term number in
            // the web and the pairs of sequences).
            if (plot.plotType == PlotObject::PlotSequence && view.selectedPlotObj())
                view.trace(own.min, kTraceStepTolerance);
        }
        return true;
    }
    case kLeftKey:
    case kRightKey: {
        if (!calc.lockMagnifier)
            return true;
        PlotObject* traced = view.selectedPlotObj();
        const double n = op == kLeftKey ? -1 : 1;
        // From where the trace stands, however it got there.
        const double from = view.traceFrom();
        if (traced && tracedByIndex(traced->plotType)) {
            // From data point to data point.
            view.trace(std::clamp(std::round(from) + n, 0.0, std::max(0.0, view.lastTraceIndex(*traced))), kTraceStepTolerance);
        } else if (const auto* box = dynamic_cast<const PlotBox*>(traced)) {
            // From value to value of the box, whisker ends and outliers, from where it stands
            // (a tap leaves the touch's x as its t).
            PlotPoint at{box->traceStep(calc.pTrackPoint.x, n > 0), 0, 0};
            traced->hitPoint(at, view.t(), 0);
            calc.setFeatureLock(PlotObject::FeatureNone);
            calc.pTrackPoint = at;
            view.redrawAll();
        } else if (traced && tracedByParameter(*traced)) {
            // By the window's Tstep or θstep, within its range; a sequence by a term (by a
            // half term along the web, from the diagonal to the curve).
            YEqVarInfo own;
            GraphVarsView::setOwnRange(calc, *traced, view.width(), own);
            const auto* sequence = dynamic_cast<const PlotSequence*>(traced);
            if (sequence)
                own.step = sequence->sequenceType() == PlotSequence::Web ? 0.5 : 1;
            const double lo = std::min(own.min, own.max), hi = std::max(own.min, own.max);
            double to = from + n * own.step;
            // Stopped at the range's end between two steps, LEFT goes back to the last step.
            if (n < 0 && from >= hi && own.step > 0) {
                const double last = own.min + std::floor((hi - own.min) / own.step + 1e-9) * own.step;
                if (from - last > own.step * 1e-9)
                    to = last;
            }
            view.trace(std::clamp(to, lo, hi), kTraceStepTolerance);
        } else {
            view.trace(from + n * pointWidth, kTraceStepTolerance);
        }
        // The panel's own variable follows, so its bumps go on from here.
        if (traced && view.delegate)
            view.delegate->trackObj(traced, calc.pTrackPoint);
        return true;
    }
    case kClearKey:
        // The graph screen's Done.
        screen->done();
        return true;
    default:
        return false;
    }
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

bool AppDriver::open(std::string_view id)
{
    const auto n = number(id);
    if (!n || !app_.root().open(*n))
        return fail("open needs the id of a screen the app shows, not «" + std::string(id) + "»");
    spin(0);
    return true;
}

QWidget* AppDriver::leaveControl() const
{
    const ScreenController* top = app_.root().controllerOf(app_.root().frontId());
    QWidget* control = top ? top->leaveControl() : nullptr;
    return control && control->isVisible() ? control : nullptr;
}

bool AppDriver::tap(std::string_view where)
{
    if (where == "leave") {
        QWidget* control = leaveControl();
        if (!control)
            return fail("tap leave: the screen in front has no control that leaves it");
        if (openAlert())
            return true;
        click(control->mapTo(&app_.root(), control->rect().center()));
        spin(0);
        return true;
    }
    const auto blank = where.find(' ');
    const auto x = blank == std::string_view::npos ? std::nullopt : number(where.substr(0, blank));
    const auto y = blank == std::string_view::npos ? std::nullopt : number(trim(where.substr(blank + 1)));
    if (!x || !y)
        return fail("tap needs X Y");
    if (openAlert())
        return true;
    click(QPoint(*x, *y));
    return true;
}

void AppDriver::click(QPoint point)
{
    QWidget& window = app_.root();
    QWidget* target = window.childAt(point);
    if (!target)
        target = &window;
    const QPointF global = window.mapToGlobal(point);
    // An open form takes the clicks on it; the window under it gets none, as the desktop
    // blocks a window under a modal one.
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != &window) {
        const QPoint inside = modal->mapFromGlobal(global.toPoint());
        if (!modal->rect().contains(inside))
            return;
        target = modal->childAt(inside);
        if (!target)
            target = modal;
    }
    // An open popover takes the click; one outside it closes it, as the desktop does.
    if (QWidget* popup = QApplication::activePopupWidget()) {
        if (!popup->geometry().contains(global.toPoint())) {
            popup->close();
            spin(0);
            return;
        }
        const QPoint inside = popup->mapFromGlobal(global.toPoint());
        target = popup->childAt(inside);
        if (!target)
            target = popup;
    }
    const QPointF local = target->mapFromGlobal(global);
    // The press gives the focus as the window system's does: to the first enabled widget
    // that takes it by a click, from the one under the pointer outwards, unless one on the
    // way holds it already.
    for (QWidget* w = target; w; w = w->parentWidget()) {
        if (w->isEnabled() && (w->focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus) {
            w->setFocus(Qt::MouseFocusReason);
            break;
        }
        const QWidget* holder = w->focusProxy() ? w->focusProxy() : w;
        if (w->isWindow() || holder->hasFocus())
            break;
    }
    QMouseEvent down(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &down);
    QMouseEvent up(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &up);
}

bool AppDriver::wait(std::string_view what)
{
    if (what == "idle" || what == "still") {
        if (what == "idle" && !app_.shell().settle(kIdleLimit))
            return fail("the program queue did not finish within " + std::to_string(kIdleLimit.count()) + " s");
        spin(0);
        // Sheets and panels that slide come to rest: each animation is brought to its end at
        // once, or stepped to where the script steps them.
        for (int round = 0; round < kAnimationRounds * (steps_ ? 100 : 1); ++round) {
            QAbstractAnimation* running = nullptr;
            for (QAbstractAnimation* animation : app_.root().findChildren<QAbstractAnimation*>())
                if (animation->state() == QAbstractAnimation::Running && !animation->group())
                    running = animation;
            if (!running)
                break;
            if (steps_) {
                steps_->step(kStepMs);
                continue;
            }
            // Where a slide comes to rest, and what its end sets off, are the same whether its
            // time is waited out or not: the script does not wait for it.
            if (running->totalDuration() >= 0) {
                running->setCurrentTime(running->direction() == QAbstractAnimation::Forward ? running->totalDuration() : 0);
                spin(0);
                continue;
            }
            QEventLoop loop;
            QObject::connect(running, &QAbstractAnimation::finished, &loop, &QEventLoop::quit);
            QObject::connect(running, &QAbstractAnimation::stateChanged, &loop, &QEventLoop::quit);
            loop.exec();
        }
        spin(0);
        return true;
    }
    if (what == "running") {
        // Until the worker has taken a run (the entry or program ENTER queued).
        const ProgramQueue& queue = app_.calculator().parser().programQueue();
        QElapsedTimer waited;
        waited.start();
        while (queue.executingRun() == 0 && queue.programQueueCount() > 0) {
            if (waited.hasExpired(std::chrono::milliseconds(kIdleLimit).count()))
                return fail("no run started within " + std::to_string(kIdleLimit.count()) + " s");
            spin(1);
        }
        return true;
    }
    if (what == "saved") {
        // Until the app's own save has taken every change, or a run holds it back (the save
        // waits for the run to end): a kill then finds on disk what a user's kill would.
        const AppDelegate& delegate = app_.delegate();
        const Parser& parser = app_.calculator().parser();
        QElapsedTimer waited;
        waited.start();
        while (delegate.changePending() && parser.programQueueCount() == 0) {
            if (waited.hasExpired(std::chrono::milliseconds(kIdleLimit).count()))
                return fail("no save within " + std::to_string(kIdleLimit.count()) + " s");
            spin(1);
        }
        return true;
    }
    if (what.starts_with("screen ")) {
        // Until that screen is current (a program's output screen comes up once its run
        // has begun, however long the machine takes to get there).
        const auto id = number(what.substr(7));
        if (!id)
            return fail("wait screen takes a screen number");
        QElapsedTimer waited;
        waited.start();
        while (app_.calculator().currentScreen() != *id) {
            if (waited.hasExpired(std::chrono::milliseconds(kIdleLimit).count()))
                return fail("screen " + std::to_string(*id) + " did not come within " + std::to_string(kIdleLimit.count()) + " s");
            spin(1);
        }
        return true;
    }
    if (what.starts_with("imported ")) {
        // Until N variables have arrived since the launch (files another launch handed over).
        const auto count = number(what.substr(9));
        if (!count)
            return fail("wait imported takes a count");
        QElapsedTimer waited;
        waited.start();
        while (app_.imported().size() < static_cast<std::size_t>(*count)) {
            if (waited.hasExpired(std::chrono::milliseconds(kIdleLimit).count()))
                return fail(std::to_string(*count) + " imports did not come within " + std::to_string(kIdleLimit.count()) + " s");
            spin(1);
        }
        return true;
    }
    const auto ms = number(what);
    if (!ms || *ms < 0)
        return fail("wait takes milliseconds, idle, still, running, screen N or imported N");
    spin(*ms);
    return true;
}

bool AppDriver::shot(std::string_view file)
{
    if (file.empty())
        return fail("shot needs a file name");
    // Layouts asked for by the last keys are done before the picture, as before a repaint.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QPixmap picture = app_.root().grab();
    // Open alerts and dialogs are windows of their own: each is drawn where the desktop
    // puts it, centred over the window.
    QPainter painter(&picture);
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(widget);
        if (!dialog || !dialog->isVisible())
            continue;
        const QPixmap over = dialog->grab();
        const QSize size = over.deviceIndependentSize().toSize();
        const QSize whole = picture.deviceIndependentSize().toSize();
        const QRect body(QPoint((whole.width() - size.width()) / 2, (whole.height() - size.height()) / 2), size);
        // Its title bar, as the desktop draws it.
        const QRect bar(body.left(), body.top() - kTitleBarHeight, body.width(), kTitleBarHeight);
        painter.fillRect(bar, QColor(60, 60, 60));
        painter.setPen(Qt::white);
        QFont bold = painter.font();
        bold.setBold(true);
        painter.setFont(bold);
        painter.drawText(bar, Qt::AlignCenter, dialog->windowTitle());
        painter.drawPixmap(body, over);
    }
    // A popover is drawn where it stands over the window.
    if (QWidget* popup = QApplication::activePopupWidget(); popup && popup->isVisible())
        painter.drawPixmap(QRect(app_.root().mapFromGlobal(popup->pos()), popup->size()), popup->grab());
    painter.end();
    if (!picture.save(QString::fromUtf8(file.data(), static_cast<qsizetype>(file.size())), "PNG"))
        return fail("cannot write " + std::string(file));
    return true;
}

bool AppDriver::press(std::string_view caption, bool ifShown)
{
    QMessageBox* alert = openAlert();
    const QString wanted = QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
    if (!alert) {
        // A button of the screen in front first (its menu's GRAPH, not the keyboard's),
        // then of the window the user can see, the one drawn last (on top) first.
        std::vector<QWidget*> scopes;
        if (ScreenController* top = app_.root().controllerOf(app_.root().frontId()))
            scopes.push_back(top);
        scopes.push_back(&app_.root());
        for (QWidget* scope : scopes) {
            const auto buttons = scope->findChildren<QAbstractButton*>();
            for (auto it = buttons.rbegin(); it != buttons.rend(); ++it) {
                QAbstractButton* button = *it;
                if (button->isVisible() && button->isEnabled() && ::orvenda::caption(button) == wanted) {
                    button->click();
                    spin(0);
                    return true;
                }
            }
            // A tab of a tab bar (the notes page's Preview), clicked where it is drawn.
            for (QTabBar* bar : scope->findChildren<QTabBar*>())
                for (int i = 0; bar->isVisible() && i < bar->count(); ++i)
                    if (bar->tabText(i) == wanted && bar->isTabEnabled(i)) {
                        click(bar->mapTo(&app_.root(), bar->tabRect(i).center()));
                        spin(0);
                        return true;
                    }
        }
        return ifShown || fail("no alert is open and no button «" + std::string(caption) + "» is shown");
    }
    for (QAbstractButton* button : alert->buttons()) {
        if (::orvenda::caption(button) == wanted) {
            button->click();
            spin(0);
            return true;
        }
    }
    return ifShown || fail("the open alert has no button «" + std::string(caption) + "»");
}

bool AppDriver::clip(std::string_view argument)
{
    const bool ops = argument.starts_with("ops ");
    const std::string_view path = ops ? trim(argument.substr(4)) : argument;
    QFile file(QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())));
    if (!file.open(QIODevice::ReadOnly))
        return fail("clip cannot read «" + std::string(path) + "»");
    auto* data = new QMimeData;
    if (ops)
        data->setData(QString::fromLatin1(OpsClipboard::kOpsType), file.readAll());
    else
        data->setText(QString::fromUtf8(file.readAll()));
    QGuiApplication::clipboard()->setMimeData(data);
    return true;
}

bool AppDriver::file(std::string_view path)
{
    std::vector<std::string>& imported = app_.imported();
    const std::size_t before = imported.size();
    app_.delegate().openFiles({QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()))});
    spin(0);
    nlohmann::json arrived = nlohmann::json::array();
    for (std::size_t k = before; k < imported.size(); ++k)
        arrived.push_back(imported[k]);
    files_.push_back({{"path", std::string(path)}, {"report", static_cast<const ErrorRecorder&>(*recorder_).lastError()},
        {"arrived", std::move(arrived)}});
    return true;
}

namespace {

// The C++ class of a widget (most of the app's have no type of Qt's own).
std::string className(const QWidget& widget)
{
    int status = 0;
    char* name = abi::__cxa_demangle(typeid(widget).name(), nullptr, nullptr, &status);
    std::string out = status == 0 && name ? name : typeid(widget).name();
    std::free(name);
    return out;
}

nlohmann::json rectIn(const QWidget& widget, const QWidget& root)
{
    const QPoint at = widget.mapTo(&root, QPoint(0, 0));
    return {at.x(), at.y(), widget.width(), widget.height()};
}

// A function table, on the TABLE screen or beside the graph: its cursor, what its line
// shows and the automatic start.
nlohmann::json tableState(const TableScreen& table, const Calculator& calc)
{
    const auto state = calc.locked();
    return {{"row", table.tableView().cursorRow}, {"col", table.tableView().cursorCol},
        {"shows", table.entryView().overlayStr().value_or("")}, {"auto", state->tableMode == 1},
        {"start", state->tableMode == 1 ? nlohmann::json(table.tableView().autoValue(0)) : nlohmann::json()}};
}

} // namespace

nlohmann::json AppDriver::statTestState(StatTestScreen& tests) const
{
    const QWidget& root = app_.root();
    const auto lines = [](int count, auto name, auto value) {
        nlohmann::json out = nlohmann::json::array();
        for (int i = 0; i < count; ++i)
            out.push_back({{"label", name(i)}, {"value", value(i)}});
        return out;
    };
    nlohmann::json lists = nlohmann::json::array();
    for (int i = 0; i < tests.numLists(); ++i)
        lists.push_back({{"name", tests.testNum() == 0x5C31 ? tests.matrixName(i) : tests.listName(i)}, {"freq", tests.freqName(i)},
            {"n", tests.listN(i)}, {"mean", tests.listXBar(i)}, {"sx", tests.listSx(i)}});
    nlohmann::json out = {{"test", tests.testNum()}, {"title", tests.title()}, {"form", tests.statsForm() ? "Stats" : "Data"},
        {"fields", lines(tests.numFields(), [&](int i) { return tests.fieldName(i); }, [&](int i) { return tests.fieldValue(i); })},
        {"current", tests.currentField()}, {"typing", tests.entryText()},
        {"results", lines(tests.numResults(), [&](int i) { return tests.resultName(i); }, [&](int i) { return tests.resultValue(i); })},
        {"left", lines(tests.numLeftResults(), [&](int i) { return tests.resultLName(i); }, [&](int i) { return tests.resultLValue(i); })},
        {"lists", std::move(lists)}, {"hypothesis", tests.hypothesisControl().isVisible() ? tests.hypothesisControl().selected() : -1},
        {"keypad", tests.keypad().isVisible() ? rectIn(tests.keypad(), root) : nlohmann::json()},
        {"formRect", rectIn(tests.form(), root)}, {"rowHeight", tests.form().leading()},
        {"done", rectIn(tests.doneButton(), root)}, {"menuButton", rectIn(tests.menuButton(), root)}};
    // The pooled switch and a regression's model buttons (under Data/Resid), while shown.
    for (const auto& [name, view] : {std::pair{"pooled", &tests.poolView()}, std::pair{"models", &tests.regressionButtonView()}})
        if (view->isVisible())
            out[name] = rectIn(*view, root);
    if (tests.graphView().isVisible()) {
        nlohmann::json plots = nlohmann::json::array();
        for (const auto& plot : tests.graphView().plotObjects)
            if (plot)
                plots.push_back(plot->plotType);
        const PlotDistribution& shade = tests.distribution();
        const Calculator::Bounds& w = tests.window();
        out["graph"] = {{"rect", rectIn(tests.graphView(), root)}, {"window", {w.xMin, w.xMax, w.yMin, w.yMax}},
            {"plots", std::move(plots)}, {"shade", {{"type", shade.eqNum}, {"lower", shade.dd->lowerBound},
                {"upper", shade.dd->upperBound}, {"tails", shade.drawTails}}}};
    } else {
        out["graph"] = nullptr;
    }
    if (const StatTestMenu* menu = tests.testMenu(); menu && menu->isVisible()) {
        // Over the screen, or a popover window of its own (tablet).
        const auto at = [&](QPointF p) { return root.mapFromGlobal(menu->mapToGlobal(p.toPoint())); };
        const QPoint first = at(menu->rowCenter(0)), detail = at(menu->detailCenter(0));
        const QPoint last = at(menu->rowCenter(static_cast<int>(StatTestCatalogue::kMenuOrder.size()) - 1));
        const QPoint corner = at(QPointF(0, 0));
        out["menu"] = {{"firstRow", {first.x(), first.y()}}, {"rowHeight", menu->rowHeight()},
            {"firstDetail", {detail.x(), detail.y()}}, {"lastRow", {last.x(), last.y()}}, {"popover", menu->isWindow()},
            {"rect", {corner.x(), corner.y(), menu->width(), menu->height()}},
            {"cancel", menu->cancelButton().isVisible()},
            {"help", menu->helpShown() ? nlohmann::json(menu->help().functionName().toStdString()) : nlohmann::json()}};
    } else {
        out["menu"] = nullptr;
    }
    if (const StatTestListPicker* picker = tests.listPicker(); picker && picker->isVisible()) {
        nlohmann::json columns = nlohmann::json::array();
        for (int column = 0; column < picker->picker().columnCount(); ++column) {
            const int row = picker->picker().selectedRow(column);
            const QPoint at = picker->picker().mapTo(&root, picker->picker().rowCenter(column, std::max(0, row)).toPoint());
            const ColumnPicker::Row* shown = picker->picker().row(column, row);
            columns.push_back({{"at", {at.x(), at.y()}}, {"selected", shown ? shown->text.toStdString() : std::string()}});
        }
        out["picker"] = {{"titles", picker->titles()}, {"columns", std::move(columns)}, {"rowHeight", ColumnPicker::kRowHeight},
            {"done", rectIn(picker->doneButton(), root)}};
    } else {
        out["picker"] = nullptr;
    }
    return out;
}

nlohmann::json AppDriver::geometryState(GeometryScreen& geometry) const
{
    const QWidget& root = app_.root();
    const GeometryModel& m = geometry.model();
    const Calculator& calc_ = app_.calculator();
    nlohmann::json fields = nlohmann::json::array(), results = nlohmann::json::array(), points = nlohmann::json::array();
    for (int i = 0; i < m.numFields(); ++i)
        fields.push_back({{"label", m.fieldName(i)}, {"value", m.fieldValue(i)}, {"text", m.fieldValue(i) == 0 ? std::string() : calc_.formatReal(m.fieldValue(i))}});
    for (int i = 0; i < m.numResultFields(); ++i)
        results.push_back({{"label", m.resultFieldName(i)}, {"value", m.resultFieldValue(i)}, {"text", calc_.formatReal(m.resultFieldValue(i))}});
    for (int i = 0; i < m.numPoints(); ++i)
        points.push_back({{"name", m.pointName(i)}, {"x", m.pointX(i)}, {"y", m.pointY(i)}});
    const Calculator::Bounds& w = geometry.window();
    nlohmann::json out = {{"figure", m.figure()}, {"title", m.title()}, {"fields", std::move(fields)}, {"points", std::move(points)},
        {"current", m.currentField()}, {"typing", geometry.entryText()}, {"results", std::move(results)},
        {"angleMode", geometry.panel().showAngleMode() ? nlohmann::json(calc_.angleFormat() == 0 ? "Deg" : "Rad") : nlohmann::json()},
        {"panel", rectIn(geometry.panel(), root)}, {"rowHeight", geometry.panel().leading()},
        {"keypad", rectIn(geometry.keypad(), root)}, {"done", rectIn(geometry.doneButton(), root)},
        {"menuButton", rectIn(geometry.menuButton(), root)}, {"plus", rectIn(geometry.plusButton(), root)},
        {"minus", rectIn(geometry.minusButton(), root)},
        {"zoomImages", {geometry.plusButton().imageName(), geometry.minusButton().imageName()}},
        {"graph", {{"rect", rectIn(geometry.graphView(), root)}, {"window", {w.xMin, w.xMax, w.yMin, w.yMax}}}}};
    out["solve"] = geometry.solveButton().isVisible()
        ? nlohmann::json{{"enabled", geometry.solveButton().isEnabled()}, {"rect", rectIn(geometry.solveButton(), root)}}
        : nlohmann::json();
    out["clear"] = geometry.clearButton().isVisible() ? rectIn(geometry.clearButton(), root) : nlohmann::json();
    out["triangle"] = geometry.triangleView().isVisible() ? nlohmann::json(geometry.triangleView().knowns()) : nlohmann::json();
    out["slider"] = geometry.slider().isVisible()
        ? nlohmann::json{{"value", geometry.sliderValue()}, {"rect", rectIn(geometry.slider(), root)}}
        : nlohmann::json();
    if (geometry.segments().isVisible()) {
        nlohmann::json titles = nlohmann::json::array();
        for (int i = 0; i < geometry.segments().count(); ++i)
            titles.push_back(geometry.segments().title(i).toStdString());
        out["segments"] = {{"titles", std::move(titles)}, {"selected", geometry.segments().selected()},
            {"rect", rectIn(geometry.segments(), root)}};
    } else {
        out["segments"] = nullptr;
    }
    if (const GeometryMenu* menu = geometry.geometryMenu(); menu && menu->isVisible()) {
        // Over the screen, or a popover window of its own (tablet).
        const QPoint first = root.mapFromGlobal(menu->mapToGlobal(menu->rowCenter(0).toPoint()));
        const QPoint info = root.mapFromGlobal(menu->mapToGlobal(menu->helpButtonRect(0).center().toPoint()));
        const QPoint corner = root.mapFromGlobal(menu->mapToGlobal(QPoint(0, 0)));
        out["menu"] = {{"firstRow", {first.x(), first.y()}}, {"firstHelp", {info.x(), info.y()}}, {"rowHeight", menu->rowHeight()},
            {"popover", menu->isWindow()}, {"rect", {corner.x(), corner.y(), menu->width(), menu->height()}},
            {"help", menu->helpShown() ? nlohmann::json(menu->helpPage().functionName().toStdString()) : nlohmann::json()}};
    } else {
        out["menu"] = nullptr;
    }
    return out;
}

nlohmann::json AppDriver::helpState() const
{
    const auto visible = [](const QWidget* w) { return w && w->isVisible(); };
    RootController& root = app_.root();
    if (const auto* screen = dynamic_cast<const FunctionHelpScreen*>(root.fullScreen(screens::FunctionHelp)); visible(screen))
        return {{"view", "function help"}, {"page", screen->functionName().toStdString()}, {"frame", rectIn(*screen, root)}};
    if (const auto* menu = dynamic_cast<const HelpMenuScreen*>(root.fullScreen(screens::Help)); visible(menu)) {
        nlohmann::json help{{"view", "help menu"}, {"topic", menu->currentTopic()}, {"page", nullptr}};
        const QWidget* page = menu->currentPage();
        if (page && page == menu->htmlPage())
            help["page"] = menu->htmlPage()->title().toStdString();
        else if (page && page == menu->functionHelp())
            help["page"] = menu->functionHelp()->functionName().toStdString();
        else if (page && page == menu->contactPage())
            help["page"] = "Contact";
        else if (page && page == menu->calculator()) {
            help["page"] = "Calculator";
            help["fourFunction"] = menu->calculator()->text().toStdString();
        } else if (const GuideKeyboardScreen* guide = menu->keyboardGuide(); page && page == guide) {
            help["page"] = "Keyboard";
            const GuideKeyboardView& keys = guide->keyboardView();
            help["guide"] = {{"layer", keys.layer()},
                {"help", guide->helpShown() ? nlohmann::json(guide->functionHelp()->functionName().toStdString()) : nlohmann::json()}};
        }
        return help;
    }
    if (const auto* catalog = dynamic_cast<const CatalogScreen*>(root.router().controller(screens::Catalog));
        visible(catalog) && catalog->helpShown())
        return {{"view", "catalog"}, {"page", catalog->help().functionName().toStdString()}};
    if (const auto* menu = dynamic_cast<const MenuScreen*>(root.router().controller(screens::Menu));
        visible(menu) && menu->helpShown())
        return {{"view", "menu"}, {"page", menu->help().functionName().toStdString()}};
    if (const auto* tests = dynamic_cast<const StatTestScreen*>(root.fullScreen(screens::StatTests)); visible(tests)) {
        if (const StatTestMenu* menu = tests->testMenu(); visible(menu) && menu->helpShown())
            return {{"view", "test menu"}, {"page", menu->help().functionName().toStdString()}};
    }
    return nullptr;
}

// The program editor in front: the open program's screen lines, the cursor's line and
// column, debug mode and the selection; with the debugger over it, its panel.
void AppDriver::programEditorState(nlohmann::json& state) const
{
    const ProgramModel& programs = app_.programs();
    nlohmann::json lines = nlohmann::json::array();
    for (int n = 0; n < programs.numLines(); ++n)
        lines.push_back(programs.screenLine(n).value_or(std::string()));
    const ProgramModel::Range selection = programs.prgmSelection();
    state["editor"] = {{"program", programs.programName()}, {"lines", std::move(lines)},
        {"cursor", {programs.textLine(), programs.columnForIndex(programs.prgmEditCursor())}},
        {"debug", programs.debug()}, {"selection", {selection.location, selection.length}}};
    const auto centre = [this](const QWidget& widget) {
        const QPoint at = widget.mapTo(&app_.root(), widget.rect().center());
        return nlohmann::json::array({at.x(), at.y()});
    };
    // Where a user taps: the controls' centres and the text's first line, line height
    // and left margin, in the window.
    const auto text = [this](const ProgramEditView& view) {
        const QPoint at = view.mapTo(&app_.root(), QPoint(0, 0));
        return nlohmann::json::array({at.x(), at.y(), view.leading(), view.leftMargin()});
    };
    if (const auto* editor = dynamic_cast<const ProgramEditorScreen*>(app_.root().router().controller(screens::ProgramEditor));
        editor && editor->isVisible()) {
        state["editor"]["label"] = editor->nameLabel().text().toStdString();
        state["editor"]["controls"] = {{"debug", centre(editor->debugButton())}, {"quit", centre(editor->quitButton())}};
        state["editor"]["text"] = text(editor->editView());
        // The help bubble drawn last (its text and box in the window), null for none.
        const ProgramEditView& view = editor->editView();
        if (view.bubbleText().isEmpty()) {
            state["editor"]["bubble"] = nullptr;
        } else {
            const QPoint at = view.mapTo(&app_.root(), view.bubbleRect().topLeft().toPoint());
            state["editor"]["bubble"] = {{"text", view.bubbleText().toStdString()},
                {"rect", {at.x(), at.y(), view.bubbleRect().width(), view.bubbleRect().height()}}};
        }
    }
    if (const auto* debugger = dynamic_cast<const ProgramDebuggerScreen*>(app_.root().fullScreen(screens::Debugger));
        debugger && debugger->isVisible()) {
        nlohmann::json breaks = nlohmann::json::array();
        for (int n = 0; n < programs.numLines(); ++n)
            if (programs.breakForLine(n))
                breaks.push_back(n);
        state["debugger"] = {{"label", debugger->nameLabel().text().toStdString()}, {"vars", debugger->varsView().lines()},
            {"line", programs.textLine()}, {"breaks", std::move(breaks)},
            {"controls", {{"step", centre(debugger->stepButton())}, {"run", centre(debugger->runButton())},
                             {"quit", centre(debugger->quitButton())}}},
            {"text", text(debugger->editView())}};
        // How many of the panel's lines show whole in its view.
        const VarsView& vars = debugger->varsView();
        if (const QWidget* view = vars.parentWidget())
            state["debugger"]["varsShown"] = static_cast<int>((view->height() - vars.linesHeight(0)) / vars.leading());
    }
}

// The apps' screens in front (matrix prompt, solver, polynomial, finance, chemistry, the
// matrix editor and the simultaneous equations), their fields as they read.
void AppDriver::appsState(nlohmann::json& state, int screen) const
{
    const Calculator& calc = app_.calculator();
    if (const auto* prompt = dynamic_cast<const MatrixPromptScreen*>(app_.root().router().controller(screens::MatrixPrompt));
        prompt && screen == screens::MatrixPrompt)
        state["matrixPrompt"] = {{"rows", prompt->rows()}, {"cols", prompt->cols()}, {"selected", prompt->selectedSlider()}};
    if (const auto* solver = dynamic_cast<const SolverScreen*>(app_.root().router().controller(screens::Solver));
        solver && screen == screens::Solver) {
        nlohmann::json lines = nlohmann::json::array();
        for (int line = 0; line < solver->lineCount(); ++line)
            lines.push_back(solver->lineText(line).toStdString());
        state["solver"] = {{"line", solver->currentLine()}, {"lines", std::move(lines)}, {"result", solver->resultLine()},
            {"leftRt", solver->leftRtText().toStdString()}, {"leftRtShown", solver->leftRtShown()}};
    }
    if (const auto* poly = dynamic_cast<const PolyScreen*>(app_.root().router().controller(screens::Polynomial));
        poly && screen == screens::Polynomial) {
        // Each line as it reads, the mark-up's raised and lowered parts written plainly.
        nlohmann::json lines = nlohmann::json::array();
        for (int line = 0; line < poly->lineCount(); ++line)
            lines.push_back((MarkUpText::plain(MarkUpText::parse(poly->label(line))) + MarkUpText::plain(MarkUpText::parse(poly->value(line)))).toStdString());
        nlohmann::json menu = nlohmann::json::array();
        for (int segment = 0; segment < poly->menu().count(); ++segment)
            menu.push_back(poly->menu().title(segment).toStdString());
        state["poly"] = {{"state", poly->state()}, {"banner", poly->banner().toStdString()},
            {"equation", MarkUpText::plain(MarkUpText::parse(poly->equation())).toStdString()}, {"line", poly->currentLine()},
            {"lines", std::move(lines)}, {"menu", std::move(menu)}};
    }
    if (auto* finance = dynamic_cast<FinanceScreen*>(app_.root().router().controller(screens::Finance));
        finance && screen == screens::Finance) {
        // Each field as it reads, with its value and the solved mark; the timing segment.
        nlohmann::json fields = nlohmann::json::array();
        for (const VQTemplateField& field : finance->form().fields())
            fields.push_back({{"label", field.label}, {"value", field.value}, {"text", calc.formatReal(field.value)},
                              {"solved", field.solved}});
        const QPoint solve = finance->solveButton().mapTo(&app_.root(), QPoint(0, 0));
        state["finance"] = {{"title", "TVM SOLVER"}, {"fields", std::move(fields)}, {"current", finance->form().currentField()},
            {"timing", finance->timing().title(finance->timing().selected()).toStdString()},
            {"solve", {solve.x(), solve.y(), finance->solveButton().width(), finance->solveButton().height()}}};
    }
    if (const auto* chem = dynamic_cast<const ChemScreen*>(app_.root().router().controller(screens::Chemistry));
        chem && screen == screens::Chemistry) {
        // The banner, the headers and each row's cells as drawn; where the headers are.
        const ChemView& table = chem->table();
        nlohmann::json headers = nlohmann::json::array();
        for (int column = 0; column < 4; ++column)
            headers.push_back(table.headerText(column).toStdString());
        nlohmann::json rows = nlohmann::json::array();
        for (int row = 0; row < static_cast<int>(table.rows().size()); ++row) {
            nlohmann::json cells = nlohmann::json::array();
            for (int column = 0; column < 4; ++column)
                cells.push_back(table.cellText(row, column).toStdString());
            rows.push_back(std::move(cells));
        }
        nlohmann::json edges = nlohmann::json::array();
        for (int column = 0; column < 4; ++column)
            edges.push_back(table.mapTo(&app_.root(), QPointF(table.columnEdge(column), 0)).x());
        const QPoint at = table.mapTo(&app_.root(), QPoint(0, 0));
        state["chemistry"] = {{"prompt", chem->entryView().prefixStr()}, {"banner", table.bannerText().toStdString()},
            {"molarMass", table.hasTable() ? nlohmann::json(table.massTotal()) : nlohmann::json()},
            {"headers", std::move(headers)}, {"rows", std::move(rows)},
            {"sort", {{"column", table.sortField()}, {"ascending", table.sortAscending()}}},
            {"headerRow", {at.y() + table.leading() + 2, table.leading() - 2}}, {"columnEdges", std::move(edges)}};
    }
    // The matrix editor as it reads: the banner, the cursor, the entry field's prefix and
    // value, and the cells (the solution's lines in their place).
    const auto matrixEditor = [&calc](const MatrixEditView& editor) {
        const MatrixView& grid = editor.grid();
        const MatrixBanner& banner = editor.banner();
        nlohmann::json cells = nlohmann::json::array();
        const VQMatrix m = grid.shownMatrix();
        if (grid.style() == MatrixView::Solution) {
            for (int r = 0; r < grid.rowCount(); ++r)
                cells.push_back(MarkUpText::plain(MarkUpText::parse(MatrixView::solutionRow(calc, calc.simulSolution, r))).toStdString());
        } else if (m.dimRow() * m.dimCol() <= 400) {
            for (std::size_t r = 0; r < m.dimRow(); ++r) {
                nlohmann::json row = nlohmann::json::array();
                for (std::size_t c = 0; c < m.dimCol(); ++c)
                    row.push_back(MarkUpText::plain(MarkUpText::parse(grid.cellText(m.row(r, c)))).toStdString());
                cells.push_back(std::move(row));
            }
        }
        const EntryView& entry = editor.entryView();
        nlohmann::json shown{{"title", banner.title().toStdString()}, {"style", grid.style()}, {"rows", m.dimRow()}, {"cols", m.dimCol()},
            {"field", editor.cursorField()}, {"row", editor.cursorRow()}, {"col", editor.cursorCol()},
            {"prefix", entry.prefixStr()}, {"value", entry.overlayStr() ? nlohmann::json(*entry.overlayStr()) : nlohmann::json()},
            {"cells", std::move(cells)}};
        if (grid.style() == MatrixView::Matrix || grid.style() == MatrixView::Coefficients)
            shown["banner"] = {banner.rowText().toStdString(), banner.rowLabel().toStdString(), banner.colText().toStdString(),
                banner.colLabel().toStdString()};
        return shown;
    };
    if (const auto* edit = dynamic_cast<const MatrixEditScreen*>(app_.root().router().controller(screens::MatrixEditor));
        edit && screen == screens::MatrixEditor)
        state["matrixEdit"] = matrixEditor(edit->editor());
    if (const auto* simul = dynamic_cast<const SimulEqScreen*>(app_.root().router().controller(screens::SimulEq));
        simul && screen == screens::SimulEq) {
        nlohmann::json menu = nlohmann::json::array();
        for (int segment = 0; segment < simul->menu().count(); ++segment)
            menu.push_back(simul->menu().title(segment).toStdString());
        state["simulEq"] = {{"state", simul->state()}, {"menu", std::move(menu)}, {"editor", matrixEditor(simul->editor())}};
    }
}

// The graph screens: the trace, the equations, what the graph shows and its window, the
// window form's field and the table's cursor.
void AppDriver::graphScreensState(nlohmann::json& state, int screen) const
{
    const Calculator& calc = app_.calculator();
    auto* graph = dynamic_cast<GraphScreenController*>(app_.root().fullScreen(screens::Graph));
    GraphView* graphView = graph && graph->isVisible() ? &graph->graphView() : nullptr;
    if (calc.lockMagnifier) {
        const PlotPoint& at = calc.pTrackPoint;
        state["trace"] = {{"x", at.x}, {"y", at.y}, {"t", at.t}, {"eq", calc.lockFunction}, {"feature", calc.featureLock},
                          {"plot", calc.lockStatPlot}, {"lines", nlohmann::json::array()}};
        if (PlotObject* traced = graphView ? graphView->selectedPlotObj() : nullptr)
            state["trace"]["lines"] = traced->infoLines().value_or(std::vector<std::string>());
        if (const auto* text = graphView ? dynamic_cast<const GraphText*>(graphView->graphTextView) : nullptr;
            text && !text->infoLinesRect().isEmpty()) {
            const QRect r = text->infoLinesRect().toAlignedRect().translated(text->mapTo(&app_.root(), QPoint(0, 0)));
            state["trace"]["linesRect"] = {r.x(), r.y(), r.width(), r.height()};
        }
    } else {
        state["trace"] = nullptr;
    }
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
    if (graphView) {
        // What the graph shows: each plot's type and name.
        nlohmann::json plots = nlohmann::json::array();
        for (const auto& plot : graphView->plotObjects())
            if (plot)
                plots.push_back({{"type", plot->plotType}, {"label", plot->label().value_or(std::string())}});
        state["plots"] = std::move(plots);
        const QPoint at = graphView->mapTo(&app_.root(), QPoint(0, 0));
        state["graph"] = {at.x(), at.y(), graphView->width(), graphView->height()};
        // The window drawn (the solver's plot shows its own) and the zoom buttons' images.
        const Calculator::Bounds shown = graphView->graphBounds();
        state["shown"] = {shown.xMin, shown.xMax, shown.yMin, shown.yMax};
        state["zoomImages"] = {graph->plusButton().imageName(), graph->minusButton().imageName()};
        // The fixed-direction zoom buttons by name, and the zoom menu (a tablet's popover).
        nlohmann::json fixed = nlohmann::json::object();
        for (int direction = 0; direction < 3; ++direction)
            for (const bool in : {true, false}) {
                const ImageButton& button = graph->fixedZoomButton(direction, in);
                fixed[button.accessibleName().toStdString()] = {{"rect", rectIn(button, app_.root())}, {"image", button.imageName()},
                    {"shown", button.isVisible()}};
            }
        state["zoomButtons"] = std::move(fixed);
        // The bar's items where they are drawn: + and − by their signs, the rest by caption.
        nlohmann::json bar = {{"+", rectIn(graph->plusButton(), app_.root())}, {"-", rectIn(graph->minusButton(), app_.root())}};
        for (const QAbstractButton* item : graph->toolbar().findChildren<QAbstractButton*>())
            if (item->isVisible() && !caption(item).isEmpty())
                bar[caption(item).toStdString()] = rectIn(*item, app_.root());
        state["bar"] = std::move(bar);
        // A program's pause over the graph: its Continue and Stop bar, null while none shows.
        const QWidget& pauseBar = graph->pauseView();
        state["pauseBar"] = pauseBar.isVisible() ? rectIn(pauseBar, app_.root()) : nlohmann::json(nullptr);
        // The calculate sheet while it shows: its fields as they read and its choice list.
        // The sheet is no QObject type of its own: found by its class.
        const GraphKeyboardView* sheet = nullptr;
        for (const QWidget* child : graph->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if ((sheet = dynamic_cast<const GraphKeyboardView*>(child)))
                break;
        if (sheet && sheet->isVisible()) {
            VQTemplateView& form = sheet->form();
            nlohmann::json fields = nlohmann::json::array();
            for (int i = 0; i < static_cast<int>(form.fields().size()); ++i)
                fields.push_back({{"label", form.fields()[static_cast<std::size_t>(i)].label}, {"shown", form.shownText(i).toStdString()}});
            const QComboBox& choice = sheet->valueIntegralSeg();
            // Its list while open: where it stands in the window.
            nlohmann::json list = nullptr;
            if (const QWidget* popup = choice.view()->window(); choice.view()->isVisible() && popup) {
                const QRect r(app_.root().mapFromGlobal(popup->mapToGlobal(QPoint(0, 0))), popup->size());
                list = {r.x(), r.y(), r.width(), r.height()};
            }
            state["calcSheet"] = {{"fields", std::move(fields)}, {"current", form.currentField()},
                {"choice", {{"rect", rectIn(choice, app_.root())}, {"text", choice.currentText().toStdString()},
                               {"shown", choice.isVisible()}, {"list", std::move(list)}}},
                {"keypad", rectIn(sheet->keypad(), app_.root())}, {"done", rectIn(sheet->doneButton(), app_.root())}};
        }
        // The table beside the graph (MODE ▸ G-T), with where it lies, its cells' measures
        // (header height, row height, column width) and the values asked for.
        if (const TableScreen* table = graph->table(); table && table->isVisible()) {
            nlohmann::json asked = nlohmann::json::array();
            {
                const auto values = calc.locked();
                for (int i = 0; i < values->tableList.count(); ++i)
                    asked.push_back(values->tableList.realAtIndex(i));
            }
            const TableView& cells = table->tableView();
            state["table"] = tableState(*table, calc);
            state["table"].update({{"rect", rectIn(*table, app_.root())}, {"asked", std::move(asked)},
                {"cells", {cells.colHeadHeight(), cells.rowHeight(), cells.colWidth()}}});
        }
        if (const ZoomMenu* menu = graph->zoomMenu(); menu && menu->isVisible()) {
            const QPoint corner = app_.root().mapFromGlobal(menu->mapToGlobal(QPoint(0, 0)));
            state["zoomMenu"] = {{"popover", menu->isWindow()}, {"rect", {corner.x(), corner.y(), menu->width(), menu->height()}}};
        }
    }
    if (screen == screens::Window || screen == screens::Graph || screen == screens::Table) {
        const Calculator::Bounds window = calc.window();
        state["window"] = {window.xMin, window.xMax, window.yMin, window.yMax};
    }
    if (const auto* form = dynamic_cast<const WindowScreen*>(app_.root().router().controller(screens::Window));
        form && screen == screens::Window)
        state["field"] = form->form().currentField();
    if (const auto* table = dynamic_cast<const TableScreen*>(app_.root().router().controller(screens::Table));
        table && screen == screens::Table)
        state["table"] = tableState(*table, calc);
}

// The statistics screens: the list editor, the plots and a plot's set-up, the wizard and
// the tests.
void AppDriver::statsState(nlohmann::json& state, int screen) const
{
    const Calculator& calc = app_.calculator();
    if (const auto* lists = dynamic_cast<const StatEditScreen*>(app_.root().router().controller(screens::ListEditor));
        lists && screen == screens::ListEditor)
        state["listEditor"] = {{"row", lists->grid().cursorRow}, {"col", lists->grid().cursorCol},
            {"columns", lists->columnNames()}, {"prompt", lists->entryView().prefixStr()},
            {"cell", lists->entryView().overlayStr().value_or("")}};
    if (const auto* plots = dynamic_cast<const StatEqScreen*>(app_.root().router().controller(screens::StatPlots));
        plots && screen == screens::StatPlots) {
        // Each plot's row as it reads: on or off, its type and its two lines.
        nlohmann::json rows = nlohmann::json::array();
        for (int plot = 0; plot < StatPlotModel::kPlotCount; ++plot) {
            const auto [first, second] = plots->list().rowLines(plot);
            const auto held = calc.locked();
            const StatPlotModel* model = StatPlotModel::of(calc);
            rows.push_back({{"name", "Plot" + std::to_string(plot + 1)}, {"on", model && model->plotVisible(plot)},
                {"type", model ? model->plotType(plot) : 0}, {"lines", {first.toStdString(), second.toStdString()}}});
        }
        const QPoint at = plots->list().mapTo(&app_.root(), QPoint(0, 0));
        state["statPlots"] = {{"rows", std::move(rows)}, {"list", {at.x(), at.y(), plots->list().width(), plots->list().rowHeight()}}};
    }
    if (const auto* setup = dynamic_cast<const StatPlotSetup*>(app_.root().router().controller(screens::StatPlotColor));
        setup && setup->isVisible())
    {
        // Where to tap: Done, and each picker column's selected row (the next row is one
        // row height below).
        const QPoint done = setup->doneButton().mapTo(&app_.root(), QPoint(0, 0));
        nlohmann::json columns = nlohmann::json::array();
        for (int column = 0; column < setup->picker().columnCount(); ++column) {
            const QPointF centre = setup->picker().rowCenter(column, setup->picker().selectedRow(column));
            const QPoint at = setup->picker().mapTo(&app_.root(), centre.toPoint());
            columns.push_back({at.x(), at.y()});
        }
        state["plotSetup"] = {{"plot", setup->statEqNum() + 1}, {"title", setup->title().toStdString()},
            {"fourth", setup->fourthCaption().toStdString()}, {"selected", setup->selection()},
            {"done", {done.x(), done.y(), setup->doneButton().width(), setup->doneButton().height()}},
            {"columns", std::move(columns)}, {"rowHeight", ColumnPicker::kRowHeight},
            {"colorMode", setup->colorPicker().mode()}, {"wheel", rectIn(setup->colorPicker().wheel(), app_.root())},
            {"color", {setup->color().r(), setup->color().g(), setup->color().b()}}};
    }
    if (auto* wizard = dynamic_cast<StatWizScreen*>(app_.root().router().controller(screens::StatWizard));
        wizard && screen == screens::StatWizard) {
        nlohmann::json fields = nlohmann::json::array();
        for (const VQTemplateField& field : wizard->form().fields())
            fields.push_back({{"label", field.label}, {"value", field.flags == VQTemplateField::ListName
                    ? nlohmann::json(calc.stringFromOps(field.listValue))
                    : field.flags == VQTemplateField::EquationVariable && StatWizScreen::regEqToken(field.value)
                    ? nlohmann::json(calc.nameForOpcode(*StatWizScreen::regEqToken(field.value)))
                    : nlohmann::json(field.value)}});
        const QPoint button = wizard->calculateButton().mapTo(&app_.root(), QPoint(0, 0));
        state["wizard"] = {{"command", wizard->commandName()}, {"fields", std::move(fields)},
            {"current", wizard->form().currentField()},
            {"calculate", {button.x(), button.y(), wizard->calculateButton().width(), wizard->calculateButton().height()}},
            {"form", rectIn(wizard->form(), app_.root())}, {"formNeeds", wizard->form().size().height()}};
    }
    if (auto* tests = dynamic_cast<StatTestScreen*>(app_.root().fullScreen(screens::StatTests)); tests && tests->isVisible())
        state["statTest"] = statTestState(*tests);
}

// The menu in front: its number, MEM's about page, the program library's names and notes
// page, a SHARE menu's rows.
void AppDriver::menuState(nlohmann::json& state) const
{
    if (auto* menu = dynamic_cast<const MenuScreen*>(app_.root().router().controller(screens::Menu)); menu && menu->isVisible()) {
        state["menu"] = menu->currentMenu();
        // Where it lies in the window and its first row (a tap's place).
        const QRect area(menu->mapTo(&app_.root(), QPoint(0, 0)), menu->size());
        state["menuRect"] = {area.x(), area.y(), area.width(), area.height()};
        state["menuTitle"] = menu->titleLabel().text().toStdString();
        // The bar's tabs as drawn, and the room their bar has: a tab past its bar's edge is cut.
        if (const QTabBar& tabs = menu->tabBar(); tabs.isVisible() && tabs.count() > 0) {
            nlohmann::json drawn = nlohmann::json::array();
            for (int i = 0; i < tabs.count(); ++i) {
                const QRect r(tabs.mapTo(&app_.root(), tabs.tabRect(i).topLeft()), tabs.tabRect(i).size());
                drawn.push_back({r.x(), r.y(), r.width(), r.height()});
            }
            state["menuTabs"] = {{"bar", rectIn(tabs, app_.root())}, {"tabs", std::move(drawn)}};
        }
        if (const QRect row = menu->rowRect({0, 0}); !row.isEmpty())
            state["firstRow"] = {row.x() + area.x(), row.y() + area.y(), row.width(), row.height()};
        // A sectioned list's side index: each entry's title and centre (a tap's place), and
        // the section at the list's top.
        if (const QStringList titles = menu->indexTitles(); !titles.isEmpty()) {
            nlohmann::json entries = nlohmann::json::array();
            for (int i = 0; i < titles.size(); ++i)
                if (const QRect r = menu->indexEntryRect(i); !r.isEmpty())
                    entries.push_back({titles[i].toStdString(), r.center().x() + area.x(), r.center().y() + area.y()});
            state["sideIndex"] = std::move(entries);
            state["topSection"] = menu->topSectionTitle().toStdString();
        }
        // MEM's about page over the menu: the version it shows.
        if (menu->aboutShown() && menu->aboutPage())
            state["about"] = menu->aboutPage()->versionText().toStdString();
        // The program library: the names it lists, in order.
        if (menu->showsLibrary()) {
            nlohmann::json names = nlohmann::json::array();
            for (const MenuScreen::Section& section : menu->sections())
                for (const MenuScreen::Row& row : section.rows)
                    names.push_back(row.name);
            state["programs"] = std::move(names);
            // The tag picker over the list: its tags, the one chosen and the source.
            if (const TagSelector* picker = menu->tagSelector(); picker && picker->isVisible())
                state["tagPicker"] = {{"tags", picker->rowTitles().join(QLatin1Char(',')).toStdString()},
                    {"row", picker->selectedRow()}, {"type", picker->type()}};
        }
        // A SHARE menu: its rows and the rows picked to send, in the order picked.
        if (menu->currentMenu() >= 19 && menu->currentMenu() <= 28 && !menu->barTitle().isEmpty()) {
            nlohmann::json rows = nlohmann::json::array();
            for (const MenuScreen::Section& section : menu->sections())
                for (const MenuScreen::Row& row : section.rows)
                    rows.push_back(row.title.toStdString());
            nlohmann::json picked = nlohmann::json::array();
            for (const MenuScreen::Place p : menu->shareSelection())
                picked.push_back(menu->sections()[static_cast<std::size_t>(p.section)]
                                     .rows[static_cast<std::size_t>(p.row)].title.toStdString());
            state["share"] = {{"title", menu->barTitle().toStdString()}, {"tabs", menu->tabTitles().join(QLatin1Char(',')).toStdString()},
                {"rows", std::move(rows)}, {"picked", std::move(picked)}};
        }
    } else {
        state["menu"] = nullptr;
    }
    // The program library's notes page while it shows: its program, mode, the notes as
    // typed and the HTML shown.
    if (const auto* menu = dynamic_cast<const MenuScreen*>(app_.root().router().controller(screens::Menu));
        menu && menu->isVisible() && menu->notesShown() && menu->notesPage()) {
        const ProgramNotesPage& page = *menu->notesPage();
        state["notes"] = {{"program", page.programName()}, {"editing", page.editing()},
            {"text", page.notesText().toStdString()}, {"html", page.shownHtml().toStdString()},
            {"title", menu->barTitle().toStdString()}};
    }
}

// The overlays over the display and the keyboard: which one, and the four-function panel,
// the conversions, the periodic table and the colour picker as they read.
void AppDriver::overlaysState(nlohmann::json& state) const
{
    // The overlays laid over a screen that show (each kept where it opens), and the
    // captions of the buttons of the screen in front, which `press` takes.
    nlohmann::json placed = nlohmann::json::array();
    for (const OverlayPlacement* placement : app_.root().findChildren<OverlayPlacement*>())
        if (const QWidget& overlay = placement->overlay(); overlay.isVisible())
            placed.push_back({{"widget", className(overlay)}, {"rect", rectIn(overlay, app_.root())}});
    if (!placed.empty())
        state["overlays"] = std::move(placed);
    // The slides under way or in.
    if (nlohmann::json slides = slidesState(false); !slides.empty())
        state["slides"] = std::move(slides);
    if (const ScreenController* front = app_.root().controllerOf(app_.root().frontId())) {
        nlohmann::json buttons = nlohmann::json::array();
        for (const QAbstractButton* button : front->findChildren<QAbstractButton*>())
            if (const QString text = ::orvenda::caption(button); button->isVisible() && button->isEnabled() && !text.isEmpty()
                && std::find(buttons.begin(), buttons.end(), text.toStdString()) == buttons.end())
                buttons.push_back(text.toStdString());
        if (!buttons.empty())
            state["buttons"] = std::move(buttons);
    }
    // The overlay over the display and the keyboard, by name.
    for (int id = screens::Menu; id <= screens::CSVPreview; ++id)
        if (const QWidget* c = app_.root().router().controller(id); c && c->isVisible())
            state["overlay"] = ScreenRegistry::title(id).toStdString();
    if (const auto* panel = dynamic_cast<const FourFunctionPanel*>(app_.root().router().controller(screens::FourFunction));
        panel && panel->isVisible())
        state["fourFunction"] = panel->text().toStdString();
    if (const auto* csv = dynamic_cast<const CSVViewController*>(app_.root().router().controller(screens::CSVPreview));
        csv && csv->isVisible()) {
        // The grid's place in the window and what shows of it: the rows and columns in view
        // from the first one, their widths and texts, and the selected cells.
        const CSVView& grid = csv->grid();
        const QRect place = csv->scroller().shownRect(QRectF(QPointF(0, 0), csv->scroller().contentSize()), app_.root());
        const QRectF view(csv->scroller().contentOffset(), csv->scroller().visibleSize());
        const CSVView::Cell first = grid.cellAt(view.topLeft(), true);
        const CSVView::Cell last = grid.cellAt(view.bottomRight() - QPointF(1, 1), true);
        nlohmann::json widths = nlohmann::json::array(), shown = nlohmann::json::array();
        for (int c = first.column; first.valid() && c <= last.column; ++c)
            widths.push_back(grid.columnWidths()[std::size_t(c)]);
        for (int r = first.row; first.valid() && r <= last.row; ++r) {
            nlohmann::json row = nlohmann::json::array();
            const auto& texts = grid.rows()[std::size_t(r)];
            for (int c = first.column; c <= last.column && c < int(texts.size()); ++c)
                row.push_back(texts[std::size_t(c)].toStdString());
            shown.push_back(std::move(row));
        }
        const auto cell = [](CSVView::Cell c) { return c.valid() ? nlohmann::json::array({c.row, c.column}) : nlohmann::json(); };
        const QFont font = grid.gridFont();
        state["csvPreview"] = {{"grid", {place.x(), place.y(), place.width(), place.height()}},
            {"offset", {view.x(), view.y()}}, {"font", {font.family().toStdString(), font.pixelSize()}},
            {"rowHeight", grid.rowHeight()}, {"space", grid.columnSpace()}, {"rows", grid.rows().size()},
            {"columns", grid.columnWidths().size()}, {"first", cell(first)}, {"widths", std::move(widths)},
            {"shown", std::move(shown)}, {"selection", {{"start", cell(grid.selectionStart())}, {"end", cell(grid.selectionEnd())}}}};
    }
    if (const auto* conversions = dynamic_cast<const ConversionScreen*>(app_.root().router().controller(screens::Conversions));
        conversions && conversions->isVisible())
        state["conversion"] = {{"mode", conversions->mode() == ConversionScreen::Constants ? "constants" : "units"},
            {"class", conversions->unitClass()}, {"from", conversions->from()}, {"to", conversions->to()},
            {"constant", conversions->constant()}, {"column", conversions->column()},
            {"result", conversions->resultText().toStdString()}, {"full", conversions->fullText().toStdString()}};
    if (const auto* periodic = dynamic_cast<const PeriodicTableScreen*>(app_.root().fullScreen(screens::PeriodicTable));
        periodic && periodic->isVisible()) {
        // The table's mode and transform, where it lies in the window and its cells' size
        // (a tap's place), and the element whose details are open with their lines.
        const PeriodicTableView& table = periodic->table();
        const QPoint at = table.mapTo(&app_.root(), QPoint(0, 0));
        const double s = table.scale();
        nlohmann::json element = nullptr;
        if (const int n = periodic->elementShown()) {
            nlohmann::json fields = nlohmann::json::array();
            for (int i = 0; i < ElementView::kFields; ++i)
                fields.push_back({ElementView::fieldLabel(i).toStdString(), ElementView::fieldText(n, i).toStdString()});
            element = {{"number", n}, {"title", periodic->detail()->title().toStdString()}, {"fields", std::move(fields)}};
        }
        const PeriodicConfigurePanel* properties = periodic->picker();
        state["periodicTable"] = {{"title", periodic->title().toStdString()}, {"mode", table.displayMode()},
            {"slider", periodic->sliderShown() ? nlohmann::json(periodic->valueText().toStdString()) : nlohmann::json()},
            {"scale", s}, {"translation", {table.translation().x(), table.translation().y()}},
            {"portrait", table.portrait()}, {"table", {at.x(), at.y(), table.width(), table.height()}},
            {"cell", {table.cellSize().width() * s, table.cellSize().height() * s}},
            {"picker", properties && properties->isVisible()}, {"element", std::move(element)}};
    }
    if (const auto* picker = dynamic_cast<const ColorPickerScreen*>(app_.root().router().controller(screens::ColorPicker));
        picker && picker->isVisible()) {
        const VQColor& c = picker->picker().color();
        state["picker"] = {{"title", picker->title().toStdString()}, {"mode", picker->picker().mode()},
            {"color", {c.r(), c.g(), c.b()}}};
    }
}

nlohmann::json AppDriver::slidesState(bool all) const
{
    nlohmann::json slides = nlohmann::json::array();
    for (const OverlaySlide* slide : app_.root().findChildren<OverlaySlide*>())
        if (const auto* owner = qobject_cast<const QWidget*>(slide->parent()); owner && (all || slide->sliding() || slide->in()))
            slides.push_back({{"owner", className(*owner)}, {"sliding", slide->sliding()}, {"in", slide->in()}});
    return slides;
}

void AppDriver::keysState(nlohmann::json& state) const
{
    // The fields shown that take typed text, in the window or a form over it (where a tap
    // lands on them; not a page slid out of sight), and what has the computer's keys.
    nlohmann::json typing = nlohmann::json::array();
    for (QWidget* widget : QApplication::allWidgets()) {
        const QWidget* window = widget->window();
        if (!ClickFocusGuard::inSight(*widget) || !ClickFocusGuard::takesText(*widget)
            || (window != &app_.root() && window->parentWidget() == nullptr))
            continue;
        const QRect r(app_.root().mapFromGlobal(widget->mapToGlobal(QPoint(0, 0))), widget->size());
        typing.push_back({{"rect", {r.x(), r.y(), r.width(), r.height()}}, {"class", widget->metaObject()->className()},
            {"keys", widget->hasFocus()}});
    }
    if (!typing.empty())
        state["textFields"] = std::move(typing);
    // Where a key typed now goes (as hkey sends it), unless to the calculator keyboard.
    QWidget* active = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : QApplication::activeWindow();
    if (const QWidget* keys = (active ? active : &app_.root())->focusWidget(); keys != &app_.keyboard())
        state["keys"] = keys ? nlohmann::json{{"class", keys->metaObject()->className()}, {"field", ClickFocusGuard::takesText(*keys)}}
                             : nlohmann::json();
}

void AppDriver::keySetState(nlohmann::json& state, int screen) const
{
    // The key row above the entry line shows this set, with its five keys where drawn.
    if (app_.calculator().userKeys) {
        state["keySet"] = app_.calculator().userKeySetName;
        // The row is no QObject type of its own: found by its class.
        for (const QWidget* widget : app_.root().findChildren<QWidget*>())
            if (const auto* row = dynamic_cast<const UserKeysView*>(widget); row && row->isVisible()) {
                nlohmann::json keys = nlohmann::json::array();
                for (int tag = 0; tag < UserKeysView::kKeys; ++tag)
                    keys.push_back(rectIn(row->button(tag), app_.root()));
                state["keyRow"] = std::move(keys);
            }
    }
    if (const auto* editor = dynamic_cast<const KeySetEditorScreen*>(app_.root().router().controller(screens::KeySetEditor));
        editor && screen == screens::KeySetEditor) {
        nlohmann::json lines = nlohmann::json::array();
        for (int line = 0; line < KeySetView::kLines; ++line)
            lines.push_back(editor->keySetView().lineText(line).toStdString());
        state["keyEditor"] = {{"key", editor->currentKey()}, {"line", editor->currentLine()}, {"lines", std::move(lines)}};
    }
}

void AppDriver::windowsState(nlohmann::json& state) const
{
    nlohmann::json alerts = nlohmann::json::array(), alertRects = nlohmann::json::array();
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        const auto* box = qobject_cast<const QMessageBox*>(widget);
        if (!box || !box->isVisible())
            continue;
        nlohmann::json buttons = nlohmann::json::array();
        for (const QAbstractButton* button : box->buttons())
            buttons.push_back(caption(button).toStdString());
        const QRect r(app_.root().mapFromGlobal(box->mapToGlobal(QPoint(0, 0))), box->size());
        alerts.push_back({{"title", box->windowTitle().toStdString()}, {"message", box->text().toStdString()},
                          {"buttons", std::move(buttons)}});
        alertRects.push_back({r.x(), r.y(), r.width(), r.height()});
    }
    state["alerts"] = std::move(alerts);
    if (!alertRects.empty())
        state["alertRects"] = std::move(alertRects);
    // A form open over the window (a user menu's name, a new key set, a new program).
    if (const auto* dialog = qobject_cast<const QDialog*>(QApplication::activeModalWidget());
        dialog && !qobject_cast<const QMessageBox*>(dialog) && dialog->isVisible())
        state["dialog"] = dialog->windowTitle().toStdString();
    // Every form or list open in a window of its own (F1's list too), where it stands.
    nlohmann::json dialogs = nlohmann::json::array();
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (const auto* dialog = qobject_cast<const QDialog*>(widget); dialog && dialog->isVisible() && !qobject_cast<const QMessageBox*>(dialog)) {
            const QRect r(app_.root().mapFromGlobal(dialog->mapToGlobal(QPoint(0, 0))), dialog->size());
            dialogs.push_back({{"title", dialog->windowTitle().toStdString()}, {"rect", {r.x(), r.y(), r.width(), r.height()}}});
        }
    if (!dialogs.empty())
        state["dialogs"] = std::move(dialogs);
}

void AppDriver::catalogState(nlohmann::json& state) const
{
    // The catalogue's title, and its bar over a help page: title and Share, where they are drawn.
    if (const auto* catalog = dynamic_cast<const CatalogScreen*>(app_.root().router().controller(screens::Catalog));
        catalog && catalog->isVisible()) {
        state["catalogTitle"] = catalog->titleLabel().text().toStdString();
        if (catalog->helpShown())
            state["catalogBar"] = {{"title", rectIn(catalog->titleLabel(), app_.root())},
                {"titleNeeds", catalog->titleLabel().sizeHint().width()}, {"share", rectIn(catalog->shareButton(), app_.root())}};
    }
}

void AppDriver::dump()
{
    Calculator& calc = app_.calculator();
    nlohmann::json state;
    state["screen"] = calc.currentScreen();
    // Whether a run is queued or running (or may be: a post still on its way to the main
    // thread can queue one), and whether a program waits (for an answer, a menu's pick or a
    // pause's ENTER).
    state["running"] = calc.parser().programQueueCount() > 0 || app_.shell().mainQueue().pending() > 0;
    state["waiting"] = calc.parser().programQueue().programQueued();
    // The shift the keyboard lights: 2ND, ALPHA or the alpha lock (null for none).
    state["shift"] = calc.secondShift ? nlohmann::json("2nd") : calc.alphaLock ? nlohmann::json("alphaLock")
        : calc.alphaShift                                    ? nlohmann::json("alpha")
                                                             : nlohmann::json();
    // What the window shows on top, from the widgets the picture is drawn from.
    const int front = app_.root().frontId();
    nlohmann::json top{{"id", front}, {"title", ScreenRegistry::title(front).toStdString()}, {"leave", nullptr}};
    if (const QWidget* control = leaveControl()) {
        const QRect r(control->mapTo(&app_.root(), QPoint(0, 0)), control->size());
        top["leave"] = {r.x(), r.y(), r.width(), r.height()};
    }
    state["top"] = std::move(top);
    // Every screen, overlay and view drawn, under the one on top too.
    nlohmann::json drawn = nlohmann::json::array();
    for (int id : ScreenRegistry::ids())
        if (const ScreenController* c = app_.root().controllerOf(id); c && c->isVisible())
            drawn.push_back(id);
    state["drawn"] = std::move(drawn);
    // The calculator keyboard where it is drawn in the window, and its smallest key's size;
    // null while a full-size screen hides it.
    const KeyboardView& keyboard = app_.keyboard();
    if (keyboard.isVisible()) {
        const QRect r(keyboard.mapTo(&app_.root(), QPoint(0, 0)), keyboard.size());
        QSize smallest = keyboard.size();
        for (int k = 0; k < KeyTables::kKeyCount; ++k)
            smallest = smallest.boundedTo(keyboard.button(k).size());
        state["keyboard"] = {{"rect", {r.x(), r.y(), r.width(), r.height()}}, {"key", {smallest.width(), smallest.height()}},
            {"undo", rectIn(keyboard.button(KeyTables::kUndoKey), app_.root())}, {"helpArmed", keyboard.helpArmed()}};
    } else {
        state["keyboard"] = nullptr;
    }
    state["mathPrint"] = calc.locked()->mathPrint;
    const auto* entry = dynamic_cast<const EntryModel*>(calc.entryManager.get());
    state["entry"] = entry ? entry->text() : std::string();
    state["cursor"] = entry ? entry->entryCursor() : 0;
    nlohmann::json history = nlohmann::json::array();
    if (const auto* model = dynamic_cast<const HistoryModel*>(calc.historyManager.get()))
        for (const HistoryEntry& item : model->history())
            history.push_back({{"input", calc.stringFromOps(item.entry)}, {"answer", item.result}});
    state["history"] = std::move(history);
    // A home screen on show: where its history and its entry line stand in the window.
    if (const auto* home = dynamic_cast<const MathPrintScreen*>(app_.root().controllerOf(screens::Home)); home && home->isVisible())
        state["home"] = {{"history", rectIn(home->historyScrollView(), app_.root())}, {"entry", rectIn(home->prettyScrollView(), app_.root())}};
    if (const auto* home = dynamic_cast<const ClassicHomeScreen*>(app_.root().controllerOf(screens::ClassicHome)); home && home->isVisible())
        state["home"] = {{"history", rectIn(home->historyScroller(), app_.root())}, {"entry", rectIn(home->entryView(), app_.root())}};
    state["ans"] = calc.getAns();
    state["error"] = static_cast<const ErrorRecorder&>(*recorder_).lastError();
    windowsState(state);
    const ProgramOutputModel& output = app_.programOutput();
    state["output"] = output.shownLines();
    if (calc.currentScreen() == screens::ProgramOutput) {
        // The output screen as drawn: its ten lines and where the cursor is.
        nlohmann::json lines = nlohmann::json::array();
        for (int n = 0; n < ProgramOutputModel::kLines; ++n)
            lines.push_back(output.line(n));
        const ProgramOutputManager::CursorPosition cursor = output.cursorPosition();
        const auto* screen = dynamic_cast<const ProgramOutputScreen*>(app_.root().router().controller(screens::ProgramOutput));
        state["programOutput"] = {{"program", output.programName()}, {"lines", std::move(lines)},
            {"cursor", {cursor.column, cursor.row}}, {"menu", calc.menuRunning.load()},
            {"paused", calc.pauseRunning.load()}, {"visible", screen && screen->isVisible()}};
        if (screen && screen->isVisible()) {
            // Where the grid is drawn in the window, and its line height.
            const ProgramOutputView& grid = screen->view();
            const QPoint at = grid.mapTo(&app_.root(), QPoint(0, 0));
            state["programOutput"]["grid"] = {at.x(), at.y(), grid.width(), grid.height(), grid.leading(), grid.cellWidth()};
        }
    }
    // The debugger shows over a table or graph a step left in front too.
    if (const ScreenController* debugger = app_.root().fullScreen(screens::Debugger);
        calc.currentScreen() == screens::ProgramEditor || (debugger && debugger->isVisible()))
        programEditorState(state);
    keysState(state);
    if (const QImage* photo = BackgroundPicture::image(calc)) {
        const Calculator::Rect& frame = calc.backgroundFrame;
        state["background"] = {{"width", photo->width()}, {"height", photo->height()},
            {"frame", {frame.x, frame.y, frame.width, frame.height}}, {"scale", calc.backgroundScale}};
    }
    const int screen = calc.currentScreen();
    graphScreensState(state, screen);
    statsState(state, screen);
    appsState(state, screen);
    if (auto* geometry = dynamic_cast<GeometryScreen*>(app_.root().fullScreen(screens::Geometry)); geometry && geometry->isVisible())
        state["geometry"] = geometryState(*geometry);
    menuState(state);
    overlaysState(state);
    keySetState(state, screen);
    state["help"] = helpState();
    catalogState(state);
    // The controls of the screen in front that a user cannot reach, when there are any.
    if (ScreenController* shown = app_.root().controllerOf(front)) {
        if (nlohmann::json out = unreachableWidgets(app_.root(), *shown); !out.empty())
            state["unreachable"] = std::move(out);
        if (nlohmann::json typing = typingPlace(app_.root(), *shown); !typing.is_null())
            state["typing"] = std::move(typing);
        if (nlohmann::json rows = rowsOutOfView(*shown); !rows.empty())
            state["rowsOutOfView"] = std::move(rows);
    }
    if (!opened_.empty())
        state["opened"] = opened_;
    if (!files_.empty())
        state["files"] = files_;
    // What the share sheet was handed last: subject, the files where they went, the text,
    // and the size of a PDF handed without a file.
    if (const ShareRequest& shared = app_.shareSheet().last(); !shared.empty()) {
        nlohmann::json files = nlohmann::json::array();
        for (const QString& file : app_.shareSheet().delivered())
            files.push_back(file.toStdString());
        state["shared"] = {{"subject", shared.subject.toStdString()}, {"files", std::move(files)},
            {"text", shared.text.toStdString()}, {"pdf", shared.pdf.size()}};
    }
    out_ << state.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << std::endl;
}

} // namespace orvenda
