#pragma once

#include "pages/page_form.h"
#include "pages/services.h"

#include <QPointer>
#include <QWidget>

// The one top-level window: fixed client area 639 x 381, minimise and close only. Every page
// is a child filling it; the title is the visible page's caption. It holds the services its
// pages use, which must outlive it.
class TFrameWindow : public QWidget {
    Q_OBJECT
public:
    explicit TFrameWindow(TServices &services, QWidget *parent = nullptr);
    ~TFrameWindow() override;

    TServices &Services() const { return m_services; }

    TFormBase *CurrentPage() const { return m_current; }
    void SetCurrentPage(TFormBase *page);
    void RestoreApplication();
    void MinimizeApplication();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TServices &m_services;
    QPointer<TFormBase> m_current;
    bool m_enterDown = false;
    // Enter was held down when the current page came: its repeats belong to the page before.
    bool m_enterHeldOver = false;
};

// The frame window of the process (null before it exists).
TFrameWindow *Frame();
// 1 from the moment the application is minimised until it is restored.
bool ApplicationMinimized();
