#pragma once

#include <QSet>
#include <QString>

// Names of what the copy makes in the storage folder.

// The folder name for an artist or album text the user chose: a "/" becomes "-", control
// characters are dropped, a name of dots alone ("." or "..") becomes as many "_", an empty
// name becomes UnknownText(), and a name longer than the file system allows (255 bytes of
// UTF-8) is cut on a character boundary. So every text gives exactly one folder level inside
// its parent.
QString StorageFolderName(const QString &text);

// A name for a file in folder that neither exists there nor is in taken: name itself, else
// "stem (2).ext", "stem (3).ext" ... (folder ends in "/").
QString FreeFileName(const QString &folder, const QString &name, const QSet<QString> &taken);

// The file-name part of a path (the text after its last "/").
QString FileNamePart(const QString &path);
// The path without the extension of its file name ("/a/b.c.mp3" gives "/a/b.c").
QString WithoutExtension(const QString &path);
