#pragma once

#include "core/Calculator.h"
#include "eval/EvalRun.h"

#include <functional>

namespace orvenda {

class Parser;

// The clock functions that take an argument (setDtFmt(, setTmFmt(, dayOfWk(, getDtStr(,
// getTmStr(), the colour commands (Gridline, BackgroundOn, AxesOn, GraphColor(,
// TextColor() and toString(.
class ClockColorHandlers {
public:
    using Clock = std::function<Calculator::TimePoint()>;

    explicit ClockColorHandlers(Parser& parser);

    // Whether the token is one of these.
    static bool handles(int token);
    // X is the argument, or the argument count for dayOfWk(, AxesOn, GraphColor( and
    // TextColor(.
    void handle(EvalRun& run);

    // The time getDtStr( and getTmStr( read; the system clock unless replaced.
    void setClock(Clock clock) { clock_ = std::move(clock); }

private:
    void dateFormat(EvalRun& run);
    void timeFormat(EvalRun& run);
    void dayOfWeek(EvalRun& run);
    void dateString(EvalRun& run);
    void timeString(EvalRun& run);
    // Gridline and BackgroundOn.
    void screenColor(EvalRun& run);
    void axesOn(EvalRun& run);
    void graphColor(EvalRun& run);
    void textColor(EvalRun& run);

    // X as a whole number within min..max; error 17 otherwise.
    bool wholeArgument(const EvalRun& run, int min, int max, int& value);
    void done(EvalRun& run);

    Parser& p_;
    Calculator& calc_;
    Clock clock_;
};

} // namespace orvenda
