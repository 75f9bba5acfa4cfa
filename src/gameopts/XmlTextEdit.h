#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace pugi {
class xml_node;
}

// Edits the text of an XML file without rewriting it: the file's bytes are decoded to UTF-8
// for the parser, an element's content is replaced in that very text, and the text is encoded
// back the way it came. Everything outside the element's content (declaration, comments,
// attributes, whitespace and line ends) keeps its bytes.
namespace XmlTextEdit {

// How a file's bytes map to characters.
enum class Encoding { Utf8, Latin1, Windows1252, Ascii, Utf16LE, Utf16BE };

struct Decoded {
    Encoding encoding = Encoding::Utf8;
    QByteArray bom;  // the byte-order mark the file began with, if any
    QByteArray text; // the characters after it, as UTF-8
};

// The file's characters as UTF-8, or nothing when its bytes are not text in the encoding found
// (a byte-order mark, the first bytes, the declaration; undeclared bytes that are no UTF-8 are
// the Windows code page).
std::optional<Decoded> decode(const QByteArray &raw);
// `text` (UTF-8, as from decode or edited) in `encoding`, without a byte-order mark.
QByteArray encode(const QByteArray &text, Encoding encoding);

// Element content for `text`, as UTF-8 to splice into the decoded text. Markup characters are
// escaped, characters `encoding` cannot hold become character references, and characters XML
// cannot carry at all are left out.
QByteArray escapeContent(const QString &text, Encoding encoding);

// The first element below `root` in document order named `name` that `accept` takes (any, when
// `accept` is empty); a null node when there is none.
pugi::xml_node firstElement(const pugi::xml_node &root, const char *name,
                            const std::function<bool(const pugi::xml_node &)> &accept = {});
// The element's text: every character data below it, in document order.
QByteArray stringValue(const pugi::xml_node &element);

// `text` with the content of `element` replaced by `content` (already escaped), or nothing when
// the element cannot be placed in the text. `element` must come from a document parsed from
// `text` itself as UTF-8, so that its offsets point into it.
std::optional<QByteArray> withContent(const QByteArray &text, const pugi::xml_node &element,
                                      const QByteArray &content);

} // namespace XmlTextEdit
