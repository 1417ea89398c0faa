#include "app/EntrySplit.h"

#include "app/AppDelegate.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"

#include <QWidget>

#include <algorithm>
#include <utility>

namespace orvenda {

namespace {

// How near the bottom an entry's bottom edge counts as resting on it.
constexpr double kNear = 0.5;
// A split below any display (the most a saved one may be): the entry rests on the bottom.
constexpr double kBelowAll = 10000;

} // namespace

EntrySplit::EntrySplit(Calculator& calc, const QWidget& screen, std::function<double()> historyHeight)
    : calc_(calc), screen_(screen), historyHeight_(std::move(historyHeight))
{
    NotificationCenter& bus = calc_.notificationCenter();
    bus.addObserver(this, AppDelegate::kWillSaveState, [this](const Notification&) {
        // The home screen last shown keeps its entry on the bottom for the next launch even
        // while another screen is in front of it.
        if (!rests_ || lastShown_ != this)
            return;
        kept_ = calc_.entrySplit;
        calc_.entrySplit = kBelowAll;
    });
    bus.addObserver(this, AppDelegate::kDidSaveState, [this](const Notification&) {
        if (kept_ >= 0)
            calc_.entrySplit = std::exchange(kept_, -1);
    });
}

EntrySplit::~EntrySplit()
{
    calc_.notificationCenter().removeObserver(this);
    if (lastShown_ == this)
        lastShown_ = nullptr;
}

double EntrySplit::top(double w, double h, double e)
{
    const bool shown = screen_.isVisible();
    const bool resized = height_ >= 0 && (h != height_ || w != width_);
    double split = calc_.entrySplit;
    // Resting on the bottom of a display whose size changed, or kept on the bottom by the
    // last launch: on the bottom of this one, no lower than the history reaches.
    if ((shown && rests_ && resized) || split >= kBelowAll)
        split = std::clamp(historyHeight_(), 0.0, std::max(0.0, h - e));
    const double top = std::min(split, h - e);
    if (shown) {
        lastShown_ = this;
        // An entry taller than the display starts above its top, where the history has no
        // room left: the split rests at the top, and the next answer moves it down from there.
        calc_.entrySplit = std::max(0.0, top);
        width_ = w;
        height_ = h;
        rests_ = top + e >= h - kNear;
    }
    return top;
}

} // namespace orvenda
