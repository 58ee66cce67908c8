#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// Generated audio files for the tests and benchmarks of the tools.
namespace TestMedia {

// Silent MPEG-1 layer III frames (128 kbit/s, 44.1 kHz, 417 bytes each), no tag. A reader
// needs two frames in a row to accept the file as audio.
QByteArray SilentMp3(int frames = 10);
// A 128-byte ID3v1 tag.
QByteArray Id3v1(const QByteArray &title, const QByteArray &artist, const QByteArray &album);
// An ID3v2 tag of major version 2, 3 or 4 holding the frames (id, body) in order, with the
// sizes written as that version wants them. unsynchronised applies the whole-tag
// unsynchronisation of versions 2 and 3; extendedHeader goes before the frames as it is.
// A frame's flags (versions 3 and 4) follow its size as they are; the body must fit them.
struct TId3Frame {
    QByteArray id;
    QByteArray body;
    quint16 flags = 0;
};
QByteArray Id3v2(int version, const QList<TId3Frame> &frames, bool unsynchronised = false,
                 const QByteArray &extendedHeader = QByteArray());
// An APEv2 tag with header and footer holding the text items (key, value) in order.
QByteArray ApeTag(const QList<QPair<QByteArray, QString>> &items);
// An MP3 file of about size bytes (at least two frames) as taggers leave it: an ID3v2.3 tag
// holding the four texts "<what> title <number>", "<what> artist", "<what> album" and
// "<what> composer" in Latin-1 and 1 KB of padding, then silent frames.
QByteArray TaggedMp3(const QString &what, int number, qint64 size);
// Text frame bodies: encoding byte, then the text.
QByteArray Latin1Text(const QString &text);
QByteArray Utf16Text(const QString &text, bool bigEndian = false);
QByteArray Utf8Text(const QString &text);
// A 16-bit PCM WAV file holding a tone; frames counts samples per channel.
QByteArray Wav(int sampleRate, int channels, qint64 frames);
// Just the 44-byte header of such a WAV file.
QByteArray WavHeader(int sampleRate, int channels, qint64 frames);
bool WriteFile(const QString &path, const QByteArray &bytes);
QByteArray ReadFile(const QString &path);

// Samples per channel that FFmpeg decodes from the file, and its sample rate; -1 when the
// file does not decode.
qint64 DecodedSamples(const QString &path, int *sampleRate = nullptr);

// Copies the named tools of the build's program folder into folder. A copy, not a link: a
// tool finds its exchange files beside its own program file.
bool InstallTools(const QString &folder, const QStringList &tools);

} // namespace TestMedia
