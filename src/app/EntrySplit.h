#pragma once

#include <functional>

class QWidget;

namespace orvenda {

class Calculator;

// Where a home screen's entry line starts below its history: at the calculator's
// entrySplit, or higher where the entry needs the room, the split moving up with it, to the
// display's top at most (an entry taller than the display starts above it, its end on the
// bottom, and the answer it gets moves the split down from the top). Once
// the entry rests on the display's bottom it rests there at every size the display takes
// (a turn of the window, a resize, the user keys' row shown or hidden): the split follows
// the bottom, no lower than the history reaches, so a taller display shows more of the
// history instead of empty room under it. A save keeps the split of an entry resting on
// the bottom below any display, so the next launch, at whatever size, has it rest on the
// bottom too. Only the screen on show moves the split (one just made has no size yet and
// would squeeze the history to nothing); the one last on show saves its split even while
// another screen is in front. Main thread.
class EntrySplit {
public:
    // historyHeight: how high the history's items stand, in the split's measure.
    EntrySplit(Calculator& calc, const QWidget& screen, std::function<double()> historyHeight);
    ~EntrySplit();
    EntrySplit(const EntrySplit&) = delete;
    EntrySplit& operator=(const EntrySplit&) = delete;

    // The entry's top in a display w wide and h high for an entry e high.
    double top(double w, double h, double e);

private:
    Calculator& calc_;
    const QWidget& screen_;
    std::function<double()> historyHeight_;
    // The display's size at the last layout on show (-1 before the first), and whether the
    // entry rested on its bottom then.
    double width_ = -1;
    double height_ = -1;
    bool rests_ = false;
    // The split a save set aside, to be given back after it.
    double kept_ = -1;
    // The home screen laid out on show last (the classic one or the other).
    static inline EntrySplit* lastShown_ = nullptr;
};

} // namespace orvenda
