#include "platform/IcmpPacket.h"

#include <gtest/gtest.h>

using namespace platform::icmp;

namespace {
QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

// An IPv4 header with `optionWords` words of options, carrying `protocol` to 10.1.2.3.
QByteArray ipHeader(int protocol, int optionWords = 0) {
    QByteArray header = bytes(
        {0x45 + optionWords, 0, 0, 0, 0, 0, 0, 0, 64, protocol, 0, 0, 192, 168, 0, 2, 10, 1, 2, 3});
    header.append(QByteArray(optionWords * 4, '\x01'));
    return header;
}

// Identifier 0x1234 and sequence 0xabcd, so that swapped or misplaced fields show.
const QByteArray echoReply = bytes({0, 0, 0, 0, 0x12, 0x34, 0xab, 0xcd, 'p', 'i', 'n', 'g'});
const QByteArray quotedRequest = bytes({8, 0, 0, 0, 0x12, 0x34, 0xab, 0xcd});

// An error message of `type` and `code` quoting `quoted` (an IP header and what followed it).
QByteArray errorMessage(int type, int code, const QByteArray &quoted) {
    return bytes({type, code, 0, 0, 0, 0, 0, 0}) + quoted;
}
} // namespace

TEST(IcmpPacket, ChecksumIsTheInternetChecksum) {
    // The worked example of the checksum's definition, then an odd length padded with zero.
    EXPECT_EQ(checksum(bytes({0x00, 0x01, 0xf2, 0x03, 0xf4, 0xf5, 0xf6, 0xf7})), 0x220d);
    EXPECT_EQ(checksum(bytes({0x01})), 0xfeff);
    EXPECT_EQ(checksum(QByteArray()), 0xffff);
    // Carries wrap round more than once.
    EXPECT_EQ(checksum(QByteArray(4000, '\xff')), 0x0000);
}

TEST(IcmpPacket, RequestCarriesItsFieldsPayloadAndAValidChecksum) {
    for (const QByteArray &payload : {QByteArray(), QByteArray("abc"), QByteArray(56, 'x')}) {
        const QByteArray request = echoRequest(0x1234, 0xabcd, payload);
        ASSERT_EQ(request.size(), echoHeaderSize + payload.size());
        EXPECT_EQ(request.left(2), bytes({8, 0}));
        EXPECT_EQ(request.mid(4, 4), bytes({0x12, 0x34, 0xab, 0xcd}));
        EXPECT_EQ(request.mid(echoHeaderSize), payload);
        EXPECT_EQ(checksum(request), 0) << payload.size();
    }
}

TEST(IcmpPacket, ReadsRepliesWithOrWithoutTheIpHeader) {
    for (const auto &[packet, raw] :
         {std::pair{echoReply, false}, std::pair{ipHeader(1) + echoReply, true},
          std::pair{ipHeader(1, 3) + echoReply, true}}) {
        const auto answer = readEchoAnswer(packet, raw);
        ASSERT_TRUE(answer) << packet.toHex().constData();
        EXPECT_EQ(answer->kind, EchoAnswer::Kind::Reply);
        EXPECT_EQ(answer->identifier, 0x1234);
        EXPECT_EQ(answer->sequence, 0xabcd);
    }
    // Each socket kind's packets read as the other's are nothing.
    EXPECT_FALSE(readEchoAnswer(echoReply, true));
    EXPECT_FALSE(readEchoAnswer(ipHeader(1) + echoReply, false));
}

TEST(IcmpPacket, ReadsErrorsQuotingAnEchoRequest) {
    const struct {
        int type, code;
        EchoAnswer::Kind kind;
    } cases[] = {
        {3, 3, EchoAnswer::Kind::Unreachable},
        {3, 1, EchoAnswer::Kind::Unreachable},
        {11, 0, EchoAnswer::Kind::TimeExceeded},
    };
    for (const auto &c : cases) {
        for (int options : {0, 2}) {
            const QByteArray message =
                errorMessage(c.type, c.code, ipHeader(1, options) + quotedRequest);
            for (const auto &[packet, raw] :
                 {std::pair{message, false}, std::pair{ipHeader(1) + message, true}}) {
                const auto answer = readEchoAnswer(packet, raw);
                ASSERT_TRUE(answer) << c.type << ' ' << options << ' ' << raw;
                EXPECT_EQ(answer->kind, c.kind);
                EXPECT_EQ(answer->code, c.code);
                EXPECT_EQ(answer->identifier, 0x1234);
                EXPECT_EQ(answer->sequence, 0xabcd);
                EXPECT_EQ(answer->destination, 0x0a010203u);
            }
        }
    }
}

TEST(IcmpPacket, RefusesWhatAnswersNoEchoRequest) {
    const QByteArray error = errorMessage(3, 3, ipHeader(1) + quotedRequest);
    const QByteArray refused[] = {
        // Other messages, our own request among them.
        echoRequest(0x1234, 0xabcd, "ping"),
        bytes({5, 1, 0, 0, 10, 0, 0, 1}) + ipHeader(1) + quotedRequest,
        // Errors about a UDP datagram, about an echo reply, with a quoted header too short.
        errorMessage(3, 3, ipHeader(17) + quotedRequest),
        errorMessage(3, 3, ipHeader(1) + echoReply.left(8)),
        errorMessage(3, 3, bytes({0x44}) + ipHeader(1).mid(1) + quotedRequest),
        // A header claiming more options than the packet holds.
        errorMessage(3, 3, bytes({0x4f}) + ipHeader(1).mid(1) + quotedRequest),
    };
    for (const QByteArray &packet : refused)
        EXPECT_FALSE(readEchoAnswer(packet, false)) << packet.toHex().constData();

    // Every packet cut short is refused, up to the last byte the answer needs.
    for (const auto &[packet, raw] :
         {std::pair{echoReply.left(8), false}, std::pair{ipHeader(1) + echoReply.left(8), true},
          std::pair{error, false}}) {
        ASSERT_TRUE(readEchoAnswer(packet, raw));
        for (qsizetype size = 0; size < packet.size(); ++size)
            EXPECT_FALSE(readEchoAnswer(packet.left(size), raw)) << size;
    }
}
