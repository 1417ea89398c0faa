#pragma once

#include "pretty/LayoutManager.h"

#include <QPointF>
#include <QWidget>

#include <optional>
#include <string>

namespace orvenda {

class AppShell;
class Calculator;
class EntryModel;
class PrettyViewDelegate;

// The one-line entry field: the entry line's tokens wrapped at whole tokens in a
// fixed-pitch font, after an optional prefix (a cell name), or an overlay text (the value
// shown until the field is tapped), with the blinking cursor; highlighted while no history
// item is selected, a separator on top. A tap puts the cursor on the token under it (first
// turning an overlay into the entry); a vertical drag asks the delegate to move the split
// between history and entry. Main thread.
class EntryView : public QWidget {
public:
    // The op the display-only text of an overlay may hold, dropped when it becomes ops.
    static constexpr std::uint32_t kOverlayOnly = 0x5C65;

    EntryView(Calculator& calc, AppShell& shell, QWidget* parent = nullptr);

    void setDelegate(PrettyViewDelegate* delegate) { delegate_ = delegate; }
    const std::optional<std::string>& overlayStr() const { return overlay_; }
    void setOverlayStr(std::optional<std::string> overlay);
    const std::string& prefixStr() const { return prefix_; }
    void setPrefixStr(std::string prefix);
    double fontSize() const { return fontSize_; }
    double leading() const { return leading_; }

    // The height the field needs now: the wrapped text and the space under it.
    double height();
    // The same for another font size and leading.
    double heightWithFontSize(double fontSize, double leading);
    // The font size, leading and bottom space for the field's width.
    void layoutForWidth(double width);

    // A tap at a point of the field.
    void singleTap(QPointF point);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    EntryModel* entry() const;
    // The layout set up for the entry as it is now, at the given leading.
    void configure(double leading);
    QPointF inDelegateView(QPointF point) const;

    Calculator& calc_;
    AppShell& shell_;
    double fontSize_;
    double leading_;
    int top_;
    PrettyViewDelegate* delegate_ = nullptr;
    QPointF basePoint_;
    QPointF pressedAt_;
    bool pressed_ = false;
    bool panning_ = false;
    std::optional<std::string> overlay_;
    std::string prefix_;
    LayoutManager layout_;
};

} // namespace orvenda
