#pragma once

#include "catalog/base_string_list.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// The catalog file "mp3_library.dat" and the operations on the in-memory catalog. The catalog
// view page owns the catalog (the TBaseStringList OpenCatalog returns); nothing here keeps one.
//
// Files are UTF-8 text, one record per line, each written with CR LF. On reading, CR LF, a
// lone CR or a lone LF ends a line, a final line break gives no empty last line, an empty line
// is a record, and a run of NUL bytes ends a line as a line break does (with any line break
// right after it) but never makes an empty record. A line that is not valid UTF-8 was written
// by an older program in Latin-1 and is read as such, so it is written back as UTF-8 intact.
// Only regular files (or links to them) are read; anything else is unreadable.

// DataFile("mp3_library.dat").
QString CatalogPath();

// Loads the records of the file at path in catalog order; of several lines with the same
// record key the first in the file stays. A missing file is first created empty (a link to a
// missing file is not: it reads as missing). Raises ESystemError when the file cannot be
// created or read.
std::unique_ptr<TBaseStringList> OpenCatalog(const QString &path);

// Adds the header record when the catalog holds no line at all; true when it did.
bool AddHeaderRecordIfEmpty(TBaseStringList &catalog);

// Merges the pending records, taken over from the caller, in their order: each replaces the
// catalog record with the same record key (so its Name and FileSize win) or is added.
void MergePending(TBaseStringList &catalog, QStringList pending);

// Writes every line in list order, each followed by CR LF, replacing the file at path as a
// whole: the new content goes to a temporary file in the same folder that then takes the old
// file's place, so a failure leaves the old file exactly as it was. A read-only file is
// replaced all the same. Raises EQuavermill with the reason when the file cannot be written.
void SaveCatalog(const TBaseStringList &catalog, const QString &path);

// Removes every record whose removal mark is non-zero.
void Purge(TBaseStringList &catalog);

// Every line of the file at path in file order, read by the rules above (UTF-8 bytes).
// Raises ESystemError when the file is missing or cannot be read.
std::vector<QByteArray> ReadLinesUtf8(const QString &path);
// The same lines as texts.
QStringList ReadLines(const QString &path);

// Cuts file content into lines by the rules above as it arrives, in pieces of any size, so that
// a file is never held twice in memory.
class TLineSplitter {
public:
    explicit TLineSplitter(std::vector<QByteArray> &lines) : m_lines(lines) {}

    void Feed(const char *data, qsizetype size);
    // A last line without a line break.
    void Finish();

private:
    void Split(const char *data, qsizetype size);
    void EndLine(const char *data, qsizetype size);

    std::vector<QByteArray> &m_lines;
    QByteArray m_head; // the file's first bytes, while they may still be a byte order mark
    QByteArray m_partial;
    bool m_afterCr = false;
    bool m_afterNul = false;
    bool m_atStart = true;
};

// Splits file content into lines by the rules above. Exposed for tests and for callers that
// hold the bytes already.
std::vector<QByteArray> SplitLinesUtf8(const QByteArray &content);

// Writes the lines, each followed by CR LF, as UTF-8, atomically as SaveCatalog does (a
// read-only target is made writable first and replaced). Raises EQuavermill on failure.
void WriteLinesAtomically(const QString &path, const QStringList &lines);
