#include "import/description_item.h"

TDescriptionItem::TDescriptionItem(const QString &text, int nodeIndex, bool isGroup)
    : TStateTreeItem(text, ReviewNew, nodeIndex, Type)
{
    Data.IsGroup = isGroup;
    Data.SavedState = ReviewNew;
}

TDescriptionItem *TDescriptionItem::Group()
{
    return IsGroup() ? this : From(parent());
}

TDescriptionItem *TDescriptionItem::Track(int index) const
{
    return From(child(index));
}

QString TDescriptionItem::FullPath() const
{
    return parent() ? parent()->text(0) + text(0) : text(0);
}

void TDescriptionItem::SetState(int value)
{
    if (StateIndex() != ReviewGone)
        SetStateIndex(value);
    Data.SavedState = value;
}

TDescriptionItem *TDescriptionItem::From(QTreeWidgetItem *item)
{
    return item && item->type() == Type ? static_cast<TDescriptionItem *>(item) : nullptr;
}
