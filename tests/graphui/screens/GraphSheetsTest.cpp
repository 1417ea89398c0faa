// The sliding sheets over the graph (the keyboard sheet and the statistics panel) and the
// input field box, at fixed sizes.

#include "GraphPanelsTestSupport.h"
#include "app/AppShell.h"
#include "app/AppTestSupport.h"
#include "app/ImageButton.h"
#include "graphui/GraphKeyboardView.h"
#include "graphui/GraphPanelDelegates.h"
#include "graphui/GraphStatInfoView.h"
#include "graphui/InputFieldView.h"
#include "graphui/VQTemplateView.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QPushButton>

namespace orvenda::test {
namespace {

class Sheets : public GraphKeyboardDelegate, public GraphStatInfoViewDelegate {
public:
    std::vector<VQTemplateField> getFields() override { return fields; }
    std::string title() const override { return "Calculate:value"; }
    bool showIntegral() const override { return integral; }
    void valueIntegralChange(int mode) override { modes.push_back(mode); }
    void fieldDidChange(const VQTemplateField& field) override { changed.push_back(field.value); }
    void graphKeyboardDone() override { ++done; }
    std::vector<VQTemplateField> getStatFields() override { return fields; }
    std::string getStatTitle() const override { return "2-Variable Statistics"; }
    void graphStatInfoDone() override { ++done; }

    std::vector<VQTemplateField> fields;
    bool integral = false;
    std::vector<int> modes;
    std::vector<double> changed;
    int done = 0;
};

class GraphSheetsTest : public HomeTest {
protected:
    GraphSheetsTest()
    {
        sheets.fields = {VQTemplateField::fieldValue(1, 0, 0, 0, 0, "X=", 11),
                         VQTemplateField::fieldValue(2, 0, -1, 17, 0, "Y=", 13)};
    }
    AppShell shell{calc};
    Sheets sheets;
};

TEST_F(GraphSheetsTest, TheKeyboardSheetSlidesInAndOutAndCommitsTheTypedField)
{
    GraphKeyboardView sheet(calc, shell, sheets);
    sheet.resize(320, 480);
    sheet.show(true);
    EXPECT_FALSE(sheet.isHidden());
    animations().finish();
    EXPECT_EQ(sheet.sheetFrame().bottom() + 1, 480);
    EXPECT_DOUBLE_EQ(sheet.dim(), 0.5);
    sheet.focus(true);
    EXPECT_TRUE(sheet.valueIntegralSeg().isHidden());
    EXPECT_EQ(sheet.form().currentField(), 0);

    type({0x31, 0x83, 0x34});  // 1/4
    sheet.gkDone();
    EXPECT_EQ(sheets.changed, (std::vector<double>{0.25}));
    EXPECT_EQ(sheets.done, 1);

    sheet.show(false);
    animations().finish();
    EXPECT_TRUE(sheet.isHidden());
    // Already hidden: the outward slide still plays and hides the view at its end.
    sheet.show(false);
    EXPECT_FALSE(sheet.isHidden());
    animations().finish();
    EXPECT_TRUE(sheet.isHidden());
}

TEST_F(GraphSheetsTest, OnATabletTheSheetReachesThirtyPointsHigher)
{
    GraphKeyboardView phone(calc, shell, sheets);
    phone.resize(768, 1024);
    phone.show(true);
    animations().finish();
    const QRect phoneFrame = phone.sheetFrame();
    calc.device = 1;
    GraphKeyboardView tablet(calc, shell, sheets);
    tablet.resize(768, 1024);
    tablet.show(true);
    animations().finish();
    EXPECT_EQ(tablet.sheetFrame(), phoneFrame.adjusted(0, -30, 0, 0));
    EXPECT_EQ(tablet.sheetFrame().bottom() + 1, 1024);
}

TEST_F(GraphSheetsTest, TheStatisticsPanelGrowsToItsFieldsWithDoneOnItsCorner)
{
    for (int row = 0; row < 8; ++row) {
        sheets.fields.push_back(VQTemplateField::fieldValue(row, 0, -1, 0, row, "x̅=", 0));
        sheets.fields.push_back(VQTemplateField::fieldValue(row, 0, -1, 16, row, "∑xy=", 0));
    }
    GraphStatInfoView panel(calc, shell, sheets);
    panel.resize(480, 480);
    panel.show(true);
    animations().finish();
    const QRect form = panel.form().geometry();
    EXPECT_EQ(form.size(), panel.size());
    EXPECT_GE(form.height(), 9 * 20);
    EXPECT_EQ(form.bottom() + 1, 480);
    EXPECT_EQ(panel.doneButton().geometry().right(), form.right());
    EXPECT_EQ(panel.doneButton().geometry().bottom() + 1, form.top());
    // Done is the key with the downward chevron, white on its face.
    EXPECT_EQ(panel.doneButton().imageName(), "fkeyMoveDown");
    const QImage face = panel.doneButton().grab().toImage();
    int white = 0;
    for (int y = 0; y < face.height(); ++y)
        for (int x = 0; x < face.width(); ++x) {
            const QColor c = face.pixelColor(x, y);
            white += c.alpha() > 200 && c.red() > 220 && c.green() > 220 && c.blue() > 220;
        }
    EXPECT_GT(white, 10);
    panel.doneButton().click();
    EXPECT_EQ(sheets.done, 1);
}

TEST_F(GraphSheetsTest, AnInputFieldShowsItsVariable)
{
    InputFieldView field(calc);
    field.varNum = 1;
    calc.setVar(1, {{1.0 / 3, 0}});
    EXPECT_EQ(field.text(), ".3333333333");
}

} // namespace
} // namespace orvenda::test
