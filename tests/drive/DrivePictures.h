#pragma once

// Pictures orvenda-drive took, compared.

#include <QImage>
#include <QString>

#include <filesystem>

namespace orvenda::test {

// Pixels that differ between two pictures of the same size, every second one looked at.
inline int changed(const std::filesystem::path& a, const std::filesystem::path& b)
{
    const QImage first(QString::fromStdString(a.string())), second(QString::fromStdString(b.string()));
    if (first.size() != second.size() || first.isNull())
        return -1;
    int n = 0;
    for (int y = 0; y < first.height(); y += 2)
        for (int x = 0; x < first.width(); x += 2)
            n += first.pixel(x, y) != second.pixel(x, y);
    return n;
}

} // namespace orvenda::test
