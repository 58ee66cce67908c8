// Shows a catalog of 100,000 tracks (all files present) on the catalog view page, offscreen,
// and prints the time from the start message to the tree drawn, and the memory high-water mark.
// Usage: catalog_view_bench [tracks]

#include "app/main_page.h"
#include "base/locations.h"
#include "catalog/base_string_list.h"
#include "catalog/catalog.h"
#include "catalog/catalog_file.h"
#include "catalog/catalog_record.h"
#include "catalog/view_catalog_page.h"
#include "pages/frame_window.h"
#include "pages/state_tree.h"
#include "test_services.h"

#include "peak_memory.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidgetItemIterator>

#include <cstdio>

namespace {

// 1000 artists with 10 albums of 10 tracks each; 500 composers, one per album. Written line by
// line, so that making the catalog leaves no mark on the memory figures.
void WriteCatalog(const QString &storage, int tracks)
{
    QFile catalog(CatalogPath());
    catalog.open(QIODevice::WriteOnly);
    catalog.write(HeaderRecord().toUtf8() + "\r\n");
    for (int i = 0; i < tracks; ++i) {
        const int album = i / 10;
        const QString artist = QStringLiteral("Artist %1").arg(album / 10);
        const QString albumName = QStringLiteral("Album %1").arg(album % 10);
        const QString folder = storage + QLatin1Char('/') + artist + QLatin1Char('/') + albumName;
        if (i % 10 == 0)
            QDir().mkpath(folder);
        const QString file = folder + QStringLiteral("/Track %1.mp3").arg(i % 10);
        QFile(file).open(QIODevice::WriteOnly);
        catalog.write(
            BuildRecord(QStringLiteral("DAT"), QStringLiteral("Composer %1").arg((album * 7) % 500),
                        artist, albumName, QStringLiteral("0"), file,
                        QStringLiteral("Track number %1").arg(i), QStringLiteral("4718592"))
                .toUtf8()
            + "\r\n");
    }
}

// Notes the first paint of the tree's viewport once the tree is filled.
class TPaintWatch : public QObject {
public:
    explicit TPaintWatch(TStateTree *tree) : m_tree(tree)
    {
        tree->viewport()->installEventFilter(this);
    }
    bool Drawn = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_tree->topLevelItemCount() == 2)
            Drawn = true;
        return false;
    }

private:
    TStateTree *m_tree;
};

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int tracks = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path() + QStringLiteral("/data")));
    TServices services = TestServices(dir.path() + QStringLiteral("/program/"));
    const QString storage = dir.path() + QStringLiteral("/Library");
    services.Settings.StorageDir = storage;
    WriteCatalog(storage, tracks);

    const long before = PeakMemoryKiB();
    TCatalog catalog;
    TFrameWindow frame(services);
    new TFormMain(&frame);
    QElapsedTimer clock;
    clock.start();
    new TFormViewCatalog(catalog, &frame);
    const qint64 loadMs = clock.elapsed();
    frame.show();
    SwitchPage(nullptr, Page<TFormMain>());
    QCoreApplication::processEvents();

    TPaintWatch watch(Page<TFormViewCatalog>()->TreeViewCatalog());
    clock.restart();
    SwitchPage(Page<TFormMain>(), Page<TFormViewCatalog>()); // posts the start message
    while (!watch.Drawn)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const qint64 showMs = clock.elapsed();

    const QString title = frame.windowTitle();
    qint64 nodes = 0;
    for (QTreeWidgetItemIterator it(Page<TFormViewCatalog>()->TreeViewCatalog()); *it; ++it)
        ++nodes;
    clock.restart();
    SwitchPage(Page<TFormViewCatalog>(), Page<TFormMain>()); // clears the tree
    const qint64 hideMs = clock.elapsed();

    std::printf("catalog view, %d tracks (%lld tree nodes):\n", tracks,
                static_cast<long long>(nodes));
    std::printf("  load at page creation      %6lld ms\n", static_cast<long long>(loadMs));
    std::printf("  start message to tree drawn %5lld ms (target 1500)\n",
                static_cast<long long>(showMs));
    std::printf("  hide (tree cleared)        %6lld ms\n", static_cast<long long>(hideMs));
    std::printf("  memory high-water mark     %6ld MB (target 400; %ld MB before the pages)\n",
                PeakMemoryKiB() / 1024, before / 1024);
    std::printf("  window title: %s\n", qPrintable(title));
    return 0;
}
