#pragma once

#include "disc.h"
#include "lookup_settings.h"
#include "lookups.h"

#include <string>

// Asks a CDDB server (of the gnudb kind, over HTTP) for the entries that match the disc and
// adds one description per entry. A failure of any kind adds nothing more.
void LookUpCddb(const TServer &server, const std::string &email, const TDiscToc &toc,
                const TLookups::TAdd &add);
