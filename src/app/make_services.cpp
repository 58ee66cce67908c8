#include "app/make_services.h"

#include "base/locations.h"
#include "platform/file_opener_linux.h"
#include "platform/volume_table.h"
#include "platform/volumes_linux.h"

TServices MakeServices()
{
    TServices services;
    services.ProgramFolder = ExecutableFolder();
    services.Settings = LoadSettings(services.ProgramFolder);
    services.Opener = std::make_shared<TLinuxFileOpener>();
    const QString table = qEnvironmentVariable(TestVolumesVariable);
    if (table.isEmpty())
        services.Volumes = std::make_shared<TLinuxVolumeSource>();
    else
        services.Volumes = std::make_shared<TTableVolumeSource>(table);
    return services;
}
