#pragma once

#include <QWidget>

namespace orvenda {

class Calculator;

// The key-set editor's page: the four lines of one key (its label, its ops, its 2nd-layer
// label and ops), each behind its prefix in the fixed-pitch font, the line being edited
// showing the entry line with its cursor, and a banner naming the set. Main thread.
class KeySetView : public QWidget {
public:
    static constexpr int kLines = 4;
    static constexpr int kBannerHeight = 24;

    KeySetView(Calculator& calc, QWidget* parent = nullptr);

    void setKey(int key, int line);
    int currentKey() const { return currentKey_; }
    int currentLine() const { return currentLine_; }
    // The line's text as drawn, prefix included (the entry line's for the current line).
    QString lineText(int line) const;
    static QString prefix(int line);
    double fontSize() const { return fontSize_; }
    double leading() const { return leading_; }
    // From one line's top to the next one's.
    double lineStep() const;
    // The height that shows the four lines and the banner whole.
    int pageHeight() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Calculator& calc_;
    int currentKey_ = 0;
    int currentLine_ = 0;
    double fontSize_;
    double leading_;
};

} // namespace orvenda
