#include "base/locations.h"

#include "base/errors.h"
#include "base/runtime_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The folder an XDG variable names, or home + underHome when it is unset or not absolute (the
// XDG rules ignore relative paths); empty when HOME is not known either.
QString XdgFolder(const char *variable, const char *underHome)
{
    const QString folder = qEnvironmentVariable(variable);
    if (QDir::isAbsolutePath(folder))
        return QDir::cleanPath(folder);
    const QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty())
        return {};
    return QDir::cleanPath(home) + QLatin1Char('/') + QLatin1String(underHome);
}

// Where the system and its packages keep their files. A program folder there is an
// installation shared by everyone (a package run by root would leave its exchange files
// behind in it when the package goes), never an exchange folder.
bool InSystemFolder(const QString &canonical)
{
    static const char *const systemFolders[] = {"/usr", "/opt",   "/etc",   "/bin",    "/sbin",
                                                "/lib", "/lib32", "/lib64", "/libx32", "/boot",
                                                "/srv", "/snap",  "/var"};
    for (const char *system : systemFolders) {
        const QLatin1String folder(system);
        if (canonical == folder || canonical.startsWith(folder + QLatin1Char('/')))
            return true;
    }
    return false;
}

// Whether the exchange files may lie in the program folder: it is the user's own, outside the
// system's folders, its owner may write it and the system lets them (a read-only mount does
// not), and nobody else can change it or a folder above it (one that others may write without
// the sticky bit would let them put a folder of their own in its place). A folder others may
// write (mode 0777, a group-writable installation, a FAT mount) would let them plant links and
// read what passes. The permission bits decide even for root, whom access() lets write
// anywhere: an installation made read-only stays unwritten.
bool OwnPrivateFolder(const QString &folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || InSystemFolder(canonical))
        return false;
    const QByteArray path = QFile::encodeName(canonical);
    struct stat info = {};
    if (lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid()
        || (info.st_mode & S_IWUSR) == 0 || (info.st_mode & (S_IWGRP | S_IWOTH)) != 0
        || faccessat(AT_FDCWD, path.constData(), W_OK, AT_EACCESS) != 0)
        return false;
    for (QDir above(canonical); above.cdUp();) {
        if (lstat(QFile::encodeName(above.path()).constData(), &info) != 0
            || (info.st_uid != geteuid() && info.st_uid != 0)
            || ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (info.st_mode & S_ISVTX) == 0))
            return false;
    }
    return true;
}

// A folder only this user can reach, made with mode 0700 when missing. One that exists must
// be a real folder (not a link), owned by the user and closed to everybody else: exchange
// files name the files to work on and carry their tags, and another user must not plant them.
bool PrivateFolder(const QString &folder)
{
    return MakePrivateFolder(folder).isEmpty();
}

} // namespace

QString ExecutableFolder()
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/');
}

QString DataHome()
{
    return XdgFolder("XDG_DATA_HOME", ".local/share");
}

QString DataFolder()
{
    const QString base = DataHome();
    if (base.isEmpty())
        throw EQuavermill(QStringLiteral("System HRESULT failure."));
    const QString folder = base + QLatin1Char('/') + QLatin1String(ProductName);
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

QString ConfigFile(const QString &programFolder, const char *name)
{
    const QString base = XdgFolder("XDG_CONFIG_HOME", ".config");
    if (!base.isEmpty()) {
        const QString own = base + QLatin1Char('/') + QLatin1String(ProductName) + QLatin1Char('/')
            + QLatin1String(name);
        if (QFileInfo::exists(own))
            return own;
    }
    return programFolder + QLatin1String(name);
}

QString ChooseExchangeFolder(const QString &programFolder)
{
    if (OwnPrivateFolder(programFolder))
        return programFolder;
    const QString name = QStringLiteral("/quavermill");
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime)) {
        const QString folder = QDir::cleanPath(runtime) + name;
        if (PrivateFolder(folder))
            return folder + QLatin1Char('/');
    }
    const QString cache = XdgFolder("XDG_CACHE_HOME", ".cache");
    if (!cache.isEmpty() && QDir().mkpath(cache) && PrivateFolder(cache + name))
        return cache + name + QLatin1Char('/');
    // Nowhere else to go: the tools will fail to write here and report it, as they always did.
    return programFolder;
}

QString ExchangeFolder(const QString &programFolder)
{
    static QString chosenFor;
    static QString folder;
    if (chosenFor != programFolder || folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = ChooseExchangeFolder(programFolder);
        chosenFor = programFolder;
    }
    return folder;
}
