#include "app/InstanceLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

namespace {
const QByteArray showRequest = "show\n";

QString lockPath(const QString &rootDirectory) {
    return QDir(rootDirectory).filePath(InstanceLock::fileName());
}
} // namespace

InstanceLock::InstanceLock(const QString &rootDirectory, QObject *parent)
    : QObject(parent)
    , m_rootDirectory(rootDirectory)
    , m_lock(lockPath(rootDirectory)) {
    // Never judged stale by its age: only by its owner no longer running, so a copy that has
    // run for days is never taken for a dead one.
    m_lock.setStaleLockTime(0);
}

InstanceLock::~InstanceLock() {
    delete m_server;
    m_server = nullptr;
    m_lock.unlock();
}

QString InstanceLock::serverName(const QString &rootDirectory) {
    QString dir = QFileInfo(rootDirectory).canonicalFilePath();
    if (dir.isEmpty())
        dir = QDir::cleanPath(QFileInfo(rootDirectory).absoluteFilePath());
    const QByteArray hash =
        QCryptographicHash::hash(dir.toUtf8(), QCryptographicHash::Sha256).toHex().left(32);
    return QStringLiteral("grquorvel-") + QString::fromLatin1(hash);
}

InstanceLock::Result InstanceLock::acquire() {
    // tryLock takes over a lock whose owner is gone: the process it names no longer runs, or
    // runs under another name, or the machine was started again since.
    if (m_lock.tryLock(0)) {
        listen();
        return Result::Acquired;
    }
    return m_lock.error() == QLockFile::LockFailedError ? Result::HeldElsewhere
                                                        : Result::Unavailable;
}

void InstanceLock::listen() {
    m_server = new QLocalServer;
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = serverName(m_rootDirectory);
    if (!m_server->listen(name)) {
        // A socket left by a copy that ended without closing it: ours now that we hold the lock.
        QLocalServer::removeServer(name);
        m_server->listen(name);
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine())
                    return;
                if (socket->readLine() == showRequest)
                    emit showRequested();
                socket->disconnectFromServer();
            });
        }
    });
}

bool InstanceLock::askHolderToShow(int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName(m_rootDirectory));
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(showRequest);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    // The holder hangs up once it has read the request.
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(timeoutMs);
    return true;
}
