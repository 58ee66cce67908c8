#pragma once

#include "base/ini_file.h"

#include <QString>

#include <memory>

class TSelectFilesData;

// The track number of an audio CD's track file from its path: the two characters just before
// the last "." read as a decimal number ("/dev/sr0/Track05.cda" gives 5). 0 when they are not
// two digits ("Track5.cda", "Audio.cda") or there is no such "." .
int CdTrackNumber(const QString &path);

// Asks the CD information tool "cddb" of the program folder to describe the disc in drive (what
// libcdio opens: a volume's DiscSource()) and returns its answer, "cddb.rslt" of the exchange
// folder read whole; null when the tool is missing or its answer cannot be read. Writes
// "cddb.prm" (section "Parameters", Operation GETCDINFO and Drive) in the exchange folder and
// waits for the tool in a nested event loop, so the window stays alive. "cddb.prm" is deleted
// after a run that succeeded and kept after one that failed; nothing is written or run when
// the tool is missing. A "cddb.rslt" left by an earlier request (a listing abandoned when the
// page was left) is deleted before the tool runs, and the answer once it has been read: only
// the answer to this request is ever read.
std::unique_ptr<TIniFile> RequestCdInfo(const QString &programFolder, const QString &drive);

// The candidates of the CD track at path from the CD information tool's results: for each
// described disc, in order (sections "Description0" ... up to "Count" of "Results"), its title
// of the track ("TTITLE" + number - 1), its artist, which is also offered as composer, and its
// album; empty values are left out, each value cut to 99 units. Always a record: an empty one
// when the path holds no track number or there are no results.
std::unique_ptr<TSelectFilesData> CdTrackRecord(const TIniFile *results, const QString &path);
