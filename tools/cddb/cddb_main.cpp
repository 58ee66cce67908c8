// The CD information tool: reads "cddb.prm" of the exchange folder, identifies the disc in
// "Drive" and writes "cddb.rslt" there with one "Description" section per description found:
// the disc's own CD-TEXT, then MusicBrainz releases, then CDDB entries, as "cddb.ini" (the
// user's own, else the one beside the tool) asks.
//
// Exit code 0 with whatever the sources gave (possibly none) once they have answered or the
// time limit has passed; 255 with one line on standard error, and no result file, when the
// drive holds no audio disc or the tool is stopped by a signal. The result appears whole or
// not at all.

#include "cddb_lookup.h"
#include "common/tool_common.h"
#include "common/tool_protocol.h"
#include "disc.h"
#include "lookup_settings.h"
#include "lookups.h"
#include "musicbrainz_lookup.h"
#include "results_file.h"
#include "stop_guard.h"

#include <cddb/cddb.h>
#include <cdio/logging.h>

#include <cstdio>
#include <cstdlib>

namespace {

const char ToolName[] = "cddb";

using Clock = std::chrono::steady_clock;
const Clock::time_point g_start = Clock::now();
// The program waits for this tool while it lists a CD: the servers get a few seconds, and
// the tool as a whole never takes more than ten.
const Clock::time_point g_lookupDeadline = g_start + std::chrono::seconds(8);
const Clock::time_point g_hardLimit = g_start + std::chrono::seconds(10);

// The libraries would report their troubles on standard error; the tool reports its own.
void Quiet(cdio_log_level_t, const char *) {}
void Quiet(cddb_log_level_t, const char *) {}

int Work(const std::string &folder, const TExchangeFile &parameters)
{
    // A result left by an earlier run describes another disc: it must not outlive this run.
    const std::string resultPath = folder + "cddb.rslt";
    std::remove(resultPath.c_str());
    const std::string drive =
        parameters.Get(ToolProtocol::ParametersSection, ToolProtocol::DriveKey);
    if (parameters.Get(ToolProtocol::ParametersSection, ToolProtocol::OperationKey)
            != ToolProtocol::CdInfoOperation
        || drive.empty()) {
        BeginEnding();
        return Fail(ToolName, "cddb.prm asks for no disc information");
    }
    const TLookupSettings settings = ReadLookupSettings(ConfigFile("cddb.ini"));
    TDisc disc;
    std::string error;
    if (!ReadDisc(drive, settings.UseCdText, disc, error)) {
        BeginEnding();
        return Fail(ToolName, drive + ": " + error);
    }

    // The sources get copies: they may outlive this function, waiting for a server.
    TLookups lookups;
    const TDiscToc &toc = disc.Toc;
    if (settings.MusicBrainz.Use)
        lookups.Start([server = settings.MusicBrainz, toc](const TLookups::TAdd &add) {
            LookUpMusicBrainz(server, toc, add);
        });
    if (settings.Cddb.Use)
        lookups.Start([server = settings.Cddb, email = settings.CddbEmail,
                       toc](const TLookups::TAdd &add) { LookUpCddb(server, email, toc, add); });
    std::vector<TDescription> descriptions = disc.CdText;
    const std::vector<TDescription> found = lookups.Wait(g_lookupDeadline);
    descriptions.insert(descriptions.end(), found.begin(), found.end());

    BeginEnding();
    if (!WriteResults(resultPath, toc, descriptions))
        return Fail(ToolName, "cannot write " + resultPath + ": " + SystemError());
    return 0;
}

} // namespace

int main()
{
    StartStopGuard(ToolName, g_hardLimit);
    cdio_log_set_handler(Quiet);
    cddb_log_set_handler(Quiet);
    const int code = RunWithParameters(ToolName, "cddb.prm", Work);
    BeginEnding();
    // Threads may still wait for a server that never answers: end without waiting for them.
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
}
