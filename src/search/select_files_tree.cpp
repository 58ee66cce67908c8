// The selection tree of TFormSelectFiles: check rules, clicks, pointer highlights and the hint.

#include "search/select_files_page.h"

#include "playlists/player.h"
#include "search/track_data.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QTimer>

static bool Checked(const TStateTreeItem *node)
{
    return node->StateIndex() % 2 == 1;
}

// A highlighted state is the normal one plus 2, a highlighted track picture the normal one
// plus 1.
static void RestoreState(TStateTreeItem *node)
{
    if (node->StateIndex() >= 3)
        node->SetStateIndex(node->StateIndex() - 2);
}

static void RestoreImage(TStateTreeItem *node)
{
    if (node->NodeIndex() >= 1)
        node->SetNodeIndex(node->NodeIndex() - 1);
}

static bool IsTrack(const QTreeWidgetItem *node)
{
    return node->parent() != nullptr;
}

void TFormSelectFiles::DeselectAll()
{
    for (int i = 0; i < TreeViewFiles->topLevelItemCount(); ++i) {
        TStateTreeItem *folder = TreeViewFiles->TopItem(i);
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
        if (IsTrack(node) && PlayFile(node->parent()->text(0) + node->text(0)) == -1)
            ShowPageMessage(PlayerMessages().NotInstalled, PlayerMessages().Install);
        return;
    }
    if (hit != THitPart::StatePicture && hit != THitPart::Text)
        return;
    // 1 and 2 swap, and so do 3 and 4, so that a highlight stays.
    const int state = node->StateIndex();
    node->SetStateIndex(state % 2 == 1 ? state + 1 : state - 1);
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

void TFormSelectFiles::HotTrack(const TTreeHit &hit)
{
    TStateTreeItem *node = TStateTree::Item(hit.item);
    if (!node)
        return;
    TStateTreeItem *hot = TreeViewFiles->HotItem();
    if (hit.part == THitPart::NodePicture) {
        if (IsTrack(node) && node->NodeIndex() == ImageTrack)
            node->SetNodeIndex(ImageTrackHot);
        if (hot) {
            RestoreState(hot);
            if (IsTrack(hot) && hot != node)
                RestoreImage(hot);
        }
        TreeViewFiles->SetHotItem(node);
    } else if (hit.part == THitPart::StatePicture) {
        if (node->StateIndex() <= 2)
            node->SetStateIndex(node->StateIndex() + 2);
        if (hot) {
            if (IsTrack(hot))
                RestoreImage(hot);
            if (hot != node)
                RestoreState(hot);
        }
        TreeViewFiles->SetHotItem(node);
    } else if (hot) {
        RestoreState(hot);
        if (IsTrack(hot))
            RestoreImage(hot);
        TreeViewFiles->SetHotItem(nullptr);
    }
}

void TFormSelectFiles::ShowHoverHint(const TTreeHit &hit)
{
    const TSelectFilesItem *node = Node(hit.item);
    const TSelectFilesData *record = node ? node->Record() : nullptr;
    if (hit.part == THitPart::Text && record && !record->LastName().isEmpty())
        LabelAboveTreeView->setText(m_nameCaption + QStringLiteral(": ") + record->LastName());
    else
        LabelAboveTreeView->setText(m_normalAboveText);
}

// The pointer leaving the tree is the first move over the rest of the page.
bool TFormSelectFiles::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == TreeViewFiles->viewport() && event->type() == QEvent::Leave)
        LabelAboveTreeView->setText(m_normalAboveText);
    return TFormBase::eventFilter(watched, event);
}

void TFormSelectFiles::TreeClicked(const TTreeHit &hit)
{
    // A folder click still waiting for a double click stands on its own once another click
    // comes; left pending, its toggle would fall on the node of the later click (a track
    // toggled twice, or played twice).
    if (Timer2->isActive())
        Timer2Timer();
    if (!hit.item)
        return;
    m_clickedNode = hit.item;
    m_clickedHit = hit.part;
    if (IsTrack(hit.item)) {
        ToggleCheck(m_clickedNode, m_clickedHit);
        return;
    }
    // A folder waits for a possible second click, which expands it instead.
    Timer2->setInterval(QApplication::doubleClickInterval());
    Timer2->start();
}

void TFormSelectFiles::TreeDoubleClicked()
{
    if (!MessageShown())
        Timer2->stop();
}

void TFormSelectFiles::Timer2Timer()
{
    Timer2->stop();
    if (!MessageShown())
        ToggleCheck(m_clickedNode, m_clickedHit);
}

void TFormSelectFiles::ForgetClickedNode(const QTreeWidgetItem *removed)
{
    if (!m_clickedNode)
        return;
    if (removed && m_clickedNode != removed && m_clickedNode->parent() != removed)
        return;
    m_clickedNode = nullptr;
    Timer2->stop();
}
