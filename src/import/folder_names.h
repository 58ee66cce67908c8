#pragma once

#include <QString>
#include <QStringList>

class TVolumeList;

// The text with its first character in upper (title) case and all others in lower case.
QString SentenceCase(const QString &text);
// Each word in SentenceCase; a word ends at a blank or a full stop, which stay as they are.
// "the.wall" gives "The.Wall".
QString TitleCase(const QString &text);

// Album, composer and artist candidates made from the folder names of a folder path, deepest
// folder first: for each name not met before (compared without regard to case), its title
// case, lower case and upper case forms, each once. Names begin after the root of the volume
// that holds the path, so a volume's root (an audio CD, a stick) gives none.
QStringList FolderNameCandidates(const QString &folder, const TVolumeList &volumes);
