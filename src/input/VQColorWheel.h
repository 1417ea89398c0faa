#pragma once

#include "core/VQColor.h"

#include <QImage>
#include <QWidget>

#include <array>
#include <optional>

namespace orvenda {

// The hue and saturation disc of the colour picker: hue runs counter-clockwise from red at
// the right, saturation from the centre (0) to the rim (1); a darker colour darkens the
// whole disc. A touch or drag sets the colour's hue and saturation and keeps its value and
// alpha. The disc's picture is drawn once per size (and kept in a file when a folder is
// set), then shared by every wheel. Main thread.
class VQColorWheel : public QWidget {
public:
    class Delegate {
    public:
        virtual ~Delegate() = default;
        virtual void selectColor(const VQColor& color) = 0;
        // The touch or drag ended.
        virtual void finalizeColor(VQColorWheel& wheel) = 0;
    };
    struct HueSaturation {
        double h = 0;
        double s = 0;
    };

    explicit VQColorWheel(QWidget* parent = nullptr);

    void setDelegate(Delegate* delegate) { delegate_ = delegate; }
    // Nothing: no marker, and touches change nothing.
    void setColor(std::optional<VQColor> color);
    const std::optional<VQColor>& color() const { return color_; }

    // The disc's square in a view of that size: side min(W, H − 12), centred across, 6 down.
    static QRectF wheelRect(QSizeF size);
    QRectF wheelRect() const { return wheelRect(QSizeF(size())); }
    HueSaturation hsvFromPt(QPointF point) const;
    QPointF ptForColor(const VQColor& color) const;
    // The usual six-sector conversion; hue 1.0 is red again.
    static std::array<double, 3> computeRGB(double h, double s, double v);
    // The disc at full value, side × side pixels, ringed in black.
    static QImage drawImage(int side);
    // The disc at this wheel's size and scale: from memory, else from the folder's file,
    // else drawn (and written there).
    QImage getImage() const;

    // Where the drawn disc is kept between runs ("" keeps it in memory only).
    static void setImageFolder(const QString& folder);
    // How many discs were drawn pixel by pixel in this process.
    static int imagesDrawn();

    // A touch at point; ended when the finger lifted.
    void doTouch(QPointF point, bool ended);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Delegate* delegate_ = nullptr;
    std::optional<VQColor> color_;
};

} // namespace orvenda
