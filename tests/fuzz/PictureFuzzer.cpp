// Any bytes as a picture file for the graph's background: decoded as the photo library's
// pick is (raster formats only, upright, within the bounds) and made to cover a graph area
// and a tablet's frame. Nothing may crash, hang or grow without bound: what is decoded stays
// within the pixel bound, and what is stored is the frame's size exactly.

#include "core/Calculator.h"
#include "drawing/BackgroundPicture.h"

#include "FuzzCheck.h"
#include "GuiFuzzerInit.h"

#include <QByteArray>

#include <cstdint>

using namespace orvenda;
using orvenda::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The last byte picks the graph: a phone's, a tablet's standing and turned, or a sliver.
    const int pick = size > 0 ? data[size - 1] % 4 : 0;
    static const QSize graphs[4] = {{390, 776}, {768, 980}, {1024, 724}, {3, 1}};
    const QSize graph = graphs[pick];
    const QRect frame = BackgroundPicture::coverFrame(graph, pick == 1 ? graphs[2] : pick == 2 ? graphs[1] : QSize());
    check(frame.contains(QRect(QPoint(), graph)));

    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto picture = BackgroundPicture::decode(bytes, frame.size());
    if (!picture)
        return 0;
    check(!picture->isNull());
    check(qint64(picture->width()) * picture->height() <= BackgroundPicture::kMaxPixels);

    static Calculator* calc = new Calculator;
    if (BackgroundPicture::saveBackgroundImage(*calc, *picture, frame)) {
        const QImage* stored = BackgroundPicture::image(*calc);
        check(stored && stored->size() == frame.size());
        check(calc->backgroundFrame.width == frame.width() && calc->backgroundScale == 1.0);
    }
    return 0;
}
