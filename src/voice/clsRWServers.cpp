#include "voice/clsRWServers.h"

#include <memory>

clsRWServer *clsRWServers::AddServer(const QString &in_strIP, const QString &in_strName,
                                     const QString &in_strPassword) {
    // Blanks around a channel are no part of it (the same channel would be listed twice).
    const QString ip = in_strIP.trimmed();
    if (ip.isEmpty())
        return nullptr;
    if (clsRWServer *existing = m_servers.Item(ip))
        return existing;
    auto record = std::make_unique<clsRWServer>(ip, in_strName, in_strPassword);
    record->setParent(this);
    const QString key = record->IP();
    clsRWServer *added = m_servers.add(key, std::move(record)).item;
    m_changed();
    return added;
}

void clsRWServers::RemoveServer(const QString &in_strIP) {
    if (m_servers.remove(in_strIP))
        m_changed();
}

void clsRWServer::changed(QString &member, const QString &value) {
    if (m_parent)
        m_parent->changes().update(member, value);
    else
        member = value;
}
