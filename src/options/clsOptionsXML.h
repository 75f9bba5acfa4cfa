#pragma once

#include <QString>

// Reads and writes the handful of values the program edits in the game's own options.xml.
class clsOptionsXML {
public:
    explicit clsOptionsXML(const QString &rootDirectory);
    ~clsOptionsXML();

    bool FileExists() const { return m_fileExists; }
    const QString &path() const { return m_path; }

private:
    QString m_path;
    bool m_fileExists = false;
};
