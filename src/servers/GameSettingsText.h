#pragma once

#include "servers/GRQueryProtocol.h"

#include <QString>

#include <optional>

// How the game settings of a reply read to the player. A setting the reply did not give reads
// "n/a"; a code the program does not know reads "Unknown".
class GameSettingsText {
public:
    static QString patch(std::optional<grquery::Patch> patch);
    static QString gameMode(std::optional<int> code);
    // The respawn type with the number of respawns where it counts: "Individual, 3 respawns".
    static QString respawns(const grquery::GameSettings &settings);
    // The shortest and longest wait and the time a respawned player cannot be hurt.
    static QString respawnWaits(const grquery::GameSettings &settings);
    static QString iff(std::optional<int> code);
    static QString onOff(std::optional<bool> on);
    static QString allowed(std::optional<bool> allowed);
    static QString startTimer(const grquery::GameSettings &settings);
    // The start wait counts only while the start timer is used.
    static QString startWait(const grquery::GameSettings &settings);
    static QString weaponRestrictions(const std::optional<QString> &text);
    // "45 s", "2 min", "1 min 30 s".
    static QString duration(std::optional<qint32> seconds);
    static QString team(int code);
    // One line of what matters most when choosing a server: the game mode, respawns, IFF and
    // the threat indicator, as far as they are known; empty when none is.
    static QString summary(const grquery::GameSettings &settings);

    static QString notGiven();
    static QString unknown();
};
