#pragma once

#include <QString>

class clsRWServers;

// One Roger Wilco channel the player can join. Holds data only.
class clsRWServer {
public:
    clsRWServer() = default;
    clsRWServer(QString ip, QString name, QString password)
        : m_ip(std::move(ip))
        , m_name(std::move(name))
        , m_password(std::move(password)) {}

    // The channel as Roger Wilco's command line expects it.
    const QString &IP() const { return m_ip; }
    // Edits are told to the collection the channel is in.
    void setIP(const QString &in_str) { changed(m_ip, in_str); }
    const QString &Name() const { return m_name; }
    void setName(const QString &in_str) { changed(m_name, in_str); }
    const QString &Password() const { return m_password; }
    void setPassword(const QString &in_str) { changed(m_password, in_str); }
    void setParent(clsRWServers *in_obj) { m_parent = in_obj; }
    clsRWServers *parent() const { return m_parent; }

private:
    void changed(QString &member, const QString &value);

    QString m_ip;
    QString m_name;
    QString m_password;
    clsRWServers *m_parent = nullptr;
};
