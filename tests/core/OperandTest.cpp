#include "core/Operand.h"

#include "core/VQList.h"
#include "core/VQMatrix.h"
#include "core/VQStack.h"

#include <type_traits>

#include <gtest/gtest.h>

using namespace orvenda;

namespace {

// A fresh record is an empty result at full precision holding no objects.
void expectFresh(const Operand& r)
{
    EXPECT_EQ(r.kind, KindError);
    EXPECT_EQ(r.location, 0);
    EXPECT_EQ(r.aux, 0);
    for (std::size_t i = 0; i < r.name.size(); ++i)
        EXPECT_EQ(r.name[i], 0);
    EXPECT_FALSE(r.flag);
    EXPECT_EQ(r.displayMod, 0);
    EXPECT_FALSE(r.hasDecimalPoint);
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.sigFig, 15);
    EXPECT_EQ(r.sigDec, -15);
    EXPECT_EQ(r.value, std::complex<double>(0, 0));
    EXPECT_EQ(r.opcode, 0u);
    EXPECT_EQ(r.precedence, 0);
    EXPECT_EQ(r.opInt, 0);
    EXPECT_EQ(r.var.subKind, VarNone);
    EXPECT_EQ(r.var.token + r.var.index + r.var.elem1 + r.var.elem2, 0);
    EXPECT_TRUE(r.var.name.empty());
    EXPECT_EQ(r.ints, Operand().ints);
    EXPECT_EQ(r.count1 + r.count2, 0u);
    EXPECT_FALSE(r.countFlag);
    EXPECT_FALSE(r.list || r.matrix || r.string || r.stack || r.object || r.object2);
}

struct Counted : OperandObject {
    explicit Counted(int& alive) : alive(alive) { ++alive; }
    ~Counted() override { --alive; }
    int& alive;
};

} // namespace

TEST(Operand, AFreshRecordIsAnEmptyResultAtFullPrecision)
{
    expectFresh(Operand());
    static_assert(std::is_copy_constructible_v<Operand>);
    static_assert(std::is_nothrow_move_constructible_v<Operand>);
}

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

TEST(Operand, ResetGivesTheFreshRecordAndReleasesItsObjects)
{
    int alive = 0;
    Operand r;
    r.kind = KindMenu;
    r.location = 3;
    r.aux = 1;
    r.name[5] = U'θ';
    r.flag = true;
    r.displayMod = 2;
    r.hasDecimalPoint = true;
    r.error = 8;
    r.sigFig = 3;
    r.sigDec = -1;
    r.value = {1, 2};
    r.opcode = 0x70;
    r.precedence = 4;
    r.opInt = 5;
    r.var = {VarList, 1, 2, 3, 4, "AB"};
    r.ints = {1, 2, 3, 4};
    r.count1 = 1;
    r.count2 = 2;
    r.countFlag = true;
    r.list = std::make_shared<VQList>();
    r.matrix = std::make_shared<VQMatrix>();
    r.string = VQString{0x41};
    r.stack = std::make_shared<VQStack>();
    r.object = std::make_shared<Counted>(alive);
    r.object2 = std::make_shared<Counted>(alive);
    ASSERT_EQ(alive, 2);

    r.reset();
    EXPECT_EQ(alive, 0);
    expectFresh(r);
}

TEST(Operand, NamesAreTheRecordsOwnThoughCopiesShareThem)
{
    Operand a;
    a.name[0] = U'θ';
    a.name[1] = U'1';
    Operand b = a;
    EXPECT_EQ(b.name[0], U'θ');
    b.name[0] = U'A';
    EXPECT_EQ(a.name[0], U'θ');
    EXPECT_EQ(b.name[1], U'1');
    const Operand& c = b;
    EXPECT_EQ(c.name.chars()[0], U'A');
    EXPECT_EQ(c.name[31], 0);
    // Writes past the 32 characters go nowhere.
    b.name[32] = U'X';
    EXPECT_EQ(c.name[32], 0);
    b.name.clear();
    EXPECT_EQ(b.name[0], 0);
    EXPECT_EQ(a.name[1], U'1');
}
