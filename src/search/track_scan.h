#pragma once

#include "base/settings.h"
#include "platform/volumes.h"

#include <QSet>
#include <QString>

#include <memory>

class TSelectFilesData;

// True when the folder is the storage folder or lies below it; the storage folder's own
// tracks are never offered again. The storage folder is given without its trailing "/".
bool IsInStorage(const QString &path, const QString &storageFolder);

// The candidates from the tags of an MP3 or WMA file (read by the tag tool); null for any other
// file. A missing or failing tag tool gives a record with empty lists.
std::unique_ptr<TSelectFilesData> ReadTrackTags(const QString &programFolder, const QString &path);

// Whether a pass over all drives takes a drive of that type: removable, network and CD drives
// in the removable pass, fixed disks in the other. The media checks that follow a scan take
// the same drives, so that a stick is never walked as if it were a fixed disk.
bool TakenByDrivePass(bool removable, TDriveType type);

// What a walk needs from the page that shows its findings.
class TTrackScanSink {
public:
    virtual ~TTrackScanSink() = default;
    // Lets pending events run; false when the walk must end (the application is ending, the
    // page was left, or a newer scan took over).
    virtual bool Pump() = 0;
    // A location (a volume's root or a chosen folder) that exists is about to be walked.
    virtual void BeginLocation(const QString &path) = 0;
    // A folder with matches was found; called before the pump that precedes its node.
    virtual void ShowFolder(const QString &folder) = 0;
    virtual void AddFolder(const QString &folder) = 0;
    // A track of the folder last added.
    virtual void AddTrack(const QString &name, std::unique_ptr<TSelectFilesData> record) = 0;
    // The folder last added has all its tracks of this walk.
    virtual void EndFolder() = 0;
};

// The walks of a scan over one snapshot of the volumes: one walk per file type, each folder
// with matches reported with its tracks, the storage folder, links to folders and the mount
// points of other volumes left out. Once the sink's pump says stop, every walk returns.
class TTrackWalk {
public:
    // The settings name the storage folder, which the walks leave out, and whether the CD
    // information tool is asked; the tools lie in the program folder.
    TTrackWalk(TVolumeList volumes, const TSettings &settings, QString programFolder,
               TTrackScanSink &sink);

    // Every volume with its medium in whose drive type the pass takes: removable, network
    // and CD drives (removable pass) or fixed disks.
    void DrivePass(bool removable);
    // One location (a volume's root or a chosen folder, ending in "/"): on a CD drive the
    // disc's audio tracks first, then MP3, WAV and WMA files of its whole tree.
    void ScanLocation(const QString &path);
    // The "*.cda" tracks of a CD drive's root as one folder node, their candidates from the CD
    // information tool when UseFreeDB is on (which the scan waits for).
    void ScanCdAudio(const TVolume &drive);
    void ScanFolderTree(const QString &path, const QString &mask);

    // The tracks and folders the walks met but left out because their names are not UTF-8
    // and cannot be named as text, each once, by names good only for counting.
    const QSet<QString> &LeftOut() const { return m_leftOut; }

private:
    bool Pump();

    QSet<QString> m_leftOut;
    TVolumeList m_volumes;
    QString m_storageFolder;
    bool m_useFreeDb;
    QString m_programFolder;
    TTrackScanSink &m_sink;
    bool m_stopped = false;
};
