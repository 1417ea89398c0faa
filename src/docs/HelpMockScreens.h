#pragma once

#include <QColor>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QXmlStreamAttributes>

namespace orvenda {

class FunctionHelpPDF;
class GraphicsContext;
struct HelpPageState;

// The calculator's own screens drawn in miniature on a help page, each from the
// attributes of one element at the page's layout cursor, which each moves below itself:
// segmented controls, menu bars and rows, the add-program dialog, the colour list, the
// triangle picture, and the finance, polynomial, simultaneous-equation and statistics
// screens. Sizes are fixed layout constants times the page's scale. Main thread.
class HelpMockScreens {
public:
    explicit HelpMockScreens(FunctionHelpPDF& page);

    // The shared pieces: a segmented control (selected index or -1) and a button.
    void drawSegRect(GraphicsContext& context, const QRectF& rect, const QStringList& titles, int select,
                     const QColor& color);
    void drawButtonRect(GraphicsContext& context, const QRectF& rect, const QString& title, bool selected);

    void drawSegController(GraphicsContext& context, const QXmlStreamAttributes& attributes);
    void drawMenu(GraphicsContext& context, const QXmlStreamAttributes& attributes);
    void drawAddProgramInRect(GraphicsContext& context, const QRectF& rect);
    void drawMenuEntry(GraphicsContext& context, const QXmlStreamAttributes& attributes);
    void drawColorList(GraphicsContext& context);
    void drawTrianglePicture(GraphicsContext& context);
    void drawTVM(GraphicsContext& context, const QXmlStreamAttributes& attributes);
    void drawPlySmlt(GraphicsContext& context, const QXmlStreamAttributes& attributes);
    void drawSimulEq(GraphicsContext& context, const QXmlStreamAttributes& attributes);
    void drawStatEditor(GraphicsContext& context, const QXmlStreamAttributes& attributes);

private:
    // The frame of the app screens: a title band and a screen area of `lines` lines.
    struct AppFrame {
        double x = 0, width = 0, line = 0;
        QRectF screen;
    };
    AppFrame drawAppFrame(GraphicsContext& context, const QString& title, bool centred, int lines, double bandHeight);
    void drawScreenLine(GraphicsContext& context, const QString& text, QPointF at, const QColor& color);
    bool visible(const QRectF& rect) const;

    FunctionHelpPDF& page_;
    HelpPageState& state_;
};

} // namespace orvenda
