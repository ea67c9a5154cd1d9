#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;

namespace pilotrame::gui {

// One running copy of a program per user and program file. The first copy holds a lock and
// listens; a later copy finds the lock taken, asks the first one to come to the front and ends.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(const QString& key, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the first copy; otherwise the running copy has been asked to
    // come to the front and this process should end.
    bool tryBecomePrimary();

    // The key for the current user and program file.
    static QString keyForThisProgram();

signals:
    void activationRequested();

private:
    QString m_key;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};

} // namespace pilotrame::gui
