// Renders every page of Quavermill into <folder>/<section>.png so the look can be checked by
// eye. The pages are shown one after another as the program would show them, in a small world
// of their own: a USB stick with two albums, a catalog of a few tracks (one of them missing)
// and one playlist.
//
//   QT_QPA_PLATFORM=offscreen build/tests/page_snapshots shots/

#include "app/create_pages.h"
#include "app/main_page.h"
#include "base/locations.h"
#include "catalog/catalog.h"
#include "catalog/catalog_record.h"
#include "catalog/view_catalog_page.h"
#include "import/copy_files_page.h"
#include "import/description_box.h"
#include "import/description_item.h"
#include "import/hand_over.h"
#include "import/set_properties_page.h"
#include "pages/frame_window.h"
#include "pages/page_form.h"
#include "playlists/playlist_file.h"
#include "playlists/view_play_list_page.h"
#include "search/select_files_page.h"
#include "test_media.h"
#include "test_services.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace {

// A track file; an MP3 gets an ID3v1 tag when a title is given.
QString Track(const QString &root, const QString &path, const QByteArray &title = {},
              const QByteArray &artist = {}, const QByteArray &album = {})
{
    const QString file = root + QLatin1Char('/') + path;
    QDir().mkpath(QFileInfo(file).path());
    QByteArray content = file.endsWith(QLatin1String(".wav")) ? TestMedia::Wav(44100, 2, 4410)
                                                              : TestMedia::SilentMp3(20);
    if (!title.isEmpty())
        content += TestMedia::Id3v1(title, artist, album);
    TestMedia::WriteFile(file, content);
    return file;
}

QString Record(const QString &composer, const QString &artist, const QString &album, int number,
               const QString &file, const QString &name)
{
    return BuildRecord(QStringLiteral("DAT"), composer, artist, album,
                       QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0')), file, name,
                       QString::number(4180000 + number * 731000));
}

void BuildWorld(const QString &root)
{
    qputenv("XDG_DATA_HOME", (root + QStringLiteral("/data")).toUtf8());
    const QString stick = root + QStringLiteral("/stick");
    Track(stick, QStringLiteral("Homogenic/01 Hunter.mp3"), "Hunter", "Bjork", "Homogenic");
    Track(stick, QStringLiteral("Homogenic/02 Jóga.mp3"), "Joga", "Bjork", "Homogenic");
    Track(stick, QStringLiteral("Homogenic/03 Unravel.mp3"), "Unravel", "Bjork",
          "Homogenic (Live at Cambridge)");
    Track(stick, QStringLiteral("Kind of Blue/So What.wav"));
    const QString volumes = root + QStringLiteral("/volumes");
    QFile table(volumes);
    table.open(QIODevice::WriteOnly);
    table.write(stick.toUtf8() + "/\tremovable\t1\n");

    const QString library = DefaultStorageFolder();
    const QStringList records = {
        Record(QStringLiteral("Björk"), QStringLiteral("Björk"), QStringLiteral("Homogenic"), 1,
               Track(library, QStringLiteral("Björk/Homogenic/01 Hunter.mp3")),
               QStringLiteral("Hunter")),
        Record(QStringLiteral("Björk"), QStringLiteral("Björk"), QStringLiteral("Homogenic"), 2,
               Track(library, QStringLiteral("Björk/Homogenic/02 Jóga.mp3")),
               QStringLiteral("Jóga")),
        Record(QStringLiteral("Miles Davis"), QStringLiteral("Miles Davis"),
               QStringLiteral("Kind of Blue"), 1,
               Track(library, QStringLiteral("Miles Davis/Kind of Blue/So What.mp3")),
               QStringLiteral("So What")),
        Record(QStringLiteral("J. S. Bach"), QStringLiteral("Glenn Gould"),
               QStringLiteral("Goldberg Variations"), 1,
               library + QStringLiteral("/Glenn Gould/Goldberg Variations/Aria.mp3"),
               QStringLiteral("Aria")),
    };
    TestMedia::WriteFile(DataFile(QLatin1String(CatalogFileName)),
                         (HeaderRecord() + QStringLiteral("\r\n")
                          + records.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"))
                             .toUtf8());
    WritePlaylist(QStringLiteral("Evening"), records);
}

bool Save(const QPixmap &shot, const QString &path, const TFormBase *page)
{
    if (!shot.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s  %s\n", qPrintable(path), qPrintable(page->windowTitle()));
    return true;
}

// The frame with the open list of a box drawn where it stands (a list is a window of its own).
QPixmap GrabWithPopup(QWidget &frame, QComboBox *box)
{
    QPixmap shot = frame.grab();
    QWidget *popup = box->view()->window();
    QPainter painter(&shot);
    painter.drawPixmap(frame.mapFromGlobal(popup->mapToGlobal(QPoint(0, 0))), popup->grab());
    return shot;
}

// Shows the copy page storing the stick's Homogenic tracks, and grabs the frame while the run
// is at its second track (its tag tool lets events in). The run then goes on to the catalog.
QPixmap GrabCopyRun(QWidget &frame, TFormBase *previous, TCatalog &catalog, const QString &stick)
{
    auto *copy = Page<TFormCopyFiles>();
    catalog.PendingRecords.clear();
    for (const QString &name : QDir(stick + QStringLiteral("/Homogenic")).entryList(QDir::Files))
        catalog.PendingRecords << Record(QStringLiteral("Björk"), QStringLiteral("Björk"),
                                         QStringLiteral("Homogénic"), 0,
                                         stick + QStringLiteral("/Homogenic/") + name, name);
    copy->Catalog = &catalog;
    QPixmap shot;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (shot.isNull() && copy->LabelCopied()->text().startsWith(QStringLiteral("Copied 1 ")))
            shot = frame.grab();
    });
    watch.start(0);
    SwitchPage(previous, copy);
    if (!QTest::qWaitFor([&] { return !shot.isNull(); }, 10000)
        || !QTest::qWaitFor([] { return !Page<TFormViewCatalog>()->isHidden(); }, 10000))
        std::fprintf(stderr, "the copy of the stick did not end\n");
    return shot;
}

// Clicks a node's text, its group open.
void Select(TFormSetProperties *page, QTreeWidgetItem *node)
{
    page->TreeViewFiles()->expandAll();
    page->TreeClicked({node, THitPart::Text});
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("shots");
    QDir().mkpath(folder);
    QTemporaryDir world;
    BuildWorld(world.path());
    // The program folder holds the tag tool.
    TServices services =
        TestServices(QStringLiteral(QUAVERMILL_BIN_DIR), world.path() + QStringLiteral("/volumes"));
    services.Settings.StorageDir = DefaultStorageFolder();

    TCatalog catalog;
    TFrameWindow frame(services);
    CreatePages(&frame, catalog);
    SwitchPage(nullptr, Page<TFormMain>());
    QTest::qWait(100);
    TFormBase *previous = Page<TFormMain>();
    Page<TFormViewPlayList>()->PlaylistPath = PlaylistPath(QStringLiteral("Evening"));
    Page<TFormSelectFiles>()->FromRemovable = true;
    for (TFormBase *page : frame.findChildren<TFormBase *>(Qt::FindDirectChildrenOnly)) {
        auto *description = qobject_cast<TFormSetProperties *>(page);
        if (page == Page<TFormCopyFiles>()) {
            if (!Save(
                    GrabCopyRun(frame, previous, catalog, world.path() + QStringLiteral("/stick")),
                    QStringLiteral("%1/%2.png").arg(folder, page->Section()), page))
                return 1;
            previous = Page<TFormViewCatalog>();
            continue;
        }
        // The description page shows what the selection page found on the stick.
        if (description)
            HandOverToDescription(previous, *Page<TFormSelectFiles>()->TreeViewFiles(), true);
        else
            SwitchPage(previous, page);
        previous = page;
        if (page == Page<TFormSelectFiles>()
            && !QTest::qWaitFor([] { return Page<TFormSelectFiles>()->Timer1()->isActive(); },
                                10000))
            std::fprintf(stderr, "the scan of the stick did not end\n");
        QTest::qWait(300);
        if (description)
            Select(description, description->TreeViewFiles()->topLevelItem(0));
        if (!Save(frame.grab(), QStringLiteral("%1/%2.png").arg(folder, page->Section()), page))
            return 1;
        if (description) {
            // A track with the list of its album box open.
            Select(description, description->TreeViewFiles()->topLevelItem(0)->child(2));
            description->ComboBoxAlbum()->showPopup();
            QTest::qWait(300);
            const bool saved =
                Save(GrabWithPopup(frame, description->ComboBoxAlbum()),
                     QStringLiteral("%1/%2-track.png").arg(folder, page->Section()), page);
            description->ComboBoxAlbum()->hidePopup();
            if (!saved)
                return 1;
        }
    }
    return 0;
}
