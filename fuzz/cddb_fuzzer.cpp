// Answers of a CDDB server over HTTP, whatever it sends: the query's answer, then the answers
// to the reads of the entries it names, each ended by a NUL byte in the input.

#include "cddb/cddb_lookup.h"
#include "fuzz_support.h"

#include <cddb/cddb.h>

namespace {

void Quiet(cddb_log_level_t, const char *) {}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static TLoopbackServer server;
    static const TDiscToc toc = LookupToc();
    cddb_log_set_handler(Quiet);
    server.SetAnswers(SplitInput(data, size, 8));
    const TServer cddb{true, "127.0.0.1", server.Port(), "/~cddb/cddb.cgi"};
    LookUpCddb(cddb, "", toc, [](const TDescription &) {});
    return 0;
}
