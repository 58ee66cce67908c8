#pragma once

#include <QString>

// Where the program's files live. The program folder holds the program, its tools and its
// read-only files; the data folder holds everything the program writes for the user; the
// user's config folder may hold their own copies of the program folder's settings and texts;
// the exchange folder holds the files the program and its tools pass to each other.

// The folder of the running executable, ending in "/": the program folder of the program
// itself (a test names another one).
QString ExecutableFolder();

// $XDG_DATA_HOME (default ~/.local/share), where the desktop's data lives (its Trash too);
// empty when HOME is not known either. Computed anew at every call.
QString DataHome();
// DataHome() + "/Quavermill", without a trailing "/". Computed anew at every call and
// created, with its parents, when it is missing.
QString DataFolder();
// DataFolder() + "/" + name.
QString DataFile(const QString &name);
QString DefaultStorageFolder();

// The file name (settings.ini, Quavermill.ini) in $XDG_CONFIG_HOME/Quavermill/ (default
// ~/.config/Quavermill/) when it exists there, else in the program folder: the user of an
// installed program, who cannot change the program folder, changes their own copy.
QString ConfigFile(const QString &programFolder, const char *name);

// The folder of the tools' exchange files, ending in "/". The program folder when it is the
// user's own, writable by them and by nobody else, with no folder above it that others may
// change, and outside the system's folders (a build folder, a prefix of the user's own); else
// a folder only this user can reach: $XDG_RUNTIME_DIR/quavermill, or $XDG_CACHE_HOME/quavermill
// (default ~/.cache/quavermill) when there is no usable runtime folder. Chosen once for a
// program folder, and again only when the folder has gone.
QString ExchangeFolder(const QString &programFolder);
// The decision itself, made afresh at every call.
QString ChooseExchangeFolder(const QString &programFolder);
// The environment variable that tells a tool the exchange folder; a tool started without it
// uses its own folder. The tools spell the same name.
inline constexpr char ExchangeFolderVariable[] = "QUAVERMILL_EXCHANGE_DIR";

// Fixed names of the program's files.
inline constexpr char SettingsFileName[] = "settings.ini";
inline constexpr char TextFileName[] = "Quavermill.ini";
inline constexpr char SkinFileName[] = "ui.ini";
inline constexpr char CatalogFileName[] = "mp3_library.dat";
inline constexpr char HelpFileName[] = "Quavermill.html";
inline constexpr char ProductName[] = "Quavermill";
