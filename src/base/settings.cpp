#include "base/settings.h"

#include "base/ini_file.h"
#include "base/locations.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

// Any non-zero integer is 1 and zero is 0; a value that is no integer gives notInteger.
static bool ReadFlag(const TIniFile &ini, const char *key, const char *defaultText, bool notInteger)
{
    const QString text =
        ini.ReadString(QStringLiteral("Settings"), QLatin1String(key), QLatin1String(defaultText));
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!ok) {
        // Integers too large for 64 bits are still integers, and not zero.
        static const QRegularExpression integer(QStringLiteral("^[+-]?[0-9]+$"));
        if (integer.match(text).hasMatch())
            return text.contains(QRegularExpression(QStringLiteral("[1-9]")));
        return notInteger;
    }
    return value != 0;
}

TSettings LoadSettings(const QString &programFolder)
{
    TSettings settings;
    settings.StorageDir = DefaultStorageFolder();
    const QString path = ConfigFile(programFolder, SettingsFileName);
    if (QFileInfo::exists(path)) {
        const TIniFile ini(path);
        settings.UseWMP = ReadFlag(ini, "UseWMP", "0", false);
        settings.UseFreeDB = ReadFlag(ini, "UseFreeDB", "1", true);
        settings.ConvertToWMA = ReadFlag(ini, "ConvertToWMA", "1", true);
        settings.Overwrite = ReadFlag(ini, "Overwrite", "1", true);
        settings.WinMsgTestMode = ReadFlag(ini, "WinMsgTestMode", "0", false);
        const QString storage = ini.ReadString(QStringLiteral("Settings"),
                                               QStringLiteral("StorageDir"), settings.StorageDir);
        if (!storage.isEmpty() && QFileInfo(storage).isDir())
            settings.StorageDir = QDir::cleanPath(storage);
        const QString player =
            ini.ReadString(QStringLiteral("Settings"), QStringLiteral("Player"), settings.Player);
        if (!player.isEmpty())
            settings.Player = player;
    }
    return settings;
}
