#pragma once

// A calculator with the real Y= model for the plots drawn from samples, and a measure of
// how much a stroke covers.

#include "GraphTestSupport.h"
#include "app/YEqTestSupport.h"

#include <QImage>

#include <string>

namespace orvenda::testing {

class CurveTest : public ::testing::Test {
protected:
    void define(int token, const std::string& text) { ASSERT_EQ(c.eq->setYEqFunc(token, test::ops(text)), 0); }
    void set(int slot, double value) { calc.locked()->vars[static_cast<std::size_t>(slot)] = value; }
    // How many pixels' worth of paint a column holds (alpha summed, 1 per opaque pixel).
    static double coverage(const QImage& image, int column)
    {
        double sum = 0;
        for (int y = 0; y < image.height(); ++y)
            sum += qAlpha(image.pixel(column, y)) / 255.0;
        return sum;
    }

    test::YEqCalc c;
    Calculator& calc = c.calc;
};

} // namespace orvenda::testing
