#include "app/ScreenRegistry.h"

#include "app/PlaceholderScreen.h"

namespace orvenda {

ScreenController* ScreenRegistry::make(int id, QWidget* parent) const
{
    const auto found = factories_.find(id);
    if (found != factories_.end() && found->second)
        if (ScreenController* screen = found->second(parent))
            return screen;
    return new PlaceholderScreen(calc_, title(id), parent);
}

namespace {

const std::map<int, const char*>& titles()
{
    static const std::map<int, const char*> kTitles = {
        {screens::Home, "Home"}, {screens::ClassicHome, "Home"}, {screens::YEq, "Y= editor"},
        {screens::ProgramEditor, "Program editor"}, {screens::MatrixEditor, "Matrix editor"},
        {screens::ListEditor, "List editor"}, {screens::Table, "Table"}, {screens::TableSetup, "Table setup"},
        {screens::Window, "Window"}, {screens::Graph, "Graph"}, {screens::StatPlots, "Stat plots"},
        {screens::Solver, "Equation solver"}, {screens::ProgramOutput, "Program output"},
        {screens::Finance, "Finance"}, {screens::PeriodicTable, "Periodic table"},
        {screens::Chemistry, "Chemistry"}, {screens::StatTests, "Statistics tests"},
        {screens::Geometry, "Geometry"}, {screens::Format, "Format"},
        {screens::MatrixPrompt, "Matrix dimensions"}, {screens::Polynomial, "Polynomial roots"},
        {screens::SimulEq, "Simultaneous equations"}, {screens::KeySetEditor, "Key set editor"},
        {screens::StatWizard, "Statistics wizard"}, {screens::Menu, "Menu"}, {screens::Catalog, "Catalog"},
        {screens::KeyCatalog, "User keys"}, {screens::Conversions, "Conversions"}, {screens::Mode, "Mode"},
        {screens::YEqColor, "Equation colour"}, {screens::StatPlotColor, "Stat plot colour"},
        {screens::ColorPicker, "Colour"}, {screens::Debugger, "Debugger"}, {screens::Help, "Info"},
        {screens::FunctionHelp, "Function help"}, {screens::FourFunction, "Four-function calculator"},
        {screens::CSVPreview, "CSV preview"},
    };
    return kTitles;
}

} // namespace

QString ScreenRegistry::title(int id)
{
    const auto found = titles().find(id);
    return found == titles().end() ? QString() : QString::fromLatin1(found->second);
}

std::vector<int> ScreenRegistry::ids()
{
    std::vector<int> all;
    for (const auto& [id, title] : titles())
        all.push_back(id);
    return all;
}

} // namespace orvenda
