#pragma once

#include <QByteArray>
#include <QHashFunctions>
#include <QString>

#include <atomic>
#include <functional>

// The space a file takes on its volume: its size rounded up to whole fragments of its file
// system (statvfs's fragment size). 0 when the file or its volume cannot be asked.
quint64 SizeOnDisk(const QString &path);

// How a copy of a file's data ended: 0, or the system's error number and which side failed.
struct TCopyOutcome {
    int Error = 0;
    bool Reading = false; // the source failed (a medium pulled out), not the target
    explicit operator bool() const { return Error == 0; }
};

// What a copy writes first: Prefix, then the source's data from the offset From on.
struct TCopyHead {
    QByteArray Prefix;
    qint64 From = 0;
};

// Copies the data of the regular file at source into a new file at target (which must not
// exist yet), by the kernel's copy where the file systems allow it. A failed copy leaves a
// partial target for the caller to remove. The target gets the user's default permissions.
// The data goes in pieces of a few MB, and stop, when given, is looked at between them: a
// stopped copy ends soon with ECANCELED, even in the middle of a large file. head, when given,
// is asked with the opened source what the copy starts with (from offset 0 when it has no
// answer); it runs on the copying thread.
TCopyOutcome CopyFileData(const QString &source, const QString &target,
                          const std::atomic<bool> *stop = nullptr,
                          const std::function<TCopyHead(int source)> &head = {});

// What a file is, whatever its name: device and inode, as lstat gives them (a link is itself).
struct TFileId {
    quint64 Device = 0;
    quint64 Inode = 0;
    bool operator==(const TFileId &) const = default;
    explicit operator bool() const { return Inode != 0; }
};
inline size_t qHash(const TFileId &id, size_t seed = 0)
{
    return qHashMulti(seed, id.Device, id.Inode);
}
// The identity of what is at path; empty when nothing is there.
TFileId FileIdentity(const QString &path);

// Makes the file owner-writable, as a file about to be changed or deleted must be (a copy from
// a CD carries the disc's read-only mode).
void MakeWritable(const QString &path);

// Deletes the file, or a link itself (never what it points to), at path; a file is made
// owner-writable first, anything else stays. The system's error number, 0 when nothing is left
// at path (also when nothing was there).
int RemoveFileOrLink(const QString &path);

// Flushes every file written on the volume that holds path to the disk; false on failure.
bool SyncVolume(const QString &path);
