#include "app/AppDelegate.h"
#include "core/StateMutex.h"
#include "launcher/AppDriver.h"
#include "launcher/AppLauncher.h"
#include "launcher/SingleInstance.h"
#include "platform/KeptForProcess.h"
#include "pretty/FontMap.h"

#include <QApplication>
#include <QStandardPaths>
#include <QtGlobal>

#include <cstring>

// Start-up of the application: the saved calculator is restored from the user's data
// folder and files named on the command line are imported. `--device phone|tablet` chooses
// the layout (phone by default). `orvenda --drive SCRIPT` runs the app from a script
// instead (AppDriver).
int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--drive") == 0)
            return orvenda::AppDriver::main(argc, argv);

#ifdef NDEBUG
    // A lock-order slip is for the tests to stop on (they check it in every build); the
    // optimized app goes on.
    orvenda::StateMutex::setOrderChecked(false);
#endif
    QApplication app(argc, argv);
    orvenda::keepPoolThreadsForProcess();
    QApplication::setApplicationName("Orvenda");
    // Text is measured and drawn in fonts loaded from their files, the same on every machine.
    const QStringList missing = orvenda::FontMap::shared().missingFiles();
    if (!missing.isEmpty())
        qWarning("Font files missing: %s", qPrintable(missing.join(QStringLiteral(", "))));

    orvenda::AppLauncher::Options options;
    options.dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QStringList files = QApplication::arguments().mid(1);
    const qsizetype device = files.indexOf(QStringLiteral("--device"));
    if (device >= 0) {
        const QString kind = device + 1 < files.size() ? files[device + 1] : QString();
        if (kind != QStringLiteral("phone") && kind != QStringLiteral("tablet")) {
            qWarning("--device takes phone or tablet");
            return 2;
        }
        options.tablet = kind == QStringLiteral("tablet");
        files.remove(device, 2);
    }
    // One app per data folder: a later launch (a file opened from the desktop) hands its
    // files to the running app, which imports them, and ends; when that app does not answer,
    // the launch takes the folder once the app lets it go, or says it could not.
    orvenda::SingleInstance instance(options.dataFolder);
    switch (instance.launch(files)) {
    case orvenda::SingleInstance::Launch::HandedOver:
        return 0;
    case orvenda::SingleInstance::Launch::NotAnswered:
        orvenda::SingleInstance::tellNotOpened(options.dataFolder, files);
        return 1;
    case orvenda::SingleInstance::Launch::Run:
        break;
    }
    orvenda::AppLauncher launcher(app, options);
    instance.serve(launcher);
    launcher.delegate().openFiles(files);
    return QApplication::exec();
}
