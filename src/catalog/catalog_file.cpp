#include "catalog/catalog_file.h"

#include "base/atomic_file.h"
#include "base/errors.h"
#include "base/locations.h"
#include "base/regular_file.h"

#include <QByteArrayView>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qsizetype ChunkSize = 1 << 20;

int LastError()
{
    return errno ? errno : EIO;
}

// Cuts bytes into lines as they arrive, so that a file is never held twice in memory.
class TLineSplitter {
public:
    explicit TLineSplitter(std::vector<QByteArray> &lines) : m_lines(lines) {}

    void Feed(const char *data, qsizetype size)
    {
        if (m_atStart && size > 0) {
            m_atStart = false;
            // A byte order mark left by an editor is not part of the first record.
            if (size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) {
                data += 3;
                size -= 3;
            }
        }
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

    // A last line without a line break.
    void Finish()
    {
        if (!m_partial.isEmpty())
            EndLine(nullptr, 0);
    }

private:
    void EndLine(const char *data, qsizetype size)
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

    std::vector<QByteArray> &m_lines;
    QByteArray m_partial;
    bool m_afterCr = false;
    bool m_afterNul = false;
    bool m_atStart = true;
};

// Writes what produce hands to its writer into a temporary file beside path, which then
// takes the place of the file at path; nothing is left behind on failure.
template <typename Produce>
void SaveAtomically(const QString &path, Produce produce)
{
    TAtomicFile file(path);
    produce([&](QByteArrayView line) {
        file.Write(line);
        file.Write("\r\n");
    });
    file.Commit(TWriteSync::Durable);
}

} // namespace

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
        lines.append(QString::fromUtf8(line));
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
