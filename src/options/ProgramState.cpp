#include "options/ProgramState.h"

namespace {
constexpr char keepWatchingKey[] = "Tray/KeepWatchingWhenClosed";
}

ProgramState::ProgramState(const QString &fileName)
    : m_file(fileName) {}

bool ProgramState::keepWatchingInTray() const {
    return m_file.value(keepWatchingKey, false).toBool();
}

void ProgramState::setKeepWatchingInTray(bool on) {
    m_file.setValue(keepWatchingKey, on);
    // An unwritable file keeps the choice for this run; nothing more to do about it.
    m_file.save();
}
