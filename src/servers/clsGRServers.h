#pragma once

#include "common/ChangeNotice.h"
#include "common/KeyedCollection.h"
#include "servers/clsGRServer.h"

class AppRoot;

// Every Ghost Recon server record of the running program, keyed by address text (letter case
// ignored), in the order they were added.
class clsGRServers {
public:
    clsGRServers();
    ~clsGRServers();
    clsGRServers(const clsGRServers &) = delete;
    clsGRServers &operator=(const clsGRServers &) = delete;

    int Count() const { return m_servers.Count(); }
    AppRoot *Parent() const { return m_parent; }
    void setParent(AppRoot *in_obj) { m_parent = in_obj; }
    clsGRServer *Item(const QString &key) const { return m_servers.Item(key); }
    clsGRServer *Item(int position) const { return m_servers.Item(position); }
    auto begin() const { return m_servers.begin(); }
    auto end() const { return m_servers.end(); }

    // The new record bound to `slot` of the application's slot pool, or the record already
    // under this address (unchanged; the slot stays free); nothing for an empty address.
    clsGRServer *AddServer(const QString &in_strIP, const QString &in_strName,
                           const QString &in_strPassword, int slot);
    // Sends a status request for every record; no reply is awaited.
    void RefreshAllServerData();
    // True while any record still waits for the reply to its request.
    bool AnyWaiting() const;
    // Removes the record under this address. For a server imported from the game's own list,
    // first asks whether to blank it in the game's options file as well.
    void RemoveServer(const QString &in_strIP);

    // Told when a server is added or removed, or a record's name or password changes.
    ChangeNotice &changes() { return m_changed; }

private:
    AppRoot *m_parent = nullptr;
    KeyedCollection<clsGRServer> m_servers;
    ChangeNotice m_changed;
};
