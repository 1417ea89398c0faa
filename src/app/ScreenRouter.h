#pragma once

#include "app/ScreenController.h"
#include "core/Calculator.h"

#include <QRectF>
#include <QWidget>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace orvenda {

class AppShell;
class Calculator;
class ScreenRegistry;

// The main area under the root controller: the display area at the top, the keyboard
// below it, and one controller per screen (made once, on first use, from the registry)
// in the display area, with the overlays (menus, catalogue, mode screen, pickers) over
// both. It brings the calculator's current screen forward and takes back what the menus,
// the catalogue and the pickers picked. The full-size screens (graph, periodic table,
// statistics tests, geometry) are the root controller's, reached through the Delegate.
//
// A screen plugs in through the registry; the router then sizes it to the display area,
// gives it the focus when it is in front (and takes it from all others), calls
// updateDisplay after bringing it forward and shown() with the show operation's argument.
// Main thread.
class ScreenRouter : public QWidget {
public:
    // What the router asks of the root controller.
    class Delegate {
    public:
        virtual ~Delegate() = default;
        virtual void showGraph(bool show) = 0;
        virtual void showHelp() = 0;
        // The help screen of a token or key code; on a tablet its panel stands by the
        // touched key, given in global coordinates (empty when no key was touched).
        virtual void showFunctionHelp(std::uint32_t /*op*/, QRect /*keyFrame*/) {}
        // A screen of the keyboard area comes to the front: the full-size screen over it goes.
        virtual void closeFullScreens() {}
        // A screen came in front while the debugger's run waits for the user: the debugger
        // stands aside for any other screen, and over its own editor it comes back or
        // stays aside as debuggerStandsAside gives.
        virtual void debuggerFollows(bool /*editorInFront*/) {}
        // The full-size screen of an id the router does not show (nullptr when not made).
        virtual ScreenController* fullScreenOf(int /*id*/) const { return nullptr; }
    };

    struct Frames {
        QRectF display;
        QRectF keyboard;
    };
    // Display and keyboard frames in a router of that size: the tablet's keyboard takes
    // 524·s points (s = min(0.7 H / 524, W / 480)) under a display 33 display-font digits
    // wide; the tall phone's keyboard is W·418/320 high, the display the rest, unless that
    // leaves less than 8 lines of 32 digits. Wider than tall, both keep their upright
    // layout in a column at the window's height, centred (the phone's as wide as the
    // upright phone's proportions give).
    static Frames layoutFrames(QSizeF size, bool tablet);
    // A phone's window of that size on its side: the program debugger stands on the right
    // half, and the display and keyboard keep the left half, so the program's output and
    // the keys stay in sight.
    static bool debuggerBeside(QSizeF size, bool tablet);
    // While the debugger's run waits, the debugger stands aside so that the keyboard in
    // front answers: for a Run's question, menu or pause, and for a Step's question or menu
    // unless the debugger stands beside the keys (where Step answers it).
    static bool debuggerStandsAside(const Calculator& calc, QSizeF size, bool tablet);

    ScreenRouter(Calculator& calc, ScreenRegistry& registry, AppShell& shell, QWidget* parent = nullptr);
    ~ScreenRouter() override;

    void setDelegate(Delegate* delegate) { delegate_ = delegate; }
    // The calculator keyboard's view; a plain panel until one is set. The router owns it.
    void setKeyboard(QWidget* keyboard);
    QWidget& keyboard() const { return *keyboard_; }
    // What takes the computer's keys for what the router shows: the picker in front, or
    // else the keyboard (none before it is set).
    QWidget* keysTaker() const;
    QWidget& displayArea() const { return *display_; }
    QRectF displayRect() const { return frames_.display; }
    QRectF keyboardRect() const { return frames_.keyboard; }
    QRectF menuRect() const { return frames_.display.adjusted(0, 0, 0, frames_.keyboard.height()); }

    // The controller of a screen or overlay id, nullptr before its first show.
    ScreenController* controller(int id) const;
    // A screen made before the app set its factory (the home screen comes forward while
    // the window is built) is made again from the registry, in front if it was.
    void remake(int id);
    // No menu is open (the graph may come forward).
    bool shouldShowGraphView() const;
    // The id of the screen or overlay in front, as drawn (an overlay before the screen
    // under it); -1 when none is shown.
    int frontId() const;
    // The show operation of any screen or overlay id the router knows (a menu opens its
    // first menu), a screen's with that number; false for ids it does not show.
    bool open(int id, int number = 0);

    // ---- Screens ----

    // The show operation of screen n (1 to 7, 9, 10, 12, 14, 17, 19 to 23), with what it
    // hands the screen (the statistics wizard's op, the matrix to edit). Any other number
    // does nothing.
    void showScreen(int n, const ScreenRequest& request = {});
    void showHome();
    // A program waits for its question, menu or pause.
    bool programWaits() const;
    // Where every road home leads: while a program waits, the screen that shows it.
    int homeScreen() const;
    // Makes n the current screen. A screen left with text on its entry line takes that
    // text first (Calculator::setCurrentScreen), so it is brought back from under a menu
    // or the catalogue to hear the ENTER that commits it.
    void setCurrentScreen(int n);
    // The line whose value failed as screen c was left last, back in its field
    // once the screen is shown (taken from the calculator before it was made).
    void giveBackFailedLine(ScreenController& c, std::optional<Calculator::FailedLine> line);
    // The home screen's line back on the entry line when the screen in front types on it
    // again: called once the screens left have taken their own lines (their focus lost); a
    // question's screen keeps the answer typed for it meanwhile.
    void giveHomeLineBack();
    void showProgramOutput();
    // The program output in front (or the debugger's editor), from whatever screen.
    void frontProgramOutput();
    void hideProgramOutput();
    void updateProgramOutput();
    // The program editor with the program of the error.
    void showProgramError(const nlohmann::json& error);
    void showGraphView(bool show);
    void showInfo();
    void showFunctionHelp(std::uint32_t op, QRect keyFrame = {});
    void bringCurrentScreenToFront();
    // nullptr keeps the screen in front as it is.
    void bringControllerToFront(ScreenController* c);
    void loadGeneralView();
    // Redraws the current screen without bringing it forward.
    void displayChanged();
    void updateDisplay();
    void updateKeyboard();
    void updateYEQ();
    // The keyboard area in use (or not): keyboard shown, cursor blink, focus.
    void setActive(bool on);

    // ---- Overlays ----

    void showMenu(int id);
    void showCatalog(const QString& search);
    // The mode screen, user-key catalogue, conversions, the Y= and stat plot colours and
    // the colour picker, with the equation number where there is one.
    void showOverlay(int id, int number = 0);
    // Menus of lists and matrices asked for by a program.
    void getList();
    void getMatrix();
    // An overlay closed (menu cancelled, catalogue done, picker done): the screen back.
    void overlayDone();
    void settingsDone();
    void keyCatalogDone();

    // ---- Picks ----

    void didPickOp(std::uint32_t op);
    void didPickSet(const std::string& name, bool edit);
    void pasteOps(const std::vector<std::uint32_t>& ops);
    void didPickVariable(const std::string& name);
    void saveGDB(const std::string& name);
    void recallGDB(const std::string& name);
    void didPickMatrix(int n, bool edit);
    void editProgram(const std::string& name);
    void executeProgram(const std::string& name);
    void showStatTest(int n);
    void showGeometry(int n);
    void showPeriodicTable();
    void selectClass(int unitClass, int from, int to);
    void selectConstant(int n);
    // Key-set editor done, matrix prompt cancelled, statistics wizard calculated.
    void returnHome();
    void setRowCol(int rows, int cols);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // The pickers over the keyboard take the computer's arrow keys, Return and Escape.
    bool takesKeys(const ScreenController* c) const;
    ScreenController* make(int id);
    // Where an overlay stands: over the display and the keyboard.
    QRect overlayRect(int id) const;
    ScreenController* homeController() const;
    // The controller of the current screen, nullptr for the root's screens.
    ScreenController* currentController();
    void clearEntry();
    void typeName(std::uint32_t command, const std::string& name);
    void layout();

    Calculator& calc_;
    ScreenRegistry& registry_;
    AppShell& shell_;
    Delegate* delegate_ = nullptr;
    QWidget* display_;
    QWidget* keyboard_;
    Frames frames_;
    std::map<int, ScreenController*> controllers_;
};

} // namespace orvenda
