#pragma once

#include <QString>

// A folder that only this user can reach, for what other users must neither read nor replace
// (the single-instance socket): $XDG_RUNTIME_DIR when it is such a folder, else
// "quavermill-<uid>" in the temporary folder, created with mode 0700. A folder found there
// that is a link, belongs to someone else or lets others in is refused: raises EQuavermill.
QString RuntimeFolder();
