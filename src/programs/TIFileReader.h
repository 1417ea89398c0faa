#pragma once

#include "core/services/TIFileIO.h"
#include "programs/TIVarFile.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace orvenda {

class Calculator;
class ProgramModel;
class YEqModel;

// Reads a calculator variable file (TIVarFile) straight into the calculator: variables A-θ,
// lists, matrices [A]-[J], strings, Y= equations with their styles, programs (through the
// program manager, so they are listed, run and open in the editor) and graph databases
// (through GDBManager, stored, not applied).
//
// Nothing is read past the end of the data: every length, count and dimension is checked
// against the entry and the entry against the file. The first entry that cannot be stored
// ends the import with its error; those before it stay stored: 76 a broken structure (an
// entry header, an entry crossing the end of the data, a count or length past its entry),
// 77 a wrong type for its reader, an escaped length below 65535 or a real whose digits
// are not decimal, 78 a bad name, 79 a count or dimension out of range, 29 an equation
// that refers to itself, 74 an item that could not be written. Main thread.
class TIFileReader : public TIFileIO {
public:
    using Bytes = std::vector<std::uint8_t>;
    using Ops = std::vector<std::uint32_t>;

    // Where the entries go.
    struct Stores {
        Calculator& calc;
        YEqModel& equations;
        ProgramModel& programs;
    };

    // A reader, or null when the data is no intact file: signature, size (n + 57) or
    // checksum.
    static std::unique_ptr<TIFileReader> tiFileIOWithData(Bytes data, const Stores& stores);

    TIVarFile::FileType fileType() const { return fileType_; }
    // The file's comment: its bytes up to the first NUL, as Latin-1 text.
    std::string comment() const;
    int loadVars() override;

    // Told the kind and name of each item as it is stored ("program HELLO", "list L₁").
    std::function<void(const std::string& item)> stored;

private:
    // One entry as found in the file.
    struct Entry {
        std::uint8_t type = 0;
        std::span<const std::uint8_t> name;
        std::span<const std::uint8_t> data;
        std::uint32_t nameToken() const { return static_cast<std::uint32_t>(name[0] << 8 | name[1]); }
    };

    TIFileReader(Bytes data, TIVarFile::FileType type, const Stores& stores);
    // The next entry at offset `at` of the data (before `end`); 0, or the error that ends
    // the import.
    int entryAt(std::size_t at, std::size_t end, Entry& entry, std::size_t& size) const;
    int store(const Entry& entry, const std::string& comment);

    int getVariableFrom(const Entry& entry);
    int getListFrom(const Entry& entry);
    int getMatrix(const Entry& entry);
    int getYeqFrom(const Entry& entry);
    int getYeqStyleFrom(const Entry& entry);
    int getStringFrom(const Entry& entry);
    int getProgramFrom(const Entry& entry, const std::string& comment, bool locked);
    int getGDBFrom(const Entry& entry);
    void tell(const std::string& item) const;

    Bytes data_;
    TIVarFile::FileType fileType_;
    Stores stores_;
};

} // namespace orvenda
