// Rip speed benchmark. From the repository:
//   cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo && cmake --build build --target rip_bench && build/bench/rip_bench
//
// Rips every track of a generated ten-minute disc image through ExtractTrackTo and prints the
// speed in times real time, beside libcdio's own ripper cd-paranoia reading the same image in
// batch mode in the same run (same error correction, 20 retries). Target: at least as fast.
// Each figure is the best of three rounds, the rounds taken in turn.

#include "disc_image.h"
#include "rip.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace TestDisc;

namespace {

constexpr int Tracks = 4;
constexpr int TrackSeconds = 150;
constexpr double DiscSeconds = Tracks * TrackSeconds;

// Seconds that work takes, or a negative value when it fails.
double Seconds(const std::function<bool()> &work)
{
    QElapsedTimer timer;
    timer.start();
    const bool done = work();
    return done ? double(timer.nsecsElapsed()) / 1e9 : -1;
}

bool RipAll(const QByteArray &cue, const QString &folder)
{
    const QByteArray target = QFile::encodeName(folder + QLatin1Char('/'));
    for (int track = 1; track <= Tracks; ++track) {
        if (ExtractTrackTo(cue.constData(), track, target.constData(), nullptr, 0) == 0)
            return false;
    }
    return true;
}

bool CdParanoiaAll(const QString &cue, const QString &folder)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(QStringLiteral("cd-paranoia"),
                  {QStringLiteral("-q"), QStringLiteral("-B"), QStringLiteral("-d"), cue,
                   QStringLiteral("1-")});
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
}

// Whether both rips hold the same samples (their headers may differ).
bool SameSamples(const QString &ours, const QString &theirs)
{
    for (int track = 1; track <= Tracks; ++track) {
        const QString number = QStringLiteral("%1").arg(track, 2, 10, QLatin1Char('0'));
        QFile a(ours + QStringLiteral("/Track") + number + QStringLiteral(".wav"));
        QFile b(theirs + QStringLiteral("/track") + number + QStringLiteral(".cdda.wav"));
        if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly)
            || a.readAll().mid(44) != b.readAll().mid(44))
            return false;
    }
    return true;
}

void Report(const char *what, double seconds)
{
    if (seconds < 0)
        std::printf("%-14s FAILED\n", what);
    else
        std::printf("%-14s %6.1f x real time  (%.0f s of audio in %.2f s)\n", what,
                    DiscSeconds / seconds, DiscSeconds, seconds);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QList<TTrack> tracks(Tracks, TTrack(TrackSeconds * SectorsPerSecond));
    const QString cue = WriteDiscImage(dir.path(), QStringLiteral("disc"), TDisc(tracks));
    if (cue.isEmpty()) {
        std::fprintf(stderr, "rip_bench: cannot write a disc image into %s\n",
                     qPrintable(dir.path()));
        return 1;
    }
    const QString ours = dir.filePath(QStringLiteral("ours"));
    const QString theirs = dir.filePath(QStringLiteral("cd-paranoia"));
    QDir().mkpath(ours);
    QDir().mkpath(theirs);

    double best[2] = {1e9, 1e9};
    for (int round = 0; round < 3; ++round) {
        const double times[2] = {Seconds([&] { return RipAll(QFile::encodeName(cue), ours); }),
                                 Seconds([&] { return CdParanoiaAll(cue, theirs); })};
        for (int i = 0; i < 2; ++i)
            best[i] = times[i] < 0 || best[i] < 0 ? -1 : std::min(best[i], times[i]);
    }
    std::printf("disc           %d tracks, %.0f s of CD audio\n", Tracks, DiscSeconds);
    Report("ExtractTrackTo", best[0]);
    Report("cd-paranoia", best[1]);
    if (best[0] > 0 && best[1] > 0) {
        std::printf("same samples   %s\n", SameSamples(ours, theirs) ? "yes" : "NO");
        std::printf("ratio          %6.2f  (ours / cd-paranoia in times real time; target 1.00)\n",
                    best[1] / best[0]);
    }
    return best[0] > 0 ? 0 : 1;
}
