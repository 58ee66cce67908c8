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
