#pragma once

#include <QObject>

class QSocketNotifier;

namespace platform {

// Turns SIGTERM, SIGHUP and SIGINT into a Qt signal delivered on the event loop, so the program
// can end the way it ends when the player quits (saving the preferences) instead of dying with
// its changes unsaved. Only one instance may exist at a time; the previous handlers come back
// when it goes. Systems without such signals never emit it.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

signals:
    void terminationRequested(int signalNumber);

private:
    void readPipe();

    QSocketNotifier *m_notifier = nullptr;
};

} // namespace platform
