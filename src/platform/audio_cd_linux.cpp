#include "platform/audio_cd_linux.h"

#include "platform/audio_cd.h"

#include <QFile>

#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

QStringList OpticalDrives(const QByteArray &cdromInfo)
{
    QStringList drives;
    for (const QByteArray &line : cdromInfo.split('\n')) {
        if (!line.startsWith("drive name:"))
            continue;
        const QList<QByteArray> names =
            line.mid(int(qstrlen("drive name:"))).simplified().split(' ');
        for (const QByteArray &name : names) {
            // A name is a device of /dev, never a path that leads elsewhere.
            if (!name.isEmpty() && !name.contains('/') && !name.startsWith('.'))
                drives.append(QStringLiteral("/dev/") + QString::fromLatin1(name));
        }
    }
    drives.sort();
    return drives;
}

namespace {

// The drive's status and whether its medium changed since the last question. Opened without
// blocking, which neither waits for a disc nor closes an open tray.
TDriveStatus AskDrive(const QString &device, bool &changed)
{
    changed = false;
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return TDriveStatus::NoDisc;
    TDriveStatus status = TDriveStatus::Unknown;
    switch (::ioctl(fd, CDROM_DRIVE_STATUS, CDSL_CURRENT)) {
    case CDS_NO_DISC: status = TDriveStatus::NoDisc; break;
    case CDS_TRAY_OPEN: status = TDriveStatus::TrayOpen; break;
    case CDS_DRIVE_NOT_READY: status = TDriveStatus::NotReady; break;
    case CDS_DISC_OK: status = TDriveStatus::DiscIn; break;
    default: break;
    }
    if (status == TDriveStatus::DiscIn)
        changed = ::ioctl(fd, CDROM_MEDIA_CHANGED, CDSL_CURRENT) > 0;
    ::close(fd);
    return status;
}

} // namespace

QList<TVolume> AudioCdVolumes()
{
    QFile info(QStringLiteral("/proc/sys/dev/cdrom/info"));
    if (!info.open(QIODevice::ReadOnly))
        return {};
    QList<TVolume> volumes;
    for (const QString &device : OpticalDrives(info.readAll())) {
        bool changed = false;
        const TDriveStatus status = AskDrive(device, changed);
        // An empty drive, an open tray or a disc still loading is asked again at the next
        // check; what it held before is gone.
        if (status == TDriveStatus::NoDisc || status == TDriveStatus::TrayOpen
            || status == TDriveStatus::NotReady) {
            DiscCache().Forget(device);
            continue;
        }
        // A drive that cannot tell its status is read at every question: rare, and a disc
        // that stayed listed after it was taken out would be worse.
        if (changed || status == TDriveStatus::Unknown)
            DiscCache().Forget(device);
        const TDiscContents disc = DiscCache().Contents(device);
        if (disc.AudioTracks.isEmpty())
            continue;
        TVolume volume;
        volume.Root = device + QLatin1Char('/');
        volume.Kind = TVolumeKind::Cd;
        volume.Device = device;
        volume.AudioTracks = disc.AudioTracks;
        volumes.append(volume);
    }
    return volumes;
}
