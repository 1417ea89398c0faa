#include "launcher/AnimationSteps.h"

#include <QCoreApplication>

namespace orvenda {

AnimationSteps::AnimationSteps() { install(); }

AnimationSteps::~AnimationSteps() { uninstall(); }

void AnimationSteps::step(int ms)
{
    deliver();
    now_ += ms;
    advance();
    deliver();
}

void AnimationSteps::start()
{
    // Its time counts from each start, as the animations' common timer reads it.
    base_ = now_;
    QAnimationDriver::start();
}

void AnimationSteps::deliver()
{
    for (int turn = 0; turn < 3; ++turn)
        QCoreApplication::processEvents();
}

} // namespace orvenda
