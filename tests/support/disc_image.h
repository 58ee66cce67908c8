#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Generated audio CDs: a CUE sheet with one BIN file, which libcdio opens as a disc in a drive.
namespace TestDisc {

inline constexpr int SectorsPerSecond = 75;
inline constexpr int SectorBytes = 2352;

// CD-TEXT texts that are empty are left out of the CUE sheet.
struct TTrack {
    TTrack(int sectors_, bool data_ = false, const QString &title_ = QString(),
           const QString &performer_ = QString())
        : sectors(sectors_), data(data_), title(title_), performer(performer_)
    {}
    int sectors;
    bool data; // a data track (zeros) instead of audio
    QString title;
    QString performer;
};

struct TDisc {
    TDisc(const QList<TTrack> &tracks_, const QString &title_ = QString(),
          const QString &performer_ = QString())
        : tracks(tracks_), title(title_), performer(performer_)
    {}
    QList<TTrack> tracks;
    QString title;
    QString performer;
};

// Writes folder/name.cue and folder/name.bin and returns the CUE sheet's path, or the empty
// text on failure. The CD-TEXT is written in Latin-1, the character set libcdio reads a CUE
// sheet in.
QString WriteDiscImage(const QString &folder, const QString &name, const TDisc &disc);

// The samples of audio track trackNumber as they lie in the image: 16-bit little-endian
// stereo. No two tracks and no two stretches of one track are alike, so a rip can be compared
// byte for byte; the signal is smooth, as music is.
QByteArray TrackSamples(int trackNumber, int sectors);

} // namespace TestDisc
