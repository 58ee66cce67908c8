#include "import/copy_journal.h"

#include "base/errors.h"
#include "base/folder_listing.h"
#include "base/locations.h"
#include "base/regular_file.h"
#include "catalog/catalog.h"
#include "catalog/catalog_record.h"
#include "platform/trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::function<void(char)> TCopyJournal::AfterWrite;

namespace {

constexpr char Prefix[] = "import-";
constexpr char Suffix[] = ".journal";
constexpr char StorageKind = 'S';
constexpr char RecordKind = 'R';
constexpr char CompleteKind = 'C';

QByteArray Encoded(const QString &text)
{
    return QFile::encodeName(text).toPercentEncoding("/");
}

QString Decoded(const QByteArray &field)
{
    return QFile::decodeName(QByteArray::fromPercentEncoding(field));
}

// A line of fields with the checksum that tells a whole line from a torn one.
QByteArray Line(char kind, const QList<QByteArray> &fields)
{
    QByteArray line(1, kind);
    for (const QByteArray &field : fields)
        line += ' ' + field;
    return line + ' ' + QByteArray::number(qChecksum(line), 16) + '\n';
}

bool IsHiddenWork(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1)
        .startsWith(QLatin1String(".quavermill-"));
}

bool Missing(int error)
{
    return error == ENOENT || error == ENOTDIR;
}

bool Unlink(const QString &path)
{
    return RemoveFileOrLink(path) == 0;
}

// A CD work folder holds what the ripping library and the converter wrote, all of it the run's.
bool RemoveWork(const QString &path)
{
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return Missing(errno);
    if (!S_ISDIR(info.st_mode))
        return Unlink(path);
    bool removed = true;
    for (const TFolderEntry &entry : ListFolderEntries(path + QLatin1Char('/')).Entries)
        removed = Unlink(path + QLatin1Char('/') + entry.Name) && removed;
    return (::rmdir(QFile::encodeName(path).constData()) == 0 || Missing(errno)) && removed;
}

} // namespace

bool UndoStep(const TJournalStep &step)
{
    const QByteArray path = QFile::encodeName(step.Path);
    switch (step.Kind) {
    case TJournalStep::Folder:
        // A folder that holds anything else than the run's files is the user's now.
        return ::rmdir(path.constData()) == 0 || Missing(errno) || errno == ENOTEMPTY
            || errno == EEXIST;
    case TJournalStep::Work: return RemoveWork(step.Path);
    case TJournalStep::Aside: {
        const QByteArray aside = QFile::encodeName(step.Other);
        struct stat info {};
        if (::lstat(aside.constData(), &info) != 0)
            return Missing(errno); // back already, or never moved
        return ::rename(aside.constData(), path.constData()) == 0;
    }
    case TJournalStep::Place: {
        const TFileId now = FileIdentity(step.Path);
        return !now || now != step.Id || Unlink(step.Path);
    }
    }
    return true;
}

TCopyJournal::TCopyJournal(const QString &storage) : m_storage(storage)
{
    const QString data = DataFolder();
    for (;;) {
        m_path = data + QLatin1Char('/') + QLatin1String(Prefix)
            + QString::number(QRandomGenerator::global()->generate64(), 16) + QLatin1String(Suffix);
        m_fd = ::open(QFile::encodeName(m_path).constData(),
                      O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (m_fd >= 0)
            break;
        if (errno != EEXIST)
            throw ESystemError(errno, m_path);
    }
    struct stat info {};
    ::stat(QFile::encodeName(storage).constData(), &info);
    try {
        Append(Line(StorageKind, {Encoded(storage), QByteArray::number(quint64(info.st_dev))}),
               true);
        // The journal's own name must survive a power cut too.
        const int folder = ::open(QFile::encodeName(data).constData(), O_RDONLY | O_DIRECTORY);
        if (folder >= 0) {
            ::fsync(folder);
            ::close(folder);
        }
    } catch (...) {
        ::close(m_fd);
        ::unlink(QFile::encodeName(m_path).constData());
        throw;
    }
}

TCopyJournal::~TCopyJournal()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void TCopyJournal::Append(const QByteArray &line, bool durable)
{
    const off_t before = ::lseek(m_fd, 0, SEEK_END);
    qsizetype done = 0;
    while (done < line.size()) {
        const ssize_t written = ::write(m_fd, line.constData() + done, size_t(line.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            const int error = written < 0 ? errno : ENOSPC;
            // A torn line would hide every later one: it goes, so that the journal still ends
            // with its last whole line.
            [[maybe_unused]] const int cut = ::ftruncate(m_fd, before);
            throw ESystemError(error, m_path);
        }
        done += written;
    }
    if (durable && ::fdatasync(m_fd) != 0)
        throw ESystemError(errno, m_path);
    if (AfterWrite)
        AfterWrite(line.at(0));
}

void TCopyJournal::Write(const TJournalStep &step)
{
    QList<QByteArray> fields{Encoded(step.Path)};
    if (step.Kind == TJournalStep::Aside || step.Kind == TJournalStep::Place)
        fields.append(Encoded(step.Other));
    if (step.Kind == TJournalStep::Place)
        fields << QByteArray::number(step.Id.Device) << QByteArray::number(step.Id.Inode);
    Append(Line(step.Kind, fields), step.Kind == TJournalStep::Aside);
    m_steps.append(step);
}

void TCopyJournal::Complete(const QStringList &records)
{
    QByteArray lines;
    for (const QString &record : records)
        lines += Line(RecordKind, {Encoded(record)});
    // One write: the end mark is whole only when every record before it is.
    Append(lines + Line(CompleteKind, {}), true);
}

namespace {

bool UndoAll(const QList<TJournalStep> &steps)
{
    bool undone = true;
    for (qsizetype i = steps.size() - 1; i >= 0; --i)
        undone = UndoStep(steps.at(i)) && undone;
    return undone;
}

bool CleanUpAll(const QList<TJournalStep> &steps)
{
    bool clean = true;
    for (const TJournalStep &step : steps) {
        if (step.Kind == TJournalStep::Work)
            clean = RemoveWork(step.Path) && clean;
        else if (step.Kind == TJournalStep::Aside && FileIdentity(step.Other))
            clean = TrashOrDelete(step.Other, step.Path) && clean;
    }
    return clean;
}

} // namespace

bool TCopyJournal::RollBack()
{
    if (!UndoAll(m_steps))
        return false;
    ::unlink(QFile::encodeName(m_path).constData());
    return true;
}

bool TCopyJournal::CleanUp()
{
    return CleanUpAll(m_steps);
}

namespace {

struct TReadJournal {
    QString Storage;
    quint64 Device = 0;
    QList<TJournalStep> Steps;
    QStringList Records;
    bool Complete = false;
    bool Refused = false;
};

// Inside storage by its text and by what is on the disk: no "." or ".." and no link between
// storage and the path, so that nothing a journal names can lead out of its storage folder.
bool InsideStorage(const QString &storage, const QString &path)
{
    if (!path.startsWith(storage + QLatin1Char('/')))
        return false;
    const QStringList parts = path.mid(storage.size() + 1).split(QLatin1Char('/'));
    QString walked = storage;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString &part = parts.at(i);
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return false;
        walked += QLatin1Char('/') + part;
        if (i + 1 < parts.size() && QFileInfo(walked).isSymLink())
            return false;
    }
    return true;
}

TReadJournal ReadJournal(const QString &path)
{
    TReadJournal journal;
    QByteArray text;
    try {
        text = ReadRegularFile(path);
    } catch (const EQuavermill &) {
        journal.Refused = true;
        return journal;
    }
    // What follows the last line break was never finished.
    const QList<QByteArray> lines = text.left(text.lastIndexOf('\n') + 1).split('\n');
    for (const QByteArray &whole : lines) {
        const qsizetype cut = whole.lastIndexOf(' ');
        if (whole.isEmpty() || cut < 1
            || whole.mid(cut + 1) != QByteArray::number(qChecksum(whole.left(cut)), 16))
            break;
        const QList<QByteArray> fields = whole.left(cut).split(' ');
        const char kind = fields.at(0).size() == 1 ? fields.at(0).at(0) : 0;
        const auto field = [&](qsizetype i) {
            return i < fields.size() ? fields.at(i) : QByteArray();
        };
        if (journal.Storage.isEmpty()) {
            journal.Storage = Decoded(field(1));
            journal.Device = field(2).toULongLong();
            if (kind != StorageKind || !QDir::isAbsolutePath(journal.Storage)
                || QDir::cleanPath(journal.Storage) != journal.Storage
                || journal.Storage == QLatin1String("/")) {
                journal.Refused = true;
                return journal;
            }
            continue;
        }
        if (kind == RecordKind) {
            journal.Records.append(Decoded(field(1)));
            continue;
        }
        if (kind == CompleteKind) {
            journal.Complete = true;
            break;
        }
        TJournalStep step;
        step.Kind = TJournalStep::TKind(kind);
        step.Path = Decoded(field(1));
        const bool twoPaths = kind == TJournalStep::Aside || kind == TJournalStep::Place;
        if (twoPaths)
            step.Other = Decoded(field(2));
        if (kind == TJournalStep::Place)
            step.Id = {field(3).toULongLong(), field(4).toULongLong()};
        const bool known = kind == TJournalStep::Folder || kind == TJournalStep::Work || twoPaths;
        if (!known || !InsideStorage(journal.Storage, step.Path)
            || (twoPaths && !InsideStorage(journal.Storage, step.Other))
            || ((kind == TJournalStep::Work || kind == TJournalStep::Aside)
                && !IsHiddenWork(kind == TJournalStep::Work ? step.Path : step.Other))) {
            journal.Refused = true;
            return journal;
        }
        journal.Steps.append(step);
    }
    return journal;
}

// The storage folder is there when it is the folder the run wrote to, on the same volume: a
// medium not plugged in leaves at most its empty mount point.
bool StoragePresent(const TReadJournal &journal)
{
    struct stat info {};
    return ::stat(QFile::encodeName(journal.Storage).constData(), &info) == 0
        && S_ISDIR(info.st_mode) && quint64(info.st_dev) == journal.Device;
}

// A complete run's records join the catalog, those whose file is still there (a track deleted
// since is not brought back).
bool CatalogueRecords(const TReadJournal &journal, TCatalog &catalog)
{
    for (const QString &record : journal.Records) {
        if (QFileInfo(ParseRecord(record).FileName).isFile())
            catalog.PendingRecords.append(record);
    }
    if (catalog.PendingRecords.isEmpty())
        return true;
    try {
        catalog.SavePending();
        return true;
    } catch (const EQuavermill &) {
        return false;
    }
}

} // namespace

TRecovery RecoverImports(TCatalog &catalog)
{
    TRecovery recovery;
    const QString data = DataFolder() + QLatin1Char('/');
    for (const TFolderEntry &entry : ListFolderEntries(data).Entries) {
        if (entry.Kind != TEntryKind::File || !entry.Name.startsWith(QLatin1String(Prefix))
            || !entry.Name.endsWith(QLatin1String(Suffix)))
            continue;
        const QString path = data + entry.Name;
        const TReadJournal journal = ReadJournal(path);
        if (journal.Refused || journal.Storage.isEmpty()) {
            QFile::rename(path, path + QStringLiteral(".refused"));
            recovery.Refused.append(path);
            continue;
        }
        const bool present = StoragePresent(journal);
        bool done = false;
        if (present && journal.Complete) {
            // The records join the catalog even when some leftovers must wait.
            const bool clean = CleanUpAll(journal.Steps);
            done = CatalogueRecords(journal, catalog) && clean;
            recovery.Finished += done ? 1 : 0;
        } else if (present) {
            done = UndoAll(journal.Steps);
            recovery.Undone += done ? 1 : 0;
        }
        if (done)
            QFile::remove(path);
        else
            recovery.Waiting.append(journal.Storage);
    }
    return recovery;
}
