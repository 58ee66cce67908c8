#include "base/locations.h"
#include "search/cd_tracks.h"
#include "search/track_data.h"
#include "test_media.h"

#include <QTemporaryDir>
#include <QTest>

class TestCdTracks : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void trackNumbers_data();
    void trackNumbers();
    void recordsFromResults_data();
    void recordsFromResults();

private:
    QString file(const QString &name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

static QString Utf8(const char *text)
{
    return QString::fromUtf8(text);
}

void TestCdTracks::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestCdTracks::trackNumbers_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("number");
    QTest::newRow("Track05") << "/dev/sr0/Track05.cda" << 5;
    QTest::newRow("Track12") << "/dev/sr0/Track12.cda" << 12;
    QTest::newRow("Track5") << "/dev/sr0/Track5.cda" << 0;
    QTest::newRow("Audio") << "/dev/sr0/Audio.cda" << 0;
    QTest::newRow("no full stop") << "/dev/sr0/Track05" << 0;
    QTest::newRow("the last full stop counts") << "/m/CD.01/Track07.x.cda" << 0;
    QTest::newRow("too short") << "5.cda" << 0;
    QTest::newRow("other digits") << Utf8("/m/Track٠٥.cda") << 0;
}

void TestCdTracks::trackNumbers()
{
    QFETCH(QString, path);
    QTEST(CdTrackNumber(path), "number");
}

void TestCdTracks::recordsFromResults_data()
{
    QTest::addColumn<QByteArray>("results"); // cddb.rslt, none when empty
    QTest::addColumn<QString>("track");
    QTest::addColumn<QStringList>("record"); // names | albums | artists | composers

    const QByteArray twoDiscs = "[Results]\nCount=2\n"
                                "[Description0]\nAlbum=Homogenic\nArtist=Bj\xc3\xb6rk\n"
                                "TTITLE0=Hunter\nTTITLE2=Unravel\n"
                                "[Description1]\nAlbum=\nArtist=Bj\xc3\xb6rk & Mark Bell\n"
                                "TTITLE2=Unravel (live)\n";
    QTest::newRow("two discs describe track 3")
        << twoDiscs << "Track03.cda"
        << QStringList{Utf8("Unravel,Unravel (live)"), Utf8("Homogenic"),
                       Utf8("Björk,Björk & Mark Bell"), Utf8("Björk,Björk & Mark Bell")};
    QTest::newRow("only one names track 1")
        << twoDiscs << "Track01.cda"
        << QStringList{Utf8("Hunter"), Utf8("Homogenic"), Utf8("Björk,Björk & Mark Bell"),
                       Utf8("Björk,Björk & Mark Bell")};
    QTest::newRow("no track number")
        << twoDiscs << "Track1.cda" << QStringList{QString(), QString(), QString(), QString()};
    QTest::newRow("Count beyond the sections")
        << QByteArray("[Results]\nCount=3\n[Description2]\nTTITLE0=Third\n") << "Track01.cda"
        << QStringList{Utf8("Third"), QString(), QString(), QString()};
    QTest::newRow("a huge count reads the sections there are")
        << QByteArray("[Results]\nCount=999999999\n[Description0]\nTTITLE0=x\n") << "Track01.cda"
        << QStringList{Utf8("x"), QString(), QString(), QString()};
    QTest::newRow("a count too large to be a count")
        << QByteArray("[Results]\nCount=99999999999\n[Description0]\nTTITLE0=x\n") << "Track01.cda"
        << QStringList{QString(), QString(), QString(), QString()};
    QTest::newRow("no count") << QByteArray("[Description0]\nTTITLE0=x\n") << "Track01.cda"
                              << QStringList{QString(), QString(), QString(), QString()};
    QTest::newRow("count not a number")
        << QByteArray("[Results]\nCount=two\n[Description0]\nTTITLE0=x\n") << "Track01.cda"
        << QStringList{QString(), QString(), QString(), QString()};
    QTest::newRow("a 120-character title arrives cut to 99")
        << "[Results]\nCount=1\n[Description0]\nTTITLE0=" + QByteArray(120, 'x') + '\n'
        << "Track01.cda"
        << QStringList{QString(99, QLatin1Char('x')), QString(), QString(), QString()};
    QTest::newRow("no result file")
        << QByteArray() << "Track01.cda" << QStringList{QString(), QString(), QString(), QString()};
}

void TestCdTracks::recordsFromResults()
{
    QFETCH(QByteArray, results);
    QFETCH(QString, track);
    const QString rslt = file(QStringLiteral("cddb.rslt"));
    if (!results.isEmpty())
        QVERIFY(TestMedia::WriteFile(rslt, results));
    const auto answer = results.isEmpty() ? nullptr : std::make_unique<TIniFile>(rslt);
    const std::unique_ptr<TSelectFilesData> record =
        CdTrackRecord(answer.get(), QStringLiteral("/dev/sr0/") + track);
    QVERIFY(record);
    const QStringList lists = {
        record->Names.join(QLatin1Char(',')), record->Albums.join(QLatin1Char(',')),
        record->Artists.join(QLatin1Char(',')), record->Composers.join(QLatin1Char(','))};
    QTEST(lists, "record");
    // Reading leaves the file for the next track.
    QCOMPARE(QFile::exists(rslt), !results.isEmpty());
}

QTEST_GUILESS_MAIN(TestCdTracks)
#include "tst_cd_tracks.moc"
