#include "search/track_data.h"

void TSelectFilesData::AddName(const QString &text)
{
    if (!text.isEmpty())
        Names.append(text);
}

void TSelectFilesData::AddAlbum(const QString &text)
{
    if (!text.isEmpty())
        Albums.append(text);
}

void TSelectFilesData::AddComposer(const QString &text)
{
    if (!text.isEmpty())
        Composers.append(text);
}

void TSelectFilesData::AddArtist(const QString &text)
{
    if (!text.isEmpty())
        Artists.append(text);
}

QString TSelectFilesData::LastName() const
{
    return Names.isEmpty() ? QString() : Names.constLast();
}
