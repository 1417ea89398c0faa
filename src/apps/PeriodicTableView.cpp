#include "apps/PeriodicTableView.h"

#include "core/NumberFormatter.h"
#include "drawing/VQRender.h"
#include "numeric/ElementDatabase.h"
#include "pretty/FontMap.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QGestureEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QPinchGesture>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvenda {

namespace {

using DB = ElementDatabase;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// A released pan coasts when it moves faster than this many points per tick.
constexpr double kCoastThreshold = 6;
constexpr int kTicksPerSecond = 24;
// 1/24 s, as whole milliseconds.
constexpr int kCoastTickMs = 42;
// The finger spread a wheel zoom starts from, and the zoom of one wheel notch.
constexpr double kWheelSpread = 100;
constexpr double kWheelNotchZoom = 1.25;

struct Pair {
    QColor low, high;
};

// The low and high colours of the numeric modes 4 to 24.
Pair scalePair(int mode)
{
    if (mode == 4)
        return {{255, 255, 89}, {190, 0, 0}};
    if (mode == 5)
        return {{0, 154, 0}, {255, 255, 0}};
    if (mode == 6)
        return {{255, 255, 0}, {1, 134, 255}};
    if (mode == 7)
        return {{95, 255, 51}, {134, 61, 255}};
    if (mode <= 11)
        return {{255, 255, 255}, {66, 103, 0}};
    if (mode <= 14)
        return {{255, 204, 239}, {0, 136, 101}};
    if (mode <= 17)
        return {{184, 255, 220}, {119, 0, 172}};
    if (mode <= 19)
        return {{250, 221, 255}, {103, 103, 0}};
    if (mode <= 21)
        return {{255, 255, 255}, {0, 137, 0}};
    return {{255, 255, 255}, {255, 19, 0}};
}

// The column whose values colour and label a mode (-1: the ionization energies).
int modeColumn(int mode)
{
    switch (mode) {
    case 0: return DB::ColNumber;
    case 1:
    case 2: return DB::ColMelt;
    case 3: return DB::ColBoil;
    case 4: return DB::ColElectronegativity;
    case 5: return DB::ColElectronAffinity;
    case 6: return DB::ColValence;
    case 7: return -1;
    case 18: return DB::ColDensity;
    case 19: return DB::ColLiquidDensity;
    default: break;
    }
    // The radii, hardnesses and moduli from column 10 on; 20 to 25 are their own columns.
    return mode >= 8 && mode <= 17 ? mode + 2 : mode;
}

bool numericMode(int mode) { return mode >= 4 && mode <= 24; }

QColor grey(double level) { return QColor::fromRgbF(static_cast<float>(level), static_cast<float>(level), static_cast<float>(level)); }

const QColor kUnknownState(102, 119, 101);

// The grid, landscape: 0 for an empty place.
constexpr std::array<std::array<unsigned char, 18>, 9> kGrid = [] {
    std::array<std::array<unsigned char, 18>, 9> g{};
    g[0][0] = 1;
    g[0][17] = 2;
    for (int r = 1; r <= 2; ++r) {
        const int base = r == 1 ? 3 : 11;
        g[r][0] = static_cast<unsigned char>(base);
        g[r][1] = static_cast<unsigned char>(base + 1);
        for (int c = 12; c < 18; ++c)
            g[r][c] = static_cast<unsigned char>(base + 2 + c - 12);
    }
    for (int c = 0; c < 18; ++c) {
        g[3][c] = static_cast<unsigned char>(19 + c);
        g[4][c] = static_cast<unsigned char>(37 + c);
    }
    for (int r = 5; r <= 6; ++r) {
        const int base = r == 5 ? 55 : 87;
        g[r][0] = static_cast<unsigned char>(base);
        g[r][1] = static_cast<unsigned char>(base + 1);
        for (int c = 3; c < 18; ++c)
            g[r][c] = static_cast<unsigned char>((r == 5 ? 72 : 104) + c - 3);
    }
    for (int c = 3; c < 18; ++c) {
        g[7][c] = static_cast<unsigned char>(57 + c - 3);
        g[8][c] = static_cast<unsigned char>(89 + c - 3);
    }
    return g;
}();

} // namespace

PeriodicTableView::PeriodicTableView(QWidget* parent)
    : QWidget(parent), db_(ElementDatabase::elementDatabase()), numberFont_(FontMap::shared().font("Helvetica", 10)),
      textFont_(FontMap::shared().font("Helvetica", 11)), boldFont_(FontMap::shared().font("Helvetica-Bold", 12))
{
    for (int e = 1; e <= db_.count(); ++e) {
        const DB::Cell series = db_.col(DB::ColSeries, e);
        const std::string* seriesName = std::get_if<std::string>(&series);
        Texts t{QString::fromStdString(db_.symbol(e)), QString::fromStdString(db_.name(e)),
            seriesName ? QString::fromStdString(*seriesName) : QString(), QString::fromStdString(db_.orbitals(e)), {}};
        for (const std::string& shell : db_.electronShell(e))
            t.shells << QString::fromStdString(shell);
        texts_.push_back(std::move(t));
    }
    setAttribute(Qt::WA_OpaquePaintEvent);
    timer_.setInterval(kCoastTickMs);
    connect(&timer_, &QTimer::timeout, this, [this] { coast(); });
    grabGesture(Qt::PinchGesture);
    takeValues();
    adjustCellSize();
}

PeriodicTableView::~PeriodicTableView() { timer_.stop(); }

int PeriodicTableView::elementAt(int row, int column)
{
    if (row < 0 || row >= kRows || column < 0 || column >= kColumns)
        return 0;
    return kGrid[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

// ---- Modes ----

void PeriodicTableView::setDisplayMode(int mode)
{
    mode_ = mode >= 0 && mode < ModeCount ? mode : Series;
    takeValues();
    update();
}

void PeriodicTableView::setTemperature(double kelvin)
{
    temperature_ = kelvin;
    update();
}

void PeriodicTableView::setIonizationLevel(int level)
{
    ionizationLevel_ = std::max(0, level);
    if (mode_ == Ionization)
        takeValues();
    update();
}

void PeriodicTableView::setYear(int year)
{
    year_ = year;
    update();
}

void PeriodicTableView::takeValues()
{
    const int n = db_.count();
    if (mode_ == Ionization) {
        values_ = db_.getIonizations(ionizationLevel_);
    } else {
        const int column = modeColumn(mode_);
        values_.assign(static_cast<std::size_t>(n), kNaN);
        for (int e = 1; e <= n; ++e)
            values_[static_cast<std::size_t>(e - 1)] = db_.doubleValueCol(column, e);
    }
    values_.resize(static_cast<std::size_t>(DB::kMaxElements), kNaN);
    min_ = max_ = 0;
    bool any = false;
    for (int e = 1; e <= n; ++e) {
        const double v = value(e);
        if (std::isnan(v))
            continue;
        min_ = any ? std::min(min_, v) : v;
        max_ = any ? std::max(max_, v) : v;
        any = true;
    }
    if (mode_ == FusionHeat)
        max_ = 20;
    if (mode_ == VickersHardness || mode_ == SpecificHeat)
        max_ = 5000;
}

QColor PeriodicTableView::scaleColor(int mode, double v, double min, double max)
{
    const Pair pair = scalePair(mode);
    // A column whose known values are all equal has no scale: everything takes the low end.
    const double f = max - min == 0 ? 0 : (v - min) / (max - min);
    const auto channel = [f](int low, int high) { return static_cast<int>(std::trunc(low + (high - low) * f)); };
    return QColor(channel(pair.low.red(), pair.high.red()), channel(pair.low.green(), pair.high.green()),
        channel(pair.low.blue(), pair.high.blue()));
}

QColor PeriodicTableView::seriesColor(int series)
{
    static const QColor kSeries[] = {{255, 171, 0}, {245, 244, 0}, {78, 205, 134}, {0, 239, 0}, {0, 221, 187},
        {94, 169, 255}, {233, 153, 152}, {152, 187, 170}, {255, 170, 133}, {222, 169, 205}};
    return series >= 0 && series < 10 ? kSeries[series] : kSeries[0];
}

QColor PeriodicTableView::cellColor(int element) const
{
    const double t = temperature_;
    switch (mode_) {
    case State: {
        const double melt = db_.meltPoint(element), boil = db_.boilPoint(element);
        if (std::isnan(melt))
            return kUnknownState;
        if (melt > t)
            return grey(0.2);
        if (std::isnan(boil))
            return kUnknownState;
        return boil <= t ? QColor(255, 0, 0) : QColor(0, 0, 255);
    }
    case MeltingPoint:
    case BoilingPoint: {
        const double v = value(element);
        if (std::isnan(v))
            return {200, 200, 200};
        return v <= t ? QColor(126, 126, 255) : QColor(255, 126, 126);
    }
    case Discovered:
        return db_.intValueCol(DB::ColDiscovered, element) > year_ ? QColor(Qt::white) : seriesColor(db_.series(element));
    default: break;
    }
    if (!numericMode(mode_))
        return seriesColor(db_.series(element));
    double v = value(element);
    if (v > max_)
        v = max_;
    if (mode_ == Ionization && v == 0)
        return Qt::white;
    if (std::isnan(v))
        return (mode_ >= 8 && mode_ <= 11) || mode_ >= 20 ? grey(0.7) : QColor(Qt::white);
    return scaleColor(mode_, v, min_, max_);
}

QColor PeriodicTableView::textColor(int element) const
{
    if (mode_ == State)
        return Qt::white;
    if (mode_ == MeltingPoint || mode_ == BoilingPoint) {
        // A gas at the temperature reads red.
        const double melt = db_.meltPoint(element), boil = db_.boilPoint(element);
        if (!std::isnan(melt) && !std::isnan(boil) && melt <= temperature_ && boil <= temperature_)
            return Qt::red;
    }
    return Qt::black;
}

QString PeriodicTableView::formatFloat(double value, int decimals)
{
    QString text = QString::fromStdString(NumberFormatter::printText(value, std::chars_format::fixed, std::clamp(decimals, 0, 10)));
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text;
}

QString PeriodicTableView::valueText(int element) const
{
    if (mode_ == Series)
        return formatFloat(db_.mass(element));
    if (mode_ == State) {
        const double melt = db_.meltPoint(element), boil = db_.boilPoint(element);
        if (std::isnan(melt))
            return QStringLiteral("?");
        if (melt > temperature_)
            return QStringLiteral("solid");
        if (std::isnan(boil))
            return QStringLiteral("?");
        return boil <= temperature_ ? QStringLiteral("gas") : QStringLiteral("liquid");
    }
    const double v = value(element);
    if (mode_ == Ionization)
        return v == 0 || std::isnan(v) ? QString() : formatFloat(v);
    return std::isnan(v) ? QStringLiteral("?") : formatFloat(v);
}

double PeriodicTableView::shownNumber(int element) const
{
    if (mode_ == Series)
        return db_.mass(element);
    const double v = value(element);
    return mode_ == State || (mode_ == Ionization && v == 0) ? kNaN : v;
}

QString PeriodicTableView::shownValue(int element) const
{
    const QString text = valueText(element);
    const QFontMetricsF metrics(textFont_);
    // The room drawCell gives a line: the painted cell less a point each side.
    const double room = cellSize_.width() * s_ - 4;
    const double number = shownNumber(element);
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    if (metrics.horizontalAdvance(text) <= room || std::isnan(number) || point < 0)
        return text;
    for (auto decimals = static_cast<int>(text.size() - point - 2); decimals > 0; --decimals) {
        const QString shorter = formatFloat(number, decimals);
        if (metrics.horizontalAdvance(shorter) <= room)
            return shorter;
    }
    return formatFloat(number, 0);
}

// ---- Geometry ----

void PeriodicTableView::adjustCellSize()
{
    const double w = width(), h = height();
    if (portrait())
        cellSize_ = QSizeF((w - kHeaderWidth - kGap) / 9, (h - kHeaderHeight) / 18);
    else
        cellSize_ = QSizeF((w - kHeaderWidth) / 18, (h - kHeaderHeight - kGap) / 9);
    const double cw = std::max(cellSize_.width(), 1.0), ch = std::max(cellSize_.height(), 1.0);
    maxScale_ = std::max({120 / cw, 80 / ch, 1.0});
    if (s_ > maxScale_) {
        s_ = maxScale_;
        clampTranslation();
    }
}

void PeriodicTableView::clampTranslation()
{
    const double w = width(), h = height();
    tx_ = std::clamp(tx_, std::min(0.0, w - w * s_), 0.0);
    ty_ = std::clamp(ty_, std::min(0.0, h - h * s_), 0.0);
}

QRectF PeriodicTableView::cellRect(int row, int column) const
{
    const double cw = cellSize_.width() * s_, ch = cellSize_.height() * s_;
    const double gap = row >= 7 ? kGap : 0;
    if (portrait())
        return {tx_ + kHeaderWidth + row * cw + gap, ty_ + kHeaderHeight + (17 - column) * ch, cw - 2, ch - 2};
    return {tx_ + kHeaderWidth + column * cw, ty_ + kHeaderHeight + row * ch + gap, cw - 2, ch - 2};
}

bool PeriodicTableView::placeAt(QPointF at, int& row, int& column) const
{
    const double cw = cellSize_.width() * s_, ch = cellSize_.height() * s_;
    if (cw <= 0 || ch <= 0)
        return false;
    // Across the grid's rows (down in landscape, along in portrait) the f-block lies past
    // the gap: a point in the gap is on no place.
    double across = portrait() ? at.x() - tx_ - kHeaderWidth : at.y() - ty_ - kHeaderHeight;
    const double step = portrait() ? cw : ch;
    if (across >= 7 * step) {
        if (across < 7 * step + kGap)
            return false;
        across -= kGap;
    }
    const double along = portrait() ? at.y() - ty_ - kHeaderHeight : at.x() - tx_ - kHeaderWidth;
    const double alongStep = portrait() ? ch : cw;
    if (across < 0 || along < 0)
        return false;
    const int r = static_cast<int>(across / step);
    const int k = static_cast<int>(along / alongStep);
    const int c = portrait() ? 17 - k : k;
    if (r >= kRows || c < 0 || c >= kColumns || k >= kColumns)
        return false;
    row = r;
    column = c;
    return true;
}

// ---- Gestures ----

void PeriodicTableView::pan(Gesture state, QPointF translation, QPointF velocity)
{
    stopCoasting();
    if (state == Gesture::Began) {
        basePoint_ = QPointF(tx_, ty_);
    } else if (state == Gesture::Changed) {
        tx_ = basePoint_.x() + translation.x();
        ty_ = basePoint_.y() + translation.y();
        clampTranslation();
    } else if (state == Gesture::Ended) {
        velocity_ = velocity / kTicksPerSecond;
        if (std::fabs(velocity_.x()) + std::fabs(velocity_.y()) > kCoastThreshold) {
            coastT_ = QPointF(tx_, ty_);
            timer_.start();
        }
    }
    update();
}

void PeriodicTableView::coast()
{
    coastT_ += velocity_;
    tx_ = VQRender::halfGrid(coastT_.x());
    ty_ = VQRender::halfGrid(coastT_.y());
    clampTranslation();
    velocity_ /= 1.1;
    if (std::fabs(velocity_.x()) < 0.25 && std::fabs(velocity_.y()) < 0.25)
        stopCoasting();
    update();
}

void PeriodicTableView::pinch(Gesture state, QPointF finger0, QPointF finger1, QPointF centre, int touches)
{
    stopCoasting();
    if (touches < 2)
        return;
    const QPointF d = finger1 - finger0;
    const double distance = static_cast<float>(std::hypot(d.x(), d.y()));
    if (state == Gesture::Began) {
        baseScale_ = distance;
        startScale_ = s_;
        zoomCentreGraph_ = QPointF((centre.x() - tx_) / s_, (centre.y() - ty_) / s_);
    } else if (state == Gesture::Changed && baseScale_ > 0) {
        s_ = std::clamp(distance / baseScale_ * startScale_, 1.0, maxScale_);
        const QPointF to = centre - zoomCentreGraph_ * s_;
        basePoint_ += to - QPointF(tx_, ty_);
        tx_ = to.x();
        ty_ = to.y();
    }
    clampTranslation();
    update();
}

void PeriodicTableView::doubleTap()
{
    stopCoasting();
    if (s_ == 1) {
        s_ = maxScale_;
    } else {
        s_ = 1;
        tx_ = ty_ = 0;
    }
    clampTranslation();
    update();
}

void PeriodicTableView::tap(QPointF at)
{
    stopCoasting();
    int row = 0, column = 0;
    if (!placeAt(at, row, column))
        return;
    const int element = elementAt(row, column);
    if (element == 0 || element > db_.count())
        return;
    if (didSelectElement)
        didSelectElement(element, cellRect(row, column));
}

// ---- Drawing ----

void PeriodicTableView::paintEvent(QPaintEvent* event)
{
    adjustCellSize();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QRectF dirty = event->rect();
    painter.fillRect(dirty, Qt::black);
    // Every cell has the same size: one symbol font for them all.
    const double lineHeight = symbolLine(cellSize_.height() * s_ - 2);
    const QFont symbolFont = FontMap::shared().font("Helvetica-Bold", 0.8 * std::max(lineHeight, 1.0));
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c) {
            const int element = elementAt(r, c);
            if (element == 0 || element > db_.count())
                continue;
            const QRectF cell = cellRect(r, c);
            if (cell.intersects(dirty))
                drawCell(painter, element, cell, symbolFont);
        }
    drawBlockLabels(painter);
    drawHeaders(painter);
}

double PeriodicTableView::symbolLine(double h) const
{
    double available = h - 9;
    if (h > 32)
        available -= 11;
    if (h > 70)
        available -= 11;
    if (h > 74)
        available -= mode_ == Series ? 25 : 11;
    return std::min(available, 28.0);
}

void PeriodicTableView::drawCell(QPainter& painter, int element, const QRectF& cell, const QFont& symbolFont) const
{
    const Texts& texts = texts_[static_cast<std::size_t>(element - 1)];
    const double x = cell.x(), y = cell.y(), w = cell.width(), h = cell.height();
    painter.fillRect(cell, cellColor(element));
    // A text wider than the cell (a long name, a symbol) is drawn smaller so that it fits.
    const auto line = [&](double top, double height, const QString& s) {
        const QFont shown = painter.font();
        const double wide = QFontMetricsF(shown).horizontalAdvance(s), room = w - 2;
        if (wide > room && room > 0 && shown.pixelSize() > 0) {
            QFont smaller = shown;
            smaller.setPixelSize(std::max(1, static_cast<int>(std::floor(shown.pixelSize() * room / wide))));
            painter.setFont(smaller);
        }
        painter.drawText(QRectF(x, top, w, height), Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, s);
        painter.setFont(shown);
    };
    painter.setPen(mode_ == State ? QColor(Qt::white) : QColor(Qt::black));
    painter.setFont(numberFont_);
    painter.drawText(QRectF(x + 1, y - 2, w, 14), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, QString::number(element));
    const double lineHeight = symbolLine(h);
    painter.setPen(textColor(element));
    if (lineHeight > 1) {
        painter.setFont(symbolFont);
        line(y + 7, lineHeight, texts.symbol);
    }
    double next = y + 7 + std::max(lineHeight, 0.0);
    painter.setFont(textFont_);
    if (h > 70) {
        line(next, 14, texts.name);
        next += 11;
    }
    if (h > 32)
        line(next, 14, shownValue(element));
    if (h > 74) {
        if (mode_ == Series) {
            line(next + 11, 14, texts.series);
            painter.setPen(Qt::black);
            painter.setFont(boldFont_);
            painter.drawText(QRectF(x + 1, y + h - 15, w, 16), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, texts.orbitals);
        }
        painter.setPen(Qt::black);
        painter.setFont(textFont_);
        double shellY = y;
        for (const QString& shell : texts.shells) {
            painter.drawText(QRectF(x, shellY, w - 2, 14), Qt::AlignRight | Qt::AlignTop | Qt::TextDontClip, shell);
            shellY += 10;
        }
    }
}

void PeriodicTableView::drawBlockLabels(QPainter& painter) const
{
    const double cw = cellSize_.width() * s_;
    const QFontMetricsF metrics(textFont_);
    painter.setFont(textFont_);
    painter.setPen(Qt::white);
    QPen pen(Qt::white, 2);
    const bool turned = portrait();
    for (int k = 0; k < 2; ++k) {
        const QRectF place = cellRect(5 + k, 2);
        const QRectF first = cellRect(7 + k, 3);
        QString label = k == 0 ? QStringLiteral("57-71") : QStringLiteral("89-103");
        if (metrics.horizontalAdvance(label) > cw - 8)
            label = k == 0 ? QStringLiteral("57") : QStringLiteral("89");
        painter.drawText(place, Qt::AlignCenter | Qt::TextDontClip, label);
        const double labelWidth = metrics.horizontalAdvance(label);
        // A bracket from the label to the first cell of its row, turned with the grid.
        QPolygonF path;
        if (!turned) {
            const double bend = first.left() - 4;
            if (k == 0)
                path << QPointF(place.center().x() + labelWidth / 2 + 2, place.center().y()) << QPointF(bend, place.center().y())
                     << QPointF(bend, first.center().y()) << QPointF(first.left(), first.center().y());
            else
                path << QPointF(place.center().x(), place.center().y() + metrics.height() / 2)
                     << QPointF(place.center().x(), first.center().y()) << QPointF(first.left(), first.center().y());
        } else {
            const double bend = first.bottom() + 4;
            if (k == 0)
                path << QPointF(place.center().x(), place.center().y() - metrics.height() / 2 - 2)
                     << QPointF(place.center().x(), bend) << QPointF(first.center().x(), bend)
                     << QPointF(first.center().x(), first.bottom());
            else
                path << QPointF(place.center().x() + labelWidth / 2 + 2, place.center().y())
                     << QPointF(first.center().x(), place.center().y()) << QPointF(first.center().x(), first.bottom());
        }
        for (QPointF& p : path)
            p = QPointF(std::trunc(p.x()), std::trunc(p.y()));
        painter.setPen(pen);
        painter.drawPolyline(path);
        painter.setPen(Qt::white);
    }
}

void PeriodicTableView::drawHeaders(QPainter& painter) const
{
    const QColor band = grey(0.2);
    painter.fillRect(QRectF(0, 0, width(), kHeaderHeight), band);
    painter.fillRect(QRectF(0, 0, kHeaderWidth, height()), band);
    painter.setPen(Qt::white);
    painter.setFont(boldFont_);
    const double cw = cellSize_.width() * s_, ch = cellSize_.height() * s_;
    const int columns = portrait() ? 7 : 18;
    for (int k = 0; k < columns; ++k) {
        const double x = tx_ + kHeaderWidth + k * cw;
        painter.drawText(QRectF(x, 0, cw - 2, kHeaderHeight), Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip,
            QString::number(k + 1));
    }
    const int rows = portrait() ? 18 : 7;
    for (int k = 0; k < rows; ++k) {
        const double y = ty_ + kHeaderHeight + k * ch;
        painter.drawText(QRectF(2, y, kHeaderWidth - 2, ch - 2), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip,
            QString::number(portrait() ? 18 - k : k + 1));
    }
    painter.fillRect(QRectF(0, 0, kHeaderWidth, kHeaderHeight), band);
}

void PeriodicTableView::resizeEvent(QResizeEvent*)
{
    adjustCellSize();
    clampTranslation();
}

// ---- Mouse, wheel and pinch events ----

void PeriodicTableView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    stopCoasting();
    doubleClicked_ = false;
    drag_.press(event->position());
}

void PeriodicTableView::mouseMoveEvent(QMouseEvent* event)
{
    if (!drag_.pressed() || doubleClicked_)
        return;
    const QPointF at = event->position();
    const MouseDrag::Step step = drag_.move(at);
    if (step == MouseDrag::Step::None)
        return;
    if (step == MouseDrag::Step::Began)
        pan(Gesture::Began, drag_.translation(at), QPointF());
    pan(Gesture::Changed, drag_.translation(at), drag_.velocity());
}

void PeriodicTableView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !drag_.pressed())
        return;
    const QPointF at = event->position();
    const bool panned = drag_.panning();
    const QPointF thrown = drag_.release();
    if (panned)
        pan(Gesture::Ended, drag_.translation(at), thrown);
    else if (!doubleClicked_)
        tap(at);
    doubleClicked_ = false;
}

void PeriodicTableView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    drag_.hold();
    doubleClicked_ = true;
    doubleTap();
}

void PeriodicTableView::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        event->ignore();
        return;
    }
    const QPoint delta = event->angleDelta();
    const double notches = (delta.y() != 0 ? delta.y() : delta.x()) / 120.0;
    const QPointF at = event->position();
    const QPointF half(kWheelSpread / 2, 0);
    pinch(Gesture::Began, at - half, at + half, at);
    const QPointF spread = half * std::pow(kWheelNotchZoom, notches);
    pinch(Gesture::Changed, at - spread, at + spread, at);
    pinch(Gesture::Ended, at - spread, at + spread, at);
    event->accept();
}

bool PeriodicTableView::event(QEvent* event)
{
    if (event->type() != QEvent::Gesture)
        return QWidget::event(event);
    auto* gestures = static_cast<QGestureEvent*>(event);
    auto* gesture = static_cast<QPinchGesture*>(gestures->gesture(Qt::PinchGesture));
    if (!gesture)
        return QWidget::event(event);
    const QPointF at = mapFromGlobal(gesture->centerPoint());
    const QPointF half = QPointF(kWheelSpread, 0) * gesture->totalScaleFactor() / 2;
    Gesture state = Gesture::Changed;
    switch (gesture->state()) {
    case Qt::GestureStarted: state = Gesture::Began; break;
    case Qt::GestureFinished: state = Gesture::Ended; break;
    case Qt::GestureCanceled: state = Gesture::Cancelled; break;
    default: break;
    }
    // The gesture's total scale stands for the fingers' spread from a fixed start.
    if (state == Gesture::Began)
        pinch(state, at - QPointF(kWheelSpread / 2, 0), at + QPointF(kWheelSpread / 2, 0), at);
    else
        pinch(state, at - half, at + half, at);
    gestures->accept(gesture);
    return true;
}

} // namespace orvenda
