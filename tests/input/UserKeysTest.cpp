// User key sets on screen: the key row above the MathPrint entry line (keys, 2nd layer,
// ENTER at the end, labels), the key-set catalogue and the key-set editor's four lines.

#include "InputTestSupport.h"
#include "core/KeySets.h"

#include "WidgetEvents.h"
#include "app/AppDelegate.h"
#include "app/MathPrintScreen.h"
#include "app/UserKeysView.h"
#include "app/YEqTestSupport.h"
#include "input/KeyCatalogScreen.h"
#include "input/KeySetEditorScreen.h"
#include "input/KeySetView.h"

#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QTemporaryDir>
#include <QToolButton>

#include <chrono>

namespace orvenda::test {
namespace {

constexpr std::uint32_t kToBin = 0xBBF6;
constexpr std::uint32_t kFrac = 0xEF38;

class UserKeys : public ScreensTest {
protected:
    UserKeys()
    {
        root->screens().set(screens::KeyCatalog, [this](QWidget* p) {
            auto* catalog = new KeyCatalogScreen(calc, p);
            catalog->didPickSet = [this](const std::string& title, bool edit) { router().didPickSet(title, edit); };
            catalog->keyCatalogDone = [this] { router().keyCatalogDone(); };
            return catalog;
        });
        root->screens().set(screens::KeySetEditor, [this](QWidget* p) {
            auto* editor = new KeySetEditorScreen(calc, shell, p);
            editor->keySetDone = [this] { router().returnHome(); };
            editor->mathPrintRestored = [this] { router().updateDisplay(); };
            return editor;
        });
    }
    EntryModel& line() { return *entry; }
    void typeKeys(const std::string& text)
    {
        for (std::uint32_t op : ops(text))
            shell.keys().processKeyOp(op);
    }
    KeyCatalogScreen& catalog()
    {
        router().showOverlay(screens::KeyCatalog);
        return *static_cast<KeyCatalogScreen*>(router().controller(screens::KeyCatalog));
    }
    KeySetEditorScreen* editor() const
    {
        return static_cast<KeySetEditorScreen*>(root->router().controller(screens::KeySetEditor));
    }
};

TEST_F(UserKeys, CompSciKeyTwoAppendsToBinAndEvaluatesInItsTurn)
{
    calc.userKeySetName = "CompSci";
    calc.userKeys = true;
    UserKeysView row(calc, shell);
    row.resize(390, 40);
    typeKeys("5");
    row.userKey(2);
    ASSERT_TRUE(shell.settle(std::chrono::seconds(30)));
    ASSERT_FALSE(history->history().empty());
    const HistoryEntry& item = history->history().back();
    EXPECT_EQ(item.entry, (Ops{ops("5").front(), kToBin})) << "the ENTER itself is not inserted";
    EXPECT_EQ(item.result, "0b101");
    // While a run has the keys the row's key waits its turn as every other key does: pressed
    // twice before the answer (the event loop has not turned), it acts twice after it, on
    // Ans, and its ENTER runs no line a second time.
    typeKeys("6");
    shell.keys().processKeyOp(KeyRouter::kEnter);
    row.userKey(2);
    row.userKey(2);
    ASSERT_TRUE(shell.settle(std::chrono::seconds(30)));
    std::vector<std::pair<std::string, std::string>> items;
    for (const HistoryEntry& each : history->history())
        items.emplace_back(calc.stringFromOps(each.entry), each.result);
    ASSERT_GE(items.size(), 3u);
    EXPECT_EQ(std::vector(items.end() - 3, items.end()), (std::vector<std::pair<std::string, std::string>>{
                                                             {"6", "6"}, {"Ans▸Bin", "0b110"}, {"Ans▸Bin", "0b110"}}));
}

TEST_F(UserKeys, SecondTakesTheSecondLayerAndIsCleared)
{
    calc.userKeySetName = "Angle";
    UserKeysView row(calc, shell);
    row.resize(390, 40);
    typeKeys("3");
    const Ops three = line().entryOps();
    calc.secondShift = true;
    calc.alphaLock = true;
    Posted posted(calc.notificationCenter(), {VQRedrawKeyboard});
    row.userKey(0);
    EXPECT_EQ(line().entryOps(), (Ops{three[0], kFrac})) << "the n/d template";
    EXPECT_FALSE(calc.secondShift);
    EXPECT_FALSE(calc.alphaLock);
    EXPECT_GE(posted.count(VQRedrawKeyboard), 1) << "the keyboard redraws its shifts";
    // A key without ops inserts nothing and still clears the shifts.
    KeySets::setUserKeyOps(calc, 3, {});
    calc.secondShift = true;
    posted.clear();
    row.userKey(3);
    EXPECT_FALSE(calc.secondShift);
    EXPECT_GE(posted.count(VQRedrawKeyboard), 1);
    row.userKey(3);
    EXPECT_EQ(line().entryOps(), (Ops{three[0], kFrac}));
    calc.userKeySetName = "";
    row.userKey(1);
    EXPECT_EQ(line().entryOps(), (Ops{three[0], kFrac})) << "no set in use: nothing";
}

// A key's ops act as their keys would on the MathPrint line: a ")" or "," closing nothing of
// the key's own goes past the template the cursor stands in, as typed, and a Classic line
// takes the same key whole.
TEST_F(UserKeys, AKeysClosingBracketActsAsItsKeyInATemplate)
{
    KeySets::userKeySetAdd(calc, "Mine");
    calc.userKeySetName = "Mine";
    KeySets::setUserKeyOps(calc, 0, ops("7)"));
    KeySets::setUserKeyOps(calc, 1, ops("8,2)+1"));
    UserKeysView row(calc, shell);
    row.resize(390, 40);
    const struct {
        const char* typed;
        int key;
        const char* answer;
    } cases[] = {{"√(9+", 0, "4"}, {"logBASE(", 1, "4"}};
    for (const bool mathPrint : {true, false}) {
        calc.locked()->mathPrint = mathPrint;
        for (const auto& c : cases) {
            line().clear();
            typeKeys(c.typed);
            row.userKey(c.key);
            shell.keys().processKeyOp(KeyRouter::kEnter);
            ASSERT_TRUE(shell.settle(std::chrono::seconds(30)));
            ASSERT_FALSE(history->history().empty()) << c.typed << (mathPrint ? " on MathPrint" : " on Classic");
            EXPECT_EQ(history->history().back().result, c.answer) << c.typed << (mathPrint ? " on MathPrint" : " on Classic");
            history->clearAll();
        }
    }
}

TEST_F(UserKeys, KeysShowTheirLabelElseTheirOpsElseNothing)
{
    calc.userKeySetName = "CompSci";
    KeySets::setUserKeyTitle(calc, 1, ops("ABC"));
    const auto ink = [&](int slot) {
        const QImage image = UserKeysView::userKeyImage(calc, slot, QSize(76, 40), 1, UserKeysView::Fill::None, Qt::white);
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixelColor(x, y).alpha() > 128;
        return n;
    };
    EXPECT_GT(ink(0), 20) << "0b from its ops";
    EXPECT_GT(ink(1), 20) << "its label";
    calc.userKeySetName = "Angle";
    KeySets::setUserKeyOps(calc, 4, {});
    EXPECT_EQ(ink(4), 0) << "neither: blank";
    const QImage grey = UserKeysView::userKeyImage(calc, 4, QSize(76, 40), 1, UserKeysView::Fill::Translucent, Qt::white);
    EXPECT_EQ(grey.pixelColor(2, 2).alpha(), 128);
    EXPECT_TRUE(UserKeysView::userKeyImage(calc, 0, QSize(0, 40), 1, UserKeysView::Fill::None, Qt::white).isNull());
}

TEST_F(UserKeys, TheCatalogueListsTheSetsAndPicksAddsAndCloses)
{
    KeyCatalogScreen& sheet = catalog();
    EXPECT_TRUE(sheet.isVisible());
    sheet.add();
    ASSERT_TRUE(sheet.addForm());
    sheet.addForm()->setTextValue(QStringLiteral("  Mine "));
    sheet.addForm()->accept();
    EXPECT_EQ(KeySets::userKeySetNames(calc), (std::vector<std::string>{"Mine"}));
    sheet.addKeySet("");
    EXPECT_EQ(calc.uKeys.size(), 3u) << "a blank name adds nothing";
    sheet.pick(0, 1);
    EXPECT_TRUE(calc.userKeys);
    EXPECT_EQ(calc.userKeySetName, "Angle");
    EXPECT_FALSE(sheet.isVisible()) << "a pick brings the screen back";
    EXPECT_EQ(calc.currentScreen(), screens::Home);
    // Edit on: a user set opens the editor; a system set does not.
    KeyCatalogScreen& again = catalog();
    again.setEditing(true);
    again.pick(0, 0);
    EXPECT_EQ(calc.currentScreen(), screens::Home);
    catalog().pick(1, 0);
    EXPECT_EQ(calc.currentScreen(), screens::KeySetEditor);
    EXPECT_EQ(calc.userKeySetName, "Mine");
    editor()->done();
    EXPECT_EQ(calc.currentScreen(), screens::Home);
    // Done empties the entry line and hides the key row.
    typeKeys("12");
    catalog().done();
    EXPECT_TRUE(line().entryOps().empty());
    EXPECT_FALSE(calc.userKeys);
}

// The window going inactive with the key-set editor in front saves the user's own MathPrint
// setting, not the classic lines the editor lends the line (a kill after that save would
// relaunch in Classic); the editor goes on in classic lines.
TEST_F(UserKeys, ASaveWithTheEditorInFrontRecordsTheUsersMathPrint)
{
    QTemporaryDir dir;
    AppDelegate app(calc, dir.path());
    calc.locked()->mathPrint = true;
    router().showScreen(screens::KeySetEditor);
    ASSERT_FALSE(calc.settings().mathPrint);
    app.applicationWillResignActive();
    QFile saved(QDir(dir.path()).filePath(StateFile::kFileName));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    const nlohmann::json archive = nlohmann::json::from_cbor(bytes.begin(), bytes.end(), true, false);
    EXPECT_EQ(archive.value("mathPrt", false), true);
    EXPECT_FALSE(calc.settings().mathPrint) << "the editor goes on in classic lines";
}

TEST_F(UserKeys, TheEditorEditsFourLinesPerKey)
{
    KeySets::userKeySetAdd(calc, "Mine");
    calc.userKeySetName = "Mine";
    calc.locked()->mathPrint = true;
    router().showScreen(screens::KeySetEditor);
    KeySetEditorScreen& ed = *editor();
    EXPECT_FALSE(calc.settings().mathPrint) << "key lines are one-line entries";
    typeKeys("AB");
    ed.cursorDown();
    EXPECT_EQ(*KeySets::userKeyTitle(calc, 0), ops("AB"));
    typeKeys("2+3");
    ed.enter();
    EXPECT_EQ(*KeySets::userKeyOps(calc, 0), (Ops{ops("2+3")[0], ops("2+3")[1], ops("2+3")[2], 1065}));
    // Below line 3 and above line 0 the line stays, and still stores.
    ed.cursorDown();
    ed.cursorDown();
    typeKeys("7");
    ed.cursorDown();
    EXPECT_EQ(ed.currentLine(), 3);
    EXPECT_EQ(*KeySets::userKeyOps(calc, 5), ops("7"));
    EXPECT_EQ(ed.keySetView().lineText(3), "2ND   key=7");
    EXPECT_EQ(ed.keySetView().lineText(0), "     title=AB");
    // Another key starts on its label line.
    ed.selectKey(2);
    EXPECT_EQ(ed.currentKey(), 2);
    EXPECT_EQ(ed.currentLine(), 0);
    typeKeys("9");
    // Moving on with an emptied line stores the empty array.
    ed.selectKey(0);
    line().clear();
    ed.cursorDown();
    EXPECT_EQ(KeySets::userKeyTitle(calc, 0), std::optional<Ops>(Ops{}));
    EXPECT_EQ(*KeySets::userKeyTitle(calc, 2), ops("9"));
    // Leaving with an emptied line keeps the line's value.
    line().clear();
    router().showHome();
    EXPECT_EQ(KeySets::userKeyOps(calc, 0)->size(), 4u);
    EXPECT_TRUE(calc.settings().mathPrint) << "MathPrint comes back";
    EXPECT_EQ(calc.currentScreen(), screens::Home);
    // ...and with it the MathPrint home screen, not the classic one QUIT found.
    QCoreApplication::processEvents();
    ASSERT_TRUE(router().controller(screens::Home));
    EXPECT_TRUE(router().controller(screens::Home)->isVisible());
    if (ScreenController* classic = router().controller(screens::ClassicHome)) {
        EXPECT_FALSE(classic->isVisible());
    }
}

// On a display as short as a phone's on its side, the four lines and the banner show whole,
// with Done on the banner and the row of keys under them.
TEST_F(UserKeys, TheEditorFitsAShortDisplay)
{
    KeySets::userKeySetAdd(calc, "Mine");
    calc.userKeySetName = "Mine";
    router().showScreen(screens::KeySetEditor);
    KeySetEditorScreen& ed = *editor();
    for (const int height : {133, 310}) {
        ed.resize(320, height);
        const QRect page = ed.keySetView().geometry();
        EXPECT_GE(page.height(), ed.keySetView().pageHeight()) << height;
        EXPECT_TRUE(ed.rect().contains(ed.doneButton().geometry())) << height;
        EXPECT_LE(ed.doneButton().geometry().bottom(), page.bottom()) << height;
        EXPECT_FALSE(ed.doneButton().geometry().intersects(page.adjusted(0, 0, 0, -KeySetView::kBannerHeight)))
            << height << ": Done covers no line";
    }
}

} // namespace
} // namespace orvenda::test
