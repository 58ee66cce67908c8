// MusicBrainz answers to the lookup of a disc, whatever the server sends: every title found
// belongs to one of the disc's tracks.

#include "cddb/musicbrainz_lookup.h"
#include "fuzz_support.h"

#include <cstdlib>

namespace {

// Tracks of 3, 4 and 5 seconds, as the seed answers' disc id says.
TDiscToc TestToc()
{
    TDiscToc toc;
    toc.Starts = {0, 225, 525};
    toc.Audio = {true, true, true};
    toc.LeadOut = 900;
    return toc;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Never through a proxy of the machine's.
    static const int unset = unsetenv("http_proxy");
    static TLoopbackServer server;
    static const TDiscToc toc = TestToc();
    (void)unset;
    server.SetAnswers({std::string(reinterpret_cast<const char *>(data), size)});
    const TServer musicBrainz{true, "127.0.0.1", server.Port(), ""};
    LookUpMusicBrainz(musicBrainz, toc, [](const TDescription &description) {
        for (const auto &[track, title] : description.Titles)
            FUZZ_CHECK(track >= toc.First && track <= toc.Last() && !title.empty());
    });
    return 0;
}
