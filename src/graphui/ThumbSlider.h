#pragma once

#include <QImage>
#include <QSlider>

namespace orvenda {

// A horizontal slider drawn as a plain groove with a picture for its thumb (a lettered
// disc), one picture while it rests and one while it is held. Main thread only.
class ThumbSlider : public QSlider {
public:
    explicit ThumbSlider(QWidget* parent = nullptr);

    void setThumb(const QImage& normal, const QImage& held);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage normal_;
    QImage held_;
};

} // namespace orvenda
