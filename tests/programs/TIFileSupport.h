#pragma once

// The calculator's variable files built byte by byte as a handheld writes them, and a
// calculator with its equations, programs and graph databases to read them into.

#include "TestSupport.h"
#include "app/YEqModel.h"
#include "programs/ProgramFiles.h"
#include "programs/ProgramModel.h"
#include "programs/TIFileReader.h"
#include "programs/TIVarBytes.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orvenda::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes le16(std::size_t value)
{
    return {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>((value >> 8) & 0xFF)};
}

inline Bytes& operator+=(Bytes& a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline Bytes operator+(Bytes a, const Bytes& b)
{
    return a += b;
}

inline Ops operator+(Ops a, const Ops& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline Bytes real(double x)
{
    Bytes bytes(TIVarBytes::kRealSize);
    TIVarBytes::writeReal(x, bytes.data());
    return bytes;
}

// A name field: the bytes, NUL-padded to 8.
inline Bytes nameField(const Bytes& name)
{
    Bytes field = name;
    field.resize(8, 0);
    return field;
}

// One entry: header length (13 with version and flag, 11 without), data length, type, name,
// [version, flag,] data length again, data.
inline Bytes entry(std::uint8_t type, const Bytes& name, const Bytes& data, bool versioned = true, std::uint8_t version = 0)
{
    Bytes e = le16(versioned ? 13 : 11) + le16(data.size());
    e.push_back(type);
    e += nameField(name);
    if (versioned)
        e += Bytes{version, 0};
    e += le16(data.size());
    return e + data;
}

// A u16 count and the bytes it counts.
inline Bytes counted(const Bytes& bytes)
{
    return le16(bytes.size()) + bytes;
}

// A whole file around the entries: signature, comment, length, entries, checksum.
inline Bytes tiFile(const Bytes& entries, std::string_view signature = "**TI83F*", std::uint8_t last = 0x0A,
    std::string_view comment = "")
{
    Bytes f(signature.begin(), signature.end());
    f += Bytes{0x1A, 0x0A, last};
    Bytes note(comment.begin(), comment.end());
    note.resize(42, 0);
    f += note;
    if (entries.size() >= 0xFFFF) {
        f[50] = static_cast<std::uint8_t>(entries.size() & 0xFF);
        f[51] = static_cast<std::uint8_t>((entries.size() >> 8) & 0xFF);
        f[52] = static_cast<std::uint8_t>(entries.size() >> 16);
        f += le16(0xFFFF);
    } else {
        f += le16(entries.size());
    }
    f += entries;
    std::uint32_t sum = 0;
    for (std::uint8_t b : entries)
        sum += b;
    return f + le16(sum & 0xFFFF);
}

// A calculator with the real equations and program manager over a folder of its own.
struct CalculatorSide {
    CalculatorSide()
    {
        calc.prgmManager = programs;
        calc.yEqManager = equations;
    }

    // The import's answer: 1 for data that is no file, else loadVars; what was stored goes
    // to arrived.
    int load(const Bytes& data)
    {
        auto reader = TIFileReader::tiFileIOWithData(data, {calc, *equations, *programs});
        if (!reader)
            return 1;
        reader->stored = [this](const std::string& item) { arrived.push_back(item); };
        return reader->loadVars();
    }
    std::complex<double> var(char name) const { return calc.getVar(name - 'A').value; }

    QTemporaryDir folder;
    Calculator calc{kUS};
    std::shared_ptr<YEqModel> equations = std::make_shared<YEqModel>(calc);
    std::shared_ptr<ProgramFiles> files = std::make_shared<ProgramFiles>(folder.path() + QStringLiteral("/programs"));
    std::shared_ptr<ProgramModel> programs = std::make_shared<ProgramModel>(calc, files);
    std::vector<std::string> arrived;
};

} // namespace orvenda::test
