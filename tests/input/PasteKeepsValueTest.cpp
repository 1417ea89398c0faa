// What is copied or pasted back from the history keeps the value it showed: a line copied
// with Ctrl+Alt+C and pasted with Ctrl+Alt+V, an answer tapped in the classic history and an
// answer picked with UP and ENTER in MathPrint, over every kind of value and number format.

#include "KeyboardTestSupport.h"

#include "app/HistoryView.h"
#include "core/NumberFormatter.h"
#include "language/VariableSlots.h"
#include "platform/OpsClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>

namespace orvenda::test {
namespace {

constexpr std::uint32_t kNegate = 0xB0;
constexpr std::uint32_t kClear = KeyRouter::kClear;
constexpr std::uint32_t kUp = KeyRouter::kUp;

// Number format (0 Normal, 1 Sci, 2 Eng), digits (-1 Float, else Fix), complex mode (0 Real,
// 1 a+bi, 2 re^θi), angle unit (0 Degree, 1 Radian), answers (0 AUTO, 2 FRAC) and grouping
// (' ' none, ',' commas, '.' a decimal comma, '+' blanks).
struct Mode {
    int numFormat = 0;
    int digits = -1;
    int complex = 0;
    int angle = 0;
    int answers = 0;
    char16_t grouping = u' ';
};

std::string modeName(const Mode& m)
{
    return std::string(m.numFormat == 0 ? "Normal" : m.numFormat == 1 ? "Sci" : "Eng")
        + (m.digits < 0 ? " Float" : " Fix " + std::to_string(m.digits))
        + (m.complex == 0 ? " Real" : m.complex == 1 ? " a+bi" : " re^θi") + (m.angle == 0 ? " Degree" : " Radian")
        + (m.answers == 2 ? " FRAC" : "") + (m.grouping == u' ' ? "" : std::string(" grouped ") + char(m.grouping));
}

class PasteKeepsValue : public KeyboardTest {
protected:
    void chord(int key)
    {
        keyboard.handleKeyEvent(QKeyEvent(QEvent::KeyPress, key, Qt::ControlModifier | Qt::AltModifier));
    }
    // A line as the case files write it, "~" standing for the (−) key where "-" would
    // subtract.
    void typeLine(const std::string& text)
    {
        std::size_t from = 0;
        for (std::size_t at; (at = text.find('~', from)) != std::string::npos; from = at + 1) {
            if (at > from)
                type(text.substr(from, at - from));
            press({kNegate});
        }
        if (from < text.size())
            type(text.substr(from));
    }
    // Ans's value, whatever form it is shown in.
    std::string ansValue() const
    {
        const NumberFormatter plain;
        if (const auto list = calc.ans.list())
            return plain.formatList(list.get());
        return plain.formatComplex(calc.ans.r(), calc.ans.i(), false);
    }
    std::string enterLine()
    {
        press({kEnter});
        settle();
        return newest().second;
    }
    void modes(bool mathPrint, const Mode& mode)
    {
        {
            auto state = calc.locked();
            state->mathPrint = mathPrint;
            state->numFormat = mode.numFormat;
            state->numDigits = mode.digits;
            state->answerFormat = mode.answers;
            state->thousandSeperator = mode.grouping;
        }
        calc.setRealCplxMode(mode.complex);
        calc.setAngleFormat(mode.angle);
        calc.locked()->vars[static_cast<std::size_t>(VariableSlots::varNumFromOpcode(0x58))] = {3, 0};
        press({kClear});
    }
    // The newest answer tapped in the classic history, as the user's finger does.
    void tapNewestAnswer()
    {
        HistoryView view(calc);
        view.resize(320, 2000);
        view.setMetricsForWidth(320);
        double bottom = 0;
        for (const HistoryEntry& item : history->history())
            bottom += item.numLines * view.leading();
        view.tap(QPointF(300, bottom - view.leading() / 2));
    }
    // The newest answer picked back: UP and ENTER in the MathPrint history, a tap on the
    // classic one.
    void pickNewestAnswer(bool mathPrint)
    {
        if (mathPrint) {
            press({kUp, kEnter});
            history->setSelectedEntry(-1);
        } else {
            tapNewestAnswer();
        }
    }
};

struct Case {
    const char* line;
    Mode mode;
    const char* shown;  // "" where the case only needs the value kept
    // The answer shown in a form of its own (▸DMS, ▸Bin, ▸Hex): pasted back, the same value
    // shows in the mode's form.
    bool formOfItsOwn = false;
};

// Every kind of value in the number formats.
const Case kCases[] = {
    {"61~4", {}, "-244"},
    {"(1+2)~4", {}, "-12"},
    {"X~1", {}, "-3"},
    {"X²~1", {}, "-9"},
    {"~7.25", {}, "-7.25"},
    {"3/4", {}, ""},
    {"~5/2", {}, ""},
    {"{1/2,~5/4}", {}, ""},
    {"~1.5ᴱ~7", {}, "-1.5ᴱ-7"},
    {"~12345.678", {1}, "-1.2345678ᴱ4"},
    {"12345.678", {2}, "12.345678ᴱ3"},
    {"~2/3.", {0, 2}, "-.67"},
    {"~2/3.", {1, 3}, "-6.667ᴱ-1"},
    {"~1.25", {0, -1, 0, 0, 2}, "-1¹/₄"},
    {"{0.5,~2.75}", {0, -1, 0, 0, 2}, "{¹/₂ -2³/₄}"},
    {"(~2.5+0.25ɩ̇)", {0, -1, 1, 0, 2}, ""},
    {"(3-4ɩ̇)", {0, -1, 1}, ""},
    {"(~3-4ɩ̇)/7", {0, 4, 1}, ""},
    {"(~5/2-7/4ɩ̇)", {0, -1, 1}, ""},
    {"(5/2+7/4ɩ̇)", {0, -1, 1}, ""},
    {"(1+2ɩ̇)/(3+4ɩ̇)", {0, -1, 2}, ""},
    {"(1+2ɩ̇)", {0, -1, 2}, ""},
    {"(1-2ɩ̇)", {0, -1, 2, 1}, ""},
    {"(~1+2ɩ̇)", {0, 3, 2}, ""},
    {"(~1-2ɩ̇)", {0, 3, 2, 1}, ""},
    {"(1-2ɩ̇)(3/2)", {2, -1, 2}, ""},
    {"{(1+ɩ̇),~2}", {0, -1, 2}, ""},
    {"{1,~2,3.5}", {}, "{1 -2 3.5}"},
    {"[[1,~2][3,~5/2]]", {}, ""},
    {"\"A-B+\"", {}, "A-B+"},
    // Degrees, minutes and seconds carry their sign on every part; read back, once.
    {"30.5▸DMS", {}, "30°30'0\"", true},
    {"~30.5▸DMS", {}, "-30°-30'0\"", true},
    {"~1.25▸DMS", {}, "-1°-15'0\"", true},
    {"~.0125▸DMS", {}, "0°0'-45\"", true},
    {"~30.5▸DMS", {0, -1, 0, 1}, "-30°-30'0\"", true},
    {"10.25125▸DMS", {0, 2}, "10°15'4.50\"", true},
    {"{~30.5,1.25}▸DMS", {}, "{-30°-30'0\" 1°15'0\"}", true},
    {"10▸Bin", {}, "0b1010", true},
    {"255▸Hex", {}, "0hFF", true},
    {"1.50+1.25", {0, -1, 0, 0, 3}, ""},
    {"~3.5", {0, -1, 0, 0, 2}, "-3¹/₂"},
    // A negative mixed number before another element stays one element.
    {"{~2.75,0.5,3}", {0, -1, 0, 0, 2}, "{-2³/₄ ¹/₂ 3}"},
    {"[[~1.25,2.5]]", {0, -1, 0, 0, 2}, "[[-1¹/₄ 2¹/₂]]"},
    // Grouped digits read back as the number, whatever marks the grouping puts between them.
    {"1234567.25", {0, -1, 0, 0, 0, u','}, "1,234,567.25"},
    {"~1234567.25", {0, -1, 0, 0, 0, u'.'}, "-1.234.567,25"},
    {"{1234.5,~12345.75}", {0, -1, 0, 0, 0, u'.'}, "{1.234,5 -12.345,75}"},
    {"{1234.5,~12345.75}", {0, -1, 0, 0, 0, u'+'}, "{1 234.5 -12 345.75}"},
    {"[[1234,5][6,78901]]", {0, -1, 0, 0, 0, u'+'}, ""},
    {"(1234.5-6789ɩ̇)", {0, 2, 1, 0, 0, u'.'}, ""},
    {"~1.0625", {0, -1, 0, 0, 0, u'+'}, "-1.062 5"},
};

TEST_F(PasteKeepsValue, EveryKindAndFormatComesBackAsShownOnBothHomes)
{
    for (const bool mathPrint : {true, false}) {
        for (const Case& c : kCases) {
            const std::string where = std::string(mathPrint ? "MathPrint " : "Classic ") + modeName(c.mode) + " " + c.line;
            // The line itself copied and pasted back.
            modes(mathPrint, c.mode);
            typeLine(c.line);
            const Ops typed = entry->entryOps();
            chord(Qt::Key_C);
            const std::string shown = enterLine();
            const std::string value = ansValue();
            if (*c.shown) {
                EXPECT_EQ(shown, c.shown) << where;
            }
            press({kClear});
            chord(Qt::Key_V);
            EXPECT_EQ(calc.stringFromOps(entry->entryOps()), calc.stringFromOps(typed)) << where;
            EXPECT_EQ(enterLine(), shown) << where << ": the line copied";

            // The answer pasted back from the history.
            const bool isString = history->history().back().operandType == KindString;
            press({kClear});
            pickNewestAnswer(mathPrint);
            if (isString) {
                EXPECT_TRUE(entry->entryOps().empty()) << where << ": a string answer is not a value to paste";
                continue;
            }
            const std::string pasted = calc.stringFromOps(entry->entryOps());
            // The next launch's history pastes the same.
            const HistoryEntry& item = history->history().back();
            EXPECT_EQ(HistoryEntry::decode(calc, item.encode()).resultOps(), item.resultOps()) << where;
            const auto items = history->added();
            const std::string again = enterLine();
            EXPECT_EQ(history->added(), items + 1) << where << ": the answer pasted as " << pasted << " gives no answer";
            if (c.formOfItsOwn)
                EXPECT_EQ(ansValue(), value) << where << ": the answer pasted as " << pasted << " shows " << again;
            else
                EXPECT_EQ(again, shown) << where << ": the answer pasted as " << pasted;
            EXPECT_EQ(calc.parser().error(), 0) << where;
        }
    }
}

// An answer with no number in it (an overflow to -∞) has no value to paste: picked back it
// pastes nothing, rather than the letters its text holds (-INF would read -I·N·F).
TEST_F(PasteKeepsValue, AnAnswerWithoutANumberPastesNothing)
{
    for (const bool mathPrint : {true, false})
        for (const char* line : {"~e^(1000)", "{1,~e^(1000)}", "[[1,~e^(1000)]]", "Fix 2:~e^(1000)"}) {
            const std::string where = std::string(mathPrint ? "MathPrint " : "Classic ") + line;
            modes(mathPrint, {});
            typeLine(line);
            enterLine();
            press({kClear});
            pickNewestAnswer(mathPrint);
            EXPECT_EQ(calc.stringFromOps(entry->entryOps()), "") << where;
            EXPECT_FALSE(history->history().back().answerOps) << where;
        }
}

// An answer made in one angle unit pastes back to the same value in the other.
TEST_F(PasteKeepsValue, APolarAnswerKeepsItsAngleWhenTheModeChanges)
{
    for (const bool mathPrint : {true, false})
        for (const int made : {0, 1}) {
            const std::string where = std::string(mathPrint ? "MathPrint " : "Classic ") + (made ? "Radian" : "Degree");
            modes(mathPrint, {0, -1, 2, made});
            const std::string shown = (enter("(1-2ɩ̇)"), newest().second);
            const std::size_t polar = history->history().size() - 1;
            calc.setAngleFormat(1 - made);
            press({kClear});
            const auto ops = history->history()[polar].resultOps();
            ASSERT_TRUE(ops) << where;
            entry->addOps(*ops, true, true);
            const std::string pasted = calc.stringFromOps(entry->entryOps());
            enterLine();
            calc.setAngleFormat(made);
            enter("Ans");
            EXPECT_EQ(newest().second, shown) << where << ": pasted as " << pasted;
        }
}

// Text of another app reads as typed; the tokens this app put beside its text win over it.
TEST_F(PasteKeepsValue, TheAppsOwnTokensWinOverTheirText)
{
    QClipboard& clipboard = *QGuiApplication::clipboard();
    clipboard.setText(QStringLiteral("-2*3-4"));
    chord(Qt::Key_V);
    EXPECT_EQ(entry->entryOps(), (Ops{kNegate, 0x32, 0x82, 0x33, 0x71, 0x34}));
    press({kClear});
    OpsClipboard::put("61-4", {0x36, 0x31, kNegate, 0x34});
    EXPECT_EQ(clipboard.text(), QStringLiteral("61-4"));
    chord(Qt::Key_V);
    EXPECT_EQ(entry->entryOps(), (Ops{0x36, 0x31, kNegate, 0x34}));
    press({kClear});
    // Tokens that are not this app's encoding leave the text to be read.
    auto* data = new QMimeData;
    data->setText(QStringLiteral("7"));
    data->setData(QString::fromLatin1(OpsClipboard::kOpsType), "31 zz");
    clipboard.setMimeData(data);
    chord(Qt::Key_V);
    EXPECT_EQ(entry->entryOps(), (Ops{0x37}));
    for (const char* bad : {"", " ", "123456789", "-1", "1  2"})
        EXPECT_FALSE(OpsClipboard::decode(bad)) << bad;
    EXPECT_EQ(OpsClipboard::decode(OpsClipboard::encode({0x10EF38, 0xB0, 0xFFFFFFFF})), (Ops{0x10EF38, 0xB0, 0xFFFFFFFF}));
}

// A MathPrint line copied and pasted on the classic home comes without its layout.
TEST_F(PasteKeepsValue, AMathPrintLinePastesOnTheClassicHome)
{
    calc.locked()->mathPrint = true;
    press({0xEF38, 0x31, KeyRouter::kDown, 0x34});  // n/d template: 1 over 4
    chord(Qt::Key_C);
    EXPECT_EQ(enterLine(), "¹/₄");
    calc.locked()->mathPrint = false;
    press({kClear});
    chord(Qt::Key_V);
    EXPECT_EQ(enterLine(), "¹/₄");
}

} // namespace
} // namespace orvenda::test
