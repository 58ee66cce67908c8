#pragma once

#include <QFile>
#include <QProcess>

// Writes everything back and drops the system's page cache, so that the next timing reads from
// the disk; false when this process may not (it needs root).
inline bool DropPageCache()
{
    QProcess::execute(QStringLiteral("sync"), {});
    QFile drop(QStringLiteral("/proc/sys/vm/drop_caches"));
    return drop.open(QIODevice::WriteOnly) && drop.write("3\n") == 2;
}
