#include "stop_guard.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace {

// Held by whoever ends the tool, and never released.
std::mutex g_ending;
std::once_flag g_endingBegun;

sigset_t StopSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&signals, signal);
    return signals;
}

void Guard(const char *tool, std::chrono::steady_clock::time_point limit)
{
    const sigset_t signals = StopSignals();
    int signal = -1;
    do {
        const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(
            limit - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        const timespec timeout = {time_t(left.count() / 1000000000),
                                  long(left.count() % 1000000000)};
        signal = sigtimedwait(&signals, nullptr, &timeout);
    } while (signal < 0 && errno == EINTR);
    g_ending.lock();
    std::fprintf(stderr, "%s: %s\n", tool,
                 signal > 0 ? "stopped" : "the drive did not answer in time");
    std::_Exit(255);
}

} // namespace

void StartStopGuard(const char *tool, std::chrono::steady_clock::time_point limit)
{
    const sigset_t signals = StopSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread(Guard, tool, limit).detach();
}

void BeginEnding()
{
    std::call_once(g_endingBegun, [] { g_ending.lock(); });
}
