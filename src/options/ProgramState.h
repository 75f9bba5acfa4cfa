#pragma once

#include <QSettings>
#include <QString>

// The program's own choices that the preferences file does not hold, in a small INI file
// beside it. Each change is written at once.
class ProgramState {
public:
    explicit ProgramState(const QString &fileName);

    // The file's name, beside the preferences.
    static QString fileName() { return QStringLiteral("GRQuorvelState.ini"); }

    // Closing the main window hides it while watches or buddies are kept, instead of ending.
    bool keepWatchingInTray() const;
    void setKeepWatchingInTray(bool on);

private:
    void write(const QString &key, const QVariant &value);

    mutable QSettings m_settings;
};
