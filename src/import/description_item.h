#pragma once

#include "import/node_data.h"
#include "pages/state_tree.h"

// The review states of the description tree, shown as its state pictures.
enum TReviewState : int {
    ReviewSetByHand = 1, // the user changed a box while the track was selected
    ReviewNew = 2,       // not looked at yet
    ReviewSeen = 3,      // the user clicked it
    ReviewGone = 4,      // its medium is not there: a picture only, never saved
};

// A node of the description tree: a group (a folder, its text ending in "/") or a track (its
// file name), with the values chosen for it. The record lives and dies with its node.
class TDescriptionItem : public TStateTreeItem {
public:
    static constexpr int Type = TStateTreeItem::Type + 2;

    TDescriptionItem(const QString &text, int nodeIndex, bool isGroup);

    TNodeData Data;
    // A group's volume root when the tree was filled: the medium the group's folder is on.
    QString VolumeRoot;

    bool IsGroup() const { return Data.IsGroup; }
    // The group itself, or a track's group.
    TDescriptionItem *Group();
    TDescriptionItem *Track(int index) const;
    // A track's full path: its group's folder followed by its file name.
    QString FullPath() const;

    // The saved state becomes the value; so does the picture, unless it shows the medium gone.
    void SetState(int value);

    // The item as a node of the description tree, or null when it is none.
    static TDescriptionItem *From(QTreeWidgetItem *item);
};
