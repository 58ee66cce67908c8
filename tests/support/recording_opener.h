#pragma once

#include "platform/file_opener.h"

#include <QStringList>

// A file opener that starts nothing: it notes each request as "xdg-open <path>" or
// "<program> <path>" and answers as it is told.
class TRecordingOpener : public TFileOpener {
public:
    bool OpenWithDesktop(const QString &path) override
    {
        Launches.append(QStringLiteral("xdg-open ") + path);
        return DesktopWorks;
    }

    bool OpenWith(const QString &program, const QString &path) override
    {
        Launches.append(program + QLatin1Char(' ') + path);
        return ProgramWorks;
    }

    QStringList Launches;
    bool DesktopWorks = false;
    bool ProgramWorks = true;
};

// Puts a recording opener in place of the system's for as long as it lives.
class TOpenerRecording {
public:
    TOpenerRecording()
    {
        auto opener = std::make_unique<TRecordingOpener>();
        m_opener = opener.get();
        SetFileOpener(std::move(opener));
    }
    ~TOpenerRecording() { SetFileOpener(nullptr); }
    TOpenerRecording(const TOpenerRecording &) = delete;
    TOpenerRecording &operator=(const TOpenerRecording &) = delete;

    TRecordingOpener *operator->() const { return m_opener; }

private:
    TRecordingOpener *m_opener;
};
