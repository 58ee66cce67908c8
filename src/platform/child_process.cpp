#include "platform/child_process.h"

#include "platform/process_priority.h"

#include <QFile>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

constexpr size_t ChildStackSize = 64 * 1024;

// What the new process needs until it runs the program, all of it prepared by the caller.
struct TStart {
    const char *program;
    char *const *arguments;
    char *const *environment;
    sigset_t callerMask;
    int nullDevice;
    int error = 0; // why the program could not run, written by the child
};

// Runs in the new process on a stack of its own, while the caller's thread waits and its memory
// is shared: only system calls, and nothing written but error. A handler of the program must
// never run here, so every caught signal gets its default action before the caller's signal
// mask comes back; signals left at their default or ignored stay as they are.
int StartChild(void *argument)
{
    auto *start = static_cast<TStart *>(argument);
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN
            && current.sa_handler != SIG_DFL)
            ::sigaction(signal, &standard, nullptr);
    }
    ::sigprocmask(SIG_SETMASK, &start->callerMask, nullptr);
    SetLowestPriority();
    if (::dup2(start->nullDevice, STDIN_FILENO) >= 0
        && ::dup2(start->nullDevice, STDOUT_FILENO) >= 0)
        ::execve(start->program, start->arguments, start->environment);
    start->error = errno ? errno : ENOEXEC;
    ::_exit(127);
}

int NullDevice()
{
    static const int device = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    return device;
}

} // namespace

TChildProcess::TChildProcess(const QString &program, const QByteArray &variable)
{
    const QByteArray path = QFile::encodeName(program);
    char *const arguments[] = {const_cast<char *>(path.constData()), nullptr};
    // The program's environment as it stands, shared and not copied, but for the one variable.
    const QByteArray name = variable.left(variable.indexOf('=') + 1);
    std::vector<char *> environment;
    for (char **entry = environ; *entry; ++entry) {
        if (std::strncmp(*entry, name.constData(), size_t(name.size())) != 0)
            environment.push_back(*entry);
    }
    environment.push_back(const_cast<char *>(variable.constData()));
    environment.push_back(nullptr);

    TStart start{path.constData(), arguments, environment.data(), {}, NullDevice()};
    if (start.nullDevice < 0)
        return;
    const std::unique_ptr<char[]> stack(new char[ChildStackSize]);
    sigset_t all;
    ::sigfillset(&all);
    ::pthread_sigmask(SIG_BLOCK, &all, &start.callerMask);
    // The caller's thread waits until the child runs the program or gives up (CLONE_VFORK).
    const pid_t pid = ::clone(StartChild, stack.get() + ChildStackSize,
                              CLONE_VM | CLONE_VFORK | CLONE_PIDFD | SIGCHLD, &start, &m_handle);
    ::pthread_sigmask(SIG_SETMASK, &start.callerMask, nullptr);
    if (pid <= 0)
        return;
    m_pid = pid;
    if (start.error != 0) {
        Reap(true);
        m_pid = -1;
        ::close(m_handle);
        m_handle = -1;
    }
}

TChildProcess::~TChildProcess()
{
    if (m_pid > 0 && !m_end) {
        ::kill(m_pid, SIGKILL);
        Reap(true);
    }
    if (m_handle >= 0)
        ::close(m_handle);
}

std::optional<int> TChildProcess::Ended()
{
    if (m_pid <= 0)
        return -1;
    return m_end ? m_end : Reap(false);
}

void TChildProcess::Stop(int waitMs)
{
    if (m_pid <= 0 || m_end)
        return;
    ::kill(m_pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    pollfd ended{m_handle, POLLIN, 0};
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        const int ready = ::poll(&ended, 1, int(left.count()));
        if (ready > 0 || (ready < 0 && errno != EINTR))
            break;
    }
    if (!Reap(false)) {
        ::kill(m_pid, SIGKILL);
        Reap(true);
    }
}

std::optional<int> TChildProcess::Reap(bool wait)
{
    siginfo_t info{};
    while (::waitid(P_PID, id_t(m_pid), &info, WEXITED | (wait ? 0 : WNOHANG)) != 0) {
        if (errno != EINTR) {
            m_end = -1; // reaped by somebody else: nothing is known of its end
            return m_end;
        }
    }
    if (info.si_pid == 0)
        return std::nullopt;
    m_end = info.si_code == CLD_EXITED ? info.si_status & 0xff : -1;
    return m_end;
}
