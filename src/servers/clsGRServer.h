#pragma once

#include <QString>

class clsGRServers;

// One Ghost Recon server as the program knows it.
class clsGRServer {
public:
    enum Status { NotQueried = 0, Waiting = 1, Answered = 2, NoReply = 3 };

    clsGRServer();
    ~clsGRServer();

    int status() const { return m_status; }
    const QString &IP() const { return m_ip; }
    void setIP(const QString &in_str) { m_ip = in_str; }
    const QString &Name() const { return m_name; }
    void setName(const QString &in_str) { m_name = in_str; }
    const QString &Password() const { return m_password; }
    void setPassword(const QString &in_str) { m_password = in_str; }
    qint32 Ping() const { return m_ping; }
    void setPing(qint32 in_lng) { m_ping = in_lng; }
    bool PingStale() const { return m_pingStale; }
    void setPingStale(bool in_bln) { m_pingStale = in_bln; }
    bool LoadedFromGame() const { return m_loadedFromGame; }
    void setLoadedFromGame(bool in_bln) { m_loadedFromGame = in_bln; }
    void setParent(clsGRServers *in_obj) { m_parent = in_obj; }

    // Sends one status request unless one is outstanding.
    void Refresh();

private:
    clsGRServers *m_parent = nullptr;
    QString m_ip;
    QString m_name;
    QString m_password;
    qint32 m_ping = 0;
    bool m_pingStale = false;
    bool m_loadedFromGame = false;
    int m_status = NotQueried;
};
