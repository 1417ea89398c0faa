#pragma once

#include <span>

namespace orvenda {

// Solves a triangle from three of its angles and sides, angle i facing side i.
//
// The buffer holds ∠A, ∠B, ∠C (radians), a, b, c at positions 0 to 5, a 0 marking an
// unknown. Exactly three known values of a solvable kind (three sides, two sides and the
// angle between them or one facing one of them, one side and two angles) are solved:
// positions 0 to 5 receive the triangle and, when two triangles fit (two sides and an
// acute angle facing the shorter one), positions 6 to 11 the second.
class TriangleSolver {
public:
    static constexpr int kBufferSize = 12;

    // One per thread, so a running program and the geometry screen never share the last
    // solve.
    static TriangleSolver& triangleSolver();

    // 0 solved; 68 two triangles; 39 fewer than three known values; 40 more than three;
    // 27 three values that fix no triangle (three angles); 67 no triangle has them.
    // A failure leaves the buffer as it was.
    int triangleSolve(std::span<double, kBufferSize> buffer);
    // 2 when the last solve found two triangles, else 0.
    int triangleTwoSolution() const { return twoSolution_; }

private:
    int twoSolution_ = 0;
};

} // namespace orvenda
