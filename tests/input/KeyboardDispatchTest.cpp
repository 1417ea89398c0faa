// The calculator keyboard's dispatch: layers, help mode, program ownership, the ENTER rule
// of the field screens, auto-repeat and ops that no key has.

#include "KeyboardTestSupport.h"

#include "eval/Parser.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>

namespace orvenda::test {
namespace {

constexpr int kAlphaKey = 10, kUpKey = 9, kDownKey = 13, kSecondKey = 5, kDelKey = 7, kSinKey = 21, kSevenKey = 31, kOnKey = 45, kEnterKey = 49, kXKey = 11;

using Keyboard = KeyboardTest;

TEST_F(Keyboard, TheXKeyTypesAndIsTitledByGraphMode)
{
    struct Case {
        int mode;
        std::uint32_t token;
        const char* title;
    };
    const Case cases[] = {{0, 0x58, "X"}, {1, 0x54, "T"}, {2, 0x5B, "θ"}, {3, 0xBBAA, "η"}};
    for (const Case& c : cases) {
        calc.setGraphMode(c.mode);
        keyboard.redraw();
        EXPECT_EQ(keyboard.button(kXKey).text().toStdString(), c.title) << "mode " << c.mode;
        processed.clear();
        tapKey(kXKey);
        EXPECT_EQ(processed, std::vector<std::uint32_t>{c.token}) << "mode " << c.mode;
    }
}

TEST_F(Keyboard, EnterOnAnEmptyFieldMovesToTheNextField)
{
    struct Case {
        int screen;
        const char* text;
        int key;
        std::uint32_t processedAs;
    };
    const Case cases[] = {
        {7, "", kEnterKey, KeyTables::kDown},
        {23, "", kEnterKey, KeyTables::kDown},
        {3, "", kEnterKey, KeyTables::kRight},
        {21, "", kEnterKey, KeyTables::kRight},
        {7, "5", kEnterKey, KeyTables::kEnter},
        {0, "", kEnterKey, KeyTables::kEnter},
        // X,T,θ,n follows the same rule; with text it types X.
        {7, "", kXKey, KeyTables::kDown},
        {6, "", kXKey, KeyTables::kDown},
        {3, "", kXKey, KeyTables::kRight},
        {7, "5", kXKey, 0x58},
        {0, "", kXKey, 0x58},
    };
    for (const Case& c : cases) {
        calc.setCurrentScreen(0);
        entry->clear();
        type(c.text);
        // A line an earlier case left uncommitted waits for its screen: not this case's.
        calc.takeFailedLine(c.screen);
        calc.setCurrentScreen(c.screen);
        processed.clear();
        tapKey(c.key);
        ASSERT_FALSE(processed.empty());
        EXPECT_EQ(processed.front(), c.processedAs) << "screen " << c.screen << " text «" << c.text << "»";
    }
}

// Until help pages exist nobody shows one: the key after ON then does what it does, in its
// shift layer, and help mode ends.
TEST_F(Keyboard, AKeyNoHelpIsShownForActsAsItself)
{
    keyboard.setDelegate(nullptr);
    tapKey(kOnKey);
    ASSERT_TRUE(keyboard.helpArmed());
    tapKey(kSevenKey);
    EXPECT_FALSE(keyboard.helpArmed());
    EXPECT_EQ(keyboard.button(kOnKey).face().toStdString(), "fHelpKey");
    EXPECT_EQ(entry->entryOps(), Ops{0x37});
    tapKey(kOnKey);
    tapKey(kSecondKey);
    tapKey(kSinKey);
    EXPECT_EQ(entry->entryOps(), (Ops{0x37, 0xC3}));
}

// F1 opens the list of key commands without holding the caller; a second F1 keeps the one
// list.
TEST_F(Keyboard, F1ListsTheKeyCommandsWithoutBlocking)
{
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(&keyboard, &f1);
    QDialog* list = keyboard.shortcuts();
    ASSERT_TRUE(list);
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(list->windowTitle(), QStringLiteral("Keyboard Shortcuts"));
    QApplication::sendEvent(&keyboard, &f1);
    EXPECT_EQ(keyboard.shortcuts(), list);
    list->close();
}

// ALPHA for one key: the drawn keys answer from the alpha layer until one is pressed;
// 2ND ALPHA locks the layer. (UP and DOWN stay in sight beside the alpha keyboard.)
TEST_F(Keyboard, AlphaSwitchesTheDrawnKeysLayer)
{
    for (const bool lock : {false, true}) {
        calc.secondShift = calc.alphaShift = calc.alphaLock = false;
        if (lock)
            tapKey(kSecondKey);
        tapKey(kAlphaKey);
        keyboard.redraw();
        EXPECT_FALSE(keyboard.button(kUpKey).isHidden());
        EXPECT_FALSE(keyboard.button(kDownKey).isHidden());
        processed.clear();
        tapKey(kUpKey);
        tapKey(kDownKey);
        const std::vector<std::uint32_t> alphaThenPlain = {0x5C49, KeyTables::kDown};
        const std::vector<std::uint32_t> alphaBoth = {0x5C49, 0x5C4A};
        EXPECT_EQ(processed, lock ? alphaBoth : alphaThenPlain) << (lock ? "locked" : "one key");
    }
    calc.alphaShift = calc.alphaLock = false;
}

TEST_F(Keyboard, HelpModeAnswersTheShiftedKeyAndClearsEveryShift)
{
    keyboard.move(40, 60);
    tapKey(kOnKey);
    EXPECT_TRUE(keyboard.helpArmed());
    EXPECT_EQ(keyboard.button(kOnKey).face().toStdString(), "fHelpHiKey");
    tapKey(kSecondKey);
    EXPECT_TRUE(keyboard.helpArmed());
    EXPECT_TRUE(calc.secondShift);
    tapKey(kSinKey);
    EXPECT_EQ(router.calls, std::vector<std::string>{"help"});
    EXPECT_EQ(router.helpOp, 0xC3u);
    // The touched key's frame, in global coordinates, for the help panel to stand by.
    const QRect sin = keyboard.button(kSinKey).geometry();
    EXPECT_EQ(router.helpFrame, QRectF(QPointF(keyboard.mapToGlobal(sin.topLeft())), QSizeF(sin.size())));
    EXPECT_EQ(router.helpFrame.topLeft(), QPointF(sin.topLeft() + QPoint(40, 60)));
    EXPECT_FALSE(keyboard.helpArmed());
    EXPECT_FALSE(calc.secondShift || calc.alphaShift || calc.alphaLock);
    EXPECT_EQ(entry->entryOps(), Ops{});
}

// A running program owns the keys until ON stops it: its getKey reads them in the order
// typed, and one it did not read acts once the run is over. Keys typed in the same turn as
// the ENTER are the program's too.
TEST_F(Keyboard, ARunningProgramOwnsTheKeysUntilOnStopsIt)
{
    programs->store("L", {0xD1, 0x31, 0x3F, 0xD4});  // While 1, End
    type("prgmL");
    processed.clear();
    tapKey(kEnterKey);
    tapKey(kSevenKey);
    // The call marks the program running once the queue has started it.
    ASSERT_TRUE(main.pumpUntil([this] { return calc.programRunning.load(); }));
    tapKey(kSevenKey + 1);
    EXPECT_EQ(processed, std::vector<std::uint32_t>{KeyTables::kEnter});
    // The alpha keyboard's keys wait their turn too.
    keyboard.keyTouch(0x41);
    EXPECT_EQ(calc.getKey(), 72);
    tapKey(kOnKey);
    EXPECT_TRUE(settle());
    EXPECT_FALSE(calc.programRunning);
    EXPECT_FALSE(keyboard.helpArmed());
    // 7 was read; 8 and A were not.
    EXPECT_EQ(entry->entryOps(), (Ops{0x38, 0x41}));
}

TEST_F(Keyboard, HeldDeleteRepeatsAfterHalfASecondThenEveryTwentiethOfOne)
{
    type("123456");
    entry->cursorHome();
    keyboard.keyDown(kDelKey);
    EXPECT_EQ(calc.stringFromOps(entry->entryOps()), "23456");
    const QTimer& timer = keyboard.repeatTimer();
    ASSERT_TRUE(timer.isActive());
    EXPECT_EQ(timer.interval(), 500);
    keyboard.repeatTick();
    EXPECT_EQ(calc.stringFromOps(entry->entryOps()), "3456");
    EXPECT_EQ(timer.interval(), 50);
    keyboard.repeatTick();
    EXPECT_EQ(calc.stringFromOps(entry->entryOps()), "456");
    keyboard.keyUp(kDelKey);
    EXPECT_FALSE(timer.isActive());
}

TEST_F(Keyboard, AnOpOnNoKeyReadsAsCode11AndALetterAsTheKeyItIsPrintedOver)
{
    nlohmann::json note;
    bus.addObserver(this, VQKeyPress, [&](const Notification& n) { note = n.userInfo; });
    keyboard.doOp(0xBBD2);  // #: on no key
    EXPECT_EQ(calc.lastKey.load(), 11);
    EXPECT_EQ(note["op"], 0xBBD2);
    EXPECT_EQ(note["shiftedOp"], 0xBBD2);
    // E, on no key of the layers, is printed over SIN on the classic keypad.
    keyboard.doOp(0x45);
    EXPECT_EQ(calc.lastKey.load(), 52);
    EXPECT_EQ(processed, (std::vector<std::uint32_t>{0xBBD2, 0x45}));
    // An op on a key is that key's, in the layer it was found in.
    keyboard.doOp(0xC3);
    EXPECT_EQ(calc.lastKey.load(), 52);
    EXPECT_EQ(note["op"], 0xC2);
    EXPECT_EQ(note["shift"], 1);
    bus.removeObserver(this);
}

TEST_F(Keyboard, ScreenKeysGoToTheRouter)
{
    struct Case {
        bool second;
        int key;
        const char* call;
    };
    const Case cases[] = {{false, 0, "Y="}, {false, 1, "graph"}, {true, 1, "window"}, {true, 6, "home"},
                          {false, 15, "menu 0"}, {true, 46, "catalog "}, {false, 12, "menu 8"}};
    for (const Case& c : cases) {
        router.calls.clear();
        calc.secondShift = c.second;
        tapKey(c.key);
        EXPECT_EQ(router.calls, std::vector<std::string>{c.call}) << "key " << c.key;
    }
    EXPECT_TRUE(processed.empty());
}

} // namespace
} // namespace orvenda::test
