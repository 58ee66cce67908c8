#include "base/atomic_file.h"

#include "base/errors.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qsizetype BufferSize = 1 << 20;

int LastError()
{
    return errno ? errno : EIO;
}

// The mode the finished file gets: the old file's plus the owner's write, or what a new file
// would get under the user's umask.
mode_t TargetMode(const QByteArray &path)
{
    struct stat old;
    if (::stat(path.constData(), &old) == 0)
        return (old.st_mode & 07777) | S_IWUSR;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

void RefuseNulInPath(const QString &path)
{
    if (path.contains(QChar(u'\0')))
        throw ESystemError(EINVAL, QString(path).replace(QChar(u'\0'), QChar(u'?')));
}

TAtomicFile::TAtomicFile(const QString &path) : m_path(path)
{
    RefuseNulInPath(path);
    m_temporary = QFile::encodeName(path) + ".XXXXXX";
    m_fd = ::mkstemp(m_temporary.data());
    if (m_fd < 0) {
        const int error = LastError();
        m_temporary.clear();
        Fail(error);
    }
}

TAtomicFile::~TAtomicFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_temporary.isEmpty())
        ::unlink(m_temporary.constData());
}

void TAtomicFile::Write(QByteArrayView bytes)
{
    m_buffer.append(bytes);
    if (m_buffer.size() >= BufferSize)
        Flush();
}

// Every short write shows here, so a full disk can never commit a cut file.
void TAtomicFile::Flush()
{
    const char *data = m_buffer.constData();
    qsizetype left = m_buffer.size();
    while (left > 0) {
        const ssize_t written = ::write(m_fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            Fail(LastError());
        }
        data += written;
        left -= written;
    }
    m_buffer.resize(0);
}

void TAtomicFile::Commit(TWriteSync sync)
{
    Flush();
    const QByteArray target = QFile::encodeName(m_path);
    if (::fchmod(m_fd, TargetMode(target)) != 0
        || (sync == TWriteSync::Durable && ::fsync(m_fd) != 0))
        Fail(LastError());
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 || std::rename(m_temporary.constData(), target.constData()) != 0)
        Fail(LastError());
    m_temporary.clear();
}

void TAtomicFile::Fail(int error)
{
    throw ESystemError(error, QStringLiteral("Cannot write %1").arg(m_path));
}
