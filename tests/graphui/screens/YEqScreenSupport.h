#pragma once

// The window over a calculator with the real Y= model, the Y= screen and its picker
// registered as the app registers them, at the phone's size.

#include "app/YEqModel.h"
#include "app/YEqTestSupport.h"
#include "app/ui/ScreenTestSupport.h"
#include "graphui/YEqColorPicker.h"
#include "graphui/YEqScreen.h"
#include "graphui/YEqScrollView.h"
#include "graphui/YEqView.h"

#include <QImage>

namespace orvenda::test {

class YEqScreens : public ScreensTest {
protected:
    YEqScreens()
    {
        calc.yEqManager = eq;
        registerYEqScreens();
    }
    void registerYEqScreens()
    {
        root->screens().set(screens::YEq, [this](QWidget* p) { return new YEqScreen(calc, shell, router(), p); });
        root->screens().set(screens::YEqColor, [this](QWidget* p) { return new YEqColorPicker(calc, router(), p); });
    }
    ~YEqScreens() override { calc.yEqManager.reset(); }

    YEqScreen& showYEq()
    {
        router().showScreen(screens::YEq);
        return *static_cast<YEqScreen*>(router().controller(screens::YEq));
    }
    YEqColorPicker* picker() const { return static_cast<YEqColorPicker*>(root->router().controller(screens::YEqColor)); }
    // The current equation typed one key at a time, as the keys route it.
    void typeKeys(const std::string& text)
    {
        for (std::uint32_t op : ops(text))
            shell.keys().processKeyOp(op);
    }
    std::string text(int token) const { return calc.stringFromOps(eq->equationOps(token).value_or(Ops{})); }

    std::shared_ptr<YEqModel> eq = std::make_shared<YEqModel>(calc);
};

// The colour of a pixel of the image, in 0..255 per channel.
inline QColor pixel(const QImage& image, QPointF at)
{
    return image.pixelColor(static_cast<int>(at.x() * image.devicePixelRatio()),
        static_cast<int>(at.y() * image.devicePixelRatio()));
}

// Within a few steps of 255 per channel.
inline bool near(const QColor& a, const QColor& b, int tolerance = 6)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance;
}

} // namespace orvenda::test
