#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;

// One running copy of the program per game directory. The copy that holds the lock file beside
// the preferences listens on a local socket named after the directory; a second copy finds the
// lock held, asks the first over that socket to show its window, and ends.
//
// A lock left behind by a copy that no longer runs (a crash, a kill, a reboot) is taken over.
class InstanceLock : public QObject {
    Q_OBJECT
public:
    explicit InstanceLock(const QString &rootDirectory, QObject *parent = nullptr);
    ~InstanceLock() override;

    static QString fileName() { return QStringLiteral("GRQuorvel.lock"); }

    enum class Result {
        Acquired,      // this copy is the one for the directory
        HeldElsewhere, // another copy runs on it
        Unavailable,   // no lock can be made here (a read-only directory): run without one
    };
    Result acquire();
    // Asks the copy holding the lock to show its window; false when it could not be reached.
    bool askHolderToShow(int timeoutMs = 3000);

    // The local socket's name for a game directory.
    static QString serverName(const QString &rootDirectory);

signals:
    // Another copy was started on this directory.
    void showRequested();

private:
    void listen();

    QString m_rootDirectory;
    QLockFile m_lock;
    QLocalServer *m_server = nullptr;
};
