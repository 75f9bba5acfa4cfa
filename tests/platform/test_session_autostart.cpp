#include "platform/SessionAutostart.h"
#include "support/ProgramRun.h"
#include "support/Scoped.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using platform::SessionAutostart;

namespace {

// A program that writes each of its arguments on a line of `log`.
QString recorder(const QString &directory, const QString &log) {
    const QString path = directory + QStringLiteral("/grquorvel");
    writeProgram(path, QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done "
                                      "> '%1.tmp' && mv '%1.tmp' '%1'\n")
                           .arg(log)
                           .toUtf8());
    return path;
}

} // namespace

TEST(SessionAutostart, TheSessionStartsTheProgramWithEveryArgumentAsWritten) {
    QTemporaryDir home;
    const ScopedEnv config("XDG_CONFIG_HOME", home.filePath(QStringLiteral("conf")).toUtf8());
    const QString log = home.filePath(QStringLiteral("args.log"));
    // Every character the entry's own escapes and its quotes have to carry (a percent sign, too,
    // but GLib looks for the program before it reads the doubled sign as one).
    const QString program =
        recorder(home.filePath(QStringLiteral("odd $dir \"q\" 'a' \\b `x` #1 (p) & ~")), log);
    const QStringList arguments{
        QStringLiteral("--tray"), QStringLiteral("--game-dir"),
        QStringLiteral("/games/Ghost Recon $HOME 50% %u `id` \"q\" \\w;|*?/"),
        QStringLiteral("plain")};
    EXPECT_FALSE(SessionAutostart::isOn());
    SessionAutostart::turnOn(program, arguments);
    EXPECT_TRUE(SessionAutostart::isOn());
    const QString entry = SessionAutostart::entryLocation();
    EXPECT_EQ(entry, home.filePath(QStringLiteral("conf/autostart/grquorvel.desktop")));

    QProcess validate;
    validate.setProcessChannelMode(QProcess::MergedChannels);
    validate.start(tool("desktop-file-validate"), {entry});
    ASSERT_TRUE(validate.waitForFinished(30000));
    EXPECT_EQ(validate.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(validate.readAll()).trimmed(), QString());

    // The desktop's own reader of entries starts it: the arguments arrive as they were given.
    QProcess launch;
    launch.setProcessChannelMode(QProcess::MergedChannels);
    launch.start(tool("gio"), {QStringLiteral("launch"), entry});
    ASSERT_TRUE(launch.waitForFinished(30000));
    EXPECT_EQ(launch.exitCode(), 0) << launch.readAll().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(log); }, 10000));
    QFile written(log);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(written.readAll()).split(u'\n', Qt::SkipEmptyParts), arguments);

    // Written again it replaces the one entry; off, it is gone, and off again changes nothing.
    SessionAutostart::turnOn(program, {QStringLiteral("--tray")});
    EXPECT_EQ(QDir(home.filePath(QStringLiteral("conf/autostart"))).entryList(QDir::Files),
              QStringList{QStringLiteral("grquorvel.desktop")});
    SessionAutostart::turnOff();
    EXPECT_FALSE(QFileInfo::exists(entry));
    EXPECT_FALSE(SessionAutostart::isOn());
    SessionAutostart::turnOff();
}

TEST(SessionAutostart, ItsPlaceFollowsTheConfigurationDirectory) {
    QTemporaryDir home;
    const ScopedEnv homeVariable("HOME", home.path().toUtf8());
    const QString fallback = home.filePath(QStringLiteral(".config/autostart/grquorvel.desktop"));
    // Unset, empty or relative: the default under the home directory.
    for (const QByteArray &value : {QByteArray(), QByteArray(""), QByteArray("relative/conf")}) {
        const ScopedEnv config("XDG_CONFIG_HOME", value);
        EXPECT_EQ(SessionAutostart::entryLocation(), fallback) << value.constData();
    }
}
