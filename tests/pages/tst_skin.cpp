#include "app/main_page.h"
#include "base/application.h"
#include "base/ini_file.h"
#include "base/locations.h"
#include "pages/frame_window.h"
#include "pages/skin.h"
#include "test_services.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class TestSkin : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    TServices m_services;

    QString Write(const QString &name, const QByteArray &text)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(text);
        return path;
    }
    void WriteSkin(const QByteArray &text)
    {
        QFile file(DataFile(QLatin1String(SkinFileName)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    static QColor Color(const QWidget *widget)
    {
        return widget->palette().color(QPalette::WindowText);
    }
    template <typename T>
    T *Find(QWidget *page, const char *name)
    {
        return page->findChild<T *>(QLatin1String(name));
    }

private Q_SLOTS:
    void init()
    {
        qputenv("XDG_DATA_HOME", (m_dir.path() + QStringLiteral("/data")).toUtf8());
        m_services = TestServices(m_dir.path() + QStringLiteral("/bin"));
        QDir(m_dir.path() + QStringLiteral("/data")).removeRecursively();
        QDir(m_dir.path() + QStringLiteral("/bin")).removeRecursively();
        QDir().mkpath(m_dir.path() + QStringLiteral("/bin"));
    }

    void colors_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QColor>("expected");
        const QColor fallback(1, 2, 3);
        QTest::newRow("lower") << QStringLiteral("red") << QColor(255, 0, 0);
        QTest::newRow("mixed") << QStringLiteral("Red") << QColor(255, 0, 0);
        QTest::newRow("upper") << QStringLiteral("RED") << QColor(255, 0, 0);
        QTest::newRow("fuchsia") << QStringLiteral("fuchsia") << QColor(255, 0, 255);
        QTest::newRow("silver") << QStringLiteral("Silver") << QColor(192, 192, 192);
        QTest::newRow("hex") << QStringLiteral("#FF0000") << fallback;
        QTest::newRow("number") << QStringLiteral("255") << fallback;
        QTest::newRow("unknown") << QStringLiteral("pink") << fallback;
        QTest::newRow("marker, other case") << QStringLiteral("no_color") << fallback;
        QTest::newRow("empty") << QString() << fallback;
    }

    void colors()
    {
        QFETCH(QString, value);
        QFETCH(QColor, expected);
        const TSkinFile skin(Write(QStringLiteral("c.ini"), "[S]\nColor=" + value.toUtf8() + "\n"));
        QCOMPARE(ReadColor(skin, QStringLiteral("s"), QStringLiteral("color"), QColor(1, 2, 3)),
                 expected);
        QCOMPARE(ReadColor(skin, QStringLiteral("S"), QStringLiteral("Absent"), QColor(1, 2, 3)),
                 QColor(1, 2, 3));
    }

    void images_data()
    {
        QTest::addColumn<QString>("value"); // %1 stands for the temporary folder
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QSize>("size"); // of the picture shown in a 50 x 40 control
        QTest::newRow("picture") << QStringLiteral("%1/good.png") << true << true << QSize(8, 8);
        QTest::newRow("missing file") << QStringLiteral("%1/none.jpg") << false << false << QSize();
        QTest::newRow("marker, other case")
            << QStringLiteral("no_file") << false << false << QSize();
        QTest::newRow("broken picture")
            << QStringLiteral("%1/broken.jpg") << false << false << QSize();
        QTest::newRow("a folder") << QStringLiteral("%1") << false << false << QSize();
        QTest::newRow("a named pipe") << QStringLiteral("%1/pipe.png") << false << false << QSize();
        QTest::newRow("larger than shown, read to cover it")
            << QStringLiteral("%1/wide.png") << true << true << QSize(80, 40);
        QTest::newRow("claims more than 4096 pixels a side")
            << QStringLiteral("%1/huge.png") << false << false << QSize();
    }

    void images()
    {
        QFETCH(QString, value);
        QFETCH(bool, visible);
        QFETCH(bool, changed);
        QFETCH(QSize, size);
        for (const auto &[name, pixels] : {std::pair{"good.png", QSize(8, 8)},
                                           {"wide.png", QSize(200, 100)},
                                           {"huge.png", QSize(4097, 2)}}) {
            QImage picture(pixels, QImage::Format_RGB32);
            picture.fill(Qt::blue);
            picture.save(m_dir.filePath(QLatin1String(name)));
        }
        Write(QStringLiteral("broken.jpg"), "not a picture");
        QFile::remove(m_dir.filePath(QStringLiteral("pipe.png")));
        QCOMPARE(mkfifo(QFile::encodeName(m_dir.filePath(QStringLiteral("pipe.png"))), 0600), 0);
        const TSkinFile skin(Write(QStringLiteral("i.ini"),
                                   "[S]\nImage=" + value.arg(m_dir.path()).toUtf8() + "\n"));
        QWidget parent;
        QLabel image(&parent);
        image.resize(50, 40);
        const QPixmap original(4, 4);
        image.setPixmap(original);
        LoadImage(skin, QStringLiteral("S"), QStringLiteral("Absent"), &image);
        QVERIFY(!image.isHidden());
        QCOMPARE(image.pixmap().cacheKey(), original.cacheKey());
        LoadImage(skin, QStringLiteral("S"), QStringLiteral("Image"), &image);
        QCOMPARE(!image.isHidden(), visible);
        QCOMPARE(image.pixmap().cacheKey() != original.cacheKey(), changed);
        if (visible)
            QCOMPARE(image.pixmap().size(), size);
    }

    void mainPageWithoutFiles()
    {
        TFrameWindow frame(m_services);
        TFormMain page;
        QCOMPARE(page.windowTitle(), QStringLiteral("Quavermill v.1.2.2 - Main Menu"));
        QCOMPARE(Find<QLabel>(&page, "LabelPlayList")->text(), QStringLiteral("Play a list"));
        QCOMPARE(Color(Find<QLabel>(&page, "LabelExit")), QColor(Qt::black));
        QVERIFY(!page.ImageLeft()->pixmap().isNull());
        QVERIFY(!page.ImageRight()->pixmap().isNull());
    }

    void mainPageSkinned()
    {
        WriteSkin("[Main]\nRightTextColor=Red\nLeftImage="
                  + m_dir.filePath(QStringLiteral("no.jpg")).toUtf8() + "\n");
        Write(QStringLiteral("bin/Quavermill.ini"),
              "[Main]\nCaption=Menu\nPlayList=Lecture\nHelp=\n");
        TFrameWindow frame(m_services);
        TFormMain page;
        QCOMPARE(page.windowTitle(), Title() + QStringLiteral(" - Menu"));
        QCOMPARE(Find<QLabel>(&page, "LabelPlayList")->text(), QStringLiteral("Lecture"));
        QCOMPARE(Find<QLabel>(&page, "LabelHelp")->text(), QString());
        QCOMPARE(Find<QLabel>(&page, "LabelExit")->text(), QStringLiteral("Exit"));
        for (const char *name : {"LabelPlayList", "LabelAddTracks", "LabelShowCatalogs",
                                 "LabelCreatePlaylist", "LabelExit", "LabelHelp"})
            QCOMPARE(Color(Find<QLabel>(&page, name)), QColor(255, 0, 0));
        QVERIFY(page.ImageLeft()->isHidden());
        QVERIFY(!page.ImageRight()->isHidden());
    }

    void skinWithoutThePagesSection()
    {
        WriteSkin("[Other]\nRightTextColor=Red\n");
        TFrameWindow frame(m_services);
        TFormMain page;
        QCOMPARE(Color(Find<QLabel>(&page, "LabelExit")), QColor(Qt::black));
        QVERIFY(!page.ImageLeft()->isHidden());
        QVERIFY(!page.ImageRight()->isHidden());
    }
};

QTEST_MAIN(TestSkin)
#include "tst_skin.moc"
