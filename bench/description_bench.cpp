// Description benchmark: the real selection, description and catalog view pages, offscreen.
// A selection of 5,000 tagged tracks in 500 folders (one of them holding 100 tracks with 100
// different albums) is handed over to the description page; a click on the 100-track group
// loads its boxes; "Add tracks to the catalog" adds all of them to a catalog of 100,000
// tracks, which the catalog view merges, saves and shows. Prints each time against its target.
//
//   cmake --build build --target description_bench && build/bench/description_bench

#include "catalog/catalog_file.h"
#include "catalog/catalog_record.h"
#include "describe_world.h"
#include "import/description_box.h"
#include "test_media.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>

static double Seconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

// A catalog file of that many tracks with realistic field lengths.
static void WriteCatalog(int tracks)
{
    QByteArray content = HeaderRecord().toUtf8() + "\r\n";
    for (int i = 0; i < tracks; ++i) {
        const QString artist = QStringLiteral("Catalog Artist %1 of the long name").arg(i / 100);
        const QString album = QStringLiteral("Catalog Album %1 (Remastered Edition)").arg(i / 10);
        content +=
            BuildRecord(QStringLiteral("DAT"), artist, artist, album, QString::number(i % 10 + 1),
                        QStringLiteral("/home/me/Music/Library/%1/%2/%3 Track.mp3")
                            .arg(artist, album)
                            .arg(i),
                        QStringLiteral("Track number %1").arg(i), QStringLiteral("4180000"))
                .toUtf8()
            + "\r\n";
    }
    QDir().mkpath(DataFolder());
    TestMedia::WriteFile(CatalogPath(), content);
}

// 500 folders, 5,000 tracks; the first folder holds 100 tracks of 100 albums.
static void BuildSelection(const TDescribeWorld &world)
{
    for (int folder = 0; folder < 500; ++folder) {
        const int tracks = folder == 0 ? 100 : folder <= 409 ? 10 : 9;
        QList<TSelectedTrack> selected;
        for (int track = 0; track < tracks; ++track) {
            const QString album = folder == 0 ? QStringLiteral("Sampler Volume %1").arg(track)
                                              : QStringLiteral("Album %1").arg(folder);
            selected.append(TSelectedTrack(
                QStringLiteral("%1 Some Track Title.mp3").arg(track, 2, 10, QLatin1Char('0')),
                QStringLiteral("Some Track Title %1").arg(track), album,
                QStringLiteral("Composer %1").arg(folder % 50),
                QStringLiteral("Artist %1").arg(folder % 200)));
        }
        world.AddFolder(
            QStringLiteral("disk/Music/Artist %1/Album %2/").arg(folder % 200).arg(folder),
            selected);
    }
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TDescribeWorld world;
    WriteCatalog(100000);
    world.Catalog.Open();
    world.SetVolumes({QStringLiteral("disk\tfixed\t1")});
    BuildSelection(world);
    TFormSetProperties *page = TDescribeWorld::Description();

    QElapsedTimer timer;
    timer.start();
    TDescribeWorld::HandOver();
    QApplication::processEvents();
    const double handOver = Seconds(timer);

    TDescriptionItem *group = TDescribeWorld::Node(0);
    timer.restart();
    page->TreeClicked({group, THitPart::Text});
    QApplication::processEvents();
    const double click = Seconds(timer);

    // "Add tracks to the catalog" hands the records on and switches to the catalog view, whose
    // start message merges and saves them before it fills its tree. The merge and save are
    // timed here with the functions it calls, so that the tree of 105,000 tracks (timed by
    // catalog_view_bench) stays apart.
    timer.restart();
    page->AddToCatalog();
    const qint64 records = world.Catalog.PendingRecords.size();
    MergePending(world.Catalog.Records(), std::exchange(world.Catalog.PendingRecords, {}));
    SaveCatalog(world.Catalog.Records(), CatalogPath());
    const double add = Seconds(timer);
    const qint64 catalog = world.Catalog.Records().Count();
    timer.restart();
    while (Page<TFormViewCatalog>()->TreeViewCatalog()->topLevelItemCount() == 0)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double show = Seconds(timer);

    std::printf("hand-over of %lld tracks in %d folders to the page shown: %.3f s (target 0.5)\n",
                records, page->TreeViewFiles()->topLevelItemCount(), handOver);
    std::printf("click on a group of %d tracks to its boxes loaded (%d albums offered): %.1f ms "
                "(target 50)\n",
                group->childCount(), page->ComboBoxAlbum()->count(), click * 1000);
    std::printf("add of %lld tracks to a catalog of 100,000 to the catalog saved (%lld records "
                "now): %.3f s (target 1)\n",
                records, catalog, add);
    std::printf("then the catalog view shown with its tree: %.3f s\n", show);
    return records == 5000 && catalog > 105000 ? 0 : 1;
}
