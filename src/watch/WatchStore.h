#pragma once

#include "watch/ServerWatch.h"

#include <QList>
#include <QString>
#include <QStringList>

// The watches and buddy patterns, kept in tables of their own in an SQLite database that is
// already open under a Qt SQL connection name. Every change is written at once; a store whose
// tables could not be made is closed and does nothing.
class WatchStore {
public:
    explicit WatchStore(QString connectionName);

    bool isOpen() const { return m_open; }

    QList<ServerWatch> watches() const;
    QStringList buddies() const;

    // Each is false when the write failed (the database is then left as it was).
    bool saveWatch(const ServerWatch &watch);
    bool removeWatch(const QString &address);
    bool addBuddy(const QString &pattern);
    bool removeBuddy(const QString &pattern);

private:
    bool exec(const QString &sql, const QVariantList &values = {}) const;

    QString m_connection;
    bool m_open = false;
};
