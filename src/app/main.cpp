#include "app/AppDelegate.h"
#include "core/Calculator.h"
#include "pretty/FontMap.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QStandardPaths>
#include <QtGlobal>

// Start-up of the application: the saved calculator is restored from the user's data
// folder and files named on the command line are imported. The screens arrive with the
// home screen; until then the window says so plainly.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Orvenda");
    // Text is measured and drawn in fonts loaded from their files, the same on every machine.
    const QStringList missing = orvenda::FontMap::shared().missingFiles();
    if (!missing.isEmpty())
        qWarning("Font files missing: %s", qPrintable(missing.join(QStringLiteral(", "))));

    orvenda::AppDelegate delegate(orvenda::Calculator::calculator(),
                                  QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    delegate.watch(app);

    QLabel label("Orvenda: the calculator engine is built, but the app has no screens yet.");
    label.setMargin(24);
    label.show();
    if (auto report = delegate.takeStartupReport())
        QMessageBox::warning(&label, QStringLiteral("Orvenda"), *report);
    delegate.openFiles(QApplication::arguments().mid(1));
    return app.exec();
}
