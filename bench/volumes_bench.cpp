// Volumes benchmark: what one question for the volumes costs, as the media watch and the folder
// chooser ask it every second and the description page every three: this machine's mounts and
// optical drives, and a table with an audio CD of 20 tracks (a CUE/BIN image) whose table of
// contents is read once and then kept, beside reading it at every question.
//
//   cmake --build build --target volumes_bench && build/bench/volumes_bench

#include "disc_image.h"
#include "platform/audio_cd.h"
#include "platform/volume_table.h"
#include "platform/volumes.h"
#include "platform/volumes_linux.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

// Microseconds per call, over count calls.
static double PerCall(int count, const std::function<void()> &call)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i)
        call();
    return double(timer.nsecsElapsed()) / 1e3 / count;
}

int main()
{
    constexpr int Calls = 1000;
    TLinuxVolumeSource systemSource;
    const double system = PerCall(Calls, [&] { systemSource.ReadVolumes(); });
    const int systemVolumes = int(systemSource.ReadVolumes().size());

    QTemporaryDir dir;
    QList<TestDisc::TTrack> tracks;
    for (int i = 0; i < 20; ++i)
        tracks.append(TestDisc::TTrack(TestDisc::SectorsPerSecond));
    const QString cue =
        TestDisc::WriteDiscImage(dir.path(), QStringLiteral("disc"), TestDisc::TDisc(tracks));
    QFile table(dir.filePath(QStringLiteral("volumes.txt")));
    if (cue.isEmpty() || !table.open(QIODevice::WriteOnly)
        || table.write("disk\tfixed\t1\ncd\tcd\t1\tdisc.cue\n") < 0) {
        std::fprintf(stderr, "volumes_bench: cannot prepare %s\n", qPrintable(dir.path()));
        return 1;
    }
    table.close();
    TTableVolumeSource tableSource(table.fileName());

    QElapsedTimer first;
    first.start();
    const TVolumeList volumes(tableSource.ReadVolumes());
    const double firstCall = double(first.nsecsElapsed()) / 1e3;
    const double cached = PerCall(Calls, [&] { tableSource.ReadVolumes(); });
    const double uncached = PerCall(Calls, [&] { ReadDiscContents(cue); });

    std::printf("this machine (%2d volumes):          %8.1f us per question\n", systemVolumes,
                system);
    std::printf(
        "table with a 20-track audio CD:     %8.1f us the first question (reads the disc)\n",
        firstCall);
    std::printf("                                   %8.1f us per later question (target: < 1000)\n",
                cached);
    std::printf("reading the disc at each question: %8.1f us more per question\n", uncached);
    std::printf("tracks listed: %lld\n",
                qlonglong(volumes.ListFolder(dir.filePath(QStringLiteral("cd/"))).Files.size()));
    return 0;
}
