#pragma once

#include <QString>

#include <functional>

// Writes the existing tracks of a playlist file into an M3U file (full paths sorted without
// regard to case, each once, CR LF, no header; written whole or not at all) and opens it with
// play (PlayFile's answer). 1 when a player was started, 0 when no track of the playlist exists (nothing is
// written), -1 when the M3U file was written but no player could be started. Raises when the
// playlist cannot be read or the M3U file cannot be written.
int PlayPlaylist(const QString &playlistPath, const QString &m3uPath,
                 const std::function<int(const QString &)> &play);
