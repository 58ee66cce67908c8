#pragma once

#include <QString>

// Music and playlists the program removes for the user go to the desktop's Trash, in the
// freedesktop.org layout (files/ and info/*.trashinfo), so that the file manager can restore
// them.

// Moves the file, or a symbolic link itself, at path into the user's trash on its volume and
// records shownPath (default: path) as the place it came from: a file kept aside under a
// hidden name goes to the trash as the file it stood for. The home trash takes files of its
// own volume; another volume's files go to its top folder's .Trash/<uid> or .Trash-<uid>.
// False, with the file in place, when that fails or the path is neither a file nor a link.
bool MoveToTrash(const QString &path, const QString &shownPath = QString());

// Moves the file or link at path to the trash; deletes it (made owner-writable first) only
// when its volume has no trash this user can use. True when nothing is left at path: moved,
// deleted or not there at all. A folder or any other kind of entry is left alone.
bool TrashOrDelete(const QString &path, const QString &shownPath = QString());
