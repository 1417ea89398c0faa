#pragma once

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QPushButton;

namespace orvenda {

class Calculator;
class FunctionHelpPDF;
class GraphicsContext;

// A help page drawn straight onto the screen rather than through PDF: the renderer in its
// on-screen form (fewer elements, black text on no background), painted in strips as tall
// as the first area painted, each strip drawn once and kept. After each paint it reports
// the page's content size, by which its holder sizes the scroll area around it. The
// page's "btn" buttons are live buttons on the view; their actions go to the callbacks.
// Main thread.
class FunctionHelpView : public QWidget {
public:
    explicit FunctionHelpView(Calculator& calc, QWidget* parent = nullptr);
    ~FunctionHelpView() override;

    // Loads a page (the "not defined" page for a name without one) and forgets the strips.
    void changeFunction(const QString& name);
    // Loads a page given as XML under a name.
    void loadPage(const QString& name, const QByteArray& xml);
    QString functionName() const;

    // The strips drawn so far and how many times one was drawn.
    const std::vector<QImage>& imageCache() const { return imageCache_; }
    int stripsDrawn() const { return stripsDrawn_; }
    const std::vector<QPushButton*>& liveButtons() const { return liveButtons_; }
    FunctionHelpPDF& renderer() const { return *renderer_; }

    // The loaded page as PDF, sliced onto pages of that size as the renderer slices its own
    // (the name, the product and the page number on each), but drawn as this view draws
    // it: at its full size and in black on white whatever the appearance.
    QByteArray pdfPageSize(const QRectF& pageRect);

    std::function<void(QSizeF size)> contentSize;
    std::function<void()> mailTechSupport;
    std::function<void()> reportBug;
    std::function<void()> leaveReview;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void forget();
    QImage drawStrip(int index);
    // Draws the area of the page (page coordinates) into the context.
    void drawPage(GraphicsContext& context, const QRectF& area);
    void placeButtons();

    std::unique_ptr<FunctionHelpPDF> renderer_;
    std::vector<QImage> imageCache_;
    std::vector<QPushButton*> liveButtons_;
    int stripHeight_ = 0;
    int stripsDrawn_ = 0;
};

} // namespace orvenda
