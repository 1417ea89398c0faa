#pragma once

#include <QRect>

#include <functional>

class QWidget;

namespace orvenda {

class OverlaySlide;

// A page sliding in over a list and back (a help page over a menu or the catalogue, a
// program's notes page over the library): the list goes out to the left as the page comes
// in from the right, across the area the owner gives as it stands at each step, so a
// window resized or turned during the slide takes both where its new size puts them. From
// the start of a push the page shows and the list takes no taps (a tap on the list going
// out, or behind the page, would pick a row the page hides); the list hides at its end. A
// pop shows the list, taking taps again, and hides the page at its end. Main thread.
class PageSlide {
public:
    PageSlide(QWidget& owner, QWidget& list, std::function<QRect()> area);

    // Slides the page in over the list.
    void push(QWidget& page);
    // Slides the page pushed last out again.
    void pop();
    // The list back at once, taking taps, and the page hidden.
    void close();
    // Lays the list and the page out anew where the slide stands (the owner's layout).
    void place() const;

private:
    QWidget& list_;
    QWidget* page_ = nullptr;
    std::function<QRect()> area_;
    OverlaySlide* slide_;
};

} // namespace orvenda
