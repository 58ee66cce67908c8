#pragma once

#include <QObject>

#include <functional>

// The signals that ask a program to end (SIGTERM from a desktop logging out, SIGINT, SIGHUP)
// reach onSignal on the window thread, through the event loop, with the signal's number, so
// that work under way can be undone before the program ends. Without a watch they end the
// program at once.
void WatchStopSignals(QObject *context, std::function<void(int)> onSignal);

// Ends the process as the signal would have without a watch.
[[noreturn]] void EndBySignal(int signal);
