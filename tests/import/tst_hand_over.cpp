#include "describe_world.h"

#include "import/hand_over.h"

#include <QTest>

class TestHandOver : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TDescribeWorld> m_world;

    // A selection tree from lines: "+folder/" or "-folder/" (checked or not, relative to the
    // world), then its tracks " +file|name|album|composer|artist", or " +file" for a track
    // without a record.
    void BuildSelection(const QStringList &lines) const
    {
        QString folder;
        bool checked = false;
        QList<TSelectedTrack> tracks;
        const auto flush = [&] {
            if (!folder.isEmpty())
                m_world->AddFolder(folder, tracks, checked);
            tracks.clear();
        };
        for (const QString &line : lines) {
            const bool isTrack = line.startsWith(QLatin1Char(' '));
            const QString text = line.trimmed();
            if (!isTrack) {
                flush();
                folder = text.mid(1);
                checked = text.startsWith(QLatin1Char('+'));
                continue;
            }
            const QStringList fields = text.mid(1).split(QLatin1Char('|'));
            TSelectedTrack track{fields.at(0), fields.value(1), fields.value(2), fields.value(3),
                                 fields.value(4)};
            track.checked = text.startsWith(QLatin1Char('+'));
            track.hasRecord = fields.size() > 1;
            tracks.append(track);
        }
        flush();
    }

    // "folder: album/composer/artist [albums]" per group, "  file: name/album/composer/artist
    // [names]" per track.
    QStringList Described() const
    {
        const auto values = [](const TNodeData &data) {
            return data.Album + QLatin1Char('/') + data.Composer + QLatin1Char('/') + data.Artist;
        };
        QStringList lines;
        TStateTree *tree = TDescribeWorld::Description()->TreeViewFiles();
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            const TDescriptionItem *group = TDescribeWorld::Node(i);
            lines << group->text(0).mid(m_world->Root.size()) + QStringLiteral(": ")
                    + values(group->Data) + QStringLiteral(" [")
                    + group->Data.Albums.join(QLatin1Char(',')) + QLatin1Char(']');
            for (int j = 0; j < group->childCount(); ++j) {
                const TDescriptionItem *track = group->Track(j);
                lines << QStringLiteral("  ") + track->text(0) + QStringLiteral(": ")
                        + track->Data.Name + QLatin1Char('/') + values(track->Data)
                        + QStringLiteral(" [") + track->Data.Names.join(QLatin1Char(','))
                        + QLatin1Char(']');
            }
        }
        return lines;
    }

private Q_SLOTS:
    void init()
    {
        m_world = std::make_unique<TDescribeWorld>();
        m_world->SetVolumes({QStringLiteral("disk\tfixed\t1"),
                             QStringLiteral("stick\tremovable\t1"), QStringLiteral("cd\tcd\t1")});
    }
    void cleanup() { m_world.reset(); }

    void describesTheCheckedTracks_data();
    void describesTheCheckedTracks();
    void nodesStartNotLookedAtWithTheirPictures();
    void enterOnTheSelectionPageHandsOver();
};

void TestHandOver::describesTheCheckedTracks_data()
{
    QTest::addColumn<QStringList>("selection");
    QTest::addColumn<QStringList>("described");
    const auto lines = [](const char *text) {
        return QString::fromUtf8(text).split(QLatin1Char('\n'));
    };
    QTest::newRow("a track without tags")
        << lines("+disk/Rock/\n +a b.mp3||||")
        << lines("disk/Rock/: // [Rock,rock,ROCK]\n  a b.mp3: a b/Unknown/Unknown/Unknown [a b]");
    QTest::newRow("a folder named 2005, a WAV track")
        << lines("+disk/2005/\n +t.mp3||||\n +c.wav")
        << lines("disk/2005/: 2005/2005/2005 [2005]\n"
                 "  t.mp3: t/Unknown/Unknown/Unknown [t]\n"
                 "  c.wav: c/Unknown/Unknown/Unknown [c]");
    QTest::newRow("titles first, the tags' album before the folder names")
        << lines("+disk/pink FLOYD/the.wall/\n"
                 " +01 flesh.mp3|In the Flesh?|The Wall||Pink Floyd\n"
                 " +02.mp3|02|The Wall||Pink Floyd")
        << lines(
               "disk/pink FLOYD/the.wall/: // "
               "[The Wall,The.Wall,the.wall,THE.WALL,Pink Floyd,pink floyd,PINK FLOYD]\n"
               "  01 flesh.mp3: In the Flesh?/The Wall/Unknown/Pink Floyd [In the Flesh?,01 flesh]\n"
               "  02.mp3: 02/The Wall/Unknown/Pink Floyd [02]");
    QTest::newRow("two albums on a stick's root")
        << lines("+stick/\n +a.mp3|A|One||X\n +b.mp3|B|Two||X")
        << lines("stick/: /Unknown/X [One,Two]\n"
                 "  a.mp3: A/One/Unknown/X [A,a]\n"
                 "  b.mp3: B/Two/Unknown/X [B,b]");
    QTest::newRow("an audio CD's root")
        << lines("+cd/\n +Track01.cda|Speak|Dark Side|Floyd|Floyd\n"
                 " +Track02.cda|Breathe|Dark Side|Floyd|Floyd")
        << lines("cd/: Dark Side/Floyd/Floyd [Dark Side]\n"
                 "  Track01.cda: Speak/Dark Side/Floyd/Floyd [Speak,Track01]\n"
                 "  Track02.cda: Breathe/Dark Side/Floyd/Floyd [Breathe,Track02]");
    QTest::newRow("unchecked folders and tracks stay behind")
        << lines("+disk/A/\n +1.mp3||||\n -2.mp3||||\n-disk/B/\n +3.mp3||||\n"
                 "+disk/C/\n -4.mp3||||")
        << lines("disk/A/: // [A,a]\n  1.mp3: 1/Unknown/Unknown/Unknown [1]\ndisk/C/: // [C,c]");
}

void TestHandOver::describesTheCheckedTracks()
{
    QFETCH(QStringList, selection);
    BuildSelection(selection);
    TDescribeWorld::HandOver();
    QTEST(Described(), "described");
}

void TestHandOver::nodesStartNotLookedAtWithTheirPictures()
{
    m_world->AddFolder(QStringLiteral("disk/A/"), {{QStringLiteral("a.mp3")}});
    TStateTree *selection = TDescribeWorld::Selection()->TreeViewFiles();
    // A second folder picture, as a scan adds one for a folder that looks different.
    const int stick = selection->AddNodePicture(TreePictures({"album"}).constFirst());
    m_world->AddFolder(QStringLiteral("stick/B/"), {{QStringLiteral("b.mp3")}})
        ->SetNodeIndex(stick);
    TDescribeWorld::HandOver(true);

    TFormSetProperties *page = TDescribeWorld::Description();
    QVERIFY(!page->isHidden());
    QVERIFY(TDescribeWorld::Selection()->isHidden());
    QVERIFY(page->FromRemovable);
    TStateTree *tree = page->TreeViewFiles();
    QCOMPARE(tree->NodePictures().size(), selection->NodePictures().size());
    QCOMPARE(tree->NodePictures().at(stick).toImage(),
             selection->NodePictures().at(stick).toImage());
    for (int i = 0; i < 2; ++i) {
        for (TDescriptionItem *node : {TDescribeWorld::Node(i), TDescribeWorld::Node(i, 0)}) {
            QCOMPARE(node->StateIndex(), int(ReviewNew));
            QCOMPARE(node->Data.SavedState, int(ReviewNew));
            QCOMPARE(node->IsGroup(), node->parent() == nullptr);
        }
        QCOMPARE(TDescribeWorld::Node(i)->NodeIndex(), selection->TopItem(i)->NodeIndex());
        QCOMPARE(TDescribeWorld::Node(i, 0)->NodeIndex(), 0);
    }
    QCOMPARE(TDescribeWorld::Node(1)->VolumeRoot, m_world->Root + QStringLiteral("stick/"));

    // A second hand-over starts afresh.
    SwitchPage(page, TDescribeWorld::Selection());
    TDescribeWorld::Selection()->TreeViewFiles()->clear();
    m_world->AddFolder(QStringLiteral("disk/C/"), {{QStringLiteral("c.mp3")}});
    TDescribeWorld::HandOver(false);
    QCOMPARE(tree->topLevelItemCount(), 1);
    QCOMPARE(TDescribeWorld::Node(0)->text(0), m_world->Root + QStringLiteral("disk/C/"));
    QVERIFY(!page->FromRemovable);
}

void TestHandOver::enterOnTheSelectionPageHandsOver()
{
    m_world->Write(QStringLiteral("disk/Blue/so what.mp3"), TScanWorld::Mp3());
    m_world->Write(QStringLiteral("disk/Blue/all blues.mp3"), TScanWorld::Mp3());
    TFormSelectFiles *selection = TDescribeWorld::Selection();
    selection->SearchMode = 2;
    selection->ChosenFolder = m_world->Root + QStringLiteral("disk/");
    SwitchPage(Page<TFormMain>(), selection);
    QTRY_VERIFY(selection->Timer1()->isActive());
    QTest::keyClick(selection->TreeViewFiles(), Qt::Key_Return);
    QVERIFY(!TDescribeWorld::Description()->isHidden());
    QCOMPARE(
        Described(),
        QStringList({QStringLiteral("disk/Blue/: // [Blue,blue,BLUE]"),
                     QStringLiteral("  all blues.mp3: all blues/Unknown/Unknown/Unknown "
                                    "[all blues]"),
                     QStringLiteral("  so what.mp3: so what/Unknown/Unknown/Unknown [so what]")}));
}

QTEST_MAIN(TestHandOver)
#include "tst_hand_over.moc"
