#pragma once

#include <QImage>
#include <QWidget>

#include <functional>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class QTimer;

namespace orvenda {

class Calculator;
class ProgramModel;

// The open program's text as the editor and the debugger show it: numbered statement
// lines 32 characters wide with their indentation band and stripes, comments in green
// italics, the selection in yellow with its handles, the bracket pair at the cursor in
// light blue with red ends, and the blinking cursor; in debug mode the breakpoint marks and
// the arrow at the current statement. It scrolls itself (the cursor's line is kept in
// view) and draws only the lines that show, so a long program redraws as fast as a short
// one. A tap moves the cursor (edit mode) or toggles a breakpoint left of the margin
// (debug mode); a long press selects, and the edit actions work on the selection.
// Main thread.
class ProgramEditView : public QWidget {
public:
    enum class Press { Began, Changed, Ended };
    enum class Action { Copy, Cut, Paste, SelectAll, Select };

    ProgramEditView(Calculator& calc, ProgramModel& model, QWidget* parent = nullptr);
    ~ProgramEditView() override;

    void setDebug(bool on);
    bool debug() const { return debug_; }
    double fontSize() const { return fontSize_; }
    double leading() const { return leading_; }
    double leftMargin() const { return leftMargin_; }
    // One character cell's width of the program text.
    double charWidth() const { return charWidth_; }
    // The first screen line shown at the top.
    int firstLine() const { return firstLine_; }
    void setFirstLine(int line);
    // Scrolls so that the cursor's line shows.
    void makeCursorVisible();

    // A tap or a long press at a point of the view.
    void tap(QPointF at);
    void longPress(Press state, QPointF at);
    // The edit actions offered now (as the edit menu lists them) and doing one.
    std::vector<Action> actions() const;
    void perform(Action action);
    // Told after the cursor or the text moved by a touch.
    std::function<void()> changed;
    // During a long press: the point to show in the magnifier (the pressed x on the
    // pressed line's top, in this view), and the press's end.
    std::function<void(QPointF)> magnify;
    std::function<void()> hideMagnify;
    // The help bubble drawn at the last paint: the description shown ("" for none) and
    // its box.
    const QString& bubbleText() const { return bubbleText_; }
    QRectF bubbleRect() const { return bubbleRect_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void setMetrics();
    void drawLine(QPainter& painter, int line, double y);
    void drawHandle(QPainter& painter, double x, double y, bool above) const;
    // The description of the function at the cursor in a rounded grey box pointing at
    // the token's cell, above it or below when there is no room above.
    void drawBubbleAt(QPainter& painter, const QRectF& cell, const QString& text);
    void showEditMenu(QPointF at);
    int lineAt(double y) const;

    Calculator& calc_;
    ProgramModel& model_;
    bool debug_ = false;
    double scale_ = 1;
    double fontSize_ = 14;
    double leading_ = 15;
    double leftMargin_ = 2;
    double arrowSize_ = 30;
    double charWidth_ = 8;
    int firstLine_ = 0;
    int pairFrom_ = -1;
    int pairTo_ = -1;
    QString bubbleText_;
    QRectF bubbleRect_;
    QTimer* pressTimer_;
    bool tracking_ = false;
    int trackDirection_ = 0;
    QPointF pressAt_;
    QImage stopMark_;
    // Names drawn, by opcode: a redraw formats none again.
    mutable std::unordered_map<std::uint32_t, QString> names_;
    const QString& nameOf(std::uint32_t op) const;
};

} // namespace orvenda
