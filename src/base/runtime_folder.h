#pragma once

#include <QString>

// Makes the folder with mode 0700 when it is missing, and tells why it is not a folder only
// this user can reach: the empty text when it is one, else the reason ("it is a link", "it
// belongs to another user" ...). A link is never followed: one planted by another user could
// lead anywhere.
QString MakePrivateFolder(const QString &folder);

// A folder that only this user can reach, for what other users must neither read nor replace
// (the single-instance socket): $XDG_RUNTIME_DIR when it is such a folder, else
// "quavermill-<uid>" in the temporary folder, made by MakePrivateFolder. Raises EQuavermill
// when that one is refused.
QString RuntimeFolder();
