// orvenda-cases: runs case files of typed entry lines through the home screen's ENTER and
// result handling and checks the history item each line leaves.
//
// A case file is UTF-8 text, one case a line; blank lines and lines starting with "#" are
// skipped. A case reads
//     ENTRY => EXPECTED
// ENTRY is typed in the calculator's own token text and becomes tokens by longest match of
// the token names. "-" is negation unless it directly follows a value (a number, a name, a
// closing bracket or a postfix operator), where it is subtraction; "—" is always
// subtraction; "->" stands for "➞". Blanks between tokens are dropped outside strings.
// The ENTRY "<empty>" is ENTER on an empty line, which runs the previous entry again.
//
// The line is put on the entry line and ENTER is pressed; the program queue runs it and
// its report goes through result handling, as on the home screen. EXPECTED is then:
// "ERROR n" when error n was reported, else the result text of the history item ENTER
// added ("Done" for a command; for a program call, the text its output screen ends with),
// or "<none>" when ENTER added no item. "\n" in it stands for a line break. It starts after
// the one blank that follows "=>", so a text that begins with a blank shows two.
// "string: TEXT" also requires the answer to be a string, "number: TEXT" a real or
// complex number, "list: TEXT" a list and "matrix: TEXT" a matrix; the plain form compares
// the text only.
//
// Every file runs twice: on the classic home screen, then on the MathPrint home screen
// (the same lines, MathPrint on from the start), where every case must give the same
// answer and, in the MathPrint history, show it as its text says. That is the answer's
// text too, unless a line
//     @mathprint TEXT
// right after the case gives the MathPrint history's answer: the two-dimensional answer
// spelled by its ops' token names, the templates' own brackets included (¹/₂ shows as
// "(1)／(2)", 1¹/₂ as "1␣(1)／(2)", a matrix as "[[1,2][3,4]]").
//
// Equations are stored as the user would: "X²"->Y₁ puts X² in Y₁, 1->u(ηMin) gives u its
// initial value.
//
// A block
//     @program NAME
//     ...the program's lines...
//     @end
// stores a program that "prgmNAME" on a later entry line runs. A block
//     @shows
//     ...one line for each call the program output screen received...
//     @end
// right after a case states everything that case showed on the output screen, in order
// ("clearHome", "start NAME", "show TEXT" for Disp and Pause, "output COL,ROW TEXT",
// "result TYPE TEXT" for the answer that ends a run, "break N", "newLine", ...). Without
// it the output screen is not compared.
//
// Every file starts from a fresh calculator; its lines run in order, so Ans, variables
// and modes carry from line to line. A file with no case, or with a block left open,
// fails. A line that has no answer within the limit (20 s, or --limit SECONDS) fails
// with "FILE:LINE: no answer after N s"; its run is stopped and the file goes on.

#include "CaseText.h"
#include "EntryText.h"
#include "Home.h"
#include "platform/KeptForProcess.h"

#include <QGuiApplication>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvenda {
namespace {

using Ops = std::vector<std::uint32_t>;
using cases::EntryText;
using cases::Home;
using cases::trim;
using cases::unescape;

// How long a stopped run may take to notice the stop.
constexpr std::chrono::seconds kStopLimit{5};

// What ENTER on one line led to.
struct Outcome {
    enum State { Answered, Stopped, Stuck };
    State state = Answered;
    std::string text;
    int kind = 0;
    // What the MathPrint history shows: its answer ops spelled, or the text.
    std::string mathPrintText;
    std::vector<std::string> shown;
};

Outcome pressEnter(Home& home, const std::optional<Ops>& ops, std::chrono::seconds limit)
{
    // What an error left on the line goes first, as the user clears it.
    if (!home.entry->entryOps().empty())
        home.keys.processKeyOp(KeyRouter::kClear);
    if (ops)
        home.entry->forceOps(*ops);
    // Alone in the history, the item this line adds is easy to tell (the history keeps
    // at most 100 and then reuses its oldest).
    home.history->clearAll();
    const std::size_t errors = home.view->errors.size();
    const std::size_t calls = home.output->calls().size();
    home.keys.processKeyOp(KeyRouter::kEnter);
    Outcome out;
    if (!home.settle(limit)) {
        home.calc.parser().programQueue().stopProgramThread();
        out.state = home.settle(kStopLimit) ? Outcome::Stopped : Outcome::Stuck;
        return out;
    }
    const auto all = home.output->calls();
    out.shown.assign(all.begin() + static_cast<std::ptrdiff_t>(std::min(calls, all.size())), all.end());
    if (home.view->errors.size() > errors) {
        out.text = "ERROR " + std::to_string(home.view->errors[errors].value("errorNum", 0));
    } else if (!home.history->history().empty()) {
        const HistoryEntry& item = home.history->history().back();
        out.text = item.result;
        out.kind = item.operandType;
        out.mathPrintText = item.answerOps ? home.calc.stringFromOps(*item.answerOps) : item.result;
    } else {
        out.text = "<none>";
    }
    return out;
}

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

// The kind an expected text asks for, taken off its front.
enum class Want { Text, String, Number, List, Matrix };

Want takeKind(std::string& expected)
{
    for (auto [prefix, want] : {std::pair{"string: ", Want::String}, std::pair{"number: ", Want::Number},
                                std::pair{"list: ", Want::List}, std::pair{"matrix: ", Want::Matrix}}) {
        if (expected.starts_with(prefix)) {
            expected.erase(0, std::string_view(prefix).size());
            return want;
        }
    }
    return Want::Text;
}

bool kindMatches(Want want, int kind)
{
    switch (want) {
    case Want::String: return kind == KindString;
    case Want::Number: return kind == KindReal || kind == KindComplex;
    case Want::List: return kind == KindRealList || kind == KindComplexList;
    case Want::Matrix: return kind == KindMatrix;
    default: return true;
    }
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& line : lines)
        out += (out.empty() ? "" : "\\n") + escape(line);
    return out;
}

struct Tally {
    int passed = 0;
    int failed = 0;
};

class FileRun {
public:
    FileRun(std::string path, const EntryText& entryText, std::chrono::seconds limit, Tally& tally, bool mathPrint)
        : path_(std::move(path)), entryText_(entryText), limit_(limit), tally_(tally), mathPrint_(mathPrint),
          home_(mathPrint)
    {
    }

    // False when a run could not be stopped: the calculator is still busy with it and
    // cannot be taken down.
    bool run()
    {
        std::ifstream in(path_);
        if (!in) {
            fail(0, "cannot be read");
            return true;
        }
        std::string line;
        while (std::getline(in, line)) {
            ++lineNumber_;
            if (!take(trim(line)))
                return false;
        }
        checkMathPrint(std::nullopt);
        if (block_ != Block::None)
            fail(blockLine_, std::string(block_ == Block::Program ? "@program" : "@shows") + " has no @end");
        else if (cases_ == 0)
            fail(0, "holds no case");
        return true;
    }

private:
    enum class Block { None, Program, Shows };

    void fail(int line, const std::string& message)
    {
        std::cout << path_;
        if (line > 0)
            std::cout << ':' << line;
        std::cout << ": " << (mathPrint_ ? "(MathPrint) " : "") << message << '\n';
        ++tally_.failed;
    }
    // The MathPrint history's answer of the last case against what a @mathprint line
    // gives, or without one against the answer's text.
    void checkMathPrint(const std::optional<std::string>& stated)
    {
        if (!pendingMathPrint_)
            return;
        const MathPrintCheck check = *std::exchange(pendingMathPrint_, std::nullopt);
        if (!mathPrint_ || !check.answered)
            return;
        const std::string& expected = stated ? *stated : check.text;
        if (check.got == expected)
            ++tally_.passed;
        else
            fail(stated ? lineNumber_ : check.line, check.entry + ": the MathPrint history shows «" + escape(check.got) +
                                                         "», not «" + escape(expected) + "»");
    }
    bool take(const std::string& text)
    {
        if (block_ == Block::None && text.starts_with("@mathprint ")) {
            if (!pendingMathPrint_) {
                fail(lineNumber_, "@mathprint follows no case");
                return true;
            }
            checkMathPrint(unescape(std::string_view(text).substr(11)));
            return true;
        }
        if (block_ == Block::None && !text.empty() && !text.starts_with("#"))
            checkMathPrint(std::nullopt);
        if (block_ != Block::None) {
            if (text == "@end")
                endBlock();
            else
                blockLines_.push_back(text);
            return true;
        }
        if (text.starts_with("@program ") || text == "@shows") {
            block_ = text == "@shows" ? Block::Shows : Block::Program;
            blockLine_ = lineNumber_;
            programName_ = text == "@shows" ? "" : trim(std::string_view(text).substr(9));
            blockLines_.clear();
            return true;
        }
        if (text.empty() || text.starts_with("#"))
            return true;
        if (text.starts_with("@")) {
            fail(lineNumber_, "unknown block " + text);
            return true;
        }
        return runCase(text);
    }

    void endBlock()
    {
        const Block block = std::exchange(block_, Block::None);
        if (block == Block::Shows) {
            if (!lastShown_) {
                fail(blockLine_, "@shows follows no case");
                return;
            }
            if (blockLines_ == *lastShown_)
                ++tally_.passed;
            else
                fail(blockLine_, "the output screen: expected «" + joined(blockLines_) + "», got «" +
                                     joined(*lastShown_) + "»");
            lastShown_.reset();
            return;
        }
        // Lines join with new lines, as the program editor keeps them.
        std::string source;
        for (const std::string& l : blockLines_)
            source += (source.empty() ? "" : "\n") + l;
        std::string bad;
        const auto ops = entryText_.toOps(source, bad);
        if (!ops)
            fail(lineNumber_, "program " + programName_ + ": no token for «" + bad + "»");
        else
            home_.programs->store(programName_, *ops);
    }

    // False when the calculator can no longer be trusted with the rest of the file.
    bool runCase(const std::string& text)
    {
        ++cases_;
        lastShown_.reset();
        const auto arrow = text.rfind("=>");
        if (arrow == std::string::npos) {
            fail(lineNumber_, "no \"=>\" in the case");
            return true;
        }
        const std::string entry = trim(std::string_view(text).substr(0, arrow));
        std::string_view answer = std::string_view(text).substr(arrow + 2);
        if (answer.starts_with(' '))
            answer.remove_prefix(1);
        std::string expected = unescape(answer);
        const Want want = takeKind(expected);

        std::optional<Ops> ops;
        if (entry != "<empty>") {
            std::string bad;
            ops = entryText_.toOps(entry, bad);
            if (!ops) {
                fail(lineNumber_, entry + ": no token for «" + bad + "»");
                return true;
            }
        }
        const Outcome got = pressEnter(home_, ops, limit_);
        if (got.state != Outcome::Answered) {
            fail(lineNumber_, "no answer after " + std::to_string(limit_.count()) + " s");
            return got.state == Outcome::Stopped;
        }
        lastShown_ = got.shown;
        // Errors and lines that add no item show no answer; a wrong answer has failed already.
        const bool answered = !expected.starts_with("ERROR ") && expected != "<none>" && got.text == expected;
        pendingMathPrint_ = MathPrintCheck{lineNumber_, entry, expected, got.mathPrintText, answered};
        const bool kindOk = expected.starts_with("ERROR ") || kindMatches(want, got.kind);
        if (got.text == expected && kindOk)
            ++tally_.passed;
        else
            fail(lineNumber_, entry + ": expected «" + escape(expected) + "»" + (kindOk ? "" : " of another kind") +
                                  ", got «" + escape(got.text) + "»");
        return true;
    }

    struct MathPrintCheck {
        int line;
        std::string entry;
        std::string text;
        std::string got;
        bool answered;
    };

    std::string path_;
    const EntryText& entryText_;
    std::chrono::seconds limit_;
    Tally& tally_;
    bool mathPrint_;
    Home home_;
    std::optional<MathPrintCheck> pendingMathPrint_;
    int lineNumber_ = 0;
    int cases_ = 0;
    Block block_ = Block::None;
    int blockLine_ = 0;
    std::string programName_;
    std::vector<std::string> blockLines_;
    std::optional<std::vector<std::string>> lastShown_;
};

} // namespace
} // namespace orvenda

int main(int argc, char** argv)
{
    // History items are measured in the pretty printer's fonts.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    orvenda::keepPoolThreadsForProcess();
    std::chrono::seconds limit{20};
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--limit" && i + 1 < argc)
            limit = std::chrono::seconds(std::atoi(argv[++i]));
        else
            files.emplace_back(arg);
    }
    if (files.empty()) {
        std::cerr << "usage: orvenda-cases [--limit SECONDS] FILE.cases...\n";
        return 2;
    }
    const orvenda::EntryText entryText;
    orvenda::Tally tally;
    for (const std::string& file : files) {
        for (const bool mathPrint : {false, true}) {
            auto run = std::make_unique<orvenda::FileRun>(file, entryText, limit, tally, mathPrint);
            if (!run->run()) {
                // The stuck run still holds the calculator, which cannot be taken down under
                // it: report and leave without tearing anything down.
                std::cout << file << ": a run ignores the stop; the rest is not run\n";
                std::cout << tally.passed << " passed, " << tally.failed << " failed" << std::endl;
                std::_Exit(1);
            }
        }
    }
    std::cout << tally.passed << " passed, " << tally.failed << " failed\n";
    return tally.failed == 0 ? 0 : 1;
}
