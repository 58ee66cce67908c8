#include "disc_image.h"
#include "rip.h"
#include "test_media.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace TestDisc;

namespace {

// What the progress callback saw, and what it does: stop at a second, or cut the disc image
// short at a second to make the following sectors unreadable.
struct TCallbackWorld {
    QList<QPair<int, int>> calls;
    int stopAt = -1;
    int cutAt = -1;
    QString cutImage;
    qint64 cutSize = 0;
};
TCallbackWorld g_callback;

int32_t OnProgress(int32_t seconds, int32_t user)
{
    g_callback.calls.append({seconds, user});
    if (seconds == g_callback.cutAt)
        QFile::resize(g_callback.cutImage, g_callback.cutSize);
    return seconds == g_callback.stopAt ? 1 : 0;
}

const QList<TTrack> Tracks = {
    {3 * SectorsPerSecond + 10}, {2 * SectorsPerSecond}, {76}, {SectorsPerSecond, true}};

} // namespace

class TestRip : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void ripsTrackByteForByte_data();
    void ripsTrackByteForByte();
    void reportsRisingSecondsWithUserValue();
    void stopFromCallbackKeepsOlderFile();
    void failsWithoutFile_data();
    void failsWithoutFile();
    void unreadableSectorFails();

private:
    QString Target() const { return m_target->path() + QLatin1Char('/'); }
    QStringList TargetFiles() const
    {
        return QDir(m_target->path()).entryList(QDir::Files | QDir::System | QDir::Hidden);
    }
    QTemporaryDir m_discs;
    QString m_cue;
    std::unique_ptr<QTemporaryDir> m_target;
};

void TestRip::initTestCase()
{
    QVERIFY(m_discs.isValid());
    m_cue = WriteDiscImage(m_discs.path(), QStringLiteral("disc"), {Tracks});
    QVERIFY(!m_cue.isEmpty());
}

void TestRip::init()
{
    m_target = std::make_unique<QTemporaryDir>();
    QVERIFY(m_target->isValid());
    g_callback = {};
}

void TestRip::ripsTrackByteForByte_data()
{
    QTest::addColumn<int>("track");
    QTest::addColumn<bool>("slash");

    QTest::newRow("first track") << 1 << true;
    QTest::newRow("middle track") << 2 << true;
    QTest::newRow("last audio track, one second and a sector") << 3 << true;
    QTest::newRow("folder without its final slash") << 1 << false;
}

void TestRip::ripsTrackByteForByte()
{
    QFETCH(int, track);
    QFETCH(bool, slash);
    const QString folder = slash ? Target() : m_target->path();
    QVERIFY(ExtractTrackTo(QFile::encodeName(m_cue).constData(), track,
                           QFile::encodeName(folder).constData(), OnProgress, 7)
            != 0);

    const QString name = QStringLiteral("Track%1.wav").arg(track, 2, 10, QLatin1Char('0'));
    QCOMPARE(TargetFiles(), QStringList{name});
    const QByteArray wav = TestMedia::ReadFile(Target() + name);
    const int sectors = Tracks[track - 1].sectors;
    const QByteArray header = TestMedia::WavHeader(44100, 2, qint64(sectors) * SectorBytes / 4);
    QCOMPARE(wav.left(44), header);
    QVERIFY(wav.mid(44) == TrackSamples(track, sectors));
}

void TestRip::reportsRisingSecondsWithUserValue()
{
    QVERIFY(ExtractTrackTo(QFile::encodeName(m_cue).constData(), 1,
                           QFile::encodeName(Target()).constData(), OnProgress, -42)
            != 0);
    const QList<QPair<int, int>> expected = {{1, -42}, {2, -42}, {3, -42}};
    QCOMPARE(g_callback.calls, expected);
    // No callback at all is fine too.
    QVERIFY(ExtractTrackTo(QFile::encodeName(m_cue).constData(), 2,
                           QFile::encodeName(Target()).constData(), nullptr, 0)
            != 0);
}

void TestRip::stopFromCallbackKeepsOlderFile()
{
    QVERIFY(TestMedia::WriteFile(Target() + QStringLiteral("Track01.wav"), "older"));
    g_callback.stopAt = 2;
    QCOMPARE(ExtractTrackTo(QFile::encodeName(m_cue).constData(), 1,
                            QFile::encodeName(Target()).constData(), OnProgress, 1),
             0);
    QCOMPARE(g_callback.calls.size(), 2);
    QCOMPARE(TargetFiles(), QStringList{QStringLiteral("Track01.wav")});
    QCOMPARE(TestMedia::ReadFile(Target() + QStringLiteral("Track01.wav")), QByteArray("older"));
}

void TestRip::failsWithoutFile_data()
{
    QTest::addColumn<QString>("drive");
    QTest::addColumn<int>("track");
    QTest::addColumn<QString>("folder"); // relative to the target folder
    QTest::addColumn<int>("error");      // errno, which says why

    const QString cue = m_cue;
    const QString fifo = m_discs.filePath(QStringLiteral("fifo"));
    QVERIFY(QFile::exists(fifo) || mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    QTest::newRow("no disc") << m_discs.filePath(QStringLiteral("none.cue")) << 1 << QString()
                             << ENOMEDIUM;
    QTest::newRow("a folder for a drive") << m_discs.path() << 1 << QString() << ENOMEDIUM;
    QTest::newRow("a named pipe for a drive") << fifo << 1 << QString() << ENOMEDIUM;
    QTest::newRow("track 0") << cue << 0 << QString() << ENOENT;
    QTest::newRow("negative track") << cue << -1 << QString() << ENOENT;
    QTest::newRow("beyond the last track") << cue << 5 << QString() << ENOENT;
    QTest::newRow("track 100") << cue << 100 << QString() << ENOENT;
    QTest::newRow("data track") << cue << 4 << QString() << ENOENT;
    QTest::newRow("missing target folder") << cue << 1 << QStringLiteral("missing/") << ENOENT;
}

void TestRip::failsWithoutFile()
{
    QFETCH(QString, drive);
    QFETCH(int, track);
    QFETCH(QString, folder);
    QCOMPARE(ExtractTrackTo(QFile::encodeName(drive).constData(), track,
                            QFile::encodeName(Target() + folder).constData(), OnProgress, 1),
             0);
    QTEST(errno, "error");
    QCOMPARE(TargetFiles(), QStringList());
    QCOMPARE(ExtractTrackTo(nullptr, 1, "/tmp/", OnProgress, 1), 0);
    QCOMPARE(ExtractTrackTo(QFile::encodeName(m_cue).constData(), 1, nullptr, OnProgress, 1), 0);
}

// The image loses its end while the track is read, as a disc with a deep scratch would fail:
// the rip must give up after its retries instead of retrying for ever or keeping a gap.
void TestRip::unreadableSectorFails()
{
    const int sectors = 30 * SectorsPerSecond;
    const QString cue = WriteDiscImage(m_target->path(), QStringLiteral("scratched"),
                                       {{{SectorsPerSecond}, {sectors}}});
    QVERIFY(!cue.isEmpty());
    g_callback.cutImage = m_target->filePath(QStringLiteral("scratched.bin"));
    g_callback.cutSize = qint64(2 * SectorsPerSecond) * SectorBytes;
    g_callback.cutAt = 1;
    QDir().mkpath(Target() + QStringLiteral("out"));
    QCOMPARE(ExtractTrackTo(QFile::encodeName(cue).constData(), 2,
                            QFile::encodeName(Target() + QStringLiteral("out/")).constData(),
                            OnProgress, 1),
             0);
    QCOMPARE(QDir(Target() + QStringLiteral("out")).entryList(QDir::Files), QStringList());
}

QTEST_GUILESS_MAIN(TestRip)
#include "tst_rip.moc"
