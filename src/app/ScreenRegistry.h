#pragma once

#include <QString>

#include <functional>
#include <map>
#include <vector>

class QWidget;

namespace orvenda {

class Calculator;
class ScreenController;

// Screen numbers (the calculator's currentScreen; 18 is never used) and the ids of the
// overlays and of the views that have no number of their own.
namespace screens {
enum : int {
    Home = 0, YEq = 1, ProgramEditor = 2, MatrixEditor = 3, ListEditor = 4, Table = 5, TableSetup = 6,
    Window = 7, Graph = 8, StatPlots = 9, Solver = 10, ProgramOutput = 11, Finance = 12, PeriodicTable = 13,
    Chemistry = 14, StatTests = 15, Geometry = 16, Format = 17, MatrixPrompt = 19, Polynomial = 20,
    SimulEq = 21, KeySetEditor = 22, StatWizard = 23,
    // The home screen has a classic (one-line) controller beside the MathPrint one (Home).
    ClassicHome = 100,
    // Overlays: they cover the display and the keyboard and keep the screen number.
    Menu, Catalog, KeyCatalog, Conversions, Mode, YEqColor, StatPlotColor, ColorPicker,
    // The root controller's own views.
    Debugger, Help, FunctionHelp,
    // The four-function desk calculator and the CSV preview: overlays too, numbered after
    // the others.
    FourFunction, CSVPreview,
};
}

// Where each screen comes from: a factory per id, set by the app when the screen exists.
// A screen without one is a placeholder that shows its title on an empty display. The
// router and the root controller make each screen once, on first use. Main thread.
class ScreenRegistry {
public:
    // Makes the screen as a child of parent (which owns it).
    using Factory = std::function<ScreenController*(QWidget* parent)>;

    explicit ScreenRegistry(Calculator& calc) : calc_(calc) {}

    void set(int id, Factory factory) { factories_[id] = std::move(factory); }
    ScreenController* make(int id, QWidget* parent) const;
    // The name a placeholder shows ("Y= editor", "Menu", ...).
    static QString title(int id);
    // Every screen and overlay id, in order.
    static std::vector<int> ids();

private:
    Calculator& calc_;
    std::map<int, Factory> factories_;
};

} // namespace orvenda
