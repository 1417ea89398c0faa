#include "apps/MarkUpText.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

using MarkRun = MarkUpText::Run;

TEST(MarkUpText, TagsSwitchTheStyleOfTheRunsThatFollow)
{
    EXPECT_EQ(MarkUpText::parse(QStringLiteral("a<s3>x<S3>")),
              (std::vector<MarkRun>{{"a", MarkUpText::Normal}, {"3", MarkUpText::Subscript}, {"x", MarkUpText::Normal},
                                {"3", MarkUpText::Superscript}}));
    // A fraction: raised numerator, the slash alone, the denominator after it.
    EXPECT_EQ(MarkUpText::parse(QStringLiteral("-1<S1>\u2044<d2>")),
              (std::vector<MarkRun>{{"-1", MarkUpText::Normal}, {"1", MarkUpText::Superscript},
                                {QStringLiteral("\u2044"), MarkUpText::FractionSlash}, {"2", MarkUpText::Denominator}}));
    // Any other tag letter ends the text there; a "<" at the very end only closes the run.
    EXPECT_EQ(MarkUpText::parse(QStringLiteral("ab<xcd")), (std::vector<MarkRun>{{"ab", MarkUpText::Normal}}));
    EXPECT_EQ(MarkUpText::parse(QStringLiteral("ab<")), (std::vector<MarkRun>{{"ab", MarkUpText::Normal}}));
    EXPECT_TRUE(MarkUpText::parse(QString()).empty());
}

TEST(MarkUpText, CharactersBeyondLatinOnePassThroughWhole)
{
    // θ is not cut to its low byte, "…" and "ᴱ" stay, the imaginary unit becomes 𝑖 and the
    // combining dot after it is kept.
    EXPECT_EQ(MarkUpText::plain(MarkUpText::parse(QStringLiteral("θ=1ᴱ5…"))), QStringLiteral("θ=1ᴱ5…"));
    EXPECT_EQ(MarkUpText::plain(MarkUpText::parse(QStringLiteral("2+3\u0269\u0307"))), QStringLiteral("2+3") + QString::fromUcs4(U"\U0001D456") + QChar(0x307));
    EXPECT_EQ(MarkUpText::plain(MarkUpText::parse(QString::fromUcs4(U"x\U0001D400"))), QString::fromUcs4(U"x\U0001D400"));
}

TEST(MarkUpText, FractionsMixedImproperAndNegative)
{
    Calculator calc;
    calc.locked()->fractionFormat = 4;
    EXPECT_EQ(MarkUpText::fraction(calc, 0.75), QStringLiteral("<S3>\u2044<d4>"));
    EXPECT_EQ(MarkUpText::fraction(calc, -1.5), QStringLiteral("-1<S1>\u2044<d2>"));
    EXPECT_EQ(MarkUpText::fraction(calc, 2.25), QStringLiteral("2<S1>\u2044<d4>"));
    calc.locked()->fractionFormat = 3;
    EXPECT_EQ(MarkUpText::fraction(calc, -1.5), QStringLiteral("-<S3>\u2044<d2>"));
    EXPECT_EQ(MarkUpText::fraction(calc, 2.25), QStringLiteral("<S9>\u2044<d4>"));
    // A whole number has no fraction: the number as the display writes it.
    EXPECT_EQ(MarkUpText::fraction(calc, 3), QString::fromStdString(calc.formatReal(3)));
}

} // namespace
} // namespace orvenda::test
