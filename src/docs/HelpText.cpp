#include "docs/HelpText.h"

#include "pretty/FontMap.h"

#include <QPainter>
#include <QTextLayout>

#include <cmath>

namespace orvenda {

namespace {

// Text is laid out this many times larger than it is drawn, so that fonts of fractional
// sizes (13.5 points) keep their proportions though the layout takes whole pixel sizes.
constexpr double kOversize = 8;

bool wordChar(QChar c) { return c.isLetterOrNumber() || c.isMark(); }

// Whether a line may end before text[at] when no blank is near: after a blank, a comma or a
// semicolon, before an opening bracket, after a closing one, or after the hyphen or slash
// of a compound ("2-SampTTest").
bool breakable(const QString& text, qsizetype at)
{
    const QChar before = text[at - 1], after = text[at];
    const auto opening = [](QChar c) { return c == QLatin1Char('[') || c == QLatin1Char('(') || c == QLatin1Char('{'); };
    const auto closing = [](QChar c) { return c == QLatin1Char(']') || c == QLatin1Char(')') || c == QLatin1Char('}'); };
    const auto separator = [](QChar c) { return c == QLatin1Char(',') || c == QLatin1Char(';'); };
    if (before.isSpace())
        return true;
    if (after.isSpace())
        return false;
    if (separator(before))
        return true;
    if (opening(after))
        return !opening(before);
    if (closing(before))
        return !separator(after) && !closing(after);
    if (before == QLatin1Char('-') || before == QLatin1Char('/'))
        return at >= 2 && wordChar(text[at - 2]) && wordChar(after);
    return false;
}

} // namespace

void HelpText::append(const QString& text, const TextFont& font, const QColor& color, const QString& url)
{
    if (text.isEmpty())
        return;
    if (!runs_.empty() && runs_.back().font.name == font.name && runs_.back().font.size == font.size
        && runs_.back().color == color && runs_.back().url == url)
        runs_.back().text += text;
    else
        runs_.push_back({text, font, color, url});
    length_ += text.size();
}

void HelpText::prepend(const QString& text, const TextFont& font, const QColor& color)
{
    if (text.isEmpty())
        return;
    runs_.insert(runs_.begin(), Run{text, font, color, {}});
    length_ += text.size();
}

void HelpText::clear()
{
    runs_.clear();
    length_ = 0;
}

QString HelpText::plainText() const
{
    QString all;
    all.reserve(length_);
    for (const Run& run : runs_)
        all += run.text;
    return all;
}

template <typename Line>
QSizeF HelpText::layout(double width, Line line) const
{
    if (runs_.empty())
        return {};
    QString all;
    all.reserve(length_);
    QList<QTextLayout::FormatRange> formats;
    formats.reserve(qsizetype(runs_.size()));
    for (const Run& run : runs_) {
        QTextLayout::FormatRange range;
        range.start = int(all.size());
        range.length = int(run.text.size());
        range.format.setFont(FontMap::shared().font(run.font.name, run.font.size * kOversize));
        range.format.setForeground(run.color);
        if (!run.url.isEmpty()) {
            range.format.setAnchor(true);
            range.format.setAnchorHref(run.url);
            range.format.setFontUnderline(true);
        }
        formats.push_back(range);
        all += run.text;
    }
    // A line feed or carriage return ends a line.
    for (QChar& c : all)
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QChar::LineSeparator;
    QTextLayout text(all, formats.front().format.font());
    text.setFormats(formats);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    text.setTextOption(option);
    text.setCacheEnabled(true);
    const double w = std::max(0.0, width) * kOversize;
    double y = 0, widest = 0;
    text.beginLayout();
    for (;;) {
        QTextLine l = text.createLine();
        if (!l.isValid())
            break;
        l.setLeadingIncluded(true);
        l.setLineWidth(w);
        // Where the line would end inside a word (one with no blank to break at, such as a
        // syntax line's argument list), it ends at the last comma or bracket instead; only a
        // word wider than the whole line is broken.
        const qsizetype start = l.textStart(), end = start + l.textLength();
        if (end < all.size() && end - start > 1 && wordChar(all[end - 1]) && wordChar(all[end])) {
            for (qsizetype at = end - 1; at > start; --at)
                if (breakable(all, at)) {
                    l.setNumColumns(int(at - start), w);
                    break;
                }
        }
        l.setPosition(QPointF(0, y));
        y += l.height();
        widest = std::max(widest, l.naturalTextWidth());
    }
    text.endLayout();
    line(text);
    return {widest / kOversize, y / kOversize};
}

QSizeF HelpText::measure(double width) const
{
    return layout(width, [](QTextLayout&) {});
}

QStringList HelpText::lines(double width) const
{
    QStringList out;
    layout(width, [&](QTextLayout& text) {
        for (int i = 0; i < text.lineCount(); ++i)
            out << text.text().mid(text.lineAt(i).textStart(), text.lineAt(i).textLength());
    });
    return out;
}

void HelpText::draw(QPainter& painter, QPointF topLeft, double width) const
{
    layout(width, [&](QTextLayout& text) {
        painter.save();
        painter.translate(topLeft);
        painter.scale(1 / kOversize, 1 / kOversize);
        text.draw(&painter, QPointF(0, 0));
        painter.restore();
    });
}

} // namespace orvenda
