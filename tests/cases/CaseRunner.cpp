// orvenda-cases: runs case files of typed entry lines against the answers the home screen
// shows for them.
//
// A case file is UTF-8 text, one case a line; blank lines and lines starting with "#" are
// skipped. A case reads
//     ENTRY => EXPECTED
// ENTRY is typed in the calculator's own token text and becomes tokens by longest match of
// the token names. "-" is negation unless it directly follows a value (a number, a name, a
// closing bracket or a postfix operator), where it is subtraction; "—" is always
// subtraction; "->" stands for "➞". Blanks between tokens are dropped outside strings.
// The ENTRY "<empty>" is an entry with no tokens at all, evaluated as it stands.
// EXPECTED is the history text of the result: "Done" for a command, "ERROR n" when the
// entry ends with error n; "\n" in it stands for a line break. It starts after the one
// blank that follows "=>", so a text that begins with a blank shows two.
//
// Equations are stored as the user would: "X²"->Y₁ puts X² in Y₁, 1->u(ηMin) gives u its
// initial value.
//
// A block
//     @program NAME
//     ...the program's lines...
//     @end
// stores a program that "prgmNAME" on a later entry line runs. An entry runs as ENTER
// runs it: on the program queue, with its report handled on the (pumped) main thread.
//
// Every file starts from a fresh calculator; its lines run in order, so Ans, variables
// and modes carry from line to line.

#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/VQStack.h"
#include "eval/Parser.h"
#include "language/ErrorTable.h"
#include "language/TokenText.h"
#include "language/Vocabulary.h"

#include "CaseText.h"
#include "EntryText.h"
#include "EquationSupport.h"
#include "ProgramSupport.h"

#include <cstdint>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace orvenda {
namespace {

using Ops = std::vector<std::uint32_t>;

constexpr std::uint32_t kQuote = 0x2A;
constexpr std::uint32_t kSpace = 0x29;
constexpr std::uint32_t kNegate = 0xB0;
constexpr std::uint32_t kSubtract = 0x71;
constexpr std::uint32_t kStore = 0x04;

using cases::EntryText;
using cases::trim;
using cases::unescape;

// ---- Entering a line ----

// The home screen around the program queue: the final reports it receives.
struct Home {
    explicit Home(Calculator& calc) : programs(std::make_shared<testing::MemoryProgramManager>()),
                                      output(std::make_shared<testing::RecordingOutput>(calc))
    {
        calc.prgmManager = programs;
        calc.prgmOutputMgr = output;
        calc.yEqManager = std::make_shared<testing::CompilingYEq>(calc.parser());
        Parser& parser = calc.parser();
        parser.programQueue().setMainQueue(&main);
        parser.programQueue().setResultHandler([this, &calc](const Operand& r) {
            if (calc.reportingDone)
                finals.push_back(r);
        });
    }

    testing::ManualMainQueue main;
    std::shared_ptr<testing::MemoryProgramManager> programs;
    std::shared_ptr<testing::RecordingOutput> output;
    std::vector<Operand> finals;
};

// Runs an entry line as ENTER does and returns the record result handling receives.
Operand enterLine(Parser& parser, Home& home, const Ops& ops)
{
    const std::size_t before = home.finals.size();
    parser.startProgramThread(ops);
    home.main.pumpUntil([&] { return parser.programQueueCount() == 0 && home.main.idle(); });
    parser.setError(0);
    if (home.finals.size() == before) {
        Operand none;
        none.error = 16;
        return none;
    }
    return home.finals.back();
}

// ---- The history text of a result ----

int fractionForm(const Calculator& calc)
{
    return calc.fractionFormat == 3 ? 1 : 2;
}

int resolvedForm(const Calculator& calc, const Operand& r, bool sigFigForm)
{
    if (r.displayMod != 0)
        return r.displayMod;
    switch (calc.answerFormat) {
    case 0: return r.hasDecimalPoint ? 3 : fractionForm(calc);
    case 1: return 3;
    case 2: return fractionForm(calc);
    case 3: return sigFigForm ? 9 : 0;
    default: return 0;
    }
}

std::string resultText(Calculator& calc, Operand& r)
{
    switch (r.kind) {
    case KindReal: {
        if (r.displayMod == 9 || (r.displayMod == 0 && calc.answerFormat == 3)) {
            r.displayMod = 9;
            return calc.formatSigFig(r.re(), r.sigFig);
        }
        r.displayMod = resolvedForm(calc, r, false);
        return calc.formatReal(r.re(), r.displayMod);
    }
    case KindComplex:
        if (r.displayMod == 0 && calc.realCplxMode() == 2)
            r.displayMod = 6;
        else
            r.displayMod = resolvedForm(calc, r, true);
        return calc.formatComplex(r.re(), r.im(), r.displayMod);
    case KindRealList:
    case KindComplexList:
        r.displayMod = resolvedForm(calc, r, true);
        return r.list ? calc.formatList(r.list.get(), r.displayMod) : std::string();
    case KindMatrix:
        r.displayMod = resolvedForm(calc, r, true);
        return r.matrix ? calc.formatMatrix(r.matrix.get(), r.displayMod) : std::string();
    case KindString:
        return r.string ? TokenText::stringFromOps(*r.string) : std::string();
    case KindDone:
    case KindNoShow:
        return "Done";
    case KindError:
        return ErrorTable::errorStrings()[0];
    case KindQuestion:
        return "Break";
    case KindDispTable:
        return "";
    default:
        if (r.kind >= KindOneVarStats && r.kind <= KindStatTestLast)
            return calc.formatOperand(r);
        return "<not implemented>";
    }
}

// ---- Files ----

std::string escape(std::string_view s)
{
    std::string out;
    for (char ch : s) {
        if (ch == '\n')
            out += "\\n";
        else
            out += ch;
    }
    return out;
}

struct Tally {
    int passed = 0;
    int failed = 0;
};

void runFile(const std::string& path, const EntryText& entryText, Tally& tally)
{
    std::ifstream in(path);
    if (!in) {
        std::cout << path << ": cannot be read\n";
        ++tally.failed;
        return;
    }
    NotificationCenter notifications;
    Calculator calc(LocaleFormats{}, notifications);
    Parser& parser = calc.parser();
    Home home(calc);
    std::optional<std::string> programName;
    std::string programText;

    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        const std::string text = trim(line);
        if (programName) {
            if (text == "@end") {
                std::string bad;
                const auto ops = entryText.toOps(programText, bad);
                if (!ops) {
                    std::cout << path << ':' << lineNumber << ": program " << *programName << ": no token for «"
                              << bad << "»\n";
                    ++tally.failed;
                } else {
                    home.programs->store(*programName, *ops);
                }
                programName.reset();
            } else {
                // Lines join with new lines, as the program editor keeps them.
                programText += (programText.empty() ? "" : "\n") + text;
            }
            continue;
        }
        if (text.starts_with("@program ")) {
            programName = trim(std::string_view(text).substr(9));
            programText.clear();
            continue;
        }
        if (text.empty() || text.starts_with("#"))
            continue;
        const auto arrow = text.rfind("=>");
        if (arrow == std::string::npos) {
            std::cout << path << ':' << lineNumber << ": no \"=>\" in the case\n";
            ++tally.failed;
            continue;
        }
        const std::string entry = trim(std::string_view(text).substr(0, arrow));
        std::string_view answer = std::string_view(text).substr(arrow + 2);
        if (answer.starts_with(' '))
            answer.remove_prefix(1);
        const std::string expected = unescape(answer);

        std::string got;
        Operand result;
        if (entry == "<empty>") {
            parser.setError(0);
            result = parser.evalRPN(VQStack(&calc), true, false);
            parser.setError(0);
        } else {
            std::string bad;
            const auto ops = entryText.toOps(entry, bad);
            if (!ops) {
                std::cout << path << ':' << lineNumber << ": " << entry << ": no token for «" << bad << "»\n";
                ++tally.failed;
                continue;
            }
            result = enterLine(parser, home, *ops);
        }
        if (result.error != 0) {
            got = "ERROR " + std::to_string(result.error);
        } else {
            got = resultText(calc, result);
            calc.ans.setANS(result, calc.numFormat);
        }

        if (got == expected) {
            ++tally.passed;
        } else {
            ++tally.failed;
            std::cout << path << ':' << lineNumber << ": " << entry << ": expected «" << escape(expected)
                      << "», got «" << escape(got) << "»\n";
        }
    }
}

} // namespace
} // namespace orvenda

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: orvenda-cases FILE.cases...\n";
        return 2;
    }
    const orvenda::EntryText entryText;
    orvenda::Tally tally;
    for (int i = 1; i < argc; ++i)
        orvenda::runFile(argv[i], entryText, tally);
    std::cout << tally.passed << " passed, " << tally.failed << " failed\n";
    return tally.failed == 0 ? 0 : 1;
}
