#pragma once

#include <QList>
#include <QString>

#include <memory>

// What a volume is to the user, as the drive passes and the folder chooser tell them apart.
// Unknown stands for a mount that is no drive to the user (proc, sysfs ...): it is never
// listed nor scanned, but no walk enters it either.
enum class TVolumeKind { Unknown, Fixed, Removable, Network, Cd, RamDisk, Floppy };

// The drive types of a volume's root, with the numbers the scan rules use.
enum TDriveType : int {
    DRIVE_UNKNOWN = 0,
    DRIVE_REMOVABLE = 2,
    DRIVE_FIXED = 3,
    DRIVE_REMOTE = 4,
    DRIVE_CDROM = 5,
    DRIVE_RAMDISK = 6,
};

// A drive: a mounted file system, or an optical drive that holds an audio disc.
struct TVolume {
    QString Root; // the mount point followed by "/" ("/" for the root)
    TVolumeKind Kind = TVolumeKind::Unknown;
    bool Present = true; // the medium is in
    QString Device;      // what is mounted ("/dev/sdb1", "server:/export")
    QString CueSheet;    // a table's audio disc: the CUE sheet standing for it
    // An audio disc's tracks by number. Its root is no folder of the file system: it holds no
    // folder and lists one file a track, "Track01.cda" ... (CdTrackFileName).
    QList<int> AudioTracks;

    // The root without its trailing "/" (the root file system stays "/"): what the user sees
    // where a drive letter would stand.
    QString Drive() const;

    // The same drive in the same state: a medium taken out, changed or mounted elsewhere
    // makes another volume.
    bool operator==(const TVolume &) const = default;
    // What the CD tools open as this audio disc: its CUE sheet for a table's disc, else the
    // drive's device ("/dev/sr0").
    QString DiscSource() const;
    bool HoldsAudioDisc() const { return !AudioTracks.isEmpty(); }
};

// "fixed", "removable", "network", "cd", "ram", "floppy"; anything else is Unknown.
TVolumeKind VolumeKindFromName(const QString &name);

// 350 for a floppy; 2 for removable, network, CD and RAM disks; 1 for a fixed disk; else 0.
int DriveKind(const TVolume &volume);
// Floppies never count; other drives count while their medium is in (a network drive always).
bool MediaPresent(const TVolume &volume);
TDriveType DriveType(const TVolume &volume);

// One folder's entries. Hidden entries are included; "." and ".." are not. A symbolic link to
// a folder is neither a file nor a folder, so no walk follows it; a link to a file is a file.
// Files and folders whose names are not UTF-8 cannot be named as text (a path made from them
// would open another file or none): they are left out of both lists and kept apart under
// names good only for matching and counting.
struct TFolderEntries {
    QStringList Files;
    QStringList Folders;
    QStringList UnnamedFiles;
    QStringList UnnamedFolders;
};

// The volumes as they stand at one moment, ordered by root. Long walks take one snapshot and
// ask it, so that a volume table is read once per pass rather than once per folder.
class TVolumeList {
public:
    TVolumeList() = default;
    explicit TVolumeList(QList<TVolume> volumes);

    const QList<TVolume> &Volumes() const { return m_volumes; }
    // The volume whose root is the longest that begins the path (a drive without its "/"
    // lies on its own volume); null when none does. Once a medium is unmounted its paths fall
    // to the volume below it, so ask FolderExists whether a folder's medium is still in.
    const TVolume *VolumeOf(const QString &path) const;
    // True for the root of any volume, also of one left out as no drive (such as /proc): a
    // walk never enters a subfolder that is one, so each volume is walked in its own pass.
    bool IsVolumeRoot(const QString &folder) const;
    // The folder exists on a volume whose medium is in. A folder that lies on no volume does
    // not exist for the drive passes and the folder chooser (a table leaves it out).
    bool FolderExists(const QString &folder) const;
    // The folder's entries, or nothing when its volume is away.
    TFolderEntries ListFolder(const QString &folder) const;
    // The part of the path after its volume's root (all of it when no volume holds it).
    QString PathAfterRoot(const QString &path) const;

private:
    QList<TVolume> m_volumes;
};

// Where the volumes come from: the running system (TLinuxVolumeSource), or a table that a
// test controls (TTableVolumeSource).
class TVolumeSource {
public:
    virtual ~TVolumeSource() = default;
    // The volumes now, read afresh; safe to call from any thread.
    virtual QList<TVolume> ReadVolumes() = 0;
};

// Whether a file name matches a mask of "*" and "?" wildcards, without regard to case.
bool MatchesMask(const QString &name, const QString &mask);
