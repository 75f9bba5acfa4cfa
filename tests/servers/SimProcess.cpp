#include "servers/SimProcess.h"

#include <QDeadlineTimer>
#include <QFile>

QString SimProcess::program() {
    return QStringLiteral(QUORVEL_BINARY_DIR "/tools/grq-sim/grq-sim");
}

SimProcess::SimProcess(QStringList arguments, const QByteArray &scenarioJson) {
    if (!scenarioJson.isEmpty()) {
        const QString path = m_dir.filePath(QStringLiteral("scenario.json"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(scenarioJson);
        arguments << QStringLiteral("--scenario") << path;
    }
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(program(), arguments);
    const QDeadlineTimer deadline(10000);
    QByteArray pending;
    while (!m_ready && !deadline.hasExpired() && m_process.state() != QProcess::NotRunning) {
        if (!m_process.canReadLine() && !m_process.waitForReadyRead(100))
            continue;
        while (m_process.canReadLine()) {
            const QString line = QString::fromLatin1(m_process.readLine()).trimmed();
            if (line == u"ready")
                m_ready = true;
            else
                m_addresses << line;
        }
    }
}

SimProcess::~SimProcess() {
    m_process.kill();
    m_process.waitForFinished(5000);
}
