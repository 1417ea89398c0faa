// A paste of any size through the computer's paste chord, wherever a line takes it (both
// home screens, a field, the Y= editor): what a line cannot hold is refused with its word
// before anything is built from it, and what it can hold goes in whole, once.

#include "KeyboardTestSupport.h"

#include "AllocationHooks.h"
#include "app/YEqModel.h"
#include "platform/OpsClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>

namespace orvenda::test {
namespace {

using Ops = std::vector<std::uint32_t>;

constexpr std::size_t kMax = EntryManager::kMaxOps;
constexpr std::uint32_t kOne = 0x31, kPlus = 0x70, kCloser = 0x11;
// Far more than the longest line, and no more than a paste here is allowed to hold at once.
constexpr std::size_t kMostHeld = std::size_t(32) << 20;

struct Door {
    const char* name;
    bool mathPrint;
    int screen;
};

// Every editor a paste is typed in that holds a line: the program editor's (error 93 of
// its own) is driven in the running app.
const Door kDoors[] = {
    {"MathPrint home", true, 0},
    {"Classic home", false, 0},
    {"WINDOW's field", true, 7},
    {"Y=", true, 1},
};

const std::string& tenMegabytesOfText()
{
    static const std::string text = [] {
        std::string s = "1";
        while (s.size() < 10'000'000)
            s += "+1";
        return s;
    }();
    return text;
}

class LongPaste : public KeyboardTest {
protected:
    void open(const Door& door)
    {
        calc.yEqManager = equations;
        entry->clear();
        calc.locked()->mathPrint = door.mathPrint;
        calc.setCurrentScreen(door.screen);
        editor = door.screen == 1 ? static_cast<LineEditor*>(equations.get()) : entry.get();
        // A line the paste must leave as it was.
        keys.processKeyOp(0x37);
    }
    Ops line() const { return editor->currentOps().value_or(Ops()); }
    void pasteChord()
    {
        keyboard.handleKeyEvent(QKeyEvent(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier | Qt::AltModifier));
    }
    void clipText(const std::string& text) { QGuiApplication::clipboard()->setText(QString::fromStdString(text)); }
    void clipTokens(const QByteArray& tokens)
    {
        auto* data = new QMimeData;
        data->setData(QString::fromLatin1(OpsClipboard::kOpsType), tokens);
        QGuiApplication::clipboard()->setMimeData(data);
    }
    bool refusedAsTooLong() const
    {
        return !view->errors.empty() && view->errors.back().value("errorNum", 0) == 93
            && view->errors.back().value("message", "").starts_with("Line too long");
    }

    std::shared_ptr<YEqModel> equations = std::make_shared<YEqModel>(calc);
    LineEditor* editor = nullptr;
};

// 10 MB of text, 3.5 million tokens of the app's own and a million ")" that close nothing:
// each refused at once, the line as it was, no more memory held than a line's worth.
TEST_F(LongPaste, MoreThanALineTakesIsRefusedBeforeItIsBuilt)
{
    QByteArray tokens;
    for (int k = 0; k < 1'750'000; ++k)
        tokens += k == 0 ? "31 70" : " 31 70";
    const std::string closers = "1" + std::string(999'999, ')');
    for (const Door& door : kDoors) {
        open(door);
        const Ops before = line();
        const std::size_t errors = view->errors.size();
        for (int kind = 0; kind < 3; ++kind) {
            const std::string what = std::string(door.name) + (kind == 0 ? ": text" : kind == 1 ? ": tokens" : ": closers");
            kind == 0 ? clipText(tenMegabytesOfText()) : kind == 1 ? clipTokens(tokens) : clipText(closers);
            PeakAllocation held;
            pasteChord();
            EXPECT_LT(held.bytes(), kMostHeld) << what;
            EXPECT_EQ(line(), before) << what;
            EXPECT_TRUE(refusedAsTooLong()) << what;
        }
        EXPECT_EQ(view->errors.size(), errors + 3) << door.name;
    }
}

// A line filled to the last token takes the paste whole; one token more is refused, the
// line as it was. Pasted ")" that close nothing (each acting as its key) redraw the line
// once, not once each.
TEST_F(LongPaste, ALineTakesPastesUpToItsLongest)
{
    for (const Door& door : kDoors) {
        open(door);
        Ops fill{kOne};
        while (fill.size() + 1 < kMax)
            fill.insert(fill.end(), {kPlus, kOne});
        fill.resize(kMax - 1);
        OpsClipboard::put("", fill);
        pasteChord();
        EXPECT_EQ(line().size(), kMax) << door.name;
        editor->clear();
        keys.processKeyOp(0x37);
        const Ops before = line();
        fill.push_back(kOne);
        OpsClipboard::put("", fill);
        pasteChord();
        EXPECT_EQ(line(), before) << door.name;
        EXPECT_TRUE(refusedAsTooLong()) << door.name;

        editor->clear();
        keys.processKeyOp(0x37);
        Ops closers(kMax - 2, kCloser);
        closers.insert(closers.begin(), kOne);
        OpsClipboard::put("", closers);
        Posted posted(bus, {VQEntryTextChanged, VQUpdateEquations});
        pasteChord();
        EXPECT_EQ(line().size(), kMax) << door.name;
        EXPECT_EQ(posted.names().size(), 1u) << door.name;
        editor->clear();
    }
}

} // namespace
} // namespace orvenda::test
