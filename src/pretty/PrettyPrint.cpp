#include "pretty/PrettyPrint.h"

#include "pretty/PrettyCursor.h"
#include "pretty/PrettyEditor.h"
#include "pretty/PrettyFontMetrics.h"
#include "pretty/TemplateRewriter.h"
#include "pretty/TokenClass.h"

#include "core/Calculator.h"

#include <algorithm>
#include <iterator>
#include <memory>

namespace orvenda {

PrettyPrint& PrettyPrint::prettyPrint()
{
    Calculator& calc = Calculator::calculator();
    if (!calc.prettyPrint)
        calc.prettyPrint = std::make_shared<PrettyPrint>();
    return *calc.prettyPrint;
}

PrettyPrint::Ops PrettyPrint::beautifyOps(const Ops& ops)
{
    PrettyTree tree;
    tree.build(ops);
    TemplateRewriter rewriter(tree);
    rewriter.restructure();
    return rewriter.write();
}

void PrettyPrint::closeParens(Ops& ops)
{
    PrettyTree tree;
    tree.build(ops);
    ops = TemplateRewriter(tree).write();
}

PrettyPrint::Ops PrettyPrint::cleanOps(const Ops& ops)
{
    Ops out;
    out.reserve(ops.size());
    std::copy_if(ops.begin(), ops.end(), std::back_inserter(out), [](std::uint32_t op) {
        const std::uint32_t t = TokenClass::token(op);
        return t != 0x5C47 && t != 0x5C48 && t != TokenClass::kBox;
    });
    return out;
}

int PrettyPrint::opType(std::uint32_t op)
{
    return TokenClass::opType(op);
}

PrettyPrint::PrettyPrint()
{
    tree_.build({});
}

void PrettyPrint::setMetrics(const PrettyMetrics* metrics)
{
    metrics_ = metrics;
    dirty_ = true;
}

void PrettyPrint::relayout() const
{
    layout_.layout(tree_, size_, cursor_, metrics_ ? *metrics_ : PrettyFontMetrics::shared());
    dirty_ = false;
}

const PrettyLayout& PrettyPrint::current() const
{
    if (dirty_)
        relayout();
    return layout_;
}

QRectF PrettyPrint::setOps(const Ops& ops, int cursorPos, int, double fontSize)
{
    tree_.build(ops);
    size_ = fontSize;
    cursor_ = cursorPos;
    relayout();
    return layout_.printRect();
}

QRectF PrettyPrint::setMutableOps(const Ops& ops, int cursorPos, int cursorMode, double fontSize)
{
    input_ = ops;
    return setOps(ops, cursorPos, cursorMode, fontSize);
}

QRectF PrettyPrint::updateBoundsCursorPos(int cursorPos, int)
{
    cursor_ = cursorPos;
    relayout();
    return layout_.printRect();
}

void PrettyPrint::drawAt(QPainter& painter, QPointF point, const QRectF& drawRect)
{
    drawAt(painter, point, drawRect, QColor(Qt::black));
}

void PrettyPrint::drawAt(QPainter& painter, QPointF point, const QRectF& drawRect, const QColor& color)
{
    painter_.draw(painter, current(), point, drawRect, color, {});
}

void PrettyPrint::drawAt(QPainter& painter, QPointF point, const QRectF& drawRect, const QColor& color, double fontSize)
{
    if (fontSize != size_) {
        size_ = fontSize;
        relayout();
    }
    drawAt(painter, point, drawRect, color);
}

void PrettyPrint::drawAt(QPainter& painter, QPointF point, int cursorPos, int cursorMode, int cursorChar,
                         const QRectF& drawRect)
{
    painter_.draw(painter, current(), point, drawRect, QColor(Qt::black), {cursorPos, cursorMode, cursorChar});
}

void PrettyPrint::drawTreeInContext(QPainter& painter, double fontSize)
{
    if (fontSize != size_) {
        size_ = fontSize;
        relayout();
    }
    drawAt(painter, QPointF(0, 0), current().printRect(), QColor(Qt::black));
}

QRectF PrettyPrint::offsetHitRectForIndex(int i) const
{
    return current().hitRect(i).translated(0, current().height());
}

PrettyPrint::Ops PrettyPrint::enterOp(std::uint32_t op, int& at, const Ops& ops, int& cursorAdjust, int& insert,
                                      int& taken)
{
    return PrettyEditor::enterOp(op, at, ops, cursorAdjust, insert, taken);
}


PrettyLayout PrettyPrint::withoutCursor() const
{
    PrettyLayout plain;
    plain.layout(tree_, size_, kNoCursor, metrics_ ? *metrics_ : PrettyFontMetrics::shared());
    return plain;
}

int PrettyPrint::cursorUpFrom(int cursor) const
{
    return PrettyCursor::up(withoutCursor(), cursor);
}

int PrettyPrint::cursorDownFrom(int cursor) const
{
    return PrettyCursor::down(withoutCursor(), cursor);
}

int PrettyPrint::cursorLeftAt(int cursor) const
{
    return PrettyCursor::left(current(), cursor);
}

int PrettyPrint::cursorRightAt(int cursor) const
{
    return PrettyCursor::right(current(), cursor);
}

bool PrettyPrint::canOverwriteAt(int cursor) const
{
    return PrettyEditor::canOverwriteAt(input_, cursor);
}

int PrettyPrint::deleteAt(int cursor, int& cursorMode)
{
    // Edits the input as laid out last.
    if (tree_.ops() != input_)
        setOps(input_, cursor, cursorMode, size_);
    const int at = PrettyEditor::deleteAt(input_, current(), cursor, cursorMode);
    setOps(input_, at, cursorMode, size_);
    return at;
}

} // namespace orvenda
