#pragma once

// The world a start-up as in main needs, in a temporary folder: the data folder, the program
// folder and an empty volume table, so that no page looks at the real drives or home folder.

#include "base/locations.h"

#include <QDir>
#include <QFile>

inline void PrepareStartWorld(const QString &folder)
{
    qputenv("XDG_DATA_HOME", folder.toUtf8());
    const QString volumes = QDir(folder).filePath(QStringLiteral("volumes"));
    QFile(volumes).open(QIODevice::WriteOnly);
    qputenv("QUAVERMILL_VOLUMES", volumes.toUtf8());
    SetProgramFolder(folder);
}
