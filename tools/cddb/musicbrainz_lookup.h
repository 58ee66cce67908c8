#pragma once

#include "disc.h"
#include "lookup_settings.h"
#include "lookups.h"

#include <string>

// The MusicBrainz disc id of the disc's audio session; empty when the table of contents has
// no audio track that libdiscid accepts, or track numbers outside 1 to 99.
std::string MusicBrainzDiscId(const TDiscToc &toc);

// Asks the MusicBrainz server for the releases that carry the disc and adds one description
// per release: its title, its artists, and the track titles of the medium that is this disc.
// A failure of any kind (no network, an unknown disc, a bad answer) adds nothing.
void LookUpMusicBrainz(const TServer &server, const TDiscToc &toc, const TLookups::TAdd &add);
