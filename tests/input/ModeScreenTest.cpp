// The mode screen: what each control sets and posts, the decimal-places slider and its
// question, test mode with its clearing and clock, closing after a display change, and
// the chosen segments as they show.

#include "InputTestSupport.h"
#include "PictureChecks.h"

#include "app/YEqModel.h"
#include "core/VQMatrix.h"
#include "input/ModeScreen.h"
#include "input/SegmentedControl.h"

#include <QAbstractButton>
#include <QLabel>
#include <QToolButton>

namespace orvenda::test {
namespace {

class ModeTest : public ScreensTest {
protected:
    ModeTest()
    {
        mode = std::make_unique<ModeScreen>(calc, shell);
        mode->resize(390, 700);
        mode->now = [this] { return clock; };
        mode->ask = [this](AlertQueue::Alert alert) { asked = std::move(alert); };
        mode->settingsDone = [this] { ++closings; };
        bus.addObserver(this, VQModeChanged, [this](const Notification& n) {
            labels.push_back(n.userInfo.value("mode", std::string()));
        });
        mode->updateDisplay();
    }
    ~ModeTest() override { bus.removeObserver(this); }

    void press(const QString& caption)
    {
        ASSERT_TRUE(asked);
        for (auto& [title, action] : asked->buttons)
            if (title == caption && action)
                action();
    }

    std::unique_ptr<ModeScreen> mode;
    ModeScreen::Clock::time_point clock = ModeScreen::Clock::time_point(std::chrono::hours(1000));
    std::optional<AlertQueue::Alert> asked;
    std::vector<std::string> labels;
    int closings = 0;
};

// The screen covers the keyboard but never takes the computer's keys from it: after a
// click anywhere on it, ON (Ctrl+/) and the other key commands still reach the keyboard.
TEST_F(ModeTest, NoPartOfTheScreenTakesTheKeyboardFocus)
{
    for (const QWidget* widget : mode->findChildren<QWidget*>()) {
        if (widget->isVisibleTo(mode.get())) {
            EXPECT_EQ(widget->focusPolicy(), Qt::NoFocus) << widget->metaObject()->className();
        }
    }
}

TEST_F(ModeTest, SegmentsSetTheirSettingAndPostTheirLabel)
{
    using M = ModeScreen;
    struct Case {
        M::Segments control;
        int segment;
        std::function<int()> setting;
        int value;
        std::string label;
    };
    const std::vector<Case> cases = {
        {M::NumFormat, 1, [&] { return calc.locked()->numFormat; }, 1, "Decimals:Sci"},
        {M::NumFormat, 2, [&] { return calc.locked()->numFormat; }, 2, "Decimals:Eng"},
        {M::Fraction, 0, [&] { return calc.locked()->fractionFormat; }, 3, "Fractions:n/d"},
        {M::Answer, 2, [&] { return calc.locked()->answerFormat; }, 2, "Answers:FRACTION"},
        {M::NumBase, 2, [&] { return calc.locked()->numBase; }, 2, "Base:HEX"},
        {M::Grouping, 3, [&] { return int(calc.locked()->thousandSeperator); }, '+', "Grouping:Si"},
        {M::Grouping, 1, [&] { return int(calc.locked()->thousandSeperator); }, ',', "Grouping:1,000.0"},
        {M::Angle, 0, [&] { return calc.angleFormat(); }, 1, "Angle:Radian"},
        {M::RealCplx, 2, [&] { return calc.realCplxMode(); }, 2, "Real/Imag:re^θi"},
        {M::GraphMode, 2, [&] { return calc.graphMode(); }, 2, "Graph:Polar"},
        {M::GraphMode, 4, [&] { return calc.graphMode(); }, 4, "Graph:Impl"},
        {M::PdfPage, 0, [&] { return calc.pdfPageSize; }, 0, "PageSz:A4"},
        {M::ScreenLayout, 1, [&] { return calc.locked()->screenSplit; }, 1, "Split:G-T"},
        {M::MathPrint, 1, [&] { return int(calc.locked()->mathPrint); }, 0, "Format:Classic"},
    };
    for (const Case& c : cases) {
        labels.clear();
        mode->segments(c.control).click(c.segment);
        EXPECT_EQ(c.setting(), c.value) << c.label;
        EXPECT_EQ(labels, std::vector<std::string>{c.label});
    }
    labels.clear();
    mode->toggle(ModeScreen::StatWiz, !calc.statWiz);
    EXPECT_EQ(labels, std::vector<std::string>{calc.statWiz ? "Statistics wizard:On" : "Statistics wizard:Off"});
}

TEST_F(ModeTest, DecimalPlacesSliderAndItsQuestion)
{
    calc.locked()->numDigits = 4;
    mode->updateDisplay();
    for (const auto& [value, shown] : std::vector<std::pair<double, int>>{{-3, 0}, {12, 9}, {5.8, 5}}) {
        mode->moveDigits(value);
        EXPECT_EQ(mode->sliderValue(), shown);
        EXPECT_EQ(calc.locked()->numDigits, shown);
    }
    mode->moveDigits(0);
    mode->releaseDigits();
    ASSERT_TRUE(asked);
    EXPECT_EQ(asked->title, "Decimal Places Change");
    EXPECT_EQ(asked->message, "All results will be displayed rounded to the nearest integer (0 decimal places). "
                              "Do you want to proceed?");
    EXPECT_EQ(asked->buttons[0].first, "Cancel");
    EXPECT_EQ(asked->buttons[1].first, "OK");
    // Cancel brings back the setting from before the slider moved.
    press("Cancel");
    EXPECT_EQ(calc.locked()->numDigits, 4);
    EXPECT_EQ(mode->digitsLabel(), "4");
    EXPECT_TRUE(labels.empty());

    mode->moveDigits(3);
    mode->releaseDigits();
    EXPECT_EQ(asked->message, "All results will be displayed rounded to 3 decimal places. Do you want to proceed?");
    press("OK");
    EXPECT_EQ(calc.locked()->numDigits, 3);
    mode->floatDigits();
    EXPECT_EQ(calc.locked()->numDigits, -1);
    EXPECT_EQ(mode->digitsLabel(), "float");
    EXPECT_EQ(labels, std::vector<std::string>{"Float"});
}

TEST_F(ModeTest, TestModeClearsAndHoldsOffImplicitGraphs)
{
    auto equations = std::make_shared<YEqModel>(calc);
    calc.yEqManager = equations;
    equations->setYEqFunc(0x5E10, {0x58});
    type({0x31, 0x70, 0x32});
    history->addEntry({0x31}, "1", 0, *std::make_unique<Operand>());
    calc.locked()->strings[0] = {0x41};
    calc.setGraphMode(4);
    mode->updateDisplay();

    mode->toggle(ModeScreen::TestMode, true);
    EXPECT_EQ(calc.testMode, 1);
    EXPECT_EQ(calc.graphMode(), 0);
    EXPECT_EQ(mode->segments(ModeScreen::GraphMode).selected(), 0);
    EXPECT_EQ(mode->segments(ModeScreen::GraphMode).title(4), "");
    EXPECT_TRUE(history->history().empty());
    EXPECT_EQ(entry->text(), "");
    EXPECT_TRUE(equations->getYEqFuncOps(0x5E10).value_or(Calculator::Ops{1}).empty());
    EXPECT_TRUE(calc.locked()->strings[0].empty());
    EXPECT_TRUE(mode->clockRunning());

    // Implicit graphs stay off during the test.
    calc.setGraphMode(2);
    labels.clear();
    mode->segments(ModeScreen::GraphMode).click(4);
    EXPECT_EQ(calc.graphMode(), 2);
    EXPECT_EQ(labels, std::vector<std::string>{"Graph:Polar"});

    mode->toggle(ModeScreen::TestMode, false);
    EXPECT_EQ(calc.testMode, 0);
    EXPECT_FALSE(mode->clockRunning());
    EXPECT_EQ(mode->testTime(), "Testing Mode");
    EXPECT_EQ(mode->segments(ModeScreen::GraphMode).title(4), "f(XY)");
    EXPECT_TRUE(calc.locked()->strings[0].empty());
    calc.yEqManager = nullptr;
}

TEST_F(ModeTest, TheTestClock)
{
    const std::vector<std::pair<double, QString>> times = {
        {3725, "1h: 2m: 5s Testing Mode"}, {3599, "0h:59m:59s Testing Mode"}, {3600, "1h: 0m: 0s Testing Mode"},
        {-40, "0h: 0m: 0s Testing Mode"},
    };
    for (const auto& [seconds, text] : times)
        EXPECT_EQ(ModeScreen::testTimeText(seconds), text) << seconds;
    mode->toggle(ModeScreen::TestMode, true);
    clock += std::chrono::seconds(3725);
    mode->showTestTime();
    EXPECT_EQ(mode->testTime(), "1h: 2m: 5s Testing Mode");
    // A clock set back before the start.
    clock -= std::chrono::hours(3);
    mode->showTestTime();
    EXPECT_EQ(mode->testTime(), "0h: 0m: 0s Testing Mode");
    mode->toggle(ModeScreen::TestMode, false);
}

// "Testing Mode" is written once on the screen: the clock's label names its switch, which
// sits beside it on one row.
TEST_F(ModeTest, TestingModeIsNamedOnceBesideItsSwitch)
{
    mode->show();
    const auto named = [this] {
        int n = 0;
        for (const QLabel* label : mode->findChildren<QLabel*>())
            n += label->isVisible() && label->text().contains(QStringLiteral("Testing Mode"));
        for (const QAbstractButton* button : mode->findChildren<QAbstractButton*>())
            n += button->isVisible() && button->text().contains(QStringLiteral("Testing Mode"));
        return n;
    };
    EXPECT_EQ(named(), 1);
    const QLabel* clockLabel = nullptr;
    for (const QLabel* label : mode->findChildren<QLabel*>())
        if (label->text() == QStringLiteral("Testing Mode"))
            clockLabel = label;
    ASSERT_TRUE(clockLabel);
    QAbstractButton* toggleSwitch = nullptr;
    for (QAbstractButton* button : mode->findChildren<QAbstractButton*>())
        if (button->accessibleName() == QStringLiteral("Testing Mode"))
            toggleSwitch = button;
    ASSERT_TRUE(toggleSwitch);
    const QRect label(clockLabel->mapTo(mode.get(), QPoint(0, 0)), clockLabel->size());
    const QRect box(toggleSwitch->mapTo(mode.get(), QPoint(0, 0)), toggleSwitch->size());
    EXPECT_LT(box.right(), label.left()) << "the switch before its name";
    EXPECT_TRUE(box.top() < label.bottom() && label.top() < box.bottom()) << "on one row";
    mode->toggle(ModeScreen::TestMode, true);
    clock += std::chrono::seconds(65);
    mode->showTestTime();
    EXPECT_EQ(named(), 1);
    EXPECT_EQ(clockLabel->text(), "0h: 1m: 5s Testing Mode");
    mode->toggle(ModeScreen::TestMode, false);
}

TEST_F(ModeTest, ClosingAfterADisplayChangeClearsTheEntryLine)
{
    type({0x31, 0x70, 0x32});
    mode->focus(true);
    mode->segments(ModeScreen::MathPrint).click(calc.locked()->mathPrint ? 1 : 0);
    mode->segments(ModeScreen::MathPrint).click(calc.locked()->mathPrint ? 1 : 0);
    mode->done();
    EXPECT_EQ(entry->text(), "1+2");
    EXPECT_EQ(closings, 1);

    mode->focus(true);
    mode->segments(ModeScreen::MathPrint).click(calc.locked()->mathPrint ? 1 : 0);
    mode->done();
    EXPECT_EQ(entry->text(), "");
}

TEST_F(ModeTest, ColourSets)
{
    mode->segments(ModeScreen::LcdColors).click(3);
    EXPECT_EQ(calc.lcdColorSet, 3);
    EXPECT_EQ(calc.keyboardColorSet, 0);
    mode->segments(ModeScreen::KeyboardColors).click(2);
    EXPECT_EQ(calc.keyboardColorSet, 2);
    calc.lcdColorSet = 5;
    mode->updateDisplay();
    EXPECT_EQ(mode->segments(ModeScreen::LcdColors).selected(), 5);
    EXPECT_EQ(mode->segments(ModeScreen::KeyboardColors).selected(), 2);
}

// Which option is chosen shows at a glance: in every control, at a phone's and a tablet's
// size and on every keyboard colour set, the chosen segment's fill differs from the others'
// at 3 : 1 or more, and every title reads on its segment.
TEST_F(ModeTest, TheChosenSegmentStandsOutFromTheOthers)
{
    mode->show();
    for (const QSize size : {QSize(390, 844), QSize(768, 1024)}) {
        mode->resize(size);
        for (int set = 0; set < 6; ++set) {
            mode->segments(ModeScreen::KeyboardColors).click(set);
            mode->updateDisplay();
            const QImage picture = mode->grab().toImage();
            for (int which = 0; which < ModeScreen::SegmentCount; ++which) {
                const SegmentedControl& control = mode->segments(ModeScreen::Segments(which));
                const auto buttons = control.findChildren<QToolButton*>();
                ASSERT_EQ(buttons.size(), control.count());
                // Inside the segment's outline.
                const auto area = [&](int i) {
                    const QToolButton* b = buttons[i];
                    return QRect(b->mapTo(mode.get(), QPoint(0, 0)), b->size()).adjusted(2, 2, -2, -2);
                };
                ASSERT_TRUE(picture.rect().contains(area(control.selected()))) << size.height() << " " << which;
                const QColor chosen = backgroundIn(picture, area(control.selected()));
                const bool titled = !control.title(0).isEmpty();
                for (int i = 0; i < control.count(); ++i) {
                    const std::string where = std::to_string(size.width()) + " set " + std::to_string(set) + " control "
                        + std::to_string(which) + " segment " + std::to_string(i);
                    if (titled && !control.title(i).isEmpty()) {
                        EXPECT_GE(textContrast(picture, area(i)), 4.5) << where;
                    }
                    if (i != control.selected()) {
                        EXPECT_GE(contrastRatio(backgroundIn(picture, area(i)), chosen), 3.0) << where;
                    }
                }
            }
        }
    }
    // The chosen look follows a pick: Degree, then Radian.
    mode->resize(390, 844);
    QColor chosenBefore;
    for (const int angle : {1, 0}) {
        mode->segments(ModeScreen::Angle).click(angle);
        const QImage picture = mode->grab().toImage();
        const auto buttons = mode->segments(ModeScreen::Angle).findChildren<QToolButton*>();
        const auto fill = [&](int i) {
            const QRect shown(buttons[i]->mapTo(mode.get(), QPoint(0, 0)), buttons[i]->size());
            return backgroundIn(picture, shown.adjusted(2, 2, -2, -2));
        };
        EXPECT_GE(contrastRatio(fill(0), fill(1)), 3.0) << angle;
        if (chosenBefore.isValid()) {
            EXPECT_EQ(fill(angle), chosenBefore);
        }
        chosenBefore = fill(angle);
    }
}

} // namespace
} // namespace orvenda::test
