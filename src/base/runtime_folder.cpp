#include "base/runtime_folder.h"

#include "base/errors.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Why the folder is not private to this user; empty when it is.
QString NotPrivate(const struct stat &info)
{
    if (!S_ISDIR(info.st_mode))
        return QStringLiteral("it is not a folder");
    if (info.st_uid != ::geteuid())
        return QStringLiteral("it belongs to another user");
    if ((info.st_mode & 0777) != 0700)
        return QStringLiteral("other users can reach it (its mode is not 0700)");
    return QString();
}

bool IsPrivate(const QString &folder)
{
    struct stat info;
    return !folder.isEmpty() && QDir::isAbsolutePath(folder)
        && ::stat(QFile::encodeName(folder).constData(), &info) == 0 && NotPrivate(info).isEmpty();
}

} // namespace

QString RuntimeFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (IsPrivate(runtime))
        return QDir::cleanPath(runtime);
    const QString folder = QDir::tempPath() + QStringLiteral("/quavermill-%1").arg(::geteuid());
    const QByteArray name = QFile::encodeName(folder);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        throw ESystemError(errno, QStringLiteral("Cannot create %1").arg(folder));
    // Not followed: a link planted there by another user could lead anywhere.
    struct stat info;
    if (::lstat(name.constData(), &info) != 0)
        throw ESystemError(errno, QStringLiteral("Cannot use %1").arg(folder));
    const QString reason =
        S_ISLNK(info.st_mode) ? QStringLiteral("it is a link") : NotPrivate(info);
    if (!reason.isEmpty())
        throw EQuavermill(QStringLiteral("Cannot use %1: %2").arg(folder, reason));
    return folder;
}
