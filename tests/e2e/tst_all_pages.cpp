#include "app/create_pages.h"
#include "app/invisible_form.h"
#include "app/main_page.h"
#include "base/errors.h"
#include "base/locations.h"
#include "catalog/catalog.h"
#include "import/description_box.h"
#include "import/set_properties_page.h"
#include "pages/frame_window.h"
#include "start_world.h"

#include <cmath>

#include <QAccessible>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

static double Luminance(const QColor &color)
{
    const auto channel = [](double value) {
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF())
        + 0.0722 * channel(color.blueF());
}

// The lowest contrast of a text colour against the pixels of a place of the picture.
static double WorstContrast(const QImage &picture, const QRect &place, const QColor &text)
{
    const double ink = Luminance(text);
    double worst = 21;
    const QRect area = place.intersected(picture.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const double paper = Luminance(picture.pixelColor(x, y));
            worst = std::min(worst, (std::max(ink, paper) + 0.05) / (std::min(ink, paper) + 0.05));
        }
    }
    return worst;
}

// Every page of the program, created as at start-up.
class TestAllPages : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    TServices m_services;
    TCatalog m_catalog;
    TFrameWindow *m_frame = nullptr;

    QList<TFormBase *> Pages() const
    {
        return m_frame->findChildren<TFormBase *>(Qt::FindDirectChildrenOnly);
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_services = PrepareStartWorld(m_dir.path());
        // One translated label: names follow the text file, not the designed texts.
        QFile texts(m_dir.filePath(QLatin1String(TextFileName)));
        QVERIFY(texts.open(QIODevice::WriteOnly));
        texts.write("[Main]\nExit=Quit Quavermill\n[SetDescription]\nAlbum=Album & Disc\n");
        texts.close();
        m_frame = new TFrameWindow(m_services);
        CreatePages(m_frame, m_catalog);
    }

    void cleanupTestCase() { delete m_frame; }

    void mainMenuComesFirst()
    {
        QTRY_VERIFY(!Page<TFormMain>()->isHidden());
        QVERIFY(m_frame->isVisible());
        QCOMPARE(m_frame->windowTitle(), QStringLiteral("Quavermill v.1.2.2 - Main Menu"));
        QCOMPARE(m_frame->findChild<TFormInvisible *>()->windowTitle(), QLatin1String(InstanceKey));
    }

    // The designed texts fit their labels whole in the font the pages use, and every page has
    // its built-in pictures.
    void designedLooksFit()
    {
        for (TFormBase *page : Pages()) {
            QVERIFY2(!page->ImageLeft()->pixmap().isNull(), qPrintable(page->Section()));
            QVERIFY2(!page->ImageRight()->pixmap().isNull(), qPrintable(page->Section()));
            for (const QLabel *label : page->findChildren<QLabel *>()) {
                if (label->text().isEmpty() || label->wordWrap() || label->objectName().isEmpty()
                    || label == page->ImageLeft() || label == page->ImageRight())
                    continue;
                const int width = label->fontMetrics().horizontalAdvance(label->text());
                QVERIFY2(width <= label->width(),
                         qPrintable(QStringLiteral("%1.%2: \"%3\" needs %4 of %5 pixels")
                                        .arg(page->Section(), label->objectName(), label->text())
                                        .arg(width)
                                        .arg(label->width())));
            }
        }
    }

    // Texts come from tags, file names, catalog lines, ini files and system errors: no label
    // and no message box may take them for markup ("<img src=/dev/zero>" would be loaded).
    void noTextInterpretsMarkup()
    {
        for (TFormBase *page : Pages()) {
            for (const QLabel *label : page->findChildren<QLabel *>()) {
                QVERIFY2(label->textFormat() == Qt::PlainText,
                         qPrintable(page->Section() + QLatin1Char('.') + label->objectName()));
            }
        }
        Qt::TextFormat boxFormat = Qt::AutoText;
        QString boxText;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                boxFormat = box->textFormat();
                boxText = box->text();
                box->accept();
            }
        });
        closer.start(10);
        const QString markup = QStringLiteral("<b>Cannot read</b> <img src=\"x.png\">");
        RunReporting([&] { throw EQuavermill(markup); });
        QCOMPARE(boxText, markup);
        QCOMPARE(boxFormat, Qt::PlainText);
    }

    // A screen reader names every control the keyboard reaches: an icon button after its
    // label, a box after its caption, a tree after its heading, which its header reads too.
    void everyControlIsNamed()
    {
        for (TFormBase *page : Pages()) {
            int controls = 0;
            int named = 0;
            for (QWidget *control : page->findChildren<QWidget *>()) {
                const bool reached =
                    control->focusPolicy() != Qt::NoFocus || qobject_cast<QProgressBar *>(control);
                if (!reached || !control->isVisibleTo(page)
                    || qobject_cast<QComboBox *>(control->parentWidget()))
                    continue;
                ++controls;
                const QAccessibleInterface *access = QAccessible::queryAccessibleInterface(control);
                const QString name = access ? access->text(QAccessible::Name) : QString();
                const QString where = page->Section() + QLatin1Char('.') + control->objectName();
                QVERIFY2(!name.isEmpty(), qPrintable(where + QStringLiteral(" has no name")));
                if (qobject_cast<TIconButton *>(control)) {
                    const auto *label = page->findChild<QLabel *>(
                        control->objectName().replace(0, 6, QStringLiteral("Label")));
                    QVERIFY2(label, qPrintable(where));
                    QCOMPARE(name, label->text());
                }
                // Linux names a box by its text: its caption comes as the label relation.
                if (qobject_cast<QComboBox *>(control) || qobject_cast<QLineEdit *>(control)) {
                    const auto labels = access->relations(QAccessible::Label);
                    QVERIFY2(labels.size() == 1, qPrintable(where));
                    QCOMPARE(labels.at(0).first->text(QAccessible::Name),
                             control->accessibleName());
                }
                if (const auto *tree = qobject_cast<QTreeWidget *>(control);
                    tree && tree->columnCount() == 1) {
                    QCOMPARE(access->child(0)->text(QAccessible::Name), name);
                }
                ++named;
            }
            qInfo("%s: %d of %d controls named", qPrintable(page->Section()), named, controls);
        }
        QCOMPARE(Page<TFormMain>()
                     ->findChild<TIconButton *>(QStringLiteral("ButtonExit"))
                     ->accessibleName(),
                 QStringLiteral("Quit Quavermill"));
        QCOMPARE(Page<TFormSetProperties>()->ComboBoxAlbum()->accessibleName(),
                 QStringLiteral("Album & Disc"));
    }

    // Every text on a page stands out from the picture behind it by the 4.5:1 that WCAG asks
    // of normal text, wherever its letters may fall.
    void textsStandOutFromThePictures()
    {
        QStringList faint;
        for (TFormBase *page : Pages()) {
            QList<QLabel *> texts;
            for (QLabel *label : page->findChildren<QLabel *>()) {
                if (label != page->ImageLeft() && label != page->ImageRight()
                    && label->isVisibleTo(page) && !label->text().isEmpty())
                    texts.append(label);
            }
            for (QLabel *label : texts)
                label->setVisible(false);
            const QImage background = page->grab().toImage();
            for (QLabel *label : texts)
                label->setVisible(true);
            for (const QLabel *label : texts) {
                const int flags =
                    int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
                const QRect letters = label->fontMetrics()
                                          .boundingRect(label->contentsRect(), flags, label->text())
                                          .translated(label->pos());
                const qreal scale = background.devicePixelRatio();
                const double contrast = WorstContrast(
                    background, QRect(letters.topLeft() * scale, letters.size() * scale),
                    label->palette().color(QPalette::WindowText));
                if (contrast < 4.5) {
                    faint.append(QStringLiteral("%1.%2 %3:1")
                                     .arg(page->Section(), label->objectName())
                                     .arg(contrast, 0, 'f', 2));
                }
            }
        }
        QVERIFY2(faint.isEmpty(), qPrintable(faint.join(QStringLiteral(", "))));
    }

    void iconButtonsStandInTheirColumn()
    {
        for (TFormBase *page : Pages()) {
            for (const TIconButton *button : page->findChildren<TIconButton *>()) {
                QCOMPARE(button->x(), 587);
                QCOMPARE(button->size(), QSize(38, 38));
                QVERIFY2(!button->data().picture.isNull(),
                         qPrintable(page->Section() + QLatin1Char('.') + button->objectName()));
            }
        }
    }
};

QTEST_MAIN(TestAllPages)
#include "tst_all_pages.moc"
