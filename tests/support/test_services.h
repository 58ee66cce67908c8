#pragma once

// The services of a test world: its own program folder, default settings, a file opener that
// starts nothing, and the volumes of a table file (none while the file is absent).

#include "pages/services.h"
#include "platform/volume_table.h"
#include "recording_opener.h"

#include <memory>

inline TServices TestServices(const QString &programFolder, const QString &volumeTable = {})
{
    TServices services;
    services.ProgramFolder =
        programFolder.endsWith(QLatin1Char('/')) ? programFolder : programFolder + QLatin1Char('/');
    services.Opener = std::make_shared<TRecordingOpener>();
    services.Volumes = std::make_shared<TTableVolumeSource>(volumeTable);
    return services;
}

// The recording opener of services made by TestServices.
inline TRecordingOpener &RecordedOpener(const TServices &services)
{
    return static_cast<TRecordingOpener &>(*services.Opener);
}
