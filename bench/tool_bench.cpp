// Tool round-trip benchmark. From the repository (files defaults to 2000):
//   cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo && cmake --build build --target tool_bench wma wma-update wav2wma && build/bench/tool_bench [files]
//
// The scan starts the tag tool once per file, so ReadWmaTags's rate is the scan's speed. This
// reads the tags of N generated, tagged MP3 files through ReadWmaTags and prints the rate
// beside two floors measured in the same run: the same files read in-process with TagLib, and
// N starts of a program that does nothing (/bin/true) through the same RunTool. It also prints
// the rate for a file that the tool's own reader hands to its TagLib half. It then converts
// five minutes of CD audio with wav2wma and prints seconds of audio per second.

#include "base/locations.h"
#include "exchange/run_tool.h"
#include "exchange/tool_files.h"
#include "test_media.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <taglib/mpegfile.h>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace TestMedia;

// Runs work count times and returns the rate per second.
static double Rate(int count, const std::function<void(int)> &work)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i)
        work(i);
    return count / (double(timer.nsecsElapsed()) / 1e9);
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 2000;
    QTemporaryDir dir;
    if (!dir.isValid() || count <= 0
        || !InstallTools(
            dir.path(),
            {QStringLiteral("wma"), QStringLiteral("wma-update"), QStringLiteral("wav2wma")})) {
        std::fprintf(stderr,
                     "tool_bench: cannot prepare %s (build wma, wma-update and wav2wma first)\n",
                     qPrintable(dir.path()));
        return 1;
    }
    SetProgramFolder(dir.path());

    const QString music = dir.filePath(QStringLiteral("music"));
    QDir().mkpath(music);
    QStringList files;
    for (int i = 0; i < count; ++i) {
        const QString path =
            QStringLiteral("%1/Track %2.mp3").arg(music).arg(i, 4, 10, QLatin1Char('0'));
        WriteFile(path, SilentMp3(20));
        TagLib::MPEG::File mp3(QFile::encodeName(path).constData(), false);
        mp3.tag()->setTitle(
            TagLib::String("Björk — Jóga " + std::to_string(i), TagLib::String::UTF8));
        mp3.tag()->setAlbum("Homogenic");
        mp3.tag()->setArtist(TagLib::String("Björk", TagLib::String::UTF8));
        mp3.save(TagLib::MPEG::File::ID3v2);
        files.append(path);
    }

    // A file that the tag tool's own reader leaves to TagLib: it has an APE tag.
    const QString odd = dir.filePath(QStringLiteral("odd.mp3"));
    WriteFile(odd, SilentMp3(20) + ApeTag({{"Title", QStringLiteral("Odd")}}));

    // Other work on the machine disturbs single runs: each rate is the best of three rounds,
    // the rounds taken in turn.
    qsizetype checksum = 0;
    const std::function<void(int)> work[] = {
        [](int) { RunTool(QStringLiteral("/bin/true")); },
        [&](int i) { checksum += ReadWmaTags(files[i]).Name.size(); },
        [&](int i) {
            TagLib::MPEG::File mp3(QFile::encodeName(files[i]).constData(), false);
            checksum += mp3.firstFrameOffset() >= 0 ? qsizetype(mp3.tag()->title().size()) : 0;
        },
        [&](int) { checksum += ReadWmaTags(odd).Name.size(); }};
    const int runs[] = {count, count, count, std::max(1, count / 4)};
    double best[4] = {};
    for (int round = 0; round < 3; ++round) {
        for (int kind = 0; kind < 4; ++kind)
            best[kind] = std::max(best[kind], Rate(runs[kind], work[kind]));
    }
    const double nothing = best[0], roundTrip = best[1], inProcess = best[2], handedOver = best[3];
    std::printf("files                      %d (checksum %lld)\n", count,
                static_cast<long long>(checksum));
    std::printf("do-nothing starts          %8.0f /s\n", nothing);
    std::printf(
        "ReadWmaTags round trip     %8.0f files/s  (%.0f%% of the do-nothing starts; target 80%%)\n",
        roundTrip, 100 * roundTrip / nothing);
    std::printf("TagLib in-process          %8.0f files/s\n", inProcess);
    std::printf("round trip through TagLib  %8.0f files/s  (a file the tool's own reader leaves to "
                "TagLib)\n",
                handedOver);

    const int seconds = 300;
    const QString wav = dir.filePath(QStringLiteral("Track01.wav"));
    WriteFile(wav, Wav(44100, 2, qint64(44100) * seconds));
    QElapsedTimer timer;
    timer.start();
    const bool converted = ConvertWavToWma(wav, QStringLiteral("Name"), QStringLiteral("Album"),
                                           QStringLiteral("Composer"), QStringLiteral("Artist"));
    const double elapsed = double(timer.nsecsElapsed()) / 1e9;
    std::printf(
        "wav2wma                    %8.0f s of audio per s  (%d s of CD audio in %.2f s%s; target 200)\n",
        seconds / elapsed, seconds, elapsed, converted ? "" : ", FAILED");
    return converted ? 0 : 1;
}
