#include "pages/page_messages.h"

#include "pages/page_form.h"
#include "pages/page_registry.h"
#include "pages/services.h"

#include <QLabel>
#include <QTimer>

TPageMessages::TPageMessages(TFormBase *page, const QList<QWidget *> &replaced)
    : QObject(page), m_page(page), m_replaced(replaced)
{
    m_label1 = page->CreateLabel(QStringLiteral("Label1"), QRect(192, 176, 385, 23), QString(),
                                 QString(), 16);
    m_label2 = page->CreateLabel(QStringLiteral("Label2"), QRect(192, 200, 385, 23), QString(),
                                 QString(), 16);
    for (QLabel *label : {m_label1, m_label2}) {
        label->setAlignment(Qt::AlignCenter);
        label->hide();
    }
    m_messageTimer = new QTimer(this);
    m_messageTimer->setObjectName(QStringLiteral("MessageTimer"));
    m_messageTimer->setInterval(3000);
    connect(m_messageTimer, &QTimer::timeout, this, [this] { RunDropping([this] { End(); }); });
}

void TPageMessages::Show(const QString &line1, const QString &line2)
{
    m_page->ApplyRightSkin(QStringLiteral("RightMsgImage"), QStringLiteral("RightMsgTextColor"));
    m_label1->setText(line1);
    m_label2->setText(line2);
    // A second message while one is shown keeps the controls the first one hid.
    if (!Presenting()) {
        m_hiddenByMessage.clear();
        for (QWidget *widget : std::as_const(m_replaced)) {
            if (!widget->isHidden()) {
                m_hiddenByMessage.append(widget);
                widget->hide();
            }
        }
    }
    m_label1->show();
    m_label2->show();
    m_messageTimer->start();
}

bool TPageMessages::Presenting() const
{
    return m_label1 && !m_label1->isHidden();
}

void TPageMessages::End()
{
    m_messageTimer->stop();
    if (!Presenting())
        return;
    m_page->ApplyRightSkin(QStringLiteral("RightImage"), QStringLiteral("RightTextColor"));
    for (QWidget *widget : std::as_const(m_hiddenByMessage))
        widget->show();
    m_hiddenByMessage.clear();
    for (QLabel *label : {m_label1, m_label2}) {
        label->clear();
        label->hide();
    }
}

bool TPageMessages::ShowTestMessageIfTestMode()
{
    if (!m_page->Services().Settings.WinMsgTestMode)
        return false;
    m_messageTimer->setInterval(600000);
    Show(QStringLiteral("Test message, string 1."), QStringLiteral("Test message, string 2."));
    return true;
}
