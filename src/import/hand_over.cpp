#include "import/hand_over.h"

#include "catalog/catalog_record.h"
#include "import/description_item.h"
#include "import/folder_names.h"
#include "import/set_properties_page.h"
#include "import/storage_names.h"
#include "pages/services.h"
#include "platform/volumes.h"
#include "search/select_files_item.h"

#include <memory>

static TDescriptionItem *NewTrack(const TCheckedTrack &source, TNodeData &group,
                                  const QString &unknownText)
{
    auto *track = new TDescriptionItem(source.Name, source.NodeIndex, false);
    TNodeData &data = track->Data;
    if (const TSelectFilesData *record = source.Record) {
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
    const QString name = WithoutExtension(source.Name);
    if (!data.Names.contains(name))
        data.Names.append(name);
    data.ResolveChoices(unknownText);
    return track;
}

// A path the catalog cannot hold whole: longer than its file name field, or with a line break
// that would end the record's line.
static bool Uncataloguable(const QString &path)
{
    return path.size() > FileNameUnits || path.contains(QLatin1Char('\n'))
        || path.contains(QLatin1Char('\r'));
}

static std::unique_ptr<TDescriptionItem> NewGroup(const TCheckedFolder &folder,
                                                  const TVolumeList &volumes,
                                                  const QString &unknownText, int &leftOut)
{
    auto group = std::make_unique<TDescriptionItem>(folder.Path, folder.NodeIndex, true);
    TNodeData &data = group->Data;
    for (const TCheckedTrack &track : folder.Tracks) {
        if (Uncataloguable(folder.Path + track.Name))
            ++leftOut;
        else
            group->addChild(NewTrack(track, data, unknownText));
    }
    const QStringList names = FolderNameCandidates(folder.Path, volumes);
    MergeCandidates(data.Albums, names);
    MergeCandidates(data.Composers, names);
    MergeCandidates(data.Artists, names);
    data.ResolveChoices(unknownText);
    if (const TVolume *volume = volumes.VolumeOf(folder.Path))
        group->VolumeRoot = volume->Root;
    return group;
}

int FillDescriptionTree(const TStateTree &selection, TStateTree &description,
                        const TVolumeList &volumes, const QString &unknownText)
{
    int leftOut = 0;
    description.clear();
    description.SetNodePictures(selection.NodePictures());
    // Each group is built whole before it joins the tree, so that the tree takes it in one
    // step and an error leaves no half-built group behind.
    for (const TCheckedFolder &folder : CheckedTracks(selection))
        description.addTopLevelItem(NewGroup(folder, volumes, unknownText, leftOut).release());
    return leftOut;
}

void HandOverToDescription(TFormBase *selectionPage, const TStateTree &selection,
                           bool fromRemovable)
{
    TFormSetProperties *page = Page<TFormSetProperties>();
    if (!page)
        return;
    const int leftOut =
        FillDescriptionTree(selection, *page->TreeViewFiles(), page->Services().CurrentVolumes(),
                            page->Services().UnknownText);
    page->FromRemovable = fromRemovable;
    SwitchPage(selectionPage, page);
    if (leftOut > 0)
        page->TellLeftOut(leftOut);
}
