#include "options/ProgramState.h"

namespace {
const QString keepWatchingKey = QStringLiteral("Tray/KeepWatchingWhenClosed");
}

ProgramState::ProgramState(const QString &fileName)
    : m_settings(fileName, QSettings::IniFormat) {}

bool ProgramState::keepWatchingInTray() const {
    return m_settings.value(keepWatchingKey, false).toBool();
}

void ProgramState::setKeepWatchingInTray(bool on) {
    write(keepWatchingKey, on);
}

void ProgramState::write(const QString &key, const QVariant &value) {
    m_settings.setValue(key, value);
    // An unwritable file keeps the choice for this run; nothing more to do about it.
    m_settings.sync();
}
