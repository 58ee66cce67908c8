#pragma once

#include "platform/volumes.h"

#include <QByteArray>
#include <QStringList>

// The optical drives' devices ("/dev/sr0", "/dev/sr1"), in order, from the "drive name:" line
// of /proc/sys/dev/cdrom/info, which lists every drive the kernel's CD driver knows.
QStringList OpticalDrives(const QByteArray &cdromInfo);

// What a drive says of itself without reading its disc.
enum class TDriveStatus { NoDisc, TrayOpen, NotReady, DiscIn, Unknown };

// A volume for each optical drive that holds a disc with audio tracks: its root is the device
// followed by "/" ("/dev/sr0/"). A data disc makes none (it is mounted, and so a volume of its
// own); a mixed disc's audio tracks make one beside its mounted data track. Each call asks
// the drives only for their status and whether their medium changed; a disc's table of
// contents is read once, when it is first seen (DiscCache).
QList<TVolume> AudioCdVolumes();
