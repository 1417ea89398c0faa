#include "stats/StatTestScreen.h"

#include "app/OverlayPlacement.h"
#include "app/AppShell.h"
#include "app/EntryEvaluator.h"
#include "app/EntryModel.h"
#include "app/NamedColors.h"
#include "app/CursorBlink.h"
#include "core/DrawObject.h"
#include "core/NotificationNames.h"
#include "core/VQValue.h"
#include "core/VQMatrix.h"
#include "graph/FixedGraphView.h"
#include "input/KeyCommands.h"
#include "input/SegmentedControl.h"
#include "language/ErrorNumbers.h"
#include "numeric/StatSlots.h"
#include "numeric/StatTests.h"
#include "numeric/VQStatistics.h"
#include "pretty/FontMap.h"
#include "stats/PlotDistribution.h"
#include "stats/PlotRegression.h"
#include "stats/PlotScatter.h"
#include "stats/StatTestCatalogue.h"
#include "stats/StatTestListPicker.h"
#include "stats/StatTestMenu.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvenda {

namespace {

using C = StatTestCatalogue;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int kToolBarHeight = 44;
constexpr int kControlHeight = 28;
// A tablet's test menu: a popover of this size at the Tests button.
constexpr int kMenuWidth = 400, kMenuHeight = 800;
// The least graph band of a short window: room for the controls along its bottom and the
// pooled switch at its top.
constexpr double kLeastGraphHeight = 100;
// The upright phone's keypad keeps at least this height (five rows of keys a click finds).
constexpr double kLeastKeypadHeight = 130;
// A regression's rows over its model buttons: title, lists and its five coefficients.
constexpr int kRegressionResultRows = 7;
constexpr int kErrDimension = 13, kErrDomain = 17;

std::string formatted(std::string format, const std::string& value)
{
    const auto at = format.find("%@");
    if (at != std::string::npos)
        format.replace(at, 2, value);
    return format;
}

VQColor green() { return VQColor::colorR(0, 1, 0, 1); }

// The distribution has a density to draw: positive degrees of freedom (both for F).
bool drawable(const DrawDistribution& d)
{
    switch (d.type()) {
    case DrawDistribution::kT:
    case DrawDistribution::kChiSquare: return d.dfNumer > 0;
    case DrawDistribution::kF: return d.dfNumer > 0 && d.dfDenom > 0;
    default: return d.sigma > 0;
    }
}
VQColor red() { return VQColor::colorR(1, 0, 0, 1); }

// The tests, the intervals and 2-SampFTest: procedures of numbers alone (lists enter them
// as their count, mean and deviation).
bool numbersOnly(std::uint32_t op)
{
    return (op >= C::ZTest && op <= C::PropZ2Int) || op == C::PropZ2Test || op == C::F2Test;
}

} // namespace

StatTestScreen::StatTestScreen(Calculator& calc, AppShell& shell, QWidget* parent)
    : ScreenController(calc, parent), shell_(shell), toolBar_(new QWidget(this)),
      menuButton_(new QPushButton(QStringLiteral("Tests"), toolBar_)), doneButton_(new QPushButton(QStringLiteral("Done"), toolBar_)),
      graph_(new FixedGraphView(calc, this)), form_(new StatTestView(calc, this)), keypad_(new SmallCalcView(calc, this)),
      hypothesis_(new SegmentedControl({QStringLiteral("≠"), QStringLiteral("<"), QStringLiteral(">")}, this)),
      dataStats_(new SegmentedControl({QStringLiteral("Data"), QStringLiteral("Stats")}, this)),
      dataResid_(new SegmentedControl({QStringLiteral("Data"), QStringLiteral("Resid")}, nullptr)), poolView_(new QWidget(this)),
      poolSwitch_(new QCheckBox(QStringLiteral("Pooled"), poolView_)), regressionView_(new QWidget(this))
{
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, namedColor("docBackgroundColor"));
    setPalette(palette);
    toolBar_->setAutoFillBackground(true);
    QPalette bar = toolBar_->palette();
    bar.setColor(QPalette::Window, QColor(40, 80, 150));
    toolBar_->setPalette(bar);
    for (QPushButton* button : {menuButton_, doneButton_}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setFont(FontMap::shared().font("Helvetica-Bold", 16));
        button->setStyleSheet(QStringLiteral("QPushButton { color: white; background: transparent; border: none; }"));
    }
    connect(menuButton_, &QPushButton::clicked, this, [this] { showTestMenu(); });
    connect(doneButton_, &QPushButton::clicked, this, [this] { done(); });
    form_->setDelegate(this);
    keypad_->delegate = this;
    poolView_->resize(100, kControlHeight);
    // The switch lies over the graph, whatever its colours: on a plate of its own, the
    // toolbar's blue, with white letters.
    poolView_->setObjectName(QStringLiteral("poolView"));
    poolView_->setAttribute(Qt::WA_StyledBackground);
    poolView_->setStyleSheet(QStringLiteral("#poolView { background: rgb(40, 80, 150); border-radius: 6px; }"
                                            "QCheckBox { color: white; }"));
    poolSwitch_->setGeometry(6, 0, 94, kControlHeight);
    poolSwitch_->setFocusPolicy(Qt::NoFocus);
    hypothesis_->changed = [this](int) { computeTest(); };
    dataStats_->changed = [this](int) { formChanged(); };
    dataResid_->setParent(regressionView_);
    dataResid_->changed = [this](int) { computeRegression(); };
    connect(poolSwitch_, &QCheckBox::toggled, this, [this](bool) { computeTest(); });
    for (std::size_t tag = 0; tag < regressionButtons_.size(); ++tag) {
        auto* button = new QPushButton(QString::fromUtf8(C::kButtonTitles[tag]), regressionView_);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFont(FontMap::shared().font("Helvetica", 14));
        connect(button, &QPushButton::pressed, this, [this, tag] { regressionButton(static_cast<int>(tag)); });
        regressionButtons_[tag] = button;
    }
    // The screen's one distribution plot: a standard normal until the first test.
    dd_ = DrawDistribution::drawDistributionType(DrawDistribution::kNormal, -1, 1, 0, 1, 0, 0, 0);
    dd_->r = 0;
    dd_->g = 1;
    dd_->b = 0;
    distribution_ = PlotDistribution::forRecord(calc, dd_);
    distribution_->testing = false;
    distribution_->setSelected(false);
    graph_->plotObjects.push_back(distribution_);
    setTestNum(testNum_);
}

StatTestScreen::~StatTestScreen() = default;

EntryModel* StatTestScreen::entry() const { return dynamic_cast<EntryModel*>(calc().entryManager.get()); }

double StatTestScreen::slotValue(int slot) const
{
    if (slot < 0 || slot >= Calculator::kVarCount)
        return kNaN;
    return calc().getVar(slot).value.real();
}

void StatTestScreen::putSlot(int slot, double value)
{
    if (slot >= 0 && slot < Calculator::kVarCount)
        calc().locked()->vars[static_cast<std::size_t>(slot)] = {value, 0.0};
}

// ---- Showing ----

void StatTestScreen::shown(const ScreenRequest& request)
{
    const auto op = static_cast<std::uint32_t>(request.number);
    const bool known = std::find(C::kMenuOrder.begin(), C::kMenuOrder.end(), op) != C::kMenuOrder.end();
    setTestNum(known ? op : testNum_);
}

void StatTestScreen::subscribe()
{
    observe(VQBlinkCursor, [this](const Notification&) { form_->update(); });
    observe(VQCursorUp, [this](const Notification&) { cursorUp(); });
    observe(VQCursorDown, [this](const Notification&) { cursorDown(); });
    observe(VQCursorLeft, [this](const Notification&) { form_->update(); });
    observe(VQCursorRight, [this](const Notification&) { cursorRight(); });
    observe(VQEnter, [this](const Notification&) { enter(); });
    observe(VQEntryTextChanged, [this](const Notification&) { form_->update(); });
}

void StatTestScreen::focus(bool gained)
{
    if (!gained && listening())
        getEntry();
    ScreenController::focus(gained);
    if (gained) {
        listInputErrorReported_ = false;
        form_->setCurrentField(0);
        if (EntryModel* e = entry())
            e->clear();
        takeKeys();
    }
}

void StatTestScreen::formChanged()
{
    if (!statsForm())
        validateListInputs();
    form_->setCurrentField(0);
    layout();
    computeTest();
}

void StatTestScreen::restoreTypedPlace(const nlohmann::json& place)
{
    // The form the line was typed on: summary values or data.
    if (const auto stats = placeNumber(place, "stats", 0, 1); stats && !dataStats_->isHidden() && *stats != dataStats_->selected()) {
        dataStats_->setSelected(*stats);
        formChanged();
    }
    form_->setCurrentField(placeNumber(place, "field", 0, std::max(0, numFields() - 1)).value_or(0));
    syncViews();
}

void StatTestScreen::takeKeys()
{
    // The keypad has the computer's keys (its table maps Return to ENTER and the arrows to
    // the cursor moves); a procedure without one leaves them to the screen, for Escape.
    if (keypad_->isHidden())
        setFocus();
    else
        keypad_->setFocus();
}

void StatTestScreen::updateDisplay()
{
    layout();
    form_->update();
    graph_->update();
}

void StatTestScreen::resizeEvent(QResizeEvent*) { layout(); }

void StatTestScreen::keyPressEvent(QKeyEvent* event)
{
    // What the keypad does not take; Escape closes, and paste types on the field's line as
    // the keypad's keys do. The keyboard's chords the keypad has no command of that go to a
    // screen (Ctrl+Y Y=, Ctrl+Q QUIT, ...) or edit the line go to the keyboard as on any
    // screen; its menus and overlays, which would open behind this screen, do nothing here.
    if (event->key() == Qt::Key_Escape)
        done();
    else if (KeyCommands::pastes(*event))
        shell_.typeComputerKey(*event);
    else if (const auto op = KeyCommands::namedOp(*event); op && (KeyCommands::goesToScreen(*op) || KeyCommands::editsLine(*op)))
        shell_.typeComputerKey(*event);
    else if (op)
        event->accept();
    else
        ScreenController::keyPressEvent(event);
}

QWidget* StatTestScreen::leaveControl() const { return doneButton_; }

void StatTestScreen::done()
{
    if (picker_)
        picker_->hide();
    if (menu_)
        menu_->hide();
    leave();
}

// ---- The procedure ----

void StatTestScreen::setTestNum(std::uint32_t op)
{
    listInputErrorReported_ = false;
    testNum_ = op;
    poolView_->hide();
    regressionView_->hide();
    dataStats_->show();
    dataStats_->setTitle(0, QStringLiteral("Data"));
    dataStats_->setTitle(1, QStringLiteral("Stats"));
    dataStats_->setSelected(1);
    form_->setCurrentField(0);
    graph_->setVisible(C::hasGraph(op));
    if (const auto* titles = C::hypothesisTitles(op)) {
        hypothesis_->show();
        for (int i = 0; i < 3; ++i)
            hypothesis_->setTitle(i, QString::fromUtf8((*titles)[static_cast<std::size_t>(i)]));
    } else {
        hypothesis_->hide();
    }
    if (!C::dataStatsShown(op)) {
        dataStats_->hide();
        if (!C::summaryOnly(op))
            dataStats_->setSelected(0);
    }
    poolView_->setVisible(C::hasPool(op));
    if (op == C::Regression) {
        regressionView_->show();
        highlightModelButton();
    }
    keypad_->setVisible(C::hasKeypad(op));
    choosing_ = true;
    computeTest();
    choosing_ = false;
    layout();
    if (listening())
        takeKeys();
}

bool StatTestScreen::statsForm() const { return dataStats_->selected() == 1; }

std::span<const std::uint32_t> StatTestScreen::vars() const { return C::fields(testNum_, statsForm()); }

std::span<const std::uint32_t> StatTestScreen::rvars() const
{
    return C::results(testNum_, statsForm(), poolSwitch_->isChecked(), regressionModel);
}

std::span<const std::uint32_t> StatTestScreen::leftVars() const { return C::leftResults(testNum_, regressionModel); }

double StatTestScreen::testWindowHeight() const { return form_->leading() * C::rowFactor(testNum_); }

std::string StatTestScreen::title() const
{
    if (testNum_ == C::Regression)
        return calc().nameForRegression(regressionModel).value_or(std::string());
    std::string name = calc().nameForOpcode(testNum_);
    // The menu's name ends in "…".
    const QString q = QString::fromStdString(name);
    if (!q.isEmpty())
        name = q.left(q.size() - 1).toStdString();
    if (!hypothesis_->isHidden() || C::hypothesisTitles(testNum_)) {
        if (const char* suffix = C::titleSuffix(testNum_, hypothesis_->selected())) {
            const int slot = testNum_ == C::PropZ1Test ? SlotP0 : SlotMu0;
            name += formatted(suffix, calc().formatReal(slotValue(slot)));
        }
    }
    return name;
}

// ---- Fields, results, lists ----

int StatTestScreen::getRegForField(int i) const
{
    const auto fields = vars();
    if (i < 0 || i >= static_cast<int>(fields.size()))
        return -1;
    return C::slot(fields[static_cast<std::size_t>(i)]);
}

std::string StatTestScreen::fieldName(int i) const
{
    const auto fields = vars();
    if (i < 0 || i >= static_cast<int>(fields.size()))
        return {};
    return calc().nameForOpcode(fields[static_cast<std::size_t>(i)]) + "=";
}

double StatTestScreen::fieldValue(int i) const
{
    const int slot = getRegForField(i);
    return slot < 0 ? kNaN : slotValue(slot);
}

std::string StatTestScreen::resultName(int i) const
{
    const auto results = rvars();
    if (i < 0 || i >= static_cast<int>(results.size()))
        return {};
    return calc().nameForOpcode(results[static_cast<std::size_t>(i)]) + "=";
}

double StatTestScreen::resultValue(int i) const
{
    const auto results = rvars();
    if (failed_ || i < 0 || i >= static_cast<int>(results.size()))
        return kNaN;
    return slotValue(C::slot(results[static_cast<std::size_t>(i)]));
}

std::string StatTestScreen::resultLName(int i) const
{
    const auto results = leftVars();
    if (i < 0 || i >= static_cast<int>(results.size()))
        return {};
    return calc().nameForOpcode(results[static_cast<std::size_t>(i)]) + "=";
}

double StatTestScreen::resultLValue(int i) const
{
    const auto results = leftVars();
    if (failed_)
        return kNaN;
    if (i < 0 || i >= static_cast<int>(results.size()))
        return 0;
    return slotValue(C::slot(results[static_cast<std::size_t>(i)]));
}

int StatTestScreen::numLists() const { return C::numLists(testNum_, statsForm()); }

std::string StatTestScreen::listName(int i) const { return i == 0 ? list1 : i == 1 ? list2 : std::string(); }

std::string StatTestScreen::freqName(int i) const
{
    if (testNum_ == C::Chi2GOF)
        return {};
    if (i == 0)
        return freq1;
    if (i == 1)
        return C::isThreeList(testNum_) ? freq1 : freq2;
    return {};
}

int StatTestScreen::listN(int i) const
{
    const double n = i == 1 ? slotValue(SlotN2) : i == 0 ? slotValue(numLists() == 1 ? SlotTestN : SlotN1) : 0;
    return std::isfinite(n) ? static_cast<int>(std::trunc(n)) : 0;
}

double StatTestScreen::listXBar(int i) const
{
    return i == 1 ? slotValue(SlotXMean2) : i == 0 ? slotValue(numLists() == 1 ? SlotXMean : SlotXMean1) : 0;
}

double StatTestScreen::listSx(int i) const
{
    return i == 1 ? slotValue(SlotSx2) : i == 0 ? slotValue(numLists() == 1 ? SlotSx : SlotSx1) : 0;
}

std::string StatTestScreen::matrixName(int i) const
{
    const int m = i == 0 ? matrix1 : i == 1 ? matrix2 : 0;
    return std::string("[") + static_cast<char>('A' + std::clamp(m, 0, 9)) + "]";
}

std::string StatTestScreen::entryText() const
{
    const EntryModel* e = entry();
    return e && !e->entryOps().empty() ? e->text() : std::string();
}

int StatTestScreen::entryCursor() const
{
    const EntryModel* e = entry();
    return e ? e->expandedCursor() : 0;
}

int StatTestScreen::listNumForName(const std::string& name) const
{
    const std::vector<std::string> names = shell_.evaluator().listNames();
    const auto found = std::find(names.begin(), names.end(), name);
    return found == names.end() ? -1 : static_cast<int>(found - names.begin());
}

// ---- Editing ----

void StatTestScreen::selectField(int i)
{
    if (!getEntry())
        return;
    form_->setCurrentField(std::clamp(i, 0, std::max(0, numFields() - 1)));
    syncViews();
}

void StatTestScreen::cursorRight()
{
    // Sent before the entry moves its cursor when its line is empty: the field's value
    // comes onto the line to be edited, and the entry's cursor then steps into it. A field
    // without a value (NaN) leaves the line empty rather than typing a number nobody set.
    EntryModel* e = entry();
    if (e && e->text().empty() && getRegForField(currentField()) >= 0) {
        const double value = fieldValue(currentField());
        if (std::isfinite(value))
            e->editValue(value);
    }
    shell_.blink().resetBlink();
    form_->update();
}

void StatTestScreen::syncViews()
{
    if (EntryModel* e = entry())
        e->clear();
    shell_.blink().resetBlink();
    form_->update();
}

bool StatTestScreen::getEntry()
{
    const EntryModel* e = entry();
    if (!e || e->entryOps().empty())
        return true;
    shell_.evaluator().finalizeEntry();
    // A failed evaluation leaves its text (and the error's mark) on the line: the Ans of
    // before is no value for this field.
    if (!entry()->entryOps().empty()) {
        form_->update();
        return false;
    }
    saveEntry();
    form_->update();
    return true;
}

void StatTestScreen::saveEntry()
{
    if (testNum_ == C::LinRegTTest)
        return;
    const int slot = getRegForField(form_->currentField());
    if (slot < 0 || calc().ans.type() != VQValue::TypeReal)
        return;
    putSlot(slot, calc().ans.r());
    computeTest();
}

void StatTestScreen::enter()
{
    if (!getEntry())
        return;
    cursorDown();
}

void StatTestScreen::cursorUp()
{
    if (!getEntry())
        return;
    form_->setCurrentField(std::max(0, form_->currentField() - 1));
    syncViews();
}

void StatTestScreen::cursorDown()
{
    if (!getEntry())
        return;
    form_->setCurrentField(std::clamp(form_->currentField() + 1, 0, std::max(0, numFields() - 1)));
    syncViews();
}

void StatTestScreen::keyTouched() { form_->update(); }

// ---- Lists ----

StatTestMenu& StatTestScreen::showTestMenu()
{
    if (!menu_) {
        menu_ = new StatTestMenu(calc(), this);
        menu_->setPopover(calc().device == 1);
        menu_->onClick = [this] { shell_.keys().doKeyClick(); };
        menu_->onSelect = [this](std::uint32_t op) {
            calc().secondShift = false;
            // The popover closed: the procedure shown is brought up to date first.
            if (menu_->popover())
                computeTest();
            setTestNum(op);
        };
        menu_->onHidden = [this] {
            if (isVisible())
                takeKeys();
        };
        OverlayPlacement::attach(*menu_, [this] { placeMenu(); });
    }
    placeMenu();
    menu_->updateView();
    menu_->show();
    menu_->raise();
    // The list covers the form and its keypad: the computer's keys are its own.
    menu_->setFocus();
    return *menu_;
}

void StatTestScreen::placeMenu()
{
    if (!menu_->popover()) {
        menu_->setGeometry(rect());
        return;
    }
    // 400 by 800, or as much of it as the screen holds, on the side of the Tests button
    // away from the bar's edge, pointing at it.
    const QRect button(menuButton_->mapTo(this, QPoint(0, 0)), menuButton_->size());
    const bool above = button.center().y() > height() / 2;
    const int room = above ? button.top() : height() - button.bottom() - 1;
    const QSize size(std::min(kMenuWidth, width()), std::clamp(room, 0, kMenuHeight));
    const int x = std::clamp(button.left(), 0, std::max(0, width() - size.width()));
    const int y = above ? button.top() - size.height() : button.bottom() + 1;
    menu_->setGeometry(QRect(mapToGlobal(QPoint(x, y)), size));
}

void StatTestScreen::selectList()
{
    if (!getEntry())
        return;
    if (!picker_) {
        picker_ = new StatTestListPicker(calc(), this);
        picker_->onChange = [this](const StatTestListPicker::Choice& c, bool finished) {
            if (testNum_ == C::Chi2Test) {
                matrix1 = c.matrix1;
                matrix2 = c.matrix2;
                if (finished)
                    doneMatrices(c.matrix1, c.matrix2);
                return;
            }
            finished ? doneLists(c.list1, c.freq1, c.list2, c.freq2) : didSelectLists(c.list1, c.freq1, c.list2, c.freq2);
        };
        // Over the whole screen, its wheels just above the form.
        OverlayPlacement::attach(*picker_, [this] {
            picker_->setGeometry(rect());
            picker_->setAnchor(form_->y());
        });
    }
    const std::vector<std::string> names = shell_.evaluator().listNames();
    picker_->setUp(testNum_, names, list1, freq1, list2, freq2, matrix1, matrix2);
    OverlayPlacement::of(*picker_)->place();
    picker_->show();
    picker_->raise();
    toolBar_->hide();
}

void StatTestScreen::didSelectLists(const std::string& l1, const std::string& f1, const std::string& l2, const std::string& f2)
{
    if (C::isOneSample(testNum_)) {
        list1 = l1;
        freq1 = f1;
    } else if (testNum_ == C::Chi2GOF) {
        list1 = l1;
        list2 = l2;
    } else {
        list1 = l1;
        freq1 = f1;
        list2 = l2;
        if (!C::isThreeList(testNum_))
            freq2 = f2;
    }
}

void StatTestScreen::doneLists(const std::string& l1, const std::string& f1, const std::string& l2, const std::string& f2)
{
    didSelectLists(l1, f1, l2, f2);
    toolBar_->show();
    validateListInputs();
    computeTest();
}

void StatTestScreen::doneMatrices(int m1, int m2)
{
    matrix1 = std::clamp(m1, 0, 9);
    matrix2 = std::clamp(m2, 0, 9);
    toolBar_->show();
    computeTest();
}

void StatTestScreen::validateListInputs()
{
    const int lists = numLists();
    if (lists <= 0 || testNum_ == C::Chi2Test)
        return;
    int error = 0;
    VQStatistics::oneVarName(calc(), list1, testNum_ == C::Chi2GOF ? "1" : freq1, error);
    reportError(error);
    if (lists >= 2 && !C::isThreeList(testNum_)) {
        error = 0;
        VQStatistics::oneVarName(calc(), list2, testNum_ == C::Chi2GOF ? "1" : freq2, error);
        reportError(error);
    }
}

void StatTestScreen::reportError(int error)
{
    if (error == 0)
        return;
    if (error == kErrDimension || error == kErrDomain) {
        if (listInputErrorReported_)
            return;
        listInputErrorReported_ = true;
    }
    calc().showError({{"errorNum", error}});
}

// ---- Computation ----

bool StatTestScreen::refreshListStats()
{
    const int lists = numLists();
    if (lists <= 0 || testNum_ == C::Chi2Test)
        return true;
    const auto store = [this](const std::string& list, const std::string& freq, int nSlot, int meanSlot, int sxSlot) {
        int error = 0;
        const auto stats = VQStatistics::oneVarName(calc(), list, freq.empty() ? "1" : freq, error);
        const bool ok = stats && error == 0;
        putSlot(nSlot, ok ? stats->n : 0);
        putSlot(meanSlot, ok ? stats->Xmean : kNaN);
        putSlot(sxSlot, ok ? stats->stdX : kNaN);
        return ok;
    };
    const std::string f1 = testNum_ == C::Chi2GOF ? "1" : freq1;
    if (lists == 1)
        return store(list1, f1, SlotTestN, SlotXMean, SlotSx);
    const bool first = store(list1, f1, SlotN1, SlotXMean1, SlotSx1);
    const bool second = store(list2, testNum_ == C::Chi2GOF || C::isThreeList(testNum_) ? "1" : freq2, SlotN2, SlotXMean2, SlotSx2);
    return first && second;
}

void StatTestScreen::setWindow(double x1, double x2, double y1, double y2)
{
    // A range that is not finite takes the view's default.
    if (!std::isfinite(x1) || !std::isfinite(x2)) {
        x1 = -1;
        x2 = 1;
    }
    if (!std::isfinite(y1) || !std::isfinite(y2)) {
        y1 = -1;
        y2 = 1;
    }
    window_ = {x1, x2, y1, y2};
    graph_->zoom(x1, x2, y1, y2);
}

void StatTestScreen::computeTest()
{
    graph_->plotObjects.clear();
    distribution_->setSelected(false);
    graph_->plotObjects.push_back(distribution_);
    calc().lockMagnifier = false;
    const bool listsRead = refreshListStats();
    StatTests tests(calc());
    const int h = hypothesis_->selected();
    const bool pooled = poolSwitch_->isChecked();
    int error = 0;
    switch (testNum_) {
    case C::ZTest: error = tests.computeZTest(h); normalTest(h); break;
    case C::Z2Test: error = tests.computeZ2Test(h); normalTest(h); break;
    case C::PropZ1Test: error = tests.compute1PropZTest(h); normalTest(h); break;
    case C::PropZ2Test: error = tests.compute2PropZTest(h); normalTest(h); break;
    case C::TTest: error = tests.computeTTest(h); tTest(h, slotValue(SlotTestN) - 1); break;
    case C::T2Test: error = tests.computeT2Test(h, pooled); tTest(h, slotValue(SlotDf)); break;
    case C::ZInt: error = tests.computeZInterval(); break;
    case C::Z2Int: error = tests.computeZ2Interval(); break;
    case C::TInt: error = tests.computeTInterval(); break;
    case C::T2Int: error = tests.computeT2IntervalPool(pooled); break;
    case C::PropZ1Int: error = tests.compute1PropZInterval(); break;
    case C::PropZ2Int: error = tests.compute2PropZInterval(); break;
    case C::F2Test: {
        error = tests.computeF2Test(h);
        const double F = slotValue(SlotF);
        if (error != 0 || !std::isfinite(F))
            break;
        distribution_->drawTails = dd_->drawTails = h == 0;
        dd_->dfNumer = slotValue(SlotN1) - 1;
        dd_->dfDenom = slotValue(SlotN2) - 1;
        dd_->lowerBound = slotValue(SlotLower);
        dd_->upperBound = slotValue(SlotUpper);
        dd_->setType(DrawDistribution::kF);
        distribution_->eqNum = DrawDistribution::kF;
        setWindow(-0.25, 4.25, -0.1, 1.2);
        break;
    }
    case C::Chi2Test: {
        VQMatrix observed;
        {
            const auto state = calc().locked();
            observed = state->matrices[static_cast<std::size_t>(std::clamp(matrix1, 0, 9))];
        }
        VQMatrix expected;
        error = tests.computeX2TestMat1(observed, expected);
        if (error != 0)
            break;
        bool stored = false;
        {
            const auto hold = calc().lockState();
            stored = calc().storeMatrix(static_cast<std::size_t>(std::clamp(matrix2, 0, 9)), expected);
        }
        if (!stored) {
            error = ErrMemory;
            break;
        }
        const double df = slotValue(SlotDf);
        dd_->dfNumer = df;
        distribution_->drawTails = dd_->drawTails = false;
        dd_->lowerBound = slotValue(SlotChi2);
        dd_->upperBound = 16384;
        dd_->setType(DrawDistribution::kChiSquare);
        distribution_->eqNum = DrawDistribution::kChiSquare;
        chiSquareWindow(df);
        break;
    }
    case C::Chi2GOF: {
        const double df = slotValue(SlotDf);
        VQList observed, expected;
        bool found = false;
        {
            const auto state = calc().locked();
            const auto o = state->lists.find(list1);
            const auto e = state->lists.find(list2);
            if (o != state->lists.end() && e != state->lists.end()) {
                observed = o->second;
                expected = e->second;
                found = true;
            }
        }
        error = found ? tests.computeX2GOFTestObserved(observed, expected, df) : 35;
        if (error != 0)
            break;
        dd_->dfNumer = df;
        distribution_->drawTails = dd_->drawTails = false;
        dd_->lowerBound = slotValue(SlotChi2);
        dd_->upperBound = 1000;
        dd_->setType(DrawDistribution::kChiSquare);
        distribution_->eqNum = DrawDistribution::kChiSquare;
        chiSquareWindow(df);
        break;
    }
    case C::LinRegTTest:
    case C::LinRegTInt: {
        VQList x, y, f;
        bool found = false, withFreq = false;
        {
            const auto state = calc().locked();
            const auto xs = state->lists.find(list1);
            const auto ys = state->lists.find(list2);
            const auto fs = state->lists.find(freq1);
            if (xs != state->lists.end() && ys != state->lists.end()) {
                x = xs->second;
                y = ys->second;
                found = true;
            }
            if (freq1 != "1" && fs != state->lists.end()) {
                f = fs->second;
                withFreq = true;
            }
        }
        error = found ? 0 : 35;
        if (found) {
            if (testNum_ == C::LinRegTTest)
                tests.computeLinRegTTestX(x, y, withFreq ? &f : nullptr, h, error);
            else
                tests.computeLinRegTIntervalX(x, y, withFreq ? &f : nullptr, slotValue(SlotCLevel), error);
        }
        if (error == 0)
            linRegGraph();
        break;
    }
    case C::Regression: computeRegression(); break;
    default: break;
    }
    if (testNum_ != C::Regression)
        failed_ = error != 0;
    if (error != 0) {
        // The results of the last run that went through are not these inputs' results: the
        // form shows none and the graph no shading of them.
        graph_->plotObjects.clear();
        // A list of the Data form that could not be read is told by the list picker and
        // the Data/Stats control; its n 0 and NaN are on the form. A form of numbers tells
        // the failure a change brings (the values a procedure is chosen with, and a form
        // still being filled in, fail as before and show no results).
        const bool told = !numbersOnly(testNum_) || (!choosing_ && error != lastError_);
        if ((listsRead || !C::dataStatsShown(testNum_)) && told)
            reportError(error);
    }
    lastError_ = error;
    // A distribution without degrees of freedom (an empty list gives df -1) has no curve to
    // draw: the graph shows none rather than a shading of everything.
    const auto& objects = graph_->plotObjects;
    if (std::find(objects.begin(), objects.end(), distribution_) != objects.end() && !drawable(*dd_))
        graph_->plotObjects.clear();
    form_->update();
    graph_->update();
}

void StatTestScreen::normalTest(int h)
{
    const double z = slotValue(SlotZ);
    dd_->mu = 0;
    dd_->sigma = 1;
    distribution_->drawTails = dd_->drawTails = h == 0;
    if (h == 2) {
        dd_->lowerBound = z;
        dd_->upperBound = 20;
    } else if (h == 1) {
        dd_->lowerBound = -20;
        dd_->upperBound = z;
    } else {
        dd_->lowerBound = -std::fabs(z);
        dd_->upperBound = std::fabs(z);
    }
    dd_->setType(DrawDistribution::kNormal);
    distribution_->eqNum = DrawDistribution::kNormal;
    setWindow(-3.25, 3.25, -0.1, 0.41);
}

void StatTestScreen::tTest(int h, double df)
{
    const double t = slotValue(SlotT);
    dd_->dfNumer = df;
    distribution_->drawTails = dd_->drawTails = h == 0;
    if (h == 2) {
        dd_->lowerBound = t;
        dd_->upperBound = 10;
    } else if (h == 1) {
        dd_->lowerBound = -10;
        dd_->upperBound = t;
    } else {
        dd_->lowerBound = -std::fabs(t);
        dd_->upperBound = std::fabs(t);
    }
    dd_->setType(DrawDistribution::kT);
    distribution_->eqNum = DrawDistribution::kT;
    setWindow(-4, 4, -0.1, 0.45);
}

void StatTestScreen::chiSquareWindow(double df)
{
    const double xMax = 1.17 * df + 19.6;
    const double xMin = std::max(0.0, 2 * (df - 2) - 0.975 * xMax);
    double yMax = 0.26 * std::pow(df - 2, -0.462264);
    if (df == 2 || yMax > 0.6)
        yMax = 0.6;
    // Below 2 degrees of freedom the power is no number: the default y range.
    setWindow(xMin, xMax, -yMax / 6, yMax);
}

void StatTestScreen::linRegGraph()
{
    graph_->plotObjects.clear();
    int error = 0;
    auto stats = VQStatistics::twoVarName(calc(), list1, list2, freq1 == "1" ? std::nullopt : std::optional(freq1), error);
    if (!stats || error != 0) {
        reportError(error);
        return;
    }
    stats->regressionModel(0);
    auto scatter = std::make_shared<PlotScatter>(calc());
    scatter->stats = stats;
    scatter->color = green();
    scatter->style = 2;
    scatter->setSelected(false);
    auto line = std::make_shared<PlotRegression>(calc());
    line->stats = stats;
    line->color = red();
    line->eqNum = -1;
    line->setStyle(2);
    line->setSelected(false);
    line->setFitModel(0);
    graph_->plotObjects.push_back(scatter);
    graph_->plotObjects.push_back(line);
    const double dx = (stats->maxX - stats->minX) / 12, dy = (stats->maxY - stats->minY) / 12;
    setWindow(stats->minX - dx, stats->maxX + dx, stats->minY - dy, stats->maxY + dy);
}

void StatTestScreen::computeRegression()
{
    const int model = regressionModel;
    int error = 0;
    auto stats = VQStatistics::twoVarName(calc(), list1, list2, freq1 == "1" ? std::nullopt : std::optional(freq1), error);
    reportError(error);
    if (stats && error == 0) {
        error = stats->regressionModel(model);
        reportError(error);
        if (error == 0)
            calc().spellFitEquation(*stats);
    }
    if (!stats)
        error = error ? error : 35;
    if (stats) {
        calc().locked()->statistics = stats;
        if (error == 0 && !calc().syncStatVars(*stats)) {
            error = ErrMemory;
            reportError(error);
        }
    }
    failed_ = error != 0;
    graph_->plotObjects.clear();
    const auto widened = [](double x1, double x2, double y1, double y2) {
        const double dx = (x2 - x1) / 4, dy = (y2 - y1) / 4;
        return Calculator::Bounds{x1 - dx, x2 + dx, y1 - dy, y2 + dy};
    };
    if (dataResid_->selected() == 0) {
        if (!stats)
            return;
        auto scatter = std::make_shared<PlotScatter>(calc());
        scatter->stats = stats;
        scatter->color = green();
        scatter->style = 2;
        scatter->setSelected(false);
        graph_->plotObjects.push_back(scatter);
        if (error == 0) {
            auto curve = std::make_shared<PlotRegression>(calc());
            curve->stats = stats;
            curve->color = red();
            curve->eqNum = -1;
            curve->setStyle(2);
            curve->setSelected(false);
            curve->setFitModel(model);
            graph_->plotObjects.push_back(curve);
        }
        const Calculator::Bounds proposed = widened(stats->minX, stats->maxX, stats->minY, stats->maxY);
        const Calculator::Bounds& now = window_;
        const bool inside = proposed.xMin >= now.xMin && proposed.xMax <= now.xMax && proposed.yMin >= now.yMin
            && proposed.yMax <= now.yMax;
        const bool close = (now.xMax - now.xMin) < 5 * (proposed.xMax - proposed.xMin)
            && (now.yMax - now.yMin) < 5 * (proposed.yMax - proposed.yMin);
        if (!(inside && close))
            setWindow(proposed.xMin, proposed.xMax, proposed.yMin, proposed.yMax);
        return;
    }
    if (error != 0) {
        setWindow(0, 0, 0, 0);
        return;
    }
    int residError = 0;
    auto resid = VQStatistics::twoVarName(calc(), stats->listXName.value_or(list1), "RESID", std::nullopt, residError);
    if (!resid || residError != 0)
        return;
    auto scatter = std::make_shared<PlotScatter>(calc());
    scatter->stats = resid;
    scatter->color = green();
    scatter->style = 2;
    scatter->setSelected(false);
    graph_->plotObjects.push_back(scatter);
    const Calculator::Bounds w = widened(resid->minX, resid->maxX, resid->minY, resid->maxY);
    setWindow(w.xMin, w.xMax, w.yMin, w.yMax);
}

void StatTestScreen::regressionButton(int tag)
{
    if (tag < 0 || tag >= static_cast<int>(C::kButtonModels.size()))
        return;
    regressionModel = C::kButtonModels[static_cast<std::size_t>(tag)];
    highlightModelButton();
    listInputErrorReported_ = false;
    computeTest();
}

void StatTestScreen::highlightModelButton()
{
    for (std::size_t tag = 0; tag < regressionButtons_.size(); ++tag) {
        const bool current = C::kButtonModels[tag] == regressionModel;
        regressionButtons_[tag]->setStyleSheet(current
                ? QStringLiteral("QPushButton { color: rgb(0, 160, 0); background: rgba(0, 128, 255, 51); border: 2px solid rgba(26, 26, 26, 204); border-radius: 2px; }")
                : QStringLiteral("QPushButton { color: black; background: rgba(0, 128, 255, 51); border: 2px solid rgba(26, 26, 26, 204); border-radius: 2px; }"));
    }
}

// ---- Layout ----

void StatTestScreen::layout()
{
    const double W = width(), H = height();
    form_->setLayoutBounds(QRectF(0, 0, W, H));
    double T = testWindowHeight();
    const bool keys = C::hasKeypad(testNum_);
    QRectF keypad, form, graph, bar;
    if (calc().device != 1 && W > H) {
        // A phone on its side: a keypad of the narrowest phone's size at the bottom right,
        // the form beside it, its letters no larger than leaves the graph above them a
        // band for its controls.
        const double kw = keys ? SmallCalcView::kNarrowWidth : 0;
        const double room = H - kToolBarHeight - kLeastGraphHeight;
        form_->setLayoutBounds(QRectF(0, 0, W - kw, H));
        T = testWindowHeight();
        if (T > room) {
            form_->setLayoutBounds(QRectF(0, 0, (W - kw) * room / T, H));
            T = testWindowHeight();
        }
        const double r = std::max(keys ? SmallCalcView::kNarrowHeight : 0.0, T);
        bar = QRectF(0, 0, W, kToolBarHeight);
        form = QRectF(0, H - r, W - kw, r);
        keypad = QRectF(W - kw, H - r, kw, r);
        graph = QRectF(0, kToolBarHeight, W, H - r - kToolBarHeight);
    } else if (calc().device != 1) {
        const double s = W / 320;
        // The form's letters shrink where even the least keypad would leave the graph no
        // band for its controls under the bar.
        const double room = H - kToolBarHeight - kControlHeight - 8 - (keys ? std::min(kLeastKeypadHeight, 182 * s) : 0);
        if (T > room) {
            form_->setLayoutBounds(QRectF(0, 0, W * room / T, H));
            T = testWindowHeight();
        }
        // A short window (the least, 320 × 390) takes from the keypad's height, down to its
        // least, what the form and the graph's band of controls under the tool bar need:
        // the keypad, its keys sized by its width, narrows to that height, centred.
        const double k = std::clamp(H - T - kToolBarHeight - kControlHeight - 8, std::min(kLeastKeypadHeight, 182 * s), 182 * s);
        const double kw = W * k / (182 * s);
        bar = QRectF(0, 0, W, kToolBarHeight);
        keypad = QRectF((W - kw) / 2, H - k, kw, k);
        const double used = keys ? k : 0;
        form = QRectF(0, H - used - T, W, T);
        graph = QRectF(0, kToolBarHeight, W, H - used - T - kToolBarHeight);
    } else if (W < 768) {
        const double k = !keys ? 0 : W <= 320 ? 182 : 225;
        const double kw = W <= 320 ? 320 : 400;
        bar = QRectF(0, H - kToolBarHeight, W, kToolBarHeight);
        keypad = QRectF((W - kw) / 2, H - kToolBarHeight - k, kw, k);
        form = QRectF(0, H - kToolBarHeight - k - T, W, T);
        graph = QRectF(0, 0, W, H - kToolBarHeight - k - T);
    } else {
        const bool portrait = W < H - kToolBarHeight;
        const double r = std::max(portrait ? 182.0 : 225.0, T);
        const double kw = keys ? (portrait ? 320 : 400) : 0;
        const double y = H - kToolBarHeight - r;
        bar = QRectF(0, H - kToolBarHeight, W, kToolBarHeight);
        form = QRectF(0, y, W - kw, r);
        keypad = QRectF(W - kw, y, kw, r);
        graph = QRectF(0, 0, W, y);
    }
    toolBar_->setGeometry(bar.toRect());
    menuButton_->setGeometry(8, 0, 100, kToolBarHeight);
    doneButton_->setGeometry(static_cast<int>(W) - 88, 0, 80, kToolBarHeight);
    keypad_->setGeometry(keypad.toRect());
    form_->setGeometry(form.toRect());
    graph_->setGeometry(graph.toRect());
    // The controls sit along the bottom of the graph's area; the pooled switch sits in a top
    // corner of the graph, clear of the axis numbers the controls' row runs along.
    // (Never up into the tool bar: a form too tall for the window runs under them instead.)
    const int controlsTop = std::max(static_cast<int>(form.top()) - kControlHeight - 4, static_cast<int>(graph.top()) + 2);
    dataStats_->setGeometry(5, controlsTop, 120, kControlHeight);
    const int hypothesisWidth = std::min(240, static_cast<int>(W) - 140);
    hypothesis_->setGeometry(static_cast<int>(W) - hypothesisWidth - 5, controlsTop, hypothesisWidth, kControlHeight);
    // The x axis's numbers stand above the controls where a short graph runs its axis
    // along them.
    const bool along = !dataStats_->isHidden() || !hypothesis_->isHidden();
    graph_->setLabelFloor(along ? controlsTop - graph.top() : std::numeric_limits<double>::infinity());
    const int poolTop = static_cast<int>(graph.top()) + 6;
    const bool rightAligned = testNum_ == C::T2Int || (testNum_ == C::T2Test && statsForm());
    if (poolTop + poolView_->height() + 4 <= controlsTop)
        poolView_->move(rightAligned ? static_cast<int>(graph.right()) - poolView_->width() - 5 : 5, poolTop);
    else // A graph too short for it over the controls: on the bar, between Tests and Done.
        poolView_->move((8 + 100 + static_cast<int>(W) - 88 - poolView_->width()) / 2,
                        static_cast<int>(bar.top()) + (kToolBarHeight - poolView_->height()) / 2);
    // The model buttons: below a 32-point band holding the data/residual control.
    // (In a short form, the rows under the results are all it takes from the form.)
    const double resultsHeight = kRegressionResultRows * form_->leading();
    const double buttonsHeight = std::min(W < 768 ? 97.0 : 120.0, std::floor(form.height() - resultsHeight));
    const QRectF buttons(form.left(), form.bottom() - buttonsHeight, form.width(), buttonsHeight);
    regressionView_->setGeometry(buttons.toRect());
    dataResid_->setGeometry(5, 2, 150, kControlHeight);
    const double bw = buttons.width() / 5, bh = (buttons.height() - 32) / 2;
    for (std::size_t tag = 0; tag < regressionButtons_.size(); ++tag) {
        const int col = static_cast<int>(tag % 5), row = static_cast<int>(tag / 5);
        regressionButtons_[tag]->setGeometry(QRectF(col * bw, 32 + row * bh, bw, bh).toRect());
    }
    for (QWidget* w : {static_cast<QWidget*>(dataStats_), static_cast<QWidget*>(hypothesis_), poolView_, regressionView_})
        w->raise();
    graph_->zoom(window_.xMin, window_.xMax, window_.yMin, window_.yMax);
}

} // namespace orvenda
