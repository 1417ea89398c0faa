#include "graphui/YEqView.h"

#include "app/AppShell.h"
#include "app/YEqModel.h"
#include "core/Calculator.h"
#include "graphui/StyleSample.h"
#include "pretty/FontMap.h"
#include "pretty/PrettyDrawInfo.h"
#include "pretty/PrettyPrint.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>

namespace orvenda {

namespace {

constexpr const char* kClassicFont = "CourierNewPS-BoldMT";
// The MathPrint label meets the text's baseline; the first line has this much more room.
constexpr double kFirstLinePad = 7;
// MathPrint lines lower than this are centred in a row of the smallest height.
constexpr double kShortLine = 25;

// The rows of a graph mode: first token, rows, token step between rows, lines in a row and
// the token step from a row's first line to its second, and the labels whose widths align
// the texts (the second for a sequence's initial value).
struct ModeRows {
    int first;
    int rows;
    int rowStep;
    int lines;
    int lineStep;
    const char* measure;
    const char* measureSecond;
};

constexpr std::array<ModeRows, 5> kModes{{
    {0x5E10, 10, 1, 1, 0, "Y₁=", nullptr},
    {0x5E20, 6, 2, 2, 1, "XT1=", nullptr},
    {0x5E40, 6, 1, 1, 0, "R1=", nullptr},
    {0x5E80, 3, 1, 2, 3, "v(n)=", "u(nMin)="},
    {0x5EA0, 10, 1, 1, 0, "XY1:", nullptr},
}};

constexpr int kParametricMode = 1;
constexpr int kSequenceMode = 3;
constexpr int kImplicitMode = 4;

QColor rgb(const VQColor& c) { return QColor::fromRgbF(c.r(), c.g(), c.b()); }

} // namespace

YEqView::YEqView(Calculator& calc, AppShell& shell, YEqModel& model, QWidget* parent)
    : QWidget(parent), calc_(calc), shell_(shell), model_(model), fontSize_(calc.device == 1 ? 24 : 16),
      leading_(calc.device == 1 ? 26 : 18)
{
    layout_.setLeading(leading_);
    layout_.setFont(FontMap::shared().font(kClassicFont, fontSize_));
}

YEqView::~YEqView() = default;

int YEqView::graphMode() const { return calc_.graphMode(); }

PrettyPrint& YEqView::printer() const
{
    if (!printer_)
        printer_ = std::make_unique<PrettyPrint>();
    return *printer_;
}

QString YEqView::label(int token, int line) const
{
    // An initial value is labelled by its sequence's name.
    const int named = graphMode() == kSequenceMode && line == 1 ? token - 3 : token;
    const QString name = QString::fromStdString(calc_.nameForOpcode(static_cast<std::uint32_t>(named)));
    switch (graphMode()) {
    case kSequenceMode: return name + (line == 0 ? QStringLiteral("(η)=") : QStringLiteral("(ηMin)="));
    case kImplicitMode: return name + QLatin1Char(':');
    default: return name + QLatin1Char('=');
    }
}

void YEqView::resizeEvent(QResizeEvent*)
{
    double size = 0, leading = 0;
    Calculator::standardFontSize(size, leading, {0, 0, static_cast<double>(width()), static_cast<double>(height())});
    fontSize_ = size;
    leading_ = size * 1.083333;
    layout_.setLeading(leading_);
    layout_.setFont(FontMap::shared().font(kClassicFont, fontSize_));
    layoutFrames();
    update();
}

QSizeF YEqView::layoutFrames()
{
    rows_.clear();
    const int mode = graphMode();
    const double width = this->width();
    if (mode < 0 || mode >= static_cast<int>(kModes.size()))
        return {width, 0};
    const ModeRows& m = kModes[static_cast<std::size_t>(mode)];
    const bool pretty = calc_.locked()->mathPrint;
    const QFontMetricsF metrics(pretty ? PrettyDrawInfo::PrettyDrawInfoSize(calc_.baseFontSize).font()
                                       : FontMap::shared().font(kClassicFont, fontSize_));
    double y = 0;
    double contentWidth = width;
    for (int r = 0; r < m.rows; ++r) {
        Row row;
        const int first = m.first + r * m.rowStep;
        for (int i = 0; i < m.lines; ++i) {
            Line line;
            line.token = first + i * m.lineStep;
            line.label = label(line.token, i);
            row.lines.push_back(line);
        }
        const double labelWidth = metrics.horizontalAdvance(QString::fromUtf8(m.measure));
        row.labelWidth = labelWidth;
        if (pretty) {
            layoutPretty(row, width);
            if (m.measureSecond)
                row.lines.back().origin.rx() += metrics.horizontalAdvance(QString::fromUtf8(m.measureSecond)) - labelWidth;
        } else {
            layoutClassic(row, width);
        }
        row.frame.moveTop(y);
        y += row.frame.height();
        const bool current = std::any_of(row.lines.begin(), row.lines.end(),
            [this](const Line& line) { return model_.isSelected(line.token); });
        if (current && row.frame.width() > width)
            contentWidth = row.frame.width();
        rows_.push_back(std::move(row));
    }
    return {contentWidth, y};
}

void YEqView::layoutClassic(Row& row, double width)
{
    double used = 0;
    for (Line& line : row.lines) {
        layout_.setBounds(QRectF(kLeftEdge, 0, width - kLeftEdge, 1000));
        layout_.setPrefixStr(line.label.toStdString());
        layout_.setOps(model_.equationOps(line.token).value_or(YEqModel::Ops{}));
        line.top = used;
        line.height = layout_.numLines() * leading_;
        used += line.height;
    }
    const double height = std::max(kMinRowHeight, used + 4);
    // The text sits in the middle of a row of the smallest height.
    const double pad = (height - used) / 2;
    for (Line& line : row.lines)
        line.top += pad;
    row.frame = QRectF(0, 0, width, height);
}

void YEqView::layoutPretty(Row& row, double width)
{
    const PrettyDrawInfo& info = PrettyDrawInfo::PrettyDrawInfoSize(calc_.baseFontSize);
    double used = 0;
    double widest = width;
    for (std::size_t i = 0; i < row.lines.size(); ++i) {
        Line& line = row.lines[i];
        const YEqModel::Ops ops = model_.equationOps(line.token).value_or(YEqModel::Ops{});
        double height = info.ascent() - info.descent();
        double baseline = info.ascent();
        double textWidth = 0;
        if (!ops.empty()) {
            const QRectF laid = printer().setOps(ops, PrettyPrint::kNoCursor, 0, calc_.baseFontSize);
            height = laid.height();
            if (printer().depth() < -info.descent())
                height += -info.descent() - printer().depth();
            baseline = printer().height();
            textWidth = laid.width();
        }
        const double pad = i == 0 ? kFirstLinePad : 0;
        line.top = used;
        line.height = height + pad;
        line.origin = QPointF(kLeftEdge + row.labelWidth, used + pad / 2);
        if (row.lines.size() == 1 && height < kShortLine)
            line.origin.ry() += (kMinRowHeight - height - kFirstLinePad) / 2;
        line.baseline = line.origin.y() + baseline;
        used += line.height;
        widest = std::max(widest, kLeftEdge + row.labelWidth + textWidth);
    }
    row.frame = QRectF(0, 0, widest, std::max(kMinRowHeight, used));
}

QRectF YEqView::frameForIndex(int index) const
{
    if (index < 0 || index >= rowCount())
        return {};
    const Row& row = rows_[static_cast<std::size_t>(index)];
    if (!calc_.locked()->mathPrint)
        return row.frame;
    for (const Line& line : row.lines) {
        const int cursor = model_.cursorPositionForFunction(line.token);
        if (cursor < 0)
            continue;
        PrettyPrint& engine = printer();
        engine.setOps(model_.equationOps(line.token).value_or(YEqModel::Ops{}), cursor, 0, calc_.baseFontSize);
        const QRectF hit = engine.offsetHitRectForIndex(cursor);
        return QRectF(row.frame.x() + line.origin.x() + hit.x(), row.frame.y(), std::max(hit.width(), 1.0),
            row.frame.height());
    }
    return row.frame;
}

void YEqView::setOffset(QPointF offset)
{
    offset_ = offset;
    update();
}

// ---- Touches ----

QRectF YEqView::touchAt(QPointF point)
{
    shell_.keys().doKeyClick();
    const auto hit = std::find_if(rows_.begin(), rows_.end(), [point](const Row& row) { return row.frame.contains(point); });
    if (hit == rows_.end())
        return rows_.empty() ? QRectF() : rows_.back().frame;
    const Row& row = *hit;
    const int first = row.lines.front().token;
    const double x = point.x() - row.frame.x();
    if (x < kButtonEdge) {
        const bool on = !model_.shouldPlotFunction(first);
        model_.setFunction(first, on);
        if (graphMode() == kParametricMode)
            model_.setFunction(first + 1, on);
        update();
    } else if (x < kLeftEdge) {
        if (delegate_)
            delegate_->pickColorForEqNum(first);
    } else {
        placeCursor(row, point);
    }
    return row.frame;
}

void YEqView::placeCursor(const Row& row, QPointF point)
{
    const double y = point.y() - row.frame.y();
    if (!calc_.locked()->mathPrint) {
        for (const Line& line : row.lines) {
            if (y < line.top || y >= line.top + line.height)
                continue;
            layout_.setBounds(QRectF(row.frame.x() + kLeftEdge, row.frame.y() + line.top, width() - kLeftEdge, 1000));
            layout_.setPrefixStr(line.label.toStdString());
            layout_.setOps(model_.equationOps(line.token).value_or(YEqModel::Ops{}));
            const int position = layout_.touchAt(point);
            if (position >= 0) {
                model_.setCursorOnFunction(line.token, position);
                shell_.blink().resetBlink();
            }
            return;
        }
        return;
    }
    // Below the last line counts as the last line (a sequence's initial value).
    auto line = std::find_if(row.lines.begin(), row.lines.end(),
        [y](const Line& l) { return y < l.top + l.height; });
    const bool below = line == row.lines.end();
    if (below)
        line = std::prev(row.lines.end());
    const YEqModel::Ops ops = model_.equationOps(line->token).value_or(YEqModel::Ops{});
    int position = 0;
    if (!below && !ops.empty()) {
        printer().setOps(ops, PrettyPrint::kNoCursor, 0, calc_.baseFontSize);
        const QPointF baseline = row.frame.topLeft() + line->origin + QPointF(0, printer().height());
        position = std::max(0, printer().tapAtPoint(point - baseline));
    }
    model_.setCursorOnFunction(line->token, position);
    shell_.blink().resetBlink();
}

// ---- Drawing ----

void YEqView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(rect()).adjusted(2, 2, -2, -2), 3, 3);
    painter.setClipPath(clip);
    painter.fillRect(rect(), QColor::fromRgbF(0.45, 0.73, 1.0));
    painter.translate(-offset_);
    const QRectF visible(offset_, QSizeF(size()));
    for (const Row& row : rows_)
        if (row.frame.intersects(visible))
            drawRow(painter, row);
}

void YEqView::drawRow(QPainter& painter, const Row& row)
{
    const QRectF& f = row.frame;
    const bool current = std::any_of(row.lines.begin(), row.lines.end(),
        [this](const Line& line) { return model_.isSelected(line.token); });
    if (current)
        painter.fillRect(f, QColor::fromRgbF(1, 1, 1, 0.3));
    const int cursorChar = shell_.keys().cursorChar();
    const QRectF visible(offset_, QSizeF(size()));
    painter.setPen(Qt::black);
    for (const Line& line : row.lines) {
        const YEqModel::Ops ops = model_.equationOps(line.token).value_or(YEqModel::Ops{});
        const int cursor = model_.cursorPositionForFunction(line.token);
        if (!calc_.locked()->mathPrint) {
            layout_.setBounds(QRectF(f.x() + kLeftEdge, f.y() + line.top, width() - kLeftEdge, 1000));
            layout_.setPrefixStr(line.label.toStdString());
            layout_.setOps(ops);
            layout_.setCursorPosition(cursor);
            layout_.setCursorChar(cursorChar);
            layout_.setInsertMode(calc_.insert != 0);
            layout_.drawInContext(painter, visible);
            continue;
        }
        const int mode = cursor >= 0 ? calc_.insert : 0;
        const int at = cursor >= 0 ? cursor : PrettyPrint::kNoCursor;
        printer().setOps(ops, at, mode, calc_.baseFontSize);
        painter.setFont(PrettyDrawInfo::PrettyDrawInfoSize(calc_.baseFontSize).font());
        painter.setPen(Qt::black);
        painter.drawText(QPointF(f.x() + kLeftEdge, f.y() + line.baseline), line.label);
        printer().drawAt(painter, f.topLeft() + line.origin, at, mode, cursorChar, visible);
    }
    const double bottom = f.bottom();
    painter.setPen(QPen(QColor::fromRgbF(0.8, 0.8, 0.8), 1));
    painter.drawLine(QPointF(f.left(), bottom - 0.5), QPointF(f.right(), bottom - 0.5));
    painter.setPen(QPen(QColor::fromRgbF(0.5, 0.5, 0.5), 1));
    painter.drawLine(QPointF(f.left(), bottom + 0.5), QPointF(f.right(), bottom + 0.5));
    painter.fillRect(QRectF(f.x(), f.y() + 1, kLeftEdge, f.height() - 2), QColor::fromRgbF(0, 0, 0, 0.2));

    const int first = row.lines.front().token;
    const double top = f.y() + (f.height() - kMinRowHeight) / 2;
    drawButton(painter, QPointF(f.x() + 2, top), model_.shouldPlotFunction(first));
    const VQColor background = calc_.locked()->backgroundColor;
    drawGraphStyle(painter, model_.styleForFunction(first), QPointF(f.x() + 40, top + 4),
        model_.colorForFunction(first).value_or(VQColor::colorR(0, 1, 0, 1)), rgb(background));
}

void YEqView::drawButton(QPainter& painter, QPointF at, bool on) const
{
    // A 32-point switch: lit when the equation is graphed.
    painter.save();
    const QRectF body(at + QPointF(5, 5), QSizeF(22, 22));
    painter.setPen(QPen(QColor::fromRgbF(0.15, 0.15, 0.2), 1.5));
    painter.setBrush(on ? QColor::fromRgbF(0.1, 0.25, 0.6) : QColor::fromRgbF(0.92, 0.94, 0.97));
    painter.drawRoundedRect(body, 5, 5);
    if (on) {
        painter.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath tick;
        tick.moveTo(body.left() + 5, body.center().y());
        tick.lineTo(body.left() + 9.5, body.bottom() - 5);
        tick.lineTo(body.right() - 4.5, body.top() + 5);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(tick);
    }
    painter.restore();
}

void YEqView::drawGraphStyle(QPainter& painter, int style, QPointF at, const VQColor& color, const QColor& background)
{
    painter.save();
    painter.translate(at);
    painter.fillRect(QRectF(0, 0, 40, 24), background);
    QPainterPath curve;
    curve.moveTo(0.5, 20);
    curve.quadTo(10, 6, 20, 12);
    curve.quadTo(30, 18, 39.5, 4);
    StyleSample::draw(painter, style, curve, QRectF(0, 0, 40, 24), color);
    // The frame.
    painter.setPen(QPen(QColor::fromRgbF(0.3, 0.3, 0.3), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(0.5, 0.5, 39, 23), 2, 2);
    painter.restore();
}

} // namespace orvenda
