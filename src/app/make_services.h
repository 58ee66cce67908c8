#pragma once

#include "pages/services.h"

// The environment variable that names a test volume table (see TTableVolumeSource): when it
// is set, the program sees the volumes of that table and no others. The end-to-end checks and
// the scripts that drive the program under Xvfb use it to stand for sticks, disks and CDs.
inline constexpr char TestVolumesVariable[] = "QUAVERMILL_VOLUMES";

// The program's own services: the folder of the executable as its program folder, the
// settings read from there (or from the user's copy), the desktop's file opener, and the
// system's mounted volumes unless TestVolumesVariable names a table. Raises EQuavermill when
// "settings.ini" exists but cannot be read.
TServices MakeServices();
