#include "search/track_scan.h"

#include "base/settings.h"
#include "exchange/tool_files.h"
#include "search/cd_tracks.h"
#include "search/track_data.h"

bool IsInStorage(const QString &path, const QString &storageFolder)
{
    QString storage = storageFolder;
    while (storage.size() > 1 && storage.endsWith(QLatin1Char('/')))
        storage.chop(1);
    if (storage.isEmpty())
        return false;
    if (!path.startsWith(storage))
        return false;
    // Only the folder itself or what lies below it: ".../LibraryOld/" is a sibling.
    return path.size() == storage.size() || path.at(storage.size()) == QLatin1Char('/')
        || storage == QLatin1String("/");
}

std::unique_ptr<TSelectFilesData> ReadTrackTags(const QString &programFolder, const QString &path)
{
    const QString upper = path.toUpper();
    if (!upper.endsWith(QLatin1String(".MP3")) && !upper.endsWith(QLatin1String(".WMA")))
        return nullptr;
    const TWmaTags tags = ReadWmaTags(programFolder, path);
    auto record = std::make_unique<TSelectFilesData>();
    record->AddName(tags.Name);
    record->AddAlbum(tags.Album);
    record->AddComposer(tags.Composer);
    record->AddArtist(tags.Artist);
    return record;
}

bool TakenByDrivePass(bool removable, TDriveType type)
{
    if (!removable)
        return type == DRIVE_FIXED;
    return type == DRIVE_REMOVABLE || type == DRIVE_REMOTE || type == DRIVE_CDROM;
}

TTrackWalk::TTrackWalk(TVolumeList volumes, const TSettings &settings, QString programFolder,
                       TTrackScanSink &sink)
    : m_volumes(std::move(volumes)), m_storageFolder(settings.StorageDir),
      m_useFreeDb(settings.UseFreeDB), m_programFolder(std::move(programFolder)), m_sink(sink)
{}

bool TTrackWalk::Pump()
{
    if (!m_stopped && !m_sink.Pump())
        m_stopped = true;
    return !m_stopped;
}

void TTrackWalk::DrivePass(bool removable)
{
    for (const TVolume &volume : m_volumes.Volumes()) {
        if (!Pump())
            return;
        if (!MediaPresent(volume))
            continue;
        if (TakenByDrivePass(removable, DriveType(volume)))
            ScanLocation(volume.Root);
    }
}

void TTrackWalk::ScanLocation(const QString &path)
{
    if (m_stopped || !m_volumes.FolderExists(path))
        return;
    m_sink.BeginLocation(path);
    const TVolume *volume = m_volumes.VolumeOf(path);
    if (volume && DriveType(*volume) == DRIVE_CDROM)
        ScanCdAudio(*volume);
    for (const char *mask : {"*.mp3", "*.wav", "*.wma"})
        ScanFolderTree(path, QLatin1String(mask));
}

void TTrackWalk::ScanCdAudio(const TVolume &drive)
{
    const QString root = drive.Root;
    QStringList tracks = m_volumes.ListFolder(root).Files;
    tracks.removeIf(
        [](const QString &name) { return !MatchesMask(name, QStringLiteral("*.cda")); });
    if (tracks.isEmpty())
        return;
    m_sink.ShowFolder(root);
    const std::unique_ptr<TIniFile> results =
        m_useFreeDb ? RequestCdInfo(m_programFolder, drive.DiscSource()) : nullptr;
    bool first = true;
    for (const QString &name : std::as_const(tracks)) {
        if (!Pump())
            return;
        if (first)
            m_sink.AddFolder(root);
        first = false;
        m_sink.AddTrack(name, CdTrackRecord(results.get(), root + name));
    }
    m_sink.EndFolder();
}

void TTrackWalk::ScanFolderTree(const QString &path, const QString &mask)
{
    if (m_stopped || IsInStorage(path, m_storageFolder))
        return;
    const TFolderEntries entries = m_volumes.ListFolder(path);
    for (const QString &name : entries.UnnamedFiles) {
        if (MatchesMask(name, mask))
            m_leftOut.insert(path + name);
    }
    for (const QString &name : entries.UnnamedFolders)
        m_leftOut.insert(path + name + QLatin1Char('/'));
    bool first = true;
    for (const QString &name : entries.Files) {
        if (!MatchesMask(name, mask))
            continue;
        if (first)
            m_sink.ShowFolder(path);
        if (!Pump())
            return;
        if (first)
            m_sink.AddFolder(path);
        first = false;
        m_sink.AddTrack(name, ReadTrackTags(m_programFolder, path + name));
    }
    if (!first)
        m_sink.EndFolder();
    for (const QString &name : entries.Folders) {
        if (!Pump())
            return;
        const QString folder = path + name + QLatin1Char('/');
        if (!m_volumes.IsVolumeRoot(folder))
            ScanFolderTree(folder, mask);
    }
}
