#include "pretty/PrettyLayout.h"

#include "pretty/GlyphNames.h"
#include "pretty/TokenClass.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace orvenda {

namespace {

using Kind = PrettyNode::Kind;
using TC = TokenClass;
using Role = PrettyMetrics::Role;

constexpr std::string_view kZero = "0";
constexpr std::string_view kThree = "3";
constexpr std::string_view kLog = "log";
constexpr std::string_view kEquals = "=";
constexpr std::string_view kD = "d";
constexpr std::string_view kBracketGlyphs = "()[]{}";

std::string_view bracketGlyph(char c)
{
    const std::size_t at = kBracketGlyphs.find(c);
    return kBracketGlyphs.substr(at == std::string_view::npos ? 0 : at, 1);
}

std::string_view closingGlyph(std::string_view opening)
{
    return bracketGlyph(opening == "[" ? ']' : opening == "{" ? '}' : ')');
}

// Names of the one-byte tokens (digits, the decimal point, ᴱ, the negation), looked up
// once: a number run measures and draws many of them.
std::string_view nameOf(std::uint32_t op)
{
    static const auto names = [] {
        std::array<std::string_view, 256> table;
        for (std::uint32_t t = 0; t < table.size(); ++t)
            table[t] = GlyphNames::name(t);
        return table;
    }();
    const std::uint32_t t = TC::token(op);
    return t < names.size() ? names[t] : GlyphNames::name(op);
}

double rounded(double v, double least)
{
    return std::max(least, std::round(v));
}

bool isSuperscriptOf(std::uint32_t token)
{
    return token == TC::kPower || token == TC::kExpE || token == TC::kExpTen;
}

} // namespace

PrettyLayout::Role PrettyLayout::partRole(Role role) const
{
    return role == PrettyMetrics::Superscript || role == PrettyMetrics::SuperscriptItalic ? PrettyMetrics::Superscript
                                                                                          : PrettyMetrics::Fraction;
}

PrettyLayout::Role PrettyLayout::glyphRole(int i) const
{
    const Role role = g(i).role;
    return role == PrettyMetrics::Superscript && TC::isLetter(node(i).token) ? PrettyMetrics::SuperscriptItalic : role;
}

void PrettyLayout::layout(const PrettyTree& tree, double size, int cursor, const PrettyMetrics& metrics)
{
    tree_ = &tree;
    metrics_ = &metrics;
    size_ = size;
    cursor_ = cursor;
    for (int r = 0; r < 4; ++r) {
        fonts_[r] = metrics.font(static_cast<Role>(r), size);
        cells_[r] = metrics.advance(static_cast<Role>(r), size, kZero);
    }
    rule_ = rounded(size / 20, 1);
    fractionGap_ = rule_ + 2 * rounded(size / 10, 1);
    fractionPad_ = rounded(size / 20, 1);
    scriptGap_ = rounded(size / 20, 1);

    const std::size_t n = tree.ops().size();
    geom_.assign(static_cast<std::size_t>(tree.size()), Geom{});
    stops_.assign(n + 1, Stop{});
    ink_.assign(n + 1, QRectF());
    boxes_.assign(n + 1, QRectF());
    items_.clear();

    const int root = tree.root();
    assignRow(root, root, 0);
    measure(root, PrettyMetrics::Base);
    place(root, 0, 0, false);
    width_ = g(root).w;
    height_ = g(root).a;
    depth_ = g(root).d;
}

// ---- Stops ----

void PrettyLayout::record(int index, int owner, int line, int depth)
{
    Stop& s = stops_[static_cast<std::size_t>(index)];
    if (s.valid && s.depth >= depth)
        return;
    s.valid = true;
    s.owner = owner;
    s.line = line;
    s.depth = depth;
}

void PrettyLayout::assignRow(int row, int line, int depth)
{
    const auto kids = tree_->children(row);
    for (int c : kids) {
        record(node(c).begin, row, line, depth);
        assignItem(c, line, depth);
    }
    record(node(row).end, row, line, depth);
}

void PrettyLayout::assignSeq(int n, int line, int depth)
{
    if (node(n).kind == Kind::Row)
        return assignRow(n, line, depth);
    record(node(n).begin, n, line, depth);
    assignItem(n, line, depth);
    record(node(n).end, n, line, depth);
}

void PrettyLayout::assignItem(int n, int line, int depth)
{
    const PrettyNode& N = node(n);
    const auto kids = tree_->children(n);
    auto own = [&](int k) { assignRow(kids[static_cast<std::size_t>(k)], kids[static_cast<std::size_t>(k)], depth + 1); };
    auto inline_ = [&](int k) { assignRow(kids[static_cast<std::size_t>(k)], line, depth + 1); };
    switch (N.kind) {
    case Kind::Number:
        for (int p = N.begin + 1; p < N.end; ++p)
            record(p, n, line, depth + 1);
        break;
    case Kind::Brackets: case Kind::AbsoluteValue:
        inline_(0);
        break;
    case Kind::Fraction:
        own(0), own(1);
        break;
    case Kind::MixedNumber:
        assignSeq(kids[0], line, depth + 1);
        own(1), own(2);
        break;
    case Kind::Script:
        // e^( and ₁₀^( have no base of ops; a postfix's superscript is its own op.
        if (!(N.token == TC::kExpE || N.token == TC::kExpTen))
            assignSeq(kids[0], line, depth + 1);
        if (isSuperscriptOf(N.token))
            own(1);
        break;
    case Kind::Radical:
        inline_(0);
        if (N.childCount > 1)
            own(1);
        break;
    case Kind::LogBase:
        inline_(0), own(1);
        break;
    case Kind::BigOperator:
        inline_(0);
        if (N.token == TC::kSum)
            own(1);
        else
            inline_(1);
        own(2), own(3);
        break;
    case Kind::Derivative:
        inline_(0), own(1), own(2);
        break;
    case Kind::Matrix:
        for (int r : kids)
            for (int c : tree_->children(r))
                assignRow(c, c, depth + 2);
        break;
    default:
        break;
    }
}

bool PrettyLayout::reservesAt(int owner, int index) const
{
    if (index != cursor_ || index < 0 || index > opCount())
        return false;
    const Stop& s = stop(index);
    if (!s.valid || s.owner != owner)
        return false;
    // An empty part's box takes the cursor itself.
    for (int c : tree_->children(owner))
        if (node(c).kind == Kind::EmptyBox && node(c).begin == index)
            return false;
    if (node(owner).kind == Kind::EmptyBox)
        return false;
    return index == opCount() || TC::templateId(opAt(index)) != 0;
}

// ---- Measuring: sizes, and each child's origin relative to its parent's ----

void PrettyLayout::extend(Geom& parent, const Geom& child) const
{
    parent.a = std::max(parent.a, child.a - child.y);
    parent.d = std::max(parent.d, child.d + child.y);
    parent.ink = std::max(parent.ink, child.ink - child.y);
}

void PrettyLayout::measure(int n, Role role)
{
    Geom& G = g(n);
    G = Geom{};
    G.role = role;
    const PrettyNode& N = node(n);
    const PrettyMetrics::Font F = font(role);
    switch (N.kind) {
    case Kind::Row: case Kind::MatrixRow:
        return measureRow(n, role);
    case Kind::Glyph:
        G.w = advance(glyphRole(n), N.text);
        G.a = F.ascent, G.d = F.descent, G.ink = F.capHeight;
        return;
    case Kind::Number:
        for (int p = N.begin; p < N.end; ++p)
            G.w += advance(role, nameOf(opAt(p)));
        G.a = F.ascent, G.d = F.descent, G.ink = F.capHeight;
        return;
    case Kind::EmptyBox:
        if (N.begin == cursor_) {
            G.w = cell(role), G.a = F.ascent, G.d = F.descent;
        } else {
            G.w = std::round(0.7 * cell(role)), G.a = F.capHeight;
        }
        G.ink = G.a;
        return;
    case Kind::Brackets:
        return measureBrackets(n, role);
    case Kind::Fraction:
        return measureFraction(n, role, tree_->child(n, 0), tree_->child(n, 1), 0);
    case Kind::MixedNumber: {
        const int whole = tree_->child(n, 0);
        measure(whole, role);
        double x = g(whole).w;
        if (reservesAt(whole, node(whole).end))
            x += cell(role);
        extend(G, g(whole));
        return measureFraction(n, role, tree_->child(n, 1), tree_->child(n, 2), x + std::round(0.2 * cell(role)));
    }
    case Kind::Script:
        return measureScript(n, role);
    case Kind::Radical:
        return measureRadical(n, role);
    case Kind::AbsoluteValue: {
        const int arg = tree_->child(n, 0);
        measure(arg, role);
        G.p0 = rounded(0.35 * cell(role), 3);
        g(arg).x = G.p0;
        G.w = 2 * G.p0 + g(arg).w;
        G.a = F.ascent, G.d = F.descent, G.ink = F.capHeight;
        extend(G, g(arg));
        return;
    }
    case Kind::LogBase:
        return measureLog(n, role);
    case Kind::BigOperator:
        return measureBig(n, role);
    case Kind::Derivative:
        return measureDerivative(n, role);
    case Kind::Matrix:
        return measureMatrix(n, role);
    }
}

void PrettyLayout::measureRow(int n, Role role)
{
    Geom& G = g(n);
    const PrettyMetrics::Font F = font(role);
    G.a = F.ascent, G.d = F.descent, G.ink = F.capHeight;
    double x = 0;
    for (int c : tree_->children(n)) {
        if (reservesAt(n, node(c).begin))
            x += cell(role);
        measure(c, role);
        g(c).x = x;
        x += g(c).w;
        extend(G, g(c));
    }
    if (reservesAt(n, node(n).end))
        x += cell(role);
    G.w = x;
}

// A function name ("sin") and a stretchy bracket around the content, the closer when there.
void PrettyLayout::measureBrackets(int n, Role role)
{
    Geom& G = g(n);
    const PrettyNode& N = node(n);
    const PrettyMetrics::Font F = font(role);
    const std::string_view name = GlyphNames::name(opAt(N.begin));
    const std::string_view open = bracketGlyph(name.empty() ? '(' : name.back());
    const int inner = tree_->child(n, 0);
    measure(inner, role);
    G.p0 = name.size() > 1 ? advance(role, name.substr(0, name.size() - 1)) : 0;
    G.p1 = advance(role, open);
    G.p2 = N.closed ? advance(role, closingGlyph(open)) : 0;
    g(inner).x = G.p0 + G.p1;
    G.w = G.p0 + G.p1 + g(inner).w + G.p2;
    G.a = F.ascent, G.d = F.descent, G.ink = F.capHeight;
    extend(G, g(inner));
}

// The bar's centre is the baseline: the numerator sits half the gap above it, the
// denominator half the gap below.
void PrettyLayout::measureFraction(int n, Role role, int num, int den, double left)
{
    Geom& G = g(n);
    const Role part = partRole(role);
    measure(num, part);
    measure(den, part);
    Geom& A = g(num);
    Geom& B = g(den);
    const double w = std::max(A.w, B.w) + 2 * fractionPad_;
    A.x = left + (w - A.w) / 2;
    A.y = -(fractionGap_ / 2 + A.d);
    B.x = left + (w - B.w) / 2;
    B.y = fractionGap_ / 2 + B.a;
    G.p0 = left;
    G.p1 = w;
    G.w = left + w;
    extend(G, A);
    extend(G, B);
}

bool PrettyLayout::bracketsBase(int n) const
{
    const PrettyNode& N = node(n);
    if (N.kind != Kind::Script || N.token == TC::kExpE || N.token == TC::kExpTen)
        return false;
    // The parser takes a power's closed exponent, a postfix and e^( whole before what
    // follows them: 2^(3)² is (2³)², never 2^(3²).
    return node(tree_->child(n, 0)).kind == Kind::Script;
}

// The superscript's baseline sits just above the top of the base's ink. A bracketed base
// is drawn as a typed bracket pair around it would be.
void PrettyLayout::measureScript(int n, Role role)
{
    Geom& G = g(n);
    const int base = tree_->child(n, 0);
    const int sup = tree_->child(n, 1);
    const bool single = node(base).kind != Kind::Row;
    const bool bracketed = bracketsBase(n);
    measure(base, role);
    double x = bracketed ? advance(role, bracketGlyph('(')) : 0;
    if (single && reservesAt(base, node(base).begin))
        x += cell(role);
    g(base).x = x;
    x += g(base).w;
    if (bracketed) {
        const PrettyMetrics::Font F = font(role);
        G.p1 = x;
        G.p2 = std::max(F.ascent, g(base).a);
        G.p3 = std::max(F.descent, g(base).d);
        G.a = G.p2, G.d = G.p3, G.ink = F.capHeight;
        x += advance(role, bracketGlyph(')'));
    }
    if (single && reservesAt(base, node(base).end))
        x += cell(role);
    measure(sup, PrettyMetrics::Superscript);
    g(sup).x = x;
    g(sup).y = -(std::max(G.ink, g(base).ink) + scriptGap_);
    G.w = x + g(sup).w;
    extend(G, g(base));
    extend(G, g(sup));
}

// The index (ˣ√'s part, or ³√'s 3) stands left of the sign, raised; an overbar covers the
// radicand.
void PrettyLayout::measureRadical(int n, Role role)
{
    Geom& G = g(n);
    const PrettyNode& N = node(n);
    const int rad = tree_->child(n, 0);
    measure(rad, role);
    const PrettyMetrics::Font F = font(role);
    const double top = std::max(g(rad).a, F.ascent) + scriptGap_ + rule_;
    double left = 0;
    G.p2 = -std::round(0.5 * top);
    if (N.childCount > 1) {
        const int index = tree_->child(n, 1);
        measure(index, PrettyMetrics::Superscript);
        g(index).y = G.p2;
        left = g(index).w;
        extend(G, g(index));
    } else if (N.token == TC::kCubeRoot) {
        left = advance(PrettyMetrics::Superscript, kThree);
    }
    G.p0 = left;
    G.p1 = rounded(0.6 * cell(role), 3);
    g(rad).x = left + G.p1;
    G.w = g(rad).x + g(rad).w + rule_;
    G.a = std::max(G.a, top), G.d = std::max({G.d, g(rad).d, F.descent});
    G.ink = std::max(G.ink, top);
}

// log, the base as a subscript, then the argument in brackets.
void PrettyLayout::measureLog(int n, Role role)
{
    Geom& G = g(n);
    const PrettyMetrics::Font F = font(role);
    const int arg = tree_->child(n, 0);
    const int base = tree_->child(n, 1);
    measure(base, PrettyMetrics::Superscript);
    measure(arg, role);
    G.p0 = advance(role, kLog);
    g(base).x = G.p0;
    g(base).y = std::round(0.4 * F.capHeight);
    G.p1 = G.p0 + g(base).w;
    g(arg).x = G.p1 + advance(role, bracketGlyph('('));
    G.w = g(arg).x + g(arg).w + (node(n).closed ? advance(role, bracketGlyph(')')) : 0);
    G.a = F.ascent, G.d = F.descent, G.ink = F.capHeight;
    extend(G, g(base));
    extend(G, g(arg));
}

// ∑: the upper limit over the sign, "var=low" under it, the body in brackets. ∫: the
// limits likewise, the body, then d and the variable.
void PrettyLayout::measureBig(int n, Role role)
{
    Geom& G = g(n);
    const PrettyNode& N = node(n);
    const bool sum = N.token == TC::kSum;
    const PrettyMetrics::Font F = font(role);
    const Role small = PrettyMetrics::Superscript;
    const int body = tree_->child(n, 0), var = tree_->child(n, 1), low = tree_->child(n, 2), high = tree_->child(n, 3);
    measure(high, small);
    measure(low, small);
    measure(var, sum ? small : role);
    measure(body, role);
    const double signW = std::round(1.1 * cell(role));
    const double signH = std::round(1.3 * (F.ascent + F.descent));
    const double signTop = -std::round(F.capHeight / 2 + signH / 2);
    const double lowerW = sum ? g(var).w + advance(small, kEquals) + g(low).w : g(low).w;
    const double column = std::max({signW, g(high).w, lowerW});
    G.p0 = (column - signW) / 2;
    G.p1 = signTop;
    G.p2 = signW;
    G.p3 = signH;
    g(high).x = (column - g(high).w) / 2;
    g(high).y = signTop - scriptGap_ - g(high).d;
    const double lowerBase = signTop + signH + scriptGap_ + std::max(g(low).a, sum ? g(var).a : 0.0);
    if (sum) {
        g(var).x = (column - lowerW) / 2;
        g(var).y = lowerBase;
        g(low).x = g(var).x + g(var).w + advance(small, kEquals);
    } else {
        g(low).x = (column - g(low).w) / 2;
    }
    g(low).y = lowerBase;
    double x = column + std::round(0.2 * cell(role));
    if (sum) {
        x += advance(role, bracketGlyph('('));
        g(body).x = x;
        x += g(body).w + (N.closed ? advance(role, bracketGlyph(')')) : 0);
    } else {
        g(body).x = x;
        x += g(body).w + std::round(0.2 * cell(role)) + advance(role, kD);
        g(var).x = x;
        x += g(var).w;
    }
    G.w = std::max(x, column);
    G.a = std::max(F.ascent, -signTop), G.d = std::max(F.descent, signTop + signH);
    G.ink = G.a;
    for (int c : {body, var, low, high})
        extend(G, g(c));
}

// d over d-variable, the function in brackets, a bar, and "variable=point" below it.
void PrettyLayout::measureDerivative(int n, Role role)
{
    Geom& G = g(n);
    const PrettyNode& N = node(n);
    const PrettyMetrics::Font F = font(role);
    const Role part = partRole(role);
    const PrettyMetrics::Font P = font(part);
    const int fn = tree_->child(n, 0), var = tree_->child(n, 1), point = tree_->child(n, 2);
    measure(var, part);
    measure(point, PrettyMetrics::Superscript);
    measure(fn, role);
    const double d = advance(part, kD);
    const double fw = std::max(d, d + g(var).w) + 2 * fractionPad_;
    g(var).x = (fw - d - g(var).w) / 2 + d;
    g(var).y = fractionGap_ / 2 + std::max(P.ascent, g(var).a);
    G.p0 = fw;
    double x = fw + advance(role, bracketGlyph('('));
    g(fn).x = x;
    x += g(fn).w + (N.closed ? advance(role, bracketGlyph(')')) : 0);
    G.p1 = x;
    x += rounded(0.35 * cell(role), 3);
    G.p2 = x;
    G.p3 = std::round(0.5 * F.capHeight);
    x += g(var).w + advance(PrettyMetrics::Superscript, kEquals);
    g(point).x = x;
    g(point).y = G.p3;
    G.w = x + g(point).w;
    G.a = std::max(F.ascent, fractionGap_ / 2 + P.descent + P.ascent);
    G.d = std::max(F.descent, G.p3 + g(var).d);
    G.ink = G.a;
    extend(G, g(var));
    extend(G, g(point));
    extend(G, g(fn));
}

// Cells centred in their columns, rows stacked around the axis, in stretchy brackets.
void PrettyLayout::measureMatrix(int n, Role role)
{
    Geom& G = g(n);
    const PrettyMetrics::Font F = font(role);
    const double bw = advance(role, bracketGlyph('['));
    const double hgap = cell(role);
    const double vgap = std::round(0.25 * (F.ascent + F.descent));
    // Matrices are rare: plain vectors, since a cell may hold a matrix of its own.
    std::vector<double> columns;
    std::vector<double> extents;
    for (int r : tree_->children(n)) {
        double a = F.ascent, d = F.descent;
        std::size_t k = 0;
        for (int c : tree_->children(r)) {
            measure(c, role);
            if (columns.size() <= k)
                columns.push_back(0);
            columns[k] = std::max(columns[k], g(c).w);
            a = std::max(a, g(c).a);
            d = std::max(d, g(c).d);
            ++k;
        }
        extents.push_back(a);
        extents.push_back(d);
    }
    double height = 0;
    for (double e : extents)
        height += e;
    const std::size_t rows = extents.size() / 2;
    height = rows == 0 ? F.ascent + F.descent : height + vgap * static_cast<double>(rows - 1);
    const double top = -std::round(F.capHeight / 2 + height / 2);
    double y = top;
    std::size_t r = 0;
    for (int row : tree_->children(n)) {
        const double baseline = y + extents[2 * r];
        double x = bw;
        std::size_t k = 0;
        for (int c : tree_->children(row)) {
            g(c).x = x + (columns[k] - g(c).w) / 2;
            g(c).y = baseline;
            x += columns[k] + hgap;
            ++k;
        }
        y = baseline + extents[2 * r + 1] + vgap;
        ++r;
    }
    double inner = 0;
    for (double c : columns)
        inner += c;
    inner = columns.empty() ? cell(role) : inner + hgap * static_cast<double>(columns.size() - 1);
    G.p0 = bw;
    G.p1 = top;
    G.p2 = height;
    G.w = 2 * bw + inner;
    G.a = std::max(F.ascent, -top), G.d = std::max(F.descent, top + height);
    G.ink = G.a;
}

// ---- Placing ----

void PrettyLayout::setStop(int index, int owner, double x, double baseline, Role role)
{
    Stop& s = stops_[static_cast<std::size_t>(index)];
    if (!s.valid || s.owner != owner)
        return;
    s.x = x;
    s.baseline = baseline;
    s.role = role;
}

void PrettyLayout::ink(int op, const QRectF& rect, bool decorative)
{
    if (!decorative && op >= 0 && op < opCount())
        ink_[static_cast<std::size_t>(op)] = rect;
}

void PrettyLayout::text(Role role, double x, double y, std::string_view s, int op, bool decorative)
{
    const PrettyMetrics::Font F = font(role);
    Item item;
    item.kind = Item::Kind::Text;
    item.role = role;
    item.rect = QRectF(x, y - F.ascent, advance(role, s), F.ascent + F.descent);
    item.baseline = y;
    item.text = s;
    items_.push_back(item);
    ink(op, item.rect, decorative);
}

// Drawn as the font's glyph while the bracket is no taller than the font, else stretched.
void PrettyLayout::bracket(Role role, QRectF rect, std::string_view glyph, int op, bool decorative)
{
    const PrettyMetrics::Font F = font(role);
    Item item;
    item.kind = Item::Kind::Bracket;
    item.role = role;
    item.rect = rect;
    item.baseline = rect.top() + F.ascent;
    item.text = glyph;
    item.token = rect.height() > (F.ascent + F.descent) * 1.05 ? 1 : 0;
    items_.push_back(item);
    ink(op, rect, decorative);
}

void PrettyLayout::place(int n, double x, double y, bool decorative)
{
    const Geom& G = g(n);
    const PrettyNode& N = node(n);
    const Role role = G.role;
    auto child = [&](int c) { place(c, x + g(c).x, y + g(c).y, decorative); };
    auto seqStops = [&](int c) {
        if (decorative || node(c).kind == Kind::Row)
            return;
        const double left = x + g(c).x;
        setStop(node(c).begin, c, left - (reservesAt(c, node(c).begin) ? cell(role) : 0), y + g(c).y, role);
        // An empty base or whole is one stop, at its box.
        if (node(c).end > node(c).begin)
            setStop(node(c).end, c, left + g(c).w, y + g(c).y, role);
    };
    switch (N.kind) {
    case Kind::Row: case Kind::MatrixRow: {
        const auto kids = tree_->children(n);
        for (int c : kids) {
            if (!decorative)
                setStop(node(c).begin, n, x + g(c).x - (reservesAt(n, node(c).begin) ? cell(role) : 0), y, role);
            child(c);
        }
        if (!decorative)
            setStop(N.end, n, x + G.w - (reservesAt(n, N.end) ? cell(role) : 0), y, role);
        return;
    }
    case Kind::Glyph:
        text(glyphRole(n), x, y, N.text, N.begin, decorative);
        return;
    case Kind::Number: {
        Item item;
        item.kind = Item::Kind::Text;
        item.role = role;
        item.rect = QRectF(x, y - G.a, G.w, G.a + G.d);
        item.baseline = y;
        item.op = N.begin;
        item.opEnd = N.end;
        items_.push_back(item);
        double cx = x;
        for (int p = N.begin; p < N.end; ++p) {
            const double w = advance(role, nameOf(opAt(p)));
            if (!decorative && p > N.begin)
                setStop(p, n, cx, y, role);
            ink(p, QRectF(cx, y - G.a, w, G.a + G.d), decorative);
            cx += w;
        }
        return;
    }
    case Kind::EmptyBox: {
        Item item;
        item.kind = Item::Kind::Box;
        item.role = role;
        item.rect = QRectF(x, y - G.a, G.w, G.a + G.d);
        items_.push_back(item);
        if (!decorative)
            boxes_[static_cast<std::size_t>(N.begin)] = item.rect;
        return;
    }
    case Kind::Brackets:
        return placeBrackets(n, x, y, decorative);
    case Kind::Fraction:
        ink(N.begin, QRectF(x + G.p0, y - fractionGap_ / 2, G.p1, fractionGap_), decorative);
        return placeFraction(n, tree_->child(n, 0), tree_->child(n, 1), x, y, decorative);
    case Kind::MixedNumber: {
        const int whole = tree_->child(n, 0);
        seqStops(whole);
        child(whole);
        return placeFraction(n, tree_->child(n, 1), tree_->child(n, 2), x, y, decorative);
    }
    case Kind::Script: {
        const int base = tree_->child(n, 0);
        if (!(N.token == TC::kExpE || N.token == TC::kExpTen))
            seqStops(base);
        if (bracketsBase(n)) {
            const QRectF tall(x, y - G.p2, 0, G.p2 + G.p3);
            const double close = advance(role, bracketGlyph(')'));
            bracket(role, tall.adjusted(0, 0, advance(role, bracketGlyph('(')), 0), bracketGlyph('('), -1, decorative);
            bracket(role, tall.adjusted(G.p1, 0, G.p1 + close, 0), bracketGlyph(')'), -1, decorative);
            // The cursor before the exponent or on the postfix stands after the bracket.
            if (!decorative)
                setStop(node(base).end, base, x + G.p1 + close, y, role);
        }
        child(base);
        child(tree_->child(n, 1));
        return;
    }
    case Kind::Radical:
        return placeRadical(n, x, y, decorative);
    case Kind::AbsoluteValue: {
        const double h = G.a + G.d;
        Item bar;
        bar.kind = Item::Kind::Rule;
        bar.rect = QRectF(x + G.p0 / 2 - rule_ / 2, y - G.a, rule_, h);
        items_.push_back(bar);
        bar.rect.moveLeft(x + G.w - G.p0 / 2 - rule_ / 2);
        items_.push_back(bar);
        ink(N.begin, QRectF(x, y - G.a, G.p0, h), decorative);
        child(tree_->child(n, 0));
        return;
    }
    case Kind::LogBase:
        return placeLog(n, x, y, decorative);
    case Kind::BigOperator:
        return placeBig(n, x, y, decorative);
    case Kind::Derivative:
        return placeDerivative(n, x, y, decorative);
    case Kind::Matrix:
        return placeMatrix(n, x, y, decorative);
    }
}

void PrettyLayout::placeBrackets(int n, double x, double y, bool decorative)
{
    const Geom& G = g(n);
    const PrettyNode& N = node(n);
    const std::string_view name = GlyphNames::name(opAt(N.begin));
    const std::string_view open = bracketGlyph(name.empty() ? '(' : name.back());
    const QRectF tall(x, y - G.a, 0, G.a + G.d);
    if (G.p0 > 0)
        text(G.role, x, y, name.substr(0, name.size() - 1), -1, decorative);
    bracket(G.role, tall.adjusted(G.p0, 0, G.p0 + G.p1, 0), open, -1, decorative);
    ink(N.begin, tall.adjusted(0, 0, G.p0 + G.p1, 0), decorative);
    if (N.closed) {
        // A plain closer is an op of its own the cursor can stand on; an ID'd one is not.
        const int closer = N.end - 1;
        bracket(G.role, tall.adjusted(G.w - G.p2, 0, G.w, 0), closingGlyph(open),
                TC::templateId(opAt(closer)) == 0 ? closer : -1, decorative);
    }
    const int inner = tree_->child(n, 0);
    place(inner, x + g(inner).x, y, decorative);
}

void PrettyLayout::placeFraction(int n, int num, int den, double x, double y, bool decorative)
{
    const Geom& G = g(n);
    Item bar;
    bar.kind = Item::Kind::Rule;
    bar.rect = QRectF(x + G.p0, y - rule_ / 2, G.p1, rule_);
    items_.push_back(bar);
    place(num, x + g(num).x, y + g(num).y, decorative);
    place(den, x + g(den).x, y + g(den).y, decorative);
}

void PrettyLayout::placeRadical(int n, double x, double y, bool decorative)
{
    const Geom& G = g(n);
    const PrettyNode& N = node(n);
    const QRectF sign(x + G.p0, y - G.a, G.p1, G.a + G.d);
    Item item;
    item.kind = Item::Kind::Radical;
    item.role = G.role;
    item.rect = sign;
    items_.push_back(item);
    item.kind = Item::Kind::Rule;
    item.rect = QRectF(sign.right(), sign.top(), x + G.w - sign.right(), rule_);
    items_.push_back(item);
    const bool indexPart = N.childCount > 1;
    if (N.token == TC::kCubeRoot)
        text(PrettyMetrics::Superscript, x, y + G.p2, kThree, -1, decorative);
    ink(N.begin, indexPart ? sign : sign.adjusted(-G.p0, 0, 0, 0), decorative);
    for (int c : tree_->children(n))
        place(c, x + g(c).x, y + g(c).y, decorative);
}

void PrettyLayout::placeLog(int n, double x, double y, bool decorative)
{
    const Geom& G = g(n);
    const PrettyNode& N = node(n);
    const int arg = tree_->child(n, 0);
    const int base = tree_->child(n, 1);
    text(G.role, x, y, kLog, N.begin, decorative);
    place(base, x + g(base).x, y + g(base).y, decorative);
    const Geom& A = g(arg);
    const double a = std::max(A.a, font(G.role).ascent), d = std::max(A.d, font(G.role).descent);
    bracket(G.role, QRectF(x + G.p1, y - a, A.x - G.p1, a + d), bracketGlyph('('), -1, decorative);
    if (N.closed)
        bracket(G.role, QRectF(x + A.x + A.w, y - a, G.w - A.x - A.w, a + d), bracketGlyph(')'), -1, decorative);
    place(arg, x + A.x, y, decorative);
}

void PrettyLayout::placeBig(int n, double x, double y, bool decorative)
{
    const Geom& G = g(n);
    const PrettyNode& N = node(n);
    const bool sum = N.token == TC::kSum;
    Item sign;
    sign.kind = Item::Kind::BigSign;
    sign.role = G.role;
    sign.token = N.token;
    sign.rect = QRectF(x + G.p0, y + G.p1, G.p2, G.p3);
    items_.push_back(sign);
    ink(N.begin, sign.rect, decorative);
    const int body = tree_->child(n, 0), var = tree_->child(n, 1);
    const Geom& B = g(body);
    if (sum) {
        const PrettyMetrics::Font F = font(G.role);
        const double a = std::max(B.a, F.ascent), d = std::max(B.d, F.descent);
        const double bw = advance(G.role, bracketGlyph('('));
        bracket(G.role, QRectF(x + B.x - bw, y - a, bw, a + d), bracketGlyph('('), -1, decorative);
        if (N.closed)
            bracket(G.role, QRectF(x + B.x + B.w, y - a, advance(G.role, bracketGlyph(')')), a + d),
                    bracketGlyph(')'), -1, decorative);
        text(PrettyMetrics::Superscript, x + g(var).x + g(var).w, y + g(var).y, kEquals, -1, decorative);
    } else {
        text(G.role, x + g(var).x - advance(G.role, kD), y, kD, -1, decorative);
    }
    for (int c : tree_->children(n))
        place(c, x + g(c).x, y + g(c).y, decorative);
}

void PrettyLayout::placeDerivative(int n, double x, double y, bool decorative)
{
    const Geom& G = g(n);
    const PrettyNode& N = node(n);
    const Role part = partRole(G.role);
    const PrettyMetrics::Font P = font(part);
    const PrettyMetrics::Font F = font(G.role);
    const int fn = tree_->child(n, 0), var = tree_->child(n, 1), point = tree_->child(n, 2);
    const double d = advance(part, kD);
    const double numBase = -(fractionGap_ / 2 + P.descent);
    text(part, x + (G.p0 - d) / 2, y + numBase, kD, -1, decorative);
    ink(N.begin, QRectF(x, y + numBase - P.ascent, G.p0, P.ascent + P.descent + fractionGap_ / 2), decorative);
    Item bar;
    bar.kind = Item::Kind::Rule;
    bar.rect = QRectF(x, y - rule_ / 2, G.p0, rule_);
    items_.push_back(bar);
    text(part, x + g(var).x - d, y + g(var).y, kD, -1, decorative);
    place(var, x + g(var).x, y + g(var).y, decorative);
    const Geom& Fn = g(fn);
    const double a = std::max(Fn.a, F.ascent), dd = std::max(Fn.d, F.descent);
    const double bw = advance(G.role, bracketGlyph('('));
    bracket(G.role, QRectF(x + Fn.x - bw, y - a, bw, a + dd), bracketGlyph('('), -1, decorative);
    if (N.closed)
        bracket(G.role, QRectF(x + Fn.x + Fn.w, y - a, G.p1 - Fn.x - Fn.w, a + dd), bracketGlyph(')'), -1, decorative);
    place(fn, x + Fn.x, y, decorative);
    bar.rect = QRectF(x + (G.p1 + G.p2) / 2 - rule_ / 2, y - a, rule_, a + dd);
    items_.push_back(bar);
    // The variable again after the bar, as "variable=point".
    place(var, x + G.p2, y + G.p3, true);
    text(PrettyMetrics::Superscript, x + G.p2 + g(var).w, y + G.p3, kEquals, -1, decorative);
    place(point, x + g(point).x, y + g(point).y, decorative);
}

void PrettyLayout::placeMatrix(int n, double x, double y, bool decorative)
{
    const Geom& G = g(n);
    const PrettyNode& N = node(n);
    const QRectF left(x, y + G.p1, G.p0, G.p2);
    bracket(G.role, left, bracketGlyph('['), N.begin, decorative);
    bracket(G.role, left.translated(G.w - G.p0, 0), bracketGlyph(']'), -1, decorative);
    for (int r : tree_->children(n))
        for (int c : tree_->children(r))
            place(c, x + g(c).x, y + g(c).y, decorative);
}

// ---- Queries ----

int PrettyLayout::stopAtOrAfter(int i) const
{
    for (int j = std::max(i, 0); j <= opCount(); ++j)
        if (stops_[static_cast<std::size_t>(j)].valid)
            return j;
    return opCount();
}

QRectF PrettyLayout::cursorRect(int i) const
{
    i = stopAtOrAfter(i);
    const QRectF& box = boxes_[static_cast<std::size_t>(i)];
    if (!box.isNull())
        return box;
    const Stop& s = stop(i);
    const PrettyMetrics::Font F = font(s.role);
    return {s.x, s.baseline - F.ascent, cell(s.role), F.ascent + F.descent};
}

QRectF PrettyLayout::hitRect(int i) const
{
    i = stopAtOrAfter(i);
    const std::size_t k = static_cast<std::size_t>(i);
    if (!boxes_[k].isNull())
        return boxes_[k];
    if (!ink_[k].isNull())
        return ink_[k];
    return cursorRect(i);
}

int PrettyLayout::tap(QPointF point) const
{
    // The smallest drawn op or box that holds the point.
    int hit = -1;
    double area = std::numeric_limits<double>::infinity();
    for (int i = 0; i <= opCount(); ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        const QRectF r = boxes_[k].isNull() ? ink_[k] : boxes_[k];
        if (isStop(i) && !r.isNull() && r.contains(point) && r.width() * r.height() < area) {
            hit = i;
            area = r.width() * r.height();
        }
    }
    if (hit >= 0)
        return hit;
    // Off the ink: the cursor cell that starts nearest on the left.
    for (int i = 0; i <= opCount(); ++i) {
        if (isStop(i) && cursorRect(i).contains(point) && (hit < 0 || stop(i).x > stop(hit).x))
            hit = i;
    }
    if (hit >= 0)
        return hit;
    // Else the nearest within half the font size.
    double nearest = size_ / 2;
    for (int i = 0; i <= opCount(); ++i) {
        if (!isStop(i))
            continue;
        const QRectF r = hitRect(i);
        const double dx = std::max({r.left() - point.x(), 0.0, point.x() - r.right()});
        const double dy = std::max({r.top() - point.y(), 0.0, point.y() - r.bottom()});
        const double dist = std::hypot(dx, dy);
        if (dist <= nearest) {
            nearest = dist;
            hit = i;
        }
    }
    return hit;
}

} // namespace orvenda
