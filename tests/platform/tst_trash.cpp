#include "platform/trash.h"
#include "test_media.h"

#include <QDateTime>
#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace TestMedia;

class TestTrash : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void movesToTheTrash_data()
    {
        QTest::addColumn<QByteArray>("volume");   // empty: the home volume; else a tmpfs at vol
        QTest::addColumn<QStringList>("made");    // the first is trashed; "name>target": a link
        QTest::addColumn<QString>("shown");       // the original path, when not the file's own
        QTest::addColumn<QString>("trashed");     // empty: no usable trash
        QTest::addColumn<QByteArray>("recorded"); // Path=, after the root for the home trash
        const auto row = [](const char *name, const char *volume, const QByteArray &made,
                            const char *shown, const QByteArray &trashed, const QByteArray &path) {
            QTest::newRow(name) << QByteArray(volume) << QString::fromUtf8(made).split(u' ')
                                << QString::fromUtf8(shown) << QString::fromUtf8(trashed) << path;
        };
        row("file", "", "m/Song.mp3", "", "data/Trash/files/Song.mp3", "m/Song.mp3");
        row("kept aside", "", "m/.aside", "m/Café Song.mp3", "data/Trash/files/Café Song.mp3",
            "m/Caf%C3%A9%20Song.mp3");
        row("name taken in info/, then in files/", "",
            "m/Song.mp3 data/Trash/info/Song.mp3.trashinfo data/Trash/files/Song.2.mp3", "",
            "data/Trash/files/Song.3.mp3", "m/Song.mp3");
        row("link", "", "m/L.mp3>m/t.mp3 m/t.mp3", "", "data/Trash/files/L.mp3", "m/L.mp3");
        // The info file's name must fit a folder too; the cut keeps whole characters.
        const QByteArray e = QByteArray("é").repeated(124);
        row("long name", "", "m/" + e + ".mp3", "", "data/Trash/files/" + e.left(240) + ".mp3",
            "m/" + QByteArray("%C3%A9").repeated(124) + ".mp3");
        // Only root mounts volumes: the user id is 0.
        row("volume", "fresh", "vol/a/S", "", "vol/.Trash-0/files/S", "a/S");
        row("volume, sticky .Trash", "sticky", "vol/a/S", "", "vol/.Trash/0/files/S", "a/S");
        row("volume, plain .Trash", "plain", "vol/a/S", "", "vol/.Trash-0/files/S", "a/S");
        row("volume, own trash a link: deleted", "link", "vol/a/S", "", "", "");
        row("read-only volume: left", "read-only", "vol/a/S", "", "", "");
    }

    void movesToTheTrash()
    {
        QFETCH(QByteArray, volume);
        QFETCH(QStringList, made);
        QFETCH(QString, shown);
        QFETCH(QString, trashed);
        QFETCH(QByteArray, recorded);
        QTemporaryDir dir;
        const QString root = QFileInfo(dir.path()).canonicalFilePath() + u'/';
        const QByteArray vol = QFile::encodeName(root + u"vol"_s);
        // Made only by rows that put something there: the others find the home trash's volume
        // from its nearest existing parent.
        qputenv("XDG_DATA_HOME", QFile::encodeName(root + u"data"_s));
        // A mount namespace of its own hides the test's volumes from everybody else.
        static const bool mounts = ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0
            && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        if (!volume.isEmpty() && !mounts)
            QSKIP("a second volume needs root, to mount it in a namespace of its own");
        if (!volume.isEmpty())
            QVERIFY(::mkdir(vol, 0755) == 0 && ::mount("tmpfs", vol, "tmpfs", 0, nullptr) == 0);
        const auto unmount = qScopeGuard([&] { ::umount2(vol, MNT_DETACH); });
        for (const QString &entry : made) {
            const QStringList link = entry.split(u'>');
            QDir().mkpath(QFileInfo(root + link.first()).path());
            QVERIFY(link.size() == 2 ? QFile::link(root + link.last(), root + link.first())
                                     : WriteFile(root + entry, entry.toUtf8()));
        }
        if (volume == "sticky" || volume == "plain")
            QCOMPARE(::mkdir(vol + "/.Trash", volume == "sticky" ? 01777 : 0777), 0);
        else if (volume == "link")
            QVERIFY(QFile::link(root, QFile::decodeName(vol) + u"/.Trash-0"_s));
        else if (volume == "read-only")
            QCOMPARE(::mount(nullptr, vol, nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
        const QString path = root + made.first().section(u'>', 0, 0);

        QCOMPARE(MoveToTrash(path, shown.isEmpty() ? QString() : root + shown), !trashed.isEmpty());
        if (trashed.isEmpty()) { // deleted, or left where nothing can be deleted
            QCOMPARE(TrashOrDelete(path), volume != "read-only");
            QCOMPARE(QFile::exists(path), volume == "read-only");
            QVERIFY(!QFileInfo::exists(root + u"files"_s)); // nothing made through the link
            return;
        }
        QVERIFY(!QFileInfo::exists(path) && !QFileInfo(path).isSymLink());
        // A file holds its own name: a link reads as its target, which stays.
        const QFileInfo file(root + trashed);
        QCOMPARE(file.isSymLink(), made.first().contains(u'>'));
        QCOMPARE(ReadFile(root + trashed), made.first().section(u'>', -1).toUtf8());
        for (const QString &entry : made.mid(1)) // a link's target, earlier trashed files
            QCOMPARE(ReadFile(root + entry), entry.toUtf8());
        // A trash folder made on a volume is the user's alone (0700).
        QVERIFY(volume.isEmpty()
                || QFileInfo(file.path() + u"/.."_s).permissions()
                    == QFileDevice::Permissions(0x7700));
        const QByteArray info =
            ReadFile(QString(file.filePath()).replace(u"/files/"_s, u"/info/"_s) + u".trashinfo"_s);
        const QByteArray date = info.split('\n').value(2).mid(13); // after "DeletionDate="
        const QDateTime when =
            QDateTime::fromString(QString::fromLatin1(date), u"yyyy-MM-dd'T'HH:mm:ss"_s);
        QVERIFY2(when.isValid() && qAbs(when.secsTo(QDateTime::currentDateTime())) <= 2, date);
        QCOMPARE(info,
                 "[Trash Info]\nPath=" + (volume.isEmpty() ? QFile::encodeName(root) : "")
                     + recorded + "\nDeletionDate=" + date + '\n');
    }
};

QTEST_GUILESS_MAIN(TestTrash)
#include "tst_trash.moc"
