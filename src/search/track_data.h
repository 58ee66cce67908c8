#pragma once

#include <QString>
#include <QStringList>

// The description candidates of one track: what its tags or the CD information tool offered.
// The scan attaches one to every MP3, WMA and audio CD track of the selection tree. All four
// lists keep their order and compare case-sensitively ("abba" and "ABBA" are two candidates).
class TSelectFilesData {
public:
    TSelectFilesData() = default;
    virtual ~TSelectFilesData() = default;
    TSelectFilesData(const TSelectFilesData &) = default;
    TSelectFilesData &operator=(const TSelectFilesData &) = default;

    QStringList Names;
    QStringList Albums;
    QStringList Composers;
    QStringList Artists;

    // Each appends the text to its list; an empty text is ignored, duplicates are kept.
    void AddName(const QString &text);
    void AddAlbum(const QString &text);
    void AddComposer(const QString &text);
    void AddArtist(const QString &text);

    // The last entry of Names, or the empty text.
    QString LastName() const;
};
