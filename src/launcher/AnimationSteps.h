#pragma once

#include <QAnimationDriver>

namespace orvenda {

// Animation time that a driven script moves on: once installed (by the script's first
// `step`), every animation (slides, fades) stands still until the script steps it, so
// what the script sees in the middle of a slide, and what a resize there meets, does not
// depend on how busy the machine is. Main thread.
class AnimationSteps : public QAnimationDriver {
public:
    AnimationSteps();
    ~AnimationSteps() override;
    AnimationSteps(const AnimationSteps&) = delete;
    AnimationSteps& operator=(const AnimationSteps&) = delete;

    qint64 elapsed() const override { return now_ - base_; }
    // Lets animations just started register, moves their time on by ms and delivers what
    // they signal at the new time.
    void step(int ms);

protected:
    void start() override;

private:
    // An animation starts, and its timers stop, in hand-overs through the event loop.
    static void deliver();

    qint64 now_ = 0;
    qint64 base_ = 0;
};

} // namespace orvenda
