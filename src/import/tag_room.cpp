#include "import/tag_room.h"

#include <algorithm>
#include <unistd.h>

namespace {

constexpr qint64 HeaderSize = 10;
constexpr quint32 LargestTag = 0x0FFFFFFF; // what 28 bits of size can say
// Tags larger than this (pictures) are copied as they are rather than held in memory.
constexpr qint64 LargestTagRead = 16 << 20;

QByteArray SyncSafe(quint32 value)
{
    QByteArray bytes;
    for (int shift = 21; shift >= 0; shift -= 7)
        bytes += char((value >> shift) & 0x7F);
    return bytes;
}

QByteArray ReadAt(int source, qint64 offset, qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    qint64 done = 0;
    while (done < size) {
        const ssize_t got =
            ::pread(source, bytes.data() + done, size_t(size - done), offset + done);
        if (got <= 0)
            return {};
        done += got;
    }
    return bytes;
}

quint32 Number(const QByteArray &bytes, qsizetype at, int bitsPerByte)
{
    quint32 value = 0;
    for (qsizetype i = at; i < at + 4; ++i)
        value = (value << bitsPerByte) | quint8(bytes.at(i));
    return value;
}

bool IsSyncSafe(const QByteArray &bytes, qsizetype at)
{
    return ((bytes.at(at) | bytes.at(at + 1) | bytes.at(at + 2) | bytes.at(at + 3)) & 0x80) == 0;
}

// The padding at the end of a tag body: what follows its last whole frame, as readers find
// the frames (version 2.4 sizes in seven bits a byte where they can be).
qint64 Padding(const QByteArray &body, int version)
{
    const auto isNameCharacter = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    };
    qsizetype at = 0;
    while (at + HeaderSize <= body.size()
           && std::all_of(body.begin() + at, body.begin() + at + 4, isNameCharacter)) {
        const quint32 size = version == 4 && IsSyncSafe(body, at + 4) ? Number(body, at + 4, 7)
                                                                      : Number(body, at + 4, 8);
        if (size > quint32(body.size() - at - HeaderSize))
            break;
        at += HeaderSize + qsizetype(size);
    }
    return body.size() - at;
}

} // namespace

TCopyHead RoomForTags(int source)
{
    const QByteArray header = ReadAt(source, 0, HeaderSize);
    if (header.size() < HeaderSize)
        return {};
    const auto byte = [&header](int at) { return quint8(header.at(at)); };
    if (byte(0) == 0xFF && (byte(1) & 0xE0) == 0xE0) {
        return {QByteArray("ID3\x03\x00\x00", 6) + SyncSafe(quint32(TagRoom))
                    + QByteArray(TagRoom, '\0'),
                0};
    }
    const int version = byte(3);
    const quint8 flags = byte(5);
    const quint32 size = Number(header, 6, 7);
    // The extended header of version 2.3 counts the padding, and padding must not follow a
    // footer: such tags are copied as they are.
    if (!header.startsWith("ID3") || (version != 3 && version != 4) || byte(4) == 0xFF
        || (flags & 0x50) != 0 || !IsSyncSafe(header, 6) || size > LargestTagRead
        || size + quint32(TagRoom) > LargestTag)
        return {};
    const QByteArray body = ReadAt(source, HeaderSize, size);
    // A tag that has the room already is copied as it is: a copy that moves the data by some
    // bytes costs the kernel a third more time than one that keeps it in place.
    if (body.size() < qint64(size) || Padding(body, version) >= TagRoom)
        return {};
    return {header.left(6) + SyncSafe(size + quint32(TagRoom)) + body + QByteArray(TagRoom, '\0'),
            HeaderSize + size};
}
