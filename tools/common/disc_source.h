#pragma once

#include <string>

// Whether path can stand for an audio CD: a device, or a regular file (a CUE sheet). Anything
// else is refused before libcdio opens it: opening a named pipe would wait for ever.
bool IsDiscSource(const std::string &path);
