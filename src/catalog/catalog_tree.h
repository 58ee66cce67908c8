#pragma once

#include "pages/state_tree.h"

#include <QObject>
#include <functional>

class TBaseStringList;
class TFormBase;

// The catalog tree of the catalog view and create playlist pages: two roots (by composer and
// by artist), composer or artist nodes, album nodes and track nodes. Every track record gives
// two track nodes, one in each branch (twins).

// Node pictures.
enum TCatalogPicture {
    PictureTrack = 0,
    PictureTrackMissing = 1,
    PictureTrackHot = 2,
    PictureTrackMissingHot = 3,
    PictureGroup = 4, // the two roots, composer and artist nodes
    PictureAlbum = 5,
};

// Check states; every rule takes them modulo 3, so the pointer variants (+3) decide nothing.
enum TCheckState {
    CheckChecked = 1,
    CheckUnchecked = 2,
    CheckUnavailable = 3, // a missing track, or a group holding one: never toggled
    CheckHotOffset = 3,
};

class TCatalogTreeItem : public TStateTreeItem {
public:
    static constexpr int Type = TStateTreeItem::Type + 1;
    TCatalogTreeItem(const QString &text, int stateIndex, int nodeIndex)
        : TStateTreeItem(text, stateIndex, nodeIndex, Type)
    {}

    int RecordIndex = -1;             // the record a track node stands for
    TCatalogTreeItem *Twin = nullptr; // the same track in the other branch

    // The check state without its pointer variant: 1 checked, 2 unchecked, 0 unavailable
    // (and 0 for the roots, which have no check box).
    int Check() const { return StateIndex() % 3; }
};

TCatalogTreeItem *CatalogItem(QTreeWidgetItem *item);

// Sets up the tree's pictures for the catalog trees.
void SetupCatalogTree(TStateTree *tree);

// Rebuilds the tree from the catalog, every available node checked or unchecked; a track whose
// file is missing, and every group above it, is unavailable. Returns the total of FileSize
// over the track records.
qint64 FillCatalogTree(TStateTree *tree, const TBaseStringList &catalog, bool checked,
                       const QString &composerRootText, const QString &artistRootText);

// The check-state rules.
void UpdateAncestors(TStateTreeItem *node);
void ToggleNode(TCatalogTreeItem *node);

// Calls visit for every track node of the tree, both branches, in tree order.
void ForEachTrackNode(TStateTree *tree, const std::function<void(TCatalogTreeItem *)> &visit);

// The click rules of a catalog tree on its page: playing a track from its picture, and
// toggling on the check box or the text (for a group only after the double-click time, as the
// tree settles its clicks, so that a double click expands it without toggling it).
class TCatalogTreeHandler : public QObject {
    Q_OBJECT
public:
    // fileName gives a record's FileName; playMissing also plays tracks whose file is missing.
    TCatalogTreeHandler(TStateTree *tree, TFormBase *page,
                        std::function<QString(int recordIndex)> fileName, bool playMissing);

private:
    void Clicked(const TTreeHit &hit);

    TFormBase *m_page;
    std::function<QString(int)> m_fileName;
    bool m_playMissing;
};
