#pragma once

namespace orvenda {

// What the root controller asks of the graph screen besides the screen operations; the
// graph screen's controller implements it beside ScreenController.
class GraphScreen {
public:
    virtual ~GraphScreen() = default;
    // Coming forward (rebuild, zoom to the window variables) or going back.
    virtual void didShow(bool shown) = 0;
    // A program paused over the graph, and its pause over (answered, stopped or broken).
    virtual void pause() = 0;
    virtual void pauseEnded() = 0;
    virtual void graphChanged() = 0;
    // The window variables fitted to the screen's size again (after it moved into or out of
    // the display the debugger leaves free).
    virtual void fitWindow() = 0;
    // Only the equation solver's function, in that window.
    virtual void showSolverPlot(double left, double right, double bottom, double top) = 0;
};

} // namespace orvenda
