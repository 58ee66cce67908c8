#include "import/node_data.h"

#include <QTest>

class TestNodeData : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void addIgnoresEmptyAndKeepsDuplicates();
    void lastName();
    void setKeepsValueOnEmptyText();
    void resolveChoices_data();
    void resolveChoices();
    void resolveTrackWithoutNamesDoesNotCrash();
    void mergeCandidates_data();
    void mergeCandidates();
};

void TestNodeData::addIgnoresEmptyAndKeepsDuplicates()
{
    TSelectFilesData data;
    for (const QString &text :
         {QStringLiteral("ABBA"), QString(), QStringLiteral("ABBA"), QStringLiteral("abba")}) {
        data.AddName(text);
        data.AddAlbum(text);
        data.AddComposer(text);
        data.AddArtist(text);
    }
    const QStringList expected{QStringLiteral("ABBA"), QStringLiteral("ABBA"),
                               QStringLiteral("abba")};
    QCOMPARE(data.Names, expected);
    QCOMPARE(data.Albums, expected);
    QCOMPARE(data.Composers, expected);
    QCOMPARE(data.Artists, expected);
}

void TestNodeData::lastName()
{
    TSelectFilesData data;
    QCOMPARE(data.LastName(), QString());
    // A CD track for which the tool found two discs.
    data.AddName(QStringLiteral("Joga"));
    data.AddName(QStringLiteral("Jóga (live)"));
    QCOMPARE(data.LastName(), QStringLiteral("Jóga (live)"));

    TNodeData node;
    node.Names = data.Names;
    node.ResolveChoices(QStringLiteral("Unknown"));
    QCOMPARE(node.Name, QStringLiteral("Joga"));
    QCOMPARE(node.LastName(), QStringLiteral("Jóga (live)"));
}

void TestNodeData::setKeepsValueOnEmptyText()
{
    TNodeData node;
    QCOMPARE(node.SavedState, 0);
    QVERIFY(!node.IsGroup);
    node.SetAlbum(QStringLiteral("Homogenic"));
    node.SetComposer(QStringLiteral("Björk"));
    node.SetArtist(QStringLiteral("Björk G."));
    node.SetName(QStringLiteral("Jóga"));
    node.SetAlbum(QString());
    node.SetComposer(QString());
    node.SetArtist(QString());
    node.SetName(QString());
    QCOMPARE(node.Album, QStringLiteral("Homogenic"));
    QCOMPARE(node.Composer, QStringLiteral("Björk"));
    QCOMPARE(node.Artist, QStringLiteral("Björk G."));
    QCOMPARE(node.Name, QStringLiteral("Jóga"));
}

void TestNodeData::resolveChoices_data()
{
    QTest::addColumn<bool>("isGroup");
    QTest::addColumn<QStringList>("candidates");
    QTest::addColumn<QString>("chosen");

    const QStringList none;
    const QStringList one{QStringLiteral("Rock")};
    const QStringList two{QStringLiteral("Rock"), QStringLiteral("rock")};
    // The text for no candidate is the one the caller gives (the texts file's).
    QTest::newRow("folder, none") << true << none << QStringLiteral("Unbekannt");
    QTest::newRow("folder, one") << true << one << QStringLiteral("Rock");
    QTest::newRow("folder, tracks disagree") << true << two << QString();
    QTest::newRow("track, none") << false << none << QStringLiteral("Unbekannt");
    QTest::newRow("track, one") << false << one << QStringLiteral("Rock");
    QTest::newRow("track, first of two") << false << two << QStringLiteral("Rock");
}

void TestNodeData::resolveChoices()
{
    QFETCH(bool, isGroup);
    QFETCH(QStringList, candidates);
    QFETCH(QString, chosen);

    TNodeData node;
    node.IsGroup = isGroup;
    node.Name = QStringLiteral("kept for a folder");
    node.Names = {QStringLiteral("First"), QStringLiteral("Second")};
    node.Albums = candidates;
    node.Composers = candidates;
    node.Artists = candidates;
    node.ResolveChoices(QStringLiteral("Unbekannt"));
    QCOMPARE(node.Album, chosen);
    QCOMPARE(node.Composer, chosen);
    QCOMPARE(node.Artist, chosen);
    QCOMPARE(node.Name, isGroup ? QStringLiteral("kept for a folder") : QStringLiteral("First"));
}

void TestNodeData::resolveTrackWithoutNamesDoesNotCrash()
{
    TNodeData node;
    node.ResolveChoices(QStringLiteral("Unknown"));
    QCOMPARE(node.Name, QString());
    QCOMPARE(node.Album, QStringLiteral("Unknown"));
}

void TestNodeData::mergeCandidates_data()
{
    QTest::addColumn<QStringList>("target");
    QTest::addColumn<QStringList>("source");
    QTest::addColumn<QStringList>("merged");

    const auto list = [](std::initializer_list<const char *> texts) {
        QStringList result;
        for (const char *text : texts)
            result.append(QString::fromUtf8(text));
        return result;
    };
    QTest::newRow("into empty, keeps order")
        << QStringList() << list({"b", "a"}) << list({"b", "a"});
    QTest::newRow("equal entries once") << list({"a"}) << list({"a", "b", "b"}) << list({"a", "b"});
    QTest::newRow("case differs: two entries")
        << list({"Rock"}) << list({"rock", "ROCK"}) << list({"Rock", "rock", "ROCK"});
    QTest::newRow("empty entries skipped")
        << list({"a"}) << list({"", "c", ""}) << list({"a", "c"});
    QTest::newRow("empty source") << list({"a"}) << QStringList() << list({"a"});
}

void TestNodeData::mergeCandidates()
{
    QFETCH(QStringList, target);
    QFETCH(QStringList, source);
    QFETCH(QStringList, merged);
    MergeCandidates(target, source);
    QCOMPARE(target, merged);
}

QTEST_GUILESS_MAIN(TestNodeData)
#include "tst_node_data.moc"
