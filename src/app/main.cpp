#include "app/AppDelegate.h"
#include "core/Calculator.h"
#include "core/services/GDBManager.h"
#include "graphui/GDBStore.h"
#include "graphui/YEqModel.h"
#include "pretty/FontMap.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QStandardPaths>
#include <QtGlobal>

#include <memory>

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

    // The managers go in before the state is restored: their archives go to them.
    orvenda::Calculator& calc = orvenda::Calculator::calculator();
    auto equations = std::make_shared<orvenda::YEqModel>(calc);
    calc.yEqManager = equations;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    orvenda::GDBManager::setShared(
        std::make_shared<orvenda::GDBStore>(calc, equations, (data + "/GDB").toStdString()));
    orvenda::AppDelegate delegate(calc, data);
    delegate.watch(app);

    QLabel label("Orvenda: the calculator engine is built, but the app has no screens yet.");
    label.setMargin(24);
    label.show();
    if (auto report = delegate.takeStartupReport())
        QMessageBox::warning(&label, QStringLiteral("Orvenda"), *report);
    delegate.openFiles(QApplication::arguments().mid(1));
    return app.exec();
}
