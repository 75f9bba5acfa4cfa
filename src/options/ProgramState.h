#pragma once

#include "common/StateFile.h"

#include <QString>

// The program's own choices that the preferences file does not hold, kept in the state file
// beside it (with how the windows were left). Each change is written at once.
class ProgramState {
public:
    explicit ProgramState(const QString &fileName);

    // The file's name, beside the preferences.
    static QString fileName() { return QStringLiteral("GRQuorvelState.ini"); }

    // Closing the main window hides it while watches or buddies are kept, instead of ending.
    bool keepWatchingInTray() const;
    void setKeepWatchingInTray(bool on);

private:
    StateFile m_file;
};
