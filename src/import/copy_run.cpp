#include "import/copy_run.h"

#include "base/folder_listing.h"
#include "base/locations.h"
#include "catalog/catalog_record.h"
#include "exchange/tool_files.h"
#include "import/cd_extract.h"
#include "import/storage_names.h"
#include "import/tag_room.h"
#include "platform/file_system.h"
#include "platform/process_priority.h"
#include "platform/volumes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>

namespace {

// Errors after which no later track can be stored either.
bool StorageCannotTakeMore(int error)
{
    return error == ENOSPC || error == EDQUOT || error == EROFS || error == EFBIG;
}

// A new name in folder for the run's own temporary things, hidden and recognisable:
// ".quavermill-part-1a2b3c4d" (a file being copied), "-kept-" (a replaced file kept aside until
// the run completes), "-cd-" (a CD track being ripped and converted).
QString HiddenPath(const QString &folder, const char *what)
{
    for (;;) {
        const QString path = folder + QStringLiteral(".quavermill-") + QLatin1String(what)
            + QLatin1Char('-')
            + QString::number(QRandomGenerator::global()->generate(), 16)
                  .rightJustified(8, QLatin1Char('0'));
        const QFileInfo file(path);
        if (!file.exists() && !file.isSymLink())
            return path;
    }
}

bool HasExtension(const QString &path, const char *extension)
{
    return path.endsWith(QLatin1String(extension), Qt::CaseInsensitive);
}

// An MP3 copy gets room for its description in its tag, so that the tag tool writes the tag
// alone and not the whole file again; without the tool the copy stays as its source is.
bool LeavesTagRoom(const QString &source, const QString &programFolder)
{
    return HasExtension(source, ".mp3") && ToolExists(programFolder, QStringLiteral("wma"));
}

bool Rename(const QString &from, const QString &to)
{
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// A rename that never replaces what is at to, where the file system can promise it.
bool RenameToFree(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE)
        == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return false;
    return ::rename(source.constData(), target.constData()) == 0;
}

} // namespace

TCopyRun::TCopyRun(QStringList &records, TCopyOptions options, TCopyView &view)
    : m_records(records), m_options(std::move(options)),
      m_storage(QDir::cleanPath(QFileInfo(m_options.Storage).absoluteFilePath())), m_view(view)
{}

TCopyRun::~TCopyRun()
{
    DropCopyAhead();
}

void TCopyRun::CopyAll()
{
    MakeStorageFolder();
    try {
        m_journal = std::make_unique<TCopyJournal>(m_storage);
    } catch (const ESystemError &error) {
        throw ERollingBack(error.message());
    }
    const int count = int(m_records.size());
    m_view.ShowCopied(0, 0, count);
    if (m_view.PumpAndAskStop())
        throw ERollingBack(QString());
    QList<TCatalogRecord> records;
    records.reserve(count);
    QList<qint64> sizes;
    qint64 bytesTotal = 0;
    for (const QString &line : std::as_const(m_records)) {
        records.append(ParseRecord(line));
        sizes.append(QFileInfo(records.last().FileName).size());
        bytesTotal += sizes.last();
    }
    QStringList stored;
    qint64 bytesDone = 0;
    for (int i = 0; i < count; ++i) {
        TCatalogRecord &record = records[i];
        const QString source = record.FileName;
        m_view.ShowTrack(source, i + 1, bytesDone, bytesTotal);
        bytesDone += sizes.at(i);
        m_nextSource = i + 1 < count ? records.at(i + 1).FileName : QString();
        const qsizetype mark = m_made.size();
        const bool kept = StoreTrack(record, i + 1);
        // A copy made ahead for this track and not taken (the track went another way) goes.
        if (m_ahead.outcome.valid() && m_ahead.source == source)
            DropCopyAhead();
        if (kept) {
            record.FileSize = QString::number(SizeOnDisk(record.FileName));
            stored.append(BuildRecord(record));
        } else {
            // Nothing of a skipped track stays, not even the folders made for it.
            UndoSince(mark);
        }
        m_view.ShowCopied(i + 1, int(stored.size()), count);
        if (m_view.PumpAndAskStop())
            throw ERollingBack(QString());
    }
    m_records = stored;
}

void TCopyRun::MakeStorageFolder()
{
    if (QFileInfo(m_storage).isDir())
        return;
    // Made with its parents and never removed again: it is where the catalog's files live.
    errno = 0;
    if (!QDir().mkpath(m_storage))
        throw ERollingBack(SystemErrorText(errno ? errno : EACCES));
}

void TCopyRun::Journal(const TJournalStep &step)
{
    try {
        m_journal->Write(step);
    } catch (const ESystemError &error) {
        throw ERollingBack(error.message());
    }
}

bool TCopyRun::StoreTrack(TCatalogRecord &record, int position)
{
    const QString source = record.FileName;
    const bool cd = HasExtension(source, ".cda");
    // A CD track's file is named by the ripping library and the converter: ".wav" or ".wma".
    const QString file =
        cd ? WithoutExtension(FileNamePart(source)) + QStringLiteral(".wma") : FileNamePart(source);
    const TStoredNames names =
        FitStoredNames(m_storage, StorageFolderName(record.Artist, m_options.UnknownText),
                       StorageFolderName(record.Album, m_options.UnknownText), file);
    QString folder = MakeFolder(m_storage, names.Artist);
    if (!folder.isEmpty())
        folder = MakeFolder(folder, names.Album);
    if (folder.isEmpty())
        return false;
    folder += QLatin1Char('/');
    if (!m_options.Overwrite) {
        const QString existing = ExistingTrack(folder, WithoutExtension(names.File));
        if (!existing.isEmpty()) {
            record.FileName = existing;
            return true;
        }
    }
    m_view.ShowConverting(false);
    if (cd)
        return ExtractCdTrack(source, record, folder, WithoutExtension(names.File), position);
    return CopyFile(source, record, folder, names.File);
}

// The folder name in parent, in the spelling it already has there (a volume that ignores case
// would refuse a second spelling; the catalog would show one folder). A link is no folder
// here: whatever it points at lies outside the storage folder. Empty when the track must be
// skipped.
QString TCopyRun::MakeFolder(const QString &parent, const QString &name)
{
    QString path = parent + QLatin1Char('/') + name;
    QFileInfo folder(path);
    if (!folder.exists() && !folder.isSymLink()) {
        if (const QString spelled = TFolderNames(parent + QLatin1Char('/')).Find(name);
            !spelled.isEmpty()) {
            path = parent + QLatin1Char('/') + spelled;
            folder = QFileInfo(path);
        }
    }
    if (folder.isDir() && !folder.isSymLink())
        return path;
    Journal({TJournalStep::Folder, path, QString(), {}});
    if (::mkdir(QFile::encodeName(path).constData(), 0777) != 0) {
        Fail(errno, false, path);
        return QString();
    }
    m_made.append({TJournalStep::Folder, path, QString(), {}});
    return path;
}

// With Overwrite off, a track already stored as WMA, WAV or MP3 (names compared as a storage
// folder compares them) by an earlier import is not copied again. A file of this very run is
// another track, and only a file (or a link to one) is a track: a named pipe of the name is
// none.
QString TCopyRun::ExistingTrack(const QString &folder, const QString &baseName) const
{
    const TFolderNames names(folder);
    for (const char *extension : {".WMA", ".WAV", ".MP3"}) {
        const QString name = names.FindFile(baseName, extension);
        if (!name.isEmpty() && !m_stored.contains(FileIdentity(folder + name)))
            return folder + name;
    }
    return QString();
}

// Where a file called name goes in folder. A file this run stored, and anything that is not a
// file, keeps its name and the new one gets a free name; a file of an earlier import is kept
// aside for a rollback. Empty, with errno set, when the old file cannot be moved aside.
QString TCopyRun::TargetFor(const QString &folder, const QString &name)
{
    const TFolderNames names(folder);
    const QString existing = names.Find(name);
    if (existing.isEmpty())
        return folder + name;
    const QString path = folder + existing;
    const QFileInfo old(path);
    if (m_stored.contains(FileIdentity(path)) || !(old.isFile() || old.isSymLink()))
        return folder + names.FreeName(name, FileNameUnits - folder.size());
    const QString aside = HiddenPath(folder, "kept");
    Journal({TJournalStep::Aside, path, aside, {}});
    if (!Rename(path, aside))
        return QString();
    m_made.append({TJournalStep::Aside, path, aside, {}});
    return folder + name;
}

bool TCopyRun::CopyFile(const QString &source, TCatalogRecord &record, const QString &folder,
                        const QString &name)
{
    const QString target = TargetFor(folder, name);
    if (target.isEmpty())
        return Fail(errno, false, folder + name);
    const QString part = HiddenPath(folder, "part");
    Journal({TJournalStep::Work, part, QString(), {}});
    m_made.append({TJournalStep::Work, part, QString(), {}});
    const TCopyOutcome copied = CopyData(source, part);
    if (!copied)
        return Fail(copied.Error, copied.Reading, source);
    // Tagged before it takes its name, so that no stored file lacks its description.
    if (HasExtension(target, ".mp3") || HasExtension(target, ".wma")) {
        MakeWritable(part);
        StartCopyAhead(m_nextSource);
        UpdateWmaTags(m_options.ProgramFolder, part, record.Name, record.Album, record.Artist,
                      record.Composer);
    }
    return PlaceFile(part, target, record);
}

// A CD track is ripped and converted in a folder of its own, so that neither the ripping
// library nor the converter, which name their files themselves, can replace anything.
bool TCopyRun::ExtractCdTrack(const QString &source, TCatalogRecord &record, const QString &folder,
                              const QString &stem, int position)
{
    const QString work = HiddenPath(folder, "cd");
    Journal({TJournalStep::Work, work, QString(), {}});
    if (::mkdir(QFile::encodeName(work).constData(), 0700) != 0)
        return Fail(errno, false, work);
    m_made.append({TJournalStep::Work, work, QString(), {}});
    QString made =
        work + QLatin1Char('/') + WithoutExtension(FileNamePart(source)) + QStringLiteral(".wav");
    const TExtractProgress progress = [this](int seconds, int track) {
        return m_view.ShowExtracted(seconds, track);
    };
    if (const int error = ::ExtractCdTrack(TVolumeList(m_options.Volumes->ReadVolumes()), source,
                                           made, position, progress))
        return Fail(error, !StorageCannotTakeMore(error), source);
    if (m_options.ConvertToWma && ToolExists(m_options.ProgramFolder, QStringLiteral("wav2wma"))) {
        m_view.ShowConverting(true);
        // A failed conversion keeps the WAV file as the track's file.
        if (ConvertWavToWma(m_options.ProgramFolder, made, record.Name, record.Album,
                            record.Composer, record.Artist)) {
            const QString wma = WmaPathFor(made);
            QFile::remove(made);
            made = wma;
        }
    }
    const QString extension = made.mid(made.lastIndexOf(QLatin1Char('.')));
    const QString target = TargetFor(folder, stem + extension);
    if (target.isEmpty())
        return Fail(errno, false, folder + stem + extension);
    if (!PlaceFile(made, target, record))
        return false;
    // The file has left the work folder: the folder goes, and its entry with it.
    QDir().rmdir(work);
    Forget(work);
    return true;
}

// Gives the finished file its name. A file kept aside for the target stands before the file's
// entry, so that a rollback deletes the new file before it puts the old one back.
bool TCopyRun::PlaceFile(const QString &made, const QString &target, TCatalogRecord &record)
{
    const TFileId id = FileIdentity(made);
    Journal({TJournalStep::Place, target, made, id});
    if (!RenameToFree(made, target))
        return Fail(errno, false, target);
    Forget(made);
    m_made.append({TJournalStep::Place, target, made, id});
    m_stored.insert(id);
    record.FileName = target;
    return true;
}

// A track that cannot be stored. When no later track could be stored either (the storage
// volume is full or read-only) or its medium has gone, the run is rolled back; otherwise the
// track is skipped.
bool TCopyRun::Fail(int error, bool reading, const QString &path)
{
    if (!reading && StorageCannotTakeMore(error))
        throw ERollingBack(SystemErrorText(error));
    const TVolumeList volumes(m_options.Volumes->ReadVolumes());
    if (reading && !volumes.FolderExists(QFileInfo(path).path() + QLatin1Char('/')))
        throw ERollingBack(SystemErrorText(error));
    ++m_skipped;
    m_skipReason = SystemErrorText(error) + QStringLiteral(": ") + path;
    return false;
}

void TCopyRun::Forget(const QString &made)
{
    for (qsizetype i = m_made.size() - 1; i >= 0; --i) {
        if (m_made.at(i).Kind == TJournalStep::Work && m_made.at(i).Path == made) {
            m_made.removeAt(i);
            return;
        }
    }
}

void TCopyRun::UndoSince(qsizetype mark)
{
    DropCopyAhead();
    while (m_made.size() > mark)
        UndoStep(m_made.takeLast());
}

void TCopyRun::RollBack()
{
    DropCopyAhead();
    const int count = int(m_made.size());
    for (int k = count - 1; k >= 0; --k) {
        UndoStep(m_made.at(k));
        m_view.ShowDeleted(count - k, count);
    }
    m_made.clear();
    m_stored.clear();
    m_records.clear();
    // The journal holds every step, those undone for skipped tracks too: replaying it catches
    // whatever the list no longer names, and keeps what cannot be undone now for the next start.
    if (m_journal)
        m_journal->RollBack();
}

void TCopyRun::Complete()
{
    DropCopyAhead();
    // The stored data is on the disk before the journal calls the run complete.
    std::future<bool> synced = std::async(std::launch::async, [storage = m_storage] {
        LowerThreadPriority();
        return SyncVolume(storage);
    });
    Await(synced, nullptr);
    try {
        m_journal->Complete(m_records);
    } catch (const ESystemError &error) {
        throw ERollingBack(error.message());
    }
    m_cleanedUp = m_journal->CleanUp();
    m_made.clear();
}

QString TCopyRun::JournalPath() const
{
    return m_journal && m_cleanedUp ? m_journal->Path() : QString();
}

TCopyRun::TCopyJob TCopyRun::StartCopy(const QString &source, const QString &path) const
{
    auto stop = std::make_shared<std::atomic<bool>>(false);
    const bool room = LeavesTagRoom(source, m_options.ProgramFolder);
    auto outcome = std::async(std::launch::async, [source, path, stop, room] {
        LowerThreadPriority();
        return CopyFileData(source, path, stop.get(), room ? RoomForTags : nullptr);
    });
    return {source, path, std::move(stop), std::move(outcome)};
}

// Starts copying the data of the next track, when it is a plain copy that will be made: not a
// CD track, and not one that an earlier import may already have stored (Overwrite off).
void TCopyRun::StartCopyAhead(const QString &source)
{
    if (source.isEmpty() || !m_options.Overwrite || HasExtension(source, ".cda")
        || m_ahead.outcome.valid())
        return;
    const QString path = HiddenPath(m_storage + QLatin1Char('/'), "part");
    Journal({TJournalStep::Work, path, QString(), {}});
    m_ahead = StartCopy(source, path);
}

// The data of source copied into the new file part: the copy made ahead for it, when there is
// one and it can take part's place, else a copy made now.
TCopyOutcome TCopyRun::CopyData(const QString &source, const QString &part)
{
    if (m_ahead.outcome.valid() && m_ahead.source == source) {
        TCopyJob ahead = std::exchange(m_ahead, {});
        const TCopyOutcome copied = AwaitCopy(ahead);
        if (copied && Rename(ahead.path, part))
            return copied;
        MakeWritable(ahead.path);
        QFile::remove(ahead.path);
        if (!copied)
            return copied;
        // Another file system below the storage folder: the data is copied again.
    }
    DropCopyAhead();
    TCopyJob job = StartCopy(source, part);
    return AwaitCopy(job);
}

// Waits for a copy with the window's events running; a stop asked meanwhile ends the copy
// between two pieces and rolls the run back.
TCopyOutcome TCopyRun::AwaitCopy(TCopyJob &job)
{
    const TCopyOutcome copied = Await(job.outcome, job.stop.get());
    if (job.stop->load()) {
        MakeWritable(job.path);
        QFile::remove(job.path);
        throw ERollingBack(QString());
    }
    return copied;
}

// Waits for work on another thread while the window's events run. A stop asked meanwhile is
// handed to stop, when there is one; the wait lasts until the work has ended.
template <class T>
T TCopyRun::Await(std::future<T> &work, std::atomic<bool> *stop)
{
    using namespace std::chrono_literals;
    while (work.wait_for(10ms) != std::future_status::ready) {
        if (m_view.PumpAndAskStop() && stop)
            stop->store(true);
    }
    return work.get();
}

// Stops and waits for a copy made ahead, and removes it.
void TCopyRun::DropCopyAhead()
{
    if (!m_ahead.outcome.valid())
        return;
    m_ahead.stop->store(true);
    m_ahead.outcome.wait();
    const QString made = m_ahead.path;
    m_ahead = {};
    MakeWritable(made);
    QFile::remove(made);
}
