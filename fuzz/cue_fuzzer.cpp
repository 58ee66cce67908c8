// CUE sheets standing for a disc of 12 seconds, whatever they say: a sheet the disc-source
// check refuses never reaches libcdio, and one it passes is read by the program and by the CD
// information tool with every track inside the disc's data, in order.

#include "cddb/disc.h"
#include "cddb/musicbrainz_lookup.h"
#include "common/disc_source.h"
#include "fuzz_support.h"
#include "platform/audio_cd.h"

#include <cdio/logging.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

constexpr int DiscSectors = 12 * 75;

void Quiet(cdio_log_level_t, const char *) {}

char g_folder[] = "/tmp/fuzz-cue-XXXXXX";

void RemoveDisc()
{
    for (const char *name : {"/disc.cue", "/disc.bin"})
        std::remove((std::string(g_folder) + name).c_str());
    rmdir(g_folder);
}

// "disc.cue" and its 12-second "disc.bin" in a folder of their own, removed at the end.
std::string MakeDisc()
{
    FUZZ_CHECK(mkdtemp(g_folder));
    std::atexit(RemoveDisc);
    FILE *bin = std::fopen((std::string(g_folder) + "/disc.bin").c_str(), "wb");
    FUZZ_CHECK(bin && std::fseek(bin, DiscSectors * 2352 - 1, SEEK_SET) == 0);
    FUZZ_CHECK(std::fputc(0, bin) == 0 && std::fclose(bin) == 0);
    return std::string(g_folder) + "/disc.cue";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string sheet = MakeDisc();
    cdio_log_set_handler(Quiet);
    FILE *file = std::fopen(sheet.c_str(), "wb");
    FUZZ_CHECK(file && std::fwrite(data, 1, size, file) == size && std::fclose(file) == 0);

    const bool accepted = IsDiscSource(sheet);
    const TDiscContents contents = ReadDiscContents(QString::fromStdString(sheet));
    FUZZ_CHECK(accepted || contents.Kind == TDiscKind::None);
    TDisc disc;
    std::string error;
    if (!ReadDisc(sheet, true, disc, error))
        return 0;
    FUZZ_CHECK(accepted);
    const TDiscToc &toc = disc.Toc;
    FUZZ_CHECK(toc.First >= 1 && toc.Last() <= 99 && toc.LeadOut <= DiscSectors);
    for (size_t i = 0; i < toc.Starts.size(); ++i)
        FUZZ_CHECK(toc.Starts[i] >= (i == 0 ? 0 : toc.Starts[i - 1] + 1)
                   && toc.Starts[i] < toc.LeadOut);
    MusicBrainzDiscId(toc);
    return 0;
}
