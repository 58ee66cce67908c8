#include "catalog/catalog_file.h"
#include "catalog/catalog_record.h"
#include "copy_world.h"
#include "disc_image.h"
#include "exchange/tool_files.h"
#include "exfat_volume.h"
#include "file_size_limit.h"
#include "import/cd_extract.h"
#include "import/copy_run.h"
#include "import/storage_names.h"
#include "import/tag_room.h"
#include "test_media.h"

#include <QProcess>
#include <QTest>

#include <optional>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <taglib/tpropertymap.h>

namespace {

// The nice value of every thread of this process.
QList<int> ThreadNiceness()
{
    QList<int> values;
    for (const QString &task :
         QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(QStringLiteral("/proc/self/task/%1/stat").arg(task));
        if (stat.open(QIODevice::ReadOnly)) {
            const QByteArray text = stat.readAll();
            // The fields after the command's closing parenthesis; nice is the 19th field.
            values << text.mid(text.lastIndexOf(')') + 2).split(' ').value(16).toInt();
        }
    }
    return values;
}

// Records what a run shows and stops it after a given number of tracks.
class TTestView : public TCopyView {
public:
    void ShowCopied(int position, int stored, int count) override
    {
        Copied = {position, count};
        Stored = stored;
    }
    void ShowTrack(const QString &, int, qint64, qint64) override {}
    void ShowConverting(bool converting) override { Converted |= converting; }
    bool ShowExtracted(int seconds, int track) override
    {
        Extracted.append({seconds, track});
        return false;
    }
    bool PumpAndAskStop() override
    {
        ++Pumps;
        WorkerBelowWindow |= ThreadNiceness().contains(10) && getpriority(PRIO_PROCESS, 0) == 0;
        return Copied.first == StopAfter || Pumps == StopAtPump;
    }
    void ShowDeleted(int done, int count) override { Deleted.append({done, count}); }

    int StopAfter = -1;
    int StopAtPump = -1;
    int Pumps = 0;
    bool WorkerBelowWindow = false;
    QPair<int, int> Copied;
    int Stored = 0;
    bool Converted = false;
    QList<QPair<int, int>> Extracted;
    QList<QPair<int, int>> Deleted;
};

quint64 Fragment(const QString &path)
{
    struct statvfs volume {};
    statvfs(QFile::encodeName(path).constData(), &volume);
    return volume.f_frsize;
}

} // namespace

class TestCopyRun : public QObject {
    Q_OBJECT

private:
    // Runs the copy of records; the text of the ERollingBack it raised, or "done".
    static QString Run(const TCopyWorld &world, QStringList &records, TTestView &view,
                       bool overwrite = true, bool convert = true, TCopyRun **keep = nullptr)
    {
        static std::unique_ptr<TCopyRun> run;
        run = std::make_unique<TCopyRun>(records, world.Options(overwrite, convert), view);
        if (keep)
            *keep = run.get();
        try {
            run->CopyAll();
        } catch (const ERollingBack &stop) {
            return QStringLiteral("rolling back: ") + stop.message();
        }
        return QStringLiteral("done");
    }

private Q_SLOTS:
    void storesTracksWithTheirSizeOnDisk()
    {
        TCopyWorld world;
        QStringList records;
        for (int size : {1, 0, 5000})
            records << TCopyWorld::Record(
                QStringLiteral("Artist"), QStringLiteral("Album"),
                world.Write(QStringLiteral("stick/%1.wav").arg(size), QByteArray(size, 'x')));
        TTestView view;
        TCopyRun *run = nullptr;
        QCOMPARE(Run(world, records, view, true, true, &run), QStringLiteral("done"));
        run->Complete();
        QCOMPARE(view.Copied, qMakePair(3, 3));
        const quint64 fragment = Fragment(world.Storage);
        for (int i = 0; i < 3; ++i) {
            const TCatalogRecord record = ParseRecord(records.at(i));
            const qint64 size = QFileInfo(record.FileName).size();
            QCOMPARE(record.FileName.left(world.Storage.size() + 14),
                     world.Storage + QStringLiteral("/Artist/Album/"));
            QCOMPARE(record.FileSize.toULongLong(),
                     (quint64(size) + fragment - 1) / fragment * fragment);
        }
        QCOMPARE(world.StorageListing().filter(QStringLiteral("/.")), QStringList());
    }

    // Tracks of one run never replace each other, and a file of an earlier import comes back
    // byte for byte when the run is rolled back.
    void replacesNothingForGood()
    {
        TCopyWorld world;
        world.Write(QStringLiteral("Library/A/B/Intro.wav"), "earlier import");
        const QStringList before = world.StorageListing();
        QStringList records = {
            TCopyWorld::Record(QStringLiteral("A"), QStringLiteral("B"),
                               world.Write(QStringLiteral("stick/one/Intro.wav"), "first")),
            TCopyWorld::Record(QStringLiteral("A"), QStringLiteral("B"),
                               world.Write(QStringLiteral("stick/two/Intro.wav"), "second")),
        };
        TTestView view;
        TCopyRun *run = nullptr;
        QCOMPARE(Run(world, records, view, true, true, &run), QStringLiteral("done"));
        QCOMPARE(ParseRecord(records.at(0)).FileName,
                 world.Storage + QStringLiteral("/A/B/Intro.wav"));
        QCOMPARE(ParseRecord(records.at(1)).FileName,
                 world.Storage + QStringLiteral("/A/B/Intro (2).wav"));
        QCOMPARE(TestMedia::ReadFile(world.Storage + QStringLiteral("/A/B/Intro.wav")),
                 QByteArray("first"));
        run->RollBack();
        QCOMPARE(world.StorageListing(), before);
        QVERIFY(records.isEmpty());
    }

    void overwriteOffPointsAtTheStoredTrack()
    {
        TCopyWorld world;
        world.Write(QStringLiteral("Library/A/B/song.WMA"), "stored");
        const QStringList before = world.StorageListing();
        QStringList records = {
            TCopyWorld::Record(QStringLiteral("A"), QStringLiteral("B"),
                               world.Write(QStringLiteral("stick/Song.mp3"), "new"))};
        TTestView view;
        TCopyRun *run = nullptr;
        QCOMPARE(Run(world, records, view, false, true, &run), QStringLiteral("done"));
        QCOMPARE(ParseRecord(records.at(0)).FileName,
                 world.Storage + QStringLiteral("/A/B/song.WMA"));
        run->RollBack();
        QCOMPARE(world.StorageListing(), before);
    }

    // Only a file is a stored track to point at: a named pipe of the name is none.
    void overwriteOffTakesOnlyAStoredFile()
    {
        TCopyWorld world;
        world.Write(QStringLiteral("Library/A/B/song.mp3"), "stored");
        QCOMPARE(mkfifo(QFile::encodeName(world.Storage + QStringLiteral("/A/B/song.wma")), 0600),
                 0);
        QStringList records = {
            TCopyWorld::Record(QStringLiteral("A"), QStringLiteral("B"),
                               world.Write(QStringLiteral("stick/Song.mp3"), "new"))};
        TTestView view;
        QCOMPARE(Run(world, records, view, false), QStringLiteral("done"));
        QCOMPARE(ParseRecord(records.at(0)).FileName,
                 world.Storage + QStringLiteral("/A/B/song.mp3"));
    }

    // Names that a storage folder holds as one, in their case or their accents' Unicode form,
    // are two tracks of one run: the second gets a free name, on a volume that tells them
    // apart and on one that does not (exFAT, as many USB disks are).
    void sameNameInAnotherFormIsAnotherTrack_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("secondStored");
        QTest::addColumn<bool>("exfat");
        const QString composed = QStringLiteral("Caf\u00E9.mp3");
        const QString decomposed = QStringLiteral("Cafe\u0301.mp3");
        QTest::newRow("case") << "Song.mp3"
                              << "song.mp3"
                              << "song (2).mp3" << false;
        QTest::newRow("accent form") << composed << decomposed << "Cafe\u0301 (2).mp3" << false;
        QTest::newRow("case on exFAT") << "Song.mp3"
                                       << "song.mp3"
                                       << "song (2).mp3" << true;
    }

    void sameNameInAnotherFormIsAnotherTrack()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, secondStored);
        QFETCH(bool, exfat);
        TCopyWorld world;
        QDir().mkpath(world.Storage);
        std::optional<TExfatVolume> volume;
        if (exfat) {
            volume.emplace(world.Root + QStringLiteral("exfat.img"), world.Storage);
            if (!volume->Mounted())
                QSKIP("an exFAT volume needs root, a loop device, mkfs.exfat and exfat-fuse");
        }
        QStringList records = {
            TCopyWorld::Record(QStringLiteral("A"), QStringLiteral("B"),
                               world.Write(QStringLiteral("stick/1/") + first, "first")),
            TCopyWorld::Record(QStringLiteral("A"), QStringLiteral("B"),
                               world.Write(QStringLiteral("stick/2/") + second, "second")),
        };
        TTestView view;
        QCOMPARE(Run(world, records, view), QStringLiteral("done"));
        const QString folder = world.Storage + QStringLiteral("/A/B/");
        QCOMPARE(ParseRecord(records.at(0)).FileName, folder + first);
        QCOMPARE(ParseRecord(records.at(1)).FileName, folder + secondStored);
        QCOMPARE(TestMedia::ReadFile(folder + first), QByteArray("first"));
        QCOMPARE(TestMedia::ReadFile(folder + secondStored), QByteArray("second"));
        TBaseStringList catalog;
        MergePending(catalog, records);
        QCOMPARE(catalog.Count(), 2);
    }

    // A stop reaches a copy in the middle of a large file, which runs on a worker thread
    // below the window thread's priority.
    void stopReachesALargeCopy()
    {
        TCopyWorld world;
        const QStringList before = world.StorageListing();
        const QString large = world.Write(QStringLiteral("stick/large.wav"), QByteArray());
        QVERIFY(QFile::resize(large, qint64(1) << 30));
        QStringList records = {TCopyWorld::Record(QStringLiteral("A"), QStringLiteral("B"), large)};
        TTestView view;
        view.StopAtPump = 3;
        TCopyRun *run = nullptr;
        QCOMPARE(Run(world, records, view, true, true, &run), QStringLiteral("rolling back: "));
        QCOMPARE(view.Copied.first, 0);
        QVERIFY(view.WorkerBelowWindow);
        run->RollBack();
        QCOMPARE(world.StorageListing(), before);
    }

    // Stopped after the second of five tracks: everything made goes, newest first; folders
    // that were there before stay.
    void stopRollsBackInReverse()
    {
        TCopyWorld world;
        world.Write(QStringLiteral("Library/Artist/Other/kept.mp3"), "kept");
        const QStringList before = world.StorageListing();
        QStringList records;
        for (int i = 0; i < 5; ++i)
            records << TCopyWorld::Record(QStringLiteral("Artist"), QStringLiteral("Album"),
                                          world.Write(QStringLiteral("stick/%1.wav").arg(i), "x"));
        TTestView view;
        view.StopAfter = 2;
        TCopyRun *run = nullptr;
        QCOMPARE(Run(world, records, view, true, true, &run), QStringLiteral("rolling back: "));
        run->RollBack();
        // The album folder and two files; the artist folder was there before.
        QCOMPARE(view.Deleted, (QList<QPair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));
        QCOMPARE(world.StorageListing(), before);
    }

    void folderNamesStayInsideStorage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("folder");
        QTest::newRow("separator") << QStringLiteral("AC/DC") << QStringLiteral("AC-DC");
        QTest::newRow("parent") << QStringLiteral("..") << QStringLiteral("__");
        QTest::newRow("absolute") << QStringLiteral("/etc") << QStringLiteral("-etc");
        QTest::newRow("control") << QStringLiteral("a\x01\tb") << QStringLiteral("ab");
        QTest::newRow("empty") << QString() << QStringLiteral("Unknown");
        QTest::newRow("long") << QString(300, QChar(0xE9)) << QString(127, QChar(0xE9));
        const auto smiles = [](int count) {
            return QString::fromUcs4(std::u32string(size_t(count), U'\U0001F600').c_str());
        };
        // 255 bytes hold "a" and 63 four-byte characters; a pair is never cut in two.
        QTest::newRow("cut whole")
            << QStringLiteral("a") + smiles(100) << QStringLiteral("a") + smiles(63);
    }

    void folderNamesStayInsideStorage()
    {
        QFETCH(QString, text);
        QFETCH(QString, folder);
        QCOMPARE(StorageFolderName(text, QStringLiteral("Unknown")), folder);
        TCopyWorld world;
        QStringList records = {
            TCopyWorld::Record(text, text, world.Write(QStringLiteral("stick/t.wav"), "x"))};
        TTestView view;
        QCOMPARE(Run(world, records, view), QStringLiteral("done"));
        // The record holds the text as far as its field is wide.
        const TCatalogRecord record = ParseRecord(records.at(0));
        const QString cut =
            StorageFolderName(ParseRecord(TCopyWorld::Record(text, text, QString())).Artist,
                              QStringLiteral("Unknown"));
        QCOMPARE(record.FileName,
                 world.Storage + QLatin1Char('/') + cut + QLatin1Char('/') + cut
                     + QStringLiteral("/t.wav"));
        QVERIFY(QFileInfo::exists(record.FileName));
    }

    // A track that cannot be read while its medium is there is left out; a medium that has
    // gone stops the whole run.
    void failedTrackIsSkippedUnlessItsMediumIsGone()
    {
        TCopyWorld world;
        const QString pipe = world.Root + QStringLiteral("stick/pipe.wav");
        world.Write(QStringLiteral("stick/good.wav"), "good");
        QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QStringList records = {
            TCopyWorld::Record(QStringLiteral("A"), QStringLiteral("B"), pipe),
            TCopyWorld::Record(QStringLiteral("A"), QStringLiteral("B"),
                               world.Root + QStringLiteral("stick/good.wav")),
        };
        TTestView view;
        TCopyRun *run = nullptr;
        QCOMPARE(Run(world, records, view, true, true, &run), QStringLiteral("done"));
        QCOMPARE(records.size(), 1);
        QCOMPARE(run->Skipped(), 1);
        QVERIFY(run->SkipReason().endsWith(pipe));
        // A skipped track leaves no folder of its own behind.
        records = {TCopyWorld::Record(QStringLiteral("C"), QStringLiteral("D"), pipe)};
        QCOMPARE(Run(world, records, view), QStringLiteral("done"));
        QVERIFY(!QFileInfo::exists(world.Storage + QStringLiteral("/C")));
        QCOMPARE(view.Stored, 0); // "Copied 0 tracks from 1": only stored tracks count

        world.SetVolumes({QStringLiteral("stick\tremovable\t0")});
        records = {TCopyWorld::Record(QStringLiteral("A"), QStringLiteral("B"),
                                      world.Root + QStringLiteral("stick/gone.wav"))};
        QCOMPARE(Run(world, records, view),
                 QStringLiteral("rolling back: No such file or directory"));
    }

    // The next track's data is copied while a track's tags are written. That copy becomes the
    // next track's file only when it is whole; one that failed is gone with its skipped track,
    // and a rollback takes one still running.
    void copyMadeAheadNeverOutlivesItsTrack()
    {
        TCopyWorld world;
        const auto record = [&](const QString &source) {
            return TCopyWorld::Record(QStringLiteral("A"), QStringLiteral("B"), source);
        };
        const QString one = world.Write(QStringLiteral("stick/one.mp3"), "one");
        const QString pipe = world.Root + QStringLiteral("stick/pipe.mp3");
        QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        const QString two = world.Write(QStringLiteral("stick/two.mp3"), "two");
        QStringList records = {record(one), record(pipe), record(two), record(two)};
        TTestView view;
        QCOMPARE(Run(world, records, view), QStringLiteral("done"));
        QCOMPARE(records.size(), 3);
        QCOMPARE(TestMedia::ReadFile(world.Storage + QStringLiteral("/A/B/two (2).mp3")),
                 QByteArray("two"));
        const QString listing = world.StorageListing().join(QLatin1Char('\n'));
        QVERIFY2(!listing.contains(QStringLiteral(".quavermill-")), qPrintable(listing));

        const QStringList before = world.StorageListing();
        records = {record(one), record(two)};
        view.StopAfter = 1;
        TCopyRun *run = nullptr;
        QCOMPARE(Run(world, records, view, true, true, &run), QStringLiteral("rolling back: "));
        run->RollBack();
        QCOMPARE(world.StorageListing(), before);
    }

    // A storage volume that cannot take the files stops the run with the system's reason and
    // is left as it was. A file-size limit stands for a full disk without root; a full or
    // read-only volume of its own needs root to mount.
    void fullOrReadOnlyStorageRollsBack_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("reason");
        QTest::newRow("size limit") << QString() << QStringLiteral("File too large");
        QTest::newRow("full") << QStringLiteral("size=64k")
                              << QStringLiteral("No space left on device");
        QTest::newRow("read-only")
            << QStringLiteral("ro") << QStringLiteral("Read-only file system");
    }

    void fullOrReadOnlyStorageRollsBack()
    {
        QFETCH(QString, options);
        QFETCH(QString, reason);
        TCopyWorld world;
        QDir().mkpath(world.Storage);
        if (!options.isEmpty()
            && QProcess::execute(QStringLiteral("mount"),
                                 {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                  QStringLiteral("-o"), options, QStringLiteral("tmpfs"),
                                  world.Storage})
                != 0)
            QSKIP("mounting a small file system needs root");
        const QStringList before = world.StorageListing();
        QStringList records;
        for (int i = 0; i < 3; ++i)
            records << TCopyWorld::Record(
                QStringLiteral("A"), QStringLiteral("B"),
                world.Write(QStringLiteral("stick/%1.wav").arg(i), QByteArray(40000, 'x')));
        TTestView view;
        TCopyRun *run = nullptr;
        QString result;
        {
            std::optional<TFileSizeLimit> limit;
            if (options.isEmpty())
                limit.emplace(30000);
            result = Run(world, records, view, true, true, &run);
        }
        run->RollBack();
        const QStringList after = world.StorageListing();
        if (!options.isEmpty())
            QProcess::execute(QStringLiteral("umount"), {world.Storage});
        QCOMPARE(result, QStringLiteral("rolling back: ") + reason);
        QCOMPARE(after, before);
    }

    // The real tag tools write the description into the stored copies.
    void storedCopiesCarryTheDescription()
    {
        TCopyWorld world;
        QVERIFY(TestMedia::InstallTools(
            world.Services.ProgramFolder,
            {QStringLiteral("wma"), QStringLiteral("wma-update"), QStringLiteral("wav2wma")}));
        const QString wav =
            world.Write(QStringLiteral("stick/tone.wav"), TestMedia::Wav(44100, 2, 44100));
        QVERIFY(ConvertWavToWma(world.Services.ProgramFolder, wav, QStringLiteral("old"), QString(),
                                QString(), QString()));
        QStringList records = {
            BuildRecord(QStringLiteral("DAT"), QStringLiteral("Bach"), QStringLiteral("Björk"),
                        QStringLiteral("Homogenic"), QStringLiteral("0"),
                        world.Write(QStringLiteral("stick/a.mp3"), TestMedia::SilentMp3(20)),
                        QStringLiteral("Jóga"), QStringLiteral("0")),
            BuildRecord(QStringLiteral("DAT"), QStringLiteral("Bach"), QStringLiteral("Björk"),
                        QStringLiteral("Homogenic"), QStringLiteral("0"),
                        world.Root + QStringLiteral("stick/tone.wma"), QStringLiteral("Jóga"),
                        QStringLiteral("0")),
        };
        TTestView view;
        QCOMPARE(Run(world, records, view), QStringLiteral("done"));
        for (const QString &line : std::as_const(records)) {
            const TagLib::FileRef file(QFile::encodeName(ParseRecord(line).FileName).constData());
            QVERIFY(!file.isNull());
            const TagLib::PropertyMap tags = file.file()->properties();
            for (const auto &[key, value] : {std::pair{"TITLE", "Jóga"},
                                             {"ARTIST", "Björk"},
                                             {"ALBUM", "Homogenic"},
                                             {"COMPOSER", "Bach"}})
                QCOMPARE(QString::fromStdString(tags[key].toString().to8Bit(true)),
                         QString::fromUtf8(value));
        }
    }

    // An MP3 copy gets room in its tag, so that the tag tool rewrites the tag alone, in place;
    // the audio stays as it was, and without the tool the copy is the source's twin.
    void mp3CopiesGetRoomForTheirTags_data()
    {
        QTest::addColumn<QByteArray>("tag"); // before the audio
        QTest::addColumn<bool>("tool");
        QTest::addColumn<qint64>("growth"); // of the stored file over its source

        using namespace TestMedia;
        const QByteArray v3 = Id3v2(3, {{"TIT2", Latin1Text(QStringLiteral("Old"))}});
        QTest::newRow("version 2.3") << v3 << true << TagRoom;
        QTest::newRow("version 2.3 with room")
            << Id3v2(3,
                     {{"TIT2", Latin1Text(QStringLiteral("Old"))},
                      {QByteArray(4, '\0'), QByteArray(TagRoom - 10, '\0')}})
            << true << qint64(0);
        QTest::newRow("version 2.4, written by TagLib")
            << Id3v2(4, {{"TIT2", Utf8Text(QStringLiteral("Old"))}}) << true << TagRoom;
        QTest::newRow("no tag") << QByteArray() << true << 10 + TagRoom;
        QTest::newRow("no tag tool") << v3 << false << qint64(0);
    }

    void mp3CopiesGetRoomForTheirTags()
    {
        QFETCH(QByteArray, tag);
        QFETCH(bool, tool);
        QFETCH(qint64, growth);
        TCopyWorld world;
        if (tool)
            QVERIFY(TestMedia::InstallTools(world.Services.ProgramFolder,
                                            {QStringLiteral("wma"), QStringLiteral("wma-update")}));
        const QByteArray audio = TestMedia::SilentMp3(20);
        QStringList records = {BuildRecord(QStringLiteral("DAT"), QStringLiteral("Bach"),
                                           QStringLiteral("Björk"), QStringLiteral("Homogenic"),
                                           QStringLiteral("0"),
                                           world.Write(QStringLiteral("stick/a.mp3"), tag + audio),
                                           QStringLiteral("Jóga"), QStringLiteral("0"))};
        TTestView view;
        QCOMPARE(Run(world, records, view), QStringLiteral("done"));
        const QString stored = ParseRecord(records.at(0)).FileName;
        const QByteArray bytes = TestMedia::ReadFile(stored);
        QVERIFY(bytes.endsWith(audio));
        QCOMPARE(bytes.size() - tag.size() - audio.size(), growth);
        const TagLib::FileRef file(QFile::encodeName(stored).constData());
        QCOMPARE(QString::fromStdString(file.tag()->title().to8Bit(true)),
                 tool ? QStringLiteral("Jóga") : QStringLiteral("Old"));
    }

    // A CD track is ripped, and converted when the converter is there and wanted.
    void cdTrackIsRippedAndConverted_data()
    {
        QTest::addColumn<bool>("converter");
        QTest::addColumn<bool>("convert");
        QTest::addColumn<QString>("file");
        QTest::newRow("converted") << true << true << QStringLiteral("Track05.wma");
        QTest::newRow("no converter") << false << true << QStringLiteral("Track05.wav");
        QTest::newRow("not wanted") << true << false << QStringLiteral("Track05.wav");
    }

    void cdTrackIsRippedAndConverted()
    {
        QFETCH(bool, converter);
        QFETCH(bool, convert);
        QFETCH(QString, file);
        TCopyWorld world;
        if (converter)
            QVERIFY(
                TestMedia::InstallTools(world.Services.ProgramFolder, {QStringLiteral("wav2wma")}));
        QList<TestDisc::TTrack> tracks;
        for (int i = 0; i < 5; ++i)
            tracks.append(TestDisc::TTrack(2 * TestDisc::SectorsPerSecond));
        QVERIFY(
            !TestDisc::WriteDiscImage(world.Root, QStringLiteral("disc"), TestDisc::TDisc(tracks))
                 .isEmpty());
        world.SetVolumes({QStringLiteral("cd\tcd\t1\tdisc.cue")});
        QStringList records = {TCopyWorld::Record(QStringLiteral("A"), QStringLiteral("B"),
                                                  world.Root + QStringLiteral("cd/Track05.cda"))};
        TTestView view;
        TCopyRun *run = nullptr;
        QCOMPARE(Run(world, records, view, true, convert, &run), QStringLiteral("done"));
        run->Complete();
        const QString stored = world.Storage + QStringLiteral("/A/B/") + file;
        QCOMPARE(ParseRecord(records.at(0)).FileName, stored);
        QVERIFY(!view.Extracted.isEmpty());
        QCOMPARE(view.Extracted.last().second, 1);
        QCOMPARE(view.Converted, converter && convert);
        // A WMA file ends in a whole frame of 2048 samples.
        const qint64 samples = TestMedia::DecodedSamples(stored);
        QVERIFY2(samples >= 2 * 44100 && samples < 2 * 44100 + 2 * 2048,
                 qPrintable(QString::number(samples)));
        QCOMPARE(QDir(world.Storage + QStringLiteral("/A/B"))
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{file});
    }

    // A CD track that cannot be ripped leaves no file: the track is skipped while its disc is
    // there, and the run rolls back once the disc has gone.
    void cdTrackFailsCleanly_data()
    {
        QTest::addColumn<QString>("track");
        QTest::addColumn<QString>("volume");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("result");
        const QString disc = QStringLiteral("cd\tcd\t1\tdisc.cue");
        const QString noMedium = QStringLiteral("rolling back: No medium found");
        QTest::newRow("no track number") << "Audio.cda" << disc << ENOENT << "done";
        QTest::newRow("beyond the last track") << "Track09.cda" << disc << ENOENT << "done";
        QTest::newRow("disc taken out") << "Track01.cda"
                                        << "cd\tcd\t0\tdisc.cue" << ENOMEDIUM << noMedium;
        QTest::newRow("disc unreadable") << "Track01.cda"
                                         << "cd\tcd\t1\tnone.cue" << ENOMEDIUM << noMedium;
        QTest::newRow("no such drive") << "Track01.cda"
                                       << "" << ENOMEDIUM << noMedium;
    }

    void cdTrackFailsCleanly()
    {
        QFETCH(QString, track);
        QFETCH(QString, volume);
        TCopyWorld world;
        QVERIFY(!TestDisc::WriteDiscImage(
                     world.Root, QStringLiteral("disc"),
                     TestDisc::TDisc(QList<TestDisc::TTrack>{{TestDisc::SectorsPerSecond}}))
                     .isEmpty());
        world.SetVolumes({volume});
        const QString source = world.Root + QStringLiteral("cd/") + track;
        const QString target = world.Root + QStringLiteral("out/")
            + QFileInfo(track).completeBaseName() + QStringLiteral(".wav");
        QVERIFY(QDir().mkpath(world.Root + QStringLiteral("out")));
        QTEST(ExtractCdTrack(world.Services.CurrentVolumes(), source, target, 1,
                             [](int, int) { return false; }),
              "error");
        QCOMPARE(QDir(world.Root + QStringLiteral("out"))
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());

        QStringList records = {
            TCopyWorld::Record(QStringLiteral("A"), QStringLiteral("B"), source)};
        TTestView view;
        TCopyRun *run = nullptr;
        QTEST(Run(world, records, view, true, true, &run), "result");
        // A track skipped while its disc is there says why, in the system's words.
        if (run->Skipped() > 0)
            QCOMPARE(run->SkipReason(), SystemErrorText(ENOENT) + QStringLiteral(": ") + source);
        for (const QString &entry : world.StorageListing())
            QVERIFY2(!entry.contains(QLatin1Char(' ')), qPrintable(entry)); // no file was kept
    }
};

QTEST_GUILESS_MAIN(TestCopyRun)
#include "tst_copy_run.moc"
