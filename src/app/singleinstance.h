#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QSocketNotifier;

namespace pilotrame::app {

// One running copy of a program per user and program file. The first copy holds a lock and
// listens; a later copy finds the lock taken, asks the first one to come to the front (and to open
// the job file it was given) and ends. A request is one line: "activate", or "open " and the
// job file's path in UTF-8.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(const QString& key, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the first copy; otherwise the running copy has been asked to
    // come to the front, and to open jobFile when it is given, and this process should end.
    bool tryBecomePrimary(const QString& jobFile = {});

    // The key for the current user and program file.
    static QString keyForThisProgram();

signals:
    // A later copy asked this one to come to the front; jobFile is empty when it gave none.
    void activationRequested(const QString& jobFile);

private:
    void listen();
    static void askPrimaryToActivate(const QString& key, const QByteArray& request);
    // Adds what was received to pending and signals each whole request line in it.
    void takeRequests(QByteArray& pending, const QByteArray& received);

    QString m_key;
    std::unique_ptr<QLockFile> m_lock;
#ifdef Q_OS_WIN
    QLocalServer* m_server = nullptr;
    // Held while this copy runs: the installer and the uninstaller look for it by its name, the
    // program file's path, before they touch the program's files.
    void* m_runningMark = nullptr;
#else
    // A named pipe beside the lock: a later copy writes its request line into it, whole (a
    // write of up to PIPE_BUF bytes is never mixed with another's). Cheaper to set up at each
    // start than a local socket server, which would bring in the network module.
    QString m_pipePath;
    int m_pipe = -1;     // read end, watched by m_notifier
    int m_keepOpen = -1; // a write end of our own, so the pipe never reads as closed
    QSocketNotifier* m_notifier = nullptr;
    QByteArray m_pending; // the start of a request not yet read whole
#endif
};

} // namespace pilotrame::app
