// The program library's notes page and its listing export, with a page and a sharer that
// write down what the menu asks of them.

#include "InputTestSupport.h"

#include "input/ProgramNotesPage.h"

#include <QDir>
#include <QPushButton>
#include <QTabBar>

namespace orvenda::test {
namespace {

class FakeNotesPage : public ProgramNotesPage {
public:
    using ProgramNotesPage::ProgramNotesPage;
    void setProgramName(const std::string& name) override
    {
        calls.push_back("load " + name);
        name_ = name;
    }
    void allowEditing(bool editing, bool animate) override
    {
        calls.push_back(std::string(editing ? "edit" : "preview") + (animate ? " animated" : ""));
        editing_ = editing;
    }
    void done() override { calls.push_back("done"); }
    const std::string& programName() const override { return name_; }
    bool editing() const override { return editing_; }
    QString notesText() const override { return {}; }
    const QString& shownHtml() const override { return html_; }

    std::vector<std::string> calls;

private:
    std::string name_;
    bool editing_ = false;
    QString html_;
};

class LibraryNotesTest : public MenuTest {
protected:
    LibraryNotesTest()
    {
        auto view = std::make_shared<FakeView>();
        calc.viewDelegate = view;
        errors = view;
        auto files = std::make_shared<ProgramFiles>(programsDir());
        QDir().mkpath(programsDir());
        EXPECT_EQ(files->createProgram("MINE", "", "my notes", "maths"), ProgramManager::Added::Added);
        EXPECT_EQ(files->createProgram("LOCKED", "closed", "", ""), ProgramManager::Added::Added);
        EXPECT_TRUE(files->setFlags(ProgramManager::kProtected, "LOCKED"));
        menu->makeNotesPage = [this](QWidget* parent) { return page = new FakeNotesPage(parent); };
        menu->exportListing = [this](const std::string& name) { exported.push_back(name); };
        menu->setProgramType(1);
    }
    ~LibraryNotesTest() override { calc.viewDelegate = nullptr; }

    MenuScreen::Place rowOf(const std::string& name) const
    {
        for (int s = 0; s < static_cast<int>(menu->sections().size()); ++s)
            for (int r = 0; r < static_cast<int>(menu->sections()[s].rows.size()); ++r)
                if (menu->sections()[s].rows[r].name == name)
                    return {s, r};
        return {};
    }

    std::shared_ptr<FakeView> errors;
    FakeNotesPage* page = nullptr;
    std::vector<std::string> exported;
};

TEST_F(LibraryNotesTest, ExecTabShowsTheNotesToReadAndSharesTheListing)
{
    menu->showMenu(6);
    const MenuScreen::Place mine = rowOf("MINE");
    ASSERT_TRUE(mine.valid());
    // A program without a description still carries the accessory that opens its page.
    EXPECT_FALSE(menu->sections()[mine.section].rows[mine.row].detail.isEmpty());
    menu->openNotes(mine);
    ASSERT_TRUE(page);
    EXPECT_TRUE(menu->notesShown());
    EXPECT_EQ(page->calls, (std::vector<std::string>{"load MINE", "preview"}));
    EXPECT_EQ(menu->barTitle(), "MINE");
    EXPECT_TRUE(menu->notesModes().isHidden());
    // The library's filters filter nothing here: the page takes their place.
    EXPECT_FALSE(menu->tagButton().isVisibleTo(menu.get()));
    EXPECT_EQ(page->geometry().top(), 40);
    EXPECT_EQ(page->geometry().bottom(), menu->height() - 1);
    ASSERT_FALSE(menu->listingButton().isHidden());
    const_cast<QPushButton&>(menu->listingButton()).click();
    EXPECT_EQ(exported, (std::vector<std::string>{"MINE"}));

    // Escape goes back to the list; the page saves what it shows.
    hardware(Qt::Key_Escape);
    EXPECT_FALSE(menu->notesShown());
    EXPECT_EQ(page->calls.back(), "done");
    EXPECT_TRUE(menu->tagButton().isVisibleTo(menu.get()));
    EXPECT_TRUE(menu->isVisible() || !menu->isHidden());
    EXPECT_EQ(menu->barTitle(), "");
}

TEST_F(LibraryNotesTest, EditTabEditsWithPreviewAndEditAndReadsTheNamesAgain)
{
    menu->showMenu(6);
    menu->selectTab(1);
    menu->openNotes(rowOf("MINE"));
    ASSERT_TRUE(page);
    EXPECT_EQ(page->calls.back(), "edit");
    EXPECT_FALSE(menu->notesModes().isHidden());
    EXPECT_EQ(menu->notesModes().currentIndex(), 1);
    EXPECT_TRUE(menu->listingButton().isHidden());
    menu->userNoteDoEdit(0);
    EXPECT_EQ(page->calls.back(), "preview animated");
    menu->userNoteDoEdit(1);
    EXPECT_EQ(page->calls.back(), "edit animated");
    // A description saved on the page shows when the list comes back.
    ProgramFiles(programsDir()).setDesc("now described", "MINE");
    menu->popNotes();
    const MenuScreen::Place mine = rowOf("MINE");
    EXPECT_EQ(menu->sections()[mine.section].rows[mine.row].detail, "now described");
    // Opening another menu leaves the page too.
    menu->openNotes(mine);
    menu->showMenu(4);
    EXPECT_FALSE(menu->notesShown());
}

// The bar's title is the program's name, whole, in the least window too, where the list's
// tabs it hides would leave it no room; opened there and after a resize to it.
TEST_F(LibraryNotesTest, TheNotesPagesTitleIsWholeInTheLeastWindow)
{
    menu->show();
    for (const bool resized : {false, true}) {
        menu->resize(resized ? 390 : 320, 700);
        menu->showMenu(6);
        menu->openNotes(rowOf("MINE"));
        menu->resize(320, 700);
        QApplication::sendPostedEvents();
        EXPECT_EQ(menu->titleLabel().text(), "MINE") << (resized ? "resized" : "opened") << " at 320";
        menu->popNotes();
    }
}

TEST_F(LibraryNotesTest, AProtectedProgramsListingIsRefusedWith84)
{
    menu->showMenu(6);
    menu->openNotes(rowOf("LOCKED"));
    const_cast<QPushButton&>(menu->listingButton()).click();
    EXPECT_TRUE(exported.empty());
    ASSERT_EQ(errors->errors.size(), 1u);
    EXPECT_EQ(errors->errors[0]["errorNum"], 84);
}

TEST_F(LibraryNotesTest, WithoutASharerOrAPageTheControlsStayHidden)
{
    menu->exportListing = nullptr;
    menu->showMenu(6);
    menu->openNotes(rowOf("MINE"));
    EXPECT_TRUE(menu->listingButton().isHidden());
    menu->popNotes();
    menu->makeNotesPage = nullptr;
    menu->showMenu(6);
    const MenuScreen::Place mine = rowOf("MINE");
    EXPECT_TRUE(menu->sections()[mine.section].rows[mine.row].detail.isEmpty());
    menu->openNotes(mine);
    EXPECT_FALSE(menu->notesShown());
}

} // namespace
} // namespace orvenda::test
