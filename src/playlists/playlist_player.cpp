#include "playlists/playlist_player.h"

#include "catalog/catalog_file.h"
#include "catalog/catalog_record.h"
#include "playlists/playlist_file.h"

#include <QFileInfo>

int PlayPlaylist(const QString &playlistPath, const QString &m3uPath,
                 const std::function<int(const QString &)> &play)
{
    QStringList paths;
    const QStringList lines = ReadPlaylistLines(playlistPath);
    for (const QString &line : lines) {
        const TCatalogRecord record = ParseRecord(line);
        if (record.IsTrack() && QFileInfo(record.FileName).isFile())
            paths.append(record.FileName);
    }
    if (paths.isEmpty())
        return 0;
    WriteLinesAtomically(m3uPath, SortedUniqueIgnoringCase(paths));
    return play(m3uPath);
}
