#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvenda {

// The layout the reader and the writer of the calculator's variable files share: the
// signatures and the file's header, the entry types and the names entries carry.
//
// A file: an 11-byte signature, a 42-byte comment, the data length n (u16 at 53, or 0xFFFF
// there and n in 24 bits at 50-52), n bytes of entries and a u16 checksum, the low 16 bits
// of the sum of the n bytes. Each entry: its header length (13 with a version and a flag
// byte, 11 without), its data length d, type, an 8-byte name, [version, flag,] d again,
// then d bytes of data. Integers are little-endian.
class TIVarFile {
public:
    using Bytes = std::vector<std::uint8_t>;

    // "**TI82**", "**TI83**", "**TI83F*": the first two have no version and flag bytes.
    enum FileType { TI82 = 0, TI83 = 1, TI83F = 2 };

    enum EntryType : std::uint8_t {
        RealVar = 0,
        RealList = 1,
        Matrix = 2,
        Equation = 3,
        String = 4,
        Program = 5,
        ProtectedProgram = 6,
        GraphDatabase = 8,
        ComplexVar = 12,
        ComplexList = 13,
        EquationStyle = 14,
    };

    static constexpr std::size_t kSignatureSize = 11;
    static constexpr std::size_t kCommentOffset = 11;
    static constexpr std::size_t kLongLengthOffset = 50;
    static constexpr std::size_t kLengthOffset = 53;
    static constexpr std::size_t kDataOffset = 55;
    // The header and the checksum around the data.
    static constexpr std::size_t kFraming = 57;
    // n in 24 bits, so no file is longer than this.
    static constexpr std::size_t kMaxDataLength = 0xFFFFFF;
    static constexpr std::size_t kMaxFileSize = kMaxDataLength + kFraming;
    // The u16 at 53 that says n is in 24 bits at 50.
    static constexpr std::uint16_t kLengthEscape = 0xFFFF;
    static constexpr std::uint16_t kLongHeader = 13;
    static constexpr std::uint16_t kShortHeader = 11;
    // The bytes of an entry before its data: header length + 4 (17 or 15).
    static constexpr std::size_t kLongHeaderSize = 17;
    static constexpr std::size_t kNameOffset = 5;
    static constexpr std::size_t kNameSize = 8;
    // The most data one entry's length says; a larger matrix writes this and is read by its
    // dimensions.
    static constexpr std::size_t kMaxEntryData = 0xFFFF;
    static constexpr int kMaxListCount = 999;
    static constexpr int kMaxDimension = 99;
    // The version byte of a program entry with description, tags and notes.
    static constexpr std::uint8_t kMetadataVersion = 0x6D;
    // The name byte of θ.
    static constexpr std::uint8_t kTheta = 0x5B;
    // The first name byte of L1..L6 (its index, 0..5, follows).
    static constexpr std::uint8_t kListPrefix = 0x5D;
    static constexpr std::uint8_t kBuiltInLists = 6;
    static constexpr std::uint32_t kMatrixToken = 0x5C00;
    static constexpr std::uint32_t kStringToken = 0xAA00;
    // The extension of the files the app exports.
    static constexpr std::string_view kExportExtension = "lbxDat";

    // The type of the file from its first 11 bytes; nothing for no accepted signature.
    static std::optional<FileType> fileType(std::span<const std::uint8_t> data);
    // The signature the writer uses: "**TI83F*", 0x1A, 0x0A, 0x0A.
    static std::span<const std::uint8_t> exportSignature();

    static std::uint16_t word(const std::uint8_t* at) { return static_cast<std::uint16_t>(at[0] | at[1] << 8); }
    static void putWord(std::uint8_t* at, std::size_t value)
    {
        at[0] = static_cast<std::uint8_t>(value & 0xFF);
        at[1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
    }
    // The low 16 bits of the byte sum.
    static std::uint16_t checksum(std::span<const std::uint8_t> bytes);

    // A–Z or θ: what the name of a variable, list or graph database starts with.
    static bool startsName(std::uint8_t b) { return (b >= 'A' && b <= 'Z') || b == kTheta; }
    // Y1..Y9, Y0, X1T..Y6T, r1..r6, u, v, w.
    static bool isEquationToken(std::uint32_t token);

    // A name field as text, up to its first NUL: A–Z and 0–9 as themselves, 0x5B as "θ",
    // a–z too when lowerCase. Nothing for any other byte: names become file names and keys.
    static std::optional<std::string> nameFromBytes(std::span<const std::uint8_t> field, bool lowerCase);
    // The first `max` characters of a name as name bytes (θ as 0x5B); nothing when one of
    // them is no name character.
    static std::optional<Bytes> bytesForName(std::string_view name, std::size_t max, bool lowerCase);
};

} // namespace orvenda
