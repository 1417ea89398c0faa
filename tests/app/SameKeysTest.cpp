// The MathPrint home and the Classic home given the same keys: the same answer (value or
// error), and the MathPrint line holds no op the keys did not type (it reads as the Classic
// line made two-dimensional). The Y= rows likewise, read back through Y₁(4).

#include "AppTestSupport.h"

#include "app/YEqModel.h"
#include "language/Vocabulary.h"
#include "pretty/PrettyTestSupport.h"

#include <cmath>
#include <complex>
#include <optional>
#include <random>
#include <set>
#include <sstream>

namespace orvenda::test {
namespace {

// Keys as the table writes them, separated by spaces: the names below, or text typed
// token by token as the case files write a line ("√(", "／" n/d, "␣" Un/d, "ˣ√", "—"
// subtracts, "-" negates).
const std::map<std::string, std::uint32_t, std::less<>> kNamedKeys = {
    {"DOWN", KeyRouter::kDown}, {"UP", KeyRouter::kUp}, {"LEFT", KeyRouter::kLeft}, {"RIGHT", KeyRouter::kRight},
    {"DEL", KeyRouter::kDel}, {"CLEAR", KeyRouter::kClear}, {"ENTER", KeyRouter::kEnter},
    {"INS", KeyRouter::kIns}, {"ENTRY", KeyRouter::kEntry}, {"UNDO", KeyRouter::kUndo}, {"REDO", KeyRouter::kRedo},
    {"HOME", KeyRouter::kHome}, {"END", KeyRouter::kEnd},
};

struct Outcome {
    std::complex<double> value;
    int error = 0;
    // The line entered (or left on the entry line by its error), its tokens without
    // template IDs.
    Ops tokens;
};

std::ostream& operator<<(std::ostream& out, const Outcome& o)
{
    if (o.error != 0)
        out << "error " << o.error;
    else
        out << o.value;
    out << " [";
    for (std::uint32_t t : o.tokens)
        out << Vocabulary::shared().nameForOpcode(t);
    return out << "]";
}

bool near(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b)) || std::abs(a - b) <= 1e-11 * std::max(1.0, std::abs(b));
}

bool near(std::complex<double> a, std::complex<double> b)
{
    return near(a.real(), b.real()) && near(a.imag(), b.imag());
}

Ops tokensOf(const Ops& ops)
{
    Ops out;
    for (std::uint32_t op : ops)
        out.push_back(op & 0xFFFF);
    return out;
}

class SameKeys : public KeysTest {
protected:
    SameKeys()
    {
        calc.baseFontSize = 20;
        calc.prettyPrint->setMetrics(&metrics);
        calc.yEqManager = yEq;
    }
    ~SameKeys() override { calc.yEqManager.reset(); }

    // One key of the table: a named key, "BS" (the computer's Backspace), "paste:" and the
    // text pasted, or typed text.
    void key(const std::string& name)
    {
        static const EntryText text;
        std::string bad;
        if (name.starts_with("paste:")) {
            const auto ops = text.toOps(name.substr(6), bad);
            ASSERT_TRUE(ops) << "no token for " << bad;
            keys.paste(*ops);
        } else if (name == "BS") {
            keys.backspace([this](std::uint32_t op) { keys.processKeyOp(op); });
        } else if (auto named = kNamedKeys.find(name); named != kNamedKeys.end()) {
            press({named->second});
            if (named->second == KeyRouter::kEnter)
                settle();
        } else {
            const auto ops = text.toOps(name, bad);
            ASSERT_TRUE(ops) << "no token for " << bad;
            for (std::uint32_t op : *ops)
                keys.processKeyOp(op);
        }
    }

    // A fresh home line in one display form (or the line of the home-like screen `screen`).
    void fresh(bool mathPrint)
    {
        calc.locked()->mathPrint = mathPrint;
        calc.setCurrentScreen(screen);
        entry->forceOps({});
        entry->clearUndo();
        history->clearAll();
        history->setSelectedEntry(-1);
        calc.ans = VQValue(0.0);
        calc.insert = 0;
        view->errors.clear();
    }
    void typeKeys(const std::string& keysTyped)
    {
        std::istringstream in(keysTyped);
        for (std::string name; in >> name;)
            key(name);
    }

    // The keys typed on a fresh home line, then what ENTER evaluates there: the line with
    // its brackets closed (evaluated at once, without the program queue's round trip).
    Outcome run(bool mathPrint, const std::string& keysTyped)
    {
        fresh(mathPrint);
        typeKeys(keysTyped);
        Ops line = entry->entryOps();
        PrettyPrint::closeParens(line);
        Outcome o;
        o.tokens = tokensOf(line);
        calc.parser().setError(0);
        const Operand answer = calc.parser().eval(line, false);
        calc.parser().setError(0);
        o.error = answer.error;
        if (o.error == 0)
            o.value = {answer.re(), answer.im()};
        return o;
    }

    // The same keys on both homes; with an answer, the Classic home's.
    void expectSame(const std::string& keysTyped, std::optional<double> expected = std::nullopt)
    {
        Outcome classic = run(false, keysTyped);
        const Outcome mathPrint = run(true, keysTyped);
        if (expected) {
            EXPECT_EQ(classic.error, 0) << keysTyped << ": " << classic;
            EXPECT_TRUE(near(classic.value, *expected)) << keysTyped << ": " << classic;
        }
        if (classic.error != 0 || mathPrint.error != 0) {
            // An empty part is a missing argument where the one-line form has a syntax
            // error; an error either way.
            EXPECT_TRUE(classic.error != 0 && mathPrint.error != 0)
                << "keys: " << keysTyped << "\nMathPrint: " << mathPrint << "\nClassic: " << classic;
            return;
        }
        // The MathPrint line is the Classic line in two dimensions.
        EXPECT_TRUE(near(mathPrint.value, classic.value) && mathPrint.tokens == tokensOf(PrettyPrint::beautifyOps(classic.tokens)))
            << "keys: " << keysTyped << "\nMathPrint: " << mathPrint << "\nClassic: " << classic;
    }

    FixedMetrics metrics;
    std::shared_ptr<YEqModel> yEq = std::make_shared<YEqModel>(calc);
    int screen = 0;
};

// The five kinds the MathPrint home answered differently, each as a student types it.
TEST_F(SameKeys, EachKindTheMathPrintHomeGotWrong)
{
    const struct {
        const char* keys;
        double answer;
    } cases[] = {
        // A ")" or "," at the end of a template's part goes past the template's own.
        {"√( 9 )", 3},
        {"³√( 8 )", 2},
        {"e^( 0 )", 1},
        {"₁₀^( 2 )", 100},
        {"abs( -3 )", 3},
        {"√( 9 ) + 1", 4},
        {"logBASE( 8 , 2 )", 3},
        {"nDeriv( X² , X , 3 )", 6},
        {"∑( K , K , 1 , 4 )", 10},
        {"fnInt( X , X , 0 , 2 )", 2},
        {"√( √( 16 ) )", 2},
        {"√( ( 9 ) ) + 1", 4},
        {"√( 2 ^ 3 DOWN + 1 )", 3},
        {"( 1 ／ 2 ) + 1", 1.5},
        {"( 2 ^ 3 ) + 1", 9},
        {"( 3 ˣ√ 8 ) * 5", 10},
        // Backspace deletes the op before the cursor, whatever a template switched on.
        {"√( 4 CLEAR 9 BS 8", 8},
        {"₁₀^( 4 9 BS", 10000},
        {"√( 4 9 LEFT 5", std::sqrt(45.0)},
        {"√( 4 ) ENTER 9 BS 8", 8},
        {"√( 4 RIGHT CLEAR 9 BS 8", 8},
        // DOWN out of an exponent goes on after the power, however short it is.
        {"2 ^ 3 DOWN + 1", 9},
        {"2 ^ 3 4 5 DOWN — 2 ^ 3 4 5", 0},
        // n/d and ˣ√ after a number take it.
        {"1 ／ 2", 0.5},
        {"3 ˣ√ 8", 2},
        {"12 ／ 4 RIGHT + 1", 4},
        {"2 + 1 ／ 2", 2.5},
        {"- 1 ／ 2", -0.5},
        {"1.5 ／ 3", 0.5},
        {"5 nCr 2 ／ 5", 2},
        {"2 ^ 3 RIGHT ／ 4", 2},
        {"( 1 + 2 ) ／ 3", 1},
        {"√( 4 ) ／ 8", 0.25},
        {"2 X ／ 2 RIGHT + 1", 1},
        {"5 nPr 2 ˣ√ 9", 60},
        // DEL at a part's end takes nothing.
        {"1 √( DEL 3", std::sqrt(3.0)},
        {"2 ␣ 1 ／ 4 RIGHT + 1", 3.25},
        {"√( DEL DEL 4", 2},
        {"logBASE( 8 DEL , 2 )", 3},
        // A DEL that takes nothing leaves no step for UNDO to spend.
        {"√( 9 DEL UNDO 4", 2},
        {"√( DEL UNDO 4", 4},
        {"logBASE( 8 DEL UNDO 9 , 3 )", 2},
        // Backspace or DEL at the end of a numerator or index with nothing after the bar
        // takes the bar, as the Classic home's takes its ／ or ˣ√.
        {"1 ／ BS 2", 12},
        {"3 ˣ√ BS 2", 32},
        {"1 ／ 4 BS BS 2", 12},
        {"( 1 + 2 ) ／ BS * 5", 15},
        {"√( 4 ) ／ BS 5", 10},
        {"1 ／ LEFT DEL 5", 15},
        // INS's insert mode outlasts a template typed in it, as on the Classic home.
        {"1 + 2 LEFT LEFT INS √( 9 ) 4", 14},
        {"1 + 2 LEFT LEFT INS * ( 3 ^ 2 ) 4", 38},
        {"1 + 2 LEFT LEFT INS logBASE( 8 , 2 ) 5", 17},
        {"1 2 LEFT INS CLEAR 3 BS 4", 43},
        {"1 2 LEFT INS √( 9 CLEAR 3 BS 4", 43},
        // Pasted, a ")" or "," that closes nothing of the paste's own acts as its key.
        {"√( paste:9)+1", 4},
        {"logBASE( paste:8,2)+1", 4},
        {"( 1 ／ paste:2)+1", 1.5},
        {"√( paste:(9)", 3},
        // A typed string holds the ")" it was typed with.
        {"\" √( X ) \" -> Y₁ ENTER Y₁( 4 )", 2},
    };
    for (const auto& c : cases)
        expectSame(c.keys, c.answer);
}

// A line wrong as typed keeps its error on both homes, the cursor on the offending ")"
// that closes nothing: outside every template, past them, or after a power's exponent.
TEST_F(SameKeys, AnUnmatchedBracketKeepsItsErrorAndTheCursor)
{
    const struct {
        const char* keys;
        int cursorClassic;
        int cursorMathPrint;
    } cases[] = {
        {"9 ) + 1", 1, 1},
        {"√( 9 ) ) + 1", 3, 3},
        {"2 ^ 3 ) + 1", 3, 5},
        {"1 ／ 2 ) * 2", 3, 7},
    };
    for (const auto& c : cases) {
        for (const bool mathPrint : {false, true}) {
            fresh(mathPrint);
            typeKeys(std::string(c.keys) + " ENTER");
            ASSERT_FALSE(view->errors.empty()) << c.keys;
            EXPECT_EQ(view->errors.back().value("errorNum", 0), ErrSyntax) << c.keys << (mathPrint ? " in MathPrint" : "");
            EXPECT_TRUE(history->history().empty()) << c.keys;
            const int at = mathPrint ? c.cursorMathPrint : c.cursorClassic;
            EXPECT_EQ(entry->entryCursor(), at) << c.keys << (mathPrint ? " in MathPrint" : "");
            ASSERT_LT(at, static_cast<int>(entry->entryOps().size())) << c.keys;
            EXPECT_EQ(entry->entryOps()[static_cast<std::size_t>(at)], 0x11u) << c.keys;
        }
    }
}

// Every template, each part left as the keys leave it, and what follows.
TEST_F(SameKeys, EveryTemplateEveryWayOutOfItsPartsAndWhatFollows)
{
    // Function templates: their parts typed with "," between; the last left by ")" or
    // left open (ENTER closes it).
    const struct {
        const char* opener;
        std::vector<const char*> parts;
    } functions[] = {
        {"√(", {"9"}}, {"³√(", {"8"}}, {"abs(", {"-3"}}, {"e^(", {"0"}}, {"₁₀^(", {"2"}},
        {"logBASE(", {"8", "2"}}, {"nDeriv(", {"X²", "X", "3"}}, {"∑(", {"K", "K", "1", "4"}},
        {"fnInt(", {"X", "X", "0", "2"}},
    };
    const char* follows[] = {"", "+ 1", "* 2", ")", ", 5"};
    for (const auto& f : functions) {
        std::string typed = std::string("2 * ") + f.opener;
        for (std::size_t k = 0; k < f.parts.size(); ++k)
            typed += std::string(k > 0 ? " , " : " ") + f.parts[k];
        for (const char* leave : {" )", ""})
            for (const char* after : follows)
                expectSame(typed + leave + " " + after);
        // A part left early by ")" (too few arguments).
        if (f.parts.size() > 1)
            expectSame(std::string(f.opener) + " " + f.parts[0] + " ) + 1");
    }
    // The power, n/d and ˣ√: the part after the number left by RIGHT, DOWN (the power),
    // ")" or not at all; the keys typed after it are what the one-line form reads there.
    const struct {
        const char* keys;
        std::vector<const char*> leaves;
    } operators[] = {
        {"2 ^ 3", {"RIGHT", "DOWN", ")", ""}},
        {"1 ／ 4", {"RIGHT", ")", ""}},
        {"3 ˣ√ 8", {"RIGHT", ")", ""}},
        {"2 ^ -", {"RIGHT", "DOWN", ")"}},
        {"5 ／", {"RIGHT", ")"}},
        {"2 ␣ 1 ／ 4", {"RIGHT", ")", ""}},
        {"␣ 1 ／ 4", {"RIGHT", ")"}},
    };
    // (Left open, what follows is still in the part: the one-line form reads it otherwise.)
    for (const auto& o : operators)
        for (const char* leave : o.leaves)
            for (const char* after : {"", "+ 1", "* 2", "— 4"})
                if (*leave != 0 || *after == 0)
                    expectSame(std::string("( ") + o.keys + " " + leave + " " + after);
    // Inside each function template too.
    for (const auto& f : functions)
        for (const auto& o : operators)
            expectSame(std::string(f.opener) + " " + o.keys + " " + o.leaves.front() + " )");

    // Every key that makes a template is in the tables above.
    std::set<std::uint32_t> tabled;
    static const EntryText text;
    std::string bad;
    for (const auto& f : functions)
        tabled.insert(text.toOps(f.opener, bad).value_or(Ops{0}).front());
    for (const auto& o : operators) {
        for (const std::uint32_t op : text.toOps(o.keys, bad).value_or(Ops{}))
            tabled.insert(op);
    }
    for (std::uint32_t t = 1; t <= 0xFFFF; ++t) {
        int at = 1, adjust = 0, insert = 0, taken = 0;
        const Ops added = KeyRouter::acceptsToken(t) ? PrettyPrint::enterOp(t, at, {0x31}, adjust, insert, taken) : Ops{};
        if (std::any_of(added.begin(), added.end(), [](std::uint32_t op) { return op > 0xFFFF; })) {
            EXPECT_TRUE(tabled.count(t)) << Vocabulary::shared().nameForOpcode(t) << " makes a template no row types";
        }
    }
}

// INS pressed once, twice and three times inside a part of each kind of template, then
// CLEAR and a line typed with Backspace, or a key typed in the part: as on the Classic
// home (an even count leaves insert off, and the mode a template's op switched on ends with
// CLEAR), on the home line and the equation solver's and the polynomial's lines.
TEST_F(SameKeys, InsInsideEachTemplateTogglesAsOnTheClassicHome)
{
    const char* parts[] = {
        "√( 6", "³√( 8", "abs( -6", "e^( 1", "₁₀^( 2", "logBASE( 8", "logBASE( 8 , 2", "nDeriv( X² , X , 3",
        "∑( K , K , 1 , 4", "fnInt( X , X , 0 , 2", "2 ^ 3", "1 ／ 4", "3 ˣ√ 8", "2 ␣ 1 ／ 4",
    };
    // (The moves after an odd count: the test below.)
    const char* then[] = {"CLEAR 9 BS 8", "CLEAR 9 BS BS 8 7", "CLEAR 9 1 DEL 5", "7", "BS 7", "DEL 7"};
    const char* evenThen[] = {"CLEAR 9 1 LEFT 5", "LEFT 7", "CLEAR 9 1 LEFT LEFT 5 RIGHT 4"};
    for (const int on : {0, 10, 20}) {
        screen = on;
        // The two lines the MathPrint home answered 89 and 951 for.
        expectSame("√( 6 INS INS CLEAR 9 BS 8", 8);
        expectSame("√( 6 INS INS CLEAR 9 1 LEFT 5", 95);
        expectSame("√( 6 INS CLEAR 9 BS 8", 89);
        for (const char* part : parts)
            for (const char* presses : {"INS", "INS INS", "INS INS INS"}) {
                for (const char* after : then)
                    expectSame(std::string(part) + " " + presses + " " + after);
                if (std::string(presses) == "INS INS")
                    for (const char* after : evenThen)
                        expectSame(std::string(part) + " " + presses + " " + after);
                if (HasFailure())
                    return;
            }
    }
    screen = 0;
}

// INS pressed once, twice and three times inside each kind of template, then CLEAR and a
// line typed with the cursor moved in it, then ENTER: the Classic home's answer (a move ends
// INS's insert mode on either home, CLEAR leaves it on), on every line that edits in two
// dimensions: the home line, a Y= row (read back through Y₁(4)), the equation solver's, the
// polynomial's and the key-set editor's lines.
TEST_F(SameKeys, InsInsideATemplateThenClearAnswersAsOnTheClassicHomeOnEveryLine)
{
    const char* parts[] = {
        "√( 6", "³√( 8", "abs( -6", "e^( 1", "₁₀^( 2", "logBASE( 8", "logBASE( 8 , 2", "nDeriv( X² , X , 3",
        "∑( K , K , 1 , 4", "fnInt( X , X , 0 , 2", "2 ^ 3", "1 ／ 4", "3 ˣ√ 8", "2 ␣ 1 ／ 4",
    };
    const char* then[] = {
        "CLEAR 9 1 LEFT 5", "CLEAR 9 1 LEFT LEFT 5 RIGHT 4", "CLEAR 9 1 RIGHT LEFT 5", "CLEAR 9 1 2 LEFT LEFT DEL 5",
        "CLEAR 9 1 LEFT INS 5", "CLEAR 9 BS 8 1 LEFT 5",
    };
    constexpr int kYEqRow = 1;
    // The answer of the keys on the line `on` in one form.
    auto answer = [&](int on, bool mathPrint, const std::string& keysTyped) {
        if (on != kYEqRow) {
            screen = on;
            return run(mathPrint, keysTyped);
        }
        screen = 0;
        calc.locked()->mathPrint = mathPrint;
        yEq->clearAll();
        yEq->setCurrentFunction(0);
        calc.setCurrentScreen(kYEqRow);
        calc.insert = 0;
        typeKeys(keysTyped);
        return run(mathPrint, "Y₁( 4 )");
    };
    for (const int on : {0, kYEqRow, 10, 20, 22}) {
        // The line the MathPrint home answered 951 for.
        const Outcome first = answer(on, true, "√( 6 INS CLEAR 9 1 LEFT 5");
        EXPECT_TRUE(first.error == 0 && near(first.value, 95)) << "line " << on << ": " << first;
        for (const char* part : parts)
            for (const char* presses : {"INS", "INS INS", "INS INS INS"})
                for (const char* after : then) {
                    const std::string keysTyped = std::string(part) + " " + presses + " " + after;
                    const Outcome classic = answer(on, false, keysTyped);
                    const Outcome mathPrint = answer(on, true, keysTyped);
                    ASSERT_EQ(classic.error, 0) << "line " << on << ": " << keysTyped << ": " << classic;
                    ASSERT_TRUE(mathPrint.error == 0 && near(mathPrint.value, classic.value))
                        << "line " << on << ": " << keysTyped << "\nMathPrint: " << mathPrint << "\nClassic: " << classic;
                }
    }
    screen = 0;
}

// Up and Down between a fraction's parts land where the cursor is drawn: after the last
// digit at a part's end, so the next digit goes after it.
TEST_F(SameKeys, UpAndDownBetweenAFractionsPartsLandAfterTheLastDigit)
{
    const struct {
        const char* keys;
        double answer;
    } cases[] = {
        {"／ 1 2 3 DOWN 4 5 6 UP 9", 1239.0 / 456},
        {"／ 1 2 3 DOWN 4 5 6 UP 9 DOWN 7", 1239.0 / 4567},
        {"／ 1 DOWN 4 5 6 UP 9", 19.0 / 456},
        {"／ 1 2 3 4 5 DOWN 6 7 8 UP 9", 12349.0 / 678},
        {"2 ␣ 1 2 3 DOWN 4 5 6 UP 9", 2 + 1239.0 / 456},
        {"2 ␣ 1 2 3 DOWN 4 5 6 UP 9 DOWN 7", 2 + 1239.0 / 4567},
    };
    for (const auto& c : cases) {
        const Outcome o = run(true, c.keys);
        EXPECT_EQ(o.error, 0) << c.keys << ": " << o;
        EXPECT_TRUE(near(o.value, c.answer)) << c.keys << ": " << o;
    }
}

// Random keys from a fixed seed, drawn so that the keys mean the same on both homes:
// digits, operators, brackets, commas, the function templates, n/d, ˣ√, ^ and Un/d (with
// its n/d) after a number with their part left by RIGHT (or DOWN for ^), DEL anywhere, CLEAR, and Backspace
// after a digit, an operator or a bracket. (RIGHT, DOWN and Backspace elsewhere move over
// the two-dimensional form, which the one-line form has no counterpart of.)
TEST_F(SameKeys, RandomKeysAnswerAlike)
{
    std::mt19937 random(111);
    auto pick = [&](std::initializer_list<const char*> from) {
        return *(from.begin() + static_cast<std::ptrdiff_t>(random() % from.size()));
    };
    auto digits = [&] { return std::string(pick({"1", "2", "3", "4", "7", "9", "12", "0.5"})); };
    int values = 0;
    const int count = 1500;
    for (int n = 0; n < count; ++n) {
        std::vector<std::string> keysTyped;
        const std::size_t length = 3 + random() % 13;
        while (keysTyped.size() < length) {
            const std::string last = keysTyped.empty() ? "" : keysTyped.back();
            const bool afterValue = !last.empty() && (std::isdigit(static_cast<unsigned char>(last.back())) != 0);
            switch (random() % 12) {
            case 0: case 1: keysTyped.push_back(digits()); break;
            case 2: keysTyped.push_back(pick({"+", "—", "*", "/"})); break;
            case 3: keysTyped.push_back(pick({"(", ")", ")", ","})); break;
            case 4: keysTyped.push_back(pick({"√(", "abs(", "e^(", "₁₀^(", "³√(", "logBASE(", "-"})); break;
            case 5: case 6:
                if (!afterValue)
                    keysTyped.push_back(digits());
                keysTyped.push_back(pick({"^", "／", "ˣ√", "␣"}));
                // Taken back at once: the number alone again.
                if (keysTyped.back() != "␣" && random() % 4 == 0) {
                    keysTyped.push_back("BS");
                    break;
                }
                keysTyped.push_back(digits());
                if (keysTyped[keysTyped.size() - 2] == "␣") {
                    keysTyped.push_back("／");
                    keysTyped.push_back(digits());
                }
                keysTyped.push_back(keysTyped[keysTyped.size() - 2] == "^" ? pick({"RIGHT", "DOWN"}) : "RIGHT");
                // Past the part, a number would be the part's own in the one-line form.
                keysTyped.push_back(pick({"+", "—", "*", ")"}));
                break;
            case 7: keysTyped.push_back("DEL"); break;
            case 8: {
                // Not what stood after a part left by RIGHT or DOWN: a digit typed then
                // is outside the part, where the one-line form still reads the part.
                const std::string before = keysTyped.size() > 1 ? keysTyped[keysTyped.size() - 2] : "";
                if ((afterValue || last == "+" || last == "—" || last == "(" || last == ")") && before != "RIGHT"
                    && before != "DOWN")
                    keysTyped.push_back("BS");
                break;
            }
            case 9:
                if (random() % 4 == 0)
                    keysTyped.push_back("CLEAR");
                break;
            default: keysTyped.push_back(digits()); break;
            }
        }
        // Mostly a value to compare: a line ending in an operator gets its operand.
        const std::string end = keysTyped.back();
        if (random() % 4 != 0 && (end == "+" || end == "—" || end == "*" || end == "/" || end == "," || end.back() == '('))
            keysTyped.push_back(digits());
        std::string line;
        for (const std::string& k : keysTyped)
            line += k + " ";
        values += run(false, line).error == 0;
        expectSame(line);
        if (HasFailure())
            return;
    }
    // Enough of them answer with a value for the lines to be compared too.
    EXPECT_GT(values, count / 4);
}

// The Y= rows typed key by key in either form: Y₁(4) the same. (In the Classic form DOWN
// goes to the next row: its row is typed without it.)
TEST_F(SameKeys, YEqualsRowsTypedKeyByKey)
{
    const struct {
        const char* mathPrintKeys;
        const char* classicKeys;
        std::optional<double> answer;  // none: an error
    } rows[] = {
        {"√( X ) + 1", "√( X ) + 1", 3},
        {"X ^ 2 DOWN + 1", "X ^ 2 + 1", 17},
        {"X ^ 2 RIGHT * 3", "X ^ 2 RIGHT * 3", 48},
        {"1 ／ X RIGHT + 1", "1 ／ X RIGHT + 1", 1.25},
        {"3 ˣ√ 8 RIGHT X", "3 ˣ√ 8 * X", 8},
        {"logBASE( X , 2 ) + 1", "logBASE( X , 2 ) + 1", 3},
        {"abs( X — 9 ) )", "abs( X — 9 ) )", std::nullopt},
        {"1 √( DEL X", "1 √( DEL X", 2},
        {"√( X 9 BS )", "√( X 9 BS )", 2},
        {"2 ／ BS X", "2 ／ BS X", 8},
        {"√( X DEL UNDO 4 ) + X", "√( X DEL UNDO 4 ) + X", 6},
        {"X + 1 LEFT LEFT INS √( 4 ) 2", "X + 1 LEFT LEFT INS √( 4 ) 2", 17},
        // INS inside a template toggles as on the Classic home; its mode outlasts CLEAR once.
        {"√( X INS INS CLEAR X 9 BS 4", "√( X INS INS CLEAR X 9 BS 4", 16},
        {"√( X INS CLEAR X 9 BS 4", "√( X INS CLEAR X 9 BS 4", 196},
        {"1 ／ X INS INS INS CLEAR X 9 BS 4", "1 ／ X INS INS INS CLEAR X 9 BS 4", 196},
        {"X ^ 2 INS INS BS 3", "X ^ 2 INS INS BS 3", 64},
        {"√( paste:X)+1", "√( paste:X)+1", 3},
        {"^ 2", "^ 2", std::nullopt},
        {"^ X", "^ X", std::nullopt},
    };
    for (const auto& row : rows) {
        Outcome answers[2];
        for (const bool mathPrint : {false, true}) {
            calc.locked()->mathPrint = mathPrint;
            yEq->clearAll();
            yEq->setCurrentFunction(0);
            calc.setCurrentScreen(1);
            calc.insert = 0;
            typeKeys(mathPrint ? row.mathPrintKeys : row.classicKeys);
            answers[mathPrint] = run(mathPrint, "Y₁( 4 )");
        }
        if (row.answer)
            EXPECT_TRUE(answers[0].error == 0 && near(answers[0].value, *row.answer)) << "Classic: " << row.classicKeys << " " << answers[0];
        else
            EXPECT_NE(answers[0].error, 0) << "Classic: " << row.classicKeys;
        EXPECT_TRUE(answers[1].error == answers[0].error && near(answers[1].value, answers[0].value))
            << "MathPrint: " << row.mathPrintKeys << " " << answers[1];
    }
}

// The insert mode a template's op switched on stays with the line it was switched on: a
// Y= row typed after a template left open on the home line overwrites at its cursor as
// on the Classic home, and back on the home line the template takes its keys as before.
TEST_F(SameKeys, ATemplatesInsertModeStaysOnItsLine)
{
    static const EntryText text;
    std::string bad;
    const Ops overwritten = text.toOps("2+1", bad).value_or(Ops{});
    Ops homes[2];
    for (const bool mathPrint : {false, true}) {
        const char* form = mathPrint ? "MathPrint" : "Classic";
        calc.locked()->mathPrint = mathPrint;
        yEq->clearAll();
        yEq->setCurrentFunction(0);
        calc.setCurrentScreen(1);
        typeKeys("X + 1");
        yEq->setEntryCursor(0);
        fresh(mathPrint);
        typeKeys("√( 9");
        calc.setCurrentScreen(1);
        typeKeys("2");
        EXPECT_EQ(tokensOf(yEq->equationOpsWithIndex(0).value_or(Ops{})), overwritten) << form;
        calc.setCurrentScreen(0);
        typeKeys(") + 1");
        homes[mathPrint] = tokensOf(entry->entryOps());
    }
    EXPECT_EQ(homes[1], homes[0]);
}

} // namespace
} // namespace orvenda::test
