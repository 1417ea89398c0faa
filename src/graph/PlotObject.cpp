#include "graph/PlotObject.h"

#include "core/Calculator.h"
#include "core/DrawObject.h"
#include "eval/Parser.h"

#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <cmath>
#include <numbers>

namespace orvenda {

namespace {

constexpr int kInvalid = 19;
constexpr int kPolarGraphMode = 2;

} // namespace

PlotObject::PlotObject(Calculator& c) : calc(c) {}

PlotObject::~PlotObject() = default;

void PlotObject::drawRect(const QRectF&, QPainter&, const GraphTransform&, int) {}

void PlotObject::drawPtAt(const QPointF& at, QPainter& context)
{
    if (!GraphGeometry::pointIsFinite(at.x(), at.y()))
        return;
    QPen pen = context.pen();
    pen.setColor(colorAt(1));
    context.setPen(pen);
    context.setBrush(Qt::NoBrush);
    context.drawEllipse(QRectF(at.x() - 3, at.y() - 3, 6, 6));
}

void PlotObject::setSelected(bool selected)
{
    if (drawFunc)
        drawFunc->selected = selected;
    selected_ = selected;
}

bool PlotObject::hitPoint(PlotPoint&, const GraphTransform&, double)
{
    return false;
}

double PlotObject::YAtX(double)
{
    return 0.0;
}

double PlotObject::YAtX(double x, double)
{
    return YAtX(x);
}

double PlotObject::YAtT(double)
{
    return 0.0;
}

double PlotObject::XAtT(double)
{
    return 0.0;
}

double PlotObject::slopeAtT(double)
{
    return 0.0;
}

int PlotObject::errorAtT(double)
{
    return 0;
}

double PlotObject::slopeAtPoint(const PlotPoint&)
{
    return 0.0;
}

double PlotObject::RAtT(double t)
{
    const double x = XAtT(t);
    return std::hypot(x, YAtT(t));
}

double PlotObject::ThetaAtT(double t)
{
    const double x = XAtT(t);
    const double radians = std::atan2(YAtT(t), x);
    const auto hold = calc.lockState();
    return calc.parser().fromRadians(radians);
}

PlotPoint PlotObject::PtAtT(double t, double, const PlotList&)
{
    calc.setFeatureLock(0);
    const double x = XAtT(t);
    return {x, YAtT(t), t};
}

PlotPoint PlotObject::PtAtPt(const PlotPoint& pt, const QSizeF&, const PlotList&)
{
    calc.setFeatureLock(0);
    return pt;
}

double PlotObject::integrateLower(double, double, double, int& error)
{
    error = kInvalid;
    return 0.0;
}

double PlotObject::zeroLower(double, double, double, int& error)
{
    error = kInvalid;
    return 0.0;
}

double PlotObject::minLower(double, double, double, int& error)
{
    error = kInvalid;
    return 0.0;
}

double PlotObject::maxLower(double, double, double, int& error)
{
    error = kInvalid;
    return 0.0;
}

Calculator::Rect PlotObject::boundsInRect(const QRectF&, const GraphTransform&)
{
    return {};
}

Calculator::Bounds PlotObject::statBounds(const GraphTransform&)
{
    return {0, 0, 0, 0};
}

std::optional<std::vector<std::string>> PlotObject::infoLines()
{
    return std::nullopt;
}

std::optional<std::map<std::string, PlotObject::Ops>> PlotObject::equationOps()
{
    return std::nullopt;
}

std::optional<std::string> PlotObject::label()
{
    return std::nullopt;
}

void PlotObject::setVar(int slot, double min, double max, double value, double step)
{
    for (YEqVarInfo& info : varInfoArray) {
        if (info.varNum != slot)
            continue;
        info.min = min;
        info.max = max;
        info.value = value;
        info.step = step;
        calc.setVar(slot, {{value, 0.0}});
        return;
    }
}

QColor PlotObject::colorAt(double alpha) const
{
    return QColor::fromRgbF(float(color.r()), float(color.g()), float(color.b()), float(alpha));
}

void PlotObject::addCoordinateLines(std::vector<std::string>& lines, const char* xLabel, const char* yLabel) const
{
    const PlotPoint& p = calc.pTrackPoint;
    if (!GraphGeometry::pointIsFinite(p.x, p.y))
        return;
    if (calc.locked()->graphCoordFormat != 0) {
        double theta = calc.graphMode() == kPolarGraphMode ? p.t : std::atan2(p.y, p.x);
        if (calc.angleFormat() == 0)
            theta *= 180 / std::numbers::pi;
        lines.push_back("r:" + calc.formatReal(std::hypot(p.x, p.y)));
        lines.push_back("\xCE\xB8:" + calc.formatReal(theta));
        return;
    }
    lines.push_back(xLabel + calc.formatReal(p.x));
    lines.push_back(yLabel + calc.formatReal(p.y));
}

std::vector<std::string> PlotObject::traceLines()
{
    std::vector<std::string> lines;
    if (calc.locked()->drawExpr)
        lines.push_back(label().value_or(std::string()));
    if (calc.locked()->drawCoord)
        addCoordinateLines(lines);
    if (calc.locked()->drawDyDx) {
        const bool extremum = calc.featureLock == FeatureMinimum || calc.featureLock == FeatureMaximum;
        lines.push_back("dy/dx:" + calc.formatReal(extremum ? 0 : calc.pTrackSlope));
    }
    return lines;
}

} // namespace orvenda
