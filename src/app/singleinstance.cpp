#include "app/singleinstance.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>

#ifdef Q_OS_WIN
#include <QLocalServer>
#include <QLocalSocket>

#include <memory>

#include <windows.h>
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
#endif
const QByteArray kActivate = QByteArrayLiteral("activate");
const QByteArray kOpen = QByteArrayLiteral("open ");

QByteArray RequestLine(const QString& jobFile) {
    return (jobFile.isEmpty() ? kActivate : kOpen + jobFile.toUtf8()) + '\n';
}
} // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent), m_key(key) {}

SingleInstance::~SingleInstance() {
#ifdef Q_OS_WIN
    if (m_runningMark)
        CloseHandle(m_runningMark);
#else
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

bool SingleInstance::tryBecomePrimary(const QString& jobFile) {
    m_lock = std::make_unique<QLockFile>(QDir::temp().filePath(m_key + QStringLiteral(".lock")));
    m_lock->setStaleLockTime(0); // a lock left by a crashed copy is taken over
    // Only a lock held by another copy stops this one; a lock that cannot be made at all (no
    // writable temporary folder) must not keep the user from working.
    if (!m_lock->tryLock(0) && m_lock->error() == QLockFile::LockFailedError) {
        askPrimaryToActivate(m_key, RequestLine(jobFile));
        return false;
    }
    listen();
    return true;
}

void SingleInstance::takeRequests(QByteArray& pending, const QByteArray& received) {
    pending += received;
    for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
        const QByteArray line = pending.left(end);
        pending.remove(0, end + 1);
        if (line == kActivate)
            emit activationRequested({});
        else if (line.startsWith(kOpen))
            emit activationRequested(QString::fromUtf8(line.mid(kOpen.size())));
    }
}

#ifdef Q_OS_WIN

void SingleInstance::askPrimaryToActivate(const QString& key, const QByteArray& request) {
    // Windows lets a program take the foreground only from the one that has it: this copy, which
    // the user has just started.
    AllowSetForegroundWindow(ASFW_ANY);
    QLocalSocket socket;
    socket.connectToServer(key);
    if (socket.waitForConnected(kConnectTimeoutMs)) {
        socket.write(request);
        socket.waitForBytesWritten(kConnectTimeoutMs);
        socket.disconnectFromServer();
    }
}

void SingleInstance::listen() {
    // "Local\Pilotrame C:/…/pilotrame.exe": what packaging/windows/pilotrame.nsi looks for. A
    // kernel object's name holds no backslash after its namespace; Qt's path has none.
    const QString mark =
        QStringLiteral("Local\\Pilotrame ") + QCoreApplication::applicationFilePath();
    m_runningMark = CreateMutexW(nullptr, FALSE, reinterpret_cast<const wchar_t*>(mark.utf16()));
    QLocalServer::removeServer(m_key); // a socket file left by a crashed copy
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            const auto readRequest = [this, socket, pending = std::make_shared<QByteArray>()] {
                takeRequests(*pending, socket->readAll());
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

void SingleInstance::askPrimaryToActivate(const QString& key, const QByteArray& request) {
    // Without a reader (a copy that has not listened yet) the open fails at once: nothing waits.
    const int pipe = ::open(PipePathFor(key).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (pipe < 0)
        return;
    [[maybe_unused]] const ssize_t written = ::write(pipe, request.constData(), request.size());
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
        char received[512];
        ssize_t count = 0;
        while ((count = ::read(m_pipe, received, sizeof received)) > 0)
            takeRequests(m_pending, QByteArray(received, count));
    });
}

#endif

} // namespace pilotrame::app
