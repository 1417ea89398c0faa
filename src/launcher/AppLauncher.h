#pragma once

#include <QSize>
#include <QString>

#include "app/SceneDelegate.h"
#include "core/MemoryArchive.h"
#include "platform/ShareRequest.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QApplication;
class QObject;
class QWidget;

namespace orvenda {

class AppDelegate;
class AppShell;
class Calculator;
class FieldLineKeeper;
class KeyboardView;
class KeyClickSound;
class KeyboardViewDelegate;
class ProgramModel;
class ProgramOutputModel;
class RootController;
class ShareExport;
class ShareSheet;
class PhotoLibrary;
class MailComposer;
class QuitSignals;
class FunctionHelpScreen;
class SupportActions;

// Starts the app on the process's calculator: restores the state saved in the data
// folder, installs the graph databases, the key routing and result handling, opens the
// window at its size and greets the user as a first run or an update asks. Quitting saves
// (AppDelegate), and so does the desktop's request to end (SIGTERM, SIGINT, SIGHUP), which
// quits as the user does. Main thread; one at a time.
class LaunchWait;

class AppLauncher {
public:
    struct Options {
        QString dataFolder;
        // The window; empty for the device's own size (phone 390 × 844, tablet 768 × 1024).
        QSize size;
        bool tablet = false;
        // Whether this launch may greet as a first launch (a fresh data folder).
        bool firstRunGreeting = true;
        // Shared files are copied here without a file dialog when set (the driven app).
        QString shareOutbox;
        // Online or offline whatever the desktop says, when set (the driven app).
        std::optional<bool> online;
        // How long a state file that holds no whole calculator stands unchanged before it is
        // judged damaged, when set (the driven app; a test's writer pauses for as long as it
        // is told).
        std::optional<std::chrono::milliseconds> stateSettle;
        // The longest the launch waits for a state file being written, when set (a minute
        // otherwise), and what is done once its window shows (the driven app's user).
        std::optional<std::chrono::milliseconds> stateWaitLimit;
        std::function<void(QWidget& window)> whileWaiting;
        // What a save holds, narrower than the archive's own bounds, when set (the driven
        // app, so that a state past them is small).
        std::optional<MemoryArchive::Bounds> archiveBounds;
    };

    AppLauncher(QApplication& app, const Options& options);
    ~AppLauncher();
    AppLauncher(const AppLauncher&) = delete;
    AppLauncher& operator=(const AppLauncher&) = delete;

    Calculator& calculator() { return calc_; }
    AppDelegate& delegate() { return *delegate_; }
    AppShell& shell() { return *shell_; }
    RootController& root() { return *root_; }
    KeyboardView& keyboard() { return *keyboard_; }
    // The stored programs and the program editor's model.
    ProgramModel& programs() { return *programs_; }
    ProgramOutputModel& programOutput() { return *output_; }
    // What the variable files imported since the launch stored, in order ("program A").
    std::vector<std::string>& imported() { return imported_; }
    // Sharing: the export of the SHARE menus, the share sheet, the mail composer and the
    // support actions of the help screens.
    ShareExport& shareExport() { return *share_; }
    ShareSheet& shareSheet() { return *sheet_; }
    PhotoLibrary& photoLibrary() { return *photos_; }
    MailComposer& mail() { return *mail_; }
    SupportActions& support() { return *support_; }
    // Shows a share request in the share sheet; what went wrong is told.
    void presentShare(const ShareRequest& request);
    // A help screen's share and messages, wherever it is made.
    void prepareHelp(FunctionHelpScreen& help);

private:
    // The menus, the catalogue and the mode screen in the window's registry.
    // The share sheet, the export folder and the support mails, with the documents they send.
    void setUpSharing(const Options& options);
    void registerInputScreens();
    // The screens of the calculator and its apps in the window's registry.
    void registerAppScreens();
    // The first run's or an update's greeting, as an alert.
    void greet(const SceneDelegate::Greeting& greeting);
    // The app quits: the run in progress, a debugged one too, ends as a break and leaves
    // its item before the state is saved.
    void endRunsForQuit();

    Calculator& calc_;
    std::shared_ptr<ProgramModel> programs_;
    std::shared_ptr<ProgramOutputModel> output_;
    // Declared before the delegate, whose state file pauses through it.
    std::unique_ptr<LaunchWait> launchWait_;
    // Follows the quit ahead of the save: the screen in front gives back what it borrowed.
    std::unique_ptr<QObject> quitHook_;
    std::unique_ptr<AppDelegate> delegate_;
    std::unique_ptr<AppShell> shell_;
    std::shared_ptr<RootController> root_;
    // Keeps a field's typed line with its field at every save, and brings it back.
    std::unique_ptr<FieldLineKeeper> fieldLines_;
    // Owned by the router's keyboard area.
    KeyboardView* keyboard_ = nullptr;
    std::unique_ptr<KeyboardViewDelegate> keyboardLink_;
    std::vector<std::string> imported_;
    // Plays the key click the keys, menus and pickers ask for while the switch is on.
    std::shared_ptr<KeyClickSound> click_;
    QString exportFolder_;
    std::unique_ptr<ShareExport> share_;
    std::unique_ptr<ShareSheet> sheet_;
    std::unique_ptr<PhotoLibrary> photos_;
    std::unique_ptr<MailComposer> mail_;
    std::unique_ptr<SupportActions> support_;
    std::unique_ptr<QuitSignals> quitSignals_;
};

} // namespace orvenda
