#include "lookup_settings.h"

#include "common/tool_common.h"

#include <charconv>
#include <climits>

namespace {

// A whole decimal number in [low, high], else fallback.
int Number(const std::string &text, int low, int high, int fallback)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= low && value <= high
        ? value
        : fallback;
}

// 0 turns a source off; any other number, or anything else, leaves it on.
bool Use(const TExchangeFile &ini, const char *section)
{
    return Number(ini.Get(section, "Use"), INT_MIN, INT_MAX, 1) != 0;
}

void ReadServer(const TExchangeFile &ini, const char *section, TServer &server)
{
    server.Use = Use(ini, section);
    const std::string host = ini.Get(section, "Host");
    if (!host.empty())
        server.Host = host;
    server.Port = Number(ini.Get(section, "Port"), 1, 65535, server.Port);
    const std::string path = ini.Get(section, "Path");
    if (!path.empty())
        server.Path = path;
}

} // namespace

TLookupSettings ReadLookupSettings(const std::string &path)
{
    TLookupSettings settings;
    TExchangeFile ini;
    if (!ini.Load(path, TLinks::Follow))
        return settings;
    settings.UseCdText = Use(ini, "CdText");
    ReadServer(ini, "MusicBrainz", settings.MusicBrainz);
    ReadServer(ini, "Cddb", settings.Cddb);
    settings.CddbEmail = ini.Get("Cddb", "Email");
    return settings;
}
