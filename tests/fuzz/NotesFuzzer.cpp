// Any bytes as a program's notes on the notes page: as notes (the light and the dark page)
// and as a finished page of HTML, bounded, laid out at the phone's width and drawn. Nothing
// may crash, read a file or the network, or nest or grow past the bounds.

#include "programs/NotesDocument.h"
#include "programs/NotesHtml.h"

#include "FuzzCheck.h"
#include "GuiFuzzerInit.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QTextFrame>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

using namespace orvenda;
using orvenda::fuzz::check;

namespace {

void show(const std::string& html)
{
    const std::string bounded = NotesHtml::bounded(html);
    check(bounded.size() <= NotesHtml::kMaxBytes + 2048);
    NotesDocument document;
    document.setNotesHtml(QString::fromStdString(html));
    document.setTextWidth(390);
    document.documentLayout()->documentSize();
    check(NotesDocument::frameDepth(*document.rootFrame()) <= NotesDocument::kMaxFrameDepth);
    QImage canvas(390, 300, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    document.drawContents(&painter, QRectF(0, 0, 390, 300));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    show(NotesHtml::htmlForNote(input, size % 2 == 1));
    show("<html>" + std::string(input));
    return 0;
}
