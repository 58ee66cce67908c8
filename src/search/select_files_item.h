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
