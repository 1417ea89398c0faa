#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace orvenda {

class Calculator;
class RootController;

// A line typed in a screen's field stays that field's at every save: while the state is
// archived it is set aside from the entry line (the home screen's line in the archive) and
// archived with its screen and place (ScreenController::typedPlace), and a launch that goes
// on from that archive brings a field screen back with the line in its field. A line typed
// in a sheet no save keeps (the graph's) is set aside too, and no launch brings it back: it
// never becomes the home screen's. The home screen's own line is archived as it is, also
// while it is set aside for a field screen or a form over the graph. Main thread.
class FieldLineKeeper {
public:
    FieldLineKeeper(Calculator& calc, RootController& root);
    ~FieldLineKeeper();
    FieldLineKeeper(const FieldLineKeeper&) = delete;
    FieldLineKeeper& operator=(const FieldLineKeeper&) = delete;

    // The field line the restored state kept, back on its screen (once the screens are there);
    // a sequence's initial values typed on Y= and kept, taken.
    void resume();

private:
    void willSave();
    void didSave();

    Calculator& calc_;
    RootController& root_;
    std::optional<std::pair<std::vector<std::uint32_t>, int>> held_;
    // The home line set aside by a form is on the entry line for the save.
    bool homeLineShown_ = false;
};

} // namespace orvenda
