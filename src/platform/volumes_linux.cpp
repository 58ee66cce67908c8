#include "platform/volumes_linux.h"

#include "base/folder_listing.h"
#include "platform/audio_cd_linux.h"
#include "platform/mountinfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <sys/sysmacros.h>

static QByteArray ReadSysFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
}

// <sys>/dev/block/<major:minor> leads to the device's place in the device tree: a disk on USB
// has "/usb" in that path, and the disk (the partition's parent) tells whether it is removable.
// An SD card says it is not (its reader stays while cards come and go), but its card type is
// "SD", unlike the built-in eMMC ("MMC").
bool BlockDeviceRemovable(const QString &majorMinor, const QString &sysFolder)
{
    if (majorMinor.isEmpty() || majorMinor.startsWith(QLatin1String("0:")))
        return false;
    const QString device =
        QFileInfo(sysFolder + QStringLiteral("/dev/block/") + majorMinor).canonicalFilePath();
    if (device.isEmpty())
        return false;
    if (device.contains(QLatin1String("/usb")))
        return true;
    const QString disk = QFileInfo::exists(device + QStringLiteral("/partition"))
        ? QFileInfo(device).path()
        : device;
    return ReadSysFile(disk + QStringLiteral("/removable")) == "1"
        || ReadSysFile(disk + QStringLiteral("/device/type")) == "SD";
}

QString BlockDeviceNumber(const TMountEntry &entry)
{
    if (!entry.MajorMinor.startsWith(QLatin1String("0:"))
        || !entry.Source.startsWith(QLatin1String("/dev/")))
        return entry.MajorMinor;
    struct stat info;
    if (stat(QFile::encodeName(entry.Source).constData(), &info) != 0 || !S_ISBLK(info.st_mode))
        return entry.MajorMinor;
    return QStringLiteral("%1:%2").arg(major(info.st_rdev)).arg(minor(info.st_rdev));
}

QList<TVolume> TLinuxVolumeSource::ReadVolumes()
{
    QFile file(QStringLiteral("/proc/self/mountinfo"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<TVolume> volumes = VolumesFromMountInfo(file.readAll(), [](const TMountEntry &entry) {
        return BlockDeviceRemovable(BlockDeviceNumber(entry), QStringLiteral("/sys"));
    });
    // Containers bind single files such as /etc/hosts; only folders can be drives.
    volumes.removeIf([](const TVolume &volume) { return !QFileInfo(volume.Root).isDir(); });
    // Optical drives holding an audio disc are not mounted.
    volumes.append(AudioCdVolumes());
    return volumes;
}

TFolderEntries ReadFolderEntries(const QString &folder)
{
    TFolderEntries entries;
    const TFolderListing listing = ListFolderEntries(folder);
    for (const TFolderEntry &entry : listing.Entries) {
        if (entry.Kind == TEntryKind::File)
            entries.Files.append(entry.Name);
        else if (entry.Kind == TEntryKind::Folder)
            entries.Folders.append(entry.Name);
    }
    for (const TFolderEntry &entry : listing.Unnamed) {
        if (entry.Kind == TEntryKind::File)
            entries.UnnamedFiles.append(entry.Name);
        else if (entry.Kind == TEntryKind::Folder)
            entries.UnnamedFolders.append(entry.Name);
    }
    return entries;
}
