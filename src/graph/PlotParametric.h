#pragma once

#include "graph/SampledCurve.h"

namespace orvenda {

// One parametric pair X(T), Y(T) of the Y= editor: eqNum is the X equation's token (even,
// X1T..X6T), the Y equation the next one. Sampled over Tmin..Tmax by Tstep (600 to 2000
// samples). The trace snaps to zeros of y(T) and to turning points of dy/dx.
class PlotParametric : public SampledCurve {
public:
    explicit PlotParametric(Calculator& calc);

    double XAtT(double t) override;
    double YAtT(double t) override;
    double slopeAtT(double t) override;
    int errorAtT(double t) override;
    double dxdtAtT(double t);
    double dydtAtT(double t);

    // A zero of y(T) bracketed within t ± range (scanned in 60 steps, then bisected):
    // featureLock 1 and the zero when |y| < 0.001 there; else t.
    double findZero(double t, double range);
    // A sign change of dy/dx between t − range and t + range, bisected: featureLock 5 when y
    // is not finite there, 1 when y is 0, else 3 (minimum) or 4 (maximum); else t.
    double findMinMax(double t, double range);
    // The point at t, snapped to a zero, else a turning point, within range (a distance in
    // graph units, turned into a span of T).
    PlotPoint PtAtT(double t, double range, const PlotList& other) override;

    // "x=", "y=" and the sliders; "t:" and the coordinates; dy/dx, dx/dt and dy/dt.
    std::optional<std::vector<std::string>> infoLines() override;
    std::optional<std::string> label() override;
    std::optional<std::map<std::string, Ops>> equationOps() override;

protected:
    void takeSamples() override;

private:
    int xToken() const { return eqNum & ~1; }
    int yToken() const { return eqNum | 1; }
    // The span of T whose ends lie about range away from the point at t.
    double spanForDistance(double t, double range);
};

} // namespace orvenda
