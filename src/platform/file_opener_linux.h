#pragma once

#include "platform/file_opener.h"

// The desktop's program through xdg-open; a named program started on its own.
class TLinuxFileOpener : public TFileOpener {
public:
    bool OpenWithDesktop(const QString &path) override;
    bool OpenWith(const QString &program, const QString &path) override;
};
