#include "platform/IcmpPacket.h"

#include <cstring>

namespace platform::icmp {

namespace {
constexpr qsizetype minimumIpHeader = 20;
constexpr unsigned char protocolIcmp = 1;

quint16 readBe16(const unsigned char *p) {
    return static_cast<quint16>((p[0] << 8) | p[1]);
}

void writeBe16(unsigned char *p, quint16 value) {
    p[0] = static_cast<unsigned char>(value >> 8);
    p[1] = static_cast<unsigned char>(value & 0xff);
}

// The length of the IPv4 header at `p` when `size` bytes hold it whole and `following` more
// after it; 0 otherwise.
qsizetype ipHeaderLength(const unsigned char *p, qsizetype size, qsizetype following) {
    if (size < minimumIpHeader)
        return 0;
    const qsizetype length = (p[0] & 0x0f) * 4;
    if (length < minimumIpHeader || size < length + following)
        return 0;
    return length;
}
} // namespace

quint16 checksum(QByteArrayView bytes) {
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    quint32 sum = 0;
    for (qsizetype i = 0; i + 1 < size; i += 2)
        sum += readBe16(data + i);
    if (size % 2)
        sum += static_cast<quint32>(data[size - 1]) << 8;
    while (sum >> 16)
        sum = (sum & 0xffffu) + (sum >> 16);
    return static_cast<quint16>(~sum & 0xffffu);
}

QByteArray echoRequest(quint16 identifier, quint16 sequence, QByteArrayView payload) {
    QByteArray packet(echoHeaderSize + payload.size(), '\0');
    auto *p = reinterpret_cast<unsigned char *>(packet.data());
    p[0] = typeEchoRequest;
    writeBe16(p + 4, identifier);
    writeBe16(p + 6, sequence);
    if (!payload.isEmpty())
        std::memcpy(p + echoHeaderSize, payload.data(), static_cast<size_t>(payload.size()));
    writeBe16(p + 2, checksum(packet));
    return packet;
}

std::optional<EchoAnswer> readEchoAnswer(QByteArrayView packet, bool ipHeaderInFront) {
    const auto *data = reinterpret_cast<const unsigned char *>(packet.data());
    qsizetype size = packet.size();
    if (ipHeaderInFront) {
        const qsizetype header = ipHeaderLength(data, size, echoHeaderSize);
        if (!header)
            return std::nullopt;
        data += header;
        size -= header;
    }
    if (size < echoHeaderSize)
        return std::nullopt;
    EchoAnswer answer;
    const unsigned char type = data[0];
    if (type == typeEchoReply) {
        answer.identifier = readBe16(data + 4);
        answer.sequence = readBe16(data + 6);
        return answer;
    }
    if (type != typeUnreachable && type != typeTimeExceeded)
        return std::nullopt;
    answer.kind =
        type == typeUnreachable ? EchoAnswer::Kind::Unreachable : EchoAnswer::Kind::TimeExceeded;
    answer.code = data[1];
    // An error quotes the offending datagram: its IP header and the first 8 bytes of the echo.
    const unsigned char *quoted = data + echoHeaderSize;
    const qsizetype quotedSize = size - echoHeaderSize;
    const qsizetype innerHeader = ipHeaderLength(quoted, quotedSize, echoHeaderSize);
    if (!innerHeader || quoted[9] != protocolIcmp)
        return std::nullopt;
    const unsigned char *echo = quoted + innerHeader;
    if (echo[0] != typeEchoRequest)
        return std::nullopt;
    answer.destination = (quint32(quoted[16]) << 24) | (quint32(quoted[17]) << 16) |
                         (quint32(quoted[18]) << 8) | quint32(quoted[19]);
    answer.identifier = readBe16(echo + 4);
    answer.sequence = readBe16(echo + 6);
    return answer;
}

} // namespace platform::icmp
