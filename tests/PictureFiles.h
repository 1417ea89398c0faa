#pragma once

// Picture files as hostile or unusual files make them: a small JPEG whose frame claims
// another size.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <QSize>

namespace orvenda::test {

// A JPEG of 16 x 16 pixels, progressive or not, whose frame claims the size (none: its own).
inline QByteArray jpegClaiming(bool progressive, QSize claimed = {})
{
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    QImageWriter writer(&out, "jpeg");
    writer.setProgressiveScanWrite(progressive);
    writer.write(picture);
    if (claimed.isValid()) {
        const qsizetype frame = bytes.indexOf(progressive ? "\xFF\xC2" : "\xFF\xC0");
        const int sides[] = {claimed.height(), claimed.width()};
        for (int k = 0; k < 2; ++k) {
            bytes[frame + 5 + 2 * k] = char(sides[k] >> 8);
            bytes[frame + 6 + 2 * k] = char(sides[k] & 0xFF);
        }
    }
    return bytes;
}

} // namespace orvenda::test
