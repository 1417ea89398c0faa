#pragma once

#include "pretty/LayoutManager.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class QPainter;

namespace orvenda {

class AppShell;
class Calculator;
class PrettyPrint;
class VQColor;
class YEqModel;

// The equations of the graph mode as a column of rows: an on/off button, the style icon,
// each equation's label and its text with the cursor (one-line or MathPrint). Touches
// switch equations on and off, ask for the colour picker or place the cursor. The view
// covers the visible part of the content only and draws it from the scroll offset; all
// state is read from the model at drawing time. Main thread.
class YEqView : public QWidget {
public:
    // x of the equation labels; the button and the style icon are left of it.
    static constexpr double kLeftEdge = 86;
    // Touches left of this switch the equation; from here to kLeftEdge pick its colour.
    static constexpr double kButtonEdge = 36;
    static constexpr double kMinRowHeight = 32;

    class Delegate {
    public:
        virtual ~Delegate() = default;
        virtual void pickColorForEqNum(int token) = 0;
    };

    YEqView(Calculator& calc, AppShell& shell, YEqModel& model, QWidget* parent = nullptr);
    ~YEqView() override;

    void setDelegate(Delegate* delegate) { delegate_ = delegate; }
    double fontSize() const { return fontSize_; }
    double leading() const { return leading_; }

    // The rows' frames from the top, for the graph mode; returns the content size.
    QSizeF layoutFrames();
    int rowCount() const { return static_cast<int>(rows_.size()); }
    // A row's frame; in MathPrint, the current equation's row is narrowed to its cursor
    // so that scrolling to it shows the cursor. Empty for a row that is not there.
    QRectF frameForIndex(int row) const;
    // A touch at a point of the content: switches, picks a colour or places the cursor.
    // Returns the touched row's frame (the last row's when none is touched).
    QRectF touchAt(QPointF point);
    // The content point at the view's top left.
    void setOffset(QPointF offset);
    QPointF offset() const { return offset_; }

    // The style sample, 40 × 24 at `at`, over the background colour.
    static void drawGraphStyle(QPainter& painter, int style, QPointF at, const VQColor& color, const QColor& background);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct Line {
        int token = 0;
        QString label;
        // From the row's top.
        double top = 0;
        double height = 0;
        // MathPrint: the text's top-left from the row's top left, and its baseline.
        QPointF origin;
        double baseline = 0;
    };
    struct Row {
        QRectF frame;
        std::vector<Line> lines;
        double labelWidth = 0;
    };

    int graphMode() const;
    QString label(int token, int line) const;
    // The MathPrint engine, made on first use.
    PrettyPrint& printer() const;
    void layoutClassic(Row& row, double width);
    void layoutPretty(Row& row, double width);
    void drawRow(QPainter& painter, const Row& row);
    void drawButton(QPainter& painter, QPointF at, bool on) const;
    void placeCursor(const Row& row, QPointF point);

    Calculator& calc_;
    AppShell& shell_;
    YEqModel& model_;
    Delegate* delegate_ = nullptr;
    double fontSize_;
    double leading_;
    LayoutManager layout_;
    mutable std::unique_ptr<PrettyPrint> printer_;
    std::vector<Row> rows_;
    QPointF offset_;
};

} // namespace orvenda
