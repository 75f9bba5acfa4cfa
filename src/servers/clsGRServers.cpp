#include "servers/clsGRServers.h"

#include "common/Prompter.h"
#include "gameopts/clsOptionsXML.h"
#include "root/AppRoot.h"

#include <QCoreApplication>
#include <memory>

clsGRServers::clsGRServers() = default;

clsGRServers::~clsGRServers() {
    // The records go before anything they point at.
    m_servers.clear();
}

clsGRServer *clsGRServers::AddServer(const QString &in_strIP, const QString &in_strName,
                                     const QString &in_strPassword, int slot) {
    // Blanks around an address (typed, pasted, or in a file) are no part of it: with them the
    // same server would be listed and saved twice.
    const QString ip = in_strIP.trimmed();
    if (ip.isEmpty())
        return nullptr;
    if (clsGRServer *existing = Item(ip))
        return existing;
    auto server = std::make_unique<clsGRServer>();
    server->setIP(ip);
    server->setName(in_strName);
    server->setPassword(in_strPassword);
    if (m_parent && m_parent->GRServerControls())
        server->bindSlot(m_parent->GRServerControls(), slot);
    server->setParent(this);
    clsGRServer *added = m_servers.add(ip, std::move(server)).item;
    m_changed();
    return added;
}

void clsGRServers::RefreshAllServerData() {
    for (clsGRServer &server : m_servers)
        server.Refresh();
}

void clsGRServers::RemoveServer(const QString &in_strIP) {
    clsGRServer *server = Item(in_strIP);
    if (!server)
        return;
    if (server->LoadedFromGame() && m_parent) {
        const Answer answer = m_parent->prompter().ask(
            QCoreApplication::translate("clsGRServers",
                                        "This server IP was loaded from your in Ghost Recon server "
                                        "list in the options.xml file. Remove the entry from the "
                                        "options.xml as well?"),
            QCoreApplication::translate("clsGRServers", "Remove Server from Options.xml as well?"),
            Buttons::YesNo, Icon::Question);
        if (answer == Answer::Yes) {
            if (clsOptionsXML *xml = m_parent->OptionsXML()) {
                runWithRetry(m_parent->prompter(), titles::error, [&] {
                    xml->Load();
                    xml->RemoveGRServer(in_strIP);
                    xml->Save();
                });
            }
        }
    }
    const QString ip = server->IP();
    m_servers.remove(in_strIP);
    m_changed();
    if (m_parent)
        m_parent->serverRemoved(ip);
}

bool clsGRServers::AnyWaiting() const {
    for (const clsGRServer &server : m_servers)
        if (server.status() == clsGRServer::Waiting)
            return true;
    return false;
}
