#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>

// Runs a tool of folder directly, for the cases where the exit code, the crash status and the
// standard error line matter. A tool that has not ended after timeoutMs is killed and counts
// as crashed: a test of input that could make a tool hang fails instead of hanging itself.
struct TToolRun {
    int exitCode = -1;
    bool crashed = true;
    QByteArray standardError;
};

inline TToolRun RunToolIn(const QString &folder, const QString &tool, int timeoutMs = 60000)
{
    TToolRun run;
    QProcess process;
    process.start(folder + QLatin1Char('/') + tool, QStringList());
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitCode();
    run.crashed = process.exitStatus() != QProcess::NormalExit;
    run.standardError = process.readAllStandardError();
    return run;
}

// The same after writing the tool's parameter file.
inline TToolRun RunToolWith(const QString &folder, const QString &tool,
                            const QByteArray &parameters)
{
    QFile prm(folder + QLatin1Char('/') + tool + QStringLiteral(".prm"));
    if (!prm.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || prm.write(parameters) != parameters.size())
        return {};
    prm.close();
    return RunToolIn(folder, tool);
}
