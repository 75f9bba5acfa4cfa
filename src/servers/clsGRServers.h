#pragma once

#include "common/KeyedCollection.h"
#include "servers/clsGRServer.h"

class clsGRQuorvel;

// Every Ghost Recon server record of the running program, keyed by address text.
class clsGRServers {
public:
    clsGRServers();
    ~clsGRServers();

    int Count() const { return m_servers.Count(); }
    clsGRQuorvel *Parent() const { return m_parent; }
    void setParent(clsGRQuorvel *in_obj) { m_parent = in_obj; }
    clsGRServer *Item(const QString &key) const { return m_servers.Item(key); }
    clsGRServer *Item(int position) const { return m_servers.Item(position); }
    auto begin() const { return m_servers.begin(); }
    auto end() const { return m_servers.end(); }

    // The new record bound to `slot`, or the record already under this address (unchanged);
    // nothing for an empty address.
    clsGRServer *AddServer(const QString &in_strIP, const QString &in_strName,
                           const QString &in_strPassword, int slot);
    void RefreshAllServerData();
    void RemoveServer(const QString &in_strIP);

private:
    clsGRQuorvel *m_parent = nullptr;
    KeyedCollection<clsGRServer> m_servers;
};
