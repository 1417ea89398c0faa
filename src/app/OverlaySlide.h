#pragma once

#include <QObject>

#include <functional>

class QRect;
class QVariantAnimation;

namespace orvenda {

// The slide of views laid over a screen or a list (a page sliding in over a list, a picker,
// sheet or panel sliding in from an edge): the one owner of their places while they slide
// and at rest. Its state is one number, how far in the slide stands (0 out, 1 in); where the
// views stand at that number the owner's function works out from the sizes as they are at
// that moment. Every step of a slide lays them out afresh, and so does place() (called
// where the owner lays itself out at a resize), so a window resized or turned at any time,
// during a slide too, puts them where its new size has them. A child of its owner; its
// animation is a child of it, so a wait for the animations of a window finds it. Main
// thread.
class OverlaySlide : public QObject {
    Q_OBJECT

public:
    static constexpr int kSlideMs = 350;

    // lay lays the views out with the slide that far in.
    OverlaySlide(QObject& owner, std::function<void(double in)> lay, int ms = kSlideMs);

    // Slides in or out from where it stands, taking its time in proportion to the way left.
    void slide(bool in);
    // In or out at once; a slide under way stops.
    void jump(bool in);
    // Lays the views out anew where the slide stands.
    void place() const;
    // Where it goes (or stands): in or out.
    bool in() const { return target_ > 0.5; }
    bool sliding() const;

    // Once a slide has come to its end, with where it ended.
    std::function<void(bool in)> arrived;

    // The rectangle that far along from out to in.
    static QRect between(const QRect& out, const QRect& in, double f);

private:
    void step(double f);

    std::function<void(double)> lay_;
    QVariantAnimation* animation_;
    int ms_;
    double progress_ = 0;
    double target_ = 0;
};

} // namespace orvenda
