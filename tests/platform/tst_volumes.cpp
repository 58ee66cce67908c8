#include "disc_image.h"
#include "platform/audio_cd.h"
#include "platform/audio_cd_linux.h"
#include "platform/mountinfo.h"
#include "platform/volume_table.h"
#include "platform/volumes.h"
#include "platform/volumes_linux.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

static TVolume Volume(const QString &root, TVolumeKind kind, bool present = true)
{
    TVolume volume;
    volume.Root = root;
    volume.Kind = kind;
    volume.Present = present;
    return volume;
}

class TestVolumes : public QObject {
    Q_OBJECT

private:
    static void WriteFile(const QString &path, const QByteArray &content = {})
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

private Q_SLOTS:
    void classifiesMounts_data();
    void classifiesMounts();
    void probesRemovableDevices_data();
    void probesRemovableDevices();
    void fuseMountsNameTheirDisk();
    void laterMountHidesEarlierAndOrderIsByRoot();
    void readsTable();
    void tableChangesWhileRunning();
    void pathsLieOnTheLongestRoot();
    void listsFoldersWithoutFollowingLinks();
    void absentMediumHasNoFolders();
    void matchesMasks_data();
    void matchesMasks();
    void readsDiscContents_data();
    void readsDiscContents();
    void findsOpticalDrives();
    void audioDiscRootListsItsTracks();
    void tableDiscIsReadOncePerChange();
};

void TestVolumes::classifiesMounts_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("removableDisk");
    QTest::addColumn<QString>("root");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("driveKind");
    QTest::addColumn<int>("driveType");
    QTest::addColumn<bool>("present");

    const auto row = [](const char *name, const char *line, bool removable, const char *root,
                        TVolumeKind kind, int driveKind, int driveType, bool present) {
        QTest::newRow(name) << QByteArray(line) << removable << QString::fromUtf8(root) << int(kind)
                            << driveKind << driveType << present;
    };
    row("ext4 on a disk", "29 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw,errors=remount-ro",
        false, "/", TVolumeKind::Fixed, 1, DRIVE_FIXED, true);
    row("vfat on a USB stick",
        "512 29 8:17 / /media/ann/STICK rw,nosuid,nodev shared:280 - vfat /dev/sdb1 rw,fmask=0022",
        true, "/media/ann/STICK/", TVolumeKind::Removable, 2, DRIVE_REMOVABLE, true);
    row("nfs", "77 29 0:52 / /mnt/music rw,relatime shared:40 - nfs4 nas:/export/music rw,vers=4.2",
        false, "/mnt/music/", TVolumeKind::Network, 2, DRIVE_REMOTE, true);
    row("cifs", "78 29 0:53 / /mnt/share rw - cifs //nas/share rw,vers=3.1.1", false, "/mnt/share/",
        TVolumeKind::Network, 2, DRIVE_REMOTE, true);
    row("tmpfs", "30 29 0:26 / /run rw,nosuid,nodev shared:5 - tmpfs tmpfs rw,size=1620k", false,
        "/run/", TVolumeKind::RamDisk, 2, DRIVE_RAMDISK, true);
    row("iso9660 on sr0",
        "600 29 11:0 / /media/ann/DISC ro,nosuid shared:300 - iso9660 /dev/sr0 ro,uid=1000", true,
        "/media/ann/DISC/", TVolumeKind::Cd, 2, DRIVE_CDROM, true);
    row("floppy", "601 29 2:0 / /media/floppy rw - vfat /dev/fd0 rw", true, "/media/floppy/",
        TVolumeKind::Floppy, 350, DRIVE_REMOVABLE, false);
    row("proc", "22 29 0:20 / /proc rw,nosuid - proc proc rw", false, "/proc/",
        TVolumeKind::Unknown, 0, DRIVE_UNKNOWN, false);
    row("tmpfs under /dev", "31 24 0:27 / /dev/shm rw - tmpfs tmpfs rw", false, "/dev/shm/",
        TVolumeKind::Unknown, 0, DRIVE_UNKNOWN, false);
    row("snap", "90 29 7:1 / /snap/core/1 ro - squashfs /dev/loop1 ro", false, "/snap/core/1/",
        TVolumeKind::Unknown, 0, DRIVE_UNKNOWN, false);
    row("blank in the mount point",
        "513 29 8:33 / /media/ann/MY\\040MUSIC rw shared:281 - exfat /dev/sdc1 rw", true,
        "/media/ann/MY MUSIC/", TVolumeKind::Removable, 2, DRIVE_REMOVABLE, true);
    row("overlay root of a container", "500 400 0:45 / / rw - overlay overlay rw,lowerdir=/a",
        false, "/", TVolumeKind::Fixed, 1, DRIVE_FIXED, true);
}

void TestVolumes::classifiesMounts()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, removableDisk);
    const TRemovableProbe probe = [&](const TMountEntry &entry) {
        return removableDisk && !entry.MajorMinor.startsWith(QLatin1String("0:"));
    };
    const QList<TVolume> volumes = VolumesFromMountInfo(line + '\n', probe);
    QCOMPARE(volumes.size(), 1);
    const TVolume &volume = volumes.first();
    QTEST(volume.Root, "root");
    QTEST(int(volume.Kind), "kind");
    QTEST(DriveKind(volume), "driveKind");
    QTEST(int(DriveType(volume)), "driveType");
    QTEST(MediaPresent(volume), "present");
}

void TestVolumes::probesRemovableDevices_data()
{
    QTest::addColumn<QString>("disk");      // below <sys>/devices/
    QTest::addColumn<QString>("partition"); // the mounted partition, empty for the whole disk
    QTest::addColumn<QByteArray>("removable");
    QTest::addColumn<QByteArray>("cardType"); // what the disk's device/type says, if anything
    QTest::addColumn<bool>("expected");
    QTest::newRow("SATA disk") << "pci0/ata1/host0/block/sda"
                               << "sda2" << QByteArray("0") << QByteArray() << false;
    QTest::newRow("USB stick") << "pci0/usb1/1-1/host6/block/sdb"
                               << "sdb1" << QByteArray("0") << QByteArray() << true;
    QTest::newRow("removable disk") << "pci0/ata2/host1/block/sdc"
                                    << "" << QByteArray("1") << QByteArray() << true;
    QTest::newRow("SD card") << "platform/sdhci/mmc0/mmc0:aaaa/block/mmcblk0"
                             << "mmcblk0p1" << QByteArray("0") << QByteArray("SD") << true;
    QTest::newRow("built-in eMMC") << "platform/sdhci/mmc0/mmc0:aaaa/block/mmcblk0"
                                   << "mmcblk0p1" << QByteArray("0") << QByteArray("MMC") << false;
}

void TestVolumes::probesRemovableDevices()
{
    QFETCH(QString, disk);
    QFETCH(QString, partition);
    QFETCH(QByteArray, removable);
    QFETCH(QByteArray, cardType);
    QTemporaryDir dir;
    const QString sys = dir.path() + QStringLiteral("/sys");
    const QString diskPath = sys + QStringLiteral("/devices/") + disk;
    WriteFile(diskPath + QStringLiteral("/removable"), removable + '\n');
    QString device = diskPath;
    if (!partition.isEmpty()) {
        device = diskPath + QLatin1Char('/') + partition;
        WriteFile(device + QStringLiteral("/partition"), "1\n");
    }
    if (!cardType.isEmpty()) {
        // The disk's device link leads to the card, two levels up.
        const QString card = QFileInfo(QFileInfo(diskPath).path()).path();
        WriteFile(card + QStringLiteral("/type"), cardType + '\n');
        QVERIFY(QFile::link(card, diskPath + QStringLiteral("/device")));
    }
    QVERIFY(QDir().mkpath(sys + QStringLiteral("/dev/block")));
    QVERIFY(QFile::link(device, sys + QStringLiteral("/dev/block/8:1")));
    QTEST(BlockDeviceRemovable(QStringLiteral("8:1"), sys), "expected");
    QVERIFY(!BlockDeviceRemovable(QStringLiteral("8:9"), sys));
    QVERIFY(!BlockDeviceRemovable(QStringLiteral("0:45"), sys));
}

void TestVolumes::fuseMountsNameTheirDisk()
{
    // Any block device of this machine stands for the disk of an NTFS stick mounted by FUSE.
    const QStringList devices =
        QDir(QStringLiteral("/sys/class/block")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QString name;
    for (const QString &device : devices) {
        if (QFileInfo::exists(QStringLiteral("/dev/") + device)) {
            name = device;
            break;
        }
    }
    if (name.isEmpty())
        QSKIP("no block device in /dev");
    QFile number(QStringLiteral("/sys/class/block/") + name + QStringLiteral("/dev"));
    QVERIFY(number.open(QIODevice::ReadOnly));
    const QList<TMountEntry> entries =
        ParseMountInfo("700 29 0:52 / /media/ann/NTFS rw - fuseblk /dev/" + name.toUtf8()
                       + " rw\n"
                         "701 29 0:53 / /mnt/share rw - cifs //nas/share rw\n");
    QCOMPARE(entries.size(), 2);
    QCOMPARE(BlockDeviceNumber(entries.at(0)), QString::fromLatin1(number.readAll().trimmed()));
    QCOMPARE(BlockDeviceNumber(entries.at(1)), QStringLiteral("0:53"));
}

void TestVolumes::laterMountHidesEarlierAndOrderIsByRoot()
{
    const QByteArray text = "29 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
                            "40 29 8:3 / /home rw - ext4 /dev/sda3 rw\n"
                            "41 29 0:30 / /boot rw - tmpfs tmpfs rw\n"
                            "42 29 8:1 / /boot rw - ext2 /dev/sda1 rw\n"
                            "garbage line\n";
    const QList<TVolume> volumes = VolumesFromMountInfo(text, {});
    QCOMPARE(volumes.size(), 3);
    QCOMPARE(volumes.at(0).Root, QStringLiteral("/"));
    QCOMPARE(volumes.at(1).Root, QStringLiteral("/boot/"));
    QCOMPARE(volumes.at(1).Kind, TVolumeKind::Fixed);
    QCOMPARE(volumes.at(1).Device, QStringLiteral("/dev/sda1"));
    QCOMPARE(volumes.at(2).Root, QStringLiteral("/home/"));
    QCOMPARE(volumes.at(0).Drive(), QStringLiteral("/"));
    QCOMPARE(volumes.at(2).Drive(), QStringLiteral("/home"));
}

void TestVolumes::readsTable()
{
    const QString text = QStringLiteral("# test world\n"
                                        "disk\tfixed\t1\n"
                                        "/abs/stick\tremovable\t0\n"
                                        "\n"
                                        "cdrom  cd  1  disc.cue\n"
                                        "odd\ttoaster\t1\n"
                                        "/abs/with blank\tnetwork\t1\n");
    const QList<TVolume> volumes = ParseVolumeTable(text, QStringLiteral("/t"));
    QCOMPARE(volumes.size(), 4);
    QCOMPARE(volumes.at(0).Root, QStringLiteral("/abs/stick/"));
    QCOMPARE(volumes.at(0).Present, false);
    QCOMPARE(MediaPresent(volumes.at(0)), false);
    QCOMPARE(volumes.at(1).Root, QStringLiteral("/abs/with blank/"));
    QCOMPARE(volumes.at(1).Kind, TVolumeKind::Network);
    QCOMPARE(volumes.at(2).Root, QStringLiteral("/t/cdrom/"));
    QCOMPARE(volumes.at(2).CueSheet, QStringLiteral("/t/disc.cue"));
    QCOMPARE(volumes.at(3).Root, QStringLiteral("/t/disk/"));
    QCOMPARE(volumes.at(3).Kind, TVolumeKind::Fixed);
}

void TestVolumes::tableChangesWhileRunning()
{
    QTemporaryDir dir;
    const QString table = dir.filePath(QStringLiteral("volumes.txt"));
    TTableVolumeSource source(table);
    const auto volumesNow = [&source] { return TVolumeList(source.ReadVolumes()); };
    QCOMPARE(volumesNow().Volumes().size(), 0);
    WriteFile(table, "a\tfixed\t1\n");
    QCOMPARE(volumesNow().Volumes().size(), 1);
    WriteFile(table, "a\tfixed\t1\nb\tremovable\t1\n");
    const TVolumeList volumes = volumesNow();
    QCOMPARE(volumes.Volumes().size(), 2);
    QCOMPARE(volumes.Volumes().at(1).Root, dir.filePath(QStringLiteral("b/")));
}

void TestVolumes::pathsLieOnTheLongestRoot()
{
    const TVolumeList volumes(
        {Volume(QStringLiteral("/media/ann/STICK/"), TVolumeKind::Removable),
         Volume(QStringLiteral("/"), TVolumeKind::Fixed),
         Volume(QStringLiteral("/media/ann/STICK2/"), TVolumeKind::Removable)});
    QCOMPARE(volumes.Volumes().first().Root, QStringLiteral("/"));
    QCOMPARE(volumes.VolumeOf(QStringLiteral("/media/ann/STICK/Music/"))->Root,
             QStringLiteral("/media/ann/STICK/"));
    QCOMPARE(volumes.VolumeOf(QStringLiteral("/media/ann/STICK2/"))->Root,
             QStringLiteral("/media/ann/STICK2/"));
    QCOMPARE(volumes.VolumeOf(QStringLiteral("/media/ann/STICK"))->Root,
             QStringLiteral("/media/ann/STICK/"));
    QCOMPARE(volumes.VolumeOf(QStringLiteral("/media/ann/STICKY/"))->Root, QStringLiteral("/"));
    QCOMPARE(volumes.PathAfterRoot(QStringLiteral("/media/ann/STICK/pink FLOYD/the.wall/")),
             QStringLiteral("pink FLOYD/the.wall/"));
    QCOMPARE(volumes.PathAfterRoot(QStringLiteral("/home/ann/")), QStringLiteral("home/ann/"));
    QVERIFY(volumes.IsVolumeRoot(QStringLiteral("/media/ann/STICK/")));
    QVERIFY(!volumes.IsVolumeRoot(QStringLiteral("/media/ann/")));
    QVERIFY(!TVolumeList().VolumeOf(QStringLiteral("/x/")));
}

void TestVolumes::listsFoldersWithoutFollowingLinks()
{
    QTemporaryDir dir;
    const QString root = dir.path() + QLatin1Char('/');
    WriteFile(root + QStringLiteral("a/Song.MP3"));
    WriteFile(root + QStringLiteral("a/.hidden.mp3"));
    WriteFile(root + QStringLiteral("a/sub/x.wav"));
    QVERIFY(QFile::link(root + QStringLiteral("a"), root + QStringLiteral("a/up")));
    QVERIFY(QFile::link(root + QStringLiteral("a/Song.MP3"), root + QStringLiteral("a/link.mp3")));
    QVERIFY(QFile::link(root + QStringLiteral("nowhere"), root + QStringLiteral("a/dead.mp3")));
    const TVolumeList volumes({Volume(root, TVolumeKind::Fixed)});
    TFolderEntries entries = volumes.ListFolder(root + QStringLiteral("a/"));
    entries.Files.sort();
    QCOMPARE(entries.Files,
             QStringList({QStringLiteral(".hidden.mp3"), QStringLiteral("Song.MP3"),
                          QStringLiteral("link.mp3")}));
    QCOMPARE(entries.Folders, QStringList({QStringLiteral("sub")}));
    QVERIFY(volumes.ListFolder(root + QStringLiteral("missing/")).Files.isEmpty());
}

void TestVolumes::absentMediumHasNoFolders()
{
    QTemporaryDir dir;
    const QString stick = dir.path() + QStringLiteral("/stick/");
    WriteFile(stick + QStringLiteral("Music/a.mp3"));
    TVolumeList volumes({Volume(dir.path() + QLatin1Char('/'), TVolumeKind::Fixed),
                         Volume(stick, TVolumeKind::Removable, true)});
    QVERIFY(volumes.FolderExists(stick + QStringLiteral("Music/")));
    QVERIFY(volumes.IsVolumeRoot(stick));
    volumes = TVolumeList({Volume(dir.path() + QLatin1Char('/'), TVolumeKind::Fixed),
                           Volume(stick, TVolumeKind::Removable, false)});
    QVERIFY(!volumes.FolderExists(stick + QStringLiteral("Music/")));
    QVERIFY(volumes.ListFolder(stick + QStringLiteral("Music/")).Files.isEmpty());
    QVERIFY(volumes.FolderExists(dir.path() + QLatin1Char('/')));
    QVERIFY(!TVolumeList().FolderExists(dir.path() + QLatin1Char('/')));
}

void TestVolumes::matchesMasks_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<bool>("matches");
    QTest::newRow("exact case") << "a.mp3"
                                << "*.mp3" << true;
    QTest::newRow("other case") << "Song.MP3"
                                << "*.mp3" << true;
    QTest::newRow("other extension") << "a.mp4"
                                     << "*.mp3" << false;
    QTest::newRow("longer extension") << "a.mp3x"
                                      << "*.mp3" << false;
    QTest::newRow("only extension") << ".mp3"
                                    << "*.mp3" << true;
    QTest::newRow("two dots") << "a.b.wav"
                              << "*.wav" << true;
    QTest::newRow("question mark") << "Track01.cda"
                                   << "Track??.cda" << true;
    QTest::newRow("all") << "anything"
                         << "*" << true;
}

void TestVolumes::matchesMasks()
{
    QFETCH(QString, name);
    QFETCH(QString, mask);
    QTEST(MatchesMask(name, mask), "matches");
}

void TestVolumes::readsDiscContents_data()
{
    using namespace TestDisc;
    QTest::addColumn<QString>("source"); // a disc image's name, else a path below the folder
    QTest::addColumn<int>("kind");
    QTest::addColumn<QList<int>>("audio");
    QTest::newRow("audio disc") << "audio" << int(TDiscKind::Audio) << QList<int>{1, 2, 3};
    QTest::newRow("mixed mode, data first") << "mixed" << int(TDiscKind::Mixed) << QList<int>{2, 3};
    QTest::newRow("enhanced, data last") << "enhanced" << int(TDiscKind::Mixed) << QList<int>{1, 2};
    QTest::newRow("data disc") << "data" << int(TDiscKind::Data) << QList<int>{};
    QTest::newRow("no such sheet") << "none.cue" << int(TDiscKind::None) << QList<int>{};
    QTest::newRow("a named pipe") << "fifo" << int(TDiscKind::None) << QList<int>{};
    QTest::newRow("a folder") << "folder" << int(TDiscKind::None) << QList<int>{};
    QTest::newRow("not a disc") << "text.cue" << int(TDiscKind::None) << QList<int>{};
}

void TestVolumes::readsDiscContents()
{
    using namespace TestDisc;
    QFETCH(QString, source);
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    const QMap<QString, QList<TTrack>> discs = {
        {QStringLiteral("audio"), {{75}, {75}, {75}}},
        {QStringLiteral("mixed"), {{75, true}, {75}, {75}}},
        {QStringLiteral("enhanced"), {{75}, {75}, {75, true}}},
        {QStringLiteral("data"), {{75, true}}},
    };
    QString path = folder + source;
    if (discs.contains(source))
        path = WriteDiscImage(folder, source, TDisc(discs.value(source)));
    QVERIFY(mkfifo(QFile::encodeName(folder + QStringLiteral("fifo")).constData(), 0600) == 0);
    QVERIFY(QDir().mkpath(folder + QStringLiteral("folder")));
    WriteFile(folder + QStringLiteral("text.cue"), "not a sheet\n");
    const TDiscContents contents = ReadDiscContents(path);
    QTEST(int(contents.Kind), "kind");
    QTEST(contents.AudioTracks, "audio");
}

void TestVolumes::findsOpticalDrives()
{
    const QByteArray info = "CD-ROM information, Id: cdrom.c 3.20 2003/12/17\n\n"
                            "drive name:\t\tsr1\tsr0\n"
                            "drive speed:\t\t24\t48\n";
    QCOMPARE(OpticalDrives(info),
             (QStringList{QStringLiteral("/dev/sr0"), QStringLiteral("/dev/sr1")}));
    QCOMPARE(OpticalDrives("drive name:\t../sda\t.\n"), QStringList());
    QCOMPARE(OpticalDrives(QByteArray()), QStringList());
}

// A table's CD drive with a CUE sheet is an audio CD: its root is no folder of the file system,
// lists one file a track and exists while the disc is in.
void TestVolumes::audioDiscRootListsItsTracks()
{
    using namespace TestDisc;
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    QVERIFY(!WriteDiscImage(folder, QStringLiteral("mixed"),
                            TDisc(QList<TTrack>{{75, true}, {75}, {75}}))
                 .isEmpty());
    QVERIFY(!WriteDiscImage(folder, QStringLiteral("data"), TDisc(QList<TTrack>{{75, true}}))
                 .isEmpty());
    const QString table = folder + QStringLiteral("volumes.txt");
    WriteFile(table,
              "cd\tcd\t1\tmixed.cue\ndvd\tcd\t1\tdata.cue\n"
              "gone\tcd\t1\tnone.cue\nout\tcd\t0\tmixed.cue\n");
    const TVolumeList volumes(TTableVolumeSource(table).ReadVolumes());
    const QString cd = folder + QStringLiteral("cd/");
    const TVolume *volume = volumes.VolumeOf(cd + QStringLiteral("Track02.cda"));
    QVERIFY(volume && volume->HoldsAudioDisc());
    QCOMPARE(volume->DiscSource(), folder + QStringLiteral("mixed.cue"));
    QVERIFY(volumes.FolderExists(cd));
    QVERIFY(volumes.FolderExists(folder + QStringLiteral("cd")));
    QVERIFY(!volumes.FolderExists(cd + QStringLiteral("Sub/")));
    const TFolderEntries entries = volumes.ListFolder(cd);
    QCOMPARE(entries.Files,
             (QStringList{QStringLiteral("Track02.cda"), QStringLiteral("Track03.cda")}));
    QVERIFY(entries.Folders.isEmpty());
    QVERIFY(volumes.ListFolder(cd + QStringLiteral("Sub/")).Files.isEmpty());
    // A data disc, a sheet that is gone and a drive with its tray open hold no medium.
    for (const char *name : {"dvd/", "gone/", "out/"}) {
        const TVolume *other = volumes.VolumeOf(folder + QLatin1String(name));
        QVERIFY(other && other->Root == folder + QLatin1String(name));
        QVERIFY(!MediaPresent(*other));
        QVERIFY(!volumes.FolderExists(other->Root));
    }
}

// The volumes are asked for every second: a disc's table of contents is read once, and again
// only once the disc has changed or was taken out.
void TestVolumes::tableDiscIsReadOncePerChange()
{
    using namespace TestDisc;
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    QVERIFY(!WriteDiscImage(folder, QStringLiteral("disc"), TDisc(QList<TTrack>{{75}})).isEmpty());
    const QString table = folder + QStringLiteral("volumes.txt");
    WriteFile(table, "cd\tcd\t1\tdisc.cue\n");
    const auto tracks = [&table] {
        return TTableVolumeSource(table).ReadVolumes().value(0).AudioTracks;
    };
    const int reads = DiscCache().Reads();
    for (int i = 0; i < 3; ++i)
        QCOMPARE(tracks(), QList<int>{1});
    QCOMPARE(DiscCache().Reads(), reads + 1);

    QVERIFY(!WriteDiscImage(folder, QStringLiteral("disc"), TDisc(QList<TTrack>{{75}, {75}, {75}}))
                 .isEmpty());
    QCOMPARE(tracks(), (QList<int>{1, 2, 3}));
    QCOMPARE(tracks(), (QList<int>{1, 2, 3}));
    QCOMPARE(DiscCache().Reads(), reads + 2);

    WriteFile(table, "cd\tcd\t0\tdisc.cue\n");
    QCOMPARE(tracks(), QList<int>());
    WriteFile(table, "cd\tcd\t1\tdisc.cue\n");
    QCOMPARE(tracks(), (QList<int>{1, 2, 3}));
    QCOMPARE(DiscCache().Reads(), reads + 3);
}

QTEST_GUILESS_MAIN(TestVolumes)
#include "tst_volumes.moc"
