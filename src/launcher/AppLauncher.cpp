#include "launcher/AppLauncher.h"
#include "launcher/LaunchWait.h"

#include "app/AppDelegate.h"
#include "app/AppShell.h"
#include "app/FieldLineKeeper.h"
#include "app/HelpView.h"
#include "app/ClassicHomeScreen.h"
#include "app/MathPrintScreen.h"
#include "app/RootController.h"
#include "app/SceneDelegate.h"
#include "app/ScreenRegistry.h"
#include "app/ScreenRouter.h"
#include "app/YEqModel.h"
#include "apps/CSVImport.h"
#include "apps/ChemScreen.h"
#include "apps/ConversionScreen.h"
#include "apps/FinanceScreen.h"
#include "apps/CSVViewController.h"
#include "apps/FourFunctionPanel.h"
#include "apps/MatrixEditScreen.h"
#include "apps/MatrixPromptScreen.h"
#include "apps/GeometryScreen.h"
#include "apps/PeriodicTableScreen.h"
#include "apps/PolyScreen.h"
#include "apps/SimulEqScreen.h"
#include "apps/SolverScreen.h"
#include "apps/UserNotesView.h"
#include "core/Calculator.h"
#include "core/services/CSVLoader.h"
#include "core/services/GDBManager.h"
#include "core/services/TIFileIO.h"
#include "graphui/FormatColorLink.h"
#include "docs/FunctionHelpPDFView.h"
#include "drawing/BackgroundPicture.h"
#include "docs/FunctionHelpScreen.h"
#include "docs/GraphPdfView.h"
#include "docs/HelpMenuScreen.h"
#include "docs/DiagnosticsReport.h"
#include "docs/ShareExport.h"
#include "docs/ShareMenuLink.h"
#include "docs/SupportActions.h"
#include "platform/MailComposer.h"
#include "platform/FixedReachability.h"
#include "platform/NetworkReachability.h"
#include "platform/PhotoLibrary.h"
#include "platform/QuitSignals.h"
#include "platform/ShareSheet.h"
#include "graphui/FormatScreen.h"
#include "graphui/GraphPanels.h"
#include "graphui/GraphScreenController.h"
#include "graphui/TableScreen.h"
#include "stats/StatEditScreen.h"
#include "stats/StatEqScreen.h"
#include "stats/StatPlotSetup.h"
#include "stats/StatTestScreen.h"
#include "stats/StatWizScreen.h"
#include "graphui/TableSetScreen.h"
#include "graphui/WindowScreen.h"
#include "graphui/YEqColorPicker.h"
#include "graphui/YEqScreen.h"
#include "input/CatalogScreen.h"
#include "input/ColorPickerScreen.h"
#include "input/VQColorWheel.h"
#include "platform/KeyClickSound.h"
#include "input/KeyCatalogScreen.h"
#include "input/KeySetEditorScreen.h"
#include "input/KeyboardRouterLink.h"
#include "input/KeyboardView.h"
#include "input/MenuRouterLink.h"
#include "input/MenuScreen.h"
#include "input/ModeScreen.h"
#include "programs/GDBStore.h"
#include "programs/ProgramFiles.h"
#include "programs/ProgramListingPDF.h"
#include "programs/ProgramModel.h"
#include "programs/ProgramOutputModel.h"
#include "programs/ProgramDebuggerScreen.h"
#include "programs/ProgramEditorScreen.h"
#include "programs/ProgramOutputScreen.h"
#include "programs/TIFileReader.h"
#include "stats/StatPlotModel.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QPointer>
#include <QWidget>

namespace orvenda {

namespace {

constexpr QSize kPhoneSize{390, 844};
constexpr QSize kTabletSize{768, 1024};
// The smallest windows the layouts hold; the phone turns to landscape (844 × 390) and the
// tablet (1024 × 768).
constexpr QSize kPhoneMinimum{320, 390};
constexpr QSize kTabletMinimum{768, 768};

} // namespace

AppLauncher::AppLauncher(QApplication& app, const Options& options)
    : calc_(Calculator::calculator())
{
    // The displays' base font size is the device's (20 on a phone, 30 on a tablet) unless a
    // saved state says otherwise: the factory settings are taken for the device.
    calc_.device = options.tablet ? 1 : 0;
    calc_.baseFontSize = options.tablet ? 30 : 20;
    // The managers go in before the state is restored: their archives go to them.
    auto equations = std::make_shared<YEqModel>(calc_);
    calc_.yEqManager = equations;
    calc_.statGraphManager = std::make_shared<StatPlotModel>(calc_);
    GDBManager::setShared(std::make_shared<GDBStore>(calc_, equations, (options.dataFolder + "/GDB").toStdString()));
    // The programs live in their own files; the archive's conversion of old ones needs them.
    auto programFiles = std::make_shared<ProgramFiles>(options.dataFolder + "/programs");
    programFiles->removeLeftovers();
    programs_ = std::make_shared<ProgramModel>(calc_, programFiles);
    calc_.prgmManager = programs_;
    output_ = std::make_shared<ProgramOutputModel>(calc_);
    calc_.prgmOutputMgr = output_;
    CSVLoader::setLoader(&CSVImport::loadCSV);
    // The catalogue and the menus show help pages in the help pages' own view.
    HelpView::setFactory([](Calculator& calc, QWidget* parent) { return new FunctionHelpPDFView(calc, parent); });
    // Variable files go straight into the calculator, the equations and the programs.
    TIFileIO::setFactory([this, equations](const std::vector<std::uint8_t>& data) -> std::unique_ptr<TIFileIO> {
        auto reader = TIFileReader::tiFileIOWithData(data, {calc_, *equations, *programs_});
        if (reader)
            reader->stored = [this](const std::string& item) { imported_.push_back(item); };
        return reader;
    });
    StateFile::Settle settle;
    if (options.stateSettle)
        settle.still = *options.stateSettle;
    if (options.stateWaitLimit)
        settle.longest = *options.stateWaitLimit;
    // A state file another program is still writing is waited for with a window that says so.
    launchWait_ = std::make_unique<LaunchWait>(QDir(options.dataFolder).filePath(QString::fromLatin1(StateFile::kFileName)));
    launchWait_->shown = options.whileWaiting;
    settle.wait = [wait = launchWait_.get()](std::chrono::milliseconds time) { wait->wait(time); };
    settle.keepWaiting = [wait = launchWait_.get()] { return wait->keepWaiting(); };
    if (options.archiveBounds) {
        const auto hold = calc_.lockState();
        calc_.setArchiveBounds(*options.archiveBounds);
    }
    delegate_ = std::make_unique<AppDelegate>(calc_, options.dataFolder, QString(), std::move(settle));
    launchWait_->launched();
    // The colour wheel's picture is drawn once and kept with the data.
    VQColorWheel::setImageFolder(options.dataFolder + QStringLiteral("/images"));
    // Connected before the delegate's own: the quit's save comes after it, and keeps the
    // item of a run the quit ended. The screen in front is left first, as the window's close
    // leaves it: a field takes its own line before a waiting run's end could empty it.
    quitHook_ = std::make_unique<QObject>();
    QObject::connect(&app, &QCoreApplication::aboutToQuit, quitHook_.get(), [this] {
        if (root_)
            root_->quitting();
        endRunsForQuit();
    });
    delegate_->watch(app);
    shell_ = std::make_unique<AppShell>(calc_);
    click_ = std::make_shared<KeyClickSound>();
    shell_->keys().setClickSound([click = click_] { click->play(); });

    if (!options.firstRunGreeting)
        calc_.firstTime = false;
    // The online actions ask the desktop's network information.
    if (options.online)
        FixedReachability::install(*options.online);
    else
        NetworkReachability::install(calc_.notificationCenter());
    calc_.startNetworkMonitors();
    setUpSharing(options);

    // The device is known before the root lays itself out for it.
    const auto greeting = SceneDelegate::willConnect(calc_, options.tablet);
    root_ = std::make_shared<RootController>(calc_, *shell_, options.tablet);
    const auto tellUser = [this](const QString& message) {
        root_->alerts().show({QStringLiteral("Orvenda"), message, {{QStringLiteral("OK"), nullptr}}});
    };
    share_->tell = tellUser;
    support_->tell = tellUser;
    share_->bringCurrentScreenToFront = [this] { root_->router().bringCurrentScreenToFront(); };
    registerInputScreens();
    calc_.viewDelegate = root_;
    root_->screens().set(screens::Home, [this](QWidget* p) { return new MathPrintScreen(calc_, *shell_, p); });
    root_->screens().set(screens::ClassicHome, [this](QWidget* p) { return new ClassicHomeScreen(calc_, *shell_, p); });
    root_->router().remake(screens::Home);
    root_->router().remake(screens::ClassicHome);
    registerAppScreens();
    const QSize size = options.size.isEmpty() ? (options.tablet ? kTabletSize : kPhoneSize) : options.size;
    // A size asked for explicitly wins over the layout's minimum.
    root_->setMinimumSize((options.tablet ? kTabletMinimum : kPhoneMinimum).boundedTo(size));
    root_->resize(size);
    if (greeting)
        greet(*greeting);
    delegate_->tell = [this](const QString& message) {
        root_->alerts().show({QStringLiteral("Orvenda"), message, {{QStringLiteral("OK"), nullptr}}});
    };
    programs_->tell = [this](const std::string& message) { delegate_->tell(QString::fromStdString(message)); };
    if (auto report = delegate_->takeStartupReport())
        delegate_->tell(*report);
    // The calculator keyboard in the router's keyboard area, taking the computer's keys.
    keyboard_ = new KeyboardView(calc_, shell_->keys());
    keyboardLink_ = std::make_unique<KeyboardRouterLink>(root_->router());
    keyboard_->setDelegate(keyboardLink_.get());
    root_->router().setKeyboard(keyboard_);
    // The overlays that take no keys themselves leave them to the keyboard, but hide the
    // line ENTER would run.
    shell_->keys().setLineCovered([router = &root_->router()] {
        switch (router->frontId()) {
        case screens::Mode: case screens::KeyCatalog: case screens::YEqColor: case screens::StatPlotColor:
        case screens::ColorPicker:
            return true;
        default:
            return false;
        }
    });
    shell_->setComputerKeys([keyboard = QPointer<KeyboardView>(keyboard_)](const QKeyEvent& event) {
        return keyboard && keyboard->handleKeyEvent(event);
    });
    root_->screens().set(screens::Help, [this, tablet = options.tablet](QWidget* p) {
        auto* help = new HelpMenuScreen(calc_, tablet, p);
        help->setSupport(support_.get());
        help->prepareHelp = [this](FunctionHelpScreen& page) { prepareHelp(page); };
        help->keyClick = [this] { shell_->keys().doKeyClick(); };
        help->closed = [this] {
            root_->helpDone();
            keyboard_->setFocus();
        };
        return help;
    });
    root_->screens().set(screens::FunctionHelp, [this](QWidget* p) {
        auto* help = new FunctionHelpScreen(calc_, p);
        prepareHelp(*help);
        help->closed = [this, help] {
            help->hide();
            keyboard_->setFocus();
        };
        return help;
    });
    root_->show();
    keyboard_->setFocus();
    // A line typed in a field when the state was saved is back in that field.
    fieldLines_ = std::make_unique<FieldLineKeeper>(calc_, *root_);
    fieldLines_->resume();
    // Asked to end, the app closes its window as the user would and quits, saving, whatever
    // alert is open.
    quitSignals_ = std::make_unique<QuitSignals>([this](int) {
        root_->close();
        QCoreApplication::exit(0);
    });
}

void AppLauncher::endRunsForQuit()
{
    // A run the debugger holds between its steps ends as the debugger's Quit ends it; then
    // whatever still runs or waits stops as ON stops it.
    if (root_ && programs_->debug())
        if (auto* debugger = dynamic_cast<ProgramDebuggerScreen*>(root_->fullScreen(screens::Debugger)))
            debugger->done();
    if (shell_)
        shell_->endRuns();
}

void AppLauncher::registerAppScreens()
{
    root_->screens().set(screens::YEq, [this](QWidget* p) { return new YEqScreen(calc_, *shell_, root_->router(), p); });
    root_->screens().set(screens::Graph, [this](QWidget* p) {
        auto* graph = new GraphScreenController(calc_, *shell_, p);
        GraphPanels::install(calc_, *shell_, *graph);
        graph->setOnDone([this] { root_->graphDone(); });
        // The worksheet is made here; the share sheet that takes it is set by sharing.
        graph->makeWorksheet = [this](GraphView& view, bool landscape) {
            GraphPdfView sheet(calc_);
            sheet.setGraphView(&view);
            return sheet.worksheetPDFLandscape(landscape);
        };
        graph->shareWorksheet = [this](const QByteArray& pdf, const QImage& picture, const QString& subject) {
            if (const auto request = share_->shareGraph(pdf, picture, subject))
                presentShare(*request);
        };
        graph->updateShareButton();
        return graph;
    });
    root_->screens().set(screens::Window, [this](QWidget* p) { return new WindowScreen(calc_, *shell_, p); });
    root_->screens().set(screens::Format, [this](QWidget* p) {
        auto* format = new FormatScreen(calc_, *shell_, p);
        format->setDelegate(std::make_unique<FormatColorLink>(root_->router()));
        return format;
    });
    root_->screens().set(screens::TableSetup, [this](QWidget* p) { return new TableSetScreen(calc_, *shell_, p); });
    root_->screens().set(screens::Table, [this](QWidget* p) { return new TableScreen(calc_, *shell_, p); });
    root_->screens().set(screens::ProgramEditor, [this](QWidget* p) {
        auto* editor = new ProgramEditorScreen(calc_, *programs_, *output_, p);
        editor->onQuit = [this] {
            // Quit over the debugger's output leaves the debugger first, as its own Quit
            // does (a run in progress ends as a break), and then the editor.
            if (auto* debugger = dynamic_cast<ProgramDebuggerScreen*>(root_->fullScreen(screens::Debugger));
                debugger && programs_->debug())
                debugger->done();
            root_->router().showScreen(screens::Home);
        };
        return editor;
    });
    root_->screens().set(screens::Debugger, [this](QWidget* p) {
        auto* debugger = new ProgramDebuggerScreen(calc_, *programs_, p);
        debugger->setComputerKeys([shell = shell_.get()](const QKeyEvent& event) { return shell->typeComputerKey(event); });
        debugger->setInTurn([shell = shell_.get()](std::function<void()> action) { shell->keys().press(std::move(action), 0); });
        return debugger;
    });
    root_->screens().set(screens::ProgramOutput,
        [this](QWidget* p) { return new ProgramOutputScreen(calc_, *output_, p); });
    root_->screens().set(screens::ListEditor, [this](QWidget* p) { return new StatEditScreen(calc_, *shell_, p); });
    root_->screens().set(screens::StatPlots, [this](QWidget* p) { return new StatEqScreen(calc_, *shell_, root_->router(), p); });
    root_->screens().set(screens::StatPlotColor, [this](QWidget* p) { return new StatPlotSetup(calc_, *shell_, root_->router(), p); });
    root_->screens().set(screens::StatTests, [this](QWidget* p) { return new StatTestScreen(calc_, *shell_, p); });
    root_->screens().set(screens::StatWizard, [this](QWidget* p) { return new StatWizScreen(calc_, *shell_, root_->router(), p); });
    root_->screens().set(screens::YEqColor, [this](QWidget* p) { return new YEqColorPicker(calc_, root_->router(), p); });
    root_->screens().set(screens::Geometry, [this](QWidget* p) { return new GeometryScreen(calc_, *shell_, p); });
    root_->screens().set(screens::Polynomial, [this](QWidget* p) { return new PolyScreen(calc_, *shell_, p); });
    root_->screens().set(screens::Solver, [this](QWidget* p) { return new SolverScreen(calc_, *shell_, p); });
    root_->screens().set(screens::MatrixEditor, [this](QWidget* p) { return new MatrixEditScreen(calc_, *shell_, p); });
    root_->screens().set(screens::SimulEq, [this](QWidget* p) { return new SimulEqScreen(calc_, *shell_, p); });
    root_->screens().set(screens::MatrixPrompt, [this](QWidget* p) { return new MatrixPromptScreen(calc_, root_->router(), p); });
    root_->screens().set(screens::PeriodicTable, [this](QWidget* p) { return new PeriodicTableScreen(calc_, p); });
    root_->screens().set(screens::Finance, [this](QWidget* p) { return new FinanceScreen(calc_, *shell_, p); });
    root_->screens().set(screens::Chemistry, [this](QWidget* p) { return new ChemScreen(calc_, *shell_, p); });
}

void AppLauncher::greet(const SceneDelegate::Greeting& greeting)
{
    AlertQueue::Alert alert{QString::fromStdString(greeting.title), QString::fromStdString(greeting.message), {}};
    for (const SceneDelegate::Button& button : greeting.buttons) {
        // The store's own review request has no desktop counterpart: that button only closes.
        std::function<void()> action;
        if (button.action == SceneDelegate::Button::Action::OpenReviewPage)
            action = [this] { support_->leaveReview(); };
        if (button.style == SceneDelegate::Button::Style::Cancel)
            alert.escape = alert.buttons.size();
        alert.buttons.emplace_back(QString::fromStdString(button.title), std::move(action));
    }
    root_->alerts().show(std::move(alert));
}

void AppLauncher::setUpSharing(const Options& options)
{
    // Shared files and mail attachments go through the app's own export folder.
    exportFolder_ = options.dataFolder + QStringLiteral("/export");
    share_ = std::make_unique<ShareExport>(calc_, exportFolder_);
    sheet_ = std::make_unique<ShareSheet>();
    sheet_->setOutbox(options.shareOutbox);
    photos_ = std::make_unique<PhotoLibrary>();
    mail_ = std::make_unique<MailComposer>(exportFolder_);
    support_ = std::make_unique<SupportActions>(calc_);
    support_->compose = [this](const MailComposer::Mail& mail) { return mail_->compose(mail); };
    support_->openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    // Listings and the report are made on private program managers: the editor's open
    // program and its undo history stay as they are.
    share_->programPDF = [this](const std::string& program) {
        ProgramListingPDF listing(calc_, programs_->sharedFiles());
        return listing.load(program) ? listing.programPDF() : QByteArray();
    };
    support_->diagnosticPDF = [this] { return DiagnosticsReport(calc_, programs_->sharedFiles()).diagnosticPDF(); };
}

void AppLauncher::registerInputScreens()
{
    RootController& root = *root_;
    ScreenRouter& router = root.router();
    // Help pages are shared through the export folder too, never the shared temporary one.
    const QString helpFolder = exportFolder_;
    const auto tell = [&root](const QString& message) {
        root.alerts().show({QStringLiteral("Orvenda"), message, {{QStringLiteral("OK"), nullptr}}});
    };
    root.screens().set(screens::Menu, [this, &root, &router, helpFolder, tell](QWidget* parent) {
        auto* menu = new MenuScreen(calc_, *shell_, parent);
        menu->setDelegate(std::make_unique<ShareMenuLink>(router, *share_, support_.get()));
        menu->presentShare = [this](const ShareRequest& request) { presentShare(request); };
        menu->choosePicture = [this](QWidget* parent) { return photos_->choosePicture(parent); };
        // The graph takes the place of the keyboard area; a tablet turns.
        menu->pictureFrame = [this, &root] {
            const QSize screen = root.safeArea().size();
            return BackgroundPicture::coverFrame(GraphScreenController::graphSize(screen),
                calc_.device == 1 ? GraphScreenController::graphSize(screen.transposed()) : QSize());
        };
        menu->tell = tell;
        menu->ask = [&root](AlertQueue::Alert alert) { root.alerts().show(std::move(alert)); };
        menu->helpFolder = helpFolder;
        menu->makeNotesPage = [this](QWidget* page) -> ProgramNotesPage* {
            return new UserNotesView(calc_, programs_->sharedFiles(), page);
        };
        menu->exportListing = [this](const std::string& name) {
            if (const auto request = share_->shareListing(name))
                presentShare(*request);
        };
        return menu;
    });
    root.screens().set(screens::Catalog, [this, &router, helpFolder, tell](QWidget* parent) {
        auto* catalog = new CatalogScreen(calc_, *shell_, parent);
        catalog->picked = [&router](std::uint32_t code) { router.didPickOp(code); };
        catalog->closed = [&router] { router.overlayDone(); };
        catalog->tell = tell;
        catalog->helpFolder = helpFolder;
        catalog->presentShare = [this](const ShareRequest& request) { presentShare(request); };
        return catalog;
    });
    root.screens().set(screens::Mode, [this, &root, &router](QWidget* parent) {
        auto* mode = new ModeScreen(calc_, *shell_, parent);
        mode->ask = [&root](AlertQueue::Alert alert) { root.alerts().show(std::move(alert)); };
        mode->settingsDone = [&router] { router.settingsDone(); };
        return mode;
    });
    root.screens().set(screens::KeyCatalog, [this, &router](QWidget* parent) {
        auto* catalog = new KeyCatalogScreen(calc_, parent);
        catalog->didPickSet = [&router](const std::string& title, bool edit) { router.didPickSet(title, edit); };
        catalog->keyCatalogDone = [&router] { router.keyCatalogDone(); };
        catalog->keyClick = [this] { shell_->keys().doKeyClick(); };
        return catalog;
    });
    root.screens().set(screens::KeySetEditor, [this, &router](QWidget* parent) {
        auto* editor = new KeySetEditorScreen(calc_, *shell_, parent);
        editor->keySetDone = [&router] { router.returnHome(); };
        editor->mathPrintRestored = [&router] { router.updateDisplay(); };
        return editor;
    });
    root.screens().set(screens::ColorPicker, [this, &router](QWidget* parent) {
        auto* picker = new ColorPickerScreen(calc_, parent);
        picker->colorPickerViewDone = [&router] { router.overlayDone(); };
        picker->setKeyClick([this] { shell_->keys().doKeyClick(); });
        return picker;
    });
    root.screens().set(screens::Conversions, [this, &router](QWidget* parent) {
        auto* conversions = new ConversionScreen(calc_, parent);
        conversions->picked = [&router](std::uint32_t op) { router.didPickOp(op); };
        conversions->keyClick = [this] { shell_->keys().doKeyClick(); };
        return conversions;
    });
    root.screens().set(screens::FourFunction, [this](QWidget* parent) {
        auto* panel = new FourFunctionPanel(calc_, parent);
        panel->keyClick = [this] { shell_->keys().doKeyClick(); };
        return panel;
    });
    root.screens().set(screens::CSVPreview, [this](QWidget* parent) { return new CSVViewController(calc_, parent); });
    // The tablet made its catalogue before the catalogue's factory was there.
    router.remake(screens::Catalog);
}

void AppLauncher::prepareHelp(FunctionHelpScreen& help)
{
    help.presentShare = [this](const ShareRequest& request) { presentShare(request); };
    help.exportFolder = exportFolder_;
    help.tell = [this](const QString& message) { delegate_->tell(message); };
    help.setSupport(support_.get());
}

void AppLauncher::presentShare(const ShareRequest& request)
{
    const QString error = sheet_->share(request, root_.get());
    if (!error.isEmpty())
        root_->alerts().show({QStringLiteral("Orvenda"), error, {{QStringLiteral("OK"), nullptr}}});
}

AppLauncher::~AppLauncher()
{
    quitSignals_.reset();
    calc_.viewDelegate = nullptr;
    delegate_->tell = nullptr;
    programs_->tell = nullptr;
    // The screens go while the shell they use is still there.
    quitHook_.reset();
    fieldLines_.reset();
    shell_->keys().setLineCovered(nullptr);
    root_.reset();
    shell_.reset();
    delegate_.reset();
    if (calc_.prgmManager == programs_)
        calc_.prgmManager = nullptr;
    if (calc_.prgmOutputMgr == output_)
        calc_.prgmOutputMgr = nullptr;
    GDBManager::setShared(nullptr);
    CSVLoader::setLoader(nullptr);
    TIFileIO::setFactory(nullptr);
    HelpView::setFactory(nullptr);
    Reachability::setFactory(nullptr);
    calc_.startNetworkMonitors();
}

} // namespace orvenda
