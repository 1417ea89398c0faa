#include "core/Calculator.h"

#include "numeric/StatSlots.h"
#include "numeric/VQStatistics.h"

namespace orvenda {

Calculator::Ops Calculator::regressionEquation() const
{
    const auto state = locked();
    return state->statistics ? state->statistics->regEqu : Ops();
}

bool Calculator::syncStatVars(const VQStatistics& s)
{
    const auto hold = lockState();
    State& state = this->state();
    const auto put = [&state](int slot, double value) { state.vars[static_cast<std::size_t>(slot)] = {value, 0.0}; };
    const double values[] = {s.n,     s.Xmean, s.Xsum, s.X2sum, s.stdX, s.popStdX, s.minX,
                             s.maxX,  s.minY,  s.maxY, s.Ymean, s.Ysum, s.Y2sum,   s.stdY,
                             s.popStdY, s.XYsum, s.r,  s.medianX};
    int slot = SlotN;
    for (double v : values)
        put(slot++, v);
    const double coefficients[] = {s.a, s.b, s.c, s.d, s.e};
    for (int i = 0; i < 5; ++i)
        put(SlotA + i, coefficients[i]);
    const VQStatistics::Point points[] = {s.P1, s.P2, s.P3};
    for (int i = 0; i < 3; ++i) {
        put(SlotP1x + i, points[i].x);
        put(SlotP1y + i, points[i].y);
    }
    put(SlotR2, s.r2);
    put(SlotBigR2, s.R2);
    return !s.resid || storeList("RESID", *s.resid);
}

void Calculator::spellFitEquation(VQStatistics& stats) const
{
    stats.regEqu = stats.equationOps(plainFormatter());
}

} // namespace orvenda
