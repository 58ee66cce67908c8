#pragma once

// A temporary world for the catalog and playlist pages: data, program and storage folders,
// the catalog, the frame with the main menu and the four pages in their order of creation,
// and a file opener that records what it was asked to start.

#include "app/main_page.h"
#include "base/locations.h"
#include "catalog/catalog.h"
#include "catalog/catalog_record.h"
#include "catalog/catalog_tree.h"
#include "catalog/view_catalog_page.h"
#include "pages/frame_window.h"
#include "playlists/create_playlist_page.h"
#include "playlists/play_list_page.h"
#include "playlists/view_play_list_page.h"
#include "test_services.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

class TPagesWorld {
public:
    // texts: the content of "Quavermill.ini", none when empty.
    explicit TPagesWorld(const QByteArray &texts = {})
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.path() + QStringLiteral("/data")));
        QDir().mkpath(m_dir.path() + QStringLiteral("/program"));
        Services.ProgramFolder = m_dir.path() + QStringLiteral("/program/");
        if (!texts.isEmpty()) {
            QFile file(Services.ProgramFolder + QLatin1String(TextFileName));
            if (file.open(QIODevice::WriteOnly))
                file.write(texts);
        }
        Storage = m_dir.path() + QStringLiteral("/Library");
        QDir().mkpath(Storage);
        Services.Settings.StorageDir = Storage;
        Services.Settings.Player = QStringLiteral("player");
        Frame = std::make_unique<TFrameWindow>(Services);
        new TFormMain(Frame.get());
        new TFormPlayList(Frame.get());
        new TFormViewCatalog(Catalog, Frame.get());
        new TFormViewPlayList(Frame.get());
        new TFormCreatePlaylist(Catalog, Frame.get());
        Frame->show();
        SwitchPage(nullptr, TPageId::Main);
    }

    ~TPagesWorld() { Frame.reset(); }

    QString Root() const { return m_dir.path(); }

    // Creates a file of size bytes at path (relative to the world) and returns its full path.
    QString MakeFile(const QString &relative, int size = 10) const
    {
        const QString path = m_dir.path() + QLatin1Char('/') + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(QByteArray(size, 'x'));
        return path;
    }

    static QString Record(const QString &composer, const QString &artist, const QString &album,
                          const QString &fileName, const QString &name, qint64 size = 0)
    {
        return BuildRecord(QStringLiteral("DAT"), composer, artist, album, QStringLiteral("0"),
                           fileName, name, QString::number(size));
    }

    // Shows the catalog view page with these records merged into the catalog, tree filled.
    void ShowCatalog(const QStringList &records)
    {
        Catalog.PendingRecords = records;
        SwitchPage(Page<TFormMain>(), TPageId::ViewCatalog);
        QTRY_VERIFY(Page<TFormViewCatalog>()->TreeViewCatalog()->topLevelItemCount() == 2);
    }

    // The node at a path of texts from a root, e.g. {"Composer", "Bach", "Album (Artist: X)"}.
    static TCatalogTreeItem *Node(TStateTree *tree, const QStringList &texts)
    {
        QTreeWidgetItem *node = nullptr;
        for (const QString &text : texts) {
            QTreeWidgetItem *next = nullptr;
            const int count = node ? node->childCount() : tree->topLevelItemCount();
            for (int i = 0; i < count && !next; ++i) {
                QTreeWidgetItem *child = node ? node->child(i) : tree->topLevelItem(i);
                if (child->text(0) == text)
                    next = child;
            }
            if (!next)
                return nullptr;
            node = next;
        }
        return CatalogItem(node);
    }

    // A left click on a point of a tree's viewport (press and release).
    static void Click(TStateTree *tree, const QPoint &pos)
    {
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, pos, tree->viewport()->mapToGlobal(pos), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                              Qt::NoModifier);
            QApplication::sendEvent(tree->viewport(), &event);
        }
    }

    static void Move(TStateTree *tree, const QPoint &pos)
    {
        QMouseEvent event(QEvent::MouseMove, pos, tree->viewport()->mapToGlobal(pos), Qt::NoButton,
                          Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(tree->viewport(), &event);
    }

    static bool ShowsMessage(TFormBase *page, const QString &line1)
    {
        return page->Messages()->Presenting() && page->Messages()->Label1()->text() == line1;
    }

    QString Storage;
    TServices Services = TestServices(QString());
    TRecordingOpener *const Opener = &RecordedOpener(Services);
    TCatalog Catalog; // outlives the pages, which the destructor deletes first
    std::unique_ptr<TFrameWindow> Frame;

private:
    QTemporaryDir m_dir;
};
