#pragma once

#include <QString>

// Where the program's files live. The program folder holds the program, its tools and its
// read-only files; the data folder holds everything the program writes for the user.

// The program folder, ending in "/". It is the folder of the running executable unless a
// test has named another one.
QString ProgramFolder();
void SetProgramFolder(const QString &folder);

// $XDG_DATA_HOME (default ~/.local/share) + "/Quavermill", without a trailing "/". Computed
// anew at every call and created, with its parents, when it is missing.
QString DataFolder();
// DataFolder() + "/" + name.
QString DataFile(const QString &name);
QString DefaultStorageFolder();

// Fixed names of the program's files.
inline constexpr char SettingsFileName[] = "settings.ini";
inline constexpr char TextFileName[] = "Quavermill.ini";
inline constexpr char SkinFileName[] = "ui.ini";
inline constexpr char CatalogFileName[] = "mp3_library.dat";
inline constexpr char HelpFileName[] = "Quavermill.html";
inline constexpr char ProductName[] = "Quavermill";
