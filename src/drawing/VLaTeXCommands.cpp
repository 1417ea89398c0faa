// The typesetter's command table: each command's element code and display text, and the
// TeX atom class of every code.

#include "drawing/VLaTeX.h"

#include <array>

namespace orvenda {

namespace {

struct Command {
    const char* name;
    int code;
    // nullptr: the name itself.
    const char* display;
};

// In code order; "|" is named twice (the double bar, reached only as \|, and the bar), so
// the later one holds the name.
constexpr Command kCommands[] = {
    {"", 0, ""}, {"LArg", 1, nullptr}, {"RArg", 2, nullptr}, {"{", 3, nullptr}, {"}", 4, nullptr},
    {"[", 5, nullptr}, {"]", 6, nullptr}, {"left", 7, nullptr}, {"right", 8, nullptr}, {"middle", 9, nullptr},
    {"mathrm", 10, nullptr}, {"mathit", 11, nullptr},
    // Function names, drawn upright as their own words.
    {"arccos", 12, nullptr}, {"arcsin", 13, nullptr}, {"arctan", 14, nullptr}, {"cos", 16, nullptr},
    {"cosh", 17, nullptr}, {"cot", 18, nullptr}, {"coth", 19, nullptr}, {"csc", 20, nullptr}, {"deg", 21, nullptr},
    {"det", 22, nullptr}, {"dim", 23, nullptr}, {"exp", 24, nullptr}, {"gcd", 25, nullptr}, {"hom", 26, nullptr},
    {"inf", 27, nullptr}, {"ker", 28, nullptr}, {"lg", 29, nullptr}, {"lim", 30, nullptr}, {"liminf", 31, nullptr},
    {"limsup", 32, nullptr}, {"ln", 33, nullptr}, {"log", 34, nullptr}, {"max", 35, nullptr}, {"min", 36, nullptr},
    {"Pr", 37, nullptr}, {"sec", 38, nullptr}, {"sin", 39, nullptr}, {"sinh", 40, nullptr}, {"sup", 41, nullptr},
    {"tan", 42, nullptr}, {"tanh", 43, nullptr},
    // Greek.
    {"alpha", 44, "α"}, {"beta", 45, "β"}, {"gamma", 46, "γ"}, {"delta", 47, "δ"}, {"epsilon", 48, "\u03B5"},
    {"zeta", 49, "ζ"}, {"eta", 50, "η"}, {"theta", 51, "θ"}, {"iota", 52, "ι"}, {"kappa", 53, "κ"},
    {"lambda", 54, "λ"}, {"mu", 55, "μ"}, {"nu", 56, "ν"}, {"xi", 57, "ξ"}, {"omicron", 58, "ο"}, {"pi", 59, "π"},
    {"rho", 60, "ρ"}, {"sigma", 61, "σ"}, {"tau", 62, "τ"}, {"upsilon", 63, "υ"}, {"phi", 64, "\u03D5"},
    {"chi", 65, "χ"}, {"psi", 66, "ψ"}, {"omega", 67, "ω"}, {"varepsilon", 68, "\u03F5"}, {"vartheta", 69, "ϑ"},
    {"varkappa", 70, "ϰ"}, {"varsigma", 71, "ς"}, {"varphi", 72, "\u03C6"}, {"varpi", 73, "ϖ"}, {"varrho", 74, "ϱ"},
    {"Gamma", 75, "Γ"}, {"Delta", 76, "Δ"}, {"Theta", 77, "Θ"}, {"Lambda", 78, "Λ"}, {"Xi", 79, "Ξ"},
    {"Pi", 80, "Π"}, {"Sigma", 81, "Σ"}, {"Upsilon", 82, "Υ"}, {"Phi", 83, "Φ"}, {"Psi", 84, "Ψ"},
    {"Omega", 85, "Ω"},
    // Ordinary symbols.
    {"aleph", 86, "ℵ"}, {"hbar", 87, "h\u0335"}, {"imath", 88, "\U0001D456"}, {"jmath", 89, "\U0001D457"},
    {"ell", 90, "\U0001D4C1"}, {"wp", 91, "\U0001D4C5"}, {"Re", 92, "ℜ"}, {"Im", 93, "ℑ"}, {"partial", 94, "∂"},
    {"infty", 95, "∞"}, {"prime", 96, "′"}, {"emptyset", 97, "∅"}, {"nabla", 98, "∇"}, {"surd", 99, "√"},
    {"top", 100, "⊤"}, {"bot", 101, "⊥"}, {"|", 102, "‖"}, {"angle", 103, "∠"}, {"triangle", 104, "△"},
    {"\\", 105, nullptr}, {"forall", 106, "∀"}, {"exists", 107, "∃"}, {"neg", 108, "¬"}, {"flat", 109, "♭"},
    {"natural", 110, "♮"}, {"sharp", 111, "♯"}, {"clubsuit", 112, "\u2663\uFE0E"}, {"diamondsuit", 113, "♢"},
    {"heartsuit", 114, "♡"}, {"spadesuit", 115, "\u2660\uFE0E"}, {"smallint", 116, "∫"},
    // Characters.
    {"0", 117, nullptr}, {"1", 118, nullptr}, {"2", 119, nullptr}, {"3", 120, nullptr}, {"4", 121, nullptr},
    {"5", 122, nullptr}, {"6", 123, nullptr}, {"7", 124, nullptr}, {"8", 125, nullptr}, {"9", 126, nullptr},
    {",", 127, nullptr}, {".", 128, nullptr}, {";", 129, nullptr}, {":", 130, nullptr}, {"?", 131, nullptr},
    {"!", 132, nullptr},
    {"A", 133, nullptr}, {"B", 134, nullptr}, {"C", 135, nullptr}, {"D", 136, nullptr}, {"E", 137, nullptr},
    {"F", 138, nullptr}, {"G", 139, nullptr}, {"H", 140, nullptr}, {"I", 141, nullptr}, {"J", 142, nullptr},
    {"K", 143, nullptr}, {"L", 144, nullptr}, {"M", 145, nullptr}, {"N", 146, nullptr}, {"O", 147, nullptr},
    {"P", 148, nullptr}, {"Q", 149, nullptr}, {"R", 150, nullptr}, {"S", 151, nullptr}, {"T", 152, nullptr},
    {"U", 153, nullptr}, {"V", 154, nullptr}, {"W", 155, nullptr}, {"X", 156, nullptr}, {"Y", 157, nullptr},
    {"Z", 158, nullptr}, {" ", 159, nullptr},
    {"a", 160, nullptr}, {"b", 161, nullptr}, {"c", 162, nullptr}, {"d", 163, nullptr}, {"e", 164, nullptr},
    {"f", 165, nullptr}, {"g", 166, nullptr}, {"h", 167, nullptr}, {"i", 168, nullptr}, {"j", 169, nullptr},
    {"k", 170, nullptr}, {"l", 171, nullptr}, {"m", 172, nullptr}, {"n", 173, nullptr}, {"o", 174, nullptr},
    {"p", 175, nullptr}, {"q", 176, nullptr}, {"r", 177, nullptr}, {"s", 178, nullptr}, {"t", 179, nullptr},
    {"u", 180, nullptr}, {"v", 181, nullptr}, {"w", 182, nullptr}, {"x", 183, nullptr}, {"y", 184, nullptr},
    {"z", 185, nullptr},
    // Large operators.
    {"sum", 186, "Σ"}, {"prod", 187, "∏"}, {"coprod", 188, "∐"}, {"int", 189, "∫"}, {"oiint", 190, "∬"},
    {"bigcap", 191, "∩"}, {"bigcup", 192, "∪"}, {"bigsqcup", 193, "⊔"}, {"bigvee", 194, "⋁"},
    {"bigwedge", 195, "⋀"}, {"bigodot", 196, "⊙"}, {"bitotimes", 197, "⊗"}, {"bigoplus", 198, "⊕"},
    {"biguplus", 199, "⊎"},
    {"frac", 200, nullptr}, {"binom", 201, nullptr}, {"sqrt", 202, nullptr}, {"^", 203, nullptr},
    {"_", 204, nullptr},
    // Binary operators.
    {"+", 205, nullptr}, {"−", 206, nullptr}, {"pm", 207, "±"}, {"mp", 208, "∓"}, {"setminus", 209, "∖"},
    {"cdot", 210, "⋅"}, {"times", 211, "×"}, {"ast", 212, "*"}, {"star", 213, "⋆"}, {"diamond", 214, "◇"},
    {"circ", 215, "◦"}, {"bullet", 216, "•"}, {"div", 217, "÷"}, {"cap", 218, "⋂"}, {"cup", 219, "⋃"},
    {"uplus", 220, "⨄"}, {"sqcap", 221, "⊓"}, {"sqcup", 222, "⊔"}, {"triangleleft", 223, "◃"},
    {"triangleright", 224, "▹"}, {"wr", 225, "≀"}, {"bigcirc", 226, "◯"}, {"bigtriangleright", 227, "△"},
    {"bigtriangledown", 228, "▽"}, {"vee", 229, "∨"}, {"wedge", 230, "∧"}, {"oplus", 231, "⊕"},
    {"ominus", 232, "⊖"}, {"oslash", 233, "⊘"}, {"odot", 234, "⊙"}, {"dagger", 235, "†"}, {"ddagger", 236, "‡"},
    {"amalg", 237, "⨿"}, {"/", 238, nullptr},
    // Relations.
    {"<", 239, nullptr}, {">", 240, nullptr}, {"=", 241, nullptr}, {"leq", 242, "≤"}, {"geq", 243, "≥"},
    {"equiv", 244, "≡"}, {"prec", 245, "≺"}, {"succ", 246, "≻"}, {"sim", 247, "∼"}, {"preceq", 248, "≼"},
    {"succeq", 249, "≽"}, {"simeq", 250, "≃"}, {"ll", 251, "⪻"}, {"gg", 252, "⪼"}, {"asymp", 253, "≍"},
    {"subset", 254, "⊂"}, {"supset", 255, "⊃"}, {"approx", 256, "≈"}, {"subseteq", 257, "⊆"},
    {"supseteq", 258, "⊇"}, {"cong", 259, "≅"}, {"sqsubseteq", 260, "⊑"}, {"sqsupseteq", 261, "⊒"},
    {"bowtie", 262, "⋈"}, {"in", 263, "∈"}, {"ni", 264, "∋"}, {"propto", 265, "∝"}, {"vdash", 266, "⊢"},
    {"dashv", 267, "⊣"}, {"models", 268, "⊨"}, {"smile", 269, "⌣"}, {"mid", 270, "∣"}, {"doteq", 271, "≐"},
    {"frown", 272, "⌢"}, {"parallel", 273, "‖"}, {"Perp", 274, "⟂"},
    // Delimiters and the sign minus.
    {"–", 275, nullptr}, {"(", 276, nullptr}, {")", 277, nullptr}, {"|", 278, nullptr},
    // Spaces.
    {"quad", 279, ""}, {"smSp", 280, ""}, {"medSp", 281, ""}, {"lgSp", 282, ""}, {"negSp", 283, ""},
    // Arrows.
    {"leftarrow", 284, "←"}, {"Leftarrow", 285, "⇐"}, {"rightarrow", 286, "→"}, {"Rightarrow", 287, "⇒"},
    {"leftrightarrow", 288, "\u2194\uFE0E"}, {"Leftrightarrow", 289, "⇔"}, {"mapsto", 290, "↦"},
    {"hookleftarrow", 291, "↫"}, {"leftharpoonup", 292, "↼"}, {"leftharpoondown", 293, "↽"},
    {"rightleftharpoons", 294, "⇌"}, {"longleftarrow", 295, "⟵"}, {"Longleftarrow", 296, "⟸"},
    {"longrightarrow", 297, "⟶"}, {"Longrightarrow", 298, "⟹"}, {"longleftrightarrow", 299, "⟷"},
    {"Longleftrightarrow", 300, "⟺"}, {"longmapsto", 301, "⟼"}, {"hookrightarrow", 302, "↬"},
    {"rightharpoonup", 303, "⇀"}, {"rightharpoondown", 304, "⇁"}, {"uparrow", 305, "↑"}, {"Uparrow", 306, "⇑"},
    {"downarrow", 307, "↓"}, {"Downarrow", 308, "⇓"}, {"updownarrow", 309, "\u2195\uFE0E"},
    {"Updownarrow", 310, "⇕"}, {"nearrrow", 311, "\u2197\uFE0E"}, {"searrow", 312, "\u2198\uFE0E"},
    {"swarrow", 313, "\u2199\uFE0E"}, {"nwarrow", 314, "\u2196\uFE0E"},
    {"'", 320, nullptr}, {"txt", 324, nullptr},
};

constexpr int kCodeCount = 325;

struct Table {
    std::unordered_map<std::string, int> commands;
    std::array<QString, kCodeCount> display;
    std::array<std::string, kCodeCount> displayUtf8;

    Table()
    {
        for (const Command& c : kCommands) {
            commands[c.name] = c.code;
            const char* text = c.display ? c.display : c.name;
            display[static_cast<std::size_t>(c.code)] = QString::fromUtf8(text);
            displayUtf8[static_cast<std::size_t>(c.code)] = text;
        }
    }
};

const Table& table()
{
    static const Table t;
    return t;
}

} // namespace

const std::unordered_map<std::string, int>& VLaTeX::commands() { return table().commands; }

const QString& VLaTeX::displayText(int code)
{
    static const QString none;
    return code >= 0 && code < kCodeCount ? table().display[static_cast<std::size_t>(code)] : none;
}

std::string VLaTeX::nameForType(int type)
{
    if (type == -1)
        return "root";
    return type >= 0 && type < kCodeCount ? table().displayUtf8[static_cast<std::size_t>(type)] : std::string();
}

int VLaTeX::charToTeXOrd(int code)
{
    enum { Ord, Op, Bin, Rel, Open, Close, Punct, Inner };
    if (code < 3 || code > kLastCommand)
        return Ord;
    switch (code) {
    case 3: case 5: case 276: return Open;
    case 4: case 6: case 277: return Close;
    case 7: case 8: return Inner;
    case 217: return Punct;
    case 275: return Ord;
    default: break;
    }
    if (code <= 126)
        return Ord;
    if (code <= 132)
        return Punct;
    if (code <= 185)
        return Ord;
    if (code <= 199)
        return Op;
    if (code <= 204)
        return Inner;
    if (code <= 238)
        return Bin;
    if (code <= 274)
        return Rel;
    if (code <= 283)
        return Ord;
    return Rel;
}

} // namespace orvenda
