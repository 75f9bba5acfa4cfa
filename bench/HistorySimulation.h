#pragma once

#include "history/HistoryStore.h"

#include <random>
#include <vector>

// A made-up but realistic population of servers, queried round after round: most are silent
// or answer with nobody on them and never change, a few are flaky, and a few fill up in the
// evening with players joining and leaving and maps changing.
class HistorySimulation {
public:
    enum Kind { Silent, Empty, Flaky, Busy };

    explicit HistorySimulation(int servers, unsigned seed = 7)
        : m_rng(seed) {
        for (int i = 0; i < servers; ++i) {
            Server s;
            s.address = QStringLiteral("127.40.%1.%2").arg(i / 250).arg(i % 250 + 1);
            // 40 % silent, 35 % empty, 10 % flaky, 15 % busy.
            const int pick = i % 20;
            s.kind = pick < 8 ? Silent : pick < 15 ? Empty : pick < 17 ? Flaky : Busy;
            s.maxPlayers = 8 + (i % 3) * 4;
            m_servers.push_back(s);
        }
    }

    // What every server is found to be by the round at `time` (seconds since 1970, UTC).
    std::vector<HistoryObservation> round(qint64 time) {
        std::vector<HistoryObservation> found;
        found.reserve(m_servers.size());
        const int hour = static_cast<int>((time / 3600) % 24);
        const bool evening = hour >= 18;
        for (Server &s : m_servers) {
            HistoryObservation o;
            o.address = s.address;
            o.time = time;
            switch (s.kind) {
            case Silent:
                break;
            case Flaky:
                if (chance(0.01))
                    s.up = !s.up;
                o.answered = s.up;
                break;
            case Empty:
                o.answered = true;
                break;
            case Busy:
                o.answered = true;
                // About one join or leave every two minutes in the evening; people drift
                // away at night.
                if (chance(0.1)) {
                    if ((evening && chance(0.6)) || s.names.isEmpty()) {
                        if (evening && s.names.size() < s.maxPlayers)
                            s.names << QStringLiteral("Player%1").arg(m_nextName++ % 60);
                    } else {
                        s.names.removeAt(static_cast<qsizetype>(m_rng() % s.names.size()));
                    }
                }
                if (chance(0.004))
                    s.map = (s.map + 1) % 6;
                break;
            }
            if (o.answered) {
                o.maxPlayers = s.maxPlayers;
                o.map = QStringLiteral("Map%1").arg(s.map);
                o.mission = QStringLiteral("Mission%1").arg(s.map);
                o.gameType = QStringLiteral("Coop");
                o.state = s.names.isEmpty() ? QStringLiteral("Joining") : QStringLiteral("Playing");
                o.names = s.names;
                o.players = static_cast<int>(s.names.size());
            }
            found.push_back(std::move(o));
        }
        return found;
    }

private:
    struct Server {
        QString address;
        Kind kind = Silent;
        bool up = true;
        int maxPlayers = 8;
        int map = 0;
        QStringList names;
    };
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(m_rng) < p; }

    std::mt19937 m_rng;
    std::vector<Server> m_servers;
    int m_nextName = 0;
};
