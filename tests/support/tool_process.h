#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>

// Runs a tool of folder directly after writing its parameter file, for the cases where the
// exit code, the crash status and the standard error line matter.
struct TToolRun {
    int exitCode = -1;
    bool crashed = true;
    QByteArray standardError;
};

inline TToolRun RunToolWith(const QString &folder, const QString &tool,
                            const QByteArray &parameters)
{
    TToolRun run;
    QFile prm(folder + QLatin1Char('/') + tool + QStringLiteral(".prm"));
    if (!prm.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || prm.write(parameters) != parameters.size())
        return run;
    prm.close();
    QProcess process;
    process.start(folder + QLatin1Char('/') + tool, QStringList());
    if (!process.waitForFinished(60000))
        return run;
    run.exitCode = process.exitCode();
    run.crashed = process.exitStatus() != QProcess::NormalExit;
    run.standardError = process.readAllStandardError();
    return run;
}
