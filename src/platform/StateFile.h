#pragma once

#include <QString>

#include <cstdint>
#include <span>
#include <vector>

namespace orvenda {

// The saved calculator between launches, the desktop's stand-in for the user default
// "memorySetting": the memory archive as one CBOR file in the data folder, replaced
// atomically so a crash while saving leaves the previous file whole.
class StateFile {
public:
    static constexpr const char* kFileName = "memorySetting.cbor";

    enum class Status { Missing, Loaded, Damaged };
    struct Contents {
        Status status = Status::Missing;
        // The archive, when loaded.
        std::vector<std::uint8_t> bytes;
        // Where a damaged file was moved; empty when it could not be moved.
        QString keptAs;
    };

    explicit StateFile(const QString& dataFolder);

    QString path() const { return path_; }
    // A file that cannot be read or holds no archive is moved aside (never read again,
    // never overwritten) and reported as damaged.
    Contents read() const;
    // False when the file could not be written; the previous one then stays.
    bool write(std::span<const std::uint8_t> bytes) const;

    // Whether the bytes hold a memory archive: a CBOR map with an integer format version.
    static bool isArchive(std::span<const std::uint8_t> bytes);

private:
    QString keepAside() const;

    QString folder_;
    QString path_;
};

} // namespace orvenda
