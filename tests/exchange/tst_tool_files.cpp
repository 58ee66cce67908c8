#include "base/ini_file.h"
#include "base/locations.h"
#include "exchange/tool_files.h"
#include "fake_tool.h"
#include "test_media.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

Q_DECLARE_METATYPE(TWmaTags)

class TestToolFiles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void missingToolTouchesNothing();
    void readWmaTags_data();
    void readWmaTags();
    void staleResultsAreNotRead();
    void parameterFiles_data();
    void parameterFiles();
    void tagValuesAreCut_data();
    void tagValuesAreCut();
    void earlierKeysStay();
    void conversionResult_data();
    void conversionResult();
    void pathsThatCannotBePassed();
    void plantedFilesAreNeitherFollowedNorRead_data();
    void plantedFilesAreNeitherFollowedNorRead();

private:
    QString file(const QString &name) const { return m_dir->filePath(name); }
    // The test's program folder, where its tools lie.
    QString Program() const { return m_dir->path() + QLatin1Char('/'); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

static QString Utf8(const char *text)
{
    return QString::fromUtf8(text);
}

void TestToolFiles::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestToolFiles::missingToolTouchesNothing()
{
    const TWmaTags tags = ReadWmaTags(Program(), Utf8("/music/a.mp3"));
    QVERIFY(tags.Name.isEmpty() && tags.Album.isEmpty() && tags.Artist.isEmpty()
            && tags.Composer.isEmpty());
    UpdateWmaTags(Program(), Utf8("/music/a.mp3"), Utf8("n"), Utf8("al"), Utf8("ar"), Utf8("c"));
    QVERIFY(!ConvertWavToWma(Program(), Utf8("/music/a.wav"), Utf8("n"), Utf8("al"), Utf8("c"),
                             Utf8("ar")));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

void TestToolFiles::readWmaTags_data()
{
    QTest::addColumn<QString>("results"); // what the fake tool writes as wma.rslt, if anything
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("expected"); // Name, Album, Artist, Composer
    QTest::addColumn<bool>("parametersKept");

    const QString all =
        Utf8("[Results]\nName=Björk — Jóga\nAlbum=Homogenic\nComposer=Sjón\nArtist=Björk\n");
    QTest::newRow("four texts") << all << 0
                                << QStringList{Utf8("Björk — Jóga"), Utf8("Homogenic"),
                                               Utf8("Björk"), Utf8("Sjón")}
                                << true;
    QTest::newRow("a key missing")
        << Utf8("[Results]\nName=N\nArtist=A\n") << 0
        << QStringList{Utf8("N"), QString(), Utf8("A"), QString()} << true;
    QTest::newRow("exit 0, no results file") << QString() << 0 << QStringList(4) << true;
    QTest::newRow("exit 255") << all << 255 << QStringList(4) << false;
    QTest::newRow("exit 200 is failure too") << all << 200 << QStringList(4) << false;
    QTest::newRow("a long text arrives cut")
        << Utf8("[Results]\nName=") + QString(150, QLatin1Char('x')) << 0
        << QStringList{QString(99, QLatin1Char('x')), QString(), QString(), QString()} << true;
}

void TestToolFiles::readWmaTags()
{
    QFETCH(QString, results);
    QFETCH(int, exitCode);
    QFETCH(QStringList, expected);
    QFETCH(bool, parametersKept);

    QString body;
    if (!results.isEmpty()) {
        QFile out(file(QStringLiteral("answer")));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(results.toUtf8());
        out.close();
        body = QStringLiteral("cp \"%1\" \"$(dirname \"$0\")/wma.rslt\"\n").arg(out.fileName());
    }
    QVERIFY(
        WriteFakeTool(file(QStringLiteral("wma")), body + QStringLiteral("exit %1").arg(exitCode)));

    const TWmaTags tags = ReadWmaTags(Program(), Utf8("/music/Björk/Jóga.mp3"));
    QCOMPARE((QStringList{tags.Name, tags.Album, tags.Artist, tags.Composer}), expected);
    QCOMPARE(QFileInfo::exists(file(QStringLiteral("wma.prm"))), parametersKept);
    if (exitCode == 0)
        QVERIFY(!QFileInfo::exists(file(QStringLiteral("wma.rslt"))));
}

void TestToolFiles::staleResultsAreNotRead()
{
    QFile stale(file(QStringLiteral("wma.rslt")));
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.write("[Results]\nName=Someone else's track\n");
    stale.close();
    QVERIFY(WriteFakeTool(file(QStringLiteral("wma")), QStringLiteral("exit 0")));
    QCOMPARE(ReadWmaTags(Program(), Utf8("/music/a.mp3")).Name, QString());
}

void TestToolFiles::parameterFiles_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QByteArray>("parameters");

    QTest::newRow("convert")
        << Utf8("convert") << Utf8("wav2wma")
        << QByteArray("[Parameters]\nOperation=CONVERTWAVTOWMA\nFileToWork=/m/Ömm.wav\n"
                      "Name=N\xc3\xa9\nAlbum=Al\nComposer=Co\nArtist=Ar\n");
    QTest::newRow("update") << Utf8("update") << Utf8("wma")
                            << QByteArray(
                                   "[Parameters]\nFileToWork=/m/Ömm.wav\nOperation=UPDATEWMATAGS\n"
                                   "Name=N\xc3\xa9\nAlbum=Al\nComposer=Co\nArtist=Ar\n");
    QTest::newRow("read") << Utf8("read") << Utf8("wma")
                          << QByteArray(
                                 "[Parameters]\nFileToWork=/m/Ömm.wav\nOperation=READWMATAGS\n");
}

void TestToolFiles::parameterFiles()
{
    QFETCH(QString, operation);
    QFETCH(QString, tool);
    QFETCH(QByteArray, parameters);

    // The tool keeps a copy of what it was given, as it was when it ran.
    QVERIFY(WriteFakeTool(file(tool),
                          QStringLiteral("cp \"$(dirname \"$0\")/%1.prm\" \"%2\"")
                              .arg(tool, file(QStringLiteral("seen")))));
    const QString path = Utf8("/m/Ömm.wav");
    if (operation == QLatin1String("convert"))
        ConvertWavToWma(Program(), path, Utf8("Né"), Utf8("Al"), Utf8("Co"), Utf8("Ar"));
    else if (operation == QLatin1String("update"))
        UpdateWmaTags(Program(), path, Utf8("Né"), Utf8("Al"), Utf8("Ar"), Utf8("Co"));
    else
        ReadWmaTags(Program(), path);
    QCOMPARE(ReadWholeFile(file(QStringLiteral("seen"))), parameters);
    QCOMPARE(ReadWholeFile(file(tool + QStringLiteral(".prm"))), parameters);
}

void TestToolFiles::tagValuesAreCut_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("passed");

    const QString x98(98, QLatin1Char('x'));
    const QString clef = Utf8("𝄞"); // one character, two UTF-16 units
    QTest::newRow("150 characters")
        << QString(150, QLatin1Char('y')) << QString(99, QLatin1Char('y'));
    QTest::newRow("99 units stay") << x98 + QLatin1Char('z') << x98 + QLatin1Char('z');
    QTest::newRow("no half surrogate pair") << x98 + clef << x98;
    QTest::newRow("pair that fits")
        << QString(97, QLatin1Char('x')) + clef + clef << QString(97, QLatin1Char('x')) + clef;
    QTest::newRow("line breaks become spaces") << Utf8("a\nb\r\nc") << Utf8("a b  c");
}

void TestToolFiles::tagValuesAreCut()
{
    QFETCH(QString, name);
    QFETCH(QString, passed);
    QVERIFY(WriteFakeTool(file(QStringLiteral("wma")), QStringLiteral("exit 0")));
    UpdateWmaTags(Program(), Utf8("/m/a.mp3"), name, Utf8("Al"), Utf8("Ar"), Utf8("Co"));
    const QByteArray prm = ReadWholeFile(file(QStringLiteral("wma.prm")));
    QVERIFY2(prm.contains("\nName=" + passed.toUtf8() + "\nAlbum=Al\n"), prm.constData());
}

void TestToolFiles::earlierKeysStay()
{
    QFile prm(file(QStringLiteral("wma.prm")));
    QVERIFY(prm.open(QIODevice::WriteOnly));
    prm.write("[Parameters]\nName=Old\nExtra=kept\n[Other]\nKey=also kept\n");
    prm.close();
    QVERIFY(WriteFakeTool(file(QStringLiteral("wma")), QStringLiteral("exit 0")));
    ReadWmaTags(Program(), Utf8("/m/a.mp3"));
    const TIniFile ini(prm.fileName());
    const QString section = QStringLiteral("Parameters");
    QCOMPARE(ini.ReadString(section, QStringLiteral("Name"), QString()), Utf8("Old"));
    QCOMPARE(ini.ReadString(section, QStringLiteral("Extra"), QString()), Utf8("kept"));
    QCOMPARE(ini.ReadString(QStringLiteral("Other"), QStringLiteral("Key"), QString()),
             Utf8("also kept"));
    QCOMPARE(ini.ReadString(section, QStringLiteral("FileToWork"), QString()), Utf8("/m/a.mp3"));
    QCOMPARE(ini.ReadString(section, QStringLiteral("Operation"), QString()), Utf8("READWMATAGS"));
}

void TestToolFiles::conversionResult_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<bool>("converted");
    QTest::addColumn<bool>("parametersKept");

    const QString makeWma = QStringLiteral("touch \"$(dirname \"$0\")/Track01.wma\"\n");
    QTest::newRow("success") << makeWma + QStringLiteral("exit 0") << true << true;
    QTest::newRow("exit 255") << makeWma + QStringLiteral("exit 255") << false << false;
    // What the system's loader answers for a converter whose libraries are missing.
    QTest::newRow("exit 127, no WMA") << QStringLiteral("exit 127") << false << true;
}

void TestToolFiles::conversionResult()
{
    QFETCH(QString, body);
    QFETCH(bool, converted);
    QFETCH(bool, parametersKept);
    const QString wav = file(QStringLiteral("Track01.wav"));
    QVERIFY(WriteFakeTool(wav, QStringLiteral("not really audio")));
    QVERIFY(WriteFakeTool(file(QStringLiteral("wav2wma")), body));
    QCOMPARE(ConvertWavToWma(Program(), wav, Utf8("N"), Utf8("Al"), Utf8("Co"), Utf8("Ar")),
             converted);
    QCOMPARE(QFileInfo::exists(file(QStringLiteral("wav2wma.prm"))), parametersKept);
    QVERIFY(QFileInfo::exists(wav));
}

void TestToolFiles::pathsThatCannotBePassed()
{
    QVERIFY(WriteFakeTool(file(QStringLiteral("wma")),
                          QStringLiteral("touch \"%1\"").arg(file(QStringLiteral("ran")))));
    for (const QString &path :
         {Utf8("/m/a\nOperation=UPDATEWMATAGS.mp3"), Utf8("/m/a.mp3 "), QString()}) {
        UpdateWmaTags(Program(), path, Utf8("N"), Utf8("Al"), Utf8("Ar"), Utf8("Co"));
        QVERIFY(!QFileInfo::exists(file(QStringLiteral("ran"))));
        QVERIFY(!QFileInfo::exists(file(QStringLiteral("wma.prm"))));
    }
    // A long path goes whole: a shortened one would name another file.
    const QString longPath =
        QLatin1Char('/') + QString(300, QLatin1Char('d')) + QStringLiteral("/a.mp3");
    UpdateWmaTags(Program(), longPath, Utf8("N"), Utf8("Al"), Utf8("Ar"), Utf8("Co"));
    QVERIFY(QFileInfo::exists(file(QStringLiteral("ran"))));
    QVERIFY(ReadWholeFile(file(QStringLiteral("wma.prm")))
                .contains("FileToWork=" + longPath.toUtf8() + '\n'));
}

// What another user may plant where an exchange file belongs is neither written through nor
// read: a link (to a stand-in for ~/.ssh/authorized_keys) and a giant file. A program folder
// that everybody may write is no exchange folder at all.
void TestToolFiles::plantedFilesAreNeitherFollowedNorRead_data()
{
    QTest::addColumn<int>("programMode");
    QTest::addColumn<QString>("planted"); // link or giant
    QTest::addColumn<QString>("at");      // wma.prm before the run, wma.rslt by the tool
    const QString link = QStringLiteral("link"), giant = QStringLiteral("giant");
    const QString prm = QStringLiteral("wma.prm"), rslt = QStringLiteral("wma.rslt");
    QTest::newRow("a link as wma.prm") << 0700 << link << prm;
    QTest::newRow("a link as wma.rslt") << 0700 << link << rslt;
    QTest::newRow("a giant wma.prm") << 0700 << giant << prm;
    QTest::newRow("a giant wma.rslt") << 0700 << giant << rslt;
    QTest::newRow("a link as wma.prm, program folder mode 0777") << 0777 << link << prm;
}

void TestToolFiles::plantedFilesAreNeitherFollowedNorRead()
{
    QFETCH(int, programMode);
    QFETCH(QString, planted);
    QFETCH(QString, at);
    const QString run = file(QStringLiteral("run"));
    QVERIFY(QDir().mkdir(run) && chmod(QFile::encodeName(run).constData(), 0700) == 0);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(run));
    QCOMPARE(chmod(QFile::encodeName(m_dir->path()).constData(), mode_t(programMode)), 0);

    const QByteArray secret = "[Parameters]\nPlanted=1\n[Results]\nName=planted\n";
    const QString victim = file(QStringLiteral("authorized_keys"));
    const QString giant = file(QStringLiteral("giant"));
    QVERIFY(TestMedia::WriteFile(victim, secret)
            && TestMedia::WriteFile(giant, secret + '#' + QByteArray(ExchangeFileLimit, 'x')));
    const bool link = planted == QLatin1String("link");
    const QString thing = link ? victim : giant;
    QString body =
        QStringLiteral("cd \"$QUAVERMILL_EXCHANGE_DIR\" || exit 1\ncp wma.prm seen.prm\n");
    if (at == QLatin1String("wma.prm"))
        QVERIFY(link ? QFile::link(thing, file(at)) : QFile::copy(thing, file(at)));
    else
        body +=
            QStringLiteral("%1 \"%2\" wma.rslt\n").arg(QLatin1String(link ? "ln -s" : "cp"), thing);
    QVERIFY(WriteFakeTool(file(QStringLiteral("wma")), body));

    QCOMPARE(ReadWmaTags(Program(), Utf8("/m/a.mp3")).Name, QString());
    QCOMPARE(ReadWholeFile(victim), secret);
    const QByteArray seen = ReadWholeFile(ExchangeFolder(Program()) + QStringLiteral("seen.prm"));
    QVERIFY2(seen.contains("Operation=READWMATAGS") && !seen.contains("Planted"), seen.constData());
    QCOMPARE(ExchangeFolder(Program()) == Program(), programMode == 0700);
}

QTEST_GUILESS_MAIN(TestToolFiles)
#include "tst_tool_files.moc"
