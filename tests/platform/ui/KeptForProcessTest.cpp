// In the sanitizer builds the pool threads the painter fills on are made once, at the
// start, where the leak checker keeps their data: a large fill afterwards makes no thread
// of its own, so none is left ending as the process exits.

#include "platform/KeptForProcess.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

namespace {

#ifdef ORVENDA_LEAK_CHECKED
std::ptrdiff_t threads()
{
    const std::filesystem::directory_iterator tasks("/proc/self/task");
    return std::distance(begin(tasks), end(tasks));
}

TEST(KeptForProcess, ALargeFillMakesNoPoolThreadOfItsOwn)
{
    const std::ptrdiff_t before = threads();
    QImage image(2000, 2000, QImage::Format_ARGB32_Premultiplied);
    for (int round = 0; round < 4; ++round) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillRect(image.rect(), round % 2 ? Qt::white : Qt::black);
        // A translucent rim, as the display's panel draws it.
        painter.setPen(QPen(QColor(0, 0, 0, 60 + round), 2));
        painter.drawRoundedRect(QRectF(10, 10, 1900, 1900), 40, 40);
    }
    EXPECT_EQ(threads(), before);
}
#else
TEST(KeptForProcess, ALargeFillMakesNoPoolThreadOfItsOwn) { GTEST_SKIP() << "only the sanitizer builds keep the pool's threads"; }
#endif

} // namespace
