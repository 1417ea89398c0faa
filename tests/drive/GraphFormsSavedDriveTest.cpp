// Through orvenda-drive: while a form over the graph (the calculate sheet, a slider's value
// form) types on a line of its own, the home line's half-typed text is still the home
// line's for every save and every ending: the app's own save then kill -9, SIGTERM, the
// app's quit. The next launch has it back on the home line, and the form keeps its own
// text through the save.

#include "DriveSession.h"
#include "LiveDrive.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>

namespace orvenda::test {
namespace {

using nlohmann::json;

const std::string kQuit = "key 2ND\nkey MODE\nwait idle\n";
const std::string kSetup = "type 2->A\nkey ENTER\nwait idle\ntype \"AX²\"->Y₁\nkey ENTER\nwait idle\n";
const std::string kTraced = "key GRAPH\nwait idle\nkey 0x403\nwait idle\n";

struct Form {
    const char* name;
    std::string open;
};

const Form kForms[] = {
    {"calculate", kTraced + "press Calc\nwait still\n"},
    {"slider value", kTraced + "press A\nwait idle\npress 2\nwait still\n"},
};

enum class Ending { KilledAfterSave, Terminated, Quit };

struct Case {
    Ending ending;
    const char* name;
};

const Case kEndings[] = {
    {Ending::KilledAfterSave, "kill -9 after the app's own save"},
    {Ending::Terminated, "SIGTERM"},
    {Ending::Quit, "the app's quit"},
};

// What is typed in the form: nothing, a value, a value that fails.
const char* const kTyped[] = {"", "4", "2+"};

TEST(GraphFormsSaved, TheHomeLineSetAsideByAFormSurvivesEveryEnding)
{
    int n = 0;
    for (const Form& form : kForms) {
        for (const Case& ending : kEndings) {
            for (const char* typed : kTyped) {
                const std::string where = std::string(form.name) + ", " + ending.name + ", typed «" + typed + "»";
                const std::filesystem::path data = driveScratch("graph-form-saved" + std::to_string(++n));
                LiveDrive app("--data " + data.string());
                const std::string type = *typed ? "type " + std::string(typed) + "\n" : "";
                const auto shown = app.ask(kSetup + "type 2+3\n" + form.open + type + "wait saved\ndump\n", 120);
                ASSERT_TRUE(shown) << where << app.messages();
                ASSERT_TRUE((*shown)["calcSheet"].is_object()) << where << (*shown)["top"];
                // The save left the form's own line in its field.
                EXPECT_EQ((*shown)["entry"], typed) << where;
                switch (ending.ending) {
                case Ending::KilledAfterSave:
                    app.sendSignal(SIGKILL);
                    break;
                case Ending::Terminated:
                    app.sendSignal(SIGTERM);
                    break;
                case Ending::Quit:
                    break;
                }
                app.finish(120);
                ASSERT_NE(app.state(), LiveDrive::State::Hung) << where;
                const DriveRun next = driveScript("wait idle\n" + kQuit + "dump\n", "--data '" + data.string() + "'", 120);
                ASSERT_TRUE(endedWithDumps(next, 1)) << where << next.output;
                EXPECT_EQ(next.dumps[0]["screen"], 0) << where;
                EXPECT_EQ(next.dumps[0]["entry"], "2+3") << where;
            }
        }
    }
}

} // namespace
} // namespace orvenda::test
