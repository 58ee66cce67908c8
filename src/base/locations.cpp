#include "base/locations.h"

#include "base/errors.h"

#include <QCoreApplication>
#include <QDir>

#include <cerrno>
#include <sys/stat.h>

static QString &ProgramFolderOverride()
{
    static QString folder;
    return folder;
}

QString ProgramFolder()
{
    QString folder = ProgramFolderOverride();
    if (folder.isEmpty())
        folder = QCoreApplication::applicationDirPath();
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

void SetProgramFolder(const QString &folder)
{
    ProgramFolderOverride() = folder;
}

QString DataFolder()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        const QString home = qEnvironmentVariable("HOME");
        if (home.isEmpty())
            throw EQuavermill(QStringLiteral("System HRESULT failure."));
        base = home + QStringLiteral("/.local/share");
    }
    const QString folder = QDir::cleanPath(base) + QLatin1Char('/') + QLatin1String(ProductName);
    if (!QDir(folder).exists() && !QDir().mkpath(folder)) {
        const int error = errno ? errno : EACCES;
        throw ESystemError(error, folder);
    }
    return folder;
}

QString DataFile(const QString &name)
{
    return DataFolder() + QLatin1Char('/') + name;
}

QString DefaultStorageFolder()
{
    return DataFile(QStringLiteral("Library"));
}
