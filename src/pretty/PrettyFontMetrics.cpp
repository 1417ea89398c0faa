#include "pretty/PrettyFontMetrics.h"

#include <algorithm>

#include "pretty/PrettyDrawInfo.h"

namespace orvenda {

const PrettyFontMetrics& PrettyFontMetrics::shared()
{
    static const PrettyFontMetrics metrics;
    return metrics;
}

PrettyFontMetrics::SizeSet& PrettyFontMetrics::set(double size) const
{
    if (last_ && last_->size == size)
        return *last_;
    for (const auto& s : sets_)
        if (s->size == size)
            return *(last_ = s.get());
    auto s = std::make_unique<SizeSet>();
    s->size = size;
    const PrettyDrawInfo& info = PrettyDrawInfo::PrettyDrawInfoSize(size);
    for (const PrettyFont* f : {&info.baseFont(), &info.fractionFont(), &info.superscriptFont(),
                                &info.superscriptItalicFont()}) {
        const QFontMetricsF m(f->font);
        s->metrics[s->fonts.size()] = {m.ascent(), m.descent(), m.capHeight()};
        s->fonts.push_back(m);
    }
    sets_.push_back(std::move(s));
    return *(last_ = sets_.back().get());
}

PrettyMetrics::Font PrettyFontMetrics::font(Role role, double size) const
{
    return set(size).metrics[role];
}

double PrettyFontMetrics::advance(Role role, double size, std::string_view text) const
{
    if (text.empty())
        return 0;
    SizeSet& s = set(size);
    auto& cache = s.advances[role];
    const TextKey key{text.data(), text.size()};
    auto it = cache.find(key);
    if (it == cache.end()) {
        const double w = s.fonts[role].horizontalAdvance(
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        it = cache.emplace(key, w).first;
    }
    return it->second;
}

double PrettyFontMetrics::inkWidth(const QFontMetricsF& metrics, const QString& text)
{
    const double advance = metrics.horizontalAdvance(text);
    if (text.isEmpty() || text.back().category() != QChar::Mark_NonSpacing)
        return advance;
    // The mark has no advance of its own and is set after the glyph before it.
    return advance + std::max(0.0, metrics.boundingRect(text.back()).right());
}

} // namespace orvenda
