#include "support/CoreApp.h"

#include "common/QuorvelError.h"

#include <QDir>
#include <QFile>

#include <pugixml.hpp>

#include <gtest/gtest.h>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace {

const QString corruptTitle = QStringLiteral("An Error has occured.");
const QString corruptTail =
    QStringLiteral("\r\n\r\nYour preferences file may be corrupt and you may need to delete it. "
                   "GRQuorvelOptions.xml");

QByteArray prefs(const QByteArray &body) {
    return "<options>" + body + "</options>";
}

QStringList elementOrder(const QByteArray &xml) {
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_buffer(xml.constData(), static_cast<size_t>(xml.size())));
    QStringList names;
    for (pugi::xml_node n : doc.document_element().children())
        names << QString::fromUtf8(n.name());
    return names;
}

} // namespace

TEST(Preferences, BooleanTextsAndTheCorruptFilePrompt) {
    const struct {
        QByteArray text;
        bool expected;
        int prompts; // boxes answered Retry then Cancel
    } cases[] = {
        {"False", false, 0}, {"0", false, 0},     {"", true, 0},
        {"true", true, 0},   {"FALSE", false, 0}, {"-1", true, 0},
        {" 2 ", true, 0},    {"maybe", true, 1},  {"yes", true, 2},
    };
    for (const char *element : {"RecordStats", "PingOnStart", "ShowTips"}) {
        for (const auto &c : cases) {
            SCOPED_TRACE(std::string(element) + " = '" + c.text.toStdString() + "'");
            CoreApp f(CoreApp::noFiles);
            const QByteArray name(element);
            f.writePreferences(prefs("<" + name + ">" + c.text + "</" + name + ">"));
            for (int i = 1; i < c.prompts; ++i)
                f.prompter.expect(corruptTitle, Answer::Retry, corruptTail);
            if (c.prompts > 0)
                f.prompter.expect(corruptTitle, Answer::Cancel,
                                  QStringLiteral("Type mismatch") + corruptTail);
            f.load();
            const clsOptions &o = f.options();
            const bool value = name == "RecordStats"   ? o.RecordStats()
                               : name == "PingOnStart" ? o.PingGRServersOnStartup()
                                                       : o.ShowTips();
            EXPECT_EQ(value, c.expected);
            for (const auto &box : f.prompter.shown()) {
                EXPECT_TRUE(box.is(Buttons::RetryCancel, Icon::Critical));
            }
        }
    }
}

TEST(Preferences, LastTipStatsDirectoryAndTextValues) {
    const struct {
        QByteArray lastTip;
        qint32 expected;
        bool overflowPrompt;
    } cases[] = {{"abc", -1, false},       {"7", 7, false}, {"-3", -3, false},
                 {"2.5", 2, false},        {"", -1, false}, {"1e3", 1000, false},
                 {"99999999999", -1, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.lastTip.toStdString());
        CoreApp f(CoreApp::noFiles);
        f.writePreferences(prefs("<LastTip>" + c.lastTip + "</LastTip>"));
        if (c.overflowPrompt)
            f.prompter.expect(QStringLiteral("An Error has occured"), Answer::Cancel,
                              QStringLiteral("Overflow"));
        f.load();
        EXPECT_EQ(f.options().LastTip(), c.expected);
    }

    // A statistics directory deleted since the last run falls back to the default one; one that
    // still exists is kept. Values are found at any depth and in any order.
    for (const bool exists : {false, true}) {
        CoreApp f(CoreApp::noFiles);
        const QString stats = f.dir.path(QStringLiteral("Mine"));
        if (exists)
            QDir().mkdir(stats);
        f.writePreferences(prefs("<UserEmail>me@example.org</UserEmail><Deep><UserName>Ghost"
                                 "</UserName></Deep><LastStatsDirectory>" +
                                 stats.toUtf8() + "</LastStatsDirectory>"));
        f.load();
        EXPECT_EQ(f.options().StatsPath(), exists ? stats : f.dir.path(QStringLiteral("Stats")));
        EXPECT_EQ(f.options().UserName(), QStringLiteral("Ghost"));
        EXPECT_EQ(f.options().UserEmail(), QStringLiteral("me@example.org"));
    }
}

TEST(Preferences, ServerChannelAndPlayerNameEntries) {
    CoreApp f(CoreApp::noFiles);
    f.writePreferences(
        prefs("<GRServers>"
              "<Server IP='127.30.0.1' Name='Clan server' Password='pw' Ping='48'/>"
              "<Server IP='127.30.0.1' Name='Other' Password='x' Ping='97'/>"
              "<Server IP='127.30.0.2' Ping='12'/>"        // no name, no password
              "<Server Name='no address' Ping='5'/>"       // skipped
              "<Server IP='gr.Example.org' Name='named'/>" // a host name, kept as written
              "<Server IP='1.2.3.4x' Name='mistyped'/>"    // neither: skipped
              "<Server IP='1e10.0.0.1' Name='too big'/>"   // a part too large: skipped
              "<Entry IP='127.30.0.3' Name='any child counts' Password=''/>"
              "<Server IP='127.30.0.4' Name='huge ping' Ping='99999999999'/>"
              "</GRServers>"
              "<RWServers><Server IP='chan.example.org:3782' Name='Voice'/><Server Name='x'/>"
              "<Server IP='CHAN.example.org:3782' Name='dup'/><Server IP='ch2' Password='s'/>"
              "</RWServers>"
              "<PlayerNames><PlayerName Name='Sniper'/><PlayerName/><PlayerName Name='SNIPER'/>"
              "<PlayerName Name='Gh&#246;st'/></PlayerNames>"));
    f.load();

    // The second entry's ping wins; a missing attribute is empty, never a marker text.
    EXPECT_EQ(f.serverRows(), QStringList({QStringLiteral("127.30.0.1|Clan server|pw|97 stale"),
                                           QStringLiteral("127.30.0.2|||12 stale"),
                                           QStringLiteral("gr.Example.org|named||0 stale"),
                                           QStringLiteral("127.30.0.3|any child counts||0 stale"),
                                           QStringLiteral("127.30.0.4|huge ping||0 stale")}));
    EXPECT_EQ(f.channelRows(), QStringList({QStringLiteral("chan.example.org:3782|Voice|"),
                                            QStringLiteral("ch2||s")}));

    const auto &names = f.options().PlayerNames();
    ASSERT_EQ(names.Count(), 2);
    EXPECT_EQ(*names.Item(1), QStringLiteral("Sniper"));
    EXPECT_EQ(*names.Item(2), QStringLiteral("Gh\u00f6st"));
}

TEST(Preferences, SaveThenLoadReproducesEverything) {
    CoreApp f(CoreApp::noFiles);
    f.writePreferences(prefs("<Version>7.7</Version>"));
    f.load();
    QDir(f.dir.root()).mkdir(QStringLiteral("My Stats"));
    clsOptions &o = f.options();
    o.setStatsPath(f.dir.path(QStringLiteral("My Stats")));
    o.setUserName(QStringLiteral("Gh\u00f6st <&> \"lead\"\r\n\tend"));
    o.setUserEmail(QStringLiteral("lead@example.org"));
    o.setRecordStats(false);
    o.setPingGRServersOnStartup(false);
    o.setShowTips(true);
    o.setLastTip(-7);
    o.setRogerWilcoEXE(QStringLiteral("/opt/rw/Roger.exe"));
    o.AddPlayerName(QStringLiteral("Zulu"));
    o.AddPlayerName(QStringLiteral("Alpha"));
    o.AddPlayerName(QStringLiteral("\u00c9cho"));
    f.servers().AddServer(QStringLiteral("127.30.0.9"), QStringLiteral("Clan server"),
                          QStringLiteral("a'b\"c<d>\r\n\t&e"), 0);
    f.servers().AddServer(QStringLiteral("127.30.0.8"), QString(), QString(), 1)->setPing(48);
    f.servers().AddServer(QStringLiteral("GR.example.org"), QString(), QString(), 2);
    f.channels().AddServer(QStringLiteral("10.0.0.5"), QStringLiteral("Clan voice"), QString());
    f.channels().AddServer(QStringLiteral("rw.example.org"), QString(), QStringLiteral("secret"));
    o.Save(f.preferencesPath());

    const QByteArray saved = f.dir.read(QStringLiteral("GRQuorvelOptions.xml"));
    EXPECT_FALSE(saved.startsWith("<?xml"));
    EXPECT_EQ(elementOrder(saved),
              QStringList({QStringLiteral("Version"), QStringLiteral("LastStatsDirectory"),
                           QStringLiteral("UserName"), QStringLiteral("UserEmail"),
                           QStringLiteral("RecordStats"), QStringLiteral("PingOnStart"),
                           QStringLiteral("ShowTips"), QStringLiteral("LastTip"),
                           QStringLiteral("RogerWilcoEXE"), QStringLiteral("GRServers"),
                           QStringLiteral("PlayerNames"), QStringLiteral("RWServers")}));
    for (const char *text : {"<Version>1.01</Version>", "<RecordStats>False</RecordStats>",
                             "<ShowTips>True</ShowTips>", "<LastTip>-7</LastTip>",
                             "<Server IP=\"127.30.0.8\" Name=\"\" Password=\"\" Ping=\"48\"",
                             "<Server IP=\"GR.example.org\" Name=\"\""})
        EXPECT_TRUE(saved.contains(text)) << text;

    // Loaded elsewhere and saved again, every member and entry comes back the same.
    CoreApp g(CoreApp::noFiles);
    g.writePreferences(saved);
    g.load();
    EXPECT_EQ(g.options().UserName(), o.UserName());
    EXPECT_EQ(g.servers().Item(1)->Password(), f.servers().Item(1)->Password());
    g.options().Save(g.preferencesPath());
    EXPECT_EQ(g.dir.read(QStringLiteral("GRQuorvelOptions.xml")), saved);
}

#ifndef Q_OS_WIN
TEST(Preferences, ANewFileIsTheOwnersOnlyAnExistingOneKeepsItsMode) {
    CoreApp f(CoreApp::noFiles);
    const QByteArray path = QFile::encodeName(f.preferencesPath());
    const auto mode = [&] {
        struct stat st {};
        return ::stat(path.constData(), &st) == 0 ? st.st_mode & 07777 : 0u;
    };
    f.options().Save(f.preferencesPath());
    EXPECT_EQ(mode(), 0600u) << "it holds the servers' passwords";
    ::chmod(path.constData(), 0640);
    f.options().Save(f.preferencesPath());
    EXPECT_EQ(mode(), 0640u);
}
#endif

TEST(GameServerImport, MergesTheGameListIntoTheServers) {
    CoreApp f(CoreApp::noFiles);
    f.dir.write(QStringLiteral("options.xml"),
                "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<Options>\n"
                "<Player><PlayerName>Gh\xf6st</PlayerName></Player>\n"
                "<IPAddress>127.30.1.9</IPAddress>\n" // outside Multiplayer
                "<Multiplayer>\n"
                "  <IPAddress>127.30.1.1</IPAddress>\n"
                "  <IPAddress></IPAddress>\n"
                "  <IPAddress>gr.example.org</IPAddress>\n"
                "  <IPAddress>127.30.1.2</IPAddress>\n"
                "  <IPAddress>127.30.1.1</IPAddress>\n"
                "  <IPAddress>127.30.1.3</IPAddress>\n"
                "</Multiplayer>\n</Options>\n");
    const QByteArray gameBefore = f.dir.read(QStringLiteral("options.xml"));
    f.writePreferences(prefs("<GRServers><Server IP='127.30.1.3' Name='Clan server' "
                             "Password='pw' Ping='48'/><Server IP='127.30.1.4' Name='Mine'/>"
                             "</GRServers>"));
    f.load();

    EXPECT_EQ(f.serverRows(),
              QStringList({QStringLiteral("127.30.1.3|Clan server|pw|48 stale game"),
                           QStringLiteral("127.30.1.4|Mine||0 stale"),
                           QStringLiteral("127.30.1.1|||0 game"),
                           QStringLiteral("127.30.1.2|||0 game")}));
    EXPECT_EQ(f.dir.read(QStringLiteral("options.xml")), gameBefore); // never written here
}

// However an address comes in, blanks around it are no part of it: two spellings that differ
// only in them are one server (the first), written back without them.
TEST(GameServerImport, BlanksAroundAnAddressMakeNoSecondServer) {
    CoreApp f(CoreApp::noFiles);
    f.dir.write(QStringLiteral("options.xml"), "<Options><Multiplayer>"
                                               "<IPAddress> 127.30.3.2 </IPAddress>"
                                               "<IPAddress>127.30.3.3  </IPAddress>"
                                               "</Multiplayer></Options>");
    f.writePreferences(prefs("<GRServers>"
                             "<Server IP=' 127.30.3.1 ' Name='first' Password='a' Ping='3'/>"
                             "<Server IP='127.30.3.1' Name='second' Password='b' Ping='4'/>"
                             "<Server IP='127.30.3.2' Name='mine' Ping='5'/>"
                             "</GRServers><RWServers>"
                             "<Server IP=' chan.example.org:3782 ' Name='Voice'/>"
                             "<Server IP='chan.example.org:3782' Name='again'/>"
                             "</RWServers>"));
    f.load();
    EXPECT_EQ(f.serverRows(), QStringList({QStringLiteral("127.30.3.1|first|a|4 stale"),
                                           QStringLiteral("127.30.3.2|mine||5 stale game"),
                                           QStringLiteral("127.30.3.3|||0 game")}));
    EXPECT_EQ(f.channelRows(), QStringList{QStringLiteral("chan.example.org:3782|Voice|")});
    f.options().Save(f.preferencesPath());
    const QByteArray saved = f.dir.read(QStringLiteral("GRQuorvelOptions.xml"));
    EXPECT_EQ(saved.count("IP=\"127.30.3."), 3) << saved.toStdString();
    EXPECT_FALSE(saved.contains("IP=\" ")) << saved.toStdString();

    // The game's own entry is found for removal with its blanks.
    f.prompter.expect(QStringLiteral("Remove Server from Options.xml as well?"), Answer::Yes);
    f.servers().RemoveServer(QStringLiteral("127.30.3.2"));
    EXPECT_FALSE(f.dir.read(QStringLiteral("options.xml")).contains("127.30.3.2"));
}

TEST(GameServerImport, NoOrBrokenGameFileImportsNothing) {
    for (const QByteArray &game : {QByteArray(), QByteArray("<Options><Multiplayer><IPAdd")}) {
        CoreApp f(CoreApp::noFiles);
        if (!game.isEmpty())
            f.dir.write(QStringLiteral("options.xml"), game);
        f.writePreferences(prefs("<GRServers><Server IP='127.30.2.1'/></GRServers>"));
        f.load();
        EXPECT_EQ(f.serverRows(), QStringList{QStringLiteral("127.30.2.1|||0 stale")});
    }
}

TEST(Preferences, TheDemoFileLoads) {
    CoreApp f(CoreApp::noFiles);
    ASSERT_TRUE(QFile::copy(GameDir::demoFile(QStringLiteral("GRQuorvelOptions.xml")),
                            f.preferencesPath()));
    f.load();
    EXPECT_EQ(f.servers().Count(), 12);
    EXPECT_EQ(f.options().PlayerNames().Count(), 3);
    EXPECT_EQ(f.channels().Count(), 2);
    EXPECT_FALSE(f.options().ShowTips());
}
