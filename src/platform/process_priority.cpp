#include "platform/process_priority.h"

#include <sys/resource.h>

void SetLowestPriority()
{
    setpriority(PRIO_PROCESS, 0, 19);
}
