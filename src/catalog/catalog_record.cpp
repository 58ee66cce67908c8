#include "catalog/catalog_record.h"

#include <algorithm>
#include <cstring>

namespace {

// ParseRecord reads the last field a character further than BuildRecord writes it.
constexpr int ParsedFileSizeWidth = 11;
constexpr qsizetype FileSizeDigitsKept = 10;

int ParsedWidth(int field)
{
    return field == FieldFileSize ? ParsedFileSizeWidth : RecordFieldPlaces[field].width;
}

// Field number field of line without its trailing "_" and spaces.
QStringView FieldView(QStringView line, int field)
{
    const qsizetype start = RecordFieldPlaces[field].start;
    if (start >= line.size())
        return {};
    QStringView piece = line.mid(start, std::min<qsizetype>(ParsedWidth(field), line.size() - start));
    qsizetype end = piece.size();
    while (end > 0 && (piece[end - 1] == u'_' || piece[end - 1] == u' '))
        --end;
    return piece.first(end);
}

void AppendUtf8(QByteArray &out, char32_t c)
{
    if (c == 0) { // kept apart from the field separator, which is a zero byte
        out.append(char(0xC0)).append(char(0x80));
    } else if (c < 0x80) {
        out.append(char(c));
    } else if (c < 0x800) {
        out.append(char(0xC0 | (c >> 6))).append(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.append(char(0xE0 | (c >> 12))).append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    } else {
        out.append(char(0xF0 | (c >> 18))).append(char(0x80 | ((c >> 12) & 0x3F)));
        out.append(char(0x80 | ((c >> 6) & 0x3F))).append(char(0x80 | (c & 0x3F)));
    }
}

// Case-folded text as UTF-8, whose byte order is the order of code points.
void AppendFolded(QByteArray &out, QStringView text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = text[i].unicode();
        if (u < 0x80 && u != 0) {
            out.append(char(u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u));
            continue;
        }
        char32_t c = u;
        if (QChar::isHighSurrogate(u) && i + 1 < n && text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(u, text[++i].unicode());
        AppendUtf8(out, QChar::toCaseFolded(c));
    }
}

bool IsDecimal(QStringView text)
{
    return !text.isEmpty()
        && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// A number of 10 digits fits the whole FileSize field; a larger one is capped there rather
// than cut, which would give a far smaller number.
QStringView FileSizeValue(QStringView value, qsizetype &kept)
{
    kept = RecordFieldPlaces[FieldFileSize].width - 1;
    if (value.size() <= kept || !IsDecimal(value))
        return value;
    while (value.size() > 1 && value.front() == u'0')
        value = value.sliced(1);
    if (value.size() > FileSizeDigitsKept)
        value = u"9999999999";
    kept = FileSizeDigitsKept;
    return value;
}

} // namespace

const QString &TCatalogRecord::Field(int index) const
{
    return const_cast<TCatalogRecord *>(this)->Field(index);
}

QString &TCatalogRecord::Field(int index)
{
    switch (index) {
    case FieldKind: return Kind;
    case FieldComposer: return Composer;
    case FieldArtist: return Artist;
    case FieldAlbum: return Album;
    case FieldTrackNum: return TrackNum;
    case FieldFileName: return FileName;
    case FieldName: return Name;
    default: return FileSize;
    }
}

bool TCatalogRecord::IsTrack() const
{
    return Kind.compare(QLatin1String(TrackKind), Qt::CaseInsensitive) == 0;
}

qint64 TCatalogRecord::FileSizeBytes() const
{
    bool ok = false;
    const qint64 bytes = FileSize.toLongLong(&ok);
    return ok && bytes >= 0 ? bytes : 0;
}

QString BuildRecord(const TCatalogRecord &record)
{
    QString line(RecordLength, u'_');
    QChar *out = line.data();
    for (int field = 0; field < RecordFieldCount; ++field) {
        qsizetype kept = RecordFieldPlaces[field].width - 1;
        QStringView value = record.Field(field);
        if (field == FieldFileSize)
            value = FileSizeValue(value, kept);
        qsizetype n = std::min(value.size(), kept);
        if (n > 0 && n < value.size() && value[n - 1].isHighSurrogate())
            --n;
        QChar *place = out + RecordFieldPlaces[field].start;
        for (qsizetype i = 0; i < n; ++i) {
            const QChar c = value[i];
            place[i] = (c == u'\r' || c == u'\n' || c == u'\0') ? QChar(u' ') : c;
        }
    }
    return line;
}

QString BuildRecord(const QString &kind, const QString &composer, const QString &artist,
                    const QString &album, const QString &trackNum, const QString &fileName,
                    const QString &name, const QString &fileSize)
{
    return BuildRecord(
        TCatalogRecord{kind, composer, artist, album, trackNum, fileName, name, fileSize});
}

TCatalogRecord ParseRecord(QStringView line)
{
    TCatalogRecord record;
    for (int field = 0; field < RecordFieldCount; ++field)
        record.Field(field) = FieldView(line, field).toString();
    return record;
}

QString HeaderRecord()
{
    return BuildRecord(QLatin1String(HeaderKind), QStringLiteral("Composer"),
                       QStringLiteral("Artist"), QStringLiteral("Album"),
                       QStringLiteral("TrackNum"), QStringLiteral("FileName"),
                       QStringLiteral("Name"), QStringLiteral("FileSize"));
}

QByteArray RecordKey(QStringView line)
{
    QByteArray key;
    key.reserve(std::min<qsizetype>(line.size(), RecordFieldPlaces[FieldName].start) + 8);
    for (int field = FieldKind; field <= FieldFileName; ++field) {
        AppendFolded(key, FieldView(line, field));
        key.append('\0');
    }
    return key;
}

QByteArray CaseInsensitiveKey(QStringView text)
{
    QByteArray key;
    key.reserve(text.size());
    AppendFolded(key, text);
    return key;
}

static int CompareKeys(const QByteArray &a, const QByteArray &b)
{
    const int result = std::memcmp(a.constData(), b.constData(), size_t(std::min(a.size(), b.size())));
    if (result != 0)
        return result;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

int CompareStrings(QStringView a, QStringView b)
{
    return CompareKeys(RecordKey(a), RecordKey(b));
}

int CompareTextIgnoringCase(QStringView a, QStringView b)
{
    return CompareKeys(CaseInsensitiveKey(a), CaseInsensitiveKey(b));
}
