#include "language/Vocabulary.h"

#include "language/Localization.h"

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace orvenda {
namespace {

const Vocabulary& vocab()
{
    return Vocabulary::shared();
}

std::string localized(std::string_view key)
{
    return Localization::shared().text(key);
}

// Display names sampled across every page: its first and last code and two between, so
// a page shifted by one code or cut short shows.
const std::pair<std::uint32_t, std::string_view> kSampledNames[] = {
    {0x00, "nop"}, {0x04, "➞"}, {0x3F, "\n"}, {0x55, "U"}, {0x72, "Ans"}, {0xAA, ""}, {0xB0, "-"},
    {0xCE, "If "}, {0xFF, "LinReg(ax+b) "},
    {0x0400, "Y="}, {0x0413, "X,T,θ,η"}, {0x0426, "DISTR"}, {0x0438, "UserKeys"},
    {0x1000, "Rand0"}, {0x100D, "MatrixFe"}, {0x101A, "ForNext("}, {0x1026, "Menus"},
    {0x5C00, "[A]"}, {0x5C09, "[J]"}, {0x5D00, "L₁"}, {0x5D05, "L₆"}, {0x5E10, "Y₁"}, {0x5E19, "Y₀"},
    {0x5E20, "Xt₁"}, {0x5E2B, "Yt₆"}, {0x5E40, "r₁"}, {0x5E45, "r₆"}, {0x5E80, "u"}, {0x5E85, "w(ηMin)"},
    {0x5EA0, "XY₁"}, {0x5EA9, "XY₀"}, {0x6000, "pic1"}, {0x6009, "pic0"}, {0x6100, "GDB1"},
    {0x6109, "GDB0"}, {0xAA00, "Str1"}, {0xAA09, "Str0"},
    {0x6200, ""}, {0x6217, "b"}, {0x622E, "x̅₂"}, {0x6245, "C-Level"},
    {0x6300, "ZXscl"}, {0x6314, "ZYmin"}, {0x6328, "XFact"}, {0x633C, "scrHeight"},
    {0x7E00, "Sequential"}, {0x7E06, "Connected"}, {0x7E0C, "LabelOn"}, {0x7E12, "uwAxes"},
    {0xBB00, "npv("}, {0xBB31, "e"}, {0xBB55, "Equ▸String("}, {0xBBAA, "η"}, {0xBBFF, "ln1p("},
    {0xEF00, "setDate("}, {0xEF35, "randIntNoRep("}, {0xEF6A, "DetectAsmOn"}, {0xEF9F, "EF9F"},
    {0x5C20, "Trapezium…"}, {0x5C27, "T-Test…"}, {0x5C44, "Plot4("}, {0x5C68, "Simul Eqn Solver"},
};

// The own page's display name, spoken name and description, sampled the same way.
struct OwnName {
    std::uint32_t code;
    std::string_view name, spoken, description;
};
const OwnName kOwnPage[] = {
    {0x5C20, "Trapezium…", "Trapezium", "Trapezium…"},
    {0x5C27, "T-Test…", "T Test", "one sample t test"},
    {0x5C44, "Plot4(", "Plot 4", "Plot4(type,L1[,L2,mark,color])"},
    {0x5C68, "Simul Eqn Solver", "simultaneous equation solver", "Simultaneous Eqn Solver..."},
};



std::string fallback(std::uint32_t t)
{
    char buf[8];
    auto end = std::to_chars(buf, buf + sizeof buf, t, 16).ptr;
    std::string digits(buf, end);
    for (char& c : digits)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return "op(" + digits + ")";
}

TEST(VocabularyTest, EveryPageNamesItsCodes)
{
    for (const auto& [code, name] : kSampledNames)
        EXPECT_EQ(vocab().nameForOpcode(code), name) << std::hex << code;
    for (const OwnName& own : kOwnPage)
        EXPECT_EQ(vocab().nameForOpcode(own.code), own.name) << std::hex << own.code;
    // The three one-byte page prefixes alone.
    for (std::uint32_t t : {0x5Cu, 0xBBu, 0xEFu})
        EXPECT_EQ(vocab().nameForOpcode(t), "") << std::hex << t;
}

TEST(VocabularyTest, CodesJustOutsideEveryPageFallBack)
{
    for (std::uint32_t t : {0x0100u, 0x03FFu, 0x0439u, 0x0FFFu, 0x1027u, 0x1FFFu, 0x5BFFu, 0x5C0Au,
                            0x5C10u, 0x5C1Fu, 0x5C69u, 0x5CFFu, 0x5D06u, 0x5E0Fu, 0x5E1Au, 0x5E1Fu,
                            0x5E2Cu, 0x5E3Fu, 0x5E46u, 0x5E7Fu, 0x5E86u, 0x5E9Fu, 0x5EAAu, 0x5FFFu,
                            0x600Au, 0x60FFu, 0x610Au, 0x61FFu, 0x6246u, 0x62FFu, 0x633Du, 0x7DFFu,
                            0x7E13u, 0xA9FFu, 0xAA0Au, 0xBAFFu, 0xBC00u, 0xEEFFu, 0xEFA0u, 0xFFFFu})
        EXPECT_EQ(vocab().nameForOpcode(t), fallback(t)) << std::hex << t;
    // Upper-case hexadecimal without leading zeros.
    EXPECT_EQ(vocab().nameForOpcode(0x5C10), "op(5C10)");
    EXPECT_EQ(vocab().nameForOpcode(0x0439), "op(439)");
    EXPECT_EQ(vocab().nameForOpcode(0xFFFFFFFFu), "op(FFFF)");
}

TEST(VocabularyTest, HighHalvesBlanksAndEmptyNames)
{
    // The high half of an ordinary op is ignored.
    EXPECT_EQ(vocab().nameForOpcode(0x70 | (5u << 16)), "+");
    EXPECT_EQ(vocab().nameForOpcode(0xCE | (0x1234u << 16)), "If ");
    EXPECT_EQ(vocab().nameForOpcode(0xBB00 | (7u << 16)), "npv(");
    EXPECT_EQ(vocab().nameForOpcode(0x1012 | (3u << 16)), "fnBegin");
    EXPECT_EQ(vocab().speakNameForOpcode(0x5D00 | (1u << 16)), "List 1");

    // Empty names are empty, not the fallback.
    for (std::uint32_t t : {0x5Cu, 0x5Du, 0x5Eu, 0x60u, 0x61u, 0x62u, 0x63u, 0x7Eu, 0xAAu, 0xBBu, 0xEFu,
                            0x5C47u, 0x5C48u, 0x5C58u, 0x6200u, 0xBB5Fu, 0xBB63u, 0xBB7Eu, 0xBBBBu,
                            0xBBD0u})
        EXPECT_EQ(vocab().nameForOpcode(t), "") << std::hex << t;
    // Blanks belong to the names; two statistics variables share a name.
    const std::pair<std::uint32_t, std::string_view> names[] = {
        {0x3C, " or "}, {0x94, " nPr "}, {0x29, " "}, {0x3F, "\n"}, {0x5C34, "\u00A9"},
        {0x5C65, "\u0332"}, {0x6202, "n"}, {0x6221, "n"},
    };
    for (const auto& [code, name] : names)
        EXPECT_EQ(vocab().nameForOpcode(code), name) << std::hex << code;
}

using Named = std::pair<std::uint32_t, std::string_view>;

TEST(VocabularyTest, SpokenNames)
{
    for (const OwnName& own : kOwnPage)
        EXPECT_EQ(vocab().speakNameForOpcode(own.code), own.spoken) << std::hex << own.code;
    const Named cases[] = {
        // Key operations and lists have their own tables.
        {0x0400, "Y="}, {0x0406, "delete"}, {0x0413, "X T θ η"}, {0x042A, "F 1"}, {0x042E, "F 5"},
        {0x0435, "="}, {0x0438, ">"}, {0x0439, "op(439)"},
        {0x5D00, "List 1"}, {0x5D05, "List 6"}, {0x5D06, "op(5D06)"},
        // Pages without a table of their own speak their display name...
        {0x1012, "fnBegin"}, {0x5C00, "[A]"}, {0x5E2B, "Yt₆"}, {0x6203, "x̅"}, {0x630A, "Xmin"},
        {0x7E12, "uwAxes"}, {0xAA09, "Str0"}, {0x41, "A"}, {0xBB31, "e"}, {0xEF36, "MathType"},
        // ...except pictures and graph databases, which have none.
        {0x6000, "op(6000)"}, {0x6109, "op(6109)"}, {0x1027, "op(1027)"},
    };
    for (const auto& [code, name] : cases)
        EXPECT_EQ(vocab().speakNameForOpcode(code), name) << std::hex << code;
    EXPECT_EQ(vocab().nameForOpcode(0x6000), "pic1");
}

TEST(VocabularyTest, DescriptionsComeFromTheLocalisationLayerOrTheName)
{
    // Keyed codes of the BB page: 0xBB00-0xBB4C, 0xBB50-0xBB5C, 0xBBEF, 0xBBF6-0xBBFF.
    const Named keyed[] = {
        {0x00, "OPCODE_00"}, {0x2A, "OPCODE_2A"}, {0xAC, "OPCODE_AC"}, {0xFF, "OPCODE_FF"},
        {0xFF | (9u << 16), "OPCODE_FF"},
        {0xBB00, "F_NPV"}, {0xBB15, "F_BINOMPDF"}, {0xBB4C, "F_PMT_BGN"}, {0xBB50, "F_EXPR_ON"},
        {0xBB5C, "F_EXPM1"}, {0xBBEF, "F_TO_ABC"}, {0xBBF6, "F_TO_BIN"}, {0xBBFF, "F_LN1P"},
        {0xEF00, "F_SET_DATE"}, {0xEF10, "F_CLOCK_ON"}, {0xEF13, "F_INV_T"},
        {0xEF15, "F_LIN_REG_TINT"}, {0xEF32, "F_REMAINDER"}, {0xEF35, "F_RAND_INT_NOREP"},
        {0xEF41, "F_BLUE"}, {0xEF4F, "F_DARKGREY"}, {0xEF5A, "F_GRIDLINE"},
        {0xEF5B, "F_BACKGROUND_ON"}, {0xEF64, "F_BACKGROUND_OFF"}, {0xEF65, "F_GRAPH_COLOR"},
        {0xEF67, "F_TEXT_COLOR"}, {0xEF6C, "F_BORDER_COLOR"}, {0xEF92, "F_LEFT_TAIL"},
        {0xEF95, "F_INV_BINOM"}, {0xEF97, "F_TO_STRING"}, {0xEF98, "F_EVAL"},
    };
    for (const auto& [code, key] : keyed)
        EXPECT_EQ(vocab().descriptionForOpcode(code), localized(key)) << std::hex << code;

    for (const OwnName& own : kOwnPage)
        EXPECT_EQ(vocab().descriptionForOpcode(own.code), own.description) << std::hex << own.code;
    const Named plain[] = {
        // Texts of their own.
        {0xEF11, "OpenLib(library)"}, {0xEF38, "n/d"}, {0xEF39, "U␣n/d"}, {0xEF3A, "AUTO answer"},
        {0xEF3C, "FRAC answer"},
        // Everything else describes as its display name.
        {0xBB4D, "Real"}, {0xBB4F, "a+bi"}, {0xBB5F, ""}, {0xBB64, "G-T"}, {0xBBEE, "↓"},
        {0xBBF5, "≡"}, {0xEF12, "ExecLib"}, {0xEF36, "MathType"}, {0xEF40, "STATWIZARD OFF"},
        {0xEF66, "EF66"}, {0xEF9F, "EF9F"}, {0x0406, "DEL"}, {0x1013, "fnEnd"}, {0x5C00, "[A]"},
        {0x5D05, "L₆"}, {0x6000, "pic1"}, {0x633C, "scrHeight"}, {0x5C10, "op(5C10)"},
    };
    for (const auto& [code, text] : plain)
        EXPECT_EQ(vocab().descriptionForOpcode(code), text) << std::hex << code;
    EXPECT_EQ(vocab().nameForOpcode(0xEF38), "／");
}

std::uint32_t conversion(std::uint32_t unitClass, std::uint32_t from, std::uint32_t to)
{
    return 0xBB5D + (unitClass << 26) + (from << 21) + (to << 16);
}

TEST(VocabularyTest, ConstantsAndConversionsAreNamedByTheirParameters)
{
    // The names come from the unit tables (see UnitNamesTest); the vocabulary reaches them
    // for every kind of name.
    EXPECT_EQ(vocab().nameForOpcode(0xBB5E + (19u << 16)), "Cc");
    EXPECT_EQ(vocab().speakNameForOpcode(0xBB5E + (3u << 16)), "Na");
    EXPECT_EQ(vocab().expandedNameForOpcode(0xBB5E + (3u << 16)), "Na");
    EXPECT_EQ(vocab().nameForOpcode(0xBB5E + (20u << 16)), "op(BB5E)");
    EXPECT_EQ(vocab().speakNameForOpcode(0xBB5E + (20u << 16)), "op(BB5E)");
    EXPECT_EQ(vocab().expandedNameForOpcode(0xBB5E + (20u << 16)), "op(BB5E)");
    EXPECT_EQ(vocab().nameForOpcode(conversion(3, 3, 6)), " ft▸m");
    EXPECT_EQ(vocab().speakNameForOpcode(conversion(3, 3, 6)), " ft to m");
    EXPECT_EQ(vocab().expandedNameForOpcode(conversion(3, 3, 6)), " foot▸meter");
    // The description drops the parameters: every constant describes as constant 0, every
    // conversion as the bare token (class 0, unit 0 to unit 0).
    EXPECT_EQ(vocab().descriptionForOpcode(0xBB5E + (5u << 16)), vocab().nameForOpcode(0xBB5E));
    EXPECT_EQ(vocab().descriptionForOpcode(conversion(3, 3, 6)), " mi²▸mi²");

    // Ops can come from imported files: a class or unit past its table names nothing.
    for (std::uint32_t op : {conversion(12, 0, 0), conversion(31, 0, 0), conversion(3, 20, 0),
                             conversion(3, 0, 20), conversion(7, 4, 0), conversion(7, 0, 31)}) {
        EXPECT_EQ(vocab().nameForOpcode(op), "op(BB5D)") << std::hex << op;
        EXPECT_EQ(vocab().speakNameForOpcode(op), "op(BB5D)") << std::hex << op;
        EXPECT_EQ(vocab().expandedNameForOpcode(op), "op(BB5D)") << std::hex << op;
    }
}

TEST(VocabularyTest, ExpandedNameOnlyForTheBBPage)
{
    EXPECT_EQ(vocab().expandedNameForOpcode(0xBB00), "npv(");
    EXPECT_EQ(vocab().expandedNameForOpcode(0xBBFF), "ln1p(");
    EXPECT_EQ(vocab().expandedNameForOpcode(0xBB5F), "");
    EXPECT_FALSE(vocab().expandedNameForOpcode(0xBA).has_value()); // the one-byte page
    EXPECT_FALSE(vocab().expandedNameForOpcode(0xEF00).has_value());
    EXPECT_FALSE(vocab().expandedNameForOpcode(0x5C20).has_value());
}

TEST(VocabularyTest, OpcodeForNameFollowsTheSearchOrder)
{
    const std::pair<std::string_view, std::uint32_t> cases[] = {
        {"π", 0xAC},        // not 0xBBA7
        {"F", 0x46},        // not 0xBBAF
        {"e", 0xBB31},      // not 0xBBB4
        {"", 0x5C},         // the first empty one-byte name
        {"?", 0xAF},        // not the internal 0x101B
        {"␣", 0xEF39},      // EF is searched before the own page
        {"sin(", 0xC2}, {" or ", 0x3C}, {"Y=", 0x0400}, {"Rand0", 0x1000}, {"setDate(", 0xEF00},
        {"npv(", 0xBB00}, {"Trapezium…", 0x5C20}, {"Simul Eqn Solver", 0x5C68},
        // Case-sensitive, blanks count, and the unsearched pages are not found.
        {"SIN(", Vocabulary::kNoOpcode}, {"or", Vocabulary::kNoOpcode}, {"[A]", Vocabulary::kNoOpcode},
        {"L₁", Vocabulary::kNoOpcode}, {"Xmin", Vocabulary::kNoOpcode}, {"Str1", Vocabulary::kNoOpcode},
        {"Trapezium", Vocabulary::kNoOpcode},
    };
    for (const auto& [name, code] : cases)
        EXPECT_EQ(vocab().opcodeForName(std::string(name)), code) << name;
}

TEST(VocabularyTest, OpcodeForNameFindsEverySearchedName)
{
    // Each name resolves to a token carrying that same name (the earliest page holding it).
    auto check = [](std::uint32_t first, std::size_t count) {
        for (std::uint32_t t = first; t < first + count; ++t) {
            if (t == 0xBB5D || t == 0xBB5E)
                continue;
            const std::string name = vocab().nameForOpcode(t);
            const std::uint32_t found = vocab().opcodeForName(name);
            ASSERT_NE(found, Vocabulary::kNoOpcode) << std::hex << t;
            EXPECT_EQ(vocab().nameForOpcode(found), name) << std::hex << t;
        }
    };
    check(0x00, 256);
    check(0x0400, 57);
    check(0x1000, 39);
    check(0xEF00, 160);
    check(0xBB00, 256);
    check(0x5C20, 73);
}

TEST(VocabularyTest, RegressionGraphComputeAndVariableNames)
{
    EXPECT_EQ(vocab().nameForRegression(0), "LinReg(a+bx)");
    EXPECT_EQ(vocab().nameForRegression(4), "LnReg(a+b ln(x))");
    EXPECT_EQ(vocab().nameForRegression(9), "Logistic(c/(1+ae^(-bx))");
    EXPECT_EQ(vocab().nameForRegression(10), "SinReg(asin(bx+c)+d)");
    EXPECT_FALSE(vocab().nameForRegression(11).has_value());
    EXPECT_FALSE(vocab().nameForRegression(-1).has_value());
    EXPECT_EQ(vocab().nameForGCompute(0), "value");
    EXPECT_EQ(vocab().nameForGCompute(6), "∫f(x)dx");
    EXPECT_EQ(vocab().nameForGCompute(9), "dr/dθ");
    EXPECT_FALSE(vocab().nameForGCompute(10).has_value());
    EXPECT_FALSE(vocab().nameForGCompute(-1).has_value());

    const std::pair<int, std::string_view> variables[] = {
        {0, "A"}, {26, "θ"}, {27, "η"}, {38, "Xmin"}, {71, "ɴ"}, {86, "begin/end"}, {91, "n"},
        {87, "op(FFFF)"}, // the screen width has no token
        {89, ""},         // the unnamed first statistics entry
        {158, "C-Level"}, {212, "u1"}, {217, "w2"},
    };
    for (const auto& [slot, name] : variables)
        EXPECT_EQ(vocab().nameForVariable(slot), name) << slot;
    EXPECT_FALSE(vocab().nameForVariable(218).has_value());
}

TEST(VocabularyTest, ReservedWords)
{
    const auto words = vocab().reservedWords();
    EXPECT_EQ(words.at("round("), 0x12u);
    EXPECT_EQ(words.at("nop"), 0x00u);
    EXPECT_EQ(words.at("or"), 0x3Cu);   // trimmed of its blanks
    EXPECT_EQ(words.at("nPr"), 0x94u);
    EXPECT_EQ(words.at("If"), 0xCEu);
    EXPECT_EQ(words.at("⁻¹"), 0x0Cu);   // two characters, five bytes
    EXPECT_EQ(words.count("("), 0u);    // one character
    EXPECT_EQ(words.count("ʳ"), 0u);    // one character in two bytes
    EXPECT_EQ(words.count(""), 0u);
    EXPECT_EQ(words.count("LinReg(ax+b)"), 0u); // 0xFF is not visited
    EXPECT_EQ(words.at("LinReg(a+bx)"), 0xF4u);
}

TEST(VocabularyTest, CalculatorCharacterSet)
{
    const std::pair<char32_t, int> chars[] = {
        {U'A', 0x41}, {U'[', 0xC1}, {U'θ', 0x5B}, {U'π', 0xC4}, {U'ᵀ', 0x16}, {U'ʟ', 0xDC},
        {U'≥', 0x19}, {U'➤', 0x05},
        {U'\u0141', 0x41}, // not in the table: its low 8 bits
    };
    for (const auto& [c, code] : chars)
        EXPECT_EQ(vocab().translatedChar(c), code) << static_cast<std::uint32_t>(c);

    // Recoding leaves '[', 'ʟ' and 'ᵀ' at their low 8 bits; one byte per character.
    EXPECT_EQ(vocab().recodeTo83Charsset("[θ]"), std::string("\x5B\x5B\x5D"));
    EXPECT_EQ(vocab().recodeTo83Charsset("ʟᵀ²"), std::string("\x9F\x40\xD3"));
    EXPECT_EQ(vocab().recodeTo83Charsset("√(π"), std::string("\x10(\xC4"));
    EXPECT_EQ(vocab().recodeTo83Charsset(""), "");
    // A stray byte stands for itself rather than swallowing its neighbours.
    EXPECT_EQ(vocab().recodeTo83Charsset("a\xE2" "b"), std::string("a\xE2" "b"));
    EXPECT_EQ(vocab().numArgsForOpcode(0xC2), 0);
}

TEST(VocabularyTest, DiagnosticListings)
{
    EXPECT_EQ(Vocabulary::numToHexString(0x5C), "005C");
    EXPECT_EQ(Vocabulary::numToHexString(0x3BB00), "BB00");
    EXPECT_EQ(vocab().opStr(0x70),
              "0070•6•+•" + vocab().descriptionForOpcode(0x70) + "\n");
    EXPECT_EQ(vocab().opStr(0x5C00), "5C00•-1•[A]•[A]\n");

    const std::string file = vocab().opcodeFile();
    EXPECT_EQ(file.rfind("//:0000 single byte opcodes\n", 0), 0u);
    EXPECT_NE(file.find("//:0400 "), std::string::npos);
    EXPECT_NE(file.find("//:EF00 "), std::string::npos);
    EXPECT_EQ(file.find("//:1000 "), std::string::npos); // the internal page is not listed

    const std::string descriptions = vocab().opcodeDescriptions();
    EXPECT_EQ(descriptions.rfind("0–" + vocab().descriptionForOpcode(0) + "\n", 0), 0u);
    EXPECT_NE(descriptions.find("\n23584–Trapezium…\n"), std::string::npos); // 0x5C20
}

TEST(VocabularyTest, SpokenNamesOfTheOneByteBBAndEFPages)
{
    const Named cases[] = {
        {0x00, ""}, {0x26, ""}, {0x3C, "or"}, {0x3F, "new line"}, {0x01, "convert to DMS"},
        {0x10, "open paren"}, {0xC2, "sine"}, {0xF1, "x root"}, {0xFF, "linear regression AX + b"},
        {0xBB02, "balalance"}, {0xBB32, "sine regression "}, {0xBBFF, "natural log 1 p"},
        {0xEF14, "chye squared goodness of fit test"}, {0xEF33, "∑"}, {0xEF98, "evaluate"},
        // Not listed as different: spoken as displayed.
        {0x2A, "\""}, {0x70, "+"}, {0xBB57, "Clear Entries"}, {0xBB68, "Archive"}, {0xEF9F, "EF9F"},
    };
    for (const auto& [code, name] : cases)
        EXPECT_EQ(vocab().speakNameForOpcode(code), name) << std::hex << code;
}

TEST(VocabularyTest, SymbolicNamesKeepTheirSpellings)
{
    EXPECT_EQ(vocab().opcodeDB().size(), 577u);
    const std::pair<std::string_view, std::uint32_t> cases[] = {
        {"F_NOP0", 0x00}, {"F_STO", 0x04}, {"F_DEPEND_ASK", 0x7D}, {"F_TW0_5E", 0x5E},
        {"F_TWOBB", 0xBB}, {"F_LIN_REG_AX", 0xFF}, {"F_NPV", 0xBB00}, {"F_BINOMPDF", 0xBB15},
        {"F_EXPM1", 0xBB5C}, {" F_OMEGA", 0xBBAC}, {"F_LN1P", 0xBBFF}, {"F_SET_DATE", 0xEF00},
        {"F_ED2D", 0xEF2D}, {"F_STAT_WIZ_OFF", 0xEF40},
    };
    for (const auto& [name, code] : cases)
        EXPECT_EQ(vocab().opcodeDB().at(name), code) << name;
    EXPECT_FALSE(vocab().opcodeDB().contains("F_TWO_5E"));
    EXPECT_FALSE(vocab().opcodeDB().contains("F_BLUE"));
}

TEST(VocabularyTest, OpsFromCommaSeparatedSymbolicNames)
{
    const std::pair<std::string_view, std::vector<std::uint32_t>> cases[] = {
        {"F_STO,F_L_PAREN", {0x04, 0x10}},
        {"F_SIN,NOPE,F_X", {0xC2, 0x58}},
        {"F_STO,,F_STO,", {0x04, 0x04}},
        {" F_STO", {}},
        {"f_sto", {}},
        {"", {}},
    };
    for (const auto& [text, ops] : cases)
        EXPECT_EQ(vocab().opsFromString(text), ops) << text;
}

TEST(VocabularyTest, SharedInstanceIsSafeToReadFromManyThreads)
{
    std::vector<std::thread> threads;
    std::vector<std::string> names(4);
    for (std::size_t i = 0; i < names.size(); ++i)
        threads.emplace_back([&names, i] { names[i] = Vocabulary::shared().nameForOpcode(0xC2); });
    for (auto& t : threads)
        t.join();
    for (const auto& name : names)
        EXPECT_EQ(name, "sin(");
}

} // namespace
} // namespace orvenda
