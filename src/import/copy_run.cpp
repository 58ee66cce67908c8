#include "import/copy_run.h"

#include "base/folder_listing.h"
#include "base/locations.h"
#include "catalog/catalog_record.h"
#include "exchange/tool_files.h"
#include "import/cd_extract.h"
#include "import/storage_names.h"
#include "platform/file_system.h"
#include "platform/volumes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
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

bool Rename(const QString &from, const QString &to)
{
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

} // namespace

TCopyRun::TCopyRun(QStringList &records, TCopyOptions options, TCopyView &view)
    : m_records(records), m_options(std::move(options)), m_view(view)
{}

TCopyRun::~TCopyRun()
{
    DropCopyAhead();
}

void TCopyRun::CopyAll()
{
    MakeStorageFolder();
    const int count = int(m_records.size());
    m_view.ShowCopied(0, count);
    if (m_view.PumpAndAskStop())
        throw ERollingBack(QString());
    QList<TCatalogRecord> records;
    records.reserve(count);
    for (const QString &line : std::as_const(m_records))
        records.append(ParseRecord(line));
    QStringList stored;
    for (int i = 0; i < count; ++i) {
        TCatalogRecord &record = records[i];
        const QString source = record.FileName;
        m_nextSource = i + 1 < count ? records.at(i + 1).FileName : QString();
        const bool kept = StoreTrack(record, i + 1);
        // A copy made ahead for this track and not taken (the track went another way) goes.
        if (m_ahead.outcome.valid() && m_ahead.source == source)
            DropCopyAhead();
        if (kept) {
            record.FileSize = QString::number(SizeOnDisk(record.FileName));
            stored.append(BuildRecord(record));
        }
        m_view.ShowCopied(i + 1, count);
        if (m_view.PumpAndAskStop())
            throw ERollingBack(QString());
    }
    m_records = stored;
}

void TCopyRun::MakeStorageFolder()
{
    if (QFileInfo(m_options.Storage).isDir())
        return;
    // Made with its parents and never removed again: it is where the catalog's files live.
    errno = 0;
    if (!QDir().mkpath(m_options.Storage))
        throw ERollingBack(SystemErrorText(errno ? errno : EACCES));
}

bool TCopyRun::StoreTrack(TCatalogRecord &record, int position)
{
    const QString source = record.FileName;
    QString folder = m_options.Storage + QLatin1Char('/') + StorageFolderName(record.Artist);
    if (!MakeFolder(folder))
        return false;
    folder += QLatin1Char('/') + StorageFolderName(record.Album);
    if (!MakeFolder(folder))
        return false;
    folder += QLatin1Char('/');
    if (!m_options.Overwrite) {
        const QString existing = ExistingTrack(folder, WithoutExtension(FileNamePart(source)));
        if (!existing.isEmpty()) {
            record.FileName = existing;
            return true;
        }
    }
    m_view.ShowConverting(false);
    if (HasExtension(source, ".cda"))
        return ExtractCdTrack(source, record, folder, position);
    return CopyFile(source, record, folder);
}

// A link is no folder here: whatever it points at lies outside the storage folder.
bool TCopyRun::MakeFolder(const QString &path)
{
    const QFileInfo folder(path);
    if (folder.isDir() && !folder.isSymLink())
        return true;
    if (::mkdir(QFile::encodeName(path).constData(), 0777) != 0)
        return Fail(errno, false, path);
    m_made.append({TMade::Folder, path, QString()});
    return true;
}

// With Overwrite off, a track already stored as WMA, WAV or MP3 (names compared without regard
// to case) by an earlier import is not copied again. A file of this very run is another track,
// and only a file (or a link to one) is a track: a named pipe of the name is none.
QString TCopyRun::ExistingTrack(const QString &folder, const QString &baseName) const
{
    const QList<TFolderEntry> entries = ListFolderEntries(folder).Entries;
    for (const char *extension : {".WMA", ".WAV", ".MP3"}) {
        const QString wanted = baseName + QLatin1String(extension);
        for (const TFolderEntry &entry : entries) {
            if (entry.Kind == TEntryKind::File
                && entry.Name.compare(wanted, Qt::CaseInsensitive) == 0
                && !m_stored.contains(folder + entry.Name))
                return folder + entry.Name;
        }
    }
    return QString();
}

// Where a file called name goes in folder. A file this run stored keeps its name and the new
// one gets a free name; a file of an earlier import is kept aside for a rollback. Empty, with
// errno set, when the old file cannot be moved aside.
QString TCopyRun::TargetFor(const QString &folder, const QString &name)
{
    const QString target = folder + name;
    if (m_stored.contains(target))
        return folder + FreeFileName(folder, name, m_stored);
    const QFileInfo old(target);
    if (!old.exists() && !old.isSymLink())
        return target;
    const QString aside = HiddenPath(folder, "kept");
    if (!Rename(target, aside))
        return QString();
    m_made.append({TMade::KeptAside, aside, target});
    return target;
}

bool TCopyRun::CopyFile(const QString &source, TCatalogRecord &record, const QString &folder)
{
    const qsizetype mark = m_made.size();
    const QString target = TargetFor(folder, FileNamePart(source));
    if (target.isEmpty())
        return Fail(errno, false, folder + FileNamePart(source));
    const QString part = HiddenPath(folder, "part");
    m_made.append({TMade::File, part, QString()});
    const TCopyOutcome copied = CopyData(source, part);
    if (!copied) {
        UndoSince(mark);
        return Fail(copied.Error, copied.Reading, source);
    }
    // Tagged before it takes its name, so that no stored file lacks its description.
    if (HasExtension(target, ".mp3") || HasExtension(target, ".wma")) {
        MakeWritable(part);
        StartCopyAhead(m_nextSource);
        UpdateWmaTags(part, record.Name, record.Album, record.Artist, record.Composer);
    }
    return PlaceFile(part, target, record, mark);
}

// A CD track is ripped and converted in a folder of its own, so that neither the ripping
// library nor the converter, which name their files themselves, can replace anything.
bool TCopyRun::ExtractCdTrack(const QString &source, TCatalogRecord &record, const QString &folder,
                              int position)
{
    const qsizetype mark = m_made.size();
    const QString work = HiddenPath(folder, "cd");
    if (::mkdir(QFile::encodeName(work).constData(), 0700) != 0)
        return Fail(errno, false, work);
    m_made.append({TMade::Folder, work, QString()});
    QString made =
        work + QLatin1Char('/') + WithoutExtension(FileNamePart(source)) + QStringLiteral(".wav");
    m_made.append({TMade::File, made, QString()});
    const TExtractProgress progress = [this](int seconds, int track) {
        return m_view.ShowExtracted(seconds, track);
    };
    if (!::ExtractCdTrack(source, made, position, progress)) {
        UndoSince(mark);
        return Fail(ENOMEDIUM, true, source);
    }
    if (m_options.ConvertToWma && ToolExists(QStringLiteral("wav2wma"))) {
        m_view.ShowConverting(true);
        if (ConvertWavToWma(made, record.Name, record.Album, record.Composer, record.Artist)) {
            // The WMA file takes the WAV file's place in the list; a failed conversion keeps
            // the WAV file as the track's file.
            const QString wma = WmaPathFor(made);
            QFile::remove(made);
            m_made.last().path = wma;
            made = wma;
        }
    }
    const QString target = TargetFor(folder, FileNamePart(made));
    if (target.isEmpty()) {
        const int error = errno;
        UndoSince(mark);
        return Fail(error, false, folder + FileNamePart(made));
    }
    if (!PlaceFile(made, target, record, mark))
        return false;
    // The file has left the work folder: the folder goes, and its entry with it.
    QDir().rmdir(work);
    m_made.removeAt(mark);
    return true;
}

// Gives the finished file its name and makes the list say so. A file kept aside for the target
// stands before the file's entry, so that a rollback deletes the new file before it puts the
// old one back.
bool TCopyRun::PlaceFile(const QString &made, const QString &target, TCatalogRecord &record,
                         qsizetype mark)
{
    if (!Rename(made, target)) {
        const int error = errno;
        UndoSince(mark);
        return Fail(error, false, target);
    }
    for (qsizetype i = m_made.size() - 1; i >= mark; --i) {
        if (m_made[i].made == TMade::File && m_made[i].path == made) {
            m_made.removeAt(i);
            break;
        }
    }
    m_made.append({TMade::File, target, QString()});
    m_stored.insert(target);
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
    const TVolumeList volumes = CurrentVolumes();
    if (reading && !volumes.FolderExists(QFileInfo(path).path() + QLatin1Char('/')))
        throw ERollingBack(SystemErrorText(error));
    ++m_skipped;
    m_skipReason = SystemErrorText(error) + QStringLiteral(": ") + path;
    return false;
}

void TCopyRun::Undo(const TEntry &entry) const
{
    const QByteArray path = QFile::encodeName(entry.path);
    switch (entry.made) {
    case TMade::File:
        MakeWritable(entry.path);
        QFile::remove(entry.path);
        break;
    case TMade::Folder: ::rmdir(path.constData()); break;
    case TMade::KeptAside: Rename(entry.path, entry.original); break;
    }
}

void TCopyRun::UndoSince(qsizetype mark)
{
    DropCopyAhead();
    while (m_made.size() > mark)
        Undo(m_made.takeLast());
}

void TCopyRun::RollBack()
{
    DropCopyAhead();
    const int count = int(m_made.size());
    for (int k = count - 1; k >= 0; --k) {
        Undo(m_made.at(k));
        m_view.ShowDeleted(count - k, count);
    }
    m_made.clear();
    m_stored.clear();
    m_records.clear();
}

void TCopyRun::Complete()
{
    DropCopyAhead();
    for (const TEntry &entry : std::as_const(m_made)) {
        if (entry.made == TMade::KeptAside)
            QFile::remove(entry.path);
    }
    m_made.clear();
    SyncVolume(m_options.Storage);
}

// Starts copying the data of the next track, when it is a plain copy that will be made: not a
// CD track, and not one that an earlier import may already have stored (Overwrite off).
void TCopyRun::StartCopyAhead(const QString &source)
{
    if (source.isEmpty() || !m_options.Overwrite || HasExtension(source, ".cda")
        || m_ahead.outcome.valid())
        return;
    const QString path = HiddenPath(m_options.Storage + QLatin1Char('/'), "part");
    m_ahead.source = source;
    m_ahead.path = path;
    m_ahead.outcome = std::async(std::launch::async, CopyFileData, source, path);
}

// The data of source copied into the new file part: the copy made ahead for it, when there is
// one and it can take part's place, else a copy made now.
TCopyOutcome TCopyRun::CopyData(const QString &source, const QString &part)
{
    if (m_ahead.outcome.valid() && m_ahead.source == source) {
        const TCopyOutcome copied = m_ahead.outcome.get();
        const QString made = m_ahead.path;
        m_ahead = {};
        if (copied && Rename(made, part))
            return copied;
        MakeWritable(made);
        QFile::remove(made);
        if (!copied)
            return copied;
        // Another file system below the storage folder: the data is copied again.
    }
    DropCopyAhead();
    return CopyFileData(source, part);
}

// Waits for a copy made ahead and removes it.
void TCopyRun::DropCopyAhead()
{
    if (!m_ahead.outcome.valid())
        return;
    m_ahead.outcome.wait();
    const QString made = m_ahead.path;
    m_ahead = {};
    MakeWritable(made);
    QFile::remove(made);
}
