#include "base/ini_file.h"
#include "disc_image.h"
#include "test_media.h"

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <sys/stat.h>

using namespace TestDisc;
using namespace TestMedia;

namespace {

// The ids that MusicBrainz and CDDB give the table of contents of the test disc: tracks of
// 3, 4 and 5 seconds, at absolute sectors 150, 375 and 675, lead-out at 1050.
const QByteArray MusicBrainzId = "5VjjEtCScRcQhny6ZJRW78rT6tY-";
const QByteArray CddbQuery = "cmd=cddb+query+10000c03+3+150+375+675";

QString Utf8(const char *text)
{
    return QString::fromUtf8(text);
}

// A web server on 127.0.0.1 standing for MusicBrainz or a CDDB server. It records each
// request's target and answers with what answer gives for it; an empty answer keeps the
// connection open without a word, as a server that never answers. With Filler set, the answer
// goes on with it without end, for as long as the client reads.
class TFakeServer {
public:
    explicit TFakeServer(std::function<QByteArray(const QByteArray &target)> answer)
        : m_answer(std::move(answer))
    {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection())
                QObject::connect(socket, &QTcpSocket::readyRead, socket,
                                 [this, socket] { Read(socket); });
        });
    }
    quint16 Port() const { return m_server.serverPort(); }
    QList<QByteArray> Targets;
    QByteArray Filler;
    qint64 Served = 0; // bytes the client's side has taken

private:
    void Read(QTcpSocket *socket)
    {
        QByteArray request = socket->property("request").toByteArray() + socket->readAll();
        socket->setProperty("request", request);
        if (!request.contains("\r\n\r\n"))
            return;
        const QByteArray target = request.split(' ').value(1);
        Targets.append(target);
        const QByteArray answer = m_answer(target);
        if (answer.isEmpty())
            return;
        socket->write(answer);
        if (Filler.isEmpty()) {
            socket->disconnectFromHost();
            return;
        }
        QObject::connect(socket, &QTcpSocket::bytesWritten, socket, [this, socket](qint64 bytes) {
            Served += bytes;
            while (socket->state() == QAbstractSocket::ConnectedState
                   && socket->bytesToWrite() < (1 << 20))
                socket->write(Filler.repeated((1 << 16) / Filler.size() + 1));
        });
    }

    QTcpServer m_server;
    std::function<QByteArray(const QByteArray &)> m_answer;
};

QByteArray Http(const QByteArray &body, const QByteArray &status = "200 OK")
{
    return "HTTP/1.0 " + status + "\r\nContent-Type: text/plain\r\nContent-Length: "
        + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

QByteArray Xml(const QString &text)
{
    return text.toHtmlEscaped().toUtf8();
}

// A medium of a release; the medium that is the test disc carries its disc id.
QByteArray Medium(int position, bool isThisDisc, const QStringList &titles)
{
    QByteArray xml = "<medium><position>" + QByteArray::number(position) + "</position>";
    if (isThisDisc)
        xml += "<disc-list count=\"1\"><disc id=\"" + MusicBrainzId
            + "\"><sectors>1050</sectors></disc></disc-list>";
    xml += "<track-list count=\"" + QByteArray::number(titles.size()) + "\" offset=\"0\">";
    for (int i = 0; i < titles.size(); ++i)
        xml += "<track id=\"t" + QByteArray::number(position * 10 + i) + "\"><position>"
            + QByteArray::number(i + 1) + "</position><title>" + Xml(titles[i])
            + "</title></track>";
    return xml + "</track-list></medium>";
}

QByteArray Release(const QString &title, const QByteArray &credits, const QByteArray &media)
{
    return "<release id=\"r-" + Xml(title) + "\"><title>" + Xml(title) + "</title><artist-credit>"
        + credits + "</artist-credit><medium-list count=\""
        + QByteArray::number(media.count("<medium>")) + "\">" + media + "</medium-list></release>";
}

QByteArray Credit(const QString &artist, const QString &credited = QString(),
                  const QString &join = QString())
{
    return "<name-credit" + (join.isEmpty() ? QByteArray() : " joinphrase=\"" + Xml(join) + '"')
        + '>' + (credited.isEmpty() ? QByteArray() : "<name>" + Xml(credited) + "</name>")
        + "<artist id=\"a-" + Xml(artist) + "\"><name>" + Xml(artist)
        + "</name></artist></name-credit>";
}

QByteArray DiscAnswer(const QList<QByteArray> &releases)
{
    return Http("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                "<metadata xmlns=\"http://musicbrainz.org/ns/mmd-2.0#\"><disc id=\""
                + MusicBrainzId + "\"><sectors>1050</sectors><release-list count=\""
                + QByteArray::number(releases.size()) + "\">" + releases.join()
                + "</release-list></disc></metadata>");
}

const QByteArray OneRelease = DiscAnswer(
    {Release(Utf8("Homogenic"), Credit(Utf8("Björk")),
             Medium(1, true, {Utf8("Hunter"), Utf8("Jóga"), Utf8("Unravel & Bachelorette")}))});
// The second release is a set of two discs, and the test disc is its second.
const QByteArray TwoReleases = DiscAnswer(
    {Release(Utf8("Homogenic"), Credit(Utf8("Björk")),
             Medium(1, true, {Utf8("Hunter"), Utf8("Jóga"), Utf8("Unravel & Bachelorette")})),
     Release(Utf8("Homogenic Live"),
             Credit(Utf8("Björk"), QString(), Utf8(" & "))
                 + Credit(Utf8("Mark Bell (LFO)"), Utf8("Mark Bell")),
             Medium(1, false, {Utf8("Wrong 1"), Utf8("Wrong 2"), Utf8("Wrong 3")})
                 + Medium(2, true,
                          {Utf8("Hunter (live)"), Utf8("Jóga (live)"), Utf8("Unravel (live)")}))});

QByteArray MusicBrainzAnswer(const QByteArray &kind, const QByteArray &target)
{
    if (kind == "silent")
        return {};
    if (kind == "no XML")
        return Http("<?xml version=\"1.0\"?><metadata><disc");
    if (kind == "endless")
        return "HTTP/1.0 200 OK\r\nContent-Type: text/xml\r\n\r\n<metadata><disc id=\""
            + MusicBrainzId + "\"><release-list>";
    if (kind == "not found" || !target.startsWith("/ws/2/discid/" + MusicBrainzId + '?'))
        return Http("<?xml version=\"1.0\"?><error><text>Not Found</text></error>",
                    "404 Not Found");
    return kind == "two releases" ? TwoReleases : OneRelease;
}

// Entries as a gnudb server holds them, the first in Latin-1 as older entries are.
QByteArray Entry(const QByteArray &title, const QList<QByteArray> &tracks)
{
    QByteArray entry = "# xmcd\r\n#\r\n# Track frame offsets:\r\n#\t150\r\n#\t375\r\n#\t675\r\n"
                       "#\r\n# Disc length: 14 seconds\r\n#\r\n# Revision: 1\r\n#\r\n"
                       "DISCID=10000c03\r\nDTITLE="
        + title + "\r\n";
    for (int i = 0; i < tracks.size(); ++i)
        entry += "TTITLE" + QByteArray::number(i) + '=' + tracks[i] + "\r\n";
    return entry + "EXTD=\r\nPLAYORDER=\r\n";
}

const QByteArray RockEntry = Entry("Bj\xf6rk / Homog\xe9nic", {"Hunter", "J\xf3ga", "Unravel"});
const QByteArray MiscEntry = Entry("Sigur R\xc3\xb3s / ( )", {"Vaka", "Fyrsta", ""});

QByteArray CddbAnswer(const QByteArray &kind, const QByteArray &target)
{
    if (kind == "silent")
        return {};
    if (target.contains(CddbQuery)) {
        if (kind == "endless")
            return "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n"
                   "210 Found exact matches, list follows (until terminating `.')\r\n";
        if (kind == "one match")
            return Http("200 rock 10000c03 Bj\xf6rk / Homog\xe9nic\r\n");
        if (kind == "two matches")
            return Http("210 Found exact matches, list follows (until terminating `.')\r\n"
                        "rock 10000c03 Bj\xf6rk / Homog\xe9nic\r\n"
                        "misc 10000c03 Sigur R\xc3\xb3s / ( )\r\n.\r\n");
    }
    for (const auto &[category, entry] :
         {std::pair{QByteArray("rock"), RockEntry}, {"misc", MiscEntry}}) {
        if (kind != "no match" && target.contains("cmd=cddb+read+" + category + "+10000c03"))
            return Http("210 " + category
                        + " 10000c03 CD database entry follows (until terminating `.')\r\n" + entry
                        + ".\r\n");
    }
    return Http("202 No match found\r\n");
}

using TDescriptions = QList<QStringList>; // Album, Artist, TTITLE0, TTITLE1, TTITLE2

const QStringList CdText = {Utf8("Homogénic"), Utf8("Björk"), Utf8("Hunter"), Utf8("Jóga"),
                            Utf8("Unravel")};
const QStringList MusicBrainz1 = {Utf8("Homogenic"), Utf8("Björk"), Utf8("Hunter"), Utf8("Jóga"),
                                  Utf8("Unravel & Bachelorette")};
const QStringList MusicBrainz2 = {Utf8("Homogenic Live"), Utf8("Björk & Mark Bell"),
                                  Utf8("Hunter (live)"), Utf8("Jóga (live)"),
                                  Utf8("Unravel (live)")};
const QStringList CddbRock = {Utf8("Homogénic"), Utf8("Björk"), Utf8("Hunter"), Utf8("Jóga"),
                              Utf8("Unravel")};
const QStringList CddbMisc = {Utf8("( )"), Utf8("Sigur Rós"), Utf8("Vaka"), Utf8("Fyrsta"),
                              QString()};

} // namespace

class TestCddbTool : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void describesDisc_data();
    void describesDisc();
    void unreadableDriveFails_data();
    void unreadableDriveFails();
    void sigtermLeavesNoResult();
    void exchangeFolderAndOwnSettings_data();
    void exchangeFolderAndOwnSettings();

private:
    QString file(const QString &name) const { return m_dir.filePath(name); }
    void WriteSettings(const QByteArray &extra = QByteArray(), const QString &path = QString());
    // Starts the tool on drive without blocking the event loop the fake servers answer in; the
    // exchange files lie in exchange, the tool's own folder unless named.
    void Start(QProcess &process, const QString &drive, const QString &exchange = QString());
    TDescriptions Descriptions(const QString &exchange = QString()) const;
    QStringList Leftovers() const;

    QTemporaryDir m_dir;
    QString Disc(const QString &name) const
    {
        return file(QStringLiteral("discs/") + name + QStringLiteral(".cue"));
    }
    std::unique_ptr<TFakeServer> m_musicBrainz, m_cddb;
    QByteArray m_musicBrainzKind, m_cddbKind;
};

void TestCddbTool::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(InstallTools(m_dir.path(), {QStringLiteral("cddb")}));
    const QList<TTrack> named = {
        {225, false, Utf8("Hunter")}, {300, false, Utf8("Jóga")}, {375, false, Utf8("Unravel")}};
    const QList<QPair<QString, TDisc>> discs = {
        {QStringLiteral("cdtext"), {named, Utf8("Homogénic"), Utf8("Björk")}},
        {QStringLiteral("plain"), {{{225}, {300}, {375}}}},
        // The data session of an enhanced CD starts 11400 sectors after the audio session ends.
        {QStringLiteral("enhanced"), {{{225}, {300}, {375 + 11400}, {SectorsPerSecond, true}}}}};
    QVERIFY(QDir().mkpath(file(QStringLiteral("discs"))));
    for (const auto &[name, disc] : discs)
        QVERIFY(!WriteDiscImage(file(QStringLiteral("discs")), name, disc).isEmpty());
}

void TestCddbTool::init()
{
    m_musicBrainz = std::make_unique<TFakeServer>(
        [this](const QByteArray &target) { return MusicBrainzAnswer(m_musicBrainzKind, target); });
    m_cddb = std::make_unique<TFakeServer>(
        [this](const QByteArray &target) { return CddbAnswer(m_cddbKind, target); });
    QFile::remove(file(QStringLiteral("cddb.rslt")));
    QFile::remove(file(QStringLiteral("config/Quavermill/cddb.ini")));
}

void TestCddbTool::WriteSettings(const QByteArray &extra, const QString &path)
{
    // A port that refuses: listened on once, then closed.
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const QByteArray refused = QByteArray::number(closed.serverPort());
    closed.close();
    const auto port = [&](const QByteArray &kind, const TFakeServer &server) {
        return kind == "refused" ? refused : QByteArray::number(server.Port());
    };
    QVERIFY(
        WriteFile(path.isEmpty() ? file(QStringLiteral("cddb.ini")) : path,
                  "[MusicBrainz]\nHost=127.0.0.1\nPort=" + port(m_musicBrainzKind, *m_musicBrainz)
                      + "\n[Cddb]\nHost=127.0.0.1\nPort=" + port(m_cddbKind, *m_cddb)
                      + "\nPath=/~cddb/cddb.cgi\n" + extra));
}

void TestCddbTool::Start(QProcess &process, const QString &drive, const QString &exchange)
{
    const QString folder = exchange.isEmpty() ? m_dir.path() : exchange;
    QVERIFY(WriteFile(folder + QStringLiteral("/cddb.prm"),
                      "[Parameters]\nOperation=GETCDINFO\nDrive=" + drive.toUtf8() + '\n'));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!exchange.isEmpty())
        environment.insert(QStringLiteral("QUAVERMILL_EXCHANGE_DIR"), exchange);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), file(QStringLiteral("config")));
    for (const char *proxy : {"http_proxy", "HTTP_PROXY", "https_proxy", "all_proxy", "ALL_PROXY"})
        environment.remove(QString::fromLatin1(proxy));
    process.setProcessEnvironment(environment);
    process.start(file(QStringLiteral("cddb")), QStringList());
    QVERIFY(process.waitForStarted());
}

TDescriptions TestCddbTool::Descriptions(const QString &exchange) const
{
    const TIniFile results((exchange.isEmpty() ? m_dir.path() : exchange)
                           + QStringLiteral("/cddb.rslt"));
    TDescriptions descriptions;
    const int count =
        results.ReadString(QStringLiteral("Results"), QStringLiteral("Count"), QString()).toInt();
    for (int i = 0; i < count; ++i) {
        const QString section = QStringLiteral("Description%1").arg(i);
        QStringList values;
        for (const char *key : {"Album", "Artist", "TTITLE0", "TTITLE1", "TTITLE2"})
            values.append(
                results.ReadString(section, QString::fromLatin1(key), QStringLiteral("?")));
        descriptions.append(values);
    }
    return descriptions;
}

// Names in the tool's folder apart from the tool and its two input files.
QStringList TestCddbTool::Leftovers() const
{
    QStringList names = QDir(m_dir.path()).entryList(QDir::Files | QDir::System, QDir::Name);
    for (const char *kept : {"cddb", "cddb.prm", "cddb.ini"})
        names.removeAll(QString::fromLatin1(kept));
    return names;
}

void TestCddbTool::describesDisc_data()
{
    QTest::addColumn<QString>("disc");
    QTest::addColumn<QByteArray>("musicBrainz");
    QTest::addColumn<QByteArray>("cddb");
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<TDescriptions>("expected");

    QTest::newRow("CD-TEXT alone when every server refuses")
        << QStringLiteral("cdtext") << QByteArray("refused") << QByteArray("refused")
        << QByteArray() << TDescriptions{CdText};
    QTest::newRow("nothing anywhere") << QStringLiteral("plain") << QByteArray("not found")
                                      << QByteArray("no match") << QByteArray() << TDescriptions{};
    QTest::newRow("one release") << QStringLiteral("plain") << QByteArray("one release")
                                 << QByteArray("no match") << QByteArray()
                                 << TDescriptions{MusicBrainz1};
    QTest::newRow("two releases, titles of the medium that is the disc")
        << QStringLiteral("plain") << QByteArray("two releases") << QByteArray("no match")
        << QByteArray() << TDescriptions{MusicBrainz1, MusicBrainz2};
    QTest::newRow("one CDDB match in Latin-1")
        << QStringLiteral("plain") << QByteArray("not found") << QByteArray("one match")
        << QByteArray() << TDescriptions{CddbRock};
    QTest::newRow("every source, in order")
        << QStringLiteral("cdtext") << QByteArray("two releases") << QByteArray("two matches")
        << QByteArray() << TDescriptions{CdText, MusicBrainz1, MusicBrainz2, CddbRock, CddbMisc};
    QTest::newRow("sources switched off")
        << QStringLiteral("cdtext") << QByteArray("one release") << QByteArray("one match")
        << QByteArray("[CdText]\nUse=0\n[musicbrainz]\nuse=0\n") << TDescriptions{CddbRock};
    QTest::newRow("enhanced CD, identified by its audio session")
        << QStringLiteral("enhanced") << QByteArray("one release") << QByteArray("no match")
        << QByteArray() << TDescriptions{MusicBrainz1};
    QTest::newRow("MusicBrainz never answers")
        << QStringLiteral("cdtext") << QByteArray("silent") << QByteArray("one match")
        << QByteArray() << TDescriptions{CdText, CddbRock};
    QTest::newRow("endless answers are cut short")
        << QStringLiteral("cdtext") << QByteArray("endless") << QByteArray("endless")
        << QByteArray() << TDescriptions{CdText};
    // What the XML library finds wrong stays out of the tool's report.
    QTest::newRow("MusicBrainz answers no XML")
        << QStringLiteral("plain") << QByteArray("no XML") << QByteArray("no match") << QByteArray()
        << TDescriptions{};
    // It would switch every source off; the program folder's is read instead.
    QTest::newRow("an oversized cddb.ini of the user's counts as absent")
        << QStringLiteral("cdtext") << QByteArray("one release") << QByteArray("no match")
        << QByteArray("oversized own copy") << TDescriptions{CdText, MusicBrainz1};
}

void TestCddbTool::describesDisc()
{
    QFETCH(QString, disc);
    QFETCH(QByteArray, musicBrainz);
    QFETCH(QByteArray, cddb);
    QFETCH(QByteArray, settings);
    QFETCH(TDescriptions, expected);
    m_musicBrainzKind = musicBrainz;
    m_cddbKind = cddb;
    if (musicBrainz == "endless")
        m_musicBrainz->Filler = "<release id=\"r\"><title>Again</title></release>";
    if (cddb == "endless")
        m_cddb->Filler = "rock 10000c03 Again / Again\r\n";
    if (settings == "oversized own copy") {
        QVERIFY(QDir().mkpath(file(QStringLiteral("config/Quavermill"))));
        QVERIFY(WriteFile(file(QStringLiteral("config/Quavermill/cddb.ini")),
                          "[CdText]\nUse=0\n[MusicBrainz]\nUse=0\n[Cddb]\nUse=0\n#"
                              + QByteArray(5 << 20, 'x') + '\n'));
        settings.clear();
    }
    WriteSettings(settings);

    QProcess process;
    QSignalSpy finished(&process, &QProcess::finished);
    Start(process, Disc(disc));
    QTRY_VERIFY_WITH_TIMEOUT(finished.count() == 1, 15000);
    QCOMPARE(process.readAllStandardError(), QByteArray());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(Descriptions(), expected);
    QCOMPARE(Leftovers(), QStringList{QStringLiteral("cddb.rslt")});
    QCOMPARE(m_musicBrainz->Targets.isEmpty(),
             settings.contains("use=0") || musicBrainz == "refused");
    // An answer is read no further than a few megabytes (and what the sockets buffer).
    QVERIFY(m_musicBrainz->Served < (24 << 20) && m_cddb->Served < (24 << 20));
}

void TestCddbTool::unreadableDriveFails_data()
{
    QTest::addColumn<QString>("drive");

    const QString fifo = file(QStringLiteral("discs/fifo"));
    QVERIFY(mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    QTest::newRow("no such drive") << file(QStringLiteral("none.cue"));
    QTest::newRow("a named pipe") << fifo;
    QTest::newRow("not a disc") << file(QStringLiteral("cddb.ini"));
    QTest::newRow("no drive named") << QString();
    QTest::newRow("a data disc") << WriteDiscImage(
        file(QStringLiteral("discs")), QStringLiteral("data"), {{{SectorsPerSecond, true}}});
}

void TestCddbTool::unreadableDriveFails()
{
    QFETCH(QString, drive);
    m_musicBrainzKind = "one release";
    m_cddbKind = "one match";
    WriteSettings();
    // What an earlier run left describes another disc.
    QVERIFY(WriteFile(file(QStringLiteral("cddb.rslt")), "[Results]\nCount=1\n"));

    QProcess process;
    QSignalSpy finished(&process, &QProcess::finished);
    Start(process, drive);
    QTRY_VERIFY_WITH_TIMEOUT(finished.count() == 1, 15000);
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 255);
    QCOMPARE(process.readAllStandardError().count('\n'), 1);
    QVERIFY(!QFile::exists(file(QStringLiteral("cddb.rslt"))));
    QVERIFY(m_musicBrainz->Targets.isEmpty() && m_cddb->Targets.isEmpty());
}

void TestCddbTool::sigtermLeavesNoResult()
{
    m_musicBrainzKind = m_cddbKind = "silent";
    WriteSettings();
    QProcess process;
    QSignalSpy finished(&process, &QProcess::finished);
    Start(process, Disc(QStringLiteral("cdtext")));
    QTRY_VERIFY(m_musicBrainz->Targets.size() == 1 && m_cddb->Targets.size() == 1);

    process.terminate();
    QTRY_VERIFY_WITH_TIMEOUT(finished.count() == 1, 5000);
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 255);
    QCOMPARE(process.readAllStandardError().count('\n'), 1);
    QCOMPARE(Leftovers(), QStringList());
}

void TestCddbTool::exchangeFolderAndOwnSettings_data()
{
    QTest::addColumn<bool>("ownCopy");
    QTest::newRow("the program folder's cddb.ini") << false;
    QTest::newRow("the user's own cddb.ini") << true;
}

void TestCddbTool::exchangeFolderAndOwnSettings()
{
    QFETCH(bool, ownCopy);
    m_musicBrainzKind = "one release";
    m_cddbKind = "no match";
    const QString exchange = file(QStringLiteral("exchange"));
    const QString own = file(QStringLiteral("config/Quavermill/cddb.ini"));
    QVERIFY(QDir().mkpath(exchange) && QDir().mkpath(file(QStringLiteral("config/Quavermill"))));
    QFile::remove(own);
    // Only the file the tool should read leaves the disc's CD-TEXT out.
    const QByteArray noCdText("[CdText]\nUse=0\n");
    WriteSettings(ownCopy ? QByteArray() : noCdText);
    if (ownCopy)
        WriteSettings(noCdText, own);

    QProcess process;
    QSignalSpy finished(&process, &QProcess::finished);
    Start(process, Disc(QStringLiteral("cdtext")), exchange);
    QTRY_VERIFY_WITH_TIMEOUT(finished.count() == 1, 15000);
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(Descriptions(exchange), TDescriptions{MusicBrainz1});
    QCOMPARE(Leftovers(), QStringList());
    QVERIFY(QFile::remove(exchange + QStringLiteral("/cddb.rslt")));
}

QTEST_GUILESS_MAIN(TestCddbTool)
#include "tst_cddb_tool.moc"
