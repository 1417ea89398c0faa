#pragma once

#include <QTabBar>

namespace orvenda {

// A tab bar that, given less room than its tabs want, shortens only the longest of them to
// one width (their text elided), so the short ones still read whole.
class SharedTabBar : public QTabBar {
public:
    explicit SharedTabBar(QWidget* parent = nullptr);

    // The room the tabs share; 0 lets every tab take its own width. Given again after a
    // change of font.
    void setRoom(int room);

protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override;
    void tabInserted(int index) override;
    void tabRemoved(int index) override;

private:
    // The widest a tab may be, worked out for the room given: 0 when every tab fits.
    int cap() const;

    int room_ = 0;
    // cap() for room_, kept from setRoom: the layout asks for each tab's size many times.
    int cap_ = 0;
};

} // namespace orvenda
