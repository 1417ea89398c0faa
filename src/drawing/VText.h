#pragma once

#include "drawing/VObject.h"

#include <QPointF>
#include <QString>

#include <memory>
#include <string>

namespace orvenda {

struct TextFont;

// A text element of a vector image ("t"): drawn in the record's font at its location,
// left, centred or right of it, or one character under the other (vertical); a text that
// starts with "\(" is the formula after those two characters, typeset. Ranges of the text
// may take other fonts ("aFnt": name, size, location, length), baseline offsets ("aBl":
// offset, location, length, up positive) and kerning ("aKr": kern, location, length).
class VText : public VObject {
public:
    enum Justification { kLeft = 0, kCentred = 1, kRight = 2, kVertical = 3 };

    static std::unique_ptr<VText> textWithAttributes(const VAttributes& attributes);
    void renderInContext(GraphicsContext& context, VContext& record, const VColorTable& variables) const override;

    const QString& text() const { return text_; }
    QPointF location() const { return location_; }
    int justification() const { return justification_; }
    double verticalAdvance() const { return verticalAdvance_; }
    const std::string& fontAttributes() const { return fontAttributes_; }
    const std::string& baselineAttributes() const { return baselineAttributes_; }
    const std::string& kernAttributes() const { return kernAttributes_; }

    // The font texts are drawn in before any style set one.
    static TextFont defaultFont();

private:
    void drawAttributed(GraphicsContext& context, const VContext& record) const;

    QString text_;
    QPointF location_;
    int justification_ = kLeft;
    double verticalAdvance_ = 0;
    std::string fontAttributes_;
    std::string baselineAttributes_;
    std::string kernAttributes_;
};

} // namespace orvenda
