#include "core/VQList.h"

#include "TestSupport.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

using namespace orvenda;
using namespace orvenda::test;
using cplx = std::complex<double>;
using V = std::vector<double>;

namespace {

V values(const VQList& l) { return l.realList(); }

void expectPair(const VQNumber& n, int sf, int sd)
{
    EXPECT_EQ(n.sigFig(), sf);
    EXPECT_EQ(n.sigDec(), sd);
}

} // namespace

TEST(VQList, ConstructionCopiesAndResize)
{
    EXPECT_EQ(VQList::list().count(), 0);
    EXPECT_EQ(VQList::list().type(), 0);
    VQList seq = VQList::listSeqStart(-1, 2);
    EXPECT_EQ(values(seq), (V{-1, 0, 1, 2}));
    expectPair(seq.v()[0], 15, -15);
    EXPECT_EQ(VQList::listSeqStart(3, 2).count(), 0);

    VQList a = complexes({{1, 2}});
    VQList copy = VQList::listWithList(a);
    EXPECT_EQ(copy.type(), 1);
    a.setComplex({7, 0}, 0);
    EXPECT_EQ(copy.complexAtIndex(0), cplx(1, 2)); // deep copy
    VQList target = reals({9, 9, 9});
    target.setList(copy);
    EXPECT_EQ(target.count(), 1);
    EXPECT_EQ(target.type(), 1);
    target.setList(target);
    EXPECT_EQ(target.count(), 1);

    VQList l = reals({1, 2, 3});
    l.setType(1);
    EXPECT_EQ(l.resize(5), 5);
    EXPECT_EQ(values(l), (V{1, 2, 3, 0, 0}));
    expectPair(l.v()[4], 0, 0);
    EXPECT_EQ(l.type(), 1); // unchanged
    EXPECT_EQ(l.resize(2), 2);
    EXPECT_EQ(values(l), (V{1, 2}));
    EXPECT_EQ(l.resize(-3), -3);
    EXPECT_EQ(l.count(), 0);
}

TEST(VQList, AddingInsertingAndSettingTrackTheType)
{
    VQList l;
    l.addReal(1, 3, 0);
    l.addNumber(VQNumber::numberWithReal(2, 1, 0));
    EXPECT_EQ(l.type(), 0);
    l.insertComplex({0, 1}, 0);
    EXPECT_EQ(l.type(), 1);
    EXPECT_EQ(l.complexAtIndex(0), cplx(0, 1));
    expectPair(*l.numberAtIndex(0), 0, 0);

    VQList m;
    m.insertNumber(VQNumber({1, 1}, 2, 0), 0);
    EXPECT_EQ(m.type(), 1);
    m.insertReal(5, 4, -1, 1);
    EXPECT_EQ(m.realAtIndex(1), 5);
    EXPECT_EQ(m.sigFigAtIndex(1), 4);
    EXPECT_EQ(m.sigDecAtIndex(1), -1);
    // Inserts outside 0..count do nothing.
    m.insertReal(5, 4, -1, 3);
    m.insertNumber(VQNumber(), -1);
    m.insertComplex(1, 99);
    EXPECT_EQ(m.count(), 2);

    VQList s = reals({1, 2});
    s.setComplex({5, 1}, 1);
    EXPECT_EQ(s.type(), 1);
    expectPair(s.v()[1], 15, -15); // pair kept
    // A real value over a complex element through setComplex never lowers the type.
    s.setComplex({5, 0}, 1);
    EXPECT_EQ(s.type(), 1);
    s.setComplex({5, 1}, 1);
    s.setReal(6, 2, 0, 1); // over the only complex element
    EXPECT_EQ(s.type(), 0);
    expectPair(s.v()[1], 2, 0);
    s.addComplex({0, 3});
    s.addComplex({0, 4});
    s.removeValueAtIndex(2);
    EXPECT_EQ(s.type(), 1);
    s.removeValueAtIndex(2);
    EXPECT_EQ(s.type(), 0);
    s.addComplex({0, 3});
    s.removeAllValues();
    EXPECT_EQ(s.count(), 0);
    EXPECT_EQ(s.type(), 0);

    // Setters at or past the end append (past it logged).
    VQList e = reals({1});
    e.setReal(2, 1, 0, 1);
    e.setReal(3, 1, 0, 7);
    e.setComplex({4, 0}, 5);
    EXPECT_EQ(values(e), (V{1, 2, 3, 4}));
    expectPair(e.v()[3], 0, 0);
}

TEST(VQList, BadIndexesReadNothing)
{
    VQList l = reals({1, 2});
    for (int bad : {-1, 2, 1000, std::numeric_limits<int>::min()}) {
        EXPECT_TRUE(std::isnan(l.realAtIndex(bad)));
        EXPECT_TRUE(std::isnan(l.complexAtIndex(bad).real()));
        EXPECT_EQ(l.sigFigAtIndex(bad), 15);
        EXPECT_EQ(l.sigDecAtIndex(bad), -15);
        EXPECT_EQ(l.numberAtIndex(bad), nullptr);
        l.removeValueAtIndex(bad);
    }
    l.setComplex({3, 3}, -1);
    l.setReal(3, 1, 0, -1);
    EXPECT_EQ(values(l), (V{1, 2}));
    EXPECT_EQ(VQList().numberAtIndex(0), nullptr);
}

TEST(VQList, Sorting)
{
    // Typed sorts are in tests/cases/list-values.cases; here what no entry reaches.
    VQList l = reals({3, NAN, -1, 2});
    l.sortAscending();
    EXPECT_EQ(l.realAtIndex(0), -1);
    EXPECT_EQ(l.realAtIndex(2), 3);
    EXPECT_TRUE(std::isnan(l.realAtIndex(3))); // NaN sorts last
    l.sortDescending();
    EXPECT_EQ(l.realAtIndex(0), 3);

    // Pairs travel with their elements.
    VQList p = figures({{2, 3, -15}, {1, 15, -15}});
    VQList q = reals({0, 0});
    p.sortA(q);
    EXPECT_EQ(p.sigFigAtIndex(1), 3);
    // A companion of another length changes nothing; sorting against itself still sorts.
    VQList x = reals({3, 1, 2});
    VQList shorter = reals({30, 10});
    x.sortA(shorter);
    EXPECT_EQ(values(x), (V{3, 1, 2}));
    EXPECT_EQ(values(shorter), (V{30, 10}));
    x.sortA(x);
    EXPECT_EQ(values(x), (V{1, 2, 3}));
}

TEST(VQList, CumulativeSumDeltasAndFigures)
{
    VQList l = figures({{1, 1, 0}, {2.5, 2, -1}, {3, 1, 0}});
    VQList cs = l.cumulativeSum();
    for (int i = 0; i < 3; ++i)
        expectPair(cs.v()[i], 1, 0); // the units digit is the coarsest so far
    expectPair(l.deltaList().v()[0], 1, 0);
    EXPECT_EQ(reals({4}).deltaList().count(), 0);
    EXPECT_EQ(VQList().deltaList().count(), 0);
    EXPECT_EQ(complexes({{1, 1}, {1, -1}}).deltaList().type(), 1);

    VQList s = figures({{1, 3, 0}, {2, 7, 0}}).sigFig();
    EXPECT_EQ(values(s), (V{3, 7}));
    expectPair(s.v()[0], 15, -15);
}

TEST(VQList, MinAndMax)
{
    VQList c = complexes({{0, -4}, {1, 0}, {3, 4}, {-1, 0}});
    EXPECT_EQ(c.complexMin(), cplx(1, 0)); // first of equal moduli
    EXPECT_EQ(c.complexMax(), cplx(3, 4));
    VQList empty;
    for (cplx z : {empty.min(), empty.max(), empty.complexMin(), empty.complexMax()})
        EXPECT_TRUE(std::isnan(z.real()));

    // Element by element.
    VQList a = figures({{1, 1, 0}, {5, 1, 0}, {2, 1, 0}});
    VQList b = figures({{2, 2, 0}, {4, 2, 0}, {2, 2, 0}});
    auto lo = a.minListB(b);
    auto hi = a.maxListB(b);
    ASSERT_TRUE(lo && hi);
    EXPECT_EQ(lo->sigFigAtIndex(1), 2);
    EXPECT_EQ(lo->sigFigAtIndex(2), 1); // the receiver's element on ties
    EXPECT_EQ(hi->sigFigAtIndex(2), 1);
    EXPECT_FALSE(a.minListB(reals({1})).has_value());
    EXPECT_FALSE(a.maxListB(reals({1})).has_value());
    EXPECT_EQ(reals({-2}).maxListB(complexes({{0, 3}}))->type(), 1);
}

TEST(VQList, SumsProductsAndMeans)
{
    VQList a = figures({{2, 2, 0}, {3, 5, 0}});
    VQList b = figures({{40, 3, 0}, {0.5, 1, 0}, {9, 1, 0}});
    auto p = a.productWithList(b);
    ASSERT_TRUE(p);
    expectPair(p->v()[0], 2, 0);
    expectPair(p->v()[1], 1, 0);
    EXPECT_FALSE(b.productWithList(a).has_value());

    EXPECT_EQ(VQList().sum(), cplx(0, 0));
    VQList l = figures({{1.25, 3, -2}, {10, 2, 0}, {0.5, 1, -1}});
    expectPair(l.sumStart(1, 3), 2, 0);
    VQNumber part = l.sumStart(1, 1);
    EXPECT_EQ(part.r(), 1.25);
    expectPair(part, 3, -2);
    EXPECT_EQ(figures({{1e-12, 1, -12}, {1e-13, 1, -13}}).sumStart(1, 2).sigDec(), -10);

    VQList f = figures({{2, 3, 0}, {2.5, 2, -1}, {4, 4, 0}});
    expectPair(f.prodStart(1, 3), 2, 0);

    // Bad ranges give NaN with the full pair.
    VQList r = reals({1, 2, 3});
    for (auto [from, to] : {std::pair{0, 2}, {2, 1}, {1, 4}, {4, 4}, {-5, 2}}) {
        for (const VQNumber& n : {r.sumStart(from, to), r.prodStart(from, to)}) {
            EXPECT_TRUE(std::isnan(n.r()));
            expectPair(n, 15, -15);
        }
    }
    EXPECT_TRUE(std::isnan(VQList().sumStart(1, 0).r()));

    expectPair(figures({{1, 1, 0}, {2, 1, 0}, {4, 1, 0}}).mean(), 1, 0);
    EXPECT_TRUE(std::isnan(VQList().mean().r()));
    EXPECT_EQ(complexes({{2, 4}, {0, 0}}).mean().c(), cplx(1, 2));
    EXPECT_EQ(reals({1, 2}).meanFreq(reals({1, 3, 100})).r(), 1.75);
    VQNumber shortF = reals({1, 2, 3}).meanFreq(reals({1, 1}));
    EXPECT_TRUE(std::isnan(shortF.r()));
    expectPair(shortF, 15, -15);
}

TEST(VQList, QuartilesWorkedExamples)
{
    struct Case {
        std::initializer_list<double> data;
        double q1, med, q3;
    };
    for (const Case& c : {Case{{1, 2, 3, 4, 5}, 1.5, 3, 4.5}, Case{{1, 2, 3, 4, 5, 6}, 2, 3.5, 5},
                          Case{{1, 2, 3, 4}, 1.5, 2.5, 3.5}, Case{{5, 3, 1, 4, 2}, 1.5, 3, 4.5},
                          Case{{1, 2, 3}, 1, 2, 3}, Case{{1, 2}, 1, 1.5, 2},
                          Case{{1, 2, 3, 4, 5, 6, 7, 8, 9}, 2.5, 5, 7.5}}) {
        VQList l = reals(c.data);
        VQNumber q1, med, q3;
        l.quartilesQ1(q1, med, q3, nullptr);
        EXPECT_EQ(q1.r(), c.q1);
        EXPECT_EQ(med.r(), c.med);
        EXPECT_EQ(q3.r(), c.q3);
        EXPECT_EQ(l.Q1().r(), c.q1);
        EXPECT_EQ(l.median().r(), c.med);
        EXPECT_EQ(l.Q3().r(), c.q3);
    }
}

TEST(VQList, QuartilePairs)
{
    VQNumber med = figures({{1, 1, 0}, {2.5, 2, -1}}).median();
    EXPECT_EQ(med.r(), 1.75);
    expectPair(med, 1, 0);
    VQNumber q1, m, q3;
    figures({{7, 3, -2}}).quartilesQ1(q1, m, q3, nullptr);
    expectPair(q1, 3, -2);
    expectPair(q3, 3, -2);
    EXPECT_EQ(m.r(), 7);
    VQNumber a = VQNumber::numberWithReal(9, 4, 4), b = a, c = a;
    VQList().quartilesQ1(a, b, c, nullptr);
    EXPECT_EQ(b.r(), 0);
    expectPair(b, 4, 4); // pairs left alone
}

TEST(VQList, QuartilesWithFrequencies)
{
    VQList data = reals({3, 1, 2});
    VQList freq = reals({3, 1, 2}); // value 1 once, 2 twice, 3 three times
    VQNumber q1, med, q3;
    data.quartilesQ1(q1, med, q3, &freq);
    EXPECT_EQ(q1.r(), 2);
    EXPECT_EQ(med.r(), 2.5);
    EXPECT_EQ(q3.r(), 3);
    EXPECT_EQ(data.medianFreq(freq).r(), 2.5);
    EXPECT_EQ(data.Q1Freq(freq).r(), 2);
    EXPECT_EQ(data.Q3Freq(freq).r(), 3);
    EXPECT_EQ(values(data), (V{3, 1, 2})); // receiver untouched
    EXPECT_EQ(reals({5}).medianFreq(reals({1})).r(), 5);
    VQNumber none = reals({5}).medianFreq(reals({0}));
    EXPECT_EQ(none.r(), 0);
    expectPair(none, 15, -15);

    // Mismatched frequencies give NaN, never a read past the list.
    for (const VQList& f : {reals({1, 1}), VQList(), reals({1, 1, 1, 1})}) {
        data.quartilesQ1(q1, med, q3, &f);
        EXPECT_TRUE(std::isnan(q1.r()));
        EXPECT_TRUE(std::isnan(med.r()));
        EXPECT_TRUE(std::isnan(q3.r()));
        expectPair(med, 15, -15);
    }
    EXPECT_EQ(VQList().medianFreq(VQList()).r(), 0);
}

TEST(VQList, VarianceAndWeightedSums)
{
    EXPECT_EQ(VQList().variance(), 0);
    EXPECT_TRUE(std::isnan(reals({1, 2}).varianceFreq(reals({1, 1.5}))));
    const double emptyVar = VQList().varianceFreq(VQList());
    EXPECT_EQ(emptyVar, 0);
    EXPECT_TRUE(std::signbit(emptyVar));
    EXPECT_TRUE(std::isnan(reals({3, 4}).varianceFreq(reals({1, 0}))));
    EXPECT_TRUE(std::isnan(reals({1, 2, 3}).varianceFreq(reals({1, 1}))));
    EXPECT_TRUE(std::isnan(reals({1, 2, 3}).standardDeviationFreq(reals({1}))));

    VQList v = reals({1, 2, 3});
    VQList w = reals({2, 0, 1});
    VQList y = reals({4, 5, 6});
    EXPECT_EQ(v.sumFreq(&w), 5);
    EXPECT_EQ(v.sumFreq(nullptr), 6);
    EXPECT_EQ(v.sumOfSquaresFreq(&w), cplx(11, 0));
    EXPECT_EQ(v.sumOfSquaresFreq(nullptr), cplx(14, 0));
    EXPECT_EQ(v.sumOfXY(y, nullptr), cplx(32, 0));
    EXPECT_EQ(v.sumOfXY(y, &w), cplx(26, 0));
    VQList shortF = reals({1});
    EXPECT_TRUE(std::isnan(v.sumFreq(&shortF)));
    EXPECT_TRUE(std::isnan(v.sumOfSquaresFreq(&shortF).real()));
    EXPECT_TRUE(std::isnan(v.sumOfXY(y, &shortF).real()));
    EXPECT_TRUE(std::isnan(v.sumOfXY(shortF, nullptr).real()));
}

TEST(VQList, ShiftRotateAndQuantile)
{
    VQList l = reals({1, 2, 3}, 3, 0);
    const int huge = std::numeric_limits<int>::min();
    EXPECT_EQ(values(l.shift(1)), (V{0, 1, 2}));
    EXPECT_EQ(values(l.shift(-1)), (V{2, 3, 0}));
    EXPECT_EQ(values(l.shift(5)), (V{0, 0, 0}));
    EXPECT_EQ(values(l.shift(huge)), (V{0, 0, 0}));
    EXPECT_EQ(values(l.rotate(1)), (V{3, 1, 2}));
    EXPECT_EQ(values(l.rotate(-1)), (V{2, 3, 1}));
    EXPECT_EQ(values(l.rotate(4)), (V{3, 1, 2}));
    EXPECT_EQ(values(l.rotate(huge)).size(), 3u);
    expectPair(l.shift(1).v()[1], 0, 0);
    expectPair(l.rotate(1).v()[0], 0, 0);
    expectPair(l.shift(0).v()[0], 3, 0); // a plain copy
    EXPECT_EQ(VQList().shift(2).count(), 0);
    EXPECT_EQ(VQList().rotate(2).count(), 0);

    VQList q = reals({3, 1, 2});
    for (auto [p, value] : {std::pair{0.5, 2.0}, {1.0, 3.0}, {0.0, 1.0}, {0.25, 1.5}})
        EXPECT_EQ(q.quantile(p), value) << p;
    EXPECT_EQ(q.quantile(0.25, nullptr), 1.5);
    EXPECT_EQ(VQList().quantile(0.5), 0);
    for (double p : {1.5, -0.1, double(NAN)})
        EXPECT_TRUE(std::isnan(q.quantile(p))) << p;
    EXPECT_EQ(reals({1.5, -2}).description(), "[0] 1.5\n[1] -2\n");
}

TEST(VQList, ArchiveRoundTripAndDamage)
{
    VQList l = figures({{1.5, 2, -1}});
    l.addComplex({0.25, -3});
    nlohmann::json j = l.encode();
    EXPECT_EQ(j["type"], 1);
    ASSERT_TRUE(j["v"].is_array());
    EXPECT_EQ(j["v"][0]["sf"], 2);
    VQList back = VQList::decode(nlohmann::json::parse(j.dump()));
    EXPECT_EQ(back.type(), 1);
    ASSERT_EQ(back.count(), 2);
    EXPECT_EQ(back.complexAtIndex(1), cplx(0.25, -3));
    expectPair(back.v()[0], 2, -1);

    // Damaged archives: an element that cannot be read still takes its place, as 0.
    struct Damaged {
        const char* text;
        int count, type;
    };
    for (const Damaged& c : {Damaged{"null", 0, 0}, {"[]", 0, 0}, {"7", 0, 0}, {"{}", 0, 0},
                             {R"({"type":"x","v":3})", 0, 0}, {R"({"type":1})", 0, 1},
                             {R"({"v":[null,1,"a",{"r":2}]})", 4, 0}, {R"({"type":1e300,"v":{}})", 0, 1}}) {
        SCOPED_TRACE(c.text);
        VQList d = VQList::decode(nlohmann::json::parse(c.text));
        EXPECT_EQ(d.count(), c.count);
        EXPECT_EQ(d.type(), c.type);
    }
    VQList d = VQList::decode(nlohmann::json::parse(R"({"v":[null,{"r":2,"sf":1,"sd":0}]})"));
    ASSERT_EQ(d.count(), 2);
    EXPECT_EQ(d.realAtIndex(0), 0);
    EXPECT_EQ(d.realAtIndex(1), 2);
    EXPECT_EQ(d.type(), 0);
}
