#include "platform/file_opener.h"

#include "base/settings.h"
#include "platform/file_opener_linux.h"

namespace {

std::unique_ptr<TFileOpener> &Opener()
{
    static std::unique_ptr<TFileOpener> opener;
    return opener;
}

} // namespace

TFileOpener &FileOpener()
{
    if (!Opener())
        Opener() = std::make_unique<TLinuxFileOpener>();
    return *Opener();
}

void SetFileOpener(std::unique_ptr<TFileOpener> opener)
{
    Opener() = std::move(opener);
}

int PlayFile(const QString &path)
{
    if (!Settings().UseWMP && FileOpener().OpenWithDesktop(path))
        return 1;
    return FileOpener().OpenWith(Settings().Player, path) ? 1 : -1;
}
