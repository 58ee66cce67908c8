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

constexpr int DiscSectors = 12 * 75;
constexpr int NoBin = -1, PipeBin = -2;

// count tracks a tenth of a second apart from start on, numbered from first in steps of step.
QByteArray Tracks(int first, int count, int step = 1, int start = 0)
{
    QByteArray sheet;
    for (int i = 0, at = start; i < count; ++i, at = start + (i * 75) / 10)
        sheet += QString::asprintf("  TRACK %02d AUDIO\n    INDEX 01 %02d:%02d:%02d\n",
                                   first + i * step, at / 4500, at / 75 % 60, at % 75)
                     .toLatin1();
    return sheet;
}

} // namespace

// The program's drives, the ripping library and the CD information tool ask one check before
// libcdio opens a disc: a CUE sheet that lies about its disc is refused by all three alike, at
// once, and a sound one is read by all three.
class TestDiscSource : public QObject {
    Q_OBJECT

    QTemporaryDir m_tools;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(InstallTools(m_tools.path(), {QStringLiteral("cddb")}));
        QVERIFY(WriteFile(m_tools.filePath(QStringLiteral("cddb.ini")),
                          "[CdText]\nUse=0\n[MusicBrainz]\nUse=0\n[Cddb]\nUse=0\n"));
    }

    void cueSheets_data()
    {
        QTest::addColumn<QByteArray>("tracks"); // the sheet after its FILE line
        QTest::addColumn<int>("bin");           // the BIN file's sectors, NoBin or PipeBin
        QTest::addColumn<int>("audioTracks");   // what a reader finds; 0: refused

        const QByteArray two = Tracks(1, 1) + Tracks(2, 1, 1, 225);
        QTest::newRow("three tracks") << two + Tracks(3, 1, 1, 450) << DiscSectors << 3;
        QTest::newRow("99 tracks") << Tracks(1, 99) << DiscSectors << 99;
        QTest::newRow("track 3 at 60:00 on a 12-second BIN")
            << two + Tracks(3, 1, 1, 60 * 4500) << DiscSectors << 0;
        QTest::newRow("a track at the BIN's end")
            << two + Tracks(3, 1, 1, DiscSectors) << DiscSectors << 0;
        QTest::newRow("BIN is a named pipe") << two << PipeBin << 0;
        QTest::newRow("no BIN") << two << NoBin << 0;
        QTest::newRow("100 TRACK lines") << Tracks(1, 100) << DiscSectors << 0;
        // libcdio numbers the tracks from the first TRACK line's number on: 99, 100, 101 ...
        QTest::newRow("TRACK 99 three times") << Tracks(99, 3, 0) << DiscSectors << 0;
        QTest::newRow("80 tracks numbered from 99") << Tracks(99, 80, 0) << DiscSectors << 0;
        QTest::newRow("TRACK 99, then 100") << Tracks(99, 2) << DiscSectors << 0;
        QTest::newRow("out of order") << Tracks(1, 1) + Tracks(3, 2, -1, 225) << DiscSectors << 0;
        QTest::newRow("a track before the one before it")
            << Tracks(1, 1, 1, 225) + Tracks(2, 1) << DiscSectors << 0;
        QTest::newRow("a track without INDEX 01")
            << two + "  TRACK 03 AUDIO\n    INDEX 00 00:06:00\n"
            << DiscSectors << 0;
        QTest::newRow("a CD-TEXT file") << "CDTEXTFILE \"disc.cdt\"\n" + two << DiscSectors << 0;
        // libcdio reads 4095 bytes at a time and takes the rest of a longer line for a line.
        QTest::newRow("a TRACK hidden in a long line") << two + "REM " + QByteArray(4091, 'x')
                + "TRACK 03 AUDIO\n" << DiscSectors << 0;
    }

    void cueSheets()
    {
        QFETCH(QByteArray, tracks);
        QFETCH(int, bin);
        QFETCH(int, audioTracks);
        QTemporaryDir folder;
        const QString cue = folder.filePath(QStringLiteral("disc.cue"));
        const QString binPath = folder.filePath(QStringLiteral("disc.bin"));
        QVERIFY(WriteFile(cue, "FILE \"disc.bin\" BINARY\n" + tracks));
        QVERIFY(bin == NoBin
                || (bin == PipeBin ? mkfifo(QFile::encodeName(binPath).constData(), 0600) == 0
                                   : WriteFile(binPath, QByteArray(bin * 2352, '\0'))));

        QCOMPARE(IsDiscSource(cue.toStdString()), audioTracks > 0);
        QCOMPARE(int(ReadDiscContents(cue).AudioTracks.size()), audioTracks);
        QCOMPARE(ExtractTrackTo(QFile::encodeName(cue).constData(), qMax(audioTracks, 1),
                                QFile::encodeName(folder.path()).constData(), nullptr, 0),
                 audioTracks > 0 ? 1 : 0);
        const TToolRun run = RunToolWith(
            m_tools.path(), QStringLiteral("cddb"),
            "[Parameters]\nOperation=GETCDINFO\nDrive=" + QFile::encodeName(cue) + '\n');
        QVERIFY(!run.crashed);
        QCOMPARE(run.exitCode, audioTracks > 0 ? 0 : 255);
    }
};

QTEST_GUILESS_MAIN(TestDiscSource)
#include "tst_disc_source.moc"
