#include "import/hand_over.h"

#include "catalog/catalog_record.h"
#include "import/description_item.h"
#include "import/folder_names.h"
#include "import/set_properties_page.h"
#include "import/storage_names.h"
#include "platform/volumes.h"
#include "search/select_files_item.h"

#include <memory>

static bool Checked(const TStateTreeItem *node)
{
    return node->StateIndex() % 2 == 1;
}

static TDescriptionItem *NewTrack(TStateTreeItem *source, TNodeData &group)
{
    auto *track = new TDescriptionItem(source->text(0), source->NodeIndex(), false);
    TNodeData &data = track->Data;
    const TSelectFilesItem *scanned = TSelectFilesItem::From(source);
    if (const TSelectFilesData *record = scanned ? scanned->Record() : nullptr) {
        MergeCandidates(group.Albums, record->Albums);
        MergeCandidates(group.Composers, record->Composers);
        MergeCandidates(group.Artists, record->Artists);
        MergeCandidates(data.Albums, record->Albums);
        MergeCandidates(data.Composers, record->Composers);
        MergeCandidates(data.Artists, record->Artists);
        MergeCandidates(data.Names, record->Names);
    }
    // A title from the tags or the CD information stays first; a track without one is named
    // after its file.
    const QString name = WithoutExtension(source->text(0));
    if (!data.Names.contains(name))
        data.Names.append(name);
    data.ResolveChoices();
    return track;
}

// A path the catalog cannot hold whole: longer than its file name field, or with a line break
// that would end the record's line.
static bool Uncataloguable(const QString &path)
{
    return path.size() > FileNameUnits || path.contains(QLatin1Char('\n'))
        || path.contains(QLatin1Char('\r'));
}

static std::unique_ptr<TDescriptionItem> NewGroup(const TStateTreeItem *folder,
                                                  const TVolumeList &volumes, int &leftOut)
{
    auto group = std::make_unique<TDescriptionItem>(folder->text(0), folder->NodeIndex(), true);
    TNodeData &data = group->Data;
    for (int i = 0; i < folder->childCount(); ++i) {
        TStateTreeItem *source = folder->ChildItem(i);
        if (!Checked(source))
            continue;
        if (Uncataloguable(folder->text(0) + source->text(0)))
            ++leftOut;
        else
            group->addChild(NewTrack(source, data));
    }
    const QStringList names = FolderNameCandidates(folder->text(0), volumes);
    MergeCandidates(data.Albums, names);
    MergeCandidates(data.Composers, names);
    MergeCandidates(data.Artists, names);
    data.ResolveChoices();
    if (const TVolume *volume = volumes.VolumeOf(folder->text(0)))
        group->VolumeRoot = volume->Root;
    return group;
}

int FillDescriptionTree(const TStateTree &selection, TStateTree &description,
                        const TVolumeList &volumes)
{
    int leftOut = 0;
    description.clear();
    description.SetNodePictures(selection.NodePictures());
    // Each group is built whole before it joins the tree, so that the tree takes it in one
    // step and an error leaves no half-built group behind.
    for (int i = 0; i < selection.topLevelItemCount(); ++i) {
        const TStateTreeItem *folder = selection.TopItem(i);
        if (Checked(folder))
            description.addTopLevelItem(NewGroup(folder, volumes, leftOut).release());
    }
    return leftOut;
}

void HandOverToDescription(TFormBase *selectionPage, const TStateTree &selection,
                           bool fromRemovable)
{
    TFormSetProperties *page = Page<TFormSetProperties>();
    if (!page)
        return;
    const int leftOut = FillDescriptionTree(selection, *page->TreeViewFiles, CurrentVolumes());
    page->FromRemovable = fromRemovable;
    SwitchPage(selectionPage, page);
    if (leftOut > 0)
        page->TellLeftOut(leftOut);
}
