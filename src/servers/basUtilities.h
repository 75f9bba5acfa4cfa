#pragma once

#include <QString>

#include <optional>

// The dotted-address check applied before a server is added: four dot-separated parts, each a
// number (by the locale's number test) that rounds, ties to even, to 0..255. The fourth part is
// the whole rest of the text, further dots included. Never throws: a part too large for a
// 32-bit number makes the address invalid.
bool IsValidIP(const QString &address);

// The IPv4 address (host byte order) made of the four numbers the check above reads, in
// decimal: "127.0.0.010" is 127.0.0.10, never the octal 127.0.0.8 a socket library would make of
// it. Nothing when the check fails.
std::optional<quint32> DottedIPv4(const QString &address);

// The address to put on the wire or on a command line: the plain dotted form of what the check
// reads ("127.0.0.010" gives "127.0.0.10"), or the text as it stands when it is no dotted
// address (a host name).
QString AddressForUse(const QString &address);

// A well-formed host name: dot-separated labels of ASCII letters, digits and hyphens, each 1 to
// 63 characters, neither starting nor ending with a hyphen, at most 253 characters in all (a
// final dot allowed), the last label not all digits (999.1.1.1 is a bad address, not a name).
bool IsHostName(const QString &text);

// What the player may give as a server (on the Add page, in the server list file): a dotted
// address that passes the check above, or a host name. Text whose first three parts are numbers
// is a dotted address and is held to that check ("1.2.3.4x" is a mistyped address, not a name).
// Blanks around the text do not count.
bool IsServerAddress(const QString &text);
