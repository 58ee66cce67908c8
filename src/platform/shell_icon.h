#pragma once

#include <QPixmap>
#include <QString>

class TVolumeList;

// The desktop's small (16 x 16) picture of a folder, or of a drive for a volume's root, as a
// file manager shows it.
QPixmap ShellIcon(const QString &path, const TVolumeList &volumes);
