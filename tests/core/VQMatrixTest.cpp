#include "core/VQMatrix.h"

#include "AllocationHooks.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cblas.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <new>
#include <string>
#include <vector>

using orvenda::SigPair;
using orvenda::SNum;
using orvenda::VQMatrix;
using orvenda::VQNumber;
using orvenda::test::complexes;
using orvenda::test::figures;
using orvenda::test::matrixOf;

using orvenda::test::FailLargeAllocations;

namespace {

void expectValues(const VQMatrix& m, std::initializer_list<std::initializer_list<double>> rows,
                  double tol = 1e-12)
{
    ASSERT_EQ(m.dimRow(), rows.size());
    std::size_t i = 0;
    for (const auto& row : rows) {
        ASSERT_EQ(m.dimCol(), row.size());
        std::size_t j = 0;
        for (double v : row) {
            EXPECT_NEAR(m.row(i, j), v, tol) << "cell " << i << "," << j;
            ++j;
        }
        ++i;
    }
}

SigPair pairAt(const VQMatrix& m, std::size_t i, std::size_t j)
{
    SNum c = m.snumAtRow(i, j);
    return {c.sigFig, c.sigDec};
}

SigPair pair(int fig, int dec)
{
    return {std::int8_t(fig), std::int8_t(dec)};
}

} // namespace

// ---- Storage and element access ---------------------------------------------------------

TEST(VQMatrixStorage, NewEmptyAndOutsideAccess)
{
    auto m = VQMatrix::matrixWithRow(2, 3);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->dimRow(), 2u);
    EXPECT_EQ(m->dimCol(), 3u);
    EXPECT_EQ(m->error(), 0);
    for (std::size_t i = 0; i < 2; ++i)
        for (std::size_t j = 0; j < 3; ++j) {
            EXPECT_EQ(m->row(i, j), 0.0);
            EXPECT_EQ(pairAt(*m, i, j), pair(15, -15));
        }

    auto none = VQMatrix::matrixWithRow(0, 3);
    ASSERT_TRUE(none);
    EXPECT_EQ(none->m(), nullptr);
    EXPECT_EQ(none->mSig(), nullptr);
    EXPECT_EQ(none->r(0), nullptr);
    none->set(5, 0, 0); // does nothing
    EXPECT_EQ(none->row(0, 0), 0.0);
    auto archive = none->encode();
    EXPECT_EQ(archive.size(), 2u);
    EXPECT_EQ(archive["row"], 0);
    EXPECT_EQ(archive["col"], 3);

    VQMatrix small = matrixOf({{1, 2}, {3, 4}});
    EXPECT_EQ(small.row(2, 0), 0.0);
    EXPECT_EQ(small.row(0, 2), 0.0);
    small.set(9, 5, 5);
    small.setSNum({3, -1, 9}, 0, 7);
    EXPECT_EQ(small.snumAtRow(9, 9).value, 0.0);
    expectValues(small, {{1, 2}, {3, 4}});
    EXPECT_EQ(small.r(1)[1], 4.0);
}

TEST(VQMatrixStorage, NegativeOrHugeSizesAreRefused)
{
    EXPECT_FALSE(VQMatrix::matrixWithRow(std::size_t(-1), 2));
    EXPECT_FALSE(VQMatrix::matrixWithRow(static_cast<std::size_t>(static_cast<long long>(-3)), 0));
    EXPECT_FALSE(VQMatrix::matrixWithRow(1u << 20, 1u << 20));
    EXPECT_FALSE(VQMatrix::matrixWithRow(std::size_t(1) << 33, std::size_t(1) << 33));  // product wraps
    EXPECT_FALSE(VQMatrix::identityDimension(std::size_t(-2)));
    EXPECT_FALSE(VQMatrix::randomWithRow(std::size_t(-1), std::size_t(-1)));

    auto m = VQMatrix::matrixWithRow(2, 2);
    m->set(7, 1, 1);
    m->resizeRow(std::size_t(-1), 3);
    EXPECT_EQ(m->error(), VQMatrix::ErrorNoStorage);
    EXPECT_EQ(m->dimRow(), 2u);
    EXPECT_EQ(m->row(1, 1), 7.0);
}

// The threads of this process, from the kernel's count.
int processThreads()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("Threads:", 0) == 0)
            return std::stoi(line.substr(8));
    return -1;
}

// BLAS works on the calling thread alone, whatever the environment says: no thread of
// its own spins beside the calculator's (matrices are too small to gain from them).
TEST(VQMatrixStorage, ProductsRunOnTheCallingThreadAlone)
{
    EXPECT_EQ(openblas_get_num_threads(), 1);
    const int before = processThreads();
    VQMatrix a = *VQMatrix::matrixWithRow(99, 99);
    a.fill({15, -15, 0.5});
    const auto product = a.multiply(a);
    ASSERT_TRUE(product);
    EXPECT_DOUBLE_EQ(product->row(98, 98), 99 * 0.25);
    EXPECT_EQ(a.det(), 0);
    EXPECT_EQ(processThreads(), before);
}

TEST(VQMatrixStorage, StorageFailuresAreReported)
{
    VQMatrix a = *VQMatrix::matrixWithRow(20, 20);  // 3200 bytes of values
    a.fill({15, -15, 1});
    nlohmann::json archive = a.encode();
    std::optional<VQMatrix> t, sum, inv, cs, made;
    double d = 5;
    VQMatrix decoded;
    VQMatrix resized = a;
    VQMatrix b = a, c = a, e = a, f = a;
    {
        FailLargeAllocations guard(1000);
        t = a.transpose();
        sum = b.add(a);
        inv = c.inverse();
        d = e.det();
        cs = f.cumsum();
        made = VQMatrix::matrixWithRow(30, 30);
        resized.resizeRow(25, 25);
        decoded = VQMatrix::decode(archive);
    }
    EXPECT_FALSE(t || sum || inv || cs || made);
    EXPECT_EQ(d, 0);
    for (const VQMatrix* failed : {&a, &b, &c, &e, &f, &resized})
        EXPECT_EQ(failed->error(), VQMatrix::ErrorNoStorage);
    EXPECT_EQ(resized.dimRow(), 20u);
    EXPECT_EQ(resized.row(19, 19), 1);
    EXPECT_EQ(decoded.dimRow(), 0u);

    VQMatrix empty = *VQMatrix::matrixWithRow(3, 0);  // no columns to copy
    auto aug = empty.augment(matrixOf({{1}, {2}, {3}}));
    expectValues(*aug, {{1}, {2}, {3}});
    empty._swapRow(0, 2);
    EXPECT_EQ(empty.error(), 0);
}

TEST(VQMatrixStorage, NumbersCarryTheirPairClampedToBytes)
{
    auto m = VQMatrix::matrixWithRow(1, 2);
    m->setNum(VQNumber::numberWithReal(2.5, 3, -2), 0, 0);
    m->setNum(VQNumber({4.0, 7.0}, 300, -300), 0, 1);
    VQNumber a = m->numAtRow(0, 0);
    EXPECT_EQ(a.r(), 2.5);
    EXPECT_EQ(a.sigFig(), 3);
    EXPECT_EQ(a.sigDec(), -2);
    VQNumber b = m->numAtRow(0, 1);
    EXPECT_EQ(b.r(), 4.0);
    EXPECT_EQ(b.i(), 0.0);
    EXPECT_EQ(b.sigFig(), 127);
    EXPECT_EQ(b.sigDec(), -128);
}

TEST(VQMatrixStorage, IdentityRandomFillColumnResize)
{
    auto id = VQMatrix::identityDimension(3);
    expectValues(*id, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}});

    auto rnd = VQMatrix::randomWithRow(4, 5);
    for (std::size_t i = 0; i < 4; ++i)
        for (std::size_t j = 0; j < 5; ++j) {
            double v = rnd->row(i, j);
            EXPECT_EQ(v, std::trunc(v));
            EXPECT_GE(v, -9);
            EXPECT_LE(v, 9);
        }

    VQMatrix m = matrixOf({{1, 2, 3}, {4, 5, 6}});
    m.setSNum({3, -1, 2.5}, 1, 0);
    auto col = m.column(0);
    ASSERT_TRUE(col);
    expectValues(*col, {{1}, {2.5}});
    EXPECT_EQ(pairAt(*col, 1, 0), pair(3, -1));
    EXPECT_FALSE(m.column(3));  // the column equal to dimCol does not exist

    m.resizeRow(3, 2);
    expectValues(m, {{1, 2}, {2.5, 5}, {0, 0}});
    EXPECT_EQ(pairAt(m, 1, 0), pair(3, -1));
    EXPECT_EQ(pairAt(m, 2, 1), pair(15, -15));

    m.fill({4, -2, 1.25});
    expectValues(m, {{1.25, 1.25}, {1.25, 1.25}, {1.25, 1.25}});
    EXPECT_EQ(pairAt(m, 2, 1), pair(4, -2));

    m.clear();
    EXPECT_EQ(m.dimRow(), 0u);
    EXPECT_EQ(m.m(), nullptr);
}

TEST(VQMatrixStorage, EqualComparesShapeAndValuesNotPairs)
{
    VQMatrix a = matrixOf({{1, 2}, {3, 4}});
    VQMatrix b = matrixOf({{1, 2}, {3, 4}});
    b.setSNum({2, 0, 4}, 1, 1);
    EXPECT_TRUE(a.equal(b));
    EXPECT_FALSE(a.equal(matrixOf({{1, 2, 3, 4}})));
    b.set(4.5, 1, 1);
    EXPECT_FALSE(a.equal(b));
}

TEST(VQMatrixStorage, DescriptionIsLocaleFreeScientific)
{
    VQMatrix m = matrixOf({{1, -2.5}, {1234567, 0}});
    EXPECT_EQ(m.description(),
              "1.000000E+00, -2.500000E+00\n1.234567E+06, 0.000000E+00\n");
}

// ---- Archive --------------------------------------------------------------------------------

TEST(VQMatrixArchive, RoundTripKeepsValuesAndPairs)
{
    VQMatrix m = matrixOf({{1, -2.5, std::numeric_limits<double>::infinity()},
                       {1e-300, 0.1, -0.0}});
    m.setSNum({3, -1, 2.5}, 0, 1);
    m.setSNum({-7, 100, 0.1}, 1, 1);
    VQMatrix back = VQMatrix::decode(m.encode());
    ASSERT_EQ(back.dimRow(), 2u);
    ASSERT_EQ(back.dimCol(), 3u);
    EXPECT_EQ(back.row(0, 2), std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::signbit(back.row(1, 2)));
    EXPECT_TRUE(back.equal(m));
    EXPECT_EQ(pairAt(back, 0, 1), pair(3, -1));
    EXPECT_EQ(pairAt(back, 1, 1), pair(-7, 100));
    EXPECT_EQ(pairAt(back, 1, 0), pair(15, -15));

    // Through JSON text the binary values come back as byte arrays.
    VQMatrix viaText = VQMatrix::decode(nlohmann::json::parse(m.encode().dump()));
    EXPECT_TRUE(viaText.equal(m));
    EXPECT_EQ(pairAt(viaText, 0, 1), pair(3, -1));
}

TEST(VQMatrixArchive, NewMatrixPairBytes)
{
    auto m = VQMatrix::matrixWithRow(2, 2);
    auto archive = m->encode();
    const auto& sig = archive["mSig"].get_binary();
    ASSERT_EQ(sig.size(), 8u);
    for (std::size_t i = 0; i < 8; i += 2) {
        EXPECT_EQ(sig[i], 0x0F);
        EXPECT_EQ(sig[i + 1], 0xF1);
    }
    EXPECT_EQ(archive["m"].get_binary().size(), 32u);
}

TEST(VQMatrixArchive, MissingPairsAreDerivedFromValues)
{
    VQMatrix m = matrixOf({{1.5, 1200, 1.25}});
    auto archive = m.encode();
    archive.erase("mSig");
    VQMatrix back = VQMatrix::decode(archive);
    EXPECT_TRUE(back.equal(m));
    EXPECT_EQ(pairAt(back, 0, 0), pair(2, -1));
    EXPECT_EQ(pairAt(back, 0, 1), pair(2, 2));
    EXPECT_EQ(pairAt(back, 0, 2), pair(3, -2));
}

TEST(VQMatrixArchive, DamagedArchivesNeverOverrun)
{
    VQMatrix m = matrixOf({{1, 2}, {3, 4}});
    m.setSNum({3, -1, 4}, 1, 1);
    auto archive = m.encode();

    // Short "m" and "mSig": only what is there is copied, the rest stays 0 / derived.
    auto shortArchive = archive;
    auto values = archive["m"].get_binary();
    values.resize(8 * 2 + 5);
    shortArchive["m"] = nlohmann::json::binary(std::vector<std::uint8_t>(values.begin(), values.end()));
    shortArchive["mSig"] = nlohmann::json::binary(std::vector<std::uint8_t>{3, 0xFE, 9});
    VQMatrix a = VQMatrix::decode(shortArchive);
    expectValues(a, {{1, 2}, {0, 0}});
    EXPECT_EQ(pairAt(a, 0, 0), pair(3, -2));

    // Long "m": the dimensions decide.
    auto longArchive = archive;
    auto more = archive["m"].get_binary();
    more.insert(more.end(), 64, 0x40);
    longArchive["m"] = nlohmann::json::binary(std::vector<std::uint8_t>(more.begin(), more.end()));
    expectValues(VQMatrix::decode(longArchive), {{1, 2}, {3, 4}});

    // Missing or mistyped keys, absurd or negative dimensions.
    EXPECT_EQ(VQMatrix::decode(nlohmann::json()).dimRow(), 0u);
    EXPECT_EQ(VQMatrix::decode(nlohmann::json::array({1, 2})).dimRow(), 0u);
    EXPECT_EQ(VQMatrix::decode({{"row", "two"}, {"col", 2}}).dimRow(), 0u);
    auto noValues = VQMatrix::decode({{"row", 2}, {"col", 2}});
    expectValues(noValues, {{0, 0}, {0, 0}});
    auto absurd = archive;
    absurd["row"] = std::uint64_t(1) << 62;
    absurd["col"] = std::uint64_t(1) << 62;
    VQMatrix huge = VQMatrix::decode(absurd);
    EXPECT_EQ(huge.dimRow(), 0u);
    EXPECT_EQ(huge.dimCol(), 0u);
    auto negative = archive;
    negative["row"] = -2;
    EXPECT_EQ(VQMatrix::decode(negative).dimRow(), 0u);
    auto wrongType = archive;
    wrongType["m"] = "not bytes";
    wrongType["mSig"] = nlohmann::json::array({1, "x", 3});
    expectValues(VQMatrix::decode(wrongType), {{0, 0}, {0, 0}});
}

// ---- Element-wise and arithmetic operations ------------------------------------------------
// Their values are in tests/cases/matrix-values.cases; here the pairs and error numbers.

TEST(VQMatrixArithmetic, SumsProductsTransposeAndAugmentCarryThePairs)
{
    VQMatrix a = matrixOf({{1.2, 10}});
    VQMatrix b = matrixOf({{3.45, 2}});
    a.setSNum({3, -1, 1.2}, 0, 0);
    b.setSNum({3, -2, 3.45}, 0, 0);
    EXPECT_EQ(pairAt(*a.add(b), 0, 0), pair(3, -2));
    EXPECT_EQ(pairAt(*a.subtract(b), 0, 0), pair(3, -2));
    EXPECT_EQ(a.error(), 0);
    EXPECT_FALSE(a.add(matrixOf({{1}, {2}})));
    EXPECT_EQ(a.error(), VQMatrix::ErrorDimension);
    expectValues(a, {{1.2, 10}});

    // A product has the full pair.
    VQMatrix m = matrixOf({{1, 2, 3}, {4, 5, 6}});
    m.setSNum({2, 0, 1}, 0, 0);
    EXPECT_EQ(pairAt(*m.multiply(matrixOf({{7, 8}, {9, 10}, {11, 12}})), 0, 0), pair(15, -15));
    EXPECT_FALSE(m.multiply(m));
    EXPECT_EQ(m.error(), VQMatrix::ErrorDimension);
    // An empty inner dimension gives zeros of the outer shape.
    auto empty = VQMatrix::matrixWithRow(2, 0)->multiply(*VQMatrix::matrixWithRow(0, 3));
    expectValues(*empty, {{0, 0, 0}, {0, 0, 0}});

    m.setSNum({4, -3, 2}, 0, 1);
    EXPECT_EQ(pairAt(*m.transpose(), 1, 0), pair(4, -3));
    EXPECT_EQ(pairAt(*m.augment(matrixOf({{7}, {8}})), 0, 1), pair(4, -3));
    EXPECT_FALSE(m.augment(matrixOf({{7}})));
    EXPECT_EQ(m.error(), VQMatrix::ErrorDimension);
}

TEST(VQMatrixArithmetic, MultiplyConstTakesTheFewerFigures)
{
    VQMatrix a = matrixOf({{1.5, 0.5}});
    a.setSNum({3, -2, 1.5}, 0, 0);
    a.setSNum({3, -3, 0.5}, 0, 1);
    auto r = a.multiplyConst({2, 0, 2});
    ASSERT_TRUE(r);
    expectValues(*r, {{3, 1}});
    EXPECT_EQ(pairAt(*r, 0, 0), pair(2, -1));
    // A result of exactly 1 has its leading digit in the units place.
    EXPECT_EQ(pairAt(*r, 0, 1), pair(2, -1));
    auto small = a.multiplyConst({3, -2, 0.01});
    EXPECT_EQ(pairAt(*small, 0, 0), pair(3, -4));  // 0.015
    auto zero = a.multiplyConst({3, 0, 0});
    EXPECT_EQ(pairAt(*zero, 0, 0), pair(3, -2));
}

TEST(VQMatrixArithmetic, Powers)
{
    VQMatrix a = matrixOf({{1, 2}, {3, 4}});
    a.setSNum({3, -2, 1}, 0, 0);
    EXPECT_EQ(pairAt(*a.square(), 0, 0), pair(3, -2));
    expectValues(*a.power(-1), {{-2, 1}, {1.5, -0.5}});
    auto three = VQMatrix::randomWithRow(3, 3);
    expectValues(*three->power(0), {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}});
    for (int p : {-2, 256}) {
        VQMatrix b = a;
        EXPECT_FALSE(b.power(p));
        EXPECT_EQ(b.error(), VQMatrix::ErrorPowerRange);
    }
    VQMatrix wide = matrixOf({{1, 2, 3}, {4, 5, 6}});
    EXPECT_FALSE(wide.power(2));
    EXPECT_EQ(wide.error(), VQMatrix::ErrorNotSquare);
}

TEST(VQMatrixArithmetic, PartsAndRoundingDropTheDigitsTheyRemove)
{
    VQMatrix a = matrixOf({{2.75, -2.75, 2.5, -2.5}});
    for (std::size_t j = 0; j < 4; ++j)
        a.setSNum({4, -2, a.row(0, j)}, 0, j);
    EXPECT_EQ(pairAt(*a.negate(), 0, 0), pair(4, -2));
    EXPECT_EQ(pairAt(*a.iPart(), 0, 0), pair(2, 0));
    EXPECT_EQ(pairAt(*a.intPart(), 0, 1), pair(2, 0));
    EXPECT_EQ(pairAt(*a.fPart(), 0, 0), pair(3, -2));
    VQMatrix whole = matrixOf({{12}});
    whole.setSNum({2, 0, 12}, 0, 0);
    auto wf = whole.fPart();
    EXPECT_EQ(wf->row(0, 0), 0);
    EXPECT_EQ(pairAt(*wf, 0, 0), pair(0, 0));

    VQMatrix r = matrixOf({{1.2345, 1234.5}});
    r.setSNum({5, -4, 1.2345}, 0, 0);
    r.setSNum({5, -1, 1234.5}, 0, 1);
    auto two = r.round(2);
    EXPECT_EQ(pairAt(*two, 0, 0), pair(3, -2)); // 1.23 keeps three figures
    EXPECT_EQ(pairAt(*two, 0, 1), pair(5, -1)); // already coarser than 2 decimals
    EXPECT_EQ(pairAt(*r.round(-2), 0, 1), pair(2, 2));
    EXPECT_EQ(VQMatrix::round(2.5, 0), 3);
    EXPECT_EQ(VQMatrix::round(-2.5, 0), -3);
    EXPECT_EQ(VQMatrix::round(0.125, 2), 0.13);
    EXPECT_EQ(VQMatrix::round(1e300, 400), 1e300); // no overflow into NaN
    EXPECT_EQ(VQMatrix::round(5, -400), 0);

    // cumSum carries the largest exponent across columns.
    VQMatrix c = matrixOf({{1, 1}, {2, 2}});
    c.setSNum({2, -1, 1}, 0, 0);
    c.setSNum({2, -1, 2}, 1, 0);
    c.setSNum({4, -3, 1}, 0, 1);
    c.setSNum({4, -3, 2}, 1, 1);
    auto cs = c.cumsum();
    for (auto [i, j] : {std::pair<std::size_t, std::size_t>{0, 0}, {1, 1}, {0, 1}})
        EXPECT_EQ(pairAt(*cs, i, j), pair(2, -1));
}

TEST(VQMatrixArithmetic, SignificanceRules)
{
    // {sigFig, sigDec, value} in, the count the adjustment gives.
    const std::pair<SNum, int> figures[] = {
        {{9, -1, 123.4}, 4}, {{9, -2, 0}, 3}, {{9, 1, 0}, 0},
        {{4, 2, NAN}, 15},      // a NaN gets the full pair
        {{9, -15, 1e300}, 127}, // 316 figures do not fit a byte
    };
    for (auto [cell, sigFig] : figures) {
        VQMatrix::adjustSigFig(cell);
        EXPECT_EQ(cell.sigFig, sigFig) << cell.value;
    }
    const std::pair<SNum, int> places[] = {{{3, 9, 0.0123}, -4}, {{1, 9, 1}, 0}, {{4, 2, NAN}, -15}};
    for (auto [cell, sigDec] : places) {
        VQMatrix::adjustSigDec(cell);
        EXPECT_EQ(cell.sigDec, sigDec) << cell.value;
    }
}

// ---- Row operations and echelon forms -----------------------------------------------------

TEST(VQMatrixRows, SwapAddAndMultiplyRows)
{
    VQMatrix a = matrixOf({{1.2, 5}, {3.45, 6}});
    a.setSNum({3, -1, 1.2}, 0, 0);
    a.setSNum({3, -2, 3.45}, 1, 0);

    auto swapped = a.swapRow(0, 1);
    ASSERT_TRUE(swapped);
    expectValues(*swapped, {{3.45, 6}, {1.2, 5}});
    EXPECT_EQ(pairAt(*swapped, 1, 0), pair(3, -1));
    expectValues(a, {{1.2, 5}, {3.45, 6}});

    auto added = a.addRow(0, 1);
    expectValues(*added, {{1.2, 5}, {4.65, 11}});
    EXPECT_EQ(pairAt(*added, 1, 0), pair(2, -1));  // the coarser exponent wins

    auto scaled = a.multiplyRowNumber(0, {2, 0, 5}, 1);
    expectValues(*scaled, {{1.2, 5}, {6, 25}});
    EXPECT_EQ(pairAt(*scaled, 1, 0), pair(2, -1));

    auto combined = a.multiplyRowNumberAddTo(0, {15, -15, -2}, 1);
    expectValues(*combined, {{1.2, 5}, {1.05, -4}});
    EXPECT_EQ(pairAt(*combined, 1, 0), pair(3, -2));

    // A cancellation below 1e-15 is stored as exact zero.
    VQMatrix thirds = matrixOf({{1, 1.0 / 3}, {-1, -1.0 / 3 + 1e-17}});
    thirds._multiplyRowNumberAddTo(0, {15, -15, 1}, 1);
    EXPECT_EQ(thirds.row(1, 0), 0.0);
    EXPECT_EQ(thirds.row(1, 1), 0.0);

    EXPECT_FALSE(a.swapRow(0, 2));
    EXPECT_EQ(a.error(), VQMatrix::ErrorDimension);
    a.setError(0);
    a._addRow(5, 0);
    EXPECT_EQ(a.error(), VQMatrix::ErrorDimension);
    expectValues(a, {{1.2, 5}, {3.45, 6}});
}

TEST(VQMatrixRows, NormalizeRow)
{
    VQMatrix a = matrixOf({{2, NAN, 0, 4}});
    a.normalizeRowNumber(0, 0);
    expectValues(a, {{1, 0, 0, 2}});
    VQMatrix b = matrixOf({{1, NAN}});
    b.normalizeRowNumber(0, 0);  // a pivot of 1 leaves the row alone
    EXPECT_TRUE(std::isnan(b.row(0, 1)));
}

TEST(VQMatrixEchelon, EchelonFormsDeterminantAndInverse)
{
    auto r3 = matrixOf({{2, 1, -1, 8}, {-3, -1, 2, -11}, {-2, 1, 2, -3}}).ref();
    expectValues(*r3, {{1, 1.0 / 3, -2.0 / 3, 11.0 / 3}, {0, 1, 0.4, 2.6}, {0, 0, 1, -1}});
    VQMatrix tall = matrixOf({{1, 2}, {3, 4}, {5, 6}});
    EXPECT_FALSE(tall.ref());
    EXPECT_EQ(tall.error(), VQMatrix::ErrorDimension);
    EXPECT_TRUE(VQMatrix::matrixWithRow(0, 2)->rref());

    VQMatrix singular = matrixOf({{1, 2}, {2, 4}});
    EXPECT_EQ(singular.det(), 0);
    EXPECT_EQ(singular.error(), 0);
    VQMatrix wide = matrixOf({{1, 2, 3}, {4, 5, 6}});
    EXPECT_EQ(wide.det(), 0);
    EXPECT_EQ(wide.error(), VQMatrix::ErrorNotSquare);
    EXPECT_FALSE(wide.inverse());
    EXPECT_EQ(wide.error(), VQMatrix::ErrorNotSquare);
    VQMatrix a = matrixOf({{1, 2}, {3, 4}});
    EXPECT_NEAR(a.det(), -2, 1e-12);
    auto inv = a.inverse();
    ASSERT_TRUE(inv);
    EXPECT_EQ(a.error(), 0);
    expectValues(a, {{1, 2}, {3, 4}}); // both work on a copy
    expectValues(*inv, {{-2, 1}, {1.5, -0.5}});
    VQMatrix b = matrixOf({{2, 0, 1}, {1, 3, 2}, {1, 1, 4}});
    expectValues(*b.multiply(*b.inverse()), {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}});

    EXPECT_FALSE(singular.inverse());
    EXPECT_EQ(singular.error(), VQMatrix::ErrorSingular);
    // Ill-conditioned: the inverse comes back, with the singular error.
    VQMatrix illConditioned = matrixOf({{1, 0}, {0, 1e-13}});
    auto ill = illConditioned.inverse();
    ASSERT_TRUE(ill);
    EXPECT_EQ(illConditioned.error(), VQMatrix::ErrorSingular);
    expectValues(*ill, {{1, 0}, {0, 1e13}}, 1e-3);
}

TEST(VQMatrixLinearAlgebra, LeastSquares)
{
    auto x = matrixOf({{2, 1, 5}, {1, 3, 10}}).dsv();
    ASSERT_TRUE(x);
    expectValues(*x, {{1}, {3}});

    // More equations than unknowns: the best fit of y = a x.
    auto fit = matrixOf({{1, 2}, {2, 4.2}, {3, 5.8}}).dsv();
    ASSERT_TRUE(fit);
    expectValues(*fit, {{27.8 / 14}});

    // Fewer equations than unknowns: the smallest solution.
    auto small = matrixOf({{1, 1, 2}}).dsv();
    expectValues(*small, {{1}, {1}});

    VQMatrix noUnknowns = matrixOf({{1}, {2}});
    EXPECT_FALSE(noUnknowns.dsv());
    EXPECT_EQ(noUnknowns.error(), VQMatrix::ErrorDimension);
}

TEST(VQMatrixLinearAlgebra, RrefSolution)
{
    EXPECT_FALSE(matrixOf({{1, 0, 2}, {0, 0, 1}}).rrefSolution());  // 0 = 1
    auto free = matrixOf({{1, 2, 3}, {0, 0, 0}}).rrefSolution();
    ASSERT_TRUE(free);
    expectValues(*free, {{1, 2, 3}, {0, 0, 0}});
    expectValues(*matrixOf({{1, 0, 2}, {0, 1, 3}}).rrefSolution(), {{1, 0, 2}, {0, 1, 3}});
    // Each equation lands in the row of its leading unknown.
    expectValues(*matrixOf({{1, 2, 0, 5}, {0, 0, 1, 3}}).rrefSolution(),
                 {{1, 2, 0, 5}, {0, 0, 0, 0}, {0, 0, 1, 3}});
    EXPECT_FALSE(matrixOf({{1, 0, 2}}).rrefSolution());
    EXPECT_FALSE(matrixOf({{1, 2}, {0, 0}}).rrefSolution());
    EXPECT_FALSE(matrixOf({{2, 0, 1}, {0, 2, 1}}).rrefSolution());  // no pivot column
}

TEST(VQMatrixLinearAlgebra, RrefByLeastSquares)
{
    // A square system: 1 on the diagonal, the solution beside it.
    auto x = matrixOf({{2, 1, 5}, {1, 3, 10}}).rrefLAPACK();
    ASSERT_TRUE(x);
    expectValues(*x, {{1, 0, 1}, {0, 1, 3}});
    // One unknown in two equations: its least-squares value (1·1 + 2·2.2)/5.
    auto fit = matrixOf({{1, 1}, {2, 4.4}}).rrefLAPACK();
    ASSERT_TRUE(fit);
    expectValues(*fit, {{1, 1.96}, {0, 0}});

    VQMatrix tall = matrixOf({{1, 2}, {3, 4}, {5, 6}});
    EXPECT_FALSE(tall.rrefLAPACK());
    EXPECT_EQ(tall.error(), VQMatrix::ErrorDimension);
    VQMatrix singular = matrixOf({{1, 2, 3}, {2, 4, 6}});
    EXPECT_FALSE(singular.rrefLAPACK());
    EXPECT_EQ(singular.error(), VQMatrix::ErrorSingular);
    // More unknowns than rows: the solution has no room in the right-hand side.
    VQMatrix wide = matrixOf({{1, 1, 1, 3}, {1, -1, 0, 0}});
    EXPECT_FALSE(wide.rrefLAPACK());
    EXPECT_EQ(wide.error(), VQMatrix::ErrorSingular);
}

TEST(VQMatrixLinearAlgebra, EigenValuesOnTheSchurFormsDiagonal)
{
    const auto diagonal = [](const VQMatrix& m) {
        std::vector<double> d;
        for (std::size_t i = 0; i < m.dimRow(); ++i)
            d.push_back(m.row(i, i));
        std::sort(d.begin(), d.end());
        return d;
    };
    VQMatrix symmetric = matrixOf({{2, 1}, {1, 2}});
    auto schur = symmetric.eigenValue();
    ASSERT_TRUE(schur);
    EXPECT_EQ(symmetric.error(), 0);
    ASSERT_EQ(schur->dimRow(), 2u);
    const std::vector<double> values = diagonal(*schur);
    EXPECT_NEAR(values[0], 1, 1e-12);
    EXPECT_NEAR(values[1], 3, 1e-12);
    EXPECT_NEAR(schur->row(1, 0), 0, 1e-12);
    // Triangular: its own diagonal; the receiver is left as it was.
    VQMatrix triangular = matrixOf({{4, 1, 2}, {0, -1, 5}, {0, 0, 7}});
    const std::vector<double> t = diagonal(*triangular.eigenValue());
    EXPECT_NEAR(t[0], -1, 1e-12);
    EXPECT_NEAR(t[1], 4, 1e-12);
    EXPECT_NEAR(t[2], 7, 1e-12);
    expectValues(triangular, {{4, 1, 2}, {0, -1, 5}, {0, 0, 7}});
    // A rotation's complex pair stays a 2 × 2 block: trace 0, determinant 1.
    auto rotation = matrixOf({{0, -1}, {1, 0}}).eigenValue();
    ASSERT_TRUE(rotation);
    EXPECT_NEAR(rotation->row(0, 0) + rotation->row(1, 1), 0, 1e-12);
    EXPECT_NEAR(rotation->row(0, 0) * rotation->row(1, 1) - rotation->row(0, 1) * rotation->row(1, 0), 1, 1e-12);

    VQMatrix notSquare = matrixOf({{1, 2, 3}, {4, 5, 6}});
    EXPECT_FALSE(notSquare.eigenValue());
    EXPECT_EQ(notSquare.error(), VQMatrix::ErrorNotSquare);
    EXPECT_FALSE(symmetric.eigenVector());
}

namespace {

// The eigenvalues a real Schur form shows, in increasing real part, then imaginary: each
// 1 × 1 block on the diagonal is one, each 2 × 2 block (in its standard form: equal
// diagonal, off-diagonal of opposite signs) a complex pair. Nothing lies below the
// subdiagonal, and two blocks never touch there.
std::vector<std::complex<double>> schurEigenvalues(const VQMatrix& t)
{
    const std::size_t n = t.dimRow();
    EXPECT_EQ(t.dimCol(), n);
    for (std::size_t i = 2; i < n; ++i)
        for (std::size_t j = 0; j + 1 < i; ++j)
            EXPECT_EQ(t.row(i, j), 0) << "below the subdiagonal at " << i << "," << j;
    std::vector<std::complex<double>> values;
    for (std::size_t i = 0; i < n;) {
        if (i + 1 == n || t.row(i + 1, i) == 0) {
            values.emplace_back(t.row(i, i));
            ++i;
            continue;
        }
        const double a = t.row(i, i), b = t.row(i, i + 1), c = t.row(i + 1, i), d = t.row(i + 1, i + 1);
        EXPECT_NEAR(a, d, 1e-12 * (std::fabs(a) + 1)) << "block at " << i;
        EXPECT_LT(b * c, 0) << "block at " << i;
        if (i + 2 < n) {
            EXPECT_EQ(t.row(i + 2, i + 1), 0) << "blocks touching at " << i;
        }
        const double imaginary = std::sqrt(std::fabs(b * c));
        values.emplace_back(a, -imaginary);
        values.emplace_back(a, imaginary);
        i += 2;
    }
    std::sort(values.begin(), values.end(), [](std::complex<double> p, std::complex<double> q) {
        return p.real() != q.real() ? p.real() < q.real() : p.imag() < q.imag();
    });
    return values;
}

void expectEigenvalues(std::initializer_list<std::initializer_list<double>> rows,
    const std::vector<std::complex<double>>& expected)
{
    VQMatrix m = matrixOf(rows);
    const auto schur = m.eigenValue();
    ASSERT_TRUE(schur);
    const std::vector<std::complex<double>> values = schurEigenvalues(*schur);
    ASSERT_EQ(values.size(), expected.size());
    for (std::size_t k = 0; k < values.size(); ++k)
        EXPECT_LT(std::abs(values[k] - expected[k]), 1e-12 * (std::abs(expected[k]) + 1)) << values[k] << " for " << expected[k];
}

} // namespace

// Matrices that are neither symmetric nor normal: the form is upper quasi-triangular, with
// their eigenvalues (found by hand from the characteristic polynomials) on its diagonal.
TEST(VQMatrixLinearAlgebra, EigenValuesOfMatricesThatAreNotNormal)
{
    using C = std::complex<double>;
    // λ² − 5λ − 2 and (λ² − 3λ − 3)(λ − 5): real eigenvalues, the form upper triangular.
    expectEigenvalues({{1, 2}, {3, 4}}, {(5 - std::sqrt(33.0)) / 2, (5 + std::sqrt(33.0)) / 2});
    expectEigenvalues({{2, 10, -3}, {0.5, 1, 4}, {0, 0, 5}}, {(3 - std::sqrt(21.0)) / 2, (3 + std::sqrt(21.0)) / 2, 5});
    // Companion matrices of λ³ + λ − 10 = (λ − 2)(λ² + 2λ + 5) and of
    // λ⁴ − 2λ³ + 6λ² − 2λ + 5 = (λ² + 1)(λ² − 2λ + 5): complex pairs as blocks.
    expectEigenvalues({{0, 0, 10}, {1, 0, -1}, {0, 1, 0}}, {C(-1, -2), C(-1, 2), 2});
    expectEigenvalues({{0, 0, 0, -5}, {1, 0, 0, 2}, {0, 1, 0, -6}, {0, 0, 1, 2}}, {C(0, -1), C(0, 1), C(1, -2), C(1, 2)});
}

TEST(VQMatrixLinearAlgebra, MatrixFromColGivesTheColumnAskedFor)
{
    VQMatrix m = matrixOf({{1, 2, 3}, {4, 5, 6}});
    m.mSig()[5] = {3, -1};
    auto first = m.matrixFromCol(0);
    ASSERT_TRUE(first);
    expectValues(*first, {{1}, {4}});
    auto last = m.matrixFromCol(2);
    ASSERT_TRUE(last);
    expectValues(*last, {{3}, {6}});
    EXPECT_EQ(last->mSig()[1], (SigPair{3, -1}));
    EXPECT_FALSE(m.matrixFromCol(3));
}

// ---- Lists ----------------------------------------------------------------------------------

TEST(VQMatrixLists, FromListsRowsAndColumns)
{
    auto m = VQMatrix::matrixFromLists({figures({{1, 2, 0}, {2, 3, -1}, {3, 15, -15}}), complexes({{4, 9}})});
    ASSERT_TRUE(m);
    expectValues(*m, {{1, 4}, {2, 0}, {3, 0}});
    EXPECT_EQ(pairAt(*m, 1, 0), pair(3, -1));
    EXPECT_EQ(pairAt(*m, 2, 1), pair(15, -15));

    auto col = m->listForCol(0);
    ASSERT_TRUE(col);
    ASSERT_EQ(col->count(), 3);
    EXPECT_EQ(col->realAtIndex(1), 2);
    EXPECT_EQ(col->sigFigAtIndex(1), 3);
    EXPECT_EQ(col->sigDecAtIndex(1), -1);
    EXPECT_FALSE(m->listForCol(2));

    orvenda::VQList row = figures({{7, 1, 0}, {8, 2, -1}});
    m->setRow(2, row);
    expectValues(*m, {{1, 4}, {2, 0}, {7, 8}});
    EXPECT_EQ(pairAt(*m, 2, 1), pair(2, -1));
    EXPECT_EQ(m->error(), 0);

    row.addReal(9, 1, 0);
    m->setRow(0, row);  // wrong length
    EXPECT_EQ(m->error(), VQMatrix::ErrorDimension);
    expectValues(*m, {{1, 4}, {2, 0}, {7, 8}});
    m->setError(0);
    row.removeValueAtIndex(2);
    m->setRow(3, row);  // a row that does not exist
    EXPECT_EQ(m->error(), VQMatrix::ErrorDimension);
}
