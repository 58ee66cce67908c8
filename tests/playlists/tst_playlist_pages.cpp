#include "pages_world.h"

#include "app/errors.h"
#include "catalog/catalog_file.h"
#include "playlists/playlist_file.h"

#include <QLineEdit>
#include <QListWidget>

namespace {

QStringList ListedNames()
{
    QStringList names;
    for (int i = 0; i < FormPlayList->ListBoxPlayLists->count(); ++i)
        names << FormPlayList->ListBoxPlayLists->item(i)->text();
    names.sort();
    return names;
}

void ClickButton(TFormBase *page, const char *name)
{
    auto *button = page->findChild<TIconButton *>(QLatin1String(name));
    QVERIFY2(button, name);
    button->click();
}

void SelectPlaylist(const QString &name)
{
    const QList<QListWidgetItem *> items =
        FormPlayList->ListBoxPlayLists->findItems(name, Qt::MatchExactly);
    QCOMPARE(items.size(), 1);
    FormPlayList->ListBoxPlayLists->setCurrentItem(items.first());
}

QStringList DataFiles()
{
    return QDir(DataFolder()).entryList(QDir::Files, QDir::Name);
}

} // namespace

class TestPlaylistPages : public QObject {
    Q_OBJECT

private:
    // Two tracks on disk in the catalog, shown on the create playlist page.
    void MakePlaylistWorld(TPagesWorld &world, QString &first, QString &second)
    {
        first = world.MakeFile(QStringLiteral("one.mp3"));
        second = world.MakeFile(QStringLiteral("two.mp3"));
        TPagesWorld::ShowCatalog({
            TPagesWorld::Record(QStringLiteral("C1"), QStringLiteral("A"), QStringLiteral("X"),
                                first, QStringLiteral("One")),
            TPagesWorld::Record(QStringLiteral("C2"), QStringLiteral("B"), QStringLiteral("Y"),
                                second, QStringLiteral("Two")),
        });
        SwitchPage(FormViewCatalog, FormCreatePlaylist);
        QTRY_COMPARE(FormCreatePlaylist->TreeViewCatalog->topLevelItemCount(), 2);
    }

private Q_SLOTS:
    void createPlaylistStartsUncheckedAndSavesCheckedTracksOnce()
    {
        TPagesWorld world;
        QString first;
        QString second;
        MakePlaylistWorld(world, first, second);
        TStateTree *tree = FormCreatePlaylist->TreeViewCatalog;
        TCatalogTreeItem *composer =
            TPagesWorld::Node(tree, {QStringLiteral("Composer"), QStringLiteral("C1")});
        QCOMPARE(composer->Check(), int(CheckUnchecked));
        ToggleNode(composer);
        FormCreatePlaylist->EditName->setText(QStringLiteral("mix"));
        ClickButton(FormCreatePlaylist, "ButtonSavePlaylist");
        QVERIFY(!FormPlayList->isHidden());
        QVERIFY(FormCreatePlaylist->isHidden());
        const QStringList lines = ReadLines(PlaylistPath(QStringLiteral("mix")));
        QCOMPARE(lines.size(), 1);
        QCOMPARE(ParseRecord(lines.first()).FileName, first);
        QCOMPARE(ListedNames(), QStringList{QStringLiteral("mix")});
        // The catalog itself is not changed by playlist making.
        QCOMPARE(FormViewCatalog->Catalog().Count(), 3);
    }

    void createPlaylistRefusesMissingAndUnsafeNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("line1");
        QTest::newRow("empty") << QString() << QStringLiteral("You must type");
        QTest::newRow("slash") << QStringLiteral("../evil") << FormCreatePlaylistWrongName();
        QTest::newRow("inner slash") << QStringLiteral("a/b") << FormCreatePlaylistWrongName();
        QTest::newRow("dot") << QStringLiteral(".") << FormCreatePlaylistWrongName();
        QTest::newRow("dot dot") << QStringLiteral("..") << FormCreatePlaylistWrongName();
    }

    void createPlaylistRefusesMissingAndUnsafeNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, line1);
        TPagesWorld world;
        QString first;
        QString second;
        MakePlaylistWorld(world, first, second);
        const QStringList before = DataFiles();
        const QStringList outside =
            QDir(world.Root() + QStringLiteral("/data")).entryList(QDir::Files);
        FormCreatePlaylist->EditName->setText(name);
        ClickButton(FormCreatePlaylist, "ButtonSavePlaylist");
        QVERIFY(TPagesWorld::ShowsMessage(FormCreatePlaylist, line1));
        QVERIFY(FormCreatePlaylist->EditName->isHidden());
        QVERIFY(FormCreatePlaylist->TreeViewCatalog->isHidden());
        QVERIFY(!FormCreatePlaylist->isHidden());
        QCOMPARE(DataFiles(), before);
        QCOMPARE(QDir(world.Root() + QStringLiteral("/data")).entryList(QDir::Files), outside);
        // The message ends after its three seconds and the controls come back.
        FormCreatePlaylist->MessageTimer->setInterval(10);
        FormCreatePlaylist->MessageTimer->start();
        QTRY_VERIFY(!FormCreatePlaylist->PresentingMessage());
        QVERIFY(!FormCreatePlaylist->EditName->isHidden());
    }

    void enterInTheNameBoxSaves()
    {
        TPagesWorld world;
        QString first;
        QString second;
        MakePlaylistWorld(world, first, second);
        ToggleNode(TPagesWorld::Node(FormCreatePlaylist->TreeViewCatalog,
                                     {QStringLiteral("Artist"), QStringLiteral("B")}));
        FormCreatePlaylist->EditName->setFocus();
        QTest::keyClicks(FormCreatePlaylist->EditName, QStringLiteral("rock.best"));
        QTest::keyClick(FormCreatePlaylist->EditName, Qt::Key_Return);
        QVERIFY(!FormPlayList->isHidden());
        QCOMPARE(ReadLines(PlaylistPath(QStringLiteral("rock.best"))).size(), 1);
        // A name with several full stops is listed as given and found again by it.
        QCOMPARE(ListedNames(), QStringList{QStringLiteral("rock.best")});
        SelectPlaylist(QStringLiteral("rock.best"));
        world.OpenerWorks = true;
        ClickButton(FormPlayList, "ButtonPlayList");
        QCOMPARE(
            world.Launches,
            QStringList{QStringLiteral("xdg-open ") + PlayablePath(QStringLiteral("rock.best"))});
        QCOMPARE(ReadLines(PlayablePath(QStringLiteral("rock.best"))), QStringList{second});
    }

    void playShowsWhyNothingPlays()
    {
        TPagesWorld world;
        WritePlaylist(
            QStringLiteral("lost"),
            {TPagesWorld::Record(QStringLiteral("C"), QStringLiteral("A"), QStringLiteral("X"),
                                 world.Root() + QStringLiteral("/none.mp3"), QStringLiteral("N"))});
        WritePlaylist(
            QStringLiteral("fine"),
            {TPagesWorld::Record(QStringLiteral("C"), QStringLiteral("A"), QStringLiteral("X"),
                                 world.MakeFile(QStringLiteral("f.mp3")), QStringLiteral("F"))});
        world.PlayerWorks = false;
        SwitchPage(FormMain, FormPlayList);
        QCOMPARE(ListedNames(), (QStringList{QStringLiteral("fine"), QStringLiteral("lost")}));
        QVERIFY(FormPlayList->ListBoxPlayLists->currentItem()->isSelected());
        SelectPlaylist(QStringLiteral("lost"));
        ClickButton(FormPlayList, "ButtonPlayList");
        QVERIFY(TPagesWorld::ShowsMessage(FormPlayList, PlayerMessages().PlDoNotHave));
        QVERIFY(!QFile::exists(PlayablePath(QStringLiteral("lost"))));
        QVERIFY(FormPlayList->ListBoxPlayLists->isHidden());
        SwitchPage(FormPlayList, FormMain);
        SwitchPage(FormMain, FormPlayList);
        QVERIFY(!FormPlayList->PresentingMessage());
        SelectPlaylist(QStringLiteral("fine"));
        // A double click plays as the button does.
        Q_EMIT FormPlayList->ListBoxPlayLists->itemDoubleClicked(
            FormPlayList->ListBoxPlayLists->currentItem());
        QVERIFY(TPagesWorld::ShowsMessage(FormPlayList, PlayerMessages().NotInstalled));
        QVERIFY(QFile::exists(PlayablePath(QStringLiteral("fine"))));
        QCOMPARE(world.Launches.size(), 2);
    }

    void deleteRemovesPlaylistAndM3u()
    {
        TPagesWorld world;
        WritePlaylist(QStringLiteral("only"), {});
        WriteLinesAtomically(PlayablePath(QStringLiteral("only")), {QStringLiteral("/x.mp3")});
        QFile::setPermissions(PlaylistPath(QStringLiteral("only")), QFileDevice::ReadOwner);
        SwitchPage(FormMain, FormPlayList);
        ClickButton(FormPlayList, "ButtonDeletePlaylist");
        QVERIFY(!QFile::exists(PlaylistPath(QStringLiteral("only"))));
        QVERIFY(!QFile::exists(PlayablePath(QStringLiteral("only"))));
        QCOMPARE(FormPlayList->ListBoxPlayLists->count(), 0);
        // Nothing selected: play and show content do nothing.
        ClickButton(FormPlayList, "ButtonPlayList");
        ClickButton(FormPlayList, "ButtonShowListContent");
        QVERIFY(!FormPlayList->isHidden());
        QVERIFY(world.Launches.isEmpty());
    }

    void contentShowsRecordsInKeyOrderWithMarks()
    {
        TPagesWorld world;
        const QString present = world.MakeFile(QStringLiteral("here.mp3"));
        const QString gone = world.Root() + QStringLiteral("/gone.mp3");
        // Written in file order: equal keys keep the first, the header gives no row.
        WriteLinesAtomically(
            PlaylistPath(QStringLiteral("list")),
            {
                TPagesWorld::Record(QStringLiteral("zeta"), QStringLiteral("A"),
                                    QStringLiteral("X"), present, QStringLiteral("First")),
                HeaderRecord(),
                TPagesWorld::Record(QStringLiteral("Alpha"), QStringLiteral("B"),
                                    QStringLiteral("Y"), gone, QStringLiteral("Missing")),
                TPagesWorld::Record(QStringLiteral("zeta"), QStringLiteral("A"),
                                    QStringLiteral("X"), present, QStringLiteral("Second")),
            });
        SwitchPage(FormMain, FormPlayList);
        SelectPlaylist(QStringLiteral("list"));
        ClickButton(FormPlayList, "ButtonShowListContent");
        QVERIFY(!FormViewPlayList->isHidden());
        TStateTree *rows = FormViewPlayList->ListViewPlay;
        QCOMPARE(rows->topLevelItemCount(), 2);
        QCOMPARE(rows->TopItem(0)->text(0), QStringLiteral("Alpha"));
        QCOMPARE(rows->TopItem(0)->text(4), gone);
        QCOMPARE(rows->TopItem(0)->StateIndex(), int(TFormViewPlayList::MarkMissing));
        QCOMPARE(rows->TopItem(1)->text(3), QStringLiteral("First"));
        QCOMPARE(rows->TopItem(1)->StateIndex(), int(TFormViewPlayList::MarkPresent));
        QCOMPARE(rows->headerItem()->text(1), QStringLiteral("Performer"));
        world.OpenerWorks = true;
        QTest::keyClick(rows, Qt::Key_Return);
        QCOMPARE(world.Launches,
                 QStringList{QStringLiteral("xdg-open ") + PlayablePath(QStringLiteral("list"))});
        ClickButton(FormViewPlayList, "ButtonReturnToSelection");
        QVERIFY(!FormPlayList->isHidden());
    }

    // The catalog view's root texts serve both trees; the play a list page's four player texts
    // serve every page; playlist making has its own name texts.
    void textsFromTheTextFile()
    {
        TPagesWorld world(
            "[ViewCatalog]\nComposer=Komponist\nArtist=Interpret\n"
            "[PlaylistChoice]\nPlDoNotHave=P1\nChooseAnother=P2\nNotInstalled=N1\nInstall=N2\n"
            "[CreatePlaylist]\nMustType=M1\nPlaylistName=M2\nWrongName=W1\nTypeAnotherName=W2\n");
        QString first;
        QString second;
        MakePlaylistWorld(world, first, second);
        TStateTree *tree = FormCreatePlaylist->TreeViewCatalog;
        QCOMPARE(tree->topLevelItem(1)->text(0), QStringLiteral("Interpret"));
        TCatalogTreeItem *track =
            TPagesWorld::Node(tree,
                              {QStringLiteral("Komponist"), QStringLiteral("C1"),
                               QStringLiteral("X (Interpret: A)"), QStringLiteral("One")});
        QVERIFY(track);
        track->parent()->parent()->setExpanded(true);
        track->parent()->setExpanded(true);
        world.PlayerWorks = false;
        TPagesWorld::Click(tree, tree->NodePictureRect(track).center());
        QVERIFY(TPagesWorld::ShowsMessage(FormCreatePlaylist, QStringLiteral("N1")));
        QCOMPARE(FormCreatePlaylist->Label2->text(), QStringLiteral("N2"));
        const QList<QPair<QString, QString>> names{
            {QString(), QStringLiteral("M1 M2")}, {QStringLiteral("a/b"), QStringLiteral("W1 W2")}};
        for (const auto &[name, lines] : names) {
            FormCreatePlaylist->EditName->setText(name);
            ClickButton(FormCreatePlaylist, "ButtonSavePlaylist");
            QCOMPARE(FormCreatePlaylist->Label1->text() + QLatin1Char(' ')
                         + FormCreatePlaylist->Label2->text(),
                     lines);
        }
        WritePlaylist(
            QStringLiteral("lost"),
            {TPagesWorld::Record(QStringLiteral("C"), QStringLiteral("A"), QStringLiteral("X"),
                                 world.Root() + QStringLiteral("/none.mp3"), QStringLiteral("N"))});
        SwitchPage(FormCreatePlaylist, FormPlayList);
        SelectPlaylist(QStringLiteral("lost"));
        ClickButton(FormPlayList, "ButtonPlayList");
        QVERIFY(TPagesWorld::ShowsMessage(FormPlayList, QStringLiteral("P1")));
        QCOMPARE(FormPlayList->Label2->text(), QStringLiteral("P2"));
    }

    // A listing that an action starts while the list fills replaces it, so no name is listed
    // twice; a playlist whose extension is in capitals is shown and deleted under its own name.
    void listingIsNeverDoubledAndKeepsTheFilesOwnNames()
    {
        TPagesWorld world;
        for (const char *name : {"a", "b", "c"})
            WritePlaylist(QLatin1String(name), {});
        const QString loud = DataFile(QStringLiteral("Loud.LIST"));
        WriteLinesAtomically(
            loud,
            {TPagesWorld::Record(QStringLiteral("C"), QStringLiteral("A"), QStringLiteral("X"),
                                 world.MakeFile(QStringLiteral("l.mp3")), QStringLiteral("L"))});
        QTimer::singleShot(0, FormPlayList, [] { FormPlayList->ListPlaylists(); });
        SwitchPage(FormMain, FormPlayList);
        QCOMPARE(ListedNames(),
                 (QStringList{QStringLiteral("Loud"), QStringLiteral("a"), QStringLiteral("b"),
                              QStringLiteral("c")}));
        SelectPlaylist(QStringLiteral("Loud"));
        ClickButton(FormPlayList, "ButtonShowListContent");
        QCOMPARE(FormViewPlayList->ListViewPlay->topLevelItemCount(), 1);
        QVERIFY(!QFile::exists(PlaylistPath(QStringLiteral("Loud"))));
        ClickButton(FormViewPlayList, "ButtonReturnToSelection");
        SelectPlaylist(QStringLiteral("Loud"));
        ClickButton(FormPlayList, "ButtonDeletePlaylist");
        QVERIFY(!QFile::exists(loud));
        QCOMPARE(ListedNames(),
                 (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    }

    // A playlist that cannot be read does not show the rows of the one shown before.
    void unreadablePlaylistShowsNoOldRows()
    {
        TPagesWorld world;
        WritePlaylist(
            QStringLiteral("good"),
            {TPagesWorld::Record(QStringLiteral("C"), QStringLiteral("A"), QStringLiteral("X"),
                                 world.MakeFile(QStringLiteral("g.mp3")), QStringLiteral("G"))});
        QDir().mkpath(DataFile(QStringLiteral("bad.list")));
        FormViewPlayList->PlaylistPath = PlaylistPath(QStringLiteral("good"));
        FormViewPlayList->ListTracks();
        QCOMPARE(FormViewPlayList->ListViewPlay->topLevelItemCount(), 1);
        FormViewPlayList->PlaylistPath = DataFile(QStringLiteral("bad.list"));
        QVERIFY_THROWS_EXCEPTION(EQuavermill, FormViewPlayList->ListTracks());
        QCOMPARE(FormViewPlayList->ListViewPlay->topLevelItemCount(), 0);
    }

    void testModeShowsTestLinesInsteadOfTheList()
    {
        TPagesWorld world;
        WritePlaylist(QStringLiteral("some"), {});
        TSettings settings = Settings();
        settings.WinMsgTestMode = true;
        SetSettings(settings);
        SwitchPage(FormMain, FormPlayList);
        QVERIFY(TPagesWorld::ShowsMessage(FormPlayList, QStringLiteral("Test message, string 1.")));
        QCOMPARE(FormPlayList->MessageTimer->interval(), 600000);
        QCOMPARE(FormPlayList->ListBoxPlayLists->count(), 0);
        // Show content goes on at once, without a selection; that page shows the test lines too.
        ClickButton(FormPlayList, "ButtonShowListContent");
        QVERIFY(
            TPagesWorld::ShowsMessage(FormViewPlayList, QStringLiteral("Test message, string 1.")));
        // Playlist making posts no start message: its tree stays empty.
        SwitchPage(FormViewPlayList, FormCreatePlaylist);
        QCoreApplication::processEvents();
        QVERIFY(TPagesWorld::ShowsMessage(FormCreatePlaylist,
                                          QStringLiteral("Test message, string 1.")));
        QCOMPARE(FormCreatePlaylist->TreeViewCatalog->topLevelItemCount(), 0);
        QVERIFY(FormCreatePlaylist->EditName->isHidden());
    }

private:
    static QString FormCreatePlaylistWrongName()
    {
        return QStringLiteral("A playlist name cannot hold \"/\" or be \".\" or \"..\".");
    }
};

QTEST_MAIN(TestPlaylistPages)
#include "tst_playlist_pages.moc"
