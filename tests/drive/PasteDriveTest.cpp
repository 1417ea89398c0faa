// Copy and paste through the computer's keys in the running app: a line copied with
// Ctrl+Alt+C and pasted with Ctrl+Alt+V gives the value it gave by its keys, on the home line
// of both displays and in a field (WINDOW's Xmin); an answer picked from the MathPrint history
// with UP and ENTER gives the value it showed.

#include "drive/DriveSession.h"

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

} // namespace
} // namespace orvenda::test
