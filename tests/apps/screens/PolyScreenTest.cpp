// The polynomial root finder: the banner equation (every term up to degree 7, from degree
// 8 the three highest and the three lowest with "…" between) and LOAD's list pick, which
// takes a list of 2 to 30 real numbers and refuses anything else with 27.

#include "TestSupport.h"
#include "app/EntryModel.h"
#include "app/KeyRouter.h"
#include "app/YEqTestSupport.h"
#include "app/ui/ScreenTestSupport.h"
#include "apps/MarkUpText.h"
#include "apps/PolyModel.h"
#include "apps/PolyScreen.h"

#include <gtest/gtest.h>

namespace orvenda::test {
namespace {

QString plain(const QString& markUp) { return MarkUpText::plain(MarkUpText::parse(markUp)); }

TEST(PolyBanner, TheEquationShortensFromDegreeEight)
{
    EXPECT_EQ(PolyScreen::equationOfDegree(1), "a<s1>x+a<s0>");
    EXPECT_EQ(PolyScreen::equationOfDegree(0), "a<s0>");
    EXPECT_EQ(PolyScreen::equationOfDegree(-1), "");
    EXPECT_EQ(plain(PolyScreen::equationOfDegree(3)), "a3x3+a2x2+a1x+a0");
    EXPECT_EQ(plain(PolyScreen::equationOfDegree(7)), "a7x7+a6x6+a5x5+a4x4+a3x3+a2x2+a1x+a0");
    EXPECT_EQ(PolyScreen::equationOfDegree(8), "a<s8>x<S8>+a<s7>x<S7>+a<s6>x<S6>+\u2026+a<s2>x<S2>+a<s1>x+a<s0>");
    EXPECT_EQ(plain(PolyScreen::equationOfDegree(29)), "a29x29+a28x28+a27x27+\u2026+a2x2+a1x+a0");
}

class PolyLoad : public ScreensTest {
protected:
    PolyLoad() { root->screens().set(screens::Polynomial, [this](QWidget* p) { return new PolyScreen(calc, shell, p); }); }
    // LOAD, then the pick arriving on the entry line as the screen comes back to the front.
    void load(PolyScreen& screen, const std::string& picked)
    {
        screen.menuChange(3);
        EXPECT_TRUE(screen.loadingList());
        dynamic_cast<EntryModel*>(calc.entryManager.get())->forceOps(ops(picked));
        router().bringCurrentScreenToFront();
        shell.settle(std::chrono::seconds(30));
        EXPECT_FALSE(screen.loadingList());
    }
    std::vector<double> coefficients() { return PolyModel(calc).coefficients(); }
    bool refusedWith27()
    {
        QMessageBox* box = openAlert();
        const bool refused = box && (box->windowTitle() + box->text()).toLower().contains("argument");
        while (QMessageBox* open = openAlert())
            open->done(0);
        return refused;
    }
};

TEST_F(PolyLoad, LoadTakesARealListOfTwoToThirtyAndRefusesTheRest)
{
    router().showScreen(screens::Polynomial);
    auto& screen = *dynamic_cast<PolyScreen*>(router().controller(screens::Polynomial));
    screen.menuChange(1);
    ASSERT_EQ(screen.state(), 1);
    load(screen, "{1,-3,2}");
    EXPECT_EQ(coefficients(), (std::vector<double>{1, -3, 2}));
    EXPECT_EQ(openAlert(), nullptr);
    std::string thirtyOne = "{1";
    for (int i = 0; i < 30; ++i)
        thirtyOne += ",1";
    for (const std::string& refused : {std::string("5"), std::string("{7}"), thirtyOne}) {
        load(screen, refused);
        EXPECT_TRUE(refusedWith27()) << refused;
        EXPECT_EQ(coefficients(), (std::vector<double>{1, -3, 2})) << refused;
    }
}

} // namespace
} // namespace orvenda::test
