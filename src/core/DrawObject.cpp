#include "core/DrawObject.h"

#include <cmath>

namespace orvenda {

DrawObject::~DrawObject() = default;

std::shared_ptr<DrawDistribution> DrawDistribution::drawDistributionType(int type, double l,
    double u, double area, double sigma, double mu, double dfNumer, double dfDenom)
{
    auto record = std::make_shared<DrawDistribution>();
    record->lowerBound = l;
    record->upperBound = u;
    record->area = area;
    record->sigma = sigma;
    record->mu = mu;
    record->dfNumer = dfNumer;
    record->dfDenom = dfDenom;
    record->setType(type);
    return record;
}

void DrawDistribution::setType(int type)
{
    type_ = type;
    vars.clear();
    auto slider = [this](const char* name, int varNum, double value, double min = -100, double step = 0.1) {
        vars.push_back(YEqVarInfo{varNum, min, 100, step, value, name});
    };
    switch (type) {
    case kNormal:
        slider("L", kLowerVar, lowerBound);
        slider("U", kUpperVar, upperBound);
        slider("μ", kMuVar, mu);
        slider("σ", kSigmaVar, sigma, 1e-5);
        break;
    case kT:
        slider("L", kLowerVar, lowerBound);
        slider("U", kUpperVar, upperBound);
        slider("df", kDfNumerVar, dfNumer, 0.0001);
        break;
    case kChiSquare:
        slider("L", kLowerVar, lowerBound, 0);
        slider("U", kUpperVar, upperBound, 0);
        slider("df", kDfNumerVar, dfNumer, 1, 1);
        break;
    case kF:
        slider("L", kLowerVar, lowerBound, 0);
        slider("U", kUpperVar, upperBound, 0);
        slider("dfn", kDfNumerVar, dfNumer, 1, 1);
        slider("dfd", kDfDenomVar, dfDenom, 1, 1);
        break;
    default:
        break;
    }
}

bool DrawDistribution::isFinite() const
{
    for (double x : {lowerBound, upperBound, area, mu, sigma, dfNumer, dfDenom})
        if (!std::isfinite(x))
            return false;
    return true;
}

} // namespace orvenda
