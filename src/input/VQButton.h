#pragma once

#include <QColor>
#include <QImage>
#include <QPushButton>

namespace orvenda {

// A rounded button with a glossy gradient face, coloured by scheme: 1 light blue (also 0
// and any unknown scheme), 2 blue, 3 red, 4 black, 5 derived from the background colour.
// A red, blue or black background picks its scheme; any other opaque colour picks 5.
class VQButton : public QPushButton {
public:
    enum State { kNormal = 0, kHighlighted = 1, kDisabled = 2 };
    struct Colors {
        QColor glossTop;
        QColor glossBottom;
        QColor body;
    };

    explicit VQButton(QWidget* parent = nullptr, int scheme = 0, QColor background = QColor());

    int colorScheme() const { return scheme_; }
    void setColorScheme(int scheme);
    // The face colours of a state.
    Colors colors(State state) const;
    // The face of a state at the widget's size and pixel ratio.
    virtual QImage buttonImageForState(State state) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    QImage canvas() const;

private:
    int scheme_;
    QColor background_;
    QImage faces_[3];
};

// The flat outline variant: a blue outline, filled blue while pressed.
class VQButton2 : public VQButton {
public:
    using VQButton::VQButton;
    QImage buttonImageForState(State state) const override;
};

} // namespace orvenda
