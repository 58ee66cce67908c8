#include "pages/play_messages.h"
#include "pages_world.h"

#include "base/errors.h"
#include "catalog/catalog_file.h"
#include "playlists/playlist_file.h"

#include <QLineEdit>
#include <QListWidget>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QStringList ListedNames()
{
    QStringList names;
    for (int i = 0; i < Page<TFormPlayList>()->ListBoxPlayLists()->count(); ++i)
        names << Page<TFormPlayList>()->ListBoxPlayLists()->item(i)->text();
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
        Page<TFormPlayList>()->ListBoxPlayLists()->findItems(name, Qt::MatchExactly);
    QCOMPARE(items.size(), 1);
    Page<TFormPlayList>()->ListBoxPlayLists()->setCurrentItem(items.first());
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
        world.ShowCatalog({
            TPagesWorld::Record(QStringLiteral("C1"), QStringLiteral("A"), QStringLiteral("X"),
                                first, QStringLiteral("One")),
            TPagesWorld::Record(QStringLiteral("C2"), QStringLiteral("B"), QStringLiteral("Y"),
                                second, QStringLiteral("Two")),
        });
        SwitchPage(Page<TFormViewCatalog>(), Page<TFormCreatePlaylist>());
        QTRY_COMPARE(Page<TFormCreatePlaylist>()->TreeViewCatalog()->topLevelItemCount(), 2);
    }

private Q_SLOTS:
    void createPlaylistStartsUncheckedAndSavesCheckedTracksOnce()
    {
        TPagesWorld world;
        QString first;
        QString second;
        MakePlaylistWorld(world, first, second);
        TStateTree *tree = Page<TFormCreatePlaylist>()->TreeViewCatalog();
        TCatalogTreeItem *composer =
            TPagesWorld::Node(tree, {QStringLiteral("Composer"), QStringLiteral("C1")});
        QCOMPARE(composer->Check(), int(CheckUnchecked));
        ToggleNode(composer);
        Page<TFormCreatePlaylist>()->EditName()->setText(QStringLiteral("mix"));
        ClickButton(Page<TFormCreatePlaylist>(), "ButtonSavePlaylist");
        QVERIFY(!Page<TFormPlayList>()->isHidden());
        QVERIFY(Page<TFormCreatePlaylist>()->isHidden());
        const QStringList lines = ReadLines(PlaylistPath(QStringLiteral("mix")));
        QCOMPARE(lines.size(), 1);
        QCOMPARE(ParseRecord(lines.first()).FileName, first);
        QCOMPARE(ListedNames(), QStringList{QStringLiteral("mix")});
        // The catalog itself is not changed by playlist making.
        QCOMPARE(world.Catalog.Records().Count(), 3);
    }

    void createPlaylistRefusesWhatCannotBeSaved_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("line1");
        QTest::newRow("empty") << QString() << QStringLiteral("You must type");
        QTest::newRow("slash") << QStringLiteral("../evil") << FormCreatePlaylistWrongName();
        QTest::newRow("inner slash") << QStringLiteral("a/b") << FormCreatePlaylistWrongName();
        QTest::newRow("dot") << QStringLiteral(".") << FormCreatePlaylistWrongName();
        QTest::newRow("dot dot") << QStringLiteral("..") << FormCreatePlaylistWrongName();
        QTest::newRow("no track checked")
            << QStringLiteral("mix") << QStringLiteral("You must check");
    }

    void createPlaylistRefusesWhatCannotBeSaved()
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
        Page<TFormCreatePlaylist>()->EditName()->setText(name);
        ClickButton(Page<TFormCreatePlaylist>(), "ButtonSavePlaylist");
        QVERIFY(TPagesWorld::ShowsMessage(Page<TFormCreatePlaylist>(), line1));
        QVERIFY(Page<TFormCreatePlaylist>()->EditName()->isHidden());
        QVERIFY(Page<TFormCreatePlaylist>()->TreeViewCatalog()->isHidden());
        QVERIFY(!Page<TFormCreatePlaylist>()->isHidden());
        QCOMPARE(DataFiles(), before);
        QCOMPARE(QDir(world.Root() + QStringLiteral("/data")).entryList(QDir::Files), outside);
        // The message ends after its three seconds and the controls come back.
        Page<TFormCreatePlaylist>()->Messages()->MessageTimer()->setInterval(10);
        Page<TFormCreatePlaylist>()->Messages()->MessageTimer()->start();
        QTRY_VERIFY(!Page<TFormCreatePlaylist>()->Messages()->Presenting());
        QVERIFY(!Page<TFormCreatePlaylist>()->EditName()->isHidden());
    }

    void enterInTheNameBoxSaves()
    {
        TPagesWorld world;
        QString first;
        QString second;
        MakePlaylistWorld(world, first, second);
        ToggleNode(TPagesWorld::Node(Page<TFormCreatePlaylist>()->TreeViewCatalog(),
                                     {QStringLiteral("Artist"), QStringLiteral("B")}));
        Page<TFormCreatePlaylist>()->EditName()->setFocus();
        QTest::keyClicks(Page<TFormCreatePlaylist>()->EditName(), QStringLiteral("rock.best"));
        QTest::keyClick(Page<TFormCreatePlaylist>()->EditName(), Qt::Key_Return);
        QVERIFY(!Page<TFormPlayList>()->isHidden());
        QCOMPARE(ReadLines(PlaylistPath(QStringLiteral("rock.best"))).size(), 1);
        // A name with several full stops is listed as given and found again by it.
        QCOMPARE(ListedNames(), QStringList{QStringLiteral("rock.best")});
        SelectPlaylist(QStringLiteral("rock.best"));
        world.Opener->DesktopWorks = true;
        ClickButton(Page<TFormPlayList>(), "ButtonPlayList");
        QCOMPARE(
            world.Opener->Launches,
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
        world.Opener->ProgramWorks = false;
        SwitchPage(Page<TFormMain>(), Page<TFormPlayList>());
        QCOMPARE(ListedNames(), (QStringList{QStringLiteral("fine"), QStringLiteral("lost")}));
        QVERIFY(Page<TFormPlayList>()->ListBoxPlayLists()->currentItem()->isSelected());
        SelectPlaylist(QStringLiteral("lost"));
        ClickButton(Page<TFormPlayList>(), "ButtonPlayList");
        QVERIFY(TPagesWorld::ShowsMessage(Page<TFormPlayList>(), PlayerMessages().PlDoNotHave));
        QVERIFY(!QFile::exists(PlayablePath(QStringLiteral("lost"))));
        QVERIFY(Page<TFormPlayList>()->ListBoxPlayLists()->isHidden());
        SwitchPage(Page<TFormPlayList>(), Page<TFormMain>());
        SwitchPage(Page<TFormMain>(), Page<TFormPlayList>());
        QVERIFY(!Page<TFormPlayList>()->Messages()->Presenting());
        SelectPlaylist(QStringLiteral("fine"));
        // A double click plays as the button does.
        Q_EMIT Page<TFormPlayList>()->ListBoxPlayLists()->itemDoubleClicked(
            Page<TFormPlayList>()->ListBoxPlayLists()->currentItem());
        QVERIFY(TPagesWorld::ShowsMessage(Page<TFormPlayList>(), PlayerMessages().NotInstalled));
        QVERIFY(QFile::exists(PlayablePath(QStringLiteral("fine"))));
        QCOMPARE(world.Opener->Launches.size(), 2);
    }

    void deleteRemovesPlaylistAndM3u()
    {
        TPagesWorld world;
        WritePlaylist(QStringLiteral("only"), {});
        WriteLinesAtomically(PlayablePath(QStringLiteral("only")), {QStringLiteral("/x.mp3")});
        QFile::setPermissions(PlaylistPath(QStringLiteral("only")), QFileDevice::ReadOwner);
        SwitchPage(Page<TFormMain>(), Page<TFormPlayList>());
        ClickButton(Page<TFormPlayList>(), "ButtonDeletePlaylist");
        QVERIFY(!QFile::exists(PlaylistPath(QStringLiteral("only"))));
        QVERIFY(!QFile::exists(PlayablePath(QStringLiteral("only"))));
        // The playlist waits in the Trash; the M3U file, the program's own, is gone for good.
        const QString trash = world.Root() + QStringLiteral("/data/Trash/");
        QCOMPARE(QDir(trash + QStringLiteral("files")).entryList(QDir::Files).join(u' ') + u' '
                     + QDir(trash + QStringLiteral("info")).entryList(QDir::Files).join(u' '),
                 QStringLiteral("only.list only.list.trashinfo"));
        QCOMPARE(Page<TFormPlayList>()->ListBoxPlayLists()->count(), 0);
        // Nothing selected: play and show content do nothing.
        ClickButton(Page<TFormPlayList>(), "ButtonPlayList");
        ClickButton(Page<TFormPlayList>(), "ButtonShowListContent");
        QVERIFY(!Page<TFormPlayList>()->isHidden());
        QVERIFY(world.Opener->Launches.isEmpty());
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
        SwitchPage(Page<TFormMain>(), Page<TFormPlayList>());
        SelectPlaylist(QStringLiteral("list"));
        ClickButton(Page<TFormPlayList>(), "ButtonShowListContent");
        QVERIFY(!Page<TFormViewPlayList>()->isHidden());
        TStateTree *rows = Page<TFormViewPlayList>()->ListViewPlay();
        QCOMPARE(rows->topLevelItemCount(), 2);
        QCOMPARE(rows->TopItem(0)->text(0), QStringLiteral("Alpha"));
        QCOMPARE(rows->TopItem(0)->text(4), gone);
        QCOMPARE(rows->TopItem(0)->StateIndex(), int(TFormViewPlayList::MarkMissing));
        QCOMPARE(rows->TopItem(1)->text(3), QStringLiteral("First"));
        QCOMPARE(rows->TopItem(1)->StateIndex(), int(TFormViewPlayList::MarkPresent));
        QCOMPARE(rows->headerItem()->text(1), QStringLiteral("Performer"));
        world.Opener->DesktopWorks = true;
        QTest::keyClick(rows, Qt::Key_Return);
        QCOMPARE(world.Opener->Launches,
                 QStringList{QStringLiteral("xdg-open ") + PlayablePath(QStringLiteral("list"))});
        ClickButton(Page<TFormViewPlayList>(), "ButtonReturnToSelection");
        QVERIFY(!Page<TFormPlayList>()->isHidden());
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
        TStateTree *tree = Page<TFormCreatePlaylist>()->TreeViewCatalog();
        QCOMPARE(tree->topLevelItem(1)->text(0), QStringLiteral("Interpret"));
        TCatalogTreeItem *track =
            TPagesWorld::Node(tree,
                              {QStringLiteral("Komponist"), QStringLiteral("C1"),
                               QStringLiteral("X (Interpret: A)"), QStringLiteral("One")});
        QVERIFY(track);
        track->parent()->parent()->setExpanded(true);
        track->parent()->setExpanded(true);
        world.Opener->ProgramWorks = false;
        TPagesWorld::Click(tree, tree->NodePictureRect(track).center());
        QVERIFY(TPagesWorld::ShowsMessage(Page<TFormCreatePlaylist>(), QStringLiteral("N1")));
        QCOMPARE(Page<TFormCreatePlaylist>()->Messages()->Label2()->text(), QStringLiteral("N2"));
        const QList<QPair<QString, QString>> names{
            {QString(), QStringLiteral("M1 M2")}, {QStringLiteral("a/b"), QStringLiteral("W1 W2")}};
        for (const auto &[name, lines] : names) {
            Page<TFormCreatePlaylist>()->EditName()->setText(name);
            ClickButton(Page<TFormCreatePlaylist>(), "ButtonSavePlaylist");
            QCOMPARE(Page<TFormCreatePlaylist>()->Messages()->Label1()->text() + QLatin1Char(' ')
                         + Page<TFormCreatePlaylist>()->Messages()->Label2()->text(),
                     lines);
        }
        WritePlaylist(
            QStringLiteral("lost"),
            {TPagesWorld::Record(QStringLiteral("C"), QStringLiteral("A"), QStringLiteral("X"),
                                 world.Root() + QStringLiteral("/none.mp3"), QStringLiteral("N"))});
        SwitchPage(Page<TFormCreatePlaylist>(), Page<TFormPlayList>());
        SelectPlaylist(QStringLiteral("lost"));
        ClickButton(Page<TFormPlayList>(), "ButtonPlayList");
        QVERIFY(TPagesWorld::ShowsMessage(Page<TFormPlayList>(), QStringLiteral("P1")));
        QCOMPARE(Page<TFormPlayList>()->Messages()->Label2()->text(), QStringLiteral("P2"));
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
        QTimer::singleShot(0, Page<TFormPlayList>(),
                           [] { Page<TFormPlayList>()->ListPlaylists(); });
        SwitchPage(Page<TFormMain>(), Page<TFormPlayList>());
        QCOMPARE(ListedNames(),
                 (QStringList{QStringLiteral("Loud"), QStringLiteral("a"), QStringLiteral("b"),
                              QStringLiteral("c")}));
        SelectPlaylist(QStringLiteral("Loud"));
        ClickButton(Page<TFormPlayList>(), "ButtonShowListContent");
        QCOMPARE(Page<TFormViewPlayList>()->ListViewPlay()->topLevelItemCount(), 1);
        QVERIFY(!QFile::exists(PlaylistPath(QStringLiteral("Loud"))));
        ClickButton(Page<TFormViewPlayList>(), "ButtonReturnToSelection");
        SelectPlaylist(QStringLiteral("Loud"));
        ClickButton(Page<TFormPlayList>(), "ButtonDeletePlaylist");
        QVERIFY(!QFile::exists(loud));
        QCOMPARE(ListedNames(),
                 (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    }

    // Only files, links to files and links to nowhere are listed (a named pipe would freeze
    // the page, a name that is not UTF-8 would name no file); Delete takes a link itself,
    // never what it points to.
    void listingShowsFilesAndDeletesLinksOnly()
    {
        TPagesWorld world;
        WritePlaylist(QStringLiteral("good"), {});
        const QString outside = world.MakeFile(QStringLiteral("elsewhere/away.list"));
        QFile::setPermissions(outside, QFileDevice::ReadOwner);
        QVERIFY(QFile::link(outside, DataFile(QStringLiteral("away.list"))));
        QVERIFY(QFile::link(world.Root() + QStringLiteral("/nowhere.list"),
                            DataFile(QStringLiteral("broken.list"))));
        QVERIFY(QFile::link(world.Root(), DataFile(QStringLiteral("folder link.list"))));
        QVERIFY(QDir().mkpath(DataFile(QStringLiteral("folder.list"))));
        QCOMPARE(mkfifo(QFile::encodeName(DataFile(QStringLiteral("trap.list"))).constData(), 0600),
                 0);
        const int fd =
            ::open(QFile::encodeName(DataFolder()) + "/caf\xe9.list", O_CREAT | O_WRONLY, 0600);
        QVERIFY(fd >= 0);
        ::close(fd);

        SwitchPage(Page<TFormMain>(), Page<TFormPlayList>());
        QCOMPARE(ListedNames(),
                 (QStringList{QStringLiteral("away"), QStringLiteral("broken"),
                              QStringLiteral("good")}));
        for (const QString &name : {QStringLiteral("broken"), QStringLiteral("away")}) {
            SelectPlaylist(name);
            ClickButton(Page<TFormPlayList>(), "ButtonDeletePlaylist");
            QVERIFY(!QFileInfo(PlaylistPath(name)).isSymLink());
        }
        QCOMPARE(ListedNames(), QStringList{QStringLiteral("good")});
        QVERIFY(QFile::exists(outside));
        QVERIFY(!(QFile::permissions(outside) & QFileDevice::WriteOwner));
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
        Page<TFormViewPlayList>()->PlaylistPath = PlaylistPath(QStringLiteral("good"));
        Page<TFormViewPlayList>()->ListTracks();
        QCOMPARE(Page<TFormViewPlayList>()->ListViewPlay()->topLevelItemCount(), 1);
        Page<TFormViewPlayList>()->PlaylistPath = DataFile(QStringLiteral("bad.list"));
        QVERIFY_THROWS_EXCEPTION(EQuavermill, Page<TFormViewPlayList>()->ListTracks());
        QCOMPARE(Page<TFormViewPlayList>()->ListViewPlay()->topLevelItemCount(), 0);
    }

    void testModeShowsTestLinesInsteadOfTheList()
    {
        TPagesWorld world;
        WritePlaylist(QStringLiteral("some"), {});
        world.Services.Settings.WinMsgTestMode = true;
        SwitchPage(Page<TFormMain>(), Page<TFormPlayList>());
        QVERIFY(TPagesWorld::ShowsMessage(Page<TFormPlayList>(),
                                          QStringLiteral("Test message, string 1.")));
        QCOMPARE(Page<TFormPlayList>()->Messages()->MessageTimer()->interval(), 600000);
        QCOMPARE(Page<TFormPlayList>()->ListBoxPlayLists()->count(), 0);
        // Show content goes on at once, without a selection; that page shows the test lines too.
        ClickButton(Page<TFormPlayList>(), "ButtonShowListContent");
        QVERIFY(TPagesWorld::ShowsMessage(Page<TFormViewPlayList>(),
                                          QStringLiteral("Test message, string 1.")));
        // Playlist making posts no start message: its tree stays empty.
        SwitchPage(Page<TFormViewPlayList>(), Page<TFormCreatePlaylist>());
        QCoreApplication::processEvents();
        QVERIFY(TPagesWorld::ShowsMessage(Page<TFormCreatePlaylist>(),
                                          QStringLiteral("Test message, string 1.")));
        QCOMPARE(Page<TFormCreatePlaylist>()->TreeViewCatalog()->topLevelItemCount(), 0);
        QVERIFY(Page<TFormCreatePlaylist>()->EditName()->isHidden());
    }

private:
    static QString FormCreatePlaylistWrongName()
    {
        return QStringLiteral("A playlist name cannot hold \"/\" or be \".\" or \"..\".");
    }
};

QTEST_MAIN(TestPlaylistPages)
#include "tst_playlist_pages.moc"
