#pragma once

#include <QByteArray>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <memory>
#include <string>
#include <vector>

class QPainter;

namespace orvenda {

class Calculator;
class GraphicsContext;
class ProgramFiles;
class ProgramModel;

// The diagnostics report that goes with a support mail: one dense page of the calculator's
// whole state (version, device, every setting, the Y= equations, the stat plots, the
// variables and strings, the entry lines and the history) in 6-point Courier columns,
// then the listing of the last program used, two columns a page. Pages are US Legal made
// 1.25 times wider (765 × 1008 points), headed "Orvenda Diagnostics", each numbered from 0
// with the date and time at its foot and bordered.
//
// The listing is laid out by a program manager of the report's own: the editor's open
// program, its layout and undo are as they were afterwards. Main thread.
class DiagnosticsReport {
public:
    static constexpr double kPageWidth = 612 * 1.25;
    static constexpr double kPageHeight = 1008;
    static constexpr double kPitch = 6;
    static constexpr int kColumnCharacters = 32;

    // A line of text as drawn, on its page (page points).
    struct Written {
        int page = 0;
        QString text;
        QPointF at;
    };

    DiagnosticsReport(Calculator& calc, std::shared_ptr<const ProgramFiles> files);
    ~DiagnosticsReport();
    DiagnosticsReport(const DiagnosticsReport&) = delete;
    DiagnosticsReport& operator=(const DiagnosticsReport&) = delete;

    QByteArray diagnosticPDF();
    // The report written to a file: 0, or 70 when it cannot be written.
    int writeDiagnosticPDF(const QString& path);

    static QRectF contentRect() { return {18, 38, kPageWidth - 36, kPageHeight - 76}; }
    // The settings lines at the top of the first page.
    std::vector<std::string> settingsLines() const;
    // What the last report drew.
    const std::vector<Written>& written() const { return written_; }

private:
    struct Cursor;
    void drawPage1(GraphicsContext& context, const QRectF& rect);
    // Draws listing page n; true when it reached the program's last line.
    bool drawProgram(GraphicsContext& context, const QRectF& rect, int page);
    void write(GraphicsContext& context, const QString& text, QPointF at, bool italic = false);
    double charWidth() const;

    Calculator& calc_;
    std::unique_ptr<ProgramModel> model_;
    std::vector<Written> written_;
    int page_ = 0;
};

} // namespace orvenda
