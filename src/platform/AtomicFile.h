#pragma once

#include <QString>

#include <cstdint>
#include <span>

namespace orvenda {

// A file replaced whole: written beside the old one and renamed over it only when
// complete, so a crash or a full disk leaves the previous file as it was.
class AtomicFile {
public:
    // Makes the folder when missing; false when nothing could be written.
    static bool write(const QString& path, std::span<const std::uint8_t> bytes);
    // Removes the temporary files that writes of path left when the process was killed
    // before they finished (one process writes path at a time). The number removed.
    static int removeLeftovers(const QString& path);
};

} // namespace orvenda
