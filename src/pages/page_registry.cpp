#include "pages/page_registry.h"

#include "base/application.h"
#include "base/errors.h"
#include "pages/error_box.h"
#include "pages/frame_window.h"
#include "pages/page_form.h"

#include <QCoreApplication>
#include <QScopedValueRollback>

void PostPageMessage(QObject *target, TPageMessage message)
{
    QCoreApplication::postEvent(target, new QEvent(QEvent::Type(int(message))));
}

void RunDropping(const std::function<void()> &action)
{
    try {
        action();
    } catch (...) {}
}

void RunReporting(const std::function<void()> &action)
{
    try {
        action();
    } catch (...) {
        ShowErrorBox(Frame(), ErrorText(std::current_exception()));
    }
}

static TFormBase *g_pages[PageCount] = {};

TFormBase *FindPage(TPageId id)
{
    return g_pages[int(id)];
}

void RegisterPage(TPageId id, TFormBase *page)
{
    g_pages[int(id)] = page;
}

void UnregisterPage(TPageId id, TFormBase *page)
{
    if (g_pages[int(id)] == page)
        g_pages[int(id)] = nullptr;
}

// Where the running SwitchPage keeps the first error of a show or hide handler; null outside
// a switch.
static std::exception_ptr *g_switchError = nullptr;

// Errors cannot cross Qt's event delivery. Within a switch a handler's error goes to the
// action that called SwitchPage, whose guard reports it (an icon button, Enter, a control's
// event) or drops it (a start message); outside one it is reported.
void RunPageHandler(const std::function<void()> &handler)
{
    if (!g_switchError) {
        RunReporting(handler);
        return;
    }
    try {
        handler();
    } catch (...) {
        if (!*g_switchError)
            *g_switchError = std::current_exception();
    }
}

void SwitchPage(TFormBase *from, TFormBase *to)
{
    // The switch is completed before a handler's error passes on, so that one page is shown.
    std::exception_ptr error;
    {
        const QScopedValueRollback<std::exception_ptr *> catching(g_switchError, &error);
        TFrameWindow *frame = Frame();
        if (ApplicationMinimized() && frame)
            frame->RestoreApplication();
        if (from)
            to->setGeometry(from->geometry());
        to->show();
        to->raise();
        if (frame) {
            frame->SetCurrentPage(to);
            if (frame->isHidden())
                frame->show();
        }
        if (from && from != to)
            from->hide();
        if (from != to)
            to->FocusFirstControl();
    }
    if (error)
        std::rethrow_exception(error);
}

void SwitchPage(TFormBase *from, TPageId to)
{
    if (TFormBase *page = FindPage(to))
        SwitchPage(from, page);
}
