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

// One page of a PDF drawn at one pixel a point, on white.
inline QImage pdfPagePicture(const QByteArray& pdf, int page)
{
    QBuffer buffer;
    buffer.setData(pdf);
    buffer.open(QIODevice::ReadOnly);
    QPdfDocument document;
    document.load(&buffer);
    const QSizeF size = document.pagePointSize(page);
    QImage picture = document.render(page, size.toSize());
    QImage out(picture.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter painter(&out);
    painter.drawImage(0, 0, picture);
    return out;
}

} // namespace orvenda
