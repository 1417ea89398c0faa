#pragma once

#include "app/LineScroll.h"
#include "app/ScreenController.h"
#include "apps/PolyModel.h"
#include "apps/PrettyFields.h"

#include <QString>

#include <memory>

class QPainter;
class QPushButton;

namespace orvenda {

class AppShell;
class DrawObject;
class LcdView;
class SegmentedControl;

// The polynomial root finder: the degree (state 0), the coefficients a(n)…a(0) (1), the
// zeros (2) and the store form (3), one line per field, the typed entry line shown on the
// current line. ENTER and the arrows commit what was typed; the menu under the lines
// changes with the state (DEGR COEF CLR LOAD SOLVE, GRAPH STO, CANCEL SAVE). Main thread.
class PolyScreen : public ScreenController {
public:
    PolyScreen(Calculator& calc, AppShell& shell, QWidget* parent = nullptr);

    int state() const;
    int currentLine() const { return line_; }
    int lineCount() const;
    // The label and value of a line as drawn, the value in mark-up.
    QString label(int line) const;
    QString value(int line) const;
    QString banner() const;
    // The polynomial's terms in mark-up after the banner's title ("a<s2>x<S2>+a<s1>x+a<s0>"),
    // the middle ones written "…" from degree 8 on.
    QString equation() const;
    static QString equationOfDegree(int degree);
    // LOAD waits for a list picked from the list menu.
    bool loadingList() const { return loadingList_; }
    const SegmentedControl& menu() const { return *menu_; }
    void menuChange(int segment);

    void updateDisplay() override;
    void focus(bool gained) override;
    QWidget* leaveControl() const override;
    nlohmann::json typedPlace() const override { return {{"state", state()}, {"line", line_}}; }
    void restoreTypedPlace(const nlohmann::json& place) override;
    QRect cursorRect() const override;

    // The keys, as the keyboard's notifications deliver them.
    void enter();
    void cursorUp();
    void cursorDown();
    // RIGHT on a line with nothing typed: its value into the entry line, to be edited.
    void cursorRight();

    // The lines' text size: the phone's 18 points, a tablet's larger by 22 to 15.
    double fontSize() const;

protected:
    void subscribe() override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The lines are drawn over the display's background, in its paint.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void paintLines(QPainter& painter);
    void changeState(int state);
    // Commits the typed text to the current field: 0, an error number to show, or -1 when
    // the text did not evaluate (its error was shown and the text stays).
    int getEntry();
    bool typed() const;
    void clearEntry();
    void showError(int error);
    int lineAt(double y) const;
    // The lines' first top and how many show whole above the menu.
    double linesTop() const;
    int linesShown() const;
    bool pretty() const;
    // The MathPrint lines laid out in fields_, each as tall as its formula.
    void layoutFields() const;
    // The room for the lines above the menu.
    double linesRoom() const;
    // The first line shown, scrolled so that the current line shows.
    int firstShown() const;
    // A line's field value as the entry line takes it (RIGHT) and MathPrint draws it.
    std::vector<std::uint32_t> valueOps(int line) const;
    // The list picked for LOAD, on the entry line when the screen has the focus again.
    void finishLoad();

    AppShell& shell_;
    PolyModel model_;
    LcdView* lcd_;
    QPushButton* done_;
    SegmentedControl* menu_;
    int line_ = 0;
    mutable LineScroll scroll_;
    mutable PrettyFields fields_;
    std::string coefName_ = PolyModel::kCoefficients;
    std::string zeroName_ = PolyModel::kZeros;
    double equation_ = 1;
    bool loadingList_ = false;
    // The polynomial GRAPH drew last, replaced by the next.
    std::shared_ptr<DrawObject> drawn_;
};

} // namespace orvenda
