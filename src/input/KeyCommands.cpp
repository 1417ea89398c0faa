#include "input/KeyCommands.h"

#include "input/KeyTables.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QStringList>

#include <map>
#include <set>
#include <utility>

namespace orvenda {

namespace {

const QString kEscape = QStringLiteral("UIKeyInputEscape");
const QString kUpArrow = QStringLiteral("UIKeyInputUpArrow");
const QString kDownArrow = QStringLiteral("UIKeyInputDownArrow");
const QString kLeftArrow = QStringLiteral("UIKeyInputLeftArrow");
const QString kRightArrow = QStringLiteral("UIKeyInputRightArrow");
const QString kBackspace = QStringLiteral("\b");
const QString kReturn = QStringLiteral("\r");

// The command list, in order: the named commands, the plain characters, the Shift
// characters and the Option characters.
constexpr std::string_view kDescriptions[] = {
    "A,ANGLE,C^,kANGLE:", "A,APPS,C,kAPPS:", "C,CATALOG,C,kCATALOG:", "\b,ClrDraw,M,kClrDraw:",
    "V,DISTR,C^,kDISTR:", "O,CONV,M,kCONV:", "P,DRAW,C^,kDRAW:", "+,Font+,M,kIncreaseFont:",
    "-,Font-,M,kDecreaseFont:", "F,fraction n/d,M,knd:", "F,fraction Un/d,M^,kUnd:", "H,FORMAT,C^,kFORMAT:",
    "U,FUNC,M,kF2:", "I,Insert,M,kINS:", "G,GRAPH,C,kGRAPH:", "H,Home,C,kHome:", "L,LIST,C,kLIST:",
    "M,MATH,C,kMATH:", "X,MATRIX,C,kMATRIX:", "M,MTRX,M,kF3:", "D,MODE,C,kMODE:", "P,PRGM,C,kPRGM:",
    "Q,Quit,M,kQUIT:", "UIKeyInputEscape,,,kQUIT:", "S,Share,M,kSEND:", "S,STAT,C,kSTAT:",
    "Y,STAT PLOT,C^,kSTATPLOT:", "S,STO➞,O,kChar:", "T,TABLE,C,kTABLE:", "T,TBLSET,C^,kTBLSET:",
    "U,User,C,kUSER:", "M,TEST,C^,kTEST:", "V,VARS,C,kVARS:", "G,WINDOW,C^,kWINDOW:", "Y,Y=,C,kYEQ:",
    "Y,YVAR,M,kF4:", "/,Help ?,C,kQuestion:", "/,Help ⓘ,C^,kCircleI:", "UIKeyInputLeftArrow,Home,^,kCursorHome:",
    "UIKeyInputRightArrow,End,^,kCursorEnd:", "UIKeyInputUpArrow,PageUp,^,kFileTop:",
    "UIKeyInputDownArrow,PageDown,^,kFileBottom:", "X,Cut,M,cmdCut:", "C,Copy,M,cmdCopy:", "V,Paste,M,cmdPaste:",
    "Z,Undo,M,kUNDO:", "Z,Redo,M^,kREDO:",
    // Plain characters.
    "UIKeyInputDownArrow,,,kChar:", "UIKeyInputUpArrow,,,kChar:", "UIKeyInputLeftArrow,,,kChar:",
    "UIKeyInputRightArrow,,,kChar:",
    "a,,,kChar:", "b,,,kChar:", "c,,,kChar:", "d,,,kChar:", "e,,,kChar:", "f,,,kChar:", "g,,,kChar:",
    "h,,,kChar:", "i,,,kChar:", "j,,,kChar:", "k,,,kChar:", "l,,,kChar:", "m,,,kChar:", "n,,,kChar:",
    "o,,,kChar:", "p,,,kChar:", "q,,,kChar:", "r,,,kChar:", "s,,,kChar:", "t,,,kChar:", "u,,,kChar:",
    "v,,,kChar:", "w,,,kChar:", "x,,,kChar:", "y,,,kChar:", "z,,,kChar:",
    "0,,,kChar:", "1,,,kChar:", "2,,,kChar:", "3,,,kChar:", "4,,,kChar:", "5,,,kChar:", "6,,,kChar:",
    "7,,,kChar:", "8,,,kChar:", "9,,,kChar:",
    " ,,,kChar:", "{,,,kChar:", "},,,kChar:", "(,,,kChar:", "),,,kChar:", "[,,,kChar:", "],,,kChar:",
    ":,,,kChar:", ";,,,kChar:", "°,,,kChar:", "=,,,kChar:", "<,,,kChar:", ">,,,kChar:", "?,,,kChar:",
    "\b,,,kChar:", "+,,,kChar:", "-,,,kChar:", "*,,,kChar:", "/,,,kChar:", ".,,,kChar:", "^,,,kChar:",
    "!,,,kChar:", "@,,,kChar:", "#,,,kChar:", "$,,,kChar:", "%,,,kChar:", "&,,,kChar:", "\\,,,kChar:",
    "\",,,kChar:", "\r,,,kChar:",
    // Shift.
    "A,,^,kChar:", "B,,^,kChar:", "C,,^,kChar:", "D,,^,kChar:", "E,,^,kChar:", "F,,^,kChar:", "G,,^,kChar:",
    "H,,^,kChar:", "I,,^,kChar:", "J,,^,kChar:", "K,,^,kChar:", "L,,^,kChar:", "M,,^,kChar:", "N,,^,kChar:",
    "O,,^,kChar:", "P,,^,kChar:", "Q,,^,kChar:", "R,,^,kChar:", "S,,^,kChar:", "T,,^,kChar:", "U,,^,kChar:",
    "V,,^,kChar:", "W,,^,kChar:", "X,,^,kChar:", "Y,,^,kChar:", "Z,,^,kChar:", "\b,,^,kChar:",
    // Option.
    "-,negate (-),O,kChar:", "v,√,O,kChar:", "2,²,O,kChar:", "3,³,O,kChar:", "-,⁻¹,O^,kChar:", "p,π,O,kChar:",
    "e,constant e,O,kChar:", "i,imaginary ɩ̇,O,kChar:", "°,≤,O,kChar:", ".,≥,O,kChar:", "=,≠,O,kChar:",
    "\\,|,O,kChar:", "1,¡,O,kChar:", "/,¿,O,kChar:", ";,…,O,kChar:", "b,∫,O,kChar:",
};

using Table = std::map<QString, std::uint32_t>;

const Table& plainChars()
{
    static const Table table = [] {
        Table t{
            {kDownArrow, KeyTables::kDown}, {kUpArrow, KeyTables::kUp}, {kLeftArrow, KeyTables::kLeft},
            {kRightArrow, KeyTables::kRight}, {" ", 0x29}, {"{", 0x08}, {"}", 0x09}, {"(", 0x10}, {")", 0x11},
            {"[", 0x06}, {"]", 0x07}, {":", 0x3E}, {";", 0xBBD6}, {",", 0x2B}, {"=", 0x6A}, {"<", 0x6B},
            {">", 0x6C}, {"?", 0xAF}, {kBackspace, KeyTables::kDel}, {"+", 0x70}, {"-", 0x71}, {"*", 0x82},
            {"/", 0x83}, {".", 0x3A}, {"^", 0xF0}, {"!", 0x2D}, {"@", 0xBBD1}, {"#", 0xBBD2}, {"$", 0xBBD3},
            {"%", 0xBBDA}, {"&", 0xBBD4}, {"\\", 0xBBD7}, {"\"", 0x2A}, {kReturn, KeyTables::kEnter},
        };
        // The lower-case letter tokens skip 0xBBBB.
        for (char c = 'a'; c <= 'z'; ++c)
            t[QString(QChar(c))] = c <= 'k' ? 0xBBB0u + static_cast<std::uint32_t>(c - 'a')
                                            : 0xBBBCu + static_cast<std::uint32_t>(c - 'l');
        for (char c = '0'; c <= '9'; ++c)
            t[QString(QChar(c))] = 0x30u + static_cast<std::uint32_t>(c - '0');
        return t;
    }();
    return table;
}

const Table& shiftChars()
{
    static const Table table = [] {
        Table t{{kBackspace, KeyTables::kClear}};
        for (char c = 'A'; c <= 'Z'; ++c)
            t[QString(QChar(c))] = 0x41u + static_cast<std::uint32_t>(c - 'A');
        return t;
    }();
    return table;
}

const Table& optionChars()
{
    static const Table table{
        {",", 0x6D}, {".", 0x6E}, {"=", 0x6F}, {"\\", 0xBBD8}, {"1", 0xBB9E}, {";", 0xBBDB}, {"p", 0xAC},
        {"b", 0xBBF1}, {"v", 0xBC}, {"/", 0xBB9D}, {"e", 0xBB31}, {"i", 0x2C}, {"-", 0xB0}, {"S", 0x04},
        {"2", 0x0D}, {"3", 0x0F},
    };
    return table;
}

const std::map<QString, std::uint32_t>& namedHandlers()
{
    static const std::map<QString, std::uint32_t> table{
        {"kANGLE:", KeyTables::kAngle}, {"kAPPS:", KeyTables::kApps}, {"kCATALOG:", KeyTables::kCatalog},
        {"kDISTR:", KeyTables::kDistr}, {"kDRAW:", KeyTables::kDraw}, {"kFORMAT:", KeyTables::kFormat},
        {"kGRAPH:", KeyTables::kGraph}, {"kHome:", KeyTables::kHomeScreen}, {"kLIST:", KeyTables::kList},
        {"kMATH:", KeyTables::kMath}, {"kMATRIX:", KeyTables::kMatrix}, {"kMODE:", KeyTables::kMode},
        {"kPRGM:", KeyTables::kPrgm}, {"kSTAT:", KeyTables::kStat}, {"kSTATPLOT:", KeyTables::kStatPlot},
        {"kTABLE:", KeyTables::kTable}, {"kTBLSET:", KeyTables::kTblSet}, {"kTEST:", KeyTables::kTest},
        {"kUSER:", KeyTables::kUser}, {"kVARS:", KeyTables::kVars}, {"kWINDOW:", KeyTables::kWindow},
        {"kCursorHome:", KeyTables::kHome}, {"kCursorEnd:", KeyTables::kEnd}, {"kFileTop:", KeyTables::kFileTop},
        {"kFileBottom:", KeyTables::kFileBottom}, {"kUNDO:", KeyTables::kUndo}, {"kREDO:", KeyTables::kRedo},
        {"kINS:", KeyTables::kIns}, {"kSEND:", KeyTables::kShare}, {"knd:", 0xEF38}, {"kUnd:", 0xEF39},
        {"kIncreaseFont:", KeyTables::kFontUp}, {"kDecreaseFont:", KeyTables::kFontDown}, {"kF2:", KeyTables::kF2},
        {"kF3:", KeyTables::kF3}, {"kF4:", KeyTables::kF4}, {"kCONV:", KeyTables::kConv},
        {"kClrDraw:", KeyTables::kClrDraw}, {"kQUIT:", KeyTables::kQuit}, {"kQuestion:", KeyTables::kOn},
        {"kCircleI:", KeyTables::kInfo}, {"kYEQ:", KeyTables::kYEq},
    };
    return table;
}

bool isSpecial(const QString& input)
{
    return input == kEscape || input == kUpArrow || input == kDownArrow || input == kLeftArrow || input == kRightArrow
        || input == kBackspace || input == kReturn;
}

bool letter(const QString& input)
{
    return input.size() == 1 && input[0].isLetter() && input[0].unicode() < 128;
}

int chordOf(int modifiers)
{
    return ((modifiers & (KeyCommands::kControl | KeyCommands::kCommand)) ? KeyCommands::kCtrl : 0)
        | ((modifiers & KeyCommands::kOption) ? KeyCommands::kAlt : 0)
        | ((modifiers & KeyCommands::kShift) ? KeyCommands::kShiftKey : 0);
}

// The key a shifted sign is typed on (a US keyboard's): what the chords name.
int unshiftedKey(int key)
{
    switch (key) {
    case Qt::Key_Underscore: return Qt::Key_Minus;
    case Qt::Key_Question: return Qt::Key_Slash;
    default: return key;
    }
}

QString inputForKey(int key)
{
    switch (key) {
    case Qt::Key_Escape: return kEscape;
    case Qt::Key_Up: return kUpArrow;
    case Qt::Key_Down: return kDownArrow;
    case Qt::Key_Left: return kLeftArrow;
    case Qt::Key_Right: return kRightArrow;
    case Qt::Key_Backspace: return kBackspace;
    case Qt::Key_Return:
    case Qt::Key_Enter: return kReturn;
    default: return {};
    }
}

} // namespace

int KeyCommands::keyForInput(const QString& input)
{
    for (int key : {Qt::Key_Escape, Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right, Qt::Key_Backspace,
                    Qt::Key_Return})
        if (input == inputForKey(key))
            return key;
    if (input.size() != 1)
        return 0;
    const QKeySequence sequence(input.toUpper());
    return sequence.isEmpty() || sequence[0].key() == Qt::Key_unknown ? 0 : sequence[0].key();
}

std::optional<KeyCommands::Command> KeyCommands::keyCmd(std::string_view description)
{
    const QStringList parts = QString::fromUtf8(description.data(), static_cast<qsizetype>(description.size()))
                                  .split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    Command command;
    command.input = parts[0] == QStringLiteral("°") ? QStringLiteral(",") : parts[0];
    command.title = parts[1];
    for (QChar c : parts[2]) {
        if (c == QLatin1Char('C'))
            command.modifiers |= kControl;
        else if (c == QLatin1Char('M'))
            command.modifiers |= kCommand;
        else if (c == QLatin1Char('O'))
            command.modifiers |= kOption;
        else if (c == QLatin1Char('^'))
            command.modifiers |= kShift;
    }
    command.handler = parts[3];
    command.chord = chordOf(command.modifiers);
    return command;
}

KeyCommands::KeyCommands()
{
    commands_.reserve(std::size(kDescriptions));
    for (std::string_view description : kDescriptions)
        if (auto command = keyCmd(description))
            commands_.push_back(std::move(*command));
    settleChords(commands_);
}

void KeyCommands::settleChords(std::vector<Command>& commands)
{
    // Control shortcuts keep Ctrl; a Command shortcut on a taken chord moves to Ctrl+Alt.
    std::set<std::pair<QString, int>> taken;
    auto key = [](const Command& c) { return std::make_pair(letter(c.input) ? c.input.toUpper() : c.input, c.chord); };
    for (const Command& c : commands)
        if (!(c.modifiers & kCommand))
            taken.insert(key(c));
    for (Command& c : commands)
        if ((c.modifiers & kCommand) && taken.contains(key(c)))
            c.chord |= kAlt;
}

const KeyCommands::Command* KeyCommands::commandFor(const QKeyEvent& event) const { return match(commands_, event); }

bool KeyCommands::pastes(const QKeyEvent& event)
{
    static const KeyCommands keyboard;
    const Command* command = keyboard.commandFor(event);
    return command && command->handler == QStringLiteral("cmdPaste:");
}

std::optional<std::uint32_t> KeyCommands::namedOp(const QKeyEvent& event)
{
    static const KeyCommands keyboard;
    return keyboard.opFor(event);
}

bool KeyCommands::goesToScreen(std::uint32_t op)
{
    switch (op) {
    case KeyTables::kYEq: case KeyTables::kWindow: case KeyTables::kGraph: case KeyTables::kQuit:
    case KeyTables::kStatPlot: case KeyTables::kTblSet: case KeyTables::kFormat: case KeyTables::kTable:
    case KeyTables::kHomeScreen:
        return true;
    default:
        return false;
    }
}

bool KeyCommands::editsLine(std::uint32_t op)
{
    switch (op) {
    case KeyTables::kIns: case KeyTables::kUndo: case KeyTables::kRedo: case KeyTables::kHome: case KeyTables::kEnd:
    case KeyTables::kFileTop: case KeyTables::kFileBottom:
        return true;
    default:
        return false;
    }
}

const KeyCommands::Command* KeyCommands::match(const std::vector<Command>& commands, const QKeyEvent& event)
{
    const Qt::KeyboardModifiers m = event.modifiers();
    const int chord = ((m & Qt::ControlModifier) ? kCtrl : 0) | ((m & Qt::AltModifier) ? kAlt : 0)
        | ((m & Qt::ShiftModifier) ? kShiftKey : 0);
    const QString special = inputForKey(event.key());
    const QString text = event.text();
    const bool printable = text.size() == 1 && text[0].isPrint();
    // Shift makes a sign key report its shifted sign ("_" on the minus key, "?" on the
    // slash key): in a chord with Ctrl or Alt it is still that key (Option-Shift-minus,
    // Ctrl+Shift+/ for help).
    const int key = (chord & kShiftKey) ? unshiftedKey(event.key()) : event.key();
    const QString keyChar = key > 0 && key < 0x7F ? QString(QChar(key)) : QString();
    auto matches = [&](const Command& c, bool shiftTolerant) {
        const bool ownSpecial = !special.isEmpty();
        if (ownSpecial != isSpecial(c.input) || (ownSpecial && c.input != special))
            return false;
        int wanted = c.chord;
        int given = chord;
        if (!ownSpecial) {
            if (letter(c.input) && (chord & (kCtrl | kAlt))) {
                if (keyChar.compare(c.input, Qt::CaseInsensitive) != 0)
                    return false;
            } else if (!(printable && text == c.input) && !(chord & (kCtrl | kAlt) && keyChar == c.input)) {
                return false;
            }
            // A sign typed with Shift is the sign.
            if (shiftTolerant && !letter(c.input)) {
                wanted &= ~kShiftKey;
                given &= ~kShiftKey;
            }
        }
        return wanted == given;
    };
    for (bool tolerant : {false, true})
        for (const Command& c : commands)
            if (matches(c, tolerant))
                return &c;
    return nullptr;
}

bool KeyCommands::typesCharacter(const QKeyEvent& event)
{
    const QString text = event.text();
    return text.size() == 1 && text[0].isPrint() && !(event.modifiers() & Qt::ControlModifier);
}

std::optional<std::uint32_t> KeyCommands::charOp(const Command& command) const
{
    const Table* table = &plainChars();
    if (command.modifiers & kOption) {
        // Option-Shift-minus is the reciprocal its title promises.
        if ((command.modifiers & kShift) && command.input == QStringLiteral("-"))
            return 0x0Cu;
        table = &optionChars();
    } else if (command.modifiers & kShift) {
        table = &shiftChars();
    }
    const auto found = table->find(command.input);
    if (found == table->end())
        return std::nullopt;
    return found->second;
}

std::optional<std::uint32_t> KeyCommands::handlerOp(const QString& handler)
{
    const auto found = namedHandlers().find(handler);
    if (found == namedHandlers().end())
        return std::nullopt;
    return found->second;
}

QString KeyCommands::chordText(const Command& command)
{
    QStringList parts;
    if (command.chord & kCtrl)
        parts << QStringLiteral("Ctrl");
    if (command.chord & kAlt)
        parts << QStringLiteral("Alt");
    if (command.chord & kShiftKey)
        parts << QStringLiteral("Shift");
    const QString& in = command.input;
    QString name = in == kEscape      ? QStringLiteral("Esc")
        : in == kUpArrow              ? QStringLiteral("↑")
        : in == kDownArrow            ? QStringLiteral("↓")
        : in == kLeftArrow            ? QStringLiteral("←")
        : in == kRightArrow           ? QStringLiteral("→")
        : in == kBackspace            ? QStringLiteral("Backspace")
        : in == kReturn               ? QStringLiteral("Return")
        : in == QStringLiteral(" ")   ? QStringLiteral("Space")
                                      : in;
    parts << name;
    return parts.join(QLatin1Char('+'));
}

std::optional<std::uint32_t> KeyCommands::opFor(const QKeyEvent& event) const
{
    const Command* command = commandFor(event);
    return command ? handlerOp(command->handler) : std::nullopt;
}

std::optional<std::uint32_t> KeyCommands::op(const Command& command) const
{
    return command.handler == QStringLiteral("kChar:") ? charOp(command) : handlerOp(command.handler);
}

} // namespace orvenda
