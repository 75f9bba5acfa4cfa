#include "servers/SimProcess.h"

#include <QDeadlineTimer>
#include <QFile>

SimProcess::SimProcess(const QByteArray &scenarioJson, const QStringList &arguments,
                       const QString &networkNamespace) {
    const QString path = m_dir.filePath(QStringLiteral("scenario.json"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(scenarioJson);
    file.close();
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const QString sim = QStringLiteral(QUORVEL_BINARY_DIR "/tools/grq-sim/grq-sim");
    const QStringList simArguments = QStringList{QStringLiteral("--scenario"), path} + arguments;
    if (networkNamespace.isEmpty())
        m_process.start(sim, simArguments);
    else
        m_process.start(QStringLiteral("nsenter"),
                        QStringList{QStringLiteral("--net=") + networkNamespace, sim} +
                            simArguments);
    const QDeadlineTimer deadline(10000);
    while (!m_ready && !deadline.hasExpired() && m_process.state() != QProcess::NotRunning) {
        if (m_process.canReadLine() || m_process.waitForReadyRead(100))
            while (m_process.canReadLine())
                m_ready = m_ready || m_process.readLine().trimmed() == "ready";
    }
}

SimProcess::~SimProcess() {
    m_process.kill();
    m_process.waitForFinished(5000);
}
