#include "app/singleinstance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>

#ifdef Q_OS_WIN
#include <QLocalServer>
#include <QLocalSocket>
#else
#include <QFile>
#include <QSocketNotifier>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pilotrame::app {

namespace {
#ifdef Q_OS_WIN
constexpr int kConnectTimeoutMs = 1000;
const QByteArray kActivate = QByteArrayLiteral("activate\n");
#endif
} // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent), m_key(key) {}

SingleInstance::~SingleInstance() {
#ifndef Q_OS_WIN
    delete m_notifier;
    if (m_pipe >= 0)
        ::close(m_pipe);
    if (m_keepOpen >= 0)
        ::close(m_keepOpen);
    if (!m_pipePath.isEmpty())
        QFile::remove(m_pipePath);
#endif
}

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
        askPrimaryToActivate(m_key);
        return false;
    }
    listen();
    return true;
}

#ifdef Q_OS_WIN

void SingleInstance::askPrimaryToActivate(const QString& key) {
    QLocalSocket socket;
    socket.connectToServer(key);
    if (socket.waitForConnected(kConnectTimeoutMs)) {
        socket.write(kActivate);
        socket.waitForBytesWritten(kConnectTimeoutMs);
        socket.disconnectFromServer();
    }
}

void SingleInstance::listen() {
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
}

#else

namespace {
QByteArray PipePathFor(const QString& key) {
    return QFile::encodeName(QDir::temp().filePath(key + QStringLiteral(".pipe")));
}
} // namespace

void SingleInstance::askPrimaryToActivate(const QString& key) {
    // Without a reader (a copy that has not listened yet) the open fails at once: nothing waits.
    const int pipe = ::open(PipePathFor(key).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (pipe < 0)
        return;
    const char request = 'a';
    [[maybe_unused]] const ssize_t written = ::write(pipe, &request, 1);
    ::close(pipe);
}

void SingleInstance::listen() {
    const QByteArray path = PipePathFor(m_key);
    ::unlink(path.constData()); // a pipe left by a crashed copy
    if (::mkfifo(path.constData(), 0600) != 0)
        return; // the program works without being brought to the front
    m_pipePath = QFile::decodeName(path);
    m_pipe = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    m_keepOpen = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (m_pipe < 0)
        return;
    m_notifier = new QSocketNotifier(m_pipe, QSocketNotifier::Read);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char requests[64];
        bool asked = false;
        while (::read(m_pipe, requests, sizeof requests) > 0)
            asked = true;
        if (asked)
            emit activationRequested();
    });
}

#endif

} // namespace pilotrame::app
