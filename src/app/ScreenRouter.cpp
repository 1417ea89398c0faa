#include "app/ScreenRouter.h"

#include "app/AppShell.h"
#include "app/EntryModel.h"
#include "app/ScreenRegistry.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "core/services/ProgramManager.h"
#include "eval/Parser.h"
#include "pretty/FontMap.h"

#include <QFontMetricsF>
#include <QStringView>
#include <QtGlobal>

#include <algorithm>
#include <array>

namespace orvenda {

namespace {

// The keyboard's design spaces.
constexpr double kTabletKeyboardHeight = 524;
constexpr double kTabletKeyboardWidth = 480;
constexpr double kPhoneWidth = 320;
constexpr double kTallPhoneKeyboardHeight = 418;
// The upright phone's keyboard area (its 390 × 844 window less the status line), width
// over height.
constexpr double kUprightPhoneAspect = 390.0 / 820.0;

constexpr std::uint32_t kQuote = 42;
constexpr std::uint32_t kStoreGDB = 154;
constexpr std::uint32_t kRecallGDB = 155;
constexpr std::uint32_t kMatrixToken = 0x5C00;
constexpr std::uint32_t kUnitConversion = 0xBB5D;
constexpr std::uint32_t kConstant = 0xBB5E;
constexpr int kListsMenu = 4;
constexpr int kMatricesMenu = 5;
constexpr int kProgramMenu = 6;
constexpr int kAppsMenu = 15;
constexpr int kUserMenu = 36;

// Menus that leave the Y= screen and the list editor for the home screen first.
bool leavesEditor(int menu)
{
    return menu == 6 || menu == 8 || menu == 11 || (menu >= 16 && menu <= 26) || menu == 28 || menu == 29
        || menu == 30;
}

// Screens with a controller of the router's own.
bool routerScreen(int n)
{
    return (n >= 0 && n <= 23 && n != screens::Graph && n != screens::PeriodicTable && n != screens::StatTests
               && n != screens::Geometry && n != 18)
        || n == screens::ClassicHome;
}

bool overlay(int id)
{
    return (id >= screens::Menu && id <= screens::ColorPicker) || id == screens::FourFunction || id == screens::CSVPreview;
}

// The frames laid out in a column of the window, centred across it.
ScreenRouter::Frames centred(ScreenRouter::Frames column, double width)
{
    const double x = (width - column.display.width()) / 2;
    return {column.display.translated(x, 0), column.keyboard.translated(x, 0)};
}

// The upright phone's frames at that size: a tall phone's keyboard W·418/320 high under a
// display of at least 8 lines of 32 digits.
ScreenRouter::Frames uprightPhone(double w, double h)
{
    const QFontMetricsF metrics(FontMap::shared().font("CourierNewPS-BoldMT", 16));
    const double target = w / metrics.horizontalAdvance(QLatin1Char('0')) / 32 * 16 * 8;
    double k = w * kTallPhoneKeyboardHeight / kPhoneWidth;
    double kw = w;
    // A window too short for the full-width keyboard keeps the display's height and
    // shrinks the keyboard, centred, instead of cutting off its bottom rows.
    if (k > h - target) {
        k = std::max(0.0, h - target);
        kw = k * kPhoneWidth / kTallPhoneKeyboardHeight;
    }
    const double d = h - k;
    return {QRectF(0, 0, w, d), QRectF((w - kw) / 2, d, kw, k)};
}

} // namespace

ScreenRouter::Frames ScreenRouter::layoutFrames(QSizeF size, bool tablet)
{
    const double w = size.width();
    const double h = size.height();
    if (tablet) {
        const double s = std::min(0.7 * h / kTabletKeyboardHeight, w / kTabletKeyboardWidth);
        const double k = kTabletKeyboardHeight * s;
        const double d = h - k;
        const QFontMetricsF metrics(FontMap::shared().font("CourierNewPS-BoldMT", d * 0.125));
        const double common = std::min(w, metrics.horizontalAdvance(QStringLiteral("123456789012345678901234567890123")));
        return centred({QRectF(0, 0, common, d), QRectF(0, h - k, common, k)}, w);
    }
    // A phone on its side keeps its upright layout, drawn at the window's height and
    // centred, as the tablet keeps its own; only the full-size screens turn. The column is
    // never narrower than the narrowest phone, which every screen holds.
    if (w > h)
        return centred(uprightPhone(std::min(w, std::max(kPhoneWidth, h * kUprightPhoneAspect)), h), w);
    return uprightPhone(w, h);
}

bool ScreenRouter::debuggerBeside(QSizeF size, bool tablet)
{
    return !tablet && size.width() > size.height();
}

bool ScreenRouter::debuggerStandsAside(const Calculator& calc, QSizeF size, bool tablet)
{
    const WaitingQuestion waiting = calc.question();
    const bool asks = waiting.asks() || calc.menuRunning;
    const bool stepping = calc.prgmManager && calc.prgmManager->stepping();
    return (waiting.waitsForUser() && !stepping) || (asks && !debuggerBeside(size, tablet));
}

ScreenRouter::ScreenRouter(Calculator& calc, ScreenRegistry& registry, AppShell& shell, QWidget* parent)
    : QWidget(parent), calc_(calc), registry_(registry), shell_(shell), display_(new QWidget(this)),
      keyboard_(new QWidget(this))
{
    keyboard_->setFocusPolicy(Qt::StrongFocus);
    NotificationCenter& bus = calc_.notificationCenter();
    observeOnOwnerThread(bus, this, VQUpdatePgmOutput, [this](const Notification&) { updateProgramOutput(); });
    observeOnOwnerThread(bus, this, VQHideProgramOutput, [this](const Notification&) { hideProgramOutput(); });
    observeOnOwnerThread(bus, this, VQViewPrgmError, [this](const Notification& n) { showProgramError(n.userInfo); });
    observeOnOwnerThread(bus, this, VQRedrawKeyboard, [this](const Notification&) { updateKeyboard(); });
    observeOnOwnerThread(bus, this, VQGetList, [this](const Notification&) { getList(); });
    observeOnOwnerThread(bus, this, VQGetMatrix, [this](const Notification&) { getMatrix(); });
    layout();
    // The tablet keeps its catalogue ready; the current screen comes over it.
    if (calc_.device == 1)
        showCatalog(QString());
}

ScreenRouter::~ScreenRouter() { calc_.notificationCenter().removeObserver(this); }

void ScreenRouter::setKeyboard(QWidget* keyboard)
{
    keyboard->setParent(this);
    keyboard->setGeometry(keyboard_->geometry());
    keyboard->setVisible(keyboard_->isVisibleTo(this));
    delete keyboard_;
    keyboard_ = keyboard;
}

void ScreenRouter::resizeEvent(QResizeEvent*) { layout(); }

void ScreenRouter::layout()
{
    frames_ = layoutFrames(size(), calc_.device == 1);
    display_->setGeometry(frames_.display.toRect());
    keyboard_->setGeometry(frames_.keyboard.toRect());
    for (const auto& [id, c] : controllers_) {
        if (overlay(id))
            c->setGeometry(overlayRect(id));
        else if (id == screens::ProgramEditor)
            c->setGeometry(display_->geometry());
        else
            c->setGeometry(display_->rect());
    }
}

QRect ScreenRouter::overlayRect(int id) const
{
    // The stat plot set-up sheet keeps the whole width of a phone on its side, where its
    // colours stand beside its wheels: the upright column is too short for them. So does
    // MODE, whose rows of choices are wider than the column.
    if ((id == screens::StatPlotColor || id == screens::Mode) && calc_.device != 1 && width() > height())
        return rect();
    return menuRect().toRect();
}

ScreenController* ScreenRouter::controller(int id) const
{
    const auto found = controllers_.find(id);
    return found == controllers_.end() ? nullptr : found->second;
}

void ScreenRouter::remake(int id)
{
    ScreenController* old = controller(id);
    if (!old)
        return;
    const bool shown = !old->isHidden();
    controllers_.erase(id);
    delete old;
    if (shown)
        bringCurrentScreenToFront();
}

ScreenController* ScreenRouter::make(int id)
{
    if (ScreenController* made = controller(id))
        return made;
    const bool ownView = overlay(id) || id == screens::ProgramEditor;
    ScreenController* c = registry_.make(id, ownView ? static_cast<QWidget*>(this) : display_);
    // Each is left as QUIT leaves it: an overlay gives the screen under it back.
    if (id == screens::Mode)
        c->setLeave([this] { settingsDone(); });
    else if (id == screens::KeyCatalog)
        c->setLeave([this] { keyCatalogDone(); });
    else if (overlay(id))
        c->setLeave([this] { overlayDone(); });
    else
        c->setLeave([this] { showHome(); });
    c->hide();
    // The program editor (a child of the router) takes the display's frame, not the keyboard's.
    c->setGeometry(id == screens::ProgramEditor ? display_->geometry() : overlay(id) ? overlayRect(id) : display_->rect());
    controllers_[id] = c;
    return c;
}

ScreenController* ScreenRouter::homeController() const
{
    return controller(calc_.locked()->mathPrint ? screens::Home : screens::ClassicHome);
}

ScreenController* ScreenRouter::currentController()
{
    const int n = calc_.currentScreen();
    if (n == screens::Home) {
        loadGeneralView();
        return homeController();
    }
    return routerScreen(n) ? controller(n) : nullptr;
}

bool ScreenRouter::shouldShowGraphView() const
{
    const ScreenController* menu = controller(screens::Menu);
    return !menu || menu->isHidden();
}

bool ScreenRouter::takesKeys(const ScreenController* c) const
{
    return c && (c == controller(screens::Menu) || c == controller(screens::Catalog) || c == controller(screens::Conversions)
        || c == controller(screens::FourFunction) || c == controller(screens::CSVPreview));
}

QWidget* ScreenRouter::keysTaker() const
{
    ScreenController* c = controller(frontId());
    return takesKeys(c) && c->isVisible() ? c : keyboard_;
}

int ScreenRouter::frontId() const
{
    int front = -1;
    for (const auto& [id, screen] : controllers_) {
        if (screen->isHidden())
            continue;
        if (overlay(id))
            return id;
        front = id;
    }
    return front;
}

bool ScreenRouter::open(int id, int number)
{
    if (id == screens::Menu)
        showMenu(0);
    else if (id == screens::Catalog)
        showCatalog(QString());
    else if (overlay(id))
        showOverlay(id);
    else if (routerScreen(id) && id != screens::ClassicHome)
        showScreen(id, {number, {}});
    else
        return false;
    return true;
}

void ScreenRouter::clearEntry()
{
    if (calc_.entryManager)
        calc_.entryManager->clear();
}

// ---- Screens ----

void ScreenRouter::showScreen(int n, const ScreenRequest& request)
{
    if (n == screens::Home) {
        showHome();
        return;
    }
    if (n == screens::ProgramOutput) {
        showProgramOutput();
        return;
    }
    if (!routerScreen(n) || n == screens::ClassicHome)
        return;
    const bool clearsFirst = n == screens::Solver || n == screens::Polynomial || n == screens::SimulEq;
    const bool clearsAfter = n == screens::Table || n == screens::TableSetup || n == screens::Window
        || n == screens::Finance || n == screens::Format;
    // A key a run held back until it ended (TABLE, Y=) comes in front of the graph the run
    // showed meanwhile. The editor stays under the graph a stepped run keeps in its display.
    if (delegate_ && n != screens::ProgramEditor)
        delegate_->closeFullScreens();
    // A line whose value failed as this screen was left last comes back once it is made.
    std::optional<Calculator::FailedLine> failed = calc_.takeFailedLine(n);
    // The screen left takes its line before the next one is made (a new list editor
    // empties the line); only then is the home screen's line dropped.
    setCurrentScreen(n);
    ScreenController* c = make(n);
    if (clearsFirst || n == screens::ListEditor)
        clearEntry();
    bringControllerToFront(c);
    if (clearsAfter)
        clearEntry();
    c->shown(request);
    giveBackFailedLine(*c, std::move(failed));
}

void ScreenRouter::giveBackFailedLine(ScreenController& c, std::optional<Calculator::FailedLine> line)
{
    if (!line || !calc_.entryManager)
        return;
    // Typed on another procedure's or figure's form: it waits for that one.
    const nlohmann::json now = c.typedPlace();
    if (line->place.is_object() && line->place.contains("n") && now.is_object() && now.value("n", line->place["n"]) != line->place["n"]) {
        calc_.holdFailedLine(calc_.currentScreen(), std::move(*line));
        return;
    }
    // The field first: a screen just made shows its first field's value on the line (the
    // solver its equation), which the field of the line gives way to.
    if (line->place.is_object())
        c.restoreTypedPlace(line->place);
    if (!calc_.entryManager->text().empty())
        return;
    calc_.entryManager->putLineBackQuietly(std::move(line->ops), line->cursor);
    c.updateDisplay();
}

void ScreenRouter::giveHomeLineBack()
{
    const int screen = calc_.currentScreen();
    if (Calculator::takesEntryLine(screen) || (calc_.question().asks() && screen == calc_.question().screen()))
        return;
    calc_.giveHomeLineBack();
}

bool ScreenRouter::programWaits() const { return calc_.question().waits(); }

int ScreenRouter::homeScreen() const { return programWaits() ? calc_.question().screen() : screens::Home; }

void ScreenRouter::showHome()
{
    // A run waiting for its question, menu or pause keeps its screen (its output, or the
    // debugger that runs it) as the home screen: the line typed there answers it.
    if (programWaits()) {
        if (delegate_)
            delegate_->showGraph(false);
        frontProgramOutput();
        return;
    }
    if (delegate_)
        delegate_->showGraph(false);
    shell_.blink().resetBlink();
    setCurrentScreen(screens::Home);
    loadGeneralView();
    bringControllerToFront(homeController());
}

void ScreenRouter::setCurrentScreen(int n)
{
    const int left = calc_.currentScreen();
    if (n != left && calc_.leavingCommits())
        if (ScreenController* leaving = currentController(); leaving && !leaving->listening())
            bringControllerToFront(leaving);
    // Where the field is, should its value fail and wait for the screen.
    const ScreenController* from = n == left ? nullptr : routerScreen(left) ? controller(left) : delegate_ ? delegate_->fullScreenOf(left) : nullptr;
    nlohmann::json place = from ? from->typedPlace() : nullptr;
    const bool waited = calc_.failedLines().contains(left);
    calc_.setCurrentScreen(n);
    if (!waited && calc_.failedLines().contains(left))
        calc_.placeFailedLine(left, std::move(place));
}

void ScreenRouter::loadGeneralView()
{
    ScreenController* home = make(calc_.locked()->mathPrint ? screens::Home : screens::ClassicHome);
    home->raise();
}

void ScreenRouter::showProgramOutput()
{
    if (delegate_)
        delegate_->showGraph(false);
    if (calc_.currentScreen() == screens::ProgramEditor)
        return;
    frontProgramOutput();
}

void ScreenRouter::frontProgramOutput()
{
    // The debugger's runs write above it, on the program it shows.
    if (calc_.prgmManager && calc_.prgmManager->debug()) {
        showScreen(screens::ProgramEditor);
        return;
    }
    ScreenController* c = make(screens::ProgramOutput);
    c->setGeometry(display_->rect());
    setCurrentScreen(screens::ProgramOutput);
    bringControllerToFront(c);
    c->shown({});
}

void ScreenRouter::hideProgramOutput()
{
    const int screen = calc_.currentScreen();
    // The program's last screen (the table its DispTable showed) stays in front, and
    // current: the output is not what shows.
    if (screen == screens::ProgramEditor || (screen != screens::ProgramOutput && screen != screens::Home && routerScreen(screen)))
        return;
    if (screen == screens::ProgramOutput) {
        calc_.setCurrentScreen(screens::Home);
        bringCurrentScreenToFront();
        return;
    }
    // The home screen comes forward under the full-size screen in front, which stays
    // current: its field is not left, so what is typed there is not entered.
    loadGeneralView();
    bringControllerToFront(homeController());
}

void ScreenRouter::updateProgramOutput()
{
    if (calc_.currentScreen() != screens::Graph || calc_.reportingDone)
        return;
    if (delegate_)
        delegate_->showGraph(false);
    if (ScreenController* home = controller(screens::Home))
        home->updateDisplay();
}

void ScreenRouter::showProgramError(const nlohmann::json& error)
{
    showScreen(screens::ProgramEditor);
    const auto name = error.find("programName");
    if (name == error.end() || !name->is_string() || name->get<std::string>().empty())
        return;
    editProgram(name->get<std::string>());
    const auto token = error.find("tokenLocation");
    if (calc_.prgmManager && token != error.end() && token->is_number_integer())
        calc_.prgmManager->showTokenNumber(token->get<int>());
}

void ScreenRouter::showGraphView(bool show)
{
    if (delegate_)
        delegate_->showGraph(show);
}

void ScreenRouter::showInfo()
{
    if (delegate_)
        delegate_->showHelp();
}

void ScreenRouter::showFunctionHelp(std::uint32_t op, QRect keyFrame)
{
    if (delegate_)
        delegate_->showFunctionHelp(op, keyFrame);
}

void ScreenRouter::bringCurrentScreenToFront()
{
    if (ScreenController* c = currentController())
        bringControllerToFront(c);
}

void ScreenRouter::bringControllerToFront(ScreenController* c)
{
    if (!c) {
        // Hiding everything for nothing would leave a blank display: the screen stays.
        qWarning("bringControllerToFront = nil");
        return;
    }
    for (const auto& [id, screen] : controllers_) {
        // The program editor takes the display only: the keyboard under it stays in reach.
        if (id == screens::ProgramEditor)
            screen->setGeometry(display_->geometry());
        else if (routerScreen(id))
            screen->setGeometry(display_->rect());
        else if (id == screens::StatPlotColor)
            // The stat plot set-up sheet covers the menu area, as the pickers do.
            screen->setGeometry(overlayRect(id));
    }
    for (const auto& [id, screen] : controllers_)
        if (routerScreen(id) || id == screens::Menu || id == screens::Catalog || id == screens::KeyCatalog)
            screen->focus(false);
    // Not the home screen brought under a full-size screen in front (a form over the graph
    // may type on the line).
    const int current = calc_.currentScreen();
    if (c == (current == screens::Home ? homeController() : controller(current)))
        giveHomeLineBack();
    c->focus(true);
    // The answer typed to a waiting question comes back once every screen left has taken
    // its own line.
    if (c == controller(calc_.question().screen()))
        if (auto answer = calc_.takeTypedAnswer(); answer && calc_.entryManager)
            calc_.entryManager->restoreLine(*answer);
    for (const auto& [id, screen] : controllers_)
        if (screen != c)
            screen->hide();
    c->show();
    if (takesKeys(c))
        c->setFocus();
    else
        keyboard_->setFocus();
    calc_.secondShift = false;
    c->updateDisplay();
    c->raise();
    keyboard_->update();
    display_->update();
    // An overlay (a menu picking the answer) leaves the debugger as it stands.
    const bool screen = std::any_of(controllers_.begin(), controllers_.end(),
                                    [c](const auto& entry) { return entry.second == c && routerScreen(entry.first); });
    if (screen && delegate_ && calc_.question().debugged() && calc_.question().waitsForUser())
        delegate_->debuggerFollows(c == controller(screens::ProgramEditor));
}

void ScreenRouter::displayChanged()
{
    const int n = calc_.currentScreen();
    ScreenController* c = n == screens::Home ? homeController() : routerScreen(n) ? controller(n) : nullptr;
    if (c)
        c->updateDisplay();
    keyboard_->update();
}

void ScreenRouter::updateDisplay()
{
    bringCurrentScreenToFront();
    keyboard_->update();
}

void ScreenRouter::updateKeyboard() { keyboard_->update(); }

void ScreenRouter::updateYEQ()
{
    if (calc_.currentScreen() == screens::YEq)
        if (ScreenController* c = controller(screens::YEq))
            c->updateDisplay();
}

void ScreenRouter::setActive(bool on)
{
    keyboard_->setVisible(on);
    keyboard_->update();
    if (on) {
        shell_.blink().resetBlink();
        bringCurrentScreenToFront();
    } else {
        shell_.blink().cursorBlink(false);
    }
    // Only the current screen hears the keys again: one left for the graph still lies under
    // it, and taking them back it would take the line the screen in front now has.
    const int current = calc_.currentScreen();
    const ScreenController* front = current == screens::Home ? homeController() : routerScreen(current) ? controller(current) : nullptr;
    for (const auto& [id, screen] : controllers_)
        if (routerScreen(id))
            screen->focus(on && screen == front && !screen->isHidden());
}

// ---- Overlays ----

void ScreenRouter::showMenu(int id)
{
    const int screen = calc_.currentScreen();
    if ((screen == screens::YEq || screen == screens::ListEditor) && leavesEditor(id))
        showHome();
    if (calc_.testMode == 1 && (id == kProgramMenu || id == kAppsMenu || id == kUserMenu))
        return;
    ScreenController* menu = make(screens::Menu);
    bringControllerToFront(menu);
    menu->shown({id, {}});
}

void ScreenRouter::showCatalog(const QString& search)
{
    ScreenController* catalog = make(screens::Catalog);
    bringControllerToFront(catalog);
    catalog->shown({0, search});
}

void ScreenRouter::showOverlay(int id, int number)
{
    if (!overlay(id))
        return;
    ScreenController* c = make(id);
    bringControllerToFront(c);
    c->shown({number, {}});
}

void ScreenRouter::getList()
{
    // Made here when no menu was opened before: the program waits for this pick.
    ScreenController* menu = make(screens::Menu);
    bringControllerToFront(menu);
    menu->shown({kListsMenu, {}});
}

void ScreenRouter::getMatrix()
{
    ScreenController* menu = make(screens::Menu);
    bringControllerToFront(menu);
    menu->shown({kMatricesMenu, {}});
}

void ScreenRouter::overlayDone() { bringCurrentScreenToFront(); }

void ScreenRouter::settingsDone()
{
    calc_.notificationCenter().post(VQModeChanged, this);
    if (ScreenController* mode = controller(screens::Mode))
        mode->hide();
    keyboard_->update();
    bringCurrentScreenToFront();
}

void ScreenRouter::keyCatalogDone()
{
    bringCurrentScreenToFront();
    calc_.userKeys = false;
    updateDisplay();
}

// ---- Picks ----

void ScreenRouter::didPickOp(std::uint32_t op)
{
    calc_.notificationCenter().post(VQMenuOp, this, {{"menuOp", op}});
    calc_.secondShift = false;
    static constexpr std::array<std::pair<std::uint32_t, int>, 6> kLaunchers{{
        {4116, screens::ListEditor}, {4119, screens::Solver}, {4120, screens::Finance},
        {4121, screens::Chemistry}, {0x5C67, screens::Polynomial}, {0x5C68, screens::SimulEq},
    }};
    for (const auto& [launcher, screen] : kLaunchers) {
        if (op == launcher) {
            showScreen(screen);
            bringCurrentScreenToFront();
            return;
        }
    }
    if (calc_.statWiz && EntryEvaluator::isStatWizOp(op)) {
        showScreen(screens::StatWizard, {static_cast<int>(op), {}});
        return;
    }
    bringCurrentScreenToFront();
    calc_.processKeyOp(static_cast<int>(op));
}

void ScreenRouter::didPickSet(const std::string& name, bool edit)
{
    calc_.userKeys = true;
    calc_.userKeySetName = name;
    bringCurrentScreenToFront();
    updateDisplay();
    if (edit)
        showScreen(screens::KeySetEditor);
}

void ScreenRouter::pasteOps(const std::vector<std::uint32_t>& ops)
{
    bringCurrentScreenToFront();
    if (auto* entry = dynamic_cast<EntryModel*>(calc_.entryManager.get()))
        entry->pasteOps(ops);
}

void ScreenRouter::didPickVariable(const std::string& name)
{
    shell_.keys().processVariable(name);
    bringCurrentScreenToFront();
}

void ScreenRouter::typeName(std::uint32_t command, const std::string& name)
{
    calc_.processKeyOp(static_cast<int>(command));
    calc_.processKeyOp(static_cast<int>(kQuote));
    for (const char32_t c : QString::fromStdString(name).toStdU32String())
        if (const std::uint32_t op = calc_.opCodeForChar(c))
            calc_.processKeyOp(static_cast<int>(op));
    calc_.processKeyOp(static_cast<int>(kQuote));
    bringCurrentScreenToFront();
}

void ScreenRouter::saveGDB(const std::string& name) { typeName(kStoreGDB, name); }

void ScreenRouter::recallGDB(const std::string& name) { typeName(kRecallGDB, name); }

void ScreenRouter::didPickMatrix(int n, bool edit)
{
    if (!edit) {
        calc_.processKeyOp(static_cast<int>(kMatrixToken + static_cast<std::uint32_t>(n)));
        bringCurrentScreenToFront();
        return;
    }
    calc_.editMatrix = n;
    showScreen(screens::MatrixEditor, {n, {}});
    clearEntry();
}

void ScreenRouter::editProgram(const std::string& name)
{
    calc_.lastPrgmName = name;
    if (calc_.prgmManager)
        calc_.prgmManager->loadProgram(name);
    showScreen(screens::ProgramEditor);
}

void ScreenRouter::executeProgram(const std::string& name)
{
    calc_.lastPrgmName = name;
    shell_.keys().processProgramName(name);
    bringCurrentScreenToFront();
}

void ScreenRouter::showStatTest(int n)
{
    calc_.showStatTest(n);
    clearEntry();
}

void ScreenRouter::showGeometry(int n)
{
    calc_.showGeometry(n);
    clearEntry();
}

void ScreenRouter::showPeriodicTable()
{
    calc_.showPeriodicTable();
    clearEntry();
}

void ScreenRouter::selectClass(int unitClass, int from, int to)
{
    calc_.secondShift = false;
    const auto units = static_cast<std::uint32_t>(unitClass * 1024 + from * 32 + to);
    calc_.processKeyOp(static_cast<int>(kUnitConversion | units << 16));
    bringCurrentScreenToFront();
}

void ScreenRouter::selectConstant(int n)
{
    calc_.secondShift = false;
    calc_.processKeyOp(static_cast<int>(kConstant | static_cast<std::uint32_t>(n) << 16));
    bringCurrentScreenToFront();
}

void ScreenRouter::returnHome() { showHome(); }

void ScreenRouter::setRowCol(int rows, int cols)
{
    showHome();
    shell_.evaluator().addMatrixRows(rows, cols);
}

} // namespace orvenda
