#include "disc.h"

#include "common/disc_source.h"

#include <cdio/cdio.h>
#include <cdio/cdtext.h>

#include <algorithm>
#include <memory>

namespace {

struct TCdioCloser {
    void operator()(CdIo_t *cdio) const { cdio_destroy(cdio); }
};

std::string Text(const cdtext_t *text, cdtext_field_t field, int track)
{
    const char *value = cdtext_get_const(text, field, track_t(track));
    return value ? value : "";
}

// libcdio decodes each block from the character set the disc declares for it into UTF-8.
std::vector<TDescription> ReadCdText(CdIo_t *cdio, const TDiscToc &toc)
{
    std::vector<TDescription> descriptions;
    cdtext_t *text = cdio_get_cdtext(cdio);
    if (!text)
        return descriptions;
    const cdtext_lang_t *languages = cdtext_list_languages_v2(text);
    for (int block = 0; languages && block < 8; ++block) {
        if (languages[block] == CDTEXT_LANGUAGE_BLOCK_UNUSED
            || !cdtext_set_language_index(text, block))
            continue;
        TDescription description;
        description.Album = Text(text, CDTEXT_FIELD_TITLE, 0);
        description.Artist = Text(text, CDTEXT_FIELD_PERFORMER, 0);
        for (int track = toc.First; track <= toc.Last(); ++track) {
            const std::string title = Text(text, CDTEXT_FIELD_TITLE, track);
            if (!title.empty())
                description.Titles[track] = title;
        }
        if (description != TDescription()
            && std::find(descriptions.begin(), descriptions.end(), description)
                == descriptions.end())
            descriptions.push_back(description);
    }
    return descriptions;
}

} // namespace

bool ReadDisc(const std::string &source, bool withCdText, TDisc &disc, std::string &error)
{
    if (!IsDiscSource(source)) {
        error = "no such drive";
        return false;
    }
    const std::unique_ptr<CdIo_t, TCdioCloser> cdio(cdio_open(source.c_str(), DRIVER_UNKNOWN));
    const int first = cdio ? int(cdio_get_first_track_num(cdio.get())) : 0;
    const int count = cdio ? int(cdio_get_num_tracks(cdio.get())) : 0;
    if (!cdio || first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0) {
        error = "no disc in the drive";
        return false;
    }
    TDiscToc &toc = disc.Toc;
    toc.First = first;
    for (int track = first; track < first + count; ++track) {
        toc.Starts.push_back(cdio_get_track_lsn(cdio.get(), track_t(track)));
        toc.Audio.push_back(cdio_get_track_format(cdio.get(), track_t(track))
                            == TRACK_FORMAT_AUDIO);
    }
    toc.LeadOut = cdio_get_track_lsn(cdio.get(), CDIO_CDROM_LEADOUT_TRACK);
    if (std::find(toc.Audio.begin(), toc.Audio.end(), true) == toc.Audio.end()) {
        error = "the disc holds no audio track";
        return false;
    }
    if (withCdText)
        disc.CdText = ReadCdText(cdio.get(), toc);
    return true;
}
