#include "platform/process_priority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

void SetLowestPriority()
{
    setpriority(PRIO_PROCESS, 0, 19);
}

void LowerThreadPriority()
{
    // On Linux both priorities belong to the thread that the id names, not the process.
    const pid_t thread = pid_t(::syscall(SYS_gettid));
    setpriority(PRIO_PROCESS, id_t(thread), 10);
    constexpr int WhoProcess = 1;  // IOPRIO_WHO_PROCESS
    constexpr int BestEffort = 2;  // IOPRIO_CLASS_BE
    constexpr int ClassShift = 13; // IOPRIO_CLASS_SHIFT
    constexpr int LowestLevel = 7;
    ::syscall(SYS_ioprio_set, WhoProcess, thread, (BestEffort << ClassShift) | LowestLevel);
}
