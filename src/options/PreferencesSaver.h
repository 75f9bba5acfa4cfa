#pragma once

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

class clsOptions;
class Prompter;

// Keeps the preferences file up to date while the program runs, so that a crash or a kill loses
// nothing the player changed: a change is written shortly after it happens, a burst of changes
// in one write.
//
// The file's text is made on the calling thread (the preferences and both lists belong to it);
// the disk work is done on a thread of the saver's own, one write at a time, so a slow disk
// never holds up the window. A change that comes while a write is under way is written after
// it, with the state of that moment.
class PreferencesSaver : public QObject {
    Q_OBJECT
public:
    PreferencesSaver(clsOptions &options, QString path, Prompter &prompter, int delayMs,
                     QObject *parent = nullptr);
    // Waits for a write under way.
    ~PreferencesSaver() override;

    // Something the file holds changed: it is written `delayMs` after the first change not yet
    // written.
    void schedule();
    // Ends the saver's work before the final write of the run: nothing more is scheduled or
    // started, and a write under way is waited for, so that the final write comes last.
    void stop();

    bool isPending() const { return m_delay.isActive() || m_writing || m_again; }

signals:
    // A write ended; `error` is empty when the file was replaced.
    void written(const QString &error);

private:
    void saveNow();
    void finished(const QString &error);

    clsOptions &m_options;
    QString m_path;
    Prompter &m_prompter;
    QTimer m_delay;
    QThreadPool m_writer;
    bool m_writing = false;
    bool m_again = false;  // changed while a write was under way
    bool m_asking = false; // a failure is being shown
    bool m_quiet = false;  // the player was told of a failure and chose not to retry
    bool m_stopped = false;
};
