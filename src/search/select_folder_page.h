#pragma once

#include "pages/page_form.h"
#include "search/folder_icon.h"
#include "search/message_pump.h"

class QLabel;
class QTimer;
class QTreeWidgetItem;
class TStateTree;
class TVolumeList;

// The folder chooser: a tree of the drives with their media in and their folders, listed when
// a folder is expanded. "Start tracks search" scans the selected folder's tree.
class TFormSelectFolder final : public TFormBase {
    Q_OBJECT
public:
    static constexpr TPageId Id = TPageId::SelectFolder;

    explicit TFormSelectFolder(QWidget *parent = nullptr);
    ~TFormSelectFolder() override;

    TStateTree *TreeViewFolders() const { return m_treeViewFolders; }
    QLabel *LabelAboveTreeView() const { return m_labelAboveTreeView; }
    QTimer *Timer1() const { return m_timer1; }

    // Adds a node for every drive with its medium in; unless full, only for drives without one.
    void AddDrives(bool full);
    // Hands the selected folder to the track selection page (mode 2) and switches to it.
    void StartSearchFromFolder();
    // The folder path of a node, ending in "/" (a drive node gives its root).
    static QString FullPath(const QTreeWidgetItem *node);

protected:
    void FormShow() override;
    void FormHide() override;

private:
    struct TListing;

    void DriveCheck();
    void DeleteDrive(QTreeWidgetItem *node);
    void NodeExpanded(QTreeWidgetItem *node);
    void NodeCollapsed(QTreeWidgetItem *node);
    void CurrentChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void AddFolderNode(QTreeWidgetItem *parent, const QString &text, const QString &path,
                       const TVolumeList &volumes);
    void DeleteChildren(QTreeWidgetItem *node);
    void ClearTree();
    // Listings whose node is `node` or lies below it stop before touching it again.
    void CancelListings(const QTreeWidgetItem *node);
    bool Stopping() const;

    TFolderIconCache m_icons;
    TMessagePump m_pump;
    QList<TListing *> m_listings;
    bool m_singleExpandOff = false;
    TStateTree *m_treeViewFolders;
    QLabel *m_labelAboveTreeView;
    QTimer *m_timer1; // the drive check
};
