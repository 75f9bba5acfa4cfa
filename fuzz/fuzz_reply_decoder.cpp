// Feeds arbitrary datagrams to the status reply reader and to a server record.
#include "servers/GRQueryProtocol.h"
#include "servers/GameSettingsText.h"
#include "servers/clsGRServer.h"

#include <cstdint>
#include <cstdlib>

namespace {
// Every setting read the first time is read the same from the reply written from it; one the
// first reading left empty may come back as the writer's zero.
template <typename T> bool kept(const std::optional<T> &first, const std::optional<T> &again) {
    return !first || first == again;
}

bool settingsKept(const grquery::GameSettings &a, const grquery::GameSettings &b) {
    return a.patch == b.patch && a.password == b.password && kept(a.gameMode, b.gameMode) &&
           kept(a.respawnType, b.respawnType) && kept(a.startTimer, b.startTimer) &&
           kept(a.startTimerSeconds, b.startTimerSeconds) &&
           kept(a.debriefSeconds, b.debriefSeconds) &&
           kept(a.respawnWaitShortest, b.respawnWaitShortest) &&
           kept(a.respawnWaitLongest, b.respawnWaitLongest) &&
           kept(a.respawnInvulnerable, b.respawnInvulnerable) &&
           kept(a.respawnCount, b.respawnCount) && kept(a.observers, b.observers) &&
           kept(a.startWaitSeconds, b.startWaitSeconds) && kept(a.iff, b.iff) &&
           kept(a.threatIndicator, b.threatIndicator) &&
           kept(a.weaponRestrictions, b.weaponRestrictions);
}
} // namespace

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
    if (status->playerStates.size() > status->players.size())
        std::abort();
    // A reply's settings read as text and as a summary whatever they hold.
    const grquery::GameSettings &g = record.Settings();
    (void)GameSettingsText::summary(g);
    (void)GameSettingsText::respawnWaits(g);
    (void)GameSettingsText::startWait(g);
    (void)GameSettingsText::weaponRestrictions(g.weaponRestrictions);
    for (const grquery::PlayerState &player : status->playerStates)
        (void)GameSettingsText::team(player.team);

    // Whatever was read can be written and read back to the same values.
    const auto again = grquery::decodeReply(grquery::encodeReply(*status));
    if (!again || again->name != status->name || again->map != status->map ||
        again->mission != status->mission || again->gameType != status->gameType ||
        again->players != status->players || again->version != status->version ||
        again->mods != status->mods || again->motd != status->motd ||
        again->maxPlayers != status->maxPlayers || again->dedicated != status->dedicated ||
        again->gameStateCode != status->gameStateCode ||
        again->timeElapsed != status->timeElapsed || again->length != status->length ||
        !settingsKept(status->settings, again->settings) ||
        again->playerStates.mid(0, status->playerStates.size()) != status->playerStates)
        std::abort();
    return 0;
}
