#include "platform/mountinfo.h"

#include <QHash>
#include <QSet>

#include <algorithm>

// mountinfo writes blank, tab, newline and backslash in a field as a backslash and three
// octal digits.
static QString Unescape(const QByteArray &field)
{
    const auto octal = [](char c) { return c >= '0' && c <= '7'; };
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field.at(i) == '\\' && i + 3 < field.size() && octal(field.at(i + 1))
            && octal(field.at(i + 2)) && octal(field.at(i + 3))) {
            out.append(char((field.at(i + 1) - '0') * 64 + (field.at(i + 2) - '0') * 8
                            + (field.at(i + 3) - '0')));
            i += 3;
            continue;
        }
        out.append(field.at(i));
    }
    return QString::fromUtf8(out);
}

QList<TMountEntry> ParseMountInfo(const QByteArray &text)
{
    QList<TMountEntry> entries;
    for (const QByteArray &line : text.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        // id parent major:minor root mountpoint options [optional...] - fstype source super
        const qsizetype dash = fields.indexOf("-");
        if (dash < 6 || dash + 2 >= fields.size())
            continue;
        TMountEntry entry;
        entry.MajorMinor = QString::fromLatin1(fields.at(2));
        entry.MountPoint = Unescape(fields.at(4));
        entry.FsType = Unescape(fields.at(dash + 1));
        entry.Source = Unescape(fields.at(dash + 2));
        entries.append(entry);
    }
    return entries;
}

static bool IsPseudoFileSystem(const QString &type)
{
    static const QSet<QString> pseudo = {
        QStringLiteral("proc"),          QStringLiteral("sysfs"),
        QStringLiteral("devpts"),        QStringLiteral("devtmpfs"),
        QStringLiteral("cgroup"),        QStringLiteral("cgroup2"),
        QStringLiteral("tracefs"),       QStringLiteral("debugfs"),
        QStringLiteral("securityfs"),    QStringLiteral("pstore"),
        QStringLiteral("bpf"),           QStringLiteral("mqueue"),
        QStringLiteral("hugetlbfs"),     QStringLiteral("configfs"),
        QStringLiteral("fusectl"),       QStringLiteral("autofs"),
        QStringLiteral("binfmt_misc"),   QStringLiteral("efivarfs"),
        QStringLiteral("rpc_pipefs"),    QStringLiteral("nsfs"),
        QStringLiteral("selinuxfs"),     QStringLiteral("squashfs"),
        QStringLiteral("nfsd"),          QStringLiteral("fuse.gvfsd-fuse"),
        QStringLiteral("fuse.portal"),   QStringLiteral("fuse.lxcfs"),
        QStringLiteral("fuse.snapfuse"),
    };
    return pseudo.contains(type);
}

static bool IsNetworkFileSystem(const QString &type)
{
    static const QSet<QString> network = {
        QStringLiteral("nfs"),         QStringLiteral("nfs4"),
        QStringLiteral("cifs"),        QStringLiteral("smb3"),
        QStringLiteral("smbfs"),       QStringLiteral("fuse.sshfs"),
        QStringLiteral("sshfs"),       QStringLiteral("davfs"),
        QStringLiteral("fuse.davfs2"), QStringLiteral("ncpfs"),
        QStringLiteral("afs"),         QStringLiteral("ceph"),
        QStringLiteral("9p"),          QStringLiteral("fuse.glusterfs"),
        QStringLiteral("glusterfs"),   QStringLiteral("fuse.rclone"),
        QStringLiteral("fuse.s3fs"),
    };
    return network.contains(type);
}

static bool UnderSystemFolder(const QString &mountPoint)
{
    for (const char *folder : {"/proc", "/sys", "/dev"}) {
        const QLatin1String prefix(folder);
        if (mountPoint == prefix || mountPoint.startsWith(prefix + QLatin1Char('/')))
            return true;
    }
    return false;
}

TVolume ClassifyMount(const TMountEntry &entry, const TRemovableProbe &isRemovable)
{
    TVolume volume;
    volume.Root = entry.MountPoint.endsWith(QLatin1Char('/')) ? entry.MountPoint
                                                              : entry.MountPoint + QLatin1Char('/');
    volume.Device = entry.Source;
    volume.Present = true;
    if (IsPseudoFileSystem(entry.FsType) || UnderSystemFolder(entry.MountPoint))
        volume.Kind = TVolumeKind::Unknown;
    else if (IsNetworkFileSystem(entry.FsType))
        volume.Kind = TVolumeKind::Network;
    else if (entry.FsType == QLatin1String("tmpfs") || entry.FsType == QLatin1String("ramfs"))
        volume.Kind = TVolumeKind::RamDisk;
    else if (entry.Source.startsWith(QLatin1String("/dev/sr")))
        volume.Kind = TVolumeKind::Cd;
    else if (entry.Source.startsWith(QLatin1String("/dev/fd")))
        volume.Kind = TVolumeKind::Floppy;
    else if (isRemovable && isRemovable(entry))
        volume.Kind = TVolumeKind::Removable;
    else
        volume.Kind = TVolumeKind::Fixed;
    return volume;
}

QList<TVolume> VolumesFromMountInfo(const QByteArray &text, const TRemovableProbe &isRemovable)
{
    QList<TVolume> volumes;
    QHash<QString, qsizetype> byRoot;
    for (const TMountEntry &entry : ParseMountInfo(text)) {
        const TVolume volume = ClassifyMount(entry, isRemovable);
        const auto found = byRoot.constFind(volume.Root);
        if (found != byRoot.constEnd()) {
            volumes[*found] = volume;
        } else {
            byRoot.insert(volume.Root, volumes.size());
            volumes.append(volume);
        }
    }
    std::sort(volumes.begin(), volumes.end(),
              [](const TVolume &a, const TVolume &b) { return a.Root < b.Root; });
    return volumes;
}
