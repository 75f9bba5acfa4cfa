#include "common/TextRules.h"
#include "gameopts/clsOptionsXML.h"
#include "support/Errors.h"
#include "support/GameDir.h"

#include <QFile>
#include <QStringEncoder>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QString optionsXml = QStringLiteral("options.xml");

// The game's file as it may come from a Windows install: ISO-8859-1 with a non-ASCII player
// name, CRLF line ends, tabs, comments and attributes (one holding a '>').
QByteArray latin1Options() {
    return "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"
           "<!-- Ghost Recon settings -->\r\n"
           "<Options>\r\n"
           "\t<Version>1.4</Version>\r\n"
           "\t<Display Mode=\"a>b\" Depth='32'>\r\n"
           "\t\t<ShowFrameRate>FALSE</ShowFrameRate>\r\n"
           "\t\t<ShowDeadBodies>true</ShowDeadBodies>\r\n"
           "\t</Display>\r\n"
           "\t<Player>\r\n"
           "\t\t<!-- <PlayerName>not this one</PlayerName> -->\r\n"
           "\t\t<PlayerName>R\xE9n\xE9</PlayerName>\r\n"
           "\t\t<ReticuleColorR>255</ReticuleColorR>\r\n"
           "\t\t<ReticuleColorG>214</ReticuleColorG>\r\n"
           "\t\t<ReticuleColorB>17</ReticuleColorB>\r\n"
           "\t\t<ReticuleIFFColorR>160</ReticuleIFFColorR>\r\n"
           "\t\t<ReticuleIFFColorG>200</ReticuleIFFColorG>\r\n"
           "\t\t<ReticuleIFFColorB>255</ReticuleIFFColorB>\r\n"
           "\t</Player>\r\n"
           "\t<Sound Volume=\"80\" Music=\"60\"/>\r\n"
           "\t<Multiplayer>\r\n"
           "\t\t<IPAddress>10.0.0.1</IPAddress>\r\n"
           "\t\t<IPAddress>10.0.0.1</IPAddress>\r\n"
           "\t</Multiplayer>\r\n"
           "</Options>\r\n";
}

QByteArray replacedOnce(QByteArray original, const QByteArray &from, const QByteArray &to) {
    const qsizetype at = original.indexOf(from);
    EXPECT_GE(at, 0) << from.constData();
    return original.replace(at, from.size(), to);
}

struct GameFile {
    explicit GameFile(const QByteArray &bytes) {
        dir.write(optionsXml, bytes);
        xml.Load();
    }
    QByteArray bytes() const { return dir.read(optionsXml); }
    GameDir dir{{.optionsXml = false}};
    clsOptionsXML xml{dir.root()};
};

// Loads `bytes` as the game's file, runs `edit`, saves (which must succeed) and returns the file.
QByteArray editFile(const QByteArray &bytes, const std::function<void(clsOptionsXML &)> &edit) {
    GameFile game(bytes);
    edit(game.xml);
    const QString error = errorFrom([&] { game.xml.Save(); });
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    return game.bytes();
}

} // namespace

TEST(GameOptionsFile, TextsReadBackInTheFilesOwnEncoding) {
    // Latin-1 with CRLF; the same content as UTF-8 and as UTF-16 with a byte-order mark.
    const auto declaring = [](const char *encoding) {
        return QString::fromLatin1(latin1Options().replace("ISO-8859-1", encoding));
    };
    const QByteArray utf8 = declaring("UTF-8").toUtf8();
    const QByteArray utf16 =
        QStringEncoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom)
            .encode(declaring("UTF-16"));
    const QString name = QStringLiteral("Z\u00E9\u20AC\u00FF");
    for (const QByteArray &file : {latin1Options(), utf8, utf16}) {
        GameFile game(file);
        ASSERT_TRUE(game.xml.IsLoaded());
        EXPECT_EQ(game.xml.PlayerName(), QStringLiteral("R\u00E9n\u00E9"));
        EXPECT_TRUE(game.xml.ShowDeadBodies() && !game.xml.ShowFrameRate());
        game.xml.setPlayerName(name);
        game.xml.Save();
        clsOptionsXML again(game.dir.root());
        again.Load();
        EXPECT_EQ(again.PlayerName(), name);
        // Only the name differs from the original.
        const auto marker = [&](const char *text) {
            return file == utf16
                       ? QStringEncoder(QStringConverter::Utf16LE).encode(QString::fromLatin1(text))
                       : QByteArray(text);
        };
        const QByteArray after = game.bytes();
        const QByteArray open = marker("<PlayerName>"), close = marker("</PlayerName>");
        EXPECT_EQ(after.left(after.lastIndexOf(open)), file.left(file.lastIndexOf(open)));
        EXPECT_EQ(after.mid(after.lastIndexOf(close)), file.mid(file.lastIndexOf(close)));
    }
}

TEST(GameOptionsFile, ColourChannelsPackAndClamp) {
    const struct {
        const char *r, *g, *b;
        qint32 packed;
    } cases[] = {
        {"255", "214", "17", 1169151},
        {"160", "200", "255", 16763040},
        {"255", "abc", "17", packColor(255, 0, 17)},
        {"255", "300", "17", packColor(255, 255, 17)},
        {"255", "", "17", packColor(255, 0, 17)},
        {" 12 ", "-5", "17", packColor(12, 0, 17)}, // a negative channel must not borrow
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.packed);
        const GameFile game(QByteArray("<O><ReticuleColorR>") + c.r + "</ReticuleColorR>" +
                            "<ReticuleColorG>" + c.g + "</ReticuleColorG>" + "<ReticuleColorB>" +
                            c.b + "</ReticuleColorB></O>");
        EXPECT_EQ(game.xml.RetColor(), c.packed);
        EXPECT_EQ(game.xml.IFFRetColor(), 0); // missing elements read as black
    }
    const QByteArray written = editFile("<O><ReticuleColorR/><ReticuleColorG>0</ReticuleColorG>"
                                        "<ReticuleColorB></ReticuleColorB></O>",
                                        [](clsOptionsXML &x) { x.setRetColor(1169151); });
    EXPECT_EQ(written, "<O><ReticuleColorR>255</ReticuleColorR><ReticuleColorG>214"
                       "</ReticuleColorG><ReticuleColorB>17</ReticuleColorB></O>");
}

TEST(GameOptionsFile, MissingElementsAddNothingAndBooleansNeedText) {
    const QByteArray original = "<?xml version=\"1.0\"?>\n<Options>\n"
                                "  <ShowDeadBodies></ShowDeadBodies>\n</Options>\n";
    GameFile game(original);
    clsOptionsXML &xml = game.xml;
    // An empty or missing Boolean does not read.
    for (const auto read : {&clsOptionsXML::ShowDeadBodies, &clsOptionsXML::ShowFrameRate})
        EXPECT_EQ(errorFrom([&] { (xml.*read)(); }), QStringLiteral("Type mismatch"));
    xml.setShowFrameRate(true);
    xml.setPlayerName(QStringLiteral("Sniper"));
    xml.setIFFRetColor(1169151);
    xml.RemoveGRServer(QStringLiteral("10.0.0.1"));
    xml.Save();
    EXPECT_EQ(game.bytes(), original);
    xml.setShowDeadBodies(true);
    EXPECT_TRUE(xml.ShowDeadBodies());
    xml.Load(); // an unsaved edit is gone after the next Load
    EXPECT_THROW(xml.ShowDeadBodies(), QuorvelError);
}

TEST(GameOptionsFile, NoFileOrBrokenFileIsNotLoadedAndNeverWritten) {
    for (const QByteArray &content : {QByteArray(), QByteArray("<Options><Player>"),
                                      QByteArray("\xFF\xFE<\0", 4), QByteArray("not xml")}) {
        GameDir dir({.game = true, .optionsXml = false});
        if (!content.isNull())
            dir.write(optionsXml, content);
        clsOptionsXML xml(dir.root());
        EXPECT_EQ(xml.FileExists(), !content.isNull());
        xml.Load();
        EXPECT_FALSE(xml.IsLoaded());
        EXPECT_TRUE(xml.PlayerName().isEmpty() && xml.RetColor() == 0);
        xml.setPlayerName(QStringLiteral("x"));
        EXPECT_NO_THROW(xml.Save());
        EXPECT_EQ(QFile::exists(dir.path(optionsXml)), !content.isNull());
        EXPECT_EQ(dir.read(optionsXml), content);
    }
}

TEST(GameOptionsFile, ReadOnlyFileBecomesWritableAndKeepsItsMode) {
    GameDir dir;
    const QString file = dir.path(optionsXml);
    QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup);
    clsOptionsXML xml(dir.root());
    EXPECT_TRUE(xml.FileExists());
    EXPECT_TRUE(QFile::permissions(file) & QFile::WriteOwner);
    xml.Load();
    xml.setShowFrameRate(true);
    xml.Save();
    EXPECT_EQ(QFile::permissions(file) & (QFile::ReadGroup | QFile::WriteOwner | QFile::ReadOther),
              QFile::ReadGroup | QFile::WriteOwner);
}

TEST(GameOptionsFile, RemoveGRServerBlanksOnlyTheFirstMatchAndTakesAddressesAsText) {
    const QByteArray original = latin1Options();
    const QByteArray first =
        editFile(original, [](clsOptionsXML &x) { x.RemoveGRServer(QStringLiteral("10.0.0.1")); });
    EXPECT_EQ(first, replacedOnce(original, "<IPAddress>10.0.0.1<", "<IPAddress><"));
    for (const char *address :
         {"\"] | //PlayerName | //x[\"", "10.0.0.1\"] | //*[\"", "' or '1'='1", "10.0.0.", ""}) {
        SCOPED_TRACE(address);
        const QByteArray none = editFile(
            original, [&](clsOptionsXML &x) { x.RemoveGRServer(QString::fromLatin1(address)); });
        EXPECT_EQ(none, original);
    }
}
