#include "app/main_page.h"
#include "base/application.h"
#include "catalog/catalog.h"
#include "catalog/catalog_file.h"
#include "catalog/view_catalog_page.h"
#include "copy_world.h"
#include "fake_tool.h"
#include "import/copy_files_page.h"
#include "pages/frame_window.h"
#include "search/select_files_page.h"

#include <QLabel>
#include <QRegularExpression>
#include <QTimer>

#include <sys/stat.h>

// The copy page among the pages it leads to, over a copy world. The tag tool is a fake that
// holds the second track until the test lets it go, so that the test can act during the run.
class TestCopyFilesPage : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TCopyWorld> m_world;
    std::unique_ptr<TCatalog> m_catalog;
    std::unique_ptr<TFrameWindow> m_frame;

    TFormCopyFiles *Page() const { return ::Page<TFormCopyFiles>(); }

    QString Label(const char *name) const
    {
        return Page()->findChild<QLabel *>(QLatin1String(name))->text();
    }

    // Tracks of one new artist and album, handed over on the page from.
    void StartRun(int tracks = 5, TFormBase *from = ::Page<TFormMain>(),
                  const QString &name = QStringLiteral("%1.mp3"))
    {
        for (int i = 0; i < tracks; ++i)
            m_catalog->PendingRecords << TCopyWorld::Record(
                QStringLiteral("Artist"), QStringLiteral("Album"),
                m_world->Write(QStringLiteral("stick/") + name.arg(i), "mp3"));
        Page()->Catalog = m_catalog.get();
        SwitchPage(from, Page());
    }

    // The tag tool holds the track at position held (from 1) until the test lets it go.
    void HoldTrack(int held) const
    {
        QVERIFY(WriteFakeTool(m_world->Services.ProgramFolder + QStringLiteral("wma"),
                              QStringLiteral("cd '%1'; echo x >> calls\n"
                                             "if [ $(wc -l < calls) -eq %2 ]; then touch started;\n"
                                             "  while [ ! -e go ]; do sleep 0.01; done; fi")
                                  .arg(m_world->Root)
                                  .arg(held)));
    }

    // Runs action inside the run, while the tag tool holds its track (the second unless the
    // test says otherwise), then lets the tool go on.
    void DuringSecondTrack(const std::function<void()> &action)
    {
        auto *poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [this, poll, action] {
            if (!QFileInfo::exists(m_world->Root + QStringLiteral("started")))
                return;
            poll->deleteLater();
            action();
            m_world->Write(QStringLiteral("go"), QByteArray());
        });
        poll->start(10);
    }

private Q_SLOTS:
    void init()
    {
        m_world = std::make_unique<TCopyWorld>();
        HoldTrack(2);
        m_catalog = std::make_unique<TCatalog>();
        m_frame = std::make_unique<TFrameWindow>(m_world->Services);
        new TFormMain(m_frame.get());
        new TFormSelectFiles(m_frame.get());
        new TFormCopyFiles(m_frame.get());
        new TFormViewCatalog(*m_catalog, m_frame.get());
        m_world->UseSettings(true, true);
        SwitchPage(nullptr, TPageId::Main);
    }

    void cleanup()
    {
        m_frame.reset();
        m_catalog.reset();
        m_world.reset();
    }

    void storedTracksReachTheCatalog()
    {
        m_world->Write(QStringLiteral("go"), QByteArray());
        StartRun(3);
        QTRY_VERIFY(!::Page<TFormViewCatalog>()->isHidden());
        QCOMPARE(Label("Label1"), QStringLiteral("Copied 3 tracks from 3"));
        QTRY_COMPARE(ReadLines(CatalogPath()).size(), 4);
        const QStringList lines = ReadLines(CatalogPath());
        QVERIFY(ParseRecord(lines.at(1))
                    .FileName.startsWith(m_world->Storage + QStringLiteral("/Artist/Album/")));
        QVERIFY(!Page()->Busy);
        QVERIFY(!Page()->Catalog);
    }

    // Escape stands for the default "Return to tracks selection", which would roll the run back:
    // while the run goes on it does nothing.
    void escapeDuringRunIsIgnored()
    {
        DuringSecondTrack([this] { QTest::keyClick(Page(), Qt::Key_Escape); });
        StartRun(3);
        QTRY_VERIFY(!::Page<TFormViewCatalog>()->isHidden());
        QCOMPARE(Label("Label1"), QStringLiteral("Copied 3 tracks from 3"));
    }

    // A button pressed while the page tells of a skipped track leaves the page, and the
    // stored tracks reach the catalog all the same.
    void storedTracksReachTheCatalogWhenLeftEarly()
    {
        m_world->Write(QStringLiteral("go"), QByteArray());
        const QString pipe = m_world->Root + QStringLiteral("stick/pipe.mp3");
        StartRun(2);
        QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        m_catalog->PendingRecords << TCopyWorld::Record(QStringLiteral("Artist"),
                                                        QStringLiteral("Album"), pipe);
        // The run shows the skip inside its own event loop, where this watch runs.
        auto *watch = new QTimer(this);
        connect(watch, &QTimer::timeout, this, [this, watch] {
            if (!Label("LabelProgress").startsWith(QStringLiteral("Skipped 1 ")))
                return;
            watch->deleteLater();
            Page()->findChild<TIconButton *>(QStringLiteral("ButtonReturnToMain"))->click();
        });
        watch->start(10);
        QTRY_VERIFY(!::Page<TFormMain>()->isHidden());
        QVERIFY(m_catalog->PendingRecords.isEmpty());
        const QStringList lines = ReadLines(CatalogPath());
        QCOMPARE(lines.size(), 3);
        for (const QString &line : lines.mid(1))
            QVERIFY(ParseRecord(line).FileName.startsWith(m_world->Storage));
    }

    // A catalog view left before its start message arrived must not take the records that a
    // copy run is storing: they would reach the catalog with the stick's paths.
    void catalogViewLeftEarlyLeavesTheRunAlone()
    {
        m_world->Write(QStringLiteral("go"), QByteArray());
        SwitchPage(::Page<TFormMain>(), TPageId::ViewCatalog);
        StartRun(3, ::Page<TFormViewCatalog>());
        QTRY_COMPARE(ReadLines(CatalogPath()).size(), 4);
        for (const QString &line : ReadLines(CatalogPath()).mid(1))
            QVERIFY(ParseRecord(line).FileName.startsWith(m_world->Storage));
    }

    // The track being copied shows by its name, cut in the middle to fit; after the first
    // few tracks, the time left.
    void fileAndTimeLeftShowDuringTheRun()
    {
        HoldTrack(5);
        QString step;
        QString progress;
        DuringSecondTrack([&] {
            step = Label("Label2");
            progress = Label("LabelProgress");
        });
        StartRun(6, ::Page<TFormMain>(),
                 QStringLiteral("A long file name of a live recording <b>%1 in the rain, %1.mp3"));
        QTRY_VERIFY(!::Page<TFormViewCatalog>()->isHidden());
        QVERIFY2(step.startsWith(QStringLiteral("A long fil")) && step.contains(QChar(0x2026))
                     && step.endsWith(QStringLiteral("rain, 4.mp3")),
                 qPrintable(step));
        static const QRegularExpression timeLeft(
            QStringLiteral("^Tracks copying\\.\\.\\. Time left: about \\d+ (seconds|minutes)$"));
        QVERIFY2(progress.contains(timeLeft), qPrintable(progress));
    }

    // "Return to main menu" or the close box during the second of five tracks: that track is
    // finished, then everything the run made goes, newest first; then the main menu follows,
    // or the program ends (the close box only asks while the run goes on).
    void stopDuringRunRollsBack_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Return to main menu") << false;
        QTest::newRow("close box") << true;
    }

    void stopDuringRunRollsBack()
    {
        QFETCH(bool, closeBox);
        const QStringList before = m_world->StorageListing();
        bool stayedDuringRun = false;
        DuringSecondTrack([&, closeBox] {
            if (closeBox)
                m_frame->close();
            else
                Page()->findChild<TIconButton *>(QStringLiteral("ButtonReturnToMain"))->click();
            stayedDuringRun = !ApplicationEnding() && Page()->Busy;
        });
        StartRun();
        QTRY_VERIFY_WITH_TIMEOUT(closeBox ? ApplicationEnding() : !::Page<TFormMain>()->isHidden(),
                                 10000);
        QVERIFY(stayedDuringRun);
        QCOMPARE(Label("LabelProgress"), QStringLiteral("Copying results rolling back... "));
        QCOMPARE(Label("Label1"), QStringLiteral("Deleted 4 tracks from 4"));
        QCOMPARE(m_world->StorageListing(), before);
        QVERIFY(m_catalog->PendingRecords.isEmpty());
    }
};

QTEST_MAIN(TestCopyFilesPage)
#include "tst_copy_files_page.moc"
