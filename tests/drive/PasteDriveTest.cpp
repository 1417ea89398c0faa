// Copy and paste through the computer's keys in the running app: a line copied with
// Ctrl+Alt+C and pasted with Ctrl+Alt+V gives the value it gave by its keys, on the home line
// of both displays and in a field (WINDOW's Xmin); an answer picked from the MathPrint history
// with UP and ENTER gives the value it showed. A paste longer than a line is refused wherever
// it lands, and the app answers and saves as before.

#include "drive/DriveSession.h"

#include <fstream>

namespace orvenda::test {
namespace {

using json = nlohmann::json;

TEST(PasteDrive, ACopiedLineAndAPickedAnswerKeepTheirValue)
{
    // 61(−)4, X(−)1 (X is 0), (1+2)(−)4 and X²(−)1, each entered by its keys, then copied,
    // cleared, pasted and entered.
    const std::vector<std::string> lines{"type 61\nkey (−)\ntype 4\n", "type X\nkey (−)\ntype 1\n",
                                         "type (1+2)\nkey (−)\ntype 4\n", "type X²\nkey (−)\ntype 1\n"};
    const std::vector<std::string> values{"-244", "0", "-12", "0"};
    std::string script = "type 0->X\nkey ENTER\nwait idle\n";
    for (const char* display : {"", "type Classic\nkey ENTER\nwait idle\n"}) {
        script += display;
        for (const std::string& line : lines)
            script += "key CLEAR\n" + line + "hkey Ctrl+Alt+C\nkey ENTER\nwait idle\ndump\n"
                + "key CLEAR\nhkey Ctrl+Alt+V\nkey ENTER\nwait idle\ndump\n";
    }
    // WINDOW's Xmin takes the pasted line as its keys gave it: 6·(−9)+1, not 6−9+1.
    script += "key CLEAR\ntype 6\nkey (−)\ntype 9+1\nhkey Ctrl+Alt+C\nkey CLEAR\n"
              "open 7\nwait idle\nkey CLEAR\nhkey Ctrl+Alt+V\nkey ENTER\nwait idle\nkey 2ND\nkey MODE\nwait idle\n"
              "key CLEAR\ntype Xmin\nkey ENTER\nwait idle\ndump\n";
    // A negative mixed number and a polar answer in Degree, picked with UP and ENTER.
    script += "type MathType\nkey ENTER\nwait idle\n";
    for (const char* line : {"key (−)\ntype 5/2\n", "type re^θi\nkey ENTER\ntype (1+2ɩ̇)\n"})
        script += std::string("key CLEAR\n") + line + "key ENTER\nwait idle\ndump\nkey UP\nkey ENTER\nkey ENTER\nwait idle\ndump\n";
    const DriveRun run = driveScript(script);
    const std::size_t lineDumps = 2 * 2 * lines.size();
    ASSERT_TRUE(endedWithDumps(run, lineDumps + 1 + 4));
    for (std::size_t i = 0; i < lineDumps; i += 2) {
        const std::size_t k = (i / 2) % lines.size();
        const std::string where = std::string(i < lineDumps / 2 ? "MathPrint: " : "Classic: ") + lines[k];
        EXPECT_EQ(run.dumps[i]["ans"], values[k]) << where;
        EXPECT_EQ(run.dumps[i + 1]["ans"], values[k]) << where << " pasted";
        EXPECT_EQ(run.dumps[i + 1]["history"].back()["input"], run.dumps[i]["history"].back()["input"]) << where;
    }
    EXPECT_EQ(run.dumps[lineDumps]["ans"], "-53") << "Xmin pasted";
    for (std::size_t i = lineDumps + 1; i < run.dumps.size(); i += 2) {
        const json& shown = run.dumps[i]["history"].back()["answer"];
        EXPECT_EQ(run.dumps[i + 1]["history"].back()["answer"], shown) << "picked " << shown;
        EXPECT_EQ(run.dumps[i + 1]["error"], 0) << "picked " << shown;
    }
}

// 10 MB of text, 3.5 million tokens of the app's own and a million ")" that close nothing,
// pasted on both home screens, in a field, in Y= and in the program editor: each refused with
// its word at once, what was typed kept; the app answers the next key, and what it saves at
// the end is read whole by the next launch (A and B kept).
TEST(PasteDrive, APasteLongerThanALineIsRefusedAndTheStateIsKept)
{
    const std::string text = driveScratch("paste-text.txt").string(), tokens = driveScratch("paste-tokens.txt").string(),
                      closers = driveScratch("paste-closers.txt").string();
    {
        std::ofstream out(text);
        out << '1';
        for (int k = 0; k < 5'000'000; ++k)
            out << "+1";
    }
    {
        std::ofstream out(tokens);
        out << "31 70";
        for (int k = 1; k < 1'750'000; ++k)
            out << " 31 70";
    }
    std::ofstream(closers) << '1' << std::string(999'999, ')');
    const std::string data = driveScratch("paste-data").string();
    std::filesystem::remove_all(data);

    const std::string pastes = "clip " + text + "\nhkey Ctrl+Alt+V\ndump\nkey ENTER\nclip ops " + tokens
        + "\nhkey Ctrl+Alt+V\ndump\nkey ENTER\nclip " + closers + "\nhkey Ctrl+Alt+V\ndump\nkey ENTER\ndump\n";
    const std::string quit = "key 2ND\nkey MODE\nwait idle\n";
    const std::string answers = "key CLEAR\ntype 1+1\nkey ENTER\nwait idle\ndump\n";
    struct Door {
        const char* name;
        std::string before, after;
        const char* word;
    };
    const Door doors[] = {
        {"MathPrint home", "key CLEAR\ntype 2\n", answers, "Line too long"},
        {"WINDOW's Xmin", "open 7\nwait idle\nkey CLEAR\ntype 2\n", quit, "Line too long"},
        {"Y=", "key Y=\nwait idle\nkey CLEAR\ntype 2\n", quit, "Line too long"},
        {"the program editor", "key PRGM\nhkey +\nhkey Shift+W\nhkey Shift+Q\nhkey Return\npress Save\ntype 2\n", quit,
            "Program too large"},
        {"Classic home", "type Classic\nkey ENTER\nwait idle\nkey CLEAR\ntype 2\n", answers, "Line too long"},
    };
    std::string script = "type 5->A\nkey ENTER\ntype 7->B\nkey ENTER\nwait idle\n";
    for (const Door& door : doors)
        script += door.before + pastes + door.after;
    const DriveRun run = driveScript(script, "--data '" + data + "'", 600);
    ASSERT_TRUE(endedWithDumps(run, 4 * std::size(doors) + 2));
    std::size_t at = 0;
    for (const Door& door : doors) {
        for (int paste = 0; paste < 3; ++paste) {
            const json& refused = run.dumps[at++];
            SCOPED_TRACE(std::string(door.name) + ", paste " + std::to_string(paste));
            ASSERT_EQ(refused["alerts"].size(), 1u) << refused["alerts"];
            EXPECT_EQ(refused["alerts"][0]["title"], "Calc Error");
            EXPECT_TRUE(refused["alerts"][0]["message"].get<std::string>().starts_with(door.word)) << refused["alerts"];
            EXPECT_EQ(refused["error"], 93);
        }
        // What was typed is as it was, no alert left over.
        const json& after = run.dumps[at++];
        EXPECT_TRUE(after["alerts"].empty()) << door.name;
        if (after.contains("yEq")) {
            EXPECT_EQ(after["yEq"]["rows"][0]["text"], "2") << door.name;
        } else if (after["screen"] == 2) {
            EXPECT_EQ(after["editor"]["lines"], json::array({":2"})) << door.name;
        } else {
            EXPECT_EQ(after["entry"], "2") << door.name;
        }
        if (door.after == answers) {
            EXPECT_EQ(run.dumps[at++]["ans"], "2") << door.name << " answers";
        }
    }

    const DriveRun next = driveScript("dump\nkey CLEAR\ntype A\nkey ENTER\ntype B\nkey ENTER\nwait idle\ndump\n",
                                      "--data '" + data + "'", 120);
    ASSERT_TRUE(endedWithDumps(next, 2));
    EXPECT_TRUE(next.dumps[0]["alerts"].empty()) << next.dumps[0]["alerts"];
    const json& history = next.dumps[1]["history"];
    ASSERT_GE(history.size(), 2u);
    EXPECT_EQ(history[history.size() - 2]["answer"], "5");
    EXPECT_EQ(history.back()["answer"], "7");
}

} // namespace
} // namespace orvenda::test
