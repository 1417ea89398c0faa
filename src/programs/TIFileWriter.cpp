#include "programs/TIFileWriter.h"

#include "app/YEqModel.h"
#include "core/Calculator.h"
#include "core/services/GDBManager.h"
#include "language/ErrorNumbers.h"
#include "platform/AtomicFile.h"
#include "programs/ProgramModel.h"
#include "programs/TIVarBytes.h"
#include "programs/TIVarFile.h"

#include <algorithm>
#include <cmath>

namespace orvenda {

namespace {

using F = TIVarFile;
using Bytes = TIFileWriter::Bytes;
using Ops = std::vector<std::uint32_t>;

// The entries of one file, each checked as it comes, then framed into the file.
class Entries {
public:
    explicit Entries(int& error) : error_(error) { error_ = 0; }

    // False (error 70) when the data is too long for its entry; a matrix too long writes
    // the escape and is read by its dimensions.
    bool add(F::EntryType type, const Bytes& name, Bytes data, std::uint8_t version = 0)
    {
        if (data.size() > F::kMaxEntryData && type != F::Matrix) {
            refuse();
            return false;
        }
        size_ += F::kLongHeaderSize + data.size();
        entries_.push_back({type, name, version, std::move(data)});
        return true;
    }
    // Error 70, nothing written.
    std::nullopt_t refuse()
    {
        error_ = ErrVariableDataTooLarge;
        return std::nullopt;
    }

    std::optional<Bytes> file()
    {
        if (size_ > F::kMaxDataLength)
            return refuse();
        Bytes out(size_ + F::kFraming, 0);
        const std::span<const std::uint8_t> signature = F::exportSignature();
        std::copy(signature.begin(), signature.end(), out.begin());
        if (size_ >= F::kLengthEscape) {
            F::putWord(&out[F::kLengthOffset], F::kLengthEscape);
            F::putWord(&out[F::kLongLengthOffset], size_);
            out[F::kLongLengthOffset + 2] = static_cast<std::uint8_t>(size_ >> 16);
        } else {
            F::putWord(&out[F::kLengthOffset], size_);
        }
        std::uint8_t* at = &out[F::kDataOffset];
        for (const Entry& e : entries_) {
            const std::size_t length = std::min(e.data.size(), F::kMaxEntryData);
            F::putWord(at, F::kLongHeader);
            F::putWord(at + 2, length);
            at[4] = e.type;
            std::copy(e.name.begin(), e.name.begin() + static_cast<std::ptrdiff_t>(std::min(e.name.size(), F::kNameSize)),
                at + F::kNameOffset);
            at[13] = e.version;
            F::putWord(at + 15, length);
            std::copy(e.data.begin(), e.data.end(), at + F::kLongHeaderSize);
            at += F::kLongHeaderSize + e.data.size();
        }
        F::putWord(at, F::checksum(std::span(out).subspan(F::kDataOffset, size_)));
        return out;
    }

private:
    struct Entry {
        F::EntryType type;
        Bytes name;
        std::uint8_t version;
        Bytes data;
    };

    int& error_;
    std::vector<Entry> entries_;
    std::size_t size_ = 0;
};

void putWord(Bytes& out, std::size_t value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

// False when no real of the file holds x.
bool putReal(Bytes& out, double x)
{
    out.resize(out.size() + TIVarBytes::kRealSize);
    return TIVarBytes::writeReal(x, &out[out.size() - TIVarBytes::kRealSize]);
}

Bytes tokenName(std::uint32_t token)
{
    return {static_cast<std::uint8_t>(token >> 8), static_cast<std::uint8_t>(token & 0xFF)};
}

// A u16 byte count, then the token bytes.
Bytes countedTokens(const Ops& ops, std::size_t extra = 0)
{
    Bytes data;
    const std::size_t count = TIVarBytes::opByteLength(ops);
    data.reserve(2 + count + extra);
    putWord(data, count);
    // A count past its word makes an entry longer still, which is refused.
    TIVarBytes::writeTokens(ops, data);
    return data;
}

void putText(Bytes& out, const std::string& text)
{
    putWord(out, text.size());
    out.insert(out.end(), text.begin(), text.end());
}

std::uint8_t colorByte(double component)
{
    return static_cast<std::uint8_t>(std::clamp(component, 0.0, 1.0) * 255);
}

} // namespace

std::optional<Bytes> TIFileWriter::dataWithVars(const Calculator& calc, std::span<const int> names, int& error)
{
    Entries entries(error);
    for (int code : names) {
        if (code < 'A' || code > F::kTheta)
            return std::nullopt;
        const VariableRecord var = calc.getVar(code - 'A');
        const bool complex = var.value.imag() != 0;
        Bytes data;
        if (!putReal(data, var.value.real()) || (complex && !putReal(data, var.value.imag())))
            return entries.refuse();
        entries.add(complex ? F::ComplexVar : F::RealVar, {static_cast<std::uint8_t>(code)}, std::move(data));
    }
    return entries.file();
}

std::optional<Bytes> TIFileWriter::dataWithLists(const Calculator& calc, std::span<const std::string> names, int& error)
{
    Entries entries(error);
    std::vector<std::string> builtIn;
    for (std::uint32_t k = 0; k < F::kBuiltInLists; ++k)
        builtIn.push_back(calc.nameForOpcode(F::kListPrefix << 8 | k));
    for (const std::string& name : names) {
        VQList list;
        {
            const auto state = calc.locked();
            const auto found = state->lists.find(name);
            if (found == state->lists.end())
                return std::nullopt;
            list = found->second;
        }
        Bytes nameBytes;
        if (const auto at = std::find(builtIn.begin(), builtIn.end(), name); at != builtIn.end()) {
            nameBytes = {F::kListPrefix, static_cast<std::uint8_t>(at - builtIn.begin())};
        } else {
            std::optional<Bytes> plain = F::bytesForName(name, F::kNameSize, false);
            if (!plain || plain->empty() || !F::startsName(plain->front()))
                return std::nullopt;
            nameBytes = std::move(*plain);
        }
        if (list.count() == 0)
            return std::nullopt;
        if (list.count() > F::kMaxListCount)
            return entries.refuse();
        const bool complex = list.type() != 0;
        Bytes data;
        data.reserve(2 + static_cast<std::size_t>(list.count()) * TIVarBytes::kRealSize * (complex ? 2 : 1));
        putWord(data, static_cast<std::size_t>(list.count()));
        for (int k = 0; k < list.count(); ++k) {
            const std::complex<double> z = list.complexAtIndex(k);
            if (!putReal(data, z.real()) || (complex && !putReal(data, z.imag())))
                return entries.refuse();
        }
        entries.add(complex ? F::ComplexList : F::RealList, nameBytes, std::move(data));
    }
    return entries.file();
}

std::optional<Bytes> TIFileWriter::dataWithMatrices(const Calculator& calc, std::span<const std::uint32_t> tokens, int& error)
{
    Entries entries(error);
    for (std::uint32_t token : tokens) {
        if (token < F::kMatrixToken || token >= F::kMatrixToken + Calculator::kMatrixCount)
            return std::nullopt;
        const VQMatrix matrix = calc.locked()->matrices[token - F::kMatrixToken];
        const std::size_t rows = matrix.dimRow(), cols = matrix.dimCol();
        if (rows == 0 || cols == 0)
            return std::nullopt;
        if (rows > F::kMaxDimension || cols > F::kMaxDimension)
            return entries.refuse();
        Bytes data;
        data.reserve(2 + rows * cols * TIVarBytes::kRealSize);
        data.push_back(static_cast<std::uint8_t>(cols));
        data.push_back(static_cast<std::uint8_t>(rows));
        for (std::size_t r = 0; r < rows; ++r)
            for (std::size_t c = 0; c < cols; ++c)
                if (!putReal(data, matrix.row(r, c)))
                    return entries.refuse();
        entries.add(F::Matrix, tokenName(token), std::move(data));
    }
    return entries.file();
}

std::optional<Bytes> TIFileWriter::dataWithStrings(const Calculator& calc, std::span<const std::uint32_t> tokens, int& error)
{
    Entries entries(error);
    for (std::uint32_t token : tokens) {
        if (token < F::kStringToken || token >= F::kStringToken + Calculator::kStringCount)
            return std::nullopt;
        const Ops ops = calc.locked()->strings[token - F::kStringToken];
        if (!entries.add(F::String, tokenName(token), countedTokens(ops)))
            return std::nullopt;
    }
    return entries.file();
}

std::optional<Bytes> TIFileWriter::dataWithYEQs(const YEqModel& equations, std::span<const std::uint32_t> tokens, int& error)
{
    Entries entries(error);
    for (std::uint32_t token : tokens) {
        if (!F::isEquationToken(token))
            return std::nullopt;
        const Ops ops = equations.equationOps(static_cast<int>(token)).value_or(Ops());
        if (!entries.add(F::Equation, tokenName(token), countedTokens(ops)))
            return std::nullopt;
    }
    for (std::uint32_t token : tokens) {
        const VQColor color = equations.colorForFunction(static_cast<int>(token)).value_or(VQColor());
        entries.add(F::EquationStyle, tokenName(token),
            {static_cast<std::uint8_t>(equations.styleForFunction(static_cast<int>(token))), colorByte(color.r()),
                colorByte(color.g()), colorByte(color.b())});
    }
    return entries.file();
}

std::optional<Bytes> TIFileWriter::dataWithPrograms(ProgramModel& programs, std::span<const std::string> names,
    bool includeMetaData, int& error)
{
    Entries entries(error);
    // What the editor holds goes out, not the file's older state.
    programs.saveProgram();
    for (const std::string& name : names) {
        // Each program's file read once.
        const std::optional<ProgramFiles::Dict> dict = programs.files().dictFor(name);
        const std::optional<Bytes> nameBytes = F::bytesForName(name, F::kNameSize, true);
        if (!dict || !dict->prgm || !nameBytes || nameBytes->empty())
            return std::nullopt;
        if (!includeMetaData) {
            if (!entries.add(F::Program, *nameBytes, countedTokens(*dict->prgm)))
                return std::nullopt;
            continue;
        }
        const std::string desc = dict->desc.value_or(""), notes = dict->notes.value_or(""),
                          tags = ProgramFiles::tagString(dict->tags.value_or(std::vector<std::string>{}));
        Bytes data = countedTokens(*dict->prgm, 6 + desc.size() + tags.size() + notes.size());
        putText(data, desc);
        putText(data, tags);
        putText(data, notes);
        if (!entries.add(F::Program, *nameBytes, std::move(data), F::kMetadataVersion))
            return std::nullopt;
    }
    return entries.file();
}

std::optional<Bytes> TIFileWriter::dataWithGDBs(std::span<const std::string> names, int& error)
{
    Entries entries(error);
    for (const std::string& name : names) {
        const std::optional<Bytes> nameBytes = F::bytesForName(name, F::kNameSize, true);
        if (!nameBytes || nameBytes->empty() || !F::startsName(nameBytes->front()))
            return std::nullopt;
        std::optional<Bytes> body = GDBManager::getGDBData(name);
        if (!body)
            return std::nullopt;
        if (!entries.add(F::GraphDatabase, *nameBytes, std::move(*body)))
            return std::nullopt;
    }
    return entries.file();
}

QString TIFileWriter::exportFileName(const QString& stem)
{
    return stem + QLatin1Char('.') + QString::fromUtf8(F::kExportExtension.data(), static_cast<qsizetype>(F::kExportExtension.size()));
}

std::optional<QString> TIFileWriter::exportTo(const QString& folder, const QString& stem, std::span<const std::uint8_t> data)
{
    const QString path = folder + QLatin1Char('/') + exportFileName(stem);
    if (!AtomicFile::write(path, data))
        return std::nullopt;
    return path;
}

} // namespace orvenda
