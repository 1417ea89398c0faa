#pragma once

#include <QStringList>
#include <QWidget>

#include <functional>

namespace orvenda {

// The index down the right edge of a sectioned list: its titles spread over its height, a
// press or a drag over one reporting it, as a finger running down the letters would.
// Main thread.
class SideIndex : public QWidget {
public:
    // The least width: one letter with room around it.
    static constexpr int kWidth = 18;

    explicit SideIndex(QWidget* parent = nullptr);

    void setTitles(const QStringList& titles);
    const QStringList& titles() const { return titles_; }
    // Wide enough for the widest title (a tag of 4 characters), never below kWidth.
    int indexWidth() const;
    // Where an entry is drawn, in this widget's coordinates; empty past the list.
    QRect entryRect(int index) const;
    int entryAt(QPoint at) const;

    // The entry pressed or dragged over (each once until another is reached).
    std::function<void(int index)> picked;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Each entry's height: the titles fill the height, never further apart than a line.
    double step() const;
    QFont titleFont() const;
    void reach(QPoint at);

    QStringList titles_;
    int last_ = -1;
};

} // namespace orvenda
