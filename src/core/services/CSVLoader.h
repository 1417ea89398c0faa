#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

namespace orvenda {

class Calculator;

// Lists from comma-separated text handed to the app. The apps register the reader; with
// none registered no text becomes a list.
class CSVLoader {
public:
    using Loader = std::function<int(Calculator& calc, std::string_view text)>;

    // Longer text is refused unread: no file longer than that can fit the lists the
    // calculator holds.
    static constexpr std::size_t kMaxTextBytes = 32 * 1024 * 1024;

    static void setLoader(Loader loader);
    // The reader's answer: 0 when every row became a list, else its error number; 85 when
    // no reader is registered.
    static int loadCSV(Calculator& calc, std::string_view text);
};

} // namespace orvenda
