// Every sample program runs to its end without an error, its prompts answered as a user
// would answer them (tests/programs/sample-answers.txt), and shows what it computes.

#include "app/YEqModel.h"
#include "core/Operand.h"
#include "eval/ProgramTestSupport.h"
#include "programs/ProgramFiles.h"
#include "programs/ProgramModel.h"
#include "programs/SamplePrograms.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

namespace orvenda {
namespace {

struct Script {
    std::vector<std::string> answers;
    std::string shows;
};

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::map<std::string, std::vector<Script>> scripts()
{
    std::map<std::string, std::vector<Script>> out;
    std::ifstream in(ORVENDA_SAMPLE_ANSWERS);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line.starts_with('#'))
            continue;
        const auto colon = line.find(':');
        Script& script = out[line.substr(0, colon)].emplace_back();
        std::string rest = line.substr(colon + 1);
        if (const auto arrow = rest.find("=>"); arrow != std::string::npos) {
            script.shows = trimmed(rest.substr(arrow + 2));
            rest = rest.substr(0, arrow);
        }
        std::stringstream parts(rest);
        for (std::string part; std::getline(parts, part, '|');)
            if (!trimmed(part).empty())
                script.answers.push_back(trimmed(part));
    }
    return out;
}

class SampleProgram : public ::testing::TestWithParam<std::string_view> {};

// Runs the sample from the home screen's entry line, answering each prompt in turn; the
// output lines it showed.
std::vector<std::string> runSample(const std::string& name, const Script& script)
{
    QTemporaryDir folder;
    testing::ProgramHarness h;
    h.calc.prgmManager = std::make_shared<ProgramModel>(h.calc, std::make_shared<ProgramFiles>(folder.path()));
    h.calc.yEqManager = std::make_shared<YEqModel>(h.calc);

    std::vector<std::uint32_t> call{0x5F};
    const auto letters = ProgramFiles::nameOps(name);
    call.insert(call.end(), letters.begin(), letters.end());
    const std::size_t before = h.finals.size();
    h.queue().startProgramThread(call);
    EXPECT_TRUE(h.settle());
    if (h.finals.size() == before) {
        ADD_FAILURE() << name << " did not end";
        return {};
    }
    Operand result = h.finals.back();
    std::size_t answered = 0;
    while (result.kind == KindInputRequest && answered < script.answers.size())
        result = h.enter(script.answers[answered++]);
    EXPECT_EQ(result.error, 0) << name << " stopped with error " << result.error << " at token " << result.location;
    EXPECT_NE(result.kind, KindInputRequest) << name << " asks for more than its answers";
    EXPECT_EQ(answered, script.answers.size()) << name << " asked for fewer answers";
    return h.output->calls();
}

TEST_P(SampleProgram, RunsToItsEndWithItsPromptsAnswered)
{
    const std::string name(GetParam());
    const auto all = scripts();
    ASSERT_TRUE(all.contains(name)) << name << " has no answers in sample-answers.txt";
    for (const Script& script : all.at(name)) {
        const std::vector<std::string> shown = runSample(name, script);
        if (script.shows.empty())
            continue;
        std::string text;
        bool found = false;
        for (const std::string& line : shown) {
            text += line + "\n";
            found = found || line.find(script.shows) != std::string::npos;
        }
        EXPECT_TRUE(found) << name << " shows no line with «" << script.shows << "»:\n" << text;
    }
}

INSTANTIATE_TEST_SUITE_P(Every, SampleProgram, ::testing::ValuesIn(orvenda::SamplePrograms::kNames),
    [](const ::testing::TestParamInfo<std::string_view>& info) { return std::string(info.param); });

} // namespace
} // namespace orvenda
