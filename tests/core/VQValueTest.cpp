#include "core/VQValue.h"

#include "core/UserCalculation.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace orvenda;
using namespace orvenda::test;
using C = std::complex<double>;

namespace {

VQList twoReals() { return figures({{1.5, 2, -1}, {-3, 1, 0}}); }

void expectNumber(const VQValue& v, int type, C value, int sigFig, int sigDec)
{
    EXPECT_EQ(v.type(), type);
    EXPECT_EQ(v.c(), value);
    EXPECT_EQ(v.sigFigures(), sigFig);
    EXPECT_EQ(v.sigDecPlace(), sigDec);
}

VQValue roundTrip(const VQValue& v) { return VQValue::decode(nlohmann::json::parse(v.encode().dump())); }

} // namespace

// ---- Construction and accessors ----

TEST(VQValue, NumbersCarryTheFullPairOthersTheZeroPair)
{
    expectNumber(VQValue::valWithReal(2.5), VQValue::TypeReal, 2.5, 15, -15);
    expectNumber(VQValue::valWithComplex({1, 2}), VQValue::TypeComplex, C(1, 2), 15, -15);
    VQValue l = VQValue::valWithList(twoReals());
    EXPECT_EQ(l.type(), VQValue::TypeList);
    EXPECT_EQ(l.sigFigures(), 0);
    EXPECT_EQ(l.sigDecPlace(), 0);
    EXPECT_EQ(VQValue::valWithCpxList(twoReals()).type(), VQValue::TypeComplexList);
    EXPECT_EQ(VQValue::valWithDone().type(), VQValue::TypeDone);
    VQValue s = VQValue::valWithString({0x41, 0x70});
    EXPECT_EQ(s.type(), VQValue::TypeString);
    EXPECT_EQ(*s.string(), (Ops{0x41, 0x70}));

    // The constructors copy; valWithVal shares the object but not the pair or form.
    VQList source = twoReals();
    VQValue copied = VQValue::valWithList(source);
    source.addReal(9, 1, 0);
    EXPECT_EQ(copied.list()->count(), 2);
    VQMatrix m = matrixOf({{0, 0}, {0, 4}});
    VQValue mv = VQValue::valWithMatrix(m);
    m.set(0, 1, 1);
    ASSERT_TRUE(mv.matrix());
    EXPECT_EQ(mv.matrix()->row(1, 1), 4);
    l.setSigFigures(4);
    l.setDisplayMod(6);
    VQValue shared = VQValue::valWithVal(l);
    EXPECT_EQ(shared.type(), VQValue::TypeList);
    EXPECT_EQ(shared.list(), l.list());
    EXPECT_EQ(shared.sigFigures(), 0);
    EXPECT_EQ(shared.displayMod(), 0);
}

TEST(VQValue, NumberAccessorsByType)
{
    // Lists and matrices read as i and ignore writes.
    VQValue l = VQValue::valWithList(twoReals());
    EXPECT_EQ(l.c(), C(0, 1));
    EXPECT_EQ(l.r(), 0);
    VQValue m = VQValue::valWithMatrix(*VQMatrix::matrixWithRow(1, 1));
    EXPECT_EQ(m.r(), 0);
    m.setC({5, 5});
    m.setR(5);
    EXPECT_EQ(m.c(), C(0, 1));

    VQValue z = VQValue::valWithComplex({1, 2});
    z.setR(4);
    EXPECT_EQ(z.c(), C(4, 2));
    VQValue r = VQValue::valWithReal(1);
    r.setI(3); // the type stays real
    EXPECT_EQ(r.type(), VQValue::TypeReal);
    EXPECT_EQ(r.i(), 0);
    r.setR(4);
    EXPECT_EQ(r.c(), C(4, 0));

    EXPECT_EQ(VQValue::valWithReal(2.5).description(), "2.5000");
    EXPECT_EQ(VQValue::valWithComplex({1, 2}).description(), "1.0000+2i");
    EXPECT_EQ(VQValue::valWithDone().description(), "");
}

// ---- Conversions ----

TEST(VQValue, FixModTakesTheDefaultsFormWhenUnset)
{
    const std::pair<int, int> byDefault[] = {{0, 3}, {1, 3}, {2, 3}, {3, 1}, {4, 2}, {5, 0}, {-1, 0}};
    for (auto [format, mod] : byDefault)
        EXPECT_EQ(VQValue::fixMod(0, format), mod) << format;
    EXPECT_EQ(VQValue::fixMod(7, 3), 7);
}

TEST(VQValue, SetANSTakesNumbersListsMatricesAndStrings)
{
    VQValue ans;
    Operand r = operandOf(KindReal);
    r.value = {2, 0};
    r.sigFig = 3;
    r.sigDec = -2;
    ans.setANS(r, 3);
    expectNumber(ans, VQValue::TypeReal, 2, 3, -2);
    EXPECT_EQ(ans.displayMod(), 1);

    Operand l = operandOf(KindComplexList);
    l.list = std::make_shared<VQList>(twoReals());
    l.displayMod = 6;
    ans.setANS(l, 0);
    EXPECT_EQ(ans.type(), VQValue::TypeComplexList);
    EXPECT_EQ(ans.displayMod(), 6);
    ASSERT_TRUE(ans.list());
    EXPECT_NE(ans.list(), l.list); // a copy
    EXPECT_EQ(ans.list()->count(), 2);

    Operand m = operandOf(KindMatrix);
    m.matrix = std::make_shared<VQMatrix>(*VQMatrix::matrixWithRow(2, 3));
    ans.setANS(m, 4);
    EXPECT_EQ(ans.type(), VQValue::TypeMatrix);
    EXPECT_EQ(ans.displayMod(), 2);
    EXPECT_EQ(ans.matrix()->dimCol(), 3u);

    Operand s = operandOf(KindString);
    s.string = VQString{0x41};
    ans.setANS(s, 4); // a string keeps the record's form
    EXPECT_EQ(ans.type(), VQValue::TypeString);
    EXPECT_EQ(ans.displayMod(), 0);
    EXPECT_EQ(*ans.string(), Ops{0x41});

    Operand done = operandOf(KindDone);
    done.displayMod = 5;
    ans.setANS(done, 0);
    EXPECT_EQ(ans.type(), VQValue::TypeString);
    EXPECT_EQ(ans.displayMod(), 5);
    // A list record without its list changes nothing but the form.
    ans.setANS(operandOf(KindRealList), 0);
    EXPECT_EQ(ans.type(), VQValue::TypeString);
}

TEST(VQValue, SetWithOperand)
{
    VQValue v = VQValue::valWithList(twoReals());
    v.setWithOperand(operandOf(KindDone));
    EXPECT_EQ(v.type(), VQValue::TypeDone);
    EXPECT_FALSE(v.list());
    EXPECT_TRUE(std::holds_alternative<std::monostate>(v.value()));

    VQValue w = VQValue::valWithList(twoReals());
    Operand var = operandOf(KindVariable);
    var.displayMod = 4;
    w.setWithOperand(var);
    EXPECT_EQ(w.type(), VQValue::TypeList);
    EXPECT_FALSE(w.list());
    EXPECT_EQ(w.displayMod(), 4);

    Operand z = operandOf(KindComplex);
    z.value = {1, -1};
    z.sigFig = 5;
    z.sigDec = -4;
    w.setWithOperand(z);
    expectNumber(w, VQValue::TypeComplex, C(1, -1), 5, -4);

    Operand s = operandOf(KindString);
    s.string = VQString{1, 2};
    w.setWithOperand(s);
    EXPECT_EQ(w.type(), VQValue::TypeString);
    // The value shares the record's tokens rather than copying them.
    EXPECT_EQ(*w.string(), (Ops{1, 2}));
    EXPECT_TRUE(w.string()->sharesWith(*s.string));
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
    EXPECT_EQ(ro.value, C(2, 0));
    EXPECT_EQ(ro.sigFig, 3);
    EXPECT_EQ(ro.displayMod, 8);
    EXPECT_EQ(ro.location, 6); // untouched

    Operand lo;
    {
        VQValue l = VQValue::valWithCpxList(twoReals());
        l.getOperand(lo);
        // A list object of the record's own, over the value's elements.
        EXPECT_NE(lo.list, l.list());
        EXPECT_TRUE(lo.list->sharesWith(*l.list()));
        EXPECT_EQ(lo.value, C(0, 1));
        EXPECT_EQ(lo.sigFig, 15); // not written for a list
    }
    EXPECT_EQ(lo.kind, KindComplexList);
    EXPECT_EQ(lo.list->count(), 2); // still alive with the value gone

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

TEST(VQValue, ArchiveRoundTripsOfEveryType)
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
    VQValue back = roundTrip(v);
    expectNumber(back, VQValue::TypeReal, 2.5, 3, -1);
    EXPECT_EQ(back.displayMod(), 0);
    // A missing pair reads as full precision.
    expectNumber(VQValue::decode({{"type", 1}, {"r", 1.0}, {"c", -2.0}}), VQValue::TypeComplex, C(1, -2), 15, -15);

    VQValue lb = roundTrip(VQValue::valWithCpxList(twoReals()));
    EXPECT_EQ(lb.type(), VQValue::TypeComplexList);
    ASSERT_TRUE(lb.list());
    EXPECT_EQ(lb.list()->count(), 2);
    EXPECT_EQ(lb.list()->realAtIndex(1), -3);
    EXPECT_EQ(lb.list()->sigFigAtIndex(0), 2);

    const VQMatrix m = matrixOf({{0, 3.25}, {0, 0}});
    VQValue mb = roundTrip(VQValue::valWithMatrix(m));
    EXPECT_EQ(mb.type(), VQValue::TypeMatrix);
    ASSERT_TRUE(mb.matrix());
    EXPECT_TRUE(mb.matrix()->equal(m));

    VQValue sb = VQValue::decode(VQValue::valWithString({0xBB5E | (3u << 16), 0x41}).encode());
    EXPECT_EQ(*sb.string(), (Ops{0xBB5E | (3u << 16), 0x41}));
    nlohmann::json done = VQValue::valWithDone().encode();
    EXPECT_FALSE(done.contains("value"));
    EXPECT_EQ(VQValue::decode(done).type(), VQValue::TypeDone);
}

TEST(VQValue, DamagedArchivesDecodeToDefaults)
{
    expectNumber(VQValue::decode(nlohmann::json("nonsense")), VQValue::TypeReal, 0, 15, -15);
    expectNumber(VQValue::decode({{"type", "list"}, {"r", "x"}, {"sf", 1e40}}), VQValue::TypeReal, 0, 15, -15);

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
