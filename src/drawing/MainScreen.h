#pragma once

namespace orvenda {

// The scale of the main screen (device pixels per point), which offscreen images are made
// at: the primary screen's, or the one a test sets. Main thread.
class MainScreen {
public:
    static double scale();
    // 0 goes back to the primary screen's.
    static void setScale(double scale);
};

} // namespace orvenda
