#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace orvenda {

// What is handed to the share sheet: the written files (each share of calculator data
// has one), the values as plain text, and for the last calculation its HTML or PDF, with
// the subject the sheet shows.
struct ShareRequest {
    QStringList files;
    QString text;
    QString html;
    QByteArray pdf;
    QString subject;
    // The file name a PDF without a file is saved under.
    QString pdfName;

    bool empty() const { return files.isEmpty() && text.isEmpty() && html.isEmpty() && pdf.isEmpty(); }
};

} // namespace orvenda
