// The display-name tables of every token page, in code order. Blanks are part of a name
// (" or ", "If "); an empty name marks a code without text of its own.

#include "language/Vocabulary.h"

#include <iterator>

namespace orvenda {

// One-byte tokens 0x00-0xFF. The first bytes of two-byte tokens (0x5C, 0x5D, 0x5E, 0x60-0x63,
// 0x7E, 0xAA, 0xBB, 0xEF) have no name.
std::span<const std::string_view> Vocabulary::singleByteNames()
{
    static constexpr std::string_view names[] = {
        "nop", // 0x00
        "▸DMS", // 0x01
        "▸Dec", // 0x02
        "▸Frac", // 0x03
        "➞", // 0x04
        "Boxplot", // 0x05
        "[", // 0x06
        "]", // 0x07
        "{", // 0x08
        "}", // 0x09
        "ʳ", // 0x0A
        "°", // 0x0B
        "⁻¹", // 0x0C
        "²", // 0x0D
        "ᵀ", // 0x0E
        "³", // 0x0F
        "(", // 0x10
        ")", // 0x11
        "round(", // 0x12
        "pxl-Test(", // 0x13
        "augment(", // 0x14
        "rowSwap(", // 0x15
        "row+(", // 0x16
        "*row(", // 0x17
        "*row+(", // 0x18
        "max(", // 0x19
        "min(", // 0x1A
        "R▸Pr(", // 0x1B
        "R▸Pθ(", // 0x1C
        "P▸Rx(", // 0x1D
        "P▸Ry(", // 0x1E
        "median(", // 0x1F
        "randM(", // 0x20
        "mean(", // 0x21
        "solve(", // 0x22
        "seq(", // 0x23
        "fnInt(", // 0x24
        "nDeriv(", // 0x25
        "▸", // 0x26
        "fMin(", // 0x27
        "fMax(", // 0x28
        " ", // 0x29
        "\"", // 0x2A
        ",", // 0x2B
        "ɩ̇", // 0x2C
        "!", // 0x2D
        "CubicReg ", // 0x2E
        "QuartReg ", // 0x2F
        "0", // 0x30
        "1", // 0x31
        "2", // 0x32
        "3", // 0x33
        "4", // 0x34
        "5", // 0x35
        "6", // 0x36
        "7", // 0x37
        "8", // 0x38
        "9", // 0x39
        ".", // 0x3A
        "ᴱ", // 0x3B
        " or ", // 0x3C
        " xor ", // 0x3D
        ":", // 0x3E
        "\n", // 0x3F
        " and ", // 0x40
        "A", // 0x41
        "B", // 0x42
        "C", // 0x43
        "D", // 0x44
        "E", // 0x45
        "F", // 0x46
        "G", // 0x47
        "H", // 0x48
        "I", // 0x49
        "J", // 0x4A
        "K", // 0x4B
        "L", // 0x4C
        "M", // 0x4D
        "N", // 0x4E
        "O", // 0x4F
        "P", // 0x50
        "Q", // 0x51
        "R", // 0x52
        "S", // 0x53
        "T", // 0x54
        "U", // 0x55
        "V", // 0x56
        "W", // 0x57
        "X", // 0x58
        "Y", // 0x59
        "Z", // 0x5A
        "θ", // 0x5B
        "", // 0x5C
        "", // 0x5D
        "", // 0x5E
        "prgm»", // 0x5F
        "", // 0x60
        "", // 0x61
        "", // 0x62
        "", // 0x63
        "Radian", // 0x64
        "Degree", // 0x65
        "Normal", // 0x66
        "Sci", // 0x67
        "Eng", // 0x68
        "Float", // 0x69
        "=", // 0x6A
        "<", // 0x6B
        ">", // 0x6C
        "≤", // 0x6D
        "≥", // 0x6E
        "≠", // 0x6F
        "+", // 0x70
        "—", // 0x71
        "Ans", // 0x72
        "Fix ", // 0x73
        "Horiz", // 0x74
        "Full", // 0x75
        "Func", // 0x76
        "Param", // 0x77
        "Polar", // 0x78
        "Seq", // 0x79
        "IndpntAuto", // 0x7A
        "IndpntAsk", // 0x7B
        "DependAuto", // 0x7C
        "DependAsk", // 0x7D
        "", // 0x7E
        "☐", // 0x7F
        "ᐩ", // 0x80
        "•", // 0x81
        "*", // 0x82
        "/", // 0x83
        "Trace", // 0x84
        "ClrDraw", // 0x85
        "ZStandard", // 0x86
        "ZTrig", // 0x87
        "ZBox", // 0x88
        "Zoom In", // 0x89
        "Zoom Out", // 0x8A
        "ZSquare", // 0x8B
        "ZInteger", // 0x8C
        "ZPrevious", // 0x8D
        "ZDecimal", // 0x8E
        "ZoomStat", // 0x8F
        "ZoomRcl", // 0x90
        "PrintScreen", // 0x91
        "ZoomSto", // 0x92
        "Text(", // 0x93
        " nPr ", // 0x94
        " nCr ", // 0x95
        "FnOn", // 0x96
        "FnOff", // 0x97
        "StorePic", // 0x98
        "RecallPic", // 0x99
        "StoreGDB ", // 0x9A
        "RecallGDB ", // 0x9B
        "Line(", // 0x9C
        "Vertical ", // 0x9D
        "Pt-On(", // 0x9E
        "Pt-Off(", // 0x9F
        "Pt-Change(", // 0xA0
        "Pxl-On(", // 0xA1
        "Pxl-Off(", // 0xA2
        "Pxl-Change(", // 0xA3
        "Shade(", // 0xA4
        "Circle(", // 0xA5
        "Horizontal ", // 0xA6
        "Tangent(", // 0xA7
        "DrawInv ", // 0xA8
        "DrawF ", // 0xA9
        "", // 0xAA
        "rand", // 0xAB
        "π", // 0xAC
        "getKey", // 0xAD
        "'", // 0xAE
        "?", // 0xAF
        "-", // 0xB0
        "int(", // 0xB1
        "abs(", // 0xB2
        "det(", // 0xB3
        "identity(", // 0xB4
        "dim(", // 0xB5
        "sum(", // 0xB6
        "prod(", // 0xB7
        "not(", // 0xB8
        "iPart(", // 0xB9
        "fPart(", // 0xBA
        "", // 0xBB
        "√(", // 0xBC
        "³√(", // 0xBD
        "ln(", // 0xBE
        "e^(", // 0xBF
        "log(", // 0xC0
        "₁₀^(", // 0xC1
        "sin(", // 0xC2
        "sin⁻¹(", // 0xC3
        "cos(", // 0xC4
        "cos⁻¹(", // 0xC5
        "tan(", // 0xC6
        "tan⁻¹(", // 0xC7
        "sinh(", // 0xC8
        "sinh⁻¹(", // 0xC9
        "cosh(", // 0xCA
        "cosh⁻¹(", // 0xCB
        "tanh(", // 0xCC
        "tanh⁻¹(", // 0xCD
        "If ", // 0xCE
        "Then", // 0xCF
        "Else", // 0xD0
        "While ", // 0xD1
        "Repeat ", // 0xD2
        "For(", // 0xD3
        "End", // 0xD4
        "Return", // 0xD5
        "Lbl ", // 0xD6
        "Goto ", // 0xD7
        "Pause ", // 0xD8
        "Stop", // 0xD9
        "IS>(", // 0xDA
        "DS<(", // 0xDB
        "Input ", // 0xDC
        "Prompt ", // 0xDD
        "Disp ", // 0xDE
        "DispGraph", // 0xDF
        "Output(", // 0xE0
        "ClrHome", // 0xE1
        "Fill(", // 0xE2
        "SortA(", // 0xE3
        "SortD(", // 0xE4
        "DispTable", // 0xE5
        "Menu(", // 0xE6
        "SHARE", // 0xE7
        "Get(", // 0xE8
        "PlotsOn ", // 0xE9
        "PlotsOff ", // 0xEA
        "ʟ", // 0xEB
        "Plot1(", // 0xEC
        "Plot2(", // 0xED
        "Plot3(", // 0xEE
        "", // 0xEF
        "^", // 0xF0
        "ˣ√", // 0xF1
        "1-Var Stats ", // 0xF2
        "2-Var Stats ", // 0xF3
        "LinReg(a+bx) ", // 0xF4
        "ExpReg ", // 0xF5
        "LnReg ", // 0xF6
        "PwrReg ", // 0xF7
        "Med-Med ", // 0xF8
        "QuadReg ", // 0xF9
        "ClrList ", // 0xFA
        "ClrTable", // 0xFB
        "Histogram", // 0xFC
        "xyLine", // 0xFD
        "Scatter", // 0xFE
        "LinReg(ax+b) ", // 0xFF
    };
    static_assert(std::size(names) == 256);
    return names;
}

// Key operations 0x0400-0x0438.
std::span<const std::string_view> Vocabulary::systemOpNames()
{
    static constexpr std::string_view names[] = {
        "Y=", // 0x0400
        "WINDOW", // 0x0401
        "ZOOM", // 0x0402
        "TRACE", // 0x0403
        "GRAPH", // 0x0404
        "MODE", // 0x0405
        "DEL", // 0x0406
        "INS", // 0x0407
        "CLEAR", // 0x0408
        "LEFT", // 0x0409
        "RIGHT", // 0x040A
        "UP", // 0x040B
        "DOWN", // 0x040C
        "HOME", // 0x040D
        "END", // 0x040E
        "2ND", // 0x040F
        "ALPHA", // 0x0410
        "A-LOCK", // 0x0411
        "QUIT", // 0x0412
        "X,T,θ,η", // 0x0413
        "STAT", // 0x0414
        "STAT PLOT", // 0x0415
        "TBLSET", // 0x0416
        "FORMAT", // 0x0417
        "Home", // 0x0418
        "TABLE", // 0x0419
        "MATH", // 0x041A
        "APPS", // 0x041B
        "PRGM", // 0x041C
        "VARS", // 0x041D
        "MATRIX", // 0x041E
        "CONV", // 0x041F
        "CATALOG", // 0x0420
        "SEND", // 0x0421
        "LIST", // 0x0422
        "TEST", // 0x0423
        "ANGLE", // 0x0424
        "DRAW", // 0x0425
        "DISTR", // 0x0426
        "ENTRY", // 0x0427
        "SOLVER", // 0x0428
        "ENTER", // 0x0429
        "F1", // 0x042A
        "F2", // 0x042B
        "F3", // 0x042C
        "F4", // 0x042D
        "F5", // 0x042E
        "RCL", // 0x042F
        "MEM", // 0x0430
        "Finance…", // 0x0431
        "Chemistry…", // 0x0432
        "Geometry…", // 0x0433
        "Fraction Help", // 0x0434
        "File Top", // 0x0435
        "File Bottom", // 0x0436
        "User", // 0x0437
        "UserKeys", // 0x0438
    };
    static_assert(std::size(names) == 57);
    return names;
}

// Spoken names of the key operations.
std::span<const std::string_view> Vocabulary::systemOpSpeakNames()
{
    static constexpr std::string_view names[] = {
        "Y=", // 0x0400
        "WINDOW", // 0x0401
        "ZOOM", // 0x0402
        "TRACE", // 0x0403
        "GRAPH", // 0x0404
        "MODE", // 0x0405
        "delete", // 0x0406
        "insert", // 0x0407
        "CLEAR", // 0x0408
        "LEFT", // 0x0409
        "RIGHT", // 0x040A
        "UP", // 0x040B
        "DOWN", // 0x040C
        "HOME", // 0x040D
        "END", // 0x040E
        "second", // 0x040F
        "ALPHA", // 0x0410
        "Alpha LOCK", // 0x0411
        "QUIT", // 0x0412
        "X T θ η", // 0x0413
        "STAT", // 0x0414
        "STAT PLOT", // 0x0415
        "table set", // 0x0416
        "FORMAT", // 0x0417
        "Home", // 0x0418
        "TABLE", // 0x0419
        "MATH", // 0x041A
        "apps", // 0x041B
        "program", // 0x041C
        "VARS", // 0x041D
        "MATRIX", // 0x041E
        "convert", // 0x041F
        "CATALOG", // 0x0420
        "SEND", // 0x0421
        "LIST", // 0x0422
        "TEST", // 0x0423
        "ANGLE", // 0x0424
        "DRAW", // 0x0425
        "distribution", // 0x0426
        "ENTRY", // 0x0427
        "SOLVER", // 0x0428
        "ENTER", // 0x0429
        "F 1", // 0x042A
        "F 2", // 0x042B
        "F 3", // 0x042C
        "F 4", // 0x042D
        "F 5", // 0x042E
        "recall", // 0x042F
        "MEM", // 0x0430
        "Finance", // 0x0431
        "Chemistry", // 0x0432
        "Geometry", // 0x0433
        "Fraction Help", // 0x0434
        "=", // 0x0435
        "<", // 0x0436
        "≤", // 0x0437
        ">", // 0x0438
    };
    static_assert(std::size(names) == 57);
    return names;
}

// Internal operations 0x1000-0x1026. fnBegin and fnEnd bracket the argument group of a
// function call in parsed output.
std::span<const std::string_view> Vocabulary::synthNames()
{
    static constexpr std::string_view names[] = {
        "Rand0", // 0x1000
        "Liste", // 0x1001
        "List1e", // 0x1002
        "List2e", // 0x1003
        "List3e", // 0x1004
        "List4e", // 0x1005
        "List5e", // 0x1006
        "List6e", // 0x1007
        "MatrixAe", // 0x1008
        "MatrixBe", // 0x1009
        "MatrixCe", // 0x100A
        "MatrixDe", // 0x100B
        "MatrixEe", // 0x100C
        "MatrixFe", // 0x100D
        "MatrixGe", // 0x100E
        "MatrixHe", // 0x100F
        "MatrixIe", // 0x1010
        "MatrixJe", // 0x1011
        "fnBegin", // 0x1012
        "fnEnd", // 0x1013
        "Edit…", // 0x1014
        "Home Screen", // 0x1015
        "Info", // 0x1016
        "Solver…", // 0x1017
        "TVM Solver…", // 0x1018
        "Mass Calc…", // 0x1019
        "ForNext(", // 0x101A
        "?", // 0x101B
        "StoDim(", // 0x101C
        "ANSe", // 0x101D
        "Undo", // 0x101E
        "Redo", // 0x101F
        "u1", // 0x1020
        "u2", // 0x1021
        "v1", // 0x1022
        "v2", // 0x1023
        "w1", // 0x1024
        "w2", // 0x1025
        "Menus", // 0x1026
    };
    static_assert(std::size(names) == 39);
    return names;
}

// Matrices 0x5C00-0x5C09.
std::span<const std::string_view> Vocabulary::matrixNames()
{
    static constexpr std::string_view names[] = {
        "[A]", "[B]", "[C]", "[D]", "[E]", "[F]", "[G]", "[H]", "[I]", "[J]",
    };
    static_assert(std::size(names) == 10);
    return names;
}

// The own page 0x5C20-0x5C68: display name, spoken name, description. 0x5C34 is the comment
// sign, 0x5C4B the mixed-number separator, 0x5C58 the breakpoint (no text).
std::span<const Vocabulary::OwnPageEntry> Vocabulary::lbxExtensions()
{
    static constexpr OwnPageEntry entries[] = {
        {"Trapezium…", "Trapezium", "Trapezium…"}, // 0x5C20
        {"Polygon…", "Polygon", "Polygon…"}, // 0x5C21
        {"Circle…", "Circle", "Circle…"}, // 0x5C22
        {"Arc…", "Arc", "Arc…"}, // 0x5C23
        {"Ellipse…", "Ellipse", "Ellipse…"}, // 0x5C24
        {"Unit Circle…", "Unit Circle", "Unit Circle…"}, // 0x5C25
        {"Z-Test…", "Z Test", "one sample z test"}, // 0x5C26
        {"T-Test…", "T Test", "one sample t test"}, // 0x5C27
        {"2-SampZTest…", "2 Samp Z Test", "two sample z test"}, // 0x5C28
        {"2-SampTTest…", "2 Samp T Test", "two sample t test"}, // 0x5C29
        {"1-PropZTest…", "1 Prop Z Test", "one-proportion z test"}, // 0x5C2A
        {"ZInterval…", "Z Interval", "one-sample z confidence interval"}, // 0x5C2B
        {"TInterval…", "T Interval", "one-sample t confidence interval"}, // 0x5C2C
        {"2-SampZInt…", "2 Samp Z Interval", "two-sample z confidence interval"}, // 0x5C2D
        {"2-SampTInt…", "2 Samp T Interval", "two-sample t confidence interval"}, // 0x5C2E
        {"1-PropZInt…", "1 Prop Z Interval", "one-proportion z confidence interval"}, // 0x5C2F
        {"2-PropZInt…", "2 Prop Z Interval", "two-proportion z confidence interval"}, // 0x5C30
        {"χ²-Test…", "chye squared Test", "chi-square test"}, // 0x5C31
        {"χ²GOF-Test…", "chye squared GOF Test", "chi-square goodness of fit test"}, // 0x5C32
        {"LinRegTInt…", "Lin Reg T Interval", "linear regression t interval"}, // 0x5C33
        {"©", "©", "Comment"}, // 0x5C34
        {"Gosub ", "Gosub", "Gosub label"}, // 0x5C35
        {"InputField(", "Input Field", "InputField(x,y,width,var,lbl)"}, // 0x5C36
        {"Button(", "Button", "Button(x,y,width,name,lbl)"}, // 0x5C37
        {"Selector(", "Selector", "Selector(x,y,width,nameList,var,lbl)"}, // 0x5C38
        {"Slider(", "Slider", "Slider(x,y,width,min,max,var,lbl)"}, // 0x5C39
        {"ClrControls", "Clear Controls", "ClrControls"}, // 0x5C3A
        {"DispControls", "Display Controls", "DispControls"}, // 0x5C3B
        {"TriSolve(", "Tri Solve", "TriSolve(∠A,∠B,∠C,a,b,c)"}, // 0x5C3C
        {"hypot(", "high pot", "hypot(x,y)"}, // 0x5C3D
        {"atan2(", "arc tangent 2", "atan2(y,x)"}, // 0x5C3E
        {"Polyline(", "Polyline", "Polyline(pointList[,color,width,fill]"}, // 0x5C3F
        {" ANDb ", "and b", "binaryA ANDb binaryB"}, // 0x5C40
        {" ORb ", "or b", "binaryA ORb binaryB"}, // 0x5C41
        {" XORb ", "x or b", "binaryA XORb binaryB"}, // 0x5C42
        {"NOTb(", "not b", "NOTb(binary)"}, // 0x5C43
        {"Plot4(", "Plot 4", "Plot4(type,L1[,L2,mark,color])"}, // 0x5C44
        {"Plot5(", "Plot 5", "Plot5(type,L1[,L2,mark,color,])"}, // 0x5C45
        {"Plot6(", "Plot 6", "Plot6(type,L1[,L2,mark,color])"}, // 0x5C46
        {"", "", ""}, // 0x5C47
        {"", "", ""}, // 0x5C48
        {"font+", "font+", "font+"}, // 0x5C49
        {"font-", "font-", "font-"}, // 0x5C4A
        {"␣", "Un/d", "U␣n/de"}, // 0x5C4B
        {"2-PropZTest…", "2 Prop Z Test", "two-proportion z test"}, // 0x5C4C
        {"LinRegTTest…", "Lin Reg T Test", "linear regression t test"}, // 0x5C4D
        {"2-SampFTest…", "2 Samp Fisher Test", "two-sample Fisher-test"}, // 0x5C4E
        {"ANOVA…", "anova", "one-way analysis of variance"}, // 0x5C4F
        {"regression…", "regression", "regression…"}, // 0x5C50
        {"Periodic Table…", "Periodic Table", "Periodic Table…"}, // 0x5C51
        {"molarMass(", "molar mass", "molarMass(formula string)"}, // 0x5C52
        {"chem_atomicWt(", "atomic weight", "chem_atomicWt([atomic#])"}, // 0x5C53
        {"chem_meltTemp(", "melt temp", "chem_meltTemp([atomic#])"}, // 0x5C54
        {"chem_boilTemp(", "boil temp", "chem_boilTemp([atomic#])"}, // 0x5C55
        {"chem_density(", "density", "chem_density([atomic#])"}, // 0x5C56
        {"Fraction", "Fraction", "Fraction"}, // 0x5C57
        {"", "", ""}, // 0x5C58
        {"Line…", "Line", "Line…"}, // 0x5C59
        {"Square…", "Square", "Square…"}, // 0x5C5A
        {"Rectangle…", "Rectangle", "Rectangle…"}, // 0x5C5B
        {"Parallelogram…", "Parallelogram", "Parallelogram…"}, // 0x5C5C
        {"Triangle…", "Triangle", "Triangle…"}, // 0x5C5D
        {"Trapezoid…", "Trapezoid", "Trapezoid…"}, // 0x5C5E
        {"FnXY", "Function in x and y", "FnXY"}, // 0x5C5F
        {"GraphVar(", "Graph Variable", "GraphVar(min,max,step,value,var,yEq)"}, // 0x5C60
        {"PolyRoots(", "Polynomial Roots", "PolyRoots(coefficientList,[,Y=])"}, // 0x5C61
        {"sigFig(", "Significant Figures", "sigFig(value)"}, // 0x5C62
        {"▸SigFig", "Convert to significant figures", "▸SigFig"}, // 0x5C63
        {"roundSigFig(", "round to significant figures", "roundSigFig(value,#digits)"}, // 0x5C64
        {"\u0332", "\u0332", "\u0332"}, // 0x5C65
        {"SigFig Answer", "significant figures answer", "SigFig answer"}, // 0x5C66
        {"Poly Root Finder", "polynomial root finder", "Polynomial Roots Finder..."}, // 0x5C67
        {"Simul Eqn Solver", "simultaneous equation solver", "Simultaneous Eqn Solver..."}, // 0x5C68
    };
    static_assert(std::size(entries) == 73);
    return entries;
}

// Lists 0x5D00-0x5D05.
std::span<const std::string_view> Vocabulary::listNames()
{
    static constexpr std::string_view names[] = {
        "L₁", "L₂", "L₃", "L₄", "L₅", "L₆",
    };
    static_assert(std::size(names) == 6);
    return names;
}

std::span<const std::string_view> Vocabulary::listSpeakNames()
{
    static constexpr std::string_view names[] = {
        "List 1", "List 2", "List 3", "List 4", "List 5", "List 6",
    };
    static_assert(std::size(names) == 6);
    return names;
}

// Equation variables, five families in one table: Y₁..Y₀ (0x5E10-0x5E19), Xt₁,Yt₁..Xt₆,Yt₆
// (0x5E20-0x5E2B), r₁..r₆ (0x5E40-0x5E45), u, v, w and their start values (0x5E80-0x5E85),
// XY₁..XY₀ (0x5EA0-0x5EA9).
std::span<const std::string_view> Vocabulary::equationNames()
{
    static constexpr std::string_view names[] = {
        "Y₁", "Y₂", "Y₃", "Y₄", "Y₅", "Y₆", "Y₇", "Y₈", "Y₉", "Y₀",
        "Xt₁", "Yt₁", "Xt₂", "Yt₂", "Xt₃", "Yt₃", "Xt₄", "Yt₄", "Xt₅", "Yt₅", "Xt₆", "Yt₆",
        "r₁", "r₂", "r₃", "r₄", "r₅", "r₆",
        "u", "v", "w", "u(ηMin)", "v(ηMin)", "w(ηMin)",
        "XY₁", "XY₂", "XY₃", "XY₄", "XY₅", "XY₆", "XY₇", "XY₈", "XY₉", "XY₀",
    };
    static_assert(std::size(names) == 44);
    return names;
}

// Pictures 0x6000-0x6009.
std::span<const std::string_view> Vocabulary::picNames()
{
    static constexpr std::string_view names[] = {
        "pic1", "pic2", "pic3", "pic4", "pic5", "pic6", "pic7", "pic8", "pic9", "pic0",
    };
    static_assert(std::size(names) == 10);
    return names;
}

// Graph databases 0x6100-0x6109.
std::span<const std::string_view> Vocabulary::gdbNames()
{
    static constexpr std::string_view names[] = {
        "GDB1", "GDB2", "GDB3", "GDB4", "GDB5", "GDB6", "GDB7", "GDB8", "GDB9", "GDB0",
    };
    static_assert(std::size(names) == 10);
    return names;
}

// Statistics variables 0x6200-0x6245.
std::span<const std::string_view> Vocabulary::statVarNames()
{
    static constexpr std::string_view names[] = {
        "", // 0x6200
        "RegEq", // 0x6201
        "n", // 0x6202
        "x̅", // 0x6203
        "∑x", // 0x6204
        "∑x²", // 0x6205
        "Sx", // 0x6206
        "σx", // 0x6207
        "minX", // 0x6208
        "maxX", // 0x6209
        "minY", // 0x620A
        "maxY", // 0x620B
        "y̅", // 0x620C
        "∑y", // 0x620D
        "∑y²", // 0x620E
        "Sy", // 0x620F
        "σy", // 0x6210
        "∑xy", // 0x6211
        "r", // 0x6212
        "Med", // 0x6213
        "Q1", // 0x6214
        "Q3", // 0x6215
        "a", // 0x6216
        "b", // 0x6217
        "c", // 0x6218
        "d", // 0x6219
        "e", // 0x621A
        "x₁", // 0x621B
        "x₂", // 0x621C
        "x₃", // 0x621D
        "y₁", // 0x621E
        "y₂", // 0x621F
        "y₃", // 0x6220
        "n", // 0x6221
        "p", // 0x6222
        "z", // 0x6223
        "t", // 0x6224
        "χ²", // 0x6225
        "F", // 0x6226
        "df", // 0x6227
        "p̂", // 0x6228
        "p̂₁", // 0x6229
        "p̂₂", // 0x622A
        "x̅₁", // 0x622B
        "Sx₁", // 0x622C
        "n₁", // 0x622D
        "x̅₂", // 0x622E
        "Sx₂", // 0x622F
        "n₂", // 0x6230
        "Sxp", // 0x6231
        "lower", // 0x6232
        "upper", // 0x6233
        "s", // 0x6234
        "r²", // 0x6235
        "R²", // 0x6236
        "Factor_df", // 0x6237
        "Factor_SS", // 0x6238
        "Factor_MS", // 0x6239
        "Error_df", // 0x623A
        "Error_SS", // 0x623B
        "Error_MS", // 0x623C
        "σ", // 0x623D
        "σ1", // 0x623E
        "σ2", // 0x623F
        "μ₀", // 0x6240
        "p0", // 0x6241
        "x", // 0x6242
        "x1", // 0x6243
        "x2", // 0x6244
        "C-Level", // 0x6245
    };
    static_assert(std::size(names) == 70);
    return names;
}

// Window and finance variables 0x6300-0x633C.
std::span<const std::string_view> Vocabulary::winVarNames()
{
    static constexpr std::string_view names[] = {
        "ZXscl", // 0x6300
        "ZYscl", // 0x6301
        "Xscl", // 0x6302
        "Yscl", // 0x6303
        "u(ηMin)", // 0x6304
        "v(ηMin)", // 0x6305
        "u(η-1)", // 0x6306
        "v(η-1)", // 0x6307
        "Zu(ηMin)", // 0x6308
        "Zv(ηMin)", // 0x6309
        "Xmin", // 0x630A
        "Xmax", // 0x630B
        "Ymin", // 0x630C
        "Ymax", // 0x630D
        "Tmin", // 0x630E
        "Tmax", // 0x630F
        "θmin", // 0x6310
        "θmax", // 0x6311
        "ZXmin", // 0x6312
        "ZXmax", // 0x6313
        "ZYmin", // 0x6314
        "ZYmax", // 0x6315
        "Zθmin", // 0x6316
        "Zθmax", // 0x6317
        "ZTmin", // 0x6318
        "ZTmax", // 0x6319
        "TblStart", // 0x631A
        "PlotStart", // 0x631B
        "ZPlotStart", // 0x631C
        "ηMax", // 0x631D
        "ZηMax", // 0x631E
        "ηMin", // 0x631F
        "ZηMin", // 0x6320
        "ΔTbl", // 0x6321
        "Tstep", // 0x6322
        "θstep", // 0x6323
        "ZTstep", // 0x6324
        "Zθstep", // 0x6325
        "ΔX", // 0x6326
        "ΔY", // 0x6327
        "XFact", // 0x6328
        "YFact", // 0x6329
        "TblInput", // 0x632A
        "ɴ", // 0x632B
        "I%", // 0x632C
        "PV", // 0x632D
        "PMT", // 0x632E
        "FV", // 0x632F
        "P/Y", // 0x6330
        "C/Y", // 0x6331
        "w(ηMin)", // 0x6332
        "Zw(ηMin)", // 0x6333
        "PlotStep", // 0x6334
        "ZPlotStep", // 0x6335
        "Xres", // 0x6336
        "ZXres", // 0x6337
        "lowerBound", // 0x6338
        "upperBound", // 0x6339
        "begin/end", // 0x633A
        "scrWidth", // 0x633B
        "scrHeight", // 0x633C
    };
    static_assert(std::size(names) == 61);
    return names;
}

// Graph format settings 0x7E00-0x7E12.
std::span<const std::string_view> Vocabulary::graphOpNames()
{
    static constexpr std::string_view names[] = {
        "Sequential", // 0x7E00
        "Simul", // 0x7E01
        "PolarGC", // 0x7E02
        "RectGC", // 0x7E03
        "CoordOn", // 0x7E04
        "CoordOff", // 0x7E05
        "Connected", // 0x7E06
        "Dot", // 0x7E07
        "AxesOn", // 0x7E08
        "AxesOff", // 0x7E09
        "GridOn", // 0x7E0A
        "GridOff", // 0x7E0B
        "LabelOn", // 0x7E0C
        "LabelOff", // 0x7E0D
        "Web", // 0x7E0E
        "Time", // 0x7E0F
        "uvAxes", // 0x7E10
        "vwAxes", // 0x7E11
        "uwAxes", // 0x7E12
    };
    static_assert(std::size(names) == 19);
    return names;
}

// Strings 0xAA00-0xAA09.
std::span<const std::string_view> Vocabulary::stringNames()
{
    static constexpr std::string_view names[] = {
        "Str1", "Str2", "Str3", "Str4", "Str5", "Str6", "Str7", "Str8", "Str9", "Str0",
    };
    static_assert(std::size(names) == 10);
    return names;
}

// Page BB 0xBB00-0xBBFF. 0xBB5D (unit conversion) and 0xBB5E (constant) take their names
// from the unit and constant tables.
std::span<const std::string_view> Vocabulary::BBOpNames()
{
    static constexpr std::string_view names[] = {
        "npv(", // 0xBB00
        "irr(", // 0xBB01
        "bal(", // 0xBB02
        "Σprn(", // 0xBB03
        "ΣInt(", // 0xBB04
        "▸Nom(", // 0xBB05
        "▸Eff(", // 0xBB06
        "dbd(", // 0xBB07
        "lcm(", // 0xBB08
        "gcd(", // 0xBB09
        "randInt(", // 0xBB0A
        "randBin(", // 0xBB0B
        "sub(", // 0xBB0C
        "stdDev(", // 0xBB0D
        "variance(", // 0xBB0E
        "inString(", // 0xBB0F
        "normalcdf(", // 0xBB10
        "invNorm(", // 0xBB11
        "tcdf(", // 0xBB12
        "χ²cdf(", // 0xBB13
        "Fcdf(", // 0xBB14
        "binompdf(", // 0xBB15
        "binomcdf(", // 0xBB16
        "poissonpdf(", // 0xBB17
        "poissoncdf(", // 0xBB18
        "geometpdf(", // 0xBB19
        "geometcdf(", // 0xBB1A
        "normalpdf(", // 0xBB1B
        "tpdf(", // 0xBB1C
        "χ²pdf(", // 0xBB1D
        "Fpdf(", // 0xBB1E
        "randNorm(", // 0xBB1F
        "tvm_Pmt", // 0xBB20
        "tvm_I%", // 0xBB21
        "tvm_PV", // 0xBB22
        "tvm_N", // 0xBB23
        "tvm_FV", // 0xBB24
        "conj(", // 0xBB25
        "real(", // 0xBB26
        "imag(", // 0xBB27
        "angle(", // 0xBB28
        "cumSum(", // 0xBB29
        "expr(", // 0xBB2A
        "length(", // 0xBB2B
        "ΔList(", // 0xBB2C
        "ref(", // 0xBB2D
        "rref(", // 0xBB2E
        "▸Rect", // 0xBB2F
        "▸Polar", // 0xBB30
        "e", // 0xBB31
        "SinReg ", // 0xBB32
        "Logistic ", // 0xBB33
        "LinRegTTest", // 0xBB34
        "ShadeNorm(", // 0xBB35
        "Shade_t(", // 0xBB36
        "Shadeχ²(", // 0xBB37
        "ShadeF(", // 0xBB38
        "Matr▸list(", // 0xBB39
        "List▸matr(", // 0xBB3A
        "Z-Test(", // 0xBB3B
        "T-Test(", // 0xBB3C
        "2-SampZTest(", // 0xBB3D
        "1-PropZTest(", // 0xBB3E
        "2-PropZTest(", // 0xBB3F
        "χ²-Test(", // 0xBB40
        "ZInterval ", // 0xBB41
        "2-SampZInt(", // 0xBB42
        "1-PropZInt(", // 0xBB43
        "2-PropZInt(", // 0xBB44
        "GraphStyle(", // 0xBB45
        "2-SampTTest ", // 0xBB46
        "2-SampFTest ", // 0xBB47
        "TInterval ", // 0xBB48
        "2-SampTInt ", // 0xBB49
        "SetUpEditor ", // 0xBB4A
        "Pmt_End", // 0xBB4B
        "Pmt_Bgn", // 0xBB4C
        "Real", // 0xBB4D
        "re^θi", // 0xBB4E
        "a+bi", // 0xBB4F
        "ExprOn", // 0xBB50
        "ExprOff", // 0xBB51
        "ClrAllLists", // 0xBB52
        "GetCalc(", // 0xBB53
        "DelVar ", // 0xBB54
        "Equ▸String(", // 0xBB55
        "String▸Equ(", // 0xBB56
        "Clear Entries", // 0xBB57
        "Select(", // 0xBB58
        "ANOVA(", // 0xBB59
        "ModBoxplot", // 0xBB5A
        "NormProbPlot", // 0xBB5B
        "expm1(", // 0xBB5C
        "", // 0xBB5D
        "", // 0xBB5E
        "", // 0xBB5F
        "", // 0xBB60
        "", // 0xBB61
        "", // 0xBB62
        "", // 0xBB63
        "G-T", // 0xBB64
        "ZoomFit", // 0xBB65
        "DiagnosticOn", // 0xBB66
        "DiagnosticOff", // 0xBB67
        "Archive", // 0xBB68
        "UnArchive", // 0xBB69
        "Asm(", // 0xBB6A
        "AsmComp(", // 0xBB6B
        "AsmPrgm", // 0xBB6C
        "compiled asm", // 0xBB6D
        "Á", // 0xBB6E
        "À", // 0xBB6F
        "Â", // 0xBB70
        "Ä", // 0xBB71
        "á", // 0xBB72
        "à", // 0xBB73
        "â", // 0xBB74
        "ä", // 0xBB75
        "É", // 0xBB76
        "È", // 0xBB77
        "Ê", // 0xBB78
        "Ë", // 0xBB79
        "é", // 0xBB7A
        "è", // 0xBB7B
        "ê", // 0xBB7C
        "ë", // 0xBB7D
        "", // 0xBB7E
        "Ì", // 0xBB7F
        "Î", // 0xBB80
        "Ï", // 0xBB81
        "í", // 0xBB82
        "ì", // 0xBB83
        "î", // 0xBB84
        "ï", // 0xBB85
        "Ó", // 0xBB86
        "Ò", // 0xBB87
        "Ô", // 0xBB88
        "Ö", // 0xBB89
        "ó", // 0xBB8A
        "ò", // 0xBB8B
        "ô", // 0xBB8C
        "ö", // 0xBB8D
        "Ú", // 0xBB8E
        "Ù", // 0xBB8F
        "Û", // 0xBB90
        "Ü", // 0xBB91
        "ú", // 0xBB92
        "ù", // 0xBB93
        "û", // 0xBB94
        "ü", // 0xBB95
        "Ç", // 0xBB96
        "ç", // 0xBB97
        "Ñ", // 0xBB98
        "ñ", // 0xBB99
        "´", // 0xBB9A
        "`", // 0xBB9B
        "¨", // 0xBB9C
        "¿", // 0xBB9D
        "¡", // 0xBB9E
        "α", // 0xBB9F
        "β", // 0xBBA0
        "γ", // 0xBBA1
        "Δ", // 0xBBA2
        "δ", // 0xBBA3
        "ε", // 0xBBA4
        "λ", // 0xBBA5
        "μ", // 0xBBA6
        "π", // 0xBBA7
        "ρ", // 0xBBA8
        "Σ", // 0xBBA9
        "η", // 0xBBAA
        "φ", // 0xBBAB
        "Ω", // 0xBBAC
        "p̂", // 0xBBAD
        "Χ", // 0xBBAE
        "F", // 0xBBAF
        "a", // 0xBBB0
        "b", // 0xBBB1
        "c", // 0xBBB2
        "d", // 0xBBB3
        "e", // 0xBBB4
        "f", // 0xBBB5
        "g", // 0xBBB6
        "h", // 0xBBB7
        "i", // 0xBBB8
        "j", // 0xBBB9
        "k", // 0xBBBA
        "", // 0xBBBB
        "l", // 0xBBBC
        "m", // 0xBBBD
        "n", // 0xBBBE
        "o", // 0xBBBF
        "p", // 0xBBC0
        "q", // 0xBBC1
        "r", // 0xBBC2
        "s", // 0xBBC3
        "t", // 0xBBC4
        "u", // 0xBBC5
        "v", // 0xBBC6
        "w", // 0xBBC7
        "x", // 0xBBC8
        "y", // 0xBBC9
        "z", // 0xBBCA
        "σ", // 0xBBCB
        "τ", // 0xBBCC
        "Í", // 0xBBCD
        "GarbageCollect", // 0xBBCE
        "~", // 0xBBCF
        "", // 0xBBD0
        "@", // 0xBBD1
        "#", // 0xBBD2
        "$", // 0xBBD3
        "&", // 0xBBD4
        "‛", // 0xBBD5
        ";", // 0xBBD6
        "\\", // 0xBBD7
        "|", // 0xBBD8
        "_", // 0xBBD9
        "%", // 0xBBDA
        "…", // 0xBBDB
        "∠", // 0xBBDC
        "ß", // 0xBBDD
        "χ", // 0xBBDE
        "Τ", // 0xBBDF
        "₀", // 0xBBE0
        "₁", // 0xBBE1
        "₂", // 0xBBE2
        "₃", // 0xBBE3
        "₄", // 0xBBE4
        "₅", // 0xBBE5
        "₆", // 0xBBE6
        "₇", // 0xBBE7
        "₈", // 0xBBE8
        "₉", // 0xBBE9
        "₁₀", // 0xBBEA
        "←", // 0xBBEB
        "→", // 0xBBEC
        "↑", // 0xBBED
        "↓", // 0xBBEE
        "▸Ab/c", // 0xBBEF
        "×", // 0xBBF0
        "∫", // 0xBBF1
        "⇑", // 0xBBF2
        "⇓", // 0xBBF3
        "√", // 0xBBF4
        "≡", // 0xBBF5
        "▸Bin", // 0xBBF6
        "▸Hex", // 0xBBF7
        "0b", // 0xBBF8
        "0h", // 0xBBF9
        "shift(", // 0xBBFA
        "rotate(", // 0xBBFB
        "floor(", // 0xBBFC
        "ceiling(", // 0xBBFD
        "sign(", // 0xBBFE
        "ln1p(", // 0xBBFF
    };
    static_assert(std::size(names) == 256);
    return names;
}

// Page EF 0xEF00-0xEF9F.
std::span<const std::string_view> Vocabulary::EFOpNames()
{
    static constexpr std::string_view names[] = {
        "setDate(", // 0xEF00
        "setTime(", // 0xEF01
        "checkTmr(", // 0xEF02
        "setDtFmt(", // 0xEF03
        "setTmFmt(", // 0xEF04
        "timeCnv(", // 0xEF05
        "dayOfWk(", // 0xEF06
        "getDtStr(", // 0xEF07
        "getTmStr(", // 0xEF08
        "getDate", // 0xEF09
        "getTime", // 0xEF0A
        "startTmr", // 0xEF0B
        "getDtFmt", // 0xEF0C
        "getTmFmt", // 0xEF0D
        "isClockOn", // 0xEF0E
        "ClockOff", // 0xEF0F
        "ClockOn", // 0xEF10
        "OpenLib(", // 0xEF11
        "ExecLib", // 0xEF12
        "invT(", // 0xEF13
        "χ²GOF-Test(", // 0xEF14
        "LinRegTInt", // 0xEF15
        "Manual-Fit", // 0xEF16
        "ZQuadrant1", // 0xEF17
        "ZFrac1/2", // 0xEF18
        "ZFrac1/3", // 0xEF19
        "ZFrac1/4", // 0xEF1A
        "ZFrac1/5", // 0xEF1B
        "ZFrac1/8", // 0xEF1C
        "ZFrac1/10", // 0xEF1D
        "MATHPRINTBOX", // 0xEF1E
        "F_EF1F", // 0xEF1F
        "F_EF20", // 0xEF20
        "F_EF21", // 0xEF21
        "F_EF22", // 0xEF22
        "F_EF23", // 0xEF23
        "F_EF24", // 0xEF24
        "F_EF25", // 0xEF25
        "F_EF26", // 0xEF26
        "F_EF27", // 0xEF27
        "F_EF28", // 0xEF28
        "F_EF29", // 0xEF29
        "F_EF2A", // 0xEF2A
        "F_EF2B", // 0xEF2B
        "F_EF2C", // 0xEF2C
        "F_ED2D", // 0xEF2D
        "F_EF2E", // 0xEF2E
        "F_EF2F", // 0xEF2F
        "▸n/d◂▸Un/d", // 0xEF30
        "▸F◂▸D", // 0xEF31
        "remainder(", // 0xEF32
        "∑(", // 0xEF33
        "logBASE(", // 0xEF34
        "randIntNoRep(", // 0xEF35
        "MathType", // 0xEF36
        "Classic", // 0xEF37
        "／", // 0xEF38
        "␣", // 0xEF39
        "AUTO Answer", // 0xEF3A
        "DEC Answer", // 0xEF3B
        "FRAC Answer", // 0xEF3C
        "FRAC-APPROX", // 0xEF3D
        "F_EF3E", // 0xEF3E
        "STATWIZARD ON", // 0xEF3F
        "STATWIZARD OFF", // 0xEF40
        "BLUE", // 0xEF41
        "RED", // 0xEF42
        "BLACK", // 0xEF43
        "MAGENTA", // 0xEF44
        "GREEN", // 0xEF45
        "ORANGE", // 0xEF46
        "BROWN", // 0xEF47
        "NAVY", // 0xEF48
        "LTBLUE", // 0xEF49
        "YELLOW", // 0xEF4A
        "WHITE", // 0xEF4B
        "LTGREY", // 0xEF4C
        "MEDGREY", // 0xEF4D
        "GREY", // 0xEF4E
        "DARKGREY", // 0xEF4F
        "Image1", // 0xEF50
        "Image2", // 0xEF51
        "Image3", // 0xEF52
        "Image4", // 0xEF53
        "Image5", // 0xEF54
        "Image6", // 0xEF55
        "Image7", // 0xEF56
        "Image8", // 0xEF57
        "Image9", // 0xEF58
        "Image0", // 0xEF59
        "Gridline", // 0xEF5A
        "BackgroundOn", // 0xEF5B
        "EF5C", // 0xEF5C
        "EF5D", // 0xEF5D
        "EF5E", // 0xEF5E
        "EF5F", // 0xEF5F
        "EF60", // 0xEF60
        "EF61", // 0xEF61
        "EF62", // 0xEF62
        "EF63", // 0xEF63
        "BackgroundOff", // 0xEF64
        "GraphColor(", // 0xEF65
        "EF66", // 0xEF66
        "TextColor(", // 0xEF67
        "Asm84CPrgm", // 0xEF68
        "EF69", // 0xEF69
        "DetectAsmOn", // 0xEF6A
        "DetectAsmOff", // 0xEF6B
        "BorderColor", // 0xEF6C
        "EF6D", // 0xEF6D
        "EF6E", // 0xEF6E
        "EF6F", // 0xEF6F
        "EF70", // 0xEF70
        "EF71", // 0xEF71
        "EF72", // 0xEF72
        "tindotplot", // 0xEF73
        "Thin", // 0xEF74
        "Dot-Thin", // 0xEF75
        "EF76", // 0xEF76
        "EF77", // 0xEF77
        "EF78", // 0xEF78
        "PlySmth2", // 0xEF79
        "Asm84CEPrgm", // 0xEF7A
        "EF7B", // 0xEF7B
        "EF7C", // 0xEF7C
        "EF7D", // 0xEF7D
        "EF7E", // 0xEF7E
        "EF7F", // 0xEF7F
        "EF80", // 0xEF80
        "Quartiles Setting…", // 0xEF81
        "u(n-2)", // 0xEF82
        "v(n-2)", // 0xEF83
        "w(n-2)", // 0xEF84
        "u(n-1)", // 0xEF85
        "v(n-1)", // 0xEF86
        "w(n-1)", // 0xEF87
        "u(n)", // 0xEF88
        "v(n)", // 0xEF89
        "w(n)", // 0xEF8A
        "u(n+1)", // 0xEF8B
        "v(n+1)", // 0xEF8C
        "w(n+1)", // 0xEF8D
        "pieceWise(", // 0xEF8E
        "SEQ(n)", // 0xEF8F
        "SEQ(n+1)", // 0xEF90
        "SEQ(n_2)", // 0xEF91
        "LEFT-tail", // 0xEF92
        "CENTER", // 0xEF93
        "RIGHT-tail", // 0xEF94
        "invBinom(", // 0xEF95
        "Wait", // 0xEF96
        "toString(", // 0xEF97
        "eval(", // 0xEF98
        "EF99", // 0xEF99
        "EF9A", // 0xEF9A
        "F9B", // 0xEF9B
        "EF9C", // 0xEF9C
        "EF9D", // 0xEF9D
        "EF9E", // 0xEF9E
        "EF9F", // 0xEF9F
    };
    static_assert(std::size(names) == 160);
    return names;
}

// Regression captions by model number.
std::span<const std::string_view> Vocabulary::regressionNames()
{
    static constexpr std::string_view names[] = {
        "LinReg(a+bx)",
        "LinReg(ax+b)",
        "Med-Med(ax+b)",
        "ExpReg(abˣ)",
        "LnReg(a+b ln(x))",
        "PwrReg(axᵇ)",
        "QuadReg(ax²+bx+c)",
        "CubicReg(ax³+bx²+cx+d)",
        "QuartReg(ax⁴+bx³+cx²+dx+e)",
        "Logistic(c/(1+ae^(-bx))",
        "SinReg(asin(bx+c)+d)",
    };
    static_assert(std::size(names) == 11);
    return names;
}

// Graph-compute names.
std::span<const std::string_view> Vocabulary::gComputeNames()
{
    static constexpr std::string_view names[] = {
        "value", "zero", "minimum", "maximum", "intersect", "dy/dx", "∫f(x)dx", "dy/dt", "dx/dt", "dr/dθ",
    };
    static_assert(std::size(names) == 10);
    return names;
}

} // namespace orvenda
