#include "servers/GameSettingsText.h"

#include <QCoreApplication>
#include <QStringList>

namespace {
// The summary writes its words in lower case where the language does ("respawns: team"); a
// language whose nouns keep their capital says so through its translation of "lower".
QString inSentence(const QString &word) {
    return QCoreApplication::translate("GameSettingsText", "lower",
                                       "'keep' where words keep their case inside a sentence") ==
                   u"keep"
               ? word
               : word.toLower();
}

bool countsRespawns(int type) {
    return type == 1 || type == 2;
}

QString respawnTypeName(int type) {
    switch (type) {
    case 0:
        return QCoreApplication::translate("GameSettingsText", "None");
    case 1:
        return QCoreApplication::translate("GameSettingsText", "Individual");
    case 2:
        return QCoreApplication::translate("GameSettingsText", "Team");
    case 3:
        return QCoreApplication::translate("GameSettingsText", "Infinite");
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
               ? number + QCoreApplication::translate("GameSettingsText",
                                                      " (Desert Siege, Island Thunder)")
               : number;
}

QString GameSettingsText::gameMode(std::optional<int> code) {
    if (!code)
        return notGiven();
    switch (*code) {
    case 2:
        return QCoreApplication::translate("GameSettingsText", "Co-operative");
    case 3:
        return QCoreApplication::translate("GameSettingsText", "Solo");
    case 4:
        return QCoreApplication::translate("GameSettingsText", "Team");
    default:
        return unknown();
    }
}

QString GameSettingsText::respawns(const grquery::GameSettings &s) {
    if (!s.respawnType)
        return notGiven();
    QString text = respawnTypeName(*s.respawnType);
    if (countsRespawns(*s.respawnType) && s.respawnCount)
        text += *s.respawnCount == 1
                    ? QCoreApplication::translate("GameSettingsText", ", 1 respawn")
                    : QCoreApplication::translate("GameSettingsText", ", %1 respawns")
                          .arg(*s.respawnCount);
    return text;
}

QString GameSettingsText::respawnWaits(const grquery::GameSettings &s) {
    if (!s.respawnWaitShortest || !s.respawnWaitLongest || s.respawnType == 0)
        return notGiven();
    QString text = *s.respawnWaitShortest == *s.respawnWaitLongest
                       ? duration(s.respawnWaitShortest)
                       : QCoreApplication::translate("GameSettingsText", "%1 to %2")
                             .arg(duration(s.respawnWaitShortest), duration(s.respawnWaitLongest));
    if (s.respawnInvulnerable && *s.respawnInvulnerable > 0)
        text += QCoreApplication::translate("GameSettingsText", ", then invulnerable for %1")
                    .arg(duration(s.respawnInvulnerable));
    return text;
}

QString GameSettingsText::iff(std::optional<int> code) {
    if (!code)
        return notGiven();
    switch (*code) {
    case 0:
        return QCoreApplication::translate("GameSettingsText", "None");
    case 1:
        return QCoreApplication::translate("GameSettingsText", "Reticle");
    case 2:
        return QCoreApplication::translate("GameSettingsText", "Names");
    default:
        return unknown();
    }
}

QString GameSettingsText::onOff(std::optional<bool> on) {
    if (!on)
        return notGiven();
    return *on ? QCoreApplication::translate("GameSettingsText", "On")
               : QCoreApplication::translate("GameSettingsText", "Off");
}

QString GameSettingsText::allowed(std::optional<bool> allowed) {
    if (!allowed)
        return notGiven();
    return *allowed ? QCoreApplication::translate("GameSettingsText", "Allowed")
                    : QCoreApplication::translate("GameSettingsText", "Not allowed");
}

QString GameSettingsText::startTimer(const grquery::GameSettings &s) {
    if (!s.startTimer)
        return notGiven();
    if (!*s.startTimer)
        return QCoreApplication::translate("GameSettingsText", "Off");
    return s.startTimerSeconds ? duration(s.startTimerSeconds)
                               : QCoreApplication::translate("GameSettingsText", "On");
}

QString GameSettingsText::startWait(const grquery::GameSettings &s) {
    if (!s.startTimer || !*s.startTimer)
        return notGiven();
    return duration(s.startWaitSeconds);
}

QString GameSettingsText::weaponRestrictions(const std::optional<QString> &text) {
    if (!text)
        return notGiven();
    return text->trimmed().isEmpty() ? QCoreApplication::translate("GameSettingsText", "None")
                                     : *text;
}

QString GameSettingsText::duration(std::optional<qint32> seconds) {
    if (!seconds)
        return notGiven();
    const qint32 s = *seconds;
    if (s < 60)
        return QCoreApplication::translate("GameSettingsText", "%1 s").arg(s);
    const QString minutes = QCoreApplication::translate("GameSettingsText", "%1 min").arg(s / 60);
    return s % 60
               ? QCoreApplication::translate("GameSettingsText", "%1 %2 s").arg(minutes).arg(s % 60)
               : minutes;
}

QString GameSettingsText::team(int code) {
    if (code >= 1 && code <= 4)
        return QString::number(code);
    if (code == 5)
        return QCoreApplication::translate("GameSettingsText", "Unassigned");
    return unknown();
}

QString GameSettingsText::summary(const grquery::GameSettings &s) {
    QStringList parts;
    if (s.gameMode)
        parts << gameMode(s.gameMode);
    if (s.respawnType) {
        QString respawns = QCoreApplication::translate("GameSettingsText", "respawns: %1")
                               .arg(inSentence(respawnTypeName(*s.respawnType)));
        if (countsRespawns(*s.respawnType) && s.respawnCount)
            respawns += QStringLiteral(" (%1)").arg(*s.respawnCount);
        parts << respawns;
    }
    if (s.iff)
        parts << QCoreApplication::translate("GameSettingsText", "IFF: %1")
                     .arg(inSentence(iff(s.iff)));
    if (s.threatIndicator)
        parts << QCoreApplication::translate("GameSettingsText", "threat indicator: %1")
                     .arg(inSentence(onOff(s.threatIndicator)));
    return parts.join(QStringLiteral(", "));
}

QString GameSettingsText::notGiven() {
    return QCoreApplication::translate("GameSettingsText", "n/a");
}

QString GameSettingsText::unknown() {
    return QCoreApplication::translate("GameSettingsText", "Unknown");
}
