#pragma once

// A network namespace of the test's own: the calling thread moves into a new, empty one and
// back when the object goes. Sockets the thread makes meanwhile (and processes it starts) live
// in that namespace and never see the machine's network.

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <initializer_list>
#include <string>

inline ino_t namespaceInode(const char *path) {
    struct stat st {};
    return ::stat(path, &st) == 0 ? st.st_ino : 0;
}

// Moves the calling thread into a new, empty network namespace and back again when it goes.
// Nothing is changed unless the move is proven to have happened.
class OwnNetwork {
public:
    OwnNetwork() {
        m_home = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
        const ino_t home = namespaceInode("/proc/thread-self/ns/net");
        if (m_home < 0 || home == 0) {
            m_why = "cannot see this thread's network namespace";
            return;
        }
        if (::unshare(CLONE_NEWNET) != 0) {
            m_why =
                std::string("network namespaces are not permitted here: ") + std::strerror(errno);
            return;
        }
        m_moved = true;
        if (namespaceInode("/proc/thread-self/ns/net") == home) {
            m_why = "the new network namespace did not take";
            return;
        }
        m_path = QStringLiteral("/proc/%1/task/%2/ns/net").arg(::getpid()).arg(::gettid());
        if (!ip({"link", "set", "lo", "up"})) {
            m_why = "cannot bring up loopback in the new namespace (is `ip` installed?)";
            return;
        }
        m_ready = true;
    }
    ~OwnNetwork() {
        if (m_moved && ::setns(m_home, CLONE_NEWNET) != 0)
            ADD_FAILURE() << "could not return to the machine's network namespace";
        if (m_home >= 0)
            ::close(m_home);
    }
    OwnNetwork(const OwnNetwork &) = delete;
    OwnNetwork &operator=(const OwnNetwork &) = delete;

    bool ready() const { return m_ready; }
    const std::string &why() const { return m_why; }
    // The namespace as `nsenter --net=` takes it.
    const QString &path() const { return m_path; }

    // Runs `ip` inside this namespace, named explicitly so it can never act on the machine's.
    bool ip(std::initializer_list<const char *> words) const {
        QStringList arguments;
        for (const char *word : words)
            arguments << QString::fromLatin1(word);
        QProcess run;
        run.start(QStringLiteral("nsenter"),
                  QStringList{QStringLiteral("--net=") + m_path, QStringLiteral("ip")} + arguments);
        return run.waitForFinished(10000) && run.exitStatus() == QProcess::NormalExit &&
               run.exitCode() == 0;
    }

    // The sysctl files under /proc/sys/net belong to the namespace of the thread opening them.
    static bool allowEchoSocketsForEveryone() {
        QFile file(QStringLiteral("/proc/sys/net/ipv4/ping_group_range"));
        return file.open(QIODevice::WriteOnly) && file.write("0 2147483647\n") > 0;
    }

private:
    int m_home = -1;
    bool m_moved = false;
    bool m_ready = false;
    std::string m_why;
    QString m_path;
};
