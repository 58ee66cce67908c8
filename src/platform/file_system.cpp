#include "platform/file_system.h"

#include "platform/file_descriptor.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

constexpr size_t BufferSize = 1 << 20;
// The most one kernel copy call moves, so that a stop is seen within a fraction of a second.
constexpr size_t PieceSize = 1 << 20;

TCopyOutcome Failed(bool reading)
{
    return {errno, reading};
}

bool Stopped(const std::atomic<bool> *stop)
{
    return stop && stop->load(std::memory_order_relaxed);
}

bool WriteAll(int out, const char *data, size_t size)
{
    for (size_t done = 0; done < size;) {
        const ssize_t put = ::write(out, data + done, size - done);
        if (put > 0) {
            done += size_t(put);
        } else if (put == 0 || errno != EINTR) {
            errno = put == 0 ? ENOSPC : errno;
            return false;
        }
    }
    return true;
}

// Plain reads and writes, for file systems without a kernel copy between them.
TCopyOutcome CopyByBuffer(int in, int out, const std::atomic<bool> *stop)
{
    std::unique_ptr<char[]> buffer(new char[BufferSize]);
    for (;;) {
        if (Stopped(stop))
            return {ECANCELED, false};
        const ssize_t got = ::read(in, buffer.get(), BufferSize);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return Failed(true);
        }
        if (got == 0)
            return {};
        if (!WriteAll(out, buffer.get(), size_t(got)))
            return Failed(false);
    }
}

} // namespace

quint64 SizeOnDisk(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat file {};
    struct statvfs volume {};
    if (::stat(name.constData(), &file) != 0 || ::statvfs(name.constData(), &volume) != 0)
        return 0;
    const quint64 fragment = volume.f_frsize ? volume.f_frsize : volume.f_bsize;
    const quint64 size = quint64(file.st_size);
    return fragment == 0 ? size : (size + fragment - 1) / fragment * fragment;
}

TCopyOutcome CopyFileData(const QString &source, const QString &target,
                          const std::atomic<bool> *stop,
                          const std::function<TCopyHead(int source)> &head)
{
    // Opened without blocking and used only when it is a regular file: a named pipe or a
    // device would hang the copy.
    TFd in(::open(QFile::encodeName(source).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (in.get() < 0)
        return Failed(true);
    struct stat info {};
    if (::fstat(in.get(), &info) != 0)
        return Failed(true);
    if (!S_ISREG(info.st_mode))
        return {EINVAL, true};
    ::fcntl(in.get(), F_SETFL, ::fcntl(in.get(), F_GETFL) & ~O_NONBLOCK);
    TFd out(::open(QFile::encodeName(target).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                   0666));
    if (out.get() < 0)
        return Failed(false);
    ::posix_fadvise(in.get(), 0, 0, POSIX_FADV_SEQUENTIAL);

    off_t remaining = info.st_size;
    if (head) {
        const TCopyHead start = head(in.get());
        if (start.From > 0 && ::lseek(in.get(), off_t(start.From), SEEK_SET) < 0)
            return Failed(true);
        if (!WriteAll(out.get(), start.Prefix.constData(), size_t(start.Prefix.size())))
            return Failed(false);
        remaining -= off_t(start.From);
    }
    while (remaining > 0) {
        if (Stopped(stop))
            return {ECANCELED, false};
        const ssize_t copied = ::copy_file_range(in.get(), nullptr, out.get(), nullptr,
                                                 std::min(size_t(remaining), PieceSize), 0);
        if (copied > 0) {
            remaining -= copied;
            continue;
        }
        if (copied == 0)
            break; // the file became shorter; what is left is read below
        if (errno == EINTR)
            continue;
        // No kernel copy between these file systems: the rest goes through a buffer. Any
        // other error tells which side failed only through a plain read or write.
        if (errno == EXDEV || errno == EINVAL || errno == EOPNOTSUPP || errno == ENOSYS
            || errno == EBADF || errno == EIO)
            break;
        return Failed(false);
    }
    if (TCopyOutcome rest = CopyByBuffer(in.get(), out.get(), stop); !rest)
        return rest;
    if (out.Close() != 0)
        return Failed(false);
    return {};
}

TFileId FileIdentity(const QString &path)
{
    struct stat file {};
    if (::lstat(QFile::encodeName(path).constData(), &file) != 0)
        return {};
    return {quint64(file.st_dev), quint64(file.st_ino)};
}

void MakeWritable(const QString &path)
{
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);
}

int RemoveFileOrLink(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0)
        return errno == ENOENT ? 0 : errno;
    if (S_ISREG(info.st_mode))
        MakeWritable(path);
    else if (!S_ISLNK(info.st_mode))
        return S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    return ::unlink(name.constData()) == 0 ? 0 : errno;
}

bool SyncVolume(const QString &path)
{
    TFd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_DIRECTORY));
    return fd.get() >= 0 && ::syncfs(fd.get()) == 0;
}
