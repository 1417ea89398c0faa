// The computer's keyboard: command descriptions, the chords of named commands, typed
// characters through their tables, backspace and the clipboard commands.

#include "KeyboardTestSupport.h"

#include "input/KeyCommands.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>

#include <algorithm>

namespace orvenda::test {
namespace {

using Commands = KeyboardTest;

bool hit(KeyboardView& keyboard, int key, Qt::KeyboardModifiers modifiers, const QString& text = {})
{
    return keyboard.handleKeyEvent(QKeyEvent(QEvent::KeyPress, key, modifiers, text));
}

TEST(KeyCmd, DescriptionsNeedFourFields)
{
    EXPECT_FALSE(KeyCommands::keyCmd("A,APPS,C"));
    EXPECT_FALSE(KeyCommands::keyCmd("A,APPS,C,kAPPS:,x"));
    const auto comma = KeyCommands::keyCmd("°,≤,O,kChar:");
    ASSERT_TRUE(comma);
    EXPECT_EQ(comma->input.toStdString(), ",");
    EXPECT_EQ(comma->modifiers, KeyCommands::kOption);
    const auto angle = KeyCommands::keyCmd("A,ANGLE,C^,kANGLE:");
    ASSERT_TRUE(angle);
    EXPECT_EQ(angle->modifiers, KeyCommands::kControl | KeyCommands::kShift);
    EXPECT_EQ(KeyCommands().commands().size(), 160u);
}

TEST_F(Commands, NamedCommandsReachTheRouter)
{
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        const char* call;
    };
    const Case cases[] = {
        {Qt::Key_G, Qt::ControlModifier, "graph"},
        {Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier, "window"},
        {Qt::Key_Escape, Qt::NoModifier, "home"},
        {Qt::Key_M, Qt::ControlModifier, "menu 0"},
        // Command-U (FUNC) yields Ctrl+U to User and takes Ctrl+Alt+U.
        {Qt::Key_U, Qt::ControlModifier, "menu 36"},
        {Qt::Key_U, Qt::ControlModifier | Qt::AltModifier, "menu 32"},
        // The help chord as a window delivers it: Shift made the slash key "?".
        {Qt::Key_Slash, Qt::ControlModifier | Qt::ShiftModifier, "info"},
        {Qt::Key_Question, Qt::ControlModifier | Qt::ShiftModifier, "info"},
    };
    for (const Case& c : cases) {
        router.calls.clear();
        EXPECT_TRUE(hit(keyboard, c.key, c.modifiers));
        EXPECT_EQ(router.calls, std::vector<std::string>{c.call}) << c.call;
    }
}

TEST_F(Commands, TypedCharactersBecomeTheirTokens)
{
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        const char* text;
        std::uint32_t op;
    };
    const Case cases[] = {
        {Qt::Key_Backspace, Qt::ShiftModifier, "", KeyTables::kClear},
        {Qt::Key_Comma, Qt::AltModifier, ",", 0x6D},
        {Qt::Key_Comma, Qt::NoModifier, ",", 0x2B},
        {Qt::Key_A, Qt::ShiftModifier, "A", 0x41},
        {Qt::Key_Plus, Qt::ShiftModifier, "+", 0x70},
        {Qt::Key_Minus, Qt::AltModifier, "-", 0xB0},
        // Titled "⁻¹", and that is what it types.
        {Qt::Key_Minus, Qt::AltModifier | Qt::ShiftModifier, "-", 0x0C},
        // As X11 delivers it: Shift made the minus key an underscore.
        {Qt::Key_Underscore, Qt::AltModifier | Qt::ShiftModifier, "_", 0x0C},
        {Qt::Key_S, Qt::AltModifier, "s", 0x04},
    };
    for (const Case& c : cases) {
        processed.clear();
        EXPECT_TRUE(hit(keyboard, c.key, c.modifiers, QString::fromUtf8(c.text)));
        EXPECT_EQ(processed, std::vector<std::uint32_t>{c.op}) << "op " << c.op;
    }
}

TEST_F(Commands, ALetterOpensTheCatalogueOutsideAStringAndIsTypedInsideOne)
{
    EXPECT_TRUE(hit(keyboard, Qt::Key_X, Qt::NoModifier, "x"));
    EXPECT_EQ(router.calls, std::vector<std::string>{"catalog x"});
    EXPECT_TRUE(processed.empty());
    type("\"");
    router.calls.clear();
    EXPECT_TRUE(hit(keyboard, Qt::Key_X, Qt::NoModifier, "x"));
    EXPECT_TRUE(router.calls.empty());
    EXPECT_EQ(entry->entryOps(), (Ops{0x2A, 0xBBC8}));
}

// Backspace deletes the character before the cursor in overwrite mode and only steps left
// in insert mode, which stays on; at the line's start there is nothing before the cursor.
TEST_F(Commands, BackspaceDeletesBeforeTheCursorAndOnlyStepsInInsertMode)
{
    struct Case {
        int cursor;
        int insert;
        const char* left;
    };
    const Case cases[] = {{2, 0, "134"}, {2, 1, "1234"}, {4, 0, "123"}, {0, 0, "1234"}, {0, 1, "1234"}};
    for (const Case& c : cases) {
        entry->clear();
        type("1234");
        entry->setEntryCursor(c.cursor);
        calc.insert = c.insert;
        hit(keyboard, Qt::Key_Backspace, Qt::NoModifier);
        EXPECT_EQ(calc.stringFromOps(entry->entryOps()), c.left) << "cursor " << c.cursor << " insert " << c.insert;
        EXPECT_EQ(entry->entryCursor(), std::max(c.cursor - 1, 0)) << "cursor " << c.cursor << " insert " << c.insert;
        EXPECT_EQ(calc.insert, c.insert);
    }
}

TEST_F(Commands, CutCopyAndPasteGoThroughTheClipboard)
{
    QClipboard& clipboard = *QGuiApplication::clipboard();
    type("2+3");
    hit(keyboard, Qt::Key_C, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(clipboard.text().toStdString(), "2+3");
    hit(keyboard, Qt::Key_X, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(entry->entryOps(), Ops{});
    clipboard.setText(QStringLiteral("7*8"));
    hit(keyboard, Qt::Key_V, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(calc.stringFromOps(entry->entryOps()), "7*8");
    // Text that is no calculator line leaves the line as it is.
    clipboard.setText(QStringLiteral("7*8 ♜"));
    hit(keyboard, Qt::Key_V, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(calc.stringFromOps(entry->entryOps()), "7*8");
}

} // namespace
} // namespace orvenda::test
