#include "core/VQValue.h"

#include "core/Operand.h"
#include "core/UserCalculation.h"
#include "core/VQList.h"
#include "core/VQMatrix.h"

#include <gtest/gtest.h>

using namespace orvenda;

namespace {

using Ops = std::vector<std::uint32_t>;

VQList twoReals()
{
    VQList l;
    l.addReal(1.5, 2, -1);
    l.addReal(-3, 1, 0);
    return l;
}

Operand record(int kind)
{
    Operand op;
    op.kind = kind;
    return op;
}

} // namespace

// ---- Construction and accessors ----

TEST(VQValue, NumbersCarryTheFullPairOthersTheZeroPair)
{
    VQValue r = VQValue::valWithReal(2.5);
    EXPECT_EQ(r.type(), VQValue::TypeReal);
    EXPECT_EQ(r.c(), std::complex<double>(2.5, 0));
    EXPECT_EQ(r.sigFigures(), 15);
    EXPECT_EQ(r.sigDecPlace(), -15);

    VQValue z = VQValue::valWithComplex({1, 2});
    EXPECT_EQ(z.type(), VQValue::TypeComplex);
    EXPECT_EQ(z.i(), 2);
    EXPECT_EQ(z.sigFigures(), 15);

    VQValue l = VQValue::valWithList(twoReals());
    EXPECT_EQ(l.type(), VQValue::TypeList);
    EXPECT_EQ(l.sigFigures(), 0);
    EXPECT_EQ(l.sigDecPlace(), 0);
    EXPECT_EQ(VQValue::valWithCpxList(twoReals()).type(), VQValue::TypeComplexList);
    EXPECT_EQ(VQValue::valWithDone().type(), VQValue::TypeDone);
    VQValue s = VQValue::valWithString({0x41, 0x70});
    EXPECT_EQ(s.type(), VQValue::TypeString);
    EXPECT_EQ(*s.string(), (Ops{0x41, 0x70}));
}

TEST(VQValue, ConstructorsCopyButValWithValShares)
{
    VQList source = twoReals();
    VQValue l = VQValue::valWithList(source);
    source.addReal(9, 1, 0);
    EXPECT_EQ(l.list()->count(), 2);

    auto m = VQMatrix::matrixWithRow(2, 2);
    m->set(4, 1, 1);
    VQValue mv = VQValue::valWithMatrix(*m);
    m->set(0, 1, 1);
    ASSERT_TRUE(mv.matrix());
    EXPECT_EQ(mv.matrix()->row(1, 1), 4);

    VQValue withPair = VQValue::valWithList(twoReals());
    withPair.setSigFigures(4);
    withPair.setDisplayMod(6);
    VQValue shared = VQValue::valWithVal(withPair);
    EXPECT_EQ(shared.type(), VQValue::TypeList);
    EXPECT_EQ(shared.list(), withPair.list());
    EXPECT_EQ(shared.sigFigures(), 0);
    EXPECT_EQ(shared.displayMod(), 0);
}

TEST(VQValue, NumberAccessorsByType)
{
    VQValue l = VQValue::valWithList(twoReals());
    EXPECT_EQ(l.c(), std::complex<double>(0, 1));
    EXPECT_EQ(l.r(), 0);
    VQValue m = VQValue::valWithMatrix(*VQMatrix::matrixWithRow(1, 1));
    EXPECT_EQ(m.r(), 0);
    m.setC({5, 5});
    m.setR(5);
    EXPECT_EQ(m.c(), std::complex<double>(0, 1));

    VQValue z = VQValue::valWithComplex({1, 2});
    z.setR(4);
    EXPECT_EQ(z.c(), std::complex<double>(4, 2));
    VQValue r = VQValue::valWithReal(1);
    r.setI(3);  // the type stays real
    EXPECT_EQ(r.type(), VQValue::TypeReal);
    EXPECT_EQ(r.i(), 0);
    r.setR(4);
    EXPECT_EQ(r.c(), std::complex<double>(4, 0));
}

TEST(VQValue, DescriptionOfNumbersOnly)
{
    EXPECT_EQ(VQValue::valWithReal(2.5).description(), "2.5000");
    EXPECT_EQ(VQValue::valWithComplex({1, 2}).description(), "1.0000+2i");
    EXPECT_EQ(VQValue::valWithDone().description(), "");
}

// ---- Conversions ----

TEST(VQValue, FixModTakesTheDefaultsFormWhenUnset)
{
    EXPECT_EQ(VQValue::fixMod(0, 0), 3);
    EXPECT_EQ(VQValue::fixMod(0, 1), 3);
    EXPECT_EQ(VQValue::fixMod(0, 2), 3);
    EXPECT_EQ(VQValue::fixMod(0, 3), 1);
    EXPECT_EQ(VQValue::fixMod(0, 4), 2);
    EXPECT_EQ(VQValue::fixMod(0, 5), 0);
    EXPECT_EQ(VQValue::fixMod(0, -1), 0);
    EXPECT_EQ(VQValue::fixMod(7, 3), 7);
}

TEST(VQValue, SetANSTakesNumbersListsMatricesAndStrings)
{
    VQValue ans;
    Operand r = record(KindReal);
    r.value = {2, 0};
    r.sigFig = 3;
    r.sigDec = -2;
    ans.setANS(r, 3);
    EXPECT_EQ(ans.type(), VQValue::TypeReal);
    EXPECT_EQ(ans.r(), 2);
    EXPECT_EQ(ans.sigFigures(), 3);
    EXPECT_EQ(ans.sigDecPlace(), -2);
    EXPECT_EQ(ans.displayMod(), 1);

    Operand l = record(KindComplexList);
    l.list = std::make_shared<VQList>(twoReals());
    l.displayMod = 6;
    ans.setANS(l, 0);
    EXPECT_EQ(ans.type(), VQValue::TypeComplexList);
    EXPECT_EQ(ans.displayMod(), 6);
    ASSERT_TRUE(ans.list());
    EXPECT_NE(ans.list(), l.list);  // a copy
    EXPECT_EQ(ans.list()->count(), 2);

    Operand m = record(KindMatrix);
    m.matrix = std::make_shared<VQMatrix>(*VQMatrix::matrixWithRow(2, 3));
    ans.setANS(m, 4);
    EXPECT_EQ(ans.type(), VQValue::TypeMatrix);
    EXPECT_EQ(ans.displayMod(), 2);
    EXPECT_EQ(ans.matrix()->dimCol(), 3u);

    Operand s = record(KindString);
    s.string = std::make_shared<Ops>(Ops{0x41});
    ans.setANS(s, 4);  // a string keeps the record's form
    EXPECT_EQ(ans.type(), VQValue::TypeString);
    EXPECT_EQ(ans.displayMod(), 0);
    EXPECT_EQ(*ans.string(), Ops{0x41});

    Operand done = record(KindDone);
    done.displayMod = 5;
    ans.setANS(done, 0);
    EXPECT_EQ(ans.type(), VQValue::TypeString);
    EXPECT_EQ(ans.displayMod(), 5);

    // A list record without its list changes nothing but the form.
    Operand empty = record(KindRealList);
    ans.setANS(empty, 0);
    EXPECT_EQ(ans.type(), VQValue::TypeString);
}

TEST(VQValue, SetWithOperand)
{
    VQValue v = VQValue::valWithList(twoReals());
    v.setWithOperand(record(KindDone));
    EXPECT_EQ(v.type(), VQValue::TypeDone);
    EXPECT_FALSE(v.list());
    EXPECT_TRUE(std::holds_alternative<std::monostate>(v.value()));

    VQValue w = VQValue::valWithList(twoReals());
    Operand var = record(KindVariable);
    var.displayMod = 4;
    w.setWithOperand(var);
    EXPECT_EQ(w.type(), VQValue::TypeList);
    EXPECT_FALSE(w.list());
    EXPECT_EQ(w.displayMod(), 4);

    Operand z = record(KindComplex);
    z.value = {1, -1};
    z.sigFig = 5;
    z.sigDec = -4;
    w.setWithOperand(z);
    EXPECT_EQ(w.type(), VQValue::TypeComplex);
    EXPECT_EQ(w.c(), std::complex<double>(1, -1));
    EXPECT_EQ(w.sigFigures(), 5);

    Operand s = record(KindString);
    s.string = std::make_shared<Ops>(Ops{1, 2});
    w.setWithOperand(s);
    EXPECT_EQ(w.type(), VQValue::TypeString);
    EXPECT_NE(w.string(), s.string);
}

TEST(VQValue, GetOperandWritesKindValueAndForm)
{
    Operand done;
    VQValue::valWithDone().getOperand(done);
    EXPECT_EQ(done.kind, KindDone);

    VQValue r = VQValue::valWithReal(2);
    r.setSigFigures(3);
    r.setDisplayMod(8);
    Operand ro;
    ro.location = 6;
    r.getOperand(ro);
    EXPECT_EQ(ro.kind, KindReal);
    EXPECT_EQ(ro.value, std::complex<double>(2, 0));
    EXPECT_EQ(ro.sigFig, 3);
    EXPECT_EQ(ro.displayMod, 8);
    EXPECT_EQ(ro.location, 6);  // untouched

    Operand lo;
    {
        VQValue l = VQValue::valWithCpxList(twoReals());
        l.getOperand(lo);
        EXPECT_EQ(lo.list, l.list());
        EXPECT_EQ(lo.value, std::complex<double>(0, 1));
        EXPECT_EQ(lo.sigFig, 15);  // not written for a list
    }
    EXPECT_EQ(lo.kind, KindComplexList);
    EXPECT_EQ(lo.list->count(), 2);  // still alive with the value gone

    Operand so;
    VQValue::valWithString({7}).getOperand(so);
    EXPECT_EQ(so.kind, KindString);
    EXPECT_EQ(*so.string, Ops{7});

    // A list value that lost its list never gives a list record without one.
    VQValue broken = VQValue::valWithDone();
    broken.setType(VQValue::TypeList);
    Operand bo;
    broken.getOperand(bo);
    EXPECT_EQ(bo.kind, KindError);
    EXPECT_EQ(bo.error, 16);
}

// ---- Archive ----

TEST(VQValue, ArchiveOfARealWithItsPair)
{
    VQValue v = VQValue::valWithReal(2.5);
    v.setSigFigures(3);
    v.setSigDecPlace(-1);
    v.setDisplayMod(7);
    nlohmann::json a = v.encode();
    EXPECT_EQ(a["type"], 0);
    EXPECT_EQ(a["r"], 2.5);
    EXPECT_EQ(a["c"], 0.0);
    EXPECT_EQ(a["sf"], 3);
    EXPECT_EQ(a["sd"], -1);
    EXPECT_FALSE(a.contains("value"));

    VQValue back = VQValue::decode(nlohmann::json::parse(a.dump()));
    EXPECT_EQ(back.type(), VQValue::TypeReal);
    EXPECT_EQ(back.r(), 2.5);
    EXPECT_EQ(back.sigFigures(), 3);
    EXPECT_EQ(back.sigDecPlace(), -1);
    EXPECT_EQ(back.displayMod(), 0);
}

TEST(VQValue, AMissingPairReadsAsFullPrecision)
{
    VQValue v = VQValue::decode({{"type", 1}, {"r", 1.0}, {"c", -2.0}});
    EXPECT_EQ(v.c(), std::complex<double>(1, -2));
    EXPECT_EQ(v.sigFigures(), 15);
    EXPECT_EQ(v.sigDecPlace(), -15);
}

TEST(VQValue, ArchiveRoundTripsOfEveryType)
{
    VQValue l = VQValue::valWithCpxList(twoReals());
    VQValue lb = VQValue::decode(nlohmann::json::parse(l.encode().dump()));
    EXPECT_EQ(lb.type(), VQValue::TypeComplexList);
    ASSERT_TRUE(lb.list());
    EXPECT_EQ(lb.list()->count(), 2);
    EXPECT_EQ(lb.list()->realAtIndex(1), -3);
    EXPECT_EQ(lb.list()->sigFigAtIndex(0), 2);

    auto m = VQMatrix::matrixWithRow(2, 2);
    m->set(3.25, 0, 1);
    VQValue mb = VQValue::decode(nlohmann::json::parse(VQValue::valWithMatrix(*m).encode().dump()));
    EXPECT_EQ(mb.type(), VQValue::TypeMatrix);
    ASSERT_TRUE(mb.matrix());
    EXPECT_TRUE(mb.matrix()->equal(*m));

    VQValue sb = VQValue::decode(VQValue::valWithString({0xBB5E | (3u << 16), 0x41}).encode());
    EXPECT_EQ(*sb.string(), (Ops{0xBB5E | (3u << 16), 0x41}));

    nlohmann::json done = VQValue::valWithDone().encode();
    EXPECT_FALSE(done.contains("value"));
    EXPECT_EQ(VQValue::decode(done).type(), VQValue::TypeDone);
}

TEST(VQValue, DamagedArchivesDecodeToDefaults)
{
    VQValue a = VQValue::decode(nlohmann::json("nonsense"));
    EXPECT_EQ(a.type(), VQValue::TypeReal);
    EXPECT_EQ(a.r(), 0);

    VQValue b = VQValue::decode({{"type", "list"}, {"r", "x"}, {"sf", 1e40}});
    EXPECT_EQ(b.type(), VQValue::TypeReal);
    EXPECT_EQ(b.r(), 0);
    EXPECT_EQ(b.sigFigures(), 15);

    // An object of the wrong shape decodes as an empty one of the right type.
    VQValue c = VQValue::decode({{"type", 2}, {"value", 12}});
    ASSERT_TRUE(c.list());
    EXPECT_EQ(c.list()->count(), 0);
    VQValue d = VQValue::decode({{"type", 4}, {"value", "m"}});
    ASSERT_TRUE(d.matrix());
    EXPECT_EQ(d.matrix()->dimRow(), 0u);
    VQValue e = VQValue::decode({{"type", 6}, {"value", {1, -2, "x", 3.5, 5000000000LL, 4}}});
    EXPECT_EQ(*e.string(), (Ops{1, 4}));
    Operand eo;
    e.getOperand(eo);
    EXPECT_EQ(eo.kind, KindString);
}

// ---- UserCalculation ----

TEST(UserCalculation, ArchiveRoundTripAndDamage)
{
    UserCalculation u = UserCalculation::userCalculationOpcodes({0x41, 0x70, 0x42}, "sum");
    nlohmann::json a = u.encode();
    EXPECT_EQ(a["desc"], "sum");
    EXPECT_EQ(a["ops"].size(), 3u);
    UserCalculation back = UserCalculation::decode(nlohmann::json::parse(a.dump()));
    EXPECT_EQ(back.opcodes(), (Ops{0x41, 0x70, 0x42}));
    EXPECT_EQ(back.desc(), "sum");

    UserCalculation bad = UserCalculation::decode({{"ops", "x"}, {"desc", 3}});
    EXPECT_TRUE(bad.opcodes().empty());
    EXPECT_EQ(bad.desc(), "");
    EXPECT_TRUE(UserCalculation::decode(nullptr).opcodes().empty());
}
