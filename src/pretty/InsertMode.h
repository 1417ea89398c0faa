#pragma once

#include <cstdint>
#include <vector>

namespace orvenda {

// The insert mode of the line being edited (the calculator's `insert`), and every way it
// changes. Off, typing writes over the op at the cursor. INS's own mode is the user's
// choice: INS toggles it, and a cursor move, ENTER and ENTRY end it, on every line and in
// either form as on the Classic home, while CLEAR leaves it on. A template's mode is
// switched on by the cursor standing on a structural op of the two-dimensional form
// (writing over it would break the template): typing there inserts whatever the user
// chose, so it is not INS's to toggle, a Backspace still deletes under it, and it ends
// where the cursor can write over again, with its template and with CLEAR.
class InsertMode {
public:
    using Ops = std::vector<std::uint32_t>;

    static constexpr int kOff = 0;
    static constexpr int kIns = 1;
    static constexpr int kAtTemplate = 2;

    // Typing inserts.
    static bool inserts(int mode) { return mode != kOff; }
    // INS's own mode is on.
    static bool insOn(int mode) { return mode == kIns; }

    // INS: its own mode toggled (a template's turns into INS's).
    static void toggle(int& mode) { mode = mode == kIns ? kOff : kIns; }
    // INS's own mode set as a Backspace found it; a template's ends.
    static void setIns(int& mode, bool on) { mode = on ? kIns : kOff; }
    // ENTER, ENTRY, a one-line cursor move, a move between lines or to a line's end, a
    // template's box typed over: every mode ends.
    static void end(int& mode) { mode = kOff; }
    // The cursor moved along a two-dimensional line: INS's own mode ends (a template's is
    // settled where the cursor now stands).
    static void moved(int& mode)
    {
        if (mode == kIns)
            mode = kOff;
    }
    // The cursor stands on a structural op: typing there inserts.
    static void atTemplate(int& mode)
    {
        if (mode == kOff)
            mode = kAtTemplate;
    }
    // Out of the template, the line cleared, the cursor in a template's box: a template's
    // mode ends; INS's own stays.
    static void endTemplate(int& mode)
    {
        if (mode == kAtTemplate)
            mode = kOff;
    }
    // A template's mode ends where the cursor at `at` can write over again.
    static void settle(int& mode, const Ops& ops, int at);
};

} // namespace orvenda
