#include "apps/ElementView.h"

#include "apps/PeriodicTableView.h"
#include "numeric/ElementDatabase.h"
#include "pretty/FontMap.h"

#include <QPainter>
#include <QPaintEvent>

#include <cmath>

namespace orvenda {

namespace {

using DB = ElementDatabase;
constexpr double kRowHeight = 15;

struct Field {
    const char* label;
    int column;
    const char* unit;
};

constexpr Field kFieldTable[ElementView::kFields] = {
    {"Atomic #", 2, ""}, {"Atomic Weight", 3, ""}, {"Series", 26, ""}, {"Discovered", 25, ""},
    {"Melting Point", 8, "K"}, {"Boiling Point", 9, "K"}, {"Electronegativity", 29, ""},
    {"Electron Affinity", 30, "kJ/mol"}, {"Valence", 28, ""}, {"Calculated Radius", 10, "pm"},
    {"Empirical Radius", 11, "pm"}, {"Covalent Radius", 12, "pm"}, {"Van der Waals Radius", 13, "pm"},
    {"Brinell Hardness", 14, "MPa"}, {"Mohs Hardness", 15, ""}, {"Vickers Hardness", 16, "MPa"},
    {"Bulk Modulus", 17, "GPa"}, {"Shear Modulus", 18, "GPa"}, {"Young Modulus", 19, "GPa"},
    {"STP Density", 6, "kg/m³"}, {"Liquid Density", 7, "kg/m³"}, {"Thermal Conductivity", 20, "W/mK"},
    {"Electric Conductivity", 21, "MS/m"}, {"Specific Heat", 22, "J/kgK"}, {"Vaporization Heat", 23, "kJ/mol"},
    {"Fusion Heat", 24, "kJ/mol"}, {"Electrons", 27, ""}, {"Orbitals", 31, ""},
};

// A group ends after these fields: a blank row follows.
bool groupEnds(int i) { return i == 3 || i == 5 || i == 8 || i == 12 || i == 15 || i == 18 || i == 20 || i == 22 || i == 25; }

const QColor kLabelColour = QColor::fromRgbF(0, 0.18f, 0.39f);

} // namespace

ElementView::ElementView(QWidget* parent) : QWidget(parent), db_(ElementDatabase::elementDatabase())
{
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void ElementView::setElement(int element)
{
    element_ = element >= 1 && element <= db_.count() ? element : 0;
    update();
}

QString ElementView::fieldLabel(int i)
{
    return i >= 0 && i < kFields ? QString::fromUtf8(kFieldTable[i].label) : QString();
}

QString ElementView::fieldText(int element, int i)
{
    if (i < 0 || i >= kFields)
        return {};
    const DB& db = DB::elementDatabase();
    const Field& field = kFieldTable[i];
    if (i == 27)
        return QString::fromStdString(db.orbitals(element));
    if (i == 2 || i == 26) {
        const DB::Cell cell = db.col(field.column, element);
        const std::string* text = std::get_if<std::string>(&cell);
        return text ? QString::fromStdString(*text) : QString();
    }
    const double value = db.doubleValueCol(field.column, element);
    if (std::isnan(value))
        return QStringLiteral("Unknown");
    return PeriodicTableView::formatFloat(value) + QLatin1Char(' ') + QString::fromUtf8(field.unit);
}

double ElementView::fieldTop(int i)
{
    double y = 1;
    for (int k = 0; k < i && k < kFields; ++k)
        y += kRowHeight + (groupEnds(k) ? kRowHeight : 0);
    return y;
}

double ElementView::lewisTop() { return fieldTop(kFields) + kRowHeight; }

std::vector<QRectF> ElementView::lewisDots(int n, QPointF at, QSizeF symbol)
{
    const double x = at.x(), y = at.y(), h = symbol.height();
    const double cx = x + symbol.width() / 2, m = h / 2, cy = y + m;
    const auto dot = [](double dx, double dy) { return QRectF(dx, dy, 4, 4); };
    const std::vector<QRectF> topPair{dot(cx - 6, y - 4), dot(cx + 2, y - 4)};
    const QRectF topSingle = dot(cx - 2, y - 4);
    const std::vector<QRectF> bottomPair{dot(cx - 6, y + h), dot(cx + 2, y + h)};
    const QRectF bottomSingle = dot(cx - 2, y + h);
    const QRectF rightSingle = dot(cx + m, cy - 2);
    const std::vector<QRectF> rightPair{dot(cx + m, cy - 6), dot(cx + m, cy + 2)};
    const QRectF leftSingle = dot(cx - m - 4, cy - 2);
    const std::vector<QRectF> leftPair{dot(cx - m - 4, cy - 6), dot(cx - m - 4, cy + 2)};
    std::vector<QRectF> dots;
    const auto add = [&dots](const std::vector<QRectF>& pair) { dots.insert(dots.end(), pair.begin(), pair.end()); };
    switch (n) {
    case 1: dots.push_back(topSingle); break;
    case 2: add(topPair); break;
    case 3: add(topPair); dots.push_back(rightSingle); break;
    case 4: add(topPair); dots.push_back(rightSingle); dots.push_back(bottomSingle); break;
    case 5: add(topPair); dots.push_back(rightSingle); dots.push_back(bottomSingle); dots.push_back(leftSingle); break;
    case 6: add(topPair); dots.push_back(bottomSingle); dots.push_back(leftSingle); add(rightPair); break;
    case 7: add(topPair); add(bottomPair); dots.push_back(leftSingle); add(rightPair); break;
    case 8: add(topPair); add(bottomPair); add(leftPair); add(rightPair); break;
    default: break;
    }
    return dots;
}

void ElementView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    if (element_ == 0)
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const FontMap& fonts = FontMap::shared();
    const QFont bold = fonts.font("Helvetica-Bold", 14), plain = fonts.font("Helvetica", 14);
    const auto text = [&painter](double x, double y, const QString& s) {
        painter.drawText(QRectF(x, y, 1000, 18), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, s);
    };
    for (int i = 0; i < kFields; ++i) {
        const double y = fieldTop(i);
        if (i % 2 == 1)
            painter.fillRect(QRectF(0, y + 2, width(), kRowHeight), QColor::fromRgbF(0.82f, 0.92f, 0.99f));
        painter.setFont(bold);
        painter.setPen(kLabelColour);
        text(2, y, fieldLabel(i));
        painter.setFont(plain);
        painter.setPen(Qt::black);
        text(kValueX, y, fieldText(element_, i));
    }
    const int dots = db_.lewisDot(element_);
    if (dots <= 0)
        return;
    const double y = lewisTop();
    painter.setFont(bold);
    painter.setPen(kLabelColour);
    text(2, y, QStringLiteral("Lewis dot structure"));
    const QString symbol = QString::fromStdString(db_.symbol(element_));
    const QFontMetricsF metrics(bold);
    const QSizeF size(metrics.horizontalAdvance(symbol), metrics.height());
    painter.setPen(Qt::black);
    text(kValueX, y, symbol);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    for (const QRectF& dot : lewisDots(dots, QPointF(kValueX, y), size))
        painter.drawEllipse(dot);
}

} // namespace orvenda
