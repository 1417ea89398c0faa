#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

class QKeyEvent;

namespace orvenda {

// The hardware keyboard's commands: a list of descriptions "input,title,modifiers,handler"
// (modifiers C Control, M Command, O Option, ^ Shift; "°" stands for a comma in the input),
// and three character tables that turn a typed character into a token or key code. On the
// desktop Control and Command are both Ctrl and Option is Alt; where a Command shortcut
// lands on the chord of a Control one, it takes Ctrl+Alt instead, so each is reachable.
class KeyCommands {
public:
    enum Modifier { kControl = 1, kCommand = 2, kOption = 4, kShift = 8 };
    // The desktop chord's modifiers.
    enum Chord { kCtrl = 1, kAlt = 2, kShiftKey = 4 };

    struct Command {
        QString input;
        QString title;
        int modifiers = 0;
        QString handler;
        // The desktop chord it answers to.
        int chord = 0;
    };

    KeyCommands();

    // One command from a description; nothing unless it has exactly four fields.
    static std::optional<Command> keyCmd(std::string_view description);
    const std::vector<Command>& commands() const { return commands_; }
    // The command a key press gives, if any.
    const Command* commandFor(const QKeyEvent& event) const;
    // The command of a list (a keypad's own) a key press gives, if any: the chord with
    // Shift first, then a sign's without it (Shift may only have chosen the sign).
    static const Command* match(const std::vector<Command>& commands, const QKeyEvent& event);
    // Each command's desktop chord: Control and Command are both Ctrl; a Command command on
    // the chord of a Control one takes Ctrl+Alt.
    static void settleChords(std::vector<Command>& commands);
    // The op a character command stands for (Option's table, else Shift's, else the plain
    // one); nothing when its table has no entry.
    std::optional<std::uint32_t> charOp(const Command& command) const;
    // The op a named handler sends; nothing for the character and clipboard handlers.
    static std::optional<std::uint32_t> handlerOp(const QString& handler);
    // The op of the command a key press gives, where that command sends one.
    std::optional<std::uint32_t> opFor(const QKeyEvent& event) const;
    // The op a command stands for: its handler's, or its character's for a character
    // command; nothing for the clipboard handlers and characters no table has.
    std::optional<std::uint32_t> op(const Command& command) const;
    // A lower-case letter's token, which typed outside a string opens the catalogue there.
    static bool isCatalogueLetter(std::uint32_t op)
    {
        return (op >= 0xBBB0 && op <= 0xBBBA) || (op >= 0xBBBC && op <= 0xBBCA);
    }
    // The key press types a character (one printable, without Ctrl), whether or not a
    // command takes it.
    static bool typesCharacter(const QKeyEvent& event);
    // The key press is the keyboard's paste chord.
    static bool pastes(const QKeyEvent& event);
    // The op of the keyboard's named command a key press gives (GRAPH for Ctrl+G); nothing
    // for a character or clipboard command, or none.
    static std::optional<std::uint32_t> namedOp(const QKeyEvent& event);
    // A named command's op that goes to another screen (GRAPH, Y=, WINDOW, TABLE, QUIT, the
    // Home key, ...): what a screen that covers the keyboard hands to it. The keyboard's
    // menus, overlays and tokens would open behind such a screen or type into its field.
    static bool goesToScreen(std::uint32_t op);
    // A named command's op that edits the line as it does on any screen (INS, UNDO, the
    // cursor's ends).
    static bool editsLine(std::uint32_t op);
    // The Qt key a command's input names: the special inputs, or the key of its one
    // character; 0 for anything else.
    static int keyForInput(const QString& input);
    // The chord as the shortcut list shows it, e.g. "Ctrl+Shift+G".
    static QString chordText(const Command& command);

private:
    std::vector<Command> commands_;
};

} // namespace orvenda
