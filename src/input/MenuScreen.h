#pragma once

#include "app/AlertQueue.h"
#include "app/ScreenController.h"
#include "input/MenuTables.h"
#include "input/SharedTabBar.h"
#include "platform/ShareRequest.h"
#include "core/services/ProgramManager.h"
#include "input/TagSelector.h"
#include "input/TablePlace.h"

#include <QColor>
#include <QFont>
#include <QRect>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QLabel;
class QPushButton;
class QTabBar;

namespace orvenda {

class AboutPage;
class AddProgramForm;
class AddUserFnDialog;
class PageSlide;
class ProgramNotesPage;
class AppShell;
class HelpPage;
class MenuViewDelegate;
class SectionTable;

// The one pop-up menu overlay: a tab bar, a list of rows in sections, and a pushed help
// page. showMenu() fills it with a menu's tabs (the fixed token and text lists, or the
// names of lists, matrices, graph databases, programs and Y-variables, built when shown);
// a pick goes to the delegate as a token, a name, a matrix, a program or a screen. The
// PRGM menu outside the program editor is the program library: run or edit, add and
// delete programs, by letter or by tag, filtered by type and tag: the stored programs are the
// calculator's program manager's (none without one). Rows are picked by touch, by the
// calculator keypad (processKeyOp) and by the computer's keys. Main thread.
class MenuScreen : public ScreenController, public TagSelectorDelegate {
public:
    struct Row {
        // The row's token; 0 for text and name rows.
        std::uint32_t token = 0;
        // A name row's name, a text row's text.
        std::string name;
        QString key;
        QString title;
        QString detail;
        // Colour rows: painted in their colour, their text in ink.
        std::optional<QColor> fill;
        QColor ink;
    };
    struct Section {
        QString title;
        std::vector<Row> rows;
    };
    using Place = TablePlace;

    MenuScreen(Calculator& calc, AppShell& shell, QWidget* parent = nullptr);
    ~MenuScreen() override;

    void setDelegate(MenuViewDelegate* delegate) { delegate_ = delegate; }
    // A delegate the menu keeps.
    void setDelegate(std::unique_ptr<MenuViewDelegate> delegate);
    // Messages for the user (a program that could not be added, a help page not written).
    std::function<void(const QString& message)> tell;
    // Where help pages are written before they are shared.
    QString helpFolder;
    // Where the questions of clearing memory and restoring defaults go (the window's alerts).
    std::function<void(AlertQueue::Alert)> ask;
    // Makes the program library's notes page (made once, on first use); without it a
    // library row has no notes page.
    std::function<ProgramNotesPage*(QWidget* parent)> makeNotesPage;
    // Shares a program's listing document under its name (the share sheet's); without it
    // the notes page offers no sharing.
    std::function<void(const std::string& name)> exportListing;
    // The share sheet a share request is shown in.
    std::function<void(const ShareRequest& request)> presentShare;
    // The photo library's picker: the picture file chosen, "" when cancelled. Without it
    // "Photo…" only closes the menu.
    std::function<QString(QWidget* parent)> choosePicture;
    // Where a chosen picture goes in the graph view: the frame it is made to cover. Without
    // it the picture covers the graph at the size the graph view last had.
    std::function<QRect()> pictureFrame;

    void shown(const ScreenRequest& request) override { showMenu(request.number); }
    void focus(bool gained) override;

    void showMenu(int id);
    void selectTab(int tab);
    // A calculator-keypad key while the menu is open.
    void processKeyOp(std::uint32_t op);
    void pickRow(Place place);
    void select(Place place);
    // The row's help page, pushed over the list (in the program library the program's
    // notes page); popHelp() goes back.
    void openHelp(Place place);
    void popHelp();
    bool helpShown() const { return helpShown_; }
    // MEM ▸ About…: the about page over the list; closeAbout() goes back.
    void showAbout();
    void closeAbout();
    bool aboutShown() const { return aboutShown_; }
    const AboutPage* aboutPage() const { return about_; }
    // MEM ▸ Reset… ▸ All memory… and Defaults…: an OK/Cancel question; OK resets and
    // closes the menu, Cancel leaves everything as it was.
    void clearAllMemory();
    void clearToDefaults();
    void confirmReset(const QString& title, const QString& message, std::function<void()> reset);
    // The user menu's form that keeps the entry line as an item of the menu shown.
    // The entry line holds tokens a user menu could keep.
    bool lineToAdd() const;
    // "+" shows for the library and the user menus, enabled only when it has something to add.
    void updateAddButton();
    void openUserFnForm();
    AddUserFnDialog* userFnForm() const { return userFnForm_; }
    // The form saved: the entry line becomes an item named name.
    void addUserFnNamed(const std::string& name);
    // ---- Sharing ----

    // The SHARE menus' rows picked so far, in the order picked (a second pick takes a row
    // back).
    const std::vector<Place>& shareSelection() const { return shareOrder_; }
    // Send: the selection as a share request from the delegate, shown in the share sheet;
    // a locked program reports error 84 and ends the collection (those before it are still
    // shared). Nothing selected, or nothing to share, closes the menu.
    void sendItems();
    const QPushButton& sendButton() const { return *send_; }

    // Escape: back from the help page, else cancel.
    void doEscape();
    // Closes without a pick (the window, statistics, table, string and graph-database
    // variable menus go back to VARS).
    void cancel();

    int currentMenu() const { return currentMenu_; }
    int currentTab() const { return tab_; }
    MenuTables::List currentList() const { return list_; }
    QStringList tabTitles() const;
    // The bar's title in full (the label may show it shortened) and the label itself.
    QString barTitle() const;
    const QLabel& titleLabel() const { return *title_; }
    const QTabBar& tabBar() const { return *tabs_; }
    const std::vector<Section>& sections() const { return sections_; }
    // Where a row of the list shown is drawn, in this screen's coordinates; empty when the
    // row is not in sight.
    QRect rowRect(Place p) const;
    Place selection() const { return selected_; }
    // The side index of the list shown: "A" to "Z" beside names in letter sections, the
    // tags cut to 4 characters beside the library's tag sections, none for other lists.
    QStringList indexTitles() const;
    // An index entry pressed: its section comes to the top of the list.
    void jumpToIndex(int entry);
    // Where an index entry is drawn, in this screen's coordinates; empty when none shows.
    QRect indexEntryRect(int entry) const;
    // The title of the section at the top of the list.
    QString topSectionTitle() const;
    const HelpPage& help() const { return *help_; }
    const QPushButton& cancelButton() const { return *cancel_; }
    const QPushButton& addButton() const { return *add_; }
    QWidget* leaveControl() const override;

    // ---- Program library ----

    // The row's program's notes page pushed over the list: editable on the EDIT tab (with
    // "Preview" and "Edit" to switch), else read with a share button for its listing.
    void openNotes(Place place);
    // Back to the list: the page saves what it shows; on the EDIT tab the names are read
    // again (a description may have changed).
    void popNotes();
    bool notesShown() const { return notesShown_; }
    ProgramNotesPage* notesPage() const { return notesPage_; }
    // "Preview" (0) or "Edit" (1) of the notes page on the EDIT tab.
    void userNoteDoEdit(int segment);
    // The listing of a program shared; a protected program reports error 84 instead.
    void printListing(const std::string& name);
    const QTabBar& notesModes() const { return *notesModes_; }
    const QPushButton& listingButton() const { return *listing_; }

    bool showsLibrary() const;
    // 0 by letter, 1 by tag.
    void setLibraryLayout(int layout);
    // Rereads the programs of the current type: the names shown (sorted, filtered by
    // the selected tag), the tags offered ("Show All" first) and the tag sections (all
    // programs of the type, unfiltered).
    void updateProgramNames();
    // 0 all programs, 1 the user's own, 2 the sample programs; rebuilds the names.
    void setProgramType(int type);
    int programType() const { return prgmType_; }
    const std::string& selectedTag() const { return prgmSelectedTag_; }
    const std::vector<std::string>& programNames() const { return prgmNames_; }
    QString tagButtonTitle() const;
    // The tag filter's button: it takes the filter bar's room after the two selectors, and
    // never less than this.
    static constexpr int kMinTagButtonWidth = 56;
    const QPushButton& tagButton() const { return *tagButton_; }
    // Opens the tag picker on the selected tag (full size on a phone, a panel by the tag
    // button on a tablet); made on first use.
    void showTagSelector();
    // Where the tag picker stands at the menu's size: the whole menu on a phone, a panel
    // below the tag button on a tablet.
    void placeTagSelector();
    TagSelector* tagSelector() const { return tagSelector_; }
    std::vector<std::string> tagNames() const override { return prgmTags_; }
    void didSelectTag(const std::string& tag, int type) override;
    void tagSelectorDidCancel() override;
    // A key while the tag picker shows is the picker's (ON still stops a run); false when
    // it does not show.
    bool tagSelectorTakes(std::uint32_t op);
    // The New form's program: made through the program manager, then opened in the editor;
    // what went wrong is told.
    ProgramManager::Added addProgram(const std::string& name, const std::string& desc, const std::string& notes,
        const std::string& tags);
    // The New form (made at its first opening).
    AddProgramForm* addForm() const { return addForm_; }
    // The user's message for what adding a program came to ("" when it was added).
    static QString message(ProgramManager::Added result, const std::string& name);
    // Only user programs (names of at most 8 characters) can be deleted.
    static constexpr std::size_t kDeletableLength = 8;
    // Deletes what the row names (a list, a matrix's cells, a graph database, a program)
    // where that may be deleted; false otherwise.
    bool deleteRow(Place place);
    bool canDelete(Place place) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setCurrentArray();
    void buildRows();
    void addTokenRows(std::span<const std::uint32_t> tokens, bool keyed);
    void addNameSections(const std::vector<std::string>& names, bool hashSection);
    void fillTable();
    void layoutViews();
    // Sets the tabs small enough to fit the bar whole, the title in what they leave.
    void fitTabs();
    void setBarTitle(const QString& title);
    // The menu's own title on its bar (a SHARE menu's), empty for most.
    QString shareBarTitle() const;
    QRect listArea() const;
    void hideMenu();
    // DRAW STO "Photo…": the chosen picture becomes the graph's background.
    void pickPhoto();
    void closeTagSelector();
    void tellUser(const QString& message) const;
    void openAddForm();
    void showContextMenu(const QPoint& at);
    // The first row at or after (or before) a place, across sections.
    Place step(Place from, int by) const;
    void hardwareRow(int code);
    void click();
    bool isShareMenu() const;
    void toggleShared(Place place);
    void showShare(const std::optional<ShareRequest>& request);

    AppShell& shell_;
    MenuViewDelegate* delegate_ = nullptr;
    std::unique_ptr<MenuViewDelegate> ownDelegate_;
    int currentMenu_ = 0;
    int tab_ = 0;
    int libraryLayout_ = 0;
    int prgmType_ = 0;
    std::string prgmSelectedTag_;
    std::vector<std::string> prgmNames_;
    std::vector<std::string> prgmTags_;
    // The descriptions of the programs of the type, read with their tags.
    std::map<std::string, std::string> prgmDescs_;
    // The tag sections: each tag (sorted ignoring case) with its programs.
    std::vector<std::pair<QString, std::vector<std::string>>> topics_;
    MenuTables::List list_ = MenuTables::List::Math;
    std::vector<Section> sections_;
    Place selected_;
    bool helpShown_ = false;
    bool aboutShown_ = false;
    bool notesShown_ = false;
    bool filling_ = false;

    QWidget* bar_;
    SharedTabBar* tabs_;
    QFont tabFont_;
    QString titleText_;
    QLabel* title_;
    // Closes the menu without a pick, as Escape does.
    QPushButton* cancel_;
    QPushButton* back_;
    QPushButton* share_;
    QPushButton* send_;
    std::vector<Place> shareOrder_;
    QWidget* filterBar_;
    QTabBar* layoutTabs_;
    QTabBar* typeTabs_;
    QPushButton* tagButton_;
    TagSelector* tagSelector_ = nullptr;
    // Under a tablet's tag picker, over the rest of the menu: a tap beside the picker
    // closes it, and the list under it is out of reach while it shows.
    QWidget* tagShade_ = nullptr;
    QPushButton* add_;
    SectionTable* table_;
    HelpPage* help_;
    // The help or notes page sliding in over the list.
    std::unique_ptr<PageSlide> pages_;
    AboutPage* about_ = nullptr;
    ProgramNotesPage* notesPage_ = nullptr;
    // The notes page's bar controls.
    QTabBar* notesModes_;
    QPushButton* listing_;
    AddUserFnDialog* userFnForm_ = nullptr;
    AddProgramForm* addForm_ = nullptr;
};

} // namespace orvenda
