#pragma once

// Puts the calling process at the lowest scheduling priority (nice 19). Only async-signal-safe
// calls: RunTool calls it in the child between fork and exec.
void SetLowestPriority();
