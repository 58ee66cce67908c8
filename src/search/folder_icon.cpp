#include "search/folder_icon.h"

#include "pages/state_tree.h"
#include "platform/shell_icon.h"
#include "platform/volumes.h"

void TFolderIconCache::FolderIcon(TStateTreeItem *node, const QString &path, TStateTree *tree,
                                  const TVolumeList &volumes)
{
    const QPixmap picture = ShellIcon(path, volumes);
    // The whole picture is compared: two pictures that share their first rows still differ.
    const QImage image = picture.toImage();
    if (m_index < 0 || image != m_image) {
        m_image = image;
        m_index = tree->AddNodePicture(picture);
    }
    node->SetNodeIndex(m_index);
}

void TFolderIconCache::Clear()
{
    m_image = QImage();
    m_index = -1;
}
