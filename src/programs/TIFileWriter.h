#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orvenda {

class Calculator;
class ProgramModel;
class YEqModel;

// Writes named items of the calculator into a whole variable file (TIVarFile), signature
// "**TI83F*", no comment, every entry with a 13-byte header, version and flag 0 unless a
// program carries its metadata. Each writer sets error to 0 first and answers nothing
// when there is nothing to write:
// - error 70 when an entry would hold more than 65535 bytes (a matrix writes 65535 and is
//   read by its dimensions), a list more than 999 elements, a matrix more than 99 rows or
//   columns, or a number that no real of the file holds (10^100 or more, the infinities),
//   or the file would pass its 24-bit length;
// - error 0 for a name or token the writer does not take or an item that does not exist
//   (an empty list or matrix included: the reader would refuse it).
// Numbers below 10^-99 are written as 0. Main thread.
class TIFileWriter {
public:
    using Bytes = std::vector<std::uint8_t>;

    // Character codes 65..91 ('A'..'Z', θ).
    static std::optional<Bytes> dataWithVars(const Calculator& calc, std::span<const int> names, int& error);
    // List names as the calculator keeps them (L₁..L₆ or names of A–Z, 0–9 and θ).
    static std::optional<Bytes> dataWithLists(const Calculator& calc, std::span<const std::string> names, int& error);
    // Tokens 0x5C00..0x5C09 ([A]..[J]).
    static std::optional<Bytes> dataWithMatrices(const Calculator& calc, std::span<const std::uint32_t> tokens, int& error);
    // Tokens 0xAA00..0xAA09 (Str1..Str9, Str0).
    static std::optional<Bytes> dataWithStrings(const Calculator& calc, std::span<const std::uint32_t> tokens, int& error);
    // Equation tokens: one equation entry each, then one style entry each, in that order.
    static std::optional<Bytes> dataWithYEQs(const YEqModel& equations, std::span<const std::uint32_t> tokens, int& error);
    // Programs by name (the first 8 characters name the entry); the open program is saved
    // first. With metadata: description, tags and notes after the tokens.
    static std::optional<Bytes> dataWithPrograms(ProgramModel& programs, std::span<const std::string> names,
        bool includeMetaData, int& error);
    // Stored graph databases, their bodies unchanged.
    static std::optional<Bytes> dataWithGDBs(std::span<const std::string> names, int& error);

    // The export's file name: the stem with the extension "lbxDat".
    static QString exportFileName(const QString& stem);
    // Writes the data whole as FOLDER/STEM.lbxDat; its path, or nothing when it could not be
    // written.
    static std::optional<QString> exportTo(const QString& folder, const QString& stem, std::span<const std::uint8_t> data);
};

} // namespace orvenda
