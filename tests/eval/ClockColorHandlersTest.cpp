// Date and time strings at a fixed clock, and the settings the colour commands change.
// Typed lines are in tests/cases/clock-colour.cases.
#include "eval/ClockColorHandlers.h"

#include "EvalTestSupport.h"
#include "ProgramTestSupport.h"


#include <ctime>

namespace orvenda {
namespace {

using Ops = std::vector<std::uint32_t>;

// The local time point of a date and time.
Calculator::TimePoint localTime(int year, int month, int day, int hour, int minute)
{
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_isdst = -1;
    return Calculator::TimePoint::clock::from_time_t(std::mktime(&t));
}

class ClockStrings : public testing::HandlerTest {
protected:
    Ops text(int token, double argument, Calculator::TimePoint at)
    {
        parser.ctx().error = 0;
        run.R.reset();
        run.token = token;
        run.X = testing::real(argument);
        ClockColorHandlers handlers(parser);
        handlers.setClock([at] { return at; });
        handlers.handle(run);
        EXPECT_EQ(parser.ctx().error, 0);
        EXPECT_EQ(run.R.kind, KindString);
        return run.R.string ? *run.R.string : Ops{};
    }
};

TEST_F(ClockStrings, TimeAndDateAreSpelledInTokens)
{
    const auto afternoon = localTime(2024, 2, 9, 13, 5);
    const auto night = localTime(2024, 2, 9, 0, 30);
    // 1:5 PM, 0:30 AM, 13:5.
    EXPECT_EQ(text(0xEF08, 12, afternoon), (Ops{'1', 0x3E, '5', 0x29, 'P', 'M'}));
    EXPECT_EQ(text(0xEF08, 12, night), (Ops{'0', 0x3E, '3', '0', 0x29, 'A', 'M'}));
    EXPECT_EQ(text(0xEF08, 24, afternoon), (Ops{'1', '3', 0x3E, '5'}));
    // 2/9/2024, 9/2/2024, 2024/2/9.
    EXPECT_EQ(text(0xEF07, 1, night), (Ops{'2', 0x83, '9', 0x83, '2', '0', '2', '4'}));
    EXPECT_EQ(text(0xEF07, 2, night), (Ops{'9', 0x83, '2', 0x83, '2', '0', '2', '4'}));
    EXPECT_EQ(text(0xEF07, 3, night), (Ops{'2', '0', '2', '4', 0x83, '2', 0x83, '9'}));
}

class ColorYEq : public testing::RecordingYEq {
public:
    std::map<int, VQColor> colors;
    void setColor(const VQColor& color, int token) override { colors[token] = color; }
};

bool sameColor(const VQColor& c, std::array<double, 3> rgb)
{
    return c.r() == rgb[0] && c.g() == rgb[1] && c.b() == rgb[2] && c.a() == 1;
}

TEST(ClockColorHandlers, ColourCommandsChangeTheirSettings)
{
    testing::ProgramHarness h;
    auto equations = std::make_shared<ColorYEq>();
    h.calc.yEqManager = equations;
    const std::array<double, 3> red{1, 0, 0}; // TI colour 11, RED

    EXPECT_EQ(h.enter("BackgroundOn {1,.5,0}").error, 0);
    EXPECT_TRUE(sameColor(h.calc.locked()->backgroundColor, {1, .5, 0}));
    EXPECT_EQ(h.enter("Gridline RED").error, 0);
    EXPECT_TRUE(sameColor(h.calc.locked()->gridColor, red));
    EXPECT_EQ(h.enter("Gridline 3").error, 0);
    EXPECT_TRUE(sameColor(h.calc.locked()->gridColor, {1, 0x6F / 255.0, 0xCF / 255.0}));
    EXPECT_EQ(h.enter("AxesOff:AxesOn {0,0,1}").error, 0);
    EXPECT_TRUE(h.calc.locked()->drawAxes);
    EXPECT_TRUE(h.calc.locked()->drawLabel);
    EXPECT_TRUE(sameColor(h.calc.locked()->axesColor, {0, 0, 1}));
    EXPECT_EQ(h.enter("TextColor(15)").error, 0);
    EXPECT_EQ(h.calc.locked()->textColor, 15);
    // A failed command leaves its setting.
    EXPECT_EQ(h.enter("TextColor(25)").error, 17);
    EXPECT_EQ(h.calc.locked()->textColor, 15);

    EXPECT_EQ(h.enter("GraphColor(10,RED)").error, 0);
    h.calc.setGraphMode(1);
    EXPECT_EQ(h.enter("GraphColor(2,{0,1,0})").error, 0);
    EXPECT_EQ(equations->colors.size(), 2u);
    EXPECT_TRUE(sameColor(equations->colors[0x5E19], red));
    EXPECT_TRUE(sameColor(equations->colors[0x5E22], {0, 1, 0}));
    EXPECT_EQ(h.enter("GraphColor(7,RED)").error, 27);
}

} // namespace
} // namespace orvenda
