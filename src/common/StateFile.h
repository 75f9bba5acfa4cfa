#pragma once

#include <QSettings>
#include <QString>
#include <QVariant>

// Our own settings that the preferences file does not hold (how the windows were left, the
// lists' order and filters, and the like): a small INI file beside the preferences. Losing it
// loses nothing of the player's: every reader has a default.
class StateFile {
public:
    explicit StateFile(const QString &path);

    QVariant value(QAnyStringView key, const QVariant &fallback = {}) const;
    void setValue(QAnyStringView key, const QVariant &value);
    // Writes the file; false when it could not be written.
    bool save();

private:
    QSettings m_settings;
};
