// The fast evaluator against the full one over every token it takes, found by asking it
// about each token there is, written in every form the parser takes it in: alone over edge
// values and nested two deep, in Degree and Radian. Its value is the full evaluator's to the
// last bit, or it declines (NaN) and the caller asks the full evaluator; where the full
// evaluator has no real number (an error, a complex, infinite or NaN value) it declines.

#include "eval/QuickEvaluator.h"

#include "core/Calculator.h"
#include "core/VQStack.h"
#include "eval/Parser.h"
#include "language/UnitNames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <iomanip>
#include <limits>
#include <map>
#include <numbers>
#include <random>
#include <set>
#include <sstream>
#include <span>
#include <string>
#include <vector>

using namespace orvenda;

namespace {

using Ops = std::vector<std::uint32_t>;

constexpr std::uint32_t kOpen = 0x10, kClose = 0x11, kComma = 0x2B;
constexpr std::uint32_t kMixedSeparator = 0xEF39, kFractionBar = 0xEF38, kMixedNumber = 0x5C4B;
constexpr std::uint32_t kConversion = 0xBB5D;
// The operands: the letter variables A to E (tokens 0x41.., slots 0..).
constexpr int kLetters = 5;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kPi = std::numbers::pi;

// Zero, signs, fractions, whole numbers, the ends of the range, quarter turns in degrees,
// radians and gradians, the edges of the domains, overflow and the infinities it leaves.
const std::vector<double> kEdges{0, -0.0, 1, -1, 2, -2, 3, .5, -.5, 2.5, -2.5, 1.0 / 3, 2.0 / 3, .1, 7, 10, 64, -8,
                                 -27, 1e99, -1e99, 1e-99, -1e-99, 1e-20, 2e-20, 90, -90, 180, 270, 360, 45, 100,
                                 200, kPi / 2, kPi, -kPi / 2, 2 * kPi, .999999, 1.000001, 1e12, 1e15, 1000, 1e200,
                                 kInf, -kInf};
// Fewer for pairs and triples.
const std::vector<double> kPairEdges{0, 1, -1, 2, -2, .5, -.5, 2.5, 1.0 / 3, 10, -8, 90, 1e99, -1e99, 1e-99, 1e-20,
                                     1e12, 1e200, kInf};
const std::vector<double> kTripleEdges{0, 1, -1, 2, 4, .5, 1e99, kInf};

enum class Shape { Call1, Call2, Postfix, Infix, Prefix, Mixed };

int operandsOf(Shape shape)
{
    switch (shape) {
    case Shape::Call2: case Shape::Infix: return 2;
    case Shape::Mixed: return 3;
    default: return 1;
    }
}

// One way of writing a token: the opcode (a conversion with its units) and its shape.
struct Form {
    std::uint32_t opcode;
    Shape shape;
};

Ops bracketed(const Ops& a)
{
    Ops out{kOpen};
    out.insert(out.end(), a.begin(), a.end());
    out.push_back(kClose);
    return out;
}

void append(Ops& to, const Ops& from)
{
    to.insert(to.end(), from.begin(), from.end());
}

Ops spell(const Form& form, std::span<const Ops> a)
{
    Ops out;
    switch (form.shape) {
    case Shape::Call1:
        out.push_back(form.opcode);
        append(out, a[0]);
        out.push_back(kClose);
        break;
    case Shape::Call2:
        out.push_back(form.opcode);
        append(out, a[0]);
        out.push_back(kComma);
        append(out, a[1]);
        out.push_back(kClose);
        break;
    case Shape::Postfix:
        append(out, bracketed(a[0]));
        out.push_back(form.opcode);
        break;
    case Shape::Infix:
        append(out, bracketed(a[0]));
        out.push_back(form.opcode);
        append(out, bracketed(a[1]));
        break;
    case Shape::Prefix:
        out.push_back(form.opcode);
        append(out, bracketed(a[0]));
        break;
    case Shape::Mixed:
        // Its parts as they are: a bracket after the separator makes it no mixed number.
        append(out, a[0]);
        out.push_back(kMixedSeparator);
        append(out, a[1]);
        out.push_back(kFractionBar);
        append(out, a[2]);
        break;
    }
    return out;
}

Ops letter(int i)
{
    return {static_cast<std::uint32_t>(0x41 + i)};
}

class QuickEvaluatorAgreementTest : public ::testing::Test {
protected:
    Calculator calc;
    const std::unique_lock<StateMutex> hold_ = calc.lockState();
    Parser& parser = calc.parser();
    QuickEvaluator quick{parser};

    struct Mode {
        int angle;
        int complex;
        int digits;
    };
    // Degree and Radian; Radian again in a+bi with Fix 2 (the complex logarithm, round('s
    // default digits).
    static constexpr Mode kModes[] = {{0, 0, -1}, {1, 0, -1}, {1, 1, 2}};

    void setMode(const Mode& m)
    {
        calc.setAngleFormat(m.angle);
        calc.setRealCplxMode(m.complex);
        calc.locked()->numDigits = m.digits;
    }
    void setLetter(int i, double v) { calc.state().vars[static_cast<std::size_t>(i)] = {v, 0.0}; }

    // The compiled form of ops, when it compiles and is quick.
    std::optional<VQStack> quickForm(const Ops& ops)
    {
        Ops text = ops;
        parser.setError(0);
        VQStack rpn = parser.getRPNfor(text);
        const bool ok = parser.error() == 0 && quick.isQuick(rpn);
        parser.setError(0);
        if (!ok)
            return std::nullopt;
        return rpn;
    }

    std::string textOf(const Ops& ops) const
    {
        std::string s;
        for (std::uint32_t op : ops)
            s += calc.nameForOpcode(op);
        return s;
    }

    // Letters, or for a mixed number, whose parts are numbers as typed, 1␣1／4.
    std::vector<Ops> sampleOperands(Shape shape) const
    {
        if (shape == Shape::Mixed)
            return {calc.realToOpcodes(1), calc.realToOpcodes(1), calc.realToOpcodes(4)};
        std::vector<Ops> operands;
        for (int i = 0; i < operandsOf(shape); ++i)
            operands.push_back(letter(i));
        return operands;
    }

    // Every form of every token the fast evaluator takes, found from the evaluator itself.
    std::map<int, std::vector<Form>> formsOfEveryToken()
    {
        std::map<int, std::vector<Form>> forms;
        for (int token = 0; token <= 0xFFFF; ++token) {
            if (!QuickEvaluator::opFor(token))
                continue;
            std::vector<std::uint32_t> opcodes{static_cast<std::uint32_t>(token)};
            if (token == static_cast<int>(kConversion)) {
                // One conversion of each class.
                opcodes.clear();
                for (std::uint32_t c = 0; c < UnitNames::kClassCount; ++c)
                    if (UnitNames::unitCount(c) >= 2)
                        opcodes.push_back(UnitNames::opcodeForClass(c, 0, 1));
            }
            std::vector<Shape> shapes;
            const std::string name = calc.nameForOpcode(static_cast<std::uint32_t>(token));
            if (token == static_cast<int>(kMixedNumber))
                shapes = {Shape::Mixed};
            else if (!name.empty() && name.back() == '(')
                shapes = {Shape::Call1, Shape::Call2};
            else
                shapes = {Shape::Postfix, Shape::Infix, Shape::Prefix};
            for (std::uint32_t opcode : opcodes) {
                for (Shape shape : shapes) {
                    const Form form{opcode, shape};
                    const auto rpn = quickForm(spell(form, sampleOperands(shape)));
                    if (!rpn)
                        continue;
                    // The form must carry the token itself.
                    bool carries = false;
                    for (const Operand& record : rpn->stack())
                        carries = carries || (record.kind == KindOpcode && (record.opcode & 0xFFFF) == (opcode & 0xFFFF));
                    if (carries)
                        forms[token].push_back(form);
                }
            }
        }
        return forms;
    }

    // Compares the two evaluators on rpn with the variables and modes as they are.
    void compare(const VQStack& rpn, const QuickEvaluator::Program& program, int token, const Ops& ops)
    {
        ++comparisons;
        const double fast = quick.run(program);
        parser.setError(0);
        const Operand full = parser.evalRPN(rpn, true, true);
        const bool real = parser.error() == 0 && full.kind == KindReal && full.im() == 0 && std::isfinite(full.re());
        parser.setError(0);
        if (std::isnan(fast))
            return;
        ++answered[token];
        if (real && fast == full.re())
            return;
        if (++failures <= 25) {
            std::ostringstream full_;
            full_.precision(17);
            if (real)
                full_ << full.re();
            else
                full_ << "no real value (error " << full.error << ", " << full.re() << ")";
            ADD_FAILURE() << textOf(ops) << valuesText(kLetters) << ": fast " << std::setprecision(17) << fast << ", full " << full_.str();
        }
    }

    std::string valuesText(int count) const
    {
        std::ostringstream s;
        s.precision(17);
        s << " with";
        for (int i = 0; i < count; ++i)
            s << ' ' << char('A' + i) << '=' << calc.state().vars[static_cast<std::size_t>(i)].real();
        s << " (angle " << calc.angleFormat() << ", complex " << calc.realCplxMode() << ")";
        return s.str();
    }

    // Compiles ops and, when that is quick, compares the evaluators in each mode for each
    // round of values that `set` puts in.
    template <class Set>
    void compareForm(const Ops& ops, int token, std::span<const Mode> modes, int rounds, Set set)
    {
        const auto rpn = quickForm(ops);
        if (!rpn)
            return;
        QuickEvaluator::Program program;
        ASSERT_TRUE(quick.compile(*rpn, program));
        for (const Mode& mode : modes) {
            setMode(mode);
            for (int round = 0; round < rounds; ++round) {
                set(round);
                compare(*rpn, program, token, ops);
            }
        }
    }

    int comparisons = 0;
    int failures = 0;
    std::map<int, int> answered;
};

TEST_F(QuickEvaluatorAgreementTest, EveryTokenGivesTheFullEvaluatorsValueOrDeclines)
{
    const std::map<int, std::vector<Form>> forms = formsOfEveryToken();
    // Every token it takes can be written and is tried.
    std::set<int> taken;
    for (int token = 0; token <= 0xFFFF; ++token)
        if (QuickEvaluator::opFor(token))
            taken.insert(token);
    ASSERT_GE(taken.size(), 70u);
    for (int token : taken)
        EXPECT_TRUE(forms.contains(token)) << "no form found for token " << std::hex << token;

    std::vector<std::pair<int, Form>> all;
    for (const auto& [token, list] : forms)
        for (const Form& form : list)
            all.push_back({token, form});

    // Alone, over variables, every value (pairs from fewer). A mixed number's parts are
    // numbers as typed: it comes below.
    for (const auto& [token, form] : all) {
        if (form.shape == Shape::Mixed)
            continue;
        const int n = operandsOf(form.shape);
        const std::vector<double>& values = n == 1 ? kEdges : kPairEdges;
        const int rounds = static_cast<int>(n == 1 ? values.size() : values.size() * values.size());
        compareForm(spell(form, sampleOperands(form.shape)), token, kModes, rounds, [&](int round) {
            setLetter(0, values[static_cast<std::size_t>(round) % values.size()]);
            setLetter(1, values[static_cast<std::size_t>(round) / values.size()]);
        });
    }

    // Alone, over numbers written out, whose parts the fast evaluator works out once when it
    // compiles: the same values in every mode.
    for (const auto& [token, form] : all) {
        const int n = operandsOf(form.shape);
        const std::vector<double>& values = n == 1 ? kEdges : kTripleEdges;
        std::size_t count = 1;
        for (int i = 0; i < n; ++i)
            count *= values.size();
        for (std::size_t k = 0; k < count; ++k) {
            std::vector<Ops> operands;
            std::size_t rest = k;
            for (int i = 0; i < n; ++i, rest /= values.size())
                if (std::isfinite(values[rest % values.size()]))
                    operands.push_back(calc.realToOpcodes(values[rest % values.size()]));
            if (static_cast<int>(operands.size()) == n)
                compareForm(spell(form, operands), token, kModes, 1, [](int) {});
        }
    }

    // Nested two deep: every form inside every other, at each of its places, over values
    // drawn from the edges; and ln(0), e^(1000) and 1ᴇ200·1ᴇ200 at each place.
    std::mt19937 draw(117);
    std::uniform_int_distribution<std::size_t> pick(0, kEdges.size() - 1);
    const std::vector<Ops> infinities{{0xBE, 0x41, kClose}, {0xBF, 0x41, kClose}, {0x41, 0x82, 0x42}};
    const double makings[][2] = {{0, 0}, {1000, 0}, {1e200, 1e200}};
    for (const auto& outerEntry : all) {
        // Named apart: a lambda may not capture a structured binding under clang 14.
        const auto& outerToken = outerEntry.first;
        const auto& outer = outerEntry.second;
        if (outer.shape == Shape::Mixed)
            continue;
        const int n = operandsOf(outer.shape);
        // The outer form with `inner` at `place`, D and E elsewhere.
        auto around = [&](const Ops& inner, int place) {
            std::vector<Ops> operands;
            for (int i = 0; i < n; ++i)
                operands.push_back(i == place ? inner : letter(3 + i % 2));
            return spell(outer, operands);
        };
        for (int place = 0; place < n; ++place) {
            for (const auto& [innerToken, inner] : all) {
                compareForm(around(spell(inner, sampleOperands(inner.shape)), place), outerToken,
                            std::span(kModes).first(2), 2, [&](int) {
                                for (int i = 0; i < kLetters; ++i)
                                    setLetter(i, kEdges[pick(draw)]);
                            });
            }
            for (std::size_t j = 0; j < infinities.size(); ++j) {
                compareForm(around(infinities[j], place), outerToken, std::span(kModes).subspan(1, 1),
                            static_cast<int>(kPairEdges.size()), [&](int round) {
                                setLetter(0, makings[j][0]);
                                setLetter(1, makings[j][1]);
                                setLetter(3, kPairEdges[static_cast<std::size_t>(round)]);
                                setLetter(4, -kPairEdges[static_cast<std::size_t>(round)]);
                            });
            }
        }
    }

    EXPECT_EQ(failures, 0) << "of " << comparisons << " comparisons";
    // The fast evaluator still answers for every token: declining everything would pass the
    // rest of this test.
    for (int token : taken)
        EXPECT_GT(answered[token], 0) << "token " << std::hex << token << " never answered";
}

} // namespace
