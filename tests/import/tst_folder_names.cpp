#include "import/folder_names.h"
#include "platform/volumes.h"

#include <QTest>

class TestFolderNames : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void caseForms_data();
    void caseForms();
    void folderNameCandidates_data();
    void folderNameCandidates();
};

void TestFolderNames::caseForms_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("sentence");
    QTest::addColumn<QString>("title");
    QTest::newRow("words") << "pink FLOYD"
                           << "Pink floyd"
                           << "Pink Floyd";
    QTest::newRow("full stops end words") << "the.wall"
                                          << "The.wall"
                                          << "The.Wall";
    QTest::newRow("separators kept") << " two  blanks. "
                                     << " two  blanks. "
                                     << " Two  Blanks. ";
    QTest::newRow("accents") << "ÉLAN vital"
                             << "Élan vital"
                             << "Élan Vital";
    QTest::newRow("digraph takes its title form") << "ǆungla"
                                                  << "ǅungla"
                                                  << "ǅungla";
    QTest::newRow("letter beyond 16 bits")
        << QStringLiteral("\U00010428\U00010428 x") << QStringLiteral("\U00010400\U00010428 x")
        << QStringLiteral("\U00010400\U00010428 X");
    QTest::newRow("empty") << ""
                           << ""
                           << "";
}

void TestFolderNames::caseForms()
{
    QFETCH(QString, text);
    QTEST(SentenceCase(text), "sentence");
    QTEST(TitleCase(text), "title");
}

void TestFolderNames::folderNameCandidates_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("candidates");
    const auto list = [](const char *texts) {
        return QString::fromUtf8(texts).split(QLatin1Char(','), Qt::SkipEmptyParts);
    };
    QTest::newRow("deepest first, three forms each")
        << "/disk/Music/pink FLOYD/the.wall/"
        << list("The.Wall,the.wall,THE.WALL,Pink Floyd,pink floyd,PINK FLOYD,Music,music,MUSIC");
    QTest::newRow("a name without letters once") << "/disk/2005/" << list("2005");
    QTest::newRow("a name met before, in another case")
        << "/disk/Rock/rock/" << list("Rock,rock,ROCK");
    QTest::newRow("upper case of ß") << "/disk/Straße/" << list("Straße,straße,STRASSE");
    QTest::newRow("volume root (an audio CD)") << "/dev/sr0/" << QStringList();
    QTest::newRow("disk root") << "/disk/" << QStringList();
    QTest::newRow("top folder of a stick")
        << "/media/me/STICK/kind of blue/" << list("Kind Of Blue,kind of blue,KIND OF BLUE");
    QTest::newRow("root file system") << "/home/Jazz/" << list("Jazz,jazz,JAZZ,Home,home,HOME");
}

void TestFolderNames::folderNameCandidates()
{
    QFETCH(QString, folder);
    QList<TVolume> volumes;
    for (const char *root : {"/", "/disk/", "/dev/sr0/", "/media/me/STICK/"}) {
        TVolume volume;
        volume.Root = QLatin1String(root);
        volume.Kind = TVolumeKind::Fixed;
        volumes.append(volume);
    }
    QTEST(FolderNameCandidates(folder, TVolumeList(volumes)), "candidates");
}

QTEST_GUILESS_MAIN(TestFolderNames)
#include "tst_folder_names.moc"
