#include "drive/RandomWalk.h"

#include <array>
#include <csignal>
#include <sstream>
#include <string_view>
#include <utility>

namespace orvenda::test {

namespace {

using nlohmann::json;

// The calculator keyboard's keys by the driver's labels.
constexpr const char* kKeys[] = {
    "Y=", "GRAPH", "HOME", "TABLE", "UNDO", "2ND", "MODE", "DEL", "LEFT", "UP",
    "ALPHA", "X,T,θ,N", "STAT", "DOWN", "RIGHT", "MATH", "APPS", "PRGM", "VARS", "CLEAR",
    "X⁻¹", "SIN", "COS", "TAN", "^", "X²", ",", "(", ")", "÷",
    "LOG", "7", "8", "9", "×", "LN", "4", "5", "6", "−",
    "STO→", "1", "2", "3", "+", "ON", "0", ".", "(−)", "ENTER",
};

// The computer's keys: the Ctrl and Ctrl+Shift chords of the calculator's keys, the keys
// that move and leave, and keys that type.
constexpr const char* kChords[] = {
    "Ctrl+A", "Ctrl+C", "Ctrl+D", "Ctrl+F", "Ctrl+G", "Ctrl+H", "Ctrl+I", "Ctrl+L", "Ctrl+M", "Ctrl+O",
    "Ctrl+P", "Ctrl+Q", "Ctrl+S", "Ctrl+T", "Ctrl+U", "Ctrl+V", "Ctrl+X", "Ctrl+Y", "Ctrl+Z", "Ctrl+/",
    "Ctrl++", "Ctrl+-", "Ctrl+Backspace", "Ctrl+Shift+A", "Ctrl+Shift+F", "Ctrl+Shift+G", "Ctrl+Shift+H",
    "Ctrl+Shift+M", "Ctrl+Shift+P", "Ctrl+Shift+T", "Ctrl+Shift+V", "Ctrl+Shift+Y", "Ctrl+Shift+Z",
    "Escape", "Escape", "Return", "Return", "Up", "Down", "Left", "Right", "Shift+Left", "Shift+Right",
    "Tab", "Backspace", "Shift+Backspace", "a", "e", "k", "p", "s", "x", "0", "1", "2", "5", "9",
    "+", "-", "*", "/", "(", ")", "^", ".", ",", "=", "\"", "Shift+A", "Shift+K", "Shift+X", "Alt+p",
    "Alt+v", "Alt+2",
};

// Short entries, and calls of the walk's programs (more often: a call from a field is
// what crashed).
constexpr const char* kEntries[] = {"2+3", "7", "A+1", "{1,2}", "X²"};
constexpr const char* kPrograms[] = {"WS", "WD", "WI", "WP", "WM", "WA", "WG", "WK", "WE"};
// What follows a typed entry: nothing, or a key that takes or leaves it.
constexpr const char* kAfterEntry[] = {"", "", "", "key ENTER\n", "key ENTER\n", "hkey Return\n", "key DOWN\n",
                                       "hkey Escape\n", "hkey Tab\n"};

// The walk's programs as the program menu lists them, after the samples: `hkey w` goes to
// the first. The debugger opens those that wait (for an answer, a pick, ENTER, a key) most.
constexpr const char* kListed[] = {"WA", "WD", "WE", "WG", "WI", "WK", "WM", "WP", "WS"};
constexpr const char* kDebugged[] = {"WI", "WI", "WP", "WP", "WM", "WA", "WK", "WD", "WE"};

// Screens opened by their key (in the 2ND layer too: STAT PLOT, WINDOW, FORMAT, TBLSET) or
// their chord, menus opened to pick a row (STAT, APPS, MATH, PRGM, VARS, MATRIX, LIST,
// MEM, DRAW, DISTR, TEST), and the ways back.
constexpr const char* kScreenKeys[] = {"key Y=\n", "key GRAPH\n", "key TABLE\n", "key MODE\n", "key 2ND\nkey Y=\n",
                                       "key 2ND\nkey GRAPH\n", "key 2ND\nkey HOME\n", "key 2ND\nkey TABLE\n"};
constexpr const char* kScreenChords[] = {"Ctrl+Y", "Ctrl+Shift+G", "Ctrl+G", "Ctrl+D", "Ctrl+T", "Ctrl+Shift+T",
                                         "Ctrl+Shift+Y", "Ctrl+Shift+H", "Ctrl+O", "Ctrl+C"};
constexpr const char* kMenuKeys[] = {"key STAT\n", "key STAT\n", "key APPS\n", "key APPS\n", "key MATH\n", "key PRGM\n",
                                     "key VARS\n", "key 2ND\nkey X⁻¹\n", "key 2ND\nkey STAT\n", "key 2ND\nkey +\n",
                                     "key 2ND\nkey PRGM\n", "key 2ND\nkey VARS\n", "key 2ND\nkey MATH\n"};
constexpr const char* kMenuChords[] = {"Ctrl+S", "Ctrl+A", "Ctrl+M", "Ctrl+P", "Ctrl+V", "Ctrl+X", "Ctrl+L", "Ctrl+Shift+M"};
constexpr const char* kBackKeys[] = {"key 2ND\nkey MODE\n", "key HOME\n"};
constexpr const char* kBackChords[] = {"hkey Escape\n", "hkey Ctrl+Q\n", "hkey Ctrl+H\n"};
// The app's endings: the window closed, the desktop's quitting signals, a kill (after the
// app's own save) twice as often.
constexpr const char* kEndings[] = {"close\n", "signal TERM\n", "signal INT\n", "signal HUP\n", "signal KILL\n", "signal KILL\n"};

// The full-size screens and the first of the root controller's views, by id.
constexpr int kGraph = 8, kPeriodicTable = 13, kStatTests = 15, kGeometry = 16, kDebugger = 109;
constexpr int kProgramEditor = 2, kProgramOutput = 11;

constexpr const char* kPhoneSizes[] = {"390x844", "844x390", "320x390"};
constexpr const char* kTabletSizes[] = {"768x1024", "1024x768"};

// The dump's rectangles of controls, by the name it gives them ([x, y, width, height] in
// the window), and its points (a control's centre).
constexpr std::string_view kRectNames[] = {"rect", "leave", "menuRect", "graph", "done", "calculate", "keypad",
                                           "form", "tests", "share", "title", "pooled", "table", "list", "cancel"};
constexpr std::string_view kPointNames[] = {"firstRow", "lastRow", "step", "run", "quit", "debug"};

bool named(std::string_view name, const auto& names)
{
    for (std::string_view n : names)
        if (n == name)
            return true;
    return false;
}

bool numbers(const json& value, std::size_t count)
{
    if (!value.is_array() || value.size() != count)
        return false;
    for (const json& n : value)
        if (!n.is_number())
            return false;
    return true;
}

// Every rectangle and point the dump gives for a control, as [x, y, width, height] (a
// point's width and height are 1).
void collect(const json& value, std::string_view name, std::vector<std::array<int, 4>>& out)
{
    if (numbers(value, 4) && (named(name, kRectNames) || name == "keyRow")) {
        const std::array<int, 4> r{value[0].get<int>(), value[1].get<int>(), value[2].get<int>(), value[3].get<int>()};
        if (r[2] > 0 && r[3] > 0)
            out.push_back(r);
        return;
    }
    if (numbers(value, 2) && named(name, kPointNames)) {
        out.push_back({value[0].get<int>(), value[1].get<int>(), 1, 1});
        return;
    }
    if (value.is_object()) {
        for (const auto& [key, item] : value.items())
            collect(item, key, out);
    } else if (value.is_array()) {
        // The items of a list keep the list's name (the key row's rectangles).
        for (const json& item : value)
            collect(item, name, out);
    }
}

// The member of an object the dump gives; null when it has none (or is none).
const json& member(const json& object, const char* key)
{
    static const json none;
    if (!object.is_object())
        return none;
    const auto found = object.find(key);
    return found == object.end() ? none : *found;
}

// A tap at a point the dump gives ([x, y]).
std::string tapAt(const json& point)
{
    return "tap " + std::to_string(point[0].get<int>()) + " " + std::to_string(point[1].get<int>()) + "\n";
}

} // namespace

// The phone and the tablet walk apart from the same seed (seed_seq's mixing is fixed too).
RandomWalk::RandomWalk(std::uint32_t seed, bool tablet) : tablet_(tablet)
{
    std::seed_seq seeds{seed, tablet ? 1u : 0u};
    random_.seed(seeds);
}

std::string RandomWalk::programs()
{
    return "program WS\n5->B\nend\n"
           "program WD\nB+1->B\nDisp \"RUN\"\nend\n"
           "program WI\nInput \"X=\",X\nDisp X*2\nend\n"
           "program WP\nPrompt N\nDisp N\nend\n"
           "program WM\nMenu(\"PICK\",\"ONE\",A,\"TWO\",B)\nLbl A\nDisp \"GOT A\"\nStop\nLbl B\nDisp \"GOT B\"\nend\n"
           "program WA\nDisp 1\nPause\nDisp 2\nend\n"
           "program WG\nClrDraw\nLine(0,0,1,1)\nDispGraph\nend\n"
           "program WK\n0->K\nRepeat K\ngetKey->K\nEnd\nDisp K\nend\n"
           "program WE\n1/0\nend\n";
}

std::string RandomWalk::options(bool tablet) { return tablet ? "--device tablet" : "--device phone"; }

std::uint32_t RandomWalk::below(std::uint32_t n)
{
    // The values of mt19937 fill 32 bits; those past the last whole multiple of n are drawn
    // again, so that every remainder is as likely.
    const std::uint64_t range = std::uint64_t(1) << 32;
    const std::uint64_t limit = range - range % n;
    std::uint64_t x = random_();
    while (x >= limit)
        x = random_();
    return static_cast<std::uint32_t>(x % n);
}

std::string RandomWalk::key()
{
    const std::uint32_t layer = below(10);
    const std::string shift = layer < 2 ? "key 2ND\n" : layer < 3 ? "key ALPHA\n" : "";
    return shift + "key " + pick(kKeys) + "\n";
}

std::string RandomWalk::chord() { return std::string("hkey ") + pick(kChords) + "\n"; }

std::string RandomWalk::entry(bool keys)
{
    const std::string text = below(10) < 7 ? std::string("prgm") + pick(kPrograms) : std::string(pick(kEntries));
    std::string after = pick(kAfterEntry);
    if (!keys && after.starts_with("key "))
        after = after == "key DOWN\n" ? "hkey Down\n" : "hkey Return\n";
    return "type " + text + "\n" + after;
}

std::string RandomWalk::tap(const json& shown)
{
    std::vector<std::string> captions;
    for (const json& alert : shown.value("alerts", json::array()))
        for (const json& caption : alert["buttons"])
            captions.push_back(caption.get<std::string>());
    // With an alert open only its buttons take anything.
    const bool alert = !captions.empty();
    if (!alert)
        for (const json& caption : shown.value("buttons", json::array()))
            captions.push_back(caption.get<std::string>());
    std::vector<std::array<int, 4>> rects;
    if (!alert)
        collect(shown, "", rects);
    if (captions.empty() && rects.empty())
        return {};
    if (rects.empty() || (!captions.empty() && (alert || below(5) < 2)))
        return "press? " + captions[below(static_cast<std::uint32_t>(captions.size()))] + "\n";
    const std::array<int, 4>& r = rects[below(static_cast<std::uint32_t>(rects.size()))];
    const int x = r[0] + static_cast<int>(below(static_cast<std::uint32_t>(r[2])));
    const int y = r[1] + static_cast<int>(below(static_cast<std::uint32_t>(r[3])));
    return "tap " + std::to_string(x) + " " + std::to_string(y) + "\n";
}

bool RandomWalk::keysShown(const json& shown)
{
    // The calculator's keys are drawn, or an open menu takes them as its keypad; under a
    // full-size screen only its own controls and the computer's keys are there.
    return !shown.value("keyboard", json()).is_null() || shown.value("overlay", "") == "Menu";
}

bool RandomWalk::mayOpen(const json& shown)
{
    // As the app asks for a screen: never while an alert is open or a full-size screen or
    // a view over the window is in front (the root controller's, which only its own
    // controls leave), nor while the debugger holds a run in the editor (only the run asks
    // then).
    const int front = shown["top"].value("id", 0);
    return front < kDebugger && front != kGraph && front != kPeriodicTable && front != kStatTests && front != kGeometry
        && !(front == kProgramEditor && member(member(shown, "editor"), "debug") == true)
        && shown.value("alerts", json::array()).empty();
}

bool RandomWalk::fits(const std::string& step, const json& shown)
{
    std::istringstream lines(step);
    for (std::string line; std::getline(lines, line);)
        if ((line.starts_with("key ") && !keysShown(shown)) || (line.starts_with("open ") && !mayOpen(shown))
            || (line == "wait idle" && shown.value("running", true)) || (line == "tap leave" && shown["top"]["leave"].is_null()))
            return false;
    return true;
}

std::optional<int> RandomWalk::ending(const std::string& step)
{
    if (step == "close\n")
        return 0;
    for (const auto& [name, number] :
         {std::pair("TERM", SIGTERM), std::pair("INT", SIGINT), std::pair("HUP", SIGHUP), std::pair("KILL", SIGKILL)})
        if (step == std::string("signal ") + name + "\n")
            return number;
    return std::nullopt;
}

std::string RandomWalk::door(const json& shown, bool keys)
{
    const std::uint32_t way = below(10);
    if (way < 4) {
        // A menu, maybe another of its tabs, a row by its number or ENTER, and maybe a row
        // of the menu that row opens (APPS 1 1: the TVM solver).
        std::string lines = keys ? pick(kMenuKeys) : std::string("hkey ") + pick(kMenuChords) + "\n";
        for (std::uint32_t tabs = below(3); tabs > 0; --tabs)
            lines += keys ? (below(3) ? "key RIGHT\n" : "key LEFT\n") : (below(3) ? "hkey Right\n" : "hkey Left\n");
        for (std::uint32_t rows = 1 + below(2); rows > 0; --rows) {
            const std::uint32_t row = below(7);
            lines += row == 0 ? (keys ? "key ENTER\n" : "hkey Return\n") : (keys ? "key " : "hkey ") + std::to_string(row) + "\n";
        }
        return lines;
    }
    if (way < 6 && keys)
        return pick(kScreenKeys);
    if (way < 8)
        return std::string("hkey ") + pick(kScreenChords) + "\n";
    if (std::string lines = tap(shown); !lines.empty())
        return lines;
    return std::string("hkey ") + pick(kScreenChords) + "\n";
}

std::string RandomWalk::back(const json& shown, bool keys)
{
    const std::uint32_t way = below(6);
    if (way < 2 && keys)
        return pick(kBackKeys);
    if (way < 3 && !shown["top"]["leave"].is_null())
        return "tap leave\n";
    return pick(kBackChords);
}

std::string RandomWalk::end() { return pick(kEndings); }

std::string RandomWalk::debugStep(const json& shown)
{
    const json& editor = member(shown, "editor");
    const json& debugger = member(shown, "debugger");
    switch (debugging_) {
    case Debugging::None:
        break;
    case Debugging::Editor:
        if (shown["top"].value("id", -1) == kProgramEditor && member(editor, "program") == debugged_
            && member(editor, "debug") == false && numbers(member(member(editor, "controls"), "debug"), 2)) {
            debugging_ = Debugging::Debugger;
            return tapAt(editor["controls"]["debug"]);
        }
        break;
    case Debugging::Debugger: {
        const json& text = member(debugger, "text");
        const json& controls = member(debugger, "controls");
        const json& lines = member(editor, "lines");
        if (!numbers(text, 4) || !numbers(member(controls, "run"), 2) || !numbers(member(controls, "step"), 2))
            break;
        const std::uint32_t way = below(6);
        if (way == 0 && lines.is_array() && !lines.empty()) {
            // A breakpoint (or one taken away) by a tap in the margin beside a line.
            const auto line = below(static_cast<std::uint32_t>(lines.size()));
            return "tap " + std::to_string(text[0].get<int>() + 3) + " "
                + std::to_string(text[1].get<int>() + static_cast<int>((line + 0.5) * text[2].get<double>())) + "\n";
        }
        if (way < 3) {
            debugging_ = Debugging::None;
            return tapAt(controls["run"]);
        }
        // Step, by its control or the s key, up to three times.
        debugging_ = Debugging::Stepping;
        stepsLeft_ = static_cast<int>(below(3));
        return way == 3 ? tapAt(controls["step"]) : "hkey s\n";
    }
    case Debugging::Stepping:
        if (const json& step = member(member(debugger, "controls"), "step"); stepsLeft_-- > 0 && numbers(step, 2))
            return below(2) ? tapAt(step) : "hkey s\n";
        break;
    }
    debugging_ = Debugging::None;
    return {};
}

std::string RandomWalk::step(const json& shown)
{
    if (debugging_ != Debugging::None)
        if (std::string lines = debugStep(shown); !lines.empty())
            return lines;
    const bool keys = keysShown(shown);
    const bool running = shown.value("running", true);
    const bool alert = !shown.value("alerts", json::array()).empty();
    const std::uint32_t kind = below(100);
    if (shown.value("waiting", false) && !alert) {
        // A run waits for its answer: screens opened over it and left, typing wherever the
        // user is, and the app ended meanwhile. With the question in front (on the output
        // screen, or in the editor the debugger steps in) the walk mostly goes elsewhere, so
        // that screens open while the run waits.
        const int front = shown["top"].value("id", -1);
        const bool asked = front == kProgramOutput || (front == kProgramEditor && member(member(shown, "editor"), "debug") == true);
        const std::uint32_t doors = asked ? 45 : 20, backs = doors + (asked ? 5 : 30);
        if (kind < doors)
            return door(shown, keys);
        if (kind < backs)
            return back(shown, keys);
        if (kind < backs + 15)
            return below(2) ? entry(keys) : "type " + std::to_string(below(10)) + "\n" + (keys ? "key ENTER\n" : "hkey Return\n");
        if (kind < backs + 24)
            return keys ? key() : chord();
        if (kind < backs + 33)
            if (std::string lines = tap(shown); !lines.empty())
                return lines;
        if (kind < backs + 37)
            return chord();
        if (kind < backs + 42)
            return end();
        return below(2) ? std::string("size ") + (tablet_ ? pick(kTabletSizes) : pick(kPhoneSizes)) + "\n" : "wait 50\n";
    }
    if (kind < 2)
        return end();
    if (kind < 27)
        return keys ? key() : chord();
    if (kind < 40)
        return chord();
    if (kind < 52) {
        if (std::string lines = tap(shown); !lines.empty())
            return lines;
        return keys ? key() : chord();
    }
    if (kind < 64)
        return entry(keys);
    if (kind < 72 && keys && !running && !alert && !shown.value("waiting", false) && mayOpen(shown)) {
        // A walk program opened in the editor, to be run or stepped in its debugger.
        debugged_ = pick(kDebugged);
        debugging_ = Debugging::Editor;
        std::string lines = "key PRGM\nkey RIGHT\nhkey w\n";
        for (const char* name : kListed) {
            if (debugged_ == name)
                break;
            lines += "hkey Down\n";
        }
        return lines + "hkey Return\n";
    }
    if (kind < 78)
        return door(shown, keys);
    if (kind < 83 && !screens_.empty() && mayOpen(shown))
        return "open " + std::to_string(screens_[below(static_cast<std::uint32_t>(screens_.size()))]) + "\n";
    if (kind < 86)
        return std::string("size ") + (tablet_ ? pick(kTabletSizes) : pick(kPhoneSizes)) + "\n";
    if (below(2) == 0 && !running)
        return "wait idle\n";
    return "wait 50\n";
}

} // namespace orvenda::test
