#include "graphui/YEqScreen.h"

#include "app/AppShell.h"
#include "app/LcdView.h"
#include "app/ScreenRegistry.h"
#include "app/ScreenRouter.h"
#include "app/YEqModel.h"
#include "core/Calculator.h"
#include "core/NotificationNames.h"
#include "graphui/YEqScrollView.h"
#include "pretty/FontMap.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QToolButton>

namespace orvenda {

namespace {

constexpr int kFunctionMode = 0;
constexpr int kParametricMode = 1;
constexpr int kPolarMode = 2;
constexpr int kSequenceMode = 3;
constexpr int kImplicitMode = 4;
constexpr std::array<const char*, 5> kSegmentTitles{"=", "<", "≤", ">", "≥"};

} // namespace

YEqScreen::YEqScreen(Calculator& calc, AppShell& shell, ScreenRouter& router, QWidget* parent)
    : ScreenController(calc, parent), router_(router),
      model_(std::dynamic_pointer_cast<YEqModel>(calc.yEqManager)), lcd_(new LcdView(calc, this)),
      scroller_(new YEqScrollView(this)), view_(new YEqView(calc, shell, *model_, scroller_)), bar_(new QWidget(this)),
      segments_(new QButtonGroup(this))
{
    view_->setDelegate(this);
    scroller_->setContentView(view_);
    auto* row = new QHBoxLayout(bar_);
    row->setContentsMargins(4, 2, 4, 4);
    row->setSpacing(0);
    bar_->setStyleSheet(QStringLiteral(
        "QToolButton { color: white; background: rgb(40, 70, 120); border: 1px solid white; }"
        "QToolButton:checked { color: black; background: white; }"));
    for (int i = 0; i < static_cast<int>(kSegmentTitles.size()); ++i) {
        auto* button = new QToolButton(bar_);
        button->setText(QString::fromUtf8(kSegmentTitles[static_cast<std::size_t>(i)]));
        button->setCheckable(true);
        button->setFont(FontMap::shared().font("Helvetica-Bold", 16));
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        button->setFocusPolicy(Qt::NoFocus);
        segments_->addButton(button, i);
        row->addWidget(button);
    }
    segments_->setExclusive(true);
    connect(segments_, &QButtonGroup::idClicked, this, [this](int id) { setInEquality(id); });
}

YEqScreen::~YEqScreen() = default;

void YEqScreen::resizeEvent(QResizeEvent*)
{
    // The row being typed stays in view at the new size.
    layoutView();
    scroller_->scrollRectToVisible(view_->frameForIndex(currentRow()));
}

QRect YEqScreen::cursorRect() const { return scroller_->shownRect(view_->frameForIndex(currentRow()), *this); }

bool YEqScreen::barShown() const { return !bar_->isHidden(); }

int YEqScreen::selectedSegment() const { return segments_->checkedId(); }

void YEqScreen::layoutView()
{
    lcd_->setGeometry(rect());
    const int mode = calc().graphMode();
    const bool bar = (mode == kFunctionMode || mode == kImplicitMode) && calc().testMode == 0;
    bar_->setVisible(bar);
    if (bar) {
        bar_->setGeometry(0, height() - kBarHeight, width(), kBarHeight);
        scroller_->setGeometry(0, 0, width(), height() - kBarHeight);
    } else {
        scroller_->setGeometry(rect());
    }
    scroller_->setContentSize(view_->layoutFrames());
}

int YEqScreen::segmentForStyle(int style)
{
    switch (style) {
    case 8: return 3;
    case 10: return 4;
    case 16: return 1;
    case 18: return 2;
    default: return 0;
    }
}

void YEqScreen::setInEquality(int segment)
{
    if (segment < 0 || segment >= static_cast<int>(kSegmentStyles.size()))
        return;
    model_->setStyle(kSegmentStyles[static_cast<std::size_t>(segment)], model_->selectedEqNum());
    view_->update();
}

void YEqScreen::updateInEqualityBar()
{
    const int mode = calc().graphMode();
    if (mode != kFunctionMode && mode != kImplicitMode)
        return;
    if (QAbstractButton* button = segments_->button(segmentForStyle(model_->styleForFunction(model_->selectedEqNum()))))
        button->setChecked(true);
}

void YEqScreen::focus(bool gained)
{
    const bool was = listening();
    ScreenController::focus(gained);
    if (gained && !was)
        lcd_->update();
}

void YEqScreen::subscribe()
{
    observe(VQBlinkCursor, [this](const Notification&) { view_->update(); });
    observe(VQUpdateEquations, [this](const Notification&) { update(); });
    observe(VQGraphModeChanged, [this](const Notification&) { modeChange(); });
    observe(VQCursorMoved, [this](const Notification&) {
        view_->update();
        makeCursorVisible();
    });
}

void YEqScreen::update()
{
    layoutView();
    makeCursorVisible();
    view_->update();
}

void YEqScreen::modeChange()
{
    scroller_->setContentOffset(QPointF(0, 0));
    layoutView();
    scroller_->update();
}

void YEqScreen::updateDisplay()
{
    layoutView();
    view_->update();
    updateInEqualityBar();
}

int YEqScreen::currentRow() const
{
    const int slot = model_->currentFunction();
    switch (calc().graphMode()) {
    case kFunctionMode: return slot;
    case kParametricMode: return (slot - 11) / 2;
    case kPolarMode: return slot - 23;
    case kSequenceMode: return slot >= 29 && slot <= 34 ? (slot - 29) % 3 : 0;
    case kImplicitMode: return slot - 35;
    default: return 0;
    }
}

void YEqScreen::makeCursorVisible()
{
    const int mode = calc().graphMode();
    if (mode == kFunctionMode || mode == kImplicitMode)
        updateInEqualityBar();
    scroller_->scrollRectToVisible(view_->frameForIndex(currentRow()));
}

void YEqScreen::pickColorForEqNum(int token) { router_.showOverlay(screens::YEqColor, token); }

} // namespace orvenda
