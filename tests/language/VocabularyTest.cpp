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

// Every display name, page by page, in code order.
const std::vector<std::string_view> kOneByte = {
    "nop", "▸DMS", "▸Dec", "▸Frac", "➞", "Boxplot", "[", "]", "{", "}", "ʳ", "°", "⁻¹", "²", "ᵀ",
    "³", "(", ")", "round(", "pxl-Test(", "augment(", "rowSwap(", "row+(", "*row(", "*row+(",
    "max(", "min(", "R▸Pr(", "R▸Pθ(", "P▸Rx(", "P▸Ry(", "median(", "randM(", "mean(", "solve(",
    "seq(", "fnInt(", "nDeriv(", "▸", "fMin(", "fMax(", " ", "\"", ",", "ɩ̇", "!", "CubicReg ",
    "QuartReg ", "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", ".", "ᴱ", " or ", " xor ", ":",
    "\n", " and ", "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N", "O", "P",
    "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z", "θ", "", "", "", "prgm»", "", "", "", "",
    "Radian", "Degree", "Normal", "Sci", "Eng", "Float", "=", "<", ">", "≤", "≥", "≠", "+", "—",
    "Ans", "Fix ", "Horiz", "Full", "Func", "Param", "Polar", "Seq", "IndpntAuto", "IndpntAsk",
    "DependAuto", "DependAsk", "", "☐", "ᐩ", "•", "*", "/", "Trace", "ClrDraw", "ZStandard",
    "ZTrig", "ZBox", "Zoom In", "Zoom Out", "ZSquare", "ZInteger", "ZPrevious", "ZDecimal",
    "ZoomStat", "ZoomRcl", "PrintScreen", "ZoomSto", "Text(", " nPr ", " nCr ", "FnOn", "FnOff",
    "StorePic", "RecallPic", "StoreGDB ", "RecallGDB ", "Line(", "Vertical ", "Pt-On(", "Pt-Off(",
    "Pt-Change(", "Pxl-On(", "Pxl-Off(", "Pxl-Change(", "Shade(", "Circle(", "Horizontal ",
    "Tangent(", "DrawInv ", "DrawF ", "", "rand", "π", "getKey", "'", "?", "-", "int(", "abs(",
    "det(", "identity(", "dim(", "sum(", "prod(", "not(", "iPart(", "fPart(", "", "√(", "³√(",
    "ln(", "e^(", "log(", "₁₀^(", "sin(", "sin⁻¹(", "cos(", "cos⁻¹(", "tan(", "tan⁻¹(", "sinh(",
    "sinh⁻¹(", "cosh(", "cosh⁻¹(", "tanh(", "tanh⁻¹(", "If ", "Then", "Else", "While ", "Repeat ",
    "For(", "End", "Return", "Lbl ", "Goto ", "Pause ", "Stop", "IS>(", "DS<(", "Input ",
    "Prompt ", "Disp ", "DispGraph", "Output(", "ClrHome", "Fill(", "SortA(", "SortD(",
    "DispTable", "Menu(", "SHARE", "Get(", "PlotsOn ", "PlotsOff ", "ʟ", "Plot1(", "Plot2(",
    "Plot3(", "", "^", "ˣ√", "1-Var Stats ", "2-Var Stats ", "LinReg(a+bx) ", "ExpReg ", "LnReg ",
    "PwrReg ", "Med-Med ", "QuadReg ", "ClrList ", "ClrTable", "Histogram", "xyLine", "Scatter",
    "LinReg(ax+b) ",
};

const std::vector<std::string_view> kKeyOps = {
    "Y=", "WINDOW", "ZOOM", "TRACE", "GRAPH", "MODE", "DEL", "INS", "CLEAR", "LEFT", "RIGHT", "UP",
    "DOWN", "HOME", "END", "2ND", "ALPHA", "A-LOCK", "QUIT", "X,T,θ,η", "STAT", "STAT PLOT",
    "TBLSET", "FORMAT", "Home", "TABLE", "MATH", "APPS", "PRGM", "VARS", "MATRIX", "CONV",
    "CATALOG", "SEND", "LIST", "TEST", "ANGLE", "DRAW", "DISTR", "ENTRY", "SOLVER", "ENTER", "F1",
    "F2", "F3", "F4", "F5", "RCL", "MEM", "Finance…", "Chemistry…", "Geometry…", "Fraction Help",
    "File Top", "File Bottom", "User", "UserKeys",
};

const std::vector<std::string_view> kInternal = {
    "Rand0", "Liste", "List1e", "List2e", "List3e", "List4e", "List5e", "List6e", "MatrixAe",
    "MatrixBe", "MatrixCe", "MatrixDe", "MatrixEe", "MatrixFe", "MatrixGe", "MatrixHe", "MatrixIe",
    "MatrixJe", "fnBegin", "fnEnd", "Edit…", "Home Screen", "Info", "Solver…", "TVM Solver…",
    "Mass Calc…", "ForNext(", "?", "StoDim(", "ANSe", "Undo", "Redo", "u1", "u2", "v1", "v2", "w1",
    "w2", "Menus",
};

const std::vector<std::string_view> kStatVars = {
    "", "RegEq", "n", "x̅", "∑x", "∑x²", "Sx", "σx", "minX", "maxX", "minY", "maxY", "y̅", "∑y",
    "∑y²", "Sy", "σy", "∑xy", "r", "Med", "Q1", "Q3", "a", "b", "c", "d", "e", "x₁", "x₂", "x₃",
    "y₁", "y₂", "y₃", "n", "p", "z", "t", "χ²", "F", "df", "p̂", "p̂₁", "p̂₂", "x̅₁", "Sx₁", "n₁",
    "x̅₂", "Sx₂", "n₂", "Sxp", "lower", "upper", "s", "r²", "R²", "Factor_df", "Factor_SS",
    "Factor_MS", "Error_df", "Error_SS", "Error_MS", "σ", "σ1", "σ2", "μ₀", "p0", "x", "x1", "x2",
    "C-Level",
};

const std::vector<std::string_view> kWinVars = {
    "ZXscl", "ZYscl", "Xscl", "Yscl", "u(ηMin)", "v(ηMin)", "u(η-1)", "v(η-1)", "Zu(ηMin)",
    "Zv(ηMin)", "Xmin", "Xmax", "Ymin", "Ymax", "Tmin", "Tmax", "θmin", "θmax", "ZXmin", "ZXmax",
    "ZYmin", "ZYmax", "Zθmin", "Zθmax", "ZTmin", "ZTmax", "TblStart", "PlotStart", "ZPlotStart",
    "ηMax", "ZηMax", "ηMin", "ZηMin", "ΔTbl", "Tstep", "θstep", "ZTstep", "Zθstep", "ΔX", "ΔY",
    "XFact", "YFact", "TblInput", "ɴ", "I%", "PV", "PMT", "FV", "P/Y", "C/Y", "w(ηMin)",
    "Zw(ηMin)", "PlotStep", "ZPlotStep", "Xres", "ZXres", "lowerBound", "upperBound", "begin/end",
    "scrWidth", "scrHeight",
};

const std::vector<std::string_view> kGraphFormats = {
    "Sequential", "Simul", "PolarGC", "RectGC", "CoordOn", "CoordOff", "Connected", "Dot",
    "AxesOn", "AxesOff", "GridOn", "GridOff", "LabelOn", "LabelOff", "Web", "Time", "uvAxes",
    "vwAxes", "uwAxes",
};

const std::vector<std::string_view> kBB = {
    "npv(", "irr(", "bal(", "Σprn(", "ΣInt(", "▸Nom(", "▸Eff(", "dbd(", "lcm(", "gcd(", "randInt(",
    "randBin(", "sub(", "stdDev(", "variance(", "inString(", "normalcdf(", "invNorm(", "tcdf(",
    "χ²cdf(", "Fcdf(", "binompdf(", "binomcdf(", "poissonpdf(", "poissoncdf(", "geometpdf(",
    "geometcdf(", "normalpdf(", "tpdf(", "χ²pdf(", "Fpdf(", "randNorm(", "tvm_Pmt", "tvm_I%",
    "tvm_PV", "tvm_N", "tvm_FV", "conj(", "real(", "imag(", "angle(", "cumSum(", "expr(",
    "length(", "ΔList(", "ref(", "rref(", "▸Rect", "▸Polar", "e", "SinReg ", "Logistic ",
    "LinRegTTest", "ShadeNorm(", "Shade_t(", "Shadeχ²(", "ShadeF(", "Matr▸list(", "List▸matr(",
    "Z-Test(", "T-Test(", "2-SampZTest(", "1-PropZTest(", "2-PropZTest(", "χ²-Test(", "ZInterval ",
    "2-SampZInt(", "1-PropZInt(", "2-PropZInt(", "GraphStyle(", "2-SampTTest ", "2-SampFTest ",
    "TInterval ", "2-SampTInt ", "SetUpEditor ", "Pmt_End", "Pmt_Bgn", "Real", "re^θi", "a+bi",
    "ExprOn", "ExprOff", "ClrAllLists", "GetCalc(", "DelVar ", "Equ▸String(", "String▸Equ(",
    "Clear Entries", "Select(", "ANOVA(", "ModBoxplot", "NormProbPlot", "expm1(", "", "", "", "",
    "", "", "", "G-T", "ZoomFit", "DiagnosticOn", "DiagnosticOff", "Archive", "UnArchive", "Asm(",
    "AsmComp(", "AsmPrgm", "compiled asm", "Á", "À", "Â", "Ä", "á", "à", "â", "ä", "É", "È", "Ê",
    "Ë", "é", "è", "ê", "ë", "", "Ì", "Î", "Ï", "í", "ì", "î", "ï", "Ó", "Ò", "Ô", "Ö", "ó", "ò",
    "ô", "ö", "Ú", "Ù", "Û", "Ü", "ú", "ù", "û", "ü", "Ç", "ç", "Ñ", "ñ", "´", "`", "¨", "¿", "¡",
    "α", "β", "γ", "Δ", "δ", "ε", "λ", "μ", "π", "ρ", "Σ", "η", "φ", "Ω", "p̂", "Χ", "F", "a", "b",
    "c", "d", "e", "f", "g", "h", "i", "j", "k", "", "l", "m", "n", "o", "p", "q", "r", "s", "t",
    "u", "v", "w", "x", "y", "z", "σ", "τ", "Í", "GarbageCollect", "~", "", "@", "#", "$", "&",
    "‛", ";", "\\", "|", "_", "%", "…", "∠", "ß", "χ", "Τ", "₀", "₁", "₂", "₃", "₄", "₅", "₆", "₇",
    "₈", "₉", "₁₀", "←", "→", "↑", "↓", "▸Ab/c", "×", "∫", "⇑", "⇓", "√", "≡", "▸Bin", "▸Hex",
    "0b", "0h", "shift(", "rotate(", "floor(", "ceiling(", "sign(", "ln1p(",
};

const std::vector<std::string_view> kEF = {
    "setDate(", "setTime(", "checkTmr(", "setDtFmt(", "setTmFmt(", "timeCnv(", "dayOfWk(",
    "getDtStr(", "getTmStr(", "getDate", "getTime", "startTmr", "getDtFmt", "getTmFmt",
    "isClockOn", "ClockOff", "ClockOn", "OpenLib(", "ExecLib", "invT(", "χ²GOF-Test(",
    "LinRegTInt", "Manual-Fit", "ZQuadrant1", "ZFrac1/2", "ZFrac1/3", "ZFrac1/4", "ZFrac1/5",
    "ZFrac1/8", "ZFrac1/10", "MATHPRINTBOX", "F_EF1F", "F_EF20", "F_EF21", "F_EF22", "F_EF23",
    "F_EF24", "F_EF25", "F_EF26", "F_EF27", "F_EF28", "F_EF29", "F_EF2A", "F_EF2B", "F_EF2C",
    "F_ED2D", "F_EF2E", "F_EF2F", "▸n/d◂▸Un/d", "▸F◂▸D", "remainder(", "∑(", "logBASE(",
    "randIntNoRep(", "MathType", "Classic", "／", "␣", "AUTO Answer", "DEC Answer", "FRAC Answer",
    "FRAC-APPROX", "F_EF3E", "STATWIZARD ON", "STATWIZARD OFF", "BLUE", "RED", "BLACK", "MAGENTA",
    "GREEN", "ORANGE", "BROWN", "NAVY", "LTBLUE", "YELLOW", "WHITE", "LTGREY", "MEDGREY", "GREY",
    "DARKGREY", "Image1", "Image2", "Image3", "Image4", "Image5", "Image6", "Image7", "Image8",
    "Image9", "Image0", "Gridline", "BackgroundOn", "EF5C", "EF5D", "EF5E", "EF5F", "EF60", "EF61",
    "EF62", "EF63", "BackgroundOff", "GraphColor(", "EF66", "TextColor(", "Asm84CPrgm", "EF69",
    "DetectAsmOn", "DetectAsmOff", "BorderColor", "EF6D", "EF6E", "EF6F", "EF70", "EF71", "EF72",
    "tindotplot", "Thin", "Dot-Thin", "EF76", "EF77", "EF78", "PlySmth2", "Asm84CEPrgm", "EF7B",
    "EF7C", "EF7D", "EF7E", "EF7F", "EF80", "Quartiles Setting…", "u(n-2)", "v(n-2)", "w(n-2)",
    "u(n-1)", "v(n-1)", "w(n-1)", "u(n)", "v(n)", "w(n)", "u(n+1)", "v(n+1)", "w(n+1)",
    "pieceWise(", "SEQ(n)", "SEQ(n+1)", "SEQ(n_2)", "LEFT-tail", "CENTER", "RIGHT-tail",
    "invBinom(", "Wait", "toString(", "eval(", "EF99", "EF9A", "F9B", "EF9C", "EF9D", "EF9E",
    "EF9F",
};

const std::vector<std::array<std::string_view, 3>> kOwnPage = {
    {"Trapezium…", "Trapezium", "Trapezium…"}, {"Polygon…", "Polygon", "Polygon…"},
    {"Circle…", "Circle", "Circle…"}, {"Arc…", "Arc", "Arc…"}, {"Ellipse…", "Ellipse", "Ellipse…"},
    {"Unit Circle…", "Unit Circle", "Unit Circle…"}, {"Z-Test…", "Z Test", "one sample z test"},
    {"T-Test…", "T Test", "one sampel t test"}, {"2-SampZTest…", "2 Samp Z Test", "two sample z test"},
    {"2-SampTTest…", "2 Samp T Test", "two sample t test"},
    {"1-PropZTest…", "1 Prop Z Test", "one-proportion z test"},
    {"ZInterval…", "Z Interval", "one-sample z confidence interval"},
    {"TInterval…", "T Interval", "one-sample t confidence interval"},
    {"2-SampZInt…", "2 Samp Z Interval", "two-sample z confidence interval"},
    {"2-SampTInt…", "2 Samp T Interval", "two-sample t confidence interval"},
    {"1-PropZInt…", "1 Prop Z Interval", "one-proportion z confidence interval"},
    {"2-PropZInt…", "2 Prop Z Interval", "two-proportion z confidence interval"},
    {"χ²-Test…", "chye squared Test", "chi-square test"},
    {"χ²GOF-Test…", "chye squared GOF Test", "chi-square goodness of fit test"},
    {"LinRegTInt…", "Lin Reg T Interval", "linear regression t interval"}, {"©", "©", "Comment"},
    {"Gosub ", "Gosub", "Gosub label"}, {"InputField(", "Input Field", "InputField(x,y,width,var,lbl)"},
    {"Button(", "Button", "Button(x,y,width,name,lbl)"},
    {"Selector(", "Selector", "Selector(x,y,width,nameList,var,lbl)"},
    {"Slider(", "Slider", "Slider(x,y,width,min,max,var,lbl)"},
    {"ClrControls", "Clear Controls", "ClrControls"}, {"DispControls", "Display Controls", "DispControls"},
    {"TriSolve(", "Tri Solve", "TriSolve(∠A,∠B,∠C,a,b,c)"}, {"hypot(", "high pot", "hypot(x,y)"},
    {"atan2(", "arc tangent 2", "atan2(y,x)"},
    {"Polyline(", "Polyline", "Polyline(pointList[,color,width,fill]"},
    {" ANDb ", "and b", "binaryA ANDb binaryB"}, {" ORb ", "or b", "binaryA ORb binaryB"},
    {" XORb ", "x or b", "binaryA XORb binaryB"}, {"NOTb(", "not b", "NOTb(binary)"},
    {"Plot4(", "Plot 4", "Plot4(type,L1[,L2,mark,color])"},
    {"Plot5(", "Plot 5", "Plot5(type,L1[,L2,mark,color,])"},
    {"Plot6(", "Plot 6", "Plot6(type,L1[,L2,mark,color])"}, {"", "", ""}, {"", "", ""},
    {"font+", "font+", "font+"}, {"font-", "font-", "font-"}, {"␣", "Un/d", "U␣n/de"},
    {"2-PropZTest…", "2 Prop Z Test", "two-proportion z test"},
    {"LinRegTTest…", "Lin Reg T Test", "linear regression t test"},
    {"2-SampFTest…", "2 Samp Fisher Test", "two-sample Fisher-test"},
    {"ANOVA…", "anova", "one-way analysis of variance"}, {"regression…", "regression", "regression…"},
    {"Periodic Table…", "Periodic Table", "Periodic Table…"},
    {"molarMass(", "molar mass", "molarMass(formula string)"},
    {"chem_atomicWt(", "atomic weight", "chem_atomicWt([atomic#])"},
    {"chem_meltTemp(", "melt temp", "chem_meltTemp([atomic#])"},
    {"chem_boilTemp(", "boil temp", "chem_boilTemp([atomic#])"},
    {"chem_density(", "density", "chem_density([atomic#])"}, {"Fraction", "Fraction", "Fraction"},
    {"", "", ""}, {"Line…", "Line", "Line…"}, {"Square…", "Square", "Square…"},
    {"Rectangle…", "Rectangle", "Rectangle…"}, {"Parallelogram…", "Parallelogram", "Parallelogram…"},
    {"Triangle…", "Triangle", "Triangle…"}, {"Trapezoid…", "Trapezoid", "Trapezoid…"},
    {"FnXY", "Function in x and y", "FnXY"},
    {"GraphVar(", "Graph Variable", "GraphVar(min,max,step,value,var,yEq)"},
    {"PolyRoots(", "Polynomial Roots", "PolyRoots(coefficientList,[,Y=])"},
    {"sigFig(", "Significant Figures", "sigFig(value)"},
    {"▸SigFig", "Convert to significant figures", "▸SigFig"},
    {"roundSigFig(", "round to significant figures", "roundSigFig(value,#digits)"},
    {"\u0332", "\u0332", "\u0332"}, {"SigFig Answer", "significant figures answer", "SigFig answer"},
    {"Poly Root Finder", "polynomial root finder", "Polynomial Roots Finder..."},
    {"Simul Eqn Solver", "simultaneous equation solver", "Simultaneous Eqn Solver..."},
};


// Checks a whole page and the codes just outside it.
void expectPage(std::uint32_t first, const std::vector<std::string_view>& names)
{
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::uint32_t code = first + static_cast<std::uint32_t>(i);
        EXPECT_EQ(vocab().nameForOpcode(code), names[i]) << std::hex << code;
    }
}

std::string fallback(std::uint32_t t)
{
    char buf[8];
    auto end = std::to_chars(buf, buf + sizeof buf, t, 16).ptr;
    std::string digits(buf, end);
    for (char& c : digits)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return "op(" + digits + ")";
}

TEST(VocabularyTest, EveryPageNamesItsCodesInOrder)
{
    expectPage(0x00, kOneByte);
    expectPage(0x0400, kKeyOps);
    expectPage(0x1000, kInternal);
    expectPage(0x5C00, {"[A]", "[B]", "[C]", "[D]", "[E]", "[F]", "[G]", "[H]", "[I]", "[J]"});
    expectPage(0x5D00, {"L₁", "L₂", "L₃", "L₄", "L₅", "L₆"});
    expectPage(0x5E10, {"Y₁", "Y₂", "Y₃", "Y₄", "Y₅", "Y₆", "Y₇", "Y₈", "Y₉", "Y₀"});
    expectPage(0x5E20, {"Xt₁", "Yt₁", "Xt₂", "Yt₂", "Xt₃", "Yt₃", "Xt₄", "Yt₄", "Xt₅", "Yt₅", "Xt₆", "Yt₆"});
    expectPage(0x5E40, {"r₁", "r₂", "r₃", "r₄", "r₅", "r₆"});
    expectPage(0x5E80, {"u", "v", "w", "u(ηMin)", "v(ηMin)", "w(ηMin)"});
    expectPage(0x5EA0, {"XY₁", "XY₂", "XY₃", "XY₄", "XY₅", "XY₆", "XY₇", "XY₈", "XY₉", "XY₀"});
    expectPage(0x6000, {"pic1", "pic2", "pic3", "pic4", "pic5", "pic6", "pic7", "pic8", "pic9", "pic0"});
    expectPage(0x6100, {"GDB1", "GDB2", "GDB3", "GDB4", "GDB5", "GDB6", "GDB7", "GDB8", "GDB9", "GDB0"});
    expectPage(0x6200, kStatVars);
    expectPage(0x6300, kWinVars);
    expectPage(0x7E00, kGraphFormats);
    expectPage(0xAA00, {"Str1", "Str2", "Str3", "Str4", "Str5", "Str6", "Str7", "Str8", "Str9", "Str0"});
    expectPage(0xEF00, kEF);
    for (std::size_t i = 0; i < kBB.size(); ++i) {
        const std::uint32_t code = 0xBB00 + static_cast<std::uint32_t>(i);
        if (code != 0xBB5D && code != 0xBB5E) { // named from the unit and constant tables
            EXPECT_EQ(vocab().nameForOpcode(code), kBB[i]) << std::hex << code;
        }
    }
    for (std::size_t i = 0; i < kOwnPage.size(); ++i)
        EXPECT_EQ(vocab().nameForOpcode(0x5C20 + static_cast<std::uint32_t>(i)), kOwnPage[i][0]);
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
    for (std::size_t i = 0; i < kOwnPage.size(); ++i)
        EXPECT_EQ(vocab().speakNameForOpcode(0x5C20 + static_cast<std::uint32_t>(i)), kOwnPage[i][1]);
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

    for (std::size_t i = 0; i < kOwnPage.size(); ++i)
        EXPECT_EQ(vocab().descriptionForOpcode(0x5C20 + static_cast<std::uint32_t>(i)), kOwnPage[i][2]);
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
    EXPECT_EQ(&Vocabulary::shared(), &vocab());
}

} // namespace
} // namespace orvenda
