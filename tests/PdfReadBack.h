#pragma once

// A PDF the app made, read back with Qt PDF: its pages, their sizes in points and texts.

#include <QBuffer>
#include <QByteArray>
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

} // namespace orvenda
