#include "core/DrawObject.h"

namespace orvenda {

DrawObject::~DrawObject() = default;

std::shared_ptr<DrawDistribution> DrawDistribution::drawDistributionType(int type, double l,
    double u, double area, double sigma, double mu, double dfNumer, double dfDenom)
{
    auto record = std::make_shared<DrawDistribution>();
    record->type = type;
    record->lower = l;
    record->upper = u;
    record->area = area;
    record->sigma = sigma;
    record->mu = mu;
    record->dfNumer = dfNumer;
    record->dfDenom = dfDenom;
    return record;
}

} // namespace orvenda
