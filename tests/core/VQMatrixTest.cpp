#include "core/VQMatrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>

using orvenda::SigPair;
using orvenda::SNum;
using orvenda::VQMatrix;
using orvenda::VQNumber;

namespace {

VQMatrix make(std::initializer_list<std::initializer_list<double>> rows)
{
    std::size_t cols = rows.size() ? rows.begin()->size() : 0;
    auto m = VQMatrix::matrixWithRow(rows.size(), cols);
    std::size_t i = 0;
    for (const auto& row : rows) {
        std::size_t j = 0;
        for (double v : row)
            m->set(v, i, j++);
        ++i;
    }
    return *m;
}

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

TEST(VQMatrixStorage, NewMatrixIsZeroWithFullPrecisionPairs)
{
    auto m = VQMatrix::matrixWithRow(2, 3);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->dimRow(), 2u);
    EXPECT_EQ(m->dimCol(), 3u);
    for (std::size_t i = 0; i < 2; ++i)
        for (std::size_t j = 0; j < 3; ++j) {
            EXPECT_EQ(m->row(i, j), 0.0);
            EXPECT_EQ(pairAt(*m, i, j), pair(15, -15));
        }
    EXPECT_EQ(m->error(), 0);
}

TEST(VQMatrixStorage, ZeroDimensionHasNoStorage)
{
    auto m = VQMatrix::matrixWithRow(0, 3);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->m(), nullptr);
    EXPECT_EQ(m->mSig(), nullptr);
    EXPECT_EQ(m->r(0), nullptr);
    EXPECT_EQ(m->row(0, 0), 0.0);
    m->set(5, 0, 0);  // does nothing
    EXPECT_EQ(m->row(0, 0), 0.0);
    auto archive = m->encode();
    EXPECT_EQ(archive.size(), 2u);
    EXPECT_EQ(archive["row"], 0);
    EXPECT_EQ(archive["col"], 3);
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

TEST(VQMatrixStorage, AccessOutsideTheMatrixIsHarmless)
{
    VQMatrix m = make({{1, 2}, {3, 4}});
    EXPECT_EQ(m.row(2, 0), 0.0);
    EXPECT_EQ(m.row(0, 2), 0.0);
    m.set(9, 5, 5);
    m.setSNum({3, -1, 9}, 0, 7);
    EXPECT_EQ(m.snumAtRow(9, 9).value, 0.0);
    expectValues(m, {{1, 2}, {3, 4}});
    EXPECT_EQ(m.r(1)[1], 4.0);
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

    VQMatrix m = make({{1, 2, 3}, {4, 5, 6}});
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
    VQMatrix a = make({{1, 2}, {3, 4}});
    VQMatrix b = make({{1, 2}, {3, 4}});
    b.setSNum({2, 0, 4}, 1, 1);
    EXPECT_TRUE(a.equal(b));
    EXPECT_FALSE(a.equal(make({{1, 2, 3, 4}})));
    b.set(4.5, 1, 1);
    EXPECT_FALSE(a.equal(b));
}

TEST(VQMatrixStorage, DescriptionIsLocaleFreeScientific)
{
    VQMatrix m = make({{1, -2.5}, {1234567, 0}});
    EXPECT_EQ(m.description(),
              "1.000000E+00, -2.500000E+00\n1.234567E+06, 0.000000E+00\n");
}

// ---- Archive --------------------------------------------------------------------------------

TEST(VQMatrixArchive, RoundTripKeepsValuesAndPairs)
{
    VQMatrix m = make({{1, -2.5, std::numeric_limits<double>::infinity()},
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
    VQMatrix m = make({{1.5, 2}});
    auto archive = m.encode();
    archive.erase("mSig");
    VQMatrix back = VQMatrix::decode(archive);
    EXPECT_TRUE(back.equal(m));
    for (std::size_t j = 0; j < 2; ++j) {
        auto [fig, dec] = VQNumber::derivedPair(m.row(0, j));
        EXPECT_EQ(pairAt(back, 0, j), pair(fig, dec));
    }
}

TEST(VQMatrixArchive, DamagedArchivesNeverOverrun)
{
    VQMatrix m = make({{1, 2}, {3, 4}});
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
