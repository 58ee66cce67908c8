#pragma once

#include "platform/volumes.h"

struct TMountEntry;

// The mounted file systems of /proc/self/mountinfo. A block device counts as removable when
// its disk says so in sysfs, is an SD card or sits on USB; mounts of single files are left out.
class TLinuxVolumeSource : public TVolumeSource {
public:
    QList<TVolume> ReadVolumes() override;
};

// Whether the block device "major:minor" is removable (or an SD card) or sits on USB, as the
// sysfs tree at sysFolder ("/sys") describes it.
bool BlockDeviceRemovable(const QString &majorMinor, const QString &sysFolder);

// The block device "major:minor" a mount was made from. FUSE mounts (NTFS and exFAT through
// fuseblk) and btrfs show an anonymous number ("0:52"); their source device tells the disk.
QString BlockDeviceNumber(const TMountEntry &entry);

// Lists a folder with readdir; a folder that cannot be read lists nothing.
TFolderEntries ReadFolderEntries(const QString &folder);
