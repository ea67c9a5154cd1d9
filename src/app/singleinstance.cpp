#include "app/singleinstance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

namespace pilotrame::gui {

namespace {
constexpr int kConnectTimeoutMs = 1000;
const QByteArray kActivate = QByteArrayLiteral("activate\n");
} // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent), m_key(key) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::keyForThisProgram() {
    QString user = qEnvironmentVariable("USERNAME");
    if (user.isEmpty())
        user = qEnvironmentVariable("USER");
    const QByteArray identity =
        (user + QLatin1Char('|') + QCoreApplication::applicationFilePath()).toUtf8();
    return QStringLiteral("pilotrame-") +
           QString::fromLatin1(
               QCryptographicHash::hash(identity, QCryptographicHash::Sha1).toHex().left(16));
}

bool SingleInstance::tryBecomePrimary() {
    m_lock = std::make_unique<QLockFile>(QDir::temp().filePath(m_key + QStringLiteral(".lock")));
    m_lock->setStaleLockTime(0); // a lock left by a crashed copy is taken over
    // Only a lock held by another copy stops this one; a lock that cannot be made at all (no
    // writable temporary folder) must not keep the user from working.
    if (!m_lock->tryLock(0) && m_lock->error() == QLockFile::LockFailedError) {
        QLocalSocket socket;
        socket.connectToServer(m_key);
        if (socket.waitForConnected(kConnectTimeoutMs)) {
            socket.write(kActivate);
            socket.waitForBytesWritten(kConnectTimeoutMs);
            socket.disconnectFromServer();
        }
        return false;
    }
    QLocalServer::removeServer(m_key); // a socket file left by a crashed copy
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            const auto readRequest = [this, socket] {
                if (socket->readAll().contains("activate"))
                    emit activationRequested();
            };
            connect(socket, &QLocalSocket::readyRead, this, readRequest);
            if (socket->bytesAvailable() > 0)
                readRequest();
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    m_server->listen(m_key);
    return true;
}

} // namespace pilotrame::gui
