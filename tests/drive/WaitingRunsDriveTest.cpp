// A program belongs to the home screen's line: typed in a field it is refused, and a run
// that waits for its question keeps it wherever the user goes meanwhile.

#include "drive/DriveSession.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using nlohmann::json;
using orvenda::test::DriveRun;
using orvenda::test::driveScript;
using orvenda::test::driveScriptsAtOnce;
using orvenda::test::endedWithDumps;
using orvenda::test::fieldScreens;
using orvenda::test::lastItem;

// Programs of every kind a field could call; each first counts its runs in B.
const std::vector<std::pair<std::string, std::string>> kCalled{
    {"PS", ""}, {"PW", "Disp \"RUN\"\n"}, {"PI", "Input \"X=\",X\nDisp X*2\n"}, {"PP", "Prompt X\n"},
    {"PZ", "Pause \n"}, {"PD", "Line(0,0,1,1)\nDispGraph \n"}, {"PL", "While 1\nEnd\n"},
    {"PK", "Repeat K\ngetKey→K\nEnd\n"}, {"PE", "1/0\n"}};

const char* const kQuit = "key 2ND\nkey MODE\nwait idle\n";

std::string programs(const std::vector<std::pair<std::string, std::string>>& list)
{
    std::string text;
    for (const auto& [name, body] : list)
        text += "program " + name + "\nB+1→B\n" + body + "end\n";
    return text;
}

} // namespace

// A program called from any field, by ENTER, DOWN or leaving the screen, is refused where it
// was typed: nothing runs (B stays 0), nothing recurses, the field's screen stays in front
// with a calculator error, or the home screen when it was left; and the next line works.
TEST(WaitingRunsDrive, AProgramCalledFromAFieldIsRefusedWhereverItIsTyped)
{
    const std::vector<int> screens = fieldScreens();
    ASSERT_GE(screens.size(), 12u);
    const std::vector<std::pair<std::string, std::string>> ways{
        {"ENTER", "key ENTER\n"}, {"DOWN", "key DOWN\n"}, {"leaving", kQuit}, {"Escape leaving", "hkey Escape\n"}};
    std::string script = programs(kCalled);
    std::vector<std::string> cases;
    for (int screen : screens)
        for (const auto& [name, body] : kCalled)
            for (const auto& [way, keys] : ways) {
                script += "open " + std::to_string(screen) + "\nwait idle\ntype prgm" + name + "\n" + keys
                    + "wait idle\ndump\npress? OK\nwait idle\nkey CLEAR\n";
                cases.push_back("screen " + std::to_string(screen) + ", prgm" + name + ", " + way);
            }
    script += std::string(kQuit) + "hkey Escape\nwait idle\n" + kQuit + "type B\nkey ENTER\ntype 1+1\nkey ENTER\nwait idle\ndump\n";
    const DriveRun run = driveScript(script, "", 240);
    ASSERT_TRUE(endedWithDumps(run, cases.size() + 1));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const json& d = run.dumps[i];
        const bool left = cases[i].ends_with("leaving");
        // Escape leaves a form for the home screen; elsewhere it is the screen's own key.
        if (cases[i].ends_with("Escape leaving")) {
            EXPECT_NE(d["screen"], 11) << cases[i];
            EXPECT_TRUE(d["output"].empty()) << cases[i];
            continue;
        }
        EXPECT_EQ(d["screen"], left ? 0 : std::stoi(cases[i].substr(7))) << cases[i];
        for (const json& alert : d["alerts"])
            EXPECT_EQ(alert["title"], "Calc Error") << cases[i];
        EXPECT_TRUE(d["output"].empty()) << cases[i];
    }
    const json& last = run.dumps.back();
    ASSERT_GE(last["history"].size(), 2u);
    EXPECT_EQ(last["history"][last["history"].size() - 2]["answer"], "0");
    EXPECT_EQ(lastItem(last), "1+1 → 2");
}

namespace {

// ZI asks; BQ's button asks the same from its label.
const std::string kAsking = "program ZI\nInput \"X=\",X\nDisp X*2\nend\n"
                            "program BQ\nFnOff \nButton(10,60,120,\"GO\",\"P\")\nDispGraph\nStop\nLbl P\n"
                            "Input \"X=\",X\nDisp X*2\nend\n";

// A way a run starts that then waits at the question "X=" with nothing typed; debugged,
// the debugger runs it and asks it in the program editor.
struct Starter {
    std::string name;
    std::string lines;
    std::string program;
    bool debugged = false;
    // What answers the question and runs the program on to its end.
    std::string answer = "key ENTER\nwait idle\n";
    // The history items the start left (the call that showed the graph and its button).
    std::size_t items = 0;
};

// A control of a dump ([x, y], or a rectangle's centre) as a tap.
std::string tapAt(const json& at)
{
    const bool rect = at.size() == 4;
    return "tap " + std::to_string(at[0].get<int>() + (rect ? at[2].get<int>() / 2 : 0)) + " "
        + std::to_string(at[1].get<int>() + (rect ? at[3].get<int>() / 2 : 0)) + "\n";
}

// The entry line, PRGM's EXEC, a graph button's label, and the debugger's Run and Step: the
// debugger's controls where the window of these options draws them.
std::vector<Starter> starters(const std::string& options, bool debuggedOnly)
{
    const std::string editor = "key PRGM\nkey RIGHT\nhkey z\nhkey Return\nwait idle\n";
    const DriveRun opened = driveScript(kAsking + editor + "dump\n", options);
    if (!endedWithDumps(opened, 1))
        return {};
    const std::string debug = editor + tapAt(opened.dumps[0]["editor"]["controls"]["debug"]) + "wait idle\n";
    const DriveRun shown = driveScript(kAsking + debug + "dump\n", options);
    if (!endedWithDumps(shown, 1) || !shown.dumps[0]["debugger"].is_object())
        return {};
    const std::string run = tapAt(shown.dumps[0]["debugger"]["controls"]["run"]) + "wait idle\n";
    // A stepped question answered, the debugger stands at the next statement: Run goes on.
    std::vector<Starter> found{{"debugger's Run", debug + run, "ZI", true},
                               {"debugger's Step", debug + "hkey s\nwait idle\n", "ZI", true, "key ENTER\nwait idle\n" + run}};
    if (!debuggedOnly) {
        found.push_back({"entry line", "type prgmZI\nkey ENTER\nwait idle\n", "ZI"});
        found.push_back({"EXEC", "key PRGM\nwait idle\nhkey z\nhkey Return\nwait idle\nkey ENTER\nwait idle\n", "ZI"});
        found.push_back({"label", "type prgmBQ\nhkey Return\nwait idle\npress GO\nwait idle\n", "BQ", false,
                         "key ENTER\nwait idle\n", 1});
    }
    return found;
}

// Every way a screen or overlay opens: by its id as the app asks for it, by a key
// operation of the keyboard's table (1024 on) and by a computer chord; only those that
// open something in front of the home screen are kept, with what they show.
struct Opener {
    std::string keys;
    // The calculator keyboard is in reach (no full-size screen or overlay covers it).
    bool keyboard = false;
    bool leave = false;
    std::string title;
    // A menu or a menu's row: what opens from the debugger's question (nothing else
    // opens over the debugger).
    bool fromDebugger = false;
    // The Escapes that lead home: a page or a menu's list opened from another closes first.
    int escapes = 1;
};

std::string opCode(int op)
{
    const char* digits = "0123456789ABCDEF";
    return std::string("0x") + digits[op / 4096 % 16] + digits[op / 256 % 16] + digits[op / 16 % 16] + digits[op % 16];
}

// The ways tried, each kept when it opened something: its dump shows another screen in
// front of the home screen.
std::vector<Opener> keptOpeners(const std::vector<std::pair<std::string, bool>>& tried)
{
    constexpr const char* kHome = "press? OK\npress? Cancel\nopen 0\nwait idle\nkey CLEAR\n";
    // First what opens something, side by side in parts; then, for those, how many Escapes
    // lead home.
    constexpr std::size_t kParts = 4;
    std::vector<std::string> scripts(kParts);
    for (std::size_t i = 0; i < tried.size(); ++i)
        scripts[i % kParts] += tried[i].first + "wait idle\ndump\nhkey Escape\nwait idle\n" + kHome;
    const std::vector<DriveRun> runs = driveScriptsAtOnce(scripts, "", 240);
    std::vector<std::size_t> opening;
    std::vector<json> shown;
    for (std::size_t i = 0; i < tried.size(); ++i) {
        const DriveRun& run = runs[i % kParts];
        if (i / kParts < run.dumps.size() && run.dumps[i / kParts]["top"]["id"] != 0) {
            opening.push_back(i);
            shown.push_back(run.dumps[i / kParts]);
        }
    }
    constexpr int kEscapes = 3;
    std::string script;
    for (std::size_t i : opening) {
        script += tried[i].first + "wait idle\n";
        for (int k = 0; k < kEscapes; ++k)
            script += "hkey Escape\nwait idle\ndump\n";
        script += kHome;
    }
    const DriveRun escaped = driveScript(script, "", 240);
    std::vector<Opener> found;
    for (std::size_t k = 0; k < opening.size() && (k + 1) * kEscapes <= escaped.dumps.size(); ++k) {
        const json& top = shown[k]["top"];
        int escapes = 0;
        while (escapes < kEscapes && escaped.dumps[k * kEscapes + static_cast<std::size_t>(escapes)]["top"]["id"] != 0)
            ++escapes;
        found.push_back({tried[opening[k]].first, !shown[k]["keyboard"].is_null() && top["id"] < 100, !top["leave"].is_null(),
                         top["title"].get<std::string>(), tried[opening[k]].second, escapes < kEscapes ? escapes + 1 : 0});
    }
    return found;
}

// Each key op pressed on the home screen, then left: its dump tells whether it opened a menu.
std::string menuProbe(const std::set<int>& ops)
{
    std::string probe;
    for (int op : ops)
        probe += "key " + opCode(op) + "\nwait idle\ndump\nhkey Escape\nwait idle\nopen 0\nwait idle\nkey CLEAR\n";
    return probe;
}

std::vector<Opener> openers()
{
    std::vector<std::pair<std::string, bool>> tried;
    const DriveRun listed = driveScript("screens\nhkeys\n");
    if (listed.dumps.size() < 2)
        return {};
    for (const json& screen : listed.dumps[0]["screens"]) {
        const int id = screen["id"].get<int>();
        // The home screens, the output itself and the debugger (which needs a program in
        // the editor) are not elsewhere.
        if (id != 0 && id != 11 && id != 100 && screen["title"] != "Debugger")
            tried.emplace_back("open " + std::to_string(id) + "\n", false);
    }
    // The editing and shift keys move within a screen; the others open one.
    const std::vector<int> editing{1030, 1031, 1032, 1033, 1034, 1035, 1036, 1037, 1038, 1039, 1040, 1041, 1042, 1043,
                                   1048, 1063, 1065, 1071, 1077, 1078};
    std::set<int> menuOps;
    for (const json& key : listed.dumps[1]["hkeys"]["keys"])
        for (const json& op : key["ops"])
            menuOps.insert(op.get<int>());
    const DriveRun menus = driveScript(menuProbe(menuOps), "", 120);
    std::vector<int> opening;
    for (std::size_t i = 0; i < menus.dumps.size(); ++i)
        if (!menus.dumps[i]["menu"].is_null())
            opening.push_back(*std::next(menuOps.begin(), static_cast<std::ptrdiff_t>(i)));
    for (int op = 1024; op <= 1080; ++op)
        if (std::find(editing.begin(), editing.end(), op) == editing.end())
            tried.emplace_back("key " + opCode(op) + "\n",
                               std::find(opening.begin(), opening.end(), op) != opening.end());
    for (const char* modifiers : {"Ctrl+", "Ctrl+Shift+"})
        for (char letter = 'A'; letter <= 'Z'; ++letter)
            tried.emplace_back(std::string("hkey ") + modifiers + letter + "\n", false);
    // Each menu a key of the keyboard opens, each tab, its rows 1 to 9 and 0: those that
    // open something other than a menu (a row past the last leaves the menu open, and a
    // list of names is another menu: their ways back are the menu's).
    const std::size_t rows = tried.size();
    for (int op : opening)
        for (int tab = 0; tab < 4; ++tab)
            for (const char* row : {"1", "2", "3", "4", "5", "6", "7", "8", "9", "0"}) {
                std::string keys = "key " + opCode(op) + "\n";
                for (int t = 0; t < tab; ++t)
                    keys += "key RIGHT\n";
                tried.emplace_back(keys + "key " + row + "\n", true);
            }
    std::vector<Opener> kept = keptOpeners(tried);
    std::erase_if(kept, [&](const Opener& opener) {
        const auto at = std::find_if(tried.begin(), tried.end(), [&](const auto& t) { return t.first == opener.keys; });
        return at - tried.begin() >= static_cast<std::ptrdiff_t>(rows) && opener.title == "Menu";
    });
    return kept;
}

// The ways back home from what an opener showed. Beside the debugger the screen on top is
// the debugger's: its leave control is not the way back from what the left half shows.
std::vector<std::pair<std::string, std::string>> backs(const Opener& opener, bool besideDebugger)
{
    std::vector<std::pair<std::string, std::string>> found;
    if (opener.escapes > 0) {
        std::string keys;
        for (int k = 0; k < opener.escapes; ++k)
            keys += "hkey Escape\nwait idle\n";
        found.emplace_back("Escape", keys);
    }
    // Done leaves a page or a menu's list for the one under it.
    if (opener.leave && opener.escapes == 1 && !besideDebugger)
        found.emplace_back("Done", "tap leave\n");
    if (opener.keyboard) {
        found.emplace_back("QUIT", "key 2ND\nkey MODE\n");
        found.emplace_back("Home", "key 0x1015\n");
        found.emplace_back("Ctrl+H", "hkey Ctrl+H\n");
        found.emplace_back("Ctrl+Q", "hkey Ctrl+Q\n");
    }
    return found;
}

// The question is in front where its run asks it, with what was typed for it.
::testing::AssertionResult asksInSight(const json& d, const Starter& starter, const std::string& typed)
{
    const bool debugger = d["screen"] == 2 && (d["top"]["id"] == 2 || d["top"]["id"] == 109);
    const bool inFront = starter.debugged ? debugger : d["top"]["id"] == 11;
    if (inFront && d["waiting"] == true && d["entry"] == typed && !d["output"].empty() && d["output"].back() == "X=" + typed)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "screen " << d["screen"] << ", top " << d["top"] << ", entry " << d["entry"]
                                         << ", output " << d["output"] << ", waiting " << d["waiting"];
}

} // namespace

// A run waits at its question, however it was started (the entry line, PRGM's EXEC, a graph
// button's label, the debugger's Run and Step, at the phone's two shapes): every screen and
// overlay the user opens meanwhile (by id, key, chord or a menu's row; from the debugger
// those its menus open), left by every way back home (Escape, its Done, QUIT, the Home key,
// Ctrl+H, Ctrl+Q), brings the question back in front with what was typed for it, nothing
// answered out of sight; the answer then leaves the run's one item.
TEST(WaitingRunsDrive, EveryRoadBackBringsTheQuestionWhoeverStartedTheRun)
{
    const std::vector<Opener> ways = openers();
    ASSERT_GE(ways.size(), 100u);
    struct Case {
        std::string where;
        Starter starter;
        // What is typed for the question when the user is back.
        std::string typed;
    };
    std::vector<std::string> scripts;
    std::vector<std::string> options;
    std::vector<std::vector<Case>> chunks;
    for (const std::string size : {"390x844", "844x390"}) {
        const std::vector<Starter> all = starters("--size " + size, size != "390x844");
        ASSERT_EQ(all.size(), size == "390x844" ? 5u : 2u) << size;
        for (const Starter& starter : all) {
            // A run answers every few cases, so that a road that lost its question is told
            // once, not again for every case after it.
            std::vector<Case> chunk;
            std::string script;
            const auto flush = [&] {
                if (chunk.empty())
                    return;
                scripts.push_back(kAsking + starter.lines + script + "key CLEAR\ntype 41\n" + starter.answer + "dump\n");
                options.push_back("--size " + size);
                chunks.push_back(std::move(chunk));
                chunk.clear();
                script.clear();
            };
            for (const Opener& opener : ways) {
                // The debugger's own screen is not elsewhere.
                if (starter.debugged && (!opener.fromDebugger || opener.title == "Program editor"))
                    continue;
                for (const auto& [back, keys] : backs(opener, starter.debugged && size == "844x390")) {
                    script += "key CLEAR\ntype 4\n" + opener.keys + "wait idle\n" + keys + "wait idle\ndump\n";
                    std::string opened = opener.keys.substr(0, opener.keys.size() - 1);
                    std::replace(opened.begin(), opened.end(), '\n', ';');
                    // The key-set catalogue's Done empties the line, as it always does.
                    chunk.push_back({starter.name + " at " + size + ", " + opened + ", back by " + back, starter,
                                     opener.title == "User keys" && back == "Done" ? "" : "4"});
                    if (chunk.size() == 40)
                        flush();
                }
            }
            flush();
        }
    }
    std::vector<DriveRun> runs(scripts.size());
    for (std::size_t first = 0; first < scripts.size(); first += 8) {
        std::map<std::string, std::vector<std::size_t>> byOptions;
        for (std::size_t i = first; i < std::min(first + 8, scripts.size()); ++i)
            byOptions[options[i]].push_back(i);
        for (const auto& [option, indices] : byOptions) {
            std::vector<std::string> batch;
            for (std::size_t i : indices)
                batch.push_back(scripts[i]);
            std::vector<DriveRun> done = driveScriptsAtOnce(batch, option, 300);
            for (std::size_t k = 0; k < indices.size(); ++k)
                runs[indices[k]] = std::move(done[k]);
        }
    }
    for (std::size_t c = 0; c < chunks.size(); ++c) {
        ASSERT_TRUE(endedWithDumps(runs[c], chunks[c].size() + 1)) << chunks[c].front().where;
        // The first road that lost the question is told: the cases after it start without one.
        bool held = true;
        for (std::size_t i = 0; i < chunks[c].size() && held; ++i) {
            const json& d = runs[c].dumps[i];
            const ::testing::AssertionResult inSight = asksInSight(d, chunks[c][i].starter, chunks[c][i].typed);
            EXPECT_TRUE(inSight) << chunks[c][i].where;
            const std::size_t items = chunks[c][i].starter.items;
            EXPECT_EQ(d["history"].size(), items) << chunks[c][i].where << ": " << lastItem(d);
            held = inSight && d["history"].size() == items;
        }
        if (!held)
            continue;
        const json& answered = runs[c].dumps.back();
        EXPECT_EQ(lastItem(answered), "prgm»" + chunks[c].front().starter.program + " → X=41/82/Done") << chunks[c].front().where;
        EXPECT_EQ(answered["history"].size(), chunks[c].front().starter.items + 1) << chunks[c].front().where;
    }
}

namespace {

// What a field screen's dump tells of its own state: everything but the run's, the
// keyboard's and the window's.
json fieldState(const json& dump)
{
    static const std::set<std::string> others{"output", "programOutput", "waiting", "running", "history", "editor",
                                              "debugger", "keys", "typing", "textFields", "overlays", "buttons",
                                              "drawn", "top", "shift", "error", "keyboard", "unreachable", "rowsOutOfView"};
    json state = json::object();
    for (const auto& [key, value] : dump.items())
        if (!others.contains(key))
            state[key] = value;
    return state;
}

} // namespace

// While a run waits at Input or Prompt (from the entry line, or the debugger's Run), or at a
// Pause, every screen whose line fills a field takes 5 typed there with ENTER or DOWN as it
// does with no run waiting; the question keeps waiting, comes back empty on the way home, and
// takes the next answer: the run's one item, after the statistics wizard's Calculate has
// taken the user home (the pause goes on with its ENTER).
TEST(WaitingRunsDrive, AFieldInFrontTakesWhatIsTypedThere)
{
    const std::vector<int> screens = fieldScreens();
    ASSERT_GE(screens.size(), 12u);
    std::string cases;
    std::vector<std::string> names;
    for (int screen : screens)
        for (const char* key : {"ENTER", "DOWN"}) {
            cases += "open " + std::to_string(screen) + "\nwait idle\ntype 5\nkey " + key + "\nwait idle\ndump\npress? OK\n"
                + "key 2ND\nkey MODE\nwait idle\npress? OK\nwait idle\ndump\n";
            names.push_back("screen " + std::to_string(screen) + ", " + key);
        }
    const std::string prompting = "program ZP\nPrompt X\nDisp X*2\nend\nprogram ZW\nPause \nDisp 7\nend\n";
    const std::vector<Starter> debugged = starters("", true);
    ASSERT_FALSE(debugged.empty());
    const std::vector<std::pair<std::string, std::string>> waits{
        {"Input", "type prgmZI\nkey ENTER\nwait idle\n"},
        {"Prompt", "type prgmZP\nkey ENTER\nwait idle\n"},
        {"the debugger's Input", debugged[0].lines},
        {"Pause", "type prgmZW\nkey ENTER\nwait idle\n"}};
    std::vector<std::string> scripts{kAsking + prompting + cases};
    for (const auto& [what, start] : waits)
        // The statistics wizard's Calculate goes home too: its command is no answer.
        scripts.push_back(kAsking + prompting + start + cases
                          + (what == "Pause" ? "key ENTER\nwait idle\ndump\n"
                                             : "key STAT\nkey RIGHT\nkey 1\nwait idle\npress Calculate\nwait idle\n"
                                               "type 1\nkey ENTER\nwait idle\ndump\n"));
    const std::vector<DriveRun> runs = driveScriptsAtOnce(scripts, "", 300);
    ASSERT_TRUE(endedWithDumps(runs[0], 2 * names.size()));
    for (std::size_t w = 0; w < waits.size(); ++w) {
        const auto& [what, start] = waits[w];
        const DriveRun& run = runs[w + 1];
        ASSERT_TRUE(endedWithDumps(run, 2 * names.size() + 1)) << what;
        const Starter asker{what, start, what == "Prompt" ? "ZP" : "ZI", w == 2};
        for (std::size_t i = 0; i < names.size(); ++i) {
            EXPECT_EQ(fieldState(run.dumps[2 * i]), fieldState(runs[0].dumps[2 * i])) << what << ", " << names[i];
            EXPECT_TRUE(run.dumps[2 * i]["history"].empty()) << what << ", " << names[i] << ": " << lastItem(run.dumps[2 * i]);
            const json& back = run.dumps[2 * i + 1];
            if (what == "Prompt") {
                EXPECT_EQ(back["top"]["id"], 11) << names[i];
                EXPECT_EQ(back["output"].back(), "X=?") << names[i];
            } else if (what == "Pause") {
                EXPECT_EQ(back["top"]["id"], 11) << names[i];
                EXPECT_EQ(back["waiting"], true) << names[i];
                EXPECT_TRUE(back["output"].empty()) << names[i] << ": " << back["output"];
            } else {
                EXPECT_TRUE(asksInSight(back, asker, "")) << what << ", " << names[i];
            }
        }
        const std::string item = what == "Prompt" ? "prgm»ZP → X=?1/2/Done"
            : what == "Pause"                   ? "prgm»ZW → 7/Done"
                                                : "prgm»ZI → X=1/2/Done";
        EXPECT_EQ(lastItem(run.dumps.back()), item) << what;
        EXPECT_EQ(run.dumps.back()["history"].size(), 1u) << what;
    }
}

// The graph's value form (a traced plot's variable) and its Calc sheet take every key typed
// there while a run waits at a question asked on the output or at a pause over the graph,
// as they do with no run waiting; the question and the pause keep waiting for their own
// keys.
TEST(WaitingRunsDrive, TheGraphsFormsKeepTheirKeysWhileARunWaits)
{
    const std::string programs = "program ZQ\nInput \"Q?\",B\nDisp B\nend\n"
                                 "program BW\nButton(10,60,120,\"GO\",\"P\")\nDispGraph\nStop\nLbl P\nPause \nDisp 7\nend\n";
    const std::string curve = "key Y=\ntype X²-4\nkey 2ND\nkey MODE\nwait idle\n";
    const std::string forms = "key 0x403\nwait idle\npress X\nwait idle\npress 0\nwait idle\nhkey 5\nhkey 6\nhkey Down\nhkey 2\n"
                              "hkey Return\nwait idle\ndump\nhkey Escape\nwait idle\nkey 0x403\nwait idle\npress Calc\nwait idle\n"
                              "hkey 3\nwait idle\ndump\nhkey Escape\nwait idle\n";
    const std::vector<std::string> scripts{
        programs + curve + "key GRAPH\nwait idle\n" + forms,
        programs + curve + "type prgmZQ\nkey ENTER\nwait idle\nkey GRAPH\nwait idle\n" + forms
            + "hkey Escape\nwait idle\ndump\ntype 4\nkey ENTER\nwait idle\ndump\n",
        programs + curve + "type prgmBW\nkey ENTER\nwait idle\npress GO\nwait idle\n" + forms
            + "dump\npress Continue\nwait idle\ndump\n"};
    const std::vector<DriveRun> runs = driveScriptsAtOnce(scripts, "", 120);
    ASSERT_TRUE(endedWithDumps(runs[0], 2));
    ASSERT_TRUE(endedWithDumps(runs[1], 4));
    ASSERT_TRUE(endedWithDumps(runs[2], 4));
    const json& slider = runs[0].dumps[0]["calcSheet"]["fields"];
    ASSERT_EQ(slider[0], json({{"label", "X="}, {"shown", "56"}}));
    for (std::size_t r = 1; r < runs.size(); ++r) {
        EXPECT_EQ(runs[r].dumps[0]["calcSheet"]["fields"], slider) << r;
        EXPECT_EQ(runs[r].dumps[0]["top"]["id"], 8) << r;
        EXPECT_EQ(runs[r].dumps[1]["calcSheet"]["fields"], runs[0].dumps[1]["calcSheet"]["fields"]) << r;
        EXPECT_EQ(runs[r].dumps[1]["top"]["id"], 8) << r;
    }
    // The question in front again, untouched, takes its answer; the pause its Continue.
    EXPECT_EQ(runs[1].dumps[2]["top"]["id"], 11);
    EXPECT_EQ(runs[1].dumps[2]["output"], json::array({"Q?"}));
    EXPECT_EQ(lastItem(runs[1].dumps[3]), "prgm»ZQ → Q?4/4/Done");
    EXPECT_TRUE(runs[2].dumps[2]["pauseBar"].is_array());
    EXPECT_EQ(lastItem(runs[2].dumps[3]), "prgm»BW → 7/Done");
}

// An answer is a value: a program call typed as the answer is refused at its token ("Invalid")
// and the question keeps waiting, whatever the program called would do (write, pause, show a
// menu); a string holding the token is a value, in a field too. An answer the program cannot
// take ends the run as that program's error, with one item named for it, under the debugger's
// Run too, whose Escape afterwards adds none.
TEST(WaitingRunsDrive, AnAnswerIsAValueAndItsErrorIsTheProgramsOwn)
{
    const std::string programs = kAsking + "program QN\nInput X\nDisp X\nend\nprogram QA\nDisp \"A\"\nend\n"
                                           "program QW\nPause \nend\nprogram QM\nMenu(\"T\",\"ONE\",A)\nLbl A\nend\n";
    // Typed, or inside a value: a string expr( evaluates, an equation.
    const std::vector<std::string> calls{"prgmQA", "prgmQW", "prgmQM", "expr(\"prgmQA\")", "Y₁"};
    std::string script = programs + "type \"prgmQA\"->Y₁\nkey ENTER\nwait idle\ntype prgmZI\nkey ENTER\nwait idle\n";
    for (const std::string& call : calls)
        script += "type " + call + "\nkey ENTER\nwait idle\ndump\npress OK\nwait idle\nkey CLEAR\n";
    script += "type 3\nkey ENTER\nwait idle\ndump\n";
    script += "open 7\nwait idle\ntype length(\"prgmQQ\")\nkey ENTER\nwait idle\ndump\n"
              "type expr(\"prgmQA\")\nkey ENTER\nwait idle\ndump\npress OK\nkey CLEAR\nkey 2ND\nkey MODE\nwait idle\n"
              "type expr(\"prgmQA\")\nkey ENTER\nwait idle\ndump\npress OK\nkey CLEAR\n";
    for (const char* answer : {"{1,2}", "\"AB\"", "[[1]]", "Str1"})
        script += std::string("type prgmQN\nkey ENTER\nwait idle\ntype ") + answer + "\nkey ENTER\nwait idle\ndump\npress OK\nwait idle\n";
    const std::vector<Starter> debugged = starters("", true);
    ASSERT_FALSE(debugged.empty());
    const std::string viaDebugger = programs + debugged[0].lines + "type {1,2}\nkey ENTER\nwait idle\ndump\npress OK\nwait idle\n"
                                  + "hkey Escape\nwait idle\ndump\n";
    const std::vector<DriveRun> runs = driveScriptsAtOnce({script, viaDebugger}, "", 120);
    ASSERT_TRUE(endedWithDumps(runs[0], calls.size() + 1 + 3 + 4));
    for (std::size_t i = 0; i < calls.size(); ++i) {
        const json& refused = runs[0].dumps[i];
        ASSERT_EQ(refused["alerts"].size(), 1u) << i;
        EXPECT_EQ(refused["alerts"][0]["message"], "Invalid") << i;
        EXPECT_EQ(refused["top"]["id"], 11) << i;
        EXPECT_EQ(refused["output"], json::array({"X=" + refused["entry"].get<std::string>()})) << i;
        EXPECT_EQ(refused["history"].size(), 1u) << i;
    }
    std::size_t at = calls.size();
    EXPECT_EQ(lastItem(runs[0].dumps[at]), "prgm»ZI → X=3/6/Done");
    EXPECT_EQ(runs[0].dumps[at + 1]["alerts"].size(), 0u);
    EXPECT_EQ(runs[0].dumps[at + 1]["ans"], "3");
    // A field's value, and the home line's, run no program from inside a string.
    for (std::size_t i = at + 2; i < at + 4; ++i) {
        const json& refused = runs[0].dumps[i];
        ASSERT_EQ(refused["alerts"].size(), 1u) << i;
        EXPECT_EQ(refused["alerts"][0]["message"], "Invalid") << i;
        EXPECT_EQ(refused["screen"], i == at + 2 ? 7 : 0) << i;
        EXPECT_EQ(refused["output"], json::array({"X=3", "6", "Done"})) << i;
        EXPECT_EQ(refused["history"].size(), 2u) << i;
    }
    at += 4;
    for (std::size_t i = at; i < at + 4; ++i) {
        const json& failed = runs[0].dumps[i];
        ASSERT_EQ(failed["alerts"].size(), 1u) << i;
        EXPECT_EQ(failed["alerts"][0]["title"], "Program Error") << i;
        EXPECT_TRUE(lastItem(failed).starts_with("prgm»QN → ?")) << lastItem(failed);
        EXPECT_EQ(failed["history"].size(), i - at + 3) << i;
    }
    ASSERT_TRUE(endedWithDumps(runs[1], 2));
    EXPECT_EQ(lastItem(runs[1].dumps[0]), "prgm»ZI → X={1,2}/Argument");
    EXPECT_EQ(runs[1].dumps[1]["history"].size(), 1u);
}

// Every kind of answer (a number, a list, a string, a matrix, a complex number, a store, an
// error) to Input and to Prompt gives one result whether the question came from the
// debugger's Step, its Run or the home line: the same error, the same item, the run ended
// or still asking. An answer its variable cannot take ends the run as the program's error
// ("Argument"), also when stepped and when the Prompt has more to ask; an answer that fails
// keeps the question waiting. Ans answers a list's or a string's question with its list or
// string wherever it was asked.
TEST(WaitingRunsDrive, EveryAnswerGivesOneResultWhereverTheQuestionWasAsked)
{
    const std::vector<std::pair<std::string, std::string>> answers{
        {"5", ""}, {"{1,2}", "Argument"}, {"\"AB\"", "Argument"}, {"[[1]]", "Argument"}, {"2+3ɩ̇", ""}, {"4->A", ""},
        {"1/0", "Divide by 0"}};
    const std::vector<std::pair<std::string, std::string>> questions{{"X=", "Input \"X=\",X\n"}, {"X=?", "Prompt X\n"}};
    // One program a row, named by a letter of its own, so the editor opens each by its key.
    struct Row {
        char letter;
        std::string lines, answer, error;
        // What the home line holds before the question (Ans), and the run's item once answered.
        std::string before, item;
    };
    std::vector<Row> rows;
    const auto add = [&rows](std::string lines, std::string answer, std::string error, std::string before, std::string item) {
        rows.push_back({static_cast<char>('A' + rows.size()), std::move(lines), std::move(answer), std::move(error),
                        std::move(before), std::move(item)});
    };
    for (const auto& [prompt, lines] : questions)
        for (const auto& [answer, error] : answers) {
            const std::string shown = answer == "4->A" ? "4➞A" : answer;
            const std::string value = answer == "5" ? "10" : answer == "4->A" ? "8" : "4+6ɩ̇";
            add(lines + "Disp X*2\n", answer, error, "", prompt + shown + "/" + (error.empty() ? value + "/Done" : error));
        }
    for (const char* answer : {"{1,2}", "\"AB\""})
        add("Prompt X,Y\nDisp X+Y\n", answer, "Argument", "", std::string("X=?") + answer + "/Argument");
    add("Input L₁\nDisp L₁\n", "Ans", "", "{7,8}", "?Ans/{7 8}/Done");
    add("Input Str1\nDisp Str1\n", "Ans", "", "\"HI\"", "?Ans/HI/Done");
    std::string programs;
    for (const Row& row : rows)
        programs += std::string("program ") + row.letter + "\n" + row.lines + "end\n";
    const auto editor = [](char letter) {
        return std::string("key PRGM\nkey RIGHT\nhkey ") + static_cast<char>(letter - 'A' + 'a') + "\nhkey Return\nwait idle\n";
    };
    const DriveRun opened = driveScript(programs + editor('A') + "dump\n");
    ASSERT_TRUE(endedWithDumps(opened, 1));
    const std::string debug = tapAt(opened.dumps[0]["editor"]["controls"]["debug"]) + "wait idle\n";
    const DriveRun shown = driveScript(programs + editor('A') + debug + "dump\n");
    ASSERT_TRUE(endedWithDumps(shown, 1) && shown.dumps[0]["debugger"].is_object());
    const std::string run = tapAt(shown.dumps[0]["debugger"]["controls"]["run"]) + "wait idle\n";

    // Each row: the question asked, the answer typed and entered, a dump; then the run
    // finished (a stepped one by Run) or, still asking, broken; a dump; back home.
    const std::string leaveDebugger = "press? Quit\nwait idle\npress? OK\nwait idle\n" + std::string(kQuit);
    const std::vector<std::string> ways{"debugger's Step", "debugger's Run", "home line"};
    std::vector<std::string> scripts(ways.size(), programs + "type 0->X\nkey ENTER\nwait idle\n");
    for (const Row& row : rows) {
        const bool fails = row.error == "Divide by 0";
        const std::string before = row.before.empty() ? "" : "type " + row.before + "\nkey ENTER\nwait idle\n";
        const std::string answered = "type " + row.answer + "\nkey ENTER\nwait idle\ndump\npress? OK\nwait idle\n";
        scripts[0] += before + editor(row.letter) + debug + "hkey s\nwait idle\n" + answered
            + (fails || !row.error.empty() ? "" : run) + "dump\n" + leaveDebugger;
        scripts[1] += before + editor(row.letter) + debug + run + answered + "dump\n" + leaveDebugger;
        scripts[2] += before + std::string("type prgm") + row.letter + "\nkey ENTER\nwait idle\n" + answered
            + (fails ? "key ON\nwait idle\npress? OK\nwait idle\n" : "") + "dump\nkey CLEAR\n";
    }
    const std::vector<DriveRun> runs = driveScriptsAtOnce(scripts, "", 240);
    for (std::size_t w = 0; w < ways.size(); ++w)
        ASSERT_TRUE(endedWithDumps(runs[w], 2 * rows.size())) << ways[w];
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Row& row = rows[r];
        for (std::size_t w = 0; w < ways.size(); ++w) {
            const std::string where = row.lines + " answered " + row.answer + " from the " + ways[w];
            const json& answered = runs[w].dumps[2 * r];
            const json& ended = runs[w].dumps[2 * r + 1];
            json messages = json::array();
            for (const json& alert : answered["alerts"])
                messages.push_back(alert["message"]);
            EXPECT_EQ(messages, row.error.empty() ? json::array() : json::array({row.error})) << where;
            // A failed answer keeps asking; every other ends the run (a stepped one stands at
            // its next statement until Run).
            EXPECT_EQ(answered["waiting"], row.error == "Divide by 0") << where;
            if (row.error == "Divide by 0")
                continue;
            EXPECT_EQ(lastItem(ended), "prgm»" + std::string(1, row.letter) + " → " + row.item) << where;
            EXPECT_EQ(ended["waiting"], false) << where;
        }
    }
}

namespace {

// The keys that open the debugger on a phone on its side on the program named from the
// letter, and the debugger's controls shown then (no keys when it does not open).
std::pair<std::string, json> debuggerOpened(const std::string& programs, char letter)
{
    const std::string editor = std::string("key PRGM\nkey RIGHT\nhkey ") + letter + "\nhkey Return\nwait idle\n";
    const DriveRun opened = driveScript(programs + editor + "dump\n", "--size 844x390");
    if (!endedWithDumps(opened, 1))
        return {};
    const std::string debug = editor + tapAt(opened.dumps[0]["editor"]["controls"]["debug"]) + "wait idle\n";
    const DriveRun shown = driveScript(programs + debug + "dump\n", "--size 844x390");
    if (!endedWithDumps(shown, 1))
        return {};
    return {debug, shown.dumps[0]["debugger"]["controls"]};
}

} // namespace

// Beside the debugger (a phone on its side) a stepped Prompt A,B is answered on the keys: Run
// with A typed takes it, and once B is answered the run goes on to its end as Run's. A
// stepped answer that errs leaves the line empty for the next one.
TEST(WaitingRunsDrive, RunAtASteppedQuestionRunsOnOnceItIsAnswered)
{
    const std::string programs = "program PA\nPrompt A,B\nDisp A+B\nend\n";
    const auto [debug, controls] = debuggerOpened(programs, 'p');
    ASSERT_FALSE(debug.empty());
    const std::string run = tapAt(controls["run"]);
    const DriveRun driven = driveScript(programs + debug + "hkey s\nwait idle\ntype +\nhkey s\nwait idle\ndump\npress OK\n"
                                            + "type 3\n" + run + "wait idle\ndump\ntype 4\nkey ENTER\nwait idle\ndump\n",
                                        "--size 844x390");
    ASSERT_TRUE(endedWithDumps(driven, 3));
    EXPECT_EQ(driven.dumps[0]["alerts"][0]["message"], "Syntax error");
    EXPECT_EQ(driven.dumps[0]["entry"], "");
    EXPECT_EQ(driven.dumps[1]["output"], json::array({"A=?3", "B=?"}));
    EXPECT_EQ(driven.dumps[2]["waiting"], false);
    EXPECT_EQ(lastItem(driven.dumps[2]), "prgm»PA → A=?3/B=?4/7/Done");
    EXPECT_EQ(driven.dumps[2]["debugger"]["line"], driven.dumps[2]["editor"]["lines"].size());
}

// A run's question belongs to its run. An answer that fails is the answer's error (no way to
// the program's fault while the program waits for a better one); the debugger opened on a
// program while another run waits ends that run first, with its item, and never answers its
// question; a screen opened from the debugger's stepped question has the window to itself;
// the debugger's answer line takes the computer's Backspace; an answer a called program cannot
// take leaves the item of the program the line called.
TEST(WaitingRunsDrive, TheDebuggerAsksOnlyForItsOwnRun)
{
    const std::string programs = kAsking + "program QA\nDisp \"A\"\nend\nprogram OQ\nDisp \"O\"\nprgmQN\nend\n"
                                           "program QN\nInput X\nDisp X\nend\n";
    const std::string editor = "key PRGM\nkey RIGHT\nhkey q\nhkey Return\nwait idle\n";
    const DriveRun opened = driveScript(programs + editor + "dump\n");
    ASSERT_TRUE(endedWithDumps(opened, 1));
    const std::string debugQA = editor + tapAt(opened.dumps[0]["editor"]["controls"]["debug"]) + "wait idle\n";
    const std::vector<Starter> run = starters("", true);
    const std::vector<Starter> beside = starters("--size 844x390", true);
    ASSERT_EQ(run.size(), 2u);
    ASSERT_EQ(beside.size(), 2u);
    const std::vector<DriveRun> runs = driveScriptsAtOnce(
        {programs + "type prgmZI\nkey ENTER\nwait idle\ntype 1/0\nkey ENTER\nwait idle\ndump\npress OK\nwait idle\n"
             + "key CLEAR\ntype 4\n" + debugQA + "dump\npress? OK\nwait idle\nhkey s\nwait idle\ndump\n"
             + "hkey Escape\nwait idle\nkey 2ND\nkey MODE\nwait idle\ntype prgmOQ\nkey ENTER\nwait idle\ntype {1,2}\nkey ENTER\nwait idle\ndump\n",
         programs + run[0].lines + "type 123\nhkey Backspace\nwait idle\ndump\n"},
        "", 120);
    const DriveRun aside = driveScript(programs + beside[1].lines + "key STAT\nkey RIGHT\nkey RIGHT\nkey 1\nwait idle\ndump\n"
                                           + "key 0x1015\nwait idle\ndump\n",
                                       "--size 844x390", 120);
    ASSERT_TRUE(endedWithDumps(runs[0], 4));
    const json& failed = runs[0].dumps[0];
    ASSERT_EQ(failed["alerts"].size(), 1u);
    EXPECT_EQ(failed["alerts"][0]["title"], "Calc Error");
    EXPECT_EQ(failed["alerts"][0]["buttons"], json::array({"OK"}));
    EXPECT_EQ(failed["top"]["id"], 11);
    const json& debugging = runs[0].dumps[1];
    EXPECT_EQ(lastItem(debugging), "prgm»ZI → X=/User break");
    EXPECT_EQ(debugging["waiting"], false);
    EXPECT_EQ(runs[0].dumps[2]["debugger"]["label"], "Debug:QA");
    // A step of its own ran QA to its end.
    EXPECT_EQ(runs[0].dumps[2]["history"].size(), 2u);
    EXPECT_TRUE(lastItem(runs[0].dumps[2]).starts_with("prgm»QA → A")) << lastItem(runs[0].dumps[2]);
    EXPECT_EQ(lastItem(runs[0].dumps[3]), "prgm»OQ → O/?{1,2}/Argument");
    ASSERT_TRUE(endedWithDumps(runs[1], 1));
    EXPECT_EQ(runs[1].dumps[0]["entry"], "12");
    ASSERT_TRUE(endedWithDumps(aside, 2));
    EXPECT_EQ(aside.dumps[0]["drawn"], json::array({15}));
    EXPECT_TRUE(asksInSight(aside.dumps[1], beside[1], ""));
}

// A stepped Menu( waits for its pick, whatever the debugger is asked meanwhile: Step (its
// control or s) picks the highlighted row and the debugger stands at the row's label; Run
// picks it and runs on from there. Either way the output keeps no row of the menu and the
// run leaves its one item.
TEST(WaitingRunsDrive, AStepAtASteppedMenuPicksItsRowAndStepsPastNothing)
{
    const std::string programs = "program QB\nMenu(\"T\",\"ONE\",A,\"TWO\",B)\nLbl A\nDisp \"A\"\nStop\nLbl B\nDisp \"B\"\nend\n";
    const auto [debug, controls] = debuggerOpened(programs, 'q');
    ASSERT_FALSE(debug.empty());
    const std::string toMenu = programs + debug + "hkey s\nwait idle\n";
    const std::string toEnd = "hkey s\nwait idle\nhkey s\nwait idle\nhkey s\nwait idle\ndump\n";
    const struct {
        const char* way;
        std::string keys;
        // The label's line (from 0) the debugger stands at after the pick, or none: the run went on.
        int line;
        const char* item;
    } ways[] = {
        {"s", "hkey s\nwait idle\ndump\n" + toEnd, 1, "prgm»QB → A/Done"},
        {"Step, the second row", "key DOWN\n" + tapAt(controls["step"]) + "wait idle\ndump\n" + toEnd, 4, "prgm»QB → B/Done"},
        {"Run", tapAt(controls["run"]) + "wait idle\ndump\n" + toEnd, 0, "prgm»QB → A/Done"},
    };
    std::vector<std::string> scripts;
    for (const auto& way : ways)
        scripts.push_back(toMenu + "dump\n" + way.keys);
    const std::vector<DriveRun> runs = driveScriptsAtOnce(scripts, "--size 844x390", 120);
    for (std::size_t i = 0; i < std::size(ways); ++i) {
        const auto& way = ways[i];
        ASSERT_TRUE(endedWithDumps(runs[i], 3)) << way.way;
        EXPECT_EQ(runs[i].dumps[0]["output"], json::array({"T", "1:ONE", "2:TWO"})) << way.way;
        const json& picked = runs[i].dumps[1];
        for (const json& line : picked["output"])
            EXPECT_EQ(line.get<std::string>().find(':'), std::string::npos) << way.way << ": " << picked["output"];
        if (way.line > 0) {
            EXPECT_EQ(picked["debugger"]["line"], way.line) << way.way;
            EXPECT_TRUE(picked["history"].empty()) << way.way << ": " << lastItem(picked);
        }
        const json& ended = runs[i].dumps[2];
        EXPECT_EQ(ended["waiting"], false) << way.way;
        EXPECT_EQ(lastItem(ended), way.item) << way.way;
        EXPECT_EQ(ended["history"].size(), 1u) << way.way;
    }
}

// A Pause waits for its ENTER on its own screen: in the program editor opened over it, what
// is typed is the program's (5 over its 7, then ENTER; nothing goes on), ON still breaks the
// run, and back on the output the pause's ENTER lets it go on to its end in one item.
TEST(WaitingRunsDrive, APauseOutOfSightTakesNoKeyButON)
{
    const std::string programs = "program ZA\nDisp 1\nPause \nDisp 2\nend\nprogram ZE\n7\nend\n";
    const std::string opened = "key PRGM\nkey RIGHT\nhkey z\nhkey Down\nhkey Return\nwait idle\nkey 2ND\nkey MODE\nwait idle\n"
                               "type prgmZA\nkey ENTER\nwait idle\nopen 2\nwait idle\n";
    const std::vector<DriveRun> runs = driveScriptsAtOnce(
        {programs + opened + "key 5\nkey ENTER\nwait idle\ndump\nkey 2ND\nkey MODE\nwait idle\ndump\nkey ENTER\nwait idle\ndump\n",
         programs + opened + "key ON\nwait idle\ndump\n"},
        "", 120);
    ASSERT_TRUE(endedWithDumps(runs[0], 3));
    const json& typed = runs[0].dumps[0];
    EXPECT_EQ(typed["top"]["id"], 2);
    EXPECT_EQ(typed["editor"]["program"], "ZE");
    EXPECT_EQ(typed["editor"]["lines"], json::array({":5", ":"}));
    EXPECT_EQ(typed["waiting"], true);
    EXPECT_EQ(typed["output"], json::array({"1"}));
    EXPECT_TRUE(typed["history"].empty());
    const json& back = runs[0].dumps[1];
    EXPECT_EQ(back["top"]["id"], 11);
    EXPECT_EQ(back["waiting"], true);
    EXPECT_EQ(back["output"], json::array({"1"}));
    EXPECT_EQ(lastItem(runs[0].dumps[2]), "prgm»ZA → 1/2/Done");
    ASSERT_TRUE(endedWithDumps(runs[1], 1));
    EXPECT_EQ(runs[1].dumps[0]["waiting"], false);
    EXPECT_EQ(lastItem(runs[1].dumps[0]), "prgm»ZA → 1/User break");
}
