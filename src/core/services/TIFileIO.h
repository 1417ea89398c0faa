#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace orvenda {

// A reader of one TI variable file. The file subsystem registers how readers are made;
// with nothing registered no data opens as such a file.
class TIFileIO {
public:
    using Factory = std::function<std::unique_ptr<TIFileIO>(const std::vector<std::uint8_t>& data)>;

    virtual ~TIFileIO() = default;

    static void setFactory(Factory factory);
    // Null when the data is not a TI variable file.
    static std::unique_ptr<TIFileIO> tiFileIOWithData(const std::vector<std::uint8_t>& data);

    // Imports every variable of the file into the calculator: 0 on success, else non-zero.
    virtual int loadVars() = 0;
};

} // namespace orvenda
