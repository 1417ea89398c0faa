#include "platform/AtomicFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace orvenda {

bool AtomicFile::write(const QString& path, std::span<const std::uint8_t> bytes)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace orvenda
