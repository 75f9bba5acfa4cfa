// Feeds arbitrary datagrams to the status reply reader and to a server record.
#include "servers/GRQueryProtocol.h"
#include "servers/clsGRServer.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    const auto status = grquery::decodeReply(bytes);

    clsGRServer record;
    const bool taken = record.DataArrival(bytes, 1);
    if (taken != status.has_value())
        std::abort();
    if (!status)
        return 0;
    if (record.Players().Count() != status->players.size() - (status->dedicated ? 1 : 0))
        std::abort();

    // Whatever was read can be written and read back to the same texts.
    const auto again = grquery::decodeReply(grquery::encodeReply(*status));
    if (!again || again->name != status->name || again->map != status->map ||
        again->mission != status->mission || again->gameType != status->gameType ||
        again->players != status->players || again->version != status->version ||
        again->mods != status->mods || again->motd != status->motd ||
        again->maxPlayers != status->maxPlayers || again->dedicated != status->dedicated ||
        again->gameStateCode != status->gameStateCode)
        std::abort();
    return 0;
}
