#include "platform/volume_table.h"

#include "base/errors.h"
#include "base/regular_file.h"
#include "platform/audio_cd.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

QList<TVolume> ParseVolumeTable(const QString &text, const QString &tableFolder)
{
    static const QRegularExpression blanks(QStringLiteral("[ \\t]+"));
    QList<TVolume> volumes;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        QStringList fields = line.contains(QLatin1Char('\t'))
            ? line.split(QLatin1Char('\t'), Qt::SkipEmptyParts)
            : line.split(blanks, Qt::SkipEmptyParts);
        for (QString &field : fields)
            field = field.trimmed();
        if (fields.size() < 2)
            continue;
        TVolume volume;
        volume.Kind = VolumeKindFromName(fields.at(1));
        if (volume.Kind == TVolumeKind::Unknown)
            continue;
        QString root = QDir::cleanPath(QDir(tableFolder).absoluteFilePath(fields.at(0)));
        volume.Root = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
        volume.Present = fields.size() < 3 || fields.at(2) != QLatin1String("0");
        if (fields.size() > 3)
            volume.CueSheet = QDir(tableFolder).absoluteFilePath(fields.at(3));
        volume.Device = QStringLiteral("table");
        volumes.erase(std::remove_if(volumes.begin(), volumes.end(),
                                     [&](const TVolume &v) { return v.Root == volume.Root; }),
                      volumes.end());
        volumes.append(volume);
    }
    std::sort(volumes.begin(), volumes.end(),
              [](const TVolume &a, const TVolume &b) { return a.Root < b.Root; });
    return volumes;
}

// A table's drive holds the disc of its CUE sheet as a real drive holds its disc: its root
// lists the audio tracks, and a sheet that is no readable disc with audio tracks leaves the
// drive without a medium. The sheet is read again only once it has changed.
static void InsertDisc(TVolume &volume)
{
    if (!volume.Present) {
        DiscCache().Forget(volume.CueSheet);
        return;
    }
    const QFileInfo sheet(volume.CueSheet);
    const QString stamp = QString::number(sheet.lastModified().toMSecsSinceEpoch())
        + QLatin1Char(':') + QString::number(sheet.size());
    volume.AudioTracks = DiscCache().Contents(volume.CueSheet, stamp).AudioTracks;
    volume.Present = volume.HoldsAudioDisc();
}

QList<TVolume> TTableVolumeSource::ReadVolumes()
{
    QByteArray table;
    try {
        table = ReadRegularFile(m_path);
    } catch (const EQuavermill &) {
        return {};
    }
    QList<TVolume> volumes =
        ParseVolumeTable(QString::fromUtf8(table), QFileInfo(m_path).absolutePath());
    for (TVolume &volume : volumes) {
        if (!volume.CueSheet.isEmpty())
            InsertDisc(volume);
    }
    return volumes;
}
