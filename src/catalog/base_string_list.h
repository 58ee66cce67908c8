#pragma once

#include "catalog/catalog_record.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// The sorted list of catalog record lines: the in-memory catalog, and what OpenCatalog gives
// for a playlist file. Lines are kept in the order of CompareStrings; a line whose record key
// equals that of a line already held is never added. Each line carries an integer tag, the
// removal mark (0 normally, non-zero when chosen for removal; see Purge).
//
// A record's index is its position in this order, so every insertion or removal changes the
// indexes of the records after it; whoever holds indexes must refresh them after a change.
//
// Lines are held as UTF-8 with a precomputed comparison key, so a large catalog costs little
// more memory than its file and no comparison parses a line. Not thread-safe; the catalog is
// used on the user-interface thread only.
class TBaseStringList {
public:
    TBaseStringList() = default;
    TBaseStringList(const TBaseStringList &) = delete;
    TBaseStringList &operator=(const TBaseStringList &) = delete;
    TBaseStringList(TBaseStringList &&) = default;
    TBaseStringList &operator=(TBaseStringList &&) = default;

    int Count() const { return int(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }

    // The record line at index, exactly as it will be written.
    QString Line(int index) const;
    QByteArray LineUtf8(int index) const { return m_items[size_t(index)].line; }
    // ParseRecord of the line at index.
    TCatalogRecord Record(int index) const;
    // Every line in list order.
    QStringList Lines() const;

    int Mark(int index) const { return m_items[size_t(index)].mark; }
    void SetMark(int index, int mark) { m_items[size_t(index)].mark = mark; }

    // Inserts the line at its sorted place with mark 0 and returns its index. When a line with
    // the same record key is already held, nothing changes and the result is -1.
    int Add(const QString &line);
    // Index of the line whose record key equals that of line, or -1.
    int IndexOf(const QString &line) const;
    void Delete(int index);

    // Replaces the whole content with lines (UTF-8, in file order): the first of several
    // lines with the same record key stays. This is how a file is loaded.
    void Assign(std::vector<QByteArray> &&utf8Lines);
    // Adds or replaces every line of lines in their order, so a later line replaces an
    // earlier one with the same key. One pass over the list, however many lines there are.
    void Merge(const QStringList &lines);
    // Removes every line whose mark is non-zero; the others keep their order.
    void RemoveMarked();

private:
    struct TItem {
        QByteArray line; // UTF-8, as written to the file
        QByteArray key;  // RecordKey of the line
        int mark = 0;
    };
    static TItem MakeItem(const QString &line);
    // First index whose key is not below key.
    size_t LowerBound(const QByteArray &key) const;

    std::vector<TItem> m_items;
};
