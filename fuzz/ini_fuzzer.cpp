// Ini files, whatever bytes they hold: the program's reader (settings, texts, the CD
// information tool's results) and the tools' reader (exchange files, cddb.ini).

#include "base/errors.h"
#include "base/ini_file.h"
#include "cddb/lookup_settings.h"
#include "common/tool_common.h"
#include "fuzz_support.h"
#include "search/cd_tracks.h"
#include "search/track_data.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static TInputFile file;
    file.Write(data, size);
    const QString path = QString::fromStdString(file.Path());
    try {
        TIniFile ini(path);
        const QString section = QStringLiteral("Settings"), key = QStringLiteral("Player");
        const QString player = ini.ReadString(section, key, QStringLiteral("vlc"));
        FUZZ_CHECK(ini.HasKey(section, key) || player == QLatin1String("vlc"));
        FUZZ_CHECK(player == player.trimmed());
        CdTrackRecord(&ini, QStringLiteral("/dev/sr0/Track01.cda"));
        // A key written keeps every other key, and reads back as written.
        ini.WriteString(section, QStringLiteral("Fuzz"), QStringLiteral("a value"));
        FUZZ_CHECK(ini.ReadString(section, QStringLiteral("Fuzz"), QString())
                   == QLatin1String("a value"));
        FUZZ_CHECK(ini.ReadString(section, key, QStringLiteral("vlc")) == player);
    } catch (const EQuavermill &) {
        // A file the reader refuses is reported, never half read.
    }

    TExchangeFile exchange;
    if (exchange.Load(file.Path()))
        exchange.Get("Parameters", "FileToWork");
    const TLookupSettings settings = ReadLookupSettings(file.Path());
    for (const TServer *server : {&settings.MusicBrainz, &settings.Cddb})
        FUZZ_CHECK(server->Port >= 1 && server->Port <= 65535 && !server->Host.empty());
    return 0;
}
