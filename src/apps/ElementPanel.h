#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class QScrollArea;

namespace orvenda {

class ElementView;

// The element detail over the periodic table: a bar with "symbol name" and Done over the
// scrolling ElementView. A double click whose first click opened it was a double tap on
// the table: it goes back there (doubleTapped). Main thread.
class ElementPanel : public QWidget {
public:
    explicit ElementPanel(QWidget* parent = nullptr);

    // Shows the element ("O Oxygen") and the panel.
    void showElement(int element);
    int element() const { return element_; }
    QString title() const;
    ElementView& view() const { return *view_; }
    QScrollArea& scroller() const { return *scroller_; }
    QPushButton* doneButton() const { return done_; }

    // Done: the panel hides.
    std::function<void()> finished;
    std::function<void()> doubleTapped;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch(QObject* object);

    QWidget* bar_;
    QLabel* title_;
    QPushButton* done_;
    QScrollArea* scroller_;
    ElementView* view_;
    int element_ = 0;
    // Presses since the panel was shown: the first click of a double click opened it.
    int presses_ = 0;
};

} // namespace orvenda
