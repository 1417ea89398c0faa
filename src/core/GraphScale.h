#pragma once

namespace orvenda {

// Tick steps of the graph axes for the current scales, and how their labels are written.
// Kept by the graph view between redraws: adjust does nothing while the scales and the
// x-axis mode stay the same.
class GraphScale {
public:
    // Screen points per graph unit, as last given.
    double xScale = 0;
    double yScale = 0;
    double xStep = 0;
    double yStep = 0;
    // 1 when the step's power of ten is at most 5 (labels written plainly).
    int xPlain = 0;
    int yPlain = 0;
    // Decimals a label shows: minus the step's power of ten when negative, else 0.
    int xDecimals = 0;
    int yDecimals = 0;
    // 1 when the x ticks are multiples of π.
    int xAxisMode = 0;

    // Steps of 1, 2 or 5 times a power of ten spanning about 120 points; with x-axis mode 1
    // the x step is π times a power of two. An axis whose scale is 0 or not finite keeps
    // its step.
    void adjust(double newXScale, double newYScale, int newXAxisMode);
};

} // namespace orvenda
