#include "base/folder_listing.h"

#include <QFile>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

static TEntryKind KindOf(int dirFd, const char *name, unsigned char type)
{
    struct stat info;
    if (type == DT_UNKNOWN) {
        if (::fstatat(dirFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            return TEntryKind::Other;
        type = S_ISLNK(info.st_mode) ? DT_LNK
            : S_ISREG(info.st_mode)  ? DT_REG
            : S_ISDIR(info.st_mode)  ? DT_DIR
                                     : DT_UNKNOWN;
    }
    if (type == DT_LNK) {
        if (::fstatat(dirFd, name, &info, 0) != 0)
            return errno == ENOENT ? TEntryKind::DanglingLink : TEntryKind::Other;
        return S_ISREG(info.st_mode) ? TEntryKind::File : TEntryKind::Other;
    }
    return type == DT_REG ? TEntryKind::File
        : type == DT_DIR  ? TEntryKind::Folder
                          : TEntryKind::Other;
}

TFolderListing ListFolderEntries(const QString &folder)
{
    TFolderListing listing;
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return listing;
    const int dirFd = ::dirfd(dir);
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        TFolderEntry found{QFile::decodeName(name), KindOf(dirFd, name, entry->d_type)};
        const bool faithful = QFile::encodeName(found.Name) == QByteArrayView(name);
        (faithful ? listing.Entries : listing.Unnamed).append(std::move(found));
    }
    ::closedir(dir);
    return listing;
}
