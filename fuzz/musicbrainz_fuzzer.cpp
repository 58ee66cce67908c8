// MusicBrainz answers to the lookup of a disc, whatever the server sends: every title found
// belongs to one of the disc's tracks.

#include "cddb/musicbrainz_lookup.h"
#include "fuzz_support.h"

#include <cstdlib>

// Never through a proxy of the machine's.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    unsetenv("http_proxy");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static TLoopbackServer server;
    static const TDiscToc toc = LookupToc();
    server.SetAnswers({std::string(reinterpret_cast<const char *>(data), size)});
    const TServer musicBrainz{true, "127.0.0.1", server.Port(), ""};
    LookUpMusicBrainz(musicBrainz, toc, [](const TDescription &description) {
        for (const auto &[track, title] : description.Titles)
            FUZZ_CHECK(track >= toc.First && track <= toc.Last() && !title.empty());
    });
    return 0;
}
