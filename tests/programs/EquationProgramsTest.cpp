#include "app/YEqTestSupport.h"

#include "core/services/EquationEvaluator.h"
#include "core/services/GDBManager.h"
#include "eval/ProgramTestSupport.h"
#include "programs/GDBStore.h"

#include <QDir>
#include <QTemporaryDir>

using namespace orvenda;
using namespace orvenda::test;
using orvenda::testing::ProgramHarness;

namespace {

// Equation variables evaluate as the evaluator does it: the compiled form, run in place.
class RunInPlace : public EquationEvaluator {
public:
    explicit RunInPlace(Parser& parser) : parser_(parser) {}
    Operand evalSeqNum(int, double) override { return Operand{}; }
    Operand evaluate(const VQStack& rpn) override { return parser_.evalRPN(rpn, true, true); }

private:
    Parser& parser_;
};

struct EquationPrograms : ::testing::Test {
    ProgramHarness h;
    std::shared_ptr<YEqModel> eq = std::make_shared<YEqModel>(h.calc);

    void SetUp() override
    {
        h.calc.yEqManager = eq;
        h.calc.equationEvaluator = std::make_shared<RunInPlace>(h.parser());
    }
    void TearDown() override
    {
        GDBManager::setShared(nullptr);
        h.calc.yEqManager.reset();
        h.calc.equationEvaluator.reset();
    }
};

} // namespace

TEST_F(EquationPrograms, StoresRefuseAnEquationNamingItself)
{
    EXPECT_EQ(h.enter("\"X+1\"->Y₁").error, 0);
    EXPECT_EQ(h.enter("\"Y₁+1\"->Y₁").error, 29);
    EXPECT_EQ(h.run("String▸Equ(\"2Y₂\",Y₂)").error, 29);
    EXPECT_EQ(h.calc.stringFromOps(*eq->equationOps(kY1)), "X+1");
    EXPECT_TRUE(eq->equationOps(kY2)->empty());
}

TEST_F(EquationPrograms, ACycleThroughTwoEquationsEndsInAnError)
{
    eq->setYEqFunc(kY1, ops("Y₂+1"));
    eq->setYEqFunc(kY2, ops("Y₁+1"));
    EXPECT_EQ(h.enter("Y₁").error, 29);

    eq->setYEqFunc(kY2, ops("3"));
    const Operand r = h.enter("Y₁");
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.re(), 4);
}

TEST_F(EquationPrograms, StoreAndRecallGraphDatabasesOnDisk)
{
    QTemporaryDir dir;
    auto store = std::make_shared<GDBStore>(h.calc, eq, dir.path().toStdString() + "/GDB");
    GDBManager::setShared(store);

    EXPECT_EQ(h.enter("RecallGDB 3").error, 69);
    eq->setYEqFunc(kY1, ops("X²"));
    EXPECT_EQ(h.enter("StoreGDB 3").error, 0);
    EXPECT_TRUE(QFile::exists(dir.path() + "/GDB/GDB3"));

    eq->setYEqFunc(kY1, ops("X"));
    h.enter("RecallGDB 3");
    // Result handling applies the database the engine found.
    ASSERT_FALSE(h.handedOver.empty());
    EXPECT_EQ(h.handedOver.back().kind, KindGDBRecall);
    EXPECT_EQ(store->recall(h.handedOver.back().var.name), 0);
    EXPECT_EQ(h.calc.stringFromOps(*eq->equationOps(kY1)), "X²");
}
