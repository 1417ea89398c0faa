#include "launcher/SingleInstance.h"

#include "app/AppDelegate.h"
#include "app/RootController.h"
#include "launcher/AppLauncher.h"
#include "platform/HandOverMessage.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <functional>
#include <optional>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace orvenda {

namespace {

// The running app answers this byte for each message it has taken.
constexpr char kTaken = 1;
// After an accept that failed for want of descriptors or memory.
constexpr int kAcceptPauseMs = 200;
// What each read of a connection takes at most.
constexpr qint64 kReadBufferBytes = 64 * 1024;

// The folder, made when missing, when only this user can reach it: a folder (no link) of
// the user's own that no one else may enter, made so when it is the user's and others could.
bool isPrivateFolder(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    bool own = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid();
    if (own && (info.st_mode & 077) != 0)
        own = ::fchmod(fd, 0700) == 0;
    ::close(fd);
    return own;
}

// The user of the program at the other end of a local socket.
std::optional<uid_t> peerUser(qintptr fd)
{
#if defined(SO_PEERCRED)
    struct ucred credentials {};
    socklen_t length = sizeof credentials;
    if (::getsockopt(static_cast<int>(fd), SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0)
        return std::nullopt;
    return credentials.uid;
#else
    uid_t user = 0;
    gid_t group = 0;
    if (::getpeereid(static_cast<int>(fd), &user, &group) != 0)
        return std::nullopt;
    return user;
#endif
}

bool fitsSocketAddress(const QString& path)
{
    return QFile::encodeName(path).size() < static_cast<qsizetype>(sizeof(sockaddr_un::sun_path));
}

} // namespace

SingleInstance::SingleInstance(const QString& dataFolder, QObject* parent)
    : QObject(parent)
    , acceptPause_(std::make_unique<QTimer>())
{
    // Answered as soon as the folder is claimed, kept until the app can open them.
    connect(this, &SingleInstance::filesHandedOver, this, [this](const QStringList& files) {
        if (!served_)
            early_ << files;
    });
    QDir().mkpath(dataFolder);
    const QString canonical = QFileInfo(dataFolder).canonicalFilePath();
    folder_ = canonical.isEmpty() ? QFileInfo(dataFolder).absoluteFilePath() : canonical;
    const QString name = QStringLiteral("orvenda-")
        + QString::fromLatin1(QCryptographicHash::hash(folder_.toUtf8(), QCryptographicHash::Sha256).toHex().left(24));
    // The user's runtime folder first; without one, a folder of the user's own in the
    // temporary folder, whose name another account may have taken first; then one among the
    // user's own files, which no one else can take.
    QStringList candidates;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.startsWith(QLatin1Char('/')))
        candidates << runtime + QStringLiteral("/orvenda");
    candidates << QDir::tempPath() + QStringLiteral("/orvenda-%1").arg(::getuid());
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    const QString own = cache.startsWith(QLatin1Char('/')) ? cache + QStringLiteral("/orvenda") : QString();
    if (!own.isEmpty())
        candidates << own;
    for (const QString& candidate : candidates) {
        const QString socket = candidate + QLatin1Char('/') + name + QStringLiteral(".socket");
        // The cache folder is made only when it comes to it.
        if (candidate == own && !QDir().mkpath(cache))
            continue;
        if (fitsSocketAddress(socket) && isPrivateFolder(candidate)) {
            lockPath_ = candidate + QLatin1Char('/') + name + QStringLiteral(".lock");
            socketPath_ = socket;
            break;
        }
    }
    acceptPause_->setSingleShot(true);
    acceptPause_->setInterval(kAcceptPauseMs);
    connect(acceptPause_.get(), &QTimer::timeout, this, &SingleInstance::resumeAccepting);
}

SingleInstance::~SingleInstance()
{
    acceptNotifier_.reset();
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        ::unlink(QFile::encodeName(socketPath_).constData());
    }
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

QString SingleInstance::serverName() const { return socketPath_; }

SingleInstance::Role SingleInstance::claim()
{
    if (lockFd_ >= 0)
        return Role::First;
    const auto unguarded = [this](const char* why) {
        qWarning("Orvenda cannot guard %s (%s): this app runs alone.", qPrintable(folder_), why);
        return Role::Unguarded;
    };
    if (lockPath_.isEmpty())
        return unguarded("the user has no folder of their own for it");
    const int fd = ::open(QFile::encodeName(lockPath_).constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return unguarded(std::strerror(errno));
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        return error == EWOULDBLOCK ? Role::Second : unguarded(std::strerror(error));
    }
    lockFd_ = fd;
    listen();
    return Role::First;
}

void SingleInstance::listen()
{
    const QByteArray path = QFile::encodeName(socketPath_);
    // Holding the guard, a socket left under the name is a dead app's.
    ::unlink(path.constData());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || ::chmod(path.constData(), 0600) != 0 || ::listen(fd, SOMAXCONN) != 0) {
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        qWarning("Orvenda cannot take the files opened while it runs: listening on %s failed (%s).",
            path.constData(), std::strerror(error));
        return;
    }
    listenFd_ = fd;
    acceptNotifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(acceptNotifier_.get(), &QSocketNotifier::activated, this, &SingleInstance::accept);
}

void SingleInstance::accept()
{
    for (;;) {
        const int fd = (systemAccept ? systemAccept : ::accept4)(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd >= 0) {
            take(fd);
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED || errno == EPROTO)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return;
        // Out of descriptors or memory: the waiting connections wait a moment, and the
        // server goes on.
        acceptNotifier_->setEnabled(false);
        acceptPause_->start();
        return;
    }
}

void SingleInstance::resumeAccepting()
{
    if (acceptNotifier_)
        acceptNotifier_->setEnabled(true);
}

void SingleInstance::take(int fd)
{
    // Only this user's launches hand over, and never so many at once that the app runs
    // out of descriptors.
    if (connections_ >= kMaxConnections || peerUser(fd) != ::getuid()) {
        ::close(fd);
        return;
    }
    auto* socket = new QLocalSocket(this);
    if (!socket->setSocketDescriptor(fd)) {
        ::close(fd);
        delete socket;
        return;
    }
    ++connections_;
    socket->setReadBufferSize(kReadBufferBytes);
    connect(socket, &QObject::destroyed, this, [this] { --connections_; });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    // A connection that keeps silent, or trickles, is closed.
    auto* deadline = new QTimer(socket);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, socket, &QLocalSocket::abort);
    deadline->start(connectionTimeout_);
    auto reader = std::make_shared<HandOverMessage>();
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, reader] {
        HandOverMessage::Status status = reader->read(socket->readAll());
        while (status == HandOverMessage::Status::Complete) {
            const QStringList files = reader->take();
            socket->putChar(kTaken);
            // Opened once this connection is served: an import may show an alert.
            QMetaObject::invokeMethod(this, [this, files] { Q_EMIT filesHandedOver(files); }, Qt::QueuedConnection);
            status = reader->read({});
        }
        if (status == HandOverMessage::Status::Refused)
            socket->abort();
        else
            socket->flush();
    });
}

SingleInstance::Attempt SingleInstance::attempt(const QStringList& files, const Patience& patience,
    std::chrono::steady_clock::time_point start, bool& toldWaiting, const std::function<bool()>& guardFree) const
{
    if (socketPath_.isEmpty())
        return Attempt::NoServer;
    QLocalSocket socket;
    const int retry = static_cast<int>(patience.retry.count());
    socket.connectToServer(socketPath_);
    if (!socket.waitForConnected(retry))
        return Attempt::NoServer;
    if (peerUser(socket.socketDescriptor()) != ::getuid()) {
        qWarning("The hand-over socket %s belongs to another user: the files are not handed to it.",
            qPrintable(socketPath_));
        return Attempt::Foreign;
    }
    QStringList absolute;
    for (const QString& file : files)
        absolute << QFileInfo(file).absoluteFilePath();
    const std::vector<QByteArray> messages = HandOverMessage::encode(absolute);
    for (const QByteArray& message : messages)
        socket.write(message);
    // Between two looks: what keeps the launch waiting for the answer.
    const auto stillWaiting = [&]() -> std::optional<Attempt> {
        if (socket.state() != QLocalSocket::ConnectedState)
            return Attempt::Gone;
        const auto waited = std::chrono::steady_clock::now() - start;
        if (!toldWaiting && waited >= patience.notice) {
            toldWaiting = true;
            qWarning("Orvenda is already running on %s and does not answer yet; waiting for it.", qPrintable(folder_));
        }
        if (waited >= patience.giveUp)
            return Attempt::Unanswered;
        if (guardFree && guardFree())
            return Attempt::Claimed;
        return std::nullopt;
    };
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(retry))
            if (const auto outcome = stillWaiting())
                return *outcome;
    std::size_t answers = 0;
    while (answers < messages.size()) {
        char answer = 0;
        if (socket.getChar(&answer)) {
            if (answer != kTaken)
                return Attempt::Unanswered;
            ++answers;
        } else if (!socket.waitForReadyRead(retry)) {
            if (const auto outcome = stillWaiting())
                return *outcome;
        }
    }
    return Attempt::Taken;
}

bool SingleInstance::handOver(const QStringList& files, int timeoutMs) const
{
    const std::chrono::milliseconds timeout(timeoutMs);
    bool toldWaiting = true;
    return attempt(files, {timeout, timeout, timeout}, std::chrono::steady_clock::now(), toldWaiting, nullptr)
        == Attempt::Taken;
}

SingleInstance::Launch SingleInstance::launch(const QStringList& files, const Patience& patience)
{
    const auto start = std::chrono::steady_clock::now();
    bool toldWaiting = false;
    const auto guardFree = [this] { return claim() != Role::Second; };
    for (;;) {
        if (guardFree())
            return Launch::Run;
        switch (attempt(files, patience, start, toldWaiting, guardFree)) {
        case Attempt::Taken:
            return Launch::HandedOver;
        case Attempt::Claimed:
            return Launch::Run;
        case Attempt::Unanswered:
        case Attempt::Foreign:
            return Launch::NotAnswered;
        case Attempt::NoServer:
        case Attempt::Gone:
            // An app that is ending, or starting: it lets the guard go, or listens, soon.
            if (std::chrono::steady_clock::now() - start >= patience.giveUp)
                return Launch::NotAnswered;
            QThread::msleep(static_cast<unsigned long>(patience.retry.count()));
            break;
        }
    }
}

void SingleInstance::serve(AppLauncher& app)
{
    const auto open = [&app](const QStringList& files) {
        QWidget* window = app.root().window();
        window->raise();
        window->activateWindow();
        app.delegate().openFiles(files);
    };
    served_ = true;
    connect(this, &SingleInstance::filesHandedOver, this, open);
    if (!early_.isEmpty())
        QMetaObject::invokeMethod(this, [open, files = std::exchange(early_, {})] { open(files); }, Qt::QueuedConnection);
}

QString SingleInstance::notOpenedText(const QString& dataFolder, const QStringList& files)
{
    QString text = QStringLiteral("Orvenda is already running on %1 and does not answer.")
                       .arg(QDir::toNativeSeparators(dataFolder));
    if (!files.isEmpty()) {
        QStringList names;
        for (const QString& file : files)
            names << QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
        text += QStringLiteral(" These files were not opened:\n") + names.join(QLatin1Char('\n'));
    }
    return text;
}

void SingleInstance::tellNotOpened(const QString& dataFolder, const QStringList& files)
{
    const QString text = notOpenedText(dataFolder, files);
    qWarning().noquote() << text;
    QMessageBox::warning(nullptr, QStringLiteral("Orvenda"), text);
}

} // namespace orvenda
