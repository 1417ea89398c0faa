#include "input/MenuTables.h"

#include <array>

namespace orvenda {

namespace {

using L = MenuTables::List;
using T = MenuTables::Tab;

constexpr std::uint32_t kMath[] = {0x03, 0x02, 0x0F, 0xBD, 0xF1, 0x27, 0x28, 0x25, 0x24, 0xEF33, 0xEF34, 0x1017,
    0x5C61, 0xBBEF, 0xBBF6, 0xBBF7, 0x5C63};
constexpr std::uint32_t kNumber[] = {0xB2, 0x12, 0xB9, 0xBA, 0xB1, 0x1A, 0x19, 0xBB08, 0xBB09, 0xEF32, 0xEF30,
    0xEF31, 0xEF39, 0xEF38, 0xBBFD, 0xBBFC, 0xBBFE, 0xBBFF, 0xBB5C, 0xBBFB, 0xBBFA, 0x5C3D, 0x5C3E, 0x5C62, 0x5C64};
constexpr std::uint32_t kComplex[] = {0xBB25, 0xBB26, 0xBB27, 0xBB28, 0xB2, 0xBB2F, 0xBB30};
constexpr std::uint32_t kProbability[] = {0xAB, 0x94, 0x95, 0x2D, 0xBB0A, 0xBB1F, 0xBB0B, 0xEF35};
constexpr std::uint32_t kTest[] = {0x6A, 0x6F, 0x6C, 0x6E, 0x6B, 0x6D};
constexpr std::uint32_t kLogic[] = {0x40, 0x3C, 0x3D, 0xB8, 0x5C40, 0x5C41, 0x5C42, 0x5C43};
constexpr std::uint32_t kAngle[] = {0x0B, 0xAE, 0x0A, 0x01, 0x1B, 0x1C, 0x1D, 0x1E};
constexpr std::uint32_t kDistr[] = {0xBB1B, 0xBB10, 0xBB11, 0xEF13, 0xBB1C, 0xBB12, 0xBB1D, 0xBB13, 0xBB1E, 0xBB14,
    0xBB15, 0xBB16, 0xEF95, 0xBB17, 0xBB18, 0xBB19, 0xBB1A, 0xEF92, 0xEF93, 0xEF94};
constexpr std::uint32_t kDistDraw[] = {0xBB35, 0xBB36, 0xBB37, 0xBB38};
constexpr std::uint32_t kListOp[] = {0xE3, 0xE4, 0xB5, 0xE2, 0x23, 0xBB29, 0xBB2C, 0xBB58, 0x14, 0xBB3A, 0xBB39, 0xEB};
constexpr std::uint32_t kListMath[] = {0x1A, 0x19, 0x21, 0x1F, 0xB6, 0xB7, 0xBB0D, 0xBB0E};
constexpr std::uint32_t kMatrixMath[] = {0xB3, 0x0E, 0xB5, 0xE2, 0xB4, 0x20, 0x14, 0xBB39, 0xBB3A, 0xBB29, 0xBB2D,
    0xBB2E, 0x15, 0x16, 0x17, 0x18};
constexpr std::uint32_t kCtrl[] = {0xCE, 0xCF, 0xD0, 0xD3, 0xD1, 0xD2, 0xD4, 0xD8, 0xD6, 0xD7, 0xDA, 0xDB, 0xE6, 0x5F,
    0xD5, 0xD9, 0xBB54, 0xBB45, 0x5C35};
constexpr std::uint32_t kIO[] = {0xDC, 0xDD, 0xDE, 0xDF, 0xE5, 0xE0, 0xAD, 0xE1, 0xFB, 0xEF98, 0xBB2A, 0xEF97, 0xBB56,
    0x5C34, 0x5C3B, 0x5C3A, 0x5C36, 0x5C37, 0x5C38, 0x5C39};
constexpr std::uint32_t kYVars[] = {0x5E10, 0x5E11, 0x5E12, 0x5E13, 0x5E14, 0x5E15, 0x5E16, 0x5E17, 0x5E18, 0x5E19,
    0x5E20, 0x5E21, 0x5E22, 0x5E23, 0x5E24, 0x5E25, 0x5E26, 0x5E27, 0x5E28, 0x5E29, 0x5E2A, 0x5E2B, 0x5E40, 0x5E41,
    0x5E42, 0x5E43, 0x5E44, 0x5E45, 0x5E80, 0x5E81, 0x5E82, 0x5EA0, 0x5EA1, 0x5EA2, 0x5EA3, 0x5EA4, 0x5EA5, 0x5EA6,
    0x5EA7, 0x5EA8, 0x5EA9};
constexpr std::uint32_t kAbc[] = {0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E,
    0x4F, 0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x5B, 0xBBAA};
constexpr std::uint32_t kColor[] = {0xEF41, 0xEF42, 0xEF43, 0xEF44, 0xEF45, 0xEF46, 0xEF47, 0xEF48, 0xEF49, 0xEF4A,
    0xEF4B, 0xEF4C, 0xEF4D, 0xEF4E, 0xEF4F};
constexpr std::uint32_t kStatEdit[] = {0x1014, 0xE3, 0xE4, 0xFA, 0xBB4A};
constexpr std::uint32_t kStatCalc[] = {0xF2, 0xF3, 0x5C50, 0xF8, 0xFF, 0xF9, 0x2E, 0x2F, 0xF4, 0xF6, 0xF5, 0xF7,
    0xBB33, 0xBB32};
constexpr std::uint32_t kStatTest[] = {0x5C26, 0x5C27, 0x5C28, 0x5C29, 0x5C2A, 0x5C4C, 0x5C2B, 0x5C2C, 0x5C2D, 0x5C2E,
    0x5C2F, 0x5C30, 0x5C31, 0x5C32, 0x5C4E, 0x5C4D, 0x5C33, 0xBB59};
constexpr std::uint32_t kXYWindow[] = {0x630A, 0x630B, 0x6302, 0x630C, 0x630D, 0x6303, 0x6326, 0x6327, 0x633B, 0x633C};
constexpr std::uint32_t kTThetaWindow[] = {0x630E, 0x630F, 0x6322, 0x6310, 0x6311, 0x6323};
constexpr std::uint32_t kUVWWindow[] = {0x6304, 0x6305, 0x6332, 0x631F, 0x631D, 0x631B, 0x6334};
constexpr std::uint32_t kXYStat[] = {0x6202, 0x6203, 0x6206, 0x6207, 0x620C, 0x620F, 0x6210, 0x6208, 0x6209, 0x620A,
    0x620B};
constexpr std::uint32_t kSumStat[] = {0x6204, 0x6205, 0x620D, 0x620E, 0x6211};
constexpr std::uint32_t kEqStat[] = {0x6201, 0x6216, 0x6217, 0x6218, 0x6219, 0x621A, 0x6212, 0x6235, 0x6236};
constexpr std::uint32_t kTestStat[] = {0x6222, 0x6223, 0x6224, 0x6225, 0x6226, 0x6227, 0x6228, 0x6229, 0x622A, 0x6234,
    0x622B, 0x622E, 0x622C, 0x622F, 0x6231, 0x622D, 0x6230, 0x6232, 0x6233, 0x6237, 0x6238, 0x6239, 0x623A, 0x623B,
    0x623C};
constexpr std::uint32_t kPtsStat[] = {0x621B, 0x621E, 0x621C, 0x621F, 0x621D, 0x6220, 0x6214, 0x6213, 0x6215};
constexpr std::uint32_t kTable[] = {0x631A, 0x6321, 0x632A};
constexpr std::uint32_t kStr[] = {0xAA00, 0xAA01, 0xAA02, 0xAA03, 0xAA04, 0xAA05, 0xAA06, 0xAA07, 0xAA08, 0xAA09};
constexpr std::uint32_t kGdb[] = {0x6100, 0x6101, 0x6102, 0x6103, 0x6104, 0x6105, 0x6106, 0x6107, 0x6108, 0x6109};
constexpr std::uint32_t kFinance[] = {0x1018, 0xBB20, 0xBB21, 0xBB22, 0xBB23, 0xBB24, 0xBB00, 0xBB01, 0xBB02, 0xBB03,
    0xBB04, 0xBB05, 0xBB06, 0xBB07, 0xBB4B, 0xBB4C};
constexpr std::uint32_t kFinanceVar[] = {0x632B, 0x632C, 0x632D, 0x632E, 0x632F, 0x6330, 0x6331, 0x633A};
constexpr std::uint32_t kChem[] = {0x5C51, 0x1019, 0x5C52, 0x5C53, 0x5C54, 0x5C55, 0x5C56};
constexpr std::uint32_t kGeometry[] = {0x5C59, 0x5C5A, 0x5C5B, 0x5C5C, 0x5C5D, 0x5C21, 0x5C22, 0x5C23, 0x5C24, 0x5C25,
    0x5C3C};
constexpr std::uint32_t kPlySmlt[] = {0x5C67, 0x5C68};
constexpr std::uint32_t kDraw[] = {0x85, 0x9C, 0xA6, 0x9D, 0xA7, 0xA9, 0xA4, 0xA8, 0xA5, 0x93, 0x5C3F};
constexpr std::uint32_t kPoint[] = {0x9E, 0x9F, 0xA0, 0xA1, 0xA2, 0xA3, 0x13};
constexpr std::uint32_t kBackground[] = {0xEF5B, 0xEF64};
constexpr std::uint32_t kPlot[] = {0xEC, 0xED, 0xEE, 0x5C44, 0x5C45, 0x5C46, 0xEA, 0xE9};
constexpr std::uint32_t kPlotType[] = {0xFE, 0xFD, 0xFC, 0xBB5A, 0x05, 0xBB5B};
constexpr std::uint32_t kPlotMark[] = {0x7F, 0x80, 0x81};
constexpr std::uint32_t kPrettyFrac[] = {0xEF38, 0xEF39, 0xEF30, 0xEF31};
constexpr std::uint32_t kPrettyFunc[] = {0xB2, 0xEF33, 0x25, 0x24, 0xEF34, 0xF1, 0x94, 0x95, 0x2D};

constexpr std::string_view kVars[] = {"Window…", "GDB…", "Statistics…", "Table…", "String…"};
constexpr std::string_view kMem[] = {"About…", "Clear Entries", "ClrAllLists", "Reset…"};
constexpr std::string_view kReset[] = {"All memory…", "Defaults…"};
constexpr std::string_view kDrawSto[] = {"Picture…", "GDB…", "Photo…"};
constexpr std::string_view kApps[] = {"Finance…", "Chemistry…", "Geometry…", "PlySmlt…"};
constexpr std::string_view kSend[] = {
    "Program…", "List…", "Matrix…", "Var…", "Y-Vars…", "String…", "History", "Last Calculation"};

constexpr T kMenu0[] = {{"MATH", L::Math}, {"NUM", L::Number}, {"CPX", L::Complex}, {"PRB", L::Probability}};
constexpr T kMenu1[] = {{"TEST", L::Test}, {"LOGIC", L::Logic}};
constexpr T kMenu2[] = {{"ANGLE", L::Angle}};
constexpr T kMenu3[] = {{"DISTR", L::Distr}, {"DRAW", L::DistDraw}};
constexpr T kMenu4[] = {{"NAMES", L::ListNames}, {"OPS", L::ListOp}, {"MATH", L::ListMath}};
constexpr T kMenu5[] = {{"NAMES", L::MatrixNames}, {"MATH", L::MatrixMath}, {"EDIT", L::MatrixEdit}};
constexpr T kMenu6[] = {{"CTRL", L::Ctrl}, {"I/O", L::IO}, {"EXEC", L::ProgramNames}};
constexpr T kMenu7[] = {{"VARS", L::Vars}, {"Y-VARS", L::YVars}, {"ABC", L::Abc}, {"Color", L::Color}};
constexpr T kMenu8[] = {{"EDIT", L::StatEdit}, {"CALC", L::StatCalc}, {"TESTS", L::StatTest}};
constexpr T kMenu9[] = {{"X/Y", L::XYWindow}, {"T/θ", L::TThetaWindow}, {"U/V/W", L::UVWWindow}};
constexpr T kMenu10[] = {{"XY", L::XYStat}, {"∑", L::SumStat}, {"EQ", L::EqStat}, {"TEST", L::TestStat},
    {"PTS", L::PtsStat}};
constexpr T kMenu11[] = {{"TABLE", L::Table}};
constexpr T kMenu12[] = {{"STRING", L::Str}};
constexpr T kMenu13[] = {{"CALC", L::Finance}, {"VARS", L::FinanceVar}};
constexpr T kMenu14[] = {{"CHEMISTRY", L::Chem}};
constexpr T kMenu15[] = {{"APPLICATIONS", L::Apps}};
constexpr T kMenu16[] = {{"DRAW", L::Draw}, {"POINTS", L::Point}, {"STO", L::DrawSto}, {"BACKGROUND", L::Background}};
constexpr T kMenu17[] = {{"PLOTS", L::Plot}, {"TYPE", L::PlotType}, {"MARK", L::PlotMark}};
constexpr T kMenu18[] = {{"GEOMETRY", L::Geometry}};
constexpr T kMenu19[] = {{"SHARE", L::Send}};
constexpr T kMenu20[] = {{"lbxDat", L::ProgramNames}, {"PDF", L::ProgramNames}};
constexpr T kMenu21[] = {{"lbxDat", L::ListNames}, {"CSV", L::ListNames}};
constexpr T kMenu22[] = {{"lbxDat", L::MatrixNames}, {"CSV", L::MatrixNames}};
constexpr T kMenu23[] = {{"lbxDat", L::Abc}};
constexpr T kMenu24[] = {{"lbxDat", L::YVars}};
constexpr T kMenu25[] = {{"lbxDat", L::Str}};
constexpr T kMenu27[] = {{"StoreGDB", L::GdbNames}, {"RecallGDB", L::GdbNames}};
constexpr T kMenu28[] = {{"Send GDB", L::GdbNames}};
constexpr T kMenu29[] = {{"MEM", L::Mem}};
constexpr T kMenu30[] = {{"RESET", L::Reset}};
constexpr T kMenu31[] = {{"", L::PrettyFrac}};
constexpr T kMenu32[] = {{"", L::PrettyFunc}};
constexpr T kMenu33[] = {{"", L::PrettyYVars}};
constexpr T kMenu34[] = {{"GDB", L::Gdb}};
constexpr T kMenu35[] = {{"PLYSMLT", L::PlySmlt}};

constexpr std::array<std::span<const T>, MenuTables::kMenuCount> kMenus{{
    kMenu0, kMenu1, kMenu2, kMenu3, kMenu4, kMenu5, kMenu6, kMenu7, kMenu8, kMenu9, kMenu10, kMenu11, kMenu12,
    kMenu13, kMenu14, kMenu15, kMenu16, kMenu17, kMenu18, kMenu19, kMenu20, kMenu21, kMenu22, kMenu23, kMenu24,
    kMenu25, {}, kMenu27, kMenu28, kMenu29, kMenu30, kMenu31, kMenu32, kMenu33, kMenu34, kMenu35, {},
}};

constexpr std::string_view kKeyLabels[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "A", "B", "C", "D", "E",
    "F", "G", "H", "I", "J", "K", "L", "M", "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z"};

} // namespace

std::span<const MenuTables::Tab> MenuTables::tabs(int menu)
{
    return menu >= 0 && menu < kMenuCount ? kMenus[static_cast<std::size_t>(menu)] : std::span<const Tab>{};
}

std::span<const std::uint32_t> MenuTables::tokens(List list)
{
    switch (list) {
    case L::Math: return kMath;
    case L::Number: return kNumber;
    case L::Complex: return kComplex;
    case L::Probability: return kProbability;
    case L::Test: return kTest;
    case L::Logic: return kLogic;
    case L::Angle: return kAngle;
    case L::Distr: return kDistr;
    case L::DistDraw: return kDistDraw;
    case L::ListOp: return kListOp;
    case L::ListMath: return kListMath;
    case L::MatrixMath: return kMatrixMath;
    case L::Ctrl: return kCtrl;
    case L::IO: return kIO;
    case L::YVars: return kYVars;
    case L::Abc: return kAbc;
    case L::Color: return kColor;
    case L::StatEdit: return kStatEdit;
    case L::StatCalc: return kStatCalc;
    case L::StatTest: return kStatTest;
    case L::XYWindow: return kXYWindow;
    case L::TThetaWindow: return kTThetaWindow;
    case L::UVWWindow: return kUVWWindow;
    case L::XYStat: return kXYStat;
    case L::SumStat: return kSumStat;
    case L::EqStat: return kEqStat;
    case L::TestStat: return kTestStat;
    case L::PtsStat: return kPtsStat;
    case L::Table: return kTable;
    case L::Str: return kStr;
    case L::Gdb: return kGdb;
    case L::Finance: return kFinance;
    case L::FinanceVar: return kFinanceVar;
    case L::Chem: return kChem;
    case L::Geometry: return kGeometry;
    case L::PlySmlt: return kPlySmlt;
    case L::Draw: return kDraw;
    case L::Point: return kPoint;
    case L::Background: return kBackground;
    case L::Plot: return kPlot;
    case L::PlotType: return kPlotType;
    case L::PlotMark: return kPlotMark;
    case L::PrettyFrac: return kPrettyFrac;
    case L::PrettyFunc: return kPrettyFunc;
    default: return {};
    }
}

std::span<const std::string_view> MenuTables::texts(List list)
{
    switch (list) {
    case L::Vars: return kVars;
    case L::Mem: return kMem;
    case L::Reset: return kReset;
    case L::DrawSto: return kDrawSto;
    case L::Apps: return kApps;
    case L::Send: return kSend;
    default: return {};
    }
}

std::string_view MenuTables::shareTitle(int menu)
{
    static constexpr std::string_view kTitles[] = {"SHARE", "SHARE:program", "SHARE:list", "SHARE:matrix",
        "SHARE:variable", "SHARE:y=", "SHARE:string"};
    if (menu >= 19 && menu <= 25)
        return kTitles[menu - 19];
    return menu == 28 ? "SHARE:GDB" : "";
}

bool MenuTables::valueList(List list)
{
    switch (list) {
    case L::XYWindow:
    case L::TThetaWindow:
    case L::UVWWindow:
    case L::XYStat:
    case L::SumStat:
    case L::EqStat:
    case L::TestStat:
    case L::PtsStat:
    case L::Table:
    case L::FinanceVar:
    case L::Abc:
    case L::Gdb:
        return true;
    default:
        return false;
    }
}

std::string_view MenuTables::keyLabel(int row)
{
    return row >= 0 && row < static_cast<int>(std::size(kKeyLabels)) ? kKeyLabels[row] : std::string_view{};
}

int MenuTables::rowForKeyOp(std::uint32_t op)
{
    if (op == '0')
        return 9;
    if (op >= '1' && op <= '9')
        return static_cast<int>(op - '1');
    if (op >= 'A' && op <= 'Z')
        return static_cast<int>(op - 'A') + 10;
    return -1;
}

} // namespace orvenda
