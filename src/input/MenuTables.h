#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace orvenda {

// The fixed contents of the pop-up menus: for each menu id (0 to 36) its tabs, and for
// each tab the list it shows. Token lists are the tokens a row inserts; text lists open a
// further menu or start an action; the other kinds are filled from the calculator's
// state when shown (names, Y-variables, user menus).
class MenuTables {
public:
    enum class List {
        None,
        // Token lists.
        Math, Number, Complex, Probability, Test, Logic, Angle, Distr, DistDraw, ListOp, ListMath, MatrixMath,
        Ctrl, IO, YVars, Abc, Color, StatEdit, StatCalc, StatTest, XYWindow, TThetaWindow, UVWWindow, XYStat,
        SumStat, EqStat, TestStat, PtsStat, Table, Str, Gdb, Finance, FinanceVar, Chem, Geometry, PlySmlt, Draw,
        Point, Background, Plot, PlotType, PlotMark, PrettyFrac, PrettyFunc,
        // Text lists.
        Vars, Mem, Reset, DrawSto, Apps, Send,
        // Lists built when shown.
        ListNames, MatrixNames, MatrixEdit, ProgramNames, GdbNames, PrettyYVars, UserMenu,
    };
    struct Tab {
        std::string_view title;
        List list;
    };

    static constexpr int kMenuCount = 37;
    static constexpr int kProgramMenu = 6;
    static constexpr int kUserMenu = 36;

    // The tabs of a menu; menu 6 is given as in the program editor, menu 36 has none here
    // (its tabs are the user menus); ids outside 0..36 have none.
    static std::span<const Tab> tabs(int menu);
    static std::span<const std::uint32_t> tokens(List list);
    static std::span<const std::string_view> texts(List list);
    // The title of the sharing bar of menus 19 to 25 and 28, else "".
    static std::string_view shareTitle(int menu);

    // How a list's rows are drawn: value rows show the variable's listing, string rows the
    // string's, Y-variable rows the stored equation.
    static bool valueList(List list);
    static bool textList(List list) { return !texts(list).empty(); }
    static bool nameList(List list) { return list >= List::ListNames; }
    // "1" to "9", "0", "A" to "Z" for rows 0 to 35 of token lists; "" past them.
    static std::string_view keyLabel(int row);
    // The row a calculator-keypad key picks ("1" → 0, "0" → 9, "A" → 10), -1 for others.
    static int rowForKeyOp(std::uint32_t op);
};

} // namespace orvenda
