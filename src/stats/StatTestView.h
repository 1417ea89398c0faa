#pragma once

#include <QWidget>

#include <cstdint>
#include <string>

namespace orvenda {

class Calculator;

// The form of the statistics test screen: the procedure's title in a banner, its data lists
// (or matrices) with their sample statistics, its input fields with the one being edited,
// and its result lines (left results under the fields, the others in the right half). It
// holds no test data: it asks its delegate for every line. A tap on the title or the list
// rows asks for the list picker, a tap on a field row selects that field. Main thread.
class StatTestView : public QWidget {
public:
    class Delegate {
    public:
        virtual ~Delegate() = default;
        virtual std::string title() const = 0;
        virtual std::uint32_t testOpCode() const = 0;
        virtual int numLists() const = 0;
        virtual std::string listName(int i) const = 0;
        virtual std::string freqName(int i) const = 0;
        virtual int listN(int i) const = 0;
        virtual double listXBar(int i) const = 0;
        virtual double listSx(int i) const = 0;
        virtual std::string matrixName(int i) const = 0;
        virtual int numFields() const = 0;
        virtual std::string fieldName(int i) const = 0;
        virtual double fieldValue(int i) const = 0;
        virtual int numLeftResults() const = 0;
        virtual std::string resultLName(int i) const = 0;
        virtual double resultLValue(int i) const = 0;
        virtual int numResults() const = 0;
        virtual std::string resultName(int i) const = 0;
        virtual double resultValue(int i) const = 0;
        // The text being typed into the current field; empty for none.
        virtual std::string entryText() const = 0;
        virtual int entryCursor() const = 0;
        virtual void selectList() {}
        virtual void selectField(int) {}
    };

    static constexpr int kWrap = 28;
    // The characters of a mean or a deviation in the phone's list table.
    static constexpr int kPhoneListWidth = 8;

    StatTestView(Calculator& calc, QWidget* parent = nullptr);

    void setDelegate(Delegate* delegate) { delegate_ = delegate; }
    // The text size and row height that fit the width.
    void setLayoutBounds(const QRectF& bounds);
    double leading() const { return leading_; }
    double fontSize() const { return fontSize_; }
    int currentField() const { return currentField_; }
    void setCurrentField(int field) { currentField_ = field; }
    // The rows the list band takes (the title's row not counted).
    int listRows() const;
    // The top of the first field row.
    double fieldTop() const { return leading_ * (1 + listRows()); }
    // What a tap at p does: the list picker, a field, or nothing.
    void tapAt(const QPointF& p);
    // The characters of each row of text typed into a field: at most kWrap, and no more
    // than the left column holds beside the results.
    int typedRowLength() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    Calculator& calc_;
    Delegate* delegate_ = nullptr;
    double fontSize_;
    double leading_;
    int currentField_ = 0;
};

} // namespace orvenda
