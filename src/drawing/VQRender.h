#pragma once

#include <QGradient>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <memory>

class QPainter;

namespace orvenda {

class GraphicsContext;

// The drawing helper of keys, frames, banners, tables and buttons: a current fill, stroke
// and gradient colour given as 0..255 channels over one graphics context, a shadow, and
// rectangles with a radius per corner drawn by attribute bits. It also opens an offscreen
// image at the main screen's scale and hands the picture back. A helper lives for one
// drawing pass. Main thread.
class VQRender {
public:
    // Channels 0..1.
    struct Color {
        double r = 0, g = 0, b = 0, a = 0;
    };

    // Attribute bits of the drawing operations.
    enum Attributes {
        kStroke = 1,
        kFill = 2,
        kVerticalGradient = 4,
        kHorizontalGradient = 8,
        // Clip to the path only; with kStroke only the inner half of the outline shows.
        kClip = 16,
        kClipToo = 32,
    };

    VQRender();
    ~VQRender();
    VQRender(const VQRender&) = delete;
    VQRender& operator=(const VQRender&) = delete;

    // A helper drawing into the context, which the caller keeps alive meanwhile.
    static std::unique_ptr<VQRender> vqRender(GraphicsContext& context);
    void setContext(GraphicsContext* context);
    GraphicsContext* context() const { return context_; }

    // The centre of the unit cell holding v, to put one-unit lines on pixel centres.
    static double halfGrid(double v);

    void RGBFillR(int r, int g, int b, double a);
    void RGBStrokeR(int r, int g, int b, double a, double width);
    // A blur of exactly 0 switches the shadow off.
    void RGBShadowR(int r, int g, int b, double a, QSizeF offset, double blur);
    // The gradient's second colour and where its middle stop lies; builds nothing yet.
    void RGBGradientR(int r, int g, int b, double a, double percent);
    // A three-stop gradient: c2 at 0, their mean at percent, c1 at 1.
    void setGradient(const Color& c1, const Color& c2, double percent);

    // Draws the context's current path by the attribute bits.
    void DrawWithAttributes(int attributes);
    // Nothing for a coordinate that is infinite or NaN.
    void DrawLineP1(QPointF p1, QPointF p2);
    void DrawRect(const QRectF& rect, int attributes);
    // Radii of the corners at (x, y), (x + w, y), (x + w, y + h) and (x, y + h); 0 is square.
    void DrawRRect(const QRectF& rect, double c1, double c2, double c3, double c4, int attributes);
    // Intersects the clip with the same outline; the caller saves and restores around it.
    void ClipRRect(const QRectF& rect, double c1, double c2, double c3, double c4);

    // A helper drawing into a new offscreen image of the rectangle, its origin on the
    // image's, at the main screen's scale. Too large or empty a rectangle gives a helper
    // that draws nothing and an empty image.
    static std::unique_ptr<VQRender> vqRenderInBounds(const QRectF& rect);
    // The picture drawn since vqRenderInBounds, at the screen's scale; closes the image.
    QImage getImage();

    const Color& fillColor() const { return fillColor_; }
    const Color& strokeColor() const { return strokeColor_; }
    const Color& gradientColor() const { return gradientColor_; }
    double gradientPercent() const { return gradientPercent_; }
    const QGradientStops& gradient() const { return gradient_; }

    // The most pixels an offscreen image may have on a side.
    static constexpr int kMaxImageSide = 8192;

private:
    void roundedRectPath(const QRectF& rect, double c1, double c2, double c3, double c4);

    GraphicsContext* context_ = nullptr;
    Color fillColor_;
    Color strokeColor_;
    Color gradientColor_;
    double gradientPercent_ = 0;
    QGradientStops gradient_;
    // The offscreen image, its painter and context while one is open.
    std::unique_ptr<QImage> image_;
    std::unique_ptr<QPainter> imagePainter_;
    std::unique_ptr<GraphicsContext> imageContext_;
    double imageScale_ = 1;
};

} // namespace orvenda
