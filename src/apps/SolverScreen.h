#pragma once

#include "app/LineScroll.h"
#include "app/ScreenController.h"
#include "apps/PrettyFields.h"
#include "apps/SolverModel.h"

class QPainter;
class QPushButton;

namespace orvenda {

class AppShell;
class LcdView;

// The equation solver: "eqn:0=" and the equation on line 0, a line per variable it uses,
// then the two bounds. SOLVE finds the variable of the current line from its value and
// marks the line, "left-rt" showing the equation's value there; ENTER on that line again
// re-evaluates it. PLOT graphs the equation against the line's variable around its value.
// Main thread.
class SolverScreen : public ScreenController {
public:
    SolverScreen(Calculator& calc, AppShell& shell, QWidget* parent = nullptr);

    int currentLine() const { return line_; }
    int lineCount() const { return model_.lineCount(); }
    int resultLine() const { return resultLine_; }
    double residual() const { return residual_; }
    // A line as it reads ("X=1.414213562").
    QString lineText(int line) const;
    QString leftRtText() const;
    // Whether "left-rt" is drawn in view, with the result it belongs to.
    bool leftRtShown() const;
    // The lines' text size: the phone's 18 points, a tablet's larger by 22 to 15.
    double fontSize() const;

    void solve();
    void plot();
    void selectLine(int line);

    void updateDisplay() override;
    void focus(bool gained) override;
    QWidget* leaveControl() const override;
    nlohmann::json typedPlace() const override { return {{"line", line_}}; }
    void restoreTypedPlace(const nlohmann::json& place) override;
    QRect cursorRect() const override;

protected:
    void subscribe() override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The lines are drawn over the display's background, in its paint.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void paintLines(QPainter& painter);
    // Commits the typed text; false when it did not evaluate (its error shown, text kept).
    bool getEntry();
    // Shows the equation's error with its place marked on line 0; true when it compiles.
    bool validEquation();
    void loadEntry();
    bool typed() const;
    void enter();
    void moveTo(int line);
    QString label(int line) const;
    // SOLVE's and PLOT's height: lower on a short display, so that two lines show.
    double buttonHeight() const;
    bool pretty() const;
    // The rows drawn: the lines and, while a result shows, "left-rt": after the last line,
    // or right under the result's line where the lines between would push it out of view.
    // One-line rows are all as tall; MathPrint lines as tall as their formulas.
    struct Rows {
        std::vector<double> heights;
        int leftRt = -1;
        // The room between the banner and the buttons, and the first row shown in it,
        // scrolled so that the current line shows, and "left-rt" with it while a result
        // shows.
        double room = 0;
        int first = 0;
    };
    Rows rows() const;
    // The MathPrint lines laid out in fields_.
    void layoutFields() const;
    double linesTop() const;
    int rowOf(const Rows& rows, int line) const;
    // The line of a row; -1 for the left-rt row.
    int lineAtRow(const Rows& rows, int row) const;
    double rowTop(const Rows& rows, int row) const;

    AppShell& shell_;
    SolverModel model_;
    LcdView* lcd_;
    QPushButton* done_;
    QPushButton* solve_;
    QPushButton* plot_;
    int line_ = 0;
    mutable LineScroll scroll_;
    mutable PrettyFields fields_;
    int resultLine_ = -1;
    int solveLine_ = -1;
    bool solving_ = false;
    double residual_ = 0;
};

} // namespace orvenda
