#include "catalog/catalog_record.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

TCatalogRecord Track(const QString &composer, const QString &artist, const QString &album,
                     const QString &trackNum = u"0"_s, const QString &fileName = u"/m/a.mp3"_s,
                     const QString &name = u"Song"_s, const QString &fileSize = u"0"_s)
{
    return {u"DAT"_s, composer, artist, album, trackNum, fileName, name, fileSize};
}

QString FieldText(const QString &line, int field)
{
    return line.mid(RecordFieldPlaces[field].start, RecordFieldPlaces[field].width);
}

// The order exactly as described: parse both lines, then compare the six key fields one by
// one, case-insensitively. Only for texts whose case folding Qt's compare handles alike.
QString WithoutAccents(const QString &text)
{
    QString plain = text.normalized(QString::NormalizationForm_D);
    plain.removeIf([](QChar c) { return c.category() == QChar::Mark_NonSpacing; });
    return plain;
}

// Field by field, each first without accents and then with them, always without case.
int ReferenceCompare(const QString &a, const QString &b)
{
    const TCatalogRecord ra = ParseRecord(a);
    const TCatalogRecord rb = ParseRecord(b);
    for (int field = FieldKind; field <= FieldFileName; ++field) {
        int result = WithoutAccents(ra.Field(field))
                         .compare(WithoutAccents(rb.Field(field)), Qt::CaseInsensitive);
        if (result == 0)
            result = ra.Field(field).compare(rb.Field(field), Qt::CaseInsensitive);
        if (result != 0)
            return result;
    }
    return 0;
}

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

} // namespace

class TestCatalogRecord : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void buildRecord_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("stored");

        const QString a150(150, u'a');
        const QString smile = u"\U0001F600"_s;
        QTest::newRow("kind") << int(FieldKind) << u"DAT"_s << u"DAT_"_s;
        QTest::newRow("kind too long") << int(FieldKind) << u"DATA"_s << u"DAT_"_s;
        QTest::newRow("empty composer") << int(FieldComposer) << QString() << QString(100, u'_');
        QTest::newRow("track number") << int(FieldTrackNum) << u"0"_s << u"0"_s + QString(10, u'_');
        QTest::newRow("name of 150") << int(FieldName) << a150 << a150.left(99) + u"_"_s;
        QTest::newRow("pair at the cut is dropped whole")
            << int(FieldName) << QString(98, u'x') + smile + u"y"_s << QString(98, u'x') + u"__"_s;
        QTest::newRow("pair inside is kept")
            << int(FieldName) << QString(97, u'x') + smile << QString(97, u'x') + smile + u"_"_s;
        QTest::newRow("line breaks and NUL become spaces")
            << int(FieldAlbum) << u"a\r\nb\0c"_s << u"a  b c"_s + QString(94, u'_');
        QTest::newRow("size of 9 digits")
            << int(FieldFileSize) << u"123456789"_s << u"123456789_"_s;
        QTest::newRow("size of 10 digits")
            << int(FieldFileSize) << u"1234567890"_s << u"1234567890"_s;
        QTest::newRow("larger size is capped")
            << int(FieldFileSize) << u"123456789012"_s << u"9999999999"_s;
        QTest::newRow("leading zeros do not count")
            << int(FieldFileSize) << u"000000000042"_s << u"42________"_s;
        QTest::newRow("long size text is cut")
            << int(FieldFileSize) << u"abcdefghijkl"_s << u"abcdefghi_"_s;
        QTest::newRow("file name of 300")
            << int(FieldFileName) << QString(300, u'p') << QString(259, u'p') + u"_"_s;
    }

    void buildRecord()
    {
        QFETCH(int, field);
        QFETCH(QString, value);
        QFETCH(QString, stored);

        TCatalogRecord record = Track(u"C"_s, u"A"_s, u"L"_s);
        record.Field(field) = value;
        const QString line = BuildRecord(record);
        QCOMPARE(line.size(), RecordLength);
        QCOMPARE(FieldText(line, field), stored);
        // Every other field keeps its place.
        for (int other = 0; other < RecordFieldCount; ++other) {
            if (other != field)
                QCOMPARE(ParseRecord(line).Field(other), record.Field(other));
        }
    }

    void parseRecord_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("fields");

        const QString full = BuildRecord(Track(u"Bach"_s, u"Gould"_s, u"Goldberg"_s, u"12"_s,
                                               u"/m/g.mp3"_s, u"Aria"_s, u"4096"_s));
        QTest::newRow("full") << full
                              << QStringList{u"DAT"_s, u"Bach"_s,     u"Gould"_s, u"Goldberg"_s,
                                             u"12"_s,  u"/m/g.mp3"_s, u"Aria"_s,  u"4096"_s};
        QTest::newRow("empty line") << QString() << QStringList(8);
        QTest::newRow("short line")
            << u"DAT_Bach_"_s << QStringList{u"DAT"_s, u"Bach"_s, {}, {}, {}, {}, {}, {}};
        QTest::newRow("cut inside a field") << u"DAT_"_s + QString(100, u'_')
                + u"Gou"_s << QStringList{u"DAT"_s, {}, u"Gou"_s, {}, {}, {}, {}, {}};
        QString trailing = full;
        trailing.replace(4, 9, u"Bach _ __"_s);
        QTest::newRow("trailing spaces and underscores")
            << trailing << QStringList{u"DAT"_s, u"Bach"_s,     u"Gould"_s, u"Goldberg"_s,
                                       u"12"_s,  u"/m/g.mp3"_s, u"Aria"_s,  u"4096"_s};
        QString inner = full;
        inner.replace(575, 6, u"a_ b c"_s);
        QTest::newRow("inner underscores and spaces stay")
            << inner << QStringList{u"DAT"_s, u"Bach"_s,     u"Gould"_s,  u"Goldberg"_s,
                                    u"12"_s,  u"/m/g.mp3"_s, u"a_ b c"_s, u"4096"_s};
        QTest::newRow("longer line: size takes 11 at most")
            << full.left(675) + u"12345678901234"_s
            << QStringList{u"DAT"_s, u"Bach"_s,     u"Gould"_s, u"Goldberg"_s,
                           u"12"_s,  u"/m/g.mp3"_s, u"Aria"_s,  u"12345678901"_s};
        QTest::newRow("only padding") << QString(685, u'_') << QStringList(8);
    }

    void parseRecord()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, fields);
        const TCatalogRecord record = ParseRecord(line);
        for (int field = 0; field < RecordFieldCount; ++field)
            QCOMPARE(record.Field(field), fields[field]);
    }

    void valueEndingInUnderscoreLosesIt()
    {
        const QString line = BuildRecord(Track(u"Bach_"_s, u"Gould  "_s, u"Gold_berg"_s));
        const TCatalogRecord record = ParseRecord(line);
        QCOMPARE(record.Composer, u"Bach"_s);
        QCOMPARE(record.Artist, u"Gould"_s);
        QCOMPARE(record.Album, u"Gold_berg"_s);
    }

    void headerRecord()
    {
        const TCatalogRecord header = ParseRecord(HeaderRecord());
        QCOMPARE(header.Kind, u"COM"_s);
        QCOMPARE(header.FileSize, u"FileSize"_s);
        QVERIFY(!header.IsTrack());
        QVERIFY(ParseRecord(u"dat"_s).IsTrack());
        QVERIFY(ParseRecord(u"Dat_"_s).IsTrack());
    }

    void compareStrings_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("order");

        const auto line = [](const QString &composer, const QString &artist = u"A"_s,
                             const QString &trackNum = u"0"_s, const QString &name = u"N"_s) {
            return BuildRecord(Track(composer, artist, u"L"_s, trackNum, u"/f"_s, name));
        };
        QTest::newRow("case ignored") << line(u"abc"_s) << line(u"ABC"_s) << 0;
        QTest::newRow("B after a") << line(u"B"_s) << line(u"a"_s) << 1;
        QTest::newRow("track number as text")
            << line(u"C"_s, u"A"_s, u"10"_s) << line(u"C"_s, u"A"_s, u"9"_s) << -1;
        QTest::newRow("name takes no part")
            << line(u"C"_s, u"A"_s, u"0"_s, u"x"_s) << line(u"C"_s, u"A"_s, u"0"_s, u"y"_s) << 0;
        QTest::newRow("earlier field decides")
            << line(u"a"_s, u"z"_s) << line(u"b"_s, u"a"_s) << -1;
        QTest::newRow("prefix first") << line(u"ab"_s) << line(u"abc"_s) << -1;
        QTest::newRow("prefix before a later field")
            << line(u"ab"_s, u"z"_s) << line(u"ab c"_s, u"a"_s) << -1;
        QTest::newRow("kind case ignored") << u"dat_"_s << u"DAT_"_s << 0;
        QTest::newRow("header before tracks") << HeaderRecord() << line(u"a"_s) << -1;
        QTest::newRow("empty line before header") << QString() << HeaderRecord() << -1;
        QTest::newRow("accented case ignored") << line(u"Ärzte"_s) << line(u"äRZTE"_s) << 0;
        QTest::newRow("accent beside its letter") << line(u"Élan"_s) << line(u"Ezra"_s) << -1;
        QTest::newRow("plain before accented") << line(u"Bjork"_s) << line(u"Björk"_s) << -1;
        QTest::newRow("accent decides before a later letter")
            << line(u"Björk"_s) << line(u"Bjorka"_s) << -1;
        QTest::newRow("accent decides before a later field")
            << line(u"Bjork"_s, u"z"_s) << line(u"Björk"_s, u"a"_s) << -1;
        QTest::newRow("greek case ignored") << line(u"ΣΟΦΙΑ"_s) << line(u"σοφια"_s) << 0;
        QTest::newRow("padding is no part of a value") << u"DAT_x__"_s << u"DAT_x"_s << 0;
    }

    void compareStrings()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, order);
        QCOMPARE(Sign(CompareStrings(a, b)), order);
        QCOMPARE(Sign(CompareStrings(b, a)), -order);
    }

    // The precomputed key must order any two records as the field-by-field comparison does,
    // including values that are prefixes of one another and short, unpadded lines.
    void keyOrderMatchesFieldComparison()
    {
        QRandomGenerator random(7);
        const QString alphabet = u"aAbB _zZ0éÉeè"_s;
        const auto text = [&](int maxLength) {
            QString value;
            for (int i = int(random.bounded(maxLength + 1)); i > 0; --i)
                value += alphabet[random.bounded(int(alphabet.size()))];
            return value;
        };
        for (int round = 0; round < 5000; ++round) {
            QString lines[2];
            for (QString &l : lines) {
                l = BuildRecord(TCatalogRecord{text(2), text(3), text(3), text(2), text(2), text(3),
                                               text(2), text(2)});
                if (random.bounded(4) == 0)
                    l.truncate(random.bounded(RecordLength));
                // Lines read from a file take the byte path when they are plain ASCII.
                QCOMPARE(RecordKeyUtf8(l.toUtf8()), RecordKey(l));
            }
            QCOMPARE(Sign(CompareStrings(lines[0], lines[1])),
                     Sign(ReferenceCompare(lines[0], lines[1])));
        }
    }

    void textIgnoringCase()
    {
        QCOMPARE(CaseInsensitiveKey(u"/Music/A.mp3"_s), CaseInsensitiveKey(u"/music/a.MP3"_s));
        QVERIFY(CaseInsensitiveKey(u"b"_s) > CaseInsensitiveKey(u"A"_s));
        QVERIFY(CaseInsensitiveKey(u"a"_s) < CaseInsensitiveKey(u"ab"_s));
        QVERIFY(CaseInsensitiveKey(u"/Élan.mp3"_s) < CaseInsensitiveKey(u"/Ezra.mp3"_s));
        QCOMPARE(CaseInsensitiveKey(u"/Élan.mp3"_s), CaseInsensitiveKey(u"/éLAN.MP3"_s));
    }
};

QTEST_GUILESS_MAIN(TestCatalogRecord)
#include "tst_catalog_record.moc"
