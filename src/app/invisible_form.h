#pragma once

#include <QWidget>

class QLocalServer;

// The hidden window that stands for the running instance: it owns the local socket by which
// a second start finds it, and shows the main menu once the event loop runs.
class TFormInvisible final : public QWidget {
    Q_OBJECT
public:
    explicit TFormInvisible(QWidget *parent = nullptr);

    // The socket a running instance listens on: named after the instance key, in a folder
    // only this user can reach (RuntimeFolder). Raises EQuavermill when there is none.
    static QString ServerName();
    // A second start: if an instance answers twice, one second apart, asks it to come forward
    // and returns true; the caller then ends.
    static bool ForwardToRunningInstance();

protected:
    bool event(QEvent *event) override;

private:
    void Listen();
    void ReadRequest();

    QLocalServer *m_server;
};

inline constexpr char InstanceKey[] = "{70536D78-AF76-4B43-A610-CF4150F1D145}";
inline constexpr char MsgShowQuavermill[] = "MsgShowQuavermill";
