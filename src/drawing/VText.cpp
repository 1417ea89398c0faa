#include "drawing/VText.h"

#include "drawing/DrawString.h"
#include "drawing/GraphicsContext.h"
#include "drawing/VContext.h"
#include "drawing/VLaTeX.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace orvenda {

namespace {

struct CharStyle {
    TextFont font;
    double baseline = 0;
    double kern = 0;

    bool operator==(const CharStyle& o) const
    {
        return font.name == o.font.name && font.size == o.font.size && baseline == o.baseline && kern == o.kern;
    }
};

// Calls apply(location, length, group) for every complete group of `size` items.
template <typename Apply>
void groups(const std::string& list, std::size_t size, Apply apply)
{
    if (list.empty())
        return;
    const std::vector<std::string> items = VObject::componentsFromString(list);
    for (std::size_t i = 0; i + size <= items.size(); i += size)
        apply(&items[i]);
}

// The range [location, location + length) held to the text's n characters.
bool range(double location, double length, int n, int& from, int& to)
{
    if (!(location >= 0) || !(length > 0))
        return false;
    from = static_cast<int>(std::min<double>(location, n));
    to = static_cast<int>(std::min<double>(location + length, n));
    return from < to;
}

// One character, with the low half of a surrogate pair that goes with it.
int characterLength(const QString& text, int i)
{
    return text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
}

} // namespace

TextFont VText::defaultFont() { return {"Helvetica", 12}; }

std::unique_ptr<VText> VText::textWithAttributes(const VAttributes& a)
{
    auto t = std::make_unique<VText>();
    t->text_ = QString::fromStdString(std::string(attribute(a, "d")));
    const std::vector<std::string> p = componentsFromString(attribute(a, "p"));
    if (p.size() >= 2)
        t->location_ = QPointF(floatValue(p[0]), floatValue(p[1]));
    if (p.size() >= 3 && !p[2].empty()) {
        switch (p[2][0]) {
        case 'C': t->justification_ = kCentred; break;
        case 'R': t->justification_ = kRight; break;
        case 'V':
            t->justification_ = kVertical;
            if (p.size() >= 4)
                t->verticalAdvance_ = floatValue(p[3]);
            break;
        default: t->justification_ = kLeft; break;
        }
    }
    if (p.size() >= 2) {
        t->fontAttributes_ = attribute(a, "aFnt");
        t->baselineAttributes_ = attribute(a, "aBl");
        t->kernAttributes_ = attribute(a, "aKr");
    }
    return t;
}

void VText::renderInContext(GraphicsContext& context, VContext& record, const VColorTable&) const
{
    const TextFont font = record.hasFont ? record.font : defaultFont();
    if (justification_ == kVertical) {
        const QColor color = record.hasFont && record.fontColor.isValid() ? record.fontColor : QColor(Qt::black);
        double y = location_.y();
        for (int i = 0; i < text_.size();) {
            const int length = characterLength(text_, i);
            const QString character = text_.mid(i, length);
            const double w = DrawString::VQsizeWithFont(character, font).width();
            DrawString::VQdrawAtPoint(context, character, QPointF(location_.x() - w / 2, y), font, color);
            y += verticalAdvance_;
            i += length;
        }
        return;
    }
    if (text_.startsWith(QLatin1String("\\(")) && text_.size() >= 3) {
        VLaTeX::vlaTeX().setString(text_.mid(2), location_, context, justification_, font.size);
        return;
    }
    drawAttributed(context, record);
}

void VText::drawAttributed(GraphicsContext& context, const VContext& record) const
{
    const int n = static_cast<int>(text_.size());
    if (n == 0)
        return;
    const CharStyle base{record.hasFont ? record.font : defaultFont(), 0, 0};
    std::vector<CharStyle> styles(static_cast<std::size_t>(n), base);
    int from = 0, to = 0;
    groups(fontAttributes_, 4, [&](const std::string* g) {
        if (range(floatValue(g[2]), floatValue(g[3]), n, from, to))
            for (int i = from; i < to; ++i)
                styles[static_cast<std::size_t>(i)].font = {g[0], floatValue(g[1])};
    });
    groups(baselineAttributes_, 3, [&](const std::string* g) {
        if (range(floatValue(g[1]), floatValue(g[2]), n, from, to))
            for (int i = from; i < to; ++i)
                styles[static_cast<std::size_t>(i)].baseline = floatValue(g[0]);
    });
    groups(kernAttributes_, 3, [&](const std::string* g) {
        if (range(floatValue(g[1]), floatValue(g[2]), n, from, to))
            for (int i = from; i < to; ++i)
                styles[static_cast<std::size_t>(i)].kern = floatValue(g[0]);
    });
    const QColor color = record.fillA != 0 ? GraphicsContext::color(record.fillR, record.fillG, record.fillB, record.fillA)
                                           : QColor(Qt::black);
    // Runs of characters drawn alike; a kerned run goes a character at a time.
    struct Run {
        int from, to;
        double x, width;
    };
    std::vector<Run> runs;
    double width = 0, ascent = 0;
    for (int i = 0; i < n;) {
        int j = i + characterLength(text_, i);
        const CharStyle& s = styles[static_cast<std::size_t>(i)];
        if (s.kern == 0)
            while (j < n && styles[static_cast<std::size_t>(j)] == s)
                j += characterLength(text_, j);
        const double w = DrawString::VQsizeWithFont(text_.mid(i, j - i), s.font).width() + s.kern;
        runs.push_back({i, j, width, w});
        width += w;
        ascent = std::max(ascent, DrawString::ascent(s.font));
        i = j;
    }
    QPointF at = location_;
    if (justification_ == kCentred)
        at.rx() -= width / 2;
    else if (justification_ == kRight)
        at.rx() -= width;
    for (const Run& run : runs) {
        const CharStyle& s = styles[static_cast<std::size_t>(run.from)];
        const double top = at.y() + ascent - DrawString::ascent(s.font) - s.baseline;
        DrawString::VQdrawAtPoint(context, text_.mid(run.from, run.to - run.from), QPointF(at.x() + run.x, top), s.font, color);
    }
}

} // namespace orvenda
