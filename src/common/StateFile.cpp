#include "common/StateFile.h"

StateFile::StateFile(const QString &path)
    : m_settings(path, QSettings::IniFormat) {}

QVariant StateFile::value(QAnyStringView key, const QVariant &fallback) const {
    return m_settings.value(key, fallback);
}

void StateFile::setValue(QAnyStringView key, const QVariant &value) {
    m_settings.setValue(key, value);
}

bool StateFile::save() {
    m_settings.sync();
    return m_settings.status() == QSettings::NoError;
}
