#include "pretty/TemplateRewriter.h"

#include "language/Precedence.h"
#include "pretty/TokenClass.h"

namespace orvenda {

namespace {

using TC = TokenClass;
using Kind = PrettyNode::Kind;

// The parser's precedence of ^ and ˣ√, and of ／ and ␣ (a smaller number binds tighter).
constexpr int kPowerOrder = 3;
constexpr int kFractionOrder = 4;
// The negation's: its operand takes every tighter operator.
constexpr int kNegationOrder = 5;
constexpr std::uint32_t kDegree = 0x0B;

PrettyNode templateNode(Kind kind, std::uint32_t token, std::uint16_t id, int begin, int end)
{
    return PrettyNode::of(kind, begin, end, token, id);
}

} // namespace

TemplateRewriter::TemplateRewriter(PrettyTree& tree) : tree_(tree), ids_(tree.ops_) {}

int TemplateRewriter::make(const PrettyNode& n, std::span<const int> kids)
{
    const int i = tree_.add(n);
    for (int k : kids)
        tree_.scratch_.push_back(k);
    tree_.adopt(i, tree_.scratch_.size() - kids.size());
    return i;
}

void TemplateRewriter::setChildren(int i, const Nodes& kids)
{
    for (int k : kids)
        tree_.scratch_.push_back(k);
    tree_.adopt(i, tree_.scratch_.size() - kids.size());
}

std::uint16_t TemplateRewriter::freshId(std::uint16_t id1, std::uint16_t id2)
{
    if (id1 != 0)
        return id1;
    if (id2 != 0)
        return id2;
    const std::uint32_t id = ids_.take();
    return id == TemplateIds::kNone ? 0 : static_cast<std::uint16_t>(id);
}

void TemplateRewriter::restructure()
{
    restructureRow(tree_.root_);
}

int TemplateRewriter::restructureNode(int i)
{
    switch (node(i).kind) {
    case Kind::Row:
        restructureRow(i);
        return i;
    case Kind::Glyph: case Kind::Number: case Kind::EmptyBox:
        return i;
    case Kind::Brackets:
        return convertBrackets(i);
    default:
        break;
    }
    // Children are replaced by index: restructuring appends to the child list.
    const auto kids = tree_.children(i);
    const Nodes copy(kids.begin(), kids.end());
    for (std::size_t k = 0; k < copy.size(); ++k) {
        const int replaced = restructureNode(copy[k]);
        tree_.children_[static_cast<std::size_t>(node(i).firstChild) + k] = replaced;
        tree_.nodes_[static_cast<std::size_t>(replaced)].parent = i;
    }
    return i;
}

void TemplateRewriter::restructureRow(int row)
{
    const auto kids = tree_.children(row);
    const Nodes in(kids.begin(), kids.end());
    Nodes out;
    out.reserve(in.size());
    bool inString = false;
    for (std::size_t i = 0; i < in.size(); ++i) {
        const int c = in[i];
        // A string's tokens are its text.
        if (stringBoundary(c, inString) || inString) {
            out.push_back(c);
            continue;
        }
        if (isPlainGlyph(c, TC::kPower) && power(in, i, out))
            continue;
        if ((isPlainGlyph(c, TC::kFractionBar) || isPlainGlyph(c, TC::kXRoot)) && fraction(in, i, out, node(c).token))
            continue;
        if (isPlainGlyph(c, TC::kMixedSeparator) && mixed(in, i, out))
            continue;
        out.push_back(restructureNode(c));
    }
    setChildren(row, out);
}

bool TemplateRewriter::power(const Nodes& in, std::size_t& i, Nodes& out)
{
    const std::size_t start = tree_.baseStart(out.data(), out.size());
    if (start == out.size())
        return false;
    const long end = operandEnd(in, i + 1, kPowerOrder);
    if (end < 0 || !movable(in, i + 1, static_cast<std::size_t>(end)) || needsNumberBefore(in, static_cast<std::size_t>(end)))
        return false;
    const std::uint16_t id = freshId(lentId(in, i + 1, static_cast<std::size_t>(end)), 0);
    if (id == 0)
        return false;
    const int sup = wrap(in, i + 1, static_cast<std::size_t>(end));
    int base = out.back();
    if (start + 1 < out.size()) {
        PrettyNode row;
        row.begin = node(out[start]).begin;
        row.end = node(out.back()).end;
        base = make(row, std::span<const int>(out.data() + start, out.size() - start));
    }
    const int script = make(templateNode(Kind::Script, TC::kPower, id, node(base).begin, node(in[static_cast<std::size_t>(end) - 1]).end),
                            {base, sup});
    out.resize(start);
    out.push_back(script);
    i = static_cast<std::size_t>(end) - 1;
    return true;
}

// n ／ d and n ˣ√ x: the left operand is moved inside the template's first part.
bool TemplateRewriter::fraction(const Nodes& in, std::size_t& i, Nodes& out, std::uint32_t bar)
{
    const int order = bar == TC::kXRoot ? kPowerOrder : kFractionOrder;
    const long start = leftOperandStart(out, order);
    const long end = operandEnd(in, i + 1, order);
    if (start < 0 || end < 0 || !movable(out, static_cast<std::size_t>(start), out.size())
        || !movable(in, i + 1, static_cast<std::size_t>(end)) || needsNumberBefore(in, static_cast<std::size_t>(end)))
        return false;
    // After a stray template op (malformed ops) the new ID'd "(" would be read as its part.
    if (start > 0 && node(out[static_cast<std::size_t>(start) - 1]).kind == Kind::Glyph
        && TC::templateId(opAt(node(out[static_cast<std::size_t>(start) - 1]).begin)) != 0)
        return false;
    const std::uint16_t id = freshId(lentId(out, static_cast<std::size_t>(start), out.size()),
                                     lentId(in, i + 1, static_cast<std::size_t>(end)));
    if (id == 0)
        return false;
    const int left = wrap(out, static_cast<std::size_t>(start), out.size(), false);
    const int right = wrap(in, i + 1, static_cast<std::size_t>(end));
    const int begin = node(out[static_cast<std::size_t>(start)]).begin;
    const int last = node(in[static_cast<std::size_t>(end) - 1]).end;
    const int made = bar == TC::kXRoot
        ? make(templateNode(Kind::Radical, TC::kXRoot, id, begin, last), {right, left})
        : make(templateNode(Kind::Fraction, 0, id, begin, last), {left, right});
    out.resize(static_cast<std::size_t>(start));
    out.push_back(made);
    i = static_cast<std::size_t>(end) - 1;
    return true;
}

// A number, ␣, a single operand, ／ and the denominator: the parser reads it as one mixed
// number only in that shape.
bool TemplateRewriter::mixed(const Nodes& in, std::size_t& i, Nodes& out)
{
    auto simple = [&](std::size_t k) {
        if (k >= in.size())
            return false;
        const PrettyNode& n = node(in[k]);
        if (n.kind == Kind::Number || isParenGroup(in[k]))
            return true;
        const std::uint32_t t = n.token;
        return n.kind == Kind::Glyph && TC::opType(opAt(n.begin)) == TC::Operand && t != TC::kListName
            && !TC::takesArguments(t);
    };
    if (out.empty() || node(out.back()).kind != Kind::Number || !simple(i + 1) || i + 2 >= in.size()
        || !isPlainGlyph(in[i + 2], TC::kFractionBar))
        return false;
    // The denominator takes the operators that bind tighter than ／, like a fraction's.
    const long end = operandEnd(in, i + 3, kFractionOrder);
    if (end < 0 || !movable(in, i + 1, static_cast<std::size_t>(end)) || needsNumberBefore(in, static_cast<std::size_t>(end)))
        return false;
    const std::size_t last = static_cast<std::size_t>(end);
    const std::uint16_t id = freshId(lentId(in, i + 1, i + 2), lentId(in, i + 3, last));
    if (id == 0)
        return false;
    const int num = wrap(in, i + 1, i + 2);
    const int den = wrap(in, i + 3, last);
    const int whole = out.back();
    out.back() = make(templateNode(Kind::MixedNumber, 0, id, node(whole).begin, node(in[last - 1]).end),
                      {whole, num, den});
    i = last - 1;
    return true;
}

std::uint16_t TemplateRewriter::lentId(const Nodes& nodes, std::size_t from, std::size_t to) const
{
    return to - from == 1 && isParenGroup(nodes[from]) ? node(nodes[from]).id : 0;
}

int TemplateRewriter::wrap(const Nodes& nodes, std::size_t from, std::size_t to, bool raw)
{
    if (to - from == 1 && isParenGroup(nodes[from])) {
        const int inner = tree_.child(nodes[from], 0);
        if (raw)
            restructureRow(inner);
        return inner;
    }
    PrettyNode row;
    row.begin = node(nodes[from]).begin;
    row.end = node(nodes[to - 1]).end;
    const int r = make(row, std::span<const int>(nodes.data() + from, to - from));
    if (raw)
        restructureRow(r);
    return r;
}

// A template is decided and numbered before its content, so IDs follow reading order.
int TemplateRewriter::convertBrackets(int i)
{
    const int made = node(i).token == TC::kOpenBracket ? matrixFrom(i) : functionFrom(i);
    if (made == i)
        restructureRow(tree_.child(i, 0));
    return made;
}

int TemplateRewriter::functionFrom(int i)
{
    const PrettyNode n = node(i);
    const int count = TC::templatePartCount(n.token);
    if (count == 0 || !movable(tree_.child(i, 0)))
        return i;
    const std::vector<Nodes> parts = splitAtCommas(tree_.child(i, 0));
    if (static_cast<int>(parts.size()) != count)
        return i;
    const std::uint16_t id = freshId(n.id, 0);
    if (id == 0)
        return i;
    Nodes kids;
    if (n.token == TC::kExpE || n.token == TC::kExpTen) {
        PrettyNode base = templateNode(Kind::Glyph, n.token, 0, n.begin, n.begin + 1);
        base.text = n.token == TC::kExpE ? "e" : "10";
        kids.push_back(make(base, std::span<const int>{}));
    }
    for (const Nodes& part : parts) {
        PrettyNode row;
        row.begin = row.end = part.empty() ? n.begin + 1 : node(part.front()).begin;
        if (!part.empty())
            row.end = node(part.back()).end;
        kids.push_back(make(row, part));
        restructureRow(kids.back());
    }
    Kind kind = Kind::Radical;
    switch (n.token) {
    case TC::kAbs: kind = Kind::AbsoluteValue; break;
    case TC::kLogBase: kind = Kind::LogBase; break;
    case TC::kSum: case TC::kIntegral: kind = Kind::BigOperator; break;
    case TC::kDerivative: kind = Kind::Derivative; break;
    case TC::kExpE: case TC::kExpTen: kind = Kind::Script; break;
    default: break;
    }
    PrettyNode made = templateNode(kind, n.token, id, n.begin, n.end);
    made.closed = n.closed;
    return make(made, kids);
}

// [ [a,b] [c,d] ]: rows of plain brackets with the same number of non-empty cells.
int TemplateRewriter::matrixFrom(int i)
{
    const PrettyNode n = node(i);
    const auto inner = tree_.children(tree_.child(i, 0));
    const Nodes rows(inner.begin(), inner.end());
    if (rows.empty() || !movable(tree_.child(i, 0)))
        return i;
    std::vector<std::vector<Nodes>> cells;
    for (int r : rows) {
        const PrettyNode& row = node(r);
        if (row.kind != Kind::Brackets || row.token != TC::kOpenBracket || row.id != 0)
            return i;
        cells.push_back(splitAtCommas(tree_.child(r, 0)));
        for (const Nodes& cell : cells.back())
            if (cell.empty())
                return i;
        if (cells.back().size() != cells.front().size())
            return i;
    }
    const std::uint16_t id = freshId(n.id, 0);
    if (id == 0)
        return i;
    Nodes madeRows;
    for (std::size_t r = 0; r < cells.size(); ++r) {
        Nodes cellRows;
        for (const Nodes& cell : cells[r]) {
            PrettyNode row;
            row.begin = node(cell.front()).begin;
            row.end = node(cell.back()).end;
            cellRows.push_back(make(row, cell));
            restructureRow(cellRows.back());
        }
        const PrettyNode source = node(rows[r]);
        madeRows.push_back(make(templateNode(Kind::MatrixRow, 0, id, source.begin, source.end), cellRows));
    }
    return make(templateNode(Kind::Matrix, 0, id, n.begin, n.end), madeRows);
}

bool TemplateRewriter::stringBoundary(int i, bool& inString) const
{
    const PrettyNode& n = node(i);
    if (n.kind != Kind::Glyph)
        return false;
    if (n.token == TC::kQuote) {
        inString = !inString;
        return true;
    }
    if (n.token == TC::kStore || n.token == TC::kNewLine)
        inString = false;
    return false;
}

std::vector<TemplateRewriter::Nodes> TemplateRewriter::splitAtCommas(int row) const
{
    std::vector<Nodes> parts(1);
    bool inString = false;
    for (int c : tree_.children(row)) {
        const PrettyNode& n = node(c);
        stringBoundary(c, inString);
        if (!inString && isPlainGlyph(c, TC::kComma))
            parts.emplace_back();
        else if (n.kind != Kind::EmptyBox || n.end > n.begin)
            parts.back().push_back(c);
    }
    return parts;
}

bool TemplateRewriter::movable(int i) const
{
    const PrettyNode& n = node(i);
    if (n.kind == Kind::Glyph) {
        const std::uint32_t t = n.token;
        return TC::templateId(opAt(n.begin)) == 0
            || !(t == TC::kCloseParen || t == TC::kComma || t == TC::kCloseBracket || t == TC::kCloseBrace);
    }
    for (int c : tree_.children(i))
        if (!movable(c))
            return false;
    return true;
}

bool TemplateRewriter::movable(const Nodes& nodes, std::size_t from, std::size_t to) const
{
    for (std::size_t k = from; k < to; ++k)
        if (!movable(nodes[k]))
            return false;
    return true;
}

bool TemplateRewriter::needsNumberBefore(const Nodes& in, std::size_t i) const
{
    return i < in.size() && (isPlainGlyph(in[i], TC::kMixedSeparator) || isPlainGlyph(in[i], kDegree));
}

bool TemplateRewriter::isPlainGlyph(int i, std::uint32_t token) const
{
    const PrettyNode& n = node(i);
    return n.kind == Kind::Glyph && n.token == token && TC::templateId(opAt(n.begin)) == 0;
}

bool TemplateRewriter::isOperand(int i) const
{
    const PrettyNode& n = node(i);
    switch (n.kind) {
    case Kind::Row: return n.childCount > 0 && isOperand(tree_.child(i, 0));  // the base of a script
    case Kind::MatrixRow: return false;
    case Kind::Glyph: return TC::opType(opAt(n.begin)) == TC::Operand;
    // A power or postfix on a postfix glyph ("3!²") is no operand of its own.
    case Kind::Script: return n.token == TC::kExpE || n.token == TC::kExpTen || isOperand(tree_.child(i, 0));
    default: return true;
    }
}

bool TemplateRewriter::isParenGroup(int i) const
{
    return node(i).kind == Kind::Brackets && node(i).token == TC::kOpenParen;
}

int TemplateRewriter::precedence(int i) const
{
    const PrettyNode& n = node(i);
    if (n.kind != Kind::Glyph || TC::templateId(opAt(n.begin)) != 0)
        return -1;
    return Precedence::opOrder(static_cast<std::int32_t>(n.token));
}

std::size_t TemplateRewriter::atomEnd(const Nodes& in, std::size_t i) const
{
    const PrettyNode& n = node(in[i]);
    std::size_t j = i + 1;
    if (n.kind == Kind::Glyph && n.token == TC::kListName) {
        while (j < in.size()
               && (node(in[j]).kind == Kind::Number || (node(in[j]).kind == Kind::Glyph && TC::isLetter(node(in[j]).token))))
            ++j;
    } else if (!(n.kind == Kind::Glyph && TC::takesArguments(n.token))) {
        return j;
    }
    // An element or a call: L₁(2), ʟNAME(2), Y₁(3).
    if (j < in.size() && isParenGroup(in[j]) && node(in[j]).id == 0)
        ++j;
    return j;
}

long TemplateRewriter::operandEnd(const Nodes& in, std::size_t i, int q) const
{
    if (i >= in.size())
        return -1;
    std::size_t j = i + 1;
    if (isPlainGlyph(in[i], TC::kNegate)) {
        // A negation just before a mixed number's whole is the whole's sign (-2␣1／2);
        // any other takes every tighter operator after it.
        const bool sign = i + 1 < in.size()
                          && (node(in[i + 1]).kind == Kind::MixedNumber
                              || (node(in[i + 1]).kind == Kind::Number && i + 2 < in.size()
                                  && isPlainGlyph(in[i + 2], TC::kMixedSeparator)));
        if (!sign)
            return operandEnd(in, i + 1, kNegationOrder);
        j = i + 2;
    } else if (isOperand(in[i])) {
        j = atomEnd(in, i);
    } else {
        return -1;
    }
    // Operators that bind tighter than q stay inside the operand.
    while (j < in.size()) {
        const int p = precedence(in[j]);
        if (p < 0 || p >= q)
            break;
        const int type = TC::opType(opAt(node(in[j]).begin));
        if (type == TC::Postfix) {
            ++j;
            continue;
        }
        if (type != TC::Infix || isPlainGlyph(in[j], TC::kNegate))
            break;
        const long next = operandEnd(in, j + 1, p);
        if (next < 0)
            break;
        j = static_cast<std::size_t>(next);
    }
    return static_cast<long>(j);
}

long TemplateRewriter::leftOperandStart(const Nodes& out, int q) const
{
    long k = static_cast<long>(out.size()) - 1;
    auto at = [&](long m) { return out[static_cast<std::size_t>(m)]; };
    while (k >= 0 && TC::opType(opAt(node(at(k)).begin)) == TC::Postfix && node(at(k)).kind == Kind::Glyph
           && precedence(at(k)) >= 0 && precedence(at(k)) <= q)
        --k;
    if (k < 0 || !isOperand(at(k)))
        return -1;
    // A trailing "(" group may belong to a list, matrix, equation or ʟ name before it.
    long name = k;
    if (isParenGroup(at(k)) && node(at(k)).id == 0 && k > 0)
        name = k - 1;
    long p = name;
    while (p >= 0
           && (node(at(p)).kind == Kind::Number || (node(at(p)).kind == Kind::Glyph && TC::isLetter(node(at(p)).token))))
        --p;
    if (p >= 0 && node(at(p)).kind == Kind::Glyph && node(at(p)).token == TC::kListName)
        k = p;
    else if (name < k && node(at(name)).kind == Kind::Glyph && TC::takesArguments(node(at(name)).token))
        k = name;
    // A negation just before a mixed number's whole is the whole's sign.
    if (node(at(k)).kind == Kind::MixedNumber && k > 0 && isPlainGlyph(at(k - 1), TC::kNegate))
        --k;
    // The part's "(" written just after a list, an equation or Ans would be read as its
    // argument.
    if (k > 0 && node(at(k - 1)).kind == Kind::Glyph && TC::takesArguments(node(at(k - 1)).token))
        return -1;
    // An operator at least as tight just before it would take this operand itself.
    if (k > 0) {
        const int p2 = precedence(at(k - 1));
        const int type = TC::opType(opAt(node(at(k - 1)).begin));
        if (p2 >= 0 && p2 <= q && type == TC::Infix && !isPlainGlyph(at(k - 1), TC::kNegate))
            return -1;
    }
    return k;
}

TemplateRewriter::LeftOperand TemplateRewriter::operandBefore(int at, std::uint32_t token) const
{
    LeftOperand none{at, at, at};
    // The row the cursor stands in, through the parts that hold it; a number the cursor
    // stands inside counts up to the cursor.
    int row = tree_.root_;
    for (bool descend = true; descend;) {
        descend = false;
        for (int c : tree_.children(row)) {
            // An unclosed bracket or template holds the cursor at its end too.
            const bool holds = node(c).begin < at && (at < node(c).end || (at == node(c).end && !node(c).closed));
            if (!holds || node(c).kind == Kind::Number)
                continue;
            int part = -1;
            for (int p : tree_.children(c))
                if (node(p).kind == Kind::Row && node(p).begin <= at && at <= node(p).end)
                    part = p;
            if (part < 0)
                return none;
            row = part;
            descend = true;
            break;
        }
    }
    Nodes items;
    for (int c : tree_.children(row))
        if (node(c).begin < at && !(node(c).kind == Kind::EmptyBox && node(c).end == node(c).begin))
            items.push_back(c);
    if (items.empty())
        return none;
    const long k = leftOperandStart(items, Precedence::opOrder(static_cast<std::int32_t>(token)));
    if (k < 0)
        return isOperand(items.back()) ? LeftOperand{-1, -1, -1} : none;
    const int first = items[static_cast<std::size_t>(k)];
    LeftOperand operand{node(first).begin, node(first).begin, at};
    // As a part, a single bracket pair lends its inside.
    if (static_cast<std::size_t>(k) + 1 == items.size() && isParenGroup(first) && node(first).closed
        && node(first).end == at) {
        operand.innerFrom = node(tree_.child(first, 0)).begin;
        operand.innerTo = node(tree_.child(first, 0)).end;
    }
    return operand;
}

TemplateRewriter::Ops TemplateRewriter::write() const
{
    Ops out;
    out.reserve(tree_.ops_.size() + 8);
    bool inString = false;
    write(tree_.root_, out, inString);
    return out;
}

// inString: the ops written so far end inside a string that has no closing quote yet; a
// supplied closer or template op must not be read as part of it, so a quote goes first.
void TemplateRewriter::write(int i, Ops& out, bool& inString) const
{
    const PrettyNode& n = node(i);
    const auto kids = tree_.children(i);
    auto supply = [&](std::uint32_t op) {
        if (inString)
            out.push_back(TC::kQuote);
        inString = false;
        out.push_back(op);
    };
    auto I = [&](std::uint32_t token) { supply(TC::withId(token, n.id)); };
    auto part = [&](std::size_t k) { write(kids[k], out, inString); };
    switch (n.kind) {
    case Kind::Row: case Kind::MatrixRow:
        for (int c : kids)
            write(c, out, inString);
        return;
    case Kind::Glyph: case Kind::Number: case Kind::EmptyBox:
        for (int k = n.begin; k < n.end; ++k) {
            const std::uint32_t t = TC::token(opAt(k));
            if (t == TC::kQuote)
                inString = !inString;
            else if (t == TC::kStore || t == TC::kNewLine)
                inString = false;
            out.push_back(opAt(k));
        }
        return;
    case Kind::Brackets:
        out.push_back(opAt(n.begin));
        part(0);
        if (n.closed)
            out.push_back(opAt(n.end - 1));
        else
            supply(TC::withId(TC::closerFor(n.token), TC::templateId(opAt(n.begin))));
        return;
    case Kind::Fraction:
        I(TC::kOpenParen), part(0), I(TC::kCloseParen), I(TC::kFractionBar), I(TC::kOpenParen), part(1), I(TC::kCloseParen);
        return;
    case Kind::MixedNumber:
        part(0), I(TC::kMixedSeparator), I(TC::kOpenParen), part(1), I(TC::kCloseParen), I(TC::kFractionBar);
        I(TC::kOpenParen), part(2), I(TC::kCloseParen);
        return;
    case Kind::Script:
        if (n.token == TC::kPower)
            part(0), I(TC::kPower), I(TC::kOpenParen), part(1), I(TC::kCloseParen);
        else if (n.token == TC::kExpE || n.token == TC::kExpTen)
            I(n.token), part(1), I(TC::kCloseParen);
        else
            part(0), part(1);
        return;
    case Kind::Radical:
        if (n.token == TC::kXRoot)
            I(TC::kOpenParen), part(1), I(TC::kCloseParen), I(TC::kXRoot), I(TC::kOpenParen), part(0), I(TC::kCloseParen);
        else
            I(n.token), part(0), I(TC::kCloseParen);
        return;
    case Kind::AbsoluteValue: case Kind::LogBase: case Kind::BigOperator: case Kind::Derivative:
        I(n.token);
        for (std::size_t k = 0; k < kids.size(); ++k) {
            if (k > 0)
                I(TC::kComma);
            part(k);
        }
        I(TC::kCloseParen);
        return;
    case Kind::Matrix:
        I(TC::kOpenBracket);
        for (int r : kids) {
            const auto cells = tree_.children(r);
            I(TC::kOpenBracket);
            for (std::size_t k = 0; k < cells.size(); ++k) {
                if (k > 0)
                    I(TC::kComma);
                write(cells[k], out, inString);
            }
            I(TC::kCloseBracket);
        }
        I(TC::kCloseBracket);
        return;
    }
}

} // namespace orvenda
