#pragma once

#include "catalog/base_string_list.h"

#include <QString>
#include <QStringList>
#include <memory>

// Playlist files: "<name>.list" in the data folder, holding whole catalog records copied from
// the catalog when the playlist was saved, in the text form of the catalog file.

inline constexpr char PlaylistExtension[] = ".list";
inline constexpr char PlayableExtension[] = ".m3u";

// DataFile(name + ".list") and DataFile(name + ".m3u").
QString PlaylistPath(const QString &name);
QString PlayablePath(const QString &name);
// The name shown to the user for a playlist file name or path: the file name without ".list".
QString PlaylistName(const QString &fileNameOrPath);

// Sorts lines without regard to case and keeps one of several lines equal without regard to
// case (the first given). The order and uniqueness of playlist and M3U files.
QStringList SortedUniqueIgnoringCase(const QStringList &lines);

// Writes the playlist called name to PlaylistPath(name), replacing any playlist of that name
// (read-only or not). The records are written sorted by whole line without regard to case,
// each once, followed by CR LF. An empty list gives an empty file. The write is atomic: when
// it fails, an earlier playlist of that name is left as it was; when it succeeds, the earlier
// playlist goes to the Trash. Raises EQuavermill when the name is empty or holds "/" (a name
// is a file name, never a path into other folders) or NUL, and when the file cannot be
// written.
void WritePlaylist(const QString &name, const QStringList &records);
// The same, to a given path.
void WritePlaylistFile(const QString &path, const QStringList &records);

// The playlist's records for display: in record-key order, of several with the same key the
// first in the file. A missing file is created empty. Raises as OpenCatalog does.
std::unique_ptr<TBaseStringList> ReadPlaylistForDisplay(const QString &path);

// The playlist's lines in file order, for playing. Raises ESystemError when the file is
// missing or cannot be read.
QStringList ReadPlaylistLines(const QString &path);
