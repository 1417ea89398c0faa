#include "apps/GeometryScreen.h"

#include "app/AppShell.h"
#include "app/OverlayPlacement.h"
#include "app/CursorBlink.h"
#include "app/EntryEvaluator.h"
#include "app/EntryModel.h"
#include "app/ImageButton.h"
#include "app/KeyRouter.h"
#include "app/NamedColors.h"
#include "apps/GeometryMenu.h"
#include "apps/PlotGeometry.h"
#include "apps/TriangleView.h"
#include "core/NotificationNames.h"
#include "core/VQValue.h"
#include "graph/FixedGraphView.h"
#include "graphui/ThumbSlider.h"
#include "input/KeyCommands.h"
#include "input/SegmentedControl.h"
#include "input/VQColorSlider.h"
#include "numeric/AngleConversion.h"
#include "pretty/FontMap.h"

#include <QKeyEvent>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

constexpr int kToolBarHeight = 44;
constexpr int kControlHeight = 28;
// The figure's band with room for its controls: the zoom buttons, Solve and Clear under
// them and the slider; and the least height of a phone's keypad that gives way to it.
constexpr double kRoomyGraphHeight = 76 + 4 + 36 + 30;
constexpr double kLeastKeypadHeight = 130;
constexpr int kSliderSteps = 10000;
using G = GeometryModel;

void styleBarButton(QPushButton* button)
{
    button->setFocusPolicy(Qt::NoFocus);
    button->setFont(FontMap::shared().font("Helvetica-Bold", 16));
    button->setStyleSheet(QStringLiteral("QPushButton { color: white; background: transparent; border: none; }"));
}

void styleGraphButton(QPushButton* button)
{
    button->setFocusPolicy(Qt::NoFocus);
    button->setFont(FontMap::shared().font("Helvetica-Bold", 16));
    button->setStyleSheet(QStringLiteral("QPushButton { color: white; background: rgba(40, 80, 150, 210); border: 1px solid white; border-radius: 5px; }"
                                         "QPushButton:disabled { color: rgba(255, 255, 255, 90); background: rgba(60, 60, 60, 160); }"));
}

} // namespace

GeometryScreen::GeometryScreen(Calculator& calc, AppShell& shell, QWidget* parent)
    : ScreenController(calc, parent), shell_(shell), model_(calc), toolBar_(new QWidget(this)),
      menuButton_(new QPushButton(QStringLiteral("Figures"), toolBar_)), doneButton_(new QPushButton(QStringLiteral("Done"), toolBar_)),
      graph_(new FixedGraphView(calc, this)), panel_(new GeometryView(calc, model_, this)), keypad_(new SmallCalcView(calc, this)),
      triangle_(new TriangleView(this)), slider_(new ThumbSlider(this)),
      segments_(new SegmentedControl({QStringLiteral("Line"), QStringLiteral("Pt&Line"), QStringLiteral("2Lines")}, this)),
      plus_(new ImageButton(this)), minus_(new ImageButton(this)),
      solve_(new QPushButton(QStringLiteral("Solve"), this)), clear_(new QPushButton(QStringLiteral("Clear"), this))
{
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, namedColor("docBackgroundColor"));
    setPalette(palette);
    toolBar_->setAutoFillBackground(true);
    QPalette bar = toolBar_->palette();
    bar.setColor(QPalette::Window, QColor(40, 80, 150));
    toolBar_->setPalette(bar);
    styleBarButton(menuButton_);
    styleBarButton(doneButton_);
    for (QPushButton* button : {solve_, clear_})
        styleGraphButton(button);
    for (ImageButton* button : {plus_, minus_})
        button->setFocusPolicy(Qt::NoFocus);
    plus_->setBackgroundImageNamed("zPlus");
    minus_->setBackgroundImageNamed("zMinus");
    connect(menuButton_, &QPushButton::clicked, this, [this] { showGeometryMenu(); });
    connect(doneButton_, &QPushButton::clicked, this, [this] { done(); });
    connect(solve_, &QPushButton::clicked, this, [this] { solve(); });
    connect(clear_, &QPushButton::clicked, this, [this] { clear(); });
    connect(plus_, &QPushButton::pressed, this, [this] { zoomDown(true); });
    connect(minus_, &QPushButton::pressed, this, [this] { zoomDown(false); });
    connect(plus_, &QPushButton::released, this, [this] { zoomUp(); });
    connect(minus_, &QPushButton::released, this, [this] { zoomUp(); });
    connect(&repeatTimer_, &QTimer::timeout, this, [this] { zoomTick(); });
    panel_->setDelegate(this);
    keypad_->delegate = this;
    slider_->setOrientation(Qt::Horizontal);
    slider_->setRange(0, kSliderSteps);
    slider_->setFocusPolicy(Qt::NoFocus);
    slider_->setThumb(VQColorSlider::thumbImage(QStringLiteral("∠A"), false, 1), VQColorSlider::thumbImage(QStringLiteral("∠A"), true, 1));
    connect(slider_, &QSlider::valueChanged, this, [this](int) {
        if (!settingSlider_)
            trackSlider(sliderValue());
    });
    segments_->changed = [this](int index) { selectSubMode(index); };
    plot_ = std::make_shared<PlotGeometry>(calc);
    plot_->color = VQColor::colorR(0, 1, 0, 1);
    plot_->style = 2;
    plot_->setSelected(false);
    graph_->plotObjects.push_back(plot_);
    setGeometryNum(G::Line);
}

GeometryScreen::~GeometryScreen() = default;

EntryModel* GeometryScreen::entry() const { return dynamic_cast<EntryModel*>(calc().entryManager.get()); }

bool GeometryScreen::typing() const
{
    const EntryModel* e = entry();
    return e && !e->entryOps().empty();
}

// ---- Showing ----

void GeometryScreen::shown(const ScreenRequest& request)
{
    const auto token = static_cast<std::uint32_t>(request.number);
    setGeometryNum(G::isFigure(token) ? token : model_.figure());
}

void GeometryScreen::subscribe()
{
    observe(VQBlinkCursor, [this](const Notification&) { panel_->update(); });
    observe(VQCursorUp, [this](const Notification&) { cursorUp(); });
    observe(VQCursorDown, [this](const Notification&) { cursorDown(); });
    observe(VQCursorLeft, [this](const Notification&) { cursorLeft(); });
    observe(VQCursorRight, [this](const Notification&) { cursorRight(); });
    observe(VQEnter, [this](const Notification&) { enter(); });
    observe(VQEntryTextChanged, [this](const Notification&) { keyTouched(); });
}

void GeometryScreen::focus(bool gained)
{
    // Leaving with a half-typed value keeps it.
    if (!gained && listening())
        getEntry();
    ScreenController::focus(gained);
    if (gained) {
        model_.setCurrentField(0);
        if (EntryModel* e = entry())
            e->clear();
        panel_->update();
        // The keypad has the computer's keys: its table maps Return to ENTER and the
        // arrows to the cursor moves.
        keypad_->setFocus();
    }
}

QWidget* GeometryScreen::leaveControl() const { return doneButton_; }

void GeometryScreen::restoreTypedPlace(const nlohmann::json& place)
{
    model_.setCurrentField(placeNumber(place, "field", 0, model_.numFields() - 1).value_or(0));
    syncViews();
}

void GeometryScreen::keyPressEvent(QKeyEvent* event)
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

void GeometryScreen::done()
{
    repeatTimer_.stop();
    if (menu_)
        menu_->hide();
    calc().locked()->graphXAxisLabelMode = 0;
    leave();
}

void GeometryScreen::setGeometryNum(std::uint32_t token)
{
    model_.setFigure(token);
    const std::uint32_t figure = model_.figure();
    plot_->geometryFunction = figure;
    triangle_->setVisible(figure == G::Triangle);
    solve_->setVisible(model_.hasSolve());
    clear_->setVisible(model_.hasClear());
    panel_->setShowAngleMode(model_.showsAngleMode());
    segments_->setVisible(figure == G::Line || figure == G::Circle);
    if (figure == G::Circle) {
        segments_->setTitle(0, QStringLiteral("Circle"));
        segments_->setTitle(1, QStringLiteral("Sector"));
        segments_->setTitle(2, QStringLiteral("3-Pt"));
        segments_->setSelected(model_.circleMode());
    } else if (figure == G::Line) {
        segments_->setTitle(0, QStringLiteral("Line"));
        segments_->setTitle(1, QStringLiteral("Pt&Line"));
        segments_->setTitle(2, QStringLiteral("2Lines"));
        segments_->setSelected(model_.lineMode());
    }
    setUpSlider();
    refreshSolve();
    if (figure == G::Line || figure == G::Circle)
        compute();
    calc().locked()->graphXAxisLabelMode = figure == G::UnitCircle ? 1 : 0;
    adjustViewSize();
    panel_->update();
}

void GeometryScreen::selectSubMode(int mode)
{
    if (!getEntry())
        return;
    model_.setSubMode(mode);
    setGeometryNum(model_.figure());
}

// ---- The slider ----

void GeometryScreen::setUpSlider()
{
    const G::SliderSpec spec = model_.slider();
    slider_->setVisible(spec.shown);
    if (!spec.shown)
        return;
    const QString text = QString::fromStdString(spec.text);
    slider_->setThumb(VQColorSlider::thumbImage(text, false, 1), VQColorSlider::thumbImage(text, true, 1));
    const double v = model_.slot(spec.slot);
    const double f = spec.max > spec.min ? (v - spec.min) / (spec.max - spec.min) : 0;
    settingSlider_ = true;
    slider_->setValue(static_cast<int>(std::lround(std::clamp(std::isfinite(f) ? f : 0.0, 0.0, 1.0) * kSliderSteps)));
    settingSlider_ = false;
}

double GeometryScreen::sliderValue() const
{
    const G::SliderSpec spec = model_.slider();
    return spec.min + (spec.max - spec.min) * slider_->value() / kSliderSteps;
}

void GeometryScreen::trackSlider(double value)
{
    if (!model_.slider().shown)
        return;
    if (EntryModel* e = entry())
        e->clear();
    model_.trackSlider(value);
    refreshSolve();
    zoomGraphView();
    panel_->update();
    graph_->update();
}

// ---- Fields and keys ----

std::string GeometryScreen::entryText() const { return typing() ? entry()->text() : std::string(); }

int GeometryScreen::entryCursor() const
{
    const EntryModel* e = entry();
    return e ? e->expandedCursor() : 0;
}

void GeometryScreen::selectField(int field)
{
    if (field < 0 || field >= model_.numFields())
        return;
    shell_.keys().doKeyClick();
    if (!getEntry())
        return;
    model_.setCurrentField(field);
    syncViews();
}

void GeometryScreen::changeAngleMode()
{
    shell_.keys().doKeyClick();
    calc().setAngleFormat(calc().angleFormat() == 0 ? 1 : 0);
    panel_->update();
}

void GeometryScreen::syncViews()
{
    if (EntryModel* e = entry())
        e->clear();
    shell_.blink().resetBlink();
    refreshSolve();
    panel_->update();
}

bool GeometryScreen::getEntry()
{
    if (!typing())
        return true;
    shell_.evaluator().finalizeEntry();
    // A failed evaluation leaves its text on the line for correcting.
    if (typing()) {
        panel_->update();
        return false;
    }
    saveEntry();
    panel_->update();
    return true;
}

void GeometryScreen::saveEntry()
{
    if (calc().ans.type() != VQValue::TypeReal)
        return;
    report(model_.enterValue(calc().ans.r()));
    if (model_.computesAtOnce()) {
        setUpSlider();
        zoomGraphView();
    }
    refreshSolve();
    graph_->update();
}

void GeometryScreen::report(int error)
{
    lastError_ = error;
    if (error != 0)
        calc().showError({{"errorNum", error}});
}

void GeometryScreen::compute()
{
    report(model_.compute());
    setUpSlider();
    refreshSolve();
    zoomGraphView();
    panel_->update();
    graph_->update();
}

void GeometryScreen::refreshSolve()
{
    const bool can = model_.canSolve(typing());
    solve_->setEnabled(can);
    if (model_.figure() == G::Triangle)
        triangle_->setKnowns(model_.triangleMask(typing()));
    panel_->update();
}

void GeometryScreen::enter()
{
    if (!getEntry())
        return;
    if (!model_.enterStays())
        model_.setCurrentField(model_.currentField() + 1);
    syncViews();
}

void GeometryScreen::cursorUp()
{
    if (!getEntry())
        return;
    const int step = model_.numPoints() > 0 ? 2 : 1;
    model_.setCurrentField(model_.currentField() - step);
    syncViews();
}

void GeometryScreen::cursorDown()
{
    if (!getEntry())
        return;
    const int step = model_.numPoints() > 0 ? 2 : 1;
    model_.setCurrentField(model_.currentField() + step);
    syncViews();
}

void GeometryScreen::cursorLeft()
{
    const EntryModel* e = entry();
    if (model_.numPoints() > 0 && (!e || e->entryCursor() == 0)) {
        if (!getEntry())
            return;
        model_.setCurrentField(model_.currentField() - 1);
        syncViews();
        return;
    }
    panel_->update();
}

void GeometryScreen::cursorRight()
{
    EntryModel* e = entry();
    if (e && e->entryOps().empty()) {
        // An empty line takes the field's value for editing.
        const double v = model_.fieldValue(model_.currentField());
        if (v != 0 && std::isfinite(v))
            e->editValue(v);
        panel_->update();
        return;
    }
    if (model_.numPoints() > 0 && e && e->entryCursor() >= static_cast<int>(e->entryOps().size()) && model_.currentField() < model_.numFields() - 1) {
        if (!getEntry())
            return;
        model_.setCurrentField(model_.currentField() + 1);
        syncViews();
        return;
    }
    panel_->update();
}

void GeometryScreen::keyTouched()
{
    refreshSolve();
    fitTyping();
    panel_->update();
}

void GeometryScreen::fitTyping()
{
    // The panel grows by the rows a long value being typed takes, and back.
    if (const int rows = panel_->typingRows(); rows != typedRows_) {
        typedRows_ = rows;
        adjustViewSize();
    }
}

void GeometryScreen::solve()
{
    if (!getEntry())
        return;
    compute();
}

void GeometryScreen::clear()
{
    shell_.keys().doKeyClick();
    if (EntryModel* e = entry())
        e->clear();
    model_.clear();
    solve_->setEnabled(false);
    refreshSolve();
    zoomGraphView();
    panel_->update();
    graph_->update();
}

GeometryMenu& GeometryScreen::showGeometryMenu()
{
    shell_.keys().doKeyClick();
    if (!menu_) {
        menu_ = new GeometryMenu(calc(), this);
        // A tablet shows it as a popover at its button, closed by a tap outside it.
        if (calc().device == 1)
            menu_->setWindowFlags(Qt::Popup);
        menu_->onClick = [this] { shell_.keys().doKeyClick(); };
        menu_->onSelect = [this](std::uint32_t token) {
            getEntry();
            setGeometryNum(token);
        };
        OverlayPlacement::attach(*menu_, [this] { placeMenu(); });
    }
    placeMenu();
    menu_->showMenu();
    menu_->show();
    menu_->raise();
    return *menu_;
}

void GeometryScreen::placeMenu()
{
    if (!menu_->isWindow()) {
        menu_->setGeometry(rect());
        return;
    }
    // 400 wide and the screen's height less 54, above the button on the bottom bar (or
    // below it on a bar at the top), kept within the screen.
    const QSize size(std::min(400, width()), std::max(0, height() - 54));
    const QRect button(menuButton_->mapTo(this, QPoint(0, 0)), menuButton_->size());
    const int x = std::clamp(button.left(), 0, std::max(0, width() - size.width()));
    const int y = button.top() > height() / 2 ? std::max(0, button.top() - size.height()) : button.bottom() + 1;
    menu_->setGeometry(QRect(mapToGlobal(QPoint(x, y)), size));
}

// ---- Zoom ----

void GeometryScreen::zoomGraphView()
{
    const G::Box box = G::fitted(model_.fitBox(), graph_->width(), graph_->height());
    if (!box.valid || !std::isfinite(box.xMin) || !std::isfinite(box.xMax) || !std::isfinite(box.yMin) || !std::isfinite(box.yMax)
        || !(box.xMax > box.xMin) || !(box.yMax > box.yMin))
        return;
    window_ = {box.xMin, box.xMax, box.yMin, box.yMax};
    graph_->zoom(box.xMin, box.xMax, box.yMin, box.yMax);
    graph_->update();
}

void GeometryScreen::zoomBy(double factor)
{
    const double cx = (window_.xMin + window_.xMax) / 2, cy = (window_.yMin + window_.yMax) / 2;
    const double hw = (window_.xMax - window_.xMin) / 2 * factor, hh = (window_.yMax - window_.yMin) / 2 * factor;
    if (!(hw > 0) || !(hh > 0) || !std::isfinite(hw) || !std::isfinite(hh))
        return;
    window_ = {cx - hw, cx + hw, cy - hh, cy + hh};
    graph_->zoom(window_.xMin, window_.xMax, window_.yMin, window_.yMax);
    graph_->update();
}

void GeometryScreen::zoomDown(bool in)
{
    shell_.keys().doKeyClick();
    zoomIn_ = in;
    fastRepeat_ = false;
    zoomBy(in ? 1 / 1.1 : 1.1);
    repeatTimer_.start(500);
}

void GeometryScreen::zoomTick()
{
    zoomBy(zoomIn_ ? 1 / 1.1 : 1.1);
    if (!fastRepeat_) {
        fastRepeat_ = true;
        repeatTimer_.start(50);
    }
}

void GeometryScreen::zoomUp() { repeatTimer_.stop(); }

// ---- Layout ----

double GeometryScreen::windowHeight() const { return panel_->leading() * (model_.rows() + typedRows_ - 1); }

void GeometryScreen::resizeEvent(QResizeEvent*) { adjustViewSize(); }

void GeometryScreen::adjustViewSize()
{
    const double W = width(), H = height();
    QRectF keypad, panel, graph, bar;
    if (calc().device != 1 && W > H) {
        // A phone on its side: the keypad keeps the narrowest phone's size at the bottom
        // right with the field panel beside it, so the figure keeps the band above them.
        const double r = std::max(SmallCalcView::kNarrowHeight, windowHeight());
        bar = QRectF(0, 0, W, kToolBarHeight);
        keypad = QRectF(W - SmallCalcView::kNarrowWidth, H - r, SmallCalcView::kNarrowWidth, SmallCalcView::kNarrowHeight);
        panel = QRectF(0, H - r, W - SmallCalcView::kNarrowWidth, r);
        graph = QRectF(0, kToolBarHeight, W, H - r - kToolBarHeight);
    } else if (calc().device != 1) {
        // A short window (the least, 320 × 390) takes from the keypad's height, down to its
        // least, what the figure needs for its controls; the keypad, its keys sized by its
        // width, narrows to that height, centred.
        const double T = windowHeight(), full = 182 * W / 320;
        const double k = std::clamp(H - T - kToolBarHeight - kRoomyGraphHeight, std::min(kLeastKeypadHeight, full), full);
        const double kw = W * k / full;
        bar = QRectF(0, 0, W, kToolBarHeight);
        keypad = QRectF((W - kw) / 2, H - k, kw, k);
        panel = QRectF(0, H - k - T, W, T);
        graph = QRectF(0, kToolBarHeight, W, H - k - T - kToolBarHeight);
    } else if (W < 768) {
        if (W <= 320)
            panel_->setFont(15, 16);
        else
            panel_->setFont(18, 20);
        double kw = W <= 320 ? 320 : 400, kh = W <= 320 ? 182 : 225;
        if (kw > W) {
            kh *= W / kw;
            kw = W;
        }
        const double T = windowHeight();
        bar = QRectF(0, H - kToolBarHeight, W, kToolBarHeight);
        keypad = QRectF((W - kw) / 2, H - kToolBarHeight - kh, kw, kh);
        panel = QRectF(0, keypad.top() - T, W, T);
        graph = QRectF(0, 0, W, panel.top());
    } else {
        const bool portrait = W < H - kToolBarHeight;
        const double kw = portrait ? 320 : 400, kh = portrait ? 182 : 225;
        const double r = std::max(kh, windowHeight());
        bar = QRectF(0, H - kToolBarHeight, W, kToolBarHeight);
        keypad = QRectF(W - kw, H - kToolBarHeight - kh, kw, kh);
        panel = QRectF(0, H - kToolBarHeight - r, W - kw, r);
        graph = QRectF(0, 0, W, panel.top());
    }
    toolBar_->setGeometry(bar.toRect());
    menuButton_->setGeometry(8, 0, 100, kToolBarHeight);
    doneButton_->setGeometry(static_cast<int>(W) - 88, 0, 80, kToolBarHeight);
    keypad_->setGeometry(keypad.toRect());
    panel_->setGeometry(panel.toRect());
    graph_->setGeometry(graph.toRect());
    const QRect g = graph.toRect();
    // On the graph: the zoom buttons top right with the triangle sketch beside them (the
    // y axis's numbers are near the left, where the figure starts), the segments top left,
    // Solve and Clear above the slider at the bottom.
    // A band too short for the zoom buttons one over the other (a long value's rows grow
    // the panel up) has them side by side, and the sketch as tall as the band leaves.
    const bool column = g.height() >= 44 + 32 + 4;
    const int sketchHeight = std::clamp(g.height() - 12, 0, 60);
    const int zoomsLeft = column ? g.right() - 40 : g.right() - 40 - 38;
    triangle_->setGeometry(zoomsLeft - 8 - sketchHeight * 100 / 60, g.top() + 6, sketchHeight * 100 / 60, sketchHeight);
    segments_->setGeometry(g.left() + 5, g.top() + 5, std::min(240, g.width() - 100), kControlHeight);
    // The zoom images' own size.
    plus_->setGeometry(g.right() - 40, g.top() + 6, 34, 32);
    minus_->setGeometry(column ? g.right() - 40 : zoomsLeft, column ? g.top() + 44 : g.top() + 6, 34, 32);
    // A figure's band too short for Solve and Clear under the zoom buttons has them on the
    // bar between Figures and Done, and the slider clear of the sketch and zoom buttons.
    const bool roomy = g.height() >= kRoomyGraphHeight;
    const int sliderRight = roomy || g.height() >= 76 + 30 + 4 ? g.right() - 10 : triangle_->x() - 4;
    slider_->setGeometry(g.left() + 10, g.bottom() - 30, std::max(0, sliderRight - g.left() - 10), 26);
    if (roomy) {
        const int buttonsY = g.bottom() - 30 - 36;
        solve_->setGeometry(g.right() - 80, buttonsY, 74, 30);
        clear_->setGeometry(g.right() - 160, buttonsY, 74, 30);
    } else {
        const int left = menuButton_->geometry().right() + 4, w = std::min(74, (doneButton_->x() - 4 - left) / 2 - 2);
        const int y = static_cast<int>(bar.top()) + (kToolBarHeight - 30) / 2;
        clear_->setGeometry(left, y, w, 30);
        solve_->setGeometry(left + w + 4, y, w, 30);
    }
    for (QWidget* w : {static_cast<QWidget*>(triangle_), static_cast<QWidget*>(segments_), static_cast<QWidget*>(plus_),
             static_cast<QWidget*>(minus_), static_cast<QWidget*>(slider_), static_cast<QWidget*>(solve_), static_cast<QWidget*>(clear_)})
        w->raise();
    if (menu_)
        menu_->raise();
    zoomGraphView();
    // At a new width the value being typed may wrap into more or fewer rows.
    fitTyping();
}

} // namespace orvenda
