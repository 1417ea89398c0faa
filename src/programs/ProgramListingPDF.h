#pragma once

#include <QByteArray>
#include <QRectF>
#include <QString>

#include <memory>
#include <string>
#include <vector>

class QPainter;

namespace orvenda {

class Calculator;
class ProgramFiles;
class ProgramModel;

// A program as a printable PDF document: its user notes first (text in Times, each
// "<screenShot>" block as a light green framed box in Courier), then the listing, 10-point
// Courier lines indented as the editor indents them, comments in italics. Pages are the
// calculator's paper size; each listing page has the program's name on top; every page but
// the document's first is numbered "-n-" at its foot. A listing that fits one page and has
// no notes gets the footer's room (12 points) as well.
//
// The document is laid out by a program manager of its own (the editor's open program,
// its layout and undo are not touched), after the editor has saved what it holds. Main
// thread.
class ProgramListingPDF {
public:
    // Page geometry (points).
    static constexpr double kMargin = 36;
    static constexpr double kContentTop = 56;
    static constexpr double kLinePitch = 10;
    static constexpr double kNotesPitch = 12;
    // Characters across a screen block.
    static constexpr int kBlockColumns = 33;

    struct Line {
        int index = 0;
        QPointF at;
    };
    struct NotesItem {
        // A text word, or a screen block's line, drawn with its box's top-left at `at`.
        QString text;
        QPointF at;
        bool block = false;
    };
    struct NotesPage {
        std::vector<NotesItem> items;
        std::vector<QRectF> boxes;
    };

    ProgramListingPDF(Calculator& calc, std::shared_ptr<const ProgramFiles> files);
    ~ProgramListingPDF();
    ProgramListingPDF(const ProgramListingPDF&) = delete;
    ProgramListingPDF& operator=(const ProgramListingPDF&) = delete;

    // Loads the named program into the private manager; false when there is none.
    bool load(const std::string& name);
    const ProgramModel& model() const { return *model_; }

    // The whole document of the loaded program.
    QByteArray programPDF();
    // The named program's document written to a file: 0, 84 for a protected program, 70
    // when there is no such program or the file cannot be written.
    int writeProgramPDF(const std::string& name, const QString& path);

    // ---- Layout (exposed for the tests and for printing) ----

    QRectF pageRect() const;
    QRectF contentRect(bool tallSinglePage) const;
    // Lays the listing out at the width of the rectangle; its number of pages.
    int numberOfPages(const QRectF& content);
    int linesPerPage(const QRectF& content) const;
    // The listing lines of a page and where each starts.
    std::vector<Line> pageLines(int page, const QRectF& content) const;
    // The notes pages; none without notes.
    std::vector<NotesPage> notesPages(const QRectF& content) const;
    // Whether the document is one listing page without notes (the taller content).
    bool singlePage();

private:
    void drawListingPage(QPainter& painter, int page, const QRectF& content) const;

    Calculator& calc_;
    std::unique_ptr<ProgramModel> model_;
};

} // namespace orvenda
