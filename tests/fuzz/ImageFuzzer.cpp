// Any bytes as the vector images' XML and as a formula for the typesetter. The XML is read
// into a library of its own and every image it holds is drawn (into a small context, and
// as a bitmap when its bounds are modest); the same text, as a formula, is laid out,
// measured and drawn. Nothing may crash, hang or grow without bound: a layout that fails
// measures an empty rectangle, the tree stays within the nesting limit, and no bitmap
// exceeds the library's limits.

#include "drawing/GraphicsContext.h"
#include "drawing/VImageDraw.h"
#include "drawing/VLaTeX.h"

#include "GuiFuzzerInit.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace orvenda;

namespace {

void check(bool condition, int line = __builtin_LINE())
{
    if (!condition) {
        std::fprintf(stderr, "check failed at line %d\n", line);
        std::abort();
    }
}

// Images drawn per input, and the largest bitmap asked for (points a side).
constexpr std::size_t kMaxImages = 48;
constexpr double kMaxBitmapPoints = 300;

int depth(const VLaTeXObj& box)
{
    int deepest = 0;
    for (const auto& child : box.children)
        deepest = std::max(deepest, depth(*child));
    for (const VLaTeXObj* script : {box.superScript.get(), box.subScript.get()})
        if (script)
            deepest = std::max(deepest, depth(*script));
    return deepest + 1;
}

void images(std::string_view xml)
{
    static VImageDraw* library = new VImageDraw;
    library->loadData(xml);
    library->setColorName("blueKey", 30, 60, 200, 1);
    QImage canvas(64, 64, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    GraphicsContext context(painter);
    std::size_t drawn = 0;
    for (const std::string& name : library->imageNames()) {
        if (++drawn > kMaxImages)
            break;
        context.saveGState();
        library->drawImage(context, name, QPointF(3, 5));
        context.restoreGState();
        const QRectF bounds = library->boundsForImage(name);
        if (bounds.width() <= kMaxBitmapPoints && bounds.height() <= kMaxBitmapPoints) {
            const QImage image = library->getImage(name, 1, VColor{1, 0, 0, 1}, VColor{0, 0, 1, 1});
            check(image.isNull() || (image.width() <= VImageDraw::kMaxBitmapSide && image.height() <= VImageDraw::kMaxBitmapSide));
        }
    }
}

void formula(std::string_view text)
{
    const QString f = QString::fromUtf8(text.data(), qsizetype(std::min<std::size_t>(text.size(), 4096)));
    VLaTeX& tex = VLaTeX::vlaTeX();
    const int error = tex.layout(f, 17);
    check(error == VLaTeX::kNoError || error == VLaTeX::kArgumentGroups || error == VLaTeX::kRootGroup);
    check(depth(tex.parseTree().root()) <= VLaTeX::kMaxNesting + 4);
    const QRectF bounds = tex.boundsOf(f, 17);
    if (error != VLaTeX::kNoError)
        check(bounds == QRectF());
    QImage canvas(96, 48, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    GraphicsContext context(painter);
    tex.setString(f, QPointF(4, 20), context, int(text.size() % 4), 17);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    images(input);
    formula(input);
    return 0;
}
