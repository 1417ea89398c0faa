#include "pretty/FontMap.h"
#include "pretty/PrettyDrawInfo.h"
#include "pretty/PrettyFontMetrics.h"

#include <QFontInfo>

#include <gtest/gtest.h>

namespace orvenda {
namespace {

// A closing combining mark is set past the advance of the text: right-aligned text that
// ends with one (the imaginary unit ɩ̇) is moved in by the mark's reach.
TEST(PrettyFontMetricsTest, InkWidthTakesInAClosingMark)
{
    const QFontMetricsF metrics(FontMap::shared().font("CourierNewPS-BoldMT", 24));
    const QString plain = QStringLiteral("2+3"), complex = QString::fromUtf8("2+3ɩ̇");
    EXPECT_DOUBLE_EQ(PrettyFontMetrics::inkWidth(metrics, plain), metrics.horizontalAdvance(plain));
    EXPECT_GT(PrettyFontMetrics::inkWidth(metrics, complex), metrics.horizontalAdvance(complex));
    EXPECT_DOUBLE_EQ(PrettyFontMetrics::inkWidth(metrics, QString()), 0);
}

TEST(PrettyDrawInfoTest, MetricsOfASizeAreMadeOnceAndKept)
{
    const PrettyDrawInfo& info = PrettyDrawInfo::PrettyDrawInfoSize(20);
    EXPECT_GT(info.ascent(), 0);
    EXPECT_LT(info.descent(), 0);
    EXPECT_LT(info.superCapHeight(), info.capHeight());
    EXPECT_GT(info.superCapHeight(), 0);
    EXPECT_EQ(&PrettyDrawInfo::PrettyDrawInfoSize(20), &info);

    const PrettyDrawInfo& red = PrettyDrawInfo::PrettyDrawInfoSize(20, QColor(Qt::red));
    EXPECT_NE(&red, &info);
    EXPECT_EQ(red.baseFont().color, QColor(Qt::red));
    EXPECT_EQ(red.ascent(), info.ascent());

    // The four fonts: the display font, 0.65× for superscripts (italic for letters) and
    // 0.85× for fractions.
    EXPECT_EQ(QFontInfo(info.font()).family(), "Liberation Mono");
    EXPECT_TRUE(info.font().bold());
    EXPECT_EQ(info.font().pixelSize(), 20);
    EXPECT_EQ(info.superscriptFont().font.pixelSize(), 13);
    EXPECT_TRUE(info.superscriptItalicFont().font.italic());
    EXPECT_EQ(info.fractionFont().font.pixelSize(), 17);
}

TEST(PrettyDrawInfoTest, FontNamesMapOntoTheLiberationFiles)
{
    const FontMap& fonts = FontMap::shared();
    EXPECT_TRUE(fonts.missingFiles().isEmpty()) << fonts.missingFiles().join(", ").toStdString();
    struct Case {
        const char* name;
        const char* family;
        bool bold, italic;
    };
    const Case cases[] = {
        {"CourierNewPS-BoldMT", "Liberation Mono", true, false},
        {"Helvetica", "Liberation Sans", false, false},
        {"Helvetica-Bold", "Liberation Sans", true, false},
        {"Helvetica-Oblique", "Liberation Sans", false, true},
        {"HelveticaNeue-BoldItalic", "Liberation Sans", true, true},
        {"TimesNewRomanPSMT", "Liberation Serif", false, false},
        {"Times-Roman", "Liberation Serif", false, false},
    };
    for (const Case& c : cases) {
        const QFontInfo info(fonts.font(c.name, 14));
        EXPECT_EQ(info.family().toStdString(), c.family) << c.name;
        EXPECT_EQ(info.bold(), c.bold) << c.name;
        EXPECT_EQ(info.italic(), c.italic) << c.name;
        EXPECT_EQ(info.pixelSize(), 14) << c.name;
    }
}

} // namespace
} // namespace orvenda
