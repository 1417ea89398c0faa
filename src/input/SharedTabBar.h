#pragma once

#include <QTabBar>

namespace orvenda {

// A tab bar that, given less room than its tabs want, shortens only the longest of them to
// one width (their text elided), so the short ones still read whole.
class SharedTabBar : public QTabBar {
public:
    explicit SharedTabBar(QWidget* parent = nullptr);

    // The room the tabs share; 0 lets every tab take its own width.
    void setRoom(int room);

protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override;

private:
    // The widest a tab may be: its own width for every tab when all fit.
    int cap() const;

    int room_ = 0;
};

} // namespace orvenda
