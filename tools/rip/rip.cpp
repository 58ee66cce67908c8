#include "rip.h"

#include "common/disc_source.h"
#include "common/temporary_file.h"

#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <bit>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

namespace {

constexpr int SectorsPerSecond = 75;
constexpr int SectorBytes = CDIO_CD_FRAMESIZE_RAW;
// cd-paranoia's own default: enough for a drive that is merely slow to settle.
constexpr int MaxRetries = 20;

// Reports progress to the caller. Paranoia's own events carry no user pointer, so the rip in
// progress on this thread is found through t_current.
class TProgress {
public:
    TProgress(int32_t (*progress)(int32_t, int32_t), int32_t user)
        : m_progress(progress), m_user(user), m_lastCall(Clock::now())
    {
        t_current = this;
    }
    ~TProgress() { t_current = nullptr; }
    TProgress(const TProgress &) = delete;
    TProgress &operator=(const TProgress &) = delete;

    // After each sector; false when the caller has asked to stop.
    bool SectorDone()
    {
        ++m_sectors;
        if (m_sectors % SectorsPerSecond == 0)
            Call();
        return !m_stop;
    }
    // Paranoia skips a sector only when its retries are exhausted: the read has failed.
    bool Failed() const { return m_failed; }

    static void OnParanoiaEvent(long, paranoia_cb_mode_t mode)
    {
        if (!t_current)
            return;
        if (mode == PARANOIA_CB_SKIP)
            t_current->m_failed = true;
        // Retries on a damaged disc can take minutes: the caller's window must not freeze.
        else if (Clock::now() - t_current->m_lastCall >= std::chrono::seconds(1))
            t_current->Call();
    }

private:
    using Clock = std::chrono::steady_clock;

    void Call()
    {
        m_lastCall = Clock::now();
        if (m_progress && !m_stop && m_progress(m_sectors / SectorsPerSecond, m_user) == 1)
            m_stop = true;
    }

    static thread_local TProgress *t_current;
    int32_t (*m_progress)(int32_t, int32_t);
    int32_t m_user;
    Clock::time_point m_lastCall;
    long m_sectors = 0;
    bool m_stop = false;
    bool m_failed = false;
};

thread_local TProgress *TProgress::t_current = nullptr;

struct TDriveCloser {
    void operator()(cdrom_drive_t *drive) const { cdio_cddap_close(drive); }
};
struct TParanoiaFreer {
    void operator()(cdrom_paranoia_t *paranoia) const { cdio_paranoia_free(paranoia); }
};
struct TFileCloser {
    void operator()(FILE *file) const { std::fclose(file); }
};
using TDrive = std::unique_ptr<cdrom_drive_t, TDriveCloser>;

void PutLittleEndian(std::string &bytes, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes += char((value >> (8 * i)) & 0xFF);
}

// The canonical 44-byte header of 44.1 kHz 16-bit stereo PCM audio.
std::string WavHeader(uint32_t dataBytes)
{
    std::string header = "RIFF";
    PutLittleEndian(header, 36 + dataBytes, 4);
    header += "WAVEfmt ";
    PutLittleEndian(header, 16, 4);     // format chunk size
    PutLittleEndian(header, 1, 2);      // PCM
    PutLittleEndian(header, 2, 2);      // channels
    PutLittleEndian(header, 44100, 4);  // samples per second
    PutLittleEndian(header, 176400, 4); // bytes per second
    PutLittleEndian(header, 4, 2);      // bytes per sample frame
    PutLittleEndian(header, 16, 2);     // bits per sample
    header += "data";
    PutLittleEndian(header, dataBytes, 4);
    return header;
}

// Paranoia hands samples over in the machine's byte order; WAV wants little-endian.
void ToLittleEndian(int16_t *samples)
{
    if constexpr (std::endian::native == std::endian::big) {
        for (int i = 0; i < SectorBytes / 2; ++i) {
            const auto sample = uint16_t(samples[i]);
            samples[i] = int16_t(uint16_t(sample << 8 | sample >> 8));
        }
    }
}

// The disc opened for reading audio, or null when there is none or it cannot be read.
TDrive OpenDrive(const char *source)
{
    if (!IsDiscSource(source))
        return nullptr;
    TDrive drive(cdio_cddap_identify(source, CDDA_MESSAGE_FORGETIT, nullptr));
    if (drive && cdio_cddap_open(drive.get()) != 0)
        drive.reset();
    return drive;
}

// Reads the sectors first to last into file after the header: 0, or why it failed (EIO for a
// sector that stays unreadable, ECANCELED when the caller asked to stop, the write's error).
int ReadSectors(cdrom_drive_t *drive, lsn_t first, lsn_t last, FILE *file, TProgress &progress)
{
    std::unique_ptr<cdrom_paranoia_t, TParanoiaFreer> paranoia(cdio_paranoia_init(drive));
    if (!paranoia)
        return EIO;
    // Full paranoia, except that a sector whose retries are exhausted is reported to us as a
    // skip instead of being retried for ever; we then fail rather than keep the gap.
    cdio_paranoia_modeset(paranoia.get(), PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
    cdio_paranoia_seek(paranoia.get(), first, SEEK_SET);
    for (lsn_t sector = first; sector <= last; ++sector) {
        int16_t *samples =
            cdio_paranoia_read_limited(paranoia.get(), TProgress::OnParanoiaEvent, MaxRetries);
        if (!samples || progress.Failed())
            return EIO;
        ToLittleEndian(samples);
        if (std::fwrite(samples, SectorBytes, 1, file) != 1)
            return errno ? errno : EIO;
        if (!progress.SectorDone())
            return ECANCELED;
    }
    return 0;
}

// The system's error of a failed call, never 0.
int LastError()
{
    return errno ? errno : EIO;
}

// 0 when the track is extracted, else why not, as an errno value.
int Extract(const char *source, int32_t track, std::string folder,
            int32_t (*progressCallback)(int32_t, int32_t), int32_t user)
{
    if (track < 1 || track > 99)
        return ENOENT;
    const TDrive drive = OpenDrive(source);
    if (!drive)
        return ENOMEDIUM;
    if (cdio_cddap_track_audiop(drive.get(), track_t(track)) != 1)
        return ENOENT;
    const lsn_t first = cdio_cddap_track_firstsector(drive.get(), track_t(track));
    const lsn_t last = cdio_cddap_track_lastsector(drive.get(), track_t(track));
    if (first < 0 || last < first)
        return EIO;

    // The name is formed inside the folder even when the caller left out the final "/".
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    char name[16];
    std::snprintf(name, sizeof name, "Track%02d.wav", int(track));
    const std::string target = folder + name;
    errno = 0;
    TTemporaryFile temporary(target);
    if (temporary.path().empty())
        return LastError();
    std::unique_ptr<FILE, TFileCloser> file(std::fopen(temporary.path().c_str(), "wb"));
    if (!file)
        return LastError();
    std::setvbuf(file.get(), nullptr, _IOFBF, SectorsPerSecond * SectorBytes);

    const std::string header = WavHeader(uint32_t(last - first + 1) * SectorBytes);
    TProgress progress(progressCallback, user);
    errno = 0;
    if (std::fwrite(header.data(), header.size(), 1, file.get()) != 1)
        return LastError();
    if (const int error = ReadSectors(drive.get(), first, last, file.get(), progress))
        return error;
    errno = 0;
    if (std::fclose(file.release()) != 0 || !temporary.RenameTo(target))
        return LastError();
    return 0;
}

} // namespace

extern "C" int32_t ExtractTrackTo(const char *drive, int32_t track, const char *targetFolder,
                                  int32_t (*progress)(int32_t seconds, int32_t user), int32_t user)
{
    int error = EINVAL;
    // No exception may cross into the caller, which is not necessarily C++.
    try {
        if (drive && targetFolder)
            error = Extract(drive, track, targetFolder, progress, user);
    } catch (...) {
        error = ENOMEM;
    }
    errno = error;
    return error == 0 ? 1 : 0;
}
