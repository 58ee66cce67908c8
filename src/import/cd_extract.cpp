#include "import/cd_extract.h"

#include "platform/volumes.h"
#include "search/cd_tracks.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <rip.h>

namespace {

// The ripping library's callback carries no pointer of ours, only the run position: the
// extraction in progress keeps its listener here. Extractions never overlap (one copy run on
// the user-interface thread).
const TExtractProgress *g_progress = nullptr;

int32_t ExtractProgress(int32_t seconds, int32_t position)
{
    return g_progress && (*g_progress)(seconds, position) ? 1 : 0;
}

} // namespace

int ExtractCdTrack(const TVolumeList &volumes, const QString &source, const QString &target,
                   int position, const TExtractProgress &progress)
{
    const int number = CdTrackNumber(source);
    const TVolume *volume = volumes.VolumeOf(source);
    // A table's drive without its disc still names the CUE sheet that stood for it.
    if (!volume || !MediaPresent(*volume))
        return ENOMEDIUM;
    if (number == 0)
        return ENOENT;
    const QString folder = QFileInfo(target).path() + QLatin1Char('/');
    g_progress = &progress;
    const int32_t result =
        ExtractTrackTo(QFile::encodeName(volume->DiscSource()).constData(), number,
                       QFile::encodeName(folder).constData(), ExtractProgress, position);
    const int error = errno;
    g_progress = nullptr;
    if (result == 0)
        return error ? error : EIO;
    return QFileInfo(target).isFile() ? 0 : ENOENT;
}
