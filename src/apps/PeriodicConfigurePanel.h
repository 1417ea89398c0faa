#pragma once

#include <QStringList>
#include <QWidget>

#include <functional>

class QListWidget;
class QPushButton;

namespace orvenda {

class OverlaySlide;

// The property picker of the periodic table: a panel of two columns (the property and, for
// Ionization, Radius, Hardness, Modulus, Density, Conductivity and Heat, its level or kind)
// that slides down from above the screen in 0.35 s while the screen behind it darkens.
// Done, or a tap on the darkened screen, closes it. Main thread.
class PeriodicConfigurePanel : public QWidget {
public:
    static constexpr int kProperties = 15;
    enum Property { Ionization = 7, Radius = 8, Hardness = 9, Modulus = 10, Density = 11, Conductivity = 12, Heat = 13 };
    static constexpr int kSlideMs = 350;

    explicit PeriodicConfigurePanel(QWidget* parent = nullptr);

    // The second column's rows for a property: "1" to "30" for Ionization, the kinds for
    // the six with kinds, else one empty row.
    static QStringList subRows(int property);
    static QString propertyTitle(int property);

    // Picks a row of a column as a tap does: a new property fills the second column again
    // (keeping its row where the new column has it), then didSelect hears both rows.
    void selectRow(int component, int row);
    int property() const { return property_; }
    int subProperty() const { return sub_; }
    QListWidget* column(int component) const { return component == 0 ? properties_ : subs_; }
    QWidget* panel() const { return panel_; }
    QPushButton* doneButton() const { return done_; }
    // Slides the panel in (showing the picker) or out (hiding it at the end).
    void makeVisible(bool visible);
    bool sliding() const;

    std::function<void(int property, int sub)> didSelect;
    // Done or a tap beside the panel.
    std::function<void()> finished;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void fillSubs();
    void place(double shown);

    QWidget* panel_;
    QPushButton* done_;
    QListWidget* properties_;
    QListWidget* subs_;
    OverlaySlide* slide_;
    int property_ = 0, sub_ = 0;
    bool filling_ = false;
    // 0 hidden above the screen, 1 all the way down.
    double shown_ = 0;
};

} // namespace orvenda
