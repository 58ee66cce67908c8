#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The catalog record: one text line of eight fixed-width fields, each padded on the right with
// "_". It is the unit of the catalog file, of the pending records and of playlist files.
// Widths and places count QString (UTF-16) units.

enum TRecordField {
    FieldKind,
    FieldComposer,
    FieldArtist,
    FieldAlbum,
    FieldTrackNum,
    FieldFileName,
    FieldName,
    FieldFileSize,
    RecordFieldCount
};

struct TRecordFieldPlace {
    int start; // first character in the line, from 0
    int width; // characters the field occupies in a built line
};

// Places and widths of the eight fields in a built line. A value keeps at most width - 1
// characters, so every field of a built line ends in "_" (a 10-digit FileSize excepted).
inline constexpr TRecordFieldPlace RecordFieldPlaces[RecordFieldCount] = {
    {0, 4}, {4, 100}, {104, 100}, {204, 100}, {304, 11}, {315, 260}, {575, 100}, {675, 10}};

// The longest file name a record keeps whole: a longer path would be cut and name no file.
inline constexpr int FileNameUnits = RecordFieldPlaces[FieldFileName].width - 1;

// Length of every line BuildRecord makes.
inline constexpr int RecordLength = 685;

// A line's UTF-8 as text, every character as read: a byte order mark at its start stays one
// (QString::fromUtf8 drops it, and the line would then not find itself in the catalog).
QString LineFromUtf8(QByteArrayView utf8Line);

// Kind of a track record; only records of this kind (compared without regard to case)
// describe tracks. Every other kind, the header's included, is kept but ignored by readers.
inline constexpr char TrackKind[] = "DAT";
inline constexpr char HeaderKind[] = "COM";

// The eight values of a record, as ParseRecord gives them and BuildRecord takes them.
struct TCatalogRecord {
    QString Kind;
    QString Composer;
    QString Artist;
    QString Album;
    QString TrackNum;
    QString FileName;
    QString Name;
    QString FileSize;

    // The value of field index (TRecordField), for code that walks the fields in order.
    const QString &Field(int index) const;
    QString &Field(int index);

    // True for a track record: Kind is "DAT" without regard to case.
    bool IsTrack() const;
};

// Builds the 685-character line. Each value is cut to the characters its field keeps, never
// inside a surrogate pair. Line breaks and NUL inside a value become spaces, because they
// would split or end the line when the file is read again. A FileSize of 10 digits fills its
// whole field; a larger number is stored as 9999999999.
QString BuildRecord(const TCatalogRecord &record);
QString BuildRecord(const QString &kind, const QString &composer, const QString &artist,
                    const QString &album, const QString &trackNum, const QString &fileName,
                    const QString &name, const QString &fileSize);

// Cuts any line (short, long or not a record at all) into its eight values and removes the
// trailing "_" and spaces of each. Never fails.
TCatalogRecord ParseRecord(QStringView line);

// The header record: Kind "COM" and the field names as values.
QString HeaderRecord();

// The order of the catalog: Kind, Composer, Artist, Album, TrackNum (as text) and FileName,
// compared field by field without regard to case, accented letters beside their plain letters.
// Name and FileSize take no part.
// Negative when a sorts before b, zero when both have the same record key.
int CompareStrings(QStringView a, QStringView b);

// A byte string whose plain byte order (memcmp) is the order of CompareStrings, so that a
// list can compute it once per line instead of parsing at every comparison.
QByteArray RecordKey(QStringView line);
// RecordKey of a line given as UTF-8.
QByteArray RecordKeyUtf8(QByteArrayView utf8Line);

// Case-insensitive comparison key of one text: equal keys mean texts equal without regard to
// case, and byte order sorts them without regard to case, accented letters beside their plain
// letters. Used for whole playlist lines and M3U paths.
QByteArray CaseInsensitiveKey(QStringView text);
