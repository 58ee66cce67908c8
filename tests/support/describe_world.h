#pragma once

// A world for the description page: the pages of a search, the description page and the
// catalog view, connected as the program connects them, over a volume table.
// Selection trees are built by hand (AddFolder), as a scan would leave them.

#include "app/create_pages.h"
#include "catalog/catalog.h"
#include "catalog/view_catalog_page.h"
#include "import/description_item.h"
#include "import/set_properties_page.h"
#include "scan_world.h"
#include "search/track_data.h"

#include <QTimer>

#include <memory>

// A track of a selection tree: its file name and what its tags say. hasRecord false stands for
// a WAV track, which carries no record.
struct TSelectedTrack {
    TSelectedTrack(const QString &file_, const QString &name_ = {}, const QString &album_ = {},
                   const QString &composer_ = {}, const QString &artist_ = {})
        : file(file_), name(name_), album(album_), composer(composer_), artist(artist_)
    {}

    QString file;
    QString name, album, composer, artist;
    bool checked = true;
    bool hasRecord = true;
};

class TDescribeWorld : public TScanWorld {
public:
    // texts: the content of "Quavermill.ini", none when empty.
    explicit TDescribeWorld(const QByteArray &texts = {})
    {
        if (!texts.isEmpty())
            Write(QStringLiteral("program/Quavermill.ini"), texts);
        Frame = CreatePages();
        new TFormSetProperties(Catalog, Frame);
        new TFormViewCatalog(Catalog, Frame);
        ConnectPages();
    }
    ~TDescribeWorld() { delete Frame; }

    static TFormSelectFiles *Selection() { return Page<TFormSelectFiles>(); }
    static TFormSetProperties *Description() { return Page<TFormSetProperties>(); }

    // Adds a folder (relative to Root) with its tracks to the selection page's tree, checked or
    // not, with the tree's first folder picture.
    TSelectFilesItem *AddFolder(const QString &folder, const QList<TSelectedTrack> &tracks,
                                bool checked = true) const
    {
        TStateTree *tree = Selection()->TreeViewFiles();
        if (tree->NodePictures().size() <= TFormSelectFiles::FirstFolderImage)
            tree->AddNodePicture(TreePictures({"folder"}).constFirst());
        auto *node = new TSelectFilesItem(Root + folder, checked ? 1 : 2,
                                          TFormSelectFiles::FirstFolderImage);
        for (const TSelectedTrack &track : tracks) {
            std::unique_ptr<TSelectFilesData> record;
            if (track.hasRecord) {
                record = std::make_unique<TSelectFilesData>();
                record->AddName(track.name);
                record->AddAlbum(track.album);
                record->AddComposer(track.composer);
                record->AddArtist(track.artist);
            }
            node->addChild(
                new TSelectFilesItem(track.file, track.checked ? 1 : 2, 0, std::move(record)));
        }
        tree->addTopLevelItem(node);
        return node;
    }

    // "Set tracks description" on the selection page, as its Enter key runs it.
    static void HandOver(bool fromRemovable = false)
    {
        Selection()->FromRemovable = fromRemovable;
        Selection()->SetTracksDescription();
    }

    static TDescriptionItem *Node(int group, int track = -1)
    {
        QTreeWidgetItem *node = Description()->TreeViewFiles()->topLevelItem(group);
        return TDescriptionItem::From(track < 0 ? node : node->child(track));
    }

    TCatalog Catalog; // outlives the pages, which the destructor deletes first
    TFrameWindow *Frame = nullptr;
};
