#include "programs/NotesDocument.h"

#include "programs/NotesHtml.h"

#include <QImage>
#include <QTextFrame>

#include <algorithm>

namespace orvenda {

int NotesDocument::frameDepth(const QTextFrame& frame)
{
    int deepest = 0;
    for (const QTextFrame* child : frame.childFrames())
        deepest = std::max(deepest, frameDepth(*child));
    return deepest + 1;
}

void NotesDocument::setNotesHtml(const QString& html)
{
    const QString bounded = QString::fromStdString(NotesHtml::bounded(html.toStdString()));
    // Read into a document that is never laid out first: where Qt's reading nests frames
    // deeper than the bounds foresaw, the page shows its text alone.
    NotesDocument probe;
    probe.setHtml(bounded);
    refused_ += probe.refused_;
    if (frameDepth(*probe.rootFrame()) <= kMaxFrameDepth)
        setHtml(bounded);
    else
        setPlainText(probe.toPlainText());
}

QVariant NotesDocument::loadResource(int type, const QUrl&)
{
    ++refused_;
    // An image must be answered: without one, Qt reads the file the page names itself.
    if (type == ImageResource) {
        static const QImage missing = [] {
            QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            return image;
        }();
        return missing;
    }
    return {};
}

} // namespace orvenda
