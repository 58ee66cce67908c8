#include "import/tag_room.h"

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
    quint32 size = 0;
    for (int at = 6; at < HeaderSize; ++at)
        size = (size << 7) | (byte(at) & 0x7F);
    const bool sizeIsSyncSafe = ((byte(6) | byte(7) | byte(8) | byte(9)) & 0x80) == 0;
    // The extended header of version 2.3 counts the padding, and padding must not follow a
    // footer: such tags are copied as they are.
    if (!header.startsWith("ID3") || (version != 3 && version != 4) || byte(4) == 0xFF
        || (flags & 0x50) != 0 || !sizeIsSyncSafe || size > LargestTagRead
        || size + quint32(TagRoom) > LargestTag)
        return {};
    const QByteArray body = ReadAt(source, HeaderSize, size);
    if (body.size() < qint64(size))
        return {};
    return {header.left(6) + SyncSafe(size + quint32(TagRoom)) + body + QByteArray(TagRoom, '\0'),
            HeaderSize + size};
}
