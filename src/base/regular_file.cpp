#include "base/regular_file.h"

#include "base/errors.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What the user is told about a thing that is no file to read.
QString KindText(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("is a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("is a named pipe, not a file");
    if (S_ISSOCK(mode))
        return QStringLiteral("is a socket, not a file");
    return QStringLiteral("is a device, not a file");
}

} // namespace

TRegularFile::TRegularFile(const QString &path, TLinks links) : m_path(path)
{
    if (path.contains(QChar(u'\0')))
        Fail(EINVAL);
    // O_NONBLOCK: opening a named pipe would otherwise wait for a writer that never comes.
    const QByteArray name = QFile::encodeName(path);
    m_fd = ::open(name.constData(),
                  O_RDONLY | O_NONBLOCK | O_CLOEXEC | (links == TLinks::NoFollow ? O_NOFOLLOW : 0));
    if (m_fd < 0 && errno == ELOOP && links == TLinks::NoFollow)
        throw ESystemError(ELOOP, QStringLiteral("Cannot read %1").arg(path),
                           QStringLiteral("is a link"));
    struct stat info;
    if (m_fd < 0 && errno == ENOENT && ::lstat(name.constData(), &info) == 0)
        throw ESystemError(ENOENT, QStringLiteral("Cannot read %1").arg(path),
                           QStringLiteral("is a link to a file that does not exist"));
    if (m_fd < 0)
        Fail(errno);
    if (::fstat(m_fd, &info) != 0)
        Fail(errno);
    if (!S_ISREG(info.st_mode)) {
        ::close(m_fd);
        m_fd = -1;
        throw ESystemError(S_ISDIR(info.st_mode) ? EISDIR : EINVAL,
                           QStringLiteral("Cannot read %1").arg(path), KindText(info.st_mode));
    }
}

TRegularFile::~TRegularFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

qint64 TRegularFile::Read(char *data, qint64 size)
{
    for (;;) {
        const ssize_t got = ::read(m_fd, data, size_t(size));
        if (got >= 0)
            return got;
        if (errno != EINTR)
            Fail(errno);
    }
}

QByteArray TRegularFile::ReadAll()
{
    QByteArray bytes;
    struct stat info;
    qint64 chunk = ::fstat(m_fd, &info) == 0 && info.st_size > 0 ? info.st_size + 1 : 4096;
    for (;;) {
        const qsizetype held = bytes.size();
        bytes.resize(held + chunk);
        const qint64 got = Read(bytes.data() + held, chunk);
        bytes.resize(held + got);
        if (got == 0)
            return bytes;
        chunk = qMax<qint64>(chunk, 4096);
    }
}

void TRegularFile::Fail(int error)
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    throw ESystemError(error ? error : EIO, QStringLiteral("Cannot read %1").arg(m_path));
}

QByteArray ReadRegularFile(const QString &path)
{
    return TRegularFile(path).ReadAll();
}
