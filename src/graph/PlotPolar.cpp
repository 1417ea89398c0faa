#include "graph/PlotPolar.h"

#include "core/Calculator.h"
#include "core/services/YEqManager.h"
#include "language/VariableSlots.h"

#include <cmath>
#include <numbers>

namespace orvenda {

PlotPolar::PlotPolar(Calculator& c) : SampledCurve(c, PlotObject::PlotPolar)
{
    varNum = kSlotTheta;
}

void PlotPolar::takeSamples()
{
    sampleWindow(kSlotThetaMin, kSlotThetaMax, kSlotThetaStep, &GraphSampler::plotPolar);
}

double PlotPolar::radians(double theta) const
{
    return calc.angleFormat() == 0 ? theta * std::numbers::pi / 180 : theta;
}

double PlotPolar::XAtT(double theta)
{
    return sampler_.function(eqNum, kSlotTheta, theta) * std::cos(radians(theta));
}

double PlotPolar::YAtT(double theta)
{
    return sampler_.function(eqNum, kSlotTheta, theta) * std::sin(radians(theta));
}

double PlotPolar::slopeAtT(double theta)
{
    return sampler_.dydxAt(theta, eqNum, kDerivativeStep);
}

int PlotPolar::errorAtT(double theta)
{
    if (const int error = sampler_.errorNear(eqNum, kSlotTheta, theta, kDerivativeStep))
        return error;
    return sampler_.slopeErrorAt(theta, eqNum, kDerivativeStep);
}

double PlotPolar::dRdThetaAtT(double theta)
{
    return sampler_.drdThetaAt(theta, eqNum, kDerivativeStep);
}

std::optional<std::vector<std::string>> PlotPolar::infoLines()
{
    const auto hold = calc.lockState();
    std::vector<std::string> lines;
    const PlotPoint p = calc.pTrackPoint;
    const bool polar = calc.state().graphCoordFormat == 1;
    if (calc.state().drawExpr && calc.yEqManager) {
        lines.push_back(calc.yEqManager->eqString(eqNum));
        addVariableLines(lines);
    }
    if (calc.state().drawCoord) {
        if (polar) {
            lines.push_back("r:" + calc.formatReal(std::hypot(p.x, p.y)));
            lines.push_back("\xCE\xB8:" + calc.formatReal(p.t));
        } else {
            lines.push_back("x:" + calc.formatReal(p.x));
            lines.push_back("y:" + calc.formatReal(p.y));
        }
    }
    if (calc.state().drawDyDx)
        addSlopeLine(lines, p.t);
    return lines;
}

std::optional<std::string> PlotPolar::label()
{
    if (!calc.yEqManager)
        return std::nullopt;
    return calc.yEqManager->eqString(eqNum);
}

std::optional<std::map<std::string, PlotObject::Ops>> PlotPolar::equationOps()
{
    const auto hold = calc.lockState();
    if (!calc.state().drawExpr || !calc.yEqManager)
        return std::nullopt;
    return std::map<std::string, Ops>{{"r=", calc.yEqManager->plotForFunction(eqNum).value_or(Ops{})}};
}

} // namespace orvenda
