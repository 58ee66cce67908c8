#include "disc_image.h"

#include <QDir>
#include <QFile>

#include <array>
#include <cmath>

namespace TestDisc {

static const std::array<qint16, 4096> &SineTable()
{
    static const std::array<qint16, 4096> table = [] {
        std::array<qint16, 4096> values{};
        for (size_t i = 0; i < values.size(); ++i)
            values[i] = qint16(std::lround(12000 * std::sin(2 * M_PI * double(i) / 4096)));
        return values;
    }();
    return table;
}

QByteArray TrackSamples(int trackNumber, int sectors)
{
    const std::array<qint16, 4096> &sine = SineTable();
    const qint64 frames = qint64(sectors) * SectorBytes / 4;
    QByteArray bytes(frames * 4, Qt::Uninitialized);
    auto *out = reinterpret_cast<uchar *>(bytes.data());
    // A chirp per channel whose pitch rises slowly from a start that differs per track.
    quint32 left = 0, right = 0;
    const auto base = quint32(trackNumber) * 3000000u;
    for (qint64 i = 0; i < frames; ++i) {
        left += base + 40000000u + quint32(i) * 16u;
        right += base + 25000000u + quint32(i) * 11u;
        for (const quint32 phase : {left, right}) {
            const auto value = quint16(sine[phase >> 20]);
            *out++ = uchar(value & 0xFF);
            *out++ = uchar(value >> 8);
        }
    }
    return bytes;
}

// A position on the disc as minutes:seconds:frames.
static QByteArray Msf(qint64 sector)
{
    return QStringLiteral("%1:%2:%3")
        .arg(sector / (60 * SectorsPerSecond), 2, 10, QLatin1Char('0'))
        .arg(sector / SectorsPerSecond % 60, 2, 10, QLatin1Char('0'))
        .arg(sector % SectorsPerSecond, 2, 10, QLatin1Char('0'))
        .toLatin1();
}

static QByteArray CdText(const QByteArray &indent, const QString &title, const QString &performer)
{
    QByteArray lines;
    if (!title.isEmpty())
        lines += indent + "TITLE \"" + title.toLatin1() + "\"\n";
    if (!performer.isEmpty())
        lines += indent + "PERFORMER \"" + performer.toLatin1() + "\"\n";
    return lines;
}

QString WriteDiscImage(const QString &folder, const QString &name, const TDisc &disc)
{
    const QString cuePath = QDir(folder).filePath(name + QStringLiteral(".cue"));
    QFile bin(QDir(folder).filePath(name + QStringLiteral(".bin")));
    if (!bin.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    QByteArray cue = CdText("", disc.title, disc.performer);
    cue += "FILE \"" + QFile::encodeName(name) + ".bin\" BINARY\n";
    qint64 start = 0;
    for (qsizetype i = 0; i < disc.tracks.size(); ++i) {
        const TTrack &track = disc.tracks[i];
        const auto number = int(i + 1);
        cue += QStringLiteral("  TRACK %1 %2\n")
                   .arg(number, 2, 10, QLatin1Char('0'))
                   .arg(track.data ? QStringLiteral("MODE1/2352") : QStringLiteral("AUDIO"))
                   .toLatin1();
        cue += CdText("    ", track.title, track.performer);
        cue += "    INDEX 01 " + Msf(start) + '\n';
        const QByteArray content = track.data
            ? QByteArray(qsizetype(track.sectors) * SectorBytes, '\0')
            : TrackSamples(number, track.sectors);
        if (bin.write(content) != content.size())
            return QString();
        start += track.sectors;
    }
    QFile cueFile(cuePath);
    if (!bin.flush() || !cueFile.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || cueFile.write(cue) != cue.size())
        return QString();
    return cuePath;
}

} // namespace TestDisc
