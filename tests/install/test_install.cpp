#include "app/ProgramIcon.h"
#include "app/clsGRQuorvel.h"
#include "support/ProgramRun.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Outcome {
    int status = -1;
    QString output; // standard output and error together
};

Outcome run(const QString &program, const QStringList &arguments, int timeoutMs = 60000) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit)
        return {-1, process.errorString()};
    return {process.exitCode(), QString::fromUtf8(process.readAll())};
}

QString fileText(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

TEST(Install, PutsTheProgramAndWhatADesktopNeedsAndNothingElse) {
    QTemporaryDir prefix;
    const Outcome install = run(QStringLiteral("cmake"),
                                {QStringLiteral("--install"), QStringLiteral(QUORVEL_BINARY_DIR),
                                 QStringLiteral("--prefix"), prefix.path()});
    ASSERT_EQ(install.status, 0) << install.output.toStdString();

    const QString id = applicationId();
    const QString share = QStringLiteral("share/");
    const QString desktop =
        share + QStringLiteral("applications/") + id + QStringLiteral(".desktop");
    const QString metainfo =
        share + QStringLiteral("metainfo/") + id + QStringLiteral(".metainfo.xml");
    const QString man = share + QStringLiteral("man/man1/grquorvel.1.gz");
    const QString doc = share + QStringLiteral("doc/grquorvel/");
    QStringList expected{QStringLiteral("bin/grquorvel"),
                         desktop,
                         metainfo,
                         man,
                         doc + QStringLiteral("copyright"),
                         doc + QStringLiteral("changelog.Debian.gz"),
                         share + QStringLiteral("lintian/overrides/grquorvel"),
                         share + QStringLiteral("icons/hicolor/scalable/apps/") + id +
                             QStringLiteral(".svg")};
    const auto icon = [&](int size) {
        return share + QStringLiteral("icons/hicolor/%1x%1/apps/").arg(size) + id +
               QStringLiteral(".png");
    };
    for (const int size : {16, 32, 48, 128, 256})
        expected << icon(size);
    QStringList installed;
    for (QDirIterator it(prefix.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        installed << QDir(prefix.path()).relativeFilePath(it.next());
    installed.sort();
    expected.sort();
    EXPECT_EQ(installed, expected);

    const auto at = [&](const QString &relative) { return prefix.filePath(relative); };
    EXPECT_TRUE(QFileInfo(at(QStringLiteral("bin/grquorvel"))).isExecutable());
    // The installed program itself runs (its query needs no display).
    EXPECT_EQ(run(at(QStringLiteral("bin/grquorvel")), {QStringLiteral("--query")}).status, 2);
    for (const int size : {16, 32, 48, 128, 256})
        EXPECT_EQ(QImage(at(icon(size))).size(), QSize(size, size));

    // The validators the software centres use, at their strictest.
    const Outcome desktopCheck = run(tool("desktop-file-validate"), {at(desktop)});
    EXPECT_EQ(desktopCheck.status, 0) << desktopCheck.output.toStdString();
    EXPECT_EQ(desktopCheck.output.trimmed(), QString()) << desktopCheck.output.toStdString();
    const Outcome appstream =
        run(tool("appstreamcli"), {QStringLiteral("validate"), QStringLiteral("--no-net"),
                                   QStringLiteral("--pedantic"), at(metainfo)});
    EXPECT_EQ(appstream.status, 0) << appstream.output.toStdString();
    EXPECT_FALSE(appstream.output.contains(
        QRegularExpression(QStringLiteral("^[EWIP]: "), QRegularExpression::MultilineOption)))
        << appstream.output.toStdString();
    // The package's changelog and the newest release of the metadata name the program's version.
    QStringList parts = clsGRQuorvel::VersionString().split(u'.');
    for (QString &part : parts)
        part = QString::number(part.toInt());
    const QString version = parts.join(u'.');
    const Outcome changelog =
        run(tool("gzip"), {QStringLiteral("-dc"), at(doc + QStringLiteral("changelog.Debian.gz"))});
    EXPECT_TRUE(changelog.output.startsWith(QStringLiteral("grquorvel (") + version + u'-'))
        << changelog.output.toStdString();
    const QString releases = fileText(at(metainfo));
    EXPECT_EQ(releases.indexOf(QStringLiteral("<release ")),
              releases.indexOf(QStringLiteral("<release version=\"") + version + u'"'));
    const QString entry = fileText(at(desktop));
    EXPECT_TRUE(entry.contains(QStringLiteral("\nExec=grquorvel\n")));
    EXPECT_TRUE(entry.contains(QStringLiteral("\nIcon=") + id + u'\n'));
    EXPECT_TRUE(fileText(at(metainfo))
                    .contains(QStringLiteral("<launchable type=\"desktop-id\">") + id +
                              QStringLiteral(".desktop</launchable>")));

    // The manual page (compressed as Debian wants it) formats without a warning and tells what a
    // player needs to know.
    const QString source = QStringLiteral(QUORVEL_SOURCE_DIR "/data/grquorvel.1");
    const Outcome unpacked = run(tool("gzip"), {QStringLiteral("-dc"), at(man)});
    EXPECT_EQ(unpacked.status, 0);
    const QString page = unpacked.output;
    EXPECT_EQ(page, fileText(source));
    const Outcome groff = run(tool("groff"), {QStringLiteral("-man"), QStringLiteral("-ww"),
                                              QStringLiteral("-z"), source});
    EXPECT_EQ(groff.status, 0);
    EXPECT_EQ(groff.output.trimmed(), QString()) << groff.output.toStdString();
    for (const char *topic : {"\\-\\-game\\-dir", "\\-noStartupPing", "\\-\\-query", "\\-\\-json",
                              "\\-\\-file", "standard input", ".SH EXIT STATUS", ".SH FILES",
                              "GRQuorvelOptions.xml", "GRQuorvelCache.dat", ".SH FINDING THE GAME",
                              "steamapps/common", ".B GRQUORVEL_WINE", ".B WINEPREFIX"})
        EXPECT_TRUE(page.contains(QString::fromLatin1(topic))) << topic;
}
