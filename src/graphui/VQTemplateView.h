#pragma once

#include "app/LineScroll.h"
#include "pretty/VQTemplateField.h"

#include <QWidget>

#include <nlohmann/json.hpp>

#include <vector>

namespace orvenda {

class AppShell;
class Calculator;

// A form of labelled fields under a title. The field being edited shows the entry line's
// text (or its value while nothing is typed); UP and DOWN move by tab order over the
// editable fields, committing what was typed first; ENTER (its answer in Ans) stores the
// value and moves on. A commit that fails to evaluate leaves the field and the typed text
// as they were. An equation field takes an equation's name (its token) as its value and
// shows the name; a number there names no equation. Every stored value goes to the delegate. Listens only while focused.
// Each field's value keeps to its own room, up to the next field in its row (or the text
// room's end): a value too wide for it is drawn smaller, a line typed past it scrolls to show
// its end. Main thread.
class VQTemplateView : public QWidget {
public:
    class Delegate {
    public:
        virtual ~Delegate() = default;
        virtual void fieldDidChange(VQTemplateField& field) = 0;
    };

    static constexpr int kTitleHeight = 30;
    static constexpr int kRowHeight = 28;
    static constexpr int kColumnWidth = 16;

    VQTemplateView(Calculator& calc, AppShell& shell, QWidget* parent = nullptr);
    ~VQTemplateView() override;

    void setDelegate(Delegate* delegate) { delegate_ = delegate; }
    // Keeps the current field when it is still there, else the first editable one.
    void setFields(std::vector<VQTemplateField> fields);
    std::vector<VQTemplateField>& fields() { return fields_; }
    int tabCount() const { return tabCount_; }
    // The rows the fields take (the last field's row and those above it).
    int rowCount() const;
    QSize size() const;
    // Every size of the form times the factor (a tablet's larger text); 1 by default.
    void setScale(double scale);
    double scale() const { return scale_; }
    double titleHeight() const { return kTitleHeight * scale_; }
    double rowHeight() const { return kRowHeight * scale_; }
    // The scale the text is drawn at: the form's, made smaller where the last field of a row,
    // its label and stored value, would otherwise run past the right edge (or the text room),
    // so that each reads whole. What is being typed does not change it: it scrolls.
    double textScale() const;
    // Where the rows' text ends at the latest, in the form: left of the controls a screen
    // lays over the form's right side. The form's width by default (0).
    void setTextRoom(double right);
    // What the field of that index shows after its label.
    QString shownText(int index) const;
    void setTitle(const QString& title);
    // Where the field of that index is drawn, its label and value, in the form: the rows
    // scroll under the title so that the field being edited shows. It ends where the
    // field's room ends at the latest.
    QRectF fieldRect(int index) const;
    // The index of the field being edited; -1 for none.
    int currentField() const { return current_; }
    void setCurrentField(int index);
    // The first editable field by tab order becomes the current one.
    void toFirstField();
    // Where the field being edited is, for a save that keeps the line typed in it; and that
    // field made the current one again.
    nlohmann::json place() const { return {{"field", current_}}; }
    void restorePlace(const nlohmann::json& place);
    // Commits the typed text to the current field; false when it did not evaluate.
    bool getEntry();
    void focus(bool gained);

    void cursorDown();
    void cursorUp();
    // The entry line was evaluated; its answer is in Ans.
    void enter();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Where a field is drawn at the text scale k: its label at x, its value from valueX in a
    // font of valueScale, moved left by shift to show the end of a typed line; the field
    // ends at end, right at the latest (its room's end).
    struct FieldPlace {
        double x = 0, valueX = 0, right = 0, end = 0, valueScale = 1, valueWidth = 0, shift = 0;
    };
    FieldPlace fieldPlace(int index, double k) const;
    // Where the rows' text ends at the latest (the text room, else the form's width).
    double textRight() const;
    // The column of the next field in the field's row; -1 for none.
    int nextColumn(int index) const;
    // What the field shows when nothing is typed in it.
    QString valueText(int index) const;
    bool typed() const;
    // Stores a number in the current field and tells the delegate.
    void store(double value);
    // The next (step 1) or previous (-1) editable field by tab order.
    int nextField(int step) const;
    // The first row shown.
    int firstRow() const;

    Calculator& calc_;
    AppShell& shell_;
    QObject* observer_;
    Delegate* delegate_ = nullptr;
    std::vector<VQTemplateField> fields_;
    int tabCount_ = 0;
    int current_ = -1;
    QString title_;
    double scale_ = 1;
    double textRoom_ = 0;
    mutable LineScroll scroll_;
};

} // namespace orvenda
