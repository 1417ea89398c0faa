#pragma once

#include "drawing/DrawString.h"

#include <QColor>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <vector>

class QPainter;

namespace orvenda {

// The text collected for one block of a help page: runs of text, each in its own font and
// colour, set in a box of a given width with line breaks at word boundaries (and at every
// line feed), lines spaced by their fonts' height and leading. Sizes need not be whole
// points. Main thread.
class HelpText {
public:
    struct Run {
        QString text;
        TextFont font;
        QColor color;
        // A link target; drawn text carries it as a link in a PDF.
        QString url;
    };

    void append(const QString& text, const TextFont& font, const QColor& color, const QString& url = {});
    // Puts text in front of everything collected, in that font and colour.
    void prepend(const QString& text, const TextFont& font, const QColor& color);
    bool isEmpty() const { return length_ == 0; }
    void clear();
    const std::vector<Run>& runs() const { return runs_; }
    // The text of every run.
    QString plainText() const;

    // The size the text takes when set in that width (its width is the widest line's).
    QSizeF measure(double width) const;
    // The text of each line when set in that width.
    QStringList lines(double width) const;
    // Draws the text set in that width with its top-left corner at the point.
    void draw(QPainter& painter, QPointF topLeft, double width) const;

private:
    template <typename Line>
    QSizeF layout(double width, Line line) const;

    std::vector<Run> runs_;
    qsizetype length_ = 0;
};

} // namespace orvenda
