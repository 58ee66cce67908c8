#include "common/disc_source.h"
#include "platform/audio_cd.h"
#include "rip.h"
#include "test_media.h"
#include "tool_process.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace TestMedia;

namespace {

constexpr int SectorsPerSecond = 75;
constexpr int DiscSeconds = 12;
constexpr int NoBin = -1, PipeBin = -2;

// One track of a sheet: its number and where its INDEX 01 puts its start.
QByteArray Track(int number, int sector)
{
    return QStringLiteral("  TRACK %1 AUDIO\n    INDEX 01 %2:%3:%4\n")
        .arg(number, 2, 10, QLatin1Char('0'))
        .arg(sector / (60 * SectorsPerSecond), 2, 10, QLatin1Char('0'))
        .arg(sector / SectorsPerSecond % 60, 2, 10, QLatin1Char('0'))
        .arg(sector % SectorsPerSecond, 2, 10, QLatin1Char('0'))
        .toLatin1();
}

// count tracks a tenth of a second apart, numbered from first on in steps of step.
QByteArray Tracks(int first, int count, int step = 1)
{
    QByteArray tracks;
    for (int i = 0; i < count; ++i)
        tracks += Track(first + i * step, i * SectorsPerSecond / 10);
    return tracks;
}

} // namespace

// The program's drives, the ripping library and the CD information tool ask one check before
// libcdio opens a disc: a CUE sheet that lies about its disc is refused by all three alike, at
// once, and a sound one is read by all three.
class TestDiscSource : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cueSheets_data();
    void cueSheets();

private:
    QTemporaryDir m_tools;
};

void TestDiscSource::initTestCase()
{
    QVERIFY(m_tools.isValid());
    QVERIFY(InstallTools(m_tools.path(), {QStringLiteral("cddb")}));
    QVERIFY(WriteFile(m_tools.filePath(QStringLiteral("cddb.ini")),
                      "[CdText]\nUse=0\n[MusicBrainz]\nUse=0\n[Cddb]\nUse=0\n"));
}

void TestDiscSource::cueSheets_data()
{
    QTest::addColumn<QByteArray>("tracks"); // the sheet after its FILE line
    QTest::addColumn<int>("bin");           // the BIN file's seconds, NoBin or PipeBin
    QTest::addColumn<int>("audioTracks");   // what a reader finds; 0: refused

    const QByteArray three = Track(1, 0) + Track(2, 225) + Track(3, 450);
    QTest::newRow("three tracks") << three << DiscSeconds << 3;
    QTest::newRow("99 tracks") << Tracks(1, 99) << DiscSeconds << 99;
    QTest::newRow("track 3 at 60:00 on a 12-second BIN")
        << Track(1, 0) + Track(2, 225) + Track(3, 60 * 60 * SectorsPerSecond) << DiscSeconds << 0;
    QTest::newRow("last track at the BIN's end")
        << Track(1, 0) + Track(2, DiscSeconds * SectorsPerSecond) << DiscSeconds << 0;
    QTest::newRow("BIN is a named pipe") << three << PipeBin << 0;
    QTest::newRow("no BIN") << three << NoBin << 0;
    QTest::newRow("100 TRACK lines") << Tracks(1, 100) << DiscSeconds << 0;
    // libcdio numbers the tracks from the first TRACK line's number on: 99, 100, 101 ...
    QTest::newRow("TRACK 99 three times") << Tracks(99, 3, 0) << DiscSeconds << 0;
    QTest::newRow("80 tracks numbered from 99") << Tracks(99, 80, 0) << DiscSeconds << 0;
    QTest::newRow("TRACK 99, then 100") << Tracks(99, 2) << DiscSeconds << 0;
    QTest::newRow("out of order") << Track(1, 0) + Track(3, 225) + Track(2, 450) << DiscSeconds
                                  << 0;
    QTest::newRow("a track before the one before it")
        << Track(1, 0) + Track(2, 450) + Track(3, 225) << DiscSeconds << 0;
    QTest::newRow("a track without INDEX 01")
        << Track(1, 0) + "  TRACK 02 AUDIO\n    INDEX 00 00:03:00\n" + Track(3, 450) << DiscSeconds
        << 0;
    QTest::newRow("a CD-TEXT file") << "CDTEXTFILE \"disc.cdt\"\n" + three << DiscSeconds << 0;
    // libcdio reads 4095 bytes at a time and takes the rest of a longer line for a line.
    QTest::newRow("a TRACK hidden in a long line") << three + "REM " + QByteArray(4091, 'x')
            + "TRACK 04 AUDIO\n" << DiscSeconds << 0;
}

void TestDiscSource::cueSheets()
{
    QFETCH(QByteArray, tracks);
    QFETCH(int, bin);
    QFETCH(int, audioTracks);

    QTemporaryDir folder;
    const QString cue = folder.filePath(QStringLiteral("disc.cue"));
    const QString binPath = folder.filePath(QStringLiteral("disc.bin"));
    QVERIFY(WriteFile(cue, "FILE \"disc.bin\" BINARY\n" + tracks));
    if (bin == PipeBin)
        QCOMPARE(mkfifo(QFile::encodeName(binPath).constData(), 0600), 0);
    else if (bin != NoBin)
        QVERIFY(WriteFile(binPath, QByteArray(bin * SectorsPerSecond * 2352, '\0')));

    QCOMPARE(IsDiscSource(cue.toStdString()), audioTracks > 0);
    QCOMPARE(int(ReadDiscContents(cue).AudioTracks.size()), audioTracks);
    const int last = qMax(audioTracks, 1);
    QCOMPARE(ExtractTrackTo(QFile::encodeName(cue).constData(), last,
                            QFile::encodeName(folder.path()).constData(), nullptr, 0),
             audioTracks > 0 ? 1 : 0);
    const TToolRun run =
        RunToolWith(m_tools.path(), QStringLiteral("cddb"),
                    "[Parameters]\nOperation=GETCDINFO\nDrive=" + QFile::encodeName(cue) + '\n');
    QVERIFY(!run.crashed);
    QCOMPARE(run.exitCode, audioTracks > 0 ? 0 : 255);
}

QTEST_GUILESS_MAIN(TestDiscSource)
#include "tst_disc_source.moc"
