#include "options/clsOptions.h"

#include <QFileInfo>

clsOptions::clsOptions() = default;
clsOptions::~clsOptions() = default;

void clsOptions::AddPlayerName(const QString &in_strName) {
    m_playerNames.add(in_strName, in_strName);
}

void clsOptions::RemovePlayerName(const QString &in_strName) {
    m_playerNames.remove(in_strName);
}

bool clsOptions::IsRogerWilcoSetup() const {
    return !m_rogerWilcoExe.isEmpty() && QFileInfo(m_rogerWilcoExe).isFile();
}

void clsOptions::Load(const QString &in_strPath) {
    Q_UNUSED(in_strPath);
}

void clsOptions::Save(const QString &in_strPath) {
    Q_UNUSED(in_strPath);
}
