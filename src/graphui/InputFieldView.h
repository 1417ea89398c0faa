#pragma once

#include <QWidget>

#include <functional>
#include <string>

namespace orvenda {

class Calculator;

// The box on the graph that shows a program input field's variable: white, outlined in
// black, the variable's real part as the number settings format it; a click on it asks
// for a value. Main thread only.
class InputFieldView : public QWidget {
public:
    InputFieldView(Calculator& calc, QWidget* parent = nullptr);

    int varNum = 0;
    // The field's name; the graph screen draws it beside the box.
    std::string lblName;
    bool selected = false;

    // The text the box shows.
    std::string text() const;
    // A click (or tap) on the box: the user is to type its value.
    std::function<void()> clicked;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Calculator& calc_;
};

} // namespace orvenda
