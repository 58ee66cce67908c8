#include "catalog/catalog_file.h"

#include "base/atomic_file.h"
#include "base/errors.h"
#include "base/locations.h"

#include <QByteArrayView>
#include <QFile>

#include <cerrno>
#include <cstring>

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

    // False once a NUL has ended the text.
    bool Feed(const char *data, qsizetype size)
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
            if (stop == end) {
                m_partial.append(data, stop - data);
                break;
            }
            if (*stop == '\0') {
                m_partial.append(data, stop - data);
                Finish();
                return false;
            }
            EndLine(data, stop - data);
            m_afterCr = *stop == '\r';
            data = stop + 1;
        }
        return true;
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
    if (splitter.Feed(content.constData(), content.size()))
        splitter.Finish();
    return lines;
}

std::vector<QByteArray> ReadLinesUtf8(const QString &path)
{
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        throw ESystemError(LastError(), QStringLiteral("Cannot read %1").arg(path));
    std::vector<QByteArray> lines;
    TLineSplitter splitter(lines);
    QByteArray chunk(ChunkSize, Qt::Uninitialized);
    for (;;) {
        errno = 0;
        const qint64 got = file.read(chunk.data(), chunk.size());
        if (got < 0)
            throw ESystemError(LastError(), QStringLiteral("Cannot read %1").arg(path));
        if (got == 0) {
            splitter.Finish();
            break;
        }
        if (!splitter.Feed(chunk.constData(), got))
            break;
    }
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
    if (!QFile::exists(path)) {
        QFile file(path);
        errno = 0;
        if (!file.open(QIODevice::WriteOnly))
            throw ESystemError(LastError(), QStringLiteral("Cannot create %1").arg(path));
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
