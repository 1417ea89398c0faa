#include "pretty/PrettyPrint.h"
#include "pretty/PrettyTree.h"

#include "PrettyTestSupport.h"

#include "core/Calculator.h"
#include "core/Operand.h"
#include "eval/Parser.h"
#include "language/Vocabulary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <utility>

namespace orvenda {
namespace {

using test::ops;
using test::Ops;
using test::T;
using Kind = PrettyNode::Kind;

// The one item of the root row.
int only(const PrettyTree& tree)
{
    EXPECT_EQ(tree.node(tree.root()).childCount, 1);
    return tree.child(tree.root(), 0);
}

using Range = std::pair<int, int>;

// The op ranges of a node's children.
std::vector<Range> parts(const PrettyTree& tree, int i)
{
    std::vector<Range> ranges;
    for (int c : tree.children(i))
        ranges.push_back({tree.node(c).begin, tree.node(c).end});
    return ranges;
}

std::string text(const Ops& line)
{
    std::string out;
    for (std::uint32_t op : line)
        out += Vocabulary::shared().nameForOpcode(op);
    return out;
}

// Children lie inside their parent, in order and apart; the root covers every op.
void expectWellFormed(const PrettyTree& tree, int i)
{
    const PrettyNode& n = tree.node(i);
    int at = n.begin;
    for (int c : tree.children(i)) {
        const PrettyNode& k = tree.node(c);
        ASSERT_EQ(k.parent, i);
        ASSERT_LE(at, k.begin);
        ASSERT_LE(k.begin, k.end);
        ASSERT_LE(k.end, n.end);
        at = k.end;
        expectWellFormed(tree, c);
    }
    // A row is exactly its items.
    if (n.kind == Kind::Row && n.childCount > 0) {
        ASSERT_EQ(at, n.end);
    }
}

// The encodings the history (answers as ops) and the matrix prompt write parse into the
// nodes they stand for.
TEST(PrettyTreeTest, AnswerAndMatrixEncodingsBecomeTheirNodes)
{
    PrettyTree tree;
    // "3/4" as the history writes it.
    tree.build({0x10010, 0x33, 0x10011, 0x1EF38, 0x10010, 0x34, 0x10011});
    EXPECT_EQ(tree.node(only(tree)).kind, Kind::Fraction);
    EXPECT_EQ(parts(tree, only(tree)), (std::vector<Range>{{1, 2}, {5, 6}}));

    // "2¹/₄": a whole number, a superscript numerator and a subscript denominator.
    tree.build({0x32, T(0xEF39), T(0x10), 0x31, T(0x11), T(0xEF38), T(0x10), 0x34, T(0x11)});
    EXPECT_EQ(tree.node(only(tree)).kind, Kind::MixedNumber);
    EXPECT_EQ(parts(tree, only(tree)), (std::vector<Range>{{0, 1}, {3, 4}, {7, 8}}));

    // "2e^(1.5ɩ̇)": the ^ of a polar complex answer.
    tree.build({0x32, 0xBB31, T(0xF0, 2), T(0x10, 2), 0x31, 0x3A, 0x35, 0x2C, T(0x11, 2)});
    ASSERT_EQ(tree.node(tree.root()).childCount, 2);
    const int power = tree.child(tree.root(), 1);
    EXPECT_EQ(tree.node(power).kind, Kind::Script);
    EXPECT_EQ(parts(tree, power), (std::vector<Range>{{1, 2}, {4, 8}}));
    EXPECT_EQ(tree.node(power).id, 2);

    // A 2×3 matrix of zeros as the matrix prompt inserts it.
    Ops matrix = {T(0x06)};
    for (int r = 0; r < 2; ++r) {
        matrix.push_back(T(0x06));
        for (int c = 0; c < 3; ++c) {
            if (c > 0)
                matrix.push_back(T(0x2B));
            matrix.push_back(0x30);
        }
        matrix.push_back(T(0x07));
    }
    matrix.push_back(T(0x07));
    tree.build(matrix);
    const int m = only(tree);
    ASSERT_EQ(tree.node(m).kind, Kind::Matrix);
    ASSERT_EQ(tree.node(m).childCount, 2);
    EXPECT_EQ(parts(tree, tree.child(m, 1)), (std::vector<Range>{{9, 10}, {11, 12}, {13, 14}}));
}

TEST(PrettyTreeTest, EachTemplateAndPlainFormHasItsNode)
{
    struct Case {
        const char* name;
        Ops line;
        Kind kind;
        std::vector<Range> parts;
        bool closed = true;
    };
    const Case cases[] = {
        {"power", {0x32, T(0xF0), T(0x10), 0x33, T(0x11)}, Kind::Script, {{0, 1}, {3, 4}}},
        {"x-th root", {T(0x10), 0x33, T(0x11), T(0xF1), T(0x10), 0x38, 0x31, T(0x11)}, Kind::Radical, {{5, 7}, {1, 2}}},
        {"square root", {T(0xBC), 0x32, T(0x11)}, Kind::Radical, {{1, 2}}},
        {"abs", {T(0xB2), 0xB0, 0x33, T(0x11)}, Kind::AbsoluteValue, {{1, 3}}},
        {"e^", {T(0xBF), 0x31, T(0x11)}, Kind::Script, {{0, 1}, {1, 2}}},
        {"logBASE", {T(0xEF34), 0x38, T(0x2B), 0x32, T(0x11)}, Kind::LogBase, {{1, 2}, {3, 4}}},
        {"sum", {T(0xEF33), 0x58, T(0x2B), 0x58, T(0x2B), 0x31, T(0x2B), 0x34, T(0x11)}, Kind::BigOperator,
         {{1, 2}, {3, 4}, {5, 6}, {7, 8}}},
        {"nDeriv", {T(0x25), 0x58, T(0x2B), 0x58, T(0x2B), 0x32, T(0x11)}, Kind::Derivative, {{1, 2}, {3, 4}, {5, 6}}},
        // A new template's empty parts are boxes at the place of their content.
        {"empty fraction", {T(0x10), T(0x11), T(0xEF38), T(0x10), T(0x11)}, Kind::Fraction, {{1, 1}, {4, 4}}},
        {"unclosed root", {T(0xBC), 0x32}, Kind::Radical, {{1, 2}}, false},
        {"squared", ops("12²"), Kind::Script, {{0, 2}, {2, 3}}},
        {"brackets", ops("(1+2)"), Kind::Brackets, {{1, 4}}},
        {"function", ops("sin(1"), Kind::Brackets, {{1, 2}}, false},
        // A plain ")" inside a template part belongs to it; the ID'd one closes the part.
        {"plain bracket in a part", {T(0xBC), 0x10, 0x32, T(0x11)}, Kind::Radical, {{1, 3}}},
    };
    PrettyTree tree;
    for (const Case& c : cases) {
        tree.build(c.line);
        const PrettyNode& n = tree.node(only(tree));
        EXPECT_EQ(n.kind, c.kind) << c.name;
        EXPECT_EQ(parts(tree, only(tree)), c.parts) << c.name;
        EXPECT_EQ(n.closed, c.closed) << c.name;
        EXPECT_EQ(n.end, static_cast<int>(c.line.size())) << c.name;
    }
    // The box of an empty part, and what a glyph reads.
    tree.build({T(0x10), T(0x11), T(0xEF38), T(0x10), 0x32, T(0x11)});
    EXPECT_EQ(tree.node(tree.child(tree.child(only(tree), 0), 0)).kind, Kind::EmptyBox);
    tree.build(ops("2^X"));
    EXPECT_EQ(tree.node(tree.child(tree.root(), 1)).text, "^");
}

// Random lines of template pieces, IDs and plain tokens: the tree always covers the ops,
// beautifying is idempotent and closing brackets twice adds nothing more.
TEST(PrettyTreeTest, RandomLinesKeepTheirShape)
{
    const std::uint32_t pieces[] = {
        0x31, 0x32, 0x33, 0x58, 0x70, 0x71, 0x82, 0x83, 0xB0, 0xF0, 0xF1, 0xEF38, 0xEF39, 0x10, 0x11, 0x06,
        0x07, 0x08, 0x09, 0x2B, 0xBC, 0xB2, 0xBF, 0xEF34, 0xEF33, 0x25, 0x0D, 0x0C, 0x2D, 0x3E, 0x04, 0x2A,
        0xEF1E,
    };
    std::mt19937 random(20240611);
    PrettyTree tree;
    for (int run = 0; run < 10000; ++run) {
        Ops line(random() % 16);
        for (auto& op : line) {
            op = pieces[random() % std::size(pieces)];
            if (random() % 2)
                op |= (random() % 3 + 1) << 16;
        }
        tree.build(line);
        const PrettyNode& root = tree.node(tree.root());
        ASSERT_EQ(root.begin, 0);
        ASSERT_EQ(root.end, static_cast<int>(line.size()));
        expectWellFormed(tree, tree.root());
        const Ops pretty = PrettyPrint::beautifyOps(line);
        ASSERT_EQ(PrettyPrint::beautifyOps(pretty), pretty) << text(line);
        Ops closed = line;
        PrettyPrint::closeParens(closed);
        Ops again = closed;
        PrettyPrint::closeParens(again);
        ASSERT_EQ(again, closed) << text(line);
    }
}

// Random plain expressions: the pretty form has the value of the plain line, however the
// parser's precedence groups the operands of ^, ／, ˣ√ and negation.
class RandomExpression {
public:
    explicit RandomExpression(unsigned seed) : random_(seed) {}

    Ops next()
    {
        Ops line;
        expression(line, 0);
        return line;
    }

private:
    void expression(Ops& line, int depth)
    {
        term(line, depth);
        static constexpr std::uint32_t operators[] = {0x70, 0x71, 0x82, 0x83, 0xF0, 0xF0, 0xEF38, 0xEF38, 0xF1};
        while (random_() % 3 == 0) {
            line.push_back(operators[random_() % std::size(operators)]);
            term(line, depth);
        }
    }

    void term(Ops& line, int depth)
    {
        if (random_() % 5 == 0)
            line.push_back(0xB0);
        const unsigned kind = depth > 2 ? random_() % 3 : random_() % 12;
        switch (kind) {
        case 0: case 1: line.push_back(0x31 + random_() % 4); break;
        case 2: line.push_back(0x58); break;
        case 3: group(line, 0x10, depth); break;
        case 4: group(line, 0xBC, depth); break;
        case 5: group(line, 0xB2, depth); break;
        case 6:
            line.push_back(0xEF34);
            expression(line, depth + 1);
            line.push_back(0x2B);
            line.push_back(0x32);
            line.push_back(0x11);
            break;
        case 7:
            line.insert(line.end(), {0x32u, 0xEF39u, 0x31u + static_cast<std::uint32_t>(random_() % 3), 0xEF38u, 0x35u});
            break;
        case 8: group(line, random_() % 2 ? 0xBFu : 0xC1u, depth); break;
        case 9: line.insert(line.end(), {0x32u, 0x58u}); break;
        case 10: group(line, 0xBD, depth); break;
        default: line.push_back(0x33); line.push_back(0x33); break;
        }
        if (random_() % 6 == 0)
            line.push_back(random_() % 2 ? 0x0Du : 0x2Du);
    }

    void group(Ops& line, std::uint32_t opener, int depth)
    {
        line.push_back(opener);
        expression(line, depth + 1);
        if (random_() % 4 != 0)  // sometimes left for the parser to close
            line.push_back(0x11);
    }

    std::mt19937 random_;
};

TEST(PrettyTreeTest, RandomExpressionsKeepTheirValue)
{
    Calculator calc;
    Ops store = ops("1.5->X");
    calc.parser().eval(store, false);
    RandomExpression expressions(11);
    int compared = 0, rewritten = 0;
    for (int run = 0; run < 20000; ++run) {
        const Ops line = expressions.next();
        calc.parser().setError(0);
        Ops plain = line;
        const Operand value = calc.parser().eval(plain, false);
        if (value.error != 0 || value.kind != KindReal)
            continue;
        const Ops pretty = PrettyPrint::beautifyOps(line);
        calc.parser().setError(0);
        Ops evaluated = pretty;
        const Operand prettyValue = calc.parser().eval(evaluated, false);
        ASSERT_EQ(prettyValue.error, 0) << text(line);
        if (!(std::isnan(value.re()) && std::isnan(prettyValue.re()))) {
            ASSERT_EQ(prettyValue.re(), value.re()) << text(line);
        }
        ++compared;
        rewritten += pretty != line;
    }
    calc.parser().setError(0);
    EXPECT_GT(compared, 8000);
    EXPECT_GT(rewritten, 4000);
}

} // namespace
} // namespace orvenda
