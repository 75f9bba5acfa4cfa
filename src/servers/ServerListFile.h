#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

// One server (or voice channel) as a list file or the clipboard carries it.
struct ServerListEntry {
    QString address;
    QString name;
    QString password;
    bool operator==(const ServerListEntry &) const = default;
};

struct ServerListReading {
    std::vector<ServerListEntry> entries; // in the order they were read
    int unreadable = 0;                   // lines or JSON items that named no server
};

// Lists of servers shared as files: one server a line, its address or host name, then
// optionally a tab and its name and a tab and its password; blank lines and lines starting with
// '#' are left out. The JSON array `--query --json` prints is read too. Whatever a file holds,
// nothing but a well-formed address makes an entry: a line with anything else counts as
// unreadable.
namespace ServerListFile {

// Larger files are refused whole: no list of servers comes near it.
constexpr qint64 maxFileBytes = 16 * 1024 * 1024;
// A name or password longer than this is not one a player typed or a server sent.
constexpr int maxFieldLength = 256;

// Whether `text` may stand for a server: a dotted address exactly as the Add page checks it, or
// a well-formed host name.
bool isServerAddress(const QString &text);
// The same for a voice channel, which may also carry a port (host:port).
bool isChannelAddress(const QString &text);

using AddressCheck = std::function<bool(const QString &)>;

// Reads a file's bytes (UTF-8 with or without its mark, UTF-16 with its mark; bytes that are no
// UTF-8 are read as Latin-1).
ServerListReading parse(const QByteArray &bytes, const AddressCheck &check = isServerAddress);
ServerListReading parseText(const QString &text, const AddressCheck &check = isServerAddress);
// Free text from the clipboard: list lines as above, and in any other line every word that
// is a dotted address or a host name with a dot ("play on 10.0.0.5 tonight").
ServerListReading parseLoose(const QString &text, const AddressCheck &check = isServerAddress);

// The file's text: a comment line, then one line per entry. Passwords are written only when
// `withPasswords`; tabs and line breaks inside a name or password become blanks.
QByteArray write(const std::vector<ServerListEntry> &entries, bool withPasswords);

// The file at `path` read, or nothing with `error` saying why (missing, unreadable, too large).
std::optional<ServerListReading> readFile(const QString &path, QString &error,
                                          const AddressCheck &check = isServerAddress);

} // namespace ServerListFile
