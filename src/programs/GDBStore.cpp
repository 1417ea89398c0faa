#include "programs/GDBStore.h"

#include "app/YEqModel.h"
#include "language/ErrorNumbers.h"
#include "platform/AtomicFile.h"
#include "programs/GraphDatabaseBody.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cctype>

namespace orvenda {

namespace {

constexpr int kStandardCount = 10;
// A body's length word counts at most this many bytes.
constexpr qint64 kMaxBody = 0xFFFF;

QString qtPath(const std::string& path)
{
    return QString::fromStdString(path);
}

bool lessIgnoringCase(const std::string& a, const std::string& b)
{
    const auto lower = [](unsigned char c) { return std::tolower(c); };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
        [&](unsigned char x, unsigned char y) { return lower(x) < lower(y); });
}

} // namespace

GDBStore::GDBStore(Calculator& calc, std::shared_ptr<YEqModel> equations, std::string directory)
    : calc_(calc), equations_(std::move(equations)), directory_(std::move(directory))
{
}

bool GDBStore::validName(std::string_view name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    return name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

std::string GDBStore::path(const std::string& name) const
{
    return directory_ + "/" + name;
}

std::vector<std::string> GDBStore::names(bool includeUndefined) const
{
    std::vector<std::string> found;
    const QDir dir(qtPath(directory_));
    for (const QString& file : dir.entryList(QDir::Files | QDir::NoDotAndDotDot)) {
        std::string name = file.toStdString();
        if (validName(name))
            found.push_back(std::move(name));
    }
    if (includeUndefined) {
        for (int n = 0; n < kStandardCount; ++n) {
            std::string standard = "GDB" + std::to_string(n);
            if (std::find(found.begin(), found.end(), standard) == found.end())
                found.push_back(std::move(standard));
        }
    }
    std::sort(found.begin(), found.end(), lessIgnoringCase);
    return found;
}

bool GDBStore::isSaved(const std::string& name)
{
    return validName(name) && QFile::exists(qtPath(path(name)));
}

bool GDBStore::save(const std::string& name)
{
    if (!validName(name))
        return false;
    const std::optional<Bytes> body = GraphDatabaseBody::dataForGDB(calc_, *equations_);
    return body && save(name, *body);
}

bool GDBStore::save(const std::string& name, std::span<const std::uint8_t> data)
{
    return validName(name) && AtomicFile::write(qtPath(path(name)), data);
}

std::optional<GDBStore::Bytes> GDBStore::data(const std::string& name) const
{
    if (!validName(name))
        return std::nullopt;
    QFile file(qtPath(path(name)));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Never more than a body can be, whatever the file is.
    const QByteArray bytes = file.read(kMaxBody + 1);
    if (bytes.size() > kMaxBody)
        return std::nullopt;
    return Bytes(bytes.begin(), bytes.end());
}

int GDBStore::recall(const std::string& name)
{
    if (!validName(name))
        return ErrGdbNotFound;
    QFile file(qtPath(path(name)));
    if (!file.open(QIODevice::ReadOnly))
        return ErrGdbNotFound;
    // The length word must fit the file before the body is read.
    const qint64 size = file.size();
    if (size < 2 || size > kMaxBody)
        return ErrFileData;
    const QByteArray head = file.read(2);
    if (head.size() != 2)
        return ErrFileData;
    const qint64 length = static_cast<unsigned char>(head[0]) | static_cast<unsigned char>(head[1]) << 8;
    if (length < 2 || length > size)
        return ErrFileData;
    const QByteArray rest = file.read(length - 2);
    if (rest.size() != length - 2)
        return ErrFileData;
    Bytes body(head.begin(), head.end());
    body.insert(body.end(), rest.begin(), rest.end());
    return GraphDatabaseBody::loadGDBFrom(calc_, *equations_, body);
}

void GDBStore::remove(const std::string& name)
{
    if (validName(name))
        QFile::remove(qtPath(path(name)));
}

} // namespace orvenda
