#include "pretty/PrettyDrawInfo.h"

#include "pretty/FontMap.h"

#include <QFontMetricsF>

#include <map>
#include <memory>
#include <mutex>
#include <utility>

namespace orvenda {

namespace {

constexpr const char* kDisplayFont = "CourierNewPS-BoldMT";
constexpr const char* kDisplayItalicFont = "CourierNewPS-BoldItalicMT";

} // namespace

const PrettyDrawInfo& PrettyDrawInfo::PrettyDrawInfoSize(double size)
{
    return PrettyDrawInfoSize(size, QColor(Qt::black));
}

const PrettyDrawInfo& PrettyDrawInfo::PrettyDrawInfoSize(double size, const QColor& color)
{
    static std::mutex mutex;
    static std::map<std::pair<double, QRgb>, std::unique_ptr<PrettyDrawInfo>> sets;
    std::lock_guard guard(mutex);
    auto& set = sets[{size, color.rgba()}];
    if (!set)
        set.reset(new PrettyDrawInfo(size, color));
    return *set;
}

PrettyDrawInfo::PrettyDrawInfo(double size, const QColor& color) : size_(size)
{
    const FontMap& fonts = FontMap::shared();
    base_ = {fonts.font(kDisplayFont, size), color};
    superscript_ = {fonts.font(kDisplayFont, size * kSuperscriptScale), color};
    superscriptItalic_ = {fonts.font(kDisplayItalicFont, size * kSuperscriptScale), color};
    fraction_ = {fonts.font(kDisplayFont, size * kFractionScale), color};
    const QFontMetricsF base(base_.font);
    ascent_ = base.ascent();
    descent_ = -base.descent();
    capHeight_ = base.capHeight();
    superCapHeight_ = QFontMetricsF(superscript_.font).capHeight();
}

} // namespace orvenda
