#pragma once

#include "platform/FileIdentity.h"

#include "history/HistoryStore.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <initializer_list>
#include <map>
#include <vector>

class QSqlDatabase;

// Owns the second connection to the history file and does every write, on the store's own
// thread: each call runs on that thread, and the failures come back as text (empty for none).
class HistoryWriter {
public:
    HistoryWriter(QString path, QString connection);

    // Opens the connection; the failure text when the file cannot be opened for writing.
    QString start();
    void stop();
    // One transaction for the whole batch.
    QString write(const std::vector<HistoryObservation> &batch);
    // Removes what is older than the store keeps, as of `now` (seconds since 1970).
    QString prune(qint64 now);

private:
    struct Known {
        qint64 id = 0;
        bool hasRow = false;
        bool touched = false;
        HistoryObservation last;
        qint64 lastRowTime = 0;
        qint64 lastQuery = 0, lastAnswered = 0, lastWithPlayers = 0;
    };

    QSqlQuery prepared(const QSqlDatabase &db, const char *sql);
    static void bindAll(QSqlQuery &q, std::initializer_list<QVariant> values);
    Known *knownFor(const HistoryObservation &o);
    QString failed(const QSqlError &error);

    QString m_path;
    QString m_connection;
    platform::FileIdentity m_identity;
    QString m_error;
    QSqlError m_lastError;
    std::map<QString, Known> m_known; // its entries stay put while others are added
    qint64 m_trimmedHour = -1;
    QSqlQuery m_findServer, m_insertServer, m_lastChange, m_insertChange, m_updateServer, m_addHour;
};
