#include "musicbrainz_lookup.h"

#include "answer_limit.h"

#include <discid/discid.h>
#include <libxml/xmlerror.h>
#include <musicbrainz5/Artist.h>
#include <musicbrainz5/ArtistCredit.h>
#include <musicbrainz5/Disc.h>
#include <musicbrainz5/HTTPFetch.h>
#include <musicbrainz5/Medium.h>
#include <musicbrainz5/MediumList.h>
#include <musicbrainz5/NameCredit.h>
#include <musicbrainz5/NameCreditList.h>
#include <musicbrainz5/Query.h>
#include <musicbrainz5/Release.h>
#include <musicbrainz5/Track.h>
#include <musicbrainz5/TrackList.h>

#include <memory>

namespace {

// Sectors between the audio session and the data session of an enhanced CD (its lead-out
// and the next lead-in), which the disc id leaves out.
constexpr int SessionGap = 11400;
// Disc ids use absolute sector addresses, two seconds more than libcdio's logical ones.
constexpr int PreGap = 150;
constexpr int MaxTrackNumber = 99;

// What libxml2 finds wrong in an answer is no news for the program, which reads the tool's
// standard error as its report.
void QuietXml(void *, const char *, ...) {}

struct TDiscIdFreer {
    void operator()(DiscId *discId) const { discid_free(discId); }
};

std::string ArtistOf(const MusicBrainz5::CRelease &release)
{
    std::string artist;
    const MusicBrainz5::CArtistCredit *credit = release.ArtistCredit();
    const MusicBrainz5::CNameCreditList *names = credit ? credit->NameCreditList() : nullptr;
    for (int i = 0; names && i < names->NumItems(); ++i) {
        const MusicBrainz5::CNameCredit *name = names->Item(i);
        // A name credited on this release differs from the artist's own name, and wins.
        std::string credited = name->Name();
        if (credited.empty() && name->Artist())
            credited = name->Artist()->Name();
        artist += credited + name->JoinPhrase();
    }
    return artist;
}

TDescription DescriptionOf(const MusicBrainz5::CRelease &release, const std::string &discId,
                           const TDiscToc &toc)
{
    TDescription description;
    description.Album = release.Title();
    description.Artist = ArtistOf(release);
    const MusicBrainz5::CMediumList media = release.MediaMatchingDiscID(discId);
    const MusicBrainz5::CMedium *medium = media.NumItems() > 0 ? media.Item(0) : nullptr;
    const MusicBrainz5::CTrackList *tracks = medium ? medium->TrackList() : nullptr;
    for (int i = 0; tracks && i < tracks->NumItems(); ++i) {
        const MusicBrainz5::CTrack *track = tracks->Item(i);
        const std::string title = track->Title();
        // The position comes from the server: only one of the disc's tracks has a title here.
        const int position = track->Position();
        if (position >= 1 && position <= int(toc.Starts.size()) && !title.empty())
            description.Titles[toc.First + position - 1] = title;
    }
    return description;
}

} // namespace

std::string MusicBrainzDiscId(const TDiscToc &toc)
{
    // A disc id covers tracks 1 to 99, the most a disc has; one entry per track number.
    int offsets[MaxTrackNumber + 1] = {};
    if (toc.First < 1 || toc.First > MaxTrackNumber || toc.Starts.empty()
        || toc.Starts.size() > size_t(MaxTrackNumber + 1 - toc.First)
        || toc.Audio.size() != toc.Starts.size())
        return {};
    // Trailing data tracks are not part of the audio session.
    int last = toc.Last();
    while (last >= toc.First && !toc.Audio[size_t(last - toc.First)])
        --last;
    if (last < toc.First)
        return {};
    int leadOut = toc.LeadOut;
    if (last < toc.Last()) {
        const int dataStart = toc.Starts[size_t(last + 1 - toc.First)];
        leadOut = dataStart - SessionGap > toc.Starts[size_t(last - toc.First)]
            ? dataStart - SessionGap
            : dataStart;
    }
    offsets[0] = leadOut + PreGap;
    for (int track = toc.First; track <= last; ++track)
        offsets[track] = toc.Starts[size_t(track - toc.First)] + PreGap;
    const std::unique_ptr<DiscId, TDiscIdFreer> discId(discid_new());
    if (!discId || !discid_put(discId.get(), toc.First, last, offsets))
        return {};
    return discid_get_id(discId.get());
}

void LookUpMusicBrainz(const TServer &server, const TDiscToc &toc, const TLookups::TAdd &add)
{
    const std::string discId = MusicBrainzDiscId(toc);
    if (discId.empty())
        return;
    MusicBrainz5::CQuery query("quavermill-" QUAVERMILL_VERSION, server.Host, server.Port);
    MusicBrainz5::CQuery::tParamMap parameters;
    parameters["inc"] = "artists recordings";
    parameters["cdstubs"] = "no";
    // libxml2 keeps its error handler per thread: this one parses the answer.
    xmlSetGenericErrorFunc(nullptr, QuietXml);
    BeginAnswer();
    try {
        const MusicBrainz5::CMetadata metadata = query.Query("discid", discId, "", parameters);
        const MusicBrainz5::CDisc *disc = metadata.Disc();
        const MusicBrainz5::CReleaseList *releases = disc ? disc->ReleaseList() : nullptr;
        for (int i = 0; releases && i < releases->NumItems(); ++i)
            add(DescriptionOf(*releases->Item(i), discId, toc));
    } catch (const MusicBrainz5::CExceptionBase &) {
        // No network, no such disc, or an answer that is no release list: nothing found.
    }
}
