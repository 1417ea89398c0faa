#include "app/PageSlide.h"

#include "app/OverlaySlide.h"

#include <QWidget>

#include <cmath>
#include <utility>

namespace orvenda {

PageSlide::PageSlide(QWidget& owner, QWidget& list, std::function<QRect()> area)
    : list_(list), area_(std::move(area)), slide_(new OverlaySlide(owner, [this](double in) {
          const QRect area = area_();
          const int shift = static_cast<int>(std::lround(area.width() * in));
          list_.setGeometry(area.translated(-shift, 0));
          if (page_)
              page_->setGeometry(area.translated(area.width() - shift, 0));
      }))
{
    slide_->arrived = [this](bool in) {
        // The view slid out is hidden: off the area or under the page, it is no part of
        // what the user sees or reaches.
        if (in)
            list_.hide();
        else if (page_)
            page_->hide();
    };
}

void PageSlide::push(QWidget& page)
{
    if (page_ && page_ != &page) {
        slide_->jump(false);
        page_->hide();
    }
    page_ = &page;
    list_.setAttribute(Qt::WA_TransparentForMouseEvents, true);
    page.show();
    page.raise();
    slide_->slide(true);
}

void PageSlide::pop()
{
    list_.setAttribute(Qt::WA_TransparentForMouseEvents, false);
    list_.show();
    slide_->slide(false);
}

void PageSlide::close()
{
    slide_->jump(false);
    list_.setAttribute(Qt::WA_TransparentForMouseEvents, false);
    list_.show();
    if (page_)
        page_->hide();
}

void PageSlide::place() const { slide_->place(); }

} // namespace orvenda
