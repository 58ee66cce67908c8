#include "platform/audio_cd.h"

#include "common/disc_source.h"

#include <QFile>
#include <QMutexLocker>

#include <cdio/cdio.h>
#include <cdio/logging.h>

#include <memory>
#include <mutex>

namespace {

struct TCdioCloser {
    void operator()(CdIo_t *cdio) const { cdio_destroy(cdio); }
};

// libcdio writes its warnings (a CUE sheet it cannot parse ...) to standard error; what the
// user must know, the pages show.
void Quiet(cdio_log_level_t, const char *) {}

} // namespace

TDiscContents ReadDiscContents(const QString &source)
{
    static std::once_flag quiet;
    std::call_once(quiet, [] { cdio_log_set_handler(Quiet); });
    const QByteArray path = QFile::encodeName(source);
    if (source.isEmpty() || !IsDiscSource(path.toStdString()))
        return {};
    const std::unique_ptr<CdIo_t, TCdioCloser> cdio(cdio_open(path.constData(), DRIVER_UNKNOWN));
    if (!cdio)
        return {};
    const track_t first = cdio_get_first_track_num(cdio.get());
    const track_t count = cdio_get_num_tracks(cdio.get());
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0)
        return {};
    TDiscContents contents;
    bool data = false;
    for (int track = first; track < first + count; ++track) {
        if (cdio_get_track_format(cdio.get(), track_t(track)) == TRACK_FORMAT_AUDIO)
            contents.AudioTracks.append(track);
        else
            data = true;
    }
    contents.Kind = contents.AudioTracks.isEmpty() ? TDiscKind::Data
        : data                                     ? TDiscKind::Mixed
                                                   : TDiscKind::Audio;
    return contents;
}

QString CdTrackFileName(int number)
{
    return QStringLiteral("Track%1.cda").arg(number, 2, 10, QLatin1Char('0'));
}

TDiscContents TDiscCache::Contents(const QString &source, const QString &stamp)
{
    {
        const QMutexLocker lock(&m_mutex);
        const auto found = m_entries.constFind(source);
        if (found != m_entries.constEnd() && found->stamp == stamp)
            return found->contents;
    }
    // Read without the lock: a slow drive must not hold up the questions about other drives.
    const TDiscContents contents = ReadDiscContents(source);
    const QMutexLocker lock(&m_mutex);
    ++m_reads;
    m_entries.insert(source, {stamp, contents});
    return contents;
}

void TDiscCache::Forget(const QString &source)
{
    const QMutexLocker lock(&m_mutex);
    m_entries.remove(source);
}

int TDiscCache::Reads() const
{
    const QMutexLocker lock(&m_mutex);
    return m_reads;
}

TDiscCache &DiscCache()
{
    static TDiscCache cache;
    return cache;
}
