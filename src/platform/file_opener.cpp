#include "platform/file_opener.h"

int PlayFile(TFileOpener &opener, const TSettings &settings, const QString &path)
{
    if (!settings.UseWMP && opener.OpenWithDesktop(path))
        return 1;
    return opener.OpenWith(settings.Player, path) ? 1 : -1;
}
