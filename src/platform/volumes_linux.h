#pragma once

#include "platform/volumes.h"

// The mounted file systems of /proc/self/mountinfo. A block device counts as removable when
// its disk says so in sysfs, is an SD card or sits on USB; mounts of single files are left out.
class TLinuxVolumeSource : public TVolumeSource {
public:
    QList<TVolume> ReadVolumes() override;
};

// Whether the block device "major:minor" is removable (or an SD card) or sits on USB, as the
// sysfs tree at sysFolder ("/sys") describes it.
bool BlockDeviceRemovable(const QString &majorMinor, const QString &sysFolder);

// Lists a folder with readdir; a folder that cannot be read lists nothing.
TFolderEntries ReadFolderEntries(const QString &folder);
