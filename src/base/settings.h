#pragma once

#include <QString>

// The settings from "settings.ini", section "Settings": the user's own copy in their config
// folder, else the program folder's (ConfigFile). Read once at start; never written by the
// program.
struct TSettings {
    bool UseWMP = false;
    bool UseFreeDB = true;
    bool ConvertToWMA = true;
    bool Overwrite = true;
    bool WinMsgTestMode = false;
    QString StorageDir;                     // the storage folder, no trailing "/"
    QString Player = QStringLiteral("vlc"); // the media player program
};

// Reads "settings.ini"; a missing file gives the defaults. Raises EQuavermill when the file
// exists but cannot be read.
TSettings LoadSettings(const QString &programFolder);
