#pragma once

#include "platform/volumes.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

// One line of /proc/self/mountinfo, its escapes (\040 for a blank ...) decoded.
struct TMountEntry {
    QString MajorMinor; // "8:17"
    QString MountPoint; // "/media/user/STICK"
    QString FsType;     // "vfat"
    QString Source;     // "/dev/sdb1"
};

QList<TMountEntry> ParseMountInfo(const QByteArray &text);

// Answers whether the block device of an entry is removable or sits on USB.
using TRemovableProbe = std::function<bool(const TMountEntry &entry)>;

// The volume a mount stands for. Pseudo file systems (proc, sysfs, cgroup, snaps ...) and
// whatever is mounted under /proc, /sys or /dev become volumes of kind Unknown.
TVolume ClassifyMount(const TMountEntry &entry, const TRemovableProbe &isRemovable);

// The volumes of a mountinfo text, ordered by root. Of two mounts on one mount point the later
// one, which hides the earlier, counts.
QList<TVolume> VolumesFromMountInfo(const QByteArray &text, const TRemovableProbe &isRemovable);
