// The menus of names: lists, matrices, graph databases, Y-variables and the program
// library with its files; deleting rows; help pages written as PDF files.

#include "InputTestSupport.h"

#include "app/YEqModel.h"
#include "input/AddProgramForm.h"
#include "input/HelpPage.h"
#include "input/TagSelector.h"
#include "WidgetEvents.h"
#include "input/NameLists.h"
#include "programs/GDBStore.h"

#include <QDir>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QKeyEvent>

namespace orvenda::test {
namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A program file as the library stores it, with its flags and tags (extra: more keys).
QByteArray programFile(int flags, const QStringList& tags, const QString& extra = {})
{
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                                 "<key>prgm</key><array/><key>flags</key><integer>%1</integer>")
                      .arg(flags) + extra;
    if (!tags.isEmpty())
        xml += QStringLiteral("<key>tags</key><array><string>%1</string></array>").arg(tags.join("</string><string>"));
    return (xml + QStringLiteral("</dict></plist>")).toUtf8();
}

TEST(NameListsTest, LetterSections)
{
    const auto sections = NameLists::letterSections({"L1", "#X", "lx", "Q", "9A"}, true);
    ASSERT_EQ(sections.size(), 3u);
    EXPECT_EQ(sections[0].title, "#");
    EXPECT_EQ(sections[0].names, (std::vector<std::string>{"#X", "9A"}));
    EXPECT_EQ(sections[1].title, "L");
    EXPECT_EQ(sections[1].names, (std::vector<std::string>{"L1", "lx"}));
    EXPECT_EQ(sections[2].title, "Q");
    EXPECT_EQ(NameLists::letterSections({"#X"}, false).size(), 0u);
}

TEST_F(MenuTest, MatrixRowsAndPolarYVariables)
{
    calc.locked()->matrices[0] = *VQMatrix::matrixWithRow(2, 3);
    menu->showMenu(5);
    const auto& matrices = menu->sections().front().rows;
    ASSERT_EQ(matrices.size(), 10u);
    EXPECT_EQ(matrices[0].title, "[A] 2×3");
    EXPECT_EQ(matrices[1].title, "[B]");
    EXPECT_EQ(matrices[9].title, "[J]");

    calc.setGraphMode(2);
    menu->showMenu(33);
    std::vector<std::uint32_t> tokens;
    for (const auto& row : menu->sections().front().rows)
        tokens.push_back(row.token);
    EXPECT_EQ(tokens, (std::vector<std::uint32_t>{0x5E40, 0x5E41, 0x5E42, 0x5E43, 0x5E44, 0x5E45}));
    calc.setGraphMode(0);
}

TEST_F(MenuTest, ListNamesPickAsNamesAndDelete)
{
    const auto names = shell.evaluator().listNames();
    ASSERT_FALSE(names.empty());
    menu->showMenu(4);
    const std::string first = menu->sections().front().rows.front().name;
    // A key picks the name as a touch would, not a token.
    menu->processKeyOp('1');
    EXPECT_EQ(picks.last(), "variable " + first);
    menu->showMenu(4);
    ASSERT_TRUE(menu->deleteRow({0, 0}));
    const auto after = shell.evaluator().listNames();
    EXPECT_EQ(std::count(after.begin(), after.end(), first), 0);
}

TEST_F(MenuTest, StandardGraphDatabasesCannotBeDeleted)
{
    auto equations = std::make_shared<YEqModel>(calc);
    calc.yEqManager = equations;
    GDBManager::setShared(std::make_shared<GDBStore>(calc, equations, (folder.path() + "/GDB").toStdString()));
    ASSERT_TRUE(GDBManager::saveGDB("MINE"));
    menu->showMenu(27);
    MenuScreen::Place gdb3, mine;
    for (int s = 0; s < static_cast<int>(menu->sections().size()); ++s)
        for (int r = 0; r < static_cast<int>(menu->sections()[s].rows.size()); ++r) {
            const std::string& name = menu->sections()[s].rows[r].name;
            if (name == "GDB3")
                gdb3 = {s, r};
            if (name == "MINE")
                mine = {s, r};
        }
    ASSERT_TRUE(gdb3.valid() && mine.valid());
    EXPECT_FALSE(menu->deleteRow(gdb3));
    EXPECT_TRUE(menu->deleteRow(mine));
    EXPECT_FALSE(GDBManager::isSavedGDB("MINE"));
    // Recalling lists only what is stored.
    menu->selectTab(1);
    EXPECT_EQ(rows(), 0);
    GDBManager::setShared(nullptr);
}

TEST_F(MenuTest, ProgramLibraryRunsEditsAndGroups)
{
    auto view = std::make_shared<FakeView>();
    calc.viewDelegate = view;
    QDir().mkpath(programsDir());
    writeFile(programsDir() + "/LOCKED", programFile(2, {"games"}));
    writeFile(programsDir() + "/9X", programFile(0, {}));
    writeFile(programsDir() + "/notes.txt", "not a program");
    writeFile(programsDir() + "/#X", "not a program name");

    // The user's programs only: the sample programs come with every library.
    menu->setProgramType(1);
    menu->showMenu(6);
    ASSERT_TRUE(menu->showsLibrary());
    ASSERT_EQ(menu->sections().size(), 2u);
    EXPECT_EQ(menu->sections()[0].title, "#");
    EXPECT_EQ(menu->sections()[1].title, "L");
    menu->pickRow({0, 0});
    EXPECT_EQ(picks.last(), "run 9X");

    menu->showMenu(6);
    menu->selectTab(1);
    menu->pickRow({1, 0});
    ASSERT_EQ(view->errors.size(), 1u);
    EXPECT_EQ(view->errors[0]["errorNum"], 84);
    EXPECT_EQ(picks.last(), "run 9X");
    menu->pickRow({0, 0});
    EXPECT_EQ(picks.last(), "edit 9X");

    menu->showMenu(6);
    menu->setLibraryLayout(1);
    ASSERT_EQ(menu->sections().size(), 2u);
    EXPECT_EQ(menu->sections()[0].title, "games");
    EXPECT_EQ(menu->sections()[1].title, "––––");
    EXPECT_EQ(menu->sections()[1].rows[0].name, "9X");
    menu->setLibraryLayout(0);
    menu->setProgramType(0);
}

TEST_F(MenuTest, ProgramLibraryFiltersByTypeAndTag)
{
    using Names = std::vector<std::string>;
    QDir().mkpath(programsDir());
    writeFile(programsDir() + "/zeta", programFile(0, {"Games", "math"}));
    writeFile(programsDir() + "/Alpha", programFile(0, {"math"}));
    writeFile(programsDir() + "/GAMMA", programFile(0, {"puzzle", "Games"}));
    // Tags that are not an array count as none.
    writeFile(programsDir() + "/beta", programFile(0, {}, "<key>tags</key><string>math</string>"));
    const auto titles = [this] {
        QStringList out;
        for (const auto& section : menu->sections())
            out << section.title;
        return out;
    };

    menu->setProgramType(1);
    menu->showMenu(6);
    EXPECT_EQ(menu->tagNames(), (Names{"Show All", "Games", "math", "puzzle"}));
    EXPECT_EQ(menu->tagButtonTitle(), "User:Show All");
    menu->setLibraryLayout(1);
    EXPECT_EQ(titles(), (QStringList{"Games", "math", "puzzle", "––––"}));
    EXPECT_EQ(menu->sections()[1].rows[1].name, "zeta");

    // The tag picker: the tags, the selected tag's row, a pick with the picker's type.
    menu->showTagSelector();
    TagSelector* picker = menu->tagSelector();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->rowTitles(), (QStringList{"Show All", "Games", "math", "puzzle"}));
    EXPECT_EQ(picker->selectedRow(), 0);
    picker->pickRow(2);
    EXPECT_EQ(menu->selectedTag(), "math");
    EXPECT_EQ(menu->tagButtonTitle(), "User:math");
    EXPECT_EQ(menu->programNames(), (Names{"Alpha", "zeta"}));
    // The tag sections list every program of the type, filtered or not.
    EXPECT_EQ(titles(), (QStringList{"Games", "math", "puzzle", "––––"}));
    menu->setLibraryLayout(0);
    EXPECT_EQ(titles(), (QStringList{"A", "Z"}));

    menu->showTagSelector();
    EXPECT_EQ(picker->selectedRow(), 2);
    picker->setType(0);
    picker->cancel();
    EXPECT_EQ(menu->tagButtonTitle(), "User:math");
    menu->showTagSelector();
    EXPECT_EQ(picker->type(), 1);
    picker->setType(2);
    picker->pickRow(3);
    EXPECT_EQ(menu->tagButtonTitle(), "Lumbrix:puzzle");
    EXPECT_EQ(menu->programType(), 2);
    EXPECT_EQ(rows(), 0);

    // The sample programs' own tags: "puzzle" is none of them, so the picker starts on
    // "Show All"; a tag of theirs lists the samples that carry it.
    menu->showTagSelector();
    const QStringList sampleTags = picker->rowTitles();
    EXPECT_EQ(sampleTags.front(), "Show All");
    EXPECT_TRUE(sampleTags.contains("Fractals"));
    EXPECT_FALSE(sampleTags.contains("math"));
    EXPECT_EQ(picker->selectedRow(), 0);
    picker->pickRow(static_cast<int>(sampleTags.indexOf("Fractals")));
    EXPECT_EQ(menu->programNames(), (Names{"JuliaSetPlot", "Sierpinski"}));
    menu->showTagSelector();
    picker->setType(1);
    picker->pickRow(0);
    EXPECT_EQ(menu->selectedTag(), "");
    EXPECT_EQ(menu->tagButtonTitle(), "User:Show All");
    EXPECT_EQ(menu->programNames(), (Names{"Alpha", "beta", "GAMMA", "zeta"}));
    menu->setProgramType(0);
}

TEST_F(MenuTest, AddingProgramsChecksNamesAndReportsFailures)
{
    using Added = ProgramManager::Added;
    menu->showMenu(6);
    EXPECT_EQ(menu->addProgram("NEW", "A test", "", "b, a, b"), Added::Added);
    EXPECT_EQ(picks.got, std::vector<std::string>{"edit NEW"});
    const QByteArray written = readFile(programsDir() + "/NEW");
    ASSERT_FALSE(written.isEmpty());
    const ProgramFiles files(programsDir());
    EXPECT_EQ(files.descFor("NEW"), "A test");
    EXPECT_EQ(files.tagsFor("NEW"), (std::vector<std::string>{"a", "b"}));

    menu->showMenu(6);
    EXPECT_EQ(menu->addProgram("NEW", "other", "", ""), Added::NameInUse);
    EXPECT_EQ(readFile(programsDir() + "/NEW"), written);
    for (const std::string bad : {"a/b", "..", "../ESCAPE", "."})
        EXPECT_EQ(menu->addProgram(bad, "", "", ""), Added::BadName) << bad;
    EXPECT_FALSE(QFile::exists(folder.path() + "/ESCAPE"));
    EXPECT_EQ(picks.got.size(), 1u);
    ASSERT_EQ(messages->size(), 5u);
    EXPECT_TRUE(messages->front().contains("in use"));

    // A programs folder that cannot be made: nothing opens.
    calc.prgmManager = std::make_shared<ProgramModel>(calc, std::make_shared<ProgramFiles>(programsDir() + "/NEW/programs"));
    MenuScreen blocked(calc, shell);
    blocked.setDelegate(&picks);
    QString said;
    blocked.tell = [&said](const QString& text) { said = text; };
    EXPECT_EQ(blocked.addProgram("P", "", "", ""), Added::CouldNotSave);
    EXPECT_TRUE(said.contains("could not be saved"));
    EXPECT_EQ(picks.got.size(), 1u);
}

// Keys typed into a widget as the keyboard sends them.
void typeKeys(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, c.toUpper().unicode(), Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, c.toUpper().unicode(), Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

void pressKey(QWidget* widget, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(widget, &press);
}

TEST_F(MenuTest, TheNewProgramFormRefusesWhatANameCannotHoldAndReturnMovesOn)
{
    menu->show();
    menu->showMenu(6);
    menu->selectTab(1);
    hardware(Qt::Key_Plus, QStringLiteral("+"));
    AddProgramForm* form = menu->addForm();
    ASSERT_TRUE(form);
    ASSERT_TRUE(form->isVisible());
    QLineEdit& name = form->nameField();
    ASSERT_EQ(form->focusWidget(), &name);
    // A ninth character, a blank and a letter a name cannot hold are refused as typed.
    typeKeys(&name, QStringLiteral("ABCDEFGHI"));
    EXPECT_EQ(name.text(), QStringLiteral("ABCDEFGH"));
    name.clear();
    typeKeys(&name, QStringLiteral("Ré 1x"));
    EXPECT_EQ(name.text(), QStringLiteral("R1x"));
    name.clear();
    QApplication::clipboard()->setText(QStringLiteral("ab1"));
    name.paste();
    EXPECT_EQ(name.text(), QStringLiteral("ab1"));
    QApplication::clipboard()->setText(QStringLiteral("a b"));
    name.paste();
    EXPECT_EQ(name.text(), QStringLiteral("ab1"));
    // Return goes on to description, tags and notes; nothing is saved until Save.
    pressKey(&name, Qt::Key_Return);
    EXPECT_EQ(form->focusWidget(), &form->descriptionField());
    typeKeys(&form->descriptionField(), QStringLiteral("Adds"));
    pressKey(&form->descriptionField(), Qt::Key_Return);
    EXPECT_EQ(form->focusWidget(), &form->tagsField());
    typeKeys(&form->tagsField(), QStringLiteral("math"));
    pressKey(&form->tagsField(), Qt::Key_Enter);
    EXPECT_EQ(form->focusWidget(), &form->notesField());
    typeKeys(&form->notesField(), QStringLiteral("one"));
    pressKey(&form->notesField(), Qt::Key_Return);
    typeKeys(&form->notesField(), QStringLiteral("two"));
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(QFile::exists(programsDir() + "/ab1"));
    clickAt(*form, centreIn(*form, form->saveButton()));
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(picks.last(), "edit ab1");
    const auto& programs = dynamic_cast<const ProgramModel&>(*calc.prgmManager).files();
    EXPECT_EQ(programs.descFor("ab1"), "Adds");
    EXPECT_EQ(programs.notesFor("ab1"), "one\ntwo");
    EXPECT_EQ(programs.tagStringFor("ab1"), "math");
    // Opened again, it starts empty.
    menu->showMenu(6);
    hardware(Qt::Key_Plus, QStringLiteral("+"));
    EXPECT_TRUE(form->nameField().text().isEmpty());
    EXPECT_TRUE(form->notesField().toPlainText().isEmpty());
    form->cancel();
}

TEST_F(MenuTest, TheTagFilterButtonIsDrawnAndTappedAndThePickerFollowsItsSource)
{
    QDir().mkpath(programsDir());
    writeFile(programsDir() + "/MINE", programFile(0, {"mine"}));
    menu->show();
    for (const QSize size : {QSize(390, 844), QSize(768, 1024)}) {
        calc.device = size.width() > 500 ? 1 : 0;
        menu->resize(size);
        menu->setProgramType(0);
        menu->showMenu(6);
        const QPushButton& button = menu->tagButton();
        ASSERT_TRUE(button.isVisible());
        EXPECT_EQ(button.text(), QStringLiteral("All:Show All"));
        EXPECT_GE(button.width(), MenuScreen::kMinTagButtonWidth);
        const QRect place(button.mapTo(menu.get(), QPoint(0, 0)), button.size());
        EXPECT_TRUE(menu->rect().contains(place));
        // Its outline and title are drawn in the bar's tint.
        const QImage picture = menu->grab().toImage();
        const QColor ground = picture.pixelColor(place.right() + 2, place.center().y());
        int ink = 0;
        for (int y = place.top(); y <= place.bottom(); ++y)
            for (int x = place.left(); x <= place.right(); ++x)
                ink += std::abs(picture.pixelColor(x, y).lightness() - ground.lightness()) > 100;
        EXPECT_GT(ink, 60) << size.width();
        // A tap opens the picker; User reports the tag with type 1 and shows the user's tags.
        clickAt(*menu, place.center());
        ASSERT_TRUE(menu->tagSelector());
        TagSelector& picker = *menu->tagSelector();
        EXPECT_TRUE(picker.isVisible());
        QTabBar& sources = picker.sourceBar();
        clickAt(sources, sources.tabRect(1).center());
        EXPECT_EQ(menu->programType(), 1);
        EXPECT_TRUE(picker.isVisible());
        EXPECT_EQ(picker.type(), 1);
        EXPECT_EQ(picker.rowTitles(), (QStringList{"Show All", "mine"}));
        EXPECT_EQ(menu->tagButtonTitle(), QStringLiteral("User:Show All"));
        // A row picked filters and closes it.
        picker.pickRow(1);
        EXPECT_EQ(menu->selectedTag(), "mine");
        EXPECT_EQ(menu->programNames(), std::vector<std::string>{"MINE"});
        menu->didSelectTag("", 0);
        // As the phone's slide out ends.
        picker.hide();
    }
    calc.device = 0;
}

TEST_F(MenuTest, OnlyShortProgramNamesCanBeDeleted)
{
    QDir().mkpath(programsDir());
    writeFile(programsDir() + "/ABCDEFGH", programFile(0, {}));
    // A longer name is a sample program's, never a user's file: not listed.
    writeFile(programsDir() + "/ABCDEFGHI", programFile(0, {}));
    menu->showMenu(6);
    ASSERT_EQ(rows(), 30);
    ASSERT_EQ(menu->sections()[0].rows[1].name, "ArcLength");
    EXPECT_FALSE(menu->deleteRow({0, 1}));
    EXPECT_TRUE(menu->deleteRow({0, 0}));
    EXPECT_FALSE(QFile::exists(programsDir() + "/ABCDEFGH"));
    EXPECT_TRUE(QFile::exists(programsDir() + "/ABCDEFGHI"));
    EXPECT_EQ(rows(), 29);
}

// The sectioned lists have a side index: a click on an entry brings its section to the
// top (A to Z by letter: the first section not before it; tags by their first 4
// characters); lists of one section have none.
TEST_F(MenuTest, TheSideIndexJumpsToItsSections)
{
    QDir().mkpath(programsDir());
    // Five programs under each of six letters: more than the list shows at once.
    for (const char letter : std::string("ABMPTX"))
        for (int i = 0; i < 5; ++i)
            writeFile(programsDir() + "/" + QChar(letter) + QString::number(i),
                programFile(0, {letter == 'M' ? "Geometry" : "Algebra", "Statistics"}));
    menu->show();
    menu->setProgramType(1);
    menu->showMenu(6);
    const auto clickIndex = [this](const QString& title) {
        const int entry = static_cast<int>(menu->indexTitles().indexOf(title));
        const QRect r = menu->indexEntryRect(entry);
        ASSERT_FALSE(r.isEmpty()) << title.toStdString();
        clickAt(*menu, r.center());
    };
    QStringList letters;
    for (char c = 'A'; c <= 'Z'; ++c)
        letters << QString(QLatin1Char(c));
    EXPECT_EQ(menu->indexTitles(), letters);
    EXPECT_EQ(menu->topSectionTitle(), "A");
    // "M" has a section; "N" has none and goes on to "P"; back up to "B".
    for (const auto& [title, top] : {std::pair{"M", "M"}, {"N", "P"}, {"B", "B"}}) {
        clickIndex(title);
        EXPECT_EQ(menu->topSectionTitle(), top) << title;
    }

    menu->setLibraryLayout(1);
    EXPECT_EQ(menu->indexTitles(), (QStringList{"Alge", "Geom", "Stat"}));
    clickIndex("Geom");
    EXPECT_EQ(menu->topSectionTitle(), "Geometry");
    clickIndex("Alge");
    EXPECT_EQ(menu->topSectionTitle(), "Algebra");
    menu->setLibraryLayout(0);

    menu->showMenu(4);
    EXPECT_EQ(menu->indexTitles(), letters);
    for (const int plain : {5, 0}) {
        menu->showMenu(plain);
        EXPECT_TRUE(menu->indexTitles().isEmpty()) << plain;
        EXPECT_TRUE(menu->indexEntryRect(0).isEmpty()) << plain;
    }
    menu->setProgramType(0);
}

TEST(HelpPageTest, FileNamesAndAtomicPdf)
{
    const std::vector<std::pair<QString, QString>> names = {
        {"n/d", "n_d"}, {"R▸Pr(", "R▸Pr("}, {"..", "help"}, {"a\\b:c", "a_b_c"}, {"", "help"}};
    for (const auto& [name, file] : names)
        EXPECT_EQ(HelpPage::fileName(name), file) << name.toStdString();

    Calculator calc;
    HelpPage page(calc);
    page.showFunction("n/d", "fraction");
    QTemporaryDir dir;
    QString error;
    const QString path = page.writePdf(dir.path(), error);
    EXPECT_EQ(path, dir.path() + "/n_d.pdf");
    EXPECT_TRUE(readFile(path).startsWith("%PDF"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"n_d.pdf"});

    writeFile(dir.path() + "/file", "x");
    EXPECT_TRUE(page.writePdf(dir.path() + "/file", error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
} // namespace orvenda::test
