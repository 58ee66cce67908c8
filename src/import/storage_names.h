#pragma once

#include "catalog/catalog_record.h"

#include <QHash>
#include <QSet>
#include <QString>

// Names of what the copy makes in the storage folder.

// The folder name for an artist or album text the user chose: a "/" becomes "-", control
// characters are dropped, a name of dots alone ("." or "..") becomes as many "_", an empty
// name becomes unknownText, and a name longer than the file system allows (255 bytes of
// UTF-8) is cut on a character boundary. So every text gives exactly one folder level inside
// its parent.
QString StorageFolderName(const QString &text, const QString &unknownText);

// A name as a storage folder tells names apart: two names that differ only in case or in the
// Unicode form of their accents are one name, as they are on the case-insensitive volumes many
// USB disks use, and to the catalog, whose key ignores case.
QString FoldedName(const QString &name);

// The names in a storage folder (ending in "/"), read once and compared as FoldedName does.
class TFolderNames {
public:
    explicit TFolderNames(const QString &folder);
    // The entry's own spelling of name, or empty when the folder holds no such name.
    QString Find(const QString &name) const;
    // A file among the entries whose name, without its extension, is baseName and whose
    // extension is the given one (".WMA"), or empty.
    QString FindFile(const QString &baseName, const char *extension) const;
    // name itself when the folder holds no such name, else "stem (2).ext", "stem (3).ext" ...,
    // never longer than units UTF-16 units nor than a file system's 255 bytes.
    QString FreeName(const QString &name, qsizetype units) const;

private:
    QHash<QString, QString> m_names; // folded name: the entry's name
    QSet<QString> m_files;           // folded names of files and links to files
};

// The artist and album folder names and the file name of a track in storage, each cut on
// character boundaries (the longest first, a file name keeping its extension) until the whole
// path fits FileNameUnits with room for a " (99)" after the file name's stem.
struct TStoredNames {
    QString Artist;
    QString Album;
    QString File;
};
TStoredNames FitStoredNames(const QString &storage, const QString &artist, const QString &album,
                            const QString &file);
// False when the storage folder's path leaves no room for even the shortest track path.
bool StorageFolderFits(const QString &storage);

// The file-name part of a path (the text after its last "/").
QString FileNamePart(const QString &path);
// The path without the extension of its file name ("/a/b.c.mp3" gives "/a/b.c").
QString WithoutExtension(const QString &path);
