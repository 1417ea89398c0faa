#include "pretty/PrettyTree.h"

#include "pretty/GlyphNames.h"
#include "pretty/TokenClass.h"

#include "language/Precedence.h"

namespace orvenda {

namespace {

using TC = TokenClass;
using Kind = PrettyNode::Kind;

// Deeper nesting is drawn as glyphs, which bounds the recursion on any input.
constexpr int kMaxDepth = 64;

// What ends the row being read.
struct Context {
    int depth = 0;              // groups open around it: a statement end closes them all
    bool inTemplate = false;    // an ID'd closer or separator ends a template part
    std::uint32_t closer = 0;   // the plain closer of the innermost plain bracket
};

std::string_view superscriptText(std::uint32_t token)
{
    switch (token) {
    case 0x0C: return "\u22121";
    case 0x0D: return "2";
    case 0x0E: return "T";
    default: return "3";
    }
}

} // namespace

class PrettyTree::Builder {
public:
    explicit Builder(PrettyTree& tree) : t_(tree), ops_(tree.ops_), n_(static_cast<int>(tree.ops_.size())) {}

    int row(int& pos, const Context& ctx, bool boxIfEmpty)
    {
        const int begin = pos;
        const std::size_t mark = t_.scratch_.size();
        const std::size_t outerRow = rowMark_;
        rowMark_ = mark;
        while (pos < n_ && !stops(pos, ctx))
            item(pos, ctx);
        if (boxIfEmpty && t_.scratch_.size() == mark)
            leaf(Kind::EmptyBox, pos, pos, 0);
        rowMark_ = outerRow;
        return finish(node(Kind::Row, begin, pos), mark);
    }

private:
    std::uint32_t tok(int i) const { return i < n_ ? TC::token(ops_[static_cast<std::size_t>(i)]) : 0xFFFFFFFFu; }
    std::uint16_t idAt(int i) const { return i < n_ ? TC::templateId(ops_[static_cast<std::size_t>(i)]) : 0; }
    bool isId(int i, std::uint32_t token) const { return tok(i) == token && idAt(i) != 0; }

    bool stops(int pos, const Context& ctx) const
    {
        const std::uint32_t t = tok(pos);
        const bool id = idAt(pos) != 0;
        if (ctx.depth > 0 && TC::isStatementEnd(t))
            return true;
        if (ctx.inTemplate && id
            && (t == TC::kCloseParen || t == TC::kComma || t == TC::kCloseBracket || t == TC::kCloseBrace))
            return true;
        return ctx.closer != 0 && !id && t == ctx.closer;
    }

    static PrettyNode node(Kind kind, int begin, int end, std::uint32_t token = 0, std::uint16_t id = 0,
                           bool closed = true)
    {
        return PrettyNode::of(kind, begin, end, token, id, closed);
    }

    int finish(const PrettyNode& n, std::size_t mark)
    {
        const int i = t_.add(n);
        t_.adopt(i, mark);
        return i;
    }
    void push(int i) { t_.scratch_.push_back(i); }
    int leaf(Kind kind, int begin, int end, std::uint32_t token, std::string_view text = {})
    {
        PrettyNode n = node(kind, begin, end, token);
        n.text = text;
        const int i = t_.add(n);
        push(i);
        return i;
    }

    void glyph(int& pos)
    {
        const std::uint32_t op = ops_[static_cast<std::size_t>(pos)];
        leaf(Kind::Glyph, pos, pos + 1, TC::token(op), GlyphNames::name(op));
        ++pos;
    }

    // The node a power or a postfix applies to: the end of the row (baseStart), as one
    // node or a row of them; else an empty box at `at` (not in the row). A mixed number's
    // whole is a single number or box op.
    int popBase(int at, bool& popped, bool single = false)
    {
        auto& scratch = t_.scratch_;
        const std::size_t count = scratch.size() - rowMark_;
        const std::size_t start = rowMark_ + t_.baseStart(scratch.data() + rowMark_, count);
        // The parser takes a whole only after a number; a box op holds its place.
        auto wholeKind = [&](int i) {
            const PrettyNode& n = t_.node(i);
            return n.kind == Kind::Number || (n.kind == Kind::EmptyBox && n.end > n.begin);
        };
        popped = start < scratch.size() && (!single || (start + 1 == scratch.size() && wholeKind(scratch.back())));
        if (!popped)
            return t_.add(node(Kind::EmptyBox, at, at));
        if (start + 1 == scratch.size()) {
            const int base = scratch.back();
            scratch.pop_back();
            return base;
        }
        return finish(node(Kind::Row, t_.node(scratch[start]).begin, t_.node(scratch.back()).end), start);
    }

    void item(int& pos, const Context& ctx)
    {
        const std::uint32_t t = tok(pos);
        const bool id = idAt(pos) != 0;
        if (t == TC::kQuote)
            return string(pos);
        if (TC::isNumberToken(t))
            return number(pos);
        if (TC::isSuperscriptPostfix(t))
            return postfix(pos);
        if (t == TC::kBox) {
            leaf(Kind::EmptyBox, pos, pos + 1, t);
            ++pos;
            return;
        }
        if (ctx.depth < kMaxDepth) {
            if (id) {
                if (t == TC::kOpenParen)
                    return parenTemplate(pos, ctx);
                if (t == TC::kPower && isId(pos + 1, TC::kOpenParen))
                    return power(pos, ctx);
                if (t == TC::kMixedSeparator && isId(pos + 1, TC::kOpenParen))
                    return mixed(pos, ctx);
                if (t == TC::kOpenBracket && isId(pos + 1, TC::kOpenBracket))
                    return matrix(pos, ctx);
                if (TC::templatePartCount(t) > 0)
                    return functionTemplate(pos, ctx);
                if (TC::opensGroup(t))
                    return idGroup(pos, ctx);
            } else if (TC::opensGroup(t)) {
                return plainGroup(pos, ctx);
            }
        }
        glyph(pos);
    }

    // A quoted string: glyphs up to the closing quote, or to a ➞ or new line, which end it
    // without belonging to it.
    void string(int& pos)
    {
        glyph(pos);
        while (pos < n_) {
            const std::uint32_t t = tok(pos);
            if (t == TC::kStore || t == TC::kNewLine)
                break;
            glyph(pos);
            if (t == TC::kQuote)
                break;
        }
    }

    void number(int& pos)
    {
        const int begin = pos++;
        while (pos < n_ && (TC::isNumberToken(tok(pos)) || (tok(pos) == TC::kNegate && tok(pos - 1) == TC::kExponentMark)))
            ++pos;
        leaf(Kind::Number, begin, pos, 0);
    }

    void postfix(int& pos)
    {
        const int at = pos++;
        const std::uint32_t t = tok(at);
        bool popped = false;
        const int base = popBase(at, popped);
        const std::size_t mark = t_.scratch_.size();
        push(base);
        const std::size_t supMark = t_.scratch_.size();
        leaf(Kind::Glyph, at, at + 1, t, superscriptText(t));
        push(finish(node(Kind::Row, at, at + 1), supMark));
        push(finish(node(Kind::Script, t_.node(base).begin, pos, t), mark));
    }

    static Context partContext(const Context& ctx) { return {ctx.depth + 1, true, 0}; }

    // (t)( A (t)) followed by (t)／(t)( B (t)) is a fraction, by (t)ˣ√(t)( B (t)) a root
    // with index A; alone it is a bracket pair.
    void parenTemplate(int& pos, const Context& ctx)
    {
        const int start = pos++;
        const std::uint16_t id = idAt(start);
        const Context part = partContext(ctx);
        const std::size_t mark = t_.scratch_.size();
        const int a = row(pos, part, true);
        if (!isId(pos, TC::kCloseParen)) {
            push(a);
            push(finish(node(Kind::Brackets, start, pos, TC::kOpenParen, id, false), mark));
            return;
        }
        ++pos;
        const bool fraction = isId(pos, TC::kFractionBar) && isId(pos + 1, TC::kOpenParen);
        const bool root = isId(pos, TC::kXRoot) && isId(pos + 1, TC::kOpenParen);
        if (!fraction && !root) {
            push(a);
            push(finish(node(Kind::Brackets, start, pos, TC::kOpenParen, id), mark));
            return;
        }
        pos += 2;
        const int b = row(pos, part, true);
        const bool closed = closeWith(pos, TC::kCloseParen);
        if (fraction) {
            push(a);
            push(b);
            push(finish(node(Kind::Fraction, start, pos, 0, id, closed), mark));
        } else {
            push(b);
            push(a);
            push(finish(node(Kind::Radical, start, pos, TC::kXRoot, id, closed), mark));
        }
    }

    bool closeWith(int& pos, std::uint32_t closer)
    {
        if (!isId(pos, closer))
            return false;
        ++pos;
        return true;
    }

    void power(int& pos, const Context& ctx)
    {
        const int at = pos;
        const std::uint16_t id = idAt(at);
        bool popped = false;
        const int base = popBase(at, popped);
        const std::size_t mark = t_.scratch_.size();
        push(base);
        pos += 2;
        push(row(pos, partContext(ctx), true));
        const bool closed = closeWith(pos, TC::kCloseParen);
        push(finish(node(Kind::Script, t_.node(base).begin, pos, TC::kPower, id, closed), mark));
    }

    // whole (t)␣(t)( N (t))(t)／(t)( D (t)); without the denominator the separator is a
    // glyph and N a bracket pair.
    void mixed(int& pos, const Context& ctx)
    {
        const int at = pos;
        const std::uint16_t id = idAt(at);
        bool popped = false;
        const int whole = popBase(at, popped, true);
        const Context part = partContext(ctx);
        pos += 2;
        const int num = row(pos, part, true);
        if (isId(pos, TC::kCloseParen) && isId(pos + 1, TC::kFractionBar) && isId(pos + 2, TC::kOpenParen)) {
            pos += 3;
            const int den = row(pos, part, true);
            const bool closed = closeWith(pos, TC::kCloseParen);
            const std::size_t mark = t_.scratch_.size();
            push(whole);
            push(num);
            push(den);
            push(finish(node(Kind::MixedNumber, t_.node(whole).begin, pos, 0, id, closed), mark));
            return;
        }
        if (popped)
            push(whole);
        int separator = at;
        glyph(separator);
        const bool closed = closeWith(pos, TC::kCloseParen);
        const std::size_t mark = t_.scratch_.size();
        push(num);
        push(finish(node(Kind::Brackets, at + 1, pos, TC::kOpenParen, id, closed), mark));
    }

    // √( ³√( abs( e^( ₁₀^( logBASE( ∑( fnInt( nDeriv( with their parts split at ID'd
    // commas; with another number of parts, a bracket pair around the parts and commas.
    void functionTemplate(int& pos, const Context& ctx)
    {
        const int start = pos++;
        const std::uint32_t t = tok(start);
        const std::uint16_t id = idAt(start);
        const Context part = partContext(ctx);
        const std::size_t mark = t_.scratch_.size();
        std::vector<int>& seps = t_.separators_;
        const std::size_t sepMark = seps.size();
        for (;;) {
            push(row(pos, part, true));
            if (!isId(pos, TC::kComma))
                break;
            seps.push_back(pos++);
        }
        const bool closed = closeWith(pos, TC::kCloseParen);
        const int parts = static_cast<int>(t_.scratch_.size() - mark);
        if (parts == TC::templatePartCount(t)) {
            seps.resize(sepMark);
            Kind kind = Kind::Radical;
            switch (t) {
            case TC::kAbs: kind = Kind::AbsoluteValue; break;
            case TC::kLogBase: kind = Kind::LogBase; break;
            case TC::kSum: case TC::kIntegral: kind = Kind::BigOperator; break;
            case TC::kDerivative: kind = Kind::Derivative; break;
            case TC::kExpE: case TC::kExpTen: {
                kind = Kind::Script;
                const int sup = t_.scratch_.back();
                t_.scratch_.back() = t_.add(node(Kind::Glyph, start, start + 1, t));
                t_.nodes_.back().text = t == TC::kExpE ? "e" : "10";
                push(sup);
                break;
            }
            default: break;
            }
            push(finish(node(kind, start, pos, t, id, closed), mark));
            return;
        }
        // The parts' items and the separators, in order, as one row.
        const std::size_t rowMark = t_.scratch_.size();
        for (int k = 0; k < parts; ++k) {
            for (int c : t_.children(t_.scratch_[mark + static_cast<std::size_t>(k)]))
                push(c);
            if (sepMark + static_cast<std::size_t>(k) < seps.size()) {
                int sep = seps[sepMark + static_cast<std::size_t>(k)];
                glyph(sep);
            }
        }
        seps.resize(sepMark);
        const int inner = finish(node(Kind::Row, start + 1, closed ? pos - 1 : pos), rowMark);
        t_.scratch_.resize(mark);
        push(inner);
        push(finish(node(Kind::Brackets, start, pos, t, id, closed), mark));
    }

    void matrix(int& pos, const Context& ctx)
    {
        const int start = pos++;
        const std::uint16_t id = idAt(start);
        const Context part = partContext(ctx);
        const std::size_t mark = t_.scratch_.size();
        bool rowsClosed = true;
        while (rowsClosed && isId(pos, TC::kOpenBracket)) {
            const int rowStart = pos++;
            const std::size_t cells = t_.scratch_.size();
            for (;;) {
                push(row(pos, part, true));
                if (!isId(pos, TC::kComma))
                    break;
                ++pos;
            }
            rowsClosed = closeWith(pos, TC::kCloseBracket);
            push(finish(node(Kind::MatrixRow, rowStart, pos, 0, id, rowsClosed), cells));
        }
        const bool closed = rowsClosed && closeWith(pos, TC::kCloseBracket);
        push(finish(node(Kind::Matrix, start, pos, 0, id, closed), mark));
    }

    // An ID'd opener that starts no template: its content is a template part.
    void idGroup(int& pos, const Context& ctx)
    {
        const int start = pos++;
        const std::uint32_t t = tok(start);
        const std::size_t mark = t_.scratch_.size();
        push(row(pos, partContext(ctx), true));
        const bool closed = closeWith(pos, TC::closerFor(t));
        push(finish(node(Kind::Brackets, start, pos, t, idAt(start), closed), mark));
    }

    void plainGroup(int& pos, const Context& ctx)
    {
        const int start = pos++;
        const std::uint32_t t = tok(start);
        const std::uint32_t closer = TC::closerFor(t);
        const std::size_t mark = t_.scratch_.size();
        push(row(pos, Context{ctx.depth + 1, ctx.inTemplate, closer}, false));
        const bool closed = tok(pos) == closer && idAt(pos) == 0;
        if (closed)
            ++pos;
        push(finish(node(Kind::Brackets, start, pos, t, 0, closed), mark));
    }

    PrettyTree& t_;
    const Ops& ops_;
    const int n_;
    std::size_t rowMark_ = 0;
};

void PrettyTree::build(const Ops& ops)
{
    ops_ = ops;
    nodes_.clear();
    children_.clear();
    scratch_.clear();
    separators_.clear();
    Builder builder(*this);
    int pos = 0;
    root_ = builder.row(pos, Context{}, false);
}

std::size_t PrettyTree::baseStart(const int* items, std::size_t count) const
{
    if (count == 0)
        return count;
    auto glyphType = [&](std::size_t k) {
        const PrettyNode& n = node(items[k]);
        return n.kind == Kind::Glyph ? TokenClass::opType(ops_[static_cast<std::size_t>(n.begin)]) : TokenClass::Operand;
    };
    auto tightPostfix = [&](std::size_t k) {
        const PrettyNode& n = node(items[k]);
        const int order = Precedence::opOrder(static_cast<std::int32_t>(n.token));
        return n.kind == Kind::Glyph && glyphType(k) == TokenClass::Postfix && order >= 0 && order <= 2;
    };
    std::size_t k = count - 1;
    if (tightPostfix(k)) {
        while (k > 0 && tightPostfix(k - 1))
            --k;
        const bool operand = k > 0 && glyphType(k - 1) != TokenClass::Postfix
                             && (glyphType(k - 1) == TokenClass::Operand || glyphType(k - 1) == TokenClass::CloseBracket);
        return operand ? k - 1 : k;
    }
    const int type = glyphType(k);
    if (type == TokenClass::Operand || type == TokenClass::Postfix || type == TokenClass::CloseBracket
        || type == TokenClass::Quote)
        return k;
    return count;
}

int PrettyTree::add(const PrettyNode& n)
{
    nodes_.push_back(n);
    return static_cast<int>(nodes_.size()) - 1;
}

void PrettyTree::adopt(int i, std::size_t mark)
{
    PrettyNode& n = nodes_[static_cast<std::size_t>(i)];
    n.firstChild = static_cast<int>(children_.size());
    n.childCount = static_cast<int>(scratch_.size() - mark);
    for (std::size_t k = mark; k < scratch_.size(); ++k) {
        children_.push_back(scratch_[k]);
        nodes_[static_cast<std::size_t>(scratch_[k])].parent = i;
    }
    scratch_.resize(mark);
}

} // namespace orvenda
