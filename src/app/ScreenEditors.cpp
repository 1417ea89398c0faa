#include "app/ScreenEditors.h"

#include "app/EntryModel.h"
#include "app/HistoryModel.h"
#include "core/Calculator.h"
#include "core/services/ProgramManager.h"
#include "core/services/YEqManager.h"

namespace orvenda {

namespace {

constexpr int kYEqScreen = 1;
constexpr int kProgramEditor = 2;

bool withoutEditor(int screen) { return screen == 9 || screen == 13 || (screen >= 17 && screen <= 19); }

} // namespace

ScreenEditors::ScreenEditors(Calculator& calc)
    : calc_(calc)
{
}

EntryModel* ScreenEditors::entry() const { return dynamic_cast<EntryModel*>(calc_.entryManager.get()); }

HistoryModel* ScreenEditors::history() const { return dynamic_cast<HistoryModel*>(calc_.historyManager.get()); }

LineEditor* ScreenEditors::yEq() const { return dynamic_cast<LineEditor*>(calc_.yEqManager.get()); }

LineEditor* ScreenEditors::program() const { return dynamic_cast<LineEditor*>(calc_.prgmManager.get()); }

bool ScreenEditors::debugging() const { return calc_.prgmManager && calc_.prgmManager->debug(); }

LineEditor* ScreenEditors::programOrEntry() const { return debugging() ? entry() : program(); }

LineEditor* ScreenEditors::editorFor(int screen) const
{
    if (screen == kYEqScreen)
        return yEq();
    if (screen == kProgramEditor)
        return program();
    if (screen < 0 || screen > 23 || withoutEditor(screen))
        return nullptr;
    return entry();
}

LineEditor* ScreenEditors::editorInFront() const
{
    // The debugger's line is its question's answer: what is typed, deleted and cleared.
    return calc_.currentScreen() == kProgramEditor ? programOrEntry() : editorFor(calc_.currentScreen());
}

void ScreenEditors::clear() const
{
    if (LineEditor* editor = editorInFront())
        editor->clear();
}

} // namespace orvenda
