#include "describe_world.h"
#include "disc_image.h"
#include "fake_tool.h"
#include "test_media.h"

#include <QLabel>
#include <QTest>

// The scan of audio CDs: a table's CD drive holds a generated CUE/BIN disc, and the CD
// information tool is the real one (CD-TEXT only) or a fake that answers as told.
class TestCdScan : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TDescribeWorld> m_world;

    static TStateTree *Tree() { return TDescribeWorld::Selection()->TreeViewFiles(); }
    QString Exchange(const QString &name) const
    {
        return ExchangeFolder(m_world->Services.ProgramFolder) + name;
    }

    // Writes disc.cue and disc.bin: three tracks, named by CD-TEXT, the first a data track
    // when mixed.
    void WriteDisc(bool mixed = false) const
    {
        using namespace TestDisc;
        const TDisc disc({{SectorsPerSecond, mixed, QStringLiteral("Hunter")},
                          {SectorsPerSecond, false, QString::fromUtf8("Jóga")},
                          {SectorsPerSecond, false, QStringLiteral("Unravel")}},
                         QString::fromUtf8("Homogénic"), QString::fromUtf8("Björk"));
        QVERIFY(!WriteDiscImage(m_world->Root, QStringLiteral("disc"), disc).isEmpty());
    }

    // A fake CD information tool: it keeps its parameter file as seen.prm and, exiting with
    // exitCode, leaves results when given.
    void InstallFakeTool(const QByteArray &results, int exitCode = 0) const
    {
        QString body = QStringLiteral("cd \"$QUAVERMILL_EXCHANGE_DIR\" || exit 1\n"
                                      "cp cddb.prm seen.prm\n");
        if (!results.isEmpty())
            body += QStringLiteral("cat > cddb.rslt <<'EOF'\n") + QString::fromUtf8(results)
                + QStringLiteral("EOF\n");
        body += QStringLiteral("exit %1").arg(exitCode);
        QVERIFY(WriteFakeTool(m_world->Services.ProgramFolder + QStringLiteral("cddb"), body));
    }

    void UseFreeDb(bool on) const { m_world->Services.Settings.UseFreeDB = on; }

    void Scan(int mode = 0, const QString &chosen = QString()) const
    {
        TFormSelectFiles *page = TDescribeWorld::Selection();
        page->SearchMode = mode;
        page->ChosenFolder = m_world->Root + chosen;
        // Each showing of the page scans afresh.
        SwitchPage(m_world->Frame->CurrentPage(), Page<TFormSearch>());
        SwitchPage(Page<TFormSearch>(), page);
        QTRY_VERIFY_WITH_TIMEOUT(page->Timer1()->isActive(), 15000);
    }

    // "folder:track,track" per top-level node, folders relative to the world.
    QStringList TreeText() const
    {
        QStringList lines;
        for (int i = 0; i < Tree()->topLevelItemCount(); ++i) {
            QTreeWidgetItem *folder = Tree()->topLevelItem(i);
            QStringList tracks;
            for (int j = 0; j < folder->childCount(); ++j)
                tracks << folder->child(j)->text(0);
            lines << folder->text(0).mid(m_world->Root.size()) + QLatin1Char(':')
                    + tracks.join(QLatin1Char(','));
        }
        return lines;
    }

    static const TSelectFilesData *Record(int folder, int track)
    {
        return TFormSelectFiles::Node(Tree()->topLevelItem(folder)->child(track))->Record();
    }

private Q_SLOTS:
    void init()
    {
        m_world = std::make_unique<TDescribeWorld>();
        UseFreeDb(true);
    }
    void cleanup() { m_world.reset(); }

    void listsTheDiscWithItsCdText_data();
    void listsTheDiscWithItsCdText();
    void twoDescriptionsGiveTwoNames();
    void toolRunsAsTheSettingSays_data();
    void toolRunsAsTheSettingSays();
    void discComesAndGoes();
    void folderChooserShowsTheDisc();
};

void TestCdScan::listsTheDiscWithItsCdText_data()
{
    QTest::addColumn<bool>("mixed");
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("audio disc") << false
                                << QStringList{QStringLiteral("cd/:Track01.cda,Track02.cda,"
                                                              "Track03.cda"),
                                               QStringLiteral("stick/:s.wav")}
                                << QStringList{QStringLiteral("Hunter"), QString::fromUtf8("Jóga"),
                                               QStringLiteral("Unravel")};
    // The data track is no track to the user; the audio tracks keep their numbers.
    QTest::newRow("mixed disc") << true
                                << QStringList{QStringLiteral("cd/:Track02.cda,Track03.cda"),
                                               QStringLiteral("stick/:s.wav")}
                                << QStringList{QString::fromUtf8("Jóga"),
                                               QStringLiteral("Unravel")};
}

void TestCdScan::listsTheDiscWithItsCdText()
{
    QFETCH(bool, mixed);
    QFETCH(QStringList, names);
    WriteDisc(mixed);
    QVERIFY(TestMedia::InstallTools(m_world->Services.ProgramFolder, {QStringLiteral("cddb")}));
    // The user's own cddb.ini leaves the network out.
    const QString config = m_world->Root + QStringLiteral("config");
    m_world->Write(QStringLiteral("config/Quavermill/cddb.ini"),
                   "[MusicBrainz]\nUse=0\n[Cddb]\nUse=0\n");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    m_world->Write(QStringLiteral("stick/s.wav"));
    m_world->SetVolumes(
        {QStringLiteral("cd\tcd\t1\tdisc.cue"), QStringLiteral("stick\tremovable\t1")});
    Scan();
    qputenv("XDG_CONFIG_HOME", oldConfig);

    QTEST(TreeText(), "tree");
    QTreeWidgetItem *cd = Tree()->topLevelItem(0);
    QVERIFY(TStateTree::Item(cd)->NodeIndex() >= TFormSelectFiles::FirstFolderImage);
    for (int i = 0; i < cd->childCount(); ++i) {
        const TSelectFilesData *record = Record(0, i);
        QVERIFY(record);
        QCOMPARE(record->Names, QStringList{names.at(i)});
        QCOMPARE(record->Albums, QStringList{QString::fromUtf8("Homogénic")});
        QCOMPARE(record->Artists, QStringList{QString::fromUtf8("Björk")});
        QCOMPARE(record->Composers, QStringList{QString::fromUtf8("Björk")});
        QCOMPARE(TStateTree::Item(cd->child(i))->StateIndex(), 1);
    }
    QVERIFY(!QFile::exists(Exchange(QStringLiteral("cddb.prm"))));
    QVERIFY(!QFile::exists(Exchange(QStringLiteral("cddb.rslt"))));
}

// Two described discs name track 3 twice: the hover hint shows the last name, the
// description starts with the first.
void TestCdScan::twoDescriptionsGiveTwoNames()
{
    WriteDisc();
    InstallFakeTool("[Results]\nCount=2\n"
                    "[Description0]\nAlbum=Homogenic\nArtist=Bj\xc3\xb6rk\nTTITLE2=Unravel\n"
                    "[Description1]\nAlbum=Live\nArtist=Bj\xc3\xb6rk\nTTITLE2=Unravel (live)\n");
    m_world->SetVolumes({QStringLiteral("cd\tcd\t1\tdisc.cue")});
    Scan();
    QCOMPARE(Record(0, 2)->Names,
             (QStringList{QStringLiteral("Unravel"), QStringLiteral("Unravel (live)")}));
    QVERIFY(Record(0, 0)->Names.isEmpty());
    QCOMPARE(Record(0, 0)->Albums,
             (QStringList{QStringLiteral("Homogenic"), QStringLiteral("Live")}));

    QTreeWidgetItem *track = Tree()->topLevelItem(0)->child(2);
    Tree()->topLevelItem(0)->setExpanded(true);
    QTest::mouseMove(Tree()->viewport(), Tree()->TextRect(track).center());
    QCOMPARE(TDescribeWorld::Selection()->LabelAboveTreeView()->text(),
             QStringLiteral("Name: Unravel (live)"));

    TDescribeWorld::HandOver(true);
    QCOMPARE(TDescribeWorld::Node(0)->text(0), m_world->Root + QStringLiteral("cd/"));
    QCOMPARE(TDescribeWorld::Node(0, 2)->Data.Name, QStringLiteral("Unravel"));
    QCOMPARE(TDescribeWorld::Node(0, 2)->Data.Names,
             (QStringList{QStringLiteral("Unravel"), QStringLiteral("Unravel (live)"),
                          QStringLiteral("Track03")}));

    // The description page sees the disc go and come back.
    TFormSetProperties *page = TDescribeWorld::Description();
    m_world->SetVolumes({QStringLiteral("cd\tcd\t0\tdisc.cue")});
    page->CheckMedia();
    QCOMPARE(TDescribeWorld::Node(0)->StateIndex(), int(ReviewGone));
    QCOMPARE(TDescribeWorld::Node(0, 2)->StateIndex(), int(ReviewGone));
    m_world->SetVolumes({QStringLiteral("cd\tcd\t1\tdisc.cue")});
    page->CheckMedia();
    QCOMPARE(TDescribeWorld::Node(0)->StateIndex(), int(ReviewNew));
    QCOMPARE(TDescribeWorld::Node(0, 2)->StateIndex(), int(ReviewNew));
}

void TestCdScan::toolRunsAsTheSettingSays_data()
{
    QTest::addColumn<bool>("useFreeDb");
    QTest::addColumn<QString>("tool"); // answers, fails or missing
    QTest::addColumn<bool>("ran");
    QTest::addColumn<bool>("parametersLeft"); // the earlier run's, or this one's
    QTest::addColumn<bool>("resultsKept");
    QTest::addColumn<QStringList>("names"); // of track 1
    QTest::newRow("the tool answers")
        << true << "answers" << true << false << false << QStringList{QStringLiteral("New")};
    // An answer left from an earlier disc is never taken for this one.
    QTest::newRow("the tool fails") << true << "fails" << true << true << false << QStringList();
    QTest::newRow("no tool") << true << "missing" << false << true << false << QStringList();
    // The program never runs the tool and leaves both files as they are; the answer an
    // abandoned listing left names another disc's tracks.
    QTest::newRow("UseFreeDB off") << false << "answers" << false << true << true << QStringList();
}

void TestCdScan::toolRunsAsTheSettingSays()
{
    QFETCH(bool, useFreeDb);
    QFETCH(QString, tool);
    UseFreeDb(useFreeDb);
    WriteDisc();
    if (tool == QLatin1String("answers"))
        InstallFakeTool("[Results]\nCount=1\n[Description0]\nTTITLE0=New\n");
    else if (tool == QLatin1String("fails"))
        InstallFakeTool(QByteArray(), 255);
    m_world->Write(QStringLiteral("program/cddb.rslt"),
                   "[Results]\nCount=1\n[Description0]\nTTITLE0=Old\n");
    // The parameter file of an earlier run keeps its other keys.
    m_world->Write(QStringLiteral("program/cddb.prm"), "[Parameters]\nOld=kept\n");
    m_world->SetVolumes({QStringLiteral("cd\tcd\t1\tdisc.cue")});
    Scan();
    QCOMPARE(TreeText(), QStringList{QStringLiteral("cd/:Track01.cda,Track02.cda,Track03.cda")});
    QTEST(QFile::exists(Exchange(QStringLiteral("seen.prm"))), "ran");
    if (QFile::exists(Exchange(QStringLiteral("seen.prm")))) {
        const QByteArray seen = ReadWholeFile(Exchange(QStringLiteral("seen.prm")));
        QVERIFY2(seen.contains("Operation=GETCDINFO\n") && seen.contains("Old=kept\n")
                     && seen.contains("Drive=" + QFile::encodeName(m_world->Root) + "disc.cue\n"),
                 seen.constData());
    }
    QTEST(QFile::exists(Exchange(QStringLiteral("cddb.prm"))), "parametersLeft");
    QTEST(QFile::exists(Exchange(QStringLiteral("cddb.rslt"))), "resultsKept");
    QVERIFY(Record(0, 0));
    QTEST(Record(0, 0)->Names, "names");
}

// A disc that is taken out leaves the tree within about a second, one put in is listed; a
// drive whose disc cannot be read is skipped without asking the tool.
void TestCdScan::discComesAndGoes()
{
    WriteDisc();
    InstallFakeTool("[Results]\nCount=1\n[Description0]\nTTITLE0=Hunter\n");
    m_world->Write(QStringLiteral("stick/s.wav"));
    const QString stick = QStringLiteral("stick\tremovable\t1");
    m_world->SetVolumes({QStringLiteral("cd\tcd\t1\tmissing.cue"), stick});
    Scan();
    QCOMPARE(TreeText(), QStringList{QStringLiteral("stick/:s.wav")});
    QVERIFY(!QFile::exists(Exchange(QStringLiteral("seen.prm"))));
    Scan(2, QStringLiteral("cd/"));
    QCOMPARE(Tree()->topLevelItemCount(), 0);

    Scan();
    m_world->SetVolumes({QStringLiteral("cd\tcd\t1\tdisc.cue"), stick});
    QTRY_COMPARE_WITH_TIMEOUT(Tree()->topLevelItemCount(), 2, 2500);
    QTRY_VERIFY(!TDescribeWorld::Selection()->Scanning);
    QCOMPARE(TreeText(),
             (QStringList{QStringLiteral("cd/:Track01.cda,Track02.cda,Track03.cda"),
                          QStringLiteral("stick/:s.wav")}));
    QCOMPARE(Record(0, 0)->Names, QStringList{QStringLiteral("Hunter")});

    m_world->SetVolumes({QStringLiteral("cd\tcd\t0\tdisc.cue"), stick});
    QTRY_COMPARE_WITH_TIMEOUT(TreeText(), QStringList{QStringLiteral("stick/:s.wav")}, 2500);
}

// The folder chooser lists the disc's drive with no folders below it; choosing it searches the
// disc as removable media.
void TestCdScan::folderChooserShowsTheDisc()
{
    WriteDisc();
    m_world->Write(QStringLiteral("disk/Music/t.wav"));
    m_world->SetVolumes({QStringLiteral("cd\tcd\t1\tdisc.cue"), QStringLiteral("disk\tfixed\t1")});
    UseFreeDb(false);
    TFormSelectFolder *chooser = Page<TFormSelectFolder>();
    SwitchPage(m_world->Frame->CurrentPage(), chooser);
    TStateTree *folders = chooser->TreeViewFolders();
    const QList<QTreeWidgetItem *> found =
        folders->findItems(m_world->Root + QStringLiteral("cd"), Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    folders->setCurrentItem(found.first());
    QTRY_VERIFY(found.first()->isExpanded());
    QCOMPARE(found.first()->childCount(), 0);
    chooser->StartSearchFromFolder();
    QTRY_VERIFY(TDescribeWorld::Selection()->Timer1()->isActive());
    QVERIFY(TDescribeWorld::Selection()->FromRemovable);
    QCOMPARE(TreeText(), QStringList{QStringLiteral("cd/:Track01.cda,Track02.cda,Track03.cda")});
}

QTEST_MAIN(TestCdScan)
#include "tst_cd_scan.moc"
