#include "base/locations.h"
#include "exchange/tool_files.h"
#include "test_media.h"
#include "tool_process.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <taglib/apetag.h>
#include <taglib/asffile.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>

#include <algorithm>

using namespace TestMedia;

class TestWmaTool : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void mp3RoundTrip_data();
    void mp3RoundTrip();
    void readsId3v1AndPrefersId3v2();
    void wmaRoundTrip();
    void readerAgreesWithTagLib_data();
    void readerAgreesWithTagLib();
    void writesTagsInTheirRoom_data();
    void writesTagsInTheirRoom();
    void updateWithoutWriterFails();
    void damagedFilesFail_data();
    void damagedFilesFail();
    void mutatedFilesNeverCrash();

private:
    QString file(const QString &name) const { return m_dir.filePath(name); }
    QString Program() const { return m_dir.path() + QLatin1Char('/'); }
    QByteArray TaggedWma();
    QTemporaryDir m_dir;
};

static QString Utf8(const char *text)
{
    return QString::fromUtf8(text);
}

static QString FromTagLib(const TagLib::String &text)
{
    return QString::fromStdString(text.to8Bit(true));
}

// The four texts as TagLib reads them, cut as ReadWmaTags cuts them.
static QStringList TagLibTags(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    QStringList tags;
    if (ReadFile(path).startsWith(QByteArray::fromHex("3026B2758E66CF11A6D900AA0062CE6C"))) {
        TagLib::ASF::File file(name.constData());
        const TagLib::ASF::Tag *tag = file.tag();
        const TagLib::ASF::AttributeList composers = tag->attribute("WM/Composer");
        tags = QStringList{
            FromTagLib(tag->title()), FromTagLib(tag->album()), FromTagLib(tag->artist()),
            composers.isEmpty() ? QString() : FromTagLib(composers.front().toString())};
    } else {
        // TagLib takes each text from the first of ID3v2, APE and ID3v1 that has it.
        TagLib::MPEG::File file(name.constData());
        const TagLib::Tag *tag = file.tag();
        QString composer;
        if (file.hasID3v2Tag() && !file.ID3v2Tag()->frameListMap()["TCOM"].isEmpty())
            composer = FromTagLib(file.ID3v2Tag()->frameListMap()["TCOM"].front()->toString());
        if (composer.isEmpty() && file.hasAPETag())
            composer = FromTagLib(file.APETag()->itemListMap()["COMPOSER"].values().toString());
        tags = QStringList{FromTagLib(tag->title()), FromTagLib(tag->album()),
                           FromTagLib(tag->artist()), composer};
    }
    for (QString &tag : tags)
        tag = tag.left(99);
    return tags;
}

static QByteArray ReadParameters(const QString &path)
{
    return "[Parameters]\nFileToWork=" + path.toUtf8() + "\nOperation=READWMATAGS\n";
}

void TestWmaTool::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(InstallTools(
        m_dir.path(),
        {QStringLiteral("wma"), QStringLiteral("wma-update"), QStringLiteral("wav2wma")}));
}

void TestWmaTool::mp3RoundTrip_data()
{
    QTest::addColumn<QStringList>("tags"); // Name, Album, Artist, Composer

    QTest::newRow("ASCII") << QStringList{Utf8("Song"), Utf8("Album"), Utf8("Artist"),
                                          Utf8("Composer")};
    QTest::newRow("accents and dash")
        << QStringList{Utf8("Björk — Jóga"), Utf8("Homogenic"), Utf8("Björk"), Utf8("Sjón")};
    QTest::newRow("CJK and emoji") << QStringList{Utf8("戦場のメリークリスマス 🎹"), Utf8("𝄞 Suite"),
                                                  Utf8("坂本龍一"), Utf8("Ryūichi")};
    QTest::newRow("ini characters")
        << QStringList{Utf8("a=b; c [d]"), Utf8("#1"), Utf8("x=y"), Utf8(";")};
    QTest::newRow("empty composer")
        << QStringList{Utf8("Name"), Utf8("Album"), Utf8("Artist"), QString()};
}

void TestWmaTool::mp3RoundTrip()
{
    QFETCH(QStringList, tags);
    const QString mp3 = file(Utf8("Jóga.mp3"));
    QVERIFY(WriteFile(mp3, SilentMp3()));
    UpdateWmaTags(Program(), mp3, tags[0], tags[1], tags[2], tags[3]);

    {
        TagLib::MPEG::File written(QFile::encodeName(mp3).constData());
        QVERIFY(written.hasID3v2Tag());
        QVERIFY(!written.hasID3v1Tag());
        TagLib::ID3v2::Tag *id3 = written.ID3v2Tag();
        QCOMPARE(FromTagLib(id3->title()), tags[0]);
        QCOMPARE(FromTagLib(id3->album()), tags[1]);
        QCOMPARE(FromTagLib(id3->artist()), tags[2]);
        const TagLib::ID3v2::FrameList composers = id3->frameListMap()["TCOM"];
        QCOMPARE(composers.isEmpty() ? QString() : FromTagLib(composers.front()->toString()),
                 tags[3]);
        QVERIFY(written.audioProperties() && written.audioProperties()->lengthInMilliseconds() > 0);
    }
    const TWmaTags read = ReadWmaTags(Program(), mp3);
    QCOMPARE((QStringList{read.Name, read.Album, read.Artist, read.Composer}), tags);
}

void TestWmaTool::readsId3v1AndPrefersId3v2()
{
    const QString mp3 = file(QStringLiteral("old.mp3"));
    QVERIFY(WriteFile(mp3, SilentMp3() + Id3v1("Old title", "Old artist", "Old album")));
    TWmaTags read = ReadWmaTags(Program(), mp3);
    QCOMPARE((QStringList{read.Name, read.Album, read.Artist, read.Composer}),
             (QStringList{Utf8("Old title"), Utf8("Old album"), Utf8("Old artist"), QString()}));

    // Updating writes ID3v2 and keeps the ID3v1 tag in step; ID3v2 is read first.
    UpdateWmaTags(Program(), mp3, Utf8("Néw"), QString(), Utf8("New artist"), Utf8("C"));
    read = ReadWmaTags(Program(), mp3);
    QCOMPARE((QStringList{read.Name, read.Album, read.Artist, read.Composer}),
             (QStringList{Utf8("Néw"), QString(), Utf8("New artist"), Utf8("C")}));
    TagLib::MPEG::File written(QFile::encodeName(mp3).constData());
    QVERIFY(written.hasID3v1Tag());
    QCOMPARE(FromTagLib(written.ID3v1Tag()->artist()), Utf8("New artist"));
}

QByteArray TestWmaTool::TaggedWma()
{
    const QString wav = file(QStringLiteral("tone.wav"));
    if (!WriteFile(wav, Wav(44100, 2, 44100))
        || !ConvertWavToWma(Program(), wav, Utf8("Björk — Jóga"), Utf8("Homogenic"), Utf8("Sjón"),
                            Utf8("Björk")))
        return {};
    return ReadFile(file(QStringLiteral("tone.wma")));
}

void TestWmaTool::wmaRoundTrip()
{
    const QByteArray wmaBytes = TaggedWma();
    QVERIFY(!wmaBytes.isEmpty());
    const QString wma = file(QStringLiteral("tone.wma"));
    TWmaTags read = ReadWmaTags(Program(), wma);
    QCOMPARE((QStringList{read.Name, read.Album, read.Artist, read.Composer}),
             (QStringList{Utf8("Björk — Jóga"), Utf8("Homogenic"), Utf8("Björk"), Utf8("Sjón")}));

    UpdateWmaTags(Program(), wma, Utf8("Hunter"), Utf8("Homogenic"), Utf8("B."), QString());
    read = ReadWmaTags(Program(), wma);
    QCOMPARE((QStringList{read.Name, read.Album, read.Artist, read.Composer}),
             (QStringList{Utf8("Hunter"), Utf8("Homogenic"), Utf8("B."), QString()}));
    TagLib::ASF::File written(QFile::encodeName(wma).constData());
    QVERIFY(written.isValid());
    QCOMPARE(FromTagLib(written.tag()->title()), Utf8("Hunter"));
    QVERIFY(!written.tag()->contains("WM/Composer"));
    QVERIFY(DecodedSamples(wma) > 40000);
}

// The tag tool reads tags with its own small reader; TagLib is the reference.
void TestWmaTool::readerAgreesWithTagLib_data()
{
    QTest::addColumn<QByteArray>("content");   // an MP3; empty: a WMA made by wav2wma
    QTest::addColumn<QString>("taglibEdit");   // how TagLib changes the file first, if at all
    QTest::addColumn<QString>("name");         // what the reader must find as the name
    QTest::addColumn<QStringList>("expected"); // the four texts where TagLib 1.13 misreads the file

    const QByteArray audio = SilentMp3(4);
    const QString joga = Utf8("Björk — Jóga 🎵");
    const QList<TId3Frame> latin = {{"TT2", Latin1Text(Utf8("Café"))},
                                    {"TP1", Latin1Text(Utf8("Ärzte"))},
                                    {"TAL", Latin1Text(Utf8("Album"))},
                                    {"TCM", Latin1Text(Utf8("Comp"))}};
    const QByteArray v23ExtendedHeader = QByteArray::fromHex("00000006000000000000");
    const QByteArray v24ExtendedHeader = QByteArray::fromHex("000000060100");

    QTest::newRow("v2.4 by TagLib") << audio << Utf8("v4") << joga << QStringList();
    QTest::newRow("v2.3 by TagLib") << audio << Utf8("v3") << joga << QStringList();
    QTest::newRow("v2.2, Latin-1")
        << Id3v2(2, latin) + audio << QString() << Utf8("Café") << QStringList();
    QTest::newRow("v2.3, unsynchronised")
        << Id3v2(3, {{"TIT2", Latin1Text(Utf8("ÿÿ ÿ"))}, {"TPE1", Utf16Text(joga)}}, true) + audio
        << QString() << Utf8("ÿÿ ÿ") << QStringList();
    QTest::newRow("v2.3, extended header")
        << Id3v2(3, {{"TIT2", Utf16Text(joga)}}, false, v23ExtendedHeader) + audio << QString()
        << joga << QStringList{joga, QString(), QString(), QString()};
    QTest::newRow("v2.4, extended header, UTF-16BE")
        << Id3v2(4, {{"TIT2", Utf16Text(joga, true)}, {"TCOM", Utf8Text(Utf8("Sjón"))}}, false,
                 v24ExtendedHeader)
            + audio
        << QString() << joga << QStringList{joga, QString(), QString(), Utf8("Sjón")};
    QTest::newRow("v2.3, unsynchronised, extended header")
        << Id3v2(3, {{"TIT2", Latin1Text(Utf8("ÿÿ ÿ"))}, {"TPE1", Utf16Text(joga)}}, true,
                 v23ExtendedHeader)
            + audio
        << QString() << Utf8("ÿÿ ÿ") << QStringList{Utf8("ÿÿ ÿ"), QString(), joga, QString()};
    // A group byte, then the data length, as four bytes of seven bits (the text is short).
    QTest::newRow("v2.4, grouping and data length")
        << Id3v2(4,
                 {{"TIT2", "\x05" + QByteArray(3, 0) + char(Utf8Text(joga).size()) + Utf8Text(joga),
                   0x0041},
                  {"TPE1", Latin1Text(Utf8("Artist"))}})
            + audio
        << QString() << joga << QStringList{joga, QString(), Utf8("Artist"), QString()};
    QTest::newRow("v2.4, two values")
        << Id3v2(4, {{"TIT2", Utf8Text(Utf8("One")) + '\0' + "Two"}}) + audio << QString()
        << Utf8("One Two") << QStringList();
    QTest::newRow("zeros before the audio")
        << Id3v2(4, {{"TIT2", Utf8Text(Utf8("Zeros"))}}) + QByteArray(300, '\0') + audio
        << QString() << Utf8("Zeros") << QStringList();
    QTest::newRow("ID3v1 only") << audio + Id3v1("Title", "Artist", "Album") << QString()
                                << Utf8("Title") << QStringList();
    QTest::newRow("ID3v1 fills what ID3v2 lacks") << Id3v2(3, {{"TPE1", Latin1Text(Utf8("Newer"))}})
            + audio + Id3v1("Older", "Old artist", "Old album")
                                                  << QString() << Utf8("Older") << QStringList();
    QTest::newRow("no tags") << audio << QString() << QString() << QStringList();
    QTest::newRow("v2.3, compressed frame")
        << Id3v2(3,
                 {{"TIT2", qCompress(Latin1Text(Utf8("Packed"))), 0x0080},
                  {"TPE1", Latin1Text(Utf8("Artist"))}})
            + audio
        << QString() << Utf8("Packed") << QStringList();
    QTest::newRow("v2.4, compressed frame")
        << Id3v2(4,
                 {{"TALB", Utf8Text(Utf8("Album"))},
                  {"TIT2", qCompress(Utf8Text(joga)), 0x0009},
                  {"TCOM", qCompress(Utf8Text(Utf8("Sjón"))), 0x0009}})
            + audio
        << QString() << joga << QStringList();
    QByteArray unsynchronised = Latin1Text(Utf8("ÿÿ ÿ"));
    unsynchronised.replace(QByteArray("\xff", 1), QByteArray("\xff\x00", 2));
    QTest::newRow("v2.4, unsynchronised frame") << Id3v2(4, {{"TIT2", unsynchronised, 0x0002}})
            + audio << QString() << Utf8("ÿÿ ÿ") << QStringList();
    const QList<QPair<QByteArray, QString>> apeItems = {{"Title", Utf8("Apé")},
                                                        {"Artist", Utf8("Ape artist")},
                                                        {"Album", Utf8("Ape album")},
                                                        {"Composer", Utf8("Ape composer")}};
    QTest::newRow("APE") << audio + ApeTag(apeItems) << QString() << Utf8("Apé") << QStringList();
    QTest::newRow("APE before ID3v1")
        << audio + ApeTag({{"Title", joga}}) + Id3v1("Old title", "Old artist", "Old album")
        << QString() << joga << QStringList();
    QTest::newRow("ID3v2, composer in APE") << Id3v2(4, {{"TIT2", Utf8Text(Utf8("Both"))}}) + audio
            + ApeTag({{"Composer", Utf8("Sjón")}})
                                            << QString() << Utf8("Both") << QStringList();
    QTest::newRow("tag only, ID3v2")
        << Id3v2(4, {{"TIT2", Utf8Text(joga)}, {"TALB", Latin1Text(Utf8("Album"))}}) << QString()
        << joga << QStringList();
    QTest::newRow("tag only, extended header")
        << Id3v2(3, {{"TIT2", Utf16Text(joga)}}, false, v23ExtendedHeader) << QString() << joga
        << QStringList{joga, QString(), QString(), QString()};
    QTest::newRow("tag only, ID3v1")
        << Id3v1("Title", "Artist", "Album") << QString() << Utf8("Title") << QStringList();
    QTest::newRow("cut inside the tag")
        << Id3v2(3, {{"TIT2", Latin1Text(Utf8("Cut"))}, {"TPE1", Latin1Text(Utf8("Lost"))}})
               .chopped(3)
        << QString() << Utf8("Cut") << QStringList();
    QRandomGenerator random(7);
    QByteArray junk(4000, '\0');
    random.fillRange(reinterpret_cast<quint32 *>(junk.data()), junk.size() / 4);
    QTest::newRow("junk between the tag and the audio")
        << Id3v2(4, {{"TIT2", Utf8Text(Utf8("Junk"))}}) + junk + audio << QString() << Utf8("Junk")
        << QStringList();
    QTest::newRow("junk before the tag") << QByteArray("not a tag\n").repeated(30)
            + Id3v2(3, {{"TIT2", Latin1Text(Utf8("Hid"))}}) + audio
                                         << QString() << Utf8("Hid") << QStringList();
    QTest::newRow("junk before the audio, no tags")
        << junk + audio << QString() << QString() << QStringList();
    QTest::newRow("WMA by wav2wma")
        << QByteArray() << QString() << Utf8("Björk — Jóga") << QStringList();
    QTest::newRow("WMA, long composer")
        << QByteArray() << Utf8("long") << Utf8("Björk — Jóga") << QStringList();
}

void TestWmaTool::readerAgreesWithTagLib()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, taglibEdit);
    QFETCH(QString, name);
    QFETCH(QStringList, expected);

    QString path = file(QStringLiteral("agree.mp3"));
    if (content.isEmpty()) {
        QVERIFY(!TaggedWma().isEmpty());
        path = file(QStringLiteral("tone.wma"));
    } else {
        QVERIFY(WriteFile(path, content));
    }
    const QByteArray encoded = QFile::encodeName(path);
    if (taglibEdit == QLatin1String("long")) {
        // Too long for the extended content object: TagLib keeps it in the metadata library.
        TagLib::ASF::File wma(encoded.constData());
        wma.tag()->setAttribute("WM/Composer",
                                TagLib::ASF::Attribute(TagLib::String(std::string(70000, 'c'))));
        QVERIFY(wma.save());
    } else if (!taglibEdit.isEmpty()) {
        TagLib::MPEG::File mp3(encoded.constData());
        TagLib::ID3v2::Tag *tag = mp3.ID3v2Tag(true);
        tag->setTitle(TagLib::String(name.toStdString(), TagLib::String::UTF8));
        tag->setAlbum(TagLib::String("Homogenic"));
        tag->setArtist(TagLib::String(Utf8("Björk").toStdString(), TagLib::String::UTF8));
        auto *composer = new TagLib::ID3v2::TextIdentificationFrame("TCOM", TagLib::String::UTF16);
        composer->setText(TagLib::String(Utf8("Sjón 𝄞").toStdString(), TagLib::String::UTF8));
        tag->addFrame(composer);
        QVERIFY(
            mp3.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers,
                     taglibEdit == QLatin1String("v3") ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4));
    }
    const TWmaTags read = ReadWmaTags(Program(), path);
    QCOMPARE(read.Name, name);
    // TagLib 1.13 takes the size of a version 2.3 extended header for the whole header's, drops
    // the last frame after a version 2.4 one, and reads a version 2.4 frame's group byte as the
    // start of its data length.
    QCOMPARE((QStringList{read.Name, read.Album, read.Artist, read.Composer}),
             expected.isEmpty() ? TagLibTags(path) : expected);
}

// A version 2.3 tag with room, as a copy into storage leaves it, is rewritten in place by the
// tool alone, without its TagLib half, and reads back through TagLib; the tool leaves every
// other file untouched to that half.
void TestWmaTool::writesTagsInTheirRoom_data()
{
    QTest::addColumn<QByteArray>("tag");
    QTest::addColumn<QByteArray>("end");   // after the audio
    QTest::addColumn<QStringList>("tags"); // Name, Album, Artist, Composer
    QTest::addColumn<bool>("inPlace");

    const auto withRoom = [](QList<TId3Frame> frames) {
        frames.append({QByteArray(4, '\0'), QByteArray(1024 - 10, '\0')});
        return Id3v2(3, frames);
    };
    const QList<TId3Frame> old = {{"TIT2", Latin1Text(Utf8("Old"))},
                                  {"TCOM", Utf16Text(Utf8("Old composer"))},
                                  {"COMM", QByteArray("\0eng\0Kept", 9)}};
    const QStringList ascii{Utf8("Song"), Utf8("Album"), Utf8("Artist"), Utf8("Composer")};
    const QStringList wide{Utf8("戦場のメリークリスマス 🎹"), Utf8("Homogenic"), Utf8("Björk"),
                           QString()};
    const QByteArray id3v1 = Id3v1("Old title", "Old artist", "Old album");

    QTest::newRow("room, Latin-1") << withRoom(old) << QByteArray() << ascii << true;
    QTest::newRow("room, UTF-16, no composer") << withRoom(old) << QByteArray() << wide << true;
    QTest::newRow("room and ID3v1, Latin-1") << withRoom({}) << id3v1 << ascii << true;
    QTest::newRow("room and ID3v1, UTF-16") << withRoom({}) << id3v1 << wide << true;
    QTest::newRow("no room") << Id3v2(3, old) << QByteArray() << ascii << false;
    QTest::newRow("version 2.4") << Id3v2(
        4, old + QList<TId3Frame>{{QByteArray(4, '\0'), QByteArray(1014, '\0')}})
                                 << QByteArray() << ascii << false;
    QTest::newRow("unsynchronised") << Id3v2(3, old, true) << QByteArray() << ascii << false;
}

void TestWmaTool::writesTagsInTheirRoom()
{
    QFETCH(QByteArray, tag);
    QFETCH(QByteArray, end);
    QFETCH(QStringList, tags);
    QFETCH(bool, inPlace);
    QTemporaryDir alone;
    QVERIFY(InstallTools(alone.path(), {QStringLiteral("wma")}));
    const QString mp3 = file(QStringLiteral("room.mp3"));
    const QByteArray audio = SilentMp3(4);
    QVERIFY(WriteFile(mp3, tag + audio + end));
    const QByteArray parameters = "[Parameters]\nFileToWork=" + mp3.toUtf8()
        + "\nOperation=UPDATEWMATAGS\nName=" + tags[0].toUtf8() + "\nAlbum=" + tags[1].toUtf8()
        + "\nArtist=" + tags[2].toUtf8() + "\nComposer=" + tags[3].toUtf8() + '\n';

    const TToolRun run = RunToolWith(alone.path(), QStringLiteral("wma"), parameters);
    QCOMPARE(run.exitCode, inPlace ? 0 : 255);
    if (!inPlace) {
        QCOMPARE(ReadFile(mp3), tag + audio + end);
        QCOMPARE(RunToolWith(m_dir.path(), QStringLiteral("wma"), parameters).exitCode, 0);
    } else {
        QCOMPARE(ReadFile(mp3).size(), tag.size() + audio.size() + end.size());
    }
    QCOMPARE(TagLibTags(mp3), tags);
    TagLib::MPEG::File written(QFile::encodeName(mp3).constData());
    QVERIFY(written.audioProperties() && written.audioProperties()->lengthInMilliseconds() > 0);
    if (tag.contains("COMM"))
        QVERIFY(!written.ID3v2Tag()->frameListMap()["COMM"].isEmpty());
    if (!end.isEmpty()) {
        // ID3v1 holds Latin-1 only: TagLib leaves out a text it cannot hold.
        const auto id3v1 = [](const QString &text) {
            return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 256; })
                ? text.left(30)
                : QString();
        };
        QCOMPARE(FromTagLib(written.ID3v1Tag()->title()), id3v1(tags[0]));
        QCOMPARE(FromTagLib(written.ID3v1Tag()->artist()), id3v1(tags[2]));
    }
}

void TestWmaTool::updateWithoutWriterFails()
{
    QTemporaryDir folder;
    QVERIFY(InstallTools(folder.path(), {QStringLiteral("wma")}));
    const QString mp3 = folder.filePath(QStringLiteral("a.mp3"));
    QVERIFY(WriteFile(mp3, SilentMp3()));
    const TToolRun run = RunToolWith(folder.path(), QStringLiteral("wma"),
                                     "[Parameters]\nFileToWork=" + mp3.toUtf8()
                                         + "\nOperation=UPDATEWMATAGS\nName=N\n");
    QVERIFY(!run.crashed);
    QCOMPARE(run.exitCode, 255);
    QCOMPARE(run.standardError.count('\n'), 1);
    QCOMPARE(ReadFile(mp3), SilentMp3());
}

void TestWmaTool::damagedFilesFail_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file at all

    QRandomGenerator random(5);
    QByteArray noise(4096, '\0');
    random.fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
    const QByteArray asfGuid = QByteArray::fromHex("3026B2758E66CF11A6D900AA0062CE6C");
    // An ID3v2 header announcing a tag far longer than the file.
    const QByteArray id3Only =
        QByteArray("ID3\x04\x00\x00\x7f\x7f\x7f\x7f", 10) + QByteArray(100, 'x');

    QTest::newRow("missing") << QByteArray();
    QTest::newRow("empty") << QByteArray("", 0);
    QTest::newRow("random bytes") << noise;
    QTest::newRow("text") << QByteArray("This is not a song.\n").repeated(50);
    QTest::newRow("one frame only") << SilentMp3(1);
    QTest::newRow("ID3 tag, no texts, no audio") << id3Only;
    QTest::newRow("ASF header, then noise") << asfGuid + noise;
    QTest::newRow("WMA cut short") << asfGuid + QByteArray::fromHex("ffff000000000000");
}

void TestWmaTool::damagedFilesFail()
{
    QFETCH(QByteArray, content);
    const QString path = file(QStringLiteral("damaged.mp3"));
    QFile::remove(path);
    if (!content.isNull())
        QVERIFY(WriteFile(path, content));

    const TToolRun read = RunToolWith(m_dir.path(), QStringLiteral("wma"), ReadParameters(path));
    QVERIFY(!read.crashed);
    QCOMPARE(read.exitCode, 255);
    QCOMPARE(read.standardError.count('\n'), 1);

    const TToolRun update = RunToolWith(m_dir.path(), QStringLiteral("wma"),
                                        "[Parameters]\nFileToWork=" + path.toUtf8()
                                            + "\nOperation=UPDATEWMATAGS\nName=N\nArtist=A\n");
    QVERIFY(!update.crashed);
    QCOMPARE(update.exitCode, 255);
    QCOMPARE(ReadFile(path), content); // a file that is not audio is left as it was
}

// Damaged copies of good files, read and then written: the tool may refuse, never crash.
void TestWmaTool::mutatedFilesNeverCrash()
{
    const QByteArray mp3 = SilentMp3(4) + Id3v1("t", "a", "b");
    QVERIFY(WriteFile(file(QStringLiteral("good.mp3")), SilentMp3(4)));
    UpdateWmaTags(Program(), file(QStringLiteral("good.mp3")), Utf8("Name"), Utf8("Album"),
                  Utf8("Artist"), Utf8("C"));
    const QList<QByteArray> originals{ReadFile(file(QStringLiteral("good.mp3"))) + mp3.right(128),
                                      TaggedWma()};
    QVERIFY(!originals[1].isEmpty());

    QRandomGenerator random(42);
    const QString path = file(QStringLiteral("mutated"));
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes = originals[round % 2];
        if (round % 3 == 0)
            bytes.truncate(random.bounded(bytes.size()));
        const int changes = 1 + random.bounded(16);
        for (int i = 0; i < changes && !bytes.isEmpty(); ++i)
            bytes[random.bounded(bytes.size())] = char(random.bounded(256));
        QVERIFY(WriteFile(path, bytes));
        // Writing runs TagLib, which is slower: every fourth file only.
        for (const char *operation :
             {"READWMATAGS", round % 4 == 0 ? "UPDATEWMATAGS" : "READWMATAGS"}) {
            const TToolRun run = RunToolWith(m_dir.path(), QStringLiteral("wma"),
                                             "[Parameters]\nFileToWork=" + path.toUtf8()
                                                 + "\nOperation=" + operation + "\nName=N\n");
            QVERIFY2(!run.crashed,
                     qPrintable(
                         QStringLiteral("round %1, %2").arg(round).arg(QLatin1String(operation))));
            QVERIFY2(run.exitCode == 0 || run.exitCode == 255,
                     qPrintable(QString::number(run.exitCode)));
        }
    }
}

QTEST_GUILESS_MAIN(TestWmaTool)
#include "tst_wma_tool.moc"
