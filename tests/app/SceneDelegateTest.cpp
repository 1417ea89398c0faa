#include "app/SceneDelegate.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

TEST(SceneDelegate, GreetsOnceOnTheFirstRunAndOnceAfterAnUpdate)
{
    Calculator calc(kUS);
    calc.firstTime = true;
    auto greeting = SceneDelegate::willConnect(calc, false);
    ASSERT_TRUE(greeting);
    EXPECT_EQ(greeting->title, SceneDelegate::localizedString("FIRST_TIME_THANK_YOU"));
    EXPECT_EQ(greeting->buttons.size(), 1u);
    EXPECT_EQ(calc.device, 0);
    EXPECT_TRUE(calc.tallPhone);
    EXPECT_EQ(SceneDelegate::willConnect(calc, false), std::nullopt);

    calc.newVersion = true;
    calc.tallPhone = false;
    greeting = SceneDelegate::willConnect(calc, true);
    ASSERT_TRUE(greeting);
    EXPECT_EQ(greeting->title, "Version " + calc.versionString() + " " + SceneDelegate::localizedString("FIRST_TIME_NEW_FEATURES"));
    ASSERT_EQ(greeting->buttons.size(), 1u) << "no review offered without a network";
    EXPECT_EQ(greeting->buttons[0].title, "OK");
    EXPECT_EQ(calc.device, 1);
    EXPECT_FALSE(calc.tallPhone);
    EXPECT_FALSE(calc.newVersion);
    EXPECT_EQ(calc.sessions, 3);
}

} // namespace
} // namespace orvenda::test
