#pragma once

#include "drawing/VContext.h"
#include "drawing/VDrawImage.h"
#include "drawing/VImageInfo.h"
#include "drawing/VObject.h"

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRectF>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace orvenda {

class GraphicsContext;

// The library of named vector images: key faces, buttons, bar items, arrows, magnifier
// frames, plot icons and the drawings of help pages, read once from the XML resource
// "calcImages" and drawn into a context or rendered into a bitmap at any scale. Many
// images take their colours from named colours the screens set from the theme, so they
// follow it; nothing is cached, every draw renders the elements again.
//
// The XML: an "i" element (attributes "n" name, "b" bounds x, y, w, h) starts an image;
// the elements after it, in order, are its drawing: "p" path, "r" rectangle, "R" rounded
// rectangle, "o" oval (each "d" data and "x" render code), "D" another image ("n", "p"
// places), "t" text ("d", "p", "aFnt", "aBl", "aKr") and "s" style. Other tags and the
// document's root are ignored; what was read before a parse error stays. Main thread.
class VImageDraw : public VDrawImageDelegate {
public:
    // Element kinds by tag.
    enum Kind { kImage = 1, kPath = 2, kRect = 3, kRoundRect = 4, kOval = 5, kDrawnImage = 6, kText = 7, kStyle = 8 };

    struct ImageRecord {
        VAttributes attributes;
        std::vector<std::unique_ptr<VObject>> elements;
    };

    // Images drawn inside images go no deeper than this.
    static constexpr int kMaxImageDepth = 16;
    // The most pixels a rendered image may have on a side, and in all.
    static constexpr int kMaxBitmapSide = 8192;
    static constexpr double kMaxBitmapPixels = 32.0 * 1024 * 1024;

    // The shared library, with "calcImages" loaded.
    static VImageDraw& vImageDraw();
    // An empty library of its own.
    VImageDraw();

    // Reads the application's resource of that name ("calcImages"); false when there is
    // none (the library is then empty).
    bool loadFile(std::string_view name);
    // Reads XML text in place of the images held; false after a parse error.
    bool loadData(std::string_view xml);

    static std::vector<std::string> componentsFromString(std::string_view list);
    // The "b" attribute's first four numbers; empty when the image or a number is missing.
    QRectF boundsForImage(const std::string& name) const;
    const ImageRecord* image(const std::string& name) const;
    // Every image's name, sorted.
    std::vector<std::string> imageNames() const;

    // Draws the image with its origin moved to the point (its own coordinates as they stand).
    void drawImage(GraphicsContext& context, const std::string& name, QPointF at) override;
    // Leaning 5° like italic type, scaled by the factor.
    void drawImage(GraphicsContext& context, const std::string& name, QPointF at, double scale);

    // The image as a bitmap of its bounds × scale × the screen's scale pixels, reported at
    // the screen's scale; a null image for an unknown name, empty bounds or a bitmap too
    // large.
    QImage getImage(const std::string& name, double scale);
    // Layers stacked in one bitmap, sized by the first one's bounds, each drawn with its
    // own colours, stroke and glow.
    QImage getImages(const std::vector<VImageInfo>& infos, double scale);
    // Drawn with those stroke and back (fill) colours wherever the image sets none.
    QImage getImage(const std::string& name, double scale, const VColor& strokeColor, const VColor& backColor);
    // Leaning like italic type, 3 pixels to the right.
    QImage getImage(const std::string& name, double scale, bool skew);
    // The image from the cache folder "images", rendered and written there when missing.
    QImage getImageFile(const std::string& name, double scale);
    void clearImageCache();

    // Draws a string with text attributes: justification 0 left, 1 centred on the point,
    // 2 right-aligned to it, 3 one character under the other, moved down by the advance.
    void drawString(GraphicsContext& context, const QString& text, QPointF at, const TextFont& font, const QColor& color,
                    int justification, double verticalAdvance);

    void setColor(const VColor& color, const std::string& name);
    // Transparent black for a name not set.
    VColor colorForName(const std::string& name) const;
    QColor uiColorForName(const std::string& name) const;
    // Channels 0..255, alpha 0..1.
    void setColorName(const std::string& name, int r, int g, int b, double a);

    const VColorTable& colorDict() const { return colorDict_; }
    VContext& vContext() { return vContext_; }

    VImageDraw(const VImageDraw&) = delete;
    VImageDraw& operator=(const VImageDraw&) = delete;

private:
    void startElement(std::string_view tag, VAttributes attributes);
    // Begins a bitmap for the bounds at k pixels a point; null when it cannot be made.
    static std::unique_ptr<QImage> bitmapFor(const QRectF& bounds, double k);
    // A bitmap of the bounds at the scale (leaning like italic type with skew) with `draw`
    // drawing in the image's own coordinates.
    QImage render(const QRectF& bounds, double scale, const std::function<void(GraphicsContext&)>& draw, bool skew = false);

    std::unordered_map<std::string, int> elementNames_;
    std::unordered_map<std::string, ImageRecord> imageDictionary_;
    std::vector<std::unique_ptr<VObject>>* imageElements_ = nullptr;
    VColorTable colorDict_;
    VContext vContext_;
    // The images being drawn, innermost last: an image is never drawn inside itself.
    std::vector<const std::string*> drawing_;
};

} // namespace orvenda
