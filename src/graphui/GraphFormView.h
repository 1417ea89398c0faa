#pragma once

#include "graphui/GraphFormField.h"

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace orvenda {

class Calculator;

// A panel's form: a title over labelled numbers placed by column (in characters) and row.
// The editable field being typed shows the entry line instead of its value; getEntry
// evaluates the entry line into it. While focused, ENTER and the down and up keys commit
// and move along the tab order. Main thread only.
class GraphFormView : public QWidget {
public:
    GraphFormView(Calculator& calc, QWidget* parent = nullptr);
    ~GraphFormView() override;

    void setFields(std::vector<GraphFormField> fields);
    const std::vector<GraphFormField>& fields() const { return fields_; }
    void setTitle(const std::string& title);
    const std::string& title() const { return title_; }
    // The index into fields() of the field being typed, or -1.
    int currentField() const { return current_; }
    void setCurrentField(int index);
    // The size the title and fields need.
    QSize size() const;
    // The entry line's value into the current field; false when it held nothing or did not
    // evaluate to a real number (the error is reported).
    bool getEntry();
    void focus(bool on);
    // A committed field, as it now stands.
    std::function<void(const GraphFormField&)> fieldDidChange;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The next (step 1) or previous (-1) editable field in tab order from the current one.
    void moveField(int step);

    Calculator& calc_;
    std::vector<GraphFormField> fields_;
    std::string title_;
    int current_ = -1;
};

} // namespace orvenda
