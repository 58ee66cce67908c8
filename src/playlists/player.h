#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Handing tracks and playlists to the user's media player.

// The four process-wide message texts that go with PlayFile and PlayPlaylist. They hold their
// built-in English texts until the play a list page reads "Quavermill.ini" at start-up.
struct TPlayerMessages {
    QString PlDoNotHave = QStringLiteral("All files in playlist doesn't exist.");
    QString ChooseAnother = QStringLiteral("Please choose another list to play.");
    QString NotInstalled = QStringLiteral("Mp3 player not installed onto your system.");
    QString Install = QStringLiteral("Please install a player.");
};
TPlayerMessages &PlayerMessages();

// Opens one file with a player: first with the desktop's associated program (xdg-open) unless
// the setting UseWMP is on, then with the program named by the setting Player, given the path
// as its one argument. 1 when a player was started, -1 when none could be.
int PlayFile(const QString &path);

// Writes the existing tracks of a playlist file into an M3U file (full paths sorted without
// regard to case, each once, CR LF, no header; written whole or not at all) and opens it with
// PlayFile. 1 when a player was started, 0 when no track of the playlist exists (nothing is
// written), -1 when the M3U file was written but no player could be started. Raises when the
// playlist cannot be read or the M3U file cannot be written.
int PlayPlaylist(const QString &playlistPath, const QString &m3uPath);

// For tests: replaces every program start of PlayFile. The launcher gets the program
// ("xdg-open" or the Player setting) and its arguments and says whether it started; an empty
// function restores the real launch.
using TProgramLauncher = std::function<bool(const QString &program, const QStringList &arguments)>;
void SetProgramLauncher(TProgramLauncher launcher);
