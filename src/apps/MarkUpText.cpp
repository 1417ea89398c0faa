#include "apps/MarkUpText.h"

#include "core/Calculator.h"

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

} // namespace orvenda
