#include "pages/frame_window.h"

#include "base/application.h"
#include "pages/page_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QScreen>

static TFrameWindow *g_frame = nullptr;
static bool g_minimized = false;

TFrameWindow *Frame()
{
    return g_frame;
}

bool ApplicationMinimized()
{
    return g_minimized;
}

TFrameWindow::TFrameWindow(TServices &services, QWidget *parent)
    : QWidget(parent,
              Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                  | Qt::MSWindowsFixedSizeDialogHint),
      m_services(services)
{
    g_frame = this;
    setObjectName(QStringLiteral("FrameWindow"));
    setFixedSize(TFormBase::ClientWidth, TFormBase::ClientHeight);
    setWindowTitle(Title());
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect place(QPoint(), size());
        place.moveCenter(screen->availableGeometry().center());
        move(place.topLeft());
    }
    // Enter and Escape belong to the page, whichever of its controls has the focus.
    qApp->installEventFilter(this);
}

TFrameWindow::~TFrameWindow()
{
    qApp->removeEventFilter(this);
    if (g_frame == this)
        g_frame = nullptr;
}

void TFrameWindow::SetCurrentPage(TFormBase *page)
{
    if (m_current)
        disconnect(m_current, &QWidget::windowTitleChanged, this, &QWidget::setWindowTitle);
    m_current = page;
    m_enterHeldOver = m_enterDown;
    setWindowTitle(page->windowTitle());
    connect(page, &QWidget::windowTitleChanged, this, &QWidget::setWindowTitle);
}

void TFrameWindow::RestoreApplication()
{
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    g_minimized = false;
    if (isHidden())
        show();
    raise();
    activateWindow();
}

void TFrameWindow::MinimizeApplication()
{
    g_minimized = true;
    showMinimized();
}

void TFrameWindow::closeEvent(QCloseEvent *event)
{
    // The close box ends the application unless the page must finish its work first.
    event->ignore();
    if (!m_current || m_current->FormCloseQuery())
        EndApplication();
}

void TFrameWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange)
        g_minimized = isMinimized();
    QWidget::changeEvent(event);
}

bool TFrameWindow::eventFilter(QObject *watched, QEvent *event)
{
    const bool press = event->type() == QEvent::KeyPress;
    if ((!press && event->type() != QEvent::KeyRelease) || !watched->isWidgetType())
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && !key->isAutoRepeat()) {
        m_enterDown = press;
        m_enterHeldOver = false;
    }
    if (!press || !m_current || (!enter && key->key() != Qt::Key_Escape))
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    if (widget != this && widget != m_current && !m_current->isAncestorOf(widget))
        return false;
    // A held Enter that brought this page must not also act on it (on the copy page it would
    // roll back the import it has just started).
    if (enter && key->isAutoRepeat() && m_enterHeldOver)
        return true;
    bool used = false;
    RunReporting([&] { used = m_current->FormKeyPress(enter ? Qt::Key_Return : Qt::Key_Escape); });
    return used;
}
