#include "search/reading_order.h"

#include <QCollator>

// The desktop's collation. The C locale (no language set) would fall back to character
// codes; the common order of the Latin languages serves its user better.
static const QCollator &ReadingCollator()
{
    static const QCollator collator = [] {
        QLocale locale;
        if (locale.language() == QLocale::C)
            locale = QLocale(QLocale::English, QLocale::UnitedStates);
        QCollator made(locale);
        made.setCaseSensitivity(Qt::CaseInsensitive);
        made.setNumericMode(true);
        return made;
    }();
    return collator;
}

const QCollatorSortKey &TReadingOrderItem::SortKey() const
{
    if (!m_key)
        m_key = ReadingCollator().sortKey(text(0));
    return *m_key;
}

bool TReadingOrderItem::operator<(const QTreeWidgetItem &other) const
{
    const auto *item = dynamic_cast<const TReadingOrderItem *>(&other);
    const int order = item ? SortKey().compare(item->SortKey())
                           : ReadingCollator().compare(text(0), other.text(0));
    return order != 0 ? order < 0 : text(0) < other.text(0);
}

void TReadingOrderItem::setData(int column, int role, const QVariant &value)
{
    if (column == 0 && (role == Qt::DisplayRole || role == Qt::EditRole))
        m_key.reset();
    TStateTreeItem::setData(column, role, value);
}
