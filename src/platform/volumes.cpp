#include "platform/volumes.h"

#include "platform/audio_cd.h"
#include "platform/volumes_linux.h"

#include <QFileInfo>

#include <algorithm>

QString TVolume::Drive() const
{
    return Root.size() > 1 && Root.endsWith(QLatin1Char('/')) ? Root.chopped(1) : Root;
}

QString TVolume::DiscSource() const
{
    return CueSheet.isEmpty() ? Drive() : CueSheet;
}

namespace {
struct TKindName {
    TVolumeKind kind;
    const char *name;
};
constexpr TKindName KindNames[] = {
    {TVolumeKind::Fixed, "fixed"},     {TVolumeKind::Removable, "removable"},
    {TVolumeKind::Network, "network"}, {TVolumeKind::Cd, "cd"},
    {TVolumeKind::RamDisk, "ram"},     {TVolumeKind::Floppy, "floppy"},
};
} // namespace

TVolumeKind VolumeKindFromName(const QString &name)
{
    for (const TKindName &entry : KindNames) {
        if (name.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return entry.kind;
    }
    return TVolumeKind::Unknown;
}

int DriveKind(const TVolume &volume)
{
    switch (volume.Kind) {
    case TVolumeKind::Floppy: return 350;
    case TVolumeKind::Removable:
    case TVolumeKind::Network:
    case TVolumeKind::Cd:
    case TVolumeKind::RamDisk: return 2;
    case TVolumeKind::Fixed: return 1;
    case TVolumeKind::Unknown: break;
    }
    return 0;
}

bool MediaPresent(const TVolume &volume)
{
    const int kind = DriveKind(volume);
    if (kind == 0 || kind == 350 || kind == 525)
        return false;
    return volume.Kind == TVolumeKind::Network || volume.Present;
}

TDriveType DriveType(const TVolume &volume)
{
    switch (volume.Kind) {
    case TVolumeKind::Removable:
    case TVolumeKind::Floppy: return DRIVE_REMOVABLE;
    case TVolumeKind::Fixed: return DRIVE_FIXED;
    case TVolumeKind::Network: return DRIVE_REMOTE;
    case TVolumeKind::Cd: return DRIVE_CDROM;
    case TVolumeKind::RamDisk: return DRIVE_RAMDISK;
    case TVolumeKind::Unknown: break;
    }
    return DRIVE_UNKNOWN;
}

TVolumeList::TVolumeList(QList<TVolume> volumes) : m_volumes(std::move(volumes))
{
    std::sort(m_volumes.begin(), m_volumes.end(),
              [](const TVolume &a, const TVolume &b) { return a.Root < b.Root; });
}

const TVolume *TVolumeList::VolumeOf(const QString &path) const
{
    const TVolume *best = nullptr;
    for (const TVolume &volume : m_volumes) {
        const bool holds = path.startsWith(volume.Root) || path + QLatin1Char('/') == volume.Root;
        if (holds && (!best || volume.Root.size() > best->Root.size()))
            best = &volume;
    }
    return best;
}

bool TVolumeList::IsVolumeRoot(const QString &folder) const
{
    const QString root = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    for (const TVolume &volume : m_volumes) {
        if (volume.Root == root)
            return true;
    }
    return false;
}

// An audio disc's root is its one folder.
static bool IsAudioDiscRoot(const TVolume &volume, const QString &folder)
{
    return folder == volume.Root || folder + QLatin1Char('/') == volume.Root;
}

bool TVolumeList::FolderExists(const QString &folder) const
{
    const TVolume *volume = VolumeOf(folder);
    if (!volume || !MediaPresent(*volume))
        return false;
    if (volume->HoldsAudioDisc())
        return IsAudioDiscRoot(*volume, folder);
    return QFileInfo(folder).isDir();
}

TFolderEntries TVolumeList::ListFolder(const QString &folder) const
{
    const TVolume *volume = VolumeOf(folder);
    if (!volume || !MediaPresent(*volume))
        return {};
    if (volume->HoldsAudioDisc()) {
        // The tracks of the disc's table of contents, as the original platform shows them.
        TFolderEntries entries;
        if (IsAudioDiscRoot(*volume, folder)) {
            for (int track : volume->AudioTracks)
                entries.Files.append(CdTrackFileName(track));
        }
        return entries;
    }
    return ReadFolderEntries(folder);
}

QString TVolumeList::PathAfterRoot(const QString &path) const
{
    const TVolume *volume = VolumeOf(path);
    return volume ? path.mid(volume->Root.size()) : path;
}

bool MatchesMask(const QString &name, const QString &mask)
{
    const QString text = name.toCaseFolded();
    const QString pattern = mask.toCaseFolded();
    // Greedy glob match that backtracks to the last "*" seen.
    qsizetype t = 0, p = 0, star = -1, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size()
            && (pattern.at(p) == QLatin1Char('?') || pattern.at(p) == text.at(t))) {
            ++t;
            ++p;
        } else if (p < pattern.size() && pattern.at(p) == QLatin1Char('*')) {
            star = p++;
            resume = t;
        } else if (star >= 0) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern.at(p) == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}
