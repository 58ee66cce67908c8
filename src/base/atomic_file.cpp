#include "base/atomic_file.h"

#include "base/errors.h"

#include <QFile>

#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qsizetype BufferSize = 1 << 20;
// Links followed before the system's own limit calls it a loop.
constexpr int MaxLinks = 40;

// A temporary file is named after its target, the writing process and a random part, so that
// one left by a writer that died can be told from one still being written.
const char TemporaryMarker[] = ".quavermill-";

// The writer's process id in a temporary file's name; 0 for a name that is none of ours.
qint64 WriterOf(QByteArrayView name)
{
    const qsizetype marker = name.lastIndexOf(QByteArrayView(TemporaryMarker));
    if (marker < 0)
        return 0;
    const QByteArrayView rest = name.sliced(marker + qsizetype(sizeof(TemporaryMarker) - 1));
    const qsizetype dash = rest.indexOf('-');
    const QByteArrayView random = rest.sliced(dash + 1);
    if (dash < 1 || dash > 10 || random.size() != 6)
        return 0;
    for (const char c : random) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            return 0;
    }
    bool ok = false;
    const qint64 pid = rest.first(dash).toLongLong(&ok);
    return ok ? pid : 0;
}

int LastError()
{
    return errno ? errno : EIO;
}

// The mode the finished file gets: the old file's plus the owner's write, or what a new file
// would get under the user's umask (also in place of a link, whose own mode means nothing).
mode_t TargetMode(const QByteArray &path)
{
    struct stat old;
    if (::lstat(path.constData(), &old) == 0 && S_ISREG(old.st_mode))
        return (old.st_mode & 07777) | S_IWUSR;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The file a chain of symbolic links ends at, or path itself when it is no link. A link that
// points nowhere gives the missing file it names.
QByteArray ResolveLinks(QByteArray path)
{
    for (int hop = 0; hop < MaxLinks; ++hop) {
        struct stat info;
        if (::lstat(path.constData(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t size = ::readlink(path.constData(), target.data(), size_t(target.size()));
        if (size < 0)
            return path;
        target.resize(size);
        const qsizetype slash = path.lastIndexOf('/');
        path = target.startsWith('/') || slash < 0 ? target : path.left(slash + 1) + target;
    }
    errno = ELOOP;
    return QByteArray();
}

bool ProcessGone(qint64 pid)
{
    return pid > INT_MAX || (::kill(pid_t(pid), 0) != 0 && errno == ESRCH);
}

} // namespace

void RefuseNulInPath(const QString &path)
{
    if (path.contains(QChar(u'\0')))
        throw ESystemError(EINVAL, QString(path).replace(QChar(u'\0'), QChar(u'?')));
}

TAtomicFile::TAtomicFile(const QString &path, TLinks links) : m_path(path)
{
    RefuseNulInPath(path);
    // A link (a catalog kept on another disk) stays; the file it points to is replaced.
    m_target =
        links == TLinks::Follow ? ResolveLinks(QFile::encodeName(path)) : QFile::encodeName(path);
    if (m_target.isEmpty())
        Fail(LastError());
    m_temporary = m_target + TemporaryMarker + QByteArray::number(::getpid()) + "-XXXXXX";
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
    const QByteArray &target = m_target;
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

QString LinkAside(const QString &path)
{
    RefuseNulInPath(path);
    const QByteArray target = QFile::encodeName(path);
    struct stat info;
    if (::lstat(target.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return QString();
    QByteArray aside = target + TemporaryMarker + QByteArray::number(::getpid()) + "-XXXXXX";
    const int fd = ::mkstemp(aside.data());
    if (fd < 0)
        return QString();
    ::close(fd);
    // Names with this process's id are its own: nobody takes the name between these calls.
    if (::unlink(aside.constData()) != 0 || ::link(target.constData(), aside.constData()) != 0)
        return QString();
    return QFile::decodeName(aside);
}

void RemoveStaleTemporaryFiles(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder);
    DIR *dir = ::opendir(path.constData());
    if (!dir)
        return;
    const int dirFd = ::dirfd(dir);
    while (const dirent *entry = ::readdir(dir)) {
        const qint64 writer = WriterOf(entry->d_name);
        struct stat info;
        if (writer <= 0 || ::fstatat(dirFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0
            || !S_ISREG(info.st_mode))
            continue;
        if (ProcessGone(writer))
            ::unlinkat(dirFd, entry->d_name, 0);
    }
    ::closedir(dir);
}
