#include "docs/FunctionHelpScreen.h"

#include "app/NamedColors.h"
#include "core/Calculator.h"
#include "docs/FunctionHelpPDFView.h"
#include "pretty/FontMap.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace orvenda {

namespace {
constexpr int kBarHeight = 40;
} // namespace

FunctionHelpScreen::FunctionHelpScreen(Calculator& calc, QWidget* parent)
    : ScreenController(calc, parent), bar_(new QWidget(this)), done_(new QPushButton(QStringLiteral("Done"), bar_)),
      title_(new QLabel(bar_)), view_(new FunctionHelpPDFView(calc, this))
{
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    paintAsBar(bar_);
    bar_->setFixedHeight(kBarHeight);
    auto* row = new QHBoxLayout(bar_);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(done_);
    row->addWidget(title_, 1);
    title_->setAlignment(Qt::AlignCenter);
    title_->setFont(FontMap::shared().font("Helvetica-Bold", 16));
    // The title stays centred: as much room on the right as Done takes on the left.
    row->addSpacing(done_->sizeHint().width());
    done_->setFocusPolicy(Qt::NoFocus);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(bar_);
    column->addWidget(view_, 1);
    connect(done_, &QPushButton::clicked, this, [this] { done(); });
}

void FunctionHelpScreen::showOp(std::uint32_t op) { showFunction(QString::fromStdString(calc().nameForOpcode(op))); }

void FunctionHelpScreen::showFunction(const QString& name)
{
    functionName_ = name;
    title_->setText(name.trimmed());
    view_->showFunctionName(name);
}

void FunctionHelpScreen::shown(const ScreenRequest& request)
{
    if (!request.text.isEmpty())
        showFunction(request.text);
    else
        showOp(static_cast<std::uint32_t>(request.number));
}

void FunctionHelpScreen::focus(bool gained)
{
    ScreenController::focus(gained);
    if (gained)
        setFocus();
}

void FunctionHelpScreen::setBarShown(bool shown) { bar_->setVisible(shown); }

void FunctionHelpScreen::done()
{
    focus(false);
    if (closed)
        closed();
    else
        hide();
}

void FunctionHelpScreen::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Escape && mods == Qt::NoModifier) {
        done();
        return;
    }
    // Sharing the page comes with the sharing of documents; the chord is kept for it.
    if (event->key() == Qt::Key_S && mods == Qt::ControlModifier)
        return;
    // The arrows and page keys scroll the page.
    QScrollBar* bar = view_->scrollArea().verticalScrollBar();
    switch (event->key()) {
    case Qt::Key_Up: bar->triggerAction(QAbstractSlider::SliderSingleStepSub); return;
    case Qt::Key_Down: bar->triggerAction(QAbstractSlider::SliderSingleStepAdd); return;
    case Qt::Key_PageUp: bar->triggerAction(QAbstractSlider::SliderPageStepSub); return;
    case Qt::Key_PageDown:
    case Qt::Key_Space: bar->triggerAction(QAbstractSlider::SliderPageStepAdd); return;
    case Qt::Key_Home: bar->triggerAction(QAbstractSlider::SliderToMinimum); return;
    case Qt::Key_End: bar->triggerAction(QAbstractSlider::SliderToMaximum); return;
    default: ScreenController::keyPressEvent(event);
    }
}

QWidget* FunctionHelpScreen::leaveControl() const { return done_; }

} // namespace orvenda
