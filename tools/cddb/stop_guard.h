#pragma once

#include <chrono>

// Ends the tool on SIGTERM, SIGINT or SIGHUP, and when its hard time limit has passed, from a
// thread of its own, so that a stop request is answered at once even while a drive or a
// server keeps the tool's own threads waiting: exit code 255, one line on standard error.
//
// Start before any other thread: the signals are blocked in every thread and taken only by
// the guard's.
void StartStopGuard(const char *tool, std::chrono::steady_clock::time_point limit);

// Called before the tool reports a failure or writes its result: from then on a stop waits
// until the tool has ended on its own, so that no result is left half-written and no second
// line reaches standard error. The tool must end without returning from main (std::_Exit),
// since threads may still be waiting on a server.
void BeginEnding();
