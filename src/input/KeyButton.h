#pragma once

#include <QAbstractButton>
#include <QFont>
#include <QString>

namespace orvenda {

// One key of the calculator keyboard: its face and the legend on its body. The title (the
// key's spoken name in the current layer) is its accessible name and never drawn.
class KeyButton : public QAbstractButton {
public:
    KeyButton(int key, QWidget* parent);

    int key() const { return key_; }
    const QString& face() const { return face_; }
    void setFace(const QString& face, int colorSet);
    const QString& legend() const { return legend_; }
    void setLegend(const QString& legend);
    // The size of the labels on the keyboard's bodies, the same on every key whatever the
    // rounding of its frame to whole pixels; 0 takes it from this key's body.
    void setLabelSize(int pixels);
    // The label size a key of that frame and face gives.
    static int labelSizeFor(const QRectF& key, const QString& face);
    // The legend as drawn on the body: its font, and its text, broken between two words
    // when one line would shrink it below the size the body gives (Home Screen).
    QFont legendFont() const;
    QString legendLines() const;
    // The red bar of test mode across the key.
    void setBarred(bool barred);
    bool barred() const { return barred_; }
    void setTitle(const QString& title);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct LegendLayout {
        QFont font;
        // One line, or the two lines' texts and baselines.
        QString first;
        QString second;
        double firstBaseline = 0;
        double secondBaseline = 0;
    };
    LegendLayout layoutLegend() const;
    // The legend's layout, worked out again when the size, face or legend changed.
    const LegendLayout& shown() const;

    int key_;
    QString face_;
    QString legend_;
    int colorSet_ = 0;
    bool barred_ = false;
    int labelSize_ = 0;
    mutable LegendLayout shown_;
    mutable QSize shownFor_;
};

} // namespace orvenda
