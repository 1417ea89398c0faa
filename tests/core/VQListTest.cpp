#include "core/VQList.h"

#include <cmath>
#include <initializer_list>
#include <limits>

#include <gtest/gtest.h>

using orvenda::VQList;
using orvenda::VQNumber;
using cplx = std::complex<double>;

namespace {

VQList reals(std::initializer_list<double> xs, int sf = 15, int sd = -15) {
    VQList l;
    for (double x : xs) l.addReal(x, sf, sd);
    return l;
}

std::vector<double> values(const VQList& l) { return l.realList(); }

void expectPair(const VQNumber& n, int sf, int sd) {
    EXPECT_EQ(n.sigFig(), sf);
    EXPECT_EQ(n.sigDec(), sd);
}

} // namespace

TEST(VQList, ConstructionAndCopies) {
    EXPECT_EQ(VQList::list().count(), 0);
    EXPECT_EQ(VQList::list().type(), 0);

    VQList seq = VQList::listSeqStart(-1, 2);
    EXPECT_EQ(values(seq), (std::vector<double>{-1, 0, 1, 2}));
    expectPair(seq.v()[0], 15, -15);
    EXPECT_EQ(VQList::listSeqStart(3, 2).count(), 0);

    VQList a;
    a.addComplex({1, 2});
    VQList copy = VQList::listWithList(a);
    EXPECT_EQ(copy.type(), 1);
    a.setComplex({7, 0}, 0);
    EXPECT_EQ(copy.complexAtIndex(0), cplx(1, 2));  // deep copy

    VQList target = reals({9, 9, 9});
    target.setList(copy);
    EXPECT_EQ(target.count(), 1);
    EXPECT_EQ(target.type(), 1);
    target.setList(target);
    EXPECT_EQ(target.count(), 1);
}

TEST(VQList, Resize) {
    VQList l = reals({1, 2, 3});
    l.setType(1);
    EXPECT_EQ(l.resize(5), 5);
    EXPECT_EQ(values(l), (std::vector<double>{1, 2, 3, 0, 0}));
    expectPair(l.v()[4], 0, 0);
    EXPECT_EQ(l.type(), 1);  // unchanged
    EXPECT_EQ(l.resize(2), 2);
    EXPECT_EQ(values(l), (std::vector<double>{1, 2}));
    EXPECT_EQ(l.resize(-3), -3);
    EXPECT_EQ(l.count(), 0);
}

TEST(VQList, AddingAndInsertingTrackTheType) {
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
}

TEST(VQList, BadIndexesReadNothing) {
    VQList l = reals({1, 2});
    for (int bad : {-1, 2, 1000, std::numeric_limits<int>::min()}) {
        EXPECT_TRUE(std::isnan(l.realAtIndex(bad)));
        EXPECT_TRUE(std::isnan(l.complexAtIndex(bad).real()));
        EXPECT_EQ(l.sigFigAtIndex(bad), 15);
        EXPECT_EQ(l.sigDecAtIndex(bad), -15);
        EXPECT_EQ(l.numberAtIndex(bad), nullptr);
        l.removeValueAtIndex(bad);
    }
    EXPECT_EQ(l.count(), 2);
    l.setComplex({3, 3}, -1);
    l.setReal(3, 1, 0, -1);
    EXPECT_EQ(values(l), (std::vector<double>{1, 2}));
    EXPECT_EQ(VQList().numberAtIndex(0), nullptr);
}

TEST(VQList, SettersAppendAtOrPastTheEnd) {
    VQList l = reals({1});
    l.setReal(2, 1, 0, 1);
    l.setReal(3, 1, 0, 7);  // logged, still appended
    EXPECT_EQ(values(l), (std::vector<double>{1, 2, 3}));
    l.setComplex({4, 0}, 5);
    EXPECT_EQ(values(l), (std::vector<double>{1, 2, 3, 4}));
    expectPair(l.v()[3], 0, 0);
}

TEST(VQList, SettersMaintainTheType) {
    VQList l = reals({1, 2});
    l.setComplex({5, 1}, 1);
    EXPECT_EQ(l.type(), 1);
    expectPair(l.v()[1], 15, -15);  // pair kept
    // A real value over a complex element through setComplex never lowers the type.
    l.setComplex({5, 0}, 1);
    EXPECT_EQ(l.type(), 1);

    l.setComplex({5, 1}, 1);
    l.setReal(6, 2, 0, 1);  // over the only complex element
    EXPECT_EQ(l.type(), 0);
    expectPair(l.v()[1], 2, 0);

    l.addComplex({0, 3});
    l.addComplex({0, 4});
    l.removeValueAtIndex(2);
    EXPECT_EQ(l.type(), 1);
    l.removeValueAtIndex(2);
    EXPECT_EQ(l.type(), 0);
    l.addComplex({0, 3});
    l.removeAllValues();
    EXPECT_EQ(l.count(), 0);
    EXPECT_EQ(l.type(), 0);
}

TEST(VQList, SortInPlace) {
    VQList l = reals({3, NAN, -1, 2});
    l.sortAscending();
    EXPECT_EQ(l.realAtIndex(0), -1);
    EXPECT_EQ(l.realAtIndex(2), 3);
    EXPECT_TRUE(std::isnan(l.realAtIndex(3)));
    l.sortDescending();
    EXPECT_EQ(l.realAtIndex(0), 3);
    EXPECT_EQ(l.realAtIndex(2), -1);

    VQList c;
    c.addComplex({0, 3});
    c.addComplex({-2, 0});
    c.addComplex({1, 0});
    c.sortAscending();  // by modulus
    EXPECT_EQ(c.complexAtIndex(0), cplx(1, 0));
    EXPECT_EQ(c.complexAtIndex(1), cplx(-2, 0));
    EXPECT_EQ(c.complexAtIndex(2), cplx(0, 3));
}

TEST(VQList, SortWithCompanion) {
    VQList a = reals({3, 1, 2});
    VQList b = reals({30, 10, 20});
    a.sortA(b);
    EXPECT_EQ(values(a), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(values(b), (std::vector<double>{10, 20, 30}));
    a.sortD(b);
    EXPECT_EQ(values(a), (std::vector<double>{3, 2, 1}));
    EXPECT_EQ(values(b), (std::vector<double>{30, 20, 10}));

    // Equal keys are ordered by the companion.
    VQList ones = reals({1, 1});
    VQList tie = reals({5, 4});
    ones.sortA(tie);
    EXPECT_EQ(values(tie), (std::vector<double>{4, 5}));
    ones.sortD(tie);
    EXPECT_EQ(values(tie), (std::vector<double>{5, 4}));

    VQList keys = reals({2, 1, 2, 1});
    VQList comp = reals({9, 8, 7, 8});
    keys.sortA(comp);
    EXPECT_EQ(values(keys), (std::vector<double>{1, 1, 2, 2}));
    EXPECT_EQ(values(comp), (std::vector<double>{8, 8, 7, 9}));

    // Pairs travel with their elements.
    VQList p = reals({2, 1});
    p.v()[0].setSigFig(3);
    VQList q = reals({0, 0});
    p.sortA(q);
    EXPECT_EQ(p.sigFigAtIndex(1), 3);
}

TEST(VQList, SortWithCompanionOfOtherLengthChangesNothing) {
    VQList a = reals({3, 1, 2});
    VQList b = reals({30, 10});
    a.sortA(b);
    EXPECT_EQ(values(a), (std::vector<double>{3, 1, 2}));
    EXPECT_EQ(values(b), (std::vector<double>{30, 10}));
    a.sortA(a);  // sorting against itself still sorts
    EXPECT_EQ(values(a), (std::vector<double>{1, 2, 3}));
}

TEST(VQList, SortWithCompanionComplexUsesModuli) {
    VQList a;
    a.addComplex({0, 2});
    a.addComplex({-1, 0});
    VQList b = reals({5, -6});
    a.sortA(b);
    EXPECT_EQ(a.complexAtIndex(0), cplx(-1, 0));
    EXPECT_EQ(values(b), (std::vector<double>{-6, 5}));
}

TEST(VQList, CumulativeSumAndDeltas) {
    VQList l;
    l.addReal(1, 1, 0);
    l.addReal(2.5, 2, -1);
    l.addReal(3, 1, 0);
    VQList cs = l.cumulativeSum();
    EXPECT_EQ(values(cs), (std::vector<double>{1, 3.5, 6.5}));
    expectPair(cs.v()[0], 1, 0);
    expectPair(cs.v()[1], 1, 0);  // the units digit is the coarsest so far
    expectPair(cs.v()[2], 1, 0);
    EXPECT_EQ(values(reals({1, 2, 3}).cumulativeSum()), (std::vector<double>{1, 3, 6}));

    VQList d = l.deltaList();
    EXPECT_EQ(values(d), (std::vector<double>{1.5, 0.5}));
    expectPair(d.v()[0], 1, 0);
    EXPECT_EQ(reals({4}).deltaList().count(), 0);
    EXPECT_EQ(VQList().deltaList().count(), 0);

    VQList c;
    c.addComplex({1, 1});
    c.addComplex({1, -1});
    EXPECT_EQ(c.cumulativeSum().complexAtIndex(1), cplx(2, 0));
    EXPECT_EQ(c.deltaList().type(), 1);
}

TEST(VQList, SigFigList) {
    VQList l;
    l.addReal(1, 3, 0);
    l.addReal(2, 7, 0);
    VQList s = l.sigFig();
    EXPECT_EQ(values(s), (std::vector<double>{3, 7}));
    expectPair(s.v()[0], 15, -15);
}

TEST(VQList, MinAndMax) {
    VQList l = reals({3, -1, 5, -1});
    EXPECT_EQ(l.min(), cplx(-1, 0));
    EXPECT_EQ(l.max(), cplx(5, 0));

    VQList c;
    c.addComplex({0, -4});
    c.addComplex({1, 0});
    c.addComplex({3, 4});
    c.addComplex({-1, 0});
    EXPECT_EQ(c.min(), cplx(1, 0));  // first of equal moduli
    EXPECT_EQ(c.max(), cplx(3, 4));
    EXPECT_EQ(c.complexMin(), cplx(1, 0));
    EXPECT_EQ(c.complexMax(), cplx(3, 4));

    VQList empty;
    EXPECT_TRUE(std::isnan(empty.min().real()));
    EXPECT_TRUE(std::isnan(empty.max().real()));
    EXPECT_TRUE(std::isnan(empty.complexMin().real()));
    EXPECT_TRUE(std::isnan(empty.complexMax().real()));
}

TEST(VQList, ElementwiseMinMax) {
    VQList a;
    a.addReal(1, 1, 0);
    a.addReal(5, 1, 0);
    a.addReal(2, 1, 0);
    VQList b;
    b.addReal(2, 2, 0);
    b.addReal(4, 2, 0);
    b.addReal(2, 2, 0);
    auto lo = a.minListB(b);
    auto hi = a.maxListB(b);
    ASSERT_TRUE(lo && hi);
    EXPECT_EQ(values(*lo), (std::vector<double>{1, 4, 2}));
    EXPECT_EQ(values(*hi), (std::vector<double>{2, 5, 2}));
    EXPECT_EQ(lo->sigFigAtIndex(1), 2);
    EXPECT_EQ(lo->sigFigAtIndex(2), 1);  // the receiver's element on ties
    EXPECT_EQ(hi->sigFigAtIndex(2), 1);

    EXPECT_FALSE(a.minListB(reals({1})).has_value());
    EXPECT_FALSE(a.maxListB(reals({1})).has_value());

    // Moduli when either list is complex.
    VQList c;
    c.addComplex({0, 3});
    VQList r = reals({-2});
    EXPECT_EQ(r.minListB(c)->complexAtIndex(0), cplx(-2, 0));
    EXPECT_EQ(r.maxListB(c)->complexAtIndex(0), cplx(0, 3));
    EXPECT_EQ(r.maxListB(c)->type(), 1);
}

TEST(VQList, ProductWithList) {
    VQList a;
    a.addReal(2, 2, 0);
    a.addReal(3, 5, 0);
    VQList b;
    b.addReal(40, 3, 0);
    b.addReal(0.5, 1, 0);
    b.addReal(9, 1, 0);
    auto p = a.productWithList(b);
    ASSERT_TRUE(p);
    EXPECT_EQ(values(*p), (std::vector<double>{80, 1.5}));
    expectPair(p->v()[0], 2, 0);
    expectPair(p->v()[1], 1, 0);
    EXPECT_FALSE(b.productWithList(a).has_value());
}

TEST(VQList, Sums) {
    VQList c;
    c.addComplex({1, 2});
    c.addComplex({3, -1});
    EXPECT_EQ(c.sum(), cplx(4, 1));
    EXPECT_EQ(VQList().sum(), cplx(0, 0));

    VQList l;
    l.addReal(1.25, 3, -2);
    l.addReal(10, 2, 0);
    l.addReal(0.5, 1, -1);
    VQNumber s = l.sumStart(1, 3);
    EXPECT_EQ(s.r(), 11.75);
    expectPair(s, 2, 0);
    VQNumber part = l.sumStart(1, 1);
    EXPECT_EQ(part.r(), 1.25);
    expectPair(part, 3, -2);

    VQList fine;
    fine.addReal(1e-12, 1, -12);
    fine.addReal(1e-13, 1, -13);
    VQNumber f = fine.sumStart(1, 2);
    EXPECT_EQ(f.sigDec(), -10);
}

TEST(VQList, BadRangesGiveNaN) {
    VQList l = reals({1, 2, 3});
    for (auto [s, e] : {std::pair{0, 2}, {2, 1}, {1, 4}, {4, 4}, {-5, 2}}) {
        VQNumber sum = l.sumStart(s, e);
        VQNumber prod = l.prodStart(s, e);
        EXPECT_TRUE(std::isnan(sum.r()));
        EXPECT_TRUE(std::isnan(prod.r()));
        expectPair(sum, 15, -15);
        expectPair(prod, 15, -15);
    }
    EXPECT_TRUE(std::isnan(VQList().sumStart(1, 0).r()));
}

TEST(VQList, Product) {
    VQList l;
    l.addReal(2, 3, 0);
    l.addReal(2.5, 2, -1);
    l.addReal(4, 4, 0);
    VQNumber p = l.prodStart(1, 3);
    EXPECT_EQ(p.r(), 20);
    expectPair(p, 2, 0);
    EXPECT_EQ(l.prodStart(2, 3).r(), 10);
}

TEST(VQList, Mean) {
    VQList l;
    l.addReal(1, 1, 0);
    l.addReal(2, 1, 0);
    l.addReal(4, 1, 0);
    VQNumber m = l.mean();
    EXPECT_DOUBLE_EQ(m.r(), 7.0 / 3.0);
    expectPair(m, 1, 0);
    EXPECT_TRUE(std::isnan(VQList().mean().r()));

    VQList c;
    c.addComplex({2, 4});
    c.addComplex({0, 0});
    EXPECT_EQ(c.mean().c(), cplx(1, 2));
}

TEST(VQList, MeanFreq) {
    VQNumber m = reals({1, 2, 3}).meanFreq(reals({1, 0, 1}));
    EXPECT_EQ(m.r(), 2);
    EXPECT_EQ(reals({1, 2}).meanFreq(reals({1, 3, 100})).r(), 1.75);
    VQNumber shortF = reals({1, 2, 3}).meanFreq(reals({1, 1}));
    EXPECT_TRUE(std::isnan(shortF.r()));
    expectPair(shortF, 15, -15);
}

TEST(VQList, QuartilesWorkedExamples) {
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

TEST(VQList, QuartilePairs) {
    VQList l;
    l.addReal(1, 1, 0);
    l.addReal(2.5, 2, -1);
    VQNumber med = l.median();
    EXPECT_EQ(med.r(), 1.75);
    expectPair(med, 1, 0);

    VQList one;
    one.addReal(7, 3, -2);
    VQNumber q1, m, q3;
    one.quartilesQ1(q1, m, q3, nullptr);
    expectPair(q1, 3, -2);
    expectPair(q3, 3, -2);
    EXPECT_EQ(m.r(), 7);

    VQNumber a = VQNumber::numberWithReal(9, 4, 4), b = a, c = a;
    VQList().quartilesQ1(a, b, c, nullptr);
    EXPECT_EQ(b.r(), 0);
    expectPair(b, 4, 4);  // pairs left alone
}

TEST(VQList, QuartilesWithFrequencies) {
    VQList data = reals({3, 1, 2});
    VQList freq = reals({3, 1, 2});  // value 1 once, 2 twice, 3 three times
    VQNumber q1, med, q3;
    data.quartilesQ1(q1, med, q3, &freq);
    EXPECT_EQ(q1.r(), 2);
    EXPECT_EQ(med.r(), 2.5);
    EXPECT_EQ(q3.r(), 3);
    EXPECT_EQ(data.medianFreq(freq).r(), 2.5);
    EXPECT_EQ(data.Q1Freq(freq).r(), 2);
    EXPECT_EQ(data.Q3Freq(freq).r(), 3);
    EXPECT_EQ(values(data), (std::vector<double>{3, 1, 2}));  // receiver untouched

    VQList single = reals({5});
    VQList w = reals({1});
    EXPECT_EQ(single.medianFreq(w).r(), 5);
    VQNumber none = single.medianFreq(reals({0}));
    EXPECT_EQ(none.r(), 0);
    expectPair(none, 15, -15);
}

TEST(VQList, QuartilesWithMismatchedFrequenciesGiveNaN) {
    VQList data = reals({1, 2, 3});
    for (const VQList& f : {reals({1, 1}), VQList(), reals({1, 1, 1, 1})}) {
        VQNumber q1, med, q3;
        data.quartilesQ1(q1, med, q3, &f);
        EXPECT_TRUE(std::isnan(q1.r()));
        EXPECT_TRUE(std::isnan(med.r()));
        EXPECT_TRUE(std::isnan(q3.r()));
        expectPair(med, 15, -15);
    }
    VQList emptyF;
    VQNumber m = VQList().medianFreq(emptyF);
    EXPECT_EQ(m.r(), 0);
}

TEST(VQList, Variance) {
    VQList l = reals({2, 4, 4, 4, 5, 5, 7, 9});
    EXPECT_DOUBLE_EQ(l.variance(), 32.0 / 7.0);
    EXPECT_DOUBLE_EQ(l.standardDeviation(), std::sqrt(32.0 / 7.0));
    EXPECT_EQ(reals({5}).variance(), 0);
    EXPECT_EQ(VQList().variance(), 0);
}

TEST(VQList, VarianceFreq) {
    VQList x = reals({2, 4, 5, 7, 9});
    VQList f = reals({1, 3, 2, 1, 1});
    EXPECT_NEAR(x.varianceFreq(f), 32.0 / 7.0, 1e-12);
    EXPECT_NEAR(x.standardDeviationFreq(f), std::sqrt(32.0 / 7.0), 1e-12);
    EXPECT_TRUE(std::isnan(reals({1, 2}).varianceFreq(reals({1, 1.5}))));
    const double emptyVar = VQList().varianceFreq(VQList());
    EXPECT_EQ(emptyVar, 0);
    EXPECT_TRUE(std::signbit(emptyVar));
    EXPECT_TRUE(std::isnan(reals({3, 4}).varianceFreq(reals({1, 0}))));
    EXPECT_TRUE(std::isnan(reals({1, 2, 3}).varianceFreq(reals({1, 1}))));
    EXPECT_TRUE(std::isnan(reals({1, 2, 3}).standardDeviationFreq(reals({1}))));
}

TEST(VQList, WeightedSums) {
    VQList x = reals({1, 2, 3});
    VQList f = reals({2, 0, 1});
    EXPECT_EQ(x.sumFreq(&f), 5);
    EXPECT_EQ(x.sumFreq(nullptr), 6);
    EXPECT_EQ(x.sumOfSquaresFreq(&f), cplx(11, 0));
    EXPECT_EQ(x.sumOfSquaresFreq(nullptr), cplx(14, 0));
    VQList y = reals({4, 5, 6});
    EXPECT_EQ(x.sumOfXY(y, nullptr), cplx(32, 0));
    EXPECT_EQ(x.sumOfXY(y, &f), cplx(26, 0));

    VQList shortF = reals({1});
    EXPECT_TRUE(std::isnan(x.sumFreq(&shortF)));
    EXPECT_TRUE(std::isnan(x.sumOfSquaresFreq(&shortF).real()));
    EXPECT_TRUE(std::isnan(x.sumOfXY(y, &shortF).real()));
    EXPECT_TRUE(std::isnan(x.sumOfXY(shortF, nullptr).real()));
}

TEST(VQList, ShiftAndRotate) {
    VQList l;
    l.addReal(1, 3, 0);
    l.addReal(2, 3, 0);
    l.addReal(3, 3, 0);
    EXPECT_EQ(values(l.shift(1)), (std::vector<double>{0, 1, 2}));
    EXPECT_EQ(values(l.shift(-1)), (std::vector<double>{2, 3, 0}));
    EXPECT_EQ(values(l.shift(5)), (std::vector<double>{0, 0, 0}));
    EXPECT_EQ(values(l.shift(std::numeric_limits<int>::min())), (std::vector<double>{0, 0, 0}));
    EXPECT_EQ(values(l.rotate(1)), (std::vector<double>{3, 1, 2}));
    EXPECT_EQ(values(l.rotate(-1)), (std::vector<double>{2, 3, 1}));
    EXPECT_EQ(values(l.rotate(4)), (std::vector<double>{3, 1, 2}));
    EXPECT_EQ(values(l.rotate(std::numeric_limits<int>::min())).size(), 3u);
    expectPair(l.shift(1).v()[1], 0, 0);
    expectPair(l.rotate(1).v()[0], 0, 0);
    expectPair(l.shift(0).v()[0], 3, 0);  // a plain copy
    EXPECT_EQ(VQList().shift(2).count(), 0);
    EXPECT_EQ(VQList().rotate(2).count(), 0);
}

TEST(VQList, Quantile) {
    VQList l = reals({3, 1, 2});
    EXPECT_EQ(l.quantile(0.5), 2);
    EXPECT_EQ(l.quantile(1), 3);
    EXPECT_EQ(l.quantile(0), 1);
    EXPECT_EQ(l.quantile(0.25), 1.5);
    EXPECT_EQ(l.quantile(0.25, nullptr), 1.5);
    EXPECT_EQ(VQList().quantile(0.5), 0);
    EXPECT_TRUE(std::isnan(l.quantile(1.5)));
    EXPECT_TRUE(std::isnan(l.quantile(-0.1)));
    EXPECT_TRUE(std::isnan(l.quantile(NAN)));
}

TEST(VQList, Description) {
    VQList l = reals({1.5, -2});
    EXPECT_EQ(l.description(), "[0] 1.5\n[1] -2\n");
}

TEST(VQList, ArchiveRoundTrip) {
    VQList l;
    l.addReal(1.5, 2, -1);
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
}

TEST(VQList, DamagedArchivesNeverCrash) {
    for (const char* text : {"null", "[]", "7", "{}", R"({"type":"x","v":3})", R"({"type":1})",
                             R"({"v":[null,1,"a",{"r":2}]})", R"({"type":1e300,"v":{}})"}) {
        SCOPED_TRACE(text);
        VQList l = VQList::decode(nlohmann::json::parse(text));
        EXPECT_GE(l.count(), 0);
        EXPECT_TRUE(l.type() == 0 || l.type() == 1);
    }
    VQList l = VQList::decode(nlohmann::json::parse(R"({"v":[null,{"r":2,"sf":1,"sd":0}]})"));
    ASSERT_EQ(l.count(), 2);
    EXPECT_EQ(l.realAtIndex(0), 0);
    EXPECT_EQ(l.realAtIndex(1), 2);
    EXPECT_EQ(l.type(), 0);
}
