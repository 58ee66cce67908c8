// Runs at QT_SCALE_FACTOR=2, as on a screen of twice the pixel density.
#include "base/locations.h"
#include "pages/frame_window.h"
#include "pages/skin.h"
#include "pages/state_tree.h"

#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

class TestSharpPictures : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(qGuiApp->devicePixelRatio(), 2.0);
        qputenv("XDG_DATA_HOME", m_dir.path().toUtf8());
    }

    void everyBuiltInPictureHasItsDoubleDrawing_data()
    {
        QTest::addColumn<QString>("path");
        for (const QString &folder : {QStringLiteral(":/pictures"), QStringLiteral(":/buttons"),
                                      QStringLiteral(":/tree")}) {
            QDirIterator pictures(folder);
            while (pictures.hasNext()) {
                const QString path = pictures.next();
                if (!path.contains(QLatin1Char('@')))
                    QTest::newRow(qPrintable(path)) << path;
            }
        }
    }

    void everyBuiltInPictureHasItsDoubleDrawing()
    {
        QFETCH(QString, path);
        const QPixmap plain(path);
        const QPixmap sharp = BuiltInPicture(path);
        QCOMPARE(sharp.devicePixelRatio(), 2.0);
        QCOMPARE(sharp.size(), plain.size() * 2);
        QCOMPARE(sharp.deviceIndependentSize(), QSizeF(plain.size()));
    }

    void pagesShowTheDoubleDrawings()
    {
        TServices services;
        TFrameWindow frame(services);
        TFormBase page(TPageId::Main, QStringLiteral("Main"), QStringLiteral("Main"), &frame);
        page.CreateButtonGroup(TFormBase::TopBase, {{"Play", "Play", "play", nullptr}});
        auto *button = page.findChild<TIconButton *>(QStringLiteral("ButtonPlay"));
        QCOMPARE(page.ImageLeft()->pixmap().devicePixelRatio(), 2.0);
        QCOMPARE(page.ImageRight()->pixmap().devicePixelRatio(), 2.0);
        QCOMPARE(button->data().picture.devicePixelRatio(), 2.0);
        QCOMPARE(TreePictures({"check_on", ""}).first().devicePixelRatio(), 2.0);

        // The silver around the play sign stays transparent at twice the size: the picture's
        // top left corner shows the button, not silver.
        const QImage shown = button->grab().toImage();
        QCOMPARE(shown.size(), QSize(76, 76));
        const QPoint corner = QPoint((38 - 16) / 2, (38 - 16) / 2) * 2;
        QVERIFY(shown.pixel(corner) != qRgb(192, 192, 192));
        QVERIFY(shown.pixel(38, 38) != shown.pixel(corner));
    }

    void skinPicturesKeepTheirOwnSize()
    {
        const QString mine = m_dir.filePath(QStringLiteral("mine.png"));
        QImage(10, 10, QImage::Format_RGB32).save(mine);
        QImage(20, 20, QImage::Format_RGB32).save(m_dir.filePath(QStringLiteral("mine@2x.png")));
        QFile skin(m_dir.filePath(QStringLiteral("ui.ini")));
        QVERIFY(skin.open(QIODevice::WriteOnly));
        skin.write("[Main]\nRightImage=" + mine.toUtf8() + "\n");
        skin.close();
        QLabel label;
        LoadImage(TSkinFile(skin.fileName()), QStringLiteral("Main"), QStringLiteral("RightImage"),
                  &label);
        QCOMPARE(label.pixmap().size(), QSize(10, 10));
        QCOMPARE(label.pixmap().devicePixelRatio(), 1.0);
    }
};

QTEST_MAIN(TestSharpPictures)
#include "tst_sharp_pictures.moc"
