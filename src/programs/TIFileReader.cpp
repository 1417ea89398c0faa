#include "programs/TIFileReader.h"

#include "app/YEqModel.h"
#include "core/Calculator.h"
#include "core/services/GDBManager.h"
#include "core/services/ProgramManager.h"
#include "language/ErrorNumbers.h"
#include "language/Utf8.h"
#include "programs/ProgramFiles.h"
#include "programs/ProgramModel.h"
#include "programs/TIVarBytes.h"

#include <QString>

#include <complex>

namespace orvenda {

namespace {

using F = TIVarFile;
constexpr std::size_t kReal = TIVarBytes::kRealSize;
// The list names the reader takes: at most this many characters.
constexpr std::size_t kListNameLength = 5;

// n reals (or complex pairs) from the start of the bytes, which hold them: false when one
// has digits that are not decimal.
bool decimalReals(std::span<const std::uint8_t> bytes, std::size_t n)
{
    for (std::size_t k = 0; k < n; ++k)
        if (!TIVarBytes::isDecimal(&bytes[k * kReal]))
            return false;
    return true;
}

// Text of a metadata field: UTF-8, with what is not replaced by U+FFFD.
std::string utf8Text(std::span<const std::uint8_t> bytes)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()))
        .toStdString();
}

// The u16 count at the start of the data and the bytes it counts: false when either
// passes the end of the data.
bool counted(std::span<const std::uint8_t> data, std::span<const std::uint8_t>& bytes)
{
    if (data.size() < 2 || F::word(data.data()) > data.size() - 2)
        return false;
    bytes = data.subspan(2, F::word(data.data()));
    return true;
}

// The tokens the u16 count at the start of the data counts; nothing when the count passes
// the end of the data or the bytes end inside a token.
std::optional<TIFileReader::Ops> tokensAfterCount(std::span<const std::uint8_t> data)
{
    std::span<const std::uint8_t> bytes;
    if (!counted(data, bytes))
        return std::nullopt;
    return TIVarBytes::tokensFrom(bytes);
}

} // namespace

TIFileReader::TIFileReader(Bytes data, TIVarFile::FileType type, const Stores& stores)
    : data_(std::move(data)), fileType_(type), stores_(stores)
{
}

std::unique_ptr<TIFileReader> TIFileReader::tiFileIOWithData(Bytes data, const Stores& stores)
{
    const std::optional<F::FileType> type = F::fileType(data);
    if (!type || data.size() < F::kFraming || data.size() > F::kMaxFileSize)
        return nullptr;
    std::size_t n = F::word(&data[F::kLengthOffset]);
    if (n == F::kLengthEscape)
        n = data[F::kLongLengthOffset] | data[F::kLongLengthOffset + 1] << 8 | data[F::kLongLengthOffset + 2] << 16;
    if (data.size() != n + F::kFraming)
        return nullptr;
    if (F::checksum(std::span(data).subspan(F::kDataOffset, n)) != F::word(&data[F::kDataOffset + n]))
        return nullptr;
    return std::unique_ptr<TIFileReader>(new TIFileReader(std::move(data), *type, stores));
}

std::string TIFileReader::comment() const
{
    // A long file's length overlays the comment's last three bytes.
    const std::size_t end = F::word(&data_[F::kLengthOffset]) == F::kLengthEscape ? F::kLongLengthOffset
                                                                                   : F::kLongLengthOffset + 2;
    std::string text;
    for (std::size_t i = F::kCommentOffset; i < end && data_[i] != 0; ++i) {
        char bytes[4];
        text.append(bytes, static_cast<std::size_t>(Utf8::encode(data_[i], bytes)));
    }
    return text;
}

int TIFileReader::loadVars()
{
    std::size_t n = F::word(&data_[F::kLengthOffset]);
    if (n == F::kLengthEscape) {
        n = data_[F::kLongLengthOffset] | data_[F::kLongLengthOffset + 1] << 8 | data_[F::kLongLengthOffset + 2] << 16;
        if (n < F::kLengthEscape)
            return ErrBadVarType;
    }
    const std::string note = comment();
    const std::size_t end = F::kDataOffset + n;
    for (std::size_t at = F::kDataOffset; at < end;) {
        Entry entry;
        std::size_t size = 0;
        if (const int error = entryAt(at, end, entry, size))
            return error;
        if (const int error = store(entry, note))
            return error;
        at += size;
    }
    return 0;
}

int TIFileReader::entryAt(std::size_t at, std::size_t end, Entry& entry, std::size_t& size) const
{
    const std::size_t left = end - at;
    if (left < 2)
        return ErrBadVariableSignature;
    const std::uint8_t* header = &data_[at];
    // The header says whether version and flag are there; the older files have neither.
    std::size_t headerSize = 0;
    switch (F::word(header)) {
    case F::kLongHeader:
        if (fileType_ != F::TI83F)
            return ErrBadVariableSignature;
        headerSize = F::kLongHeaderSize;
        break;
    case F::kShortHeader:
        headerSize = F::kLongHeaderSize - 2;
        break;
    default:
        return ErrBadVariableSignature;
    }
    if (left < headerSize)
        return ErrBadVariableSignature;
    const std::size_t length = F::word(header + 2);
    if (F::word(header + headerSize - 2) != length)
        return ErrBadVariableSignature;
    entry.type = header[4];
    entry.name = std::span(header + F::kNameOffset, F::kNameSize);
    std::size_t dataSize = length;
    // A matrix too large for its length word is read by its dimensions.
    if (entry.type == F::Matrix && length == F::kMaxEntryData) {
        if (left - headerSize < 2)
            return ErrBadVariableSignature;
        dataSize = kReal * header[headerSize] * header[headerSize + 1] + 2;
    }
    if (left - headerSize < dataSize)
        return ErrBadVariableSignature;
    entry.data = std::span(header + headerSize, dataSize);
    size = headerSize + dataSize;
    return 0;
}

int TIFileReader::store(const Entry& entry, const std::string& comment)
{
    switch (entry.type) {
    case F::RealVar:
    case F::ComplexVar:
        return getVariableFrom(entry);
    case F::RealList:
    case F::ComplexList:
        return getListFrom(entry);
    case F::Matrix:
        return getMatrix(entry);
    case F::Equation:
        return getYeqFrom(entry);
    case F::String:
        return getStringFrom(entry);
    case F::Program:
    case F::ProtectedProgram:
        return getProgramFrom(entry, comment, entry.type == F::ProtectedProgram);
    case F::GraphDatabase:
        return getGDBFrom(entry);
    case F::EquationStyle:
        return getYeqStyleFrom(entry);
    default:
        return 0;
    }
}

void TIFileReader::tell(const std::string& item) const
{
    if (stored)
        stored(item);
}

int TIFileReader::getVariableFrom(const Entry& entry)
{
    const std::uint8_t name = entry.name[0];
    if (!F::startsName(name))
        return ErrBadVarName;
    const std::size_t parts = entry.type == F::ComplexVar ? 2 : 1;
    if (entry.data.size() < parts * kReal)
        return ErrBadVariableSignature;
    if (!decimalReals(entry.data, parts))
        return ErrBadVarType;
    const std::complex<double> value(TIVarBytes::dblFrom(entry.data.data()),
        parts == 2 ? TIVarBytes::dblFrom(entry.data.data() + kReal) : 0.0);
    stores_.calc.setVar(name - 'A', VariableRecord{value});
    tell("variable " + stores_.calc.nameForOpcode(name));
    return 0;
}

int TIFileReader::getListFrom(const Entry& entry)
{
    std::string name;
    if (entry.name[0] == F::kListPrefix) {
        if (entry.name[1] >= F::kBuiltInLists)
            return ErrBadVarName;
        name = stores_.calc.nameForOpcode(F::kListPrefix << 8 | entry.name[1]);
    } else {
        if (entry.name[0] == 0)
            return ErrBadVarName;
        if (!F::startsName(entry.name[0]))
            return 0;
        const std::optional<std::string> plain = F::nameFromBytes(entry.name.first(kListNameLength), false);
        if (!plain)
            return ErrBadVarName;
        name = *plain;
    }
    if (entry.data.size() < 2)
        return ErrBadVariableSignature;
    const int count = F::word(entry.data.data());
    if (count < 1 || count > F::kMaxListCount)
        return ErrBadDimension;
    const bool complex = entry.type == F::ComplexList;
    const std::size_t reals = static_cast<std::size_t>(count) * (complex ? 2 : 1);
    const std::span<const std::uint8_t> elements = entry.data.subspan(2);
    if (elements.size() < reals * kReal)
        return ErrBadVariableSignature;
    if (!decimalReals(elements, reals))
        return ErrBadVarType;
    VQList list;
    list.reserve(count);
    for (std::size_t k = 0; k < reals; k += complex ? 2 : 1) {
        const double re = TIVarBytes::dblFrom(&elements[k * kReal]);
        if (complex)
            list.addComplex({re, TIVarBytes::dblFrom(&elements[(k + 1) * kReal])});
        else
            list.addReal(re, 15, -15);
    }
    if (const auto hold = stores_.calc.lockState(); !stores_.calc.storeList(name, std::move(list)))
        return ErrMemory;
    tell("list " + name);
    return 0;
}

int TIFileReader::getMatrix(const Entry& entry)
{
    const std::uint32_t token = entry.nameToken();
    if (token < F::kMatrixToken || token >= F::kMatrixToken + Calculator::kMatrixCount)
        return ErrBadVarName;
    if (entry.data.size() < 2)
        return ErrBadVariableSignature;
    const std::size_t cols = entry.data[0], rows = entry.data[1];
    if (cols < 1 || rows < 1 || cols > F::kMaxDimension || rows > F::kMaxDimension)
        return ErrBadDimension;
    const std::span<const std::uint8_t> cells = entry.data.subspan(2);
    if (cells.size() < rows * cols * kReal)
        return ErrBadVariableSignature;
    if (!decimalReals(cells, rows * cols))
        return ErrBadVarType;
    std::optional<VQMatrix> matrix = VQMatrix::matrixWithRow(rows, cols);
    if (!matrix)
        return ErrMemory;
    for (std::size_t r = 0; r < rows; ++r)
        for (std::size_t c = 0; c < cols; ++c)
            matrix->set(TIVarBytes::dblFrom(&cells[(r * cols + c) * kReal]), r, c);
    if (const auto hold = stores_.calc.lockState(); !stores_.calc.storeMatrix(token - F::kMatrixToken, std::move(*matrix)))
        return ErrMemory;
    tell("matrix " + stores_.calc.nameForOpcode(token));
    return 0;
}

int TIFileReader::getYeqFrom(const Entry& entry)
{
    const std::uint32_t token = entry.nameToken();
    if (!F::isEquationToken(token))
        return ErrBadVarName;
    const std::optional<Ops> ops = tokensAfterCount(entry.data);
    if (!ops)
        return ErrBadVariableSignature;
    if (const int error = stores_.equations.setYEqFunc(static_cast<int>(token), *ops))
        return error;
    tell("equation " + stores_.calc.nameForOpcode(token));
    return 0;
}

int TIFileReader::getYeqStyleFrom(const Entry& entry)
{
    const std::uint32_t token = entry.nameToken();
    if (!F::isEquationToken(token))
        return ErrBadVarName;
    if (entry.data.size() < 4)
        return ErrBadVariableSignature;
    const std::span<const std::uint8_t> style = entry.data;
    stores_.equations.setYEqFunc(static_cast<int>(token), style[0], style[1], style[2], style[3]);
    tell("style " + stores_.calc.nameForOpcode(token));
    return 0;
}

int TIFileReader::getStringFrom(const Entry& entry)
{
    const std::uint32_t token = entry.nameToken();
    if (token < F::kStringToken || token >= F::kStringToken + Calculator::kStringCount)
        return ErrBadVarName;
    std::optional<Ops> ops = tokensAfterCount(entry.data);
    if (!ops)
        return ErrBadVariableSignature;
    if (const auto hold = stores_.calc.lockState(); !stores_.calc.storeString(token - F::kStringToken, std::move(*ops)))
        return ErrMemory;
    tell("string " + stores_.calc.nameForOpcode(token));
    return 0;
}

int TIFileReader::getProgramFrom(const Entry& entry, const std::string& comment, bool locked)
{
    // The name becomes the program's file name: program-name characters only.
    const std::optional<std::string> name = F::nameFromBytes(entry.name, true);
    if (!name || !ProgramFiles::isProgramName(*name))
        return ErrBadVarName;
    std::optional<Ops> ops = tokensAfterCount(entry.data);
    if (!ops)
        return ErrBadVariableSignature;
    // What follows the counted tokens: the metadata, if any.
    std::span<const std::uint8_t> rest = entry.data.subspan(2 + F::word(entry.data.data()));
    ProgramFiles::Dict dict{std::move(ops), std::vector<std::string>{}, std::string(), std::string(),
        locked ? ProgramManager::kProtected : 0u};
    if (rest.empty()) {
        dict.desc = comment;
    } else {
        // Description, tags and notes, each counted.
        std::span<const std::uint8_t> fields[3];
        for (auto& field : fields) {
            if (!counted(rest, field))
                return ErrBadVariableSignature;
            rest = rest.subspan(2 + field.size());
        }
        dict.desc = utf8Text(fields[0]);
        if (!fields[1].empty())
            dict.tags = ProgramFiles::tagsFromText(utf8Text(fields[1]));
        dict.notes = utf8Text(fields[2]);
    }
    if (!stores_.programs.importProgram(*name, dict))
        return ErrFileData;
    tell("program " + *name);
    return 0;
}

int TIFileReader::getGDBFrom(const Entry& entry)
{
    if (entry.name[0] == 0)
        return ErrBadVarName;
    if (!F::startsName(entry.name[0]))
        return 0;
    const std::optional<std::string> name = F::nameFromBytes(entry.name, true);
    if (!name)
        return ErrBadVarName;
    // The body's own length, counted from its length word, lies within the entry.
    if (entry.data.size() < 2)
        return ErrBadVariableSignature;
    const std::size_t length = F::word(entry.data.data());
    if (length < 2 || length > entry.data.size())
        return ErrBadVariableSignature;
    if (!GDBManager::saveGDB(*name, entry.data.first(length)))
        return ErrFileData;
    tell("graph database " + *name);
    return 0;
}

} // namespace orvenda
