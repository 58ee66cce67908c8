#include "describe_world.h"

#include "catalog/catalog_file.h"
#include "catalog/catalog_record.h"
#include "import/copy_files_page.h"
#include "import/description_box.h"
#include "pages_world.h"
#include "recording_opener.h"
#include "test_media.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTextDocumentFragment>

class TestSetPropertiesPage : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TDescribeWorld> m_world;

    static TFormSetProperties *Form() { return TDescribeWorld::Description(); }
    static TDescriptionItem *Group() { return TDescribeWorld::Node(0); }
    static TDescriptionItem *Track(int index) { return TDescribeWorld::Node(0, index); }

    // One group disk/Album/ (or another folder) of tracks 1.mp3 ... with tags, handed over.
    void HandOver(int tracks, const QString &folder = QStringLiteral("disk/Album/"),
                  bool fromRemovable = false) const
    {
        QList<TSelectedTrack> selected;
        for (int i = 1; i <= tracks; ++i) {
            const QString file = QStringLiteral("%1.mp3").arg(i);
            m_world->Write(folder + file, TScanWorld::Mp3());
            selected.append(TSelectedTrack(file, QStringLiteral("Song %1").arg(i),
                                           QStringLiteral("Alb"), QString(),
                                           QStringLiteral("Art")));
        }
        m_world->AddFolder(folder, selected);
        TDescribeWorld::HandOver(fromRemovable);
    }

    static void ClickText(TDescriptionItem *node) { Form()->TreeClicked({node, THitPart::Text}); }

    // The saved states of the group and its tracks.
    static QList<int> States()
    {
        QList<int> states{Group()->Data.SavedState};
        for (int i = 0; i < Group()->childCount(); ++i)
            states << Track(i)->Data.SavedState;
        return states;
    }

    static QStringList Items(const QComboBox *box)
    {
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        return items;
    }

private Q_SLOTS:
    void init()
    {
        m_world = std::make_unique<TDescribeWorld>();
        m_world->SetVolumes(
            {QStringLiteral("disk\tfixed\t1"), QStringLiteral("stick\tremovable\t1")});
    }
    void cleanup() { m_world.reset(); }

    void clicksAndEditsSetTheStates();
    void tracksSetByHandCloseTheGroup();
    void typedValuesAreOffered();
    void clearingOrExpandingChangesNothing();
    void boxLooks_data();
    void boxLooks();
    void mediumGoesAndComesBack();
    void recordsGoToTheirPage_data();
    void recordsGoToTheirPage();
    void trackIconPlaysAndPointerShowsIt();
    void testModeAndTexts();
};

void TestSetPropertiesPage::clicksAndEditsSetTheStates()
{
    HandOver(3);
    TFormSetProperties *page = Form();
    for (QComboBox *box : page->findChildren<TDescriptionBox *>())
        QVERIFY(!box->isEnabled() && box->currentText().isEmpty());
    ClickText(Track(1));
    QCOMPARE(States(), (QList<int>{2, 2, 3, 2}));
    QVERIFY(page->ComboBoxName()->isEnabled());
    QCOMPARE(page->ComboBoxName()->currentText(), QStringLiteral("Song 2"));
    QCOMPARE(Items(page->ComboBoxName()),
             (QStringList{QStringLiteral("Song 2"), QStringLiteral("2")}));
    QCOMPARE(page->ComboBoxAlbum()->currentText(), QStringLiteral("Alb"));
    QCOMPARE(page->ComboBoxComposer()->currentText(), QStringLiteral("Unknown"));
    QCOMPARE(page->SelectedNode(), Track(1));

    // An edit marks the track set by hand.
    ClickText(Track(0));
    page->ComboBoxAlbum()->setEditText(QStringLiteral("Other"));
    QCOMPARE(States(), (QList<int>{2, 1, 3, 2}));
    QCOMPARE(Track(0)->StateIndex(), int(ReviewSetByHand));

    // The first click on a group marks it and its tracks seen, except those set by hand; the
    // click comes once the double-click time is over.
    QTest::mouseClick(page->TreeViewFiles()->viewport(), Qt::LeftButton, {},
                      page->TreeViewFiles()->TextRect(Group()).center());
    QTRY_COMPARE(States(), (QList<int>{3, 1, 3, 3}));
    QVERIFY(!page->ComboBoxName()->isEnabled());
    QVERIFY(page->ComboBoxAlbum()->isEnabled());
    QCOMPARE(page->ComboBoxAlbum()->currentText(), QString());

    // A group's edit reaches its tracks but the one set by hand.
    page->ComboBoxAlbum()->setEditText(QStringLiteral("New"));
    QCOMPARE(Group()->Data.Album, QStringLiteral("New"));
    QCOMPARE(Track(0)->Data.Album, QStringLiteral("Other"));
    QCOMPARE(Track(1)->Data.Album, QStringLiteral("New"));
    QCOMPARE(Track(2)->Data.Album, QStringLiteral("New"));
    QCOMPARE(States(), (QList<int>{3, 1, 3, 3}));

    // Keys move the selection as clicks on the text do, loading the node into the boxes.
    QTest::keyClick(page->TreeViewFiles(), Qt::Key_Down);
    QCOMPARE(page->SelectedNode(), Track(0));
    QCOMPARE(page->ComboBoxAlbum()->currentText(), QStringLiteral("Other"));
    QVERIFY(page->ComboBoxName()->isEnabled());
}

void TestSetPropertiesPage::tracksSetByHandCloseTheGroup()
{
    HandOver(2);
    TFormSetProperties *page = Form();
    ClickText(Track(0));
    ClickText(Track(1));
    QCOMPARE(States(), (QList<int>{3, 3, 3}));
    page->ComboBoxAlbum()->setEditText(QStringLiteral("B"));
    ClickText(Track(0));
    page->ComboBoxArtist()->setEditText(QStringLiteral("A"));
    QCOMPARE(States(), (QList<int>{1, 1, 1}));
    ClickText(Group());
    for (QComboBox *box : page->findChildren<TDescriptionBox *>()) {
        QVERIFY(!box->isEnabled());
        QVERIFY(box->currentText().isEmpty());
        QCOMPARE(box->count(), 0);
    }
}

void TestSetPropertiesPage::typedValuesAreOffered()
{
    HandOver(2);
    TFormSetProperties *page = Form();
    m_world->Frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_world->Frame));
    ClickText(Track(0));
    // A candidate, an empty text and a new value, each left with the Tab key, which also passes
    // by the composer box's "Unknown".
    for (const QString &text : {QStringLiteral("Alb"), QString(), QStringLiteral("Live 1999")}) {
        page->ComboBoxAlbum()->setFocus(Qt::OtherFocusReason);
        page->ComboBoxAlbum()->setEditText(text);
        QTest::keyClick(page->ComboBoxAlbum(), Qt::Key_Tab);
        QVERIFY(page->ComboBoxComposer()->hasFocus());
    }
    QCOMPARE(page->TypedValues, QStringList{QStringLiteral("Live 1999")});
    QCOMPARE(Track(0)->Data.Album, QStringLiteral("Live 1999"));
    // Clicking the tree leaves the box, then loads the next node.
    page->ComboBoxComposer()->setEditText(QStringLiteral("Bach"));
    page->TreeViewFiles()->setFocus(Qt::MouseFocusReason);
    ClickText(Track(1));
    QCOMPARE(page->TypedValues, (QStringList{QStringLiteral("Bach"), QStringLiteral("Live 1999")}));
    const QStringList typed{QStringLiteral("Bach"), QStringLiteral("Live 1999")};
    const TNodeData &group = Group()->Data;
    QCOMPARE(Items(page->ComboBoxAlbum()), group.Albums + typed);
    QCOMPARE(Items(page->ComboBoxComposer()), group.Composers + typed);
    QCOMPARE(Items(page->ComboBoxArtist()), group.Artists + typed);
    QCOMPARE(page->ComboBoxAlbum()->OwnCount, group.Albums.size());
    QCOMPARE(Items(page->ComboBoxName()),
             (QStringList{QStringLiteral("Song 2"), QStringLiteral("2")}));
}

void TestSetPropertiesPage::clearingOrExpandingChangesNothing()
{
    HandOver(2);
    TFormSetProperties *page = Form();
    ClickText(Track(0));
    page->ComboBoxAlbum()->clearEditText();
    page->ComboBoxName()->clearEditText();
    QCOMPARE(Track(0)->Data.Album, QStringLiteral("Alb"));
    QCOMPARE(Track(0)->Data.Name, QStringLiteral("Song 1"));

    // After expanding or collapsing, the boxes take no edit until a node's text is clicked.
    for (const bool expand : {false, true}) {
        ClickText(Track(1));
        Group()->setExpanded(false);
        if (expand) {
            // A double click: its first click gives way to it.
            const QPoint text = page->TreeViewFiles()->TextRect(Group()).center();
            QTest::mouseClick(page->TreeViewFiles()->viewport(), Qt::LeftButton, {}, text);
            QTest::mouseDClick(page->TreeViewFiles()->viewport(), Qt::LeftButton, {}, text);
            QVERIFY(!page->TreeViewFiles()->HoldsClick());
        }
        QCOMPARE(Group()->isExpanded(), expand);
        QVERIFY(page->Loading);
        QVERIFY(!page->ComboBoxAlbum()->isEnabled());
        page->ComboBoxAlbum()->setEditText(QStringLiteral("X"));
        QCOMPARE(Track(1)->Data.Album, QStringLiteral("Alb"));
        QCOMPARE(Track(1)->Data.SavedState, int(ReviewSeen));
    }
    Group()->setExpanded(true);
    ClickText(Track(1));
    QVERIFY(page->ComboBoxAlbum()->isEnabled());
    QCOMPARE(page->ComboBoxAlbum()->currentText(), QStringLiteral("Alb"));
}

void TestSetPropertiesPage::boxLooks_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("dropDown");
    const auto list = [](const char *texts) {
        return QString::fromUtf8(texts).split(QLatin1Char(','), Qt::SkipEmptyParts);
    };
    QTest::newRow("no items") << QStringList() << "Unknown" << false;
    QTest::newRow("its one item") << list("Abba") << "Abba" << false;
    QTest::newRow("one other item") << list("Abba") << "ABBA" << true;
    QTest::newRow("two items") << list("Abba,ABBA") << "Abba" << true;
    QTest::newRow("a long item") << list("Abba,The Very Best of the Most Famous Swedish Pop Group")
                                 << "" << true;
    QTest::newRow("a long text") << QStringList() << "Goldberg Variations, BWV 988" << false;
    QTest::newRow("markup") << list("<b>Bold</b>") << "<b>Bold</b> & Co" << true;
}

void TestSetPropertiesPage::boxLooks()
{
    QFETCH(QStringList, items);
    QFETCH(QString, text);
    QFETCH(bool, dropDown);
    QWidget window;
    auto *box = new TDescriptionBox(&window);
    auto *other = new QLineEdit(&window);
    box->setGeometry(0, 0, 121, 24);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    box->addItems(items);
    box->Fit();
    box->ChooseLook(text);
    QCOMPARE(box->currentText(), text);
    QCOMPARE(box->currentIndex(), items.indexOf(text));
    QCOMPARE(box->lineEdit()->cursorPosition(), 0);
    QCOMPARE(QTextDocumentFragment::fromHtml(box->toolTip()).toPlainText(), text);
    QCOMPARE(box->DropDownLook(), dropDown);
    // The edit field takes the list button's room in the plain look.
    QCOMPARE(box->lineEdit()->width() > 121 - 20, !dropDown);
    QTest::keyClick(box, Qt::Key_Down);
    QCOMPARE(box->view()->isVisible(), dropDown);
    const QFontMetrics metrics(box->view()->font());
    for (const QString &item : items)
        QVERIFY(box->view()->viewport()->width() >= metrics.horizontalAdvance(item));
    box->hidePopup();
    QCOMPARE(box->currentText(), text);

    // A disabled box keeps its text and look.
    box->setEnabled(false);
    box->ChooseLook(QStringLiteral("other"));
    QCOMPARE(box->currentText(), text);

    // Coming back with the Tab key shows the beginning; typing the start of an item completes
    // nothing, and Enter keeps what was typed.
    box->setEnabled(true);
    other->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(other, Qt::Key_Backtab);
    QCOMPARE(box->lineEdit()->cursorPosition(), 0);
    QTest::keyClicks(box->lineEdit(), QStringLiteral("Ab"));
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    QCOMPARE(box->currentText(), QStringLiteral("Ab"));
}

void TestSetPropertiesPage::mediumGoesAndComesBack()
{
    HandOver(2, QStringLiteral("stick/A/"), true);
    TFormSetProperties *page = Form();
    QCOMPARE(page->Timer1()->interval(), 3000);
    QVERIFY(page->Timer1()->isActive());
    ClickText(Track(0));
    m_world->SetVolumes({QStringLiteral("disk\tfixed\t1"), QStringLiteral("stick\tremovable\t0")});
    QTRY_COMPARE_WITH_TIMEOUT(Group()->StateIndex(), int(ReviewGone), 3500);
    QCOMPARE(Track(0)->StateIndex(), int(ReviewGone));
    QCOMPARE(Track(1)->StateIndex(), int(ReviewGone));
    // Its tracks can still be described; the picture stays until the medium is back.
    ClickText(Track(1));
    QCOMPARE(Track(1)->StateIndex(), int(ReviewGone));
    QCOMPARE(States(), (QList<int>{3, 3, 3}));

    m_world->SetVolumes({QStringLiteral("disk\tfixed\t1"), QStringLiteral("stick\tremovable\t1")});
    QTRY_COMPARE_WITH_TIMEOUT(Group()->StateIndex(), int(ReviewSeen), 3500);
    QCOMPARE(Track(1)->StateIndex(), int(ReviewSeen));

    // A stick that is pulled out is unmounted: its volume leaves the list. A track file that
    // is gone from a medium that is there keeps its picture.
    m_world->SetVolumes({QStringLiteral("disk\tfixed\t1")});
    page->CheckMedia();
    QCOMPARE(Group()->StateIndex(), int(ReviewGone));
    QVERIFY(QFile::remove(m_world->Root + QStringLiteral("stick/A/2.mp3")));
    m_world->SetVolumes({QStringLiteral("stick\tremovable\t1")});
    page->CheckMedia();
    QCOMPARE(Group()->StateIndex(), int(ReviewSeen));
    QCOMPARE(Track(0)->StateIndex(), int(ReviewSeen));
    QCOMPARE(Track(1)->StateIndex(), int(ReviewGone));
}

void TestSetPropertiesPage::recordsGoToTheirPage_data()
{
    QTest::addColumn<bool>("fromRemovable");
    QTest::addColumn<bool>("copyPage");
    QTest::addColumn<int>("next");
    QTest::newRow("fixed disk") << false << true << int(TPageId::ViewCatalog);
    QTest::newRow("removable, no copy page") << true << false << int(TPageId::ViewCatalog);
    QTest::newRow("removable") << true << true << int(TPageId::CopyFiles);
}

void TestSetPropertiesPage::recordsGoToTheirPage()
{
    QFETCH(bool, fromRemovable);
    QFETCH(bool, copyPage);
    QFETCH(int, next);
    if (copyPage)
        new TFormCopyFiles(m_world->Frame);
    HandOver(2, QStringLiteral("disk/Album/"), fromRemovable);
    TFormSetProperties *page = Form();
    ClickText(Track(1));
    page->ComboBoxName()->setEditText(QStringLiteral("Zwei"));
    // A list whose catalog view was left before it merged: stored tracks, kept.
    const QString earlier = BuildRecord(
        QStringLiteral("DAT"), QStringLiteral("Unknown"), QStringLiteral("Earlier"),
        QStringLiteral("Alb"), QStringLiteral("0"), QStringLiteral("/stored/Earlier/Alb/1.mp3"),
        QStringLiteral("Kept"), QStringLiteral("0"));
    m_world->Catalog.PendingRecords = {earlier};
    QTest::keyClick(page->TreeViewFiles(), Qt::Key_Return);

    QVERIFY(page->isHidden());
    QVERIFY(!FindPage(TPageId(next))->isHidden());
    const QString folder = m_world->Root + QStringLiteral("disk/Album/");
    const QStringList expected{
        BuildRecord(QStringLiteral("DAT"), QStringLiteral("Unknown"), QStringLiteral("Art"),
                    QStringLiteral("Alb"), QStringLiteral("0"), folder + QStringLiteral("1.mp3"),
                    QStringLiteral("Song 1"), QStringLiteral("0")),
        BuildRecord(QStringLiteral("DAT"), QStringLiteral("Unknown"), QStringLiteral("Art"),
                    QStringLiteral("Alb"), QStringLiteral("0"), folder + QStringLiteral("2.mp3"),
                    QStringLiteral("Zwei"), QStringLiteral("0"))};
    if (next == int(TPageId::CopyFiles)) {
        // The copy page stores them and rewrites them in place.
        QCOMPARE(Page<TFormCopyFiles>()->Catalog, &m_world->Catalog);
        QCOMPARE(m_world->Catalog.PendingRecords, expected);
        QVERIFY(ReadLines(CatalogPath()).contains(earlier));
        return;
    }
    // The catalog view merges and saves them.
    QTRY_VERIFY(m_world->Catalog.PendingRecords.isEmpty());
    const QStringList saved = ReadLines(CatalogPath());
    for (const QString &record : expected + QStringList{earlier})
        QVERIFY(saved.contains(record));
}

void TestSetPropertiesPage::trackIconPlaysAndPointerShowsIt()
{
    HandOver(1);
    TFormSetProperties *page = Form();
    TStateTree *tree = page->TreeViewFiles();
    Group()->setExpanded(true);
    TRecordingOpener *opener = &RecordedOpener(m_world->Services);
    page->TreeClicked({Group(), THitPart::NodePicture});
    QVERIFY(opener->Launches.isEmpty());
    page->TreeClicked({Track(0), THitPart::NodePicture});
    const QString path = m_world->Root + QStringLiteral("disk/Album/1.mp3");
    QCOMPARE(opener->Launches,
             (QStringList{QStringLiteral("xdg-open ") + path,
                          m_world->Services.Settings.Player + QLatin1Char(' ') + path}));
    opener->ProgramWorks = false;
    page->TreeClicked({Track(0), THitPart::NodePicture});
    QCOMPARE(page->Messages()->Label1()->text(),
             QStringLiteral("Mp3 player not installed onto your system."));
    QVERIFY(tree->isHidden() && page->ComboBoxAlbum()->isHidden() && page->LabelName()->isHidden());
    QTRY_VERIFY_WITH_TIMEOUT(!tree->isHidden(), 3500);

    TPagesWorld::Move(tree, tree->NodePictureRect(Track(0)).center());
    QCOMPARE(Track(0)->NodeIndex(), 1);
    TPagesWorld::Move(tree, tree->NodePictureRect(Group()).center());
    QCOMPARE(Track(0)->NodeIndex(), 0);
    QCOMPARE(Group()->NodeIndex(), int(TFormSelectFiles::FirstFolderImage));
}

void TestSetPropertiesPage::testModeAndTexts()
{
    QByteArray texts("[SetDescription]\n");
    const QStringList keys =
        QStringLiteral("Caption,ReturnToMain,ReturnToSelection,Exit,Album,Composer,Artist,Name,"
                       "AddToCatalog,Hint")
            .split(QLatin1Char(','));
    for (const QString &key : keys)
        texts += key.toUtf8() + "=<b>" + key.toUtf8() + "</b>\n";
    m_world.reset();
    m_world = std::make_unique<TDescribeWorld>(texts);
    m_world->UseSettings(true);
    HandOver(1);
    TFormSetProperties *page = Form();
    QCOMPARE(page->windowTitle(), QStringLiteral("Quavermill v.1.2.2 - <b>Caption</b>"));
    for (const QString &key : keys.mid(1))
        QCOMPARE(page->findChild<QLabel *>(QStringLiteral("Label") + key)->text(),
                 QStringLiteral("<b>") + key + QStringLiteral("</b>"));
    for (const char *key : {"Album", "Composer", "Artist", "Name"})
        QCOMPARE(
            page->findChild<QLabel *>(QStringLiteral("Label") + QLatin1String(key))->textFormat(),
            Qt::PlainText);
    QCOMPARE(page->Messages()->Label1()->text(), QStringLiteral("Test message, string 1."));
    QVERIFY(page->TreeViewFiles()->isHidden());
    QCOMPARE(page->Messages()->MessageTimer()->interval(), 600000);
    QVERIFY(!page->ComboBoxAlbum()->isEnabled());
}

QTEST_MAIN(TestSetPropertiesPage)
#include "tst_set_properties_page.moc"
