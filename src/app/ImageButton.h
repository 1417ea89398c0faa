#pragma once

#include <QColor>
#include <QImage>
#include <QPushButton>

#include <string>

namespace orvenda {

// A plain button drawn as a picture: its background image stretched over it (darkened
// while held) and its title centred in a font that shrinks, down to a least factor, to
// fit, and is cut at its tail when even that is too wide.
class ImageButton : public QPushButton {
public:
    explicit ImageButton(QWidget* parent = nullptr);
    ImageButton(const QString& title, QWidget* parent = nullptr);

    void setBackgroundImage(const QImage& image);
    const QImage& backgroundImage() const { return background_; }
    // The background from the shared image library's image of that name, at scale 1.
    void setBackgroundImageNamed(const std::string& name);
    // The library image shown; empty for none or an image set otherwise.
    const std::string& imageName() const { return imageName_; }
    void setTitleColor(const QColor& color);
    const QColor& titleColor() const { return titleColor_; }
    // The title's font, by the phone's name of it, and the least factor it may shrink by.
    void setTitleFont(const char* name, double size, double minimumScale);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage background_;
    std::string imageName_;
    QColor titleColor_ = Qt::white;
    const char* fontName_ = "Helvetica-Bold";
    double fontSize_ = 14;
    double minimumScale_ = 1;
};

} // namespace orvenda
