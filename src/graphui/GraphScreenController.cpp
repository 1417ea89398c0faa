#include "graphui/GraphScreenController.h"

#include "app/AppShell.h"
#include "app/OverlayPlacement.h"
#include "app/ScreenRegistry.h"
#include "app/YEqModel.h"
#include "core/Calculator.h"
#include "core/services/ProgramManager.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "core/services/StatGraphManager.h"
#include "eval/Parser.h"
#include "graph/GraphText.h"
#include "graph/GraphView.h"
#include "graph/PlotObject.h"
#include "graphui/GraphVarsView.h"
#include "input/KeyCommands.h"
#include "input/KeyTables.h"
#include "pretty/FontMap.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>
#include <cmath>

namespace orvenda {

namespace {

constexpr std::array<const char*, 4> kKeySpecs{
    "UIKeyInputEscape,,,done:", "Z,Zoom,M,keyZoomMenu", "+,enlarge,,zoomEnlarge", "-,shrink,,zoomShrink"};
// The table arrows' images and the names they go by (tags 0 to 3).
constexpr std::array<const char*, 4> kArrowImages{"tableLeft", "tableRight", "tableUp", "tableDown"};
constexpr std::array<const char*, 4> kArrowNames{"Left", "Right", "Up", "Down"};
// The fixed-direction zoom buttons in their order: in and out for both axes, horizontal,
// vertical.
constexpr std::array<const char*, 6> kFixedZoomImages{"zPlusB", "zMinusB", "zHPlusB", "zHMinusB", "zVPlusB", "zVMinusB"};
constexpr std::array<const char*, 6> kFixedZoomNames{"Zoom In", "Zoom Out", "Zoom In X", "Zoom Out X", "Zoom In Y", "Zoom Out Y"};
// The table's band and column on a tablet and a phone.
constexpr int kTabletColumn = 320, kPhoneColumn = 212, kTabletBand = 196;
constexpr int kEnterKey = 1065, kStopKey = 4123;
// The column of fixed-direction zoom buttons: its top and the gap between two buttons.
constexpr int kColumnTop = 44, kColumnGap = 2;
constexpr int kPauseBarHeight = 50;

// The room the screen's own buttons keep around a program's controls.
constexpr int kClearance = 4;

// The rectangle moved clear of the obstacles: down past those it meets while it stays
// above the floor, else left past them while it stays in the screen; where neither
// clears it, where it was.
QRect clearOf(const QRect& wanted, const std::vector<QRect>& obstacles, int floor)
{
    const auto meets = [&](const QRect& r) -> const QRect* {
        for (const QRect& o : obstacles)
            if (o.adjusted(-kClearance, -kClearance, kClearance, kClearance).intersects(r))
                return &o;
        return nullptr;
    };
    QRect r = wanted;
    for (const QRect* o = meets(r); o && r.bottom() < floor; o = meets(r))
        r.moveTop(o->bottom() + 1 + kClearance);
    if (!meets(r) && r.bottom() < floor)
        return r;
    r = wanted;
    for (const QRect* o = meets(r); o && r.left() >= 0; o = meets(r))
        r.moveRight(o->left() - 1 - kClearance);
    return !meets(r) && r.left() >= 0 ? r : wanted;
}

// A button drawn as a library image; it goes by its name where a caption is looked for.
ImageButton* makeImageButton(const char* image, const char* name, QSize size, QWidget* parent)
{
    auto* button = new ImageButton(parent);
    button->setBackgroundImageNamed(image);
    button->setAccessibleName(QString::fromUtf8(name));
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(size);
    return button;
}

} // namespace

GraphScreenController::GraphScreenController(Calculator& calc, AppShell& shell, QWidget* parent)
    : ScreenController(calc, parent), shell_(shell), lifeObserver_(new QObject(this)),
      graphView_(new GraphView(calc, this)), toolbar_(new QWidget(this)), zoomButton_(makeBarButton(QStringLiteral("Zoom"), toolbar_)),
      plus_(new ImageButton(toolbar_)), minus_(new ImageButton(toolbar_)),
      done_(makeImageButton("Done", "Done", QSize(60, 30), this)), share_(makeBarButton(QStringLiteral("Share"), toolbar_)),
      pauseView_(new QWidget(this))
{
    graphView_->delegate = this;
    OverlayPlacement::attach(*pauseView_, [this] { placePauseBar(); });
    pauseView_->installEventFilter(this);
    toolbar_->setAutoFillBackground(true);
    toolbar_->setStyleSheet(QStringLiteral("background: black;"));
    auto* row = new QHBoxLayout(toolbar_);
    // Room for the fixed-direction zoom buttons when the bar is wide.
    row->setContentsMargins(6, (kToolbarHeight - kFixedZoomSide) / 2, 6, (kToolbarHeight - kFixedZoomSide) / 2);
    row->addWidget(zoomButton_);
    row->addWidget(share_);
    share_->hide();
    row->addStretch(1);
    for (ImageButton* button : {minus_, plus_}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(34, 32);
        row->addWidget(button);
    }
    plus_->setBackgroundImageNamed("zPlus");
    minus_->setBackgroundImageNamed("zMinus");
    connect(zoomButton_, &QToolButton::clicked, this, [this] { zoomMenuAction(); });
    // The direction follows the zoom menu's choice (tag 3).
    connect(plus_, &QPushButton::pressed, this, [this] { plusDown(3); });
    connect(plus_, &QPushButton::released, this, [this] { plusUp(); });
    connect(minus_, &QPushButton::pressed, this, [this] { minusDown(3); });
    connect(minus_, &QPushButton::released, this, [this] { minusUp(); });
    connect(done_, &QPushButton::clicked, this, [this] { done(); });
    connect(share_, &QToolButton::clicked, this, [this] { shareAction(); });
    for (int i = 0; i < static_cast<int>(fixedZoom_.size()); ++i) {
        const auto at = static_cast<std::size_t>(i);
        ImageButton* button = makeImageButton(kFixedZoomImages[at], kFixedZoomNames[at], QSize(kFixedZoomSide, kFixedZoomSide), this);
        // Tags 0, 1, 2: both axes, horizontal, vertical.
        const int tag = i / 2;
        if (i % 2 == 0) {
            connect(button, &QPushButton::pressed, this, [this, tag] { plusDown(tag); });
            connect(button, &QPushButton::released, this, [this] { plusUp(); });
        } else {
            connect(button, &QPushButton::pressed, this, [this, tag] { minusDown(tag); });
            connect(button, &QPushButton::released, this, [this] { minusUp(); });
        }
        fixedZoom_[at] = button;
    }
    for (int tag = 0; tag < 4; ++tag) {
        const auto at = static_cast<std::size_t>(tag);
        ImageButton* arrow = makeImageButton(kArrowImages[at], kArrowNames[at], QSize(36, 36), this);
        connect(arrow, &QPushButton::pressed, this, [this, tag] { arrowButtonDown(tag); });
        connect(arrow, &QPushButton::released, this, [this] { arrowButtonUp(); });
        arrow->hide();
        arrows_[at] = arrow;
    }
    // The pause overlay: a program's Pause over the graph.
    auto* pauseRow = new QHBoxLayout(pauseView_);
    auto* goOn = new QPushButton(QStringLiteral("Continue"), pauseView_);
    auto* stop = new QPushButton(QStringLiteral("Stop"), pauseView_);
    pauseRow->addWidget(goOn);
    pauseRow->addWidget(stop);
    connect(goOn, &QPushButton::clicked, this, [this] { pauseContinue(); });
    connect(stop, &QPushButton::clicked, this, [this] { pauseStop(); });
    pauseView_->hide();

    repeatTimer_.setSingleShot(false);
    connect(&repeatTimer_, &QTimer::timeout, this, [this] { repeatTick(); });
    for (const char* spec : kKeySpecs)
        if (auto command = KeyCommandSpec::parse(QString::fromUtf8(spec)))
            keyCmds_.push_back(*command);
    NotificationCenter& bus = calc.notificationCenter();
    observeOnOwnerThread(bus, lifeObserver_, VQSyncWindowVars, [this](const Notification&) { syncWindowVars(); });
    observeOnOwnerThread(bus, lifeObserver_, VQZoomPlot, [this](const Notification& note) {
        const auto zoom = note.userInfo.find("zoom");
        if (zoom != note.userInfo.end() && zoom->is_number())
            graphView_->zoomOp(zoom->get<int>());
    });
    observeOnOwnerThread(bus, lifeObserver_, VQShowControls, [this](const Notification&) {
        if (panels_.updateIOControls)
            panels_.updateIOControls();
        placeDone();
        placeFixedZoomButtons();
    });
    setFocusPolicy(Qt::StrongFocus);
}

QToolButton* GraphScreenController::makeBarButton(const QString& title, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setText(title);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFont(FontMap::shared().font("Helvetica-Bold", 16));
    button->setStyleSheet(QStringLiteral("QToolButton { color: white; background: rgba(0, 0, 0, 150);"
                                         " border: 1px solid white; border-radius: 4px; }"
                                         "QToolButton:disabled { color: rgb(100, 100, 100); border-color: rgb(100, 100, 100); }"));
    return button;
}

GraphScreenController::~GraphScreenController()
{
    calc().notificationCenter().removeObserver(lifeObserver_);
    graphView_->delegate = nullptr;
}

void GraphScreenController::setPanels(Panels panels)
{
    panels_ = std::move(panels);
    for (QWidget* panel : {panels_.vars, panels_.keyboard, panels_.statInfo})
        if (panel && panel->parentWidget() != this)
            panel->setParent(this);
    if (panels_.vars)
        panels_.vars->installEventFilter(this);
    if (panels_.updateIOControls)
        panels_.updateIOControls();
    adjustGraphView();
}

// ---- Layout ----

void GraphScreenController::resizeEvent(QResizeEvent*) { adjustGraphView(); }

void GraphScreenController::adjustSplit()
{
    const int W = width();
    int H = graphSize(size()).height();
    int graphWidth = W;
    const bool tablet = calc().device == 1;
    const QSize arrow = arrows_[0]->size();
    if (calc().locked()->screenSplit == 1) {
        if (!table_) {
            table_ = new TableScreen(calc(), shell_, this);
            table_->setDelegate(this);
        }
        QRect frame;
        if (W > H) {
            const int column = tablet ? kTabletColumn : kPhoneColumn;
            graphWidth = W - column;
            const int x0 = W - column;
            frame = QRect(x0, 22, column, H - 57);
            for (int tag = 0; tag < 4; ++tag)
                arrows_[static_cast<std::size_t>(tag)]->move(x0 + tag * arrow.width(), H - 35);
        } else {
            // The band lies right under the graph and the toolbar under the band, so the
            // bar's items stay in reach however short the screen.
            const int band = std::min(H, tablet ? kTabletBand : 4 * arrow.height());
            H -= band;
            for (int tag = 0; tag < 4; ++tag)
                arrows_[static_cast<std::size_t>(tag)]->move(0, H + tag * arrow.height());
            frame = QRect(arrow.width(), H, W - arrow.width(), band);
        }
        table_->setGeometry(frame);
        table_->show();
        table_->updateDisplay();
    }
    const bool split = calc().locked()->screenSplit == 1;
    if (table_)
        table_->setVisible(split);
    for (ImageButton* button : arrows_) {
        button->setVisible(split);
        button->raise();
    }
    graphView_->setGeometry(0, 0, graphWidth, H);
    toolbar_->setGeometry(0, height() - kToolbarHeight, W, kToolbarHeight);
    placeDone();
    if (pauseView_->isVisibleTo(this))
        placePauseBar();
    placeFixedZoomButtons();
    adjustGraphSlidersView();
}

void GraphScreenController::chooseToolbar(int tabletWidth)
{
    // The fixed zoom buttons go on the bar only where it holds them beside its items at
    // their own size (not over the graph kept above the debugger, wider than tall but
    // narrow).
    auto* row = static_cast<QBoxLayout*>(toolbar_->layout());
    int onBar = row->contentsMargins().left() + row->contentsMargins().right();
    for (int i = 0; i < row->count(); ++i)
        if (QWidget* item = row->itemAt(i)->widget(); item && !item->isHidden() && !std::ranges::count(fixedZoom_, item))
            onBar += item->sizeHint().width() + row->spacing();
    const int needed = onBar + static_cast<int>(fixedZoom_.size()) * (kFixedZoomSide + row->spacing());
    const bool wide = (calc().device == 1 ? width() >= tabletWidth : width() > height()) && needed <= width();
    if (wide == wide_)
        return;
    wide_ = wide;
    placeFixedZoomButtons();
}

void GraphScreenController::placeDone()
{
    const QRect graph = graphView_->geometry();
    const QRect wanted(graph.right() + 1 - 63, 6, done_->width(), done_->height());
    done_->setGeometry(clearOf(wanted, panels_.ioControlRects ? panels_.ioControlRects() : std::vector<QRect>{}, graph.bottom() + 1));
    done_->raise();
}

void GraphScreenController::placeFixedZoomButtons()
{
    auto* row = static_cast<QBoxLayout*>(toolbar_->layout());
    const int x = graphView_->geometry().right() + 1 - 6 - kFixedZoomSide;
    // The bars over the graph's bottom (a pause's, the trace's with its slider open) keep
    // their band: a graph too short for one column beside them takes the buttons in pairs,
    // each direction's in and out side by side, and one shorter still in one row.
    const int step = kFixedZoomSide + kColumnGap, count = static_cast<int>(fixedZoom_.size());
    const int graphBottom = graphView_->geometry().bottom() + 1;
    const int barsTop = std::min(graphBottom - kPauseBarHeight, graphBottom - kToolbarHeight - GraphVarsView::kOpenHeight);
    int perRow = 1;
    bool fits = false;
    for (const int n : {1, 2, count}) {
        perRow = n;
        fits = kColumnTop + (count + n - 1) / n * step - kColumnGap <= barsTop;
        if (fits)
            break;
    }
    // A graph too short even for one row under the bars (the least window beside its
    // table): the row gives way while a bar shown reaches up over it (the open slider, a
    // pause's), the zoom menu and − and + doing what it does.
    bool underBar = false;
    if (!fits)
        for (const QWidget* bar : {static_cast<QWidget*>(pauseView_), panels_.vars})
            underBar = underBar || (bar && bar->isVisibleTo(this) && bar->y() < kColumnTop + kFixedZoomSide);
    // The column keeps clear of Done and of the program's controls.
    std::vector<QRect> obstacles = panels_.ioControlRects ? panels_.ioControlRects() : std::vector<QRect>{};
    obstacles.push_back(done_->geometry());
    const int rows = (count + perRow - 1) / perRow;
    const QRect column = clearOf(QRect(x - (perRow - 1) * step, kColumnTop, perRow * step - kColumnGap, rows * step - kColumnGap),
        obstacles, barsTop);
    // Nowhere clear of the program's controls (a graph kept short above the debugger): the
    // buttons give way, the bar's zoom menu and − and + doing what they do.
    for (const QRect& o : obstacles)
        underBar = underBar || o.adjusted(-kClearance, -kClearance, kClearance, kClearance).intersects(column);
    for (std::size_t i = 0; i < fixedZoom_.size(); ++i) {
        ImageButton* button = fixedZoom_[i];
        if (wide_) {
            // On the bar, before − and +; the bar's own state enables them.
            if (button->parentWidget() != toolbar_)
                row->insertWidget(row->indexOf(minus_), button);
            // Moved onto a bar not yet shown, it would stay hidden with it.
            button->show();
            button->setEnabled(true);
            continue;
        }
        if (button->parentWidget() != this) {
            row->removeWidget(button);
            button->setParent(this);
        }
        button->setEnabled(buttonsEnabled_);
        const int at = static_cast<int>(i);
        button->move(column.left() + at % perRow * step, column.top() + at / perRow * step);
        button->setVisible(!underBar);
        button->raise();
    }
    // The axis numbers keep clear of Done and the column under it (a y axis at the right
    // edge puts its numbers there).
    QRect covered = done_->geometry();
    if (!wide_)
        for (const ImageButton* button : fixedZoom_)
            covered |= button->geometry();
    if (auto* text = dynamic_cast<GraphText*>(graphView_->graphTextView)) {
        const QRectF keepOut = QRectF(covered.translated(-graphView_->pos()));
        std::vector<QRectF> controls;
        for (const QRect& r : panels_.ioControlRects ? panels_.ioControlRects() : std::vector<QRect>{})
            controls.emplace_back(r.translated(-graphView_->pos()));
        if (text->labelKeepOut != keepOut || text->linesKeepOut != controls) {
            text->labelKeepOut = keepOut;
            text->linesKeepOut = std::move(controls);
            text->update();
        }
    }
    keepSheetsInFront();
}

bool GraphScreenController::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((watched == pauseView_ || watched == panels_.vars)
        && (type == QEvent::Show || type == QEvent::Hide || type == QEvent::Move || type == QEvent::Resize)) {
        placeLabelFloor();
        if (!wide_)
            placeFixedZoomButtons();
    }
    return ScreenController::eventFilter(watched, event);
}

void GraphScreenController::placeLabelFloor()
{
    double floor = std::numeric_limits<double>::infinity();
    for (const QWidget* bar : {static_cast<QWidget*>(pauseView_), panels_.vars})
        if (bar && bar->isVisibleTo(this))
            floor = std::min(floor, double(bar->y() - graphView_->y()));
    if (auto* text = dynamic_cast<GraphText*>(graphView_->graphTextView); text && text->labelFloor != floor) {
        text->labelFloor = floor;
        text->update();
    }
}

void GraphScreenController::adjustGraphSlidersView()
{
    PlotObject* selected = graphView_->selectedPlotObj();
    enableCalcButtons(selected);
    if (QWidget* vars = panels_.vars) {
        vars->setVisible(selected != nullptr);
        const QRect graph = graphView_->geometry();
        vars->setGeometry(graph.left(), graph.bottom() + 1 - kToolbarHeight - vars->height(), graph.width(), vars->height());
        vars->raise();
    }
    keepSheetsInFront();
}

void GraphScreenController::keepSheetsInFront()
{
    // A form or panel that is up stays over every button and bar of the screen: they would
    // cover its fields and keypad.
    for (QWidget* panel : {panels_.statInfo, panels_.keyboard})
        if (panel && panel->isVisible())
            panel->raise();
}

void GraphScreenController::adjustGraphView()
{
    adjustSplit();
    chooseToolbar(kTabletWideLayout);
    graphView_->rotate();
    if (panels_.layoutIOControls)
        panels_.layoutIOControls();
    placeDone();
    placeFixedZoomButtons();
    adjustGraphSlidersView();
}

void GraphScreenController::resetHistogramOrigin()
{
    if (!calc().statGraphManager)
        return;
    const double origin = calc().statGraphManager->histogramXOrigin();
    if (!std::isfinite(origin)) {
        calc().statGraphManager->setHistogramXOrigin(calc().window().xMin);
        calc().statGraphManager->setHistogramBarOffset(0);
    }
}

void GraphScreenController::updateDisplay(int quality)
{
    adjustSplit();
    resetHistogramOrigin();
    graphView_->drawQuality = quality;
    graphView_->updateDisplay();
    chooseToolbar(kTabletWideUpdate);
}

// ---- The root's operations ----

void GraphScreenController::didShow(bool shown)
{
    if (shown) {
        pauseView_->hide();
        // The controls a program placed since the screen last went back: a screen made by
        // an earlier run builds them only when made.
        if (panels_.updateIOControls)
            panels_.updateIOControls();
        updateDisplay(0);
        // The table beside the graph is come back to too: its line describes its cursor's cell.
        if (table_ && table_->isVisibleTo(this))
            table_->describeCursorCell();
        graphView_->zoom(calc().window());
        setFocus(Qt::OtherFocusReason);
        // Nothing is drawn for a faulty equation: its error says why, with the way to it.
        if (YEqModel* equations = YEqModel::of(calc()))
            equations->reportFaultySelected();
    } else {
        if (panels_.leaving)
            panels_.leaving();
        if (table_ && table_->typingBesideGraph())
            table_->enterBesideGraph();
        // A tablet's popover is a window of its own: it does not go with the screen.
        hideZoomMenu();
        repeatTimer_.stop();
        if (panels_.removeIOControls)
            panels_.removeIOControls();
        calc().ioControls.clear();
    }
}

void GraphScreenController::pause()
{
    graphView_->updateDisplay();
    placePauseBar();
    pauseView_->show();
    pauseView_->raise();
}

void GraphScreenController::placePauseBar()
{
    // Over the graph's bottom only: the table beside or under it keeps its rows and arrows.
    const QRect graph = graphView_->geometry();
    pauseView_->setGeometry(graph.left(), graph.bottom() + 1 - kPauseBarHeight, graph.width(), kPauseBarHeight);
}

void GraphScreenController::pauseEnded() { pauseView_->hide(); }

void GraphScreenController::pauseContinue()
{
    // A pause ended another way has nothing left to continue.
    if (calc().pauseRunning)
        calc().parser().pauseKey(kEnterKey);
    pauseView_->hide();
}

void GraphScreenController::pauseStop()
{
    if (calc().pauseRunning)
        calc().parser().pauseKey(kStopKey);
    pauseView_->hide();
}

void GraphScreenController::graphChanged()
{
    graphView_->updateDisplay();
    // The rebuilt plots may have lost the selection.
    enableCalcButtons(graphView_->selectedPlotObj());
}

void GraphScreenController::showSolverPlot(double left, double right, double bottom, double top)
{
    calc().locked()->graphDisplayMode = 3;
    // Rebuilt first: a rebuild zooms to the window variables, which the solver's window
    // then replaces.
    graphView_->updateDisplay();
    zoomTo({left, right, bottom, top});
}

void GraphScreenController::zoomTo(const Calculator::Bounds& window) { graphView_->zoom(window); }

void GraphScreenController::fitWindow() { graphView_->zoom(calc().window()); }

void GraphScreenController::syncWindowVars()
{
    if (calc().statGraphManager)
        calc().statGraphManager->setHistogramXOrigin(std::nan(""));
    const Calculator::Bounds w = calc().window();
    graphView_->zoom({std::min(w.xMin, w.xMax), std::max(w.xMin, w.xMax), std::min(w.yMin, w.yMax), std::max(w.yMin, w.yMax)});
}

// ---- Done ----

QWidget* GraphScreenController::leaveControl() const { return done_; }

void GraphScreenController::done()
{
    shell_.keys().doKeyClick();
    Parser& parser = calc().parser();
    // Whoever started the run (an entry line, a button's label, the debugger's Run), it
    // does not go on out of sight.
    const bool runs = calc().programRunning || calc().menuRunning || calc().pauseRunning || parser.programQueueCount() > 0;
    if (runs && !calc().question().asks())
        parser.stopProgramThread();
    hideZoomMenu();
    repeatTimer_.stop();
    if (panels_.removeIOControls)
        panels_.removeIOControls();
    graphView_->done();
    calc().locked()->graphDisplayMode = 0;
    if (onDone_)
        onDone_();
    calc().locked()->graphXAxisLabelMode = 0;
    // A program waiting for its question or menu goes on only with the answer, which its
    // output now in front takes; a debugged one only with the debugger's Step or Run.
    const bool debugging = calc().prgmManager && calc().prgmManager->debug();
    if (!calc().question().waitsForUser() && !debugging)
        parser.resumeProgramThread();
}

// ---- Zoom menu ----

void GraphScreenController::zoomMenuAction()
{
    shell_.keys().doKeyClick();
    if (!zoomMenu_) {
        zoomMenu_ = new ZoomMenu(calc(), shell_.keys(), calc().device == 1, this);
        zoomMenu_->setDelegate(this);
        OverlayPlacement::attach(*zoomMenu_, [this] {
            if (zoomMenu_->isWindow())
                placeZoomPopover();
            else
                zoomMenu_->setGeometry(rect());
        });
    }
    OverlayPlacement::of(*zoomMenu_)->place();
    zoomMenu_->show();
    zoomMenu_->raise();
    zoomMenu_->setFocus(Qt::OtherFocusReason);
}

void GraphScreenController::keyZoomMenu()
{
    zoomMenuAction();
    zoomMenu_->respondToKeyboard();
}

void GraphScreenController::placeZoomPopover()
{
    const QSize size(std::min(kZoomMenuWidth, width()), std::min(kZoomMenuHeight, height()));
    const QRect item(zoomButton_->mapTo(this, QPoint(0, 0)), zoomButton_->size());
    const int x = std::clamp(item.left(), 0, std::max(0, width() - size.width()));
    // Above the item on the bottom bar; below it when there is no room above.
    const int y = item.top() >= size.height() ? item.top() - size.height()
                                              : std::min(item.bottom() + 1, std::max(0, height() - size.height()));
    zoomMenu_->setGeometry(QRect(mapToGlobal(QPoint(x, y)), size));
}

void GraphScreenController::hideZoomMenu()
{
    if (!zoomMenu_ || zoomMenu_->isHidden())
        return;
    zoomMenu_->lower();
    zoomMenu_->hide();
    setFocus(Qt::OtherFocusReason);
}

void GraphScreenController::didPickOp(int token)
{
    shell_.keys().doKeyClick();
    hideZoomMenu();
    graphView_->zoomOp(token);
}

void GraphScreenController::didPickZoomButton(int direction)
{
    static constexpr std::array<const char*, 3> kPlus{"zPlus", "zHPlus", "zVPlus"}, kMinus{"zMinus", "zHMinus", "zVMinus"};
    const auto d = static_cast<std::size_t>(direction == 1 || direction == 2 ? direction : 0);
    plus_->setBackgroundImageNamed(kPlus[d]);
    minus_->setBackgroundImageNamed(kMinus[d]);
    zoomButtonDir_ = direction;
    hideZoomMenu();
}

void GraphScreenController::zoomCanceled() { hideZoomMenu(); }

// ---- Zoom and arrow buttons ----

void GraphScreenController::repeatTick()
{
    // After the first wait the step repeats faster.
    if (repeatTimer_.interval() > 200)
        repeatTimer_.start(kRepeatMs);
    if (repeatStep_)
        repeatStep_();
}

void GraphScreenController::startRepeat(std::function<void()> step)
{
    repeatTimer_.stop();
    repeatStep_ = std::move(step);
    repeatTimer_.start(kFirstRepeatMs);
    repeatStep_();
}

void GraphScreenController::plusDown(int tag)
{
    const int direction = tag < 3 ? tag : zoomButtonDir_;
    shell_.keys().doKeyClick();
    startRepeat([this, direction] { graphView_->plus(kZoomFactor, direction); });
}

void GraphScreenController::plusUp()
{
    repeatTimer_.stop();
    repeatStep_ = nullptr;
}

void GraphScreenController::minusDown(int tag)
{
    const int direction = tag < 3 ? tag : zoomButtonDir_;
    shell_.keys().doKeyClick();
    startRepeat([this, direction] { graphView_->minus(kZoomFactor, direction); });
}

void GraphScreenController::minusUp() { plusUp(); }

void GraphScreenController::zoomEnlarge() { graphView_->plus(kZoomFactor, 0); }

void GraphScreenController::zoomShrink() { graphView_->minus(kZoomFactor, 0); }

void GraphScreenController::arrowButtonDown(int tag)
{
    buttonDirection_ = tag;
    if (!table_ || tag < 0 || tag > 3)
        return;
    startRepeat([this] {
        switch (buttonDirection_) {
        case 0: table_->cursorLeft(); break;
        case 1: table_->cursorRight(); break;
        case 2: table_->cursorUp(); break;
        case 3: table_->cursorDown(); break;
        default: break;
        }
    });
}

void GraphScreenController::arrowButtonUp() { plusUp(); }

// ---- Keys ----

void GraphScreenController::keyPressEvent(QKeyEvent* event)
{
    // ON (Ctrl+/) stays in reach while the graph covers the keyboard: it stops a running
    // entry, as the drawn ON key does.
    static const KeyCommands commands;
    if (commands.opFor(*event) == KeyTables::kOn) {
        calc().parser().stopProgramThread();
        return;
    }
    const QKeyCombination pressed = event->keyCombination();
    const bool sheet = panels_.keyboard && panels_.keyboard->isVisible();
    auto own = std::find_if(keyCmds_.begin(), keyCmds_.end(), [pressed](const KeyCommandSpec& command) {
        // + and - come with or without Shift and from the keypad.
        const bool plain = command.key.keyboardModifiers() == Qt::NoModifier;
        const Qt::KeyboardModifiers loose = pressed.keyboardModifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
        return command.key == pressed
            || (plain && command.key.key() == pressed.key() && loose == Qt::NoModifier
                && (pressed.key() == Qt::Key_Plus || pressed.key() == Qt::Key_Minus));
    });
    // The zoom menu would come over a sheet's keypad: there the chord undoes on the sheet's
    // line, as on every other screen with the keypad.
    if (sheet && own != keyCmds_.end() && own->action == QStringLiteral("keyZoomMenu"))
        own = keyCmds_.end();
    // Escape stays Done. Every other key is the program's while it owns the keys, as it
    // would be with the keyboard in front: its getKey, Pause or Menu( takes it in turn.
    if (own != keyCmds_.end() && own->action == QStringLiteral("done:")) {
        done();
        return;
    }
    if (shell_.keys().programOwnsKeys()) {
        shell_.typeComputerKey(*event);
        return;
    }
    if (own == keyCmds_.end()) {
        // The keyboard's chords that go to another screen (Ctrl+Y Y=, Ctrl+T TABLE, Ctrl+Q
        // QUIT) do so from the graph too, and from a sheet's keypad where it has no command
        // of its own on the chord; its line editing only while a sheet types on a line of
        // its own (the home line under the graph is out of sight).
        if (const auto op = KeyCommands::namedOp(*event);
            op && (KeyCommands::goesToScreen(*op) || (sheet && KeyCommands::editsLine(*op))))
            shell_.typeComputerKey(*event);
        else
            ScreenController::keyPressEvent(event);
        return;
    }
    if (own->action == QStringLiteral("keyZoomMenu"))
        keyZoomMenu();
    else if (own->action == QStringLiteral("zoomEnlarge"))
        zoomEnlarge();
    else if (own->action == QStringLiteral("zoomShrink"))
        zoomShrink();
}

// ---- Plots ----

bool GraphScreenController::calcEnabledFor(const PlotObject* plot)
{
    if (!plot)
        return false;
    const int type = plot->plotType;
    return (type >= 1 && type <= 4) || (type >= 6 && type <= 13) || type == 16 || type == 17;
}

void GraphScreenController::enableCalcButtons(const PlotObject* plot)
{
    const bool on = calcEnabledFor(plot);
    for (QAbstractButton* button : panels_.calcButtons)
        button->setEnabled(on);
}

void GraphScreenController::enableButtons(bool enabled)
{
    buttonsEnabled_ = enabled;
    toolbar_->setEnabled(enabled);
    placeFixedZoomButtons();
}

void GraphScreenController::selectPlot(PlotObject* plot, const PlotPoint& at)
{
    adjustGraphSlidersView();
    if (panels_.plotSelected)
        panels_.plotSelected(plot, at);
}

void GraphScreenController::trackObj(PlotObject* plot, const PlotPoint& at)
{
    if (panels_.plotSelected)
        panels_.plotSelected(plot, at);
}

void GraphScreenController::selectEq(int token, double value) { graphView_->selectEqNum(token, value); }

void GraphScreenController::equationChanged()
{
    updateDisplay(0);
    // As when the graph is shown: a faulty equation draws nothing, and its error says why.
    if (YEqModel* equations = YEqModel::of(calc()))
        equations->reportFaultySelected();
}

void GraphScreenController::updateShareButton() { share_->setVisible(makeWorksheet && shareWorksheet); }

void GraphScreenController::shareAction()
{
    if (!makeWorksheet || !shareWorksheet)
        return;
    shell_.keys().doKeyClick();
    graphView_->updateWindowVars();
    const QByteArray pdf = makeWorksheet(*graphView_, graphView_->width() > graphView_->height());
    const QImage picture = grab(QRect(0, 0, width(), std::max(0, height() - kToolbarHeight))).toImage();
    shareWorksheet(pdf, picture, QStringLiteral("Lumbrix Graph"));
}

} // namespace orvenda
