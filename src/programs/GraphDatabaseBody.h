#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace orvenda {

class Calculator;
class YEqModel;

// The data of a graph database: graph mode, format switches, the window variables of the
// mode and every equation of the mode with its selection, style and colour, as the TI
// graph-database variable holds them (a little-endian length word first).
class GraphDatabaseBody {
public:
    using Bytes = std::vector<std::uint8_t>;

    // The body of the current set-up; nothing for a graph mode outside 0..4 or a body too
    // long for its length word.
    static std::optional<Bytes> dataForGDB(const Calculator& calc, const YEqModel& equations);
    // Applies a body: 0; or 74 when the body does not hold its own layout (length word
    // beyond the data, fields or tokens past its end) and 29 when one of its equations
    // refers to itself, and then nothing changes. An unknown mode byte keeps the current
    // graph mode and the body is read with that mode's layout.
    static int loadGDBFrom(Calculator& calc, YEqModel& equations, std::span<const std::uint8_t> body);
};

} // namespace orvenda
