#pragma once

#include <string>

// An online source of disc descriptions.
struct TServer {
    bool Use = true;
    std::string Host;
    int Port = 80;
    std::string Path; // the CGI path of a CDDB server reached over HTTP
};

// Which sources the tool asks, from the optional "cddb.ini".
struct TLookupSettings {
    bool UseCdText = true;
    TServer MusicBrainz{true, "musicbrainz.org", 80, ""};
    TServer Cddb{true, "gnudb.gnudb.org", 80, "/~cddb/cddb.cgi"};
    // The address a CDDB server is greeted with; empty: libcddb's anonymous greeting.
    std::string CddbEmail;
};

// The settings of the file at path; the defaults for a missing, unreadable or oversized file,
// and for a missing key or unusable value.
TLookupSettings ReadLookupSettings(const std::string &path);
