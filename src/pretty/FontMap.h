#pragma once

#include <QFont>
#include <QStringList>

#include <string_view>

namespace orvenda {

// The one place where the font names the screens ask for ("CourierNewPS-BoldMT",
// "Helvetica-Oblique", "TimesNewRomanPSMT", ...) become fonts. Courier maps to Liberation
// Mono, Helvetica to Liberation Sans (a condensed or narrow Helvetica to Nimbus Sans
// Narrow) and Times to Liberation Serif, each loaded from its installed file (with DejaVu
// Sans for the few symbols Liberation lacks, Droid Sans Fallback for the full-width forms
// and Symbola for the circled letters), so that text is measured and drawn the same on
// every machine. Needs a QGuiApplication; main thread.
class FontMap {
public:
    static const FontMap& shared();

    // The font of that name at `size` layout units (pixels); "Bold" in the name makes it
    // bold, "Italic" or "Oblique" italic; unknown names get Liberation Sans.
    QFont font(std::string_view name, double size) const;

    // Font files that were not found or did not load; empty when all are in place.
    const QStringList& missingFiles() const { return missing_; }

    FontMap(const FontMap&) = delete;
    FontMap& operator=(const FontMap&) = delete;

private:
    FontMap();

    QString mono_ = QStringLiteral("Liberation Mono");
    QString sans_ = QStringLiteral("Liberation Sans");
    QString serif_ = QStringLiteral("Liberation Serif");
    QString narrow_ = QStringLiteral("Nimbus Sans Narrow");
    QString fallback_ = QStringLiteral("DejaVu Sans");
    QString wide_ = QStringLiteral("Droid Sans Fallback");
    QString symbols_ = QStringLiteral("Symbola");
    QStringList missing_;
};

} // namespace orvenda
