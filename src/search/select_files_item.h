#pragma once

#include "search/reading_order.h"
#include "search/track_data.h"

#include <memory>

// A node of the selection tree: a folder (no record) or a track, which owns the candidates its
// tags gave (MP3 and WMA; a WAV track has none). The hand-over to the description page reads
// them.
class TSelectFilesItem : public TReadingOrderItem {
public:
    static constexpr int Type = TStateTreeItem::Type + 1;

    TSelectFilesItem(const QString &text, int stateIndex, int nodeIndex,
                     std::unique_ptr<TSelectFilesData> record = nullptr)
        : TReadingOrderItem(text, stateIndex, nodeIndex, Type), m_record(std::move(record))
    {}

    TSelectFilesData *Record() const { return m_record.get(); }

    // The item as a node of the selection tree, or null when it is none.
    static TSelectFilesItem *From(QTreeWidgetItem *item)
    {
        return item && item->type() == Type ? static_cast<TSelectFilesItem *>(item) : nullptr;
    }

private:
    std::unique_ptr<TSelectFilesData> m_record;
};

// Whether a node of the selection tree is checked: its checked states are the odd ones (1, and
// 3 under the pointer).
inline bool Checked(const TStateTreeItem *node)
{
    return node->StateIndex() % 2 == 1;
}

// A checked track of the selection tree, as the hand-over to the description page takes it.
struct TCheckedTrack {
    QString Name;  // its file name, as the tree shows it
    int NodeIndex; // its node picture
    // The candidates its tags or the CD information gave, or null; it lives as long as the
    // selection tree's node.
    const TSelectFilesData *Record;
};

// A checked folder of the selection tree with its checked tracks.
struct TCheckedFolder {
    QString Path; // ending in "/"
    int NodeIndex;
    QList<TCheckedTrack> Tracks;
};

// The checked folders of the selection tree, each with its checked tracks, in tree order.
QList<TCheckedFolder> CheckedTracks(const TStateTree &selection);
