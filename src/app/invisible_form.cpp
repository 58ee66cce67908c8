#include "app/invisible_form.h"

#include "base/errors.h"
#include "pages/frame_window.h"
#include "pages/page_form.h"

#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <unistd.h>

QString TFormInvisible::ServerName()
{
    return QStringLiteral("Quavermill-%1-%2").arg(QLatin1String(InstanceKey)).arg(getuid());
}

static bool InstanceAnswers(QLocalSocket &socket)
{
    socket.connectToServer(TFormInvisible::ServerName());
    return socket.waitForConnected(500);
}

bool TFormInvisible::ForwardToRunningInstance()
{
    {
        QLocalSocket first;
        if (!InstanceAnswers(first))
            return false;
        first.disconnectFromServer();
    }
    // The instance may be ending; only one that still answers a second later is asked.
    QThread::msleep(1000);
    QLocalSocket second;
    if (!InstanceAnswers(second))
        return false;
    second.write(MsgShowQuavermill);
    second.write("\n");
    second.waitForBytesWritten(1000);
    second.disconnectFromServer();
    if (second.state() != QLocalSocket::UnconnectedState)
        second.waitForDisconnected(1000);
    return true;
}

TFormInvisible::TFormInvisible(QWidget *parent) : QWidget(parent), m_server(new QLocalServer(this))
{
    setObjectName(QStringLiteral("TFormInvisible"));
    setWindowTitle(QLatin1String(InstanceKey));
    Listen();
    PostPageMessage(this, MSG_SHOW_MAIN_MENU);
}

void TFormInvisible::Listen()
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->canReadLine() && socket->readLine().trimmed() == MsgShowQuavermill)
                    ReadRequest();
            });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    if (m_server->listen(ServerName()))
        return;
    // Nobody answered before we got here, so a socket file left by a crashed instance is
    // in the way: remove it and listen again.
    QLocalServer::removeServer(ServerName());
    if (!m_server->listen(ServerName()))
        throw EQuavermill(m_server->errorString());
}

// A minimised instance comes back; one that is already on the desktop stays as it is.
void TFormInvisible::ReadRequest()
{
    TFrameWindow *frame = Frame();
    if (frame && ApplicationMinimized())
        frame->RestoreApplication();
}

bool TFormInvisible::event(QEvent *event)
{
    if (int(event->type()) == MSG_SHOW_MAIN_MENU) {
        RunDropping([] { SwitchPage(nullptr, TPageId::Main); });
        return true;
    }
    return QWidget::event(event);
}
