// The key click: the mode screen's "Key click" switch turns the desktop's click on and off
// for the keyboard's keys and for the screens that click.

#include "InputTestSupport.h"

#include "input/ModeScreen.h"
#include "platform/KeyClickSound.h"

namespace orvenda::test {
namespace {

TEST(KeyClickSound, PlaysOnItsOutputAndCountsEachClick)
{
    KeyClickSound sound;
    int heard = 0;
    sound.setOutput([&] { ++heard; });
    sound.play();
    sound.play();
    EXPECT_EQ(heard, 2);
    EXPECT_EQ(sound.played(), 2);
}

class KeyClick : public ScreensTest {
protected:
    KeyClick()
    {
        sound.setOutput([] {});
        shell.keys().setClickSound([this] { sound.play(); });
        mode.resize(390, 700);
        mode.show();
        mode.updateDisplay();
    }
    KeyClickSound sound;
    ModeScreen mode{calc, shell};
};

TEST_F(KeyClick, TheModeSwitchTurnsTheClickOffAndOn)
{
    ASSERT_TRUE(calc.clickPref);
    shell.keys().doKeyClick();
    EXPECT_EQ(sound.played(), 1);
    mode.toggle(ModeScreen::KeyClick, false);
    EXPECT_FALSE(calc.clickPref);
    const int before = sound.played();
    shell.keys().doKeyClick();
    EXPECT_EQ(sound.played(), before) << "silent while off";
    mode.toggle(ModeScreen::KeyClick, true);
    EXPECT_TRUE(calc.clickPref);
    const int on = sound.played();
    shell.keys().doKeyClick();
    EXPECT_EQ(sound.played(), on + 1);
    // A muted moment (a menu filling itself) clicks nothing either.
    calc.clickMute = true;
    const int muted = sound.played();
    shell.keys().doKeyClick();
    EXPECT_EQ(sound.played(), muted);
    calc.clickMute = false;
}

} // namespace
} // namespace orvenda::test
