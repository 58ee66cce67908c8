#include "base/runtime_folder.h"

#include "base/errors.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

static QString WhyNotPrivate(const QByteArray &path)
{
    struct stat info;
    if (::lstat(path.constData(), &info) != 0)
        return SystemErrorText(errno);
    if (S_ISLNK(info.st_mode))
        return QStringLiteral("it is a link");
    if (!S_ISDIR(info.st_mode))
        return QStringLiteral("it is not a folder");
    if (info.st_uid != ::geteuid())
        return QStringLiteral("it belongs to another user");
    if ((info.st_mode & 077) != 0)
        return QStringLiteral("other users can reach it");
    return QString();
}

QString MakePrivateFolder(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return SystemErrorText(errno);
    return WhyNotPrivate(path);
}

QString RuntimeFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && WhyNotPrivate(QFile::encodeName(runtime)).isEmpty())
        return QDir::cleanPath(runtime);
    const QString folder = QDir::tempPath() + QStringLiteral("/quavermill-%1").arg(::geteuid());
    const QString reason = MakePrivateFolder(folder);
    if (!reason.isEmpty())
        throw EQuavermill(QStringLiteral("Cannot use %1: %2").arg(folder, reason));
    return folder;
}
