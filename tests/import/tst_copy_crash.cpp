#include "catalog/catalog.h"
#include "catalog/catalog_record.h"
#include "copy_world.h"
#include "disc_image.h"
#include "file_size_limit.h"
#include "import/copy_journal.h"
#include "import/copy_run.h"

#include <QProcess>
#include <QTest>

#include <optional>

#include <csignal>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int Tracks = 300;

class TQuietView : public TCopyView {
public:
    void ShowCopied(int, int, int) override {}
    void ShowTrack(const QString &, int, qint64, qint64) override {}
    void ShowConverting(bool) override {}
    bool ShowExtracted(int, int) override { return false; }
    bool PumpAndAskStop() override { return false; }
    void ShowDeleted(int, int) override {}
};

// An earlier import of 300 tracks, in storage and in the catalog, and a stick with new copies
// of the same tracks; the new import begins with two tracks of an audio CD, to a new artist.
class TCrashWorld : public TCopyWorld {
public:
    TCrashWorld()
    {
        QList<TestDisc::TTrack> disc{TestDisc::TTrack(TestDisc::SectorsPerSecond),
                                     TestDisc::TTrack(TestDisc::SectorsPerSecond)};
        TestDisc::WriteDiscImage(Root, QStringLiteral("disc"), TestDisc::TDisc(disc));
        SetVolumes({QStringLiteral("stick\tremovable\t1"), QStringLiteral("cd\tcd\t1\tdisc.cue")});
        for (const char *track : {"Track01.cda", "Track02.cda"})
            Records << Record(QStringLiteral("Disc"), QStringLiteral("One"),
                              Root + QStringLiteral("cd/") + QLatin1String(track));
        TCatalog catalog;
        catalog.Open();
        for (int i = 0; i < Tracks; ++i) {
            const QString name = QStringLiteral("%1.mp3").arg(i, 3, 10, QLatin1Char('0'));
            const QString stored = Write(QStringLiteral("Library/Artist/Album/") + name,
                                         "old " + QByteArray::number(i));
            catalog.PendingRecords
                << Record(QStringLiteral("Artist"), QStringLiteral("Album"), stored);
            Records << Record(
                QStringLiteral("Artist"), QStringLiteral("Album"),
                Write(QStringLiteral("stick/") + name, QByteArray(2048, char('a' + i % 26))));
        }
        catalog.SavePending();
    }

    QStringList Records;
};

// The files in storage and the files the catalog names: equal sets when they agree.
QPair<QStringList, QStringList> StoredAndCatalogued(const TCopyWorld &world)
{
    QStringList stored;
    for (const QString &line : world.StorageListing()) {
        if (line.count(QLatin1Char(' ')) == 2)
            stored << world.Storage + line.section(QLatin1Char(' '), 0, 0);
    }
    TCatalog catalog;
    catalog.Open();
    QStringList named;
    for (int i = 0; i < catalog.Records().Count(); ++i) {
        const TCatalogRecord record = catalog.Records().Record(i);
        if (record.IsTrack())
            named << record.FileName;
    }
    stored.sort();
    named.sort();
    return {stored, named};
}

} // namespace

class TestCopyCrash : public QObject {
    Q_OBJECT

private:
    QStringList m_before;
    QStringList m_after;

private Q_SLOTS:
    void initTestCase()
    {
        TCrashWorld world;
        m_before = world.StorageListing();
        TQuietView view;
        TCopyRun run(world.Records, world.Options(true, false), view);
        run.CopyAll();
        run.Complete();
        m_after = world.StorageListing();
        QVERIFY(m_before != m_after);
    }

    // A run stopped anywhere, by a kill at each kind of step it journals, by a file-size
    // limit, by storage turning read-only or by a catalog that cannot be saved, leaves storage
    // and catalog as they were or as the whole import makes them once the next start has
    // recovered: nothing hidden, nothing half-copied, no track without its record.
    void stoppedRunIsWholeOrAbsent_data()
    {
        QTest::addColumn<QString>("stop");
        QTest::addColumn<char>("kind");
        QTest::addColumn<int>("occurrence");
        QTest::addColumn<bool>("whole");
        QTest::newRow("kill: first folder") << "kill" << 'D' << 1 << false;
        QTest::newRow("kill: CD work folder") << "kill" << 'W' << 1 << false;
        QTest::newRow("kill: CD track placed") << "kill" << 'P' << 1 << false;
        QTest::newRow("kill: first file kept aside") << "kill" << 'K' << 1 << false;
        QTest::newRow("kill: part file mid-run") << "kill" << 'W' << 200 << false;
        QTest::newRow("kill: kept aside mid-run") << "kill" << 'K' << 150 << false;
        QTest::newRow("kill: placed mid-run") << "kill" << 'P' << 151 << false;
        QTest::newRow("kill: last placed") << "kill" << 'P' << Tracks + 2 << false;
        QTest::newRow("kill: complete mark") << "kill" << 'C' << 1 << true;
        QTest::newRow("kill: before the catalog save") << "kill" << 'E' << 1 << true;
        QTest::newRow("file size limit") << "limit" << '-' << 0 << false;
        QTest::newRow("storage read-only") << "read-only" << 'K' << 100 << false;
        QTest::newRow("catalog not saved") << "catalog" << '-' << 0 << true;
    }

    void stoppedRunIsWholeOrAbsent()
    {
        QFETCH(QString, stop);
        QFETCH(char, kind);
        QFETCH(int, occurrence);
        QFETCH(bool, whole);
        TCrashWorld world;
        if (stop == QLatin1String("read-only")) {
            if (::geteuid() != 0)
                QSKIP("storage turns read-only on a tmpfs mount, which needs root");
            // The earlier import moves onto a volume of its own.
            const QString saved = world.Root + QStringLiteral("saved");
            QCOMPARE(QProcess::execute(QStringLiteral("cp"),
                                       {QStringLiteral("-a"), world.Storage, saved}),
                     0);
            QVERIFY(::mount("tmpfs", QFile::encodeName(world.Storage).constData(), "tmpfs", 0,
                            "size=64m")
                    == 0);
            QCOMPARE(QProcess::execute(
                         QStringLiteral("cp"),
                         {QStringLiteral("-a"), saved + QStringLiteral("/."), world.Storage}),
                     0);
        }
        if (stop == QLatin1String("limit")) // one track too large for the limit
            world.Write(QStringLiteral("stick/150.mp3"), QByteArray(512 * 1024, 'x'));
        const pid_t child = ::fork();
        if (child == 0) {
            int seen = 0;
            TCopyJournal::AfterWrite = [&](char written) {
                if (written != kind || ++seen != occurrence)
                    return;
                if (stop == QLatin1String("read-only"))
                    ::mount(nullptr, QFile::encodeName(world.Storage).constData(), nullptr,
                            MS_REMOUNT | MS_RDONLY, nullptr);
                else
                    ::kill(::getpid(), SIGKILL);
            };
            std::optional<TFileSizeLimit> limit;
            if (stop == QLatin1String("limit"))
                limit.emplace(256 * 1024);
            TQuietView view;
            TCopyRun run(world.Records, world.Options(true, false), view);
            try {
                run.CopyAll();
                run.Complete();
            } catch (const ERollingBack &) {
                run.RollBack();
                ::_exit(3);
            }
            if (stop == QLatin1String("kill"))
                ::kill(::getpid(), SIGKILL);
            limit.emplace(4096); // the catalog no longer fits
            TCatalog catalog;
            catalog.Open();
            catalog.PendingRecords = world.Records;
            try {
                catalog.SavePending();
            } catch (...) {
                ::_exit(4);
            }
            ::_exit(0);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        if (stop == QLatin1String("kill"))
            QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        else
            QCOMPARE(WEXITSTATUS(status), whole ? 4 : 3);
        if (stop == QLatin1String("read-only"))
            QVERIFY(::mount(nullptr, QFile::encodeName(world.Storage).constData(), nullptr,
                            MS_REMOUNT, nullptr)
                    == 0);

        TCatalog catalog;
        catalog.Open();
        const TRecovery recovery = RecoverImports(catalog);
        QVERIFY(recovery.Waiting.isEmpty() && recovery.Refused.isEmpty());
        QCOMPARE(world.StorageListing(), whole ? m_after : m_before);
        const auto [stored, named] = StoredAndCatalogued(world);
        QCOMPARE(named, stored);
        QVERIFY(QDir(DataFolder()).entryList({QStringLiteral("import-*")}).isEmpty());
        // The files the import replaced are in the Trash under their own names.
        const QDir trash(world.Root + QStringLiteral("data/Trash/info"));
        QCOMPARE(trash.entryList(QDir::Files).size(), whole ? Tracks : 0);
        if (whole) {
            QFile info(trash.filePath(QStringLiteral("000.mp3.trashinfo")));
            QVERIFY(info.open(QIODevice::ReadOnly));
            QVERIFY(info.readAll().contains("Artist/Album/000.mp3\n"));
        }
        if (stop == QLatin1String("read-only"))
            ::umount(QFile::encodeName(world.Storage).constData());
    }

    // A journal that names anything outside its storage folder is refused, not acted on.
    void journalLeadingOutIsRefused()
    {
        TCopyWorld world;
        const QString outside = world.Write(QStringLiteral("precious"), "mine");
        QDir().mkpath(world.Storage);
        const QString journal = DataFolder() + QStringLiteral("/import-1.journal");
        QByteArray text;
        const auto line = [&](const QByteArray &body) {
            text += body + ' ' + QByteArray::number(qChecksum(body), 16) + '\n';
        };
        line("S " + QFile::encodeName(world.Storage) + " 0");
        line("W " + QFile::encodeName(world.Storage) + "/../precious");
        world.Write(QStringLiteral("data/Quavermill/import-1.journal"), text);
        TCatalog catalog;
        catalog.Open();
        const TRecovery recovery = RecoverImports(catalog);
        QCOMPARE(recovery.Refused, QStringList{journal});
        QVERIFY(QFile::exists(outside));
        QVERIFY(QFile::exists(journal + QStringLiteral(".refused")));
    }
};

QTEST_GUILESS_MAIN(TestCopyCrash)
#include "tst_copy_crash.moc"
