#pragma once

#include <QString>
#include <QWidget>

namespace orvenda {

class Calculator;

// The one-line mode status under the phone's calculator: angle, complex and fraction
// modes on the left, answer format and number format on the right; black on the graph
// screen, dark grey elsewhere. Redraws on every mode change.
class StatusLine : public QWidget {
public:
    explicit StatusLine(Calculator& calc, QWidget* parent = nullptr);
    ~StatusLine() override;

    // "∠°   Real   n/d" and "AUTO  fix3  " for the calculator's modes.
    static QString leftText(const Calculator& calc);
    static QString rightText(const Calculator& calc);
    QColor background() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Calculator& calc_;
};

} // namespace orvenda
