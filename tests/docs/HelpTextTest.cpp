// How a help page's text block is set in lines: at blanks, and in a long run without
// blanks (a syntax line's argument list) at its commas and brackets, never inside a word.

#include "docs/HelpText.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace orvenda {
namespace {

bool wordChar(QChar c) { return c.isLetterOrNumber() || c.isMark(); }

// 2-SampTTest's syntax as its page sets it: the command in bold, the arguments in italic.
HelpText syntaxLine()
{
    HelpText text;
    text.append(QStringLiteral("2-SampTTest "), {"Helvetica-Bold", 16}, Qt::black);
    const QStringList arguments{"list1", ",", "list2", "[,", "freqlist1", ",", "freqlist2", ",", "alternative", ",",
                                "pooled", ",", "drawflag", "]"};
    for (int i = 0; i < arguments.size(); ++i)
        text.append(arguments[i], i % 2 ? TextFont{"Helvetica-Bold", 16} : TextFont{"HelveticaNeue-Italic", 17},
                    Qt::black);
    return text;
}

TEST(HelpText, ALongArgumentListBreaksAtItsCommasNotInsideAWord)
{
    const HelpText text = syntaxLine();
    // Every width from a phone's narrowest page to a tablet's: no line ends inside a word,
    // and the lines give back the whole text.
    for (int width = 120; width <= 700; width += 3) {
        const QStringList lines = text.lines(width);
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_EQ(lines.join(QString()), text.plainText()) << width;
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            const QString& line = lines[i];
            const QString& next = lines[i + 1];
            EXPECT_FALSE(wordChar(line.back()) && wordChar(next.front()))
                << "at width " << width << ": \"" << line.toStdString() << "\" / \"" << next.toStdString() << "\"";
        }
    }
    // Wide enough, it is one line.
    EXPECT_EQ(text.lines(2000).size(), 1);
}

TEST(HelpText, AWordWiderThanTheLineIsStillBrokenAndBlanksStillBreakFirst)
{
    HelpText text;
    text.append(QStringLiteral("Supercalifragilisticexpialidocious"), {"Helvetica", 15}, Qt::black);
    const QStringList lines = text.lines(60);
    EXPECT_GT(lines.size(), 1);
    EXPECT_EQ(lines.join(QString()), text.plainText());
    HelpText words;
    words.append(QStringLiteral("one two,three four"), {"Helvetica", 15}, Qt::black);
    const double wide = words.measure(2000).width();
    // Just too narrow for the whole: the line ends at the last blank, as before.
    EXPECT_EQ(words.lines(wide - 2).front(), "one two,three ");
}

} // namespace
} // namespace orvenda
