#include "launcher/SingleInstance.h"

#include "app/AppDelegate.h"
#include "app/RootController.h"
#include "launcher/AppLauncher.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>

namespace orvenda {

namespace {

// A hand-over is the count of paths, then each path; the running app answers one byte when
// it has taken them.
constexpr char kTaken = 1;
// Far more than any desktop hands over at once; bounds what a stray client can make us read.
constexpr quint32 kMaxFiles = 10000;

} // namespace

SingleInstance::SingleInstance(const QString& dataFolder, QObject* parent)
    : QObject(parent)
{
    QDir().mkpath(dataFolder);
    const QString canonical = QFileInfo(dataFolder).canonicalFilePath();
    folder_ = canonical.isEmpty() ? QFileInfo(dataFolder).absoluteFilePath() : canonical;
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::accept);
}

SingleInstance::~SingleInstance()
{
    server_.close();
    if (lock_)
        lock_->unlock();
}

QString SingleInstance::serverName() const
{
    const QByteArray hash = QCryptographicHash::hash(folder_.toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
    return QStringLiteral("orvenda-") + QString::fromLatin1(hash);
}

SingleInstance::Role SingleInstance::claim()
{
    lock_ = std::make_unique<QLockFile>(QDir(folder_).filePath(QString::fromLatin1(kLockName)));
    // A running app keeps its lock however long it runs; only a lock whose process is gone
    // is stale.
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        const QLockFile::LockError error = lock_->error();
        lock_.reset();
        return error == QLockFile::LockFailedError ? Role::Second : Role::Unguarded;
    }
    // Holding the lock, any socket left under the name is a dead app's.
    QLocalServer::removeServer(serverName());
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.listen(serverName());
    return Role::First;
}

bool SingleInstance::handOver(const QStringList& files, int timeoutMs) const
{
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out << static_cast<quint32>(files.size());
    for (const QString& file : files)
        out << QFileInfo(file).absoluteFilePath();
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    while (socket.bytesAvailable() < 1)
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    char answer = 0;
    return socket.getChar(&answer) && answer == kTaken;
}

void SingleInstance::serve(AppLauncher& app)
{
    connect(this, &SingleInstance::filesHandedOver, this, [&app](const QStringList& files) {
        QWidget* window = app.root().window();
        window->raise();
        window->activateWindow();
        app.delegate().openFiles(files);
    });
}

void SingleInstance::accept()
{
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            QDataStream in(socket);
            in.startTransaction();
            quint32 count = 0;
            in >> count;
            if (count > kMaxFiles) {
                socket->abort();
                return;
            }
            QStringList files;
            for (quint32 k = 0; k < count && in.status() == QDataStream::Ok; ++k) {
                QString file;
                in >> file;
                files << file;
            }
            // The rest is still on its way.
            if (!in.commitTransaction())
                return;
            socket->putChar(kTaken);
            socket->flush();
            Q_EMIT filesHandedOver(files);
        });
    }
}

} // namespace orvenda
