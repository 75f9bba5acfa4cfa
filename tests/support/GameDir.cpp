#include "support/GameDir.h"
#include "support/ProgramRun.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTest>

#include <gtest/gtest.h>

#include <unistd.h>

GameDir::GameDir()
    : GameDir(Contents{}) {}

GameDir::GameDir(Contents contents) {
    EXPECT_TRUE(m_dir.isValid());
    const auto copy = [this](const QString &name) {
        QFile::copy(demoFile(name), path(name));
        QFile::setPermissions(path(name), QFile::permissions(demoFile(name)) | QFile::WriteOwner);
    };
    if (contents.game)
        copy(QStringLiteral("GhostRecon.exe"));
    if (contents.optionsXml)
        copy(QStringLiteral("options.xml"));
    if (contents.missionStats)
        copy(QStringLiteral("missionstats.htm"));
    if (contents.preferences)
        write(QStringLiteral("GRQuorvelOptions.xml"),
              "<options><ShowTips>False</ShowTips><PingOnStart>False</PingOnStart></options>");
}

QString GameDir::root() const {
    return QDir::toNativeSeparators(m_dir.path()) + QDir::separator();
}

void GameDir::write(const QString &name, const QByteArray &bytes) const {
    QFile file(path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray GameDir::read(const QString &name) const {
    QFile file(path(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void GameDir::whileReadOnly(const std::function<void()> &action) const {
    const QString dir = QDir::cleanPath(root());
    const QFile::Permissions old = QFile::permissions(dir);
    EXPECT_TRUE(QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser |
                                               QFile::ExeUser | QFile::ReadGroup | QFile::ExeGroup |
                                               QFile::ReadOther | QFile::ExeOther));
    const bool asRoot = ::geteuid() == 0;
    const bool switched = asRoot && ::seteuid(65534) == 0;
    EXPECT_EQ(switched, asRoot) << "could not act as an ordinary user";
    const auto restore = qScopeGuard([&] {
        if (switched) {
            EXPECT_EQ(::seteuid(0), 0);
        }
        QFile::setPermissions(dir, old);
    });
    action();
}

void GameDir::installRunner(const QString &log, bool thenRun) {
    const QByteArray to = path(log).toUtf8();
    writeProgram(path(QStringLiteral("runner.sh")),
                 "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + to + ".tmp\"\nmv \"" + to + ".tmp\" \"" +
                     to + "\"\n" + (thenRun ? "exec sh \"$@\"\n" : ""));
    if (m_runner)
        m_runner->set(path(QStringLiteral("runner.sh")).toUtf8());
    else
        m_runner.emplace("GRQUORVEL_WINE", path(QStringLiteral("runner.sh")).toUtf8());
}

QStringList GameDir::waitForLines(const QString &name) const {
    if (!QTest::qWaitFor([&] { return QFile::exists(path(name)); }, 5000))
        return {};
    return QString::fromUtf8(read(name)).split(u'\n', Qt::SkipEmptyParts);
}

QString GameDir::demoFile(const QString &name) {
    return QStringLiteral(QUORVEL_SOURCE_DIR "/demo/") + name;
}
