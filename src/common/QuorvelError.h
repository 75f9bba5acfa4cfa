#pragma once

#include <QString>

#include <exception>

// A failure with a description meant for the player, and the number by which some handlers
// recognise it (13 type mismatch, 6 overflow, 126 a send the system asks to repeat, ...).
class QuorvelError : public std::exception {
public:
    explicit QuorvelError(QString description, int number = 0)
        : m_description(std::move(description))
        , m_number(number)
        , m_utf8(m_description.toUtf8()) {}

    const QString &description() const { return m_description; }
    int number() const { return m_number; }
    const char *what() const noexcept override { return m_utf8.constData(); }

    static constexpr int TypeMismatch = 13;
    static constexpr int Overflow = 6;

private:
    QString m_description;
    int m_number;
    QByteArray m_utf8;
};
