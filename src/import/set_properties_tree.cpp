// The description tree of TFormSetProperties: clicks, review states and the four boxes.

#include "import/set_properties_page.h"

#include "import/description_box.h"
#include "import/description_item.h"
#include "pages/play_messages.h"

#include <algorithm>

static bool AllTracksAre(const TDescriptionItem *group, int state)
{
    for (int i = 0; i < group->childCount(); ++i) {
        if (group->Track(i)->Data.SavedState != state)
            return false;
    }
    return true;
}

TDescriptionItem *TFormSetProperties::SelectedNode() const
{
    return TDescriptionItem::From(m_treeViewFiles->selectedItems().value(0));
}

void TFormSetProperties::TreeClicked(const TTreeHit &hit)
{
    TDescriptionItem *node = TDescriptionItem::From(hit.item);
    if (!node || Messages()->Presenting())
        return;
    if (hit.part == THitPart::NodePicture && !node->IsGroup())
        PlayTrack(this, node->FullPath());
    else if (hit.part == THitPart::Text)
        ClickText(node);
}

void TFormSetProperties::Select(TDescriptionItem *node)
{
    m_treeViewFiles->setCurrentItem(node, 0, QItemSelectionModel::ClearAndSelect);
}

void TFormSetProperties::ClickText(TDescriptionItem *node)
{
    Select(node);
    TDescriptionItem *group = node->Group();
    for (const TBoxField &field : std::as_const(m_fields))
        field.box->setEnabled(field.box != m_comboBoxName || !node->IsGroup());
    if (!node->IsGroup()) {
        if (node->Data.SavedState == ReviewNew) {
            node->SetState(ReviewSeen);
            if (AllTracksAre(group, ReviewSeen))
                group->SetState(ReviewSeen);
        }
    } else if (group->Data.SavedState == ReviewNew) {
        group->SetState(ReviewSeen);
        for (int i = 0; i < group->childCount(); ++i) {
            if (group->Track(i)->Data.SavedState != ReviewSetByHand)
                group->Track(i)->SetState(ReviewSeen);
        }
    } else if (group->Data.SavedState == ReviewSetByHand) {
        // Every track is set by hand: there is nothing left for the group to pass on.
        m_comboBoxAlbum->setEnabled(false);
        m_comboBoxComposer->setEnabled(false);
        m_comboBoxArtist->setEnabled(false);
    }
    LoadDescription(node);
}

void TFormSetProperties::LoadDescription(TDescriptionItem *node)
{
    Loading = true;
    for (const TBoxField &field : std::as_const(m_fields))
        field.box->Reset();
    // Album, composer and artist offer the group's candidates, followed by what the user
    // typed; the name box offers the track's own names.
    const TNodeData &group = node->Group()->Data;
    for (const TBoxField &field : std::as_const(m_fields)) {
        if (!field.box->isEnabled())
            continue;
        const bool name = field.box == m_comboBoxName;
        field.box->addItems((name ? node->Data : group).*field.candidates);
        field.box->OwnCount = field.box->count();
        if (!name)
            field.box->addItems(TypedValues);
        field.box->Fit();
        field.box->ChooseLook(node->Data.*field.value);
    }
    Loading = false;
}

void TFormSetProperties::BoxChanged(const TBoxField &field)
{
    TDescriptionItem *node = SelectedNode();
    if (Loading || !node || (node->IsGroup() && field.box == m_comboBoxName))
        return;
    const QString text = field.box->currentText();
    (node->Data.*field.set)(text);
    if (!node->IsGroup()) {
        MarkSetByHand(node);
        return;
    }
    for (int i = 0; i < node->childCount(); ++i) {
        TDescriptionItem *track = node->Track(i);
        if (track->Data.SavedState != ReviewSetByHand)
            (track->Data.*field.set)(text);
    }
}

void TFormSetProperties::MarkSetByHand(TDescriptionItem *track)
{
    if (track->Data.SavedState == ReviewSetByHand)
        return;
    track->SetState(ReviewSetByHand);
    TDescriptionItem *group = track->Group();
    if (AllTracksAre(group, ReviewSetByHand))
        group->SetState(ReviewSetByHand);
}

void TFormSetProperties::RememberTyped(const TDescriptionBox *box)
{
    // A text that is only passed by (an album shown as "Unknown") was not typed.
    if (!box->Edited())
        return;
    const QString text = box->currentText();
    const int found = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (text.isEmpty() || (found >= 0 && found < box->OwnCount) || TypedValues.contains(text))
        return;
    const auto place = std::lower_bound(
        TypedValues.begin(), TypedValues.end(), text,
        [](const QString &a, const QString &b) { return a.localeAwareCompare(b) < 0; });
    TypedValues.insert(place, text);
}

// Expanding or collapsing a group leaves the boxes showing a node that the user may no longer
// look at: they take no edits, and say so by being disabled, until a node's text is clicked.
void TFormSetProperties::ExpandedOrCollapsed()
{
    Loading = true;
    for (const TBoxField &field : std::as_const(m_fields))
        field.box->setEnabled(false);
}
