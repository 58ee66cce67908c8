#include "scan_world.h"

#include "pages/play_messages.h"
#include "recording_opener.h"
#include "search/track_data.h"
#include "search/track_scan.h"

#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class TestSelectFilesPage : public QObject {
    Q_OBJECT

private:
    TScanWorld *m_world = nullptr;
    TFrameWindow *m_frame = nullptr;

    TStateTree *Tree() const { return Page<TFormSelectFiles>()->TreeViewFiles(); }

    // Runs a scan as the search pages start it and waits for its end.
    void Scan(int mode, const QString &chosen = QString())
    {
        Page<TFormSelectFiles>()->SearchMode = mode;
        Page<TFormSelectFiles>()->ChosenFolder = m_world->Root + chosen;
        SwitchPage(m_frame->CurrentPage(), Page<TFormSelectFiles>());
        QTRY_VERIFY(Page<TFormSelectFiles>()->Timer1()->isActive());
    }

    // "folder:track*,track" per top-level node, folders relative to the world; "*" marks a
    // track with a record.
    QStringList TreeText() const
    {
        QStringList lines;
        for (int i = 0; i < Tree()->topLevelItemCount(); ++i) {
            TSelectFilesItem *folder = TFormSelectFiles::Node(Tree()->topLevelItem(i));
            QStringList tracks;
            for (int j = 0; j < folder->childCount(); ++j) {
                TSelectFilesItem *track = TFormSelectFiles::Node(folder->child(j));
                tracks << track->text(0) + QLatin1String(track->Record() ? "*" : "");
            }
            lines << folder->text(0).mid(m_world->Root.size()) + QLatin1Char(':')
                    + tracks.join(QLatin1Char(','));
        }
        return lines;
    }

    QList<int> States() const
    {
        QList<int> states;
        for (int i = 0; i < Tree()->topLevelItemCount(); ++i) {
            TStateTreeItem *folder = Tree()->TopItem(i);
            states << folder->StateIndex();
            for (int j = 0; j < folder->childCount(); ++j)
                states << folder->ChildItem(j)->StateIndex();
        }
        return states;
    }

    QPoint Center(QTreeWidgetItem *item, THitPart part) const
    {
        const QRect rect = part == THitPart::StatePicture ? Tree()->StatePictureRect(item)
            : part == THitPart::NodePicture               ? Tree()->NodePictureRect(item)
                                                          : Tree()->TextRect(item);
        return rect.center();
    }

    // A world with every kind of drive and the storage folder on the fixed disk.
    void BuildWorld() const
    {
        const TScanWorld &w = *m_world;
        w.Write(QStringLiteral("disk/Music/b.mp3"), TScanWorld::Mp3());
        w.Write(QStringLiteral("disk/Music/A.MP3"), TScanWorld::Mp3());
        w.Write(QStringLiteral("disk/Music/c.wav"));
        w.Write(QStringLiteral("disk/Music/notes.txt"));
        w.Write(QStringLiteral("disk/Music/Sub/d.wma"));
        w.Write(QStringLiteral("disk/Library/x.mp3"), TScanWorld::Mp3());
        w.Write(QStringLiteral("disk/Library/Rock/y.mp3"), TScanWorld::Mp3());
        w.Write(QStringLiteral("disk/LibraryOld/z.mp3"), TScanWorld::Mp3());
        w.Write(QStringLiteral("disk/mnt/inner/i.wav"));
        QVERIFY(QFile::link(w.Root + QStringLiteral("disk"),
                            w.Root + QStringLiteral("disk/Music/loop")));
        w.Write(QStringLiteral("stick/s.mp3"), TScanWorld::Mp3());
        w.Write(QStringLiteral("net/Share/n.wav"));
        w.Write(QStringLiteral("ram/r.wav"));
        w.Write(QStringLiteral("floppy/f.wav"));
        w.Write(QStringLiteral("cd/e.wav"));
        w.SetVolumes({QStringLiteral("disk\tfixed\t1"),
                      QStringLiteral("disk/mnt/inner\tremovable\t1"),
                      QStringLiteral("stick\tremovable\t1"), QStringLiteral("net\tnetwork\t0"),
                      QStringLiteral("ram\tram\t1"), QStringLiteral("floppy\tfloppy\t1"),
                      QStringLiteral("cd\tcd\t0")});
    }

private Q_SLOTS:
    void init()
    {
        m_world = new TScanWorld;
        m_frame = m_world->CreatePages();
    }

    void cleanup()
    {
        delete m_frame;
        delete m_world;
    }

    void scansEachMode_data();
    void scansEachMode();
    void storageFolderHasItsOwnBorder_data();
    void storageFolderHasItsOwnBorder();
    void tagsGiveRecordsAndHoverHint();
    void checkRules();
    void folderClickWaitsForDoubleClick();
    void buttonsDuringScan();
    void secondStartDuringScanKeepsTheTree();
    void leavingEndsTheScan();
    void captionShowsTheFolder();
    void volumesDisappearAndAppear();
    void mediaChecksWalkOnlyWhatChanged_data();
    void mediaChecksWalkOnlyWhatChanged();
    void treeSortsAsAPersonReads_data() { TScanWorld::AddReadingOrderRows(); }
    void treeSortsAsAPersonReads();
    void hotTrackHighlights();
    void trackIconPlaysOrReports();
    void testModeShowsTestLines();
    void namesThatAreNotUtf8AreLeftOutAndTold();
};

void TestSelectFilesPage::scansEachMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QStringList>("tree");
    // Each file type makes its own folder nodes; the symbolic link back to the disk, the other
    // volume mounted inside it, the floppy, the RAM disk and the empty CD drive are not walked.
    // The network drive counts as present although the table says otherwise.
    QTest::newRow("removable") << 0 << QString()
                               << QStringList{QStringLiteral("disk/mnt/inner/:i.wav"),
                                              QStringLiteral("net/Share/:n.wav"),
                                              QStringLiteral("stick/:s.mp3*")};
    QTest::newRow("fixed") << 1 << QString()
                           << QStringList{QStringLiteral("disk/LibraryOld/:z.mp3*"),
                                          QStringLiteral("disk/Music/:A.MP3*,b.mp3*"),
                                          QStringLiteral("disk/Music/:c.wav"),
                                          QStringLiteral("disk/Music/Sub/:d.wma*")};
    QTest::newRow("folder") << 2 << QStringLiteral("disk/Music/")
                            << QStringList{QStringLiteral("disk/Music/:A.MP3*,b.mp3*"),
                                           QStringLiteral("disk/Music/:c.wav"),
                                           QStringLiteral("disk/Music/Sub/:d.wma*")};
    QTest::newRow("network drive counts as present")
        << 2 << QStringLiteral("net/") << QStringList{QStringLiteral("net/Share/:n.wav")};
    QTest::newRow("folder on an empty drive") << 2 << QStringLiteral("cd/") << QStringList();
}

void TestSelectFilesPage::scansEachMode()
{
    QFETCH(int, mode);
    QFETCH(QString, chosen);
    BuildWorld();
    Scan(mode, chosen);
    QTEST(TreeText(), "tree");
    for (int state : States())
        QCOMPARE(state, 1);
    for (int i = 0; i < Tree()->topLevelItemCount(); ++i) {
        QVERIFY(Tree()->TopItem(i)->NodeIndex() >= TFormSelectFiles::FirstFolderImage);
        QVERIFY(!TFormSelectFiles::Node(Tree()->topLevelItem(i))->Record());
    }
    QCOMPARE(Page<TFormSelectFiles>()->windowTitle(),
             QStringLiteral("Quavermill v.1.2.2 - Tracks Selection to Add to the Catalog"));
    QVERIFY(!Page<TFormSelectFiles>()->Scanning);
}

void TestSelectFilesPage::storageFolderHasItsOwnBorder_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("inside");
    QTest::newRow("the folder") << "/m/Library/" << true;
    QTest::newRow("without slash") << "/m/Library" << true;
    QTest::newRow("below") << "/m/Library/Rock/" << true;
    QTest::newRow("sibling sharing the beginning") << "/m/LibraryOld/" << false;
    QTest::newRow("parent") << "/m/" << false;
    QTest::newRow("other case") << "/m/library/" << false;
}

void TestSelectFilesPage::storageFolderHasItsOwnBorder()
{
    QFETCH(QString, path);
    QTEST(IsInStorage(path, QStringLiteral("/m/Library")), "inside");
    QTEST(IsInStorage(path, QStringLiteral("/m/Library/")), "inside");
}

void TestSelectFilesPage::tagsGiveRecordsAndHoverHint()
{
    m_world->InstallTagTool();
    m_world->Write(QStringLiteral("disk/Björk/joga.mp3"), TScanWorld::Mp3(QStringLiteral("Jóga")));
    m_world->Write(QStringLiteral("disk/Björk/untitled.mp3"), TScanWorld::Mp3());
    m_world->SetVolumes({QStringLiteral("disk\tfixed\t1")});
    Scan(1);
    QCOMPARE(TreeText(), QStringList{QStringLiteral("disk/Björk/:joga.mp3*,untitled.mp3*")});
    QTreeWidgetItem *folder = Tree()->topLevelItem(0);
    folder->setExpanded(true);
    TSelectFilesItem *joga = TFormSelectFiles::Node(folder->child(0));
    QCOMPARE(joga->Record()->Names, QStringList{QStringLiteral("Jóga")});
    QVERIFY(TFormSelectFiles::Node(folder->child(1))->Record()->Names.isEmpty());

    QLabel *above = Page<TFormSelectFiles>()->LabelAboveTreeView();
    QTest::mouseMove(Tree()->viewport(), Center(joga, THitPart::Text));
    QCOMPARE(above->text(), QStringLiteral("Name: Jóga"));
    QTest::mouseMove(Tree()->viewport(), Center(folder->child(1), THitPart::Text));
    QCOMPARE(above->text(), Page<TFormSelectFiles>()->NormalAboveText());
    QTest::mouseMove(Tree()->viewport(), Center(joga, THitPart::Text));
    QTest::mouseMove(Page<TFormSelectFiles>(), QPoint(400, 60));
    QCOMPARE(above->text(), Page<TFormSelectFiles>()->NormalAboveText());
}

void TestSelectFilesPage::checkRules()
{
    for (const char *name : {"1.wav", "2.wav", "3.wav"})
        m_world->Write(QStringLiteral("disk/A/") + QLatin1String(name));
    m_world->SetVolumes({QStringLiteral("disk\tfixed\t1")});
    Scan(1);
    QTreeWidgetItem *folder = Tree()->topLevelItem(0);
    const auto toggle = [&](QTreeWidgetItem *node) {
        Page<TFormSelectFiles>()->ToggleCheck(node, THitPart::Text);
    };
    toggle(folder->child(0));
    QCOMPARE(States(), (QList<int>{1, 2, 1, 1}));
    toggle(folder->child(1));
    Page<TFormSelectFiles>()->ToggleCheck(folder->child(2), THitPart::StatePicture);
    QCOMPARE(States(), (QList<int>{2, 2, 2, 2}));
    toggle(folder->child(1));
    QCOMPARE(States(), (QList<int>{1, 2, 1, 2}));
    toggle(folder);
    QCOMPARE(States(), (QList<int>{2, 2, 2, 2}));
    toggle(folder);
    QCOMPARE(States(), (QList<int>{1, 1, 1, 1}));
    // A highlighted state keeps its highlight; elsewhere on the row nothing changes.
    TFormSelectFiles::Node(folder->child(0))->SetStateIndex(3);
    toggle(folder->child(0));
    QCOMPARE(States(), (QList<int>{1, 4, 1, 1}));
    Page<TFormSelectFiles>()->ToggleCheck(folder->child(1), THitPart::Elsewhere);
    Page<TFormSelectFiles>()->ToggleCheck(folder, THitPart::NodePicture);
    QCOMPARE(States(), (QList<int>{1, 4, 1, 1}));
}

void TestSelectFilesPage::folderClickWaitsForDoubleClick()
{
    m_world->Write(QStringLiteral("disk/A/1.wav"));
    m_world->Write(QStringLiteral("disk/A/2.wav"));
    m_world->SetVolumes({QStringLiteral("disk\tfixed\t1")});
    Scan(1);
    QTreeWidgetItem *folder = Tree()->topLevelItem(0);
    QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, Center(folder, THitPart::Text));
    QCOMPARE(States(), (QList<int>{1, 1, 1}));
    QVERIFY(Tree()->HoldsClick());
    QCOMPARE(Tree()->findChild<QTimer *>(QStringLiteral("HeldClickTimer"))->interval(),
             QApplication::doubleClickInterval());
    QTRY_COMPARE(States(), (QList<int>{2, 2, 2}));

    QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, Center(folder, THitPart::Text));
    QTest::mouseDClick(Tree()->viewport(), Qt::LeftButton, {}, Center(folder, THitPart::Text));
    QVERIFY(!Tree()->HoldsClick());
    QVERIFY(folder->isExpanded());
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QCOMPARE(States(), (QList<int>{2, 2, 2}));

    // A track toggles at once.
    QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {},
                      Center(folder->child(0), THitPart::Text));
    QCOMPARE(States(), (QList<int>{1, 1, 2}));

    // A track clicked while a folder click waits: the folder toggles first, then the track,
    // each once.
    QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, Center(folder, THitPart::Text));
    QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {},
                      Center(folder->child(1), THitPart::Text));
    QCOMPARE(States(), (QList<int>{1, 2, 1}));
    QVERIFY(!Tree()->HoldsClick());
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QCOMPARE(States(), (QList<int>{1, 2, 1}));
}

void TestSelectFilesPage::buttonsDuringScan()
{
    // The tag tool's runs let the click in while the walk goes on.
    m_world->InstallSlowTagTool();
    for (int i = 0; i < 6; ++i)
        m_world->Write(QStringLiteral("disk/F%1/t.mp3").arg(i), TScanWorld::Mp3());
    m_world->SetVolumes({QStringLiteral("disk\tfixed\t1")});
    TFormSelectFiles *page = Page<TFormSelectFiles>();
    auto *deselect = page->findChild<QPushButton *>(QStringLiteral("ButtonDeselectAll"));
    QVERIFY(deselect);
    // "Set tracks description" waits for the end of the scan, and the hint says so.
    QList<int> handedOver; // the tracks in the tree at each hand-over
    page->DescriptionHandOver = [&] { handedOver << States().size() - 6; };
    QString hint;
    int folders = 0;
    // Both pressed while the walk is at the third folder.
    connect(page, &QWidget::windowTitleChanged, this, [&](const QString &title) {
        if (title.contains(QLatin1Char('[')) && ++folders == 3)
            QMetaObject::invokeMethod(
                deselect,
                [&] {
                    deselect->click();
                    page->findChild<QPushButton *>(QStringLiteral("ButtonSetDescription"))->click();
                    hint = page->LabelHint()->text();
                },
                Qt::QueuedConnection);
    });
    Scan(1);
    QCOMPARE(handedOver, QList<int>{6});
    QCOMPARE(hint,
             page->LabelHint()->text() + QStringLiteral("\n\nTracks found so far: 2\n")
                 + page->WaitText);
    QCOMPARE(Tree()->topLevelItemCount(), 6);
    for (int state : States())
        QCOMPARE(state, 2);
    QVERIFY(!Page<TFormSelectFiles>()->DeselectPending);

    // Once the scan is over, new finds (a disk mounted) start checked again.
    m_world->Write(QStringLiteral("disk2/s.wav"));
    m_world->SetVolumes({QStringLiteral("disk\tfixed\t1"), QStringLiteral("disk2\tfixed\t1")});
    QTRY_COMPARE(Tree()->topLevelItemCount(), 7);
    const QList<QTreeWidgetItem *> found =
        Tree()->findItems(m_world->Root + QStringLiteral("disk2/"), Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    QCOMPARE(TStateTree::Item(found.first())->StateIndex(), 1);
}

void TestSelectFilesPage::secondStartDuringScanKeepsTheTree()
{
    // The tag tool's wait lets events run between a folder node and its first track.
    m_world->InstallSlowTagTool();
    for (int i = 0; i < 8; ++i)
        m_world->Write(QStringLiteral("disk/F%1/t.mp3").arg(i), TScanWorld::Mp3());
    m_world->SetVolumes({QStringLiteral("disk\tfixed\t1")});
    int folders = 0;
    // The page is left and shown again while the walk runs, so that its start message arrives
    // while the walk is still under way.
    connect(Page<TFormSelectFiles>(), &QWidget::windowTitleChanged, this,
            [&](const QString &title) {
                if (title.contains(QLatin1Char('[')) && ++folders == 3) {
                    QMetaObject::invokeMethod(
                        Page<TFormSelectFiles>(),
                        [] {
                            SwitchPage(Page<TFormSelectFiles>(), Page<TFormSearch>());
                            SwitchPage(Page<TFormSearch>(), Page<TFormSelectFiles>());
                        },
                        Qt::QueuedConnection);
                }
            });
    Scan(1);
    QTRY_VERIFY(folders > 8);
    QTRY_VERIFY(Page<TFormSelectFiles>()->Timer1()->isActive());
    QStringList expected;
    for (int i = 0; i < 8; ++i)
        expected << QStringLiteral("disk/F%1/:t.mp3*").arg(i);
    QCOMPARE(TreeText(), expected);
}

void TestSelectFilesPage::leavingEndsTheScan()
{
    m_world->InstallSlowTagTool();
    for (int i = 0; i < 40; ++i)
        m_world->Write(QStringLiteral("disk/F%1/t.mp3").arg(i, 2, 10, QLatin1Char('0')),
                       TScanWorld::Mp3());
    m_world->SetVolumes({QStringLiteral("disk\tfixed\t1")});
    int folders = 0;
    connect(Page<TFormSelectFiles>(), &QWidget::windowTitleChanged, this,
            [&](const QString &title) {
                if (title.contains(QLatin1Char('[')) && ++folders == 2)
                    QMetaObject::invokeMethod(
                        Page<TFormSelectFiles>(),
                        [] { SwitchPage(Page<TFormSelectFiles>(), Page<TFormSearch>()); },
                        Qt::QueuedConnection);
            });
    Page<TFormSelectFiles>()->SearchMode = 1;
    SwitchPage(Page<TFormMain>(), Page<TFormSelectFiles>());
    QTRY_VERIFY(Page<TFormSelectFiles>()->isHidden());
    QTRY_VERIFY(!Page<TFormSelectFiles>()->Scanning);
    QTest::qWait(50);
    QVERIFY(Tree()->topLevelItemCount() >= 1);
    QVERIFY(Tree()->topLevelItemCount() <= 2);
    QVERIFY(!Page<TFormSelectFiles>()->Timer1()->isActive());
}

void TestSelectFilesPage::captionShowsTheFolder()
{
    const QString deep =
        QStringLiteral("disk/") + QStringLiteral("a-rather-long-folder-name/").repeated(8);
    m_world->Write(deep + QStringLiteral("t.wav"));
    m_world->Write(QStringLiteral("disk/Short/t.wav"));
    m_world->SetVolumes({QStringLiteral("disk\tfixed\t1")});
    QStringList titles;
    connect(Page<TFormSelectFiles>(), &QWidget::windowTitleChanged, this,
            [&](const QString &title) { titles << title; });
    Scan(1);
    const QString seeking = QStringLiteral("Quavermill v.1.2.2 - Seeking in");
    QVERIFY(titles.contains(seeking));
    QVERIFY(titles.contains(seeking + QStringLiteral(" [") + m_world->Root
                            + QStringLiteral("disk/Short/]")));
    const QStringList shortened = titles.filter(QStringLiteral("…"));
    QCOMPARE(shortened.size(), 1);
    const QFontMetrics metrics(Page<TFormSelectFiles>()->font());
    const QString path = shortened.first().mid(seeking.size() + 2).chopped(1);
    QVERIFY(metrics.horizontalAdvance(path)
            <= Page<TFormSelectFiles>()->width() - metrics.horizontalAdvance(seeking) - 100);
    QVERIFY(path.endsWith(QStringLiteral("a-rather-long-folder-name/")));
}

void TestSelectFilesPage::volumesDisappearAndAppear()
{
    for (int i = 0; i < 30; ++i)
        m_world->Write(QStringLiteral("stick1/F%1/t.wav").arg(i, 2, 10, QLatin1Char('0')));
    m_world->Write(QStringLiteral("disc/Album/t.wav"));
    m_world->Write(QStringLiteral("disk/Music/t.wav"));
    const QString disk = QStringLiteral("disk\tfixed\t1");
    const QString stick = QStringLiteral("stick1\tremovable\t1");
    m_world->SetVolumes({disk, stick, QStringLiteral("disc\tcd\t1")});
    Scan(0);
    QCOMPARE(Tree()->topLevelItemCount(), 31);

    // Taking the disc out prunes its folder within about a second.
    m_world->SetVolumes({disk, stick, QStringLiteral("disc\tcd\t0")});
    QTRY_COMPARE_WITH_TIMEOUT(Tree()->topLevelItemCount(), 30, 2500);
    // A volume that leaves the table altogether goes too.
    m_world->SetVolumes({disk, QStringLiteral("disc\tcd\t0")});
    QTRY_COMPARE_WITH_TIMEOUT(Tree()->topLevelItemCount(), 0, 2500);

    m_world->SetVolumes({disk, stick, QStringLiteral("disc\tcd\t0")});
    QTRY_COMPARE_WITH_TIMEOUT(Tree()->topLevelItemCount(), 30, 2500);
    QTRY_VERIFY(!Page<TFormSelectFiles>()->Scanning);
    Tree()->scrollToItem(Tree()->topLevelItem(10), QAbstractItemView::PositionAtTop);
    QTreeWidgetItem *top = Tree()->itemAt(0, 0);
    QCOMPARE(top, Tree()->topLevelItem(10));

    // Putting the disc back scans it; it sorts first, and the view stays where it was.
    m_world->SetVolumes({disk, stick, QStringLiteral("disc\tcd\t1")});
    QTRY_COMPARE_WITH_TIMEOUT(Tree()->topLevelItemCount(), 31, 2500);
    QTRY_VERIFY(!Page<TFormSelectFiles>()->Scanning);
    QCOMPARE(Tree()->topLevelItem(0)->text(0), m_world->Root + QStringLiteral("disc/Album/"));
    QCOMPARE(Tree()->itemAt(0, 0), top);
    QCOMPARE(Page<TFormSelectFiles>()->windowTitle(),
             QStringLiteral("Quavermill v.1.2.2 - Tracks Selection to Add to the Catalog"));
}

void TestSelectFilesPage::mediaChecksWalkOnlyWhatChanged_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QStringList>("steps"); // each followed by two media checks
    QTest::addColumn<int>("walks");         // locations walked after the scan
    // The stick is in from the start: neither the fixed pass nor the checks after it walk it,
    // or its tracks would be catalogued where they lie, as if on a fixed disk.
    QTest::newRow("idle, fixed disks")
        << 1 << QString() << QStringLiteral("idle,idle").split(QLatin1Char(',')) << 0;
    QTest::newRow("idle, removable")
        << 0 << QString() << QStringLiteral("idle,idle").split(QLatin1Char(',')) << 0;
    QTest::newRow("idle, chosen folder")
        << 2 << QStringLiteral("big/F0/") << QStringLiteral("idle,idle").split(QLatin1Char(','))
        << 0;
    QTest::newRow("medium out and in again")
        << 0 << QString() << QStringLiteral("stick out,stick in,idle").split(QLatin1Char(',')) << 1;
    QTest::newRow("volume mounted")
        << 1 << QString() << QStringLiteral("new disk,idle").split(QLatin1Char(',')) << 1;
    QTest::newRow("chosen folder appears")
        << 2 << QStringLiteral("big/Later/")
        << QStringLiteral("idle,folder appears,idle").split(QLatin1Char(',')) << 1;
}

void TestSelectFilesPage::mediaChecksWalkOnlyWhatChanged()
{
    QFETCH(int, mode);
    QFETCH(QString, chosen);
    QFETCH(QStringList, steps);
    // A disk and a stick with many folders and no tracks.
    for (int i = 0; i < 20; ++i) {
        m_world->Write(QStringLiteral("big/F%1/G/notes.txt").arg(i));
        m_world->Write(QStringLiteral("stick/F%1/notes.txt").arg(i));
    }
    m_world->Write(QStringLiteral("other/notes.txt"));
    const QString big = QStringLiteral("big	fixed	1");
    m_world->SetVolumes({big, QStringLiteral("stick	removable	1")});
    Scan(mode, chosen);
    QCOMPARE(Tree()->topLevelItemCount(), 0);
    TFormSelectFiles *page = Page<TFormSelectFiles>();
    const int scanned = page->WalkedLocations();
    QVERIFY(scanned <= 1);
    page->Timer1()->setInterval(10);
    QSignalSpy checks(page->Timer1(), &QTimer::timeout);
    for (const QString &step : steps) {
        if (step == QLatin1String("stick out"))
            m_world->SetVolumes({big, QStringLiteral("stick	removable	0")});
        else if (step == QLatin1String("stick in"))
            m_world->SetVolumes({big, QStringLiteral("stick	removable	1")});
        else if (step == QLatin1String("new disk"))
            m_world->SetVolumes({big, QStringLiteral("stick	removable	1"),
                                 QStringLiteral("other	fixed	1")});
        else if (step == QLatin1String("folder appears"))
            QVERIFY(QDir().mkpath(m_world->Root + chosen));
        const int target = checks.count() + 2;
        QTRY_VERIFY(checks.count() >= target);
    }
    QTEST(page->WalkedLocations() - scanned, "walks");
}

void TestSelectFilesPage::treeSortsAsAPersonReads()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, order);
    for (const QString &name : names) {
        m_world->Write(QStringLiteral("disk/Folders/") + name + QStringLiteral("/t.wav"));
        m_world->Write(QStringLiteral("disk/Tracks/") + name + QStringLiteral(".wav"));
    }
    m_world->SetVolumes({QStringLiteral("disk	fixed	1")});
    Scan(1);
    QStringList expected;
    QStringList tracks;
    for (const QString &name : order) {
        expected << QStringLiteral("disk/Folders/") + name + QStringLiteral("/:t.wav");
        tracks << name + QStringLiteral(".wav");
    }
    expected << QStringLiteral("disk/Tracks/:") + tracks.join(QLatin1Char(','));
    QCOMPARE(TreeText(), expected);
}

void TestSelectFilesPage::hotTrackHighlights()
{
    m_world->Write(QStringLiteral("disk/A/1.wav"));
    m_world->Write(QStringLiteral("disk/A/2.wav"));
    m_world->SetVolumes({QStringLiteral("disk\tfixed\t1")});
    Scan(1);
    QTreeWidgetItem *folder = Tree()->topLevelItem(0);
    folder->setExpanded(true);
    TStateTreeItem *one = TStateTree::Item(folder->child(0));
    TStateTreeItem *two = TStateTree::Item(folder->child(1));
    QTest::mouseMove(Tree()->viewport(), Center(one, THitPart::StatePicture));
    QCOMPARE(one->StateIndex(), 3);
    QTest::mouseMove(Tree()->viewport(), Center(one, THitPart::NodePicture));
    QCOMPARE(one->StateIndex(), 1);
    QCOMPARE(one->NodeIndex(), 1);
    QTest::mouseMove(Tree()->viewport(), Center(two, THitPart::NodePicture));
    QCOMPARE(one->NodeIndex(), 0);
    QCOMPARE(two->NodeIndex(), 1);
    QTest::mouseMove(Tree()->viewport(), Center(folder, THitPart::StatePicture));
    QCOMPARE(two->NodeIndex(), 0);
    QCOMPARE(TStateTree::Item(folder)->StateIndex(), 3);
    const int folderImage = TStateTree::Item(folder)->NodeIndex();
    QTest::mouseMove(Tree()->viewport(), Center(folder, THitPart::Text));
    QCOMPARE(TStateTree::Item(folder)->StateIndex(), 1);
    QCOMPARE(TStateTree::Item(folder)->NodeIndex(), folderImage);
    QVERIFY(!Tree()->HotItem());
}

void TestSelectFilesPage::trackIconPlaysOrReports()
{
    m_world->Write(QStringLiteral("disk/A/1.wav"));
    m_world->SetVolumes({QStringLiteral("disk\tfixed\t1")});
    Scan(1);
    QTreeWidgetItem *track = Tree()->topLevelItem(0)->child(0);
    TRecordingOpener *opener = &RecordedOpener(m_world->Services);
    opener->DesktopWorks = true;
    Page<TFormSelectFiles>()->ToggleCheck(track, THitPart::NodePicture);
    QCOMPARE(
        opener->Launches,
        QStringList{QStringLiteral("xdg-open ") + m_world->Root + QStringLiteral("disk/A/1.wav")});
    QCOMPARE(States(), (QList<int>{1, 1}));

    opener->DesktopWorks = false;
    opener->ProgramWorks = false;
    Page<TFormSelectFiles>()->ToggleCheck(track, THitPart::NodePicture);
    QVERIFY(Page<TFormSelectFiles>()->MessageShown());
    QCOMPARE(Page<TFormSelectFiles>()->Messages()->Label1()->text(), PlayerMessages().NotInstalled);
    QCOMPARE(Page<TFormSelectFiles>()->Messages()->Label2()->text(), PlayerMessages().Install);
    QVERIFY(Tree()->isHidden());
    QTRY_VERIFY_WITH_TIMEOUT(!Page<TFormSelectFiles>()->MessageShown(), 4000);
    QVERIFY(!Tree()->isHidden());
}

void TestSelectFilesPage::testModeShowsTestLines()
{
    m_world->Write(QStringLiteral("disk/A/1.wav"));
    m_world->SetVolumes({QStringLiteral("disk\tfixed\t1")});
    m_world->UseSettings(true);
    Page<TFormSelectFiles>()->SearchMode = 1;
    SwitchPage(Page<TFormMain>(), Page<TFormSelectFiles>());
    QTest::qWait(100);
    QVERIFY(Page<TFormSelectFiles>()->MessageShown());
    QCOMPARE(Page<TFormSelectFiles>()->Messages()->Label1()->text(),
             QStringLiteral("Test message, string 1."));
    QCOMPARE(Page<TFormSelectFiles>()->Messages()->Label2()->text(),
             QStringLiteral("Test message, string 2."));
    QCOMPARE(Page<TFormSelectFiles>()->Messages()->MessageTimer()->interval(), 600000);
    QVERIFY(Page<TFormSelectFiles>()->Messages()->MessageTimer()->isActive());
    QVERIFY(Tree()->isHidden());
    QCOMPARE(Tree()->topLevelItemCount(), 0);
    QVERIFY(!Page<TFormSelectFiles>()->Timer1()->isActive());
}

// A name that is not UTF-8 (a file from an old disk) has no text that names it: such tracks
// and folders are left out, and the page says how many, once.
void TestSelectFilesPage::namesThatAreNotUtf8AreLeftOutAndTold()
{
    m_world->Write(QStringLiteral("disk/Old/good.mp3"), TScanWorld::Mp3());
    m_world->Write(QStringLiteral("disk/Old/Sub/x.mp3"), TScanWorld::Mp3());
    const QByteArray old = QFile::encodeName(m_world->Root) + "disk/Old/";
    for (const QByteArray name : {"caf\xe9.mp3", "caf\xe8.wav", "caf\xe9.txt"}) {
        const int fd = ::open(old + name, O_CREAT | O_WRONLY, 0600);
        QVERIFY(fd >= 0);
        ::close(fd);
    }
    QCOMPARE(::mkdir(old
                         + "Mus\xe9"
                           "e",
                     0700),
             0);
    m_world->SetVolumes({QStringLiteral("disk\tfixed\t1")});
    Scan(2, QStringLiteral("disk/Old/"));
    QCOMPARE(TreeText(),
             (QStringList{QStringLiteral("disk/Old/:good.mp3*"),
                          QStringLiteral("disk/Old/Sub/:x.mp3*")}));
    auto *page = Page<TFormSelectFiles>();
    QVERIFY(page->Messages()->Presenting());
    QCOMPARE(page->Messages()->Label1()->text(), QStringLiteral("Tracks or folders left out: 3"));
    QCOMPARE(page->Messages()->Label2()->text(),
             QStringLiteral("their names are not valid UTF-8."));

    // A media check that meets them again (the disk went and came back) does not tell twice.
    page->Messages()->MessageTimer()->start(0);
    QTRY_VERIFY(!page->Messages()->Presenting());
    m_world->SetVolumes({QStringLiteral("disk\tfixed\t0")});
    page->WatchMedia();
    QCOMPARE(Tree()->topLevelItemCount(), 0);
    m_world->SetVolumes({QStringLiteral("disk\tfixed\t1")});
    page->WatchMedia();
    QCOMPARE(Tree()->topLevelItemCount(), 2);
    QVERIFY(!page->Messages()->Presenting());
}

QTEST_MAIN(TestSelectFilesPage)
#include "tst_select_files_page.moc"
