#include "app/YEqTestSupport.h"

#include "programs/GraphDatabaseBody.h"
#include "programs/TIVarBytes.h"

#include <array>
#include <cmath>
#include <limits>
#include <numbers>

using namespace orvenda;
using namespace orvenda::test;

using Bytes = std::vector<std::uint8_t>;

TEST(TIVarBytes, RealsAsDecimalDigits)
{
    using R = std::array<std::uint8_t, 9>;
    const struct {
        double x;
        R bytes;
    } cases[] = {
        {0, {}},
        {std::numeric_limits<double>::quiet_NaN(), {}},
        {-std::numeric_limits<double>::infinity(), {}},
        {-1.5, {0x80, 0x80, 0x15}},
        {123.456, {0x00, 0x82, 0x12, 0x34, 0x56}},
        {1e-7, {0x00, 0x79, 0x10}},
        {std::numbers::pi, {0x00, 0x80, 0x31, 0x41, 0x59, 0x26, 0x53, 0x58, 0x98}},
    };
    for (const auto& c : cases) {
        R written{};
        written.fill(0xFF);
        TIVarBytes::writeReal(c.x, written.data());
        EXPECT_EQ(written, c.bytes) << c.x;
    }
    EXPECT_EQ(TIVarBytes::dblFrom(cases[3].bytes.data()), -1.5);
    EXPECT_EQ(TIVarBytes::dblFrom(cases[4].bytes.data()), 123.456);
    EXPECT_EQ(TIVarBytes::dblFrom(cases[5].bytes.data()), 1e-7);
    EXPECT_EQ(TIVarBytes::dblFrom(cases[6].bytes.data()), 3.1415926535898);
}

TEST(TIVarBytes, TokensAsBytes)
{
    const Ops ops{0x5E10, 0x70, 0x31, 0x1234BB5D, 0xEF30};
    Bytes bytes;
    TIVarBytes::writeTokens(ops, bytes);
    EXPECT_EQ(bytes, (Bytes{0x5E, 0x10, 0x70, 0x31, 0xBB, 0x5D, 0x12, 0x34, 0xEF, 0x30}));
    EXPECT_EQ(TIVarBytes::opByteLength(ops), bytes.size());
    EXPECT_EQ(TIVarBytes::tokensFrom(bytes), ops);
    // Ending inside a token.
    EXPECT_FALSE(TIVarBytes::tokensFrom(Bytes{0x70, 0x5E}));
    EXPECT_FALSE(TIVarBytes::tokensFrom(Bytes{0xBB, 0x5D, 0x12}));
}

namespace {

struct Body : ::testing::Test {
    YEqCalc c;

    Bytes body() { return GraphDatabaseBody::dataForGDB(c.calc, *c.eq).value_or(Bytes{}); }
    int load(const Bytes& bytes) { return GraphDatabaseBody::loadGDBFrom(c.calc, *c.eq, bytes); }
};

} // namespace

TEST_F(Body, ParametricLayout)
{
    c.calc.setGraphMode(1);
    const Bytes b = body();
    ASSERT_EQ(b.size(), 172u);
    EXPECT_EQ(b[0] | b[1] << 8, 172);
    EXPECT_EQ(b[3], 0x40);
    // Twelve unselected empty equations after the style block at 88.
    EXPECT_EQ(b[88 + 48], 0x03);
    EXPECT_EQ(b[88 + 48 + 1], 0);
}

TEST_F(Body, RoundTripOfTheGraphSetUp)
{
    c.calc.setGraphMode(2);
    c.calc.locked()->vars[38] = -2.5;
    c.calc.locked()->vars[63] = 0.05;
    c.calc.locked()->drawGrid = false;
    c.calc.locked()->graphCoordFormat = 1;
    c.calc.locked()->drawExpr = false;
    c.eq->setYEqFunc(kR1, ops("2sin(3θ)"));
    c.eq->setStyle(4, VQColor::colorR(0.5, 0.25, 1, 1), kR1);
    const Bytes b = body();

    c.calc.setGraphMode(0);
    c.calc.locked()->vars[38] = 0;
    c.calc.locked()->vars[63] = 0;
    c.calc.locked()->drawGrid = true;
    c.calc.locked()->graphCoordFormat = 0;
    c.calc.locked()->drawExpr = true;
    c.eq->clearAll();
    ASSERT_EQ(load(b), 0);
    EXPECT_EQ(c.calc.graphMode(), 2);
    EXPECT_EQ(c.calc.locked()->vars[38].real(), -2.5);
    EXPECT_EQ(c.calc.locked()->vars[63].real(), 0.05);
    EXPECT_FALSE(c.calc.locked()->drawGrid);
    EXPECT_EQ(c.calc.locked()->graphCoordFormat, 1);
    EXPECT_FALSE(c.calc.locked()->drawExpr);
    EXPECT_EQ(c.text(kR1), "2sin(3θ)");
    EXPECT_TRUE(c.eq->shouldPlotFunction(kR1));
    EXPECT_EQ(c.eq->styleForFunction(kR1), 4);
    // Colour bytes are truncated: 0.5 → 127, 0.25 → 63.
    const VQColor color = *c.eq->colorForFunction(kR1);
    EXPECT_DOUBLE_EQ(color.r(), 127 / 255.0);
    EXPECT_DOUBLE_EQ(color.g(), 63 / 255.0);
}

TEST_F(Body, SequenceFormatAndStyles)
{
    c.calc.setGraphMode(3);
    c.calc.locked()->graphSequenceFormat = 2;
    const int styles[] = {2, 4, 32};
    for (int i = 0; i < 3; ++i)
        c.eq->setStyle(styles[i], VQColor::colorR(0, 0, 0, 1), kU + i);
    Bytes b = body();
    c.calc.locked()->graphSequenceFormat = 0;
    ASSERT_EQ(load(b), 0);
    EXPECT_EQ(c.calc.locked()->graphSequenceFormat, 2);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(c.eq->styleForFunction(kU + i), styles[i]);

    // Style bytes 0..8 and beyond.
    c.calc.setGraphMode(4);
    b = body();
    const int read[] = {2, 4, 8, 16, 2, 2, 32, 10, 18, 2};
    for (int byte = 0; byte < 10; ++byte) {
        b[70] = static_cast<std::uint8_t>(byte);
        ASSERT_EQ(load(b), 0);
        EXPECT_EQ(c.eq->styleForFunction(kXY1), read[byte]) << byte;
    }
}

TEST_F(Body, AnUnknownModeByteKeepsTheMode)
{
    c.calc.setGraphMode(2);
    c.eq->setYEqFunc(kR1, ops("θ"));
    Bytes b = body();
    b[3] = 0x33;
    c.eq->deleteEquation(kR1);
    ASSERT_EQ(load(b), 0);
    EXPECT_EQ(c.calc.graphMode(), 2);
    EXPECT_EQ(c.text(kR1), "θ");
}

TEST_F(Body, BadBodiesChangeNothing)
{
    c.eq->setYEqFunc(kY2, ops("X+1"));
    const Bytes good = body();
    c.eq->setYEqFunc(kY2, ops("X"));
    c.calc.locked()->vars[38] = 7;

    Bytes longWord = good;
    longWord[0] += 1;
    Bytes tokensPastEnd = good;
    tokensPastEnd[good.size() - 2] = 9;  // Y0's token count
    // Y₂'s "X+" turned into Y₂ itself.
    Bytes selfReference = good;
    for (std::size_t i = 0; i + 1 < selfReference.size(); ++i)
        if (selfReference[i] == 0x58 && selfReference[i + 1] == 0x70)
            selfReference[i] = 0x5E, selfReference[i + 1] = 0x11;
    Bytes shortBody(good.begin(), good.begin() + 60);
    shortBody[0] = 60;
    shortBody[1] = 0;
    const struct {
        const char* what;
        Bytes bytes;
        int error;
    } cases[] = {
        {"length word past the data", longWord, 74},
        {"shorter than its layout", shortBody, 74},
        {"tokens past the end", tokensPastEnd, 74},
        {"self reference", selfReference, 29},
    };
    for (const auto& k : cases) {
        EXPECT_EQ(load(k.bytes), k.error) << k.what;
        EXPECT_EQ(c.text(kY2), "X") << k.what;
        EXPECT_EQ(c.calc.locked()->vars[38].real(), 7) << k.what;
    }
}
