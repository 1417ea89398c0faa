#pragma once

#include "graph/SampledCurve.h"

namespace orvenda {

// One polar equation r(θ) of the Y= editor (r1..r6), sampled over θmin..θmax by θstep as
// points (r·cos θ, r·sin θ) with θ kept in the angle unit as each sample's t. The trace
// does not snap.
class PlotPolar : public SampledCurve {
public:
    explicit PlotPolar(Calculator& calc);

    double XAtT(double theta) override;
    double YAtT(double theta) override;
    // The parameter is the angle itself.
    double ThetaAtT(double theta) override { return theta; }
    double slopeAtT(double theta) override;
    int errorAtT(double theta) override;
    double dRdThetaAtT(double theta);

    // The equation and its sliders; the coordinates ("θ:" is the trace's own θ); dr/dθ in
    // polar coordinate format, else dy/dx.
    std::optional<std::vector<std::string>> infoLines() override;
    std::optional<std::string> label() override;
    std::optional<std::map<std::string, Ops>> equationOps() override;

protected:
    void takeSamples() override;

private:
    // θ in radians: converted from degrees in Degree mode.
    double radians(double theta) const;
};

} // namespace orvenda
