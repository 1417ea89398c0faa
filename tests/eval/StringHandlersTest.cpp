#include "eval/StringHandlers.h"

#include "EvalTestSupport.h"

namespace orvenda::testing {

// Typed sub( and inString( cases are in tests/cases/strings.cases; the equation
// conversions need a Y= manager, which the case runner has not.
TEST_F(HandlerTest, EquationConversionsTakeTheirVariablesUnresolved)
{
    auto yEq = std::make_shared<RecordingYEq>();
    calc.yEqManager = yEq;
    yEq->equations[0x5E10] = {0x41, 0x70, 0x31};  // Y₁ = A+1
    stack.pushVar(0x5E10, 1);  // Equ▸String(Y₁,Str1)
    stack.pushVar(0xAA00, 2);
    run.token = 0xBB55;
    run.number = 2;
    StringHandlers(parser).handle(run);
    EXPECT_EQ(parser.error(), 0);
    EXPECT_EQ(calc.locked()->strings[0], (Operand::Ops{0x41, 0x70, 0x31}));
}

} // namespace orvenda::testing
