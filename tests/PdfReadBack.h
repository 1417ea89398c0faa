#pragma once

// A PDF the app made, read back with Qt PDF: its pages, their sizes in points and texts.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QPdfDocument>
#include <QSizeF>
#include <QString>

#include <array>
#include <vector>

namespace orvenda {

struct PdfReadBack {
    int pages = 0;
    std::vector<QSizeF> sizes;
    std::vector<QString> texts;
};

inline PdfReadBack readPdf(const QByteArray& pdf)
{
    QBuffer buffer;
    buffer.setData(pdf);
    buffer.open(QIODevice::ReadOnly);
    QPdfDocument document;
    document.load(&buffer);
    PdfReadBack out;
    out.pages = document.pageCount();
    for (int i = 0; i < out.pages; ++i) {
        out.sizes.push_back(document.pagePointSize(i));
        out.texts.push_back(document.getAllText(i).text());
    }
    return out;
}

// One page of a PDF drawn at pixelsPerPoint pixels a point, on white; a null image when
// the PDF has no such page.
inline QImage pdfPagePicture(const QByteArray& pdf, int page, int pixelsPerPoint = 1)
{
    QBuffer buffer;
    buffer.setData(pdf);
    buffer.open(QIODevice::ReadOnly);
    QPdfDocument document;
    document.load(&buffer);
    const QSizeF size = document.pagePointSize(page) * pixelsPerPoint;
    QImage picture = document.render(page, size.toSize());
    if (picture.isNull())
        return {};
    QImage out(picture.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter painter(&out);
    painter.drawImage(0, 0, picture);
    return out;
}

// How deep the ink reaches in from each edge of a page's picture, at the edge's middle:
// left, top, right, bottom, in pixels (0 where the edge's pixel is paper or only partly
// inked), at most limit.
inline std::array<int, 4> inkFromTheEdges(const QImage& page, int limit = 20)
{
    const auto dark = [&page](int x, int y) { return qGray(page.pixel(x, y)) < 64; };
    const int w = page.width(), h = page.height(), midX = w / 2, midY = h / 2;
    std::array<int, 4> depth{};
    while (depth[0] < limit && dark(depth[0], midY))
        ++depth[0];
    while (depth[1] < limit && dark(midX, depth[1]))
        ++depth[1];
    while (depth[2] < limit && dark(w - 1 - depth[2], midY))
        ++depth[2];
    while (depth[3] < limit && dark(midX, h - 1 - depth[3]))
        ++depth[3];
    return depth;
}

} // namespace orvenda
