#pragma once

// Puts the calling process at the lowest scheduling priority (nice 19). Only async-signal-safe
// calls: a new child process calls it before it runs its program (TChildProcess).
void SetLowestPriority();

// Puts the calling thread alone below normal priority, for the CPU (nice 10) and for the disk
// (the lowest best-effort I/O level). Work of the program that must not slow the desktop runs
// on such a thread: Linux lets no unprivileged process raise its priority again, so the window
// thread, which must stay lively, keeps its own.
void LowerThreadPriority();
