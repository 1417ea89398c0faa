#pragma once

#include <QIcon>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <vector>

class QColor;
class QToolButton;

namespace orvenda {

// A row of exclusive segments, one selected, titled in plain text (an "&" shows as itself).
// changed runs when the user picks a segment (click()), not when the program selects one
// (setSelected()). Main thread.
class SegmentedControl : public QWidget {
public:
    SegmentedControl(const QStringList& titles, QWidget* parent = nullptr);

    int count() const { return static_cast<int>(buttons_.size()); }
    int selected() const { return selected_; }
    void setSelected(int index);
    QString title(int index) const;
    void setTitle(int index, const QString& title);
    void setIcon(int index, const QIcon& icon);
    // As a click on the segment.
    void click(int index);

    std::function<void(int index)> changed;

    // Colours the segments for the colour behind them: titles and outlines light on a dark
    // colour, dark on a light one, and the chosen segment filled with that ink.
    void setBackColor(const QColor& colour);
    // Colours a screen's bar of plain buttons and a segmented control: the bar in colour,
    // its captions and segments as setBackColor() colours them.
    static void styleBar(QWidget& bar, const QColor& colour);

private:
    std::vector<QToolButton*> buttons_;
    int selected_ = 0;
};

} // namespace orvenda
