#pragma once

#include "base/settings.h"

#include <QString>

// Starting the user's programs on a file: the desktop's associated program, or a named one.
class TFileOpener {
public:
    virtual ~TFileOpener() = default;
    // Opens the file with the program the desktop associates with it; false when none could
    // be started.
    virtual bool OpenWithDesktop(const QString &path) = 0;
    // Starts the program with the path as its one argument; false when it cannot be started.
    virtual bool OpenWith(const QString &program, const QString &path) = 0;
};

// Opens one file with a player: first with the desktop's associated program unless the
// setting UseWMP is on, then with the program named by the setting Player. 1 when a player was
// started, -1 when none could be.
int PlayFile(TFileOpener &opener, const TSettings &settings, const QString &path);
