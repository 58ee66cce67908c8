#include "base/errors.h"
#include "catalog/catalog_file.h"
#include "file_size_limit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

QString Track(const QString &artist, const QString &name = u"Song"_s,
              const QString &fileName = u"/m/a.mp3"_s, const QString &fileSize = u"100"_s)
{
    return BuildRecord(u"DAT"_s, u"Bach"_s, artist, u"Album"_s, u"0"_s, fileName, name, fileSize);
}

QByteArray Crlf(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

class TestCatalogFile : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString Path(const QString &name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void lines_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("empty file") << QByteArray() << QStringList();
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{u"a"_s, u"b"_s};
        QTest::newRow("lone CR and LF")
            << QByteArray("a\rb\nc") << QStringList{u"a"_s, u"b"_s, u"c"_s};
        QTest::newRow("LF CR is two breaks")
            << QByteArray("a\n\rb") << QStringList{u"a"_s, u""_s, u"b"_s};
        QTest::newRow("empty line is kept")
            << QByteArray("a\r\n\r\nb") << QStringList{u"a"_s, u""_s, u"b"_s};
        QTest::newRow("only a break") << QByteArray("\r\n") << QStringList{u""_s};
        // A power cut can leave a block of zero bytes: the text on both sides stays.
        QTest::newRow("NUL breaks a line")
            << QByteArray("a\r\nb\0c\r\nd", 9) << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s};
        QTest::newRow("NUL at a line start")
            << QByteArray("a\r\n\0b", 5) << QStringList{u"a"_s, u"b"_s};
        QTest::newRow("zeroed block across records")
            << QByteArray("ab\0\0\0\0cd\r\nef", 12) << QStringList{u"ab"_s, u"cd"_s, u"ef"_s};
        QTest::newRow("NUL run with a break after it")
            << QByteArray("a\0\0\r\nb\0\n\nc", 10) << QStringList{u"a"_s, u"b"_s, u""_s, u"c"_s};
        QTest::newRow("NUL first and last") << QByteArray("\0a\0", 3) << QStringList{u"a"_s};
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF"
                                                       "COM\r\n")
                                         << QStringList{u"COM"_s};
        QTest::newRow("Latin-1 line")
            << QByteArray("Bj\xF6rk\r\nBjörk") << QStringList{u"Björk"_s, u"Björk"_s};
        QTest::newRow("broken UTF-8 is Latin-1")
            << QByteArray("\xC3(\xE2\x82") << QStringList{u"Ã(â\u0082"_s};
        QTest::newRow("CR LF across read chunks") << QByteArray((1 << 20) - 1, 'x')
                + "\r\ny" << QStringList{QString((1 << 20) - 1, u'x'), u"y"_s};
    }

    void lines()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, lines);
        WriteFile(Path(u"lines"_s), content);
        QCOMPARE(ReadLines(Path(u"lines"_s)), lines);
        QStringList split;
        for (const QByteArray &line : SplitLinesUtf8(content))
            split.append(QString::fromUtf8(line));
        QCOMPARE(split, lines);
    }

    void missingFileIsCreatedEmptyThenGetsHeader()
    {
        const QString path = Path(u"new.dat"_s);
        auto catalog = OpenCatalog(path);
        QVERIFY(catalog->IsEmpty());
        QVERIFY(QFile::exists(path));
        QCOMPARE(QFile(path).size(), 0);
        QVERIFY(AddHeaderRecordIfEmpty(*catalog));
        QVERIFY(!AddHeaderRecordIfEmpty(*catalog));
        MergePending(*catalog, {});
        SaveCatalog(*catalog, path);
        QCOMPARE(ReadFile(path), Crlf({HeaderRecord()}));
    }

    // Only a regular file is read, at once and without waiting, and the message says what
    // is wrong. A link to nowhere is not followed to create a file where it points.
    void openFailures_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing folder")
            << Path(u"no/such/folder.dat"_s) << u"No such file or directory"_s;
        QTest::newRow("a folder") << m_dir.path() << u"is a folder"_s;
        QTest::newRow("a named pipe") << Path(u"pipe.dat"_s) << u"is a named pipe, not a file"_s;
        QTest::newRow("a link to nowhere")
            << Path(u"dangling.dat"_s) << u"is a link to a file that does not exist"_s;
        QTest::newRow("NUL in the name")
            << Path(u"nul"_s) + QChar(0) + u".dat"_s << u"Invalid argument"_s;
    }

    void openFailures()
    {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        mkfifo(QFile::encodeName(Path(u"pipe.dat"_s)).constData(), 0600);
        QFile::link(Path(u"gone/catalog.dat"_s), Path(u"dangling.dat"_s));
        QDir().mkpath(Path(u"gone"_s));
        try {
            OpenCatalog(path);
            QFAIL("no error raised");
        } catch (const ESystemError &error) {
            QVERIFY2(error.message().endsWith(u": "_s + reason), qPrintable(error.message()));
        }
        QVERIFY_THROWS_EXCEPTION(ESystemError, ReadLines(path));
        QVERIFY(!QFile::exists(Path(u"nul"_s)));
        QVERIFY(!QFile::exists(Path(u"gone/catalog.dat"_s)));
    }

    void loadSortsAndKeepsFirstOfEqualKeys()
    {
        const QString path = Path(u"load.dat"_s);
        WriteFile(path,
                  Crlf({Track(u"Zed"_s), Track(u"Abe"_s, u"First"_s), HeaderRecord(),
                        Track(u"ABE"_s, u"Second"_s), QString()}));
        auto catalog = OpenCatalog(path);
        QCOMPARE(
            catalog->Lines(),
            (QStringList{QString(), HeaderRecord(), Track(u"Abe"_s, u"First"_s), Track(u"Zed"_s)}));
        QCOMPARE(catalog->IndexOf(Track(u"abe"_s, u"Other"_s)), 2);
        QCOMPARE(catalog->Add(Track(u"aBe"_s, u"Third"_s)), -1);
        QCOMPARE(catalog->Count(), 4);
    }

    // A lone surrogate cannot be stored as UTF-8; the list must hold and order the line as it
    // is written, or a save and load would reorder it or drop it as a twin of another.
    void heldAsWritten()
    {
        const QString path = Path(u"surrogate.dat"_s);
        TBaseStringList catalog;
        QCOMPARE(catalog.Add(Track(u"Zed"_s)), 0);
        QCOMPARE(catalog.Add(Track(u"x"_s + QChar(char16_t(0xD800)))), 0);
        QCOMPARE(catalog.Add(Track(u"x"_s + QChar(char16_t(0xDC00)))), -1);
        QCOMPARE(catalog.IndexOf(catalog.Line(0)), 0);
        SaveCatalog(catalog, path);
        QCOMPARE(OpenCatalog(path)->Lines(), catalog.Lines());
    }

    void merge_data()
    {
        QTest::addColumn<QStringList>("pending");
        QTest::addColumn<QStringList>("expected");

        const QString held = Track(u"Gould"_s, u"Old"_s, u"/m/a.mp3"_s, u"1"_s);
        const QString other = Track(u"Perahia"_s);
        QTest::newRow("nothing pending") << QStringList() << QStringList{held, other};
        QTest::newRow("equal key replaces")
            << QStringList{Track(u"GOULD"_s, u"New"_s, u"/m/a.mp3"_s, u"2"_s)}
            << QStringList{Track(u"GOULD"_s, u"New"_s, u"/m/a.mp3"_s, u"2"_s), other};
        QTest::newRow("other artist adds")
            << QStringList{Track(u"Hewitt"_s)} << QStringList{held, Track(u"Hewitt"_s), other};
        QTest::newRow("later pending wins")
            << QStringList{Track(u"Abel"_s, u"One"_s), Track(u"abel"_s, u"Two"_s)}
            << QStringList{Track(u"abel"_s, u"Two"_s), held, other};
        QTest::newRow("several places")
            << QStringList{Track(u"Zimerman"_s), Track(u"Anda"_s), Track(u"Perahia"_s, u"X"_s)}
            << QStringList{Track(u"Anda"_s), held, Track(u"Perahia"_s, u"X"_s),
                           Track(u"Zimerman"_s)};
    }

    void merge()
    {
        QFETCH(QStringList, pending);
        QFETCH(QStringList, expected);
        TBaseStringList catalog;
        catalog.Add(Track(u"Perahia"_s));
        catalog.Add(Track(u"Gould"_s, u"Old"_s, u"/m/a.mp3"_s, u"1"_s));
        MergePending(catalog, pending);
        QCOMPARE(catalog.Lines(), expected);
        // The one-pass merge gives what finding, removing and adding each in turn gives.
        TBaseStringList single;
        single.Add(Track(u"Perahia"_s));
        single.Add(Track(u"Gould"_s, u"Old"_s, u"/m/a.mp3"_s, u"1"_s));
        for (const QString &line : pending) {
            if (const int held = single.IndexOf(line); held >= 0)
                single.Delete(held);
            single.Add(line);
        }
        QCOMPARE(single.Lines(), expected);
    }

    void purgeRemovesMarkedOnly()
    {
        TBaseStringList catalog;
        for (const QString &artist : {u"A"_s, u"B"_s, u"C"_s, u"D"_s, u"E"_s})
            catalog.Add(Track(artist));
        catalog.SetMark(1, 1);
        catalog.SetMark(2, 1);
        catalog.SetMark(4, 7);
        Purge(catalog);
        QCOMPARE(catalog.Lines(), (QStringList{Track(u"A"_s), Track(u"D"_s)}));
        QCOMPARE(catalog.Mark(0) + catalog.Mark(1), 0);
    }

    void latin1LineSurvivesLoadAndSave()
    {
        const QString path = Path(u"latin1.dat"_s);
        const QString line = Track(u"Björk Guðmundsdóttir"_s, u"Jóga ÿ"_s);
        WriteFile(path, line.toLatin1() + "\r\n");
        auto catalog = OpenCatalog(path);
        QCOMPARE(catalog->Record(0).Artist, u"Björk Guðmundsdóttir"_s);
        QCOMPARE(catalog->Record(0).FileSize, u"100"_s);
        SaveCatalog(*catalog, path);
        QCOMPARE(ReadFile(path), line.toUtf8() + "\r\n");
        QCOMPARE(OpenCatalog(path)->Lines(), QStringList{line});
    }

    void saveReplacesReadOnlyFile()
    {
        const QString path = Path(u"readonly.dat"_s);
        WriteFile(path, "old\r\n");
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
        TBaseStringList catalog;
        catalog.Add(HeaderRecord());
        SaveCatalog(catalog, path);
        QCOMPARE(ReadFile(path), Crlf({HeaderRecord()}));
        QVERIFY(QFile::permissions(path) & QFileDevice::WriteOwner);
    }

    void failedSaveLeavesOldFile()
    {
        const QString path = Path(u"kept.dat"_s);
        const QByteArray old = Crlf({HeaderRecord(), Track(u"Kept"_s)});
        WriteFile(path, old);
        TBaseStringList catalog;
        for (int i = 0; i < 20; ++i)
            catalog.Add(Track(QString::number(i)));
        {
            TFileSizeLimit limit(4096);
            QVERIFY_THROWS_EXCEPTION(EQuavermill, SaveCatalog(catalog, path));
        }
        QCOMPARE(ReadFile(path), old);
        QCOMPARE(QDir(m_dir.path()).entryList({u"kept.dat*"_s}, QDir::Files | QDir::Hidden),
                 QStringList{u"kept.dat"_s});
        QVERIFY_THROWS_EXCEPTION(EQuavermill, SaveCatalog(catalog, Path(u"no/folder.dat"_s)));
    }
};

QTEST_GUILESS_MAIN(TestCatalogFile)
#include "tst_catalog_file.moc"
