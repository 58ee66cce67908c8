#pragma once

#include <QString>

class TFormBase;
class TStateTree;
class TVolumeList;

// Fills the description tree from the selection tree: a group for every checked folder and a
// track under it for every checked track, each with a record whose candidates come from the
// track's tags and, for a group, from its tracks and its folder names. The description tree
// takes over the selection tree's node pictures, whose indexes the nodes keep. Tracks whose
// path the catalog could not hold whole are left out; returns how many. unknownText stands
// for an album, composer or artist that no candidate names.
int FillDescriptionTree(const TStateTree &selection, TStateTree &description,
                        const TVolumeList &volumes, const QString &unknownText);

// "Set tracks description": fills the description page's tree from the selection page's,
// tells it whether the tracks come from removable media, and switches to it.
void HandOverToDescription(TFormBase *selectionPage, const TStateTree &selection,
                           bool fromRemovable);
