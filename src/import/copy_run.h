#pragma once

#include "base/errors.h"

#include "import/copy_journal.h"
#include "platform/file_system.h"
#include "platform/volumes.h"

#include <QList>
#include <QSet>
#include <QStringList>

#include <atomic>
#include <future>
#include <memory>

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
    // position of count tracks are done, stored of them are in storage ("Copied n tracks from
    // m" counts the stored ones).
    virtual void ShowCopied(int position, int stored, int count) = 0;
    // The track at position (from 1) begins; bytesDone of the bytesTotal bytes of the run's
    // sources lie behind it. A CD track counts no bytes: its size is known only once ripped.
    virtual void ShowTrack(const QString &source, int position, qint64 bytesDone,
                           qint64 bytesTotal) = 0;
    // The current track's step: none, or converting its WAV file to WMA.
    virtual void ShowConverting(bool converting) = 0;
    // seconds of track n are extracted from the CD; true when the user wants the run to stop.
    virtual bool ShowExtracted(int seconds, int track) = 0;
    // Lets pending events run; true when the user wants the run to stop (a button, the close
    // box, the application ending). Called often while a track's data is copied.
    virtual bool PumpAndAskStop() = 0;
    // Rolling back: done of count things the run made are undone.
    virtual void ShowDeleted(int done, int count) = 0;
};

struct TCopyOptions {
    QString Storage;          // the storage folder, without a trailing "/"
    bool Overwrite = true;    // a file of an earlier import may be replaced
    bool ConvertToWma = true; // WAV files ripped from a CD become WMA files
    // Where the tracks' volumes are found: a track whose folder is gone rolls the run back.
    std::shared_ptr<TVolumeSource> Volumes;
    // The folder name of an empty artist or album.
    QString UnknownText;
    // Where the tag tool and the converter lie.
    QString ProgramFolder;
};

// One run of the copy page: stores the tracks of a list of catalog records in the storage
// folder, one folder per artist and album, and rewrites each record's FileName and FileSize.
//
// The run is whole or absent, whatever stops it. Every step it takes in storage is written to
// its journal first (TCopyJournal), so that RollBack, or the next start after a crash, leaves
// the storage folder exactly as it was: files are copied under a hidden name and take their
// name when complete and tagged; a file of an earlier import that a track replaces is kept
// aside until the run completes, and put back by a rollback; at completion it goes to the
// Trash. A file this run has stored, known by its identity and not its spelling, is never
// replaced: a later track of the same name, in any case or Unicode form, gets "name (2).ext".
// Artist and album texts become folder names that cannot leave the storage folder, and every
// stored path fits the catalog's file name field.
//
// A track's data is copied on a worker thread below normal priority, in pieces, while the
// window's events run; a stop takes effect between pieces. An MP3 copy gets room in its tag
// (RoomForTags), so that the tag tool rewrites the tag alone, in place. While the tag tool
// writes the description into one copy, the next track's data is already being copied, into a
// hidden file of the storage folder; the next track takes it as its own copy, and anything
// that ends or undoes the run removes it first.
class TCopyRun {
public:
    TCopyRun(QStringList &records, TCopyOptions options, TCopyView &view);
    ~TCopyRun();
    TCopyRun(const TCopyRun &) = delete;
    TCopyRun &operator=(const TCopyRun &) = delete;

    // Stores every track and rewrites the records. A track that cannot be stored while its
    // medium is still there is skipped: its record leaves the list (it names no stored file),
    // and so do the folders made for it. Raises ERollingBack when the run must be undone: the
    // user stops it, the storage folder cannot be made or written (no space, read-only), the
    // journal cannot be written, or a track's medium has gone away.
    void CopyAll();
    // Undoes what the run made, newest first, and empties the records. What cannot be undone
    // now (the storage volume went read-only or away) stays in the journal for the next start.
    void RollBack();
    // The run is complete: its data is flushed to the disk, the journal marks it complete with
    // its records, and the files it replaced go to the Trash. Raises ERollingBack when the
    // journal cannot be written; the run must be rolled back then.
    void Complete();

    int Skipped() const { return m_skipped; }
    // The system's text for the last skipped track, with the track's path.
    const QString &SkipReason() const { return m_skipReason; }
    // After Complete: the journal that keeps the records until the catalog file holds them;
    // it is removed then, unless the run's leftovers could not all go (the next start finishes
    // them). Empty when nothing is left for the journal to do.
    QString JournalPath() const;

private:
    struct TCopyJob {
        QString source;
        QString path;
        std::shared_ptr<std::atomic<bool>> stop;
        std::future<TCopyOutcome> outcome;
    };

    void MakeStorageFolder();
    void Journal(const TJournalStep &step);
    bool StoreTrack(TCatalogRecord &record, int position);
    QString MakeFolder(const QString &parent, const QString &name);
    QString ExistingTrack(const QString &folder, const QString &baseName) const;
    QString TargetFor(const QString &folder, const QString &name);
    bool CopyFile(const QString &source, TCatalogRecord &record, const QString &folder,
                  const QString &name);
    bool ExtractCdTrack(const QString &source, TCatalogRecord &record, const QString &folder,
                        const QString &stem, int position);
    bool PlaceFile(const QString &made, const QString &target, TCatalogRecord &record);
    bool Fail(int error, bool reading, const QString &path);
    // Undoes and forgets what was made since the list held mark entries.
    void UndoSince(qsizetype mark);
    void Forget(const QString &made);
    TCopyJob StartCopy(const QString &source, const QString &path) const;
    void StartCopyAhead(const QString &source);
    TCopyOutcome CopyData(const QString &source, const QString &part);
    TCopyOutcome AwaitCopy(TCopyJob &job);
    template <class T>
    T Await(std::future<T> &work, std::atomic<bool> *stop);
    void DropCopyAhead();

    QStringList &m_records;
    TCopyOptions m_options;
    QString m_storage; // the storage folder as an absolute, clean path
    TCopyView &m_view;
    std::unique_ptr<TCopyJournal> m_journal;
    bool m_cleanedUp = false;
    QList<TJournalStep> m_made; // what a rollback undoes, for its count
    QSet<TFileId> m_stored;     // files this run has stored
    int m_skipped = 0;
    QString m_skipReason;
    QString m_nextSource; // the next track's file, while a track is stored
    TCopyJob m_ahead;
};
