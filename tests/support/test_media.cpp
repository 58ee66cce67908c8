#include "test_media.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cmath>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace TestMedia {

QByteArray SilentMp3(int frames)
{
    QByteArray frame(417, '\0');
    frame[0] = char(0xFF);
    frame[1] = char(0xFB);
    frame[2] = char(0x90);
    frame[3] = char(0x64);
    return frame.repeated(frames);
}

QByteArray Id3v1(const QByteArray &title, const QByteArray &artist, const QByteArray &album)
{
    QByteArray tag("TAG");
    for (const QByteArray &field : {title, artist, album})
        tag += field.left(30).leftJustified(30, '\0');
    tag += QByteArray(4 + 30, '\0'); // year, comment
    tag += char(0xFF);               // no genre
    return tag;
}

static QByteArray SyncSafe(quint32 value)
{
    QByteArray bytes;
    for (int shift = 21; shift >= 0; shift -= 7)
        bytes += char((value >> shift) & 0x7F);
    return bytes;
}

static QByteArray BigEndian(quint32 value, int size)
{
    QByteArray bytes;
    for (int i = size - 1; i >= 0; --i)
        bytes += char((value >> (8 * i)) & 0xFF);
    return bytes;
}

QByteArray Id3v2(int version, const QList<TId3Frame> &frames, bool unsynchronised,
                 const QByteArray &extendedHeader)
{
    QByteArray body = extendedHeader;
    for (const TId3Frame &frame : frames) {
        const auto size = quint32(frame.body.size());
        body += frame.id;
        body += version == 2 ? BigEndian(size, 3)
            : version == 3   ? BigEndian(size, 4)
                             : SyncSafe(size);
        if (version > 2)
            body += BigEndian(frame.flags, 2);
        body += frame.body;
    }
    if (unsynchronised)
        body.replace(QByteArray("\xff", 1), QByteArray("\xff\x00", 2));
    const char flags = char((unsynchronised ? 0x80 : 0) | (extendedHeader.isEmpty() ? 0 : 0x40));
    return "ID3" + QByteArray(1, char(version)) + QByteArray(1, '\0') + QByteArray(1, flags)
        + SyncSafe(quint32(body.size())) + body;
}

static void AppendLe(QByteArray &bytes, quint32 value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes += char((value >> (8 * i)) & 0xFF);
}

QByteArray ApeTag(const QList<QPair<QByteArray, QString>> &items)
{
    QByteArray body;
    for (const auto &[key, value] : items) {
        const QByteArray text = value.toUtf8();
        AppendLe(body, quint32(text.size()), 4);
        AppendLe(body, 0, 4); // UTF-8 text
        body += key + '\0' + text;
    }
    const auto frame = [&](quint32 flags) {
        QByteArray bytes("APETAGEX");
        AppendLe(bytes, 2000, 4);
        AppendLe(bytes, quint32(body.size() + 32), 4); // items and footer
        AppendLe(bytes, quint32(items.size()), 4);
        AppendLe(bytes, flags, 4);
        return bytes + QByteArray(8, '\0');
    };
    const quint32 hasHeader = 0x80000000, isHeader = 0x20000000;
    return frame(hasHeader | isHeader) + body + frame(hasHeader);
}

QByteArray TaggedMp3(const QString &what, int number, qint64 size)
{
    const QList<TId3Frame> frames = {
        {"TIT2", Latin1Text(QStringLiteral("%1 title %2").arg(what).arg(number))},
        {"TPE1", Latin1Text(what + QStringLiteral(" artist"))},
        {"TALB", Latin1Text(what + QStringLiteral(" album"))},
        {"TCOM", Latin1Text(what + QStringLiteral(" composer"))},
        {QByteArray("\0\0\0\0", 4), QByteArray(1024 - 10, '\0')},
    };
    const QByteArray tag = Id3v2(3, frames);
    return tag + SilentMp3(std::max(2, int((size - tag.size()) / 417)));
}

QByteArray Latin1Text(const QString &text)
{
    return QByteArray(1, '\0') + text.toLatin1();
}

QByteArray Utf16Text(const QString &text, bool bigEndian)
{
    QByteArray bytes(1, bigEndian ? '\2' : '\1');
    if (!bigEndian)
        bytes += "\xff\xfe";
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

QByteArray Utf8Text(const QString &text)
{
    return '\3' + text.toUtf8();
}

QByteArray WavHeader(int sampleRate, int channels, qint64 frames)
{
    const quint32 dataSize = quint32(frames * channels * 2);
    QByteArray header("RIFF");
    AppendLe(header, 36 + dataSize, 4);
    header += "WAVEfmt ";
    AppendLe(header, 16, 4);
    AppendLe(header, 1, 2); // PCM
    AppendLe(header, quint32(channels), 2);
    AppendLe(header, quint32(sampleRate), 4);
    AppendLe(header, quint32(sampleRate * channels * 2), 4);
    AppendLe(header, quint32(channels * 2), 2);
    AppendLe(header, 16, 2);
    header += "data";
    AppendLe(header, dataSize, 4);
    return header;
}

QByteArray Wav(int sampleRate, int channels, qint64 frames)
{
    QByteArray bytes = WavHeader(sampleRate, channels, frames);
    const qsizetype start = bytes.size();
    bytes.resize(start + frames * channels * 2);
    auto *samples = reinterpret_cast<qint16 *>(bytes.data() + start);
    for (qint64 i = 0; i < frames; ++i) {
        const auto value = qint16(8000 * std::sin(2 * M_PI * 440.0 * double(i) / sampleRate));
        for (int c = 0; c < channels; ++c)
            qToLittleEndian(value, samples + i * channels + c);
    }
    return bytes;
}

bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

qint64 DecodedSamples(const QString &path, int *sampleRate)
{
    av_log_set_level(AV_LOG_ERROR);
    AVFormatContext *input = nullptr;
    if (avformat_open_input(&input, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return -1;
    qint64 samples = -1;
    AVCodecContext *decoder = nullptr;
    AVPacket *packet = av_packet_alloc();
    AVFrame *frame = av_frame_alloc();
    const AVCodec *codec = nullptr;
    const int stream = avformat_find_stream_info(input, nullptr) >= 0
        ? av_find_best_stream(input, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0)
        : -1;
    if (stream >= 0 && (decoder = avcodec_alloc_context3(codec))
        && avcodec_parameters_to_context(decoder, input->streams[stream]->codecpar) >= 0
        && avcodec_open2(decoder, codec, nullptr) >= 0) {
        samples = 0;
        const auto drain = [&] {
            while (avcodec_receive_frame(decoder, frame) >= 0)
                samples += frame->nb_samples;
        };
        while (av_read_frame(input, packet) >= 0) {
            if (packet->stream_index == stream && avcodec_send_packet(decoder, packet) >= 0)
                drain();
            av_packet_unref(packet);
        }
        avcodec_send_packet(decoder, nullptr);
        drain();
        if (sampleRate)
            *sampleRate = decoder->sample_rate;
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    avformat_close_input(&input);
    return samples;
}

bool InstallTools(const QString &folder, const QStringList &tools)
{
    for (const QString &tool : tools) {
        const QString target = QDir(folder).filePath(tool);
        QFile::remove(target);
        if (!QFile::copy(QStringLiteral(QUAVERMILL_BIN_DIR "/") + tool, target))
            return false;
    }
    return true;
}

} // namespace TestMedia
