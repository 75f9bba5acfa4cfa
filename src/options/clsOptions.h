#pragma once

#include "common/KeyedCollection.h"

#include <QString>

#include <memory>

class AppRoot;
class Prompter;
namespace pugi {
class xml_document;
}

// The program's own preferences, held in memory between the read at start-up and the write at
// shutdown.
class clsOptions {
public:
    clsOptions();
    ~clsOptions();

    void setParent(AppRoot *in_obj) { m_parent = in_obj; }
    AppRoot *Parent() const { return m_parent; }

    bool PingGRServersOnStartup() const { return m_pingOnStartup; }
    void setPingGRServersOnStartup(bool in_bln) { m_pingOnStartup = in_bln; }
    bool RecordStats() const { return m_recordStats; }
    void setRecordStats(bool in_bln) { m_recordStats = in_bln; }
    bool ShowTips() const { return m_showTips; }
    void setShowTips(bool in_bln) { m_showTips = in_bln; }
    const QString &StatsPath() const { return m_statsPath; }
    void setStatsPath(const QString &in_str) { m_statsPath = in_str; }
    const QString &RogerWilcoEXE() const { return m_rogerWilcoExe; }
    void setRogerWilcoEXE(const QString &in_str) { m_rogerWilcoExe = in_str; }
    const QString &UserName() const { return m_userName; }
    void setUserName(const QString &in_str) { m_userName = in_str; }
    const QString &UserEmail() const { return m_userEmail; }
    void setUserEmail(const QString &in_str) { m_userEmail = in_str; }
    qint32 LastTip() const { return m_lastTip; }
    void setLastTip(qint32 in_lng) { m_lastTip = in_lng; }

    const KeyedCollection<QString> &PlayerNames() const { return m_playerNames; }
    void AddPlayerName(const QString &in_strName);
    void RemovePlayerName(const QString &in_strName);
    bool IsRogerWilcoSetup() const;

    // Reads the preferences file (a missing or unreadable one gives the defaults), fills both
    // server collections and imports the game's own server list. Failures are asked about,
    // never thrown.
    void Load(const QString &in_strPath);
    // Writes every member and both lists. The file is replaced whole or not at all; a failure
    // throws QuorvelError naming the file and the reason.
    void Save(const QString &in_strPath);
    // Adds the servers the game remembers in its options.xml and queries them at once.
    void LoadGameGRServers();

    // The document the last Load or Save worked on (nullptr before either).
    const pugi::xml_document *document() const { return m_document.get(); }

private:
    Prompter &prompter() const;
    void readGRServers();
    void readRWServers();
    void readPlayerNames();

    AppRoot *m_parent = nullptr;
    std::unique_ptr<pugi::xml_document> m_document;
    bool m_pingOnStartup = false;
    bool m_recordStats = false;
    QString m_statsPath;
    bool m_showTips = false;
    qint32 m_lastTip = 0;
    KeyedCollection<QString> m_playerNames;
    QString m_rogerWilcoExe;
    QString m_userName;
    QString m_userEmail;
};
