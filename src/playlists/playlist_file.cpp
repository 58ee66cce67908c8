#include "playlists/playlist_file.h"

#include "base/atomic_file.h"
#include "base/errors.h"
#include "base/locations.h"
#include "catalog/catalog_file.h"
#include "platform/file_system.h"
#include "platform/trash.h"

#include <QFileInfo>

#include <algorithm>
#include <utility>
#include <vector>

QString PlaylistPath(const QString &name)
{
    return DataFile(name + QLatin1String(PlaylistExtension));
}

QString PlayablePath(const QString &name)
{
    return DataFile(name + QLatin1String(PlayableExtension));
}

QString PlaylistName(const QString &fileNameOrPath)
{
    QString name = QFileInfo(fileNameOrPath).fileName();
    if (name.endsWith(QLatin1String(PlaylistExtension), Qt::CaseInsensitive))
        name.chop(qsizetype(sizeof(PlaylistExtension) - 1));
    return name;
}

QStringList SortedUniqueIgnoringCase(const QStringList &lines)
{
    std::vector<std::pair<QByteArray, qsizetype>> keys;
    keys.reserve(size_t(lines.size()));
    for (qsizetype i = 0; i < lines.size(); ++i)
        keys.emplace_back(CaseInsensitiveKey(lines[i]), i);
    // Stable, so that of lines equal without regard to case the first given stays.
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QStringList result;
    result.reserve(lines.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        if (i == 0 || keys[i].first != keys[i - 1].first)
            result.append(lines[keys[i].second]);
    }
    return result;
}

void WritePlaylist(const QString &name, const QStringList &records)
{
    if (name.isEmpty())
        throw EQuavermill(QStringLiteral("A playlist needs a name."));
    if (name.contains(QLatin1Char('/')))
        throw EQuavermill(QStringLiteral("A playlist name cannot hold \"/\": %1").arg(name));
    WritePlaylistFile(PlaylistPath(name), records);
}

void WritePlaylistFile(const QString &path, const QStringList &records)
{
    // The playlist replaced goes to the Trash, where the user can still get it back. It keeps
    // a second name until the new one has taken its place whole, so the path never lacks one.
    const QString old = LinkAside(path);
    try {
        WriteLinesAtomically(path, SortedUniqueIgnoringCase(records));
    } catch (...) {
        if (!old.isEmpty())
            RemoveFileOrLink(old);
        throw;
    }
    if (!old.isEmpty() && !TrashOrDelete(old, path))
        RemoveFileOrLink(old);
}

std::unique_ptr<TBaseStringList> ReadPlaylistForDisplay(const QString &path)
{
    return OpenCatalog(path);
}

QStringList ReadPlaylistLines(const QString &path)
{
    return ReadLines(path);
}
