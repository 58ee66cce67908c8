#include "base/application.h"
#include "base/errors.h"
#include "base/locations.h"
#include "pages/frame_window.h"
#include "pages/page_form.h"

#include "pages/skin.h"
#include "test_services.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// A page with two buttons (the second is the default), an edit and a message presentation.
class TTestPage : public TFormBase {
public:
    TTestPage(TPageId id, const QString &section, TFormBase *watched = nullptr)
        : TFormBase(id, section, section), m_watched(watched)
    {
        CreateButtonGroup(
            TopBase,
            {
                {"First", "First", "return_main", [this](TFormBase *) { ++firstRuns; }},
                {"Second", "Second", "exit",
                 [this](TFormBase *page) {
                     QCOMPARE(page, this);
                     ++defaultRuns;
                     if (OnDefault)
                         OnDefault();
                 }},
            },
            1);
        CreateButtonGroup(BottomBase(1), {{"Failing", "Failing", "delete", [](TFormBase *) {
                                               throw std::runtime_error("failed");
                                           }}});
        First = findChild<TIconButton *>(QStringLiteral("ButtonFirst"));
        Second = findChild<TIconButton *>(QStringLiteral("ButtonSecond"));
        Failing = findChild<TIconButton *>(QStringLiteral("ButtonFailing"));
        Replaced = findChild<QLabel *>(QStringLiteral("LabelFirst"));
        Edit = new QLineEdit(this);
        Edit->setGeometry(192, 150, 200, 24);
        SetupMessages({Replaced, Edit});
        ApplySkinAndTexts();
    }

    int firstRuns = 0;
    int defaultRuns = 0;
    std::function<void()> OnDefault;
    QString ShowError; // raised by the show handler when not empty
    QString HideError; // raised by the hide handler when not empty
    QStringList log;
    TIconButton *First;
    TIconButton *Second;
    TIconButton *Failing;
    QLineEdit *Edit;
    QLabel *Replaced;

protected:
    void FormShow() override
    {
        log << QStringLiteral("show, other visible: %1").arg(m_watched && !m_watched->isHidden());
        if (!ShowError.isEmpty())
            throw EQuavermill(ShowError);
    }
    void FormHide() override
    {
        log << QStringLiteral("hide");
        if (!HideError.isEmpty())
            throw EQuavermill(HideError);
    }

private:
    TFormBase *m_watched;
};

} // namespace

class TestPageFramework : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    TServices m_services;
    TFrameWindow *m_frame = nullptr;
    TTestPage *m_a = nullptr;
    TTestPage *m_b = nullptr;

    // The texts of the error boxes shown while doing runs; each is closed at once.
    QStringList Reports(const std::function<void()> &doing)
    {
        QStringList reports;
        QTimer boxes;
        boxes.setInterval(10);
        connect(&boxes, &QTimer::timeout, this, [&reports] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                reports << box->text();
                box->done(0);
            }
        });
        boxes.start();
        doing();
        return reports;
    }

private Q_SLOTS:
    void init()
    {
        qputenv("XDG_DATA_HOME", m_dir.path().toUtf8());
        m_services = TestServices(m_dir.path());
        QFile::remove(DataFile(QLatin1String(SkinFileName)));
        m_frame = new TFrameWindow(m_services);
        m_a = new TTestPage(TPageId::Main, QStringLiteral("A"));
        m_b = new TTestPage(TPageId::Search, QStringLiteral("B"), m_a);
        SwitchPage(nullptr, m_a);
        QVERIFY(QTest::qWaitForWindowExposed(m_frame));
    }

    void cleanup() { delete m_frame; }

    void buttonsStandWhereDesigned()
    {
        QCOMPARE(m_a->First->geometry(), QRect(587, 14, 38, 38));
        QCOMPARE(m_a->Second->geometry(), QRect(587, 56, 38, 38));
        QCOMPARE(m_a->Failing->geometry(), QRect(587, 330, 38, 38));
        QCOMPARE(m_a->Replaced->geometry(), QRect(192, 20, 385, 25));
        QCOMPARE(TFormBase::BottomBase(3), 246);
        QCOMPARE(TFormBase::BottomBase(2), 288);
        QVERIFY(m_a->Second->isDefault());
        QCOMPARE(m_frame->size(), QSize(639, 381));
    }

    void clickRunsActionOnce()
    {
        QTest::mouseClick(m_a->First, Qt::LeftButton);
        QCOMPARE(m_a->firstRuns, 1);
        QCOMPARE(m_a->defaultRuns, 0);
        // An error in a button's action is told, and the page stays as it was.
        QCOMPARE(Reports([this] { QTest::mouseClick(m_a->Failing, Qt::LeftButton); }),
                 QStringList{QStringLiteral("failed")});
        QVERIFY(!m_a->isHidden());
    }

    void enterRunsDefaultWhateverHasFocus()
    {
        m_frame->activateWindow();
        m_a->First->setFocus();
        QTest::keyClick(m_a->First, Qt::Key_Return);
        QCOMPARE(m_a->defaultRuns, 1);
        QCOMPARE(m_a->firstRuns, 0);
        m_a->Edit->setFocus();
        QTest::keyClick(m_a->Edit, Qt::Key_Enter);
        QCOMPARE(m_a->defaultRuns, 2);
        // Other keys stay with the controls.
        QTest::keyClick(m_a->Edit, Qt::Key_X);
        QCOMPARE(m_a->Edit->text(), QStringLiteral("x"));
    }

    // Escape runs the button back; an Enter held down over a switch does not act on the page
    // it brought, a new press does; the new page's first control takes the keyboard.
    void escapeAndHeldEnter()
    {
        m_frame->activateWindow();
        m_a->Edit->setFocus();
        QTest::keyClick(m_a->Edit, Qt::Key_Escape);
        QCOMPARE(m_a->firstRuns, 1);
        m_a->OnDefault = [this] { SwitchPage(m_a, m_b); };
        QTest::keyPress(m_a->Edit, Qt::Key_Return);
        QCOMPARE(m_frame->CurrentPage(), m_b);
        QCOMPARE(QApplication::focusWidget(), m_b->First);
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(m_b->First, &repeat);
        QCOMPARE(m_b->defaultRuns, 0);
        QTest::keyRelease(m_b->First, Qt::Key_Return);
        QTest::keyClick(m_b->First, Qt::Key_Return);
        QCOMPARE(m_b->defaultRuns, 1);
    }

    // An error of an action, or of the show or hide handler of the switch it made, is told the
    // same way whether the action was started by a click or by Enter. The switch itself is
    // done either way.
    void errorIsToldWhicheverWayTheActionStarted_data()
    {
        QTest::addColumn<bool>("byEnter");
        QTest::addColumn<QString>("failing"); // action, show or hide
        for (const char *failing : {"action", "show", "hide"}) {
            QTest::addRow("%s, icon button", failing) << false << QString::fromLatin1(failing);
            QTest::addRow("%s, Enter", failing) << true << QString::fromLatin1(failing);
        }
    }

    void errorIsToldWhicheverWayTheActionStarted()
    {
        QFETCH(bool, byEnter);
        QFETCH(QString, failing);
        const bool switching = failing != QLatin1String("action");
        (failing == QLatin1String("hide") ? m_a->HideError : m_b->ShowError) =
            QStringLiteral("broken");
        m_a->OnDefault = [this, switching] {
            if (!switching)
                throw EQuavermill(QStringLiteral("broken"));
            SwitchPage(m_a, m_b);
        };
        m_frame->activateWindow();
        m_a->Edit->setFocus();
        // A box comes and goes within the click or key press.
        const QStringList reports = Reports([this, byEnter] {
            if (byEnter)
                QTest::keyClick(m_a->Edit, Qt::Key_Return);
            else
                QTest::mouseClick(m_a->Second, Qt::LeftButton);
        });
        QCOMPARE(m_a->defaultRuns, 1);
        QCOMPARE(reports, QStringList{QStringLiteral("broken")});
        QCOMPARE(m_b->isHidden(), !switching);
        QCOMPARE(m_a->isHidden(), switching);
        QCOMPARE(m_frame->CurrentPage(), switching ? m_b : m_a);
    }

    void switchShowsBeforeHiding()
    {
        m_frame->move(40, 30);
        SwitchPage(m_a, m_b);
        QCOMPARE(m_b->log, QStringList{QStringLiteral("show, other visible: 1")});
        QCOMPARE(m_a->log.last(), QStringLiteral("hide"));
        QVERIFY(m_a->isHidden());
        QCOMPARE(m_b->geometry(), m_a->geometry());
        QCOMPARE(m_frame->pos(), QPoint(40, 30));
        QCOMPARE(m_frame->windowTitle(), Title() + QStringLiteral(" - B"));
        // The title follows a caption that changes while the page is shown.
        m_b->SetCaptionText(QStringLiteral("B, 3 MB"));
        QCOMPARE(m_frame->windowTitle(), Title() + QStringLiteral(" - B, 3 MB"));
    }

    void minimiseAndSwitchRestores()
    {
        QTest::mouseClick(m_a->First, Qt::LeftButton);
        PostPageMessage(m_a, MSG_MINIMIZE_APP);
        QTRY_VERIFY(ApplicationMinimized());
        // Minimising hides no page in the page's own sense: no hide handler runs.
        QVERIFY(!m_a->log.contains(QStringLiteral("hide")));
        SwitchPage(m_a, m_b);
        QVERIFY(!ApplicationMinimized());
        QVERIFY(!m_frame->isMinimized());
        QVERIFY(!m_b->isHidden());
    }

    void messageComesAndGoes()
    {
        m_a->Messages()->Show(QStringLiteral("Line one"), QStringLiteral("Line two"));
        m_a->Messages()->MessageTimer()->setInterval(50);
        m_a->Messages()->MessageTimer()->start();
        QVERIFY(m_a->Messages()->Presenting());
        QCOMPARE(m_a->Messages()->Label1()->text(), QStringLiteral("Line one"));
        QCOMPARE(m_a->Messages()->Label2()->text(), QStringLiteral("Line two"));
        QVERIFY(m_a->Replaced->isHidden());
        QVERIFY(m_a->Edit->isHidden());
        QTRY_VERIFY(!m_a->Messages()->Presenting());
        QVERIFY(!m_a->Replaced->isHidden());
        QVERIFY(!m_a->Edit->isHidden());
        QVERIFY(m_a->Messages()->Label1()->isHidden());
        QVERIFY(m_a->Messages()->Label1()->text().isEmpty());
    }

    void messageDefaultsToThreeSeconds()
    {
        m_a->Messages()->Show(QStringLiteral("1"), QStringLiteral("2"));
        QCOMPARE(m_a->Messages()->MessageTimer()->interval(), 3000);
    }

    void secondMessageKeepsReplacedControls()
    {
        m_a->Edit->hide(); // hidden by the page itself: it stays hidden afterwards
        m_a->Messages()->Show(QStringLiteral("1"), QStringLiteral("2"));
        m_a->Messages()->Show(QStringLiteral("3"), QStringLiteral("4"));
        QCOMPARE(m_a->Messages()->Label1()->text(), QStringLiteral("3"));
        m_a->Messages()->MessageTimer()->setInterval(10);
        m_a->Messages()->MessageTimer()->start();
        QTRY_VERIFY(!m_a->Messages()->Presenting());
        QVERIFY(!m_a->Replaced->isHidden());
        QVERIFY(m_a->Edit->isHidden());
    }

    void leavingThePageEndsTheMessage()
    {
        m_a->Messages()->Show(QStringLiteral("1"), QStringLiteral("2"));
        SwitchPage(m_a, m_b);
        QVERIFY(!m_a->Messages()->MessageTimer()->isActive());
        QVERIFY(!m_a->Messages()->Presenting());
        QVERIFY(!m_a->Replaced->isHidden());
    }

    void testModeShowsTestLinesForTenMinutes()
    {
        m_services.Settings.WinMsgTestMode = true;
        QVERIFY(m_b->Messages()->ShowTestMessageIfTestMode());
        QCOMPARE(m_b->Messages()->Label1()->text(), QStringLiteral("Test message, string 1."));
        QCOMPARE(m_b->Messages()->Label2()->text(), QStringLiteral("Test message, string 2."));
        QCOMPARE(m_b->Messages()->MessageTimer()->interval(), 600000);
        m_services.Settings.WinMsgTestMode = false;
        QVERIFY(!m_a->Messages()->ShowTestMessageIfTestMode());
        QVERIFY(!m_a->Messages()->Presenting());
    }
    void messageTakesTheSkinsMessageLook()
    {
        QFile skin(DataFile(QLatin1String(SkinFileName)));
        QVERIFY(skin.open(QIODevice::WriteOnly));
        skin.write(
            "[A]\nRightMsgTextColor=Blue\nRightTextColor=green\nRightMsgImage=missing.jpg\n");
        skin.close();
        m_a->Messages()->Show(QStringLiteral("1"), QStringLiteral("2"));
        QCOMPARE(m_a->Messages()->Label1()->palette().color(QPalette::WindowText),
                 QColor(0, 0, 255));
        QCOMPARE(m_a->Replaced->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QVERIFY(m_a->ImageRight()->isHidden());
        m_a->Messages()->MessageTimer()->setInterval(10);
        m_a->Messages()->MessageTimer()->start();
        QTRY_VERIFY(!m_a->Messages()->Presenting());
        QCOMPARE(m_a->Replaced->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    }

    void messageWithoutSkinKeepsTheLook()
    {
        SetTextColor(m_a->Replaced, Qt::red);
        const qint64 picture = m_a->ImageRight()->pixmap().cacheKey();
        m_a->Messages()->Show(QStringLiteral("1"), QStringLiteral("2"));
        QCOMPARE(m_a->Messages()->Label1()->palette().color(QPalette::WindowText),
                 QColor(Qt::black));
        QCOMPARE(m_a->Replaced->palette().color(QPalette::WindowText), QColor(Qt::red));
        QCOMPARE(m_a->ImageRight()->pixmap().cacheKey(), picture);
    }

    void closeEndsApplicationUnlessPageObjects()
    {
        struct TBusyPage : TTestPage {
            using TTestPage::TTestPage;
            bool FormCloseQuery() override
            {
                ++requests;
                return false;
            }
            int requests = 0;
        };
        auto *busy = new TBusyPage(TPageId::CopyFiles, QStringLiteral("Busy"));
        SwitchPage(m_a, busy);
        m_frame->close();
        QCOMPARE(busy->requests, 1);
        QVERIFY(!ApplicationEnding());
        QVERIFY(m_frame->isVisible());

        SwitchPage(busy, m_a);
        m_frame->close();
        QVERIFY(ApplicationEnding());
        QVERIFY(m_frame->isVisible()); // the event loop ends; the window does not close itself
    }

    // Pages find each other by id only while they live; a switch to a page that is gone does
    // nothing rather than touch a dead page.
    void registryKnowsOnlyLivingPages()
    {
        QCOMPARE(FindPage(TPageId::Search), m_b);
        QCOMPARE(FindPage(TPageId::CopyFiles), nullptr);
        auto *page = new TTestPage(TPageId::CopyFiles, QStringLiteral("Later"));
        SwitchPage(m_a, TPageId::CopyFiles);
        QVERIFY(!page->isHidden());
        QVERIFY(m_a->isHidden());
        SwitchPage(page, TPageId::Main);
        delete page;
        QCOMPARE(FindPage(TPageId::CopyFiles), nullptr);
        SwitchPage(m_a, TPageId::CopyFiles);
        QVERIFY(!m_a->isHidden());
    }
};

QTEST_MAIN(TestPageFramework)
#include "tst_page_framework.moc"
