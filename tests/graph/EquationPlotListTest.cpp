#include "graph/GraphView.h"

#include "CurveTestSupport.h"
#include "graph/PlotSequence.h"

#include <gtest/gtest.h>

// The plots the graph makes from the Y= equations in the parametric, polar and sequence
// modes.

namespace orvenda {
namespace {

using test::kR1;
using test::kU;
using test::kW;
using test::kX1T;
using test::kX2T;

class EquationPlotListTest : public testing::CurveTest {
protected:
    struct Made {
        int type, eqNum, sequenceType;
        bool selected;
        bool operator==(const Made&) const = default;
    };
    std::vector<Made> build(int mode, int format = 0)
    {
        calc.setGraphMode(mode);
        calc.locked()->graphSequenceFormat = format;
        view.updateDisplay();
        std::vector<Made> made;
        for (const auto& plot : view.plotObjects()) {
            const auto* sequence = dynamic_cast<PlotSequence*>(plot.get());
            made.push_back({plot->plotType, plot->eqNum, sequence ? sequence->sequenceType() : -1, plot->selected()});
        }
        return made;
    }

    GraphView view{calc};
};

TEST_F(EquationPlotListTest, OnePlotPerEquationOnInTheGraphMode)
{
    for (int token : {int(kX1T), kX1T + 1, int(kX2T), kX2T + 1})
        define(token, "T");
    define(kR1, "2");
    define(kR1 + 2, "θ");
    define(kU, "η");
    define(kW, "2η");
    // A pair with one half off is not drawn.
    c.eq->setFunction(kX2T + 1, false);
    c.eq->setStyle(4, kX1T);
    calc.lockFunction = kX1T;
    calc.yEqManager->setColor(VQColor::colorR(1, 0, 0, 1), kX1T);

    EXPECT_EQ(build(1), (std::vector<Made>{{PlotObject::PlotParametric, kX1T, -1, true}}));
    const PlotObject& pair = *view.plotObjects()[0];
    EXPECT_EQ(pair.style, 4);
    EXPECT_EQ(pair.lineWidth, 4);
    EXPECT_EQ(pair.color.r(), 1);
    EXPECT_EQ(pair.varNum, 19);

    EXPECT_EQ(build(2), (std::vector<Made>{{PlotObject::PlotPolar, kR1, -1, false},
                                           {PlotObject::PlotPolar, kR1 + 2, -1, false}}));
    // The web format follows each sequence with its y = X line and its path.
    const Made web{PlotObject::PlotFn, -1, -1, false};
    EXPECT_EQ(build(3, PlotSequence::Web),
              (std::vector<Made>{{PlotObject::PlotSequence, kU, 1, false}, web, web, {PlotObject::PlotSequence, kW, 1, false}, web, web}));
    // The pair formats draw u, v and w in one plot.
    calc.lockFunction = kU;
    EXPECT_EQ(build(3, PlotSequence::VW), (std::vector<Made>{{PlotObject::PlotSequence, kU, 3, true}}));
}

} // namespace
} // namespace orvenda
