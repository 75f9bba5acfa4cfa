#pragma once

#include "gameopts/XmlTextEdit.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

namespace pugi {
class xml_document;
}

// Reads and writes the handful of values the program edits in the game's own options.xml.
// Callers run Load, then gets and sets, then Save for a change.
//
// The file is the game's: an edit replaces only the text of the element it is about, spliced
// into the original bytes, so the declaration, the encoding, the layout and the comments stay
// exactly as the game wrote them.
class clsOptionsXML {
public:
    explicit clsOptionsXML(const QString &rootDirectory);
    ~clsOptionsXML();
    clsOptionsXML(const clsOptionsXML &) = delete;
    clsOptionsXML &operator=(const clsOptionsXML &) = delete;

    // Whether the file existed when this object was made.
    bool FileExists() const { return m_fileExists; }
    const QString &path() const { return m_path; }

    bool IsLoaded() const;
    void Load();
    // Writes the held document back; throws QuorvelError naming the file and the reason when
    // it cannot be written (the file on disk is then left as it was).
    void Save();

    // The Booleans throw QuorvelError (type mismatch) when the element's text is not a Boolean,
    // which includes a missing element and no document.
    bool ShowDeadBodies() const;
    void setShowDeadBodies(bool in_bln);
    bool ShowFrameRate() const;
    void setShowFrameRate(bool in_bln);
    QString PlayerName() const;
    void setPlayerName(const QString &in_str);
    qint32 RetColor() const;
    void setRetColor(qint32 in_lng);
    qint32 IFFRetColor() const;
    void setIFFRetColor(qint32 in_lng);
    // Blanks the first entry of the game's server list with this address.
    void RemoveGRServer(const QString &in_strIP);

    // How the file's bytes map to characters; kept so a save writes the encoding it read.
    using Encoding = XmlTextEdit::Encoding;

private:
    QString GetElementText(const char *name) const;
    void SetElementText(const char *name, const QString &text);
    qint32 readColor(const char *red, const char *green, const char *blue) const;
    void writeColor(qint32 color, const char *red, const char *green, const char *blue);
    // Takes an edited text when it differs, keeping the document in step with it.
    void applyEdit(const std::optional<QByteArray> &edited);
    // Parses m_text; drops the document when it does not parse.
    bool parse();

    QString m_path;
    bool m_fileExists = false;
    std::unique_ptr<pugi::xml_document> m_doc;
    QByteArray m_text; // the file's characters as UTF-8, which the document was parsed from
    QByteArray m_bom;  // the byte-order mark the file began with, if any
    Encoding m_encoding = Encoding::Utf8;
};
