// Writes rounds of answers into a history file until it is killed: `history_writer FILE`.
// After each round is written it prints "round N", N counting the rounds of this run.
#include "history/HistoryStore.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    HistoryStore store;
    if (!store.open(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "%s\n", qPrintable(store.offReason()));
        return 1;
    }
    // Each round is a distinct second, so the rounds written can be counted afterwards.
    qint64 time = 1'700'000'000;
    {
        QSqlQuery q(QSqlDatabase::database(store.connectionName()));
        if (q.exec(QStringLiteral("SELECT max(last_query) FROM servers")) && q.next() &&
            !q.value(0).isNull())
            time = q.value(0).toLongLong() + 1;
    }
    for (int round = 1;; ++round, ++time) {
        for (int i = 0; i < 200; ++i) {
            HistoryObservation o;
            o.address = QStringLiteral("127.50.0.%1").arg(i + 1);
            o.time = time;
            o.answered = i % 3 != 0;
            // Every round differs from the one before, even across runs.
            o.players = static_cast<int>((time + i) % 7);
            o.maxPlayers = 8;
            o.map = QStringLiteral("Map%1").arg(time % 4);
            for (int p = 0; p < o.players; ++p)
                o.names << QStringLiteral("Player%1").arg(p);
            store.record(o);
        }
        store.waitForWrites();
        if (!store.isOn())
            return 1;
        std::printf("round %d\n", round);
        std::fflush(stdout);
    }
}
