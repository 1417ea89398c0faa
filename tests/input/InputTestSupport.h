#pragma once

// The menus, the catalogue and the mode screen over the window's root controller, with a
// delegate that writes down what the menu hands back.

#include "app/ui/ScreenTestSupport.h"
#include "input/HelpPage.h"
#include "input/MenuScreen.h"
#include "input/MenuViewDelegate.h"
#include "programs/ProgramFiles.h"
#include "programs/ProgramModel.h"

#include <QKeyEvent>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace orvenda::test {

// Each pick as "op EF38", "variable L1", "matrix 2 edit", "run P", "edit P",
// "paste 2", "store GDB1", "recall GDB1", "test 5C50", "geometry 5C59", "periodic",
// "poly", "simul", "cancel".
class Picks : public MenuViewDelegate {
public:
    static std::string hex(std::uint32_t v)
    {
        char text[16];
        std::snprintf(text, sizeof text, "%X", v);
        return text;
    }
    void didPickOp(std::uint32_t op) override { got.push_back("op " + hex(op)); }
    void didPickVariable(const std::string& name) override { got.push_back("variable " + name); }
    void didPickMatrix(int n, bool edit) override
    {
        got.push_back("matrix " + std::to_string(n) + (edit ? " edit" : ""));
    }
    void executeProgram(const std::string& name) override { got.push_back("run " + name); }
    void editProgram(const std::string& name) override { got.push_back("edit " + name); }
    void pasteOps(const std::vector<std::uint32_t>& ops) override { got.push_back("paste " + std::to_string(ops.size())); }
    void saveGDB(const std::string& name) override { got.push_back("store " + name); }
    void recallGDB(const std::string& name) override { got.push_back("recall " + name); }
    void showStatTest(int token) override { got.push_back("test " + hex(static_cast<std::uint32_t>(token))); }
    void showGeometry(int token) override { got.push_back("geometry " + hex(static_cast<std::uint32_t>(token))); }
    void showPeriodicTable() override { got.push_back("periodic"); }
    void showPolySolver() override { got.push_back("poly"); }
    void showSimulEqSolver() override { got.push_back("simul"); }
    void menuCanceled() override { got.push_back("cancel"); }
    void askQuestion() override { got.push_back("question"); }
    void reportBug() override { got.push_back("bug"); }
    void leaveReview() override { got.push_back("review"); }

    std::string last() const { return got.empty() ? std::string() : got.back(); }
    std::vector<std::string> got;
};

class MenuTest : public ScreensTest {
protected:
    MenuTest()
    {
        // The stored programs of a fresh data folder, the sample programs with them.
        calc.prgmManager = std::make_shared<ProgramModel>(calc, std::make_shared<ProgramFiles>(programsDir()));
        menu = std::make_unique<MenuScreen>(calc, shell);
        menu->setDelegate(&picks);
        menu->resize(390, 700);
        messages = std::make_shared<std::vector<QString>>();
        menu->tell = [m = messages](const QString& text) { m->push_back(text); };
    }

    QString programsDir() const { return folder.path() + QStringLiteral("/programs"); }
    void hardware(int key, const QString& text = {}, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, key, mods, text);
        QApplication::sendEvent(menu.get(), &press);
    }
    int rows() const
    {
        int n = 0;
        for (const auto& s : menu->sections())
            n += static_cast<int>(s.rows.size());
        return n;
    }

    QTemporaryDir folder;
    Picks picks;
    std::unique_ptr<MenuScreen> menu;
    std::shared_ptr<std::vector<QString>> messages;
};

} // namespace orvenda::test
