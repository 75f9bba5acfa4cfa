#pragma once

// What a test changes in the process or on disk for a while, put back when the scope ends,
// also when an assertion ends the test early.

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include <sys/types.h>
#include <unistd.h>

// An environment variable set (or, with a null value, removed) for the scope.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const QByteArray &value)
        : m_name(name)
        , m_had(qEnvironmentVariableIsSet(name))
        , m_old(qgetenv(name)) {
        set(value);
    }
    ~ScopedEnv() { m_had ? qputenv(m_name.constData(), m_old) : qunsetenv(m_name.constData()); }
    ScopedEnv(const ScopedEnv &) = delete;
    ScopedEnv &operator=(const ScopedEnv &) = delete;

    void set(const QByteArray &value) const {
        value.isNull() ? qunsetenv(m_name.constData()) : qputenv(m_name.constData(), value);
    }

private:
    QByteArray m_name;
    bool m_had;
    QByteArray m_old;
};

// Random numbers for a test, from a seed that a failure reports. QUORVEL_TEST_SEED repeats a
// run; without it every run takes a new seed.
class SeededRandom {
public:
    SeededRandom()
        : m_seed(chooseSeed())
        , m_generator(m_seed)
        , m_trace(__FILE__, __LINE__, "random seed " + std::to_string(m_seed)) {}

    // A number in [low, high).
    int bounded(int low, int high) { return m_generator.bounded(low, high); }
    int bounded(int high) { return m_generator.bounded(high); }

private:
    static quint32 chooseSeed() {
        bool ok = false;
        const quint32 given = qEnvironmentVariable("QUORVEL_TEST_SEED").toUInt(&ok);
        return ok ? given : QRandomGenerator::system()->generate();
    }

    quint32 m_seed;
    QRandomGenerator m_generator;
    ::testing::ScopedTrace m_trace;
};

// What the process writes to its standard error for the scope, kept in a file of its own.
class CapturedStderr {
public:
    CapturedStderr() {
        std::fflush(stderr);
        m_file = std::tmpfile();
        m_saved = ::dup(STDERR_FILENO);
        EXPECT_TRUE(m_file && m_saved >= 0 && ::dup2(::fileno(m_file), STDERR_FILENO) >= 0);
    }
    ~CapturedStderr() {
        restore();
        if (m_file)
            std::fclose(m_file);
    }
    CapturedStderr(const CapturedStderr &) = delete;
    CapturedStderr &operator=(const CapturedStderr &) = delete;

    // Everything written so far; the standard error is the test's own again from here on.
    QString text() {
        restore();
        QByteArray bytes;
        if (m_file) {
            std::rewind(m_file);
            char buffer[4096];
            for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, m_file)) > 0;)
                bytes.append(buffer, static_cast<qsizetype>(n));
        }
        return QString::fromLocal8Bit(bytes);
    }

private:
    void restore() {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
        m_saved = -1;
    }

    std::FILE *m_file = nullptr;
    int m_saved = -1;
};
