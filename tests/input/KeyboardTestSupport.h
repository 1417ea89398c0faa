#pragma once

// A calculator keyboard over the home screen's key routing, with a screen router that
// notes what it is asked and a note of every op the keyboard hands to key routing.

#include "app/AppTestSupport.h"
#include "input/KeyButton.h"
#include "input/KeyTables.h"
#include "input/KeyboardView.h"
#include "input/KeyboardViewDelegate.h"

#include <QMouseEvent>

#include <string>
#include <vector>

namespace orvenda::test {

class RecordingRouter : public KeyboardViewDelegate {
public:
    std::vector<std::string> calls;
    std::uint32_t helpOp = 0;
    QRectF helpFrame;

    bool showHelpForOp(std::uint32_t op, QRectF keyFrame) override
    {
        helpOp = op;
        helpFrame = keyFrame;
        calls.push_back("help");
        return true;
    }
    void showYEQ() override { calls.push_back("Y="); }
    void showWindow() override { calls.push_back("window"); }
    void showGraphView(bool) override { calls.push_back("graph"); }
    void showHome() override { calls.push_back("home"); }
    void showMenu(int id) override { calls.push_back("menu " + std::to_string(id)); }
    void showCatalog(const std::string& search) override { calls.push_back("catalog " + search); }
    void showInfo() override { calls.push_back("info"); }
};

class KeyboardTest : public KeysTest {
protected:
    KeyboardTest()
    {
        calc.keyProcessor = [this](int op) {
            processed.push_back(static_cast<std::uint32_t>(op));
            keys.processKeyOp(static_cast<std::uint32_t>(op));
        };
        keyboard.setDelegate(&router);
        keyboard.resize(320, 350);
    }
    ~KeyboardTest() override { calc.keyProcessor = nullptr; }

    // A soft key pressed and let go.
    void tapKey(int key)
    {
        keyboard.keyDown(key);
        keyboard.keyUp(key);
    }

    KeyboardView keyboard{calc, keys};
    RecordingRouter router;
    std::vector<std::uint32_t> processed;
};

} // namespace orvenda::test
