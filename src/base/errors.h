#pragma once

#include <QString>
#include <stdexcept>

// The program's own failure with a text for the user.
class EQuavermill : public std::runtime_error {
public:
    explicit EQuavermill(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

// A failed system call; carries errno and the system's text for it.
class ESystemError : public EQuavermill {
public:
    explicit ESystemError(int error, const QString &context = QString());
    // The same with the program's own words for the reason ("is a folder").
    ESystemError(int error, const QString &context, const QString &reason);
    int error() const { return m_error; }
    // What went wrong without the context ("Permission denied").
    const QString &reason() const { return m_reason; }

private:
    int m_error;
    QString m_reason;
};

// The system's text for an errno value ("No space left on device").
QString SystemErrorText(int error);

// Turns whatever was thrown into the text shown to the user (empty for unknown failures).
QString ErrorText(std::exception_ptr error);
