#include "platform/volumes_linux.h"

#include "platform/audio_cd_linux.h"
#include "platform/mountinfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dirent.h>
#include <fcntl.h>
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
    const QByteArray path = QFile::encodeName(folder);
    DIR *dir = opendir(path.constData());
    if (!dir)
        return entries;
    const int dirFd = dirfd(dir);
    while (const dirent *entry = readdir(dir)) {
        const char *name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        unsigned char type = entry->d_type;
        struct stat info;
        if (type == DT_UNKNOWN) {
            if (fstatat(dirFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            type = S_ISLNK(info.st_mode) ? DT_LNK
                : S_ISREG(info.st_mode)  ? DT_REG
                : S_ISDIR(info.st_mode)  ? DT_DIR
                                         : DT_UNKNOWN;
        }
        // A link counts as the file it points to; a link to a folder is never followed.
        if (type == DT_LNK) {
            if (fstatat(dirFd, name, &info, 0) != 0 || !S_ISREG(info.st_mode))
                continue;
            type = DT_REG;
        }
        if (type == DT_REG)
            entries.Files.append(QFile::decodeName(name));
        else if (type == DT_DIR)
            entries.Folders.append(QFile::decodeName(name));
    }
    closedir(dir);
    return entries;
}
