#pragma once

#include "app/ScreenController.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QPushButton;

namespace orvenda {

class AppShell;
class ChemView;
class EntryModel;
class EntryView;
class LcdView;
class VQTableScrollView;

// The chemistry screen (APPS ▸ Chemistry ▸ Mass Calc…): a chemical formula typed on the
// entry line after "formula:", and on ENTER its molar mass and a table of its elements.
// A formula that cannot be read shows error 60 with the cursor at the faulty character
// and leaves the table as it was. The formula stays with the screen while another one is
// in front, which finds the shared entry line empty; one that cannot be read is kept by the
// calculator's saves too, and a launch gives it back. Main thread.
class ChemScreen : public ScreenController {
public:
    using Ops = std::vector<std::uint32_t>;

    ChemScreen(Calculator& calc, AppShell& shell, QWidget* parent = nullptr);

    ChemView& table() const { return *table_; }
    EntryView& entryView() const { return *entryView_; }
    VQTableScrollView& scroller() const { return *scroller_; }
    // The formula kept while the screen is not in front.
    const std::optional<Ops>& savedEntry() const { return saved_; }

    // The op of the line holding the character at a byte index of the line's text (the op
    // count past its end).
    static int opIndexForCharacter(const Calculator& calc, const Ops& ops, int index);

    // ENTER: the typed formula's table, or error 60.
    void enter();

    void updateDisplay() override;
    void focus(bool gained) override;
    QWidget* leaveControl() const override;
    // The line is the formula: nothing more to find it by.
    nlohmann::json typedPlace() const override { return nlohmann::json::object(); }

protected:
    void subscribe() override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    EntryModel* entry() const;
    void reboundScroller();
    // The formula names elements and counts the table can show.
    bool readable(const Ops& formula) const;

    LcdView* lcd_;
    VQTableScrollView* scroller_;
    ChemView* table_;
    EntryView* entryView_;
    QPushButton* done_;
    std::optional<Ops> saved_;
};

} // namespace orvenda
