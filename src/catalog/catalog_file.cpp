#include "catalog/catalog_file.h"

#include "base/atomic_file.h"
#include "base/errors.h"
#include "base/locations.h"
#include "base/regular_file.h"

#include <QByteArrayView>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr qsizetype ChunkSize = 1 << 20;
constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";

int LastError()
{
    return errno ? errno : EIO;
}

// Writes what produce hands to its writer into a temporary file beside path, which then
// takes the place of the file at path; nothing is left behind on failure.
template <typename Produce>
void SaveAtomically(const QString &path, Produce produce)
{
    TAtomicFile file(path);
    bool first = true;
    produce([&](QByteArrayView line) {
        // The reader takes a byte order mark at the start of the file for an editor's: a first
        // line that begins with one keeps it behind one more.
        if (std::exchange(first, false) && line.startsWith(ByteOrderMark))
            file.Write(ByteOrderMark);
        file.Write(line);
        file.Write("\r\n");
    });
    file.Commit(TWriteSync::Durable);
}

} // namespace

void TLineSplitter::Feed(const char *data, qsizetype size)
{
    if (m_atStart) {
        // A byte order mark left by an editor is not part of the first record. Its bytes may
        // come in different pieces: the first three are held until all three are there.
        const qsizetype taken = qMin(size, 3 - m_head.size());
        m_head.append(data, taken);
        if (m_head.size() < 3)
            return;
        m_atStart = false;
        if (m_head != ByteOrderMark)
            Split(m_head.constData(), m_head.size());
        data += taken;
        size -= taken;
    }
    Split(data, size);
}

void TLineSplitter::Split(const char *data, qsizetype size)
{
    const char *end = data + size;
    while (data < end) {
        if (m_afterCr) {
            m_afterCr = false;
            if (*data == '\n') {
                ++data;
                continue;
            }
        }
        const char *stop = data;
        while (stop < end && *stop != '\r' && *stop != '\n' && *stop != '\0')
            ++stop;
        if (stop > data)
            m_afterNul = false;
        if (stop == end) {
            m_partial.append(data, stop - data);
            break;
        }
        const bool inLine = stop > data || !m_partial.isEmpty();
        if (*stop == '\0') {
            // A run of NUL bytes (a block a power cut left zeroed) breaks the line, so the
            // text on both sides is kept; it never makes an empty record of its own.
            if (inLine)
                EndLine(data, stop - data);
            m_afterNul = true;
        } else if (m_afterNul && !inLine) {
            // The line break right after a NUL run belongs to it.
            m_afterNul = false;
            m_afterCr = *stop == '\r';
        } else {
            EndLine(data, stop - data);
            m_afterCr = *stop == '\r';
        }
        data = stop + 1;
    }
}

void TLineSplitter::Finish()
{
    if (std::exchange(m_atStart, false))
        Split(m_head.constData(), m_head.size());
    if (!m_partial.isEmpty())
        EndLine(nullptr, 0);
}

void TLineSplitter::EndLine(const char *data, qsizetype size)
{
    QByteArray line;
    if (m_partial.isEmpty()) {
        line = QByteArray(data, size);
    } else {
        m_partial.append(data, size);
        line = QByteArray(m_partial.constData(), m_partial.size());
        m_partial.resize(0);
    }
    // An older program wrote its lines in Latin-1; reading them so keeps every character.
    if (!QByteArrayView(line).isValidUtf8())
        line = QString::fromLatin1(line).toUtf8();
    m_lines.push_back(std::move(line));
}

QString CatalogPath()
{
    return DataFile(QLatin1String(CatalogFileName));
}

std::vector<QByteArray> SplitLinesUtf8(const QByteArray &content)
{
    std::vector<QByteArray> lines;
    TLineSplitter splitter(lines);
    splitter.Feed(content.constData(), content.size());
    splitter.Finish();
    return lines;
}

std::vector<QByteArray> ReadLinesUtf8(const QString &path)
{
    TRegularFile file(path);
    std::vector<QByteArray> lines;
    TLineSplitter splitter(lines);
    QByteArray chunk(ChunkSize, Qt::Uninitialized);
    while (const qint64 got = file.Read(chunk.data(), chunk.size()))
        splitter.Feed(chunk.constData(), got);
    splitter.Finish();
    return lines;
}

QStringList ReadLines(const QString &path)
{
    QStringList lines;
    for (const QByteArray &line : ReadLinesUtf8(path))
        lines.append(LineFromUtf8(line));
    return lines;
}

std::unique_ptr<TBaseStringList> OpenCatalog(const QString &path)
{
    RefuseNulInPath(path);
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    if (::lstat(name.constData(), &info) != 0 && errno == ENOENT) {
        // Only where nothing is: a link to a missing file (its disk may only be away) is not
        // followed to make one, and what appears meanwhile is read rather than replaced.
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            throw ESystemError(LastError(), QStringLiteral("Cannot create %1").arg(path));
        if (fd >= 0)
            ::close(fd);
    }
    auto catalog = std::make_unique<TBaseStringList>();
    catalog->Assign(ReadLinesUtf8(path));
    return catalog;
}

bool AddHeaderRecordIfEmpty(TBaseStringList &catalog)
{
    if (!catalog.IsEmpty())
        return false;
    catalog.Add(HeaderRecord());
    return true;
}

void MergePending(TBaseStringList &catalog, QStringList pending)
{
    catalog.Merge(pending);
}

void SaveCatalog(const TBaseStringList &catalog, const QString &path)
{
    SaveAtomically(path, [&](const auto &write) {
        for (int i = 0; i < catalog.Count(); ++i)
            write(catalog.LineUtf8(i));
    });
}

void Purge(TBaseStringList &catalog)
{
    catalog.RemoveMarked();
}

void WriteLinesAtomically(const QString &path, const QStringList &lines)
{
    SaveAtomically(path, [&](const auto &write) {
        for (const QString &line : lines)
            write(line.toUtf8());
    });
}
