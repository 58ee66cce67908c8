#pragma once

#include <QHash>
#include <QList>
#include <QMutex>
#include <QString>

// What an optical disc holds, as its table of contents says.
enum class TDiscKind { None, Audio, Data, Mixed };

struct TDiscContents {
    TDiscKind Kind = TDiscKind::None; // None: no disc, or one whose contents cannot be read
    QList<int> AudioTracks;           // the numbers of its audio tracks, first track first
};

// Reads the table of contents of the disc in source, which libcdio opens: a drive's device
// ("/dev/sr0") or a CUE sheet standing for a disc. What IsDiscSource refuses is never opened
// (a named pipe would block the read for ever) and reads as no disc.
TDiscContents ReadDiscContents(const QString &source);

// The file an audio track shows as in its drive's root: "Track01.cda" for track 1.
QString CdTrackFileName(int number);

// The contents of the discs in the drives, read once per inserted disc: reading a table of
// contents may spin a drive up, while the volumes are asked for every second. Safe to use from
// any thread.
class TDiscCache {
public:
    // The contents of the disc in source. They are read when none are remembered for source or
    // when stamp differs from the stamp they were read under (a CUE sheet that was rewritten).
    TDiscContents Contents(const QString &source, const QString &stamp = QString());
    // The drive holds no disc, or another one: what it held is read again when next asked.
    void Forget(const QString &source);
    // How many tables of contents were read.
    int Reads() const;

private:
    struct TEntry {
        QString stamp;
        TDiscContents contents;
    };
    mutable QMutex m_mutex;
    QHash<QString, TEntry> m_entries;
    int m_reads = 0;
};

// The one cache of the process, which the volume sources share.
TDiscCache &DiscCache();
