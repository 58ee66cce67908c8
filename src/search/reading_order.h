#pragma once

#include "pages/state_tree.h"

#include <QCollatorSortKey>

#include <optional>

// A node of the search trees (the selection tree and the folder chooser), which sort their
// nodes by text as a person reads them: without regard to case, accented letters beside their
// plain letters and digits by their number ("Track 2" before "Track 10"), through the
// desktop's collation. Texts that collate alike fall back to character order, so every sort
// gives the same order.
class TReadingOrderItem : public TStateTreeItem {
public:
    using TStateTreeItem::TStateTreeItem;

    bool operator<(const QTreeWidgetItem &other) const override;
    void setData(int column, int role, const QVariant &value) override;

private:
    // Made on the first comparison and kept, since a scan sorts each folder and then the whole
    // tree again.
    const QCollatorSortKey &SortKey() const;

    mutable std::optional<QCollatorSortKey> m_key;
};
