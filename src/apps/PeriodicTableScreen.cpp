#include "apps/PeriodicTableScreen.h"

#include "app/OverlayPlacement.h"
#include "apps/ElementPanel.h"
#include "apps/PeriodicConfigurePanel.h"
#include "apps/PeriodicTableView.h"
#include "core/Calculator.h"
#include "core/VColor.h"
#include "pretty/FontMap.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

constexpr int kBarHeight = 44;
constexpr int kSliderHeight = 36;
// The slider starts at room temperature.
constexpr int kStartKelvin = 298;

constexpr const char* kTitles[PeriodicTableView::ModeCount] = {"Series", "State", "Melting Point(K)",
    "Boiling Point(K)", "Electronegativity", "Electron Affinity(kJ/mol)", "Valence", "Ionization(kJ/mol)",
    "Calculated Radius(pm)", "Empirical Radius(pm)", "Covalent Radius(pm)", "Van der Waals Radius(pm)",
    "Brinell Hardness(MPa)", "Mohs Hardness", "Vikers Hardness(MPa)", "Bulk Modulus(GPa)", "Shear Modulus(GPa)",
    "Young Modulus(GPa)", "STP Density(kg/m³)", "Liquid Density(kg/m³)", "Thermal Conductivity(W/mK)",
    "Electric Conductivity(MS/m)", "Specific Heat(J/kgK)", "Vaporization Heat(kJ/mol)", "Fusion Heat(kJ/mol)",
    "Discovered"};

QString ionizationTitle(int level) { return QStringLiteral("Ionization[%1](kJ/mol)").arg(level); }

} // namespace

PeriodicTableScreen::PeriodicTableScreen(Calculator& calc, QWidget* parent)
    : ScreenController(calc, parent), toolBar_(new QWidget(this)), done_(new QPushButton(QStringLiteral("Done"), toolBar_)),
      title_(new QLabel(toolBar_)), action_(new QPushButton(QStringLiteral("Properties"), toolBar_)),
      sliderBar_(new QWidget(this)), slider_(new QSlider(Qt::Horizontal, sliderBar_)), tempLabel_(new QLabel(sliderBar_)),
      kLabel_(new QLabel(QStringLiteral("K"), sliderBar_)), table_(new PeriodicTableView(this))
{
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::black);
    setPalette(palette);
    const FontMap& fonts = FontMap::shared();
    for (QPushButton* button : {done_, action_}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setFont(fonts.font("Helvetica-Bold", 16));
        button->setStyleSheet(QStringLiteral("QPushButton { color: white; background: transparent; border: none; }"));
    }
    title_->setAlignment(Qt::AlignCenter);
    title_->setFont(fonts.font("Helvetica-Bold", 16));
    for (QLabel* label : {tempLabel_, kLabel_})
        label->setFont(fonts.font("Helvetica", 16));
    for (QWidget* bar : {toolBar_, sliderBar_})
        bar->setAutoFillBackground(true);
    slider_->setFocusPolicy(Qt::NoFocus);
    slider_->setRange(0, 6000);
    slider_->setValue(kStartKelvin);
    connect(done_, &QPushButton::clicked, this, [this] { leave(); });
    connect(action_, &QPushButton::clicked, this, [this] { showPicker(); });
    connect(slider_, &QSlider::valueChanged, this, [this](int value) { setSliderValue(value); });
    table_->didSelectElement = [this](int element, QRectF) { didSelectElement(element); };
    title_->setText(modeTitle(table_->displayMode()));
    showSlider(false, false);
    updateDisplay();
}

QString PeriodicTableScreen::modeTitle(int mode)
{
    return mode >= 0 && mode < PeriodicTableView::ModeCount ? QString::fromUtf8(kTitles[mode]) : QString();
}

QWidget* PeriodicTableScreen::leaveControl() const { return done_; }

void PeriodicTableScreen::shown(const ScreenRequest&)
{
    table_->adjustCellSize();
    table_->update();
    setFocus();
}

void PeriodicTableScreen::updateDisplay()
{
    // The bars in the interface colour with white items.
    const VColor c = calc().interfaceColorIndex(7);
    const QColor bar = QColor::fromRgbF(static_cast<float>(c.r), static_cast<float>(c.g), static_cast<float>(c.b));
    for (QWidget* w : {toolBar_, sliderBar_}) {
        QPalette p = w->palette();
        p.setColor(QPalette::Window, bar);
        p.setColor(QPalette::WindowText, Qt::white);
        w->setPalette(p);
    }
    for (QLabel* label : {title_, tempLabel_, kLabel_}) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, Qt::white);
        label->setPalette(p);
    }
    layout();
    table_->update();
}

void PeriodicTableScreen::resizeEvent(QResizeEvent*) { layout(); }

void PeriodicTableScreen::layout()
{
    const int w = width();
    toolBar_->setGeometry(0, 0, w, kBarHeight);
    done_->setGeometry(6, 0, 70, kBarHeight);
    action_->setGeometry(w - 116, 0, 110, kBarHeight);
    title_->setGeometry(80, 0, std::max(0, w - 200), kBarHeight);
    sliderBar_->setGeometry(0, kBarHeight, w, kSliderHeight);
    slider_->setGeometry(12, 0, std::max(0, w - 120), kSliderHeight);
    tempLabel_->setGeometry(w - 100, 0, 60, kSliderHeight);
    kLabel_->setGeometry(w - 36, 0, 30, kSliderHeight);
    tempLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    table_->setGeometry(0, kBarHeight + kSliderHeight, w, std::max(0, height() - kBarHeight - kSliderHeight));
}

void PeriodicTableScreen::showSlider(bool shown, bool unit)
{
    slider_->setVisible(shown);
    tempLabel_->setVisible(shown);
    kLabel_->setVisible(shown && unit);
}

bool PeriodicTableScreen::sliderShown() const { return !slider_->isHidden(); }
bool PeriodicTableScreen::unitShown() const { return !kLabel_->isHidden(); }
QString PeriodicTableScreen::valueText() const { return tempLabel_->text(); }
QString PeriodicTableScreen::title() const { return title_->text(); }

void PeriodicTableScreen::showValue() { tempLabel_->setText(QString::number(slider_->value())); }

void PeriodicTableScreen::didSelectProperty(int property, int sub)
{
    showSlider(false, false);
    PeriodicTableView& t = *table_;
    int mode = t.displayMode();
    bool ownTitle = false;
    const auto range = [this](int low, int high) {
        const QSignalBlocker quiet(slider_);
        slider_->setRange(low, high);
    };
    switch (property) {
    case 0: mode = 0; break;
    case 4:
    case 5:
    case 6: mode = property; break;
    case 1:
    case 2:
    case 3:
        mode = property;
        range(0, 6000);
        showSlider(true, true);
        break;
    case 7: {
        mode = 7;
        range(1, 30);
        {
            const QSignalBlocker quiet(slider_);
            slider_->setValue(sub + 1);
        }
        t.setIonizationLevel(sub);
        showSlider(true, false);
        title_->setText(ionizationTitle(sub + 1));
        ownTitle = true;
        break;
    }
    case 14:
        mode = 25;
        range(1250, 2012);
        showSlider(true, false);
        break;
    default: {
        // The properties with kinds: their first mode and how many kinds they have.
        static constexpr int kFirst[] = {8, 12, 15, 18, 20, 22};
        static constexpr int kKinds[] = {4, 3, 3, 2, 2, 3};
        if (property >= 8 && property <= 13 && sub >= 0 && sub < kKinds[property - 8])
            mode = kFirst[property - 8] + sub;
        break;
    }
    }
    t.setDisplayMode(mode);
    // The table takes the value the slider shows, so what it colours is what is written
    // beside the slider (a new range may have moved the slider).
    if (mode >= 1 && mode <= 3)
        t.setTemperature(slider_->value());
    else if (mode == 25)
        t.setYear(slider_->value());
    if (!ownTitle)
        title_->setText(modeTitle(mode));
    if (sliderShown())
        showValue();
    t.update();
}

void PeriodicTableScreen::setSliderValue(double value)
{
    PeriodicTableView& t = *table_;
    const int mode = t.displayMode();
    if (mode >= 1 && mode <= 3) {
        t.setTemperature(value);
    } else if (mode == 7) {
        const int n = static_cast<int>(value);
        t.setIonizationLevel(n - 1);
        title_->setText(ionizationTitle(n));
    } else if (mode == 25) {
        t.setYear(static_cast<int>(value));
    }
    t.update();
    tempLabel_->setText(QString::number(std::trunc(value), 'f', 0));
}

void PeriodicTableScreen::showPicker()
{
    if (!picker_) {
        picker_ = new PeriodicConfigurePanel(this);
        picker_->didSelect = [this](int property, int sub) { didSelectProperty(property, sub); };
        picker_->finished = [this] { pickerDone(); };
        OverlayPlacement::attach(*picker_, [this] { picker_->setGeometry(rect()); });
    }
    OverlayPlacement::of(*picker_)->place();
    picker_->raise();
    picker_->makeVisible(true);
}

void PeriodicTableScreen::pickerDone()
{
    if (picker_)
        picker_->makeVisible(false);
}

void PeriodicTableScreen::didSelectElement(int element)
{
    if (!detail_) {
        detail_ = new ElementPanel(this);
        detail_->doubleTapped = [this] { table_->doubleTap(); };
        OverlayPlacement::attach(*detail_, [this] { detail_->setGeometry(rect()); });
    }
    OverlayPlacement::of(*detail_)->place();
    detail_->showElement(element);
}

int PeriodicTableScreen::elementShown() const { return detail_ && !detail_->isHidden() ? detail_->element() : 0; }

void PeriodicTableScreen::escape()
{
    if (detail_ && !detail_->isHidden()) {
        detail_->hide();
        return;
    }
    if (picker_ && !picker_->isHidden()) {
        pickerDone();
        return;
    }
    leave();
}

void PeriodicTableScreen::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        escape();
        return;
    }
    ScreenController::keyPressEvent(event);
}

} // namespace orvenda
