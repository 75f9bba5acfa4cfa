#include "servers/ServerListFile.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

using Entries = std::vector<ServerListEntry>;

TEST(ServerListFile, LinesAreTakenOnlyWhenTheyNameAServer) {
    const QByteArray text = "# my servers\r\n"
                            "\n"
                            "   \t  \n"
                            "10.0.0.1\r\n"
                            "  10.0.0.2 \tAlpha Base\tsecret\textra\n"
                            "gr.example.org\t\tpw only\n"
                            "1.2.3.4.5\n"          // as the Add page reads it: valid
                            "256.1.1.1\tToo big\n" // invalid number
                            "1.2.3\n"              // too few parts
                            "-bad-.example.org\n"  // hyphens at label ends
                            "999.1.1.1\n"          // neither address nor name
                            "1.2.3.4x\n"           // a mistyped address, not a name
                            "a_b.example.org\n"    // underscore
                            "10.0.0.3\tname\x01with control\n"
                            "#10.0.0.9\n"
                            "   # indented comment\n"
                            "\tno address\n";
    const ServerListReading r = ServerListFile::parse(text);
    EXPECT_EQ(r.entries, Entries({{QStringLiteral("10.0.0.1"), {}, {}},
                                  {QStringLiteral("10.0.0.2"), QStringLiteral("Alpha Base"),
                                   QStringLiteral("secret")},
                                  {QStringLiteral("gr.example.org"), {}, QStringLiteral("pw only")},
                                  {QStringLiteral("1.2.3.4.5"), {}, {}}}));
    EXPECT_EQ(r.unreadable, 8);

    // A name a server sent with a tab or a line break in it cannot split its line.
    const QByteArray odd = ServerListFile::write(
        {{QStringLiteral("1.2.3.4"), QStringLiteral("a\tb\nc"), QStringLiteral("p\rq")}}, true);
    EXPECT_EQ(
        ServerListFile::parse(odd).entries,
        Entries({{QStringLiteral("1.2.3.4"), QStringLiteral("a b c"), QStringLiteral("p q")}}));
}

TEST(ServerListFile, TheQueryCommandsJsonIsReadItsPasswordFlagIsNoPassword) {
    const QByteArray json = R"([
      {"address": "10.0.0.1", "status": "answered", "name": "Alpha", "password": true},
      {"address": "gr.example.org", "name": null, "password": null},
      {"address": "10.0.0.2", "name": "Bravo", "password": "kept"},
      {"address": "not an address", "name": "x"},
      {"address": 5},
      "10.0.0.3",
      {"name": "no address"}
    ])";
    const ServerListReading r = ServerListFile::parse(json);
    EXPECT_EQ(r.entries, Entries({{QStringLiteral("10.0.0.1"), QStringLiteral("Alpha"), {}},
                                  {QStringLiteral("gr.example.org"), {}, {}},
                                  {QStringLiteral("10.0.0.2"), QStringLiteral("Bravo"),
                                   QStringLiteral("kept")}}));
    EXPECT_EQ(r.unreadable, 4);
    // Broken JSON is read as lines, none of which names a server.
    const ServerListReading broken = ServerListFile::parse("[{\"address\": \"10.0.0.1\"\n");
    EXPECT_TRUE(broken.entries.empty());
    EXPECT_EQ(broken.unreadable, 1);
}

TEST(ServerListFile, BinaryHugeAndMisEncodedInputAddsNothingItShouldNot) {
    // Random bytes, with NULs, and lines in them that would pass as names: nothing is taken.
    QByteArray binary = "abc\nexample\n10.0.0.1\n";
    auto *random = QRandomGenerator::global();
    for (int i = 0; i < 200000; ++i)
        binary.append(static_cast<char>(random->bounded(256)));
    binary.append('\0');
    const ServerListReading fromBinary = ServerListFile::parse(binary);
    EXPECT_TRUE(fromBinary.entries.empty());
    EXPECT_GT(fromBinary.unreadable, 0);

    // A line of a megabyte between good lines, and one long address.
    const QByteArray longLine = "10.0.0.1\n" + QByteArray(1 << 20, 'a') + "\n" +
                                QByteArray(300, 'b') + ".org\n10.0.0.2\tx\n";
    const ServerListReading withLong = ServerListFile::parse(longLine);
    EXPECT_EQ(withLong.entries.size(), 2u);
    EXPECT_EQ(withLong.unreadable, 2);

    // A name longer than any server's.
    EXPECT_EQ(ServerListFile::parse("10.0.0.1\t" + QByteArray(5000, 'n')).unreadable, 1);

    // 8-bit text from an older editor: the name is kept as it was meant.
    const ServerListReading latin = ServerListFile::parse("10.0.0.1\tCaf\xe9 \xdc"
                                                          "ber \x93Ghosts\x94 \x80\n");
    ASSERT_EQ(latin.entries.size(), 1u);
    EXPECT_EQ(latin.entries[0].name, QStringLiteral("Café Über “Ghosts” €"));

    // UTF-16 with its mark, and UTF-8 with its mark.
    const QString wide = QStringLiteral("10.0.0.5\tWide ✓\n");
    QByteArray utf16("\xff\xfe");
    utf16.append(reinterpret_cast<const char *>(wide.utf16()), wide.size() * 2);
    EXPECT_EQ(ServerListFile::parse(utf16).entries,
              Entries({{QStringLiteral("10.0.0.5"), QStringLiteral("Wide ✓"), {}}}));
    EXPECT_EQ(ServerListFile::parse("\xef\xbb\xbf"
                                    "10.0.0.6\n")
                  .entries.size(),
              1u);
}

TEST(ServerListFile, LooseTextFindsAddressesInSentencesAndChannelsMayCarryAPort) {
    const ServerListReading r = ServerListFile::parseLoose(
        QStringLiteral("10.0.0.1\tListed\n"
                       "join us on 10.0.0.2, or (gr.example.org). tonight!\n"
                       "nothing here, e.g. in notes.txt or at example.org\n"
                       "256.0.0.1 is no address"));
    EXPECT_EQ(r.entries, Entries({{QStringLiteral("10.0.0.1"), QStringLiteral("Listed"), {}},
                                  {QStringLiteral("10.0.0.2"), {}, {}},
                                  {QStringLiteral("gr.example.org"), {}, {}}}));
    EXPECT_EQ(r.unreadable, 2);

    for (const char *good : {"10.0.0.7", "voice.example.org:3782", "10.0.0.7:1"})
        EXPECT_TRUE(ServerListFile::isChannelAddress(QString::fromLatin1(good))) << good;
    for (const char *bad :
         {"10.0.0.7:", "10.0.0.7:0", "10.0.0.7:65536", "10.0.0.7:+5", ":80", "bad host:80", ""})
        EXPECT_FALSE(ServerListFile::isChannelAddress(QString::fromLatin1(bad))) << bad;
}

} // namespace
