#pragma once

#include <QList>
#include <QString>

// What an entry of a folder is. A link counts as what it points to; a link to a folder is
// Other, so that no walk follows it, and a link that points nowhere is DanglingLink.
enum class TEntryKind { File, Folder, DanglingLink, Other };

struct TFolderEntry {
    QString Name;
    TEntryKind Kind = TEntryKind::Other;
};

// A folder's entries in the order the system gives them, "." and ".." left out and hidden
// entries included. A name whose bytes are not UTF-8 (a file from an old disk) cannot be
// written as text without naming another file or none: such entries are not listed but kept
// apart in Unnamed, under a name good only for showing and matching.
struct TFolderListing {
    QList<TFolderEntry> Entries;
    QList<TFolderEntry> Unnamed;
};

// A folder that cannot be read lists nothing.
TFolderListing ListFolderEntries(const QString &folder);
