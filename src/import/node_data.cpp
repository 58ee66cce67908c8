#include "import/node_data.h"

static void SetIfNotEmpty(QString &field, const QString &text)
{
    if (!text.isEmpty())
        field = text;
}

void TNodeData::SetAlbum(const QString &text)
{
    SetIfNotEmpty(Album, text);
}

void TNodeData::SetComposer(const QString &text)
{
    SetIfNotEmpty(Composer, text);
}

void TNodeData::SetArtist(const QString &text)
{
    SetIfNotEmpty(Artist, text);
}

void TNodeData::SetName(const QString &text)
{
    SetIfNotEmpty(Name, text);
}

// A folder shows a value only when all its tracks agree on it.
static QString GroupChoice(const QStringList &candidates, const QString &unknownText)
{
    switch (candidates.size()) {
    case 0: return unknownText;
    case 1: return candidates.constFirst();
    default: return QString();
    }
}

static QString TrackChoice(const QStringList &candidates, const QString &unknownText)
{
    return candidates.isEmpty() ? unknownText : candidates.constFirst();
}

void TNodeData::ResolveChoices(const QString &unknownText)
{
    if (IsGroup) {
        Album = GroupChoice(Albums, unknownText);
        Composer = GroupChoice(Composers, unknownText);
        Artist = GroupChoice(Artists, unknownText);
        return;
    }
    Album = TrackChoice(Albums, unknownText);
    Composer = TrackChoice(Composers, unknownText);
    Artist = TrackChoice(Artists, unknownText);
    // The hand-over always gives a track a name; an empty list must still not crash.
    Name = Names.value(0);
}

void MergeCandidates(QStringList &target, const QStringList &source)
{
    for (const QString &entry : source) {
        if (!entry.isEmpty() && !target.contains(entry, Qt::CaseSensitive))
            target.append(entry);
    }
}
