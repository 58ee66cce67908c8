#include "scan_world.h"

#include <QKeyEvent>
#include <QSignalSpy>
#include <QTimer>

class TestSelectFolderPage : public QObject {
    Q_OBJECT

private:
    TScanWorld *m_world = nullptr;
    TFrameWindow *m_frame = nullptr;

    TStateTree *Tree() const { return Page<TFormSelectFolder>()->TreeViewFolders(); }

    static QStringList Texts(QTreeWidgetItem *parent)
    {
        QStringList texts;
        for (int i = 0; i < parent->childCount(); ++i)
            texts << parent->child(i)->text(0);
        return texts;
    }

    QStringList Drives() const
    {
        QStringList drives;
        for (const QString &text : Texts(Tree()->invisibleRootItem()))
            drives << text.mid(m_world->Root.size());
        return drives;
    }

    QTreeWidgetItem *Drive(const QString &name) const
    {
        const QList<QTreeWidgetItem *> found =
            Tree()->findItems(m_world->Root + name, Qt::MatchExactly);
        return found.size() == 1 ? found.first() : nullptr;
    }

    void Show() { SwitchPage(m_frame->CurrentPage(), Page<TFormSelectFolder>()); }

private Q_SLOTS:
    void init()
    {
        m_world = new TScanWorld;
        m_frame = m_world->CreatePages(true); // test mode: the selection page scans nothing
        m_world->Write(QStringLiteral("disk/Music/Rock/a.mp3"));
        m_world->Write(QStringLiteral("disk/Music/Jazz/b.mp3"));
        m_world->Write(QStringLiteral("disk/Books/c.txt"));
        m_world->Write(QStringLiteral("disk/.hidden/d.mp3"));
        m_world->Write(QStringLiteral("disk/media/usb/s.mp3"));
        QVERIFY(QFile::link(m_world->Root + QStringLiteral("disk"),
                            m_world->Root + QStringLiteral("disk/loop")));
        m_world->Write(QStringLiteral("floppy/f.mp3"));
        m_world->Write(QStringLiteral("cd/x.mp3"));
        m_world->SetVolumes({QStringLiteral("disk\tfixed\t1"),
                             QStringLiteral("disk/media/usb\tremovable\t1"),
                             QStringLiteral("floppy\tfloppy\t1"), QStringLiteral("cd\tcd\t0")});
    }

    void cleanup()
    {
        delete m_frame;
        delete m_world;
    }

    void searchPageSetsTheMode();
    void listsDrivesWithMedia();
    void expandsLazily();
    void collapseAndExpandListsAfresh();
    void startSearchHandsOverTheFolder_data();
    void startSearchHandsOverTheFolder();
    void drivesComeAndGo();
    void unreadableDriveKeepsTheSelection();
    void foldersSortAsAPersonReads_data() { TScanWorld::AddReadingOrderRows(); }
    void foldersSortAsAPersonReads();
};

void TestSelectFolderPage::searchPageSetsTheMode()
{
    SwitchPage(Page<TFormMain>(), Page<TFormSearch>());
    QCOMPARE(Page<TFormSearch>()->windowTitle(),
             QStringLiteral("Quavermill v.1.2.2 - Tracks Search"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(Page<TFormSearch>(), &enter);
    QVERIFY(!Page<TFormSelectFiles>()->isHidden());
    QCOMPARE(Page<TFormSelectFiles>()->SearchMode, 0);
    QCOMPARE(Page<TFormSelectFiles>()->FromRemovable, true);

    SwitchPage(Page<TFormSelectFiles>(), Page<TFormSearch>());
    Page<TFormSearch>()->findChild<QPushButton *>(QStringLiteral("ButtonSearchOnFixed"))->click();
    QCOMPARE(Page<TFormSelectFiles>()->SearchMode, 1);
    QCOMPARE(Page<TFormSelectFiles>()->FromRemovable, false);

    // The folder choice leaves both for the folder page to set.
    SwitchPage(Page<TFormSelectFiles>(), Page<TFormSearch>());
    Page<TFormSearch>()->findChild<QPushButton *>(QStringLiteral("ButtonSearchInFolder"))->click();
    QVERIFY(!Page<TFormSelectFolder>()->isHidden());
    QCOMPARE(Page<TFormSelectFiles>()->SearchMode, 1);
    QCOMPARE(Page<TFormSelectFiles>()->FromRemovable, false);
}

void TestSelectFolderPage::listsDrivesWithMedia()
{
    Show();
    QCOMPARE(Page<TFormSelectFolder>()->windowTitle(),
             QStringLiteral("Quavermill v.1.2.2 - Folder Selection to Search Tracks"));
    QCOMPARE(Drives(), (QStringList{QStringLiteral("disk"), QStringLiteral("disk/media/usb")}));
    for (QTreeWidgetItem *drive :
         {Drive(QStringLiteral("disk")), Drive(QStringLiteral("disk/media/usb"))}) {
        QCOMPARE(Texts(drive), QStringList{QString()});
        QVERIFY(TStateTree::Item(drive)->NodeIndex() >= 0);
    }
    QCOMPARE(TFormSelectFolder::FullPath(Drive(QStringLiteral("disk"))),
             m_world->Root + QStringLiteral("disk/"));
    QVERIFY(Page<TFormSelectFolder>()->Timer1()->isActive());
}

void TestSelectFolderPage::expandsLazily()
{
    Show();
    QTreeWidgetItem *disk = Drive(QStringLiteral("disk"));
    disk->setExpanded(true);
    // Hidden folders are listed; a link to a folder and another volume's mount point are not.
    QCOMPARE(Texts(disk),
             (QStringList{QStringLiteral(".hidden"), QStringLiteral("Books"),
                          QStringLiteral("media"), QStringLiteral("Music")}));
    QCOMPARE(Tree()->currentItem(), disk);
    QTreeWidgetItem *music = disk->child(3);
    QCOMPARE(TFormSelectFolder::FullPath(music), m_world->Root + QStringLiteral("disk/Music/"));
    QCOMPARE(Texts(music), QStringList{QString()});
    QTreeWidgetItem *books = disk->child(1);
    books->setExpanded(true);
    QCOMPARE(books->childCount(), 0);

    // Selecting a node opens it and closes the branch open before.
    Tree()->setCurrentItem(music);
    QVERIFY(music->isExpanded());
    QCOMPARE(Texts(music), (QStringList{QStringLiteral("Jazz"), QStringLiteral("Rock")}));
    Tree()->setCurrentItem(Drive(QStringLiteral("disk/media/usb")));
    QVERIFY(!disk->isExpanded());
    QCOMPARE(Texts(disk), QStringList{QString()});
}

void TestSelectFolderPage::collapseAndExpandListsAfresh()
{
    Show();
    QTreeWidgetItem *disk = Drive(QStringLiteral("disk"));
    disk->setExpanded(true);
    QTreeWidgetItem *music = disk->child(3);
    music->setExpanded(true);
    QCOMPARE(Texts(music), (QStringList{QStringLiteral("Jazz"), QStringLiteral("Rock")}));
    music->setExpanded(false);
    QCOMPARE(Texts(music), QStringList{QString()});
    QVERIFY(QDir().mkpath(m_world->Root + QStringLiteral("disk/Music/Blues")));
    music->setExpanded(true);
    QCOMPARE(
        Texts(music),
        (QStringList{QStringLiteral("Blues"), QStringLiteral("Jazz"), QStringLiteral("Rock")}));
}

void TestSelectFolderPage::startSearchHandsOverTheFolder_data()
{
    QTest::addColumn<QString>("drive");
    QTest::addColumn<int>("child");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("fromRemovable");
    QTest::newRow("fixed folder") << "disk" << 3 << "disk/Music/" << false;
    QTest::newRow("fixed drive") << "disk" << -1 << "disk/" << false;
    QTest::newRow("removable drive") << "disk/media/usb" << -1 << "disk/media/usb/" << true;
}

void TestSelectFolderPage::startSearchHandsOverTheFolder()
{
    QFETCH(QString, drive);
    QFETCH(int, child);
    Show();
    Page<TFormSelectFiles>()->SearchMode = 0;
    // Nothing selected: nothing happens.
    Tree()->setCurrentItem(nullptr);
    Page<TFormSelectFolder>()->StartSearchFromFolder();
    QVERIFY(!Page<TFormSelectFolder>()->isHidden());
    QCOMPARE(Page<TFormSelectFiles>()->SearchMode, 0);

    QTreeWidgetItem *node = Drive(drive);
    if (child >= 0) {
        node->setExpanded(true);
        node = node->child(child);
    }
    Tree()->setCurrentItem(node);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(Tree(), &enter);
    QVERIFY(Page<TFormSelectFolder>()->isHidden());
    QVERIFY(!Page<TFormSelectFiles>()->isHidden());
    QCOMPARE(Page<TFormSelectFiles>()->SearchMode, 2);
    QFETCH(QString, chosen);
    QCOMPARE(Page<TFormSelectFiles>()->ChosenFolder, m_world->Root + chosen);
    QTEST(Page<TFormSelectFiles>()->FromRemovable, "fromRemovable");
}

void TestSelectFolderPage::drivesComeAndGo()
{
    Show();
    Drive(QStringLiteral("disk/media/usb"))->setExpanded(true);
    m_world->SetVolumes({QStringLiteral("disk\tfixed\t1"),
                         QStringLiteral("disk/media/usb\tremovable\t0"),
                         QStringLiteral("floppy\tfloppy\t1"), QStringLiteral("cd\tcd\t0")});
    QTRY_COMPARE_WITH_TIMEOUT(Drives(), QStringList{QStringLiteral("disk")}, 2500);
    m_world->SetVolumes({QStringLiteral("disk\tfixed\t1"), QStringLiteral("cd\tcd\t1"),
                         QStringLiteral("disk/media/usb\tremovable\t1")});
    QTRY_COMPARE_WITH_TIMEOUT(Drives(),
                              (QStringList{QStringLiteral("cd"), QStringLiteral("disk"),
                                           QStringLiteral("disk/media/usb")}),
                              2500);
    SwitchPage(Page<TFormSelectFolder>(), Page<TFormMain>());
    QVERIFY(!Page<TFormSelectFolder>()->Timer1()->isActive());
}

void TestSelectFolderPage::unreadableDriveKeepsTheSelection()
{
    // "stale" is listed with its medium in, but its root cannot be opened.
    const QString disk = QStringLiteral("disk\tfixed\t1");
    m_world->SetVolumes({disk, QStringLiteral("stale\tremovable\t1")});
    Show();
    Page<TFormSelectFolder>()->Timer1()->setInterval(10);
    QCOMPARE(Drives(), (QStringList{QStringLiteral("disk"), QStringLiteral("stale")}));
    Tree()->setCurrentItem(Drive(QStringLiteral("stale")));
    QSignalSpy checks(Page<TFormSelectFolder>()->Timer1(), &QTimer::timeout);
    QTRY_VERIFY(checks.count() >= 3);
    QCOMPARE(Drives(), (QStringList{QStringLiteral("disk"), QStringLiteral("stale")}));
    QCOMPARE(TFormSelectFolder::FullPath(Tree()->currentItem()),
             m_world->Root + QStringLiteral("stale/"));
    QVERIFY(Tree()->currentItem()->isExpanded());
    QCOMPARE(Tree()->currentItem()->childCount(), 0);

    // A drive that goes takes the selection with it; no other place is searched instead.
    m_world->SetVolumes({disk});
    QTRY_COMPARE(Drives(), QStringList{QStringLiteral("disk")});
    QCOMPARE(Tree()->currentItem(), nullptr);
    Page<TFormSelectFiles>()->SearchMode = 0;
    Page<TFormSelectFolder>()->StartSearchFromFolder();
    QVERIFY(!Page<TFormSelectFolder>()->isHidden());
    QCOMPARE(Page<TFormSelectFiles>()->SearchMode, 0);
}

void TestSelectFolderPage::foldersSortAsAPersonReads()
{
    QFETCH(QStringList, names);
    for (const QString &name : names)
        QVERIFY(QDir().mkpath(m_world->Root + QStringLiteral("disk/Order/") + name));
    Show();
    QTreeWidgetItem *disk = Drive(QStringLiteral("disk"));
    disk->setExpanded(true);
    QTreeWidgetItem *order = nullptr;
    for (int i = 0; i < disk->childCount(); ++i) {
        if (disk->child(i)->text(0) == QLatin1String("Order"))
            order = disk->child(i);
    }
    QVERIFY(order);
    order->setExpanded(true);
    QTEST(Texts(order), "order");
}

QTEST_MAIN(TestSelectFolderPage)
#include "tst_select_folder_page.moc"
