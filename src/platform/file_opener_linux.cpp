#include "platform/file_opener_linux.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>

namespace {

// How long the desktop opener may take to report a failure.
constexpr int OpenerWaitMs = 3000;

} // namespace

// xdg-open ends at once with a non-zero code when no program is associated with the file. On a
// desktop it returns as soon as the program runs; without one it runs the program itself and
// returns only when that ends. So an opener that is still running after a short wait has
// started the program, and only a quick failure sends the file on to the player.
bool TLinuxFileOpener::OpenWithDesktop(const QString &path)
{
    auto *process = new QProcess;
    process->setProgram(QStringLiteral("xdg-open"));
    process->setArguments({path});
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start();
    if (!process->waitForStarted()) {
        delete process;
        return false;
    }
    QEventLoop loop;
    QObject::connect(process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(OpenerWaitMs, &loop, &QEventLoop::quit);
    if (process->state() != QProcess::NotRunning)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (process->state() != QProcess::NotRunning) {
        // Left to run on its own; the object goes when the opener ends.
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return true;
    }
    const bool opened = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    delete process;
    return opened;
}

bool TLinuxFileOpener::OpenWith(const QString &program, const QString &path)
{
    return !program.isEmpty() && QProcess::startDetached(program, {path});
}
