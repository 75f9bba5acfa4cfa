#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// The ICMPv4 messages of an echo: building the request and reading what comes back. Nothing
// here touches a socket.
namespace platform::icmp {

constexpr quint8 typeEchoReply = 0;
constexpr quint8 typeUnreachable = 3;
constexpr quint8 typeEchoRequest = 8;
constexpr quint8 typeTimeExceeded = 11;
// Type, code, checksum, identifier, sequence number.
constexpr qsizetype echoHeaderSize = 8;

// The Internet checksum of `bytes`; over a message that carries a correct one it is 0.
quint16 checksum(QByteArrayView bytes);

// An echo request with its checksum filled in.
QByteArray echoRequest(quint16 identifier, quint16 sequence, QByteArrayView payload);

// What came back for an echo request: the reply, or an error message quoting the request.
struct EchoAnswer {
    enum class Kind { Reply, Unreachable, TimeExceeded };
    Kind kind = Kind::Reply;
    quint8 code = 0; // the error's code (which kind of unreachable)
    quint16 identifier = 0;
    quint16 sequence = 0;
    quint32 destination = 0; // errors: where the quoted request was going (host byte order)
};

// Reads one message as the socket delivered it; raw sockets put the IPv4 header in front.
// Nothing for messages that answer no echo request or are cut short.
std::optional<EchoAnswer> readEchoAnswer(QByteArrayView packet, bool ipHeaderInFront);

} // namespace platform::icmp
