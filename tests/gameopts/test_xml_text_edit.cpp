#include "gameopts/XmlTextEdit.h"

#include <QStringEncoder>

#include <pugixml.hpp>

#include <gtest/gtest.h>

using namespace XmlTextEdit;

namespace {

pugi::xml_document parsed(const QByteArray &text) {
    pugi::xml_document doc;
    const auto result = doc.load_buffer(text.constData(), static_cast<size_t>(text.size()),
                                        pugi::parse_default, pugi::encoding_utf8);
    EXPECT_TRUE(result) << result.description();
    return doc;
}

QByteArray utf16(const QString &text, QStringConverter::Encoding encoding, bool bom) {
    return QStringEncoder(encoding,
                          bom ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default)
        .encode(text);
}

} // namespace

TEST(XmlTextEdit, ReplacingContentKeepsEveryOtherByte) {
    const struct {
        const char *what;
        QByteArray text;
        QString content;
        QByteArray expected;
    } cases[] = {
        {"comments, attributes, odd spacing and CRLF around it",
         "<?xml version=\"1.0\"?>\r\n<!-- <Name>not this</Name> -->\r\n<R>\r\n"
         "\t<Name  a=\"x>y/\" b='/>'  >old</Name  >\r\n</R>\r\n",
         QStringLiteral("new"),
         "<?xml version=\"1.0\"?>\r\n<!-- <Name>not this</Name> -->\r\n<R>\r\n"
         "\t<Name  a=\"x>y/\" b='/>'  >new</Name  >\r\n</R>\r\n"},
        {"content holding markup that looks like the end tag",
         "<R><Name>a<!-- </Name> -->b<![CDATA[</Name>]]><?pi </Name> ?><i x='</Name>'>c</i>"
         "</Name><Name>second</Name></R>",
         QStringLiteral("new"), "<R><Name>new</Name><Name>second</Name></R>"},
        {"nested elements of the same name",
         "<R><Name><Name>inner</Name><Name/>tail</Name><Name>next</Name></R>",
         QStringLiteral("new"), "<R><Name>new</Name><Name>next</Name></R>"},
        {"self-closing, attributes kept", "<R><Name a=\"1\" /><x/></R>", QStringLiteral("new"),
         "<R><Name a=\"1\" >new</Name><x/></R>"},
        {"self-closing stays so when emptied", "<R><Name/></R>", QString(), "<R><Name/></R>"},
        {"emptied", "<R><Name>old</Name></R>", QString(), "<R><Name></Name></R>"},
        {"multi-byte characters before it",
         "<R a=\"\xC3\xA9\xE2\x82\xAC\"><Name>\xC3\xA9</Name></R>", QStringLiteral("\u00FC<"),
         "<R a=\"\xC3\xA9\xE2\x82\xAC\"><Name>\xC3\xBC&lt;</Name></R>"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const pugi::xml_document doc = parsed(c.text);
        const pugi::xml_node element = firstElement(doc, "Name");
        ASSERT_TRUE(element);
        const auto edited = withContent(c.text, element, escapeContent(c.content, Encoding::Utf8));
        ASSERT_TRUE(edited);
        EXPECT_EQ(*edited, c.expected);
        // What was written reads back as the element's text.
        EXPECT_EQ(stringValue(firstElement(parsed(*edited), "Name")), c.content.toUtf8());
    }
}

TEST(XmlTextEdit, FindsOnlyRealElementsAndReadsTheirText) {
    const QByteArray text = "<R><!-- <IP>a</IP> --><IP>a&amp;<![CDATA[<b>]]></IP>"
                            "<IP><x>c</x></IP><IP>c</IP></R>";
    const pugi::xml_document doc = parsed(text);
    EXPECT_EQ(stringValue(firstElement(doc, "IP")), "a&<b>");
    const auto withText = [](const QByteArray &value) {
        return [value](const pugi::xml_node &node) { return stringValue(node) == value; };
    };
    // The text of an element includes that of its children: the second IP is the first "c".
    const pugi::xml_node c = firstElement(doc, "IP", withText("c"));
    EXPECT_EQ(withContent(text, c, "d"), "<R><!-- <IP>a</IP> --><IP>a&amp;<![CDATA[<b>]]></IP>"
                                         "<IP>d</IP><IP>c</IP></R>");
    EXPECT_FALSE(firstElement(doc, "IP", withText("z")));
    EXPECT_FALSE(firstElement(doc, "Missing"));
    EXPECT_FALSE(withContent(text, firstElement(doc, "Missing"), "x"));
}

TEST(XmlTextEdit, ContentIsEscapedForMarkupAndForTheFilesEncoding) {
    const QString astral = QString::fromUcs4(U"\U0001F600");
    const struct {
        QString text;
        Encoding encoding;
        QByteArray expected;
    } cases[] = {
        {QStringLiteral("<a&b>\"'"), Encoding::Utf8, "&lt;a&amp;b&gt;\"'"},
        // A raw CR would read back as a line feed; tabs and line feeds are kept.
        {QStringLiteral("a\rb\nc\td"), Encoding::Utf8, "a&#13;b\nc\td"},
        // Characters XML cannot carry at all are left out.
        {QString(QChar(1)) + u'x' + QChar(0xFFFE), Encoding::Utf8, "x"},
        {QStringLiteral("\u00E9\u20AC") + astral, Encoding::Utf8,
         "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"},
        {QStringLiteral("\u00E9\u20AC") + astral, Encoding::Latin1, "\xC3\xA9&#8364;&#128512;"},
        {QStringLiteral("\u00E9\u20AC\u0100"), Encoding::Windows1252, "\xC3\xA9\xE2\x82\xAC&#256;"},
        {QStringLiteral("e\u00E9"), Encoding::Ascii, "e&#233;"},
        {astral, Encoding::Utf16LE, "\xF0\x9F\x98\x80"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.expected.toStdString());
        EXPECT_EQ(escapeContent(c.text, c.encoding), c.expected);
    }
}

TEST(XmlTextEdit, DecodingFindsTheEncodingAndEncodingGivesTheSameBytesBack) {
    QByteArray high; // every byte of the upper half, including those the code page leaves unset
    for (int b = 0x80; b <= 0xFF; ++b)
        high += static_cast<char>(b);
    const QString doc = QStringLiteral("<?xml version=\"1.0\"?><a>\u00E9\u20AC</a>");
    const struct {
        const char *what;
        QByteArray raw;
        Encoding encoding;
        qsizetype bom;
        QString text; // null: not checked
    } cases[] = {
        {"undeclared UTF-8", "<a>\xC3\xA9</a>", Encoding::Utf8, 0, QStringLiteral("<a>\u00E9</a>")},
        {"UTF-8 with BOM", "\xEF\xBB\xBF<a>\xC3\xA9</a>", Encoding::Utf8, 3,
         QStringLiteral("<a>\u00E9</a>")},
        {"undeclared, every high byte", "<a>" + high + "</a>", Encoding::Windows1252, 0, {}},
        {"declared windows-1252 over valid UTF-8",
         "<?xml version='1.0' encoding = 'Windows-1252' ?><a>\xC3\xA9</a>", Encoding::Windows1252,
         0, QStringLiteral("<?xml version='1.0' encoding = 'Windows-1252' ?><a>\u00C3\u00A9</a>")},
        {"declared windows-1252, every high byte",
         "<?xml version=\"1.0\" encoding=\"cp1252\"?><a>" + high + "</a>",
         Encoding::Windows1252,
         0,
         {}},
        {"declared latin-1", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\x80</a>",
         Encoding::Latin1, 0,
         QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\u0080</a>")},
        {"declared, unknown",
         "<?xml version=\"1.0\" encoding=\"koi8-r\"?><a>" + high + "</a>",
         Encoding::Ascii,
         0,
         {}},
        {"UTF-16BE with BOM", utf16(doc, QStringConverter::Utf16BE, true), Encoding::Utf16BE, 2,
         doc},
        {"UTF-16LE without BOM", utf16(doc, QStringConverter::Utf16LE, false), Encoding::Utf16LE, 0,
         doc},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const auto decoded = decode(c.raw);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->encoding, c.encoding);
        EXPECT_EQ(decoded->bom, c.raw.left(c.bom));
        if (!c.text.isNull()) {
            EXPECT_EQ(QString::fromUtf8(decoded->text), c.text);
        }
        EXPECT_EQ(decoded->bom + encode(decoded->text, decoded->encoding), c.raw);
    }
    // UTF-16 that is cut short is no text.
    EXPECT_FALSE(decode(utf16(doc, QStringConverter::Utf16LE, true).chopped(1)));
}
