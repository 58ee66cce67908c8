#include "platform/shell_icon.h"

#include "platform/volumes.h"

#include <QFileIconProvider>
#include <QFileInfo>

QPixmap ShellIcon(const QString &path, const TVolumeList &volumes)
{
    static const QFileIconProvider provider;
    QIcon icon;
    const TVolume *volume = volumes.VolumeOf(path);
    if (volume && volume->Root == path) {
        icon =
            provider.icon(volume->Kind == TVolumeKind::Network ? QAbstractFileIconProvider::Network
                                                               : QAbstractFileIconProvider::Drive);
    } else {
        icon = provider.icon(QAbstractFileIconProvider::Folder);
    }
    return icon.pixmap(16, 16);
}
