#include "search/select_folder_page.h"

#include "base/application.h"
#include "pages/services.h"
#include "pages/skin.h"
#include "pages/state_tree.h"
#include "platform/volumes.h"
#include "search/reading_order.h"
#include "search/search_page.h"
#include "search/select_files_page.h"

#include <QLabel>
#include <QScopedValueRollback>
#include <QTimer>

static constexpr int PathRole = Qt::UserRole;

// An expansion that is listing its folder; it stops once its node is deleted or collapsed.
struct TFormSelectFolder::TListing {
    QTreeWidgetItem *node;
    bool cancelled = false;
};

TFormSelectFolder::TFormSelectFolder(QWidget *parent)
    : TFormBase(Id, QStringLiteral("SelectFolder"),
                QStringLiteral("Folder Selection to Search Tracks"), parent)
{
    CreateReturnButtons(this);
    CreateButtonGroup(BottomBase(1),
                      {{"StartSearch", "Start tracks search", "start_search",
                        [this](TFormBase *) { StartSearchFromFolder(); }}},
                      0);
    m_labelAboveTreeView = CreateLabel(QStringLiteral("LabelAboveTreeView"),
                                       QRect(192, 134, 385, 38), QStringLiteral("AboveTreeView"),
                                       QStringLiteral("Choose a folder to look for tracks."), 16);
    m_labelAboveTreeView->setWordWrap(true);
    m_labelAboveTreeView->setAlignment(Qt::AlignLeft | Qt::AlignBottom);

    m_treeViewFolders = new TStateTree(this);
    m_treeViewFolders->setObjectName(QStringLiteral("TreeViewFolders"));
    m_treeViewFolders->setGeometry(192, 176, 393, 148);
    NameAfter(m_treeViewFolders, m_labelAboveTreeView);
    connect(m_treeViewFolders, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem *node) { RunReporting([&] { NodeExpanded(node); }); });
    connect(m_treeViewFolders, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem *node) { RunReporting([&] { NodeCollapsed(node); }); });
    connect(m_treeViewFolders, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *current, QTreeWidgetItem *previous) {
                RunReporting([&] { CurrentChanged(current, previous); });
            });

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(1000);
    connect(m_timer1, &QTimer::timeout, this, [this] { RunReporting([this] { DriveCheck(); }); });
    ApplySkinAndTexts();
}

TFormSelectFolder::~TFormSelectFolder()
{
    for (TListing *listing : std::as_const(m_listings))
        listing->cancelled = true;
}

QString TFormSelectFolder::FullPath(const QTreeWidgetItem *node)
{
    return node ? node->data(0, PathRole).toString() : QString();
}

bool TFormSelectFolder::Stopping() const
{
    return ApplicationEnding() || isHidden();
}

void TFormSelectFolder::CancelListings(const QTreeWidgetItem *node)
{
    for (TListing *listing : std::as_const(m_listings)) {
        for (const QTreeWidgetItem *item = listing->node; item; item = item->parent()) {
            if (item == node)
                listing->cancelled = true;
        }
    }
}

// Deleting nodes moves the selection; that move must not open another branch.
void TFormSelectFolder::ClearTree()
{
    const QScopedValueRollback<bool> quiet(m_singleExpandOff, true);
    for (TListing *listing : std::as_const(m_listings))
        listing->cancelled = true;
    m_treeViewFolders->clear();
}

void TFormSelectFolder::DeleteChildren(QTreeWidgetItem *node)
{
    const QScopedValueRollback<bool> quiet(m_singleExpandOff, true);
    const QList<QTreeWidgetItem *> children = node->takeChildren();
    for (QTreeWidgetItem *child : children)
        CancelListings(child);
    qDeleteAll(children);
}

// Every node that has not been listed holds one empty child, so that it offers to expand.
static void AddPlaceholder(QTreeWidgetItem *node)
{
    node->addChild(new TStateTreeItem(QString()));
}

void TFormSelectFolder::AddFolderNode(QTreeWidgetItem *parent, const QString &text,
                                      const QString &path, const TVolumeList &volumes)
{
    auto *node = new TReadingOrderItem(text);
    node->setData(0, PathRole, path);
    if (parent)
        parent->addChild(node);
    else
        m_treeViewFolders->addTopLevelItem(node);
    m_icons.FolderIcon(node, path, m_treeViewFolders, volumes);
    AddPlaceholder(node);
}

void TFormSelectFolder::AddDrives(bool full)
{
    const TVolumeList volumes = Services().CurrentVolumes();
    bool added = false;
    for (const TVolume &volume : volumes.Volumes()) {
        if (!MediaPresent(volume))
            continue;
        if (!full && !m_treeViewFolders->findItems(volume.Drive(), Qt::MatchExactly).isEmpty())
            continue;
        AddFolderNode(nullptr, volume.Drive(), volume.Root, volumes);
        added = true;
    }
    if (added)
        m_treeViewFolders->invisibleRootItem()->sortChildren(0, Qt::AscendingOrder);
}

void TFormSelectFolder::FormShow()
{
    ClearTree();
    m_treeViewFolders->TruncateNodePictures(0);
    m_icons.Clear();
    AddDrives(true);
    m_timer1->start();
}

void TFormSelectFolder::FormHide()
{
    m_timer1->stop();
}

void TFormSelectFolder::DriveCheck()
{
    m_timer1->stop();
    const TVolumeList volumes = Services().CurrentVolumes();
    // A drive node stays while its volume is listed with its medium in, as AddDrives lists
    // it, also when its root cannot be opened (an audio CD, a stale mount): dropping it would
    // only bring it back at once, and the user's selection with it.
    for (int i = m_treeViewFolders->topLevelItemCount() - 1; i >= 0; --i) {
        QTreeWidgetItem *node = m_treeViewFolders->topLevelItem(i);
        const QString root = FullPath(node);
        const TVolume *volume = volumes.VolumeOf(root);
        if (!volume || volume->Root != root || !MediaPresent(*volume))
            DeleteDrive(node);
    }
    AddDrives(false);
    if (!Stopping())
        m_timer1->start();
}

// A drive that went takes the selection with it: the selection never moves to a place the
// user did not pick, where "Start tracks search" would search.
void TFormSelectFolder::DeleteDrive(QTreeWidgetItem *node)
{
    bool selected = false;
    for (const QTreeWidgetItem *item = m_treeViewFolders->currentItem(); item && !selected;
         item = item->parent())
        selected = item == node;
    CancelListings(node);
    const QScopedValueRollback<bool> quiet(m_singleExpandOff, true);
    delete node;
    if (selected)
        m_treeViewFolders->setCurrentItem(nullptr);
}

void TFormSelectFolder::CurrentChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous)
{
    if (m_singleExpandOff || !current)
        return;
    // Single expand: the branch open before closes, up to the first node it shares with the new
    // selection, and the new selection opens.
    QTreeWidgetItem *close = nullptr;
    for (QTreeWidgetItem *item = previous; item; item = item->parent()) {
        bool shared = false;
        for (QTreeWidgetItem *up = current; up && !shared; up = up->parent())
            shared = up == item;
        if (shared)
            break;
        close = item;
    }
    if (close && close->isExpanded())
        close->setExpanded(false);
    if (!current->isExpanded())
        current->setExpanded(true);
}

void TFormSelectFolder::NodeExpanded(QTreeWidgetItem *node)
{
    {
        const QScopedValueRollback<bool> quiet(m_singleExpandOff, true);
        m_treeViewFolders->setCurrentItem(node);
    }
    const QString path = FullPath(node);
    DeleteChildren(node);
    const TVolumeList volumes = Services().CurrentVolumes();
    const QStringList folders = volumes.ListFolder(path).Folders;
    TListing listing{node};
    m_listings.append(&listing);
    bool first = true;
    for (const QString &name : folders) {
        if (listing.cancelled || Stopping())
            break;
        const QString folder = path + name + QLatin1Char('/');
        // Another volume mounted here is a drive of its own.
        if (volumes.IsVolumeRoot(folder))
            continue;
        AddFolderNode(node, name, folder, volumes);
        if (!first)
            m_pump.Pump();
        first = false;
    }
    m_listings.removeOne(&listing);
    if (!listing.cancelled && !Stopping())
        node->sortChildren(0, Qt::AscendingOrder);
}

void TFormSelectFolder::NodeCollapsed(QTreeWidgetItem *node)
{
    CancelListings(node);
    DeleteChildren(node);
    AddPlaceholder(node);
}

void TFormSelectFolder::StartSearchFromFolder()
{
    QTreeWidgetItem *node = m_treeViewFolders->currentItem();
    const QString path = FullPath(node);
    if (path.isEmpty())
        return;
    QTreeWidgetItem *top = node;
    while (top->parent())
        top = top->parent();
    const TVolumeList volumes = Services().CurrentVolumes();
    // A drive that went a moment ago (its node not yet pruned) counts as removable.
    const TVolume *volume = volumes.VolumeOf(FullPath(top));
    const bool fixed = volume && volume->Root == FullPath(top) && DriveType(*volume) == DRIVE_FIXED;
    auto *selection = Page<TFormSelectFiles>();
    selection->FromRemovable = !fixed;
    selection->ChosenFolder = path;
    selection->SearchMode = 2;
    SwitchPage(this, selection);
}
