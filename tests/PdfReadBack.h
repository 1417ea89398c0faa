#pragma once

// A PDF the app made, read back with Qt PDF: its pages, their sizes in points and texts.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QPdfDocument>
#include <QSizeF>
#include <QString>

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

} // namespace orvenda
