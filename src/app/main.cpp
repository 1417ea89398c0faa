#include "pretty/FontMap.h"

#include <QApplication>
#include <QLabel>
#include <QtGlobal>

// Start-up of the application. The screens arrive with the home screen; until then
// the window says so plainly.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Orvenda");
    // Text is measured and drawn in fonts loaded from their files, the same on every machine.
    const QStringList missing = orvenda::FontMap::shared().missingFiles();
    if (!missing.isEmpty())
        qWarning("Font files missing: %s", qPrintable(missing.join(QStringLiteral(", "))));
    QLabel label("Orvenda: the calculator engine is built, but the app has no screens yet.");
    label.setMargin(24);
    label.show();
    return app.exec();
}
