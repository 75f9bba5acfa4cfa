#pragma once

#include <QString>

// What the player asked to be told about one server.
struct ServerWatch {
    QString address = {};
    bool answersAgain = false; // it answers after not answering
    bool playersReach = false; // its players reach `players`
    int players = 2;           // 1 to 255
    bool slotFrees = false;    // a slot frees up after it was full
    bool joinWhenFree = false; // ... and then the game joins it, once (only with slotFrees)

    bool asksAnything() const { return answersAgain || playersReach || slotFrees; }
    bool operator==(const ServerWatch &) const = default;
};
