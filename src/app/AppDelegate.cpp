#include "app/AppDelegate.h"

#include "app/EntryModel.h"
#include "app/HistoryModel.h"
#include "core/Calculator.h"
#include "core/NotificationCenter.h"
#include "core/NotificationNames.h"
#include "core/services/CSVLoader.h"
#include "eval/Parser.h"
#include "language/ErrorNumbers.h"
#include "platform/BoundedFile.h"
#include "platform/OpsClipboard.h"
#include "pretty/PrettyPrint.h"

#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QFileOpenEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <set>
#include <string>
#include <utility>

namespace orvenda {

namespace {

// The notifications that tell of a change to what is saved.
constexpr std::string_view kChanges[] = {VQKeyPress, VQEntryTextChanged, VQModeChanged, VQGraphModeChanged,
    VQUpdateEquations, VQSyncWindowVars, VQClearList, VQHistorySelectionChanged, VQMenuOp, VQProgramEnded,
    VQProgramFileAdded};

// What a person does that may change the state.
bool isInput(const QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::TouchEnd:
    case QEvent::InputMethod:
        return true;
    case QEvent::MouseMove:
        // A drag (panning the graph), not the pointer passing by.
        return static_cast<const QMouseEvent*>(event)->buttons() != Qt::NoButton;
    default:
        return false;
    }
}

// Files the desktop asks the running app to open, and what a person does.
class FileOpenFilter : public QObject {
public:
    explicit FileOpenFilter(AppDelegate& app)
        : app_(app)
    {
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The desktop sends its file-open requests to the application object alone. Every
        // other object's events pass untouched, only a window's or a widget's type looked
        // at: work the program thread posts is an event made there, read only by its
        // receiver, under the queue's lock.
        if (watched == QCoreApplication::instance() && event->type() == QEvent::FileOpen) {
            app_.openFiles({static_cast<QFileOpenEvent*>(event)->file()});
            return true;
        }
        // An input event comes by for the window it reaches and again for each widget it
        // is sent to.
        if ((watched->isWindowType() || watched->isWidgetType()) && isInput(event))
            app_.noteChange();
        return QObject::eventFilter(watched, event);
    }

private:
    AppDelegate& app_;
};

QString timeText(const QDateTime& time) { return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")); }

std::vector<std::uint8_t> bytesOf(const QByteArray& data)
{
    const auto* begin = reinterpret_cast<const std::uint8_t*>(data.constData());
    return {begin, begin + data.size()};
}

// "a", "a and b", "a, b and c".
QString listed(const QStringList& parts)
{
    if (parts.size() <= 1)
        return parts.join(QString());
    return parts.mid(0, parts.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") + parts.back();
}

// What a save left out, in the order it went: "the 3 oldest entries ENTRY recalls, the 40
// oldest history items, Ans, Str1 and L₁".
QString leftOutText(const MemoryArchive::LeftOut& leftOut)
{
    // The names listed at most; the rest are counted.
    constexpr int kNamesListed = 10;
    QStringList parts;
    if (leftOut.entries == 1)
        parts << QStringLiteral("the oldest entry ENTRY recalls");
    else if (leftOut.entries > 1)
        parts << QStringLiteral("the %1 oldest entries ENTRY recalls").arg(leftOut.entries);
    if (leftOut.historyItems == 1)
        parts << QStringLiteral("the oldest history item");
    else if (leftOut.historyItems > 1)
        parts << QStringLiteral("the %1 oldest history items").arg(leftOut.historyItems);
    if (leftOut.ans)
        parts << QStringLiteral("Ans");
    const int names = static_cast<int>(leftOut.values.size());
    for (int k = 0; k < std::min(names, kNamesListed); ++k)
        parts << QString::fromStdString(leftOut.values[static_cast<std::size_t>(k)]);
    if (names > kNamesListed)
        parts << QStringLiteral("%1 more lists, strings and matrices").arg(names - kNamesListed);
    return listed(parts);
}

// The parts left out, each told once: "entries", "history", "Ans" and the values' names.
std::set<std::string> leftOutParts(const MemoryArchive::LeftOut& leftOut)
{
    std::set<std::string> parts(leftOut.values.begin(), leftOut.values.end());
    if (leftOut.entries > 0)
        parts.insert("entries");
    if (leftOut.historyItems > 0)
        parts.insert("history");
    if (leftOut.ans)
        parts.insert("Ans");
    return parts;
}

} // namespace

AppDelegate::AppDelegate(
    Calculator& calc, const QString& dataFolder, const QString& asideFolder, StateFile::Settle settle)
    : calc_(calc)
    , dataFolder_(dataFolder)
    , stateFile_(dataFolder,
          asideFolder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::CacheLocation) : asideFolder,
          std::move(settle))
{
    installManagers(calc_);
    stateFile_.removeLeftovers();
    std::vector<StateFile::KeptSession> kept = stateFile_.untoldSessions();
    StateFile::Contents saved = stateFile_.read();
    if (saved.status != StateFile::Status::Loaded) {
        std::vector<Calculator::Archive> factory;
        calc_.saveMemory(factory, true);
        defaults_ = std::move(factory.front());
    }
    // The saved calculator cannot be had: the work goes on from the newest session this app
    // kept beside it, rather than from the factory settings.
    std::optional<StateFile::KeptSession> resumed;
    std::vector<std::uint8_t> resumedBytes;
    if (saved.status == StateFile::Status::Damaged || saved.status == StateFile::Status::Busy) {
        for (const StateFile::KeptSession& session : stateFile_.keptSessions()) {
            QByteArray data;
            if (BoundedFile::read(session.path, StateFile::kMaxBytes, data) != BoundedFile::Result::Read)
                continue;
            resumedBytes = bytesOf(data);
            if (StateFile::isArchive(resumedBytes)) {
                resumed = session;
                break;
            }
        }
    }
    const QString path = QDir::toNativeSeparators(stateFile_.path());
    const QString goesOn = resumed
        ? QStringLiteral("The calculator goes on from the session kept as %1 (kept %2), the newest kept beside it.")
              .arg(QDir::toNativeSeparators(resumed->path), timeText(resumed->saved))
        : QStringLiteral("The calculator starts from its factory settings.");
    QStringList reports;
    if (saved.status == StateFile::Status::Damaged && (!saved.keptBefore || resumed)) {
        reports << (saved.keptAs.isEmpty() ? QStringLiteral("The saved calculator could not be read. %1").arg(goesOn)
                                           : QStringLiteral("The saved calculator could not be read and was kept as %1. %2")
                                                 .arg(QDir::toNativeSeparators(saved.keptAs), goesOn));
    } else if (saved.status == StateFile::Status::Busy) {
        reports << QStringLiteral("The saved calculator %1 is still being written by another program (a sync tool or "
                                  "a download), so Orvenda did not wait for it and will not save over it. %2 To go on "
                                  "from that file once it is written, quit Orvenda and start it again.")
                       .arg(path, goesOn);
    }
    // Sessions whose saves were refused, the last perhaps as it ended, where nobody saw it:
    // each named once. The one the calculator goes on from is named above.
    if (resumed)
        std::erase_if(kept, [&](const StateFile::KeptSession& session) { return session.path == resumed->path; });
    if (!kept.empty())
        reports << keptSessionsText(kept, !resumed);
    if (resumed)
        kept.push_back(*resumed);
    // The file left to its writer is not saved over: the session gone on from goes on being
    // kept where it was.
    if (resumed && saved.status == StateFile::Status::Busy)
        stateFile_.keepSessionIn(resumed->path);
    if (!kept.empty())
        stateFile_.markTold(kept);
    // What the last quit could not save, said where the user sees it.
    if (const QString note = stateFile_.takeNote(); !note.isEmpty())
        reports << note;
    if (stateFile_.writability() != StateFile::Writability::Writable) {
        auto [refusal, text] = unwritable();
        told_.insert(refusal);
        reports << text;
    }
    if (!reports.isEmpty()) {
        startupReport_ = reports.join(QStringLiteral("\n\n"));
        qWarning().noquote() << *startupReport_;
    }
    saved_ = saved.status == StateFile::Status::Loaded ? std::move(saved.bytes) : resumed ? resumedBytes : defaults_;
    calc_.initMemory({saved_});
    // Only what the file holds counts as saved: a session gone on from is saved at once.
    if (saved.status != StateFile::Status::Loaded)
        saved_.clear();
    autosaveTimer_ = std::make_unique<QTimer>();
    autosaveTimer_->setSingleShot(true);
    autosaveTimer_->setInterval(kAutosaveDelayMs);
    QObject::connect(autosaveTimer_.get(), &QTimer::timeout, [this] { autosave(); });
    // A session gone on from is in the state file again a moment after the launch.
    if (resumed)
        noteChange();
    for (std::string_view name : kChanges)
        calc_.notificationCenter().addObserver(this, name, [this](const Notification&) {
            // A run's own changes are saved once it has ended; the key that started it
            // marked the change.
            if (std::this_thread::get_id() == mainThread_)
                noteChange();
        });
}

std::pair<AppDelegate::Refusal, QString> AppDelegate::unwritable() const
{
    // The cause as it is now: a read-only file is the user's to mend, not the folder.
    const StateFile::Writability writability = stateFile_.writability();
    if (writability == StateFile::Writability::LinkLoop)
        return {Refusal::LinkLoop,
            QStringLiteral("The calculator cannot be saved to %1: it is a link in a loop of links, which leads to "
                           "no file. The calculator goes on working, but this session will not be kept.")
                .arg(QDir::toNativeSeparators(stateFile_.path()))};
    if (writability == StateFile::Writability::FileReadOnly)
        return {Refusal::FileReadOnly,
            QStringLiteral("The calculator cannot be saved to %1: the file is read-only. The calculator goes "
                           "on working, but this session will not be kept.")
                .arg(QDir::toNativeSeparators(stateFile_.path()))};
    return {Refusal::FolderReadOnly,
        QStringLiteral("The calculator cannot be saved in %1: the folder cannot be written. The calculator goes "
                       "on working, but this session will not be kept.")
            .arg(QDir::toNativeSeparators(stateFile_.saveFolder()))};
}

QString AppDelegate::changedOnDiskText() const
{
    const QString path = QDir::toNativeSeparators(stateFile_.path());
    const QString what = stateFile_.beingWritten()
        ? QStringLiteral("The saved calculator %1 was being written by another program (a sync tool, a download or "
                         "a backup being put back) when this session was saved, so it is not saved over.")
              .arg(path)
        : QStringLiteral("The saved calculator %1 changed on disk while this Orvenda ran (another Orvenda saved, or "
                         "a backup or a sync tool put other bytes there), so it is not saved over.")
              .arg(path);
    if (stateFile_.sessionKeptAs().isEmpty())
        return what
            + (stateFile_.sessionFailure() == StateFile::Failure::DiskFull
                    ? QStringLiteral(" This session could not be kept beside it either: the disk is full. Make room "
                                     "on the disk and the next save keeps it; until then this session is not kept.")
                    : QStringLiteral(" This session could not be kept beside it either: the folder %1 cannot be "
                                     "written. Make it writable and the next save keeps it; until then this "
                                     "session is not kept.")
                          .arg(QDir::toNativeSeparators(dataFolder_)));
    return what
        + QStringLiteral(" This session is kept as %1 instead: to go on from it later, quit Orvenda and put that "
                         "file in place of %2.")
              .arg(QDir::toNativeSeparators(stateFile_.sessionKeptAs()), path);
}

QString AppDelegate::keptSessionsText(const std::vector<StateFile::KeptSession>& kept, bool goesOnFromFile) const
{
    const QString path = QDir::toNativeSeparators(stateFile_.path());
    QStringList files;
    for (const StateFile::KeptSession& session : kept)
        files << QStringLiteral("%1 (kept %2)")
                     .arg(QDir::toNativeSeparators(session.path), timeText(session.saved));
    const bool one = kept.size() == 1;
    const QString head = one
        ? QStringLiteral("A session was kept beside the saved calculator %1, because that file changed on disk "
                         "while the session ran (another Orvenda saved, or a backup or a sync tool put other bytes "
                         "there):")
              .arg(path)
        : QStringLiteral("%2 sessions were kept beside the saved calculator %1, because that file changed on disk "
                         "while each ran (another Orvenda saved, or a backup or a sync tool put other bytes there), "
                         "the newest first:")
              .arg(path, QString::number(kept.size()));
    const QString tail = one ? QStringLiteral("The calculator goes on from %1. To go on from the kept session "
                                              "instead, quit Orvenda and put that file in place of %1.")
                             : QStringLiteral("The calculator goes on from %1. To go on from a kept session instead, "
                                              "quit Orvenda and put its file in place of %1.");
    if (!goesOnFromFile)
        return head + QLatin1Char('\n') + files.join(QLatin1Char('\n'));
    return head + QLatin1Char('\n') + files.join(QLatin1Char('\n')) + QLatin1Char('\n') + tail.arg(path);
}

void AppDelegate::say(const QString& text) const
{
    qWarning().noquote() << text;
    if (tell)
        tell(text);
}

AppDelegate::~AppDelegate() { calc_.notificationCenter().removeObserver(this); }

void AppDelegate::installManagers(Calculator& calc)
{
    if (!calc.prettyPrint)
        calc.prettyPrint = std::make_shared<PrettyPrint>();
    if (!calc.historyManager)
        calc.historyManager = std::make_shared<HistoryModel>(calc);
    if (!calc.entryManager)
        calc.entryManager = std::make_shared<EntryModel>(calc);
}

std::optional<QString> AppDelegate::takeStartupReport() { return std::exchange(startupReport_, std::nullopt); }

void AppDelegate::noteChange()
{
    changePending_ = true;
    if (QCoreApplication::instance())
        autosaveTimer_->start();
}

void AppDelegate::autosave()
{
    if (!changePending_)
        return;
    // A run changes the state as it goes, and holds it while it does: the state is saved
    // after it.
    if (calc_.parser().programQueueCount() > 0) {
        if (QCoreApplication::instance())
            autosaveTimer_->start();
        return;
    }
    changePending_ = false;
    const Saving saving = archive();
    // A refusal is told even when nothing was ever saved.
    if (saving.bytes.empty() || saving.bytes != saved_)
        write(saving, false);
}

AppDelegate::Saving AppDelegate::archive()
{
    // Every save holds what is on screen, whatever a screen keeps apart meanwhile.
    NotificationCenter& bus = calc_.notificationCenter();
    bus.post(kWillSaveState, this);
    std::vector<Calculator::Archive> memory;
    Saving saving;
    calc_.saveMemory(memory, false, &saving.leftOut);
    bus.post(kDidSaveState, this);
    saving.bytes = std::move(memory.front());
    return saving;
}

void AppDelegate::write(const Saving& saving, bool ending)
{
    const std::vector<std::uint8_t>& archive = saving.bytes;
    // No archive: the state holds more than the next launch would read, even without its
    // history, Ans, lists, strings and matrices. The last save stays as it is.
    if (archive.empty()) {
        if (ending)
            stateFile_.leaveNote(QStringLiteral(
                "The calculator could not be saved when Orvenda was last left: it held more than a saved calculator "
                "can, even without its history, lists, strings and matrices (its equations and user menus together). "
                "What it held then is lost; the calculator goes on from what was saved before."));
        else if (told_.insert(Refusal::TooLarge).second)
            say(QStringLiteral("The calculator cannot be saved: it holds more than a saved calculator can, even "
                               "without its history, lists, strings and matrices (its equations and user menus "
                               "together). The calculator goes on working, and the last save is kept; this session "
                               "will not be kept unless some of them are cleared."));
        return;
    }
    StateFile::Failure failure = StateFile::Failure::None;
    if (stateFile_.write(archive, &failure)) {
        saved_ = archive;
        told_.clear();
        tellWritten();
        tellLeftOut(saving.leftOut, ending);
        return;
    }
    std::pair<Refusal, QString> refusal;
    switch (failure) {
    case StateFile::Failure::DiskFull:
        refusal = {Refusal::DiskFull,
            QStringLiteral("The calculator cannot be saved in %1: the disk is full. The calculator goes on "
                           "working, but this session will not be kept unless room is made on the disk.")
                .arg(QDir::toNativeSeparators(stateFile_.saveFolder()))};
        break;
    case StateFile::Failure::ChangedElsewhere:
        // Nothing of the session is lost: it waits beside the state file. When it cannot,
        // the cause told is what keeps it from there.
        if (!stateFile_.sessionKeptAs().isEmpty())
            saved_ = archive;
        refusal = {stateFile_.sessionKeptAs().isEmpty()
                ? (stateFile_.sessionFailure() == StateFile::Failure::DiskFull ? Refusal::DiskFull
                                                                                : Refusal::FolderReadOnly)
                : Refusal::ChangedOnDisk,
            changedOnDiskText()};
        break;
    default:
        refusal = unwritable();
        break;
    }
    // Each cause once (the launch may have told it): later saves keep trying quietly, the
    // folder or the file may take them again.
    if (told_.insert(refusal.first).second)
        say(refusal.second);
}

void AppDelegate::tellWritten() const
{
    const StateFile::Written& written = stateFile_.written();
    const QString path = QDir::toNativeSeparators(stateFile_.path());
    if (written.replacedNoArchive)
        say((written.keptAs.isEmpty()
                ? QStringLiteral("The saved calculator %1 held no calculator when this session was saved (it was "
                                 "emptied, damaged or could not be read), so this session was saved in its place.")
                : QStringLiteral("The saved calculator %1 held no calculator when this session was saved (it was "
                                 "emptied, damaged or could not be read), so it was kept as %2 and this session was "
                                 "saved in its place.")
                      .arg(path, QDir::toNativeSeparators(written.keptAs))));
    if (!written.backInFile)
        return;
    QString text = QStringLiteral("The saved calculator %1 no longer holds another save (it was put back or removed), "
                                  "so this session is saved in it again.")
                       .arg(path);
    const QString copy = QDir::toNativeSeparators(written.sessionCopy);
    if (written.sessionCopyRemoved)
        text += QStringLiteral(" %1, where the session was kept meanwhile, is removed: nothing needs to be put in place.")
                    .arg(copy);
    else if (!copy.isEmpty())
        text += QStringLiteral(" %1, where the session was kept meanwhile, could not be removed: it is older than %2 "
                               "now, so do not put it in place.")
                    .arg(copy, path);
    say(text);
}

void AppDelegate::tellLeftOut(const MemoryArchive::LeftOut& leftOut, bool ending)
{
    if (!leftOut.any()) {
        toldLeftOut_.clear();
        return;
    }
    const QString what = leftOutText(leftOut);
    // The app is ending: the next launch says it, first thing.
    if (ending) {
        stateFile_.leaveNote(QStringLiteral("The calculator could not be saved whole when Orvenda was last left: it "
                                            "held more than a saved calculator can. So that everything else was kept, "
                                            "the save left out %1.")
                                 .arg(what));
        return;
    }
    const std::set<std::string> parts = leftOutParts(leftOut);
    if (std::includes(toldLeftOut_.begin(), toldLeftOut_.end(), parts.begin(), parts.end()))
        return;
    toldLeftOut_.insert(parts.begin(), parts.end());
    say(QStringLiteral("The calculator cannot be saved whole: it holds more than a saved calculator can. So that "
                       "everything else is kept, the save leaves out %1. The calculator goes on working with all of "
                       "it, but what is left out is lost when Orvenda ends unless room is made (clear lists, "
                       "strings or the history).")
            .arg(what));
}

void AppDelegate::save(bool toClipboard, bool ending)
{
    calc_.parser().stopProgramThread();
    changePending_ = false;
    autosaveTimer_->stop();
    write(archive(), ending);
    if (!toClipboard || !qGuiApp)
        return;
    const auto* history = dynamic_cast<const HistoryModel*>(calc_.historyManager.get());
    if (!history || history->lastResult().empty())
        return;
    // A value goes with its tokens, so that pasted here it is the value shown.
    if (const auto ops = history->history().back().resultOps())
        OpsClipboard::put(history->lastResult(), *ops);
    else
        QGuiApplication::clipboard()->setText(QString::fromStdString(history->lastResult()));
}

void AppDelegate::applicationWillResignActive() { save(true); }
void AppDelegate::applicationDidEnterBackground() { save(false); }
void AppDelegate::applicationWillTerminate() { save(false, true); }
void AppDelegate::sceneWillResignActive() { calc_.parser().stopProgramThread(); }
void AppDelegate::sceneDidEnterBackground() { save(true); }

void AppDelegate::openFiles(const QStringList& paths)
{
    for (const QString& path : paths) {
        const Report report = importFile(path);
        nlohmann::json error{{"errorNum", report.number}};
        if (!report.message.isEmpty())
            error["message"] = report.message.toStdString();
        calc_.showError(error);
    }
}

AppDelegate::Report AppDelegate::importFile(const QString& path)
{
    qInfo().noquote() << "Received URL:" << QUrl::fromLocalFile(path).toString();
    const QString extension = QFileInfo(path).suffix();
    if (!calc_.validFileExtension(extension.toStdString()))
        return {kUnsupportedFile, {}};
    const bool csv = extension.compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0;
    // Never more than the longest file the calculator could take, whatever the file's size
    // says: text longer than the lists it could fill is refused.
    QByteArray data;
    switch (BoundedFile::read(path, static_cast<qint64>(CSVLoader::kMaxTextBytes), data)) {
    case BoundedFile::Result::Unreadable:
        return {kUnreadableFile, {}};
    case BoundedFile::Result::TooLong:
        return {csv ? ErrCsvBadRow : ErrVariableDataTooLarge, {}};
    case BoundedFile::Result::Read:
        break;
    }
    Report report;
    if (csv) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8.decode(data);
        if (utf8.hasError())
            return {kUnreadableFile,
                QStringLiteral("File cannot be read: it is not UTF-8 text. Save it as UTF-8 text and open it again.")};
        report.number = CSVLoader::loadCSV(calc_, text.toStdString());
    } else {
        // 1 for data that is no such file (cut short, a byte changed, another kind of file),
        // else the import's own error number.
        report.number = calc_.loadProgram(bytesOf(data));
        if (report.number == ErrSyntax)
            report.message = QStringLiteral("File cannot be read: it is damaged or is not a calculator variable file.");
    }
    calc_.notificationCenter().post(VQProgramFileAdded, this);
    if (report.number == 0)
        report.number = kImportSucceeded;
    return report;
}

void AppDelegate::watch(QGuiApplication& app)
{
    watcher_ = std::make_unique<FileOpenFilter>(*this);
    QObject::connect(&app, &QGuiApplication::applicationStateChanged, watcher_.get(), [this](Qt::ApplicationState state) {
        // An alert the keys closed before the window system had made it active leaves the
        // app inactive for a moment: the window activated next comes with the same events.
        // Only an app still inactive once those are handled has left the foreground (and a
        // waiting run is not stopped in between), as it is never inactive when the same keys
        // come one after another.
        if (state == Qt::ApplicationInactive)
            QMetaObject::invokeMethod(
                watcher_.get(),
                [this] {
                    if (QGuiApplication::applicationState() == Qt::ApplicationInactive)
                        applicationWillResignActive();
                },
                Qt::QueuedConnection);
        else if (state == Qt::ApplicationHidden || state == Qt::ApplicationSuspended)
            applicationDidEnterBackground();
    });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, watcher_.get(), [this] { applicationWillTerminate(); });
    app.installEventFilter(watcher_.get());
}

} // namespace orvenda
