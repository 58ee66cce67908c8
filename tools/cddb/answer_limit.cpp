// This file defines recv itself: the C library's fortified inline recv would clash with it.
#undef _FORTIFY_SOURCE

#include "answer_limit.h"

#include <algorithm>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

thread_local size_t t_received = 0;

} // namespace

void BeginAnswer()
{
    t_received = 0;
}

// Exported from the tool (see CMakeLists.txt), so that the libraries it loads call this one.
extern "C" ssize_t recv(int socket, void *buffer, size_t length, int flags)
{
    if (t_received >= AnswerLimit)
        return 0;
    const ssize_t got =
        syscall(SYS_recvfrom, socket, buffer, std::min(length, AnswerLimit - t_received), flags,
                nullptr, nullptr);
    // A peek leaves the bytes to be read again.
    if (got > 0 && (flags & MSG_PEEK) == 0)
        t_received += size_t(got);
    return got;
}
