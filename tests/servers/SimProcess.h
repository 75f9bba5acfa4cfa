#pragma once

#include <QProcess>
#include <QTemporaryDir>

// A running grq-sim serving the scenario `scenarioJson`, ended when this goes.
class SimProcess {
public:
    // Starts grq-sim, with `arguments` besides the scenario, and waits for its "ready" line.
    // With `networkNamespace` (a path `nsenter --net=` takes) it runs inside that namespace.
    explicit SimProcess(const QByteArray &scenarioJson, const QStringList &arguments = {},
                        const QString &networkNamespace = {});
    ~SimProcess();
    SimProcess(const SimProcess &) = delete;
    SimProcess &operator=(const SimProcess &) = delete;

    bool isReady() const { return m_ready; }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    bool m_ready = false;
};
