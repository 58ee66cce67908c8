#pragma once

#include <QString>

// The process-wide settings from "settings.ini", section "Settings": the user's own copy in
// their config folder, else the program folder's (ConfigFile). Loaded once while the main
// menu is created; never written by the program.
struct TSettings {
    bool UseWMP = false;
    bool UseFreeDB = true;
    bool ConvertToWMA = true;
    bool Overwrite = true;
    bool WinMsgTestMode = false;
    QString StorageDir;                     // the storage folder, no trailing "/"
    QString Player = QStringLiteral("vlc"); // the media player program
};

const TSettings &Settings();
// Reads "settings.ini" into Settings(); a missing file leaves the defaults. Raises
// EQuavermill when the file exists but cannot be read.
void LoadSettings();
// For tests: replace the values in memory.
void SetSettings(const TSettings &settings);
