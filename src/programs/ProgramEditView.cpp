#include "programs/ProgramEditView.h"

#include "core/Calculator.h"
#include "drawing/DrawString.h"
#include "drawing/VImageDraw.h"
#include "eval/ProgramTokens.h"
#include "pretty/FontMap.h"
#include "programs/ProgramModel.h"

#include <QFontMetricsF>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

constexpr const char* kFace = "CourierNewPS-BoldMT";
constexpr const char* kItalicFace = "CourierNewPS-ItalicMT";
constexpr int kLongPressMs = 250;
// In debug mode the rightmost strip takes no taps (the scroller's own).
constexpr double kDebugDeadStrip = 100;
const QColor kSelection(255, 255, 0);
const QColor kPair(148, 204, 252);
const QColor kComment(0, 128, 0);
const QColor kDebugBand(37, 81, 193);

} // namespace

ProgramEditView::ProgramEditView(Calculator& calc, ProgramModel& model, QWidget* parent)
    : QWidget(parent), calc_(calc), model_(model), pressTimer_(new QTimer(this))
{
    pressTimer_->setSingleShot(true);
    pressTimer_->setInterval(kLongPressMs);
    connect(pressTimer_, &QTimer::timeout, this, [this] {
        tracking_ = true;
        longPress(Press::Began, pressAt_);
    });
    setMetrics();
}

ProgramEditView::~ProgramEditView() = default;

const QString& ProgramEditView::nameOf(std::uint32_t op) const
{
    auto found = names_.find(op);
    if (found == names_.end())
        found = names_.emplace(op, QString::fromStdString(calc_.nameForOpcode(op))).first;
    return found->second;
}

void ProgramEditView::setMetrics()
{
    const bool tablet = calc_.device == 1;
    if (tablet) {
        scale_ = 1;
        fontSize_ = 21;
        leading_ = debug_ ? 26 : 22.5;
        leftMargin_ = debug_ ? 32 : 3;
        arrowSize_ = 45;
    } else {
        // 32 characters fill the width.
        const QFontMetricsF zero(FontMap::shared().font(kFace, 16));
        const double w = std::max(1, width());
        scale_ = std::max(0.1, (w / 32) / zero.horizontalAdvance(QLatin1Char('0')));
        fontSize_ = 14 * scale_;
        leading_ = (debug_ ? 20 : 15) * scale_;
        leftMargin_ = (debug_ ? 32 : 2) * scale_;
        arrowSize_ = 30 * scale_;
    }
    const QFontMetricsF metrics(FontMap::shared().font(kFace, fontSize_ - (debug_ ? 1 : 0)));
    charWidth_ = std::max(1.0, metrics.horizontalAdvance(QLatin1Char('H')));
    stopMark_ = VImageDraw::vImageDraw().getImage(tablet ? "Stop2" : "Stop3", 1);
}

void ProgramEditView::setDebug(bool on)
{
    debug_ = on;
    setMetrics();
    update();
}

void ProgramEditView::resizeEvent(QResizeEvent*)
{
    setMetrics();
    makeCursorVisible();
}

int ProgramEditView::lineAt(double y) const { return std::max(0, static_cast<int>(std::floor(y / leading_)) + firstLine_); }

void ProgramEditView::setFirstLine(int line)
{
    const int last = std::max(0, model_.numLines() + 1 - static_cast<int>(height() / leading_));
    line = std::clamp(line, 0, last);
    if (line != firstLine_) {
        firstLine_ = line;
        update();
    }
}

void ProgramEditView::makeCursorVisible()
{
    const int line = model_.textLine();
    const int shown = std::max(1, static_cast<int>(height() / leading_));
    if (line < firstLine_)
        setFirstLine(line);
    else if (line >= firstLine_ + shown)
        setFirstLine(line - shown + 1);
    update();
}

// ---- Touches ----

void ProgramEditView::tap(QPointF at)
{
    if (debug_ && at.x() >= width() - kDebugDeadStrip)
        return;
    const int line = lineAt(at.y());
    if (debug_) {
        if (at.x() < leftMargin_) {
            model_.toggleBreakForLine(line);
            update();
        }
        return;
    }
    const int column = static_cast<int>((at.x() - leftMargin_) / charWidth_);
    model_.clearSelection();
    model_.setLine(line, std::max(column, 1) - 1);
    if (changed)
        changed();
    update();
}

void ProgramEditView::longPress(Press state, QPointF at)
{
    if (debug_)
        return;
    const int line = lineAt(at.y());
    const int column = std::max(0, static_cast<int>((at.x() - leftMargin_) / charWidth_) - 1);
    switch (state) {
    case Press::Began:
        trackDirection_ = model_.beginSelectLine(line, column);
        break;
    case Press::Changed:
        model_.extendSelectLine(line, column, trackDirection_);
        break;
    case Press::Ended:
        model_.extendSelectLine(line, column, trackDirection_);
        if (hideMagnify)
            hideMagnify();
        showEditMenu(at);
        break;
    }
    if (state != Press::Ended && magnify)
        magnify(QPointF(at.x(), (line - firstLine_) * leading_));
    model_.setLine(line, column);
    if (changed)
        changed();
    update();
}

std::vector<ProgramEditView::Action> ProgramEditView::actions() const
{
    const bool selected = model_.prgmSelection().length > 0;
    const bool editable = model_.isEditable();
    std::vector<Action> out;
    if (selected)
        out.push_back(Action::Copy);
    if (selected && editable)
        out.push_back(Action::Cut);
    if (editable && !calc_.prgmPasteBuffer.empty())
        out.push_back(Action::Paste);
    out.push_back(Action::SelectAll);
    if (!selected)
        out.push_back(Action::Select);
    return out;
}

void ProgramEditView::perform(Action action)
{
    switch (action) {
    case Action::Copy: model_.copyOps(); break;
    case Action::Cut: model_.cutOps(); break;
    case Action::Paste: model_.pasteOps(); break;
    case Action::SelectAll: model_.selectAll(); break;
    case Action::Select: model_.select(); break;
    }
    if (changed)
        changed();
    update();
}

void ProgramEditView::showEditMenu(QPointF at)
{
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    static const char* const kTitles[] = {"Copy", "Cut", "Paste", "Select All", "Select"};
    for (const Action action : actions())
        menu->addAction(QString::fromLatin1(kTitles[static_cast<int>(action)]), this, [this, action] { perform(action); });
    menu->popup(mapToGlobal(at.toPoint()));
}

void ProgramEditView::mousePressEvent(QMouseEvent* event)
{
    pressAt_ = event->position();
    tracking_ = false;
    pressTimer_->start();
}

void ProgramEditView::mouseMoveEvent(QMouseEvent* event)
{
    if (tracking_)
        longPress(Press::Changed, event->position());
}

void ProgramEditView::mouseReleaseEvent(QMouseEvent* event)
{
    pressTimer_->stop();
    if (tracking_) {
        tracking_ = false;
        longPress(Press::Ended, event->position());
    } else {
        tap(event->position());
    }
}

void ProgramEditView::wheelEvent(QWheelEvent* event)
{
    const int lines = event->angleDelta().y() / 40;
    setFirstLine(firstLine_ - lines);
}

// ---- Drawing ----

void ProgramEditView::drawHandle(QPainter& painter, double x, double y, bool above) const
{
    const double top = above ? y - 8 : y;
    painter.setPen(QPen(Qt::black, 1.5));
    painter.drawLine(QPointF(x, y), QPointF(x, y + (above ? 0 : leading_)));
    const QRectF dot(x - 4, above ? top : y + leading_, 8, 8);
    painter.setBrush(QColor(255, 255, 255, 128));
    painter.drawEllipse(dot);
    painter.setBrush(Qt::NoBrush);
}

void ProgramEditView::drawBubbleAt(QPainter& painter, const QRectF& cell, const QString& text)
{
    constexpr double kPointer = 5;
    const QFont font = FontMap::shared().font("Helvetica-Oblique", std::max(1.0, fontSize_ - 2));
    const QFontMetricsF metrics(font);
    const double w = std::min(metrics.horizontalAdvance(text) + 8, static_cast<double>(width()));
    const double h = metrics.height() + 4;
    const double left = std::clamp(cell.center().x() - w / 2, 0.0, std::max(0.0, width() - w));
    const bool above = cell.top() - kPointer - h >= 0;
    const QRectF box(left, above ? cell.top() - kPointer - h : cell.bottom() + kPointer, w, h);
    // The box and its pointer towards the cell's centre, as one outline.
    const double tipX = std::clamp(cell.center().x(), box.left() + 6 + kPointer, box.right() - 6 - kPointer);
    QPainterPath path;
    path.addRoundedRect(box, 6, 6);
    QPainterPath pointer;
    const double edge = above ? box.bottom() : box.top();
    pointer.moveTo(tipX - kPointer, edge);
    pointer.lineTo(cell.center().x(), above ? cell.top() : cell.bottom());
    pointer.lineTo(tipX + kPointer, edge);
    pointer.closeSubpath();
    path = path.united(pointer);
    painter.setPen(QPen(QColor(51, 51, 51), 1));
    painter.setBrush(QColor(204, 204, 204));
    painter.drawPath(path);
    painter.setBrush(Qt::NoBrush);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(box, Qt::AlignCenter, metrics.elidedText(text, Qt::ElideRight, w - 8));
    bubbleText_ = text;
    bubbleRect_ = box;
}

void ProgramEditView::drawLine(QPainter& painter, int line, double y)
{
    const ProgramLayout& layout = model_.layout();
    const auto& ops = model_.program().array();
    const int first = layout.firstOpOnLine(line);
    const int end = layout.lineEnd(line, static_cast<int>(ops.size()));
    const int indent = model_.indentForLine(line);
    const double textX = leftMargin_ + indent * charWidth_;
    // The indentation band, a stripe every second level, and the statement's number. The
    // debugger's pane is pale: there the band is its frame's blue, so that the white
    // numbers read.
    // Whole pixel rows, so that the bands of neighbouring lines meet without a seam.
    const double bandTop = std::floor(y);
    painter.fillRect(QRectF(0, bandTop, textX, std::floor(y + leading_) - bandTop),
                     debug_ ? kDebugBand : QColor(255, 255, 255, 77));
    for (int level = 1; level < indent; level += 2)
        painter.fillRect(QRectF(leftMargin_ + level * charWidth_, y, charWidth_, leading_), QColor(255, 255, 255, 128));
    const QFont plain = FontMap::shared().font(kFace, fontSize_ - (debug_ ? 1 : 0));
    const QFontMetricsF metrics(plain);
    const double baseline = y + (leading_ + metrics.ascent() - metrics.descent()) / 2;
    if (!layout.isContinuation(line)) {
        const QString number = QString::number(line + 1);
        const QFont small = FontMap::shared().font(kFace, std::max(1.0, (fontSize_ - (debug_ ? 1 : 0)) * 0.75));
        painter.setFont(small);
        painter.setPen(QColor(255, 255, 255, 204));
        painter.drawText(QPointF(textX - 1 - QFontMetricsF(small).horizontalAdvance(number), baseline), number);
    }
    if (debug_) {
        if (!layout.isContinuation(line) && model_.breakForLine(line) && !stopMark_.isNull())
            painter.drawImage(QPointF(0, y + (leading_ - stopMark_.height() / stopMark_.devicePixelRatio()) / 2), stopMark_);
    }
    // The selection and the bracket pair at the cursor, as opcode ranges.
    const ProgramModel::Range selection = model_.prgmSelection();
    const int pairFrom = pairFrom_, pairTo = pairTo_;
    double x = textX;
    painter.setFont(plain);
    painter.setPen(Qt::black);
    if (!layout.isContinuation(line))
        painter.drawText(QPointF(x, baseline), QStringLiteral(":"));
    x += charWidth_;
    bool comment = false;
    // A comment that began on an earlier screen line of the statement goes on.
    for (int k = model_.layout().firstOpOnLine(model_.layout().statementLine(line)); k < first; ++k) {
        const std::uint32_t t = ProgramTokens::token(ops[static_cast<std::size_t>(k)]);
        if (t == ProgramTokens::kComment)
            comment = true;
        else if (t == ProgramTokens::kColon)
            comment = false;
    }
    const QFont italic = FontMap::shared().font(kItalicFace, fontSize_ - (debug_ ? 1 : 0));
    for (int k = first; k < end; ++k) {
        const std::uint32_t op = ops[static_cast<std::size_t>(k)];
        const std::uint32_t t = ProgramTokens::token(op);
        if (t == ProgramTokens::kComment)
            comment = true;
        else if (t == ProgramTokens::kColon || t == ProgramTokens::kNewLine)
            comment = false;
        const QString& name = t == ProgramTokens::kNewLine ? QStringLiteral("\u21A9") : nameOf(op);
        const double w = t == ProgramTokens::kNewLine ? charWidth_ : name.size() * charWidth_;
        const bool selected = selection.length > 0 && k >= selection.location && k < selection.location + selection.length;
        const bool inPair = pairFrom >= 0 && k >= pairFrom && k <= pairTo;
        if (selected)
            painter.fillRect(QRectF(x, y, w, leading_), kSelection);
        else if (inPair)
            painter.fillRect(QRectF(x, y, w, leading_), kPair);
        if (selection.length > 0 && k == selection.location)
            drawHandle(painter, x, y, true);
        if (selection.length > 0 && k == selection.location + selection.length - 1)
            drawHandle(painter, x + w, y, false);
        painter.setFont(comment ? italic : plain);
        painter.setPen(pairFrom >= 0 && (k == pairFrom || k == pairTo) ? QColor(Qt::red) : comment ? kComment : QColor(Qt::black));
        if (t == ProgramTokens::kStore) {
            // The arrow's glyph is wider than its cell and its head would touch the next
            // letter: narrowed to the cell, less a gap on either side.
            painter.save();
            painter.setTransform(DrawString::fitToCell(painter.font(), name, x, w, ProgramModel::kStoreArrowInset), true);
            painter.drawText(QPointF(0, baseline), name);
            painter.restore();
        } else if (t != ProgramTokens::kBreakpoint) {
            painter.drawText(QPointF(x, baseline), name);
        }
        x += w;
    }
}

void ProgramEditView::paintEvent(QPaintEvent*)
{
    if (width() <= 0 || height() <= 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const int lines = model_.numLines();
    const int cursorLine = model_.textLine();
    const int shown = static_cast<int>(height() / leading_) + 1;
    // The bracket pair the cursor stands at, as opcode indices (edit mode).
    pairFrom_ = pairTo_ = -1;
    bubbleText_.clear();
    bubbleRect_ = {};
    std::uint32_t bubbleOp = 0;
    if (!debug_) {
        if (const auto statement = model_.statementForLine(cursorLine); statement && statement->position >= 0) {
            const int at = statement->position;
            int from = -1, to = -1;
            // The cursor on an opening token: the pair it opens.
            const auto opened = calc_.parenContextInOps(statement->ops, at + 1);
            if (opened.length > 0 && static_cast<int>(opened.location) == at) {
                from = at;
                to = at + static_cast<int>(opened.length);
            } else if (statement->parens.length > 0
                && statement->parens.location + statement->parens.length == at) {
                // On the closing token: the pair it closes.
                from = statement->parens.location;
                to = at;
            }
            if (from >= 0 && to < static_cast<int>(statement->ops.size())) {
                const int base = model_.layout().firstOpOnLine(statement->line);
                pairFrom_ = base + from;
                pairTo_ = base + to;
                if (from == at)
                    bubbleOp = statement->ops[static_cast<std::size_t>(from)];
            }
        }
    }
    for (int n = firstLine_; n < std::min(lines, firstLine_ + shown); ++n)
        drawLine(painter, n, (n - firstLine_) * leading_);
    // The cursor: a cell at its token, while the blink shows it (edit mode); the arrow at
    // the current statement (debug mode).
    const double y = (cursorLine - firstLine_) * leading_;
    const int column = model_.columnForIndex(model_.prgmEditCursor());
    // The help bubble of the function whose bracket the cursor stands on; brackets and
    // quotes explain nothing.
    if (bubbleOp != 0 && calc_.bubbleHelp) {
        const QString& name = nameOf(bubbleOp);
        if (name != QLatin1String("[") && name != QLatin1String("{") && name != QLatin1String("(")
            && name != QLatin1String("\"")) {
            const QString text = QString::fromStdString(calc_.descriptionForOpcode(bubbleOp));
            if (!text.isEmpty())
                drawBubbleAt(painter, QRectF(leftMargin_ + (column + 1) * charWidth_, y, name.size() * charWidth_, leading_), text);
        }
    }
    if (debug_) {
        const QFont arrow = FontMap::shared().font("ZapfDingbatsITC", arrowSize_ * 0.5);
        painter.setFont(arrow);
        painter.setPen(QColor(255, 0, 128));
        const double x = leftMargin_ + model_.indentForLine(cursorLine) * charWidth_;
        const QFontMetricsF am(arrow);
        const QString mark = QStringLiteral("\u27BC");
        painter.drawText(QPointF(x - am.horizontalAdvance(mark), y + (leading_ + am.ascent() - am.descent()) / 2), mark);
        return;
    }
    if (!calc_.cursorVisible)
        return;
    const QRectF cell(leftMargin_ + (column + 1) * charWidth_, y, charWidth_, leading_);
    painter.fillRect(cell, QColor(0, 0, 0, 128));
    const QColor mark(255, 255, 255, 128);
    if (calc_.secondShift) {
        QPainterPath up;
        up.moveTo(cell.center().x(), cell.bottom() - 2);
        up.lineTo(cell.center().x(), cell.top() + 2);
        up.moveTo(cell.left() + 1, cell.top() + cell.width() / 2);
        up.lineTo(cell.center().x(), cell.top() + 2);
        up.lineTo(cell.right() - 1, cell.top() + cell.width() / 2);
        painter.strokePath(up, QPen(mark, 2));
    } else if (calc_.alphaShift) {
        painter.setPen(mark);
        painter.drawText(cell, Qt::AlignCenter, QStringLiteral("A"));
    } else if (calc_.insert != 0) {
        painter.fillRect(QRectF(cell.left(), cell.bottom() - 5, cell.width(), 2), Qt::black);
    }
}

} // namespace orvenda
