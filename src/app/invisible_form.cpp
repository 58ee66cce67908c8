#include "app/invisible_form.h"

#include "base/errors.h"
#include "base/runtime_folder.h"
#include "pages/frame_window.h"
#include "pages/page_form.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

QString TFormInvisible::ServerName()
{
    return RuntimeFolder() + QStringLiteral("/Quavermill-%1").arg(QLatin1String(InstanceKey));
}

// Whether the process at the other end of a local socket runs as this user. Only such a one
// may be handed the start, or ask this instance to come forward.
static bool PeerIsThisUser(qintptr descriptor)
{
    struct ucred peer {};
    socklen_t size = sizeof(peer);
    return ::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0
        && peer.uid == ::geteuid();
}

static bool InstanceAnswers(QLocalSocket &socket)
{
    socket.connectToServer(TFormInvisible::ServerName());
    if (!socket.waitForConnected(500))
        return false;
    if (PeerIsThisUser(socket.socketDescriptor()))
        return true;
    socket.abort();
    return false;
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
            if (!PeerIsThisUser(socket->socketDescriptor())) {
                socket->abort();
                socket->deleteLater();
                continue;
            }
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->canReadLine() && socket->readLine().trimmed() == MsgShowQuavermill)
                    ReadRequest();
            });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    const QString name = ServerName();
    if (m_server->listen(name))
        return;
    // Nobody of ours answered before we got here, so a socket file left by a crashed instance
    // is in the way: remove it and listen again. Anything else there is the user's own.
    struct stat info;
    if (::lstat(QFile::encodeName(name).constData(), &info) == 0 && !S_ISSOCK(info.st_mode))
        throw EQuavermill(
            QStringLiteral("Cannot start: %1 is in the way of the instance socket").arg(name));
    QLocalServer::removeServer(name);
    if (!m_server->listen(name))
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
