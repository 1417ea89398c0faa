#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <functional>
#include <optional>
#include <string>

class QPainter;
class QPagedPaintDevice;

namespace orvenda {

class Calculator;
class HistoryEntry;
class HistoryModel;

// The history taken out of the app: the whole history as a PDF of pages (three columns of
// text, or two MathPrint columns), and the last calculation as text, as HTML, as a
// one-page PDF and as a picture. Main thread.
class HistoryDocuments {
public:
    // Rows of the classic layout, in points.
    static constexpr double kRowHeight = 10;
    // Result lines longer than this are cut to one less and "…".
    static constexpr int kLineWidth = 32;
    static constexpr double kMinPictureWidth = 320;

    HistoryDocuments(Calculator& calc, const HistoryModel& history);

    // The date and time printed on every page (now, unless set).
    void setClock(std::function<QDateTime()> now) { now_ = std::move(now); }

    // The whole history on pages of the calculator's paper size, in the layout of the
    // home screen shown (MathPrint or classic).
    QByteArray historyPDF() const;
    // The layouts into a paged device whose first page is open; each new page is asked of
    // the device. The pages drawn.
    int pdfInRect(QPainter& painter, QPagedPaintDevice& device, const QRectF& rect) const;
    int prettyPdfInRect(QPainter& painter, QPagedPaintDevice& device, const QRectF& rect) const;

    // Input and result of the last item on two lines; nothing for an empty history.
    std::optional<std::string> lastCalculation() const;
    // The same as an HTML snippet, its texts escaped; nothing for an empty history.
    std::optional<QString> lastCalculationHTML() const;
    // One page just large enough (at least 320 wide); empty for an empty history.
    QByteArray lastCalculationPDF() const;
    // The picture's size; empty for an empty history.
    QSizeF lastCalculationSize() const;
    // The picture at a point, the input on a lighter band than the answer; nothing for
    // an empty history.
    void drawLastCalculation(QPainter& painter, QPointF at) const;

    // A result line as the PDF shows it: cut to 31 characters and "…" past 32.
    static QString cutLine(const QString& line);

private:
    struct Picture;
    Picture measureLast(const HistoryEntry& item) const;
    void drawPicture(QPainter& painter, QPointF at, const Picture& picture, bool bands) const;
    void decoratePage(QPainter& painter, const QRectF& rect, int page) const;
    QString inputText(const HistoryEntry& item) const;

    Calculator& calc_;
    const HistoryModel& history_;
    std::function<QDateTime()> now_;
};

} // namespace orvenda
