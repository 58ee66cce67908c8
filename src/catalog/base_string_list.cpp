#include "catalog/base_string_list.h"

#include <algorithm>
#include <utility>

namespace {

// QByteArray's operator< compares bytes as unsigned, which is the order of RecordKey.
struct TKeyLess {
    template <typename A, typename B>
    bool operator()(const A &a, const B &b) const
    {
        return Key(a) < Key(b);
    }
    template <typename T>
    static const QByteArray &Key(const T &item)
    {
        return item.key;
    }
    static const QByteArray &Key(const QByteArray &key) { return key; }
};

} // namespace

TBaseStringList::TItem TBaseStringList::MakeItem(const QString &line)
{
    // The key comes from the bytes that are kept, not from line: UTF-8 has no lone surrogate,
    // so a line holding one is kept with "?" in its place and must sort as it will be read.
    QByteArray utf8 = line.toUtf8();
    QByteArray key = RecordKeyUtf8(utf8);
    return TItem{std::move(utf8), std::move(key), 0};
}

size_t TBaseStringList::LowerBound(const QByteArray &key) const
{
    return size_t(std::lower_bound(m_items.begin(), m_items.end(), key, TKeyLess())
                  - m_items.begin());
}

QString TBaseStringList::Line(int index) const
{
    return LineFromUtf8(m_items[size_t(index)].line);
}

TCatalogRecord TBaseStringList::Record(int index) const
{
    return ParseRecord(Line(index));
}

QStringList TBaseStringList::Lines() const
{
    QStringList lines;
    lines.reserve(Count());
    for (const TItem &item : m_items)
        lines.append(LineFromUtf8(item.line));
    return lines;
}

int TBaseStringList::Add(const QString &line)
{
    TItem item = MakeItem(line);
    const size_t at = LowerBound(item.key);
    if (at < m_items.size() && m_items[at].key == item.key)
        return -1;
    m_items.insert(m_items.begin() + qsizetype(at), std::move(item));
    return int(at);
}

int TBaseStringList::IndexOf(const QString &line) const
{
    const QByteArray key = MakeItem(line).key;
    const size_t at = LowerBound(key);
    return at < m_items.size() && m_items[at].key == key ? int(at) : -1;
}

void TBaseStringList::Delete(int index)
{
    m_items.erase(m_items.begin() + index);
}

void TBaseStringList::Assign(std::vector<QByteArray> &&utf8Lines)
{
    m_items.clear();
    m_items.reserve(utf8Lines.size());
    for (QByteArray &line : utf8Lines) {
        QByteArray key = RecordKeyUtf8(line);
        m_items.push_back(TItem{std::move(line), std::move(key), 0});
    }
    utf8Lines.clear();
    // Stable, so that of equal keys the first in file order is the one unique() keeps.
    std::stable_sort(m_items.begin(), m_items.end(), TKeyLess());
    const auto end = std::unique(m_items.begin(), m_items.end(),
                                 [](const TItem &a, const TItem &b) { return a.key == b.key; });
    m_items.erase(end, m_items.end());
    m_items.shrink_to_fit();
}

void TBaseStringList::Merge(const QStringList &lines)
{
    if (lines.isEmpty())
        return;
    std::vector<TItem> incoming;
    incoming.reserve(size_t(lines.size()));
    for (const QString &line : lines)
        incoming.push_back(MakeItem(line));
    std::stable_sort(incoming.begin(), incoming.end(), TKeyLess());

    std::vector<TItem> merged;
    merged.reserve(m_items.size() + incoming.size());
    auto held = m_items.begin();
    for (auto next = incoming.begin(); next != incoming.end(); ++next) {
        // Of several incoming lines with one key, the last given wins.
        if (next + 1 != incoming.end() && (next + 1)->key == next->key)
            continue;
        while (held != m_items.end() && held->key < next->key)
            merged.push_back(std::move(*held++));
        if (held != m_items.end() && held->key == next->key)
            ++held;
        merged.push_back(std::move(*next));
    }
    std::move(held, m_items.end(), std::back_inserter(merged));
    m_items = std::move(merged);
}

void TBaseStringList::RemoveMarked()
{
    const auto end = std::remove_if(m_items.begin(), m_items.end(),
                                    [](const TItem &item) { return item.mark != 0; });
    m_items.erase(end, m_items.end());
}
