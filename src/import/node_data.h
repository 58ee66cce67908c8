#pragma once

#include "search/track_data.h"

// A node of the description tree, folder (IsGroup) or track: the candidates plus the values
// chosen for it.
class TNodeData : public TSelectFilesData {
public:
    QString Album;
    QString Composer;
    QString Artist;
    QString Name;          // the track's name; unused for a folder
    qint32 SavedState = 0; // check-state image kept while the node's drive is away
    bool IsGroup = false;

    // Each replaces its field by the text; an empty text leaves the field as it was.
    void SetAlbum(const QString &text);
    void SetComposer(const QString &text);
    void SetArtist(const QString &text);
    void SetName(const QString &text);

    // Chooses Album, Composer, Artist (and Name for a track) from the candidate lists.
    // A folder takes the one candidate its tracks agree on, the empty text when they
    // disagree and unknownText when there is none. A track takes the first candidate of each
    // list (unknownText for an empty album, composer or artist list) and the first name; its
    // Names must not be empty.
    void ResolveChoices(const QString &unknownText);
};

// Appends each non-empty entry of source to target unless target already holds an equal
// entry (case-sensitive), keeping source's order.
void MergeCandidates(QStringList &target, const QStringList &source);
