#pragma once

#include "base/errors.h"

#include "platform/file_system.h"

#include <QList>
#include <QSet>
#include <QStringList>

#include <future>

struct TCatalogRecord;

// Where the copy page goes when a run ends.
enum TCopyRequest : quint8 { rqMainMenu = 0, rqTrackSelection = 1, rqExit = 2, rqNone = 3 };

// Raised to leave a copy run and roll it back. The reason is the system's text for what went
// wrong, empty when the user stopped the run.
class ERollingBack : public EQuavermill {
public:
    explicit ERollingBack(const QString &reason) : EQuavermill(reason) {}
};

// What a copy run shows and asks while it works: the copy page, or a test.
class TCopyView {
public:
    virtual ~TCopyView() = default;
    // done of count tracks are stored ("Copied n tracks from m").
    virtual void ShowCopied(int done, int count) = 0;
    // The current track's step: none, or converting its WAV file to WMA.
    virtual void ShowConverting(bool converting) = 0;
    // seconds of track n are extracted from the CD; true when the user wants the run to stop.
    virtual bool ShowExtracted(int seconds, int track) = 0;
    // Lets pending events run; true when the user wants the run to stop (a button, the close
    // box, the application ending).
    virtual bool PumpAndAskStop() = 0;
    // Rolling back: done of count things the run made are undone.
    virtual void ShowDeleted(int done, int count) = 0;
};

struct TCopyOptions {
    QString Storage;          // the storage folder, without a trailing "/"
    bool Overwrite = true;    // a file of an earlier import may be replaced
    bool ConvertToWma = true; // WAV files ripped from a CD become WMA files
};

// One run of the copy page: stores the tracks of a list of catalog records in the storage
// folder, one folder per artist and album, and rewrites each record's FileName and FileSize.
//
// Everything the run makes is listed as it is made, so that RollBack can leave the storage
// folder exactly as it was: files are copied under a temporary name and renamed when complete;
// a file of an earlier import that a track replaces is kept aside (renamed in its folder) until
// the run completes, and put back by a rollback; a file this run has stored is never replaced
// (a later track of the same name gets "name (2).ext"). Artist and album texts become folder
// names that cannot leave the storage folder (StorageFolderName).
//
// While the tag tool writes the description into one copy, the next track's data is already
// being copied on another thread, into a hidden file of the storage folder; the next track
// takes it as its own copy, and anything that ends or undoes the run removes it first.
class TCopyRun {
public:
    TCopyRun(QStringList &records, TCopyOptions options, TCopyView &view);
    ~TCopyRun();
    TCopyRun(const TCopyRun &) = delete;
    TCopyRun &operator=(const TCopyRun &) = delete;

    // Stores every track and rewrites the records. A track that cannot be stored while its
    // medium is still there is skipped: its record leaves the list (it names no stored file).
    // Raises ERollingBack when the run must be undone: the user stops it, the storage folder
    // cannot be made or written (no space, read-only), or a track's medium has gone away.
    void CopyAll();
    // Undoes what the run made, newest first, and empties the records.
    void RollBack();
    // The run is complete: removes the files kept aside and flushes the storage volume.
    void Complete();

    int Skipped() const { return m_skipped; }
    // The system's text for the last skipped track, with the track's path.
    const QString &SkipReason() const { return m_skipReason; }

private:
    enum class TMade { File, Folder, KeptAside };
    struct TEntry {
        TMade made;
        QString path;
        QString original; // KeptAside: where the file stood
    };

    void MakeStorageFolder();
    bool StoreTrack(TCatalogRecord &record, int position);
    bool MakeFolder(const QString &path);
    QString ExistingTrack(const QString &folder, const QString &baseName) const;
    QString TargetFor(const QString &folder, const QString &name);
    bool CopyFile(const QString &source, TCatalogRecord &record, const QString &folder);
    bool ExtractCdTrack(const QString &source, TCatalogRecord &record, const QString &folder,
                        int position);
    bool PlaceFile(const QString &made, const QString &target, TCatalogRecord &record,
                   qsizetype mark);
    bool Fail(int error, bool reading, const QString &path);
    void Undo(const TEntry &entry) const;
    // Undoes and forgets what was made since the list held mark entries.
    void UndoSince(qsizetype mark);
    void StartCopyAhead(const QString &source);
    TCopyOutcome CopyData(const QString &source, const QString &part);
    void DropCopyAhead();

    QStringList &m_records;
    TCopyOptions m_options;
    TCopyView &m_view;
    QList<TEntry> m_made;
    QSet<QString> m_stored; // files this run has stored
    int m_skipped = 0;
    QString m_skipReason;
    QString m_nextSource; // the next track's file, while a track is stored
    struct TCopyAhead {
        QString source;
        QString path; // the hidden file in the storage folder
        std::future<TCopyOutcome> outcome;
    } m_ahead;
};
