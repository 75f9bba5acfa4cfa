#include "servers/clsGRServers.h"

#include <memory>

clsGRServers::clsGRServers() = default;
clsGRServers::~clsGRServers() = default;

clsGRServer *clsGRServers::AddServer(const QString &in_strIP, const QString &in_strName,
                                     const QString &in_strPassword, int slot) {
    Q_UNUSED(slot);
    if (in_strIP.isEmpty())
        return nullptr;
    if (clsGRServer *existing = Item(in_strIP))
        return existing;
    auto server = std::make_unique<clsGRServer>();
    server->setIP(in_strIP);
    server->setName(in_strName);
    server->setPassword(in_strPassword);
    server->setParent(this);
    return m_servers.add(in_strIP, std::move(server)).item;
}

void clsGRServers::RefreshAllServerData() {
    for (clsGRServer &server : m_servers)
        server.Refresh();
}

void clsGRServers::RemoveServer(const QString &in_strIP) {
    m_servers.remove(in_strIP);
}
