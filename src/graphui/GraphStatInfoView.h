#pragma once

#include <QWidget>

class QPushButton;

namespace orvenda {

class AppShell;
class Calculator;
class VQTemplateView;
class GraphStatInfoViewDelegate;
class ImageButton;
class OverlaySlide;

// A read-only panel that slides up from the graph's bottom edge with the statistics of a
// stat plot, sized to its fields, with a done button riding on its top-right corner. The
// graph behind is dimmed while it shows. Main thread only.
class GraphStatInfoView : public QWidget {
public:
    GraphStatInfoView(Calculator& calc, AppShell& shell, GraphStatInfoViewDelegate& delegate, QWidget* parent = nullptr);

    void show(bool shown);
    // In, or on its way in.
    bool shown() const { return shown_ && !isHidden(); }
    // Out and hidden at once (the screen under it is going).
    void hideNow();
    void updateDisplay();
    QSize size() const;
    void done();

    VQTemplateView& form() const { return *form_; }
    ImageButton& doneButton() const { return *doneButton_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void place(double top);
    void fitForm();
    void refreshForm();

    GraphStatInfoViewDelegate& delegate_;
    QWidget* lcdView_;
    VQTemplateView* form_;
    ImageButton* doneButton_;
    OverlaySlide* slide_;
    double dim_ = 0;
    bool shown_ = false;
};

} // namespace orvenda
