#include "pages/state_tree.h"

#include <QAccessible>
#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

Q_DECLARE_METATYPE(THitPart)

namespace {

QPixmap Solid(const QColor &color)
{
    QPixmap picture(TStateTree::PictureSize, TStateTree::PictureSize);
    picture.fill(color);
    return picture;
}

void SendMouse(QWidget *viewport, QEvent::Type type, const QPoint &pos,
               Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease || type == QEvent::MouseMove
        ? Qt::NoButton
        : Qt::MouseButtons(button);
    QMouseEvent event(type, pos, viewport->mapToGlobal(pos),
                      type == QEvent::MouseMove ? Qt::NoButton : button, buttons, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
}

} // namespace

class TestStateTree : public QObject {
    Q_OBJECT

private:
    TStateTree *tree = nullptr;
    TStateTreeItem *root = nullptr;
    TStateTreeItem *leaf = nullptr;
    TStateTreeItem *bare = nullptr; // no state and no node picture

private Q_SLOTS:
    void init()
    {
        tree = new TStateTree;
        tree->resize(300, 200);
        tree->SetStatePictures({QPixmap(), Solid(Qt::red), Solid(Qt::green)});
        tree->SetNodePictures({Solid(Qt::blue), Solid(Qt::yellow)});
        root = new TStateTreeItem(QStringLiteral("Root"), 0, 1);
        leaf = new TStateTreeItem(QStringLiteral("Leaf"), 1, 0);
        bare = new TStateTreeItem(QStringLiteral("Bare"));
        root->addChild(leaf);
        root->addChild(bare);
        tree->addTopLevelItem(root);
        root->setExpanded(true);
        tree->show();
        QVERIFY(QTest::qWaitForWindowExposed(tree));
    }

    void cleanup()
    {
        delete tree;
        tree = nullptr;
    }

    void hitTest_data()
    {
        QTest::addColumn<int>("row"); // 0 root, 1 leaf, 2 bare
        QTest::addColumn<int>("dx");  // from the left of the row's item rectangle
        QTest::addColumn<THitPart>("part");
        QTest::newRow("leaf state") << 1 << 3 << THitPart::StatePicture;
        QTest::newRow("leaf node") << 1 << 16 + 3 << THitPart::NodePicture;
        QTest::newRow("leaf text") << 1 << 32 + 6 << THitPart::Text;
        QTest::newRow("leaf right of text") << 1 << 250 << THitPart::Elsewhere;
        QTest::newRow("leaf indentation") << 1 << -3 << THitPart::Elsewhere;
        QTest::newRow("root without state: node first") << 0 << 3 << THitPart::NodePicture;
        QTest::newRow("root text") << 0 << 16 + 6 << THitPart::Text;
        QTest::newRow("root button") << 0 << -5 << THitPart::ExpandButton;
        QTest::newRow("bare: text at once") << 2 << 3 << THitPart::Text;
    }

    void hitTest()
    {
        QFETCH(int, row);
        QFETCH(int, dx);
        QFETCH(THitPart, part);
        QTreeWidgetItem *item = QList<QTreeWidgetItem *>{root, leaf, bare}.at(row);
        const QRect rect = tree->visualItemRect(item);
        const TTreeHit hit = tree->HitTest(QPoint(rect.left() + dx, rect.center().y()));
        QCOMPARE(hit.part, part);
        QCOMPARE(hit.item, item);
        QCOMPARE(tree->HitTest(QPoint(5, 190)).part, THitPart::Nowhere);
    }

    void picturesAreDrawnBeforeTheText()
    {
        const QImage image = tree->viewport()->grab().toImage();
        const QRect rect = tree->visualItemRect(leaf);
        const int y = rect.center().y();
        QCOMPARE(image.pixelColor(rect.left() + 8, y), QColor(Qt::red));
        QCOMPARE(image.pixelColor(rect.left() + 24, y), QColor(Qt::blue));
        leaf->SetStateIndex(2);
        leaf->SetNodeIndex(tree->AddNodePicture(Solid(Qt::magenta)));
        const QImage changed = tree->viewport()->grab().toImage();
        QCOMPARE(changed.pixelColor(rect.left() + 8, y), QColor(Qt::green));
        QCOMPARE(changed.pixelColor(rect.left() + 24, y), QColor(Qt::magenta));
    }

    // Space is a click on the current row's text, a group's too, delivered at once as no
    // double click can follow; the other keys move, and say so.
    void keys_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<QString>("movedTo");
        const struct {
            const char *name, *current;
            int key;
            const char *clicked, *movedTo;
        } rows[] = {
            {"Space on a track", "Leaf", Qt::Key_Space, "Leaf", ""},
            {"Space on a group", "Root", Qt::Key_Space, "Root", ""},
            {"Space on no row", "", Qt::Key_Space, "", ""},
            {"Down to a track", "Root", Qt::Key_Down, "", "Leaf"},
            {"Up to the group", "Leaf", Qt::Key_Up, "", "Root"},
            {"End to the last", "Root", Qt::Key_End, "", "Bare"},
            {"Down on the last", "Bare", Qt::Key_Down, "", ""},
        };
        for (const auto &row : rows) {
            QTest::newRow(row.name)
                << QString::fromLatin1(row.current) << row.key << QString::fromLatin1(row.clicked)
                << QString::fromLatin1(row.movedTo);
        }
    }

    void keys()
    {
        QFETCH(QString, current);
        QFETCH(int, key);
        QFETCH(QString, clicked);
        QFETCH(QString, movedTo);
        tree->setCurrentItem(tree->findItems(current, Qt::MatchRecursive).value(0));
        QSignalSpy clicks(tree, &TStateTree::ClickSettled);
        QSignalSpy moves(tree, &TStateTree::CurrentMovedByKey);
        QTest::keyClick(tree, Qt::Key(key));
        QStringList seen;
        for (const QList<QVariant> &click : clicks) {
            seen << click.at(0).value<TTreeHit>().item->text(0);
            QCOMPARE(click.at(0).value<TTreeHit>().part, THitPart::Text);
        }
        QCOMPARE(seen.join(u','), clicked);
        seen.clear();
        for (const QList<QVariant> &move : moves)
            seen << move.at(0).value<QTreeWidgetItem *>()->text(0);
        QCOMPARE(seen.join(u','), movedTo);
    }

    // In a tree of check boxes a screen reader hears each row's check; the header reads
    // the tree's heading, not a column number.
    void rowsTellTheirCheck()
    {
        tree->SetPointerVariants(0, 2);
        tree->setHeaderLabel(QStringLiteral("Tracks"));
        QAccessibleTableInterface *table =
            QAccessible::queryAccessibleInterface(tree)->tableInterface();
        QVERIFY(table);
        const QAccessible::State group = table->cellAt(0, 0)->state();
        QVERIFY(!group.checkable);
        QAccessibleInterface *track = table->cellAt(1, 0);
        QCOMPARE(track->text(QAccessible::Name), QStringLiteral("Leaf"));
        QVERIFY(track->state().checkable);
        QVERIFY(track->state().checked);
        leaf->SetStateIndex(4); // not checked, under the pointer
        QVERIFY(!track->state().checked);
        QCOMPARE(QAccessible::queryAccessibleInterface(tree)->child(0)->text(QAccessible::Name),
                 QStringLiteral("Tracks"));
    }

    // A click is press and release; the second click of a double click is none.
    void clicksAndDoubleClicks()
    {
        QSignalSpy clicked(tree, &TStateTree::ClickSettled);
        QSignalSpy moved(tree, &TStateTree::PointerMoved);
        const QPoint text = tree->TextRect(leaf).center();
        SendMouse(tree->viewport(), QEvent::MouseMove, text);
        QCOMPARE(moved.count(), 1);
        QCOMPARE(moved.at(0).at(0).value<TTreeHit>().part, THitPart::Text);
        SendMouse(tree->viewport(), QEvent::MouseButtonPress, text);
        SendMouse(tree->viewport(), QEvent::MouseButtonRelease, text);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.at(0).at(0).value<TTreeHit>().item, leaf);
        SendMouse(tree->viewport(), QEvent::MouseButtonDblClick, text);
        SendMouse(tree->viewport(), QEvent::MouseButtonRelease, text);
        QCOMPARE(clicked.count(), 1);
        const QPoint rootText = tree->TextRect(root).center();
        SendMouse(tree->viewport(), QEvent::MouseButtonPress, rootText);
        SendMouse(tree->viewport(), QEvent::MouseButtonRelease, rootText);
        SendMouse(tree->viewport(), QEvent::MouseButtonDblClick, rootText);
        SendMouse(tree->viewport(), QEvent::MouseButtonRelease, rootText);
        QVERIFY(!root->isExpanded()); // the tree still expands and collapses on a double click
        SendMouse(tree->viewport(), QEvent::MouseButtonPress, text, Qt::RightButton);
        SendMouse(tree->viewport(), QEvent::MouseButtonRelease, text, Qt::RightButton);
        QCOMPARE(clicked.count(), 1);
    }

    // ClickSettled holds a click on a node with children for the double-click interval.
    void heldClick()
    {
        auto *inner = new TStateTreeItem(QStringLiteral("Inner"));
        bare->addChild(inner);
        QSignalSpy settled(tree, &TStateTree::ClickSettled);
        const auto click = [this](QTreeWidgetItem *item) {
            SendMouse(tree->viewport(), QEvent::MouseButtonPress, tree->TextRect(item).center());
            SendMouse(tree->viewport(), QEvent::MouseButtonRelease, tree->TextRect(item).center());
        };
        const auto settledItem = [&settled](int i) {
            return settled.at(i).at(0).value<TTreeHit>().item;
        };

        // A leaf's click comes at once, a group's after the interval.
        click(leaf);
        QCOMPARE(settled.count(), 1);
        QCOMPARE(settledItem(0), leaf);
        click(root);
        QCOMPARE(settled.count(), 1);
        QVERIFY(tree->HoldsClick());
        QTRY_COMPARE(settled.count(), 2);
        QCOMPARE(settledItem(1), root);
        QCOMPARE(settled.at(1).at(0).value<TTreeHit>().part, THitPart::Text);

        // A double click on the held node drops it.
        click(root);
        SendMouse(tree->viewport(), QEvent::MouseButtonDblClick, tree->TextRect(root).center());
        SendMouse(tree->viewport(), QEvent::MouseButtonRelease, tree->TextRect(root).center());
        QVERIFY(!tree->HoldsClick());
        QCOMPARE(settled.count(), 2);
        root->setExpanded(true);

        // Another click delivers the held one first.
        click(root);
        click(leaf);
        QCOMPARE(settled.count(), 4);
        QCOMPARE(settledItem(2), root);
        QCOMPARE(settledItem(3), leaf);
        QVERIFY(!tree->HoldsClick());

        // A held node that leaves the tree, with an ancestor or by clear(), goes unheard.
        click(bare);
        QVERIFY(tree->HoldsClick());
        delete root;
        QVERIFY(!tree->HoldsClick());
        auto *other = new TStateTreeItem(QStringLiteral("Other"));
        other->addChild(new TStateTreeItem(QStringLiteral("Child")));
        tree->addTopLevelItem(other);
        click(other);
        QVERIFY(tree->HoldsClick());
        tree->clear();
        QVERIFY(!tree->HoldsClick());
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QCOMPARE(settled.count(), 4);
    }

    void hotItemIsForgottenWithItsNode()
    {
        tree->SetHotItem(leaf);
        delete root->takeChild(0);
        QCOMPARE(tree->HotItem(), nullptr);
        tree->SetHotItem(bare);
        delete root;
        QCOMPARE(tree->HotItem(), nullptr);
        auto *other = new TStateTreeItem(QStringLiteral("Other"));
        tree->addTopLevelItem(other);
        tree->SetHotItem(other);
        tree->clear();
        QCOMPARE(tree->HotItem(), nullptr);
    }
};

QTEST_MAIN(TestStateTree)
#include "tst_state_tree.moc"
