#include "playlists/player.h"

#include "app/settings.h"
#include "catalog/catalog_file.h"
#include "catalog/catalog_record.h"
#include "playlists/playlist_file.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

namespace {

TProgramLauncher &Launcher()
{
    static TProgramLauncher launcher;
    return launcher;
}

// How long the desktop opener may take to report a failure.
constexpr int OpenerWaitMs = 3000;

// xdg-open ends at once with a non-zero code when no program is associated with the file. On a
// desktop it returns as soon as the program runs; without one it runs the program itself and
// returns only when that ends. So an opener that is still running after a short wait has
// started the program, and only a quick failure sends the file on to the player.
bool RunDesktopOpener(const QString &program, const QStringList &arguments)
{
    auto *process = new QProcess;
    process->setProgram(program);
    process->setArguments(arguments);
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

bool Launch(const QString &program, const QStringList &arguments, bool desktopOpener)
{
    if (Launcher())
        return Launcher()(program, arguments);
    if (program.isEmpty())
        return false;
    if (desktopOpener)
        return RunDesktopOpener(program, arguments);
    return QProcess::startDetached(program, arguments);
}

} // namespace

TPlayerMessages &PlayerMessages()
{
    static TPlayerMessages messages;
    return messages;
}

void SetProgramLauncher(TProgramLauncher launcher)
{
    Launcher() = std::move(launcher);
}

int PlayFile(const QString &path)
{
    if (!Settings().UseWMP && Launch(QStringLiteral("xdg-open"), {path}, true))
        return 1;
    return Launch(Settings().Player, {path}, false) ? 1 : -1;
}

int PlayPlaylist(const QString &playlistPath, const QString &m3uPath)
{
    QStringList paths;
    const QStringList lines = ReadPlaylistLines(playlistPath);
    for (const QString &line : lines) {
        const TCatalogRecord record = ParseRecord(line);
        if (record.IsTrack() && QFileInfo(record.FileName).isFile())
            paths.append(record.FileName);
    }
    if (paths.isEmpty())
        return 0;
    WriteLinesAtomically(m3uPath, SortedUniqueIgnoringCase(paths));
    return PlayFile(m3uPath);
}
