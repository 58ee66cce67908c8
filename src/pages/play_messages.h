#pragma once

#include <QString>

class TFormBase;

// The four process-wide texts shown when a track or playlist cannot be played. They hold their
// built-in English texts until the play a list page reads "Quavermill.ini" at start-up.
struct TPlayerMessages {
    QString PlDoNotHave = QStringLiteral("All files in playlist doesn't exist.");
    QString ChooseAnother = QStringLiteral("Please choose another list to play.");
    QString NotInstalled = QStringLiteral("Mp3 player not installed onto your system.");
    QString Install = QStringLiteral("Please install a player.");
};
TPlayerMessages &PlayerMessages();

// Shows on the page the message that goes with a result of PlayPlaylist or PlayFile: none for
// 1, "no track exists" for 0, "no player" for -1.
void ShowPlayResult(TFormBase *page, int result);
// Plays one track with PlayFile and tells the page's user when no player could be started.
void PlayTrack(TFormBase *page, const QString &path);
