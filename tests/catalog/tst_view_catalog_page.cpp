#include "file_size_limit.h"
#include "pages/play_messages.h"
#include "pages_world.h"

#include "base/application.h"
#include "catalog/base_string_list.h"
#include "catalog/catalog_file.h"

#include <QDirIterator>
#include <QSignalSpy>

namespace {

const QString ComposerRoot = QStringLiteral("Composer");
const QString ArtistRoot = QStringLiteral("Artist");

QString Album(const QString &album, const QString &otherRoot, const QString &value)
{
    return album + QStringLiteral(" (") + otherRoot + QStringLiteral(": ") + value
        + QLatin1Char(')');
}

TStateTree *Tree()
{
    return Page<TFormViewCatalog>()->TreeViewCatalog();
}

TCatalogTreeItem *Node(const QStringList &texts)
{
    return TPagesWorld::Node(Tree(), texts);
}

} // namespace

class TestViewCatalogPage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void captionShowsTheSizeInMegabytes_data()
    {
        QTest::addColumn<QList<qint64>>("sizes");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("empty catalog") << QList<qint64>{} << QStringLiteral(" [ 0 MB ]");
        QTest::newRow("just below 1 MB") << QList<qint64>{1048575} << QStringLiteral(" [ 0 MB ]");
        QTest::newRow("1048575 + 1") << QList<qint64>{1048575, 1} << QStringLiteral(" [ 1 MB ]");
        QTest::newRow("several MB")
            << QList<qint64>{5 * 1048576, 3 * 1048576 + 7} << QStringLiteral(" [ 8 MB ]");
    }

    void captionShowsTheSizeInMegabytes()
    {
        QFETCH(QList<qint64>, sizes);
        QFETCH(QString, suffix);
        TPagesWorld world;
        QStringList records;
        for (int i = 0; i < sizes.size(); ++i) {
            records << TPagesWorld::Record(QStringLiteral("C"), QStringLiteral("A"),
                                           QStringLiteral("X"),
                                           world.MakeFile(QStringLiteral("t%1.mp3").arg(i)),
                                           QStringLiteral("T%1").arg(i), sizes[i]);
        }
        world.ShowCatalog(records);
        QCOMPARE(Frame()->windowTitle(), Title() + QStringLiteral(" - Catalog Viewing") + suffix);
        QCOMPARE(Tree()->topLevelItem(0)->text(0), ComposerRoot);
        QCOMPARE(Tree()->topLevelItem(0)->childCount(), sizes.isEmpty() ? 0 : 1);
        // The merged catalog is saved with its header first.
        const QStringList lines = ReadLines(CatalogPath());
        QCOMPARE(lines.size(), sizes.size() + 1);
        QCOMPARE(lines.first(), HeaderRecord());
    }

    // A catalog that cannot be saved (a read-only data folder, a full disk) is still shown
    // as it was read, and the page says it was not saved, also after Delete tracks.
    void unsavedCatalogIsShownAndTold()
    {
        TPagesWorld world;
        auto *page = Page<TFormViewCatalog>();
        const QString track = world.MakeFile(QStringLiteral("t.mp3"));
        const TFileSizeLimit full(100);
        world.ShowCatalog({TPagesWorld::Record(QStringLiteral("C"), QStringLiteral("A"),
                                               QStringLiteral("X"), track, QStringLiteral("T"))});
        QVERIFY(Node({ComposerRoot, QStringLiteral("C")}));
        QVERIFY(TPagesWorld::ShowsMessage(page, QStringLiteral("The catalog could not be saved:")));
        QCOMPARE(page->Messages()->Label2()->text(), QStringLiteral("File too large"));
        QVERIFY(ReadLines(CatalogPath()).isEmpty());

        page->Messages()->MessageTimer()->stop();
        page->Messages()->Label1()->clear();
        page->DeleteTracks();
        QVERIFY(Node({ComposerRoot, QStringLiteral("C")}));
        QVERIFY(TPagesWorld::ShowsMessage(page, QStringLiteral("The catalog could not be saved:")));
    }

    void treeShapeAndArtistRuns()
    {
        TPagesWorld world;
        const QString a1 = world.MakeFile(QStringLiteral("a1.mp3"));
        const QString b = world.MakeFile(QStringLiteral("b.mp3"));
        const QString a2 = world.MakeFile(QStringLiteral("a2.mp3"));
        // In catalog order (by composer) the artist runs A, B, A: two "A" nodes.
        world.ShowCatalog({
            TPagesWorld::Record(QStringLiteral("bach"), QStringLiteral("A"), QStringLiteral("X"),
                                a1, QStringLiteral("One")),
            TPagesWorld::Record(QStringLiteral("Chopin"), QStringLiteral("B"), QStringLiteral("Y"),
                                b, QStringLiteral("Two")),
            TPagesWorld::Record(QStringLiteral("Dvorak"), QStringLiteral("A"), QStringLiteral("Z"),
                                a2, QStringLiteral("Three")),
        });
        QTreeWidgetItem *artists = Tree()->topLevelItem(1);
        QCOMPARE(artists->text(0), ArtistRoot);
        QStringList names;
        for (int i = 0; i < artists->childCount(); ++i)
            names << artists->child(i)->text(0);
        QCOMPARE(names,
                 (QStringList{QStringLiteral("A"), QStringLiteral("A"), QStringLiteral("B")}));
        QVERIFY(Tree()->topLevelItem(0)->isExpanded() && artists->isExpanded());
        // Roots, composers and artists share one picture; albums have their own.
        QCOMPARE(CatalogItem(artists)->NodeIndex(), int(PictureGroup));
        QCOMPARE(CatalogItem(artists->child(0))->NodeIndex(), int(PictureGroup));
        QCOMPARE(CatalogItem(artists->child(0)->child(0))->NodeIndex(), int(PictureAlbum));
        TCatalogTreeItem *track = Node({ComposerRoot, QStringLiteral("bach"),
                                        Album(QStringLiteral("X"), ArtistRoot, QStringLiteral("A")),
                                        QStringLiteral("One")});
        QVERIFY(track);
        QCOMPARE(track->StateIndex(), int(CheckChecked));
        QCOMPARE(track->NodeIndex(), int(PictureTrack));
        QVERIFY(track->Twin);
        QCOMPARE(track->Twin->RecordIndex, track->RecordIndex);
        QCOMPARE(track->Twin->ParentItem()->text(0),
                 Album(QStringLiteral("X"), ComposerRoot, QStringLiteral("bach")));
    }

    // A missing file makes its album, composer and artist unavailable in both branches; the
    // album's other tracks can still be toggled.
    void missingFileMakesItsGroupsUnavailable()
    {
        TPagesWorld world;
        const QString present = world.MakeFile(QStringLiteral("present.mp3"));
        world.ShowCatalog({
            TPagesWorld::Record(QStringLiteral("C"), QStringLiteral("A"), QStringLiteral("X"),
                                present, QStringLiteral("Here")),
            TPagesWorld::Record(QStringLiteral("C"), QStringLiteral("A"), QStringLiteral("X"),
                                world.Root() + QStringLiteral("/gone.mp3"), QStringLiteral("Gone")),
        });
        const QString composerAlbum = Album(QStringLiteral("X"), ArtistRoot, QStringLiteral("A"));
        const QString artistAlbum = Album(QStringLiteral("X"), ComposerRoot, QStringLiteral("C"));
        for (const QStringList &path :
             {QStringList{ComposerRoot, QStringLiteral("C")},
              QStringList{ComposerRoot, QStringLiteral("C"), composerAlbum},
              QStringList{ArtistRoot, QStringLiteral("A")},
              QStringList{ArtistRoot, QStringLiteral("A"), artistAlbum}}) {
            QVERIFY2(Node(path)->Check() == 0, qPrintable(path.join(QLatin1Char('/'))));
        }
        TCatalogTreeItem *gone =
            Node({ComposerRoot, QStringLiteral("C"), composerAlbum, QStringLiteral("Gone")});
        QCOMPARE(gone->NodeIndex(), int(PictureTrackMissing));
        ToggleNode(gone);
        QCOMPARE(gone->StateIndex(), int(CheckUnavailable));
        ToggleNode(Node({ComposerRoot, QStringLiteral("C")}));
        TCatalogTreeItem *here =
            Node({ComposerRoot, QStringLiteral("C"), composerAlbum, QStringLiteral("Here")});
        QCOMPARE(here->Check(), int(CheckChecked));
        ToggleNode(here);
        QCOMPARE(here->Check(), int(CheckUnchecked));
        QCOMPARE(here->Twin->Check(), int(CheckUnchecked));
        QCOMPARE(Node({ArtistRoot, QStringLiteral("A")})->Check(), 0);
    }

    // Unchecking a composer unchecks its twins' groups only when none of their children
    // stays checked.
    void toggleReachesTwinsAncestors()
    {
        TPagesWorld world;
        world.ShowCatalog({
            TPagesWorld::Record(QStringLiteral("C1"), QStringLiteral("A"), QStringLiteral("X"),
                                world.MakeFile(QStringLiteral("1.mp3")), QStringLiteral("t1")),
            TPagesWorld::Record(QStringLiteral("C2"), QStringLiteral("A"), QStringLiteral("X"),
                                world.MakeFile(QStringLiteral("2.mp3")), QStringLiteral("t2")),
        });
        TCatalogTreeItem *artist = Node({ArtistRoot, QStringLiteral("A")});
        TCatalogTreeItem *albumOfC1 =
            Node({ArtistRoot, QStringLiteral("A"),
                  Album(QStringLiteral("X"), ComposerRoot, QStringLiteral("C1"))});
        TCatalogTreeItem *albumOfC2 =
            Node({ArtistRoot, QStringLiteral("A"),
                  Album(QStringLiteral("X"), ComposerRoot, QStringLiteral("C2"))});
        ToggleNode(Node({ComposerRoot, QStringLiteral("C1")}));
        QCOMPARE(albumOfC1->Check(), int(CheckUnchecked));
        QCOMPARE(albumOfC1->ChildItem(0)->StateIndex(), int(CheckUnchecked));
        QCOMPARE(albumOfC2->Check(), int(CheckChecked));
        QCOMPARE(artist->Check(), int(CheckChecked));
        ToggleNode(Node({ComposerRoot, QStringLiteral("C2")}));
        QCOMPARE(artist->Check(), int(CheckUnchecked));
        // Checking the artist again checks everything in both branches.
        ToggleNode(artist);
        QCOMPARE(Node({ComposerRoot, QStringLiteral("C1")})->Check(), int(CheckChecked));
        QCOMPARE(Node({ComposerRoot, QStringLiteral("C2")})->Check(), int(CheckChecked));
    }

    // Pointer variants, a group toggled only after the double-click time, a double click that
    // toggles nothing, and a track played from its picture.
    void pointerAndClicks()
    {
        TPagesWorld world;
        const QString file = world.MakeFile(QStringLiteral("song.mp3"));
        world.ShowCatalog({TPagesWorld::Record(QStringLiteral("C"), QStringLiteral("A"),
                                               QStringLiteral("X"), file, QStringLiteral("Song"))});
        TStateTree *tree = Tree();
        TCatalogTreeItem *composer = Node({ComposerRoot, QStringLiteral("C")});
        composer->setExpanded(true);
        TCatalogTreeItem *album = CatalogItem(composer->child(0));
        album->setExpanded(true);
        TCatalogTreeItem *track = CatalogItem(album->child(0));

        TPagesWorld::Move(tree, tree->NodePictureRect(track).center());
        QCOMPARE(track->NodeIndex(), int(PictureTrackHot));
        TPagesWorld::Move(tree, tree->StatePictureRect(composer).center());
        QCOMPARE(track->NodeIndex(), int(PictureTrack));
        QCOMPARE(composer->StateIndex(), CheckChecked + CheckHotOffset);
        QCOMPARE(tree->HotItem(), composer);
        TPagesWorld::Move(tree, tree->TextRect(composer).center());
        QCOMPARE(composer->StateIndex(), int(CheckChecked));
        QCOMPARE(tree->HotItem(), nullptr);

        TPagesWorld::Click(tree, tree->TextRect(composer).center());
        QCOMPARE(composer->Check(), int(CheckChecked));
        QTRY_COMPARE(composer->Check(), int(CheckUnchecked));
        QCOMPARE(track->Twin->Check(), int(CheckUnchecked));

        TPagesWorld::Click(tree, tree->TextRect(composer).center());
        QMouseEvent doubleClick(QEvent::MouseButtonDblClick, tree->TextRect(composer).center(),
                                tree->viewport()->mapToGlobal(tree->TextRect(composer).center()),
                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tree->viewport(), &doubleClick);
        QTest::qWait(QApplication::doubleClickInterval() + 100);
        QCOMPARE(composer->Check(), int(CheckUnchecked));
        composer->setExpanded(true);

        // A track's own check box toggles at once; its picture plays it.
        TPagesWorld::Click(tree, tree->StatePictureRect(track).center());
        QCOMPARE(track->Check(), int(CheckChecked));
        QCOMPARE(composer->Check(), int(CheckChecked));
        world.Opener->DesktopWorks = true;
        TPagesWorld::Click(tree, tree->NodePictureRect(track).center());
        QCOMPARE(world.Opener->Launches, QStringList{QStringLiteral("xdg-open ") + file});
        QCOMPARE(track->Check(), int(CheckChecked));
        world.Opener->DesktopWorks = false;
        world.Opener->ProgramWorks = false;
        TPagesWorld::Click(tree, tree->NodePictureRect(track).center());
        QVERIFY(TPagesWorld::ShowsMessage(Page<TFormViewCatalog>(), PlayerMessages().NotInstalled));
        QVERIFY(tree->isHidden());
    }

    // A track clicked while a group's click still waits: the group toggles first, then the
    // track, each on its own node and once.
    void groupClickThenTrackClick()
    {
        TPagesWorld world;
        world.ShowCatalog(
            {TPagesWorld::Record(QStringLiteral("C1"), QStringLiteral("A"), QStringLiteral("X"),
                                 world.MakeFile(QStringLiteral("1.mp3")), QStringLiteral("Song1")),
             TPagesWorld::Record(QStringLiteral("C2"), QStringLiteral("A"), QStringLiteral("Y"),
                                 world.MakeFile(QStringLiteral("2.mp3")),
                                 QStringLiteral("Song2"))});
        TStateTree *tree = Tree();
        TCatalogTreeItem *c1 = Node({ComposerRoot, QStringLiteral("C1")});
        TCatalogTreeItem *c2 = Node({ComposerRoot, QStringLiteral("C2")});
        c2->setExpanded(true);
        c2->child(0)->setExpanded(true);
        TCatalogTreeItem *song2 = CatalogItem(c2->child(0)->child(0));
        TCatalogTreeItem *song1 = CatalogItem(c1->child(0)->child(0));

        TPagesWorld::Click(tree, tree->TextRect(c1).center());
        TPagesWorld::Click(tree, tree->StatePictureRect(song2).center());
        QCOMPARE(c1->Check(), int(CheckUnchecked));
        QCOMPARE(song1->Check(), int(CheckUnchecked));
        QCOMPARE(song2->Check(), int(CheckUnchecked));
        QCOMPARE(c2->Check(), int(CheckUnchecked));
        QVERIFY(!tree->HoldsClick());
        QTest::qWait(QApplication::doubleClickInterval() + 100);
        QCOMPARE(c1->Check(), int(CheckUnchecked));
        QCOMPARE(song2->Check(), int(CheckUnchecked));
    }

    void deleteTracksKeepsEverythingOutsideTheStorageFolder()
    {
        TPagesWorld world;
        const QString inside = world.MakeFile(QStringLiteral("Library/Artist/Album/gone.mp3"));
        const QString insideKept = world.MakeFile(QStringLiteral("Library/Artist/Other/kept.mp3"));
        const QString single = world.MakeFile(QStringLiteral("Library/Solo/Only/only.mp3"));
        const QString sibling = world.MakeFile(QStringLiteral("LibraryOld/Artist/Album/old.mp3"));
        const QString outside = world.MakeFile(QStringLiteral("elsewhere/out.mp3"));
        const QString sneaky = world.Storage + QStringLiteral("/../elsewhere/out2.mp3");
        world.MakeFile(QStringLiteral("elsewhere/out2.mp3"));
        const QString missing = world.Storage + QStringLiteral("/missing.mp3");
        auto record = [](const QString &composer, const QString &file) {
            return TPagesWorld::Record(composer, QStringLiteral("A"), QStringLiteral("X"), file,
                                       QFileInfo(file).baseName(), 1048576);
        };
        world.ShowCatalog(
            {record(QStringLiteral("a"), inside), record(QStringLiteral("b"), insideKept),
             record(QStringLiteral("c"), single), record(QStringLiteral("d"), sibling),
             record(QStringLiteral("e"), outside), record(QStringLiteral("f"), sneaky),
             record(QStringLiteral("g"), missing)});
        for (const char *composer : {"a", "c", "d", "e", "f"})
            ToggleNode(Node({ComposerRoot, QLatin1String(composer)}));
        auto *button = Page<TFormViewCatalog>()->findChild<TIconButton *>(
            QStringLiteral("ButtonDeleteTracks"));
        button->click();

        QVERIFY(!QFile::exists(inside));
        QVERIFY(!QFileInfo::exists(world.Storage + QStringLiteral("/Artist/Album")));
        QVERIFY(QFile::exists(insideKept));
        QVERIFY(!QFileInfo::exists(world.Storage + QStringLiteral("/Solo")));
        QVERIFY(QFileInfo(world.Storage).isDir());
        QVERIFY(QFile::exists(sibling));
        QVERIFY(QFile::exists(outside));
        QVERIFY(QFile::exists(world.Root() + QStringLiteral("/elsewhere/out2.mp3")));
        // The deleted tracks wait in the Trash, each with the info that puts it back.
        const QString trash = world.Root() + QStringLiteral("/data/Trash/");
        QCOMPARE(QDir(trash + QStringLiteral("files")).entryList(QDir::Files).join(u' ') + u' '
                     + QDir(trash + QStringLiteral("info")).entryList(QDir::Files).join(u' '),
                 QStringLiteral("gone.mp3 only.mp3 gone.mp3.trashinfo only.mp3.trashinfo"));

        // Only the checked track stays, in the catalog, its file and the tree at once.
        const QStringList lines = ReadLines(CatalogPath());
        QCOMPARE(lines.size(), 2);
        QCOMPARE(ParseRecord(lines.at(1)).FileName, insideKept);
        QCOMPARE(world.Catalog.Records().Count(), 2);
        QCOMPARE(Tree()->topLevelItem(0)->childCount(), 1);
        QCOMPARE(Tree()->topLevelItem(0)->child(0)->text(0), QStringLiteral("b"));
        QVERIFY(Frame()->windowTitle().endsWith(QStringLiteral(" [ 1 MB ]")));
    }

    // A stored file that a track staying in the catalog names too is not deleted with the other.
    void deleteTracksKeepsAFileAKeptTrackNames()
    {
        TPagesWorld world;
        const QString shared = world.MakeFile(QStringLiteral("Library/A/X/song.mp3"));
        world.ShowCatalog({
            TPagesWorld::Record(QStringLiteral("C1"), QStringLiteral("A"), QStringLiteral("X"),
                                shared, QStringLiteral("Old")),
            TPagesWorld::Record(QStringLiteral("C2"), QStringLiteral("A"), QStringLiteral("X"),
                                shared, QStringLiteral("New")),
        });
        ToggleNode(Node({ComposerRoot, QStringLiteral("C1")}));
        Page<TFormViewCatalog>()->DeleteTracks();
        QVERIFY(QFile::exists(shared));
        QCOMPARE(world.Catalog.Records().Count(), 2);
        TCatalogTreeItem *kept = Node({ComposerRoot, QStringLiteral("C2")});
        QVERIFY(kept);
        QCOMPARE(kept->Check(), int(CheckChecked));
        QVERIFY(!Node({ComposerRoot, QStringLiteral("C1")}));
    }

    void deleteStoredTrackNeverLeavesTheStorageFolder_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("inside") << QStringLiteral("Library/x.mp3") << true;
        QTest::newRow("sibling sharing the name's beginning")
            << QStringLiteral("LibraryOld/x.mp3") << false;
        QTest::newRow("through a link to outside") << QStringLiteral("Library/link/x.mp3") << false;
        QTest::newRow("the storage folder itself") << QStringLiteral("Library") << false;
    }

    void deleteStoredTrackNeverLeavesTheStorageFolder()
    {
        QFETCH(QString, file);
        QFETCH(bool, deleted);
        QTemporaryDir dir;
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path() + QStringLiteral("/data")));
        const QString storage = dir.path() + QStringLiteral("/Library");
        QDir().mkpath(storage);
        QDir().mkpath(dir.path() + QStringLiteral("/LibraryOld"));
        QDir().mkpath(dir.path() + QStringLiteral("/target"));
        QFile::link(dir.path() + QStringLiteral("/target"), storage + QStringLiteral("/link"));
        const QString path = dir.path() + QLatin1Char('/') + file;
        if (!QFileInfo(path).isDir()) {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
        }
        DeleteStoredTrack(path, storage);
        QCOMPARE(!QFileInfo::exists(path), deleted);
        QVERIFY(QFileInfo(storage).isDir());
    }

    // What a gone track leaves: its empty folders go, up to the storage folder.
    void deleteStoredTrackOfAGoneFileClearsItsFolders_data()
    {
        QTest::addColumn<QStringList>("made"); // folders ("x/"), files, and links ("link>target")
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("left");
        const QString track = QStringLiteral("Library/Artist/Album/t.mp3");
        QTest::newRow("file gone") << QStringList{QStringLiteral("Library/Artist/Album/")} << track
                                   << QStringList{QStringLiteral("Library/")};
        QTest::newRow("album folder gone too") << QStringList{QStringLiteral("Library/Artist/")}
                                               << track << QStringList{QStringLiteral("Library/")};
        QTest::newRow("artist keeps another album")
            << QStringList{QStringLiteral("Library/Artist/Album/"),
                           QStringLiteral("Library/Artist/Other/u.mp3")}
            << track
            << QStringList{QStringLiteral("Library/"), QStringLiteral("Library/Artist/"),
                           QStringLiteral("Library/Artist/Other/"),
                           QStringLiteral("Library/Artist/Other/u.mp3")};
        QTest::newRow("outside the storage folder")
            << QStringList{QStringLiteral("Other/Album/")} << QStringLiteral("Other/Album/t.mp3")
            << QStringList{QStringLiteral("Library/"), QStringLiteral("Other/"),
                           QStringLiteral("Other/Album/")};
        QTest::newRow("through a link to outside")
            << QStringList{QStringLiteral("Other/"), QStringLiteral("Library/link>../Other")}
            << QStringLiteral("Library/link/Album/t.mp3")
            << QStringList{QStringLiteral("Library/"), QStringLiteral("Library/link"),
                           QStringLiteral("Other/")};
    }

    void deleteStoredTrackOfAGoneFileClearsItsFolders()
    {
        QFETCH(QStringList, made);
        QFETCH(QString, file);
        QTemporaryDir dir;
        const QString root = dir.path() + QLatin1Char('/');
        QDir().mkpath(root + QStringLiteral("Library"));
        for (const QString &entry : made) {
            if (entry.contains(QLatin1Char('>'))) {
                const QStringList link = entry.split(QLatin1Char('>'));
                QVERIFY(QFile::link(link.at(1), root + link.at(0)));
            } else if (entry.endsWith(QLatin1Char('/'))) {
                QVERIFY(QDir().mkpath(root + entry));
            } else {
                QDir().mkpath(QFileInfo(root + entry).path());
                QFile out(root + entry);
                QVERIFY(out.open(QIODevice::WriteOnly));
            }
        }
        DeleteStoredTrack(root + file, root + QStringLiteral("Library"));
        QStringList left;
        QDirIterator it(dir.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo entry(it.next());
            left << entry.filePath().mid(root.size())
                    + QLatin1String(entry.isDir() && !entry.isSymLink() ? "/" : "");
        }
        left.sort();
        QTEST(left, "left");
    }

    // A root of an empty catalog has no children but its picture is no pointer variant.
    void emptyRootsKeepTheirPicture()
    {
        TPagesWorld world;
        world.ShowCatalog({});
        TCatalogTreeItem *root = CatalogItem(Tree()->topLevelItem(0));
        TPagesWorld::Move(Tree(), Tree()->NodePictureRect(root).center());
        TPagesWorld::Move(Tree(), Tree()->TextRect(root).center());
        TPagesWorld::Click(Tree(), Tree()->NodePictureRect(root).center());
        QCOMPARE(root->NodeIndex(), int(PictureGroup));
        QVERIFY(world.Opener->Launches.isEmpty());
    }

    void enterLeadsToPlaylistMaking()
    {
        TPagesWorld world;
        world.ShowCatalog({});
        QTest::keyClick(Tree(), Qt::Key_Return);
        QTRY_VERIFY(!Page<TFormCreatePlaylist>()->isHidden());
        QVERIFY(Page<TFormViewCatalog>()->isHidden());
        QCOMPARE(Tree()->topLevelItemCount(), 0);
    }

    void testModeShowsTheTestLinesOnly()
    {
        TPagesWorld world;
        world.Services.Settings.WinMsgTestMode = true;
        SwitchPage(Page<TFormMain>(), Page<TFormViewCatalog>());
        QCoreApplication::processEvents();
        QVERIFY(TPagesWorld::ShowsMessage(Page<TFormViewCatalog>(),
                                          QStringLiteral("Test message, string 1.")));
        QCOMPARE(Page<TFormViewCatalog>()->Messages()->MessageTimer()->interval(), 600000);
        QCOMPARE(Tree()->topLevelItemCount(), 0);
    }
};

QTEST_MAIN(TestViewCatalogPage)
#include "tst_view_catalog_page.moc"
