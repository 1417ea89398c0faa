#include "apps/MarkUpText.h"

#include "core/Calculator.h"
#include "pretty/FontMap.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace orvenda {

std::vector<MarkUpText::Run> MarkUpText::parse(const QString& markUp)
{
    std::vector<Run> runs;
    QString buffer;
    Style style = Normal;
    const auto flush = [&] {
        if (!buffer.isEmpty())
            runs.push_back({buffer, style});
        buffer.clear();
    };
    const QString text = markUp;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'<') {
            flush();
            if (i + 1 >= text.size())
                return runs;
            const QChar tag = text[++i];
            if (tag == u's')
                style = Subscript;
            else if (tag == u'S')
                style = Superscript;
            else if (tag == u'd')
                style = Denominator;
            else
                return runs;
        } else if (c == u'>') {
            flush();
            style = Normal;
        } else if (c == QChar(0x2044)) {
            flush();
            runs.push_back({QString(c), FractionSlash});
            style = Normal;
        } else if (c == QChar(0x0269)) {
            buffer += QString::fromUcs4(U"\U0001D456");
        } else {
            // Whole characters, surrogate pairs included.
            buffer += c;
        }
    }
    flush();
    return runs;
}

QString MarkUpText::plain(const std::vector<Run>& runs)
{
    QString all;
    for (const Run& run : runs)
        all += run.text;
    return all;
}

QString MarkUpText::fraction(const Calculator& calc, double x)
{
    long long n = 0, d = 0;
    long long whole = static_cast<long long>(calc.convertToFraction2(x, n, d));
    if (n == 0)
        return QString::fromStdString(calc.formatReal(x));
    if (calc.settings().fractionFormat == 3) {
        n += whole * d;
        whole = 0;
    }
    QString text = x < 0 ? QStringLiteral("-") : QString();
    if (whole != 0)
        text += QString::number(whole);
    return text + QStringLiteral("<S%1>\u2044<d%2>").arg(n).arg(d);
}

namespace {

struct RunFont {
    QFont font;
    double shift = 0;
};

RunFont fontOf(MarkUpText::Style style, const char* family, double size, double drop)
{
    switch (style) {
    case MarkUpText::Superscript: return {FontMap::shared().font(family, 0.6 * size), -0.3 * size};
    case MarkUpText::Subscript: return {FontMap::shared().font(family, 0.6 * size), drop * size};
    case MarkUpText::Denominator: return {FontMap::shared().font(family, 0.6 * size), 0};
    case MarkUpText::FractionSlash: return {FontMap::shared().font("Helvetica-Bold", size), 0};
    case MarkUpText::Normal: break;
    }
    return {FontMap::shared().font(family, size), 0};
}

} // namespace

double MarkUpText::draw(QPainter& painter, const std::vector<Run>& runs, double x, double baseline, const char* family,
                        double size, double drop)
{
    const double start = x;
    for (const Run& run : runs) {
        const RunFont f = fontOf(run.style, family, size, drop);
        painter.setFont(f.font);
        painter.drawText(QPointF(x, baseline + f.shift), run.text);
        x += QFontMetricsF(f.font).horizontalAdvance(run.text);
    }
    return x - start;
}

double MarkUpText::width(const std::vector<Run>& runs, const char* family, double size)
{
    double w = 0;
    for (const Run& run : runs)
        w += QFontMetricsF(fontOf(run.style, family, size, 0).font).horizontalAdvance(run.text);
    return w;
}

std::vector<MarkUpText::Run> MarkUpText::elide(std::vector<Run> runs, double w, const char* family, double size)
{
    if (runs.empty() || width(runs, family, size) <= w)
        return runs;
    const Run ellipsis{QStringLiteral("\u2026"), Normal};
    const double room = w - width({ellipsis}, family, size);
    // Characters off the end, whole code points, until the rest and "…" fit.
    while (!runs.empty() && width(runs, family, size) > room) {
        QString& text = runs.back().text;
        const qsizetype cut = text.size() >= 2 && text.back().isLowSurrogate() ? 2 : 1;
        text.chop(cut);
        if (text.isEmpty())
            runs.pop_back();
    }
    runs.push_back(ellipsis);
    return runs;
}

} // namespace orvenda
