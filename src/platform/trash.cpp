#include "platform/trash.h"

#include "base/locations.h"
#include "platform/file_descriptor.h"
#include "platform/file_system.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// QFile::moveToTrash would do most of this, but it can record only the path the file has now,
// and a file the import kept aside under a hidden name must go back to the name it had.

namespace {

constexpr char InfoSuffix[] = ".trashinfo";

enum class TTrashing {
    Moved,
    Gone,    // nothing was there
    NoTrash, // the volume has no trash this user can use
    Failed,
};

// Opens the folder name in the folder at, made (mode 0700) when missing; -1 unless it is a
// folder of this user. Only the home trash may be reached through a link: a link in a trash
// on a shared volume may have been planted by another user.
int OwnFolder(int at, const QByteArray &name, bool followLink = false)
{
    if (::mkdirat(at, name.constData(), 0700) != 0 && errno != EEXIST)
        return -1;
    const int fd = ::openat(at, name.constData(),
                            O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW));
    struct stat info {};
    if (fd >= 0 && (::fstat(fd, &info) != 0 || info.st_uid != ::geteuid())) {
        ::close(fd);
        return -1;
    }
    return fd;
}

QByteArray Parent(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash > 0 ? path.left(slash) : QByteArrayLiteral("/");
}

// The mount point of the volume that holds the folder (a path without links): its highest
// ancestor on the same device.
QByteArray TopFolder(QByteArray folder, dev_t device)
{
    while (folder != "/") {
        const QByteArray parent = Parent(folder);
        struct stat info {};
        if (::stat(parent.constData(), &info) != 0 || info.st_dev != device)
            break;
        folder = parent;
    }
    return folder;
}

// The trash folder, opened, for a file on the device in the folder (a path without links); -1
// when there is none this user can use. topFolder is set to the volume's mount point when the
// trash is the volume's own, and stays empty for the home trash.
int TrashFolder(const QByteArray &folder, dev_t device, QByteArray &topFolder)
{
    const QString dataHome = DataHome();
    if (!dataHome.isEmpty()) {
        const QByteArray trash = QFile::encodeName(dataHome) + "/Trash";
        // A trash not made yet will lie on the volume of its nearest existing parent.
        QByteArray existing = trash;
        struct stat info {};
        while (::stat(existing.constData(), &info) != 0 && existing != "/")
            existing = Parent(existing);
        if (info.st_dev == device && QDir().mkpath(dataHome))
            return OwnFolder(AT_FDCWD, trash, true);
    }
    topFolder = TopFolder(folder, device);
    const TFd top(::open(topFolder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (top.get() < 0)
        return -1;
    const QByteArray uid = QByteArray::number(::geteuid());
    // A .Trash the administrator made for everybody counts only as a real folder with the
    // sticky bit, which keeps its users out of each other's folders.
    const TFd shared(
        ::openat(top.get(), ".Trash", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat info {};
    if (shared.get() >= 0 && ::fstat(shared.get(), &info) == 0 && (info.st_mode & S_ISVTX) != 0) {
        const int own = OwnFolder(shared.get(), uid);
        if (own >= 0)
            return own;
    }
    return OwnFolder(top.get(), ".Trash-" + uid);
}

// Where a restore puts the file back: its folder without links, and its name; relative to the
// mount point for a volume's own trash, so that the volume may be mounted elsewhere later.
QByteArray OriginalPath(const QString &shown, const QByteArray &topFolder)
{
    const QFileInfo file(shown);
    const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
    QByteArray path =
        QFile::encodeName(QDir(folder.isEmpty() ? QDir::cleanPath(file.absolutePath()) : folder)
                              .filePath(file.fileName()));
    const QByteArray prefix = topFolder == "/" ? topFolder : topFolder + '/';
    if (!topFolder.isEmpty() && path.startsWith(prefix))
        path.remove(0, prefix.size());
    return path;
}

// The name of the file in the trash: its own, or for the second and later of one name
// "Song.2.mp3", "Song.3.mp3" ...; cut, never inside a character, so that the name of its
// info file still fits in a folder.
QByteArray TrashName(const QByteArray &name, int number)
{
    // A dot at the start makes a hidden name, not an extension.
    const qsizetype dot = name.lastIndexOf('.');
    QByteArray base = dot > 0 ? name.left(dot) : name;
    const QByteArray tail = (number > 1 ? "." + QByteArray::number(number) : QByteArray())
        + (dot > 0 ? name.mid(dot) : QByteArray());
    qsizetype room = NAME_MAX - qsizetype(sizeof(InfoSuffix) - 1) - tail.size();
    if (base.size() > room) {
        while (room > 0 && (base.at(room) & 0xC0) == 0x80)
            --room;
        base.truncate(room);
    }
    return base + tail;
}

// Claims the first free trash name by making its info file, exclusively, so that two programs
// trashing at once never share a name; a name whose file lies in files/ without its info file
// is taken too. Returns the name and sets infoFd to the new info file; empty on failure.
QByteArray ClaimName(int infoFolder, int filesFolder, const QByteArray &name, int &infoFd)
{
    for (int number = 1;; ++number) {
        const QByteArray candidate = TrashName(name, number);
        const QByteArray infoName = candidate + InfoSuffix;
        const int fd = ::openat(infoFolder, infoName.constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return {};
        }
        struct stat taken {};
        if (::fstatat(filesFolder, candidate.constData(), &taken, AT_SYMLINK_NOFOLLOW) == 0) {
            ::close(fd);
            ::unlinkat(infoFolder, infoName.constData(), 0);
            continue;
        }
        infoFd = fd;
        return candidate;
    }
}

QByteArray InfoText(const QByteArray &originalPath)
{
    const QString now =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"));
    return "[Trash Info]\nPath=" + originalPath.toPercentEncoding("/")
        + "\nDeletionDate=" + now.toLatin1() + '\n';
}

// Moves the entry at source to name in the folder without replacing anything there. A file
// system that cannot promise that (NFS) relies on the check made when the name was claimed.
bool MoveInto(const QByteArray &source, int folder, const QByteArray &name)
{
    if (::renameat2(AT_FDCWD, source.constData(), folder, name.constData(), RENAME_NOREPLACE) == 0)
        return true;
    return errno == EINVAL
        && ::renameat(AT_FDCWD, source.constData(), folder, name.constData()) == 0;
}

TTrashing Trash(const QString &path, const QString &shownPath)
{
    const QByteArray source = QFile::encodeName(path);
    struct stat file {};
    if (::lstat(source.constData(), &file) != 0)
        return errno == ENOENT ? TTrashing::Gone : TTrashing::Failed;
    if (!S_ISREG(file.st_mode) && !S_ISLNK(file.st_mode))
        return TTrashing::Failed;
    const QString folder = QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath();
    QByteArray topFolder;
    const TFd trash(TrashFolder(QFile::encodeName(folder), file.st_dev, topFolder));
    if (trash.get() < 0)
        return TTrashing::NoTrash;
    const TFd files(OwnFolder(trash.get(), "files"));
    const TFd info(OwnFolder(trash.get(), "info"));
    if (files.get() < 0 || info.get() < 0)
        return TTrashing::NoTrash;

    const QString shown = shownPath.isEmpty() ? path : shownPath;
    int infoFd = -1;
    const QByteArray name =
        ClaimName(info.get(), files.get(), QFile::encodeName(QFileInfo(shown).fileName()), infoFd);
    if (name.isEmpty())
        return TTrashing::Failed;
    TFd infoFile(infoFd);
    const QByteArray text = InfoText(OriginalPath(shown, topFolder));
    // The info file is on the disk before the file moves: after a crash the trash never holds
    // a file that the file manager cannot put back. (Not every file system can sync a folder.)
    const bool written =
        ::write(infoFile.get(), text.constData(), size_t(text.size())) == text.size()
        && ::fsync(infoFile.get()) == 0 && infoFile.Close() == 0;
    if (written)
        ::fsync(info.get());
    if (!written || !MoveInto(source, files.get(), name)) {
        ::unlinkat(info.get(), (name + InfoSuffix).constData(), 0);
        return TTrashing::Failed;
    }
    return TTrashing::Moved;
}

} // namespace

bool MoveToTrash(const QString &path, const QString &shownPath)
{
    return Trash(path, shownPath) == TTrashing::Moved;
}

bool TrashOrDelete(const QString &path, const QString &shownPath)
{
    switch (Trash(path, shownPath)) {
    case TTrashing::Moved:
    case TTrashing::Gone: return true;
    case TTrashing::Failed: return false;
    case TTrashing::NoTrash: break;
    }
    return RemoveFileOrLink(path) == 0;
}
