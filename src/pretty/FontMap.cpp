#include "pretty/FontMap.h"

#include <QFile>
#include <QFontDatabase>

#include <algorithm>
#include <cmath>
#include <string_view>

namespace orvenda {

namespace {

// Where Debian-like systems and others install the two font packages.
constexpr const char* kLiberationDirs[] = {
    "/usr/share/fonts/truetype/liberation2",
    "/usr/share/fonts/truetype/liberation",
    "/usr/share/fonts/liberation",
};
constexpr const char* kDejaVuDirs[] = {
    "/usr/share/fonts/truetype/dejavu",
    "/usr/share/fonts/dejavu",
};
// Liberation 2 has no narrow faces (and Liberation 1, which has, lacks symbols that its
// families' names would then hide): the URW Helvetica Narrow clone.
constexpr const char* kNarrowDirs[] = {
    "/usr/share/fonts/opentype/urw-base35",
    "/usr/share/fonts/urw-base35",
};
// The circled letters (the help pages' "ⓘ" of the detail buttons) are in none of the above.
constexpr const char* kSymbolDirs[] = {
    "/usr/share/fonts/truetype/ancient-scripts",
};
constexpr const char* kWideDirs[] = {
    "/usr/share/fonts/truetype/droid",
    "/usr/share/fonts/google-droid-sans-fonts",
    "/usr/share/fonts/google-droid",
};

constexpr const char* kLiberationFiles[] = {
    "LiberationMono-Regular.ttf",  "LiberationMono-Bold.ttf",  "LiberationMono-Italic.ttf",
    "LiberationMono-BoldItalic.ttf", "LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf",
    "LiberationSans-Italic.ttf",   "LiberationSans-BoldItalic.ttf", "LiberationSerif-Regular.ttf",
    "LiberationSerif-Bold.ttf",    "LiberationSerif-Italic.ttf", "LiberationSerif-BoldItalic.ttf",
};
constexpr const char* kDejaVuFiles[] = {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf"};
constexpr const char* kNarrowFiles[] = {"NimbusSansNarrow-Regular.otf", "NimbusSansNarrow-Bold.otf"};
// The full-width forms (the fraction template's "／") are in neither Liberation nor DejaVu.
constexpr const char* kWideFiles[] = {"DroidSansFallbackFull.ttf"};
constexpr const char* kSymbolFiles[] = {"Symbola_hint.ttf"};

// Loads the file from the first directory that has it; its family name, or empty.
template <std::size_t N>
QString load(const char* const (&dirs)[N], const char* file)
{
    for (const char* dir : dirs) {
        const QString path = QString::fromLatin1(dir) + QLatin1Char('/') + QLatin1String(file);
        if (!QFile::exists(path))
            continue;
        const int id = QFontDatabase::addApplicationFont(path);
        const QStringList families = id < 0 ? QStringList{} : QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QString{} : families.first();
    }
    return {};
}

} // namespace

const FontMap& FontMap::shared()
{
    static const FontMap map;
    return map;
}

FontMap::FontMap()
{
    for (const char* file : kLiberationFiles)
        if (load(kLiberationDirs, file).isEmpty())
            missing_ << QLatin1String(file);
    for (const char* file : kDejaVuFiles)
        if (load(kDejaVuDirs, file).isEmpty())
            missing_ << QLatin1String(file);
    for (const char* file : kNarrowFiles)
        if (load(kNarrowDirs, file).isEmpty())
            missing_ << QLatin1String(file);
    for (const char* file : kWideFiles)
        if (load(kWideDirs, file).isEmpty())
            missing_ << QLatin1String(file);
    for (const char* file : kSymbolFiles)
        if (load(kSymbolDirs, file).isEmpty())
            missing_ << QLatin1String(file);
}

QFont FontMap::font(std::string_view name, double size) const
{
    const bool narrow = name.find("Condensed") != std::string_view::npos || name.find("Narrow") != std::string_view::npos;
    const QString& family = name.starts_with("Courier") ? mono_
        : name.starts_with("Times")                     ? serif_
        : narrow                                        ? narrow_
                                                        : sans_;
    QFont f;
    f.setFamilies({family, fallback_, wide_, symbols_});
    // Layout units are pixels, so metrics do not depend on a screen's resolution.
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(size))));
    f.setBold(name.find("Bold") != std::string_view::npos);
    f.setItalic(name.find("Italic") != std::string_view::npos || name.find("Oblique") != std::string_view::npos);
    // Unhinted advances are the same on screens, images and PDF pages.
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    return f;
}

} // namespace orvenda
