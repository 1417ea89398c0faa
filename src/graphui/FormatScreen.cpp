#include "graphui/FormatScreen.h"

#include "app/AppShell.h"
#include "app/KeyRouter.h"
#include "core/Calculator.h"
#include "core/VColor.h"
#include "input/SegmentedControl.h"
#include "pretty/FontMap.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

#include <iterator>

namespace orvenda {

namespace {

constexpr QSize kSwitchSize{52, 30};

// An on/off switch: a rounded track with its knob at the right (on, green) or left (off).
QImage switchImage(bool on)
{
    QImage image(kSwitchSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track(1, 1, kSwitchSize.width() - 2, kSwitchSize.height() - 2);
    painter.setPen(QPen(QColor(120, 120, 120), 1));
    painter.setBrush(on ? QColor(76, 217, 100) : QColor(220, 220, 220));
    painter.drawRoundedRect(track, track.height() / 2, track.height() / 2);
    const double knob = track.height() - 2;
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(on ? track.right() - knob - 1 : track.left() + 1, track.top() + 1, knob, knob));
    return image;
}

QColor qColor(const VQColor& c) { return QColor::fromRgbF(float(c.r()), float(c.g()), float(c.b()), 1.0F); }

} // namespace

FormatScreen::FormatScreen(Calculator& calc, AppShell& shell, QWidget* parent)
    : ScreenController(calc, parent), shell_(shell), onImage_(switchImage(true)), offImage_(switchImage(false))
{
    setAutoFillBackground(true);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto* title = new QLabel(QStringLiteral("FORMAT"));
    title->setFont(FontMap::shared().font("Helvetica-Bold", 16));
    title->setAlignment(Qt::AlignCenter);
    title->setContentsMargins(0, 4, 0, 2);
    outer->addWidget(title);
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setFrameShape(QFrame::NoFrame);
    outer->addWidget(scroll);
    auto* itemsView = new QWidget;
    auto* form = new QVBoxLayout(itemsView);
    form->setContentsMargins(8, 2, 8, 4);
    form->setSpacing(4);
    scroll->setWidget(itemsView);

    const auto labelled = [](const QString& label, QWidget* control) {
        auto* row = new QWidget;
        auto* line = new QHBoxLayout(row);
        line->setContentsMargins(0, 0, 0, 0);
        auto* name = new QLabel(label);
        name->setFont(FontMap::shared().font("Helvetica", 14));
        line->addWidget(name);
        line->addStretch();
        line->addWidget(control);
        return row;
    };
    const auto addRow = [form, labelled](const QString& label, QWidget* control) {
        QWidget* row = labelled(label, control);
        form->addWidget(row);
        return row;
    };
    // The six switches in two columns, so that the whole form fits the phone's display.
    auto* switchGrid = new QGridLayout;
    switchGrid->setHorizontalSpacing(16);
    switchGrid->setVerticalSpacing(2);
    form->addLayout(switchGrid);
    const std::pair<Switch, const char*> switches[] = {{Coord, "Coordinates"}, {Grid, "Grid"}, {Axes, "Axes"},
        {Label, "Labels"}, {Expr, "Expression"}, {DyDx, "dy/dx"}};
    int place = 0;
    for (const auto& [tag, label] : switches) {
        auto* button = new QToolButton;
        button->setCheckable(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRaise(true);
        button->setIconSize(kSwitchSize);
        button->setFixedSize(kSwitchSize + QSize(4, 4));
        connect(button, &QToolButton::clicked, this, [this, t = tag] { flipSwitch(t); });
        switches_[tag] = button;
        switchGrid->addWidget(labelled(QString::fromUtf8(label), button), place / 2, place % 2);
        ++place;
    }

    const auto segments = [](const QStringList& titles, auto action) {
        auto* control = new SegmentedControl(titles);
        control->changed = action;
        return control;
    };
    coordSelector_ = segments({QStringLiteral("RectGC"), QStringLiteral("PolarGC")}, [this](int i) { coord(i); });
    addRow(QStringLiteral("Read-outs"), coordSelector_);
    sequenceSelector_ = segments({QStringLiteral("Time"), QStringLiteral("Web"), QStringLiteral("uv"),
                                     QStringLiteral("vw"), QStringLiteral("uw")},
        [this](int i) { sequence(i); });
    sequenceRow_ = addRow(QStringLiteral("Sequence"), sequenceSelector_);
    screenSplitSelector_ = segments({QStringLiteral("Full"), QStringLiteral("Split")}, [this](int i) { splitScreen(i); });
    addRow(QStringLiteral("Screen"), screenSplitSelector_);

    const std::pair<const char*, void (FormatScreen::*)()> colors[] = {{"Background", &FormatScreen::chooseColor},
        {"Grid", &FormatScreen::chooseGridColor}, {"Axes", &FormatScreen::chooseAxisColor}};
    auto* colorRow = new QHBoxLayout;
    for (std::size_t i = 0; i < std::size(colors); ++i) {
        auto* button = new QPushButton(QString::fromUtf8(colors[i].first));
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, [this, action = colors[i].second] { (this->*action)(); });
        colorButtons_[i] = button;
        colorRow->addWidget(button);
    }
    form->addLayout(colorRow);
    form->addStretch();
    updateDisplay();
}

bool Calculator::Settings::*FormatScreen::setting(int tag)
{
    using S = Calculator::Settings;
    switch (tag) {
    case Axes: return &S::drawAxes;
    case Label: return &S::drawLabel;
    case Expr: return &S::drawExpr;
    case Coord: return &S::drawCoord;
    case DyDx: return &S::drawDyDx;
    default: return &S::drawGrid;
    }
}

void FormatScreen::click() { shell_.keys().doKeyClick(); }

void FormatScreen::showButton(QToolButton& button, bool on)
{
    button.setChecked(on);
    button.setIcon(QIcon(QPixmap::fromImage(on ? onImage_ : offImage_)));
}

void FormatScreen::flipSwitch(int tag)
{
    click();
    bool value = false;
    {
        const auto state = calc().locked();
        bool& stored = (*state).*setting(tag);
        value = stored = !stored;
    }
    showButton(*switches_[tag >= 0 && tag < int(switches_.size()) ? tag : Grid], value);
}

void FormatScreen::coord(int segment)
{
    click();
    if (segment == 0 || segment == 1)
        calc().locked()->graphCoordFormat = segment;
}

void FormatScreen::sequence(int segment)
{
    click();
    if (segment >= 0 && segment <= 4)
        calc().locked()->graphSequenceFormat = segment;
}

void FormatScreen::splitScreen(int segment)
{
    click();
    calc().locked()->screenSplit = segment != 0 ? 1 : 0;
}

void FormatScreen::pick(ColorItem item, const VQColor& start)
{
    click();
    colorItem_ = item;
    if (delegate_)
        delegate_->pickColor(start, *this, kPickerKind);
}

void FormatScreen::chooseColor() { pick(BackgroundColor, calc().settings().backgroundColor); }

void FormatScreen::chooseGridColor() { pick(GridColor, calc().settings().gridColor); }

void FormatScreen::chooseAxisColor() { pick(AxesColor, calc().settings().axesColor); }

void FormatScreen::changeColor(const VQColor& color)
{
    {
        const auto state = calc().locked();
        (colorItem_ == GridColor ? state->gridColor : colorItem_ == AxesColor ? state->axesColor : state->backgroundColor) = color;
    }
    updateDisplay();
}

void FormatScreen::updateDisplay()
{
    const Calculator& c = calc();
    // The screen takes the bars' colour; its labels read on dark and light sets alike.
    const VColor back = c.interfaceColorIndex(7);
    const QColor window = QColor::fromRgbF(back.r, back.g, back.b);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, window.lightnessF() < 0.5 ? Qt::white : Qt::black);
    setPalette(palette);
    const Calculator::Settings settings = c.settings();
    for (int tag = 0; tag < int(switches_.size()); ++tag)
        showButton(*switches_[tag], settings.*setting(tag));
    if (settings.graphCoordFormat == 0 || settings.graphCoordFormat == 1)
        coordSelector_->setSelected(settings.graphCoordFormat);
    sequenceRow_->setVisible(c.graphMode() == 3);
    if (settings.graphSequenceFormat >= 0 && settings.graphSequenceFormat < 5)
        sequenceSelector_->setSelected(settings.graphSequenceFormat);
    screenSplitSelector_->setSelected(settings.screenSplit != 0 ? 1 : 0);
    const VQColor* colors[] = {&settings.backgroundColor, &settings.gridColor, &settings.axesColor};
    for (std::size_t i = 0; i < colorButtons_.size(); ++i)
        colorButtons_[i]->setStyleSheet(QStringLiteral("QPushButton { background: %1; color: %2; }")
                                            .arg(qColor(*colors[i]).name(), qColor(colors[i]->contrastColor()).name()));
}

bool FormatScreen::sequenceShown() const { return !sequenceRow_->isHidden(); }

void FormatScreen::focus(bool gained)
{
    ScreenController::focus(gained);
    if (gained)
        updateDisplay();
}

} // namespace orvenda
