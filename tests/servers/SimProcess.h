#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// A running grq-sim, ended when this goes. `addresses()` is what it said it serves.
class SimProcess {
public:
    // Starts grq-sim with `arguments`, plus a scenario file holding `scenarioJson` when given,
    // and waits for its "ready" line.
    explicit SimProcess(QStringList arguments, const QByteArray &scenarioJson = {});
    ~SimProcess();
    SimProcess(const SimProcess &) = delete;
    SimProcess &operator=(const SimProcess &) = delete;

    bool isReady() const { return m_ready; }
    const QStringList &addresses() const { return m_addresses; }
    static QString program();

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QStringList m_addresses;
    bool m_ready = false;
};
