#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <sys/types.h>

// A helper program run as a child process: no arguments beyond its own path, standard input
// and output on the null device, standard error shared with the program, the program's own
// environment with one variable set, and the lowest priority (nice 19) from its first
// instruction on. It starts with vfork semantics: the program's memory is shared until the
// helper runs, never copied, so a start costs the same however large the program has grown.
class TChildProcess {
public:
    // Starts program; variable is "NAME=value" and takes the place of a variable of that name.
    // Started() is false when it cannot run (missing, not a program, no process to be had).
    TChildProcess(const QString &program, const QByteArray &variable);
    // A child still running is killed; an ended one is reaped.
    ~TChildProcess();
    TChildProcess(const TChildProcess &) = delete;
    TChildProcess &operator=(const TChildProcess &) = delete;

    bool Started() const { return m_pid > 0; }
    // A handle that becomes readable once the child has ended; -1 when it never started.
    int EndHandle() const { return m_handle; }
    // Nothing while the child runs; then its exit code (0 to 255), or -1 when a signal ended it
    // or it never started.
    std::optional<int> Ended();
    // Asks the child to stop (SIGTERM), waits up to waitMs for it and kills it after that;
    // returns once it has ended.
    void Stop(int waitMs);

private:
    std::optional<int> Reap(bool wait);

    pid_t m_pid = -1;
    int m_handle = -1;
    std::optional<int> m_end;
};
