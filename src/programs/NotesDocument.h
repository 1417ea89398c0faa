#pragma once

#include "programs/NotesHtml.h"

#include <QTextDocument>

class QTextFrame;

namespace orvenda {

// The rich text of a program's notes page. Notes come from files others share, so the page
// loads nothing it names (no file, no network, no data address: an image is a clear pixel)
// and shows the notes bounded as NotesHtml::bounded says. Main thread.
class NotesDocument : public QTextDocument {
public:
    using QTextDocument::QTextDocument;

    // The deepest nesting of frames (the root, tables) a page may have; a page whose HTML
    // Qt reads deeper shows its text alone.
    static constexpr int kMaxFrameDepth = NotesHtml::kMaxTables + 2;
    static int frameDepth(const QTextFrame& frame);

    // The page's HTML, bounded.
    void setNotesHtml(const QString& html);
    // How many resources the page named (and was refused).
    int refused() const { return refused_; }

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    int refused_ = 0;
};

} // namespace orvenda
