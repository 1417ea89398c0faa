#include "apps/PeriodicConfigurePanel.h"

#include "app/CurrentRowKeeper.h"
#include "app/OverlaySlide.h"
#include "pretty/FontMap.h"

#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include <algorithm>

namespace orvenda {

namespace {

constexpr int kBarHeight = 44;
constexpr int kPickerHeight = 216;
constexpr int kColumnWidth = 150;

constexpr const char* kPropertyTitles[PeriodicConfigurePanel::kProperties] = {"Series", "State", "Melting Point",
    "Boiling Point", "Electronegativity", "Electron Affinity", "Valence", "Ionization", "Radius", "Hardness", "Modulus",
    "Density", "Conductivity", "Heat", "Discovered"};

} // namespace

PeriodicConfigurePanel::PeriodicConfigurePanel(QWidget* parent)
    : QWidget(parent), panel_(new QWidget(this)), done_(new QPushButton(QStringLiteral("Done"), panel_)),
      properties_(new QListWidget(panel_)), subs_(new QListWidget(panel_)),
      slide_(new OverlaySlide(*this, [this](double in) { place(in); }, kSlideMs))
{
    for (QListWidget* column : {properties_, subs_})
        CurrentRowKeeper::keep(*column);
    panel_->setAutoFillBackground(true);
    QPalette p = panel_->palette();
    p.setColor(QPalette::Window, QColor(40, 40, 40));
    panel_->setPalette(p);
    done_->setFocusPolicy(Qt::NoFocus);
    done_->setFont(FontMap::shared().font("Helvetica-Bold", 16));
    done_->setStyleSheet(QStringLiteral("QPushButton { color: white; background: transparent; border: none; }"));
    connect(done_, &QPushButton::clicked, this, [this] {
        if (finished)
            finished();
    });
    const QFont font = FontMap::shared().font("Helvetica", 16);
    for (QListWidget* list : {properties_, subs_}) {
        list->setFocusPolicy(Qt::NoFocus);
        list->setFont(font);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setStyleSheet(QStringLiteral("QListWidget { background: transparent; color: white; border: none; }"
                                           "QListWidget::item { padding-left: 10px; }"
                                           "QListWidget::item:selected { background: rgb(70, 110, 170); }"));
    }
    for (int k = 0; k < kProperties; ++k)
        properties_->addItem(propertyTitle(k));
    properties_->setCurrentRow(0);
    fillSubs();
    connect(properties_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!filling_ && row >= 0)
            selectRow(0, row);
    });
    connect(subs_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!filling_ && row >= 0)
            selectRow(1, row);
    });
    slide_->arrived = [this](bool in) {
        if (!in)
            hide();
    };
    hide();
}

QString PeriodicConfigurePanel::propertyTitle(int property)
{
    return property >= 0 && property < kProperties ? QString::fromLatin1(kPropertyTitles[property]) : QString();
}

QStringList PeriodicConfigurePanel::subRows(int property)
{
    switch (property) {
    case Ionization: {
        QStringList levels;
        for (int n = 1; n <= 30; ++n)
            levels << QString::number(n);
        return levels;
    }
    case Radius: return {QStringLiteral("Calclated"), QStringLiteral("Empirical"), QStringLiteral("Covalent"), QStringLiteral("Van der Waals")};
    case Hardness: return {QStringLiteral("Brinell"), QStringLiteral("Mohs"), QStringLiteral("Vickers")};
    case Modulus: return {QStringLiteral("Bulk"), QStringLiteral("Shear"), QStringLiteral("Young")};
    case Density: return {QStringLiteral("STP"), QStringLiteral("Liquid")};
    case Conductivity: return {QStringLiteral("Thermal"), QStringLiteral("Electric")};
    case Heat: return {QStringLiteral("Specific"), QStringLiteral("Vaporization"), QStringLiteral("Fusion")};
    default: return {QString()};
    }
}

void PeriodicConfigurePanel::fillSubs()
{
    filling_ = true;
    const QStringList rows = subRows(property_);
    subs_->clear();
    subs_->addItems(rows);
    sub_ = std::clamp(sub_, 0, static_cast<int>(rows.size()) - 1);
    // A property without kinds has one empty row, nothing to pick: it is never marked, so
    // the property's band does not seem to run on across this column.
    if (rows.size() == 1 && rows.front().isEmpty())
        subs_->item(0)->setFlags(Qt::ItemIsEnabled);
    subs_->setCurrentRow(sub_);
    filling_ = false;
}

void PeriodicConfigurePanel::selectRow(int component, int row)
{
    if (component == 0) {
        if (row < 0 || row >= kProperties)
            return;
        const bool changed = row != property_;
        property_ = row;
        if (changed) {
            filling_ = true;
            properties_->setCurrentRow(row);
            filling_ = false;
            fillSubs();
        }
    } else {
        if (row < 0 || row >= subs_->count())
            return;
        sub_ = row;
        filling_ = true;
        subs_->setCurrentRow(row);
        filling_ = false;
    }
    if (didSelect)
        didSelect(property_, sub_);
}

void PeriodicConfigurePanel::makeVisible(bool visible)
{
    if (visible) {
        show();
        raise();
    }
    slide_->slide(visible);
}

bool PeriodicConfigurePanel::sliding() const { return slide_->sliding(); }

void PeriodicConfigurePanel::place(double shown)
{
    shown_ = shown;
    const int h = panel_->height();
    // From −44 − the panel's height down to 0.
    panel_->move(0, static_cast<int>(std::lround((-kBarHeight - h) * (1 - shown))));
    update();
}

void PeriodicConfigurePanel::resizeEvent(QResizeEvent*)
{
    panel_->resize(width(), kBarHeight + kPickerHeight);
    done_->setGeometry(width() - 90, 0, 84, kBarHeight);
    const int columns = std::min(2 * kColumnWidth, width());
    const int left = (width() - columns) / 2;
    properties_->setGeometry(left, kBarHeight, columns / 2, kPickerHeight);
    subs_->setGeometry(left + columns / 2, kBarHeight, columns - columns / 2, kPickerHeight);
    slide_->place();
}

void PeriodicConfigurePanel::paintEvent(QPaintEvent*)
{
    // The screen behind darkens to half black as the panel comes down.
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgbF(0, 0, 0, static_cast<float>(0.5 * shown_)));
}

void PeriodicConfigurePanel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && !panel_->geometry().contains(event->position().toPoint()) && finished)
        finished();
}

} // namespace orvenda
