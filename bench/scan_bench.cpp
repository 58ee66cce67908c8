// Track scan benchmark: the real selection page, offscreen, scans one folder (mode 2) holding
// 5,000 tagged MP3 files in 500 folders and 2,000 WAV files in 100 folders, reading every MP3
// through the real tag tool. It prints files per second for the whole scan and for a scan of
// the WAV folders alone (files without tags: no tool runs), and the time the whole tree takes
// to sort again, as a media check does when a disc brings new folders.
//
//   cmake --build build --target scan_bench wma && QT_QPA_PLATFORM=offscreen build/bench/scan_bench

#include "app/main_page.h"
#include "base/locations.h"
#include "base/settings.h"
#include "pages/frame_window.h"
#include "pages/state_tree.h"
#include "search/search_page.h"
#include "search/select_files_page.h"
#include "search/select_folder_page.h"
#include "test_media.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

using namespace TestMedia;

// Sorts the whole tree of the last scan again, as a media check does; returns milliseconds.
static double ResortTree(int *folders)
{
    QTreeWidget *tree = Page<TFormSelectFiles>()->TreeViewFiles;
    *folders = tree->topLevelItemCount();
    QElapsedTimer timer;
    timer.start();
    tree->sortItems(0, Qt::AscendingOrder);
    return double(timer.nsecsElapsed()) / 1e6;
}

// Scans one folder as the folder chooser starts it; returns the seconds from the switch to
// the end of the scan, and the number of tracks found. The page stays shown.
static double ScanFolder(const QString &folder, int *tracks)
{
    Page<TFormSelectFiles>()->SearchMode = 2;
    Page<TFormSelectFiles>()->ChosenFolder = folder;
    QElapsedTimer timer;
    timer.start();
    SwitchPage(Frame()->CurrentPage(), Page<TFormSelectFiles>());
    while (!Page<TFormSelectFiles>()->Timer1->isActive())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    *tracks = 0;
    QTreeWidget *tree = Page<TFormSelectFiles>()->TreeViewFiles;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        *tracks += tree->topLevelItem(i)->childCount();
    return seconds;
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString root = dir.path() + QLatin1Char('/');
    QDir().mkpath(root + QStringLiteral("program"));
    if (!dir.isValid()
        || !InstallTools(root + QStringLiteral("program"), {QStringLiteral("wma")})) {
        std::fprintf(stderr, "scan_bench: cannot prepare %s (build wma first)\n", qPrintable(root));
        return 1;
    }
    qputenv("XDG_DATA_HOME", (root + QStringLiteral("data")).toUtf8());
    SetProgramFolder(root + QStringLiteral("program"));
    QFile volumes(root + QStringLiteral("volumes.txt"));
    if (!volumes.open(QIODevice::WriteOnly) || volumes.write("disk\tfixed\t1\n") < 0)
        return 1;
    volumes.close();
    qputenv("QUAVERMILL_VOLUMES", volumes.fileName().toUtf8());

    const QByteArray audio = SilentMp3(20);
    for (int folder = 0; folder < 500; ++folder) {
        const QString path =
            root + QStringLiteral("disk/music/Album %1/").arg(folder, 3, 10, QLatin1Char('0'));
        QDir().mkpath(path);
        for (int track = 0; track < 10; ++track) {
            const QByteArray title = "Track " + QByteArray::number(folder * 10 + track);
            WriteFile(path + QStringLiteral("%1.mp3").arg(track, 2, 10, QLatin1Char('0')),
                      audio + Id3v1(title, "Artist", "Album"));
        }
    }
    const QByteArray wav = WavHeader(44100, 2, 0);
    for (int folder = 0; folder < 100; ++folder) {
        const QString path =
            root + QStringLiteral("disk/music/Wav %1/").arg(folder, 3, 10, QLatin1Char('0'));
        QDir().mkpath(path);
        for (int track = 0; track < 20; ++track)
            WriteFile(path + QStringLiteral("%1.wav").arg(track, 2, 10, QLatin1Char('0')), wav);
    }

    TFrameWindow frame;
    new TFormMain(&frame);
    new TFormSearch(&frame);
    new TFormSelectFolder(&frame);
    new TFormSelectFiles(&frame);
    TSettings settings;
    settings.StorageDir = root + QStringLiteral("data/Quavermill/Library");
    SetSettings(settings);
    SwitchPage(nullptr, Page<TFormMain>());

    int all = 0;
    const double allSeconds = ScanFolder(root + QStringLiteral("disk/music/"), &all);
    int folders = 0;
    const double sortMs = ResortTree(&folders);
    SwitchPage(Page<TFormSelectFiles>(), Page<TFormMain>());
    // The WAV folders alone: one folder tree per WAV folder would count the walk's set-up
    // many times, so the whole tree is scanned with the MP3 folders removed.
    for (int folder = 0; folder < 500; ++folder)
        QDir(root + QStringLiteral("disk/music/Album %1").arg(folder, 3, 10, QLatin1Char('0')))
            .removeRecursively();
    int wavs = 0;
    const double wavSeconds = ScanFolder(root + QStringLiteral("disk/music/"), &wavs);

    std::printf(
        "scan of %d files (5,000 MP3 with tags, 2,000 WAV): %.2f s, %.0f files/s (target 500)\n",
        all, allSeconds, all / allSeconds);
    std::printf("scan of %d WAV files alone: %.3f s, %.0f files/s (target 20,000)\n", wavs,
                wavSeconds, wavs / wavSeconds);
    std::printf("sort of the whole tree again (%d folders, %d tracks): %.1f ms\n", folders, all,
                sortMs);
    return all == 7000 && wavs == 2000 ? 0 : 1;
}
