// The selection tree of TFormSelectFiles: check rules, clicks and the hint.

#include "search/select_files_page.h"

#include "pages/play_messages.h"
#include "search/select_files_item.h"
#include "search/track_data.h"

#include <QEvent>
#include <QLabel>

static bool IsTrack(const QTreeWidgetItem *node)
{
    return node->parent() != nullptr;
}

QList<TCheckedFolder> CheckedTracks(const TStateTree &selection)
{
    QList<TCheckedFolder> folders;
    for (int i = 0; i < selection.topLevelItemCount(); ++i) {
        const TStateTreeItem *folder = selection.TopItem(i);
        if (!Checked(folder))
            continue;
        TCheckedFolder checked{folder->text(0), folder->NodeIndex(), {}};
        for (int j = 0; j < folder->childCount(); ++j) {
            TStateTreeItem *track = folder->ChildItem(j);
            if (!Checked(track))
                continue;
            const TSelectFilesItem *scanned = TSelectFilesItem::From(track);
            checked.Tracks.append(
                {track->text(0), track->NodeIndex(), scanned ? scanned->Record() : nullptr});
        }
        folders.append(checked);
    }
    return folders;
}

void TFormSelectFiles::DeselectAll()
{
    for (int i = 0; i < m_treeViewFiles->topLevelItemCount(); ++i) {
        TStateTreeItem *folder = m_treeViewFiles->TopItem(i);
        folder->SetStateIndex(StateUnchecked);
        for (int j = 0; j < folder->childCount(); ++j)
            folder->ChildItem(j)->SetStateIndex(StateUnchecked);
    }
    if (Scanning)
        DeselectPending = true;
}

void TFormSelectFiles::ToggleCheck(QTreeWidgetItem *item, THitPart hit)
{
    TStateTreeItem *node = TStateTree::Item(item);
    if (!node)
        return;
    if (hit == THitPart::NodePicture) {
        if (IsTrack(node))
            PlayTrack(this, node->parent()->text(0) + node->text(0));
        return;
    }
    if (hit != THitPart::StatePicture && hit != THitPart::Text)
        return;
    // 1 and 2 swap, and so do 3 and 4, so that a highlight stays.
    const int state = node->StateIndex();
    node->SetStateIndex(Checked(node) ? state + 1 : state - 1);
    if (IsTrack(node)) {
        TStateTreeItem *folder = node->ParentItem();
        bool any = Checked(node);
        for (int i = 0; i < folder->childCount() && !any; ++i)
            any = Checked(folder->ChildItem(i));
        if (Checked(node))
            folder->SetStateIndex(StateChecked);
        else if (!any)
            folder->SetStateIndex(StateUnchecked);
    } else {
        const int trackState = Checked(node) ? StateChecked : StateUnchecked;
        for (int i = 0; i < node->childCount(); ++i)
            node->ChildItem(i)->SetStateIndex(trackState);
    }
}

void TFormSelectFiles::ShowHoverHint(const TTreeHit &hit)
{
    const TSelectFilesItem *node = Node(hit.item);
    const TSelectFilesData *record = node ? node->Record() : nullptr;
    if (hit.part == THitPart::Text && record && !record->LastName().isEmpty())
        m_labelAboveTreeView->setText(m_nameCaption + QStringLiteral(": ") + record->LastName());
    else
        m_labelAboveTreeView->setText(m_normalAboveText);
}

// The pointer leaving the tree is the first move over the rest of the page.
bool TFormSelectFiles::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_treeViewFiles->viewport() && event->type() == QEvent::Leave)
        m_labelAboveTreeView->setText(m_normalAboveText);
    return TFormBase::eventFilter(watched, event);
}

// The tree settles the clicks: a folder's comes after the double-click time, unless a double
// click expands or collapses it instead, and may find a message presented by then.
void TFormSelectFiles::TreeClicked(const TTreeHit &hit)
{
    if (hit.item && !MessageShown())
        ToggleCheck(hit.item, hit.part);
}
