#pragma once

// The world a start-up as in main needs, in a temporary folder: the data folder, the program
// folder and an empty volume table, so that no page looks at the real drives or home folder.

#include "test_services.h"

#include <QDir>
#include <QFile>

inline TServices PrepareStartWorld(const QString &folder)
{
    qputenv("XDG_DATA_HOME", folder.toUtf8());
    const QString volumes = QDir(folder).filePath(QStringLiteral("volumes"));
    QFile(volumes).open(QIODevice::WriteOnly);
    return TestServices(folder, volumes);
}
