#include "catalog/catalog_tree.h"

#include "catalog/base_string_list.h"
#include "pages/page_form.h"
#include "pages/play_messages.h"

#include <QCollator>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

TCatalogTreeItem *CatalogItem(QTreeWidgetItem *item)
{
    return item && item->type() == TCatalogTreeItem::Type ? static_cast<TCatalogTreeItem *>(item)
                                                          : nullptr;
}

void SetupCatalogTree(TStateTree *tree)
{
    tree->SetNodePictures(TreePictures(
        {"track", "track_missing", "track_hot", "track_missing_hot", "person", "album"}));
    tree->SetStatePictures(
        TreePictures({nullptr, "check_on", "check_off", "check_unavailable", "check_on_hot",
                      "check_off_hot", "check_unavailable_hot"}));
    tree->SetPointerVariants(PictureTrackHot - PictureTrack, CheckHotOffset);
}

namespace {

bool SameText(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

void SetCheck(TStateTreeItem *node, int check)
{
    node->SetStateIndex(node->StateIndex() > CheckHotOffset ? check + CheckHotOffset : check);
}

// Sorts the direct children of a root that is not yet in a tree; deeper levels keep their order
// and equal texts keep catalog order.
void SortChildren(QTreeWidgetItem *root)
{
    QList<QTreeWidgetItem *> children = root->takeChildren();
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseSensitive);
    std::stable_sort(children.begin(), children.end(),
                     [&collator](const QTreeWidgetItem *a, const QTreeWidgetItem *b) {
                         return collator.compare(a->text(0), b->text(0)) < 0;
                     });
    root->addChildren(children);
}

// A group's check state from its children (an unavailable group stays so).
void UpdateGroup(TStateTreeItem *group)
{
    if (group->StateIndex() % 3 == 0)
        return;
    bool anyChecked = false;
    for (int i = 0; i < group->childCount() && !anyChecked; ++i)
        anyChecked = group->ChildItem(i)->StateIndex() % 3 == CheckChecked;
    SetCheck(group, anyChecked ? CheckChecked : CheckUnchecked);
}

void UpdateFrom(TStateTreeItem *group)
{
    // The roots have no check box.
    for (; group && group->parent(); group = group->ParentItem())
        UpdateGroup(group);
}

} // namespace

void UpdateAncestors(TStateTreeItem *node)
{
    UpdateFrom(node->ParentItem());
}

qint64 FillCatalogTree(TStateTree *tree, const TBaseStringList &catalog, bool checked,
                       const QString &composerRootText, const QString &artistRootText)
{
    tree->clear();
    const int state = checked ? CheckChecked : CheckUnchecked;
    auto *composerRoot = new TCatalogTreeItem(composerRootText, 0, PictureGroup);
    auto *artistRoot = new TCatalogTreeItem(artistRootText, 0, PictureGroup);
    TCatalogTreeItem *composerNode = nullptr;
    TCatalogTreeItem *artistNode = nullptr;
    TCatalogTreeItem *composerAlbum = nullptr;
    TCatalogTreeItem *artistAlbum = nullptr;
    TCatalogRecord previous;
    bool first = true;
    qint64 total = 0;
    const auto add = [](TCatalogTreeItem *parent, const QString &text, int nodeState, int picture) {
        auto *node = new TCatalogTreeItem(text, nodeState, picture);
        parent->addChild(node);
        return node;
    };
    for (int i = 0; i < catalog.Count(); ++i) {
        TCatalogRecord record = catalog.Record(i);
        if (!record.IsTrack())
            continue;
        bool isNumber = false;
        const int size = record.FileSize.toInt(&isNumber);
        if (isNumber)
            total += size;
        const bool newComposer = first || !SameText(record.Composer, previous.Composer);
        const bool newArtist = first || !SameText(record.Artist, previous.Artist);
        if (newComposer)
            composerNode = add(composerRoot, record.Composer, state, PictureGroup);
        if (newArtist)
            artistNode = add(artistRoot, record.Artist, state, PictureGroup);
        if (newComposer || newArtist || !SameText(record.Album, previous.Album)) {
            composerAlbum = add(composerNode,
                                record.Album + QStringLiteral(" (") + artistRootText
                                    + QStringLiteral(": ") + record.Artist + QLatin1Char(')'),
                                state, PictureAlbum);
            artistAlbum = add(artistNode,
                              record.Album + QStringLiteral(" (") + composerRootText
                                  + QStringLiteral(": ") + record.Composer + QLatin1Char(')'),
                              state, PictureAlbum);
        }
        // While the tree fills, every group is either unavailable or in the state of all its
        // children, so only a missing file changes the groups above it.
        const bool exists = QFileInfo(record.FileName).isFile();
        TCatalogTreeItem *twins[2];
        TCatalogTreeItem *albums[2] = {composerAlbum, artistAlbum};
        for (int t = 0; t < 2; ++t) {
            twins[t] = add(albums[t], record.Name, exists ? state : int(CheckUnavailable),
                           exists ? PictureTrack : PictureTrackMissing);
            twins[t]->RecordIndex = i;
            if (!exists) {
                for (TStateTreeItem *group = albums[t]; group->parent();
                     group = group->ParentItem()) {
                    if (group->StateIndex() == CheckChecked
                        || group->StateIndex() == CheckUnchecked)
                        group->SetStateIndex(CheckUnavailable);
                }
            }
        }
        twins[0]->Twin = twins[1];
        twins[1]->Twin = twins[0];
        previous = std::move(record);
        first = false;
    }
    SortChildren(composerRoot);
    SortChildren(artistRoot);
    tree->setUpdatesEnabled(false);
    tree->addTopLevelItems({composerRoot, artistRoot});
    composerRoot->setExpanded(true);
    artistRoot->setExpanded(true);
    tree->setUpdatesEnabled(true);
    tree->scrollToTop();
    return total;
}

void ToggleNode(TCatalogTreeItem *node)
{
    if (!node || !node->parent() || node->Check() == 0)
        return;
    const int from = node->Check();
    const int to = from == CheckChecked ? CheckUnchecked : CheckChecked;
    // The twins' groups are brought up to date once each, after their tracks have changed.
    QList<TStateTreeItem *> twinGroups;
    QSet<TStateTreeItem *> seen;
    QList<TCatalogTreeItem *> stack{node};
    while (!stack.isEmpty()) {
        TCatalogTreeItem *item = stack.takeLast();
        if (item->Check() == from) {
            SetCheck(item, to);
            if (TCatalogTreeItem *twin = item->Twin) {
                SetCheck(twin, to);
                TStateTreeItem *group = twin->ParentItem();
                if (!seen.contains(group)) {
                    seen.insert(group);
                    twinGroups.append(group);
                }
            }
        }
        for (int i = item->childCount() - 1; i >= 0; --i)
            stack.append(CatalogItem(item->child(i)));
    }
    for (TStateTreeItem *group : std::as_const(twinGroups))
        UpdateFrom(group);
    UpdateAncestors(node);
}

void ForEachTrackNode(TStateTree *tree, const std::function<void(TCatalogTreeItem *)> &visit)
{
    for (int r = 0; r < tree->topLevelItemCount(); ++r) {
        QTreeWidgetItem *root = tree->topLevelItem(r);
        for (int p = 0; p < root->childCount(); ++p) {
            QTreeWidgetItem *person = root->child(p);
            for (int a = 0; a < person->childCount(); ++a) {
                QTreeWidgetItem *album = person->child(a);
                for (int t = 0; t < album->childCount(); ++t) {
                    if (TCatalogTreeItem *track = CatalogItem(album->child(t));
                        track && track->RecordIndex >= 0)
                        visit(track);
                }
            }
        }
    }
}

TCatalogTreeHandler::TCatalogTreeHandler(TStateTree *tree, TFormBase *page,
                                         std::function<QString(int)> fileName, bool playMissing)
    : QObject(page), m_page(page), m_fileName(std::move(fileName)), m_playMissing(playMissing)
{
    connect(tree, &TStateTree::ClickSettled, this,
            [this](const TTreeHit &hit) { RunReporting([&] { Clicked(hit); }); });
}

// A group's click comes after the double-click time and may find a message presented by then.
void TCatalogTreeHandler::Clicked(const TTreeHit &hit)
{
    TCatalogTreeItem *node = CatalogItem(hit.item);
    if (!node || m_page->Messages()->Presenting())
        return;
    const bool fileExists = node->NodeIndex() % 2 == 0;
    if (hit.part == THitPart::NodePicture && node->childCount() == 0 && node->RecordIndex >= 0
        && (fileExists || m_playMissing)) {
        PlayTrack(m_page, m_fileName(node->RecordIndex));
        return;
    }
    if (hit.part == THitPart::StatePicture || hit.part == THitPart::Text)
        ToggleNode(node);
}
