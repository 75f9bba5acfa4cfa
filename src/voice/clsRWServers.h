#pragma once

#include "common/ChangeNotice.h"
#include "common/KeyedCollection.h"
#include "voice/clsRWServer.h"

class AppRoot;

// The Roger Wilco channels, keyed by the channel text they were added under (letter case
// ignored). A record's key stays what it was added under even when its IP changes later.
class clsRWServers {
public:
    clsRWServers() = default;

    int Count() const { return m_servers.Count(); }
    AppRoot *Parent() const { return m_parent; }
    void setParent(AppRoot *in_obj) { m_parent = in_obj; }
    // By key text or by 1-based position; nullptr when there is none.
    clsRWServer *Item(const QString &key) const { return m_servers.Item(key); }
    clsRWServer *Item(int position) const { return m_servers.Item(position); }
    // The key the channel at this 1-based position was added under.
    QString keyAt(int position) const { return m_servers.keyAt(position); }
    auto begin() const { return m_servers.begin(); }
    auto end() const { return m_servers.end(); }

    // The new channel, or the one already under this text (unchanged); nothing for an empty
    // channel text.
    clsRWServer *AddServer(const QString &in_strIP, const QString &in_strName,
                           const QString &in_strPassword);
    // Removes the channel under this key; an unknown key does nothing.
    void RemoveServer(const QString &in_strIP);

    // Told when a channel is added, removed or edited.
    ChangeNotice &changes() { return m_changed; }

private:
    AppRoot *m_parent = nullptr;
    KeyedCollection<clsRWServer> m_servers;
    ChangeNotice m_changed;
};
