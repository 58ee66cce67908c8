#pragma once

#include <QImage>
#include <QString>

class TStateTree;
class TStateTreeItem;
class TVolumeList;

// FolderIcon: gives a folder or drive node the desktop's picture of its path, taken from the
// tree's node pictures. The cache remembers the last picture added, so that consecutive folders
// with the same picture share one entry instead of growing the list by one per folder. Clear
// it whenever the tree's folder pictures are dropped.
class TFolderIconCache {
public:
    void FolderIcon(TStateTreeItem *node, const QString &path, TStateTree *tree,
                    const TVolumeList &volumes);
    void Clear();

private:
    QImage m_image;
    int m_index = -1;
};
