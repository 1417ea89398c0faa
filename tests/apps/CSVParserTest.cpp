#include "apps/CSVParser.h"

#include <gtest/gtest.h>

namespace orvenda {
namespace {

using Rows = std::vector<CSVParser::Row>;

TEST(CSVParser, RowsFieldsQuotesAndLineBreaks)
{
    struct Case {
        const char* text;
        std::optional<Rows> rows;
    };
    const Case cases[] = {
        {"1,2,3\n4,5", Rows{{"1", "2", "3"}, {"4", "5"}}},
        {"\"1,5\",2", Rows{{"1,5", "2"}}},
        {"\"a\"\"b\",\"x\ny\"", Rows{{"a\"b", "x\ny"}}},
        {"1\n\n\n\n2\r\n3\n", Rows{{"1"}, {"2"}, {"3"}}},
        {",5,\n6", Rows{{"", "5", ""}, {"6"}}},
        // What stops fitting the form ends the rows; a broken first row gives none.
        {"1,2\n\"open,3", Rows{{"1", "2"}}},
        {"1,ab\"c\n2", Rows{{"1", "ab"}}},
        {"\"open", std::nullopt},
        {"", std::nullopt},
        {"\n1", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CSVParser(c.text, ",", false).parse(), c.rows) << c.text;
}

TEST(CSVParser, TellsWhetherTheRowsReachedTheEnd)
{
    const std::pair<const char*, bool> cases[] = {
        {"1,2\n3\n", true},
        {"\"a\nb\",\"\"\"\"", true},
        {"1,2\n\"open,3", false},
        {"1,ab\"c\n2", false},
        {"\"a\"b", false},
        {"\n1", false},
    };
    for (const auto& [text, whole] : cases) {
        CSVParser parser(text, ",", false);
        (void)parser.parse();
        EXPECT_EQ(parser.readToEnd(), whole) << text;
    }
}

TEST(CSVParser, ALongRecordIsCutAndEndsTheRows)
{
    CSVParser parser("1,2,3\n4,5,6,7,8,9\n10", ",", false);
    parser.setMaxFields(3);
    EXPECT_EQ(parser.parse(), (Rows{{"1", "2", "3"}, {"4", "5", "6", "7"}}));
    EXPECT_FALSE(parser.readToEnd());

    CSVParser fits("1,2,3\n4", ",", false);
    fits.setMaxFields(3);
    EXPECT_EQ(fits.parse(), (Rows{{"1", "2", "3"}, {"4"}}));
    EXPECT_TRUE(fits.readToEnd());
}

TEST(CSVParser, SeparatorsOfSeveralCharactersAndHeaders)
{
    EXPECT_EQ(CSVParser("a;b;;c", ";;", false).parse(), (Rows{{"a;b", "c"}}));
    CSVParser withHeader("x,y\n1,2", ",", true);
    EXPECT_EQ(withHeader.parse(), (Rows{{"1", "2"}}));
    EXPECT_EQ(withHeader.fieldNames(), (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(CSVParser("x,y", ",", true).parse(), std::nullopt) << "a header needs a line after it";
    int received = 0;
    EXPECT_TRUE(CSVParser("1\n2", ",", false).parseRowsForReceiver([&](CSVParser::Row) { ++received; }));
    EXPECT_EQ(received, 2);
}

} // namespace
} // namespace orvenda
