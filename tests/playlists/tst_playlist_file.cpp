#include "base/errors.h"
#include "playlists/playlist_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString Track(const QString &artist, const QString &name = u"Song"_s)
{
    return BuildRecord(u"DAT"_s, u"Bach"_s, artist, u"Album"_s, u"0"_s,
                       u"/m/"_s + artist + u".mp3"_s, name, u"1"_s);
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QByteArray Crlf(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

} // namespace

class TestPlaylistFile : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_home;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qputenv("XDG_DATA_HOME", m_home.path().toUtf8());
    }

    void paths()
    {
        const QString folder = m_home.path() + u"/Quavermill/"_s;
        QCOMPARE(PlaylistPath(u"My list"_s), folder + u"My list.list"_s);
        QCOMPARE(PlayablePath(u"My list"_s), folder + u"My list.m3u"_s);
        QCOMPARE(PlaylistName(folder + u"My list.list"_s), u"My list"_s);
        QCOMPARE(PlaylistName(u"a.list.list"_s), u"a.list"_s);
    }

    void writeOrder_data()
    {
        QTest::addColumn<QStringList>("records");
        QTest::addColumn<QStringList>("written");

        QTest::newRow("nothing") << QStringList() << QStringList();
        QTest::newRow("whole line ignoring case")
            << QStringList{Track(u"b"_s), Track(u"C"_s), Track(u"A"_s)}
            << QStringList{Track(u"A"_s), Track(u"b"_s), Track(u"C"_s)};
        // The name decides here although the record key is equal: the whole line is the key.
        QTest::newRow("name counts") << QStringList{Track(u"A"_s, u"y"_s), Track(u"A"_s, u"X"_s)}
                                     << QStringList{Track(u"A"_s, u"X"_s), Track(u"A"_s, u"y"_s)};
        QTest::newRow("twins written once")
            << QStringList{Track(u"A"_s), Track(u"B"_s), Track(u"A"_s)}
            << QStringList{Track(u"A"_s), Track(u"B"_s)};
        QTest::newRow("equal ignoring case written once, first kept")
            << QStringList{Track(u"Abba"_s), Track(u"ABBA"_s)} << QStringList{Track(u"Abba"_s)};
    }

    void writeOrder()
    {
        QFETCH(QStringList, records);
        QFETCH(QStringList, written);
        WritePlaylist(u"order"_s, records);
        QCOMPARE(ReadFile(PlaylistPath(u"order"_s)), Crlf(written));
        QCOMPARE(ReadPlaylistLines(PlaylistPath(u"order"_s)), written);
    }

    void sameNameReplacesEvenReadOnly()
    {
        WritePlaylist(u"same"_s, {Track(u"Old"_s)});
        QVERIFY(QFile::setPermissions(PlaylistPath(u"same"_s), QFileDevice::ReadOwner));
        WritePlaylist(u"same"_s, {Track(u"New"_s)});
        QCOMPARE(ReadFile(PlaylistPath(u"same"_s)), Crlf({Track(u"New"_s)}));
        // The old playlist waits in the Trash under its own name; nothing else is left behind.
        QCOMPARE(ReadFile(m_home.path() + u"/Trash/files/same.list"_s), Crlf({Track(u"Old"_s)}));
        QCOMPARE(QDir(m_home.path() + u"/Quavermill"_s)
                     .entryList({u"same*"_s}, QDir::Files | QDir::Hidden),
                 QStringList{u"same.list"_s});
    }

    void badNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << QString();
        QTest::newRow("separator") << u"../escape"_s;
        QTest::newRow("folder") << u"sub/list"_s;
        QTest::newRow("NUL") << u"mp3_library.dat"_s + QChar(0) + u"x"_s;
    }

    void badNames()
    {
        QFETCH(QString, name);
        const QDir data(m_home.path() + u"/Quavermill"_s);
        const QStringList before = data.entryList(QDir::Files | QDir::Hidden);
        QVERIFY_THROWS_EXCEPTION(EQuavermill, WritePlaylist(name, {Track(u"A"_s)}));
        QVERIFY(!QFile::exists(m_home.path() + u"/escape.list"_s));
        QCOMPARE(data.entryList(QDir::Files | QDir::Hidden), before);
    }

    void readForDisplay()
    {
        const QString path = PlaylistPath(u"shown"_s);
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(Crlf({Track(u"Zed"_s), HeaderRecord(), Track(u"abe"_s, u"First"_s),
                             Track(u"Abe"_s, u"Second"_s)}));
        }
        auto list = ReadPlaylistForDisplay(path);
        QCOMPARE(list->Lines(),
                 (QStringList{HeaderRecord(), Track(u"abe"_s, u"First"_s), Track(u"Zed"_s)}));
        QCOMPARE(ReadPlaylistLines(path).size(), 4);
    }

    void missingPlaylist()
    {
        const QString path = PlaylistPath(u"missing"_s);
        QVERIFY_THROWS_EXCEPTION(ESystemError, ReadPlaylistLines(path));
        QVERIFY(ReadPlaylistForDisplay(path)->IsEmpty());
        QCOMPARE(QFile(path).size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestPlaylistFile)
#include "tst_playlist_file.moc"
