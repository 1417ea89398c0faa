#pragma once

#include "graphui/KeyCommandSpec.h"

#include <QWidget>

#include <array>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QListWidget;
class QPushButton;

namespace orvenda {

class Calculator;
class KeyRouter;

// The graph screen's zoom menu: the ten zoom commands in a list and a three-segment
// selector, drawn as the library's images, of the axes the zoom buttons act on (both,
// horizontal, vertical). On a phone it covers the graph screen, with a Cancel button that
// closes it as Escape does; on a tablet it is a popover (a popup window) without Cancel or
// selector. It tells its delegate what was picked. Keys while it has the focus: Escape
// cancels, Up and Down move the selection (staying on the first and last row; with none
// selected Down selects row 1 and Up row 0), Return picks the selected row (row 0 when none
// is); on a phone no other key without Ctrl or Alt passes to the graph under it. Main
// thread.
class ZoomMenu : public QWidget {
public:
    class Delegate {
    public:
        virtual ~Delegate() = default;
        virtual void didPickOp(int token) = 0;
        // 0 both axes, 1 horizontal, 2 vertical.
        virtual void didPickZoomButton(int direction) = 0;
        virtual void zoomCanceled() = 0;
    };

    // ZoomSto, ZoomRcl, ZPrevious, ZoomFit, ZSquare, ZDecimal, ZStandard, ZTrig, ZInteger,
    // ZoomStat, in row order.
    static constexpr std::array<int, 10> kZoomItems{0x92, 0x90, 0x8D, 0xBB65, 0x8B, 0x8E, 0x86, 0x87, 0x8C, 0x8F};
    static constexpr int kStandardRow = 6;

    ZoomMenu(Calculator& calc, KeyRouter& keys, bool tablet, QWidget* parent = nullptr);

    void setDelegate(Delegate* delegate) { delegate_ = delegate; }
    // Selects the ZStandard row (the menu opened from the computer's keyboard).
    void respondToKeyboard();
    void cancelZoom();
    // The selector's segment chosen.
    void zoomButtons(int segment);
    // A row chosen.
    void pickRow(int row);
    // -1 when no row is selected.
    int selectedRow() const;
    QListWidget& list() const { return *list_; }
    const QPushButton& cancelButton() const { return *cancel_; }
    // The selector's segment: 0 both axes, 1 horizontal, 2 vertical.
    QAbstractButton& segment(int index) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void selectRow(int row);

    Calculator& calc_;
    KeyRouter& keys_;
    Delegate* delegate_ = nullptr;
    QPushButton* cancel_;
    QListWidget* list_;
    QWidget* selector_;
    QButtonGroup* segments_;
    std::vector<KeyCommandSpec> keyCmds_;
};

} // namespace orvenda
