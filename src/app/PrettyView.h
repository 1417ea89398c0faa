#pragma once

#include "app/DrawnView.h"
#include "pretty/PrettyPrint.h"

namespace orvenda {

class AppShell;
class Calculator;
class PrettyViewDelegate;

// The MathPrint entry line: the entry laid out in two dimensions in the calculator's shared
// layout engine, with the entry cursor, the insert mode and the base font size, and drawn
// with the blinking cursor. Draws in content coordinates inside a PrettyScrollView.
// Main thread.
class PrettyView : public DrawnView {
public:
    PrettyView(Calculator& calc, AppShell& shell, QWidget* parent = nullptr);

    // Lays the ops out around the entry cursor; the print rectangle.
    QRectF setOps(const PrettyPrint::Ops& ops);
    // The cursor shows as insert where the op under it cannot be written over.
    void adjustCursorMode();
    // The rectangle of op i, relative to the layout's top left.
    QRectF hitRectForIndex(int i) const;
    bool canOverwriteAt(int i) const;
    QRectF printRect() const;
    PrettyViewDelegate* delegate() const { return delegate_; }
    void setDelegate(PrettyViewDelegate* delegate) { delegate_ = delegate; }

    void paintContent(QPainter& painter, const QRectF& rect) override;

private:
    PrettyPrint& engine() const;
    int entryCursor() const;

    Calculator& calc_;
    AppShell& shell_;
    PrettyViewDelegate* delegate_ = nullptr;
    int cursorMode_ = 0;
};

} // namespace orvenda
