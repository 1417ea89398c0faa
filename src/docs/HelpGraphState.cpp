#include "docs/HelpGraphState.h"

#include "core/DrawObject.h"
#include "core/VQGraphPtArray.h"
#include "language/VariableSlots.h"

namespace orvenda {

namespace {

constexpr std::array<int, 4> kWindowSlots{kSlotXmin, kSlotXmax, kSlotYmin, kSlotYmax};

} // namespace

HelpGraphState::HelpGraphState(Calculator& calc) : calc_(calc)
{
    const auto hold = calc_.lockState();
    drawing_ = std::move(calc_.drawing);
    calc_.drawing = {};
    calc_.drawing.reserve(3);
    points_ = calc_.graphPts();
    calc_.setGraphPts(std::make_shared<VQGraphPtArray>());
    for (std::size_t i = 0; i < kWindowSlots.size(); ++i)
        window_[i] = calc_.getVar(kWindowSlots[i]);
    grid_ = calc_.state().drawGrid;
    axes_ = calc_.state().drawAxes;
    labels_ = calc_.state().drawLabel;
    calc_.state().drawGrid = calc_.state().drawAxes = calc_.state().drawLabel = true;
}

HelpGraphState::~HelpGraphState()
{
    const auto hold = calc_.lockState();
    calc_.drawing = std::move(drawing_);
    calc_.setGraphPts(std::move(points_));
    for (std::size_t i = 0; i < kWindowSlots.size(); ++i)
        calc_.setVar(kWindowSlots[i], window_[i]);
    calc_.state().drawGrid = grid_;
    calc_.state().drawAxes = axes_;
    calc_.state().drawLabel = labels_;
}

} // namespace orvenda
