#pragma once

#include "base/settings.h"
#include "pages/skin.h"
#include "platform/file_opener.h"
#include "platform/volumes.h"

#include <functional>
#include <memory>

// What the program takes from the world around it, chosen in one place: the program builds
// its own in src/app (MakeServices), and every test builds the one it needs. The frame window
// holds it for its pages, and the pages hand their logic what it needs of it.
struct TServices {
    // "settings.ini" as it was read at start.
    TSettings Settings;
    // The folder of the program, its tools and its read-only files, ending in "/".
    QString ProgramFolder;
    // Starts the desktop's program, or a named one, on a file.
    std::shared_ptr<TFileOpener> Opener;
    // Where the volumes come from, read afresh each time they are needed.
    std::shared_ptr<TVolumeSource> Volumes;
    // The text shown for an unknown album, composer or artist; the track selection page reads
    // it from the texts file.
    QString UnknownText = QStringLiteral("Unknown");
    // Hears every skin and text key the pages read; null hears nothing.
    TSkinKeyRecorder SkinKeyRecorder;

    TVolumeList CurrentVolumes() const { return TVolumeList(Volumes->ReadVolumes()); }
    int PlayFile(const QString &path) const { return ::PlayFile(*Opener, Settings, path); }
};
