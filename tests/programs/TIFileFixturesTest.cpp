// Programs as a handheld writes them, byte by byte: a dozen of them in one variable file.
// Each imports, is listed in the program menu, shows its tokens in the editor and runs to
// its end with a user's keys and answers.

#include "TIFileSupport.h"

#include "core/Operand.h"
#include "eval/ProgramTestSupport.h"
#include "eval/RunObject.h"

#include <map>

namespace orvenda::test::handheld {
namespace {

// Tokens by their codes in the handheld's token table.
enum : std::uint32_t {
    kSto = 0x04, kLBrace = 0x08, kRBrace = 0x09, kSquare = 0x0D, kQuote = 0x2A, kComma = 0x2B, kLineBreak = 0x3F,
    kPrgm = 0x5F, kEq = 0x6A, kLess = 0x6B, kMore = 0x6C, kPlus = 0x70, kTimes = 0x82, kDiv = 0x83, kGetKey = 0xAD,
    kNeg = 0xB0, kInt = 0xB1, kDet = 0xB3, kDim = 0xB5, kSum = 0xB6, kSqrt = 0xBC, kIf = 0xCE, kThen = 0xCF,
    kElse = 0xD0, kWhile = 0xD1, kRepeat = 0xD2, kFor = 0xD3, kEnd = 0xD4, kReturn = 0xD5, kLbl = 0xD6, kGoto = 0xD7,
    kPause = 0xD8, kStop = 0xD9, kInput = 0xDC, kPrompt = 0xDD, kDisp = 0xDE, kOutput = 0xE0, kClrHome = 0xE1,
    kSortD = 0xE4, kMenu = 0xE6, kNamedList = 0xEB, kOneVar = 0xF2, kLinRegAXB = 0xFF,
    kMatA = 0x5C00, kL1 = 0x5D00, kL2 = 0x5D01, kMeanX = 0x6203, kRegA = 0x6216, kStr1 = 0xAA00, kStr2 = 0xAA01,
    kSub = 0xBB0C, kInString = 0xBB0F,
};

// Text as the handheld keys it: letters and digits as themselves, lower-case letters as
// their two-byte tokens, and the signs the programs below use.
Ops t(std::string_view text)
{
    Ops ops;
    for (char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            ops.push_back(static_cast<std::uint32_t>(c));
        else if (c >= 'a' && c <= 'k')
            ops.push_back(0xBBB0 + static_cast<std::uint32_t>(c - 'a'));
        else if (c >= 'l' && c <= 'z')
            ops.push_back(0xBBBC + static_cast<std::uint32_t>(c - 'l'));
        else if (c == ' ')
            ops.push_back(0x29);
        else if (c == '"')
            ops.push_back(kQuote);
        else if (c == ',')
            ops.push_back(kComma);
        else if (c == '(')
            ops.push_back(0x10);
        else if (c == ')')
            ops.push_back(0x11);
        else if (c == '[')
            ops.push_back(0x06);
        else if (c == ']')
            ops.push_back(0x07);
        else if (c == '{')
            ops.push_back(kLBrace);
        else if (c == '}')
            ops.push_back(kRBrace);
        else if (c == '+')
            ops.push_back(kPlus);
        else if (c == '*')
            ops.push_back(kTimes);
        else if (c == '/')
            ops.push_back(kDiv);
        else if (c == '=')
            ops.push_back(kEq);
        else if (c == '<')
            ops.push_back(kLess);
        else if (c == '>')
            ops.push_back(kMore);
        else if (c == '.')
            ops.push_back(0x3A);
        else
            ADD_FAILURE() << "no token for " << c;
    }
    return ops;
}

Ops tok(std::uint32_t code)
{
    return {code};
}

// One statement: what the editor shows of it and its tokens.
struct Line {
    std::string shows;
    Ops ops;
};

// What a user does while the program runs.
struct Step {
    enum Kind { Answer, Pick, Key, Resume } kind;
    std::string answer;
    int value = 0;
};

struct Fixture {
    std::string name;
    std::vector<Line> lines;
    std::vector<Step> steps;
    // A line of what it shows.
    std::vector<std::string> shows;
    bool locked = false;

    Ops ops() const
    {
        Ops all;
        for (const Line& line : lines) {
            if (!all.empty())
                all.push_back(kLineBreak);
            all.insert(all.end(), line.ops.begin(), line.ops.end());
        }
        return all;
    }
    // The token bytes as the handheld stores them: two-byte tokens as prefix and code.
    Bytes bytes() const
    {
        Bytes out;
        for (std::uint32_t op : ops()) {
            if (op > 0xFF)
                out.push_back(static_cast<std::uint8_t>(op >> 8));
            out.push_back(static_cast<std::uint8_t>(op & 0xFF));
        }
        return out;
    }
};

Step answer(std::string text) { return {Step::Answer, std::move(text)}; }
Step pick(int item) { return {Step::Pick, {}, item}; }
Step press(int key) { return {Step::Key, {}, key}; }
Step resume() { return {Step::Resume, {}, 0}; }

std::vector<Fixture> fixtures()
{
    return {
        {"MENUS",
            {{"0➞S", t("0") + tok(kSto) + t("S")}, {"Lbl M", tok(kLbl) + t("M")},
                {"Menu(\"MAIN\",\"ADD\",A,\"QUIT\",Q)", tok(kMenu) + t("\"MAIN\",\"ADD\",A,\"QUIT\",Q)")},
                {"Lbl A", tok(kLbl) + t("A")}, {"S+1➞S", t("S+1") + tok(kSto) + t("S")}, {"Goto M", tok(kGoto) + t("M")},
                {"Lbl Q", tok(kLbl) + t("Q")}, {"Disp S", tok(kDisp) + t("S")}},
            {pick(1), pick(1), pick(2)}, {"show 2"}},
        {"KEYLOOP",
            {{"0➞K", t("0") + tok(kSto) + t("K")}, {"While K=0", tok(kWhile) + t("K=0")},
                {"getKey➞K", tok(kGetKey) + tok(kSto) + t("K")}, {"End", tok(kEnd)}, {"Disp K", tok(kDisp) + t("K")}},
            {press(105)}, {"show 105"}},
        {"SCREEN",
            {{"ClrHome", tok(kClrHome)}, {"For(I,1,3)", tok(kFor) + t("I,1,3)")},
                {"Output(I,1,I*I)", tok(kOutput) + t("I,1,I*I)")}, {"End", tok(kEnd)},
                {"Output(4,1,\"DONE\")", tok(kOutput) + t("4,1,\"DONE\")")}},
            {}, {"output 1,3 9", "output 1,4 DONE"}},
        {"LISTS",
            {{"{5,2,8}➞L₁", t("{5,2,8}") + tok(kSto) + tok(kL1)}, {"SortD(L₁)", tok(kSortD) + tok(kL1) + t(")")},
                {"sum(L₁)➞S", tok(kSum) + tok(kL1) + t(")") + tok(kSto) + t("S")},
                {"{1,2}➞ʟABC", t("{1,2}") + tok(kSto) + tok(kNamedList) + t("ABC")},
                {"Disp L₁(1),S,dim(ʟABC)", tok(kDisp) + tok(kL1) + t("(1),S,") + tok(kDim) + tok(kNamedList) + t("ABC)")}},
            {}, {"show 8", "show 15", "show 2"}},
        {"STRINGS",
            {{"\"Hello\"➞Str1", t("\"Hello\"") + tok(kSto) + tok(kStr1)},
                {"sub(Str1,1,4)➞Str2", tok(kSub) + tok(kStr1) + t(",1,4)") + tok(kSto) + tok(kStr2)},
                {"Disp Str2", tok(kDisp) + tok(kStr2)},
                {"Disp inString(Str1,\"lo\")", tok(kDisp) + tok(kInString) + tok(kStr1) + t(",\"lo\")")}},
            {}, {"show Hell", "show 4"}},
        {"NESTED",
            {{"Prompt N", tok(kPrompt) + t("N")}, {"If N>0", tok(kIf) + t("N>0")}, {"Then", tok(kThen)},
                {"If N>9", tok(kIf) + t("N>9")}, {"Then", tok(kThen)}, {"Disp \"BIG\"", tok(kDisp) + t("\"BIG\"")},
                {"Else", tok(kElse)}, {"Disp \"SMALL\"", tok(kDisp) + t("\"SMALL\"")}, {"End", tok(kEnd)},
                {"Else", tok(kElse)}, {"Disp \"NONE\"", tok(kDisp) + t("\"NONE\"")}, {"End", tok(kEnd)}},
            {answer("5")}, {"show SMALL"}},
        {"STATS",
            {{"{1,2,3,4}➞L₁", t("{1,2,3,4}") + tok(kSto) + tok(kL1)},
                {"{2,4,6,8}➞L₂", t("{2,4,6,8}") + tok(kSto) + tok(kL2)}, {"1-Var Stats L₁", tok(kOneVar) + tok(kL1)},
                {"Disp x̅", tok(kDisp) + tok(kMeanX)},
                {"LinReg(ax+b) L₁,L₂", tok(kLinRegAXB) + tok(kL1) + t(",") + tok(kL2)},
                {"Disp a", tok(kDisp) + tok(kRegA)}},
            {}, {"show 2.5", "show 2"}},
        {"QUAD",
            {{"Input \"A=\",A", tok(kInput) + t("\"A=\",A")}, {"Input \"B=\",B", tok(kInput) + t("\"B=\",B")},
                {"Input \"C=\",C", tok(kInput) + t("\"C=\",C")},
                {"B²+-4AC➞D", t("B") + tok(kSquare) + t("+") + tok(kNeg) + t("4AC") + tok(kSto) + t("D")},
                {"If D<0", tok(kIf) + t("D<0")}, {"Then", tok(kThen)}, {"Disp \"NO ROOTS\"", tok(kDisp) + t("\"NO ROOTS\"")},
                {"Stop", tok(kStop)}, {"End", tok(kEnd)},
                {"(-B+√(D))/(2A)➞X", t("(") + tok(kNeg) + t("B+") + tok(kSqrt) + t("D))/(2A)") + tok(kSto) + t("X")},
                {"Disp X", tok(kDisp) + t("X")}},
            {answer("1"), answer("-3"), answer("2")}, {"show 2"}},
        {"FACTORS",
            {{"Prompt N", tok(kPrompt) + t("N")}, {"2➞F", t("2") + tok(kSto) + t("F")}, {"While N>1", tok(kWhile) + t("N>1")},
                {"If N/F=int(N/F)", tok(kIf) + t("N/F=") + tok(kInt) + t("N/F)")}, {"Then", tok(kThen)},
                {"Disp F", tok(kDisp) + t("F")}, {"N/F➞N", t("N/F") + tok(kSto) + t("N")}, {"Else", tok(kElse)},
                {"F+1➞F", t("F+1") + tok(kSto) + t("F")}, {"End", tok(kEnd)}, {"End", tok(kEnd)}},
            {answer("84")}, {"show 2", "show 3", "show 7"}},
        {"MATRIX",
            {{"[[1,2][3,4]]➞[A]", t("[[1,2][3,4]]") + tok(kSto) + tok(kMatA)},
                {"Disp det([A])", tok(kDisp) + tok(kDet) + tok(kMatA) + t(")")}},
            {}, {"show -2"}},
        {"MAIN",
            {{"5➞X", t("5") + tok(kSto) + t("X")}, {"prgm»SUB", tok(kPrgm) + t("SUB")}, {"Disp Y", tok(kDisp) + t("Y")}},
            {}, {"show 10"}},
        {"SUB", {{"X*2➞Y", t("X*2") + tok(kSto) + t("Y")}, {"Return", tok(kReturn)}}, {}, {}},
        {"COUNT",
            {{"10➞N", t("10") + tok(kSto) + t("N")}, {"Repeat N<8", tok(kRepeat) + t("N<8")},
                {"N+-1➞N", t("N+") + tok(kNeg) + t("1") + tok(kSto) + t("N")}, {"End", tok(kEnd)},
                {"Pause N", tok(kPause) + t("N")}, {"Disp \"bye\"", tok(kDisp) + t("\"bye\"")}},
            {resume()}, {"show 7", "show bye"}, true},
    };
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

TEST(HandheldPrograms, ImportListOpenAndRunToTheirEnd)
{
    const std::vector<Fixture> all = fixtures();
    Bytes entries;
    for (const Fixture& f : all)
        entries += entry(f.locked ? 6 : 5, Bytes(f.name.begin(), f.name.end()), counted(f.bytes()), true);
    const Bytes file = tiFile(entries, "**TI83F*", 0x0A, "Group file");

    QTemporaryDir folder;
    testing::ProgramHarness h;
    auto model = std::make_shared<ProgramModel>(h.calc, std::make_shared<ProgramFiles>(folder.path()));
    auto equations = std::make_shared<YEqModel>(h.calc);
    h.calc.prgmManager = model;
    h.calc.yEqManager = equations;
    auto reader = TIFileReader::tiFileIOWithData(file, {h.calc, *equations, *model});
    ASSERT_TRUE(reader);
    ASSERT_EQ(reader->loadVars(), 0);

    std::vector<std::string> names;
    for (const Fixture& f : all)
        names.push_back(f.name);
    std::sort(names.begin(), names.end());
    // The program menu lists the user's programs first.
    const std::vector<std::string> listed = model->programListOf(0);
    ASSERT_GE(listed.size(), names.size());
    EXPECT_EQ(std::vector<std::string>(listed.begin(), listed.begin() + static_cast<std::ptrdiff_t>(names.size())), names);

    for (const Fixture& f : all) {
        SCOPED_TRACE(f.name);
        // The editor shows each statement on a line of its own.
        model->loadProgram(f.name);
        EXPECT_EQ(model->program().array(), f.ops());
        EXPECT_EQ(model->isEditable(), !f.locked);
        EXPECT_EQ(model->programDescription(), "Group file");
        std::vector<std::string> shown;
        for (int n = 0; n < model->numLines(); ++n)
            shown.push_back(model->pdfLine(n).value_or("?"));
        std::vector<std::string> expected;
        for (const Line& line : f.lines)
            expected.push_back(line.shows);
        EXPECT_EQ(shown, expected);
        model->loadProgram("");
        if (f.name == "SUB")
            continue;

        // Run from the home screen as prgmNAME, doing what a user does.
        h.output->clear();
        const std::size_t before = h.finals.size();
        h.queue().startProgramThread(Ops{kPrgm} + ProgramFiles::nameOps(f.name));
        for (const Step& step : f.steps) {
            switch (step.kind) {
            case Step::Key:
                // The program polls getKey until the key comes.
                h.calc.lastKey = step.value;
                break;
            case Step::Answer:
                ASSERT_TRUE(h.settle());
                ASSERT_EQ(h.finals.back().kind, KindInputRequest);
                h.queue().startProgramThread(h.ops(step.answer));
                break;
            case Step::Pick:
                // The menu's items by their numbers.
                ASSERT_TRUE(h.main.pumpUntil([&] { return h.queue().menuDisplay() != nullptr; }));
                h.parser().menuKey('0' + step.value);
                break;
            case Step::Resume:
                ASSERT_TRUE(h.settle());
                ASSERT_EQ(h.queue().frames().back()._breakType(), RunObject::BreakPause);
                h.parser().pauseKey(1065);
                break;
            }
        }
        ASSERT_TRUE(h.settle());
        ASSERT_GT(h.finals.size(), before);
        const Operand& end = h.finals.back();
        EXPECT_EQ(end.error, 0) << "at token " << end.location;
        EXPECT_NE(end.kind, KindInputRequest);
        EXPECT_NE(end.kind, KindMenu);
        const std::vector<std::string> output = h.output->calls();
        for (const std::string& line : f.shows)
            EXPECT_NE(std::find(output.begin(), output.end(), line), output.end()) << "no «" << line << "» in\n"
                                                                                  << joined(output);
    }
}

} // namespace
} // namespace orvenda::test::handheld
