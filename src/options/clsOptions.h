#pragma once

#include "common/ChangeNotice.h"
#include "common/KeyedCollection.h"

#include <QString>

#include <memory>

class AppRoot;
class Prompter;
namespace pugi {
class xml_document;
}

// The program's own preferences. Read at start-up; every change of what the file holds is told
// through changes(), so that whoever keeps the file can write it soon after.
class clsOptions {
public:
    clsOptions();
    ~clsOptions();

    void setParent(AppRoot *in_obj) { m_parent = in_obj; }
    AppRoot *Parent() const { return m_parent; }

    bool PingGRServersOnStartup() const { return m_pingOnStartup; }
    void setPingGRServersOnStartup(bool in_bln) { m_changed.update(m_pingOnStartup, in_bln); }
    bool RecordStats() const { return m_recordStats; }
    void setRecordStats(bool in_bln) { m_changed.update(m_recordStats, in_bln); }
    bool ShowTips() const { return m_showTips; }
    void setShowTips(bool in_bln) { m_changed.update(m_showTips, in_bln); }
    const QString &StatsPath() const { return m_statsPath; }
    void setStatsPath(const QString &in_str) { m_changed.update(m_statsPath, in_str); }
    const QString &RogerWilcoEXE() const { return m_rogerWilcoExe; }
    void setRogerWilcoEXE(const QString &in_str) { m_changed.update(m_rogerWilcoExe, in_str); }
    const QString &UserName() const { return m_userName; }
    void setUserName(const QString &in_str) { m_changed.update(m_userName, in_str); }
    const QString &UserEmail() const { return m_userEmail; }
    void setUserEmail(const QString &in_str) { m_changed.update(m_userEmail, in_str); }
    qint32 LastTip() const { return m_lastTip; }
    void setLastTip(qint32 in_lng) { m_changed.update(m_lastTip, in_lng); }

    const KeyedCollection<QString> &PlayerNames() const { return m_playerNames; }
    void AddPlayerName(const QString &in_strName);
    void RemovePlayerName(const QString &in_strName);
    bool IsRogerWilcoSetup() const;

    // Told of every change of a value the file holds (not of those Load makes).
    ChangeNotice &changes() { return m_changed; }

    // Reads the preferences file (a missing or unreadable one gives the defaults), fills both
    // server collections and imports the game's own server list. Failures are asked about,
    // never thrown.
    void Load(const QString &in_strPath);
    // Writes every member and both lists. The file is replaced whole or not at all; a failure
    // throws QuorvelError naming the file and the reason.
    void Save(const QString &in_strPath);
    // What Save writes, without writing it.
    QByteArray serialise();
    // Replaces the file at `path` with `bytes`, whole or not at all; throws QuorvelError naming
    // the file and the reason. Touches nothing else, so it may run on any thread.
    static void writeFile(const QString &path, const QByteArray &bytes);
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
    ChangeNotice m_changed;
};
