#pragma once

#include "pretty/PrettyMetrics.h"

#include <QFontMetricsF>

#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orvenda {

// The metrics of the display fonts (PrettyDrawInfo), with advances cached per size, role
// and text. Main thread.
class PrettyFontMetrics : public PrettyMetrics {
public:
    static const PrettyFontMetrics& shared();

    Font font(Role role, double size) const override;
    double advance(Role role, double size, std::string_view text) const override;

    // How far a line of text reaches to the right: its advance, or more where a closing
    // combining mark (ɩ̇'s dot) is drawn past it. Right-aligned text ends by this.
    static double inkWidth(const QFontMetricsF& metrics, const QString& text);

private:
    struct SizeSet {
        double size = 0;
        std::vector<QFontMetricsF> fonts;
        Font metrics[4];
        std::unordered_map<TextKey, double, TextKeyHash> advances[4];
    };

    SizeSet& set(double size) const;

    mutable std::vector<std::unique_ptr<SizeSet>> sets_;
    mutable SizeSet* last_ = nullptr;
};

} // namespace orvenda
