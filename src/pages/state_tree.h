#pragma once

#include <QList>
#include <QPixmap>
#include <QTreeWidget>
#include <QTreeWidgetItem>

#include <initializer_list>

class QTimer;
class TStateTree;

// A picture list of 16 x 16 tree pictures built from the program's named pictures
// (":/tree/<name>.png"): check_on, check_off, check_unavailable, check_on_hot, check_off_hot,
// check_unavailable_hot, track, track_hot, track_missing, track_missing_hot, root, person,
// album, folder, mark_present, mark_missing, review_new, review_seen, review_set, review_gone.
// A null or empty name gives an empty entry, e.g. entry 0 of a state list, which is never drawn.
QList<QPixmap> TreePictures(std::initializer_list<const char *> names);

// Where a point lies on a row of a TStateTree.
enum class THitPart {
    Nowhere,      // no row at that point
    StatePicture, // the state picture (the check box)
    NodePicture,  // the node picture (the icon)
    Text,         // the node's text
    ExpandButton, // the expand/collapse button left of the pictures
    Elsewhere,    // on the row but none of the above (indentation, right of the text)
};

struct TTreeHit {
    QTreeWidgetItem *item = nullptr; // null when part is Nowhere
    THitPart part = THitPart::Nowhere;
};

// One node of a TStateTree: a text, a state picture index and a node picture index. Trees
// that attach records to their nodes derive from it (pass a type >= Type); the record then
// lives and dies with its node. Changing an index repaints the node at once.
class TStateTreeItem : public QTreeWidgetItem {
public:
    static constexpr int Type = QTreeWidgetItem::UserType + 100;

    explicit TStateTreeItem(const QString &text, int stateIndex = 0, int nodeIndex = -1,
                            int type = Type);

    // 0 draws no state picture and leaves no room for one.
    int StateIndex() const { return m_state; }
    void SetStateIndex(int index);
    // -1 draws no node picture and leaves no room for one.
    int NodeIndex() const { return m_node; }
    void SetNodeIndex(int index);

    TStateTreeItem *ParentItem() const;
    TStateTreeItem *ChildItem(int index) const;

    // A row of a tree with check boxes tells screen readers its check state.
    QVariant data(int column, int role) const override;

private:
    int m_state;
    int m_node;
};

// The tree of every page that shows nodes with state pictures (check boxes, review marks) and
// node pictures. Read-only, indent 19, no tooltips, one column unless the caller adds more.
// The page drives the pictures by changing the items' indexes in answer to ClickSettled; the
// tree itself changes them only for the pointer variants (SetPointerVariants).
//
// Every item must be a TStateTreeItem (or derived from it). For fast filling with many nodes,
// build whole subtrees under detached top-level items and add those at the end
// (addTopLevelItems), with sorting off; see FillCatalogTree.
class TStateTree : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr int PictureSize = 16;

    explicit TStateTree(QWidget *parent = nullptr);
    ~TStateTree() override;

    // Picture i of the state list is drawn for state index i; entry 0 is never drawn.
    void SetStatePictures(const QList<QPixmap> &pictures);
    // Node pictures may grow while the tree is shown (folder icons): AddNodePicture returns
    // the index of the added picture.
    void SetNodePictures(const QList<QPixmap> &pictures);
    int AddNodePicture(const QPixmap &picture);
    // Drops the node pictures from index `count` on (e.g. folder icons before a new scan).
    void TruncateNodePictures(int count);
    const QList<QPixmap> &NodePictures() const { return m_nodePictures; }

    // Where a point of the viewport lies (as the click and pointer rules need it).
    TTreeHit HitTest(const QPoint &viewportPos) const;

    // Pointer (hot) variants of the pictures. While the pointer is on a node picture i below
    // nodeVariants, the node shows picture i + nodeVariants; while it is on a state picture
    // 1 ... stateVariants, state i + stateVariants. 0 gives no variant of that kind. One node
    // at a time is hot: when the pointer moves on, its normal pictures come back.
    // The state pictures of a tree with state variants are check boxes: state 1 (and its
    // variant) checked, 2 not checked, others (unavailable) no check box a user can change.
    void SetPointerVariants(int nodeVariants, int stateVariants);
    // The check state a state index shows: Qt::Checked, Qt::Unchecked or none.
    QVariant CheckState(int stateIndex) const;

    // The one node that shows a pointer variant. Forgotten when the tree is cleared or the
    // node is removed.
    TStateTreeItem *HotItem() const { return m_hot; }
    void SetHotItem(TStateTreeItem *item) { m_hot = item; }

    // Whether ClickSettled still holds back a click on a node with children.
    bool HoldsClick() const { return m_held.item != nullptr; }
    // Forgets the held click without delivering it (the page is leaving).
    void DropHeldClick();

    static TStateTreeItem *Item(QTreeWidgetItem *item);
    TStateTreeItem *TopItem(int index) const { return Item(topLevelItem(index)); }

    // Rectangles of the parts of an item's row in viewport coordinates (empty when the item
    // has no such part or is not visible).
    QRect StatePictureRect(QTreeWidgetItem *item) const;
    QRect NodePictureRect(QTreeWidgetItem *item) const;
    QRect TextRect(QTreeWidgetItem *item) const;

Q_SIGNALS:
    // Every pointer move over the tree's viewport, with or without a button held, after the
    // pointer variants have followed it.
    void PointerMoved(const TTreeHit &hit);
    // A left click (press and release; the release that ends a double click is none). A click
    // on a node with children is held for the double-click interval and dropped if a double
    // click on that node comes first (it expands or collapses the node instead); other clicks
    // come at once. A new click delivers the held one first, so each acts on its own node; a
    // held node that leaves the tree is dropped with it.
    void ClickSettled(const TTreeHit &hit);
    // The current row moved by a key (arrows, Home, End, typing a text's start).
    void CurrentMovedByKey(QTreeWidgetItem *item);

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    // Space acts on the current row as a click on its text does.
    void keyPressEvent(QKeyEvent *event) override;

private:
    friend class TStateTreeDelegate;
    void ForgetRemoved(const QModelIndex &parent, int first, int last);
    bool IsRemoved(QTreeWidgetItem *item, const QModelIndex &parent, int first, int last) const;
    // held: a click on a node with children waits for the double-click time.
    void HandleClick(const TTreeHit &hit, bool held = true);
    void FollowPointer(const TTreeHit &hit);
    void LoseNodeVariant(TStateTreeItem *node) const;
    void LoseStateVariant(TStateTreeItem *node) const;
    void DeliverHeldClick();

    QList<QPixmap> m_statePictures;
    QList<QPixmap> m_nodePictures;
    TStateTreeItem *m_hot = nullptr;
    int m_nodeVariants = 0;
    int m_stateVariants = 0;
    TTreeHit m_held;     // the click on a node with children that waits
    TTreeHit m_incoming; // the click being handled, forgotten if its node goes
    QTimer *m_holdTimer;
    bool m_pressed = false;
    bool m_inDoubleClick = false;
};

Q_DECLARE_METATYPE(TTreeHit)
