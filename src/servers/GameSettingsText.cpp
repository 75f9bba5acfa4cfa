#include "servers/GameSettingsText.h"

#include <QStringList>

namespace {
bool countsRespawns(int type) {
    return type == 1 || type == 2;
}

QString respawnTypeName(int type) {
    switch (type) {
    case 0:
        return QStringLiteral("None");
    case 1:
        return QStringLiteral("Individual");
    case 2:
        return QStringLiteral("Team");
    case 3:
        return QStringLiteral("Infinite");
    default:
        return GameSettingsText::unknown();
    }
}
} // namespace

QString GameSettingsText::patch(std::optional<grquery::Patch> patch) {
    if (!patch)
        return notGiven();
    const QString number = grquery::patchNumber(*patch);
    if (number.isEmpty())
        return unknown();
    // The expansions' servers send the last patch's signature.
    return *patch == grquery::Patch::V1_4
               ? number + QStringLiteral(" (Desert Siege, Island Thunder)")
               : number;
}

QString GameSettingsText::gameMode(std::optional<int> code) {
    if (!code)
        return notGiven();
    switch (*code) {
    case 2:
        return QStringLiteral("Co-operative");
    case 3:
        return QStringLiteral("Solo");
    case 4:
        return QStringLiteral("Team");
    default:
        return unknown();
    }
}

QString GameSettingsText::respawns(const grquery::GameSettings &s) {
    if (!s.respawnType)
        return notGiven();
    QString text = respawnTypeName(*s.respawnType);
    if (countsRespawns(*s.respawnType) && s.respawnCount)
        text += *s.respawnCount == 1 ? QStringLiteral(", 1 respawn")
                                     : QStringLiteral(", %1 respawns").arg(*s.respawnCount);
    return text;
}

QString GameSettingsText::respawnWaits(const grquery::GameSettings &s) {
    if (!s.respawnWaitShortest || !s.respawnWaitLongest || s.respawnType == 0)
        return notGiven();
    QString text = *s.respawnWaitShortest == *s.respawnWaitLongest
                       ? duration(s.respawnWaitShortest)
                       : duration(s.respawnWaitShortest) + QStringLiteral(" to ") +
                             duration(s.respawnWaitLongest);
    if (s.respawnInvulnerable && *s.respawnInvulnerable > 0)
        text += QStringLiteral(", then invulnerable for ") + duration(s.respawnInvulnerable);
    return text;
}

QString GameSettingsText::iff(std::optional<int> code) {
    if (!code)
        return notGiven();
    switch (*code) {
    case 0:
        return QStringLiteral("None");
    case 1:
        return QStringLiteral("Reticle");
    case 2:
        return QStringLiteral("Names");
    default:
        return unknown();
    }
}

QString GameSettingsText::onOff(std::optional<bool> on) {
    if (!on)
        return notGiven();
    return *on ? QStringLiteral("On") : QStringLiteral("Off");
}

QString GameSettingsText::allowed(std::optional<bool> allowed) {
    if (!allowed)
        return notGiven();
    return *allowed ? QStringLiteral("Allowed") : QStringLiteral("Not allowed");
}

QString GameSettingsText::startTimer(const grquery::GameSettings &s) {
    if (!s.startTimer)
        return notGiven();
    if (!*s.startTimer)
        return QStringLiteral("Off");
    return s.startTimerSeconds ? duration(s.startTimerSeconds) : QStringLiteral("On");
}

QString GameSettingsText::startWait(const grquery::GameSettings &s) {
    if (!s.startTimer || !*s.startTimer)
        return notGiven();
    return duration(s.startWaitSeconds);
}

QString GameSettingsText::weaponRestrictions(const std::optional<QString> &text) {
    if (!text)
        return notGiven();
    return text->trimmed().isEmpty() ? QStringLiteral("None") : *text;
}

QString GameSettingsText::duration(std::optional<qint32> seconds) {
    if (!seconds)
        return notGiven();
    const qint32 s = *seconds;
    if (s < 60)
        return QStringLiteral("%1 s").arg(s);
    const QString minutes = QStringLiteral("%1 min").arg(s / 60);
    return s % 60 ? minutes + QStringLiteral(" %1 s").arg(s % 60) : minutes;
}

QString GameSettingsText::team(int code) {
    if (code >= 1 && code <= 4)
        return QString::number(code);
    if (code == 5)
        return QStringLiteral("Unassigned");
    return unknown();
}

QString GameSettingsText::summary(const grquery::GameSettings &s) {
    QStringList parts;
    if (s.gameMode)
        parts << gameMode(s.gameMode);
    if (s.respawnType) {
        QString respawns = QStringLiteral("respawns: ") + respawnTypeName(*s.respawnType).toLower();
        if (countsRespawns(*s.respawnType) && s.respawnCount)
            respawns += QStringLiteral(" (%1)").arg(*s.respawnCount);
        parts << respawns;
    }
    if (s.iff)
        parts << QStringLiteral("IFF: ") + iff(s.iff).toLower();
    if (s.threatIndicator)
        parts << QStringLiteral("threat indicator: ") + onOff(s.threatIndicator).toLower();
    return parts.join(QStringLiteral(", "));
}
