#include "pages/state_tree.h"

#include "pages/skin.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTimer>

#include <utility>

QList<QPixmap> TreePictures(std::initializer_list<const char *> names)
{
    QList<QPixmap> pictures;
    for (const char *name : names) {
        if (!name || !*name)
            pictures.append(QPixmap());
        else
            pictures.append(
                BuiltInPicture(QStringLiteral(":/tree/%1.png").arg(QLatin1String(name))));
    }
    return pictures;
}

TStateTreeItem::TStateTreeItem(const QString &text, int stateIndex, int nodeIndex, int type)
    : QTreeWidgetItem(QStringList(text), type), m_state(stateIndex), m_node(nodeIndex)
{
    // Checkable for screen readers; the tree draws and toggles its check boxes itself.
    setFlags(flags() | Qt::ItemIsUserCheckable);
}

QVariant TStateTreeItem::data(int column, int role) const
{
    if (role == Qt::CheckStateRole) {
        const auto *tree = qobject_cast<const TStateTree *>(treeWidget());
        return column == 0 && tree ? tree->CheckState(m_state) : QVariant();
    }
    return QTreeWidgetItem::data(column, role);
}

void TStateTreeItem::SetStateIndex(int index)
{
    if (m_state == index)
        return;
    m_state = index;
    emitDataChanged();
}

void TStateTreeItem::SetNodeIndex(int index)
{
    if (m_node == index)
        return;
    m_node = index;
    emitDataChanged();
}

TStateTreeItem *TStateTreeItem::ParentItem() const
{
    return TStateTree::Item(parent());
}

TStateTreeItem *TStateTreeItem::ChildItem(int index) const
{
    return TStateTree::Item(child(index));
}

// Draws the state picture and the node picture in front of the text of column 0; the text
// and its selection follow them.
class TStateTreeDelegate : public QStyledItemDelegate {
public:
    explicit TStateTreeDelegate(TStateTree *tree) : QStyledItemDelegate(tree), m_tree(tree) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        TStateTreeItem *item =
            index.column() == 0 ? TStateTree::Item(m_tree->itemFromIndex(index)) : nullptr;
        if (!item) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        int x = option.rect.left();
        const int y = option.rect.top() + (option.rect.height() - TStateTree::PictureSize) / 2;
        if (item->StateIndex() > 0) {
            DrawPicture(painter, m_tree->m_statePictures, item->StateIndex(), x, y);
            x += TStateTree::PictureSize;
        }
        if (item->NodeIndex() >= 0) {
            DrawPicture(painter, m_tree->m_nodePictures, item->NodeIndex(), x, y);
            x += TStateTree::PictureSize;
        }
        QStyleOptionViewItem textOption(option);
        textOption.rect.setLeft(x);
        QStyledItemDelegate::paint(painter, textOption, index);
        // The keyboard's row gets a frame of its own, seen on the selection's fill as well.
        if ((option.state & QStyle::State_HasFocus) && m_tree->hasFocus()) {
            painter->save();
            painter->setPen(QPen(option.palette.color(QPalette::Text), 1, Qt::DashLine));
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
            painter->restore();
        }
    }

    // The state pictures are the check boxes: the style draws none of its own, and a click
    // changes nothing behind the page's back.
    bool editorEvent(QEvent *, QAbstractItemModel *, const QStyleOptionViewItem &,
                     const QModelIndex &) override
    {
        return false;
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        if (index.column() == 0) {
            if (TStateTreeItem *item = TStateTree::Item(m_tree->itemFromIndex(index))) {
                size.rwidth() += (item->StateIndex() > 0 ? TStateTree::PictureSize : 0)
                    + (item->NodeIndex() >= 0 ? TStateTree::PictureSize : 0);
            }
        }
        size.setHeight(qMax(size.height(), TStateTree::PictureSize + 2));
        return size;
    }

    // Width of a text with the margins the style draws around it.
    static int TextWidth(const QStyleOptionViewItem &option, const QString &text)
    {
        const QStyle *style = option.widget ? option.widget->style() : QApplication::style();
        const int margin =
            style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option.widget) + 1;
        return option.fontMetrics.horizontalAdvance(text) + 2 * margin;
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->features &= ~QStyleOptionViewItem::HasCheckIndicator;
        option->state &= ~QStyle::State_HasFocus;
    }

private:
    static void DrawPicture(QPainter *painter, const QList<QPixmap> &pictures, int index, int x,
                            int y)
    {
        if (index < pictures.size() && !pictures.at(index).isNull())
            painter->drawPixmap(x, y, pictures.at(index));
    }

    TStateTree *m_tree;
};

TStateTree::TStateTree(QWidget *parent) : QTreeWidget(parent), m_holdTimer(new QTimer(this))
{
    setColumnCount(1);
    setHeaderHidden(true);
    setIndentation(19);
    setUniformRowHeights(true);
    setSortingEnabled(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(PictureSize, PictureSize));
    setFont(PageFont(13));
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setItemDelegate(new TStateTreeDelegate(this));
    m_holdTimer->setObjectName(QStringLiteral("HeldClickTimer"));
    m_holdTimer->setSingleShot(true);
    connect(m_holdTimer, &QTimer::timeout, this, &TStateTree::DeliverHeldClick);
    // The hot node and the held click must never outlive their items.
    connect(model(), &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        m_hot = nullptr;
        m_incoming = {};
        DropHeldClick();
    });
    connect(model(), &QAbstractItemModel::rowsAboutToBeRemoved, this, &TStateTree::ForgetRemoved);
}

// The model is deleted with the widget's children, after this part of the tree is gone, and
// resets itself on the way: its signals must no longer reach the tree.
TStateTree::~TStateTree()
{
    model()->disconnect(this);
}

void TStateTree::SetStatePictures(const QList<QPixmap> &pictures)
{
    m_statePictures = pictures;
    viewport()->update();
}

void TStateTree::SetNodePictures(const QList<QPixmap> &pictures)
{
    m_nodePictures = pictures;
    viewport()->update();
}

int TStateTree::AddNodePicture(const QPixmap &picture)
{
    m_nodePictures.append(picture);
    return int(m_nodePictures.size()) - 1;
}

void TStateTree::TruncateNodePictures(int count)
{
    if (count >= 0 && count < m_nodePictures.size())
        m_nodePictures.resize(count);
    viewport()->update();
}

TStateTreeItem *TStateTree::Item(QTreeWidgetItem *item)
{
    return item && item->type() >= TStateTreeItem::Type ? static_cast<TStateTreeItem *>(item)
                                                        : nullptr;
}

QRect TStateTree::StatePictureRect(QTreeWidgetItem *item) const
{
    const TStateTreeItem *node = Item(item);
    const QRect row = visualItemRect(item);
    if (!node || row.isEmpty() || node->StateIndex() <= 0)
        return {};
    return QRect(row.left(), row.top(), PictureSize, row.height());
}

QRect TStateTree::NodePictureRect(QTreeWidgetItem *item) const
{
    const TStateTreeItem *node = Item(item);
    const QRect row = visualItemRect(item);
    if (!node || row.isEmpty() || node->NodeIndex() < 0)
        return {};
    const int left = row.left() + (node->StateIndex() > 0 ? PictureSize : 0);
    return QRect(left, row.top(), PictureSize, row.height());
}

QRect TStateTree::TextRect(QTreeWidgetItem *item) const
{
    const TStateTreeItem *node = Item(item);
    const QRect row = visualItemRect(item);
    if (!node || row.isEmpty())
        return {};
    const int left = row.left() + (node->StateIndex() > 0 ? PictureSize : 0)
        + (node->NodeIndex() >= 0 ? PictureSize : 0);
    QStyleOptionViewItem option;
    option.initFrom(this);
    option.widget = this;
    const int width = TStateTreeDelegate::TextWidth(option, node->text(0));
    return QRect(left, row.top(), qMin(width, row.right() + 1 - left), row.height());
}

TTreeHit TStateTree::HitTest(const QPoint &pos) const
{
    QTreeWidgetItem *item = itemAt(pos);
    if (!item)
        return {};
    TTreeHit hit{item, THitPart::Elsewhere};
    const QRect row = visualItemRect(item);
    if (pos.x() < row.left()) {
        const bool hasButton = (item->childCount() > 0
                                || item->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator)
            && (item->parent() || rootIsDecorated());
        if (hasButton && pos.x() >= row.left() - indentation())
            hit.part = THitPart::ExpandButton;
    } else if (StatePictureRect(item).contains(pos)) {
        hit.part = THitPart::StatePicture;
    } else if (NodePictureRect(item).contains(pos)) {
        hit.part = THitPart::NodePicture;
    } else if (TextRect(item).contains(pos)) {
        hit.part = THitPart::Text;
    }
    return hit;
}

bool TStateTree::IsRemoved(QTreeWidgetItem *item, const QModelIndex &parent, int first,
                           int last) const
{
    QTreeWidgetItem *parentItem = itemFromIndex(parent);
    for (QTreeWidgetItem *node = item; node; node = node->parent()) {
        if (node->parent() != parentItem)
            continue;
        const int row = parentItem ? parentItem->indexOfChild(node) : indexOfTopLevelItem(node);
        return row >= first && row <= last;
    }
    return false;
}

void TStateTree::ForgetRemoved(const QModelIndex &parent, int first, int last)
{
    if (m_hot && IsRemoved(m_hot, parent, first, last))
        m_hot = nullptr;
    if (m_held.item && IsRemoved(m_held.item, parent, first, last))
        DropHeldClick();
    if (m_incoming.item && IsRemoved(m_incoming.item, parent, first, last))
        m_incoming = {};
}

void TStateTree::DropHeldClick()
{
    m_holdTimer->stop();
    m_held = {};
}

void TStateTree::DeliverHeldClick()
{
    if (!m_held.item)
        return;
    const TTreeHit held = m_held;
    DropHeldClick();
    Q_EMIT ClickSettled(held);
}

void TStateTree::HandleClick(const TTreeHit &hit, bool held)
{
    // Left waiting, the held click would be overtaken by this one. Its listeners may change
    // the tree, so the new click is kept where a removal of its node finds it.
    m_incoming = hit;
    DeliverHeldClick();
    const TTreeHit settled = std::exchange(m_incoming, {});
    if (hit.item && !settled.item)
        return;
    if (held && settled.item && settled.item->childCount() > 0) {
        m_held = settled;
        m_holdTimer->start(QApplication::doubleClickInterval());
    } else {
        Q_EMIT ClickSettled(settled);
    }
}

void TStateTree::SetPointerVariants(int nodeVariants, int stateVariants)
{
    m_nodeVariants = nodeVariants;
    m_stateVariants = stateVariants;
}

QVariant TStateTree::CheckState(int stateIndex) const
{
    if (m_stateVariants <= 0 || stateIndex <= 0)
        return {};
    const int normal = (stateIndex - 1) % m_stateVariants + 1;
    if (normal > 2)
        return {};
    return normal == 1 ? Qt::Checked : Qt::Unchecked;
}

void TStateTree::LoseNodeVariant(TStateTreeItem *node) const
{
    if (node->NodeIndex() >= m_nodeVariants && node->NodeIndex() < 2 * m_nodeVariants)
        node->SetNodeIndex(node->NodeIndex() - m_nodeVariants);
}

void TStateTree::LoseStateVariant(TStateTreeItem *node) const
{
    if (node->StateIndex() > m_stateVariants && node->StateIndex() <= 2 * m_stateVariants)
        node->SetStateIndex(node->StateIndex() - m_stateVariants);
}

// Off the rows nothing changes; on a part without variants the hot node cools down.
void TStateTree::FollowPointer(const TTreeHit &hit)
{
    TStateTreeItem *node = Item(hit.item);
    if (!node)
        return;
    TStateTreeItem *hot = m_hot;
    if (hit.part == THitPart::NodePicture && m_nodeVariants > 0) {
        if (node->NodeIndex() >= 0 && node->NodeIndex() < m_nodeVariants)
            node->SetNodeIndex(node->NodeIndex() + m_nodeVariants);
        if (hot) {
            LoseStateVariant(hot);
            if (hot != node)
                LoseNodeVariant(hot);
        }
    } else if (hit.part == THitPart::StatePicture && m_stateVariants > 0) {
        if (node->StateIndex() >= 1 && node->StateIndex() <= m_stateVariants)
            node->SetStateIndex(node->StateIndex() + m_stateVariants);
        if (hot) {
            LoseNodeVariant(hot);
            if (hot != node)
                LoseStateVariant(hot);
        }
    } else {
        if (hot) {
            LoseStateVariant(hot);
            LoseNodeVariant(hot);
        }
        node = nullptr;
    }
    m_hot = node;
}

void TStateTree::mouseMoveEvent(QMouseEvent *event)
{
    QTreeWidget::mouseMoveEvent(event);
    const TTreeHit hit = HitTest(event->position().toPoint());
    FollowPointer(hit);
    Q_EMIT PointerMoved(hit);
}

void TStateTree::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        m_inDoubleClick = false;
    }
    QTreeWidget::mousePressEvent(event);
}

void TStateTree::mouseReleaseEvent(QMouseEvent *event)
{
    QTreeWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const bool click = m_pressed && !m_inDoubleClick;
    m_pressed = false;
    m_inDoubleClick = false;
    if (click)
        HandleClick(HitTest(event->position().toPoint()));
}

void TStateTree::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        // The release that ends a double click is no click of its own.
        m_inDoubleClick = true;
        m_pressed = false;
        // The held click of this double click's first half gives way to it.
        const TTreeHit hit = HitTest(event->position().toPoint());
        if (hit.item && hit.item == m_held.item)
            DropHeldClick();
    }
    QTreeWidget::mouseDoubleClickEvent(event);
}

void TStateTree::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        // No double click can follow a key: a group's toggle comes at once.
        if (QTreeWidgetItem *item = currentItem())
            HandleClick({item, THitPart::Text}, false);
        return;
    }
    QTreeWidgetItem *before = currentItem();
    QTreeWidget::keyPressEvent(event);
    if (currentItem() && currentItem() != before)
        Q_EMIT CurrentMovedByKey(currentItem());
}

bool TStateTree::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip || event->type() == QEvent::WhatsThis)
        return true;
    return QTreeWidget::viewportEvent(event);
}
