#pragma once

// The window's root controller over the home screen's models, at the phone's size, with
// a probe for the screens a test watches.

#include "app/AppTestSupport.h"
#include "app/AppShell.h"
#include "app/GraphScreen.h"
#include "app/RootController.h"
#include "app/ScreenController.h"
#include "app/ScreenRegistry.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace orvenda::test {

// A screen that counts what it is asked; also stands in for the graph screen.
class Probe : public ScreenController, public GraphScreen {
public:
    using ScreenController::ScreenController;

    void updateDisplay() override { ++updates; }
    void didShow(bool shown) override { (shown ? showings : hidings)++; }
    void pause() override { ++pauses; }
    void pauseEnded() override {}
    void graphChanged() override {}
    void fitWindow() override {}
    void showSolverPlot(double, double, double, double) override {}

    int updates = 0;
    int showings = 0;
    int hidings = 0;
    int pauses = 0;
};

// An alert as {title, message, buttons...}.
inline std::vector<std::string> describe(const QMessageBox* box)
{
    if (!box)
        return {};
    std::vector<std::string> parts{box->windowTitle().toStdString(), box->text().toStdString()};
    for (const QAbstractButton* button : box->buttons())
        parts.push_back(button->text().toStdString());
    return parts;
}

inline QMessageBox* openAlert() { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); }

class ScreensTest : public HomeTest {
protected:
    ScreensTest()
    {
        calc.prgmManager = programs;
        root = std::make_shared<RootController>(calc, shell, false);
        calc.viewDelegate = root;
        root->resize(390, 844);
        root->show();
    }
    ~ScreensTest() override
    {
        while (QMessageBox* box = openAlert())
            box->done(0);
        shell.settle(std::chrono::seconds(30));
        calc.viewDelegate = nullptr;
        root.reset();
    }

    ScreenRouter& router() { return root->router(); }
    // The screens a test puts in the window; registered again in a new window.
    virtual void registerScreens(RootController& /*window*/) {}
    // The window rebuilt as a tablet's, 768×1024, with the test's screens.
    void becomeTablet()
    {
        calc.device = 1;
        newWindow();
    }
    // The window made again for the device, as at the next launch, with the test's screens.
    void newWindow()
    {
        const bool tablet = calc.device == 1;
        calc.setCurrentScreen(screens::Home);
        calc.viewDelegate = nullptr;
        root.reset();
        root = std::make_shared<RootController>(calc, shell, tablet);
        calc.viewDelegate = root;
        registerScreens(*root);
        root->resize(tablet ? 768 : 390, tablet ? 1024 : 844);
        root->show();
    }
    // The probe that screen id becomes when first shown.
    Probe*& probe(int id)
    {
        Probe*& made = probes_[id];
        root->screens().set(id, [this, &made](QWidget* parent) { return made = new Probe(calc, parent); });
        return made;
    }
    // Presses the open alert's button.
    void press(const QString& caption)
    {
        QMessageBox* box = openAlert();
        ASSERT_TRUE(box);
        for (QAbstractButton* button : box->buttons())
            if (button->text() == caption) {
                button->click();
                QCoreApplication::processEvents();
                return;
            }
        FAIL() << "no button " << caption.toStdString();
    }

    std::shared_ptr<testing::MemoryProgramManager> programs = std::make_shared<testing::MemoryProgramManager>();
    AppShell shell{calc};
    std::shared_ptr<RootController> root;

private:
    std::map<int, Probe*> probes_;
};

} // namespace orvenda::test
