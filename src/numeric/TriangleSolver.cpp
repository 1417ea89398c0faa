#include "numeric/TriangleSolver.h"

#include "language/ErrorNumbers.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace orvenda {

namespace {

constexpr double kPi = std::numbers::pi;

// Angles 0..2, sides 3..5; angle i faces side i.
struct Triangle {
    std::array<double, 3> angle{};
    std::array<double, 3> side{};

    // Every angle and side a positive finite number: a real triangle.
    bool valid() const
    {
        for (int i = 0; i < 3; ++i)
            if (!(std::isfinite(angle[i]) && angle[i] > 0 && std::isfinite(side[i]) && side[i] > 0))
                return false;
        return true;
    }
};

int third(int i, int j)
{
    return 3 - i - j;
}

// Three sides.
void sss(Triangle& t)
{
    const auto& s = t.side;
    int big = 2;
    if (s[0] > s[2] || s[1] > s[2])
        big = s[0] > s[1] ? 0 : 1;
    const int i = (big + 1) % 3;
    const int j = (big + 2) % 3;
    t.angle[big] = std::acos((s[i] * s[i] + s[j] * s[j] - s[big] * s[big]) / (2 * s[i] * s[j]));
    t.angle[i] = std::asin(s[i] * std::sin(t.angle[big]) / s[big]);
    t.angle[j] = std::asin(s[j] * std::sin(t.angle[big]) / s[big]);
}

// Sides i and j and the angle between them (facing side k).
void sas(Triangle& t, int i, int j)
{
    const int k = third(i, j);
    const int shorter = t.side[i] <= t.side[j] ? i : j;
    const int longer = shorter == i ? j : i;
    const double theta = t.angle[k];
    const double lo = t.side[shorter];
    const double hi = t.side[longer];
    double rest = std::sqrt(lo * lo + hi * hi - 2 * lo * hi * std::cos(theta));
    if (rest == 0)
        rest = 1e-15;
    t.side[k] = rest;
    // The angle facing the shorter side is acute, so asin finds it.
    t.angle[shorter] = std::asin(lo * std::sin(theta) / rest);
    t.angle[longer] = kPi - (t.angle[shorter] + theta);
}

// Side i, the angle facing it and angle j.
bool aas(Triangle& t, int i, int j)
{
    const int k = third(i, j);
    const double sinAlpha = std::sin(t.angle[i]);
    if (sinAlpha == 0)
        return false;
    t.angle[k] = kPi - (t.angle[i] + t.angle[j]);
    t.side[k] = t.side[i] * std::sin(t.angle[k]) / sinAlpha;
    t.side[j] = t.side[i] * std::sin(t.angle[j]) / sinAlpha;
    return true;
}

// Side i between angles j and k.
bool asa(Triangle& t, int i)
{
    const int j = (i + 1) % 3;
    const int k = (i + 2) % 3;
    t.angle[i] = kPi - (t.angle[j] + t.angle[k]);
    const double sinGamma = std::sin(t.angle[i]);
    if (sinGamma == 0)
        return false;
    t.side[j] = t.side[i] * std::sin(t.angle[j]) / sinGamma;
    t.side[k] = t.side[i] * std::sin(t.angle[k]) / sinGamma;
    return true;
}

// Angle i, the side facing it and side j. True when a second triangle fits too.
bool ssa(Triangle& t, Triangle& second, int i, int j)
{
    const int k = third(i, j);
    const double alpha = t.angle[i];
    const double sinAlpha = std::sin(alpha);
    t.angle[j] = std::asin(sinAlpha * t.side[j] / t.side[i]);
    t.angle[k] = kPi - (t.angle[j] + alpha);
    t.side[k] = std::sin(t.angle[k]) * t.side[i] / sinAlpha;
    if (!(alpha < kPi / 2 && t.side[i] < t.side[j]))
        return false;
    second = t;
    second.angle[j] = kPi - t.angle[j];
    second.angle[k] = kPi - (second.angle[j] + alpha);
    second.side[k] = std::sin(second.angle[k]) * t.side[i] / sinAlpha;
    return true;
}

} // namespace

TriangleSolver& TriangleSolver::triangleSolver()
{
    thread_local TriangleSolver solver;
    return solver;
}

int TriangleSolver::triangleSolve(std::span<double, kBufferSize> buffer)
{
    twoSolution_ = 0;
    Triangle t;
    int known = 0;
    int sides = 0;
    for (int i = 0; i < 3; ++i) {
        t.angle[i] = buffer[i];
        t.side[i] = buffer[i + 3];
        known += (t.angle[i] != 0) + (t.side[i] != 0);
        sides += t.side[i] != 0;
    }
    if (known < 3)
        return ErrMissingArgument;
    if (known > 3)
        return ErrTooManyArguments;

    Triangle second;
    bool two = false;
    bool solved = true;
    if (sides == 3) {
        sss(t);
    } else if (sides == 2) {
        const int missing = t.side[0] == 0 ? 0 : t.side[1] == 0 ? 1 : 2;
        const int angle = t.angle[0] != 0 ? 0 : t.angle[1] != 0 ? 1 : 2;
        if (angle == missing)
            sas(t, (missing + 1) % 3, (missing + 2) % 3);
        else
            two = ssa(t, second, angle, third(angle, missing));
    } else if (sides == 1) {
        const int side = t.side[0] != 0 ? 0 : t.side[1] != 0 ? 1 : 2;
        if (t.angle[side] != 0) {
            const int other = t.angle[(side + 1) % 3] != 0 ? (side + 1) % 3 : (side + 2) % 3;
            solved = aas(t, side, other);
        } else {
            solved = asa(t, side);
        }
    } else {
        return ErrArgument;
    }
    // A negative angle or side, or none at all, is no triangle.
    if (!solved || !t.valid() || (two && !second.valid()))
        return ErrGeomNoSolution;

    if (!two)
        second = t;
    for (int i = 0; i < 3; ++i) {
        buffer[i] = t.angle[i];
        buffer[i + 3] = t.side[i];
        buffer[i + 6] = second.angle[i];
        buffer[i + 9] = second.side[i];
    }
    if (!two)
        return ErrNone;
    twoSolution_ = 2;
    return ErrGeom2Triangle;
}

} // namespace orvenda
