#pragma once

#include <QString>

// Reads and writes the handful of values the program edits in the game's own options.xml.
// Callers run Load, then gets and sets, then Save for a change.
class clsOptionsXML {
public:
    explicit clsOptionsXML(const QString &rootDirectory);
    ~clsOptionsXML();

    // Whether the file existed when this object was made.
    bool FileExists() const { return m_fileExists; }
    const QString &path() const { return m_path; }

    bool IsLoaded() const;
    void Load();
    // Writes the held document back; throws QuorvelError naming the file and the reason when
    // it cannot be written (the file on disk is then left as it was).
    void Save();

    bool ShowDeadBodies() const;
    void setShowDeadBodies(bool in_bln);
    bool ShowFrameRate() const;
    void setShowFrameRate(bool in_bln);
    QString PlayerName() const;
    void setPlayerName(const QString &in_str);
    qint32 RetColor() const;
    void setRetColor(qint32 in_lng);
    qint32 IFFRetColor() const;
    void setIFFRetColor(qint32 in_lng);
    // Blanks the first entry of the game's server list with this address.
    void RemoveGRServer(const QString &in_strIP);

private:
    QString m_path;
    bool m_fileExists = false;
};
