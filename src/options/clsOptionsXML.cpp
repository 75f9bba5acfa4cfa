#include "options/clsOptionsXML.h"

#include "common/QuorvelError.h"
#include "common/TextRules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <pugixml.hpp>

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

using Encoding = clsOptionsXML::Encoding;

struct Detected {
    Encoding encoding = Encoding::Utf8;
    qsizetype bomLength = 0;
};

// The encoding named by the XML declaration at the start of an 8-bit file, lower case.
QString declaredEncoding(const QByteArray &raw) {
    if (!raw.startsWith("<?xml"))
        return {};
    const qsizetype end = raw.indexOf("?>");
    if (end < 0 || end > 512)
        return {};
    static const QRegularExpression pattern(QStringLiteral("encoding\\s*=\\s*[\"']([^\"']*)[\"']"));
    const auto match = pattern.match(QString::fromLatin1(raw.left(end)));
    return match.hasMatch() ? match.captured(1).trimmed().toLower() : QString();
}

Detected detectEncoding(const QByteArray &raw) {
    if (raw.startsWith("\xEF\xBB\xBF"))
        return {Encoding::Utf8, 3};
    if (raw.startsWith("\xFF\xFE"))
        return {Encoding::Utf16LE, 2};
    if (raw.startsWith("\xFE\xFF"))
        return {Encoding::Utf16BE, 2};
    if (raw.size() >= 2 && raw[0] == '<' && raw[1] == '\0')
        return {Encoding::Utf16LE, 0};
    if (raw.size() >= 2 && raw[0] == '\0' && raw[1] == '<')
        return {Encoding::Utf16BE, 0};
    const QString name = declaredEncoding(raw);
    if (name.isEmpty() || name == u"utf-8" || name == u"utf8") {
        // The game writes its file in the Windows code page and without a declaration: bytes
        // that are no UTF-8 are read as that code page, never replaced.
        return {QByteArrayView(raw).isValidUtf8() ? Encoding::Utf8 : Encoding::Windows1252, 0};
    }
    static const QStringList latin1 = {QStringLiteral("iso-8859-1"), QStringLiteral("iso8859-1"),
                                       QStringLiteral("iso_8859-1"), QStringLiteral("latin1"),
                                       QStringLiteral("latin-1"),    QStringLiteral("l1")};
    if (latin1.contains(name))
        return {Encoding::Latin1, 0};
    if (name == u"windows-1252" || name == u"cp1252")
        return {Encoding::Windows1252, 0};
    // ASCII, and any 8-bit encoding we do not know: bytes are kept one to one, and anything we
    // write beyond ASCII becomes a character reference, which every encoding can carry.
    return {Encoding::Ascii, 0};
}

std::optional<QByteArray> decodeToUtf8(const QByteArray &body, Encoding encoding) {
    switch (encoding) {
    case Encoding::Utf8:
        return body;
    case Encoding::Latin1:
    case Encoding::Ascii:
        return QString::fromLatin1(body).toUtf8();
    case Encoding::Windows1252:
        return fromWindows1252(body).toUtf8();
    case Encoding::Utf16LE:
    case Encoding::Utf16BE: {
        if (body.size() % 2 != 0)
            return std::nullopt;
        QStringDecoder decoder(encoding == Encoding::Utf16LE ? QStringConverter::Utf16LE
                                                             : QStringConverter::Utf16BE,
                               QStringConverter::Flag::Stateless);
        const QString text = decoder.decode(body);
        if (decoder.hasError())
            return std::nullopt;
        return text.toUtf8();
    }
    }
    return std::nullopt;
}

QByteArray encodeFromUtf8(const QByteArray &text, Encoding encoding) {
    switch (encoding) {
    case Encoding::Utf8:
        return text;
    case Encoding::Latin1:
    case Encoding::Ascii:
        // Every character is at most U+00FF: the file's own bytes, or text we escaped.
        return QString::fromUtf8(text).toLatin1();
    case Encoding::Windows1252:
        return toWindows1252(QString::fromUtf8(text));
    case Encoding::Utf16LE:
    case Encoding::Utf16BE: {
        QStringEncoder encoder(encoding == Encoding::Utf16LE ? QStringConverter::Utf16LE
                                                             : QStringConverter::Utf16BE,
                               QStringConverter::Flag::Stateless);
        return encoder.encode(QString::fromUtf8(text));
    }
    }
    return text;
}

bool isXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// Element content for `text`, as UTF-8 to splice into the working text. Markup characters are
// escaped, characters the file's encoding cannot hold become character references, and
// characters XML cannot carry at all are left out.
QByteArray escapeContent(const QString &text, Encoding encoding) {
    const auto encodable = [encoding](char32_t c) {
        switch (encoding) {
        case Encoding::Latin1:
            return c <= 0xFF;
        case Encoding::Ascii:
            return c <= 0x7F;
        case Encoding::Windows1252:
            return inWindows1252(c);
        default:
            return true;
        }
    };
    QByteArray out;
    for (const char32_t c : text.toUcs4()) {
        if (!isXmlChar(c))
            continue;
        if (c == U'&')
            out += "&amp;";
        else if (c == U'<')
            out += "&lt;";
        else if (c == U'>')
            out += "&gt;";
        else if (c == U'\r')
            out += "&#13;"; // a raw CR would be read back as a line feed
        else if (!encodable(c))
            out += "&#" + QByteArray::number(static_cast<quint32>(c)) + ';';
        else
            out += QString::fromUcs4(&c, 1).toUtf8();
    }
    return out;
}

// Document-order walk over every node below `root`, without recursion (the file may nest
// arbitrarily deep); stops when `visit` returns true.
template <typename Visit> void walkNodes(const pugi::xml_node &root, Visit visit) {
    pugi::xml_node node = root.first_child();
    while (node) {
        if (visit(node))
            return;
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node && !node.next_sibling() && node != root)
            node = node.parent();
        if (!node || node == root)
            return;
        node = node.next_sibling();
    }
}

template <typename Visit> void walkElements(const pugi::xml_node &root, Visit visit) {
    walkNodes(root, [&](const pugi::xml_node &node) {
        return node.type() == pugi::node_element && visit(node);
    });
}

pugi::xml_node firstElement(const pugi::xml_document &doc, const char *name) {
    pugi::xml_node found;
    walkElements(doc, [&](const pugi::xml_node &node) {
        if (std::strcmp(node.name(), name) != 0)
            return false;
        found = node;
        return true;
    });
    return found;
}

// The element's text: every character data below it, in document order.
QByteArray stringValue(const pugi::xml_node &element) {
    QByteArray text;
    walkNodes(element, [&](const pugi::xml_node &node) {
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata)
            text += node.value();
        return false;
    });
    return text;
}

// Where an element lies in the text it was parsed from.
struct ElementSpan {
    qsizetype tagEnd = 0;     // the '>' closing the start tag
    bool empty = false;       // written as <Name/>
    qsizetype contentEnd = 0; // the '<' of the end tag (not for an empty element)
};

qsizetype skipPast(const QByteArray &text, qsizetype from, const char *marker) {
    const qsizetype at = text.indexOf(marker, from);
    return at < 0 ? -1 : at + static_cast<qsizetype>(std::strlen(marker));
}

// The '>' ending the tag that starts before `from`, quotes respected.
qsizetype tagClose(const QByteArray &text, qsizetype from) {
    char quote = 0;
    for (qsizetype i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i;
        }
    }
    return -1;
}

std::optional<ElementSpan> locate(const QByteArray &text, const pugi::xml_node &element) {
    const ptrdiff_t nameAt = element.offset_debug();
    if (nameAt <= 0 || nameAt >= text.size() || text[nameAt - 1] != '<')
        return std::nullopt;
    ElementSpan span;
    span.tagEnd = tagClose(text, nameAt);
    if (span.tagEnd < 0)
        return std::nullopt;
    span.empty = text[span.tagEnd - 1] == '/';
    if (span.empty)
        return span;
    // The document parsed, so the markup between here and the matching end tag is well formed.
    int depth = 0;
    qsizetype i = span.tagEnd + 1;
    while (i >= 0 && i < text.size()) {
        i = text.indexOf('<', i);
        if (i < 0)
            break;
        const QByteArrayView rest = QByteArrayView(text).sliced(i);
        if (rest.startsWith("<!--")) {
            i = skipPast(text, i + 4, "-->");
        } else if (rest.startsWith("<![CDATA[")) {
            i = skipPast(text, i + 9, "]]>");
        } else if (rest.startsWith("<?")) {
            i = skipPast(text, i + 2, "?>");
        } else if (rest.startsWith("</")) {
            if (depth == 0) {
                span.contentEnd = i;
                return span;
            }
            --depth;
            i = tagClose(text, i + 2);
        } else {
            const qsizetype close = tagClose(text, i + 1);
            if (close < 0)
                break;
            if (text[close - 1] != '/')
                ++depth;
            i = close;
        }
    }
    return std::nullopt;
}

// The text with the element's content replaced by `content` (already escaped), or nothing when
// the element cannot be placed in the text.
std::optional<QByteArray> withContent(const QByteArray &text, const pugi::xml_node &element,
                                      const QByteArray &content) {
    const auto span = locate(text, element);
    if (!span)
        return std::nullopt;
    QByteArray edited = text;
    if (!span->empty) {
        edited.replace(span->tagEnd + 1, span->contentEnd - span->tagEnd - 1, content);
    } else if (!content.isEmpty()) {
        // <Name/> becomes <Name>text</Name>; the attributes stay as they are.
        edited.replace(span->tagEnd - 1, 2,
                       '>' + content + "</" + QByteArray(element.name()) + '>');
    }
    return edited;
}

} // namespace

clsOptionsXML::clsOptionsXML(const QString &rootDirectory)
    : m_path(rootDirectory + QStringLiteral("options.xml")) {
    const QFileInfo info(m_path);
    if (!info.isFile())
        return;
    // A read-only file could never be saved: give the owner write permission.
    const QFile::Permissions permissions = QFile::permissions(m_path);
    if (!(permissions & QFile::WriteOwner))
        QFile::setPermissions(m_path, permissions | QFile::WriteOwner);
    m_fileExists = true;
}

clsOptionsXML::~clsOptionsXML() = default;

bool clsOptionsXML::IsLoaded() const {
    return m_doc != nullptr;
}

void clsOptionsXML::Load() {
    m_doc.reset();
    m_text.clear();
    m_bom.clear();
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray raw = file.readAll();
    const Detected detected = detectEncoding(raw);
    const auto text = decodeToUtf8(raw.mid(detected.bomLength), detected.encoding);
    if (!text)
        return;
    m_encoding = detected.encoding;
    m_bom = raw.left(detected.bomLength);
    m_text = *text;
    parse();
}

bool clsOptionsXML::parse() {
    auto doc = std::make_unique<pugi::xml_document>();
    const pugi::xml_parse_result result =
        doc->load_buffer(m_text.constData(), static_cast<size_t>(m_text.size()),
                         pugi::parse_default, pugi::encoding_utf8);
    if (!result) {
        m_doc.reset();
        return false;
    }
    m_doc = std::move(doc);
    return true;
}

void clsOptionsXML::Save() {
    if (!m_doc)
        return;
    const QByteArray bytes = m_bom + encodeFromUtf8(m_text, m_encoding);
    const auto fail = [this](const QString &reason) {
        throw QuorvelError(QDir::toNativeSeparators(m_path) + QStringLiteral(": ") + reason);
    };
    // Written beside the file and renamed over it, so the file is always whole, old or new.
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        fail(file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        fail(reason);
    }
    if (!file.commit())
        fail(file.errorString());
}

QString clsOptionsXML::GetElementText(const char *name) const {
    if (!m_doc)
        return {};
    const pugi::xml_node element = firstElement(*m_doc, name);
    return element ? QString::fromUtf8(stringValue(element)) : QString();
}

void clsOptionsXML::SetElementText(const char *name, const QString &text) {
    if (!m_doc)
        return;
    const pugi::xml_node element = firstElement(*m_doc, name);
    // Writing the text the element already holds leaves the file's bytes exactly as they are
    // (character references, CDATA and all).
    if (element && QString::fromUtf8(stringValue(element)) != text)
        applyEdit(withContent(m_text, element, escapeContent(text, m_encoding)));
}

void clsOptionsXML::applyEdit(const std::optional<QByteArray> &edited) {
    if (!edited || *edited == m_text)
        return;
    const QByteArray before = m_text;
    m_text = *edited;
    if (!parse()) {
        // Cannot happen with escaped content; keep the document that was there.
        m_text = before;
        parse();
    }
}

bool clsOptionsXML::ShowDeadBodies() const {
    return textToBool(GetElementText("ShowDeadBodies"));
}

void clsOptionsXML::setShowDeadBodies(bool in_bln) {
    SetElementText("ShowDeadBodies", in_bln ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
}

bool clsOptionsXML::ShowFrameRate() const {
    return textToBool(GetElementText("ShowFrameRate"));
}

void clsOptionsXML::setShowFrameRate(bool in_bln) {
    SetElementText("ShowFrameRate", in_bln ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
}

QString clsOptionsXML::PlayerName() const {
    return GetElementText("PlayerName");
}

void clsOptionsXML::setPlayerName(const QString &in_str) {
    SetElementText("PlayerName", in_str);
}

qint32 clsOptionsXML::readColor(const char *red, const char *green, const char *blue) const {
    const auto channel = [this](const char *name) {
        const auto value = numericValue(GetElementText(name));
        if (!value)
            return 0;
        // Out of range either way would spill into the neighbouring channels of the packed
        // value, so a channel is held to 0..255.
        return static_cast<int>(std::clamp(roundHalfEven(*value), 0.0, 255.0));
    };
    return packColor(channel(red), channel(green), channel(blue));
}

void clsOptionsXML::writeColor(qint32 color, const char *red, const char *green, const char *blue) {
    const Rgb rgb = splitColor(color);
    SetElementText(red, QString::number(rgb.red));
    SetElementText(green, QString::number(rgb.green));
    SetElementText(blue, QString::number(rgb.blue));
}

qint32 clsOptionsXML::RetColor() const {
    return readColor("ReticuleColorR", "ReticuleColorG", "ReticuleColorB");
}

void clsOptionsXML::setRetColor(qint32 in_lng) {
    writeColor(in_lng, "ReticuleColorR", "ReticuleColorG", "ReticuleColorB");
}

qint32 clsOptionsXML::IFFRetColor() const {
    return readColor("ReticuleIFFColorR", "ReticuleIFFColorG", "ReticuleIFFColorB");
}

void clsOptionsXML::setIFFRetColor(qint32 in_lng) {
    writeColor(in_lng, "ReticuleIFFColorR", "ReticuleIFFColorG", "ReticuleIFFColorB");
}

void clsOptionsXML::RemoveGRServer(const QString &in_strIP) {
    if (!m_doc)
        return;
    // The address is compared as text, never made part of a query; blanks around the game's
    // entry were left out when it was imported, so they do not count here either.
    const QByteArray address = in_strIP.trimmed().toUtf8();
    pugi::xml_node found;
    walkElements(*m_doc, [&](const pugi::xml_node &node) {
        if (std::strcmp(node.name(), "IPAddress") != 0 || stringValue(node).trimmed() != address)
            return false;
        found = node;
        return true;
    });
    if (found)
        applyEdit(withContent(m_text, found, {}));
}
