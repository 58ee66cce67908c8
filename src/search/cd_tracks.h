#pragma once

#include <QString>

// The track number of an audio CD's track file from its path: the two characters just before
// the last "." read as a decimal number ("/dev/sr0/Track05.cda" gives 5). 0 when they are not
// two digits ("Track5.cda", "Audio.cda") or there is no such "." .
int CdTrackNumber(const QString &path);
