#pragma once

#include <QString>

// The result of RunTool when the tool cannot be started, dies by a signal, or the
// application ends while it runs (the HRESULT E_FAIL, a negative value).
inline constexpr qint32 E_FAIL = static_cast<qint32>(0x80004005u);

// Runs the program at path with no arguments, in the program's environment and current
// folder, at the lowest priority (nice 19), as a TChildProcess, and waits for it: a few
// milliseconds without running events (most tools are done by then), then in a nested event
// loop so the window stays responsive: timers, clicks and page switches run meanwhile, and
// callers must be ready for that. The environment variable ExchangeFolderVariable tells
// the tool where its exchange files lie (exchangeFolder). Returns the tool's exit code read as
// a signed 8-bit value (255 gives -1), so a negative result is failure and zero or more is
// success.
//
// Returns E_FAIL without starting anything when the application is already ending, and
// E_FAIL when the application ends during the run: the tool is then sent SIGTERM and given
// at most 5000 ms to finish (it is killed after that). The tool's standard output is
// discarded; its standard error goes to the program's.
qint32 RunTool(const QString &path, const QString &exchangeFolder);
