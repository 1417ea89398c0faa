#pragma once

#include "eval/EvalRun.h"

#include <memory>
#include <vector>

namespace orvenda {

class Calculator;
class DrawObject;
class Parser;
class VQStack;

// The DRAW commands. Line(, Horizontal, Vertical, Circle(, Tangent(, DrawF, DrawInv,
// Shade(, Text( and Polyline( make drawing records for the graph; the Pt- and Pxl-
// commands change the point marks and the pixel screen; pxl-Test( reads a pixel;
// StoreGDB and RecallGDB save and find graph databases.
//
// The drawing list, the points and the pixels belong to the main thread: a run on the
// program queue hands every change to the main queue and reads a pixel through a
// synchronous hop, so it sees its own drawing before it.
class DrawingHandlers {
public:
    explicit DrawingHandlers(Parser& parser);

    // Whether the one-byte token is one of these commands.
    static bool handles(int token);
    // X is the argument count (StoreGDB and RecallGDB: the argument, taken raw).
    void handle(EvalRun& run);
    // Polyline(points [, colour, width, fill]) of the system's own page.
    void polyline(EvalRun& run);

private:
    // Colour, line width, style and fill of a record, as the optional arguments give them.
    struct Look {
        double r = 0;
        double g = 1;
        double b = 0;
        double width = 2;
        int style = 0;
        double fill = 0;
    };

    void line(EvalRun& run);
    void horizontalOrVertical(EvalRun& run);
    void circle(EvalRun& run);
    void tangent(EvalRun& run);
    // DrawF and DrawInv.
    void drawFunction(EvalRun& run);
    void shade(EvalRun& run);
    void text(EvalRun& run);
    // Pt-On(, Pt-Off( and Pt-Change(.
    void point(EvalRun& run);
    // Pxl-On(, Pxl-Change( and Pxl-Off(.
    void pixel(EvalRun& run);
    void pixelTest(EvalRun& run);
    // StoreGDB and RecallGDB.
    void graphDatabase(EvalRun& run);

    int count(EvalRun& run, int min, int max);
    bool popReal(EvalRun& run, double& value);
    bool popColor(EvalRun& run, Look& look);
    // The optional colour (argument colorAt of n) and the width after it, last first; a
    // width outside 0..20 (or 0, when so asked) falls back to 2.
    bool popColorAndWidth(EvalRun& run, int n, int colorAt, Look& look, bool zeroWidthFallsBack = false);
    // A compiled function of X with every other variable replaced by its value now; its
    // tokens as typed go to `expression` when given.
    std::shared_ptr<VQStack> popFunction(EvalRun& run, std::vector<std::uint32_t>* expression = nullptr);
    // The record, with its look, into the drawing list.
    void addRecord(EvalRun& run, std::shared_ptr<DrawObject> record, const Look& look);
    // The record into the drawing list (text replacing text at its place) and the graph
    // shown, on the main thread.
    void post(EvalRun& run, std::shared_ptr<DrawObject> record);
    void done(EvalRun& run);
    void fail(int error);

    Parser& p_;
    Calculator& calc_;
};

} // namespace orvenda
