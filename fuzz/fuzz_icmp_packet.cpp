// Feeds arbitrary packets to the echo answer reader, and builds requests from arbitrary input.
#include "platform/IcmpPacket.h"

#include <cstdint>
#include <cstdlib>

using namespace platform::icmp;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    for (bool raw : {false, true}) {
        const auto answer = readEchoAnswer(bytes, raw);
        if (!answer)
            continue;
        // Nothing shorter than an echo header (behind an IP header on a raw socket) is read,
        // and errors always quote a whole IP header and echo header.
        const qsizetype least = (raw ? 20 : 0) + echoHeaderSize +
                                (answer->kind == EchoAnswer::Kind::Reply ? 0 : 20 + echoHeaderSize);
        if (bytes.size() < least)
            std::abort();
    }

    // A request built from the input carries a valid checksum and reads back, once turned into
    // its reply, with its own identifier and sequence number.
    if (size < 4)
        return 0;
    const quint16 identifier = static_cast<quint16>((data[0] << 8) | data[1]);
    const quint16 sequence = static_cast<quint16>((data[2] << 8) | data[3]);
    QByteArray packet = echoRequest(identifier, sequence, bytes.sliced(4));
    if (packet.size() != echoHeaderSize + bytes.size() - 4 || checksum(packet) != 0 ||
        readEchoAnswer(packet, false))
        std::abort();
    packet[0] = char(typeEchoReply);
    packet[2] = packet[3] = 0;
    const quint16 sum = checksum(packet);
    packet[2] = char(sum >> 8);
    packet[3] = char(sum & 0xff);
    const auto reply = readEchoAnswer(packet, false);
    if (!reply || reply->kind != EchoAnswer::Kind::Reply || reply->identifier != identifier ||
        reply->sequence != sequence || checksum(packet) != 0)
        std::abort();
    return 0;
}
