#pragma once

#include "platform/volumes.h"

// The table of volumes that tests and end-to-end runs hand the program through the file named
// by QUAVERMILL_VOLUMES (see MakeServices). One volume a line, fields separated by tabs (or, when a line holds no
// tab, by blanks):
//
//     root    kind    present    [CUE sheet]
//
// root is a folder path (relative paths are taken from the table's folder), kind one of fixed,
// removable, network, cd, ram, floppy, present 1 or 0; the CUE sheet stands for the disc of an
// audio CD drive, whose root is then no folder but lists the disc's audio tracks. Empty lines and lines starting with "#" are skipped, and so is a line whose
// kind is unknown.
QList<TVolume> ParseVolumeTable(const QString &text, const QString &tableFolder);

// Reads the table file at every request, so that a test can add, remove or change volumes
// while the program runs. A missing or unreadable file is a world without volumes.
class TTableVolumeSource : public TVolumeSource {
public:
    explicit TTableVolumeSource(const QString &path) : m_path(path) {}
    QList<TVolume> ReadVolumes() override;

private:
    QString m_path;
};
