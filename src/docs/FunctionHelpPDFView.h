#pragma once

#include "app/HelpView.h"

#include <QByteArray>
#include <QImage>

#include <memory>

class QLabel;
class QScrollArea;

namespace orvenda {

class Calculator;
class FunctionHelpPDF;

// The help page of a function shown as the help pages' PDF: one page as wide as the view
// (at least as tall as it), drawn for the dark appearance, in a scroll area. The page is
// made again when the view's width changes; a click on one of the page's links goes to
// clickedUrl. Main thread.
class FunctionHelpPDFView : public HelpView {
public:
    explicit FunctionHelpPDFView(Calculator& calc, QWidget* parent = nullptr);
    ~FunctionHelpPDFView() override;

    void showFunctionName(const QString& name) override;
    QString functionName() const override { return functionName_; }
    bool functionDefined() const override;
    QByteArray pdfPageSize(QSizeF size, bool darkMode) override;

    // The renderer, made on first use (tests load pages of their own into it).
    FunctionHelpPDF& renderer();
    // Shows the page loaded in the renderer again (after the renderer was given a page).
    void reload();
    // The PDF shown and its picture.
    const QByteArray& pdfData() const { return pdfData_; }
    const QImage& picture() const { return picture_; }
    QScrollArea& scrollArea() const { return *scroll_; }
    // Follows a click at a point of the page (page coordinates): whether it hit a link.
    bool clickAt(QPointF pagePoint);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();

    Calculator& calc_;
    std::unique_ptr<FunctionHelpPDF> renderer_;
    QString functionName_;
    QScrollArea* scroll_;
    QLabel* page_;
    QByteArray pdfData_;
    QImage picture_;
    int builtWidth_ = -1;
};

} // namespace orvenda
