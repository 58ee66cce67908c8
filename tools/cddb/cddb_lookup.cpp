#include "cddb_lookup.h"

#include "answer_limit.h"

#include <cddb/cddb.h>

#include <memory>
#include <vector>

namespace {

// CDDB frame offsets are absolute sector addresses, two seconds more than libcdio's.
constexpr int PreGap = 150;
constexpr int SectorsPerSecond = 75;
// libcddb's own wait for each answer; the tool's deadline is the real limit.
constexpr unsigned TimeoutSeconds = 8;

struct TConnectionCloser {
    void operator()(cddb_conn_t *connection) const { cddb_destroy(connection); }
};
struct TDiscDestroyer {
    void operator()(cddb_disc_t *disc) const { cddb_disc_destroy(disc); }
};
using TCddbDisc = std::unique_ptr<cddb_disc_t, TDiscDestroyer>;

std::string Text(const char *text)
{
    return text ? text : "";
}

std::unique_ptr<cddb_conn_t, TConnectionCloser> Connect(const TServer &server,
                                                        const std::string &email)
{
    std::unique_ptr<cddb_conn_t, TConnectionCloser> connection(cddb_new());
    if (!connection)
        return connection;
    // The cache would be written into the user's home folder.
    cddb_cache_disable(connection.get());
    cddb_http_enable(connection.get());
    cddb_set_server_name(connection.get(), server.Host.c_str());
    cddb_set_server_port(connection.get(), server.Port);
    cddb_set_http_path_query(connection.get(), server.Path.c_str());
    cddb_set_timeout(connection.get(), TimeoutSeconds);
    cddb_set_client(connection.get(), "Quavermill", QUAVERMILL_VERSION);
    if (!email.empty())
        cddb_set_email_address(connection.get(), email.c_str());
    return connection;
}

TCddbDisc DiscOf(const TDiscToc &toc)
{
    TCddbDisc disc(cddb_disc_new());
    for (const int start : toc.Starts) {
        cddb_track_t *track = cddb_track_new();
        cddb_track_set_frame_offset(track, start + PreGap);
        cddb_disc_add_track(disc.get(), track);
    }
    cddb_disc_set_length(disc.get(), unsigned((toc.LeadOut + PreGap) / SectorsPerSecond));
    return disc;
}

TDescription DescriptionOf(const cddb_disc_t *entry, const TDiscToc &toc)
{
    TDescription description;
    description.Album = Text(cddb_disc_get_title(entry));
    description.Artist = Text(cddb_disc_get_artist(entry));
    // The entry's titles follow the disc's tracks in order.
    for (int i = 0; i < cddb_disc_get_track_count(entry); ++i) {
        const cddb_track_t *track = cddb_disc_get_track(entry, i);
        const std::string title = track ? Text(cddb_track_get_title(track)) : "";
        if (!title.empty())
            description.Titles[toc.First + i] = title;
    }
    return description;
}

} // namespace

void LookUpCddb(const TServer &server, const std::string &email, const TDiscToc &toc,
                const TLookups::TAdd &add)
{
    const auto connection = Connect(server, email);
    TCddbDisc disc = DiscOf(toc);
    if (!connection || !disc)
        return;
    // The matches first (category and id of each), then each entry: reading an entry on the
    // connection could disturb the list of matches.
    std::vector<TCddbDisc> matches;
    BeginAnswer();
    const int found = cddb_query(connection.get(), disc.get());
    for (int i = 0; i < found; ++i) {
        if (i > 0 && !cddb_query_next(connection.get(), disc.get()))
            break;
        matches.emplace_back(cddb_disc_clone(disc.get()));
    }
    for (const TCddbDisc &match : matches) {
        BeginAnswer();
        if (match && cddb_read(connection.get(), match.get()) == 1)
            add(DescriptionOf(match.get(), toc));
    }
}
