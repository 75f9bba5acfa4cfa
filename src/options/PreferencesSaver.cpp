#include "options/PreferencesSaver.h"

#include "common/Prompter.h"
#include "common/QuorvelError.h"
#include "options/clsOptions.h"

#include <QPointer>

PreferencesSaver::PreferencesSaver(clsOptions &options, QString path, Prompter &prompter,
                                   int delayMs, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_path(std::move(path))
    , m_prompter(prompter) {
    m_delay.setSingleShot(true);
    m_delay.setInterval(delayMs);
    connect(&m_delay, &QTimer::timeout, this, &PreferencesSaver::saveNow);
    m_writer.setMaxThreadCount(1);
}

PreferencesSaver::~PreferencesSaver() {
    m_writer.waitForDone();
}

void PreferencesSaver::schedule() {
    if (m_stopped)
        return;
    // The delay is not restarted by later changes: a steady stream of them is still written
    // every `delayMs`.
    if (!m_delay.isActive())
        m_delay.start();
}

void PreferencesSaver::stop() {
    m_stopped = true;
    m_delay.stop();
    m_again = false;
    m_writer.waitForDone();
    m_writing = false;
}

void PreferencesSaver::saveNow() {
    if (m_stopped)
        return;
    if (m_writing || m_asking) {
        m_again = true;
        return;
    }
    m_writing = true;
    m_writer.start([this, path = m_path, bytes = m_options.serialise()] {
        QString error;
        try {
            clsOptions::writeFile(path, bytes);
        } catch (const std::exception &e) {
            const auto *own = dynamic_cast<const QuorvelError *>(&e);
            error = own ? own->description() : QString::fromLocal8Bit(e.what());
        }
        // The saver waits for this task before it goes, so it is still there to be told.
        QMetaObject::invokeMethod(
            this, [this, error] { finished(error); }, Qt::QueuedConnection);
    });
}

void PreferencesSaver::finished(const QString &error) {
    if (m_stopped)
        return;
    m_writing = false;
    emit written(error);
    if (error.isEmpty()) {
        m_quiet = false;
    } else if (!m_quiet) {
        // Told once; after Cancel, later writes are still tried at each change, without a box
        // until one succeeds. The write at the end of the run asks again if it fails.
        m_asking = true;
        const QPointer<PreferencesSaver> alive(this);
        const Answer answer =
            m_prompter.ask(error, titles::error, Buttons::RetryCancel, Icon::Critical);
        if (!alive)
            return;
        m_asking = false;
        if (answer == Answer::Retry) {
            m_again = false;
            saveNow();
            return;
        }
        m_quiet = true;
    }
    if (m_again) {
        m_again = false;
        saveNow();
    }
}
