#pragma once

#include <QString>

// The dotted-address check applied before a server is added: four dot-separated parts, each a
// number (by the locale's number test) that rounds, ties to even, to 0..255. The fourth part is
// the whole rest of the text, further dots included. Never throws: a part too large for a
// 32-bit number makes the address invalid.
bool IsValidIP(const QString &address);
