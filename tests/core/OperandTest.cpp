#include "core/Operand.h"

#include "core/VQList.h"
#include "core/VQStack.h"

#include <type_traits>

#include <gtest/gtest.h>

using namespace orvenda;

TEST(Operand, AFreshRecordIsAnEmptyResultAtFullPrecision)
{
    Operand r;
    EXPECT_EQ(r.kind, KindError);
    EXPECT_EQ(r.location, 0);
    EXPECT_EQ(r.aux, 0);
    EXPECT_EQ(r.name[0], 0);
    EXPECT_EQ(r.name[31], 0);
    EXPECT_FALSE(r.flag);
    EXPECT_EQ(r.displayMod, 0);
    EXPECT_FALSE(r.hasDecimalPoint);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.sigFig, 15);
    EXPECT_EQ(r.sigDec, -15);
    EXPECT_EQ(r.value, std::complex<double>(0, 0));
    EXPECT_EQ(r.var.subKind, VarNone);
    EXPECT_FALSE(r.list || r.matrix || r.string || r.stack || r.object || r.object2);
    static_assert(std::is_copy_constructible_v<Operand>);
    static_assert(std::is_nothrow_move_constructible_v<Operand>);
}

namespace {

struct Counted : OperandObject {
    explicit Counted(int& alive) : alive(alive) { ++alive; }
    ~Counted() override { --alive; }
    int& alive;
};

} // namespace

TEST(Operand, CopiesShareTheirObjects)
{
    int alive = 0;
    auto list = std::make_shared<VQList>();
    list->addReal(5, 15, -15);
    Operand copy;
    {
        Operand r;
        r.kind = KindRealList;
        r.list = list;
        r.object = std::make_shared<Counted>(alive);
        r.stack = std::make_shared<VQStack>();
        r.stack->pushReal(1, 15, -15, 0);
        copy = r;
        EXPECT_EQ(copy.list, r.list);
        EXPECT_EQ(list.use_count(), 3);
    }
    list.reset();
    EXPECT_EQ(alive, 1);
    EXPECT_EQ(copy.list->realAtIndex(0), 5);
    EXPECT_EQ(copy.stack->count(), 1);
    copy = Operand();
    EXPECT_EQ(alive, 0);
}
