#pragma once

#include "core/MemoryArchive.h"
#include "platform/StateFile.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

class QGuiApplication;
class QObject;
class QTimer;

namespace orvenda {

class Calculator;

// The app's life: start-up restores the saved calculator (the factory state on a first
// launch or when the saved file is damaged), leaving the foreground saves it, and files
// handed to the app are imported, each with exactly one report. Main thread.
//
// Besides, the state is saved a second after the last change (a key, a click, an import,
// a change the models announce), so that a kill or a power cut loses at most the last
// moments: never while a program runs (it is saved once the run has ended), and only when
// it differs from what was saved last.
//
// Desktop stand-ins: the saved state is a file in the data folder given at start-up
// (StateFile), the pasteboard is the clipboard, "leaving the foreground" is the
// application becoming inactive or quitting, and files arrive as command-line arguments or
// file-open events.
class AppDelegate {
public:
    // Error numbers of the file hand-over.
    static constexpr int kUnsupportedFile = 73;
    static constexpr int kUnreadableFile = 74;
    static constexpr int kImportSucceeded = 80;
    // Notifications of every save, on the main thread: the whole state is about to be
    // archived, and what a screen keeps apart from it goes in first (a notes page's text, a
    // setting it set aside for a while, a line typed in a field); then that archive is made,
    // and what went in for it is set aside again.
    static constexpr std::string_view kWillSaveState = "VQWillSaveState";
    static constexpr std::string_view kDidSaveState = "VQDidSaveState";

    // Gives the calculator its entry line, history and shared pretty printer where it has
    // none, removes what killed saves left, then restores the state from the data folder.
    // A damaged state that the data folder cannot keep is copied to asideFolder (the
    // user's cache folder when empty). A state file being written is waited for as settle
    // says.
    AppDelegate(Calculator& calc, const QString& dataFolder, const QString& asideFolder = QString(),
        StateFile::Settle settle = {});
    ~AppDelegate();
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    static void installManagers(Calculator& calc);

    Calculator& calculator() const { return calc_; }
    const QString& dataFolder() const { return dataFolder_; }
    // The factory archive, registered (never written) when no state was saved yet.
    const std::vector<std::uint8_t>& registeredDefaults() const { return defaults_; }
    // What to tell the user once about the start-up (a damaged state file set aside, a
    // data folder that cannot be written); nothing the second time.
    std::optional<QString> takeStartupReport();
    // Tells the user something (the launcher shows an alert); unset, it is only logged.
    // A save that fails is told once for each cause (a full disk, a change on disk, a
    // folder or file that cannot be written) until a save goes through again; a cause the
    // start-up told is not told again before then. A state too big to be saved whole is
    // saved without what must be left out (MemoryArchive::save), and that is told once for
    // each part left out until a save keeps everything again; at the quit it is told to
    // the next launch instead, which tells it first thing.
    std::function<void(const QString&)> tell;

    // Saving: each stops a running program and writes the state; the first and the last
    // also put the newest history result on the clipboard (never an empty one).
    void applicationWillResignActive();
    void applicationDidEnterBackground();
    void applicationWillTerminate();
    void sceneWillResignActive();
    void sceneDidEnterBackground();

    static constexpr int kAutosaveDelayMs = 1000;
    // Something may have changed: the state is saved kAutosaveDelayMs after the last such
    // call (with a Qt application; without one only autosave() saves).
    void noteChange();
    // A change waits to be saved.
    bool changePending() const { return changePending_; }
    // The delay's end: saves the state when it changed, unless a program runs (then it waits
    // for another delay). Neither stops a program nor touches the clipboard.
    void autosave();

    // Imports each file in turn and reports each: 73 for an unsupported type, 74 when it
    // cannot be read (no regular file; text that is not UTF-8, saying so), 86 for text (70
    // for a variable file) longer than the calculator could take, 1 for a variable file
    // that is none (saying that it is damaged or no calculator file), the load's own error
    // (76 to 79 for a bad entry of a variable file), else 80.
    // CSV files ("csv" in any case) become lists; the calculator's variable files load
    // their variables. Every load posts VQProgramFileAdded.
    void openFiles(const QStringList& paths);

    // Follows the application: becoming inactive or hidden saves, quitting saves, input
    // marks a change, and files opened through the desktop are imported.
    void watch(QGuiApplication& app);

private:
    // Why saves are refused, each told once until a save goes through.
    enum class Refusal { DiskFull, ChangedOnDisk, FolderReadOnly, FileReadOnly, LinkLoop, TooLarge };
    // An import's report: its error number, and what to say in place of the number's text.
    struct Report {
        int number = 0;
        QString message;
    };

    // A save's archive and what it had to leave out.
    struct Saving {
        std::vector<std::uint8_t> bytes;
        MemoryArchive::LeftOut leftOut;
    };

    // The quit's save (ending) tells what it could not keep to the next launch.
    void save(bool toClipboard, bool ending = false);
    // The state as a save writes it, each screen's part in.
    Saving archive();
    void write(const Saving& saving, bool ending);
    // Tells what a save that went through left out, when some of it was not told yet.
    void tellLeftOut(const MemoryArchive::LeftOut& leftOut, bool ending);
    // Why a save cannot be written now, and what to say of it.
    std::pair<Refusal, QString> unwritable() const;
    QString changedOnDiskText() const;
        // The kept sessions named; with what the calculator goes on from when it is the file.
    QString keptSessionsText(const std::vector<StateFile::KeptSession>& kept, bool goesOnFromFile) const;
    // What a save that went through found on the way (a file of no calculator replaced, the
    // session back in the file).
    void tellWritten() const;
    // Logged, and told when there is someone to tell.
    void say(const QString& text) const;
    Report importFile(const QString& path);

    Calculator& calc_;
    QString dataFolder_;
    StateFile stateFile_;
    std::vector<std::uint8_t> defaults_;
    std::optional<QString> startupReport_;
    std::set<Refusal> told_;
    // The parts a save left out that the user was told of.
    std::set<std::string> toldLeftOut_;
    std::unique_ptr<QObject> watcher_;
    std::thread::id mainThread_ = std::this_thread::get_id();
    std::unique_ptr<QTimer> autosaveTimer_;
    bool changePending_ = false;
    // What the state file holds as far as this app knows: the archive last read or saved.
    std::vector<std::uint8_t> saved_;
};

} // namespace orvenda
