#pragma once

#include <QWidget>

#include <string>

namespace orvenda {

class Calculator;
class GeometryModel;

// The geometry screen's panel: the figure's name in a banner (with a Deg/Rad marker for
// figures with an angle), its input fields with their values (the field being edited shows
// the text being typed, wrapped every 28 characters or at its column's width where that
// is narrower, the fields under it moving down, and the cursor), or for lines and
// three-point circles a table of points, and below them the results. A field's value of 0
// shows the label alone (0 is unknown); a point's coordinate of 0 shows "0". It holds no values: it reads the model and asks its delegate
// for the typing. A tap selects a field, or on the marker toggles the angle mode. Main
// thread.
class GeometryView : public QWidget {
public:
    class Delegate {
    public:
        virtual ~Delegate() = default;
        // The text being typed into the current field; empty for none.
        virtual std::string entryText() const = 0;
        virtual int entryCursor() const = 0;
        virtual void selectField(int field) = 0;
        virtual void changeAngleMode() = 0;
    };

    static constexpr int kWrap = 28;

    GeometryView(Calculator& calc, const GeometryModel& model, QWidget* parent = nullptr);

    void setDelegate(Delegate* delegate) { delegate_ = delegate; }
    double leading() const { return leading_; }
    double fontSize() const { return fontSize_; }
    void setFont(double size, double leading);
    bool showAngleMode() const { return showAngleMode_; }
    void setShowAngleMode(bool shown) { showAngleMode_ = shown; }
    // The rows the field being typed takes (1 when nothing is typed): the panel's owner
    // gives it the room.
    int typingRows() const;
    // The field a tap at p selects; -1 for the angle-mode marker.
    int fieldAt(const QPointF& p) const;
    void tapAt(const QPointF& p);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // The results stand beside the fields (the figure's rows do not hold them below).
    bool resultsBeside() const;
    // How many characters of the field being typed a row of its column holds.
    int wrap() const;

    Calculator& calc_;
    const GeometryModel& model_;
    Delegate* delegate_ = nullptr;
    double fontSize_;
    double leading_;
    bool showAngleMode_ = false;
};

} // namespace orvenda
