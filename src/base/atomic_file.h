#pragma once

#include "base/regular_file.h"

#include <QByteArray>
#include <QString>

// Whether a finished file must reach the disk before it takes the old one's place.
enum class TWriteSync {
    Durable,   // synced: the catalog and playlists, which hold the user's work
    Transient, // not synced: exchange files that a tool reads at once
};

// A file written whole or not at all. The bytes go to a temporary file beside the target,
// which takes the target's place on Commit; a read-only target is still replaced and keeps
// its permissions plus the owner's write. A symbolic link stays and the file it points to is
// the target, unless links say NoFollow: then the link itself is replaced. Without Commit (or
// when anything fails) the old file stays as it was and no temporary file is left; one that a
// killed writer leaves is named so that RemoveStaleTemporaryFiles finds it. Failures raise
// ESystemError.
class TAtomicFile {
public:
    explicit TAtomicFile(const QString &path, TLinks links = TLinks::Follow);
    ~TAtomicFile();
    TAtomicFile(const TAtomicFile &) = delete;
    TAtomicFile &operator=(const TAtomicFile &) = delete;

    void Write(QByteArrayView bytes);
    void Commit(TWriteSync sync);

private:
    void Flush();
    [[noreturn]] void Fail(int error);

    QString m_path;
    QByteArray m_target;
    QByteArray m_temporary;
    QByteArray m_buffer;
    int m_fd = -1;
};

// The system takes a path only up to a NUL and would use another file while reporting
// success (a playlist named "mp3_library.dat" + NUL + "x" would replace the catalog).
void RefuseNulInPath(const QString &path);

// A second name for the regular file at path, beside it, named as this process's temporary
// files are (so that RemoveStaleTemporaryFiles takes it away should the process die): the
// file's content outlives a TAtomicFile that replaces it, until the caller lets it go. Empty
// when path is no regular file or its file system has no hard links. Raises as
// RefuseNulInPath does.
QString LinkAside(const QString &path);

// Removes the temporary files of TAtomicFile in folder whose writer has ended without
// finishing them (killed, or the machine went down); files still being written stay.
void RemoveStaleTemporaryFiles(const QString &folder);
