#pragma once

#include "core/Calculator.h"

#include <array>
#include <memory>
#include <vector>

namespace orvenda {

class DrawObject;
class VQGraphPtArray;

// What a graph block of a help page borrows from the calculator while it plots: the
// drawing list and the graph points (replaced by empty ones), the window variables Xmin,
// Xmax, Ymin and Ymax, and the grid, axes and label switches (switched on). All of it is
// put back when the guard ends, however the page's reading ended. Main thread.
class HelpGraphState {
public:
    explicit HelpGraphState(Calculator& calc);
    ~HelpGraphState();
    HelpGraphState(const HelpGraphState&) = delete;
    HelpGraphState& operator=(const HelpGraphState&) = delete;

private:
    Calculator& calc_;
    std::vector<std::shared_ptr<DrawObject>> drawing_;
    std::shared_ptr<VQGraphPtArray> points_;
    std::array<VariableRecord, 4> window_;
    bool grid_ = true;
    bool axes_ = true;
    bool labels_ = true;
};

} // namespace orvenda
